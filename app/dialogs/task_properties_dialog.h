// The tabbed task properties dialog: General, Predecessors, Resources and,
// when the adapter keeps notes, Notes. It works on a TaskDialogEdits; the
// caller writes the edits back once the user confirmed.
#pragma once

#include <QDialog>

#include "app/dialogs/task_dialog_edits.h"

class QPlainTextEdit;
class QTabWidget;
struct IGanttAdapter;

namespace qmx {

class GeneralPage;
class MapGridPage;
class UserInterface;

class TaskPropertiesDialog final : public QDialog {
public:
    TaskPropertiesDialog(TaskDialogEdits* edits, ITask* task, IResources* pool, UserInterface* ui,
                         QWidget* parent = nullptr);

    QTabWidget* Tabs() const { return tabs_; }
    GeneralPage* General() const { return general_; }
    MapGridPage* Predecessors() const { return predecessors_; }
    MapGridPage* Resources() const { return resources_; }
    QPlainTextEdit* Notes() const { return notes_; }

    // OK: closes the cell editors and checks the General page first.
    void accept() override;

private:
    // Checks the General page; on a failure shows its message, brings the
    // page back and answers false.
    bool CheckGeneral();
    void OnPageChanged(int index);

    TaskDialogEdits* edits_;
    UserInterface* ui_;
    QTabWidget* tabs_;
    GeneralPage* general_ = nullptr;
    MapGridPage* predecessors_ = nullptr;
    MapGridPage* resources_ = nullptr;
    QPlainTextEdit* notes_ = nullptr;
    int current_ = 0;
    bool checking_ = false;
};

// The Task properties command: the dialog on the chart control's selected
// task (nothing without one). On OK with a modified page the edits are
// written back with the wait cursor and forwarded to the adapter (may be
// null). The window that had the focus gets it back. True on OK.
bool RunTaskPropertiesDialog(QWidget* parent, UserInterface& ui, ITask* task, IResources* pool,
                             IGanttAdapter* adapter);

}  // namespace qmx
