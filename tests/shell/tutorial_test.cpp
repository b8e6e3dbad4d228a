// The tutorial through the real game loop on the headless twin with the build's media: entered by
// the main menu's TUTORIAL button, walked by doing what each panel asks and by NEXT alone, and left
// by EXIT from every step. A small player reads the board (with the play tests' own flood fill)
// and moves the finger tick by tick; the checks read the state and the frames the ticks leave.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "game/shell/main_routine.h"
#include "game/shell/save_files.h"
#include "game/state/globals.h"
#include "runtime/platform/null_audio.h"
#include "tests/scratch_folder.h"
#include "tests/play/board_checkers.h"
#include "tests/shell/flow_driver.h"
#include "tests/shell/save_fixture.h"

namespace {

struct Touch { float x = 0, y = 0; bool down = false; };
std::deque<Touch> finger;       // one entry per tick
std::function<void()> planner;  // asked for a gesture whenever the finger is idle
int nextTaps = 0;

// The game as each step began (index = step).
struct Snapshot {
    bool seen = false;
    float moves, combos, flips, swaps, hatched, power, bonus;
    Kinds kinds;
};
std::vector<Snapshot> atStep;

int Count(const Kinds& k, float kind) { return static_cast<int>(std::count(k.begin(), k.end(), kind)); }

// Before every logic tick: the state as each step began, then the finger the player wants.
void (*flowFinger)() = nullptr;
void BeforeTick() {
    int step = static_cast<int>(tutorialStep);
    if (phase == 11 && step >= 1 && step <= 26 && !atStep[step].seen) {
        atStep[step] = {true, movesMade, comboCount, flipsMade, swaps, eggsHatched, powerType, bonusTicks,
                        CurrentKinds()};
    }
    if (finger.empty() && planner) planner();
    Touch t = finger.empty() ? Touch{} : finger.front();
    if (!finger.empty()) finger.pop_front();
    t.down ? Flow::Down(t.x, t.y) : Flow::Up();
    flowFinger();
}

void Hold(float x, float y, bool down, int ticks) { finger.insert(finger.end(), ticks, Touch{x, y, down}); }
void Tap(float x, float y) {
    Hold(x, y, true, 3);
    Hold(x, y, false, 4);
}
void TapNext() { ++nextTaps, Tap(60, 460); }
void TapExit() { Tap(255, 460); }

struct Move { int from, to; };  // to == from: a switch by a second tap

Kinds After(Kinds k, Move m) {
    if (m.to == m.from) k[m.from] += static_cast<int>(k[m.from]) % 2 == 1 ? 1 : -1;
    else std::swap(k[m.from], k[m.to]);
    return k;
}

// The moves the board allows: swaps that connect two like creatures (any in the bonus period),
// and switches of ordinary creatures.
std::vector<Move> Moves(const Kinds& k, bool swipes, bool switches) {
    std::vector<Move> out;
    for (int a = 0; a < 36; ++a) {
        if (switches && k[a] >= 1 && k[a] <= 8) out.push_back({a, a});
        for (int b : {a + 1, a + 6}) {
            bool neighbour = b < 36 && (b == a + 6 || a % 6 < 5);
            if (swipes && neighbour && (bonusTicks > 0 || SwapConnects(k, a, b))) out.push_back({a, b});
        }
    }
    return out;
}

// The largest group of ordinary creatures, or with `byEgg` the largest touching an egg.
int Largest(const Kinds& k, bool byEgg) {
    Components c = FloodFill(k);
    int top = 0;
    for (int i = 0; i < 36; ++i) {
        bool eggBeside = (i % 6 > 0 && k[i - 1] == 9) || (i % 6 < 5 && k[i + 1] == 9) || (i >= 6 && k[i - 6] == 9) ||
                         (i < 30 && k[i + 6] == 9);
        if (k[i] >= 1 && k[i] <= 8 && (!byEgg || eggBeside)) top = std::max(top, c.size[c.id[i]]);
    }
    return top;
}

// The move that clears the most at once, else the one that lets a second move clear the most;
// never the swap just made.
Move lastMove{-1, -1};
Move Best(const Kinds& k, bool swipes, bool switches, bool byEgg = false) {
    Move best{-1, -1};
    int top = -1;
    for (Move m : Moves(k, swipes, switches)) {
        if (m.from != m.to && m.from == lastMove.from && m.to == lastMove.to) continue;
        Kinds once = After(k, m);
        int value = Largest(once, byEgg) >= 4 ? 200 + Largest(once, byEgg) : Largest(once, byEgg);
        for (Move m2 : value < 200 ? Moves(once, swipes, switches) : std::vector<Move>{}) {
            int later = Largest(After(once, m2), byEgg);
            if (later >= 4) value = std::max(value, 100 + later);
        }
        if (value > top) top = value, best = m;
    }
    return lastMove = best;
}

void Play(Move m) {
    ASSERT_GE(m.from, 0) << "no move on the board at step " << tutorialStep;
    // A press within 30 idle ticks of the last release counts as its second tap; wait that out.
    Hold(0, 0, false, 32);
    // A switch: two taps; a swipe: pressed on one cell, released on the other.
    Hold(CentreX(m.from), CentreY(m.from), true, m.to == m.from ? 2 : 3);
    if (m.to == m.from) Hold(CentreX(m.from), CentreY(m.from), false, 4), Hold(CentreX(m.from), CentreY(m.from), true, 2);
    Hold(CentreX(m.to), CentreY(m.to), true, m.to == m.from ? 0 : 2);
    Hold(CentreX(m.to), CentreY(m.to), false, 4);
}

void UsePowerUp(float kind) {
    Kinds k = CurrentKinds();
    auto at = std::find(k.begin(), k.end(), kind);
    ASSERT_NE(at, k.end()) << "no power-up of kind " << kind << " at step " << tutorialStep;
    Play({static_cast<int>(at - k.begin()), static_cast<int>(at - k.begin())});
}

bool Ready() { return phase == 11 && boardPhase == 2 && busyCount == 0 && tutorialPanel == 0 && selectedCell == 0; }

// The game starts once; every test enters the tutorial by the main menu's TUTORIAL button.
class Tutorial : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string home = MakeScratchFolder("squibly_tutorial_");
        ASSERT_NE(home, "");
        setenv("HOME", home.c_str(), 1);
        setenv("SQUIBLY_SEED", "23", 1);
        Flow::StartFresh();
        flowFinger = tickInputHook;
        tickInputHook = BeforeTick;
    }

    void EnterTutorial(float speech) {
        planner = nullptr;
        finger.clear();
        nextTaps = 0;
        atStep.assign(27, Snapshot{});
        if (phase == 11) TapExit();  // a test that failed half way leaves its tutorial here
        Flow::Until([] { return phase == 1; }, 1000);
        Flow::StartFresh();
        ASSERT_TRUE(Flow::UntilShown(1));
        speechVolume = speech;
        music = NullAudio::CurrentMusicPath();
        EXPECT_NE(music, "");  // the menus' music plays, so keeping it means something
        Tap(160, 206);         // TUTORIAL
        ASSERT_TRUE(Flow::Until([] { return phase == 11 && screen == 3; }, 300));
        EXPECT_EQ(speechVolume, 0);
    }

    // Back in the main menu with nothing of the tutorial left over.
    void ExpectLeftCleanly(float speech, const std::string& where) {
        ASSERT_TRUE(Flow::Until([] { return phase == 1 && screen == 1; }, 600)) << where;
        EXPECT_EQ(gameMode, 1) << where;
        EXPECT_FLOAT_EQ(speechVolume, speech) << where;
        EXPECT_EQ(Count(CurrentKinds(), 0), 36) << where;
        for (float v : {gameClock, bonusTicks, powerType, tutorialStep}) EXPECT_EQ(v, 0) << where;
        EXPECT_EQ(creatureKinds, 8) << where;
        EXPECT_EQ(NullAudio::CurrentMusicPath(), music) << where;
    }

    std::string music;
};

// A player who does what each panel asks and never taps NEXT. It lets the clock run out first,
// the window losing the focus meanwhile; its switches clear nothing, so the egg panel has to make
// room for its egg; after two moves in the bonus period it lets that end by itself.
struct Walk {
    bool clockRanOut = false, paused = false;
    float storedSpeech = -1, speechInLesson = -1;
    int arranged = 0;
};
void DoWhatThePanelSays(Walk& w) {
    if (!Ready()) return;
    Kinds k = CurrentKinds();
    switch (static_cast<int>(tutorialStep)) {
        case 2:
            if (!w.paused) {
                w.paused = true;
                NullPlatform::PushActive(false, Platform::APP_ACTIVE | Platform::APP_INPUTFOCUS);
                NullPlatform::PushActive(true, Platform::APP_ACTIVE | Platform::APP_INPUTFOCUS);
            } else if (w.storedSpeech < 0) {
                // The pause saved the settings: with the player's speech volume, or the next start
                // would be mute for good.
                std::vector<double> stored = Values(ReadBytes(std::string(SaveFilePath("squibly.ach").c_str())));
                w.storedSpeech = stored.size() == 70 ? static_cast<float>(stored[2]) : -2;
                w.speechInLesson = speechVolume;
            }
            if (gameClock > -300) return;
            w.clockRanOut = true;
            return Play(Best(k, true, false));
        case 5: return Play(Best(k, true, false));
        case 8:
            for (Move m : Moves(k, false, true))
                if (Largest(After(k, m), false) < 4) return Play(m);
            return;
        case 11:
            if (eggsHatched > 0) return;  // hatched already: the panel moves on by itself
            if (Count(k, 9) != 1) ADD_FAILURE() << "the egg panel waits with " << Count(k, 9) << " eggs";
            return Play(Best(k, true, true, true));
        case 14: return UsePowerUp(10);
        case 17: return powerType == 0 ? UsePowerUp(12) : void();
        case 20: return UsePowerUp(14);
        case 23:
            if (w.arranged < 2) return ++w.arranged, Play(Best(k, true, true));
            return;
        case 26: return TapExit();
        default: return;
    }
}

TEST_F(Tutorial, DoingWhatEachPanelAsksWalksAllStepsAndLeavesToTheMenu) {
    EnterTutorial(0.7f);
    Walk walk;
    NullAudio::ClearPlays();
    planner = [&] { DoWhatThePanelSays(walk); };
    ASSERT_TRUE(Flow::Until([] { return phase == 12 || HasFatalFailure(); }, 30000)) << "stuck at step " << tutorialStep;
    ExpectLeftCleanly(0.7f, "after the last panel");
    EXPECT_EQ(nextTaps, 0);
    EXPECT_TRUE(walk.clockRanOut);  // and the lesson went on
    EXPECT_EQ(std::make_pair(walk.storedSpeech, walk.speechInLesson), std::make_pair(0.7f, 0.0f));
    EXPECT_GT(Flow::Played("error.wav"), 0);
    for (int step = 1; step <= 26; ++step) EXPECT_TRUE(atStep[step].seen) << "step " << step << " never ran";
    EXPECT_GE(atStep[3].moves, 3);
    EXPECT_GE(atStep[6].combos, 3);
    // Switches: none made before, three granted (clearing nothing), then a hundred.
    EXPECT_EQ(std::make_tuple(atStep[5].combos, atStep[8].swaps, atStep[9].flips, atStep[9].combos, atStep[10].swaps),
              std::make_tuple(0.0f, 3.0f, 3.0f, atStep[8].combos, 100.0f));
    // The egg hatched into a less-creatures power-up; then clock-stopped and infinite switches
    // arrive and run in turn (the clock stood still), and the bonus period starts.
    EXPECT_EQ(std::make_tuple(atStep[12].hatched, Count(atStep[14].kinds, 10), Count(atStep[17].kinds, 12),
                              Count(atStep[20].kinds, 14), atStep[22].bonus),
              std::make_tuple(1.0f, 1, 1, 1, 600.0f));
    EXPECT_EQ(std::make_tuple(atStep[15].power, atStep[18].power, atStep[21].power), std::make_tuple(1.0f, 2.0f, 3.0f));
    EXPECT_GT(atStep[25].combos, atStep[24].combos);  // the arranged groups cleared
}

// From every step EXIT returns to the main menu and nothing of the tutorial stays: a power runs
// from step 15 to 24, and on the last step the clock is about to run out during the sweep. The
// walk to the last step is NEXT alone.
TEST_F(Tutorial, ExitFromEveryStepLeavesNothingBehindAndNextAloneReachesTheEnd) {
    for (int leaveAt = 1; leaveAt <= 26; ++leaveAt) {
        SCOPED_TRACE(leaveAt);
        EnterTutorial(0.4f);
        float powerAtExit = -1;
        planner = [leaveAt, &powerAtExit] {
            int step = static_cast<int>(tutorialStep);
            if (phase != 11) return;
            if (step == leaveAt) {
                if (leaveAt == 26 && gameClock > -297) return;
                powerAtExit = powerType;
                return TapExit();
            }
            if (Ready()) step == 14 && leaveAt < 26 ? UsePowerUp(10) : TapNext();
        };
        ASSERT_TRUE(Flow::Until([] { return phase == 12; }, 4000)) << "stuck at step " << tutorialStep;
        EXPECT_EQ(powerAtExit, leaveAt > 14 && leaveAt < 25 ? 1 : 0);
        ExpectLeftCleanly(0.4f, "left at step " + std::to_string(leaveAt));
        if (HasFatalFailure()) return;
    }
    EXPECT_EQ(nextTaps, 8);
    EXPECT_EQ(atStep[24].bonus, 0);  // NEXT ends the bonus period
}

}  // namespace
