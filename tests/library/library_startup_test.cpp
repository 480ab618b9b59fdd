// Library start-up and shut-down: the order of their steps as the log shows it, the window
// they make, and every start-up failure ending in its own log line and result.
#include "library/library_startup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "graphics/draw_state/draw_state.h"
#include "graphics/graphs/graphics_state.h"
#include "library/library_modules.h"
#include "platform/backend/backend_entries.h"
#include "platform/dinput/input_backend.h"
#include "platform/testing/backend_test_controls.h"
#include "platform/window/instance_lock.h"
#include "platform/core/system_info.h"
#include "platform/core/thread.h"
#include "platform/window/window.h"
#include "system/input_host.h"
#include "system/message_pump.h"
#include "system/window_facts.h"
#include "system/window_system.h"
#include "tests/support/library_fixture.h"
#include "base/tracked_memory.h"

namespace {

using LibraryStartupTest = LibraryFixture;

// True when the log line matches the expected one; an expected line ending in '*' only has
// to start the log line.
bool LineMatches(const std::string& got, const std::string& want) {
    if (!want.empty() && want.back() == '*') {
        return got.compare(0, want.size() - 1, want, 0, want.size() - 1) == 0;
    }
    return got == want;
}

// Compares the log from `from` on with the expected lines, one after the other; "..." stands
// for any number of lines of another part of the library.
void ExpectLinesFrom(const std::vector<std::string>& lines, size_t from,
                     const std::vector<std::string>& expected) {
    size_t at = from;
    bool gap = false;
    for (const std::string& want : expected) {
        if (want == "...") {
            gap = true;
            continue;
        }
        if (gap) {
            while (at < lines.size() && !LineMatches(lines[at], want)) ++at;
        }
        ASSERT_LT(at, lines.size()) << "missing: " << want;
        EXPECT_TRUE(LineMatches(lines[at], want)) << "line " << at << ": " << lines[at];
        ++at;
        gap = false;
    }
}

// The OS line names the kernel really running, with the version facts the layer reports.
std::string OsLine() {
    const plat::OsVersionInfo os = plat::GetOsVersion();
    return std::string("\tＯＳ  ") + os.system + " ( Build " + std::to_string(os.build) + " " +
           os.service + " )";
}

const std::vector<std::string> kStartUpLines = {
    "システムの情報を出力します",
    "\tＺＮライブラリ Ver2.24c",
    OsLine(),
    "\tＣＰＵ動作速度：大体*",
    "\tＭＭＸ命令を使用します",
    "\tＣＰＵベンダ：GenuineIntel",
    "\tＣＰＵ名：Test CPU 1.0",
    "ＣＯＭの初期化... 成功しました",
    "メモリ総量:512.00MB  空きメモリ領域:256.00MB ",
    "タイマーの精度を検査します",
    // Under the virtual clock both clocks change on every read: a tie keeps the counter.
    "精度結果 更新回数 マルチメディアタイマー：60  パフォーマンスカウンター：60",
    " パフォーマンスカウンターを使用します タイマー分解能 : 1000000.000000 KHz ",
    " ソフトの二重起動検査... 二重起動はされていませんでした",
    "ウインドウクラスを登録します... 登録に成功しました",
    "フルスクリーンモード用のウインドウを作成します",
    "カーソルを不可視にしました",
    "ＩＭＥを無効にしました",
    "...",  // input devices
    "DirectInput 関連の初期化は正常に終了しました",
    "DirectSound の初期化を行います",
    "...",  // the sound device
    "DirectSound の初期化は正常に終了しました",
    "...",  // the screen opens; its mode change starts graph management
    "\t\tグラフィック管理系の初期化を行います",
    "\t\t\t３Ｄグラフィック描画機能は使用しません",
    "\t\t\tフォントの初期化を行います",
    "\t\t\tフォントの初期化は正常に終了しました",
    "\t\tグラフィック管理系の初期化は正常に終了しました",
};

const std::vector<std::string> kShutDownLines = {
    "グラフィック管理系の終了処理は正常に終了しました",
    "...",  // input devices
    "DirectSound の終了処理は正常に終了しました",
    "ウインドウを閉じようとしています",
    "ウインドウが破棄されようとしています",
    "ソフトを終了する準備が整いました",
    "ＣＯＭを終了... 完了",
    "",
    "Alloc memory dump*",
};

TEST_F(LibraryStartupTest, StartAndEndRunTheirStepsInOrder) {
    const uint32_t blocksBefore = GetAllocState().count;
    ASSERT_EQ(ApiInitLibrary(), 0);

    WindowData& data = GetWindowData();
    EXPECT_EQ(data.library.inStartUp, 0u);
    EXPECT_EQ(data.clock.started, 1u);
    EXPECT_EQ(data.library.comStarted, 1u);
    EXPECT_EQ(data.clock.usePerformanceCounter, 1u);
    EXPECT_EQ(data.window.mainThreadId, plat::CurrentThreadId());
    EXPECT_NE(data.window.pumpThread, nullptr);
    EXPECT_EQ(data.window.windowCreating, 0u);
    EXPECT_EQ(data.window.active, 1u);
    EXPECT_FALSE(plat::IsScreenSaverActive());
    EXPECT_EQ(GetDrawTarget(), kDrawTargetFront);
    EXPECT_EQ(&*WindowFactsSlot(), &kWindowSystemFacts);
    // The library's drivers for the layers below are in place while it runs.
    EXPECT_EQ(InputLibraryWindow(), Window());
    EXPECT_FALSE(FatalExitSlot().IsAbsent());
    EXPECT_FALSE(WindowMessageSlot().IsAbsent());

    // Without a title the class is "D123987X" and the window is called "ZnLib".
    const plat::WindowHandle window = Window();
    ASSERT_TRUE(plat::IsWindow(window));
    char title[64] = {};
    plat::GetWindowText(window, title, sizeof(title));
    EXPECT_STREQ(title, "ZnLib");
    EXPECT_TRUE(plat::HasWindowOfClass("D123987X"));
    EXPECT_TRUE(plat::IsWindowVisible(window));
    // The full-screen window covers the screen at (0, 0) above the other windows.
    uint32_t style = 0, exStyle = 0;
    plat::GetWindowStyle(window, &style, &exStyle);
    EXPECT_EQ(style & ~plat::WS_VISIBLE, 0x80000000u);
    EXPECT_EQ(exStyle, plat::WS_EX_TOPMOST);
    plat::Rect rect = {};
    plat::GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 640);
    EXPECT_EQ(rect.bottom, 480);

    const size_t startLines = LogLines().size();
    ExpectLinesFrom(LogLines(), 0, kStartUpLines);

    EXPECT_EQ(ApiTermLibrary(), 0);
    ExpectLinesFrom(LogLines(), startLines, kShutDownLines);

    EXPECT_FALSE(plat::IsWindow(window));
    EXPECT_FALSE(plat::HasWindowOfClass("D123987X"));
    EXPECT_EQ(data.window.handle, 0u);
    EXPECT_EQ(data.window.pumpThread, nullptr);
    EXPECT_EQ(data.window.pumpThreadEnded, 1u);
    EXPECT_TRUE(IsQuitRequested());
    EXPECT_EQ(data.clock.started, 0u);
    EXPECT_EQ(data.library.comStarted, 0u);
    EXPECT_EQ(data.library.ending, 1u);
    EXPECT_TRUE(plat::IsScreenSaverActive());
    EXPECT_EQ(GetApiLockState().created, 0u) << "the shut-down entry destroys the lock";
    EXPECT_TRUE(WindowFactsSlot().IsAbsent());
    EXPECT_TRUE(FatalExitSlot().IsAbsent());
    EXPECT_TRUE(WindowMessageSlot().IsAbsent());
    EXPECT_EQ(GetAllocState().count, blocksBefore);
}

TEST_F(LibraryStartupTest, WindowedStartCentresTheWindowAndNamesTheClassAfterTheTitle) {
    WindowSettings& settings = GetWindowData().settings;
    settings.windowed = 1;
    std::snprintf(settings.title, sizeof(settings.title), "%s", "VORNAST");
    StartWithoutPumpThread();

    EXPECT_STREQ(GetWindowData().settings.className, "VORNAST");
    EXPECT_TRUE(plat::HasWindowOfClass("VORNAST"));
    plat::Rect rect = {};
    plat::GetWindowRect(Window(), &rect);
    EXPECT_EQ(rect.left, (1920 - 640) / 2);
    EXPECT_EQ(rect.top, (1080 - 480) / 2);
    EXPECT_EQ(rect.right - rect.left, 640);
    EXPECT_EQ(rect.bottom - rect.top, 480);
    const plat::Rect& client = GetWindowData().window.clientRect;
    EXPECT_EQ(client.left, 640);
    EXPECT_EQ(client.top, 300);
    EXPECT_EQ(client.right, 1280);
    EXPECT_EQ(client.bottom, 780);
    EXPECT_TRUE(LogHas("ウインドウモード起動用のウインドウを作成します"));
    EXPECT_FALSE(LogHas("カーソルを不可視にしました"));
}

TEST_F(LibraryStartupTest, SettingsSurviveTheStartUpResetAndALaterStart) {
    WindowSettings& settings = GetWindowData().settings;
    settings.windowed = 1;
    settings.windowScale = 0.5;
    std::snprintf(settings.title, sizeof(settings.title), "%s", "Again");
    StartWithoutPumpThread();
    ASSERT_EQ(ApiTermLibrary(), 0);

    // The second start in the same process finds the same settings and succeeds.
    StartWithoutPumpThread();
    EXPECT_STREQ(GetWindowData().settings.title, "Again");
    EXPECT_EQ(GetWindowData().settings.windowScale, 0.5);
    plat::Rect rect = {};
    plat::GetWindowRect(Window(), &rect);
    EXPECT_EQ(rect.right - rect.left, 320);
    EXPECT_EQ(rect.bottom - rect.top, 240);
}

// A start-up failure: what to arrange, the log line it gives, the result, whether start-up
// ran the shut-down (its memory dump ends the log) and whether quit was set.
struct FailureCase {
    const char* name;
    void (*arrange)(const ScopedTempDir& dir);
    const char* logLine;
    int result;
    bool shutDownRan;
    bool quit;
};

class StartUpFailureTest : public LibraryFixture,
                           public ::testing::WithParamInterface<FailureCase> {};

TEST_P(StartUpFailureTest, GivesItsLogLineAndResult) {
    const FailureCase& c = GetParam();
    c.arrange(dir_);
    EXPECT_EQ(ApiInitLibrary(), c.result);

    const WindowData& data = GetWindowData();
    EXPECT_EQ(data.library.inStartUp, 0u);
    EXPECT_TRUE(LogHas(c.logLine)) << c.logLine;
    EXPECT_EQ(LogHas("Alloc memory dump"), c.shutDownRan);
    EXPECT_EQ(IsQuitRequested(), c.quit);
    if (c.result == -1) {
        EXPECT_EQ(data.window.handle, 0u);
        EXPECT_EQ(data.window.pumpThread, nullptr);
        EXPECT_EQ(data.library.comStarted, 0u);
        EXPECT_EQ(data.clock.started, 0u);
        // Shut-down after a failed start ends nothing more and still gives 0.
        EXPECT_EQ(ApiTermLibrary(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Failures, StartUpFailureTest,
    ::testing::Values(
        FailureCase{"ClassRegistration",
                    [](const ScopedTempDir&) { plat::FailNextWindowClassRegistrations(1); },
                    "ウインドウクラスを登録します... ウインドウクラスの登録に失敗しました", -1,
                    true, true},
        FailureCase{"WindowCreation",
                    [](const ScopedTempDir&) { plat::FailNextWindowCreations(1); },
                    "ウインドウの作成に失敗しました", -1, true, true},
        FailureCase{"ComStart", [](const ScopedTempDir&) { plat::FailNextComStarts(1); },
                    "ＣＯＭの初期化... ＣＯＭの初期化に失敗しました", -1, true, false},
        FailureCase{"PumpThreadGoesOnWithout",
                    [](const ScopedTempDir&) { plat::FailNextThreadStarts(1); },
                    "ProcessMessage をひたすら呼びつづけるスレッドの立ち上げに失敗しました", 0,
                    false, false},
        FailureCase{"DesktopOf24BitsWindowed",
                    [](const ScopedTempDir&) {
                        plat::SetHeadlessDesktop(1920, 1080, 24);
                        GetWindowData().settings.windowed = 1;
                    },
                    "ＺＮライブラリは２４ビットカラーモードに対応していません", -1, false, false},
        FailureCase{"DesktopOf24BitsFullScreenStarts",
                    [](const ScopedTempDir&) {
                        plat::SetHeadlessDesktop(1920, 1080, 24);
                        plat::FailNextThreadStarts(1);
                    },
                    "ウインドウクラスを登録します... 登録に成功しました", 0, false, false},
        FailureCase{"SecondInstance",
                    [](const ScopedTempDir&) {
                        ASSERT_TRUE(plat::TakeSecondInstanceLock("D123987X"));
                    },
                    "ソフトの二重起動検査... 二重起動されています、ソフトを終了します", -1, true,
                    true},
        FailureCase{"SecondInstanceAllowed",
                    [](const ScopedTempDir&) {
                        ASSERT_TRUE(plat::TakeSecondInstanceLock("D123987X"));
                        GetWindowData().settings.allowSecondInstance = 1;
                        plat::FailNextThreadStarts(1);
                    },
                    "ソフトの二重起動検査... 二重起動されていますが続行します", 0, false, false}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

// The refused second start also says so on stderr, in one UTF-8 line (the log alone is not
// seen on a terminal); an allowed one says nothing there.
TEST_F(LibraryStartupTest, ARefusedSecondStartSaysSoInOneLineOnStderr) {
    const std::string refusal =
        reinterpret_cast<const char*>(u8"二重起動されています、ソフトを終了します\n");
    struct Case {
        const char* name;
        int allowSecondInstance;
        int result;
        bool said;
    } cases[] = {{"refused", 0, -1, true}, {"allowed", 1, 0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(plat::TakeSecondInstanceLock("D123987X"));
        GetWindowData().settings.allowSecondInstance = c.allowSecondInstance;
        plat::FailNextThreadStarts(1);
        ::testing::internal::CaptureStderr();
        const int result = ApiInitLibrary();
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(result, c.result);
        if (c.said) {
            EXPECT_EQ(said, refusal);
        } else {
            EXPECT_EQ(said.find(refusal), std::string::npos) << said;
        }
        EXPECT_EQ(ApiTermLibrary(), 0);
        plat::ReleaseSecondInstanceLock("D123987X");
        ResetLibraryState();
    }
}

TEST_F(LibraryStartupTest, The24BitRefusalStartsNothingButTheLog) {
    plat::SetHeadlessDesktop(1920, 1080, 24);
    GetWindowData().settings.windowed = 1;
    ASSERT_EQ(ApiInitLibrary(), -1);
    const std::vector<std::string> lines = LogLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "ＺＮライブラリは２４ビットカラーモードに対応していません");
    EXPECT_FALSE(LogHas("システムの情報を出力します"));
    EXPECT_EQ(GetWindowData().library.comStarted, 0u);
}

TEST_F(LibraryStartupTest, WithoutAWindowThePumpThreadStillEndsAtShutDown) {
    GetWindowData().settings.noWindow = 1;
    GetWindowData().settings.noInput = 1;  // input devices need a window
    ASSERT_EQ(ApiInitLibrary(), 0);
    const WindowData& data = GetWindowData();
    EXPECT_EQ(data.window.handle, 0u);
    ASSERT_NE(data.window.pumpThread, nullptr);
    EXPECT_FALSE(LogHas("ソフトの二重起動検査"));

    EXPECT_EQ(ApiTermLibrary(), 0);
    EXPECT_EQ(data.window.pumpThread, nullptr);
    EXPECT_EQ(data.window.pumpThreadEnded, 1u);
    EXPECT_TRUE(IsQuitRequested());
}

TEST_F(LibraryStartupTest, WithoutGraphicsNoGraphSystemStarts) {
    GetWindowData().settings.noGraphics = 1;
    StartWithoutPumpThread();
    EXPECT_EQ(GetGraphicsState().graphicsUp, 0);
    EXPECT_FALSE(LogHas("グラフィック管理系の初期化を行います"));
}

// A program hands the platform no backends of its own: the first row of start-up does, and
// the window backend, its input and its sound then come from the record ZN_VIDEO chooses.
TEST_F(LibraryStartupTest, StartUpHandsThePlatformItsBackendsFirst) {
    size_t count = 0;
    EXPECT_STREQ(LibraryModules(&count)[0].name, "platform backends");

    const char* video = std::getenv("ZN_VIDEO");
    const std::optional<std::string> videoBefore =
        video != nullptr ? std::optional<std::string>(video) : std::nullopt;
    setenv("ZN_VIDEO", "headless", 1);
    plat::HandDownBackendsAfresh({});
    ASSERT_EQ(ApiInitLibrary(), 0);
    EXPECT_STREQ(plat::WindowBackendName(), "headless");
    EXPECT_EQ(&plat::ChosenBackendRecord(), &plat::kHeadlessBackendRecord);
    EXPECT_STREQ(plat::GetInputBackend().Name(), "test");
    EXPECT_EQ(ApiTermLibrary(), 0);
    if (videoBefore) {
        setenv("ZN_VIDEO", videoBefore->c_str(), 1);
    } else {
        unsetenv("ZN_VIDEO");
    }
}

}  // namespace

namespace {

std::vector<std::string> RowNames(bool (*keep)(const LibraryModule&)) {
    size_t count = 0;
    const LibraryModule* rows = LibraryModules(&count);
    std::vector<std::string> names;
    for (size_t i = 0; i < count; ++i) {
        if (keep(rows[i])) names.emplace_back(rows[i].name);
    }
    return names;
}

// The modules start in the library's order; the ones not built yet keep their places.
TEST(LibraryModulesTest, ModulesStartInTheLibrarysOrder) {
    const std::vector<std::string> all = RowNames([](const LibraryModule&) { return true; });
    const std::vector<std::string> order = {"COM",     "window system",   "network",
                                            "input",   "sound output",    "graphics",
                                            "character input", "clock", "vertical-blank wait",
                                            "console", "screen clears"};
    size_t at = 0;
    for (const std::string& name : order) {
        const auto found = std::find(all.begin() + static_cast<std::ptrdiff_t>(at), all.end(), name);
        ASSERT_NE(found, all.end()) << name << " missing or out of order";
        at = static_cast<size_t>(found - all.begin()) + 1;
    }
    EXPECT_EQ(FindLibraryModule("sound output")->failure, StartFailure::kIgnored);
    EXPECT_EQ(FindLibraryModule("input")->offSwitch, &WindowSettings::noInput);
    EXPECT_EQ(FindLibraryModule("graphics")->offSwitch, &WindowSettings::noGraphics);
    EXPECT_EQ(FindLibraryModule("sound output")->offSwitch, &WindowSettings::noSound);
    for (const char* name : {"COM", "window system", "input", "graphics"}) {
        EXPECT_EQ(FindLibraryModule(name)->failure, StartFailure::kEndsStartUp) << name;
    }
}

// Shut-down has an order of its own: each rank once, from 1 without a gap.
TEST(LibraryModulesTest, ShutDownRunsInItsOwnOrder) {
    size_t count = 0;
    const LibraryModule* rows = LibraryModules(&count);
    std::vector<std::string> byRank;
    for (int rank = 1;; ++rank) {
        const LibraryModule* row = nullptr;
        for (size_t i = 0; i < count; ++i) {
            if (rows[i].endRank != rank) continue;
            EXPECT_EQ(row, nullptr) << "rank " << rank << " given twice";
            row = &rows[i];
        }
        if (row == nullptr) break;
        byRank.emplace_back(row->name);
    }
    const size_t ranked = RowNames([](const LibraryModule& r) { return r.endRank != 0; }).size();
    EXPECT_EQ(byRank.size(), ranked) << "a gap in the ranks";
    const std::vector<std::string> head = {"console",     "network", "sounds",
                                           "graphics",    "input",   "sound output",
                                           "window system", "COM"};
    ASSERT_GE(byRank.size(), head.size());
    EXPECT_EQ(std::vector<std::string>(byRank.begin(), byRank.begin() + 8), head);
    EXPECT_EQ(byRank.back(), "library drivers");
}

}  // namespace
