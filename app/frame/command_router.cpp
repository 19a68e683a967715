#include "app/frame/command_router.h"

#include <QAction>
#include <QWidget>

#include "app/app_commands.h"

namespace qmx {

namespace {

// The commands with a checked state: the two views, the three panes and the
// two document options.
bool IsCheckCommand(int commandId)
{
    switch (commandId) {
    case 107: case 108: case 135: case 136: case 137: case 119: case 124:
        return true;
    default:
        return false;
    }
}

}  // namespace

CommandRouter::CommandRouter(QWidget* owner) : owner_(owner) {}

QAction* CommandRouter::Action(int commandId)
{
    if (QAction* existing = FindAction(commandId)) return existing;
    auto* action = new QAction(owner_);
    action->setObjectName(QStringLiteral("command%1").arg(commandId));
    action->setData(commandId);
    action->setCheckable(IsCheckCommand(commandId));
    QObject::connect(action, &QAction::triggered, owner_, [this, commandId] {
        if (handler_) handler_(commandId);
    });
    owner_->addAction(action);
    actions_.emplace(commandId, action);
    // A table command shows its true state from the start.
    if (AppCommandOperation(commandId) != 0) ApplyState(commandId, action);
    return action;
}

QAction* CommandRouter::FindAction(int commandId) const
{
    const auto found = actions_.find(commandId);
    return found == actions_.end() ? nullptr : found->second;
}

void CommandRouter::SetCommands(IAppCommands* commands) { commands_ = commands; }

bool CommandRouter::QueryState(int commandId, bool* enabled, int* checked)
{
    const int operation = AppCommandOperation(commandId);
    if (!commands_ || operation == 0) return false;
    VARIANT_BOOL vbEnabled = 0;
    LONG nChecked = 0;
    // A failed query leaves the command disabled and unchecked.
    if (FAILED(commands_->QueryState(operation, &vbEnabled, &nChecked))) {
        vbEnabled = 0;
        nChecked = 0;
    }
    *enabled = vbEnabled == VARIANT_TRUE;
    *checked = nChecked;
    return true;
}

bool CommandRouter::Execute(int commandId)
{
    const int operation = AppCommandOperation(commandId);
    if (!commands_ || operation == 0) return false;
    // The state may have changed since the action was last refreshed (an
    // accelerator, a queued trigger): ask again, and never run a command
    // that is disabled.
    bool enabled = false;
    int checked = 0;
    QueryState(commandId, &enabled, &checked);
    if (enabled) {
        // Keep the interface alive through the call: the operation may end
        // the frame's hold on it.
        const ComPtr<IAppCommands> commands = commands_;
        commands->Execute(operation);
    }
    return true;
}

void CommandRouter::UpdateStates()
{
    for (const auto& [commandId, action] : actions_) ApplyState(commandId, action);
}

void CommandRouter::ApplyState(int commandId, QAction* action)
{
    bool enabled = false;
    int checked = 0;
    if (!QueryState(commandId, &enabled, &checked)) {
        // Without IAppCommands the table commands are disabled; the commands
        // outside the table stay as they are.
        if (AppCommandOperation(commandId) != 0) {
            action->setEnabled(false);
            action->setChecked(false);
        }
        return;
    }
    action->setEnabled(enabled);
    if (checked != 0 && !action->isCheckable()) action->setCheckable(true);
    if (action->isCheckable()) action->setChecked(checked != 0);
}

}  // namespace qmx
