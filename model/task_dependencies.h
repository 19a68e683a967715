// CTaskDependencies: a task's Predecessors or Successors, a sorted array of
// (other task's ID, link) searched by binary search. It lives inside its
// task and holds one reference on each link.
//
// Removing a link leaves a tombstone (an entry without link) that is swept
// out once tombstones make up half of the array, and before the array is
// read by position. Deleting a task linked to a task with many links, or a
// whole plan, then costs time linear in the links instead of one array
// shift per removal.
#pragma once

#include <cstddef>
#include <vector>

#include "automation/com_object.h"
#include "model/dependency_link.h"
#include "model/model_interfaces.h"

namespace qmx {

class CTask;

class CTaskDependencies final : public EmbeddedObject<ITaskDependencies> {
public:
    enum class Kind { Predecessors, Successors };

    struct Entry {
        LONG pairId;
        ComPtr<CDependencyLink> link;  // null: a removed entry not yet swept
    };

    CTaskDependencies(CTask* owner, Kind kind);
    ~CTaskDependencies();

    // ITaskDependencies
    HRESULT get_Count(LONG* pnCount) override;
    HRESULT get_Dependencies(LONG iIndex, ITaskDependency** ppDependency) override;
    HRESULT GetDependencyByTaskID(LONG TaskID, ITaskDependency** ppDependency) override;
    HRESULT DeleteAll() override;

    // --- Inside the model ---------------------------------------------------

    // Entries in ID order, tombstones included: walkers skip entries
    // without a link.
    std::size_t EntryCount() const { return entries_.size(); }
    const Entry& EntryAt(std::size_t i) const { return entries_[i]; }
    std::size_t LiveCount() const { return entries_.size() - tombstones_; }

    CDependencyLink* Find(LONG pairId) const;
    // Inserts at the sorted place; may throw std::bad_alloc.
    void Insert(LONG pairId, CDependencyLink* link);
    // Makes room for extra more entries; may throw std::bad_alloc.
    void Reserve(std::size_t extra);
    // Inserts links of new pairs, each at its sorted place, into the room
    // Reserve made; does not throw. Faster than Insert one by one when many
    // links join one list.
    void InsertReserved(const LONG* pairIds, CDependencyLink* const* links, std::size_t count);
    // Removes the entry of that pair; false if there is none.
    bool Remove(LONG pairId);
    // Sweeps tombstones out (positions then match the live entries).
    void Compact();
    // DeleteAll: each link leaves the other task's list (reported to the
    // link sink) and forgets its tasks; then this list is emptied.
    void RemoveAllLinks();

private:
    ITaskDependency* ViewOf(CDependencyLink* link) const;
    std::size_t LowerBound(LONG pairId) const;

    CTask* owner_;
    Kind kind_;
    std::vector<Entry> entries_;
    std::size_t tombstones_ = 0;
};

}  // namespace qmx
