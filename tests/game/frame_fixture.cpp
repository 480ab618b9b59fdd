#include "tests/game/frame_fixture.h"

#include <map>
#include <sstream>

#include "pattern.h"
#include "zn_app.h"

namespace {

// The character of a font tile.
char glyphChar(int tile) {
    if (tile < 10) return static_cast<char>('0' + tile);
    if (tile < 36) return static_cast<char>('A' + tile - 10);
    static const char kMarks[] = "\":'?!/";
    if (tile >= 40 && tile <= 45) return kMarks[tile - 40];
    return '#';
}

}  // namespace

void FrameTest::SetUp() {
    AppStandIn::setClockReadStep(10);
    lib_.setGraphSize("res\\Player.bmp", 32, 32);
    lib_.setGraphSize("res\\PlayerTail.bmp", 32, 32);
    lib_.setGraphSize("res\\Bullet1.bmp", 8, 8);
    lib_.setGraphSize("res\\EnemyL1.bmp", 32, 32);
    lib_.setGraphSize("res\\EnemyL2.bmp", 32, 32);
    lib_.setGraphSize("res\\EnemyA1.bmp", 32, 32);
    lib_.setGraphSize("res\\EnemyA2.bmp", 32, 32);
    lib_.setGraphSize("res\\bg.bmp", 128, 128);
    app_.setDateTime(ApiDateTime{2009, 6, 15, 10, 20, 30, 5});
    lib_.setDateTime(ApiDateTime{2009, 6, 15, 10, 20, 30, 5});
    frame_ = std::make_unique<MainFrame>();
}

void FrameTest::TearDown() {
    theApp.resizeScreens(0);
    frame_.reset();
    MyScreen::setSmallFont(nullptr);
    MyScreen::setLargeFont(nullptr);
    Pattern::setWorld(nullptr);
    PlayArea = Rect();
    AppStandIn::resetClock();
}

bool FrameTest::start() {
    const bool started = theApp.init(frame_.get());
    theApp.beginSteps();
    return started;
}

void FrameTest::step(uint32_t pad, std::set<int> keys) {
    ++steps_;
    lib_.setPadBitsAt(steps_, pad);
    app_.setKeysAt(steps_, std::move(keys));
    app_.note("step " + std::to_string(steps_));
    theApp.step();
}

void FrameTest::steps(int n) {
    for (int i = 0; i < n; ++i) step();
}

void FrameTest::press(uint32_t pad) {
    step(pad);
    step();
}

std::vector<std::string> FrameTest::lastStepCalls() const {
    const std::vector<std::string>& log = app_.log();
    size_t from = log.size();
    while (from > 0 && log[from - 1].rfind("step ", 0) != 0) --from;
    return std::vector<std::string>(log.begin() + static_cast<long>(from), log.end());
}

std::vector<DrawnGlyph> FrameTest::lastStepGlyphs() const {
    // Font tiles by handle.
    std::map<int, std::pair<int, bool>> tiles;
    for (int font : {GRAPH_SMALL_FONT, GRAPH_LARGE_FONT}) {
        const DhGraph& g = frame_->getGraphs().at(font);
        for (int i = 0; i < g.getCount(); ++i) {
            tiles[g.getHandle(i)] = {i, font == GRAPH_LARGE_FONT};
        }
    }
    std::vector<DrawnGlyph> out;
    int bright = 255;
    for (const std::string& line : lastStepCalls()) {
        std::istringstream in(line);
        std::string op;
        in >> op;
        if (op == "bright") {
            in >> bright;
        } else if (op == "graph") {
            int x = 0, y = 0, handle = 0;
            in >> x >> y >> handle;
            auto it = tiles.find(handle);
            if (it == tiles.end()) continue;
            out.push_back({x, y, glyphChar(it->second.first), it->second.second, bright});
        }
    }
    return out;
}

std::string FrameTest::textAt(int x, int y, int n, bool large) const {
    const int advance = large ? 32 : 16;
    std::string text(static_cast<size_t>(n), ' ');
    for (const DrawnGlyph& g : lastStepGlyphs()) {
        if (g.large != large || g.y != y || g.x < x || (g.x - x) % advance != 0) continue;
        const int i = (g.x - x) / advance;
        if (i < n) text[static_cast<size_t>(i)] = g.c;
    }
    return text;
}

int FrameTest::brightAt(int x, int y, bool large) const {
    for (const DrawnGlyph& g : lastStepGlyphs()) {
        if (g.large == large && g.x == x && g.y == y) return g.bright;
    }
    return -1;
}

std::vector<std::string> FrameTest::drawList() {
    const std::map<ZnScreen*, std::string> names = {
        {&frame_->getBackgroundScreen(), "background"},
        {&frame_->getPlayerScreen(), "player"},
        {&frame_->getFrontEnemyScreen(), "front enemies"},
        {&frame_->getRearEnemyScreen(), "rear enemies"},
        {&frame_->getFrontBlastScreen(), "front blasts"},
        {&frame_->getRearBlastScreen(), "rear blasts"},
        {&frame_->getEffectScreen(), "effects"},
        {&frame_->getBulletScreen(), "bullets"},
        {&frame_->getMarkerScreen(), "markers"},
        {&frame_->getTextScreen(), "text"},
        {&frame_->getFrameScreen(), "frame"},
    };
    std::vector<std::string> out;
    for (uint32_t i = 0; i < theApp.getScreenCount(); ++i) {
        ZnScreen* s = theApp.getScreen(i);
        if (s == nullptr) continue;
        auto it = names.find(s);
        out.push_back(it != names.end() ? it->second : "?");
    }
    return out;
}
