// Lifecycle callbacks found by name, before and after start-up has finished.
#include <gtest/gtest.h>

#include "game/play/play.h"
#include "game/state/globals.h"
#include "game/shell/main_routine.h"
#include "runtime/core/lifecycle.h"
#include "tests/shell/shell_fixture.h"

namespace {

// Before start-up has finished a callback must neither act nor lose the frame clock's debt; after
// it, each raises its request for the frame loop.
TEST(Lifecycle, CallbacksDoNothingBeforeStartUpHasFinishedAndRaiseTheirRequestsAfter) {
    StartRuntimeOnce();
    StartPacing();
    DimensionPlayTables();
    highScores.DimArray(4, 6, 2);
    lifecycleRequest = startupComplete = 0;
    tickDebt = 5;
    for (const char* name : {"KRT_ON_PAUSE", "KRT_ON_QUIT", "KRT_ON_RESUME"}) EXPECT_EQ(CALLBYNAME(name), 1.0f) << name;
    EXPECT_EQ(std::make_pair(lifecycleRequest, tickDebt), std::make_pair(0.0f, 5.0f));

    startupComplete = 1;
    ticksThisFrame = 4;
    CALLBYNAME("KRT_ON_PAUSE");
    EXPECT_EQ(std::make_tuple(lifecycleRequest, tickDebt, ticksThisFrame, resetFrameClock),
              std::make_tuple(3.0f, 0.0f, 1.0f, 1.0f));
    CALLBYNAME("KRT_ON_RESUME");
    EXPECT_EQ(lifecycleRequest, 1);
    resetFrameClock = 1;
    CALLBYNAME("KRT_ON_QUIT");
    EXPECT_EQ(std::make_pair(lifecycleRequest, resetFrameClock), std::make_pair(4.0f, 0.0f));
}

}  // namespace
