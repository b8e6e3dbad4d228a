// Whole flows through the screens on the headless twin, driven by a finger through the real frame
// loop and read back from what the frames drew: every scored mode from the main menu to its
// results and the high-score list; options; challenges; the overlay and the pause menu inside a
// game; the ZEN lock; the rating prompts.
#include <gtest/gtest.h>

#include <string>

#include "game/state/globals.h"
#include "runtime/core/device_services.h"
#include "runtime/platform/null_audio.h"
#include "tests/shell/flow_driver.h"

namespace {

using namespace Flow;

std::string Whole(float v) { return std::to_string(static_cast<long long>(v)); }

bool EndsWith(const std::string& s, const std::string& end) {
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

// Every menu screen must show its way back, and only once it is fully shown may it be taken.
void ExpectWayBack(const char* where) { EXPECT_TRUE(Shows("BACK TO MAIN MENU")) << where; }

TEST(ScoredGames, EachModeFromTheMenuToItsEndTheResultsAndTheHighScoreList) {
    StartFresh();
    ASSERT_TRUE(UntilShown(1));
    EXPECT_EQ(QuadsOf(97), 1) << "PLAY";
    EXPECT_EQ(QuadsOf(101), 1) << "HIGH SCORES";
    EXPECT_EQ(QuadsOf(88), 0) << "the tablet has no QUIT button";
    EXPECT_EQ(QuadsOf(87) + QuadsOf(89), 2) << "the corner decorations";

    // TIME TRIAL, played by the session bot's board player until the clock ends it.
    ASSERT_TRUE(StartGameFromMenu(3));
    EXPECT_EQ(highScoreThreshold, 4000) << "the lowest entry of the default TIME TRIAL table";
    BoardPlayer(true);
    bool sparkles = false;
    ASSERT_TRUE(Until([&] {
        if (bonusTicks > 0 && QuadsOf(53) + QuadsOf(54) + QuadsOf(55) + QuadsOf(56) > 0) sparkles = true;
        return screen == 6;
    }, 30000));
    BoardPlayer(false);
    EXPECT_TRUE(sparkles) << "the level bonus period drew its sparkles round the board";
    ASSERT_GT(score, 4000) << "the bot should have passed the lowest entry";
    ASSERT_TRUE(UntilShown(6));
    Ticks(60);   // the score has counted up
    EXPECT_TRUE(Shows("TIME TRIAL MODE"));
    EXPECT_TRUE(Shows("SCORE: " + Whole(score)));
    EXPECT_EQ(newHighScore, 1);
    EXPECT_TRUE(Shows("NEW HIGH SCORE"));
    EXPECT_TRUE(Shows("YOUR RANK: " + Whole(resultRank)));
    ASSERT_GE(resultRank, 1);
    EXPECT_EQ(highScores(0, static_cast<int>(resultRank) - 1, 0), score);
    EXPECT_EQ(highScores(0, static_cast<int>(resultRank) - 1, 1), level);
    EXPECT_EQ(gamesPlayed, 1);
    ExpectWayBack("results");
    float played = score, rank = resultRank;
    Tap(160, 300);
    ASSERT_TRUE(UntilShown(1));

    // PUZZLE, ended from the pause menu.
    ASSERT_TRUE(StartGameFromMenu(2));
    ASSERT_TRUE(QuitGameToMenu());
    EXPECT_EQ(gamesPlayed, 2);

    // The high-score list: TIME TRIAL first, with the new entry; a drag moves it, a flick coasts
    // to rest, and left alone it drifts; it always stays inside its loop.
    TapMainMenu(4);
    ASSERT_TRUE(UntilShown(10));
    ExpectWayBack("high scores");
    EXPECT_TRUE(Shows("TIME TRIAL"));
    // A place in the top five is listed; the sixth, the overflow place, never is.
    if (rank <= 5) {
        EXPECT_TRUE(Shows(Whole(rank) + "   " + Whole(played)));
    } else {
        EXPECT_FALSE(Shows(Whole(played)));
    }
    EXPECT_TRUE(Shows("24000"));
    float before = highScoreScroll;
    for (float y = 380; y > 200; y -= 6) {
        Down(160, y);
        Ticks(1);
    }
    EXPECT_LT(highScoreScroll, before - 150) << "the list follows the finger";
    Up();
    Ticks(1);
    EXPECT_LT(highScoreVelocity, 0) << "a flick coasts on";
    ASSERT_TRUE(Until([] { return highScoreVelocity == 0; }, 200)) << "and comes to rest";
    ASSERT_TRUE(Until([] { return highScoreVelocity < 0; }, 200)) << "left alone it drifts";
    bool inLoop = true;
    Until([&] {
        inLoop = inLoop && highScoreScroll > -1260 && highScoreScroll <= 0;
        return false;
    }, 1500);
    EXPECT_TRUE(inLoop);
    EXPECT_TRUE(Shows("ARCADE") || Shows("PUZZLE") || Shows("ZEN") || Shows("TIME TRIAL"));
    TapBackBar();
    ASSERT_TRUE(UntilShown(1));
}

TEST(Options, EverySliderEverySwitchAndTheResetDeclinedAndConfirmed) {
    StartFresh();
    TapMainMenu(2);
    ASSERT_TRUE(UntilShown(4));
    ExpectWayBack("options");
    // Sliders follow the finger's x; the sound slider lets the player hear the new volume.
    ClearSounds();
    Down(22 + 0.25f * 276, 97);
    Ticks(3);
    EXPECT_NEAR(soundVolume, 0.25f, 0.01f);
    EXPECT_GE(Played("select2.wav"), 1);
    Down(5, 97);
    Ticks(12);
    EXPECT_EQ(soundVolume, 0);
    Down(22 + 0.5f * 276, 164);
    Ticks(3);
    EXPECT_NEAR(musicVolume, 0.5f, 0.01f);
    Down(310, 231);
    Ticks(3);
    EXPECT_EQ(speechVolume, 1);
    Down(22 + 0.4f * 276, 231);
    Ticks(3);
    Up();
    Ticks(1);
    EXPECT_NEAR(speechVolume, 0.4f, 0.01f);
    Down(22 + 0.8f * 276, 97);
    Ticks(3);
    Up();
    Ticks(1);

    // Switches: each names what a tap does; a finger left resting switches once.
    EXPECT_TRUE(Shows("SOUND OFF"));
    Down(160, 285);
    Ticks(40);
    Up();
    Ticks(1);
    EXPECT_EQ(soundOn, 0);
    EXPECT_TRUE(Shows("SOUND ON"));
    Ticks(15);
    ClearSounds();
    Tap(160, 285);
    EXPECT_EQ(soundOn, 1);
    EXPECT_EQ(Played("sparkle1.wav"), 1) << "switching sound on says so";
    Tap(160, 330);   // within the cooldown of the last button: ignored
    EXPECT_EQ(musicOn, 1);
    Ticks(15);
    Tap(160, 330);
    EXPECT_EQ(musicOn, 0);
    EXPECT_EQ(NullAudio::CurrentMusicPath(), "");
    EXPECT_TRUE(Shows("MUSIC ON"));
    Ticks(15);
    Tap(160, 330);
    EXPECT_EQ(musicOn, 1);
    EXPECT_TRUE(EndsWith(NullAudio::CurrentMusicPath(), "intro.mp3")) << NullAudio::CurrentMusicPath();
    Ticks(15);
    Tap(160, 420);
    EXPECT_EQ(lowQuality, 1);
    EXPECT_TRUE(Shows("HIGH QUALITY ON"));
    Ticks(15);
    Tap(160, 420);
    EXPECT_EQ(lowQuality, 0);
    Ticks(15);

    // Reset: scores and challenges as a player may have them.
    highScores(1, 0, 0) = 99999;
    challengeProgress(0) = 100;
    challengeProgress(1) = 55;
    challengesCompleted = 1;
    Tap(160, 375);
    EXPECT_EQ(resetConfirmOpen, 1);
    EXPECT_TRUE(Shows("ARE YOU SURE?"));
    EXPECT_FALSE(Shows("BACK TO MAIN MENU")) << "the box hides the way out until it is answered";
    Ticks(15);
    Tap(160, 462);   // the way out is not taken while the box is open
    EXPECT_EQ(screen, 4);
    EXPECT_EQ(menuStage, 2);
    Tap(256, 270);   // NO
    EXPECT_EQ(resetConfirmOpen, 0);
    EXPECT_EQ(highScores(1, 0, 0), 99999);
    EXPECT_EQ(challengeProgress(0), 100);
    Ticks(15);
    Tap(160, 375);
    Ticks(15);
    ClearSounds();
    Tap(60, 270);    // YES
    EXPECT_EQ(resetConfirmOpen, 0);
    EXPECT_EQ(highScores(1, 0, 0), 72000);
    EXPECT_EQ(highScores(3, 5, 0), 20000);
    EXPECT_EQ(challengeProgress(0), 0);
    EXPECT_EQ(challengeProgress(1), 0);
    EXPECT_EQ(challengesCompleted, 0);
    EXPECT_NEAR(soundVolume, 0.8f, 0.01f) << "the settings are kept";
    EXPECT_NEAR(speechVolume, 0.4f, 0.01f);
    EXPECT_EQ(Played("match.wav"), 1);

    TapBackBar();
    ASSERT_TRUE(UntilShown(1));
    EXPECT_EQ(gameMode, 0) << "leaving the options is a return to the menus";
}

TEST(Challenges, CellsSelectTheirDescriptionsAndTheLocksFollowTheTierBelow) {
    StartFresh();
    challengeProgress(0) = 100;   // SKILLED LEVELING
    challengeProgress(3) = 40;    // SKILLED SURVIVAL, on its way
    TapMainMenu(3);
    ASSERT_TRUE(UntilShown(5));
    ExpectWayBack("challenges");
    EXPECT_TRUE(Shows("SKILLED LEVELING"));
    EXPECT_TRUE(Shows("100@ COMPLETE")) << "the font's percent sign";
    EXPECT_EQ(QuadsOf(69), 9) << "MASTER LEVELING is open; the other MASTER and all EXTREME are locked";
    struct Case {
        float x, y, selected;
        const char* line1;
        const char* line2;
    } cases[] = {
        {300, 280, 14, "EXTREME COMMITMENT", "PREVIOUS CHALLENGE"},
        {96, 170, 6, "MASTER SURVIVAL", "MUST BE COMPLETE"},
        {32, 170, 5, "MASTER LEVELING", "REACH LEVEL 8"},
        {100, 57, 5, "MASTER LEVELING", "0@ COMPLETE"},   // just above the grid: nothing changes
        {100, 284, 5, "MASTER LEVELING", "IN ARCADE MODE"},  // just below it (283 falls a pixel short)
        {96, 100, 1, "SKILLED SURVIVAL", "LAST 10 MINUTES"},
        {160, 240, 12, "EXTREME COMBOS", "TO UNLOCK"},
        {290, 100, 4, "SKILLED COMMITMENT", "CONNECT A TOTAL OF"},
    };
    for (const Case& c : cases) {
        Tap(c.x, c.y);
        EXPECT_EQ(selectedChallenge, c.selected) << c.x << "," << c.y;
        EXPECT_TRUE(Shows(c.line1)) << c.line1;
        EXPECT_TRUE(Shows(c.line2)) << c.line2;
    }
    EXPECT_TRUE(Shows("2000 CREATURES"));
    Tap(96, 100);
    EXPECT_TRUE(Shows("40@ COMPLETE"));
    TapBackBar();
    ASSERT_TRUE(UntilShown(1));
}

TEST(InGame, TheOverlayAndThePauseMenuOpenAndCloseAndQuitEndsTheGame) {
    StartFresh();
    ASSERT_TRUE(StartGameFromMenu(1));
    float clock = gameClock;
    Tap(25, 455);   // the overlay button
    EXPECT_EQ(screen, 8);
    EXPECT_EQ(overlayState, 1);
    Ticks(120);
    EXPECT_EQ(gameClock, clock) << "the game stands still under the overlay";
    EXPECT_NE(BigLetters().find("PAUSED"), std::string::npos) << BigLetters();
    Tap(25, 455);
    EXPECT_EQ(screen, 7) << "the overlay can be left";
    EXPECT_EQ(phase, 7);
    EXPECT_EQ(brightnessTarget, -1);

    Ticks(12);
    Tap(75, 455);   // the pause button
    EXPECT_EQ(screen, 9);
    EXPECT_EQ(phase, 10);
    EXPECT_TRUE(Shows("BACK"));
    EXPECT_TRUE(Shows("QUIT"));
    EXPECT_TRUE(Shows("MUSIC VOLUME"));
    Down(22 + 0.3f * 276, 164);   // a slider works here too
    Ticks(3);
    Up();
    Ticks(1);
    EXPECT_NEAR(musicVolume, 0.3f, 0.01f);
    Tap(40, 305);   // BACK
    EXPECT_EQ(screen, 7);
    EXPECT_EQ(phase, 7);
    EXPECT_EQ(overlayState, 0);
    EXPECT_EQ(brightnessTarget, -1);
    EXPECT_EQ(selectedCell, 0) << "the finger that pressed BACK selects nothing";

    // The strip's buttons pass the stopped game between the two screens and back.
    Ticks(12);
    Tap(75, 455);
    Ticks(12);
    Tap(25, 455);
    EXPECT_EQ(screen, 8) << "the overlay takes over from the pause menu";
    Ticks(12);
    Tap(75, 455);
    EXPECT_EQ(screen, 9) << "and the pause menu from the overlay";
    Ticks(12);
    Tap(75, 455);
    EXPECT_EQ(screen, 7) << "the pause button closes its menu";

    Ticks(12);
    Tap(75, 455);
    Tap(280, 305);  // QUIT
    EXPECT_EQ(overlayState, 0);
    EXPECT_EQ(bannerKind, 5) << "GAME OVER";
    EXPECT_EQ(boardLock, 3);
    ASSERT_TRUE(Until([] { return screen == 6; }, 1500));
    EXPECT_EQ(gamesPlayed, 1);
    ASSERT_TRUE(UntilShown(6));
    Ticks(30);
    Tap(160, 300);
    ASSERT_TRUE(UntilShown(1));
}

TEST(GameMode, ZenIsLockedAtNineChallengesAndOpensWithTheTenthWonInPlay) {
    StartFresh();
    // Progress as a settings file would hold it: nine challenges complete, the tenth close.
    for (int i = 0; i < 9; ++i) challengeProgress(i) = 100;
    challengesCompleted = 9;
    creaturesConnectedTotal = 1999;
    TapMainMenu(0);
    ASSERT_TRUE(UntilShown(2));
    ExpectWayBack("game mode");
    EXPECT_EQ(QuadsOf(26), 1) << "the lock over ZEN";
    EXPECT_EQ(QuadsOf(109), 0);
    ClearSounds();
    Tap(160, 390);
    EXPECT_EQ(Played("error.wav"), 1);
    EXPECT_EQ(screen, 2);
    EXPECT_EQ(menuStage, 2);
    EXPECT_EQ(gameMode, 1);
    Tap(160, 200);   // ARCADE, within the 60 ticks after the locked tap
    EXPECT_EQ(menuStage, 2) << "taps wait out the cooldown";
    Ticks(60);
    Tap(160, 200);
    ASSERT_TRUE(Until([] { return screen == 7 && runState == 2; }, 600));
    EXPECT_EQ(gameMode, 1);

    BoardPlayer(true);
    ASSERT_TRUE(Until([] { return challengesCompleted == 10; }, 5000)) << "the first clear completes COMMITMENT";
    BoardPlayer(false);
    EXPECT_EQ(challengeProgress(12), 100);
    bool unlockedNotice = false;
    for (int i = 0; i < 10; ++i) unlockedNotice = unlockedNotice || noticeRing(i) == 119;
    EXPECT_TRUE(unlockedNotice) << "ZEN UNLOCKED is announced";
    ASSERT_TRUE(Until([] { return runState == 2 && boardPhase == 2; }, 600));
    ASSERT_TRUE(QuitGameToMenu());

    TapMainMenu(0);
    ASSERT_TRUE(UntilShown(2));
    EXPECT_EQ(QuadsOf(26), 0);
    EXPECT_EQ(QuadsOf(109), 1) << "ZEN's name instead of the lock";
    Tap(160, 390);
    ASSERT_TRUE(Until([] { return screen == 7 && runState == 2; }, 600));
    EXPECT_EQ(gameMode, 4);
    Ticks(12);
    Tap(75, 455);
    Tap(280, 305);
    ASSERT_TRUE(Until([] { return screen == 6 && menuStage == 2; }, 1500));
    EXPECT_TRUE(Shows("ZEN MODE"));
}

// Plays `games` short games: PLAY, ARCADE, then QUIT from the pause menu and on to the menu.
void FinishGames(int games) {
    for (int n = 0; n < games; ++n) {
        ASSERT_TRUE(StartGameFromMenu(1));
        ASSERT_TRUE(QuitGameToMenu());
    }
}

TEST(RatingPrompt, AsksAfterTheFifthGameAndALastTimeAfterTheTwentieth) {
    StartFresh();
    ASSERT_FALSE(storeLink.Empty()) << "the build's store link";
    FinishGames(4);
    TapMainMenu(0);
    ASSERT_TRUE(UntilShown(2));
    EXPECT_FALSE(Shows("PLEASE RATE SQUIBLY")) << "not after four games";
    TapModeTile(1);
    ASSERT_TRUE(Until([] { return screen == 7 && runState == 2; }, 600));
    ASSERT_TRUE(QuitGameToMenu());
    EXPECT_EQ(gamesPlayed, 5);

    TapMainMenu(0);
    ASSERT_TRUE(UntilShown(2));
    Ticks(2);
    EXPECT_TRUE(Shows("PLEASE RATE SQUIBLY"));
    EXPECT_TRUE(Shows("5 EXTRA SWAPS PER GAME"));
    EXPECT_FALSE(Shows("LAST CHANCE"));
    EXPECT_FALSE(Shows("BACK TO MAIN MENU"));
    Tap(160, 100);   // on a tile: the prompt takes the tap
    Ticks(25);
    EXPECT_EQ(screen, 2);
    EXPECT_EQ(menuStage, 2);
    Tap(230, 325);   // NO THANKS
    EXPECT_EQ(rateDeclines, 1);
    EXPECT_EQ(hasRated, 0);
    Ticks(25);
    EXPECT_FALSE(Shows("PLEASE RATE SQUIBLY"));
    ExpectWayBack("game mode after the prompt");
    TapBackBar();
    ASSERT_TRUE(UntilShown(1));

    FinishGames(14);
    TapMainMenu(0);
    ASSERT_TRUE(UntilShown(2));
    EXPECT_FALSE(Shows("PLEASE RATE SQUIBLY")) << "declined: not again before twenty games";
    TapModeTile(1);
    ASSERT_TRUE(Until([] { return screen == 7 && runState == 2; }, 600));
    ASSERT_TRUE(QuitGameToMenu());
    EXPECT_EQ(gamesPlayed, 20);

    TapMainMenu(0);
    ASSERT_TRUE(UntilShown(2));
    Ticks(2);
    EXPECT_TRUE(Shows("PLEASE RATE SQUIBLY"));
    EXPECT_TRUE(Shows("LAST CHANCE"));
    Tap(50, 325);    // YES OK
    EXPECT_EQ(hasRated, 1);
    EXPECT_EQ(rateDeclines, 2);
    EXPECT_EQ(std::string(LastBrowserAddress()), storeLink.c_str()) << "the store link went to the browser";
    Ticks(25);
    EXPECT_FALSE(Shows("PLEASE RATE SQUIBLY"));
    TapModeTile(1);
    ASSERT_TRUE(Until([] { return screen == 7 && runState == 2; }, 600));
    EXPECT_EQ(swaps, 15) << "a rated game starts with five more swaps";
}

TEST(RatingPrompt, NeverAsksWithoutAStoreLink) {
    StartFresh();
    storeLink = "";   // as a build made with an empty store link
    FinishGames(5);
    TapMainMenu(0);
    ASSERT_TRUE(UntilShown(2));
    Ticks(2);
    EXPECT_FALSE(Shows("PLEASE RATE SQUIBLY"));
    ExpectWayBack("game mode");
    TapModeTile(3);
    ASSERT_TRUE(Until([] { return screen == 7; }, 100)) << "the tap goes straight to the tile";
    EXPECT_EQ(gameMode, 3);
}

}  // namespace
