// The archive's LZ packer, the inverse of UnpackLz: the escape byte is the least frequent byte
// of the input, escape bytes in the input are written twice, and repeats of 4 to 8195 bytes up
// to 16 MB back become copies when that makes the output shorter.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The packed block (9-byte header included) of size bytes at data.
std::vector<unsigned char> PackLz(const void* data, size_t size);
