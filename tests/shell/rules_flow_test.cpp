// The rules of a running game through the real frame loop on the headless twin: each mode's
// opening banners and its clock with its speed-up, alarm and end; the level target, bonus period and level-up; the
// power timers; the order in which eggs hatch round one clear; the PUZZLE clock gain. Every expected figure is worked out by hand in its table.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "game/shell/main_routine.h"
#include "game/state/globals.h"
#include "runtime/platform/null_audio.h"
#include "tests/play/board_checkers.h"
#include "tests/shell/flow_driver.h"

namespace {

using namespace Flow;

// One logic tick and the frame that follows it (one tick a frame, once the rate is known).
void Tick() {
    long long before = logicTickCount;
    Ticks(1);
    ASSERT_EQ(logicTickCount, before + 1);
}

// A game of `mode` started from the main menu and run through its banners, GET READY for 96 ticks
// (shown six ticks in ten), then LEVEL:1 for 145, with their speech and the clock waiting for
// them: the next tick is the first in which the clock may run.
void Play(float mode) {
    StartFresh();
    if (mode == 4) {
        for (int i = 0; i < 10; ++i) challengeProgress(i) = 100;
        challengesCompleted = 10;
    }
    ASSERT_TRUE(UntilShown(1));
    TapMainMenu(0);
    ASSERT_TRUE(UntilShown(2));
    ClearSounds();
    TapModeTile(mode);
    ASSERT_TRUE(Until([] { return bannerKind == 1; }, 100));
    int ready = 0, levelOne = 0;
    for (int t = 0; t < 400 && bannerKind != 0 && !::testing::Test::HasFatalFailure(); ++t) {
        (bannerKind == 1 ? ready : levelOne) += 1;
        ASSERT_EQ(gameClock, 0) << "the clock waits for the banners";
        Tick();
    }
    EXPECT_EQ(ready, 96);
    EXPECT_EQ(levelOne, 145);
    EXPECT_EQ(Played("ready_s.wav"), 1);
    EXPECT_EQ(Played("good_luck_s.wav"), 1);
    ASSERT_EQ(runState, 2);
    ASSERT_EQ(gameMode, mode);
    ClearSounds();
}

bool MusicIs(const std::string& track) { return NullAudio::CurrentMusicPath().find(track) != std::string::npos; }

TEST(Clock, EachModeDrainsAtItsRateSpeedsUpSoundsTheAlarmOnceAndEnds) {
    struct Row {
        const char* name;
        float mode, startClock;
        int firstStep;  // tick of the first clock step
        int speedUp;    // tick at which ARCADE's rate rises to 11 (0: never)
        int alarm;      // tick of the alarm (0: never)
        int end;        // tick of GAME OVER (0: never)
        int run;
    };
    const Row rows[] = {
        // 10 a tick from 120: a step every 12 ticks; step 180 at tick 2160 raises the rate to 11,
        // the remainder carried, so 11 steps take 120 ticks from then on. Step 241 (below -240):
        // 2160 + 5 x 120 + 6 x 11 = 2826. Step 300: 2160 + 10 x 120 + 10 x 11 = 3470.
        {"ARCADE", 1, 0, 12, 2160, 2826, 3470, 3600},
        // 2 a tick: a step every 60 ticks. From -250, step 46 reaches -296, step 50 reaches -300.
        {"PUZZLE", 2, -250, 60, 0, 2760, 3000, 3100},
        // Five minutes: step 286 reaches -286 (below -285) at 17160, step 300 at 18000.
        {"TIME TRIAL", 3, 0, 60, 0, 17160, 18000, 18100},
        // No clock: longer than a whole TIME TRIAL game, and nothing moves.
        {"ZEN", 4, 0, 0, 0, 0, 0, 20000},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Play(r.mode);
        if (HasFatalFailure()) return;
        gameClock = r.startClock;
        int firstStep = 0, speedUp = 0, alarm = 0, end = 0, stepsAfterSpeedUp = 0;
        float lastClock = gameClock;
        for (int t = 1; t <= r.run && !HasFatalFailure(); ++t) {
            float rate = clockRate;
            Tick();
            if (!firstStep && gameClock < r.startClock) firstStep = t;
            if (!speedUp && clockRate > rate) speedUp = t;
            if (speedUp && t > speedUp && t <= speedUp + 120 && gameClock < lastClock) ++stepsAfterSpeedUp;
            lastClock = gameClock;
            if (!alarm && Played("alarm2.wav") > 0) alarm = t;
            if (!end && bannerKind == 5) {
                end = t;
                EXPECT_EQ(gameClock, -300);
            }
        }
        EXPECT_EQ(std::make_tuple(firstStep, speedUp, alarm, end), std::make_tuple(r.firstStep, r.speedUp, r.alarm, r.end));
        EXPECT_EQ(stepsAfterSpeedUp, r.speedUp ? 11 : 0);
        EXPECT_EQ(Played("alarm2.wav"), r.alarm ? 1 : 0) << "the alarm sounds once";
        if (r.end) {
            // The results follow; a game left alone scores nothing and takes no place in the table.
            ASSERT_TRUE(UntilShown(6, 1500));
            EXPECT_TRUE(Shows(std::string(r.name) + " MODE"));
            EXPECT_EQ(resultRank, 0);
            EXPECT_FALSE(Shows("NEW HIGH SCORE") || Shows("YOUR RANK"));
        } else {
            EXPECT_EQ(std::make_tuple(gameClock, runState, boardLock), std::make_tuple(0.0f, 2.0f, 0.0f));
            ASSERT_TRUE(QuitGameToMenu());
        }
    }
}

TEST(Levels, TheTargetStartsABonusPeriodBetweenTwoBannersAndTheLevelUpKeepsOrRefillsTheClock) {
    struct Row {
        const char* name;
        float mode, nextTarget;
        float clockAtTarget;  // after 600 ticks of play
        float clockAfter;     // on the level-up tick
    };
    const Row rows[] = {
        {"ARCADE refills", 1, 100 + 8, -50, 0},                 // 600 / 12 steps
        {"PUZZLE keeps the saved clock", 2, 144 + 8, -10, -10},  // 600 / 60
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Play(r.mode);
        if (HasFatalFailure()) return;
        Ticks(600);
        ASSERT_EQ(gameClock, r.clockAtTarget);
        levelProgress = levelTarget;  // as the last creatures counted would leave it
        // Tick 1: GREAT PLAY for 120 ticks, the clock held. Ticks 121..720: the bonus period of
        // 600 ticks, the bar at -300 + bonus / 2. Tick 720: LEVEL:2 for 145 ticks. A banner
        // counts the tick that starts it: the playing tick runs the banners after the scoring and
        // the clock, so GREAT PLAY is gone after tick 120 and LEVEL:2 after tick 720 + 144.
        for (int t = 1; t <= 870 && !HasFatalFailure(); ++t) {
            Tick();
            SCOPED_TRACE(t);
            if (t == 1) { EXPECT_EQ(std::make_pair(bonusTicks, levelTarget), std::make_pair(600.0f, r.nextTarget)); }
            if (t <= 119) { ASSERT_EQ(bannerKind, 2); }
            if (t <= 120) { EXPECT_EQ(gameClock, r.clockAtTarget); }
            if (t == 120) { EXPECT_EQ(bannerKind, 0); }
            if (t > 120 && t < 720) { EXPECT_EQ(gameClock, -300 + (600 - (t - 121)) * 0.5f); }
            if (t == 719) { ASSERT_EQ(level, 1); }
            if (t == 720) {
                EXPECT_EQ(std::make_tuple(level, bannerKind, gameClock), std::make_tuple(2.0f, 4.0f, r.clockAfter));
                EXPECT_TRUE(MusicIs("space_jungle_bebop_cut"));
            }
            if (t == 863 || t == 864) { EXPECT_EQ(bannerKind, t == 863 ? 4 : 0); }
        }
        EXPECT_EQ(Played("fantastic_well_done_s.wav") + Played("next_level_s.wav"), 2);
        ASSERT_TRUE(QuitGameToMenu());
    }
}

TEST(Powers, EachPowerUpRunsItsTimeOnThePanelAndEndsWithItsEffect) {
    struct Row {
        const char* name;
        float mode, kind, type, kinds;
        int ticks;          // 31 or 61 seconds of 60 ticks: the shown time passes 0:00 first
        const char* speech;
    };
    const Row rows[] = {
        {"less creatures 0:30", 1, 10, 1, 6, 31 * 60, "less_creatures_s.wav"},
        {"less creatures 1:00", 3, 11, 1, 6, 61 * 60, "less_creatures_s.wav"},
        {"clock stopped 0:30", 3, 12, 2, 8, 31 * 60, "clock_stopped_s.wav"},
        {"clock stopped 1:00", 3, 13, 2, 8, 61 * 60, "clock_stopped_s.wav"},
        {"infinite switches 0:30", 2, 14, 3, 8, 31 * 60, "infinite_switches_s.wav"},
        {"infinite switches 1:00", 4, 15, 3, 8, 61 * 60, "infinite_switches_s.wav"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Play(r.mode);
        if (HasFatalFailure()) return;
        if (r.mode == 1) gameClock = -100;
        creatures(14).kind = r.kind;  // a hatched power-up in the middle of the idle board
        Tap(CentreX(14), CentreY(14));
        ASSERT_EQ(selectedCell, 15);
        Down(CentreX(14), CentreY(14));
        ASSERT_TRUE(Until([] { return powerType > 0; }, 5));
        Up();
        // Tick 1 of the power has run.
        EXPECT_EQ(std::make_tuple(powerType, powerIcon, creatureKinds), std::make_tuple(r.type, r.kind - 9, r.kinds));
        if (r.mode == 1) { EXPECT_EQ(gameClock, 0) << "ARCADE refills the clock"; }
        float clock = gameClock;
        int t = 1;
        for (; t < r.ticks + 10 && powerType > 0 && !HasFatalFailure(); ++t) Tick();
        EXPECT_EQ(t, r.ticks);
        EXPECT_EQ(creatureKinds, 8);
        if (r.type == 2) { EXPECT_EQ(gameClock, clock) << "the clock stood still"; }
        Ticks(2);
        EXPECT_EQ(Played(r.speech) + Played("bonus_power_depleted_s.wav"), 2);
        EXPECT_TRUE(MusicIs("space_jungle_bebop_cut"));
        ASSERT_TRUE(QuitGameToMenu());
    }
}

TEST(Eggs, OneClearHatchesItsNeighboursCellByCellBelowRightAboveLeftEachOnce) {
    // A group of five: row 2, columns 1..4 (cells 13..16), and cell 10 above 16. Eggs at 9 (beside
    // 10 and above 15), 7 and 12 (above and left of 13), 20 (below 14), 22 and 17 (below and right
    // of 16). Cleared cells in order, each looking below, right, above, left: 10 hatches 9; 13
    // hatches 7 then 12; 14 hatches 20; 15 finds 9 already hatching; 16 hatches 22 then 17.
    const int order[] = {9, 7, 12, 20, 22, 17};
    struct Row {
        const char* name;
        float mode;
        float (*kindOf)(unsigned draw);  // the power-up a draw of the standard generator gives
        float clock;                     // the clock as the group clears
    };
    const Row rows[] = {
        // The clock empties as the group clears: the alarm sounds, but the game waits for the
        // board, and the clear's refill ends the alarm and the danger.
        {"ARCADE: any of the six; the clock empty", 1, [](unsigned v) { return static_cast<float>(v % 6 + 10); },
         -300},
        {"ZEN: never the clock-stopped ones", 4,
         [](unsigned v) {
             static const float ZEN_KINDS[4] = {10, 11, 14, 15};
             return ZEN_KINDS[v % 4];
         },
         0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Play(r.mode);
        if (HasFatalFailure()) return;
        Kinds k = Checkerboard();
        for (int cell : {13, 14, 15, 16, 10}) k[cell] = 5;
        for (int egg : order) k[egg] = 9;
        PlaceBoard(k);
        for (int i = 0; i < bubbleY.ArraySize(0); ++i) bubbleY(i) = 240;  // no bubble is reborn this tick
        gameClock = r.clock;
        boardPhase = 3;           // settled after a move: the search is due
        SeedGameRandom(5489);     // the hatches draw the standard sequence
        Tick();
        std::mt19937 standard;    // seeded 5489
        for (int egg : order)
            EXPECT_EQ(std::make_pair(creatures(egg).state, creatures(egg).nextKind),
                      std::make_pair(6.0f, r.kindOf(standard()))) << egg;
        EXPECT_EQ(busyCount, 5 + 6);
        EXPECT_EQ(std::make_pair(Played("alarm2.wav"), boardLock),
                  r.mode == 1 ? std::make_pair(1, 1.0f) : std::make_pair(0, 0.0f));
        ASSERT_TRUE(Until([] { return boardPhase == 2 && busyCount == 0; }, 2000));
        EXPECT_GE(score + pendingScore, 5 * 50) << "the group of five scored";
        EXPECT_EQ(std::make_tuple(bannerKind == 5, runState, gameClock > -300, boardLock),
                  std::make_tuple(false, 2.0f, true, 0.0f));
        ASSERT_TRUE(QuitGameToMenu());
    }
}

TEST(PuzzleClock, EachClearedGroupGainsItsStepsNeverPastFull) {
    // A group of s gains (s - 3) + (s - 3)^2 / 2 steps and scores s x its rate.
    struct Row {
        std::vector<int> group1, group2;
        float clock, after, points;
    };
    const Row rows[] = {
        {{0, 1, 2, 3}, {}, -100, -100 + 1 + 0.5f, 100},
        {{0, 1, 2, 3, 4}, {}, -100, -100 + 2 + 2, 250},
        {{0, 1, 2, 3, 4, 5}, {}, -100, -100 + 3 + 4.5f, 540},
        {{0, 1, 2, 3, 4, 5, 6}, {}, -100, -100 + 4 + 8, 1050},
        {{0, 1, 2, 3}, {30, 31, 32, 33}, -100, -100 + 1.5f + 1.5f, 200 + 250},
        {{0, 1, 2, 3, 4, 5}, {}, -3, 0, 540},  // never past full
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.group1.size() << " and " << r.group2.size() << " from " << r.clock);
        Play(2);
        if (HasFatalFailure()) return;
        Kinds k = Checkerboard();
        for (int cell : r.group1) k[cell] = 5;
        for (int cell : r.group2) k[cell] = 6;
        PlaceBoard(k);
        gameClock = r.clock;
        clockTicks = 120;  // the next step is a second away
        boardPhase = 3;
        ASSERT_TRUE(Until([] { return clockGainTicks > 0; }, 60));
        EXPECT_EQ(gameClock, r.after);
        EXPECT_EQ(score + pendingScore, r.points);
        EXPECT_EQ(clockGainTicks, 89);
        ASSERT_TRUE(Until([] { return pendingScore == 0 && boardPhase == 2 && busyCount == 0; }, 3000));
        ASSERT_TRUE(QuitGameToMenu());
    }
}

}  // namespace
