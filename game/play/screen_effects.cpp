// Per-tick upkeep of what moves behind and over the playing field: bubbles, the background's
// brightness and scroll, the shared frame counters, score popups, the effect pool and the
// control bar's alpha. Drawing them is the screens' business.
#include "game/play/screen_effects.h"

#include <cmath>

#include "game/state/globals.h"

namespace {

const float BUBBLE_LEFT = 6;
const float BUBBLE_SPREAD = 308;
const float BUBBLE_TOP_EXIT = -10;
const float WAVE_PERIOD = 480;

const float BRIGHTNESS_STEP = 0.01f;

const float POPUP_WAIT = 2;  // a popup's timer falls once every second tick

const int STAR_SLOTS = 2;
const float STAR_SPIN = 6;   // degrees per tick while a reward star flies
const float TRAIL_ITEM = 53;  // the four sparkle pictures 53..56
const float TRAIL_TICKS = 12;
const float STAR_CENTRE = 8;  // puts a sparkle picture over the middle of the star

const float SPARKLE_ITEM = 53;         // the bonus sparkles use the same four pictures
const float SPARKLE_FADE = 1.0f / 32;  // a bonus sparkle fades out over 31 ticks

// A flying star drops a sparkle at these moments of its 60-tick flight.
bool IsTrailMoment(float timer) {
    return timer == 48 || timer == 36 || timer == 24 || timer == 12;
}

void DropTrailSparkle(int star) {
    for (int slot = STAR_SLOTS; slot < EFFECT_SLOTS; ++slot) {
        if (effectTimer(slot) > 0) continue;
        effectX(slot) = effectX(star) + STAR_CENTRE;
        effectY(slot) = effectY(star) + STAR_CENTRE;
        // Sparkles drift back a little against the star's flight.
        effectSpeedX(slot) = -effectSpeedX(star) * 0.1f;
        effectSpeedY(slot) = -effectSpeedY(star) * 0.1f;
        effectAngle(slot) = 0;
        effectSize(slot) = 1;
        effectTimer(slot) = TRAIL_TICKS;
        effectValue(slot) = TRAIL_ITEM + static_cast<int>(effectTimer(star) / 12) % 4;
        return;
    }
}

}  // namespace

void LayoutBubbles() {
    for (int i = 0; i < BUBBLE_COUNT; ++i) {
        bubbleX(i) = GameRandom(BUBBLE_SPREAD) + BUBBLE_LEFT;
        bubbleY(i) = GameRandom(460) + 490;  // all start below the screen
        bubblePhase(i) = GameRandom(479);
        bubbleSpeed(i) = 0.5f + 0.025f * i;
    }
}

void UpdateBubbles() {
    for (int i = 0; i < BUBBLE_COUNT; ++i) {
        bubblePhase(i) += 1;
        if (bubblePhase(i) >= WAVE_PERIOD) bubblePhase(i) = 0;
        bubbleY(i) -= bubbleSpeed(i);
        if (bubbleY(i) < BUBBLE_TOP_EXIT) {
            bubbleY(i) = GameRandom(20) + 480;
            bubbleX(i) = GameRandom(BUBBLE_SPREAD) + BUBBLE_LEFT;
        }
    }
}

void FadeBrightness() {
    float gap = brightnessTarget - brightness;
    // The small allowance keeps float steps of 0.01 from overshooting into one extra tick.
    if (std::fabs(gap) <= BRIGHTNESS_STEP + 1e-5f) {
        brightness = brightnessTarget;
    } else {
        brightness += gap > 0 ? BRIGHTNESS_STEP : -BRIGHTNESS_STEP;
    }
    if (toggleTick == 1) backdropScroll -= 1;
}

void AdvanceFrameCounters() {
    blinkCounter += 1;
    if (blinkCounter >= 10) blinkCounter = 0;
    animSubTicks += 1;
    if (animSubTicks >= 4) {
        animSubTicks = 0;
        animFrame += 1;
        if (animFrame >= 6) animFrame = 0;
    }
    toggleTick = toggleTick == 0 ? 1 : 0;
}

void UpdatePopups() {
    for (int i = 0; i < POPUP_SLOTS; ++i) {
        if (popupWait(i) <= 0) continue;
        popupWait(i) -= 1;
        if (popupWait(i) > 0) continue;
        popupTimer(i) -= 1;
        // A finished popup stops counting instead of running its timer down for ever.
        popupWait(i) = popupTimer(i) > 0 ? POPUP_WAIT : 0;
    }
}

void UpdateEffectPool() {
    for (int slot = 0; slot < EFFECT_SLOTS; ++slot) {
        if (effectTimer(slot) <= 0) continue;
        effectX(slot) += effectSpeedX(slot);
        effectY(slot) += effectSpeedY(slot);
        effectTimer(slot) -= 1;
        if (slot >= STAR_SLOTS) continue;
        effectAngle(slot) += STAR_SPIN;
        if (effectAngle(slot) >= 360) effectAngle(slot) -= 360;
        if (effectTimer(slot) <= 0) {
            swapsToAward += effectValue(slot);
        } else if (IsTrailMoment(effectTimer(slot))) {
            DropTrailSparkle(slot);
        }
    }
}

void UpdateControlsAlpha() {
    float t = controlsTicks;
    if (t <= 0) {
        controlsAlpha = -0.4f;
    } else if (t > 120) {
        controlsAlpha = -0.4f - (140 - t) * 0.0333f;  // fading in
    } else if (t > 20) {
        controlsAlpha = -1;
    } else {
        controlsAlpha = -0.4f - t * 0.0333f;  // fading out
    }
    if (controlsTicks > 0) controlsTicks -= 1;
}

void UpdateBonusSparkles() {
    const int slots = sparkleAlpha.ArraySize(0);
    if (slots <= 0) return;
    if (bonusTicks > 0) {
        sparkleTicks += 1;
        if (sparkleTicks >= 8) {
            sparkleTicks = 0;
            // One sparkle on each side of the board, all at the same distance along their side,
            // so the four run round the edge together.
            float s = 19.0625f * sparkleStep;
            const float AT[4][2] = {{-7 + s, -7}, {303, -7 + s}, {303 - s, 303}, {-7, 303 - s}};
            for (int side = 0; side < 4; ++side) {
                int slot = static_cast<int>(sparkleSlot);
                if (slot < 0 || slot >= slots) slot = 0;
                sparkleAlpha(slot) = 1;
                sparkleItem(slot) = SPARKLE_ITEM + sparkleFrame;
                sparkleX(slot) = AT[side][0];
                sparkleY(slot) = AT[side][1];
                sparkleSlot = static_cast<float>((slot + 1) % slots);
            }
            sparkleFrame = sparkleFrame >= 3 ? 0 : sparkleFrame + 1;
            sparkleStep = sparkleStep >= 15 ? 0 : sparkleStep + 1;
        }
    }
    for (int i = 0; i < slots; ++i) {
        if (sparkleAlpha(i) <= 0) continue;
        sparkleAlpha(i) -= SPARKLE_FADE;
        if (sparkleAlpha(i) <= SPARKLE_FADE) sparkleAlpha(i) = 0;
    }
}

void ClearBonusSparkles() {
    for (int i = 0; i < sparkleAlpha.ArraySize(0); ++i) sparkleAlpha(i) = 0;
    sparkleSlot = sparkleFrame = sparkleTicks = sparkleStep = 0;
}
