// Whole flows through the screens on the headless twin, driven by a finger through the real frame
// loop and read back from what the frames drew: every scored mode from the main menu to its
// results and the high-score list; options and challenges; the ZEN lock; the rating prompts; and
// what of it all the save files keep for the next run.
#include <gtest/gtest.h>

#include <string>

#include "game/shell/main_routine.h"
#include "game/shell/save_files.h"
#include "game/state/globals.h"
#include "runtime/core/device_services.h"
#include "runtime/core/lifecycle.h"
#include "runtime/platform/null_audio.h"
#include "tests/shell/flow_driver.h"
#include "tests/shell/save_fixture.h"

namespace {

using namespace Flow;

std::string Whole(float v) { return std::to_string(static_cast<long long>(v)); }

std::string SavePath(const char* name) { return std::string(SaveFilePath(name).c_str()); }

// The game started again in its folder, as the next run of the program starts.
void Restart() {
    Up();
    SetCurrentDir(saveDir);
    GameStartup();
}

// Every menu screen must show its way back, and only once it is fully shown may it be taken.
void ExpectWayBack(const char* where) { EXPECT_TRUE(Shows("BACK TO MAIN MENU")) << where; }

// Opens a menu screen by its main-menu button, with its way back shown.
bool Open(int button, float shown, const char* where) {
    TapMainMenu(button);
    bool opened = UntilShown(shown);
    ExpectWayBack(where);
    return opened;
}

// Takes the way back to the main menu.
bool Back() {
    TapBackBar();
    return UntilShown(1);
}

// Whether each text is on the last frame, as `shown` says.
void ExpectShown(std::initializer_list<std::string> texts, bool shown = true) {
    for (const std::string& t : texts) EXPECT_EQ(Shows(t), shown) << t;
}

void ExpectOnMenu(float s) { EXPECT_EQ(std::make_pair(screen, menuStage), std::make_pair(s, 2.0f)); }

TEST(ScoredGames, EachModeToItsResultsTheHighScoreListAndTheScoresKeptByTheNextRun) {
    StartFresh();
    ASSERT_TRUE(UntilShown(1));
    EXPECT_EQ(QuadsOf(88), 0) << "no QUIT button on the tablet";

    // TIME TRIAL, played by the session bot's board player until the clock ends it.
    ASSERT_TRUE(StartGameFromMenu(3));
    EXPECT_EQ(highScoreThreshold, 4000) << "the lowest entry of the default TIME TRIAL table";
    BoardPlayer(true);
    ASSERT_TRUE(Until([] { return screen == 6; }, 30000));
    BoardPlayer(false);
    ASSERT_GT(score, 4000) << "the bot should have passed the lowest entry";
    ASSERT_TRUE(UntilShown(6));
    Ticks(60);   // the score has counted up
    ExpectShown({"TIME TRIAL MODE", "SCORE: " + Whole(score), "NEW HIGH SCORE", "YOUR RANK: " + Whole(resultRank)});
    ASSERT_GE(resultRank, 1);
    const int place = static_cast<int>(resultRank) - 1;
    EXPECT_EQ(highScores(0, place, 0), score);
    EXPECT_EQ(highScores(0, place, 1), level);
    ExpectWayBack("results");
    const float played = score, rank = resultRank;
    Tap(160, 300);
    ASSERT_TRUE(UntilShown(1));
    // The table and the count are on disk, and the next run has them.
    EXPECT_EQ(ReadBytes(SavePath("squibly.rat")), (Bytes{1, 0, 0}));
    std::vector<double> stored = Values(ReadBytes(SavePath("squibly.ach")));
    for (int slot = 0; slot < 6; ++slot) {
        EXPECT_EQ(stored.at(21 + 2 * slot), highScores(0, slot, 0)) << slot;
        EXPECT_EQ(stored.at(22 + 2 * slot), highScores(0, slot, 1)) << slot;
    }
    Restart();
    EXPECT_EQ(gamesPlayed, 1);
    EXPECT_EQ(highScores(0, place, 0), played);

    // PUZZLE, ended from the pause menu.
    ASSERT_TRUE(StartGameFromMenu(2));
    ASSERT_TRUE(QuitGameToMenu());
    EXPECT_EQ(gamesPlayed, 2);

    // The high-score list: TIME TRIAL first, with the new entry if it is in the top five (the
    // sixth, the overflow place, is never listed).
    ASSERT_TRUE(Open(4, 10, "high scores"));
    ExpectShown({"TIME TRIAL", "24000"});
    EXPECT_EQ(Shows(Whole(rank) + "   " + Whole(played)), rank <= 5);
    // A drag moves the list, a flick coasts on, and it never leaves its loop.
    float before = highScoreScroll;
    for (float y = 380; y > 200; y -= 6) Down(160, y), Ticks(1);
    EXPECT_LT(highScoreScroll, before - 150) << "the list follows the finger";
    Up();
    Ticks(1);
    EXPECT_LT(highScoreVelocity, 0) << "a flick coasts on";
    EXPECT_FALSE(Until([] { return highScoreScroll <= -1260 || highScoreScroll > 0; }, 600)) << "out of its loop";
    ASSERT_TRUE(Back());

    // On a desktop the main menu has its QUIT button: the program ends, leaving no game to resume.
    ASSERT_TRUE(PlayThenQuitInChild([] {
        platform = 6;
        if (!UntilShown(1)) _exit(6);
        Down(160, 398);   // QUIT, the sixth button
        for (int frames = 0; RunFrame(); ++frames)
            if (frames > 600) _exit(7);
        EndProgram();   // as the main routine ends
    }));
    EXPECT_EQ(Values(ReadBytes(SavePath("squibly.sav"))).at(3), 99);   // written by the quit on the way out
    Restart();
    EXPECT_EQ(musicActive, 0);
    EXPECT_EQ(std::make_pair(screen, phase), std::make_pair(1.0f, 0.0f));
}

TEST(Options, EverySliderEverySwitchAndTheResetKeptByTheNextRunThenTheChallengesAndTheirLocks) {
    StartFresh();
    ASSERT_TRUE(Open(2, 4, "options"));
    // Sliders follow the finger's x over their 276 units, and stop at their ends.
    struct Slider { float x, y; float* value; float to; } sliders[] = {
        {5, 97, &soundVolume, 0}, {22 + 0.5f * 276, 164, &musicVolume, 0.5f}, {310, 231, &speechVolume, 1},
        {22 + 0.4f * 276, 231, &speechVolume, 0.4f}, {22 + 0.8f * 276, 97, &soundVolume, 0.8f},
    };
    ClearSounds();
    for (const Slider& s : sliders) {
        Tap(s.x, s.y, 12);
        EXPECT_NEAR(*s.value, s.to, 0.01f) << s.x << "," << s.y;
    }
    EXPECT_GE(Played("select2.wav"), 1) << "the sound slider lets the player hear the new volume";

    // Switches: a finger left resting switches once; sound and music stop and start with theirs.
    struct Switch { float y; float* value; float to; const char* sound; const char* music; } switches[] = {
        {285, &soundOn, 0, nullptr, nullptr},  {285, &soundOn, 1, "sparkle1.wav", nullptr},
        {330, &musicOn, 0, nullptr, ""},       {330, &musicOn, 1, nullptr, "intro.mp3"},
        {420, &lowQuality, 1, nullptr, nullptr}, {420, &lowQuality, 0, nullptr, nullptr},
    };
    for (const Switch& s : switches) {
        Ticks(15);
        ClearSounds();
        Tap(160, s.y, &s == switches ? 40 : 3);
        EXPECT_EQ(*s.value, s.to) << s.y;
        EXPECT_TRUE(!s.sound || Played(s.sound) == 1) << s.sound;
        std::string music = NullAudio::CurrentMusicPath();
        EXPECT_TRUE(!s.music || (*s.music ? music.find(s.music) != std::string::npos : music.empty())) << music;
    }
    Ticks(15);

    // Reset: scores and challenges as a player may have them.
    highScores(1, 0, 0) = 99999;
    challengeProgress(0) = 100;
    challengeProgress(1) = 55;
    challengesCompleted = 1;
    // NO keeps them, YES resets them; the box hides the way out until it is answered, and a tap
    // there is not taken while it is open.
    for (float answer : {256, 60}) {
        Ticks(15);
        Tap(160, 375);
        EXPECT_EQ(resetConfirmOpen, 1);
        ExpectShown({"ARE YOU SURE?"});
        ExpectShown({"BACK TO MAIN MENU"}, false);
        Ticks(15);
        Tap(160, 462);
        ExpectOnMenu(4);
        Tap(answer, 270);
        EXPECT_EQ(resetConfirmOpen, 0);
        EXPECT_EQ(highScores(1, 0, 0), answer == 60 ? 72000 : 99999);
    }
    EXPECT_EQ(Values(ReadBytes(SavePath("squibly.ach"))).at(21 + 12), 72000) << "saved at once";
    ASSERT_TRUE(Back());
    EXPECT_EQ(gameMode, 0) << "leaving the options is a return to the menus";
    // The next run has the defaults back and the settings the player chose.
    Restart();
    EXPECT_EQ(highScores(1, 0, 0), 72000);
    EXPECT_EQ(highScores(3, 5, 0), 20000);
    for (int i : {0, 1}) EXPECT_EQ(challengeProgress(i), 0);
    EXPECT_EQ(challengesCompleted, 0);
    EXPECT_NEAR(soundVolume, 0.8f, 0.01f);
    EXPECT_NEAR(musicVolume, 0.5f, 0.01f);
    EXPECT_NEAR(speechVolume, 0.4f, 0.01f);

    // Challenges: a complete SKILLED opens its MASTER, the others stay locked; a cell shows its own.
    challengeProgress(0) = 100;
    ASSERT_TRUE(UntilShown(1));
    ASSERT_TRUE(Open(3, 5, "challenges"));
    EXPECT_EQ(QuadsOf(69), 9) << "MASTER LEVELING is open; the other MASTER and all EXTREME are locked";
    Tap(96, 170);
    EXPECT_EQ(selectedChallenge, 6);
    ExpectShown({"MASTER SURVIVAL", "MUST BE COMPLETE"});
    ASSERT_TRUE(Back());
}

TEST(GameMode, ZenIsLockedAtNineChallengesAndOpensWithTheTenthWonInPlay) {
    StartFresh();
    // Progress as a settings file would hold it: nine challenges complete, the tenth close.
    for (int i = 0; i < 9; ++i) challengeProgress(i) = 100;
    challengesCompleted = 9;
    creaturesConnectedTotal = 1999;
    ASSERT_TRUE(Open(0, 2, "game mode"));
    EXPECT_EQ(std::make_pair(QuadsOf(26), QuadsOf(109)), std::make_pair(1, 0)) << "the lock over ZEN, not its name";
    ClearSounds();
    Tap(160, 390);
    EXPECT_EQ(Played("error.wav"), 1);
    ExpectOnMenu(2);
    Ticks(60);
    Tap(160, 200);
    ASSERT_TRUE(Until([] { return screen == 7 && runState == 2; }, 600));
    EXPECT_EQ(gameMode, 1);

    BoardPlayer(true);
    ASSERT_TRUE(Until([] { return challengesCompleted == 10; }, 5000)) << "the first clear completes COMMITMENT";
    BoardPlayer(false);
    EXPECT_EQ(challengeProgress(12), 100);
    bool notice = false;
    for (int i = 0; i < 10; ++i) notice = notice || noticeRing(i) == 119;
    EXPECT_TRUE(notice) << "ZEN UNLOCKED is announced";
    ASSERT_TRUE(Until([] { return runState == 2 && boardPhase == 2; }, 600));
    ASSERT_TRUE(QuitGameToMenu());

    TapMainMenu(0);
    ASSERT_TRUE(UntilShown(2));
    EXPECT_EQ(std::make_pair(QuadsOf(26), QuadsOf(109)), std::make_pair(0, 1)) << "ZEN's name instead of the lock";
    Tap(160, 390);
    ASSERT_TRUE(Until([] { return screen == 7 && runState == 2 && gameMode == 4; }, 600));
    ASSERT_TRUE(QuitGameToMenu("ZEN MODE"));
}

// Enters the game-mode screen and reports whether the rating prompt is up.
bool PromptOnGameMode() {
    TapMainMenu(0);
    EXPECT_TRUE(UntilShown(2));
    Ticks(2);
    return Shows("PLEASE RATE SQUIBLY");
}

void OneGame() {
    TapModeTile(1);
    ASSERT_TRUE(Until([] { return screen == 7 && runState == 2; }, 600));
    ASSERT_TRUE(QuitGameToMenu());
}

TEST(RatingPrompt, AsksAfterTheFifthGameAndALastTimeAfterTheTwentieth) {
    StartFresh();
    const KString link = storeLink;
    ASSERT_FALSE(link.Empty()) << "the build's store link";
    gamesPlayed = 4;   // as the rating file would hold it
    EXPECT_FALSE(PromptOnGameMode()) << "not after four games";
    OneGame();
    EXPECT_EQ(gamesPlayed, 5);
    ASSERT_TRUE(PromptOnGameMode());
    ExpectShown({"5 EXTRA SWAPS PER GAME"});
    ExpectShown({"LAST CHANCE", "BACK TO MAIN MENU"}, false);
    Tap(230, 325);   // NO THANKS
    EXPECT_EQ(std::make_pair(hasRated, rateDeclines), std::make_pair(0, 1));
    Ticks(25);
    EXPECT_FALSE(Shows("PLEASE RATE SQUIBLY"));
    ExpectWayBack("game mode after the prompt");
    ASSERT_TRUE(Back());

    gamesPlayed = 19;
    EXPECT_FALSE(PromptOnGameMode()) << "declined: not again before twenty games";
    OneGame();
    EXPECT_EQ(gamesPlayed, 20);
    ASSERT_TRUE(PromptOnGameMode());
    EXPECT_TRUE(Shows("LAST CHANCE"));
    Tap(50, 325);    // YES OK
    EXPECT_EQ(std::make_pair(hasRated, rateDeclines), std::make_pair(1, 2));
    EXPECT_EQ(std::string(LastBrowserAddress()), link.c_str()) << "the store link went to the browser";
    Ticks(25);
    EXPECT_FALSE(Shows("PLEASE RATE SQUIBLY"));
    TapModeTile(1);
    ASSERT_TRUE(Until([] { return screen == 7 && runState == 2; }, 600));
    EXPECT_EQ(swaps, 15) << "a rated game starts with five more swaps";

    // The count's byte holds at its top rather than wrapping back to a beginner's count.
    gamesPlayed = 300;
    ASSERT_TRUE(QuitGameToMenu());
    EXPECT_EQ(ReadBytes(SavePath("squibly.rat")), (Bytes{255, 1, 2}));
    Restart();
    EXPECT_EQ(std::make_pair(gamesPlayed, hasRated), std::make_pair(255, 1));
}

}  // namespace
