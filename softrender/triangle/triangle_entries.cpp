#include "softrender/triangle/triangle_spans.h"

namespace {

// The dispatch tables of the six span groups, an entry per blend mode each.
constexpr TriangleEntryTable kFlat16Entries = MakeFlatEntries<0>();
constexpr TriangleEntryTable kFlat32Entries = MakeFlatEntries<1>();
constexpr TriangleEntryTable kPaletted32Entries = MakeTexturedEntries<1, true>();
constexpr TriangleEntryTable kDirect32Entries = MakeTexturedEntries<1, false>();
constexpr TriangleEntryTable kPaletted16Entries = MakeTexturedEntries<0, true>();
constexpr TriangleEntryTable kDirect16Entries = MakeTexturedEntries<0, false>();
constexpr TriangleEntryTable kNoEntries = {};

}  // namespace

const TriangleEntryTable& GetTriangleEntries(TriangleGroup group) {
    switch (group) {
        case TriangleGroup::Flat16:
            return kFlat16Entries;
        case TriangleGroup::Flat32:
            return kFlat32Entries;
        case TriangleGroup::Paletted32:
            return kPaletted32Entries;
        case TriangleGroup::Direct32:
            return kDirect32Entries;
        case TriangleGroup::Paletted16:
            return kPaletted16Entries;
        case TriangleGroup::Direct16:
            return kDirect16Entries;
        default:
            return kNoEntries;
    }
}
