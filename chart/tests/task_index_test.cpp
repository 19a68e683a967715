#include "chart/task_index.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace qmx {
namespace {

ITask* Fake(std::uintptr_t address) { return reinterpret_cast<ITask*>(address); }

TEST(TaskIndex, FindsEveryTaskWhateverTheSpacingOfAddresses)
{
    // Object-sized steps, and steps that are multiples of large powers of
    // two (the worst case for a hash of the low address bits).
    const std::uintptr_t strides[] = {8, 400, 4096, 1u << 20, std::uintptr_t(1) << 36};
    for (std::uintptr_t stride : strides) {
        TaskIndex index;
        constexpr std::size_t kCount = 5000;
        index.Reset(100);  // fewer than inserted: the table grows
        for (std::size_t i = 0; i < kCount; ++i) ASSERT_TRUE(index.Insert(Fake(0x10000 + i * stride), i)) << stride;
        for (std::size_t i = 0; i < kCount; ++i) ASSERT_EQ(index.Find(Fake(0x10000 + i * stride)), i) << stride;
        EXPECT_EQ(index.Find(Fake(0x10000 + kCount * stride)), TaskIndex::kNone);
        EXPECT_EQ(index.Find(nullptr), TaskIndex::kNone);
        // A second insertion keeps the first item.
        EXPECT_FALSE(index.Insert(Fake(0x10000 + 7 * stride), 99));
        EXPECT_EQ(index.Find(Fake(0x10000 + 7 * stride)), 7u);
        // Reset empties it, keeping its memory.
        index.Reset(10);
        EXPECT_EQ(index.Find(Fake(0x10000)), TaskIndex::kNone);
        EXPECT_TRUE(index.Insert(Fake(0x10000), 3));
        EXPECT_EQ(index.Find(Fake(0x10000)), 3u);
    }
    TaskIndex empty;
    EXPECT_EQ(empty.Find(Fake(64)), TaskIndex::kNone);
}

}  // namespace
}  // namespace qmx
