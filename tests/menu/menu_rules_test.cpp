#include "menu/menu_rules.h"

#include <string>

#include <gtest/gtest.h>

#include "profile/player_record.h"
#include "render/key_codes.h"

namespace qs {
namespace {

TEST(LoadingBar, FillsTwelvePixelsAnElementWithASlidingTip) {
    struct Case {
        int loadIndex, count;
        int fullElements, tipX;
    };
    const Case cases[] = {
        {0, 47, 0, -1},     // nothing loaded yet: an empty bar
        {1, 47, 0, 168},    // 460 / 46 = 10 pixels: only the tip, 10 pixels in
        {23, 47, 19, 388},  // half way: 230 pixels = 19 elements and a tip of 2
        {46, 47, 38, 618},  // the last entry: 38 elements and the tip at the end
        {0, 1, 38, 618},    // a list of one entry shows a full bar at once
        {5, 0, 38, 618},    // an empty list never divides by zero
    };
    for (const Case& c : cases) {
        const LoadingBar bar = loadingBar(c.loadIndex, c.count);
        EXPECT_EQ(bar.fullElements, c.fullElements) << c.loadIndex << " of " << c.count;
        EXPECT_EQ(bar.tipX, c.tipX) << c.loadIndex << " of " << c.count;
    }
}

TEST(LogoIntro, BubblesMeetAsTheyBecomeOpaque) {
    EXPECT_EQ(topBubbleY(0), 57);
    EXPECT_EQ(bottomBubbleY(0), 259);
    EXPECT_EQ(introOpacity(0), 0);
    EXPECT_EQ(introOpacity(38), 129);  // 38 * 255 / 75 = 129.2
    EXPECT_EQ(introOpacity(76), 255);  // the last step lands past the meeting point
}

// The list cursor after a series of moves through `count` players, from the highlight on
// `start`.
PlayerListCursor moved(int count, int start, const std::string& moves) {
    PlayerListCursor cursor;
    cursor.place(start);
    for (char move : moves) {
        if (move == 'D') cursor.next(count);
        if (move == 'U') cursor.previous();
    }
    return cursor;
}

TEST(PlayerListCursor, ScrollsOnlyAtTheEdgesOfItsSevenRows) {
    struct Case {
        int count, start;
        const char* moves;
        int selection, top, row;
    };
    const Case cases[] = {
        {10, 0, "", 0, 0, 0},
        {10, 5, "", 5, 2, 3},            // opened three rows from the top where it can
        {10, 0, "DDDDDD", 6, 0, 6},      // down to the last row without scrolling
        {10, 0, "DDDDDDD", 7, 1, 6},     // one more scrolls, the highlight stays on row 6
        {10, 0, "DDDDDDDDDDDD", 9, 3, 6},  // never past the last player
        {10, 9, "UUU", 6, 6, 0},         // opened at 9 (top 6, row 3): up to row 0
        {10, 9, "UUUU", 5, 5, 0},        // then the list scrolls back, row 0 kept
        {10, 0, "U", 0, 0, 0},           // nothing above the first
        {1, 0, "DU", 0, 0, 0},
    };
    for (const Case& c : cases) {
        const PlayerListCursor cursor = moved(c.count, c.start, c.moves);
        EXPECT_EQ(cursor.selection, c.selection) << c.start << " " << c.moves;
        EXPECT_EQ(cursor.top, c.top) << c.start << " " << c.moves;
        EXPECT_EQ(cursor.row, c.row) << c.start << " " << c.moves;
        EXPECT_EQ(cursor.selection, cursor.top + cursor.row);
    }
}

TEST(PlayerListCursor, RowsBelowTheLastPlayerHoldNobody) {
    PlayerListCursor cursor;
    cursor.place(1);
    EXPECT_EQ(cursor.playerOnRow(0, 3), 0);
    EXPECT_EQ(cursor.playerOnRow(2, 3), 2);
    EXPECT_EQ(cursor.playerOnRow(3, 3), -1);
    EXPECT_EQ(cursor.playerOnRow(7, 30), -1);
}

TEST(PlayerListCursor, ADeletionAtTheEndMovesTheHighlightToTheNewLast) {
    PlayerListCursor cursor = moved(10, 0, "DDDDDDDDD");  // on player 9, top 3, row 6
    cursor.clampTo(9);
    EXPECT_EQ(cursor.selection, 8);
    EXPECT_EQ(cursor.top, 5);
    EXPECT_EQ(cursor.row, 3);
    cursor.clampTo(0);
    EXPECT_EQ(cursor.selection, 0);
}

// The name after a series of keys, all typed with or without Shift.
std::string typed(const std::vector<int>& keys, const std::string& start = {}, bool shift = false) {
    std::string text = start;
    for (int key : keys) typeNameKey(text, key, shift);
    return text;
}

TEST(NameEntry, KeysBecomeTheNamesCharacters) {
    EXPECT_EQ(typed({'A', 'N', 'N'}), "ann");
    EXPECT_EQ(typed({'A', 'N', 'N'}, "", true), "ANN");
    EXPECT_EQ(typed({'7', '0'}), "70");
    EXPECT_EQ(typed({kVkMinus, kVkPeriod, ' ', 'X'}), "-. x");
    EXPECT_EQ(typed({' ', 'A'}, "", true), "A");                    // Shift+blank is a blank
    // Shifted, a digit, minus or dot shows a symbol that a name does not hold.
    EXPECT_EQ(typed({'1', '2', '3', kVkMinus, kVkPeriod}, "", true), "");
    EXPECT_EQ(typed({kVkDelete, kVkNumpad0 + 1}), "");              // Delete types no dot
    EXPECT_EQ(typed({' ', ' ', 'B'}), "b");                         // leading blanks go at once
    EXPECT_EQ(typed({'B', ' '}), "b ");                             // a trailing one stays while typing
    EXPECT_EQ(typed({kVkReturn, kVkEscape, kVkLeft, kVkF1, 188}), "");  // nothing else is typed
    EXPECT_EQ(typed({kVkBack}, "ab"), "a");
    EXPECT_EQ(typed({kVkBack, kVkBack}, ""), "");
}

TEST(NameEntry, TypingStopsAtFourteenCharacters) {
    std::string text = typed(std::vector<int>(15, 'Q'));
    EXPECT_EQ(text, std::string(14, 'q'));
    typeNameKey(text, kVkBack, false);
    EXPECT_EQ(text, std::string(13, 'q'));
    // A longer stored name (a rename) can only get shorter.
    std::string stored(20, 'z');
    EXPECT_FALSE(typeNameKey(stored, 'A', false));
    EXPECT_TRUE(typeNameKey(stored, kVkBack, false));
    EXPECT_EQ(stored.size(), 19u);
}

ModeProgress progress(int levelReached, int gameState, int levelStartScore = 700, int checkpointScore = 300) {
    ModeProgress p;
    p.levelReached = levelReached;
    p.gameState = gameState;
    p.levelStartScore = levelStartScore;
    p.checkpointScore = checkpointScore;
    return p;
}

TEST(ContinueQuestion, AskedForAnUnfinishedGameOrAfterALossPastACheckpoint) {
    struct Case {
        int mode, levelReached, gameState;
        bool ask, afterLoss;
        int checkpoint;
    };
    const Case cases[] = {
        {1, -1, -1, false, false, -1},  // never played
        {1, 1, 1, false, false, -1},    // level 1 is a fresh start anyway
        {1, 7, 1, true, false, -1},     // left unfinished
        {1, 12, 0, true, true, 10},     // lost past level 10: back to it
        {2, 5, 0, true, true, 5},
        {1, 4, 0, false, false, -1},    // lost before any checkpoint
        {1, 9, -1, false, false, -1},   // nothing to continue
        {3, 3, 0, true, false, -1},     // puzzle asks whatever the state
        {3, 3, -1, true, false, -1},
        {3, 1, 1, false, false, -1},
    };
    for (const Case& c : cases) {
        const ContinueOffer offer = continueOffer(progress(c.levelReached, c.gameState), c.mode);
        EXPECT_EQ(offer.ask, c.ask) << c.mode << " " << c.levelReached << " " << c.gameState;
        EXPECT_EQ(offer.afterLoss, c.afterLoss) << c.mode << " " << c.levelReached << " " << c.gameState;
        EXPECT_EQ(offer.checkpointLevel, c.checkpoint) << c.mode << " " << c.levelReached << " " << c.gameState;
    }
}

TEST(ContinueQuestion, TheAnswerSetsWhereTheGameStarts) {
    struct Case {
        ModeProgress before;
        int mode;
        bool yes;
        int level, startScore, checkpointScore;
    };
    const Case cases[] = {
        {progress(12, 0), 1, true, 10, 300, 300},  // back to the checkpoint with its score
        {progress(7, 1), 1, true, 7, 700, 300},    // an unfinished game goes on where it was
        {progress(3, 0), 3, true, 3, 700, 300},    // puzzle: the level it was left at
        {progress(12, 0), 1, false, 1, 0, 0},      // no: a fresh start
        {progress(7, 1), 1, false, 1, 0, 0},
    };
    for (const Case& c : cases) {
        ModeProgress p = c.before;
        const ContinueOffer offer = continueOffer(c.before, c.mode);
        // The question names what a yes gives.
        if (c.yes) {
            EXPECT_EQ(std::make_pair(offer.level, offer.score), std::make_pair(c.level, c.startScore));
        }
        answerContinue(p, offer, c.yes);
        EXPECT_EQ(p.levelReached, c.level);
        EXPECT_EQ(p.levelStartScore, c.startScore);
        EXPECT_EQ(p.checkpointScore, c.checkpointScore);
        EXPECT_EQ(p.gameState, 1);
    }
}

TEST(Volume, DragAndArrowsStayWithinTheFourteenLevels) {
    struct Case {
        int x, level;
    };
    const Case drags[] = {{360, 0}, {363, 0}, {369, 2}, {375, 2}, {381, 4}, {438, 13}, {300, 0}, {500, 13}};
    for (const Case& c : drags) EXPECT_EQ(barLevel(c.x), c.level) << c.x;
    EXPECT_EQ(stepLevel(13, 1), 13);
    EXPECT_EQ(stepLevel(0, -1), 0);
    EXPECT_EQ(stepLevel(5, 1), 6);
    EXPECT_EQ(stepLevel(5, -1), 4);
    EXPECT_EQ(stepLevel(5, 0), 5);
}

TEST(MenuZones, TheMainMenusExitRowAndTheGapAboveIt) {
    struct Case {
        int y;
        int button;  // 1-based, 0 none
    };
    const Case cases[] = {{154, 1}, {198, 1}, {199, 0}, {378, 4}, {379, 0}, {453, 0}, {454, 5}, {498, 5}, {499, 0}};
    for (const Case& c : cases) {
        int found = 0;
        for (int i = 0; i < 5; ++i)
            if (kBigButtons[i].contains(400, c.y)) found = i + 1;
        EXPECT_EQ(found, c.button) << c.y;
    }
}

}  // namespace
}  // namespace qs
