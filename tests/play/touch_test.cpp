// Scripted presses and drags on an idle board: selection, swipes with the diagonal tie-break,
// rejected touches, the second tap (twin switch or power-up), the sounds the board plays, and
// the in-game buttons below the board.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board_checkers.h"
#include "game/play/play.h"
#include "game/state/globals.h"
#include "runtime/audio/sound.h"
#include "runtime/platform/null_audio.h"
#include "tests/audio/audio_fixture.h"

namespace {

void IdleBoard(const Kinds& k = Checkerboard()) {
    PrepareEmptyGame();
    PlaceBoard(k);
    touchPhase = touchPhaseTicks = pressTaken = 0;
}

void Press(float x, float y) { TouchTick(x, y, true); }
void Release(float x, float y) { TouchTick(x, y, false); }
void Tap(int cell) {
    Press(CentreX(cell), CentreY(cell));
    Release(CentreX(cell), CentreY(cell));
}
// Presses at the cell centre, drags by (dx, dy) and releases there.
void Swipe(int cell, float dx, float dy) {
    Press(CentreX(cell), CentreY(cell));
    Press(CentreX(cell) + dx, CentreY(cell) + dy);
    Release(CentreX(cell) + dx, CentreY(cell) + dy);
}

void StripTick(float x, float y, bool down) {
    touchX = x;
    touchY = y;
    touchDown = down ? 1 : 0;
    InGameControls();   // counts its own cooldown down
}

void TapButton(float x) {
    StripTick(x, 450, true);
    StripTick(x, 450, true);
    StripTick(x, 450, false);
}

}  // namespace

TEST(Touch, PressSelectsOnlyWellInsideACellOfTheBoard) {
    struct Case { float x, y; int selected; };
    for (Case c : {Case{CentreX(14), CentreY(14), 15}, Case{16, 16, 1}, Case{301, 301, 36}, Case{62, 35, 0},
                   Case{35, 62, 0}, Case{58, 35, 0}, Case{5, 35, 0}, Case{35, 320, 0}, Case{320, 100, 0}}) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        IdleBoard();
        Press(c.x, c.y);
        Press(c.x, c.y);
        EXPECT_EQ(selectedCell, c.selected);
    }
}

TEST(Touch, SwipesPickTheNeighbourByTheLongerAxisOrAreRejected) {
    struct Case { int cell; float dx, dy; int partner; };  // partner -1: rejected
    // Exact diagonals: down-right and down-left go below, up-right right, up-left left.
    for (Case c : {Case{14, 40, 5, 15}, Case{14, -40, -10, 13}, Case{14, 3, 30, 20}, Case{14, -8, -45, 8},
                   Case{14, 30, 30, 20}, Case{14, 30, -30, 15}, Case{14, -30, -30, 13}, Case{14, -30, 30, 20},
                   Case{12, -40, 0, -1}, Case{3, 0, -40, -1}, Case{17, 40, 0, -1}, Case{33, 0, 40, -1}}) {
        SCOPED_TRACE(testing::Message() << c.cell << " by " << c.dx << "," << c.dy);
        IdleBoard();
        Swipe(c.cell, c.dx, c.dy);
        EXPECT_EQ(boardPhase, c.partner < 0 ? 5 : 1);
        EXPECT_EQ(targetCell, c.partner + 1);
        EXPECT_EQ(creatures(c.cell).state, c.partner < 0 ? 1 : 5);
        EXPECT_EQ(creatures(std::max(c.partner, 0)).state, c.partner < 0 ? 1 : 5);
    }
    // A swap that connects nothing is refused and leaves the board as it was.
    Kinds lonely = Checkerboard();
    lonely[14] = 5;
    lonely[15] = 6;
    IdleBoard(lonely);
    Swipe(14, 40, 0);
    EXPECT_EQ(boardPhase, 5);
    EXPECT_EQ(selectedCell, 0);
    for (int t = 0; t < 10; ++t) BoardTick();
    EXPECT_EQ(boardPhase, 2);
    EXPECT_EQ(CurrentKinds(), lonely);
}

TEST(Touch, SecondTapSwitchesToTheTwinOrStartsAPowerUpWhenAllowed) {
    enum Result { SWITCH, POWER, REJECT };
    struct Case { const char* name; float kind, swaps, power, bonus; int secondAt; Result result; float after; };
    const Case cases[] = {
        {"pays one switch", 5, 2, 0, 0, 14, SWITCH, 6},
        {"twin downwards", 2, 1, 0, 0, 14, SWITCH, 1},
        {"free with infinite switches", 1, 0, 3, 0, 14, SWITCH, 2},
        {"free in the bonus period", 1, 0, 0, 100, 14, SWITCH, 2},
        {"none left", 1, 0, 0, 0, 14, REJECT, 1},
        {"second press elsewhere", 1, 5, 0, 0, 15, REJECT, 1},
        {"an egg never switches", 9, 5, 0, 0, 14, REJECT, 9},
        {"a power-up starts its power", 12, 5, 0, 0, 14, POWER, 16},
        {"no power-up in the bonus period", 12, 5, 0, 100, 14, REJECT, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Kinds k = Checkerboard();
        k[14] = c.kind;
        IdleBoard(k);
        swaps = c.swaps;
        powerType = c.power;
        bonusTicks = c.bonus;
        Tap(14);
        EXPECT_EQ(selectedCell, 15);  // a release inside the cell keeps the selection
        Press(CentreX(c.secondAt), CentreY(c.secondAt));
        bonusTicks = 0;
        EXPECT_EQ(boardPhase, c.result == REJECT ? 5 : 1);
        EXPECT_EQ(swaps, c.result == SWITCH && c.power == 0 && c.bonus == 0 ? c.swaps - 1 : c.swaps);
        EXPECT_EQ(powerType, c.result == POWER ? 2 : c.power);
        if (c.result == POWER) {
            EXPECT_EQ(creatures(14).kind, 16);
        }
        ASSERT_GE(RunUntilIdle(3000), 0);  // a removal's refills may start a long cascade
        EXPECT_EQ(selectedCell, 0);
        if (c.result != POWER) {
            EXPECT_EQ(creatures(14).kind, c.after);
        }
        EXPECT_EQ(flipsMade, c.result == SWITCH ? 1 : 0);
        for (float v : CurrentKinds()) EXPECT_NE(v, 16);
    }
}

// The board's sounds on the silent headless mixer, each loaded from a PCM WAV (8 kHz, 8-bit mono)
// of its own name; the first match sound long enough to be still playing at the next clear.
TEST(BoardSounds, LandingsClimbTheBounceNotesAndTheSecondMatchSlotSoundsWhileTheFirstPlays) {
    ScratchDir dir;
    OpenAudio();
    const char* names[] = {"match", "match2", "error", "swap", "aqua2", "select2"};
    for (int slot = 1; slot <= 18; ++slot) {
        std::string name = slot <= 6 ? names[slot - 1] : "bounce" + std::to_string(slot - 6);
        ASSERT_TRUE(WriteRaw(dir.File(name + ".wav"), WavWith(1, 1, 8000, 8, slot == 1 ? 8000 : 0)));
        LoadSound(KString(dir.File(name + ".wav").c_str()), static_cast<float>(slot <= 6 ? slot : slot + 4), 1);
    }
    auto played = [] {
        std::vector<std::string> out;
        for (const auto& p : NullAudio::Plays()) out.push_back(p.path.substr(p.path.find_last_of('/') + 1));
        NullAudio::ClearPlays();
        return out;
    };
    StartSeededGame(21);
    soundOn = 1;
    ASSERT_GE(RunUntilIdle(400), 0);
    std::vector<std::string> expected;  // 36 landings climb the twelve notes once
    for (int n = 1; n <= 12; ++n) expected.push_back("bounce" + std::to_string(n) + ".wav");
    EXPECT_EQ(played(), expected);
    PrepareEmptyGame();
    soundOn = 1;
    Kinds k = Checkerboard();
    k[30] = k[31] = k[32] = k[27] = 5;  // swapping 27 down into 33 completes a row of four
    PlaceBoard(k);
    matchChannel = -1;
    Swipe(27, 0, 40);
    ASSERT_EQ(targetCell, 34);
    for (int t = 0; t < 12 && groupsCleared == 0; ++t) BoardTick();
    ASSERT_GT(groupsCleared, 0);
    std::vector<std::string> sounds = played();
    sounds.resize(std::min<size_t>(3, sounds.size()));
    EXPECT_EQ(sounds, (std::vector<std::string>{"select2.wav", "aqua2.wav", "match.wav"}));
    k[33] = 5;
    Search(k);  // the virtual clock has not moved: the first match sound still plays
    EXPECT_EQ(played(), std::vector<std::string>{"match2.wav"});
    ShutdownAudio();
}

TEST(Controls, ButtonsActOncePerTouchAfterTheCooldown) {
    PrepareEmptyGame();
    brightnessTarget = -1;
    soundOn = 1;
    runState = 1;  // nothing acts while the play area slides in, nor between the buttons
    TapButton(300);
    runState = 2;
    TapButton(150);
    EXPECT_EQ(soundOn, 1);
    EXPECT_EQ(overlayState, 0);
    for (int t = 0; t < 30; ++t) StripTick(300, 450, true);  // held on the sound switch
    EXPECT_EQ(soundOn, 0);
    StripTick(300, 450, false);
    TapButton(300);
    EXPECT_EQ(soundOn, 1);
    EXPECT_EQ(musicOn, 0);  // music was off and stays off
    TapButton(300);         // straight after an action: ignored
    EXPECT_EQ(soundOn, 1);
}
