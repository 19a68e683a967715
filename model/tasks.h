// CTasks: an ordered list of tasks, either the tree's root list or a task's
// subtasks. It lives inside its owner (the tree or the task) and holds one
// reference on each of its tasks.
//
// Two caches keep the common questions cheap on long lists:
//  - each task remembers its position, valid for positions below a
//    watermark; removing or inserting at the front shifts a base instead of
//    renumbering, so the usual edits keep every position valid;
//  - the smallest StartDate and the largest EndDate of the tasks, with how
//    many tasks have them, so that a summary task's span is known without a
//    scan unless the last task at an extreme moved away from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "automation/com_object.h"
#include "model/model_interfaces.h"
#include "model/offset_vector.h"

namespace qmx {

class CTask;
class CTaskTree;

class CTasks final : public EmbeddedObject<ITasks> {
public:
    // owner: the object whose count this list shares; ownerTask null for
    // the root list.
    CTasks(IUnknown* owner, CTask* ownerTask, CTaskTree* tree);
    ~CTasks();

    // ITasks
    HRESULT get_Count(LONG* pnCount) override;
    HRESULT get_Tasks(LONG iIndex, ITask** ppTask) override;
    HRESULT Add(LONG iIndex, const BSTR& bsName, ITask** ppTask) override;
    HRESULT AddWithID(LONG TaskID, LONG iIndex, const BSTR& bsName, ITask** ppTask) override;

    CTask* OwnerTask() const { return ownerTask_; }
    CTaskTree* Tree() const { return tree_; }
    void SetTree(CTaskTree* tree) { tree_ = tree; }
    // Cuts the list off its tree and owner task (the list of a deleted task).
    void Detach();

    std::size_t Size() const { return items_.size(); }
    bool Empty() const { return items_.empty(); }
    CTask* At(std::size_t i) const;

    // The task's position, or nothing if the task is not in this list.
    std::optional<std::size_t> PositionOf(const CTask* task);

    // Inserts with one new reference; may throw std::bad_alloc, leaving the
    // list unchanged.
    void Insert(std::size_t pos, CTask* task);
    // Removes the task at pos and hands its reference to the caller.
    ComPtr<CTask> Take(std::size_t pos);
    // Moves the task at from to to, the tasks between shifting by one.
    void MoveWithin(std::size_t from, std::size_t to);
    // Empties the list and hands every reference to the caller.
    std::vector<ComPtr<CTask>> TakeAll();

    // Smallest StartDate and largest EndDate of the tasks; the list must not
    // be empty.
    std::pair<DATE, DATE> Span();
    // Keeps the span cache right when a task of the list changes its dates.
    void ChildDatesChanged(DATE oldStart, DATE oldEnd, DATE newStart, DATE newEnd);

private:
    void SpanAdd(DATE start, DATE end);
    void SpanRemove(DATE start, DATE end);

    CTask* ownerTask_;
    CTaskTree* tree_;
    OffsetVector<ComPtr<CTask>> items_;

    // Position cache: a task's position is its key minus base_, trusted for
    // positions below validUpTo_.
    std::int64_t base_ = 0;
    std::size_t validUpTo_ = 0;

    struct SpanCache {
        bool valid = false;
        DATE lo = 0, hi = 0;
        std::size_t loCount = 0, hiCount = 0;
    } span_;
};

}  // namespace qmx
