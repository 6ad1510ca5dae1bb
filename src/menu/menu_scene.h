#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "game/game_mode.h"
#include "menu/menu_context.h"
#include "menu/menu_state.h"
#include "ui/buttons.h"
#include "ui/scene.h"
#include "ui/screen.h"

namespace qs {

class SceneServices;
class ImagePrefetcher;
class MenuScreen;
class ScoresScreen;

// The menu scene: the logo intro and the loading bar on the first visit, then the menu's
// screens, one class each, found in a table by the screen kind that is up. Input handlers
// only record the pointer, the pressed button and one pending command (or hand a release to
// `HandleButtonRelease`); each update gives the screen up its hover pass and carries the
// pending command out: opening a screen and starting a game are the scene's, the rest is the
// screen's own.
class MenuScene final : public Scene {
public:
    explicit MenuScene(SceneServices& context);
    ~MenuScene() override;

    void StartSceneMenu();
    void UpdateSceneMenu();
    void UnloadSceneMenu();
    void HandleButtonRelease();

    void start() override { StartSceneMenu(); }
    void update() override { UpdateSceneMenu(); }
    void unload() override { UnloadSceneMenu(); }
    bool preparing() const override;

    const MenuState& state() const { return state_; }
    const ScreenTable& screens() const { return screens_; }

private:
    // menu_intro.cpp: the logo, the loading bar, the end of loading.
    void runIntro(uint32_t now);
    void runLoading(uint32_t now);
    void finishLoading(uint32_t now);

    // menu_scene.cpp: set-up, the fade-in, the step's screen and command.
    void add(std::unique_ptr<MenuScreen> screen);
    MenuScreen* screenUp() const;
    void setUp();
    void runMenuFade(uint32_t now);
    void runCommand();
    void startGame(GameMode mode);

    SceneServices& ctx_;
    MenuState state_;
    std::unique_ptr<ScoresScreen> scores_;
    ScreenTable screens_;
    std::vector<MenuScreen*> screenList_;  // the table's screens in the order they were added
    MenuContext menu_;
    // Decodes the images of the next entries of the loading list on a second thread.
    std::unique_ptr<ImagePrefetcher> prefetcher_;
    int prefetchedUpTo_ = 0;  // entries of the list whose images were asked for
    ObjectRef menuPanel_;
};

}  // namespace qs
