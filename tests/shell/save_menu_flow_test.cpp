// The save files through the menus, as a player meets them: a quit from the main menu leaves no
// game to resume, a finished game's score and count survive a restart, a game closed on its
// pause menu comes back there and plays on, and the options' changes and score reset are kept.
#include <gtest/gtest.h>

#include "game/shell/main_routine.h"
#include "game/shell/save_files.h"
#include "game/state/globals.h"
#include "runtime/core/lifecycle.h"
#include "tests/shell/flow_driver.h"
#include "tests/shell/save_fixture.h"

namespace {

std::string SavePath(const char* name) { return std::string(SaveFilePath(name).c_str()); }

void RemoveSaveFiles() {
    for (const char* name : {"squibly.ach", "squibly.sav", "squibly.tes", "squibly.rat", "badsquib.dat"})
        std::filesystem::remove(SavePath(name));
}

// The game started again in its folder, as the next run of the program starts.
void Restart() {
    Flow::Up();
    SetCurrentDir(saveDir);
    GameStartup();
}

// The settings file's score and level of a table's place.
std::pair<double, double> StoredScore(int table, int slot) {
    std::vector<double> v = Values(ReadBytes(SavePath("squibly.ach")));
    size_t at = 21 + 12 * static_cast<size_t>(table) + 2 * static_cast<size_t>(slot);
    return {v.at(at), v.at(at + 1)};
}

TEST(SavesThroughTheMenus, AQuitFromTheMainMenuLeavesNoGameToResume) {
    Flow::StartFresh();
    RemoveSaveFiles();
    ASSERT_TRUE(Flow::StartGameFromMenu(1));
    Flow::Ticks(200);
    ASSERT_TRUE(Flow::QuitGameToMenu());
    // On a desktop the main menu has its QUIT button; the player taps it and the program ends.
    ASSERT_TRUE(PlayThenQuitInChild([] {
        platform = 6;
        if (!Flow::UntilShown(1)) _exit(6);
        Flow::Down(160, 398);   // QUIT, the sixth button
        for (int frames = 0; RunFrame(); ++frames)
            if (frames > 600) _exit(7);
        EndProgram();   // as the main routine ends
    }));
    Bytes record = ReadBytes(SavePath("squibly.sav"));
    ASSERT_GT(record.size(), 10044u);
    EXPECT_EQ(Values(record)[3], 99);   // written by the quit callback on the way out
    Restart();
    EXPECT_EQ(musicActive, 0);
    EXPECT_EQ(screen, 1);
    EXPECT_EQ(phase, 0);
    EXPECT_FALSE(std::filesystem::exists(SavePath("squibly.tes")));
}

TEST(SavesThroughTheMenus, AFinishedGamesScoreAndCountSurviveARestart) {
    Flow::StartFresh();
    RemoveSaveFiles();
    ASSERT_TRUE(Flow::StartGameFromMenu(3));   // TIME TRIAL, played until its clock runs out
    Flow::BoardPlayer(true);
    ASSERT_TRUE(Flow::Until([] { return screen == 6 && menuStage == 2 && inputCooldown == 0; }, 40000));
    Flow::BoardPlayer(false);
    Flow::Tap(160, 300);
    ASSERT_TRUE(Flow::UntilShown(1));
    ASSERT_GT(resultRank, 0) << "score " << score;
    EXPECT_EQ(ReadBytes(SavePath("squibly.rat")), (Bytes{1, 0, 0}));
    for (int slot = 0; slot < 6; ++slot) {
        EXPECT_EQ(StoredScore(0, slot).first, highScores(0, slot, 0)) << slot;
        EXPECT_EQ(StoredScore(0, slot).second, highScores(0, slot, 1)) << slot;
    }
    float best = highScores(0, static_cast<int>(resultRank) - 1, 0);
    Restart();
    EXPECT_EQ(gamesPlayed, 1);
    EXPECT_EQ(highScores(0, static_cast<int>(resultRank) - 1, 0), best);
}

TEST(SavesThroughTheMenus, AGameClosedOnItsPauseMenuComesBackThereAndPlaysOn) {
    Flow::StartFresh();
    RemoveSaveFiles();
    ASSERT_TRUE(Flow::StartGameFromMenu(2));
    Flow::BoardPlayer(true);
    Flow::Ticks(400);
    Flow::BoardPlayer(false);
    Flow::Ticks(12);
    Flow::Tap(75, 455);   // the pause button
    ASSERT_EQ(screen, 9);
    float clock = gameClock;
    ASSERT_TRUE(PlayThenQuitInChild([] { Flow::Ticks(30); }));
    Restart();
    ASSERT_EQ(musicActive, 1);
    EXPECT_EQ(screen, 9);
    EXPECT_EQ(phase, 10);
    EXPECT_EQ(gameMode, 2);
    EXPECT_EQ(gameClock, clock);   // the paused game's clock did not run
    Flow::Tap(40, 305);   // BACK
    EXPECT_EQ(screen, 7);
    EXPECT_EQ(phase, 7);
    float moves = movesMade;
    Flow::BoardPlayer(true);
    Flow::Ticks(300);
    Flow::BoardPlayer(false);
    EXPECT_EQ(runState, 2);
    EXPECT_GT(movesMade, moves);
}

TEST(SavesThroughTheMenus, TheOptionsKeepTheirChangesAndTheScoreResetKeepsTheVolumes) {
    Flow::StartFresh();
    RemoveSaveFiles();
    highScores(1, 0, 0) = 99000;
    Flow::TapMainMenu(2);
    ASSERT_TRUE(Flow::UntilShown(4));
    Flow::Tap(10, 100);     // the sound slider to the far left
    Flow::Tap(160, 375);    // RESET YOUR SCORES
    Flow::Ticks(20);
    Flow::Tap(70, 270);     // YES
    EXPECT_EQ(StoredScore(1, 0).first, 72000);   // saved at once
    Flow::Ticks(20);
    Flow::TapBackBar();
    ASSERT_TRUE(Flow::UntilShown(1));
    std::vector<double> v = Values(ReadBytes(SavePath("squibly.ach")));
    EXPECT_EQ(v[1], 0);   // sound volume
    EXPECT_EQ(static_cast<float>(v[0]), 0.6f);
    Restart();
    EXPECT_EQ(soundVolume, 0);
    EXPECT_EQ(highScores(1, 0, 0), 72000);
}

}  // namespace
