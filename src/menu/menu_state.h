#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/scene_codes.h"
#include "menu/menu_rules.h"
#include "ui/input_command.h"

namespace qs {

// The menu's numbers that outlive a screen: shared by its screens, kept across visits of the
// scene within a run, and shown by the state dump.
struct MenuState {
    // Processor time the loading phase spent on its entries, for the log.
    double loadingCpuMs = 0;
    // Logo intro: 0 never started, 1..4 running, -1 over.
    int introState = 0;
    int introCounter = 0;
    uint32_t introNextTick = 0;
    uint32_t introStateSince = 0;
    uint32_t introPresses = 0;  // the input's press count when the intro began
    bool loadingFinished = false;
    // Menu fade-in: 0 none, 2 armed, 3 fading, 1 done.
    int menuFadeState = 0;
    uint32_t menuFadeStamp = 0;
    // The menu has been shown in this run: a return from a game shows it at once.
    bool shownBefore = false;
    bool scoresMapLoaded = false;

    int lastHoveredGameType = 1;
    int arrowDirection = 0;
    int drawnMusicLevel = -1;
    int drawnSoundLevel = -1;
    bool musicStarted = false;
    bool fullscreenRequest = false;

    int helpPage = 1;
    uint32_t demoStart = 0;
    int demoPhase = 0;
    double demoBallY = 0;

    PlayerListCursor list;
    bool keepEdit = false;
    std::string nameText;  // the `NameEditBuffer`
    int editMode = kEditFirstPlayer;

    ContinueOffer offer;

    // What the next step carries out: a screen's request (open a screen, start a game, an
    // options step; a later one replaces an earlier), after the keys typed since the last step.
    SceneCommand pending = kCommandNone;
    std::vector<input::Key> keys;
};

}  // namespace qs
