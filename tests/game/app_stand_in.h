// A recording stand-in for the library entries the application and its main loop call: the
// start-up question's answer, the library's start, the pump (which can report quit at a
// chosen call), keyboard snapshots by read, a fixed local time, and a log of every call in
// order. The clock stays the library's own (tests put it on the virtual clock). Installed
// for the lifetime of the object.
#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

#include "library_entries.h"

class AppStandIn {
public:
    AppStandIn();
    ~AppStandIn();
    AppStandIn(const AppStandIn&) = delete;
    AppStandIn& operator=(const AppStandIn&) = delete;

    // Calls in order: "question <text>|<caption>|<buttons>", "windowMode <flag>",
    // "title <text>", "initLibrary", "fontType <n>", "drawTarget <n>", "text <x> <y> <text>",
    // "present", "waitInput", "term", "pump", "clear", "save <x1> <y1> <x2> <y2> <file> <type>
    // <quality> <flag> <level>"; tests add their own lines ("update 3", "draw A") with note().
    std::vector<std::string>& log() { return log_; }
    const std::vector<std::string>& log() const { return log_; }
    void note(const std::string& line) { log_.push_back(line); }
    // The log without the lines that start with one of these prefixes.
    std::vector<std::string> logWithout(const std::vector<std::string>& prefixes) const;

    void setAnswer(int answer) { answer_ = answer; }
    void setInitResult(int result) { initResult_ = result; }
    // The pump reports quit from this call on (counted from 1; 0: never).
    void quitAtPump(int call) { quitAtPump_ = call; }
    // Keys down in the read with this number (counted from 1); other reads see no key.
    void setKeysAt(int read, std::set<int> keys) { keysByRead_[read] = std::move(keys); }
    // This read fails (-1) and leaves the buffer as it is.
    void failKeyReadAt(int read) { failingReads_.insert(read); }
    void setDateTime(const GameDateTime& t) { now_ = t; }

    static AppStandIn* current;

private:
    friend struct AppStandInEntries;

    std::vector<std::string> log_;
    int answer_ = 7;  // No
    int initResult_ = 0;
    int quitAtPump_ = 0;
    int pumps_ = 0;
    int keyReads_ = 0;
    std::map<int, std::set<int>> keysByRead_;
    std::set<int> failingReads_;
    GameDateTime now_;
};
