#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/scene.h"
#include "game/game_mode.h"
#include "menu/menu_state.h"
#include "ui/buttons.h"

namespace qs {

class SceneServices;
class ImagePrefetcher;
class ScoresScreen;

// The menu scene: the logo intro and the loading bar on the first visit, then the menu's
// screens. Input handlers only record the pointer, the pressed button and one pending
// command (or hand a release to `HandleButtonRelease`); each update does the hover feedback
// of the screen up and carries the pending command out. The screens are spread over one file
// each (main menu, game type, options, records, help, player list, name entry, dialogs).
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

private:
    // menu_intro.cpp: the logo, the loading bar, the end of loading.
    void runIntro(uint32_t now);
    void runLoading(uint32_t now);
    void finishLoading(uint32_t now);

    // menu_scene.cpp: set-up, the fade-in, the step's hover pass and command switch.
    void setUp();
    void runMenuFade(uint32_t now);
    void hoverPass(uint32_t now);
    void runCommand();
    void checkPlayers();
    void requestMenuMusic(int fadeOutMs, int fadeInMs);
    void hideGameComments();
    void startFade(const std::vector<std::string>& tags, int step = 8);
    void unloadTags(std::initializer_list<const char*> tags);
    // Pixel-tested buttons: hovered shows frame 1 (2 when pressed, where allowed).
    void hoverObjectButtons(const std::vector<ObjectRef>& buttons, bool pressedFrame, bool visibleOnly,
                            int firstNumber = 1);
    void markHovered(int button);

    // main_menu_screen.cpp
    void ShowWelcomeText();
    void openMainMenu();
    void hoverMainMenu(uint32_t now);
    void releaseMainMenu(int button);
    void startGame(GameMode mode);

    // game_type_screen.cpp
    void openGameType();
    void hoverGameType(uint32_t now);
    void releaseGameType(int button);

    // options_screen.cpp
    void openOptions();
    void hoverOptions(uint32_t now);
    void releaseOptions(int button);
    void stepVolume(bool music);
    void toggleMessages();
    void redrawVolumeBars();
    void applyFullscreenRequest();

    // scores: the screen itself is shared with the game scene.
    void openScores();

    // help_screen.cpp
    void openHelp();
    void ShowHelpPage(bool opening);
    void runHelpDemo(uint32_t now);
    void hoverHelp(uint32_t now);
    void releaseHelp(int button);

    // player_list_screen.cpp
    void openPlayerList();
    void DrawPlayerList();
    void hoverPlayerList(uint32_t now);
    void releasePlayerList(int button);
    void playerListKey();
    void openDeleteQuestion();
    void releaseDeleteQuestion(int button);

    // name_entry_screen.cpp
    void openNameEntry();
    void redrawName();
    void typeName();
    void ConfirmNameEntry(bool ok);
    void showNameMessage(const char* textFile, bool nameExists);
    void releaseNameMessage();

    // menu_dialogs.cpp: the game message, the continue question, the exit question.
    void openGameMessage();
    void releaseGameMessage(int button);
    void StartChosenGame();
    void openContinueQuestion();
    void releaseContinueQuestion(int button);
    void openExitQuestion();
    void releaseExitQuestion(int button);
    void openDialog(const char* map, const std::string& tag, std::vector<std::string> buttonNames);

    SceneServices& ctx_;
    MenuState state_;
    std::unique_ptr<ScoresScreen> scores_;
    // Decodes the images of the next entries of the loading list on a second thread.
    std::unique_ptr<ImagePrefetcher> prefetcher_;
    int prefetchedUpTo_ = 0;  // entries of the list whose images were asked for

    std::array<ObjectRef, 5> mainButtons_, mainMovers_;
    std::array<ObjectRef, 4> gameTypeButtons_, gameTypeMovers_;
    std::array<ObjectRef, 5> optionButtons_, optionMovers_;
    std::array<ObjectRef, 3> helpButtons_;
    ObjectRef helpMover_;
    std::array<ObjectRef, 2> nameButtons_;
    ObjectRef renameCursor_;
    ObjectRef menuPanel_;
    // The open dialog's buttons (player list, questions, messages), numbered from 1.
    std::vector<ObjectRef> dialogButtons_;
    ObjectRef marker_, scrollerBar_;
};

}  // namespace qs
