// The tutorial through the real game loop on the headless twin with the build's media: entered
// from the main menu, walked by doing what each panel asks and by NEXT alone, and left by EXIT
// from every step. A small player reads the board and moves the pointer tick by tick; the checks
// read the game state the ticks leave behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "game/shell/main_routine.h"
#include "game/state/globals.h"
#include "runtime/core/files.h"
#include "runtime/platform/null_audio.h"
#include "tests/shell/shell_fixture.h"

namespace {

using Board = std::array<int, 36>;

struct Touch {
    float x = 0, y = 0;
    bool down = false;
};

std::deque<Touch> finger;  // one entry per tick
Touch pointer;
std::function<void()> planner;  // asked for a gesture whenever the finger is idle
int nextTaps = 0;

// What the game looked like when each step began: counters and the board.
struct Snapshot {
    float movesMade, comboCount, flipsMade, swaps, eggsHatched, powerType, creatureKinds, bonusTicks, gameClock;
    Board kinds;
};
std::vector<Snapshot> atStep;  // index = step

Board Kinds() {
    Board b;
    for (int i = 0; i < 36; ++i) b[i] = static_cast<int>(creatures(i).kind);
    return b;
}

int Count(const Board& b, int kind) {
    int n = 0;
    for (int k : b) n += k == kind;
    return n;
}

void BeforeTick() {
    int step = static_cast<int>(tutorialStep);
    if (phase == 11 && step > 0 && step < 27 && atStep[step].kinds[0] < 0) {
        atStep[step] = {movesMade, comboCount, flipsMade, swaps, eggsHatched, powerType, creatureKinds,
                        bonusTicks, gameClock, Kinds()};
    }
    if (finger.empty() && planner) planner();
    pointer.down = false;
    if (!finger.empty()) {
        pointer = finger.front();
        finger.pop_front();
    }
    NullPlatform::SetPointer(static_cast<int>(pointer.x * scaleX + offsetX),
                             static_cast<int>(pointer.y * scaleY + offsetY), pointer.down ? 1u : 0u);
}

// Runs the real loop until `done` holds after a frame; false when `limit` ticks pass first.
bool RunUntil(const std::function<bool()>& done, long long limit) {
    long long end = logicTickCount + limit;
    while (logicTickCount < end) {
        if (!RunFrame()) return false;
        if (done()) return true;
    }
    return false;
}

float CentreX(int cell) { return 35.0f + 50 * (cell % 6); }
float CentreY(int cell) { return 35.0f + 50 * (cell / 6); }
void Hold(float x, float y, bool down, int ticks) {
    for (int i = 0; i < ticks; ++i) finger.push_back({x, y, down});
}
void Tap(float x, float y) {
    Hold(x, y, true, 3);
    Hold(x, y, false, 4);
}
const float ANSWER_Y = 460;
void TapNext() {
    ++nextTaps;
    Tap(60, ANSWER_Y);
}
void TapExit() { Tap(255, ANSWER_Y); }

// ---- The player's own reading of the board ---------------------------------------------------

std::vector<int> Around(int cell) {
    std::vector<int> out;
    if (cell % 6 > 0) out.push_back(cell - 1);
    if (cell % 6 < 5) out.push_back(cell + 1);
    if (cell >= 6) out.push_back(cell - 6);
    if (cell < 30) out.push_back(cell + 6);
    return out;
}

int GroupSize(const Board& b, int start) {
    std::vector<int> seen(36, 0), stack{start};
    seen[start] = 1;
    int size = 0;
    while (!stack.empty()) {
        int cell = stack.back();
        stack.pop_back();
        ++size;
        for (int n : Around(cell)) {
            if (!seen[n] && b[n] == b[start]) seen[n] = 1, stack.push_back(n);
        }
    }
    return size;
}

bool TouchesLike(const Board& b, int cell, int skip) {
    for (int n : Around(cell))
        if (n != skip && b[n] == b[cell]) return true;
    return false;
}

struct Move {
    int from, to;  // to == from: a switch by a second tap
};

Board After(Board b, Move m) {
    if (m.to == m.from) {
        b[m.from] += b[m.from] % 2 == 1 ? 1 : -1;
    } else {
        std::swap(b[m.from], b[m.to]);
    }
    return b;
}

// Every move the board allows now: swaps that connect two like creatures (any swap in the bonus
// period) and, with switches left, switches of ordinary creatures.
std::vector<Move> Moves(const Board& b, bool swipes, bool switches) {
    std::vector<Move> out;
    for (int a = 0; a < 36; ++a) {
        if (switches && b[a] >= 1 && b[a] <= 8) out.push_back({a, a});
        if (!swipes) continue;
        for (int n : Around(a)) {
            if (n < a) continue;
            Board s = After(b, {a, n});
            if (bonusTicks > 0 || b[a] == b[n] || TouchesLike(s, a, n) || TouchesLike(s, n, a)) out.push_back({a, n});
        }
    }
    return out;
}

// The move that scores highest on the board it leaves, or that leads to the highest score with
// one more move; a score of four or more clears at once. Never undoes the move before.
Move lastMove{-1, -1};
Move Best(const Board& b, bool swipes, bool switches, const std::function<int(const Board&)>& score) {
    Move best{-1, -1};
    int top = -1;
    for (Move m : Moves(b, swipes, switches)) {
        if (m.from != m.to && m.from == lastMove.from && m.to == lastMove.to) continue;
        Board once = After(b, m);
        int value = score(once) >= 4 ? 200 + score(once) : score(once);
        if (value < 200) {
            for (Move m2 : Moves(once, swipes, switches))
                if (score(After(once, m2)) >= 4) value = std::max(value, 100 + score(After(once, m2)));
        }
        if (value > top) top = value, best = m;
    }
    lastMove = best;
    return best;
}

int Largest(const Board& b) {
    int top = 0;
    for (int i = 0; i < 36; ++i)
        if (b[i] >= 1 && b[i] <= 8) top = std::max(top, GroupSize(b, i));
    return top;
}

// The largest group of ordinary creatures that touches an egg (a group of four hatches it).
int LargestByEgg(const Board& b) {
    int top = 0;
    for (int e = 0; e < 36; ++e) {
        if (b[e] != 9) continue;
        for (int n : Around(e))
            if (b[n] >= 1 && b[n] <= 8) top = std::max(top, GroupSize(b, n));
    }
    return top;
}

void Play(Move m) {
    ASSERT_GE(m.from, 0) << "no move on the board at step " << tutorialStep;
    // A press within 30 idle ticks of the last release counts as its second tap; wait that out.
    Hold(0, 0, false, 32);
    if (m.to == m.from) {
        float x = CentreX(m.from), y = CentreY(m.from);
        Hold(x, y, true, 2);
        Hold(x, y, false, 3);
        Hold(x, y, true, 2);
        Hold(x, y, false, 4);
    } else {
        Hold(CentreX(m.from), CentreY(m.from), true, 3);
        Hold(CentreX(m.to), CentreY(m.to), true, 2);
        Hold(CentreX(m.to), CentreY(m.to), false, 4);
    }
}

void UsePowerUp(int kind) {
    Board b = Kinds();
    for (int i = 0; i < 36; ++i)
        if (b[i] == kind) return Play({i, i});
    ADD_FAILURE() << "no power-up of kind " << kind << " at step " << tutorialStep;
}

bool Ready() {
    return phase == 11 && boardPhase == 2 && busyCount == 0 && tutorialPanel == 0 && selectedCell == 0;
}

// ---- The game, started once; every test enters the tutorial from the main menu --------------

class Tutorial : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        StartRuntimeOnce();
        char home[] = "/tmp/squibly_tutorial_XXXXXX";
        ASSERT_NE(mkdtemp(home), nullptr);
        setenv("HOME", home, 1);
        unsetenv("SQUIBLY_START_MODE");
        setenv("SQUIBLY_SEED", "23", 1);
        ASSERT_NE(SetCurrentDir(SQUIBLY_GAME_DIR), 0);
        GameStartup();
        tickInputHook = BeforeTick;
    }

    void EnterTutorial(float speech) {
        planner = nullptr;
        finger.clear();
        nextTaps = 0;
        atStep.assign(27, Snapshot{});
        for (Snapshot& s : atStep) s.kinds[0] = -1;
        if (phase == 11) TapExit();  // a test that failed half way leaves its tutorial here
        ASSERT_TRUE(RunUntil([] { return phase == 1 && screen == 1; }, 1000));
        speechVolume = speech;
        music = NullAudio::CurrentMusicPath();
        EXPECT_NE(music, "");  // the menus' music plays, so keeping it means something
        // The main menu's TUTORIAL choice.
        screen = 3;
        phase = 3;
        ASSERT_TRUE(RunUntil([] { return phase == 11; }, 10));
        EXPECT_EQ(speechVolume, 0);
    }

    // Back in the main menu with nothing of the tutorial left over.
    void ExpectLeftCleanly(float speech, const std::string& where) {
        ASSERT_TRUE(RunUntil([] { return phase == 1 && screen == 1; }, 600)) << where;
        EXPECT_EQ(gameMode, 1) << where;
        EXPECT_FLOAT_EQ(speechVolume, speech) << where;
        EXPECT_EQ(Count(Kinds(), 0), 36) << where;
        EXPECT_EQ(gameClock, 0) << where;
        EXPECT_EQ(bonusTicks, 0) << where;
        EXPECT_EQ(powerType, 0) << where;
        EXPECT_EQ(creatureKinds, 8) << where;
        EXPECT_EQ(tutorialStep, 0) << where;
        EXPECT_EQ(NullAudio::CurrentMusicPath(), music) << where;
    }

    std::string music;
};

// A player who does what each panel asks, never taps NEXT, and first lets the clock run out.
void DoWhatThePanelSays(bool& clockRanOut, int& arranged) {
    if (!Ready()) return;
    Board b = Kinds();
    switch (static_cast<int>(tutorialStep)) {
        case 2:
            if (gameClock > -300) return;  // the clock runs out first: the lesson must go on
            clockRanOut = true;
            return Play(Best(b, true, false, Largest));
        case 5: return Play(Best(b, true, false, Largest));
        case 8: return Play(Best(b, false, true, Largest));
        case 11:
            if (eggsHatched > 0) return;  // hatched already: the panel moves on by itself
            if (Count(b, 9) != 1) ADD_FAILURE() << "the egg panel waits with " << Count(b, 9) << " eggs";
            return Play(Best(b, true, true, LargestByEgg));
        case 14: return UsePowerUp(10);
        case 17:
            if (powerType != 0) return;  // lingers until the less-creatures power runs out
            return UsePowerUp(12);
        case 20: return UsePowerUp(14);
        case 23:
            if (arranged < 2) ++arranged, Play(Best(b, true, true, Largest));
            return;
        case 26: return TapExit();
        default: return;
    }
}

TEST_F(Tutorial, DoingWhatEachPanelAsksWalksAllStepsAndLeavesToTheMenu) {
    EnterTutorial(0.7f);
    bool clockRanOut = false;
    int arranged = 0;
    NullAudio::ClearPlays();
    planner = [&] { DoWhatThePanelSays(clockRanOut, arranged); };
    ASSERT_TRUE(RunUntil([] { return phase == 12 || HasFatalFailure(); }, 30000)) << "stuck at step " << tutorialStep;
    ExpectLeftCleanly(0.7f, "after the last panel");
    EXPECT_EQ(nextTaps, 0);
    EXPECT_TRUE(clockRanOut);
    bool errorSound = false;
    for (const auto& p : NullAudio::Plays()) errorSound |= p.path.find("error.wav") != std::string::npos;
    EXPECT_TRUE(errorSound);  // the empty clock was heard

    for (int step = 1; step <= 26; ++step) EXPECT_GE(atStep[step].kinds[0], 0) << "step " << step << " never ran";
    EXPECT_GE(atStep[3].movesMade, 3);
    EXPECT_EQ(atStep[5].comboCount, 0);
    EXPECT_GE(atStep[6].comboCount, 3);
    EXPECT_EQ(atStep[8].swaps, 3);
    EXPECT_EQ(atStep[9].flipsMade, 3);
    EXPECT_EQ(atStep[10].swaps, 100);
    EXPECT_EQ(atStep[12].eggsHatched, 1);  // the egg the switches brought has hatched...
    EXPECT_EQ(Count(atStep[14].kinds, 10), 1);  // ...into a less-creatures power-up
    EXPECT_EQ(atStep[15].powerType, 1);
    EXPECT_EQ(Count(atStep[17].kinds, 12), 1);
    EXPECT_EQ(atStep[18].powerType, 2);
    EXPECT_EQ(atStep[19].gameClock, atStep[18].gameClock);  // stopped
    EXPECT_EQ(Count(atStep[20].kinds, 14), 1);
    EXPECT_EQ(atStep[21].powerType, 3);
    EXPECT_EQ(atStep[22].bonusTicks, 600);
    EXPECT_EQ(arranged, 2);
    EXPECT_GT(atStep[25].comboCount, atStep[24].comboCount);  // the arranged groups cleared
    EXPECT_EQ(atStep[25].swaps, 0);
}

// Switches that clear nothing bring no new creature, so the egg panel makes room for its egg; the
// bonus period then runs at a third of its speed, shown on the clock bar, and ends by itself.
TEST_F(Tutorial, TheEggComesWithoutAClearAndTheBonusPeriodRunsSlowly) {
    EnterTutorial(1);
    int eggsAtEggPanel = -1;
    planner = [&eggsAtEggPanel] {
        if (!Ready() || tutorialStep >= 23) return;
        Board b = Kinds();
        if (tutorialStep == 8) {
            for (Move m : Moves(b, false, true))
                if (Largest(After(b, m)) < 4) return Play(m);
        }
        if (tutorialStep == 11) eggsAtEggPanel = Count(b, 9);
        TapNext();
    };
    ASSERT_TRUE(RunUntil([] { return tutorialStep == 23 && tutorialPanel == 0; }, 4000));
    EXPECT_EQ(atStep[9].flipsMade, 3);
    EXPECT_EQ(atStep[9].comboCount, atStep[8].comboCount);  // nothing cleared
    EXPECT_EQ(eggsAtEggPanel, 1);
    planner = nullptr;
    float before = bonusTicks;
    RunUntil([] { return false; }, 300);
    EXPECT_NEAR(before - bonusTicks, 100, 1);
    EXPECT_FLOAT_EQ(gameClock, -300 + bonusTicks / 2);
    ASSERT_TRUE(RunUntil([] { return tutorialStep == 24; }, 2000));
    EXPECT_EQ(bonusTicks, 0);
    EXPECT_EQ(gameClock, 0);
    TapExit();
    ExpectLeftCleanly(1, "after the bonus period");
}

TEST_F(Tutorial, NextAloneBringsEachScriptedCreatureAndReachesTheEnd) {
    EnterTutorial(0.4f);
    planner = [] {
        if (Ready() && tutorialStep < 26) TapNext();
        if (Ready() && tutorialStep == 26) TapExit();
    };
    ASSERT_TRUE(RunUntil([] { return phase == 12; }, 4000)) << "stuck at step " << tutorialStep;
    ExpectLeftCleanly(0.4f, "after NEXT alone");
    EXPECT_EQ(nextTaps, 8);
    // Each panel's creature arrives in place of the one before.
    struct Case { int step, present, gone; } cases[] = {{11, 9, 0}, {14, 10, 9}, {17, 12, 10}, {20, 14, 12}};
    for (const Case& c : cases) {
        EXPECT_EQ(Count(atStep[c.step].kinds, c.present), 1) << c.step;
        if (c.gone) {
            EXPECT_EQ(Count(atStep[c.step].kinds, c.gone), 0) << c.step;
        }
    }
    for (int kind : {9, 10, 12, 14}) EXPECT_EQ(Count(atStep[23].kinds, kind), 0) << kind;
    EXPECT_EQ(atStep[24].bonusTicks, 0);  // NEXT ends the bonus period
    EXPECT_EQ(atStep[25].swaps, 0);
}

// From every step, EXIT returns to the main menu and nothing of the tutorial stays: a power runs
// from step 15 on, and on the last step the clock is about to run out during the sweep.
TEST_F(Tutorial, ExitFromEveryStepLeavesNothingBehind) {
    for (int leaveAt = 1; leaveAt <= 26; ++leaveAt) {
        SCOPED_TRACE(leaveAt);
        EnterTutorial(0.55f);
        float powerAtExit = -1;
        planner = [leaveAt, &powerAtExit] {
            int step = static_cast<int>(tutorialStep);
            if (phase != 11) return;
            if (step == leaveAt) {
                if (leaveAt == 26 && gameClock > -297) return;
                powerAtExit = powerType;
                return TapExit();
            }
            if (!Ready()) return;
            if (step == 14) return UsePowerUp(10);
            TapNext();
        };
        ASSERT_TRUE(RunUntil([] { return phase == 12; }, 4000)) << "stuck at step " << tutorialStep;
        if (leaveAt > 14 && leaveAt < 25) {  // step 24 ends the power
            EXPECT_EQ(powerAtExit, 1);
        }
        ExpectLeftCleanly(0.55f, "left at step " + std::to_string(leaveAt));
        if (HasFatalFailure()) return;
    }
}

}  // namespace
