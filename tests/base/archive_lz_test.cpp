#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "base/archive/archive_format.h"
#include "base/archive/lz_pack.h"
#include "base/archive/lz_unpack.h"

namespace {

std::vector<unsigned char> Block(uint32_t unpacked, unsigned char escape,
                                 std::vector<unsigned char> stream) {
    std::vector<unsigned char> block(kArchivePackedHeaderSize + stream.size());
    WriteLe32(block.data(), unpacked);
    WriteLe32(block.data() + 4, static_cast<uint32_t>(block.size()));
    block[8] = escape;
    std::copy(stream.begin(), stream.end(), block.begin() + kArchivePackedHeaderSize);
    return block;
}

// -1, or the unpacked bytes as a string.
std::string Unpack(const std::vector<unsigned char>& block) {
    const int64_t size = UnpackLz(block.data(), block.size(), nullptr);
    if (size < 0) return "<bad header>";
    std::string out(static_cast<size_t>(size) + 1, '\0');
    if (UnpackLz(block.data(), block.size(), out.data()) != size) return "<damaged>";
    out.resize(static_cast<size_t>(size));
    return out;
}

std::string RandomText(size_t size, uint32_t seed, int alphabet) {
    std::mt19937 random(seed);
    std::string text(size, '\0');
    for (char& c : text) c = static_cast<char>(random() % alphabet);
    return text;
}

TEST(ArchiveLz, DoubleEscapeIsOneLiteralEscape) {
    EXPECT_EQ(Unpack(Block(3, 0x7F, {'a', 0x7F, 0x7F, 'b'})), std::string("a\x7F" "b"));
}

TEST(ArchiveLz, CodeAboveEscapeIsTakenOneLower) {
    // Escape 0x05. Code 0x09 is above it and means 0x08: length (8 >> 3) + 4 = 5, one offset
    // byte 0: distance 1, so the last byte repeats five times.
    EXPECT_EQ(Unpack(Block(6, 0x05, {'x', 0x05, 0x09, 0x00})), "xxxxxx");
    // Code 0x04 is below the escape and taken as it is: length 4 + (b << 5) with b = 1 gives
    // 36; two bytes of distance 2 repeat.
    EXPECT_EQ(Unpack(Block(38, 0x05, {'a', 'b', 0x05, 0x04, 0x01, 0x01})),
              std::string(38, ' ').replace(0, 38, [] {
                  std::string s;
                  for (int i = 0; i < 19; ++i) s += "ab";
                  return s;
              }()));
}

TEST(ArchiveLz, ThreeByteOffsetsReachFar) {
    // Code 0x12: length (0x12 >> 3) + 4 = 6, three offset bytes; escape 0xFF.
    std::string start = RandomText(70000, 1, 200);
    std::vector<unsigned char> stream(start.begin(), start.end());
    const uint32_t offset = 69999;  // distance 70000: back to the first byte
    for (unsigned char c : {0xFF, 0x12}) stream.push_back(c);
    for (int i = 0; i < 3; ++i) stream.push_back(static_cast<unsigned char>(offset >> (8 * i)));
    EXPECT_EQ(Unpack(Block(70006, 0xFF, stream)), start + start.substr(0, 6));
}

TEST(ArchiveLz, PackThenUnpackGivesTheInput) {
    std::string repeated;
    for (int i = 0; i < 4000; ++i) repeated += "line " + std::to_string(i % 97) + " of the text\n";
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"empty", ""},
        {"one byte", "a"},
        {"run", std::string(100000, 'z')},
        {"text", repeated},
        {"noise", RandomText(50000, 2, 256)},
        {"small alphabet", RandomText(60000, 3, 4)},
        {"every byte", [] {
             std::string s;
             for (int i = 0; i < 256 * 40; ++i) s += static_cast<char>(i * 7);
             return s;
         }()},
    };
    for (const auto& [name, input] : cases) {
        SCOPED_TRACE(name);
        const std::vector<unsigned char> block = PackLz(input.data(), input.size());
        EXPECT_EQ(PackedBlockPackedSize(block.data()), block.size());
        EXPECT_EQ(Unpack(block), input);
    }
    const std::vector<unsigned char> run = PackLz(cases[2].second.data(), 100000);
    EXPECT_LT(run.size(), 200u) << "a long run packs into a few copies";
}

TEST(ArchiveLz, DamagedStreamsAreRefused) {
    const std::vector<std::pair<const char*, std::vector<unsigned char>>> cases = {
        {"copy before the start", Block(5, 0xFE, {'a', 0xFE, 0x00, 0x01})},
        {"copy at the very start", Block(4, 0xFE, {0xFE, 0x00, 0x00})},
        {"output past the size", Block(3, 0xFE, {'a', 'b', 'c', 'd'})},
        {"copy past the size", Block(4, 0xFE, {'a', 0xFE, 0x00, 0x00})},
        {"escape at the end", Block(1, 0xFE, {'a', 0xFE})},
        {"length byte missing", Block(40, 0xFE, {'a', 0xFE, 0x04})},
        {"offset byte missing", Block(5, 0xFE, {'a', 0xFE, 0x01, 0x00})},
        {"offset code 3", Block(5, 0xFE, {'a', 0xFE, 0x03, 0, 0, 0, 0})},
        {"ends short of the size", Block(10, 0xFE, {'a', 'b'})},
    };
    for (const auto& [name, block] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Unpack(block), "<damaged>");
    }
}

TEST(ArchiveLz, HeadersThatDisagreeWithTheBytesAreRefused) {
    std::vector<unsigned char> block = Block(2, 0xFE, {'a', 'b'});
    EXPECT_EQ(UnpackLz(block.data(), 8, nullptr), -1) << "shorter than the header";
    EXPECT_EQ(UnpackLz(block.data(), block.size() - 1, nullptr), -1) << "packed size too big";
    WriteLe32(block.data() + 4, 8);
    EXPECT_EQ(UnpackLz(block.data(), block.size(), nullptr), -1) << "packed size below 9";
}

}  // namespace
