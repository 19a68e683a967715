// File names as the open document uses them: absolute names, the file-name
// part shown in the window title, and the extension that picks an adapter.
#pragma once

#include <string>

#include "automation/types.h"

namespace qmx {

// The name made absolute against the current folder, with "." and ".."
// parts resolved lexically. A name that names no file comes back unchanged.
BSTR AbsoluteFileName(const BSTR& name);
// The text after the last "/".
BSTR FileNamePart(const BSTR& name);
// The text after the last "." of the file-name part; false when it has none.
bool FileExtension(const BSTR& name, BSTR* extension);

}  // namespace qmx
