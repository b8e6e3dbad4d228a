// The checks of long sessions: each must fire, or the soaks that rely on them would pass blind.
// (The bot's own play is proven by the bot_menus, bot_soak and bot_powers sessions.) And what the
// tick-script parser rejects, with the line named (what it accepts every replay reads).
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "game/state/globals.h"
#include "tests/play/board_checkers.h"
#include "tools/session/session_bot.h"
#include "tools/session/session_script.h"

namespace {

// A board with no like neighbours anywhere (so no move), resting on its cells, no switches.
void QuietBoard() {
    Kinds k;
    for (int i = 0; i < 36; ++i) k[i] = static_cast<float>(1 + (i % 6 + 2 * (i / 6)) % 8);
    PrepareEmptyGame();
    PlaceBoard(k);
    swaps = powerType = bonusTicks = 0;
}

TEST(MoveStallCheck, ABoardLeftWaitingWithAMoveIsReported) {
    QuietBoard();
    screen = 7;
    overlayState = 0;
    // No move on the board: waiting is no stall.
    for (long long t = 1; t <= 1000; ++t) ASSERT_EQ(CheckMoveStall(t), "");
    creatures(2).kind = 1;
    for (long long t = 1001; t <= 1600; ++t) ASSERT_EQ(CheckMoveStall(t), "") << t;
    EXPECT_NE(CheckMoveStall(1601).find("had a move for 601 ticks"), std::string::npos);
    // A move under way (the board busy) starts the count again; so does a pause menu over it.
    boardPhase = 1;
    EXPECT_EQ(CheckMoveStall(1603), "");
    boardPhase = 2;
    EXPECT_EQ(CheckMoveStall(2200), "");
    EXPECT_NE(CheckMoveStall(2205), "");
    overlayState = 2;
    EXPECT_EQ(CheckMoveStall(2206), "");
    overlayState = 0;
}

TEST(BoardCheck, FindsKindsStatesPositionsAndABoardThatNeverComesToRest) {
    const struct { std::function<void()> damage; const char* found; } cases[] = {
        {[] {}, ""},
        {[] { creatures(5).kind = 17; }, "cell 5 has kind 17"},
        {[] { creatures(7).kind = 2.5f; }, "kind"},
        {[] { creatures(8).state = 11; }, "state"},
        {[] { creatures(9).y += 3; }, "rests at"},
        {[] { creatures(9).state = 2, creatures(9).y = -40; }, ""},  // falling: anywhere is fine
    };
    for (const auto& c : cases) {
        QuietBoard();
        c.damage();
        std::string said = CheckBoard(1);
        EXPECT_TRUE(*c.found ? said.find(c.found) != std::string::npos : said.empty()) << said;
    }
    QuietBoard();
    boardPhase = 1;
    busyCount = 3;
    EXPECT_EQ(CheckBoard(2000), "");
    EXPECT_NE(CheckBoard(3101).find("has not come to rest"), std::string::npos);
    boardPhase = 2;
    EXPECT_EQ(CheckBoard(3102), "");
}

}  // namespace

TEST(ProgressCheck, AScreenWithoutATouchForAMinuteOrAMenuThatNeverEndsIsReported) {
    screen = 5;
    EXPECT_EQ(CheckProgress(1, false), "");
    EXPECT_EQ(CheckProgress(3600, false), "");
    EXPECT_NE(CheckProgress(3602, false).find("no touch"), std::string::npos);
    screen = 7;
    EXPECT_EQ(CheckProgress(3603, true), "");
    EXPECT_EQ(CheckProgress(20000, true), "") << "a game may last while the player plays";
    EXPECT_NE(CheckProgress(23700, false).find("no touch"), std::string::npos);
    screen = 4;
    EXPECT_EQ(CheckProgress(23701, true), "");
    EXPECT_NE(CheckProgress(27400, true).find("has lasted"), std::string::npos) << "touched, but never left";
}

TEST(SessionScript, RejectsMalformedLinesNamingThem) {
    const char* bad[] = {
        "10 35 35\n", "10 35 35 2\n", "-4 35 35 1\n", "10x 35 35 1\n", "10 35 35 1 9\n",  // touches
        "20 1 1 1\n10 1 1 0\n",                                                       // going backwards
        "report\n", "seed -1\n", "mode\n", "jump 5\n", "display 0x480\n", "challenges 16\n",  // settings
        "10 3000000000 35 1\n", "10 35 -1e30 1\n", "10 inf 35 1\n",  // beyond any pixel position once scaled
    };
    for (const char* text : bad) {
        SessionScript s;
        std::string error;
        EXPECT_FALSE(ParseSessionScript(text, s, error)) << text;
        EXPECT_NE(error.find("line "), std::string::npos) << text;
    }
    SessionScript s;
    std::string error;
    EXPECT_FALSE(ParseSessionScript("mode arcade\n\n10 1 1 1\nbad\n", s, error));
    EXPECT_EQ(error.rfind("line 4", 0), 0u) << error;
    EXPECT_FALSE(ParseSessionScript("10 1 1 1\n20 1 -2147483649 0\n", s, error));
    EXPECT_EQ(error, "line 2: x and y must lie within -100000 to 100000");
    EXPECT_TRUE(ParseSessionScript("10 -100000 100000 1\n", s, error)) << error;   // the limits themselves
}
