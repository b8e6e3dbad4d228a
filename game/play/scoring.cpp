// Scoring: points for groups, chains and multi-group steps, the level target and its bonus period,
// the score counting up on screen, and switches earned by big groups.
#include "game/play/board_state.h"
#include "game/play/play.h"
#include "runtime/audio/sound.h"

namespace {

const float NORMAL_RATES[10] = {25, 50, 90, 150, 235, 350, 500, 690, 925, 1500};
const float BONUS_RATES[10] = {25, 30, 40, 55, 75, 100, 130, 165, 205, 250};

float Rate(const float* rates, float size) {
    int s = static_cast<int>(size);
    if (s < 4) return 0;
    if (s > 13) s = 13;
    return rates[s - 4];
}

void Speak(bool levelTick, float slot) {
    if (!levelTick) QueueSpeech(slot);
}

void NormalAwards(bool levelTick) {
    if (chainAwardPending > 0) {
        float n = chainLength;
        stepPoints += 50 + (n - 2) * 100;
        Speak(levelTick, n == 2 ? 23 : n == 3 ? 24 : 25);
        chainAwardPending -= 1;
    }
    if (multiAwardPending > 0) {
        float m = multiGroupCount;
        stepPoints += m == 2 ? 250 : m == 3 ? 1200 : m * m * 360;
        Speak(levelTick, 26);
        multiAwardPending -= 1;
    }
    if (largestAwardPending > 0 && largestGroup >= 5) {
        float g = largestGroup;
        Speak(levelTick, g <= 10 ? 27 + (g - 5) : g == 11 ? 46 : g == 12 ? 47 : 48);
        largestAwardPending -= 1;
    }
    if (groupsToScore > 0) {
        for (int g = 0; g < static_cast<int>(groupsCleared); ++g) {
            float s = groupSizes(g);
            stepPoints += s * Rate(NORMAL_RATES, s);
            int slot = static_cast<int>(popupSlot);
            if (s >= 6) SpawnSwapReward(popupX(slot), popupY(slot), s - 5);
            if (gameMode == 2) {
                float gain = (s - 3) + (s - 3) * (s - 3) / 2;
                gameClock += gain;
                if (gameClock > 0) gameClock = 0;
                clockGainTicks = 90;
            }
            if (s >= 5) TrackCombo(s < 13 ? s : 13);
        }
        groupsToScore = 0;
    }
}

void BonusAwards() {
    if (chainAwardPending > 0) {
        stepPoints += 50 + (chainLength - 2) * 100;
        chainAwardPending -= 1;
    }
    if (multiAwardPending > 0) {
        float m = multiGroupCount;
        stepPoints += m == 2 ? 200 : m == 3 ? 400 : (m - 1) * 200;
        multiAwardPending -= 1;
    }
    if (largestAwardPending > 0 && largestGroup >= 5) largestAwardPending -= 1;
    if (groupsToScore > 0) {
        for (int g = 0; g < static_cast<int>(groupsCleared); ++g) {
            float s = groupSizes(g);
            stepPoints += s * Rate(BONUS_RATES, s);
        }
        groupsToScore = 0;
    }
}

}  // namespace

void ScoreTick() {
    bool levelTick = false;
    if (levelProgress >= levelTarget) {
        levelProgress = 0;
        levelTarget += 8;
        bonusTicks = 600;
        bannerKind = 2;
        bannerTicks = 120;
        savedClock = gameClock;
        QueueSpeech(37);
        levelTick = true;
    }
    if (levelBreak == 0) {
        NormalAwards(levelTick);
    } else if (levelBreak == 1) {
        BonusAwards();
    }
    if (stepPoints > 0) {
        pendingScore += stepPoints;
        int slot = static_cast<int>(popupSlot);
        popupValue(slot) = stepPoints;
        popupTimer(slot) = 40;
        popupWait(slot) = 2;
        popupSlot = slot >= 9 ? 0 : static_cast<float>(slot + 1);
        stepPoints = 0;
    }
    if (levelTick) {
        chainAwardPending = 0;
        chainLength = 0;
        multiAwardPending = 0;
        largestAwardPending = 0;
        SwitchTrack("ah_yeah");
    }
}

void CountScore() {
    if (newHighScore == 0 && score + pendingScore > highScoreThreshold && gameMode >= 1 && gameMode <= 4) {
        newHighScore = 1;
        static const float NOTICE_OF_MODE[5] = {0, 2, 3, 1, 4};
        PostNotice(NOTICE_OF_MODE[static_cast<int>(gameMode)]);
        PlayEffectSound(8);
    }
    float move = pendingScore > 2000 ? 50 : pendingScore > 500 ? 10 : pendingScore > 0 ? 5 : 0;
    if (move > pendingScore) move = pendingScore;
    pendingScore -= move;
    score += move;
}

void PaySwaps() {
    if (swapAwardTicks > 0) {
        swapAwardTicks -= 1;
    } else if (swapsToAward > 0) {
        swaps += 1;
        PlayEffectSound(43);
        swapAwardTicks = 20;
        swapsToAward -= 1;
        TrackHoarding();
    }
}

void SpawnSwapReward(float x, float y, float amount) {
    int slot = effectTimer(0) > 0 ? 1 : 0;
    float startX = x - 15;
    float startY = y - 15;
    effectX(slot) = startX;
    effectY(slot) = startY;
    effectSpeedX(slot) = (278 - startX) / 60;
    effectSpeedY(slot) = (381 - startY) / 60;
    effectAngle(slot) = GameRandom(360);
    effectSize(slot) = 1;
    effectTimer(slot) = 60;
    effectValue(slot) = amount;
    if (StillSounding(twinkleChannel)) {
        PlayEffectSound(45);
    } else {
        twinkleChannel = PlayEffectSound(44);
    }
}
