#include <gtest/gtest.h>

#include <cstdint>

#include "platform/core/debug_output.h"
#include "platform/core/heap.h"
#include "platform/testing/test_controls.h"

namespace {

TEST(HeapTest, BlocksAreAlignedAndFailuresInjectable) {
    for (size_t size : {size_t{0}, size_t{1}, size_t{17}, size_t{4096}}) {
        void* p = plat::HeapAllocate(size);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 16, 0u);
        plat::HeapRelease(p);
    }
    plat::FailNextAllocations(1);
    EXPECT_EQ(plat::HeapAllocate(8), nullptr);
    void* p = plat::HeapAllocate(8);
    EXPECT_NE(p, nullptr);
    plat::HeapRelease(p);
    plat::HeapRelease(nullptr);
}

TEST(DebugOutputTest, CapturedWhileOnAndDroppedOtherwise) {
    plat::DebugOutput("before");
    plat::StartDebugCapture();
    plat::DebugOutput("one ");
    plat::DebugOutput("\x83\x51");
    plat::DebugOutput(nullptr);
    EXPECT_EQ(plat::TakeDebugCapture(), "one \x83\x51");
    plat::DebugOutput("two");
    EXPECT_EQ(plat::TakeDebugCapture(), "two");
    plat::StopDebugCapture();
    plat::DebugOutput("after");
    EXPECT_EQ(plat::TakeDebugCapture(), "");
    plat::ResetTestControls();
}

}  // namespace
