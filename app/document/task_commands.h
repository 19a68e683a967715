// The task commands of the application and of the task tree's keys: each
// changes the model and then tells the current adapter.
#pragma once

#include "automation/hresult.h"
#include "automation/types.h"

namespace qmx {

struct DocumentState;

class TaskCommands {
public:
    explicit TaskCommands(DocumentState& state) : state_(state) {}

    // A task appended to the caret task, or at the root; its name is edited.
    HRESULT NewTask();
    // A task appended to the caret task's parent list.
    HRESULT NewSiblingTask();
    // After confirmation, every selected task with its subtree.
    HRESULT DeleteTasks();
    HRESULT MoveUp();
    HRESULT MoveDown();
    HRESULT Indent();
    HRESULT Outdent();
    // Finish-to-start links along the selection, a chain.
    HRESULT Link();
    HRESULT Unlink();
    HRESULT TaskColor();
    HRESULT TaskProperties();
    // F2 in the tree.
    HRESULT EditCaretName();

private:
    HRESULT AddTask(LONG parentId);
    HRESULT MoveBy(LONG delta);
    // MoveTask with the cycle refusal reported.
    HRESULT Move(LONG taskId, LONG parentId, LONG index);

    DocumentState& state_;
};

}  // namespace qmx
