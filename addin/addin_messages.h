// The messages the add-in shows in the host, under the caption
// "QMXMm5GanttDisplay Error".
#pragma once

#include <cstdint>
#include <string>

#include "automation/hresult.h"

namespace qmx::addin {

// Shows text with the reason of the failure hr: the thread's error
// description when there is one, else the code. The box is window-modal
// over the host's window (when it is a window of this process) and does not
// wait: the command's event returns at once.
void ShowFailure(std::int64_t hostWindow, const std::u16string& text, HRESULT hr);

}  // namespace qmx::addin
