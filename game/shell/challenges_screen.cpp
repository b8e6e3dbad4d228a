// The challenges screen: fifteen challenges in a grid of five kinds by three tiers, each with its
// icon (or a lock while the tier below is not complete) and a progress bar; the selected one is
// described below the grid.
#include "game/draw/draw.h"
#include "game/draw/menu_parts.h"
#include "game/shell/menu_fade.h"
#include "game/shell/menus.h"
#include "game/state/globals.h"
#include "runtime/core/number_text.h"
#include "runtime/graphics/graphics_device.h"

namespace {
const int KINDS = 5, TIERS = 3;
const int SELECTION_FRAME = 116, LOCK = 69, BAR = 67, BAR_FILL = 68;
// Icons by column (kind as the grid shows it) for the SKILLED tier; the tiers above follow.
const int FIRST_ICON[KINDS] = {77, 71, 74, 80, 83};   // LEVELING, SURVIVAL, COMBOS, HOARDING, COMMITMENT
const char* const TIER_NAMES[TIERS] = {"SKILLED ", "MASTER ", "EXTREME "};
const char* const KIND_NAMES[KINDS] = {"LEVELING", "SURVIVAL", "COMBOS", "HOARDING", "COMMITMENT"};

float Progress(int index) {
    float p = challengeProgress(index);
    return p < 0 ? 0 : p > 100 ? 100 : p;
}

// The grid shows kinds in columns and tiers in rows; progress is kept kind by kind.
int ProgressIndex(int kind, int tier) { return kind * TIERS + tier; }

bool Locked(int kind, int tier) {
    return tier > 0 && challengeProgress(ProgressIndex(kind, tier) - 1) != 100;
}

KString Whole(float v) { return IntToStr(static_cast<int>(v)); }

// Lines 2 and 3 of a challenge's description.
void TargetLines(int kind, int tier, KString& second, KString& third) {
    static const char* const LEVELS[TIERS] = {"REACH LEVEL 4", "REACH LEVEL 8", "REACH LEVEL 12"};
    static const char* const COMBOS[TIERS] = {"GET A COMBO OF 8", "GET A COMBO OF 10", "GET A COMBO OF 13"};
    static const char* const HOARDS[TIERS] = {"YOU HAVE 20 TOTAL", "YOU HAVE 40 TOTAL", "YOU HAVE 60 TOTAL"};
    const float survival[TIERS] = {survivalStep1, survivalStep2, survivalStep3};
    const float commitment[TIERS] = {commitmentStep1, commitmentStep2, commitmentStep3};
    float minutes = 0, creaturesTotal = 0;
    for (int t = 0; t <= tier; ++t) {
        minutes += survival[t];
        creaturesTotal += commitment[t];
    }
    switch (kind) {
        case 0: second = LEVELS[tier]; third = "IN ARCADE MODE"; break;
        case 1: second = KString("LAST ") + Whole(minutes / 3600) + " MINUTES"; third = "IN PUZZLE MODE"; break;
        case 2: second = COMBOS[tier]; third = "CREATURES OR MORE"; break;
        case 3: second = "SAVE SWAPS UNTIL"; third = HOARDS[tier]; break;
        default: second = "CONNECT A TOTAL OF"; third = Whole(creaturesTotal) + " CREATURES"; break;
    }
}

void DrawDescription() {
    int selected = static_cast<int>(selectedChallenge);
    if (selected < 0 || selected >= KINDS * TIERS) selected = 0;
    int kind = selected % KINDS, tier = selected / KINDS;
    DrawText(KString(TIER_NAMES[tier]) + KIND_NAMES[kind], 0, 160, 291);
    if (Locked(kind, tier)) {
        DrawText("PREVIOUS CHALLENGE", 0, 160, 336);
        DrawText("MUST BE COMPLETE", 0, 160, 366);
        DrawText("TO UNLOCK", 0, 160, 396);
        return;
    }
    KString second, third;
    TargetLines(kind, tier, second, third);
    DrawText(second, 0, 160, 336);
    DrawText(third, 0, 160, 366);
    // The font draws a percent sign for the character code 64.
    DrawText(Whole(Progress(ProgressIndex(kind, tier))) + "@ COMPLETE", 0, 160, 396);
}
}  // namespace

void ChallengesTick() {
    if (!EnterMenuScreen() && FadeMenu() == FadeArrival::GONE) {
        screen = 0;
        gameMode = 0;
        phase = 14;
    }
    if (menuStage < 3 && touchDown == 1) {
        if (touchY > 57 && touchY < 283 && touchX >= 0 && touchX < 320) {
            int column = static_cast<int>(touchX / 64);
            int row = static_cast<int>((touchY - 58) / 75);
            if (row < 0) row = 0;
            selectedChallenge = static_cast<float>(column + KINDS * row);
            userActed = 1;
        } else if (InBackBar()) {
            StartLeavingMenu();
            userActed = 1;
        }
    }
    StepTitleWave();
}

void DrawChallengesScreen() {
    if (!MenuVisible()) return;
    SetBlendMode(menuAlpha);
    DrawBouncingTitle("CHALLENGES", 0);
    int selected = static_cast<int>(selectedChallenge);
    if (selected >= 0 && selected < KINDS * TIERS) {
        int frame = static_cast<int>(animFrame);
        DrawAtlasFrame(SELECTION_FRAME, frame >= 0 && frame < 6 ? frame : 0, 64 * (selected % KINDS),
                       75 * (selected / KINDS) + 57);
    }
    for (int tier = 0; tier < TIERS; ++tier) {
        for (int kind = 0; kind < KINDS; ++kind) {
            float x = 7 + 64 * kind, y = 65 + 75 * tier;
            if (Locked(kind, tier)) {
                DrawAtlasItem(LOCK, x, y);
                DrawAtlasItem(BAR, x + 3, y + 52);
            } else {
                DrawAtlasItem(FIRST_ICON[kind] + tier, x, y);
                DrawAtlasItem(BAR, x + 3, y + 52);
                DrawAtlasItemPartial(BAR_FILL, x + 4, y + 53, Progress(ProgressIndex(kind, tier)));
            }
        }
    }
    DrawDescription();
    DrawBackToMainMenu();
}
