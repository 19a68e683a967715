// Everything the task dialog edits, loaded from one task: the General page,
// the two map pages and the notes. The dialog's pages work on it; when the
// user confirms, WriteBackTaskEdits puts the modified pages into the model
// and tells the adapter.
#pragma once

#include <optional>

#include "app/dialogs/general_page_edits.h"
#include "app/dialogs/map_page_edits.h"
#include "automation/types.h"
#include "model/model_interfaces.h"

struct IGanttAdapter;

namespace qmx {

// A new predecessor is linked finish-to-start; a new assignment carries
// 100 units.
inline constexpr LONG kNewLinkType = dtFinishToStart;
inline constexpr LONG kNewAssignmentUnits = 100;

struct NotesEdits {
    BSTR text;
    bool modified = false;
    void Set(const BSTR& notes)
    {
        text = notes;
        modified = true;
    }
};

struct TaskDialogEdits {
    GeneralPageEdits general;
    MapPageEdits predecessors;  // predecessor task ID -> QMXDependencyType
    MapPageEdits assignments;   // resource ID -> units
    NotesEdits notes;
    // The current adapter keeps task notes: the Notes page is shown.
    bool notesSupported = false;

    bool IsModified() const
    {
        return general.IsModified() || predecessors.IsModified() || assignments.IsModified() ||
               (notesSupported && notes.modified);
    }
};

// Reads the task, its tree's autocorrect flag, its links and assignments.
// Nothing when the task is no longer part of a tree.
std::optional<TaskDialogEdits> LoadTaskDialogEdits(ITask* task, bool notesSupported, DurationUnitNames unitNames);

// Writes the modified pages back in this order: General (then TaskUpdate),
// predecessors (unlinks and type changes by ascending predecessor ID, then
// new links), assignments (removals and unit changes, then new
// assignments), notes (then TaskUpdate). The adapter (may be null: no
// document is open) hears of each change after the model accepted it; a
// change the model refuses (a link that would close a cycle) is not
// forwarded. A task deleted in the meantime gets nothing.
void WriteBackTaskEdits(const TaskDialogEdits& edits, ITask* task, IResources* pool, IGanttAdapter* adapter);

}  // namespace qmx
