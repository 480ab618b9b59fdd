// The check of the ZN_* variables: every accepted value passes, and every other value is
// refused with a message that names the variable and the values it accepts.
#include "platform/core/environment.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>

#include "platform/core/clock.h"

namespace {

struct Case {
    const char* name;
    std::string value;
    const char* wanted;  // "" for a good value, else a piece the message must hold
};

std::string Check(const std::map<std::string, std::string>& variables) {
    return plat::CheckEnvironment([&variables](const char* name) -> const char* {
        auto it = variables.find(name);
        return it == variables.end() ? nullptr : it->second.c_str();
    });
}

class EnvironmentTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zn_environment_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        script_ = dir_ + "/script.txt";
        std::FILE* f = std::fopen(script_.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs("1 down Z\n", f);
        std::fclose(f);
        pipe_ = dir_ + "/pipe";
        ASSERT_EQ(mkfifo(pipe_.c_str(), 0644), 0);
    }
    void TearDown() override {
        std::remove(pipe_.c_str());
        std::remove(script_.c_str());
        rmdir(dir_.c_str());
    }
    std::string dir_;
    std::string script_;
    std::string pipe_;
};

TEST_F(EnvironmentTest, AcceptsTheDocumentedValuesAndRefusesOthersNamingTheVariable) {
    const Case cases[] = {
        {"ZN_CLOCK", "virtual", ""},
        {"ZN_CLOCK", "real", "ZN_CLOCK=real: accepted values are virtual"},
        {"ZN_CLOCK", "Virtual", "ZN_CLOCK=Virtual"},
        {"ZN_DEBUG_OUTPUT", "0", ""},
        {"ZN_DEBUG_OUTPUT", "1", ""},
        {"ZN_DEBUG_OUTPUT", "yes", "ZN_DEBUG_OUTPUT=yes: accepted values are 0 or 1"},
        {"ZN_VIDEO", "headless", ""},
        {"ZN_VIDEO", "sdl2", ""},
        {"ZN_VIDEO", "x11", "ZN_VIDEO=x11: accepted values are headless or sdl2"},
        {"ZN_ANSWER", "yes", ""},
        {"ZN_ANSWER", "no", ""},
        {"ZN_ANSWER", "cancel", ""},
        {"ZN_ANSWER", "ok", ""},
        {"ZN_ANSWER", "maybe", "ZN_ANSWER=maybe: accepted values are yes, no, cancel or ok"},
        {"ZN_ANSWER", "yes ", "ZN_ANSWER=yes "},
        {"ZN_NOW", "2024-02-29T23:59:59", ""},
        {"ZN_NOW", "1970-01-01T00:00:00", ""},
        {"ZN_NOW", "2023-02-29T12:00:00", "ZN_NOW=2023-02-29T12:00:00: accepted values are"},
        {"ZN_NOW", "2024-13-01T00:00:00", "YYYY-MM-DDTHH:MM:SS"},
        {"ZN_NOW", "2024-01-01T24:00:00", "ZN_NOW="},
        {"ZN_NOW", "2024-01-01 00:00:00", "ZN_NOW="},
        {"ZN_NOW", "2024-1-01T00:00:00", "ZN_NOW="},
        {"ZN_NOW", "2024-01-01T00:00:00Z", "ZN_NOW="},
        {"ZN_NOW", "1969-12-31T23:59:59", "ZN_NOW="},
        {"ZN_INPUT", script_, ""},
        {"ZN_INPUT", dir_, "is a folder"},
        {"ZN_INPUT", dir_ + "/missing.txt", "no such file"},
        // A pipe or a device is never opened: its reading would wait for the other end.
        {"ZN_INPUT", pipe_, "is a pipe or a device"},
        {"ZN_INPUT", "/dev/null", "is a pipe or a device"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + "=" + c.value);
        const std::string problem = Check({{c.name, c.value}});
        if (*c.wanted == '\0') {
            EXPECT_EQ(problem, "");
        } else {
            EXPECT_NE(problem.find(c.wanted), std::string::npos) << problem;
            EXPECT_EQ(problem.rfind(c.name, 0), 0u) << problem;  // the variable comes first
        }
    }
}

TEST_F(EnvironmentTest, UnsetAndEmptyVariablesTakeTheirDefaults) {
    EXPECT_EQ(Check({}), "");
    EXPECT_EQ(Check({{"ZN_CLOCK", ""}, {"ZN_NOW", ""}, {"ZN_INPUT", ""}, {"ZN_VIDEO", ""},
                     {"ZN_ANSWER", ""}, {"ZN_DEBUG_OUTPUT", ""}}),
              "");
}

TEST_F(EnvironmentTest, NowIsReadAsTheDateAndTimeItNames) {
    plat::LocalDateTime t{};
    ASSERT_TRUE(plat::ParseNow("2008-03-07T09:05:12", &t));
    EXPECT_EQ(t.year, 2008u);
    EXPECT_EQ(t.month, 3u);
    EXPECT_EQ(t.day, 7u);
    EXPECT_EQ(t.hour, 9u);
    EXPECT_EQ(t.minute, 5u);
    EXPECT_EQ(t.second, 12u);
}

}  // namespace
