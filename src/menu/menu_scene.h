#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/list_entry.h"
#include "game/game_mode.h"
#include "menu/menu_context.h"
#include "menu/menu_intro.h"
#include "menu/menu_state.h"
#include "ui/buttons.h"
#include "ui/scene.h"
#include "ui/screen.h"

namespace qs {

class SceneServices;
class MenuScreen;
class ScoresScreen;

// The menu scene: the logo intro and the loading bar on the first visit, then the menu's
// screens, one class each, found in a table by the screen kind that is up. Input handlers
// record the pointer and the pressed button, hand a release to `HandleButtonRelease` and
// typed keys to the scene's queue; each update gives the screen up its hover pass, its keys
// and carries the pending command out: opening a screen and starting a game are the scene's,
// the rest is the screen's own.
class MenuScene final : public Scene {
public:
    explicit MenuScene(SceneServices& context);
    ~MenuScene() override;

    void StartSceneMenu();
    void UpdateSceneMenu();
    void UnloadSceneMenu();
    void HandleButtonRelease();

    void start() override { StartSceneMenu(); }
    bool setUpUpdate() override;
    void update() override { UpdateSceneMenu(); }
    void unload() override { UnloadSceneMenu(); }
    bool preparing() const override;

    // The content the loading phase loads behind the logo, read by the program at start-up.
    void takeLoadList(std::vector<ListEntry> entries) { intro_.takeLoadList(std::move(entries)); }
    // Straight into a game: the content loads now, and the menu will not show its logo.
    void loadAtOnce() { intro_.loadAtOnce(); }

    // Asks the next step to carry `command` out, as a screen of the menu would.
    void post(SceneCommand command) { menu_.post(command); }

    const MenuState& state() const { return state_; }
    const ScreenTable& screens() const { return screens_; }
    const MenuIntro& intro() const { return intro_; }

private:
    void add(std::unique_ptr<MenuScreen> screen);
    MenuScreen* screenUp() const;
    void setUp();
    void step(uint32_t now);
    void runMenuFade(uint32_t now);
    void runCommand();
    bool take(const InputCommand& command);
    void deliverKeys();
    void startGame(GameMode mode);

    SceneServices& ctx_;
    MenuState state_;
    std::unique_ptr<ScoresScreen> scores_;
    ScreenTable screens_;
    std::vector<MenuScreen*> screenList_;  // the table's screens in the order they were added
    MenuContext menu_;
    MenuIntro intro_;
    ObjectRef menuPanel_;
};

}  // namespace qs
