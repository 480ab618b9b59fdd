// The game's frame: it owns every game object (the six scenes, the game world, the eleven
// drawing screens, the graph and sound tables), loads the resources, wires the objects
// together and runs the current scene once per step.
#pragma once
#include <initializer_list>

#include "background_screen.h"
#include "bullet_screen.h"
#include "enemy_screen.h"
#include "frame_screen.h"
#include "game_over_scene.h"
#include "game_world.h"
#include "level_select_scene.h"
#include "marker_screen.h"
#include "play_scene.h"
#include "player_screen.h"
#include "ranking_scene.h"
#include "ready_scene.h"
#include "text_screen.h"
#include "title_scene.h"
#include "zn_frame.h"
#include "zn_graph_resource.h"
#include "zn_sound_resource.h"

class MainFrame : public ZnFrame {
public:
    MainFrame() = default;
    MainFrame(const MainFrame&) = delete;
    MainFrame& operator=(const MainFrame&) = delete;

    // Clears the step's texts, runs the current scene and flushes the sound requests.
    void update() override;
    // Seeds rand(), loads every resource, wires the world and the screens and enters the
    // title. False when an image could not be loaded.
    bool init() override;
    const char* getTitle() const override { return "VORNAST"; }
    // False once no scene is current: the main loop then ends.
    bool isRunning() const override { return current_ != nullptr; }

    // No scene: the main loop ends after this step.
    void exit() { current_ = nullptr; }
    // Scene switches: the scene becomes current and is entered, and its screens become the
    // draw list. They take effect for the drawing of the same step.
    void changeToTitle();
    void changeToLevelSelect();
    // Also starts a new game.
    void changeToReady();
    void changeToPlay();
    void changeToGameOver();
    void changeToRanking();

    // For tests and benchmarks: the objects the frame owns.
    Scene* getCurrentScene() const { return current_; }
    GameWorld& getWorld() { return world_; }
    ZnGraphResource& getGraphs() { return graphs_; }
    ZnSoundResource& getSounds() { return sounds_; }
    TitleScene& getTitleScene() { return titleScene_; }
    LevelSelectScene& getLevelSelectScene() { return levelSelectScene_; }
    ReadyScene& getReadyScene() { return readyScene_; }
    PlayScene& getPlayScene() { return playScene_; }
    GameOverScene& getGameOverScene() { return gameOverScene_; }
    RankingScene& getRankingScene() { return rankingScene_; }
    BackgroundScreen& getBackgroundScreen() { return backgroundScreen_; }
    PlayerScreen& getPlayerScreen() { return playerScreen_; }
    EnemyScreen& getFrontEnemyScreen() { return frontEnemyScreen_; }
    EnemyScreen& getRearEnemyScreen() { return rearEnemyScreen_; }
    EnemyScreen& getFrontBlastScreen() { return frontBlastScreen_; }
    EnemyScreen& getRearBlastScreen() { return rearBlastScreen_; }
    EnemyScreen& getEffectScreen() { return effectScreen_; }
    BulletScreen& getBulletScreen() { return bulletScreen_; }
    MarkerScreen& getMarkerScreen() { return markerScreen_; }
    TextScreen& getTextScreen() { return textScreen_; }
    FrameScreen& getFrameScreen() { return frameScreen_; }

private:
    void connectScreens();
    // Makes the scene current, enters it and sets the draw list.
    void switchTo(Scene& scene, std::initializer_list<ZnScreen*> screens);
    // The draw list of the play scene, with the text screen before the frame when asked.
    void switchToField(Scene& scene, bool withTexts);

    Scene* current_ = nullptr;
    PlayScene playScene_{*this};
    GameWorld world_;
    PlayerScreen playerScreen_;
    EnemyScreen frontEnemyScreen_;
    EnemyScreen rearEnemyScreen_;
    BulletScreen bulletScreen_;
    FrameScreen frameScreen_;
    MarkerScreen markerScreen_;
    LevelSelectScene levelSelectScene_{*this};
    ZnGraphResource graphs_;
    ZnSoundResource sounds_;
    GameOverScene gameOverScene_{*this};
    TextScreen textScreen_;
    EnemyScreen effectScreen_;
    BackgroundScreen backgroundScreen_;
    ReadyScene readyScene_{*this};
    TitleScene titleScene_{*this};
    RankingScene rankingScene_{*this};
    EnemyScreen rearBlastScreen_;
    EnemyScreen frontBlastScreen_;
};

// The one main frame.
extern MainFrame theMainFrame;
