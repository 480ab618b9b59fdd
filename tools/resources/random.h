// A small fixed-seed random generator (xorshift32), so that every run of the tool makes the
// same files.
#pragma once

#include <cstdint>

namespace res {

class Random {
public:
    explicit Random(uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}

    uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    // Uniform in [0, 1).
    float Unit() { return static_cast<float>(Next() >> 8) / 16777216.0f; }
    // Uniform in [-1, 1).
    float Signed() { return Unit() * 2.0f - 1.0f; }

private:
    uint32_t state_;
};

}  // namespace res
