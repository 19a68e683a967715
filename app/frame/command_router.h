// The main window's command actions and their routing: one QAction per
// command identifier, shared by the menus, the tool bar, the accelerators
// and the context menus, and the 35 commands of the command table routed to
// the application object's IAppCommands with their enabled and checked
// states.
#pragma once

#include <functional>
#include <map>

#include <QObject>

#include "automation/com_ptr.h"

class QAction;
class QWidget;
struct IAppCommands;

namespace qmx {

class CommandRouter {
public:
    // Actions are children of `owner` and added to it, so their shortcuts
    // work in the whole window whichever menu is shown.
    explicit CommandRouter(QWidget* owner);

    // The action of a command identifier, made on first use; `triggered`
    // reports its identifier to the handler given to SetHandler.
    QAction* Action(int commandId);
    // The action when it exists, else null.
    QAction* FindAction(int commandId) const;
    template <class F>
    void SetHandler(F handler)
    {
        handler_ = std::move(handler);
    }

    // Takes (or with null, releases) the command interface.
    void SetCommands(IAppCommands* commands);
    IAppCommands* Commands() const { return commands_.Get(); }

    // A command notification. A table command is handled when the frame
    // holds IAppCommands: its state is asked first and the operation is
    // called only when it is enabled. False when not handled here.
    bool Execute(int commandId);
    // The state query of a table command: both flags preset to 0. False
    // when not handled here (not in the table, or no IAppCommands).
    bool QueryState(int commandId, bool* enabled, int* checked);
    // Asks every table command's state and sets its action's enabled and
    // checked state.
    void UpdateStates();

private:
    void ApplyState(int commandId, QAction* action);

    QWidget* owner_;
    ComPtr<IAppCommands> commands_;
    std::map<int, QAction*> actions_;
    std::function<void(int)> handler_;
};

}  // namespace qmx
