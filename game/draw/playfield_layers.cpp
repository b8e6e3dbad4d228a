// The layers around the board (clock bar, sparkles, effects, information panel, banners) as
// the game screens need them now; the panel, banner, tutorial and pause-menu code take them over.
#include "game/draw/game_screen_layers.h"

#include "game/draw/draw.h"
#include "game/state/globals.h"
#include "runtime/core/number_text.h"
#include "runtime/graphics/graphics_device.h"

namespace {

const int BIG_DIGITS = 20;
const int SMALL_DIGITS = 21;
const int POPUP_DIGITS = 24;
const int POPUP_PLUS = 10;
const int SMALL_COLON = 11;
const float DIGIT_STEP = 16;
const int STAR = 63;

// A digit frame for one decimal place of a whole number; stays inside the ten digit frames.
int Digit(float value, int place) {
    int v = static_cast<int>(value);
    if (v < 0) v = -v;
    for (int i = 0; i < place; ++i) v /= 10;
    return v % 10;
}

// The digits of a text as frames of a digit item, one every 16 units; other characters leave a gap.
void DrawDigitRow(const KString& text, int item, float x, float y) {
    for (int i = 0; i < text.Length(); ++i) {
        int d = text.c_str()[i] - '0';
        if (d >= 0 && d <= 9) DrawAtlasFrame(item, d, x + DIGIT_STEP * i, y);
    }
}

float NoticeAlpha(float ticks) {
    if (ticks >= 480 || ticks <= 0) return 0;
    if (ticks > 420) return 1 - (ticks - 420) / 60;
    if (ticks < 61) return ticks / 60;
    return 1;
}

void DrawNotice(float notice, float top) {
    float alpha = NoticeAlpha(noticeTicks);
    if (alpha <= 0) return;
    SetBlendMode(-alpha);
    int n = static_cast<int>(notice);
    if (n >= 1 && n <= 4) {
        DrawAtlasItem(110 + n, 93, top + 362);
        DrawAtlasItem(117, 149, top + 362);
    } else if (n >= 71 && n <= 85) {
        DrawAtlasItem(115, 93, top + 362);
        DrawAtlasItem(n, 98, top + 365);
    } else if (n == 119) {
        DrawAtlasItem(114, 93, top + 362);
        DrawAtlasItem(119, 149, top + 362);
    }
}

void DrawPopups() {
    for (int i = 0; i < POPUP_SLOTS; ++i) {
        float timer = popupTimer(i);
        if (timer <= 0) continue;
        SetBlendMode(timer <= 10 ? 0.05f * timer : 0.5f);  // additive glow
        KString digits = FormatNum(1, 0, popupValue(i));
        float width = DIGIT_STEP * (digits.Length() + 1);
        float x = popupX(i) - width / 2;
        float y = popupY(i) - 12 - (40 - timer) * 0.5f;  // rises as it fades
        DrawAtlasFrame(POPUP_DIGITS, POPUP_PLUS, x, y);
        DrawDigitRow(digits, POPUP_DIGITS, x + DIGIT_STEP, y);
    }
}

void DrawFigures(float top) {
    KString text = FormatNum(1, 0, score);
    DrawDigitRow(text, BIG_DIGITS, 160 - DIGIT_STEP * text.Length() / 2, top + 452);
    DrawPopups();
    SetBlendMode(-1);
    if (powerType == 0) {
        DrawAtlasItem(23, 9, top + 360);
    } else {
        DrawAtlasFrame(powerIcon + 9, animFrame, 9, top + 360);
    }
    DrawAtlasFrame(SMALL_DIGITS, Digit(powerMinutes, 0), 59, top + 384);
    DrawAtlasFrame(SMALL_DIGITS, SMALL_COLON, 75, top + 384);
    DrawAtlasFrame(SMALL_DIGITS, Digit(powerSeconds, 1), 91, top + 384);
    DrawAtlasFrame(SMALL_DIGITS, Digit(powerSeconds, 0), 107, top + 384);
    static const int MODE_NAMES[5] = {0, 112, 113, 111, 114};  // by gameMode 1..4
    int mode = static_cast<int>(gameMode);
    if (mode >= 1 && mode <= 4) DrawAtlasItem(MODE_NAMES[mode], 145, top + 355);
    DrawAtlasFrame(BIG_DIGITS, Digit(level, 1), 223, top + 382);
    DrawAtlasFrame(BIG_DIGITS, Digit(level, 0), 239, top + 382);
    DrawAtlasFrame(SMALL_DIGITS, Digit(swaps, 1), 277, top + 382);
    DrawAtlasFrame(SMALL_DIGITS, Digit(swaps, 0), 293, top + 382);
    DrawAtlasItem(22, 10, top + 410);
}

}  // namespace

void DrawBonusSparkles() {
    for (int i = 0; i < sparkleAlpha.ArraySize(0); ++i) {
        if (sparkleAlpha(i) <= 0) continue;
        SetBlendMode(-sparkleAlpha(i));
        DrawAtlasItem(sparkleItem(i), sparkleX(i), sparkleY(i));
    }
}

void DrawClockBar() {
    SetBlendMode(hudAlpha);
    int item;
    if (bonusTicks > 0 && bannerTicks == 0) {
        item = 47;
    } else if (gameClock < alarmLevel) {
        item = blinkCounter >= 5 ? 52 : powerType == 2 ? 45 : 19;
    } else {
        item = powerType == 2 ? 45 : 19;
    }
    // Item 51 is painted as the bar's opaque back, so it goes under the bar; the rim (18) goes over.
    DrawAtlasItem(51, 3, 327);
    DrawAtlasItemWidened(item, 10, 327);
    DrawAtlasItem(18, 7, 324);
}

void DrawInfoPanel() {
    float top = hudOffset;
    SetBlendMode(-1);
    DrawAtlasItem(62, 0, top + 360);
    float notice = noticeRing(static_cast<int>(noticeIndex));
    if (notice == 0) {
        DrawFigures(top);
    } else {
        DrawNotice(notice, top);
    }
    SetBlendMode(controlsAlpha);
    DrawAtlasItem(35, 0, top + 430);
    DrawAtlasItem(36, 50, top + 430);
    DrawAtlasItem(musicOn == 1 ? 32 : 33, 220, top + 430);
    DrawAtlasItem(soundOn == 1 ? 30 : 31, 270, top + 430);
}

void DrawEffectLayer() {
    SetBlendMode(-1);
    for (int slot = 0; slot < 2; ++slot) {
        if (effectTimer(slot) > 0) DrawAtlasFrameRotated(STAR, 0, effectX(slot), effectY(slot), effectAngle(slot), 1);
    }
    for (int slot = 2; slot < EFFECT_SLOTS; ++slot) {
        float timer = effectTimer(slot);
        if (timer <= 0) continue;
        SetBlendMode(timer < 6 ? -0.2f * timer : -1);  // fades over its last five ticks
        DrawAtlasItem(effectValue(slot), effectX(slot), effectY(slot));
    }
}

void DrawCentreBanners() {
    int kind = static_cast<int>(bannerKind);
    if (kind == 1 || kind == 2 || kind == 5) {
        if (blinkCounter >= 6) return;  // six ticks on, four off
        SetBlendMode(-1);
        DrawBigText(kind == 1 ? "GET READY" : kind == 2 ? "GREAT PLAY" : "GAME OVER", 0, 160, 144);
    } else if (kind == 4) {
        float t = bannerTicks;
        if (t == 145 || t == 0) {
            SetBlendMode(-0.01f);
        } else if (t > 120 && t < 145) {
            SetBlendMode(-1 + (t - 120) * 0.04f);
        } else if (t > 0 && t < 26) {
            SetBlendMode(-0.04f * t);
        }
        DrawBigText(KString("LEVEL:") + NumToStr(level), 0, 160, 72 + t);
    }
}

void DrawClockGainIndicator() {
    if (clockGainTicks <= 0) return;
    SetBlendMode(clockGainTicks > 30 ? -1 : clockGainTicks / -30);
    DrawAtlasFrame(110, animFrame, 265, 327);
}
