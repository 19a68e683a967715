// Cut, Copy and Paste of tasks (with their subtrees) and resources through
// the clipboard, in the two private formats named by strings 158 and 159.
#pragma once

#include <string>
#include <vector>

#include <QString>

#include "automation/hresult.h"
#include "automation/types.h"

namespace qmx {

struct DocumentState;

class EditCommands {
public:
    explicit EditCommands(DocumentState& state) : state_(state) {}

    // The clipboard format names; false when the language resources have
    // none (the application object cannot be made then).
    bool RegisterFormats();

    HRESULT Cut();
    HRESULT Copy();
    HRESULT Paste();
    // The clipboard holds the format of the current view.
    bool CanPaste() const;

private:
    HRESULT CopyTasks(std::vector<LONG>* copiedIds);
    HRESULT CopyResource(LONG* copiedId);
    HRESULT PasteTasks(const std::string& block);
    HRESULT PasteResource(const std::string& block);
    // The clipboard block of a format, empty when the clipboard has none.
    std::string ClipboardBlock(const QString& format) const;

    DocumentState& state_;
    QString taskFormat_;
    QString resourceFormat_;
};

}  // namespace qmx
