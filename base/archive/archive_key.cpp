#include "base/archive/archive_key.h"

#include <cstring>

namespace {

// THE KEY BYTES. Every archive written and read by this library depends on these values:
// changing any of them makes every stored archive unreadable. Keep them fixed.
//
// Without a key text the 12 source bytes are all the fill value 0xAA. Byte i then goes
// through operation i of kKeyOps; with the fill value this gives the default key
//   55 96 55 3F 55 55 C4 55 55 69 AA BD
// The fallback key is 12 bytes of 0xE5.
constexpr uint8_t kKeyFill = 0xAA;
constexpr uint8_t kFallbackKeyByte = 0xE5;

enum class KeyOp : uint8_t { Complement, Xor, RotateLeft };
struct KeyStep {
    KeyOp op;
    uint8_t value;  // XOR constant or rotation count
};
constexpr KeyStep kKeyOps[kArchiveKeySize] = {
    {KeyOp::Complement, 0}, {KeyOp::Xor, 0x3C},      {KeyOp::RotateLeft, 3},
    {KeyOp::Xor, 0x95},     {KeyOp::Complement, 0},  {KeyOp::RotateLeft, 5},
    {KeyOp::Xor, 0x6E},     {KeyOp::RotateLeft, 1},  {KeyOp::Complement, 0},
    {KeyOp::Xor, 0xC3},     {KeyOp::RotateLeft, 6},  {KeyOp::Xor, 0x17},
};

uint8_t ApplyKeyStep(uint8_t b, const KeyStep& step) {
    switch (step.op) {
        case KeyOp::Complement: return static_cast<uint8_t>(~b);
        case KeyOp::Xor: return static_cast<uint8_t>(b ^ step.value);
        case KeyOp::RotateLeft:
            return static_cast<uint8_t>((b << step.value) | (b >> (8 - step.value)));
    }
    return b;
}

}  // namespace

ArchiveKey BuildArchiveKey(const char* keyText) {
    uint8_t source[kArchiveKeySize];
    const size_t length = keyText == nullptr ? 0 : std::strlen(keyText);
    for (size_t i = 0; i < kArchiveKeySize; ++i) {
        source[i] = length == 0 ? kKeyFill : static_cast<uint8_t>(keyText[i % length]);
    }
    ArchiveKey key;
    for (size_t i = 0; i < kArchiveKeySize; ++i) key.bytes[i] = ApplyKeyStep(source[i], kKeyOps[i]);
    return key;
}

ArchiveKey FallbackArchiveKey() {
    ArchiveKey key;
    std::memset(key.bytes, kFallbackKeyByte, sizeof(key.bytes));
    return key;
}

void XorArchiveBytes(void* data, size_t size, uint64_t fileOffset, const ArchiveKey& key) {
    auto* bytes = static_cast<uint8_t*>(data);
    size_t phase = static_cast<size_t>(fileOffset % kArchiveKeySize);
    size_t i = 0;
    // Up to the next key boundary byte by byte, then whole 12-byte words.
    for (; i < size && phase != 0; ++i, phase = (phase + 1) % kArchiveKeySize) {
        bytes[i] ^= key.bytes[phase];
    }
    for (; i + kArchiveKeySize <= size; i += kArchiveKeySize) {
        for (size_t k = 0; k < kArchiveKeySize; ++k) bytes[i + k] ^= key.bytes[k];
    }
    for (size_t k = 0; i < size; ++i, ++k) bytes[i] ^= key.bytes[k];
}
