#pragma once

namespace qs {

// The screen that keys and button releases go to.
enum ScreenKind : int {
    kScreenNone = 0,  // nothing routed: between screens, and while a game is played
    kScreenMainMenu = 1,
    kScreenGameType = 2,
    kScreenGameMessage = 3,
    kScreenOptions = 4,
    kScreenScores = 5,
    kScreenHelp = 6,
    kScreenGameOver = 7,
    kScreenStatistics = 8,
    kScreenExitQuestion = 10,
    kScreenNameEntry = 11,
    kScreenNameMessage = 12,
    kScreenPlayerList = 13,
    kScreenDeleteQuestion = 14,
    kScreenTryAgain = 15,
    kScreenExitToMenu = 16,
    kScreenContinueQuestion = 17,
};
inline constexpr int kScreenKindCount = 18;

// The one pending command a scene carries out at its next step. The menu and the game give
// some numbers their own meaning; both read "none" as nothing to do.
enum SceneCommand : int {
    kCommandNone = -1,
    kCommandHandled = 0,
    kCommandKey = 1,
    kCommandGameType = 2,
    kCommandMainMenu = 3,           // the menu: back to the main menu; the game: leave for it
    kCommandStartArcade = 4,
    kCommandStartChallenge = 5,
    kCommandStartPuzzle = 6,
    kCommandShoot = 8,              // a mouse press in the game: fire, swap or rocket
    kCommandOptions = 9,
    kCommandScores = 10,
    kCommandHelp = 11,
    kCommandFullscreen = 12,
    kCommandGameMessage = 13,
    kCommandTryAgainScreen = 14,
    kCommandNextLevel = 15,
    kCommandMusicStep = 16,
    kCommandSoundStep = 17,
    kCommandLevelComplete = 18,
    kCommandExitQuestion = 19,
    kCommandNameEntry = 20,
    kCommandPlayerList = 21,
    kCommandDeleteQuestion = 22,
    kCommandRecords = 23,
    kCommandTryAgain = 24,
    kCommandExitToMenuDialog = 25,
    kCommandContinueQuestion = 26,
    kCommandToggleMessages = 28,
};

// How far a scene is: built by its first update, then run on the step schedule.
enum SceneSetupState : int {
    kSetupPending = 0,
    kSetupDone = 1,
    kSetupRunning = 2,
};

}  // namespace qs
