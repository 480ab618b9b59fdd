// The play scene with a busy field, headless, on each road: the 3D device (the default road,
// graphs as textures) and the software screen: the extreme start (level 99, an enemy every
// 282 ms, fans of bullets) for 1,000 steps. Reported per game step (the frame's update: the
// scene, the world's rules, the sound flush) and per drawn frame (clear, every screen of the
// play scene in draw order, present; the goal on the 3D device is under 0.5 ms). The
// vertical-blank wait is off, so a frame costs what its drawing and present cost.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "graphics/d3d/device.h"
#include "graphics/screen/screen.h"
#include "library/public/api.h"
#include "main_frame.h"
#include "platform/testing/d3d_test_controls.h"
#include "zn_app.h"

namespace {

// The game started as the program starts it, in a folder of its own that sees the build's
// resource files, and put into play at the extreme start.
struct Game {
    std::unique_ptr<MainFrame> frame = std::make_unique<MainFrame>();
    bool up = false;

    explicit Game(bool direct3D) {
        setenv("ZN_VIDEO", "headless", 1);
        plat::OfferDirect3D(direct3D);
        setenv("ZN_ANSWER", "no", 1);
        namespace fs = std::filesystem;
        std::error_code error;
        // One folder per build (builds elsewhere on the machine use their own), so its resource
        // link always points at this build's files.
        const std::string resources = ZN_GAME_RESOURCES;
        const fs::path dir = fs::temp_directory_path() /
                             ("zn_game_play_bench_" +
                              std::to_string(std::hash<std::string>{}(resources)));
        fs::create_directories(dir, error);
        fs::current_path(dir, error);
        if (!fs::exists("res")) fs::create_directory_symlink(resources, "res", error);
        if (!theApp.init(frame.get())) return;
        up = true;
        SetVSyncWait(0);
        while (frame->getWorld().getStartLevel() != 4) frame->getWorld().moveStartLevel(true);
        StartPlay();
    }
    ~Game() {
        if (up) theApp.end();
    }

    // A new game straight into play (the ready pause adds nothing here).
    void StartPlay() {
        frame->changeToReady();
        frame->changeToPlay();
    }
    // One step of play; a lost game starts again.
    void Step() {
        if (frame->getCurrentScene() != &frame->getPlayScene()) StartPlay();
        frame->update();
    }
    void Draw() {
        ApiClearDrawTarget();
        for (uint32_t i = 0; i < theApp.getScreenCount(); ++i) {
            if (ZnScreen* screen = theApp.getScreen(i)) screen->draw();
        }
        ApiPresentScreen();
    }
};

// Whether the game runs on the road asked for: the 3D device or the software screen.
bool OnRoad(bool direct3D) { return (CurrentDevice3DRecord() != nullptr) == direct3D; }

void RunUpdateSteps(benchmark::State& state, bool direct3D) {
    Game game(direct3D);  // the library is ended at the end of the benchmark, not at exit
    if (!game.up) {
        state.SkipWithError("the game did not start");
        return;
    }
    if (!OnRoad(direct3D)) {
        state.SkipWithError("the game is not on the road asked for");
        return;
    }
    for (auto _ : state) game.Step();
    state.counters["enemies"] = game.frame->getWorld().getFrontEnemies().countAlive() +
                                game.frame->getWorld().getRearEnemies().countAlive();
    state.counters["bullets"] = game.frame->getWorld().getBullets().countAlive();
}

void RunDrawnFrames(benchmark::State& state, bool direct3D) {
    Game game(direct3D);  // the library is ended at the end of the benchmark, not at exit
    if (!game.up) {
        state.SkipWithError("the game did not start");
        return;
    }
    if (!OnRoad(direct3D)) {
        state.SkipWithError("the game is not on the road asked for");
        return;
    }
    long sprites = 0;
    for (auto _ : state) {
        state.PauseTiming();
        game.Step();
        sprites += game.frame->getWorld().getBullets().countAlive() +
                   game.frame->getWorld().getEffects().countAlive();
        state.ResumeTiming();
        game.Draw();
    }
    state.counters["bullets+effects"] =
        benchmark::Counter(static_cast<double>(sprites), benchmark::Counter::kAvgIterations);
}

void BM_PlayUpdateStepDirect3D(benchmark::State& state) { RunUpdateSteps(state, true); }
void BM_PlayUpdateStepSoftwareScreen(benchmark::State& state) { RunUpdateSteps(state, false); }
void BM_PlayDrawnFrameDirect3D(benchmark::State& state) { RunDrawnFrames(state, true); }
void BM_PlayDrawnFrameSoftwareScreen(benchmark::State& state) { RunDrawnFrames(state, false); }
BENCHMARK(BM_PlayUpdateStepDirect3D)->Iterations(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlayUpdateStepSoftwareScreen)->Iterations(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlayDrawnFrameDirect3D)->Iterations(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlayDrawnFrameSoftwareScreen)->Iterations(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
