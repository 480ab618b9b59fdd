#include "base/handle_value.h"

#include <gtest/gtest.h>

namespace {

struct EncodeCase {
    int32_t kind;
    uint32_t serial;
    int32_t slot;
    uint32_t value;
};

TEST(HandleValueTest, EncodesKindSerialAndSlotIntoTheirBits) {
    const EncodeCase cases[] = {
        {kHandleKindGraph, 0, 0, 0x08000000u},
        {kHandleKindGraph, 1, 5, 0x08010005u},
        {kHandleKindGraph, 2047, 32767, 0x0FFF7FFFu},
        {kHandleKindAuxBuffer, 0, 0, 0x40000000u},
        {kHandleKindMusic, 3, 255, 0x580300FFu},
        {kHandleKindSurfaceData, 2047, 65535, 0x3FFFFFFFu},
    };
    for (const EncodeCase& c : cases) {
        SCOPED_TRACE(c.value);
        const HandleValue h = MakeHandleValue(c.kind, c.serial, c.slot);
        EXPECT_EQ(static_cast<uint32_t>(h), c.value);
        EXPECT_GE(h, 0);
        EXPECT_EQ(GetHandleKind(h), c.kind);
        EXPECT_EQ(GetHandleSerial(h), c.serial);
        EXPECT_EQ(GetHandleSlot(h), c.slot);
    }
}

TEST(HandleValueTest, SlotCheckRefusesNegativeWrongKindAndOutOfRangeSlots) {
    const HandleValue graph = MakeHandleValue(kHandleKindGraph, 7, 12);
    EXPECT_EQ(CheckHandleSlot(graph, kHandleKindGraph, kMaxGraphHandles), 12);
    EXPECT_EQ(CheckHandleSlot(graph, kHandleKindSurface2D, kMaxSurface2DHandles), -1);
    EXPECT_EQ(CheckHandleSlot(-1, kHandleKindGraph, kMaxGraphHandles), -1);
    // Bit 31 set on an otherwise valid graph handle.
    EXPECT_EQ(CheckHandleSlot(static_cast<HandleValue>(0x80000000u | 0x0807000Cu),
                              kHandleKindGraph, kMaxGraphHandles),
              -1);
    // Slot 32768 is past the graph table.
    EXPECT_EQ(CheckHandleSlot(MakeHandleValue(kHandleKindGraph, 0, 32768), kHandleKindGraph,
                              kMaxGraphHandles),
              -1);
    EXPECT_EQ(CheckHandleSlot(MakeHandleValue(kHandleKindFont, 0, 39), kHandleKindFont,
                              kMaxFontHandles),
              39);
    EXPECT_EQ(CheckHandleSlot(MakeHandleValue(kHandleKindFont, 0, 40), kHandleKindFont,
                              kMaxFontHandles),
              -1);
}

TEST(HandleValueTest, SerialMatchComparesOnlyTheSerialBits) {
    const HandleValue h = MakeHandleValue(kHandleKindSound, 300, 9);
    EXPECT_EQ(HandleSerialMatches(h, 300), 1);
    EXPECT_EQ(HandleSerialMatches(h, 301), 0);
    EXPECT_EQ(HandleSerialMatches(h, 300 + 2048), 1);  // records keep 11 bits
}

TEST(HandleValueTest, SerialCounterWrapsToZeroAfter2047) {
    int32_t counter = 2046;
    EXPECT_EQ(TakeHandleSerial(&counter), 2046u);
    EXPECT_EQ(TakeHandleSerial(&counter), 2047u);
    EXPECT_EQ(counter, 0);
    EXPECT_EQ(TakeHandleSerial(&counter), 0u);
    EXPECT_EQ(counter, 1);
}

}  // namespace
