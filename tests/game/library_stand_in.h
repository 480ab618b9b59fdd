// A recording stand-in for the library entries the game calls: scripted pad bits, graph and
// sound loads that hand out numbered handles (or fail for chosen files), a fixed local time,
// and a record of every sound call. Installed for the lifetime of the object.
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "library_entries.h"

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
    void setGraphSize(const std::string& file, int w, int h) { sizes_[file] = {w, h}; }
    void failFile(const std::string& file) { failing_.insert(file); }
    void setDateTime(const GameDateTime& t) { now_ = t; }

    std::vector<StandInCall>& calls() { return calls_; }
    void clearCalls() { calls_.clear(); }
    // The handles passed to play calls, with their play types, since the last clear.
    std::vector<std::pair<int, int>> plays() const;
    // True when a play of handle was recorded since the last clear.
    bool played(int handle) const;

    static LibraryStandIn* current;

private:
    friend struct StandInEntries;

    uint32_t padBits_ = 0;
    std::map<std::string, std::pair<int, int>> sizes_;
    std::map<int, std::pair<int, int>> handleSizes_;
    std::set<std::string> failing_;
    GameDateTime now_;
    std::vector<StandInCall> calls_;
    int nextGraph_ = 1000;
    int nextSound_ = 100;
};
