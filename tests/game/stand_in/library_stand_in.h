// A recording stand-in for the library entries the game's resources, joypad and high scores
// call: scripted pad bits, graph and sound loads that hand out numbered handles (or fail for
// chosen files), a fixed local time, and a record of every sound call. The game's unit tests
// link these entries in place of the library; they answer through the object while it lives
// (and fail, as a library that is not there, when no stand-in is alive).
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "api.h"

struct StandInCall {
    std::string op;   // "volume", "stop", "play", "pad", "loadGraph", "loadDivGraph", "loadSound"
    int a = 0;
    int b = 0;
    int c = 0;
    std::string file;

    bool operator==(const StandInCall& o) const {
        return op == o.op && a == o.a && b == o.b && c == o.c && file == o.file;
    }
};

class LibraryStandIn {
public:
    LibraryStandIn();
    ~LibraryStandIn();
    LibraryStandIn(const LibraryStandIn&) = delete;
    LibraryStandIn& operator=(const LibraryStandIn&) = delete;

    void setPadBits(uint32_t bits) { padBits_ = bits; }
    // Bits of the pad read with this number (counted from 1); other reads see setPadBits's.
    void setPadBitsAt(int read, uint32_t bits) { padBitsByRead_[read] = bits; }
    void setGraphSize(const std::string& file, int w, int h) { sizes_[file] = {w, h}; }
    void failFile(const std::string& file) { failing_.insert(file); }
    void setDateTime(const ApiDateTime& t) { now_ = t; }

    std::vector<StandInCall>& calls() { return calls_; }
    void clearCalls() { calls_.clear(); }
    // The handles passed to play calls, with their play types, since the last clear.
    std::vector<std::pair<int, int>> plays() const;
    // True when a play of handle was recorded since the last clear.
    bool played(int handle) const;

    static LibraryStandIn* current;

private:
    friend struct LibraryStandInEntries;

    uint32_t padBits_ = 0;
    int padReads_ = 0;
    std::map<int, uint32_t> padBitsByRead_;
    std::map<std::string, std::pair<int, int>> sizes_;
    std::map<int, std::pair<int, int>> handleSizes_;
    std::set<std::string> failing_;
    ApiDateTime now_{};
    std::vector<StandInCall> calls_;
    int nextGraph_ = 1000;
    int nextSound_ = 100;
};
