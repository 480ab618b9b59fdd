// The ZN_* environment variables that change how the platform layer runs. Each is checked
// once, when the process starts: an unset or empty variable takes its default, an accepted
// value its meaning, and any other value stops the program with a message on stderr that
// names the variable and the values it accepts.
//
//   ZN_CLOCK         virtual
//   ZN_NOW           YYYY-MM-DDTHH:MM:SS (a real date and time of day)
//   ZN_INPUT         a readable file (the script itself is checked as it is loaded)
//   ZN_DEBUG_OUTPUT  0 or 1
//   ZN_VIDEO         headless or sdl2
//   ZN_ANSWER        yes, no, cancel or ok
#pragma once
#include <functional>
#include <string>

namespace plat {

// Looks a variable up: its value, or null when unset.
using EnvironmentLookup = std::function<const char*(const char* name)>;

// The first problem among the variables as lookup gives them ("ZN_ANSWER=maybe: accepted
// values are yes, no, cancel or ok"), or "" when every one is good.
std::string CheckEnvironment(const EnvironmentLookup& lookup);

// Checks the process's environment once; a problem ends the process there with exit code 2.
// The readers of the variables call it first, so no variable is used before it is checked.
void CheckProcessEnvironment();

// Ends the process at start for a bad variable: "NAME: message" on stderr, exit code 2.
[[noreturn]] void StopForEnvironment(const char* name, const std::string& message);

// ZN_NOW's text as a date and time; false for anything but a real YYYY-MM-DDTHH:MM:SS.
struct LocalDateTime;
bool ParseNow(const char* text, LocalDateTime* out);

}  // namespace plat
