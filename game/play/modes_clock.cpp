// The modes: per-mode starting values, the draining clock with its alarm and game over, the
// level bonus period and level-up, the centre banners and the play area's slide in and out.
#include "game/play/board_state.h"
#include "game/play/play.h"
#include "game/play/screen_effects.h"
#include "game/state/high_scores.h"
#include "game/state/save_links.h"

namespace {

struct ModeStart {
    float clockRate, clockTicks, alarmLevel, levelTarget, eggInterval, entryPattern, level;
};
// ARCADE, PUZZLE, TIME TRIAL, ZEN, tutorial.
const ModeStart MODE_STARTS[5] = {
    {10, 120, -240, 100, 96, 1, 1},   {2, 120, -295, 144, 108, 2, 1}, {2, 120, -285, 120, 96, 3, 1},
    {0, 120, -280, 120, 96, 4, 1},    {10, 40, -310, 9999, 9999, 1, 0},
};

const float BANNER_GET_READY = 1;
const float BANNER_GREAT_PLAY = 2;
const float BANNER_LEVEL = 4;
const float BANNER_GAME_OVER = 5;

int ModeIndex() {
    int m = static_cast<int>(gameMode);
    return m >= 1 && m <= 5 ? m - 1 : 0;
}

// The score a game must pass to enter its mode's table: the lowest stored entry, the overflow
// place included.
float LowestStoredScore() {
    int table = HighScoreTableOfMode(gameMode);
    if (table < 0 || highScores.ArraySize(0) < HIGH_SCORE_TABLES || highScores.ArraySize(1) < HIGH_SCORE_SLOTS)
        return 0;
    float lowest = highScores(table, 0, 0);
    for (int slot = 1; slot < HIGH_SCORE_SLOTS; ++slot) {
        float s = highScores(table, slot, 0);
        if (s < lowest) lowest = s;
    }
    return lowest;
}

void ShowBanner(float kind, float ticks) {
    bannerKind = kind;
    bannerTicks = ticks;
}

void LevelUp() {
    level += 1;
    levelBreak = 1;
    ClearSelection();
    ResetLandingSound();
    boardPhase = 3;
    ShowBanner(BANNER_LEVEL, 145);
    QueueSpeech(42);
    SwitchTrack(powerType > 0 ? "othersong" : "space_jungle_bebop_cut");
    if (gameMode == 1) {
        gameClock = 0;
        boardLock = 0;
        TrackLeveling();
    } else {
        gameClock = savedClock;
    }
}

// One clock step every 120 / clockRate ticks; returns true on a tick that made a step.
bool DrainClock(float refill) {
    clockTicks -= clockRate;
    if (clockTicks > 0) return false;
    clockTicks += refill;
    gameClock -= 1;
    if (gameClock < -300) gameClock = -300;
    return true;
}

void GameOver() {
    runState = 3;
    slideTicks = 89;
    ShowBanner(BANNER_GAME_OVER, 96);
    QueueSpeech(40);
    hudAlphaTarget = -0.01f;
    StartExitSweep();
}

void MoveHudAlpha() {
    if (hudAlpha < hudAlphaTarget) {
        hudAlpha = hudAlpha + 0.01f > hudAlphaTarget ? hudAlphaTarget : hudAlpha + 0.01f;
    } else if (hudAlpha > hudAlphaTarget) {
        hudAlpha = hudAlpha - 0.01f < hudAlphaTarget ? hudAlphaTarget : hudAlpha - 0.01f;
    }
}

// The tutorial's clock drains and refills like ARCADE's but never ends the game; once the
// tutorial is being left it stops, so it cannot unlock the closing board.
void TutorialClock() {
    if (boardLock >= 3) return;
    if (bonusTicks > 0) {
        gameClock = -300 + bonusTicks * 0.5f;
        // The bonus period runs only on the step that teaches it, at a third of the usual speed.
        if (tutorialStep == 23 && busyCount == 0 && static_cast<long>(playTicks) % 3 == 0) bonusTicks -= 1;
        return;
    }
    if (powerType != 2 && gameClock > -300) {
        if (DrainClock(40)) {
            clockSteps += 1;
            if (gameClock <= -300) {
                PlayEffectSound(3);
                boardLock = 1;
            }
        }
    }
}

void ModeClock() {
    if (powerType == 2 || bannerTicks != 0 || runState != 2) return;
    if (!DrainClock(120)) return;
    if (gameMode == 1) {
        clockSteps += 1;
        if (clockSteps >= 180) {
            clockRate += 1;
            clockSteps = 0;
        }
    } else if (gameMode == 2) {
        TrackSurvival();
    }
}

}  // namespace

void StartNewGame() {
    const ModeStart& m = MODE_STARTS[ModeIndex()];
    bool tutorial = gameMode == 5;
    clockRate = m.clockRate;
    clockTicks = m.clockTicks;
    alarmLevel = m.alarmLevel;
    levelTarget = m.levelTarget;
    eggInterval = m.eggInterval;
    eggCountdown = tutorial ? 9999 : m.eggInterval + GameRandom(18);
    swaps = tutorial ? 0 : (hasRated == 1 ? 15 : 10);
    entryPattern = m.entryPattern;
    level = m.level;
    creatureKinds = 8;
    gameClock = 0;
    clockSteps = 0;
    clockGainTicks = 0;
    savedClock = 0;
    levelProgress = 0;
    runState = tutorial ? 0 : 1;
    slideTicks = 0;
    bonusTicks = 0;
    powerType = powerTicks = powerSeconds = powerMinutes = powerIcon = 0;
    levelBreak = 0;
    score = pendingScore = stepPoints = 0;
    selectedCell = targetCell = selectionFrame = 0;
    touchPhase = touchPhaseTicks = pressTaken = 0;
    boardPhase = 0;
    busyCount = 0;
    boardLock = 0;
    boardPauseTicks = 0;
    comboCount = movesMade = flipsMade = playTicks = creaturesConnected = 0;
    chainLength = chainAwardPending = multiGroupCount = multiAwardPending = 0;
    largestGroup = largestAwardPending = groupsCleared = groupsToScore = 0;
    swapsToAward = swapAwardTicks = 0;
    eggsHatched = 0;
    speechQueueRead = speechQueueEnd = speechWait = 0;
    for (int i = 0; i < popupTimer.ArraySize(0); ++i) {
        popupTimer(i) = 0;
        popupWait(i) = 0;
    }
    for (int i = 0; i < noticeRing.ArraySize(0); ++i) noticeRing(i) = 0;
    noticeIndex = noticeTicks = 0;
    newHighScore = 0;
    ClearBonusSparkles();
    ResetLandingSound();
    hudAlphaTarget = -1;
    if (tutorial) {
        highScoreThreshold = 0;
        ShowBanner(0, 0);
        StartTutorial();
    } else {
        highScoreThreshold = LowestStoredScore();
        ShowBanner(BANNER_GET_READY, 96);
    }
}

void ClockTick() {
    if (gameMode == 5) {
        TutorialClock();
        MoveHudAlpha();
        return;
    }
    if (bonusTicks > 0 && bannerTicks == 0) {
        gameClock = -300 + bonusTicks * 0.5f;
        if (busyCount == 0) {
            bonusTicks -= 1;
            if (bonusTicks == 0) LevelUp();
        }
        MoveHudAlpha();
        return;
    }
    if (bonusTicks == 0) ModeClock();
    if (gameMode >= 1 && gameMode <= 3) {
        if (gameClock < alarmLevel && boardLock == 0) {
            PlayEffectSound(7);
            boardLock = 1;
        }
        if (gameClock <= -300 && boardPhase == 2 && boardLock < 3) GameOver();
    }
    if (clockGainTicks > 0 && gameMode == 2) clockGainTicks -= 1;
    MoveHudAlpha();
}

void BannerTick() {
    if (bannerKind <= 0) return;
    bannerTicks -= 1;
    if (bannerKind == BANNER_GET_READY && bannerTicks == 80) QueueSpeech(38);
    if (bannerTicks > 0) return;
    bannerTicks = 0;
    if (bannerKind == BANNER_GET_READY) {
        ShowBanner(BANNER_LEVEL, 145);
        if (level == 1) QueueSpeech(39);
        chainLength = 0;
        chainAwardPending = 0;
    } else {
        bannerKind = 0;
    }
}

void PlayAreaTick() {
    if (runState == 1) {
        slideTicks += 1;
        if (slideTicks >= 90) runState = 2;
    } else if (runState == 3) {
        slideTicks -= 1;
        if (slideTicks <= 0) {
            slideTicks = 0;
            runState = 0;
        }
    }
    if (runState == 0) {
        hudOffset = 120;
    } else if (runState == 2) {
        hudOffset = 0;
    } else {
        int i = static_cast<int>(slideTicks);
        if (i < 0) i = 0;
        if (i > 89) i = 89;
        hudOffset = dipTable.ArraySize(0) > i ? dipTable(i) : 0;
    }
}

void EndGameNow() {
    // A bonus period still running would level up under the closing board.
    bonusTicks = 0;
    GameOver();
}

void FinishGame() {
    runState = 0;
    if (gameMode >= 1 && gameMode <= 4) {
        // Points still counting up belong to the result: the table and the screen get them all.
        score += pendingScore;
        pendingScore = 0;
        resultRank = InsertHighScore(gameMode);
        gamesPlayed += 1;
        screen = 6;
        phase = 5;
        inputCooldown = 30;
        SaveRatingStateFromPlay();
    } else {
        ForgetTutorial();
        screen = 0;
        phase = 14;
    }
}
