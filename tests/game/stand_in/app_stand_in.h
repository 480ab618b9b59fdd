// A recording stand-in for the library entries the application and its main loop call: the
// start-up question's answer, the library's start, the pump (which can report quit at a
// chosen call), keyboard snapshots by read, a fixed local time, and a log of every call in
// order. The game's unit tests link these entries in place of the library; they answer
// through the object while it lives (and fail, as a library that is not there, when no
// stand-in is alive).
//
// The millisecond clock is a virtual one that belongs to no object: it starts at 0, moves on
// only when a test moves it and by a chosen step on every read (so a busy wait on it ends).
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "api.h"

class AppStandIn {
public:
    AppStandIn();
    ~AppStandIn();
    AppStandIn(const AppStandIn&) = delete;
    AppStandIn& operator=(const AppStandIn&) = delete;

    // Calls in order: "question <text>|<caption>|<buttons>", "windowMode <flag>",
    // "title <text>", "initLibrary", "fontType <n>", "drawTarget <n>", "colorKey <r> <g> <b>",
    // "text <x> <y> <text> <colour> <edge>", "present", "waitInput", "term", "pump", "clear",
    // "save <x1> <y1> <x2> <y2> <file> <type> <quality> <flag> <level>", and the drawing calls
    // "graph <x> <y> <handle> <trans>", "rotated <x> <y> <scale> <angle> <handle> <trans>
    // <turn>" (scale and angle with four decimals), "blend <mode> <param>",
    // "bright <r> <g> <b>"; tests add their own
    // lines ("update 3", "draw A") with note().
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
    void setDateTime(const ApiDateTime& t) { now_ = t; }

    // The virtual millisecond clock: back to 0 with no read step.
    static void resetClock();
    // Every read moves the clock on by this many microseconds before it is read.
    static void setClockReadStep(uint64_t microseconds);
    static void advanceClock(uint64_t microseconds);

    static AppStandIn* current;

private:
    friend struct AppStandInEntries;

    std::vector<std::string> log_;
    int answer_ = ApiAnswerNo;
    int initResult_ = 0;
    int quitAtPump_ = 0;
    int pumps_ = 0;
    int keyReads_ = 0;
    std::map<int, std::set<int>> keysByRead_;
    std::set<int> failingReads_;
    ApiDateTime now_{};
};
