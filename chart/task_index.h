// The chart layout's map from a task to its item: an open-addressing hash
// table of (task pointer, item index), rebuilt at every layout. Flat and
// reused between layouts, so a layout of 100,000 tasks makes no allocation
// per task.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct ITask;

namespace qmx {

class TaskIndex {
public:
    static constexpr std::size_t kNone = SIZE_MAX;

    // Empties the table and makes room for `count` tasks; keeps its memory.
    void Reset(std::size_t count);
    // False when the task is already in the table (the index is kept).
    bool Insert(ITask* task, std::size_t item);
    // The task's item, or kNone.
    std::size_t Find(ITask* task) const;
    // Starts fetching the memory a Find of the task will read.
    void Prefetch(ITask* task) const;

private:
    struct Slot {
        ITask* task = nullptr;
        std::size_t item = 0;
    };
    std::size_t SlotOf(ITask* task) const;
    void Grow();
    void SetShift();

    std::vector<Slot> slots_;  // a power of two, at most half full
    std::size_t used_ = 0;
    int shift_ = 64;  // 64 - log2(slots_.size())
};

}  // namespace qmx
