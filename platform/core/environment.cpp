#include "platform/core/environment.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/core/clock.h"

namespace plat {

namespace {

// A value is good when it is one of the listed words.
struct WordVariable {
    const char* name;
    const char* words[5];  // null-terminated
    const char* accepted;  // as the message shows them
};

constexpr WordVariable kWordVariables[] = {
    {"ZN_CLOCK", {"virtual", nullptr}, "virtual"},
    {"ZN_DEBUG_OUTPUT", {"0", "1", nullptr}, "0 or 1"},
    {"ZN_VIDEO", {"headless", "sdl2", nullptr}, "headless or sdl2"},
    {"ZN_ANSWER", {"yes", "no", "cancel", "ok", nullptr}, "yes, no, cancel or ok"},
    {"ZN_DIRECT3D", {"on", "off", nullptr}, "on or off"},
};

bool IsWordOf(const WordVariable& v, const char* value) {
    for (const char* const* w = v.words; *w != nullptr; ++w) {
        if (std::strcmp(*w, value) == 0) return true;
    }
    return false;
}

// Reads exactly `digits` decimal digits.
bool ReadNumber(const char*& p, int digits, uint32_t* out) {
    uint32_t value = 0;
    for (int i = 0; i < digits; ++i, ++p) {
        if (*p < '0' || *p > '9') return false;
        value = value * 10 + static_cast<uint32_t>(*p - '0');
    }
    *out = value;
    return true;
}

bool ReadChar(const char*& p, char c) {
    if (*p != c) return false;
    ++p;
    return true;
}

uint32_t DaysInMonth(uint32_t year, uint32_t month) {
    static constexpr uint32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

std::string CheckInputPath(const char* path) {
    struct stat st {};
    if (stat(path, &st) != 0) return std::string(path) + ": no such file";
    if (S_ISDIR(st.st_mode)) return std::string(path) + ": is a folder; give a script file";
    // A pipe or a device would hold the script's reading until its other end writes.
    if (!S_ISREG(st.st_mode)) {
        return std::string(path) + ": is a pipe or a device; give a script file";
    }
    if (access(path, R_OK) != 0) return std::string(path) + ": cannot be read";
    return "";
}

}  // namespace

bool ParseNow(const char* text, LocalDateTime* out) {
    LocalDateTime t{};
    const char* p = text;
    if (!ReadNumber(p, 4, &t.year) || !ReadChar(p, '-') || !ReadNumber(p, 2, &t.month) ||
        !ReadChar(p, '-') || !ReadNumber(p, 2, &t.day) || !ReadChar(p, 'T') ||
        !ReadNumber(p, 2, &t.hour) || !ReadChar(p, ':') || !ReadNumber(p, 2, &t.minute) ||
        !ReadChar(p, ':') || !ReadNumber(p, 2, &t.second) || *p != '\0') {
        return false;
    }
    if (t.year < 1970 || t.month < 1 || t.month > 12 || t.day < 1 ||
        t.day > DaysInMonth(t.year, t.month) || t.hour > 23 || t.minute > 59 || t.second > 59) {
        return false;
    }
    *out = t;
    return true;
}

std::string CheckEnvironment(const EnvironmentLookup& lookup) {
    for (const WordVariable& v : kWordVariables) {
        const char* value = lookup(v.name);
        if (value == nullptr || *value == '\0' || IsWordOf(v, value)) continue;
        return std::string(v.name) + "=" + value + ": accepted values are " + v.accepted;
    }
    if (const char* now = lookup("ZN_NOW"); now != nullptr && *now != '\0') {
        LocalDateTime t{};
        if (!ParseNow(now, &t)) {
            return std::string("ZN_NOW=") + now +
                   ": accepted values are a date and time YYYY-MM-DDTHH:MM:SS (from 1970 on)";
        }
    }
    if (const char* input = lookup("ZN_INPUT"); input != nullptr && *input != '\0') {
        const std::string problem = CheckInputPath(input);
        if (!problem.empty()) {
            return "ZN_INPUT=" + problem + " (accepted values are the path of a script file)";
        }
    }
    return "";
}

void StopForEnvironment(const char* name, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", name, message.c_str());
    std::fflush(stderr);
    std::_Exit(2);
}

void CheckProcessEnvironment() {
    static std::once_flag once;
    std::call_once(once, [] {
        const std::string problem =
            CheckEnvironment([](const char* name) -> const char* { return std::getenv(name); });
        if (problem.empty()) return;
        std::fprintf(stderr, "%s\n", problem.c_str());
        std::fflush(stderr);
        std::_Exit(2);
    });
}

namespace {
// The check also runs as the process starts, before any variable is used.
struct CheckAtStart {
    CheckAtStart() { CheckProcessEnvironment(); }
} g_checkAtStart;
}  // namespace

}  // namespace plat
