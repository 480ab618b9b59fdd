// The archive key: 12 bytes that every byte of an archive is XORed with, by its file offset.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr size_t kArchiveKeySize = 12;

struct ArchiveKey {
    uint8_t bytes[kArchiveKeySize];
};

// The key of a key text: the text repeated to fill 12 bytes (a longer text gives its first 12),
// then each byte through a fixed operation of its own. Null or "" uses the fixed fill value.
ArchiveKey BuildArchiveKey(const char* keyText);
// The key tried once more when the header does not decode with the built key.
ArchiveKey FallbackArchiveKey();

// XORs size bytes that lie at fileOffset in the archive with the key (scrambling and
// unscrambling are the same operation).
void XorArchiveBytes(void* data, size_t size, uint64_t fileOffset, const ArchiveKey& key);
