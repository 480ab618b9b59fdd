#include "graphics/graphs/aux_buffer_table.h"

#include <gtest/gtest.h>

#include "graphics/graphs/graphics_state.h"
#include "base/tracked_memory.h"

namespace {

class AuxBufferTableTest : public ::testing::Test {
protected:
    void SetUp() override { Clear(); }
    void TearDown() override {
        DeleteAllAuxBufferHandles();
        Clear();
    }
    static void Clear() { GetGraphicsState().auxBuffers = AuxBufferHandleTable{}; }
    // Nothing in the library makes a row; the tests plant them.
    static HandleValue Plant(int32_t slot, uint32_t serial) {
        AuxBufferRow& row = GetGraphicsState().auxBuffers.rows[slot];
        row.serial = serial;
        row.buffer = ZN_ALLOC(32);
        row.inUse = 1;
        return MakeHandleValue(kHandleKindAuxBuffer, serial, slot);
    }
};

TEST_F(AuxBufferTableTest, DeleteChecksKindSlotUseAndSerial) {
    const HandleValue h = Plant(3, 9);
    EXPECT_EQ(static_cast<uint32_t>(h), 0x40090003u);
    EXPECT_EQ(DeleteAuxBufferHandle(MakeHandleValue(kHandleKindAuxBuffer, 10, 3)), -1);
    EXPECT_EQ(DeleteAuxBufferHandle(MakeHandleValue(kHandleKindGraph, 9, 3)), -1);
    EXPECT_EQ(DeleteAuxBufferHandle(MakeHandleValue(kHandleKindAuxBuffer, 9, 512)), -1);
    EXPECT_EQ(DeleteAuxBufferHandle(MakeHandleValue(kHandleKindAuxBuffer, 9, 4)), -1);
    EXPECT_EQ(DeleteAuxBufferHandle(h), 0);
    const AuxBufferRow& row = GetGraphicsState().auxBuffers.rows[3];
    EXPECT_EQ(row.inUse, 0u);
    EXPECT_EQ(row.buffer, nullptr);
    EXPECT_EQ(DeleteAuxBufferHandle(h), -1);
}

TEST_F(AuxBufferTableTest, DeleteAllEmptiesEveryUsedRow) {
    Plant(0, 1);
    Plant(511, 2047);
    EXPECT_EQ(DeleteAllAuxBufferHandles(), 0);
    EXPECT_EQ(GetGraphicsState().auxBuffers.rows[0].inUse, 0u);
    EXPECT_EQ(GetGraphicsState().auxBuffers.rows[511].inUse, 0u);
}

}  // namespace
