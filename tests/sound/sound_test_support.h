// A memory DataStream over its own copy of a byte vector, closed when it goes out of scope.
#pragma once
#include <utility>
#include <vector>

#include "base/data_stream.h"
#include "base/memory_stream.h"

class MemoryDataStream {
public:
    explicit MemoryDataStream(std::vector<unsigned char> bytes)
        : bytes_(std::move(bytes)),
          stream_{*GetMemStreamFunctions(), MemStreamOpen(bytes_.data(), bytes_.size())} {}
    ~MemoryDataStream() {
        if (stream_.handle != 0) stream_.functions.close(stream_.handle);
    }
    MemoryDataStream(const MemoryDataStream&) = delete;
    MemoryDataStream& operator=(const MemoryDataStream&) = delete;

    DataStream* get() { return &stream_; }

private:
    std::vector<unsigned char> bytes_;
    DataStream stream_;
};
