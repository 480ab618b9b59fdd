#include "main_frame.h"

#include <cstdlib>
#include <initializer_list>

#include "game_time.h"
#include "resource_tables.h"
#include "zn_app.h"

MainFrame theMainFrame;

namespace {

// The playing field inside the frame.
constexpr int kFieldX = 32;
constexpr int kFieldY = 0;
constexpr int kFieldWidth = 360;
constexpr int kFieldHeight = 480;
// The slots of the application's draw list.
constexpr int kScreenSlots = 20;

}  // namespace

bool MainFrame::init() {
    // rand() is seeded with the seconds of the library's local date and time rather than the
    // C runtime's time(): the library's clock follows ZN_NOW, so a run that fixes its start
    // moment (and its input) plays the same game every time.
    std::srand(static_cast<unsigned>(currentTimeSeconds()));
    theApp.setColorKey(0, 128, 0);
    theApp.resizeScreens(kScreenSlots);
    try {
        loadGraphTable(graphs_);
        // Missing sounds only silence those sounds; without any music file play is silent.
        loadSoundTable(sounds_);

        for (Scene* scene : std::initializer_list<Scene*>{&playScene_, &levelSelectScene_,
                                                          &gameOverScene_, &readyScene_,
                                                          &titleScene_, &rankingScene_}) {
            scene->setWorld(&world_);
        }
        world_.setup();
        world_.setJoypad(&theApp.getJoypad(0));
        world_.setGraphResource(&graphs_);
        world_.setSoundResource(&sounds_);
        connectScreens();
        changeToTitle();
        return true;
    } catch (...) {
        // A failed image load throws its message; the application shows the error screen.
        return false;
    }
}

void MainFrame::connectScreens() {
    frontEnemyScreen_.setEnemies(&world_.getFrontEnemies());
    rearEnemyScreen_.setEnemies(&world_.getRearEnemies());
    frontBlastScreen_.setEnemies(&world_.getFrontBlasts());
    rearBlastScreen_.setEnemies(&world_.getRearBlasts());
    bulletScreen_.setBullets(&world_.getBullets());
    playerScreen_.setPlayer(&world_.getPlayer());
    playerScreen_.setTails(&world_.getTails());
    effectScreen_.setEnemies(&world_.getEffects());
    markerScreen_.setEnemies(&world_.getFrontEnemies(), &world_.getRearEnemies());
    markerScreen_.setGraph(&graphs_.at(GRAPH_MARKER));
    backgroundScreen_.setBackground(&world_.getBackground());
    frameScreen_.setGraph(&graphs_.at(GRAPH_FRAME));
    frameScreen_.setWorld(&world_);
    MyScreen::setSmallFont(&graphs_.at(GRAPH_SMALL_FONT));
    MyScreen::setLargeFont(&graphs_.at(GRAPH_LARGE_FONT));
    textScreen_.setTexts(&world_.getTexts());
    frameScreen_.setArea(kFieldX, kFieldY, kFieldWidth, kFieldHeight);
    backgroundScreen_.setArea(kFieldX, kFieldY, kFieldWidth, kFieldHeight);
}

void MainFrame::update() {
    world_.getTexts().clear();
    if (current_ != nullptr) current_->update();
    sounds_.update();
}

void MainFrame::switchTo(Scene& scene, std::initializer_list<ZnScreen*> screens) {
    current_ = &scene;
    scene.enter();
    theApp.clearScreens();
    for (ZnScreen* screen : screens) theApp.addScreen(screen);
}

void MainFrame::switchToField(Scene& scene, bool withTexts) {
    current_ = &scene;
    scene.enter();
    theApp.clearScreens();
    for (ZnScreen* screen : std::initializer_list<ZnScreen*>{
             &backgroundScreen_, &rearEnemyScreen_, &rearBlastScreen_, &frontEnemyScreen_,
             &frontBlastScreen_, &playerScreen_, &effectScreen_, &bulletScreen_,
             &markerScreen_}) {
        theApp.addScreen(screen);
    }
    if (withTexts) theApp.addScreen(&textScreen_);
    theApp.addScreen(&frameScreen_);
}

void MainFrame::changeToTitle() {
    switchTo(titleScene_, {&backgroundScreen_, &textScreen_, &frameScreen_});
}

void MainFrame::changeToLevelSelect() {
    switchTo(levelSelectScene_, {&backgroundScreen_, &textScreen_, &frameScreen_});
}

void MainFrame::changeToReady() {
    switchTo(readyScene_, {&backgroundScreen_, &playerScreen_, &textScreen_, &frameScreen_});
    world_.newGame();
}

void MainFrame::changeToPlay() { switchToField(playScene_, false); }

void MainFrame::changeToGameOver() { switchToField(gameOverScene_, true); }

void MainFrame::changeToRanking() {
    switchTo(rankingScene_, {&backgroundScreen_, &textScreen_, &frameScreen_});
}
