// Little-endian byte building for the file writers, and writing bytes to a file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace res {

class ByteWriter {
public:
    void U8(uint8_t v) { bytes_.push_back(v); }
    void U16(uint16_t v) {
        U8(static_cast<uint8_t>(v));
        U8(static_cast<uint8_t>(v >> 8));
    }
    void U32(uint32_t v) {
        U16(static_cast<uint16_t>(v));
        U16(static_cast<uint16_t>(v >> 16));
    }
    void Text(const char* s) {
        while (*s) U8(static_cast<uint8_t>(*s++));
    }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

// True when every byte reached the file; on failure a line names the file on stderr.
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace res
