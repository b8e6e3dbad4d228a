// The rating prompt: its conditions, its answers and its drawing.
#include "game/shell/rating_prompt.h"

#include "game/draw/draw.h"
#include "game/draw/menu_parts.h"
#include "game/shell/save_files.h"
#include "game/state/globals.h"
#include "runtime/core/files.h"
#include "runtime/graphics/graphics_device.h"

namespace {
const float TAP_COOLDOWN = 20;
const float SMALL_ADVANCE = 13;

bool InYes() { return touchX > 10 && touchX < 103 && touchY > 309 && touchY < 350; }
bool InNoThanks() { return touchX > 165 && touchX < 298 && touchY > 309 && touchY < 450; }

void SaveRating() {
    SetCurrentDir(saveDir);
    SaveRatingState();
    SetCurrentDir(mediaDir);
}

// One quad the size of the physical screen: whatever the scale, it covers the design area.
void DimWholeScreen() { DrawPlainFill(0, 0, screenWidth, screenHeight); }
}  // namespace

RatingPrompt RatingPromptDue() {
    if (storeLink.Empty() || hasRated != 0) return RatingPrompt::NONE;
    if (rateDeclines == 0 && gamesPlayed > 4) return RatingPrompt::FIRST;
    if (rateDeclines == 1 && gamesPlayed > 19) return RatingPrompt::LAST_CHANCE;
    return RatingPrompt::NONE;
}

void RatingPromptTap() {
    RatingPrompt prompt = RatingPromptDue();
    if (prompt == RatingPrompt::NONE) return;
    inputCooldown = TAP_COOLDOWN;
    bool last = prompt == RatingPrompt::LAST_CHANCE;
    if (InYes()) {
        hasRated = 1;
        rateDeclines = last ? 2 : 1;
        SaveRating();
        deferredAction = 2;
        userActed = 1;
    } else if (InNoThanks()) {
        rateDeclines = last ? 2 : 1;
        SaveRating();
        userActed = 1;
    }
}

void DrawRatingPrompt(RatingPrompt prompt) {
    if (prompt == RatingPrompt::NONE) return;
    // Twice over: the busy tiles beneath must not fight with the prompt's text.
    DimWholeScreen();
    DimWholeScreen();
    DrawText("PLEASE RATE SQUIBLY", 0, 157, 150);
    DrawText("IF YOU DO YOU WILL GAIN", 0, 157, 198);
    DrawText("5 EXTRA SWAPS PER GAME", 0, 157, 228);
    if (prompt == RatingPrompt::LAST_CHANCE) DrawText("LAST CHANCE!", 0, 157, 274);
    SetBlendMode(menuAlpha <= -1 ? menuAlpha + 0.04f * blinkCounter : menuAlpha);
    // One line of text with its two answers; each answer gets its button plate.
    const KString answers = "YES OK      NO THANKS";
    float start = 157 - static_cast<float>(static_cast<int>(answers.Length() * SMALL_ADVANCE / 2));
    DrawButtonPlate(start, 6 * SMALL_ADVANCE, 316);
    DrawButtonPlate(start + 12 * SMALL_ADVANCE, 9 * SMALL_ADVANCE, 316);
    DrawText(answers, 0, 157, 316);
}
