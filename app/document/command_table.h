// The 35 commands of the main window's command table (in the order of
// kAppCommandIds) with their enabling rules, over the five command groups.
#pragma once

#include "app/document/edit_commands.h"
#include "app/document/file_commands.h"
#include "app/document/resource_commands.h"
#include "app/document/task_commands.h"
#include "app/document/view_commands.h"
#include "automation/types.h"

struct IDocumentProperties;

namespace qmx {

struct DocumentState;

class CommandTable {
public:
    CommandTable(DocumentState& state, IDocumentProperties* properties)
        : state_(state), properties_(properties), files_(state), edits_(state), tasks_(state), resources_(state),
          views_(state)
    {
    }

    // Operation 1 to 35; E_INVALIDARG for others. A command whose enabling
    // rule does not hold does nothing and answers S_FALSE.
    HRESULT Execute(LONG operation);
    // Operation 1 to 35; both flags are only set, never cleared.
    HRESULT QueryState(LONG operation, VARIANT_BOOL* enabled, LONG* checked);

    FileCommands& Files() { return files_; }
    EditCommands& Edits() { return edits_; }
    TaskCommands& Tasks() { return tasks_; }
    ResourceCommands& ResourceGroup() { return resources_; }
    ViewCommands& Views() { return views_; }

private:
    struct State {
        bool enabled = false;
        LONG checked = 0;
    };
    State StateOf(LONG operation);

    DocumentState& state_;
    IDocumentProperties* properties_;
    FileCommands files_;
    EditCommands edits_;
    TaskCommands tasks_;
    ResourceCommands resources_;
    ViewCommands views_;
};

}  // namespace qmx
