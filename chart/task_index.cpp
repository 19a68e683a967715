#include "chart/task_index.h"

#include <algorithm>
#include <utility>

namespace qmx {

void TaskIndex::Reset(std::size_t count)
{
    std::size_t size = 16;
    while (size < 2 * count) size *= 2;
    if (slots_.size() < size) {
        slots_.assign(size, Slot{});
    } else if (used_ != 0) {
        std::fill(slots_.begin(), slots_.end(), Slot{});
    }
    used_ = 0;
    SetShift();
}

std::size_t TaskIndex::SlotOf(ITask* task) const
{
    // Fibonacci hashing of the address: the top bits of the product, which
    // spread evenly spaced addresses (objects of one size) evenly.
    const auto bits = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(task));
    return static_cast<std::size_t>((bits * UINT64_C(11400714819323198485)) >> shift_);
}

void TaskIndex::SetShift()
{
    shift_ = 64;
    for (std::size_t size = slots_.size(); size > 1; size /= 2) --shift_;
}

void TaskIndex::Grow()
{
    std::vector<Slot> old(slots_.size() * 2, Slot{});
    std::swap(old, slots_);
    used_ = 0;
    SetShift();
    for (const Slot& slot : old)
        if (slot.task) Insert(slot.task, slot.item);
}

bool TaskIndex::Insert(ITask* task, std::size_t item)
{
    if (slots_.empty()) Reset(1);
    if (2 * (used_ + 1) > slots_.size()) Grow();
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = SlotOf(task);; i = (i + 1) & mask) {
        Slot& slot = slots_[i];
        if (slot.task == task) return false;
        if (!slot.task) {
            slot = Slot{task, item};
            ++used_;
            return true;
        }
    }
}

void TaskIndex::Prefetch(ITask* task) const
{
    if (!slots_.empty()) __builtin_prefetch(&slots_[SlotOf(task)]);
}

std::size_t TaskIndex::Find(ITask* task) const
{
    if (slots_.empty() || !task) return kNone;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = SlotOf(task);; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.task == task) return slot.item;
        if (!slot.task) return kNone;
    }
}

}  // namespace qmx
