// The plausibility check for a saved game's gameplay state: damaged values fail (live games of
// every stage pass it in the random play).
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "board_checkers.h"
#include "game/play/play.h"
#include "game/state/globals.h"

TEST(PlayState, DamagedValuesAreRefused) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    PrepareEmptyGame();
    ClearBoard();
    EXPECT_TRUE(PlayStateIsSound());  // the menus' empty board
    std::vector<std::function<void()>> damage = {
        [] { selectedCell = 37; }, [] { targetCell = -1; }, [] { boardPhase = 7; }, [] { boardPhase = 1.5f; },
        [] { popupSlot = 10; }, [] { speechQueueEnd = 300; }, [] { noticeIndex = -1; },
        [] { creatures(5).kind = 17; }, [] { creatures(5).state = 11; }, [] { creatures(5).column = 6; },
        [] { creatures(7).state = 5; creatures(7).nextKind = 40; }, [nan] { creatures(9).y = nan; },
        [] { sweepOrder(3) = 36; }, [] { groupOfCell(2) = 40; }, [nan] { busyCount = nan; },
        [] { gameMode = 6; }, [] { creatureKinds = 9; },
    };
    for (size_t i = 0; i < damage.size(); ++i) {
        StartSeededGame(12);
        ASSERT_TRUE(PlayStateIsSound());
        damage[i]();
        EXPECT_FALSE(PlayStateIsSound()) << "damage " << i;
    }
}
