#include <gtest/gtest.h>

#include <vector>

#include "base/archive/archive_key.h"

namespace {

std::vector<int> Bytes(const ArchiveKey& key) { return {key.bytes, key.bytes + kArchiveKeySize}; }

// Stored archives depend on these values: they must never change.
TEST(ArchiveKey, DefaultAndFallbackKeysAreFixed) {
    const std::vector<int> expected = {0x55, 0x96, 0x55, 0x3F, 0x55, 0x55,
                                       0xC4, 0x55, 0x55, 0x69, 0xAA, 0xBD};
    EXPECT_EQ(Bytes(BuildArchiveKey(nullptr)), expected);
    EXPECT_EQ(Bytes(BuildArchiveKey("")), expected);
    EXPECT_EQ(Bytes(FallbackArchiveKey()), std::vector<int>(12, 0xE5));
}

TEST(ArchiveKey, TextIsRepeatedOrCutToTwelveBytes) {
    EXPECT_EQ(Bytes(BuildArchiveKey("ab")), Bytes(BuildArchiveKey("abababababab")));
    EXPECT_EQ(Bytes(BuildArchiveKey("abcdefghijklXYZ")), Bytes(BuildArchiveKey("abcdefghijkl")));
    EXPECT_NE(Bytes(BuildArchiveKey("ab")), Bytes(BuildArchiveKey("ba")));
}

TEST(ArchiveKey, XorDependsOnlyOnTheFileOffset) {
    const ArchiveKey key = BuildArchiveKey("key");
    std::vector<unsigned char> whole(100);
    for (size_t i = 0; i < whole.size(); ++i) whole[i] = static_cast<unsigned char>(i * 3);
    std::vector<unsigned char> pieces = whole;
    XorArchiveBytes(whole.data(), whole.size(), 1000, key);
    // The same bytes in uneven pieces at their own offsets.
    size_t at = 0;
    for (size_t piece : {1, 5, 12, 13, 2, 40, 27}) {
        XorArchiveBytes(pieces.data() + at, piece, 1000 + at, key);
        at += piece;
    }
    EXPECT_EQ(whole, pieces);
    for (size_t i = 0; i < whole.size(); ++i) {
        EXPECT_EQ(whole[i], static_cast<unsigned char>((i * 3) ^ key.bytes[(1000 + i) % 12]));
    }
    XorArchiveBytes(whole.data(), whole.size(), 1000, key);
    EXPECT_EQ(whole[99], static_cast<unsigned char>(99 * 3)) << "twice gives the bytes back";
}

}  // namespace
