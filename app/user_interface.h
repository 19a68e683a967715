// Every dialog of the application is shown through this seam, so that tests
// answer message boxes and file dialogs programmatically.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "automation/types.h"
#include "model/model_interfaces.h"

struct IGanttAdapter;

namespace qmx {

enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageIcon { Error, Exclamation, Question, Information };
enum class MessageAnswer { Ok, Yes, No, Cancel };

class UserInterface {
public:
    virtual ~UserInterface() = default;

    // defaultAnswer is the button that Enter chooses.
    virtual MessageAnswer ShowMessage(const std::u16string& text, MessageButtons buttons, MessageIcon icon,
                                      MessageAnswer defaultAnswer) = 0;
    // filter is the "Name|*.ext|...|" text of the document types.
    virtual std::optional<std::u16string> GetOpenFileName(const std::u16string& filter) = 0;
    virtual std::optional<std::u16string> GetSaveFileName(const std::u16string& filter,
                                                          const std::u16string& defaultExtension,
                                                          const std::u16string& initialName) = 0;
    // A COLORREF; nullopt on Cancel.
    virtual std::optional<std::uint32_t> ChooseColor(std::uint32_t initial) = 0;
    // The index of the chosen entry, nullopt on Cancel.
    virtual std::optional<int> ChooseDocumentType(const std::vector<std::u16string>& names, bool forExport) = 0;
    virtual void ShowContextMenu(int subMenu, int xPos, int yPos) = 0;
    virtual void SetWaitCursor(bool wait) = 0;

    // The editing dialogs; until they are built they change nothing and
    // answer false (Cancel). The task dialog writes its edits back itself
    // and forwards them to the adapter (null: no document is open).
    virtual bool EditTaskProperties(ITask* /*pTask*/, IResources* /*pPool*/, IGanttAdapter* /*pAdapter*/)
    {
        return false;
    }
    virtual bool EditResourceName(std::u16string& /*name*/) { return false; }
    virtual bool EditDocumentProperties(std::u16string& /*name*/, std::u16string& /*description*/) { return false; }
};

}  // namespace qmx
