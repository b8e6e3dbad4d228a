// Media loading at start-up: the sound bank with the spoken-clip lengths, the tutorial creature
// list, the wave tables and the loading screen with its progress bar and fade-out.
#include "game/shell/resources.h"

#include "game/draw/draw.h"
#include "game/state/globals.h"
#include "game/shell/main_routine.h"
#include "runtime/audio/music.h"
#include "runtime/audio/sound.h"
#include "runtime/core/data_list.h"
#include "runtime/core/files.h"
#include "runtime/core/lifecycle.h"
#include "runtime/core/numeric.h"
#include "runtime/graphics/graphics_device.h"
#include "runtime/graphics/polygon_batch.h"
#include "runtime/graphics/sprites.h"

const SoundSlotFile SOUND_BANK[SOUND_BANK_SIZE] = {
    {1, "match.wav"}, {2, "match2.wav"}, {3, "error.wav"}, {4, "swap.wav"},
    {5, "aqua2.wav"}, {6, "select2.wav"}, {7, "alarm2.wav"}, {8, "goodstep.wav"},
    {11, "bounce1.wav"}, {12, "bounce2.wav"}, {13, "bounce3.wav"}, {14, "bounce4.wav"},
    {15, "bounce5.wav"}, {16, "bounce6.wav"}, {17, "bounce7.wav"}, {18, "bounce8.wav"},
    {19, "bounce9.wav"}, {20, "bounce10.wav"}, {21, "bounce11.wav"}, {22, "bounce12.wav"},
    {23, "lucky_s.wav"}, {24, "extra_lucky_s.wav"}, {25, "super_lucky_s.wav"}, {26, "multi_combo_s.wav"},
    {27, "score_1_s.wav"}, {28, "score_2_s.wav"}, {29, "score_3_s.wav"}, {30, "score_4_s.wav"},
    {31, "score_5_s.wav"}, {32, "score_6_s.wav"}, {33, "bonus_power_depleted_s.wav"},
    {34, "infinite_switches_s.wav"}, {35, "less_creatures_s.wav"}, {36, "clock_stopped_s.wav"},
    {37, "fantastic_well_done_s.wav"}, {38, "ready_s.wav"}, {39, "good_luck_s.wav"},
    {40, "game_over_s.wav"}, {41, "careful_s.wav"}, {42, "next_level_s.wav"}, {43, "sparkle1.wav"},
    {44, "twinkle1.wav"}, {45, "twinkle1.wav"}, {46, "score_7_s.wav"}, {47, "score_8_s.wav"},
    {48, "score_9_s.wav"}, {49, "achievement_s.wav"},
};

namespace {
// Spoken-clip lengths in ticks, as (slot, ticks) pairs ended by (255, 255).
const float SOUND_LENGTH_LIST[] = {
    23, 37, 24, 53, 25, 49, 26, 69, 27, 40, 28, 47, 29, 41, 30, 44,
    31, 59, 32, 53, 33, 78, 34, 65, 35, 57, 36, 44, 37, 110, 38, 30,
    39, 39, 40, 47, 41, 37, 42, 44, 46, 44, 47, 60, 48, 64, 49, 46,
    255, 255,
};

const float TUTORIAL_LIST[] = {
    4, 3, 6, 3, 2, 7, 3, 6, 4, 5, 8, 1, 1, 2, 1, 6, 4, 7, 7, 3, 6,
    8, 7, 5, 3, 5, 8, 2, 1, 4, 5, 8, 6, 5, 8, 2, 10, 11, 12, 13, 14, 15,
    255,
};

const float WHITE = 16777215;
const float LOADING_SPRITE = 2;
const float BAR_WIDTH = 285;

// One atlas rectangle as two triangles, in design units scaled onto the viewport.
void Quad(float x1, float y1, float x2, float y2, float u1, float v1, float u2, float v2, float colour = WHITE) {
    float ax = x1 * scaleX, ay = y1 * scaleY, bx = x2 * scaleX, by = y2 * scaleY;
    AddPolygonVertex(ax, ay, u1, v1, colour);
    AddPolygonVertex(ax, by, u1, v2, colour);
    AddPolygonVertex(bx, by, u2, v2, colour);
    AddPolygonVertex(bx, by, u2, v2, colour);
    AddPolygonVertex(bx, ay, u2, v1, colour);
    AddPolygonVertex(ax, ay, u1, v1, colour);
}


// A bar piece whose atlas strip runs down the column (u1..u2) from v1 to v2: the texture is
// turned a quarter turn, atlas y following screen x.
void TurnedQuad(float x1, float y1, float x2, float y2, float u1, float u2, float v1, float v2) {
    float ax = x1 * scaleX, ay = y1 * scaleY, bx = x2 * scaleX, by = y2 * scaleY;
    AddPolygonVertex(ax, ay, u1, v1, WHITE);
    AddPolygonVertex(ax, by, u2, v1, WHITE);
    AddPolygonVertex(bx, by, u2, v2, WHITE);
    AddPolygonVertex(bx, by, u2, v2, WHITE);
    AddPolygonVertex(bx, ay, u1, v2, WHITE);
    AddPolygonVertex(ax, ay, u1, v1, WHITE);
}
}  // namespace

void ShowLoadingProgress(float step, float total) {
    float fill = total != 0 ? step / total * BAR_WIDTH : 0;
    if (fill < 0) fill = 0;
    if (fill > BAR_WIDTH) fill = BAR_WIDTH;
    SetFrameView();
    BeginPolygonBatch(LOADING_SPRITE, 1);
    SetBlendMode(-0.99f);
    SetBlendMode(-1);
    Quad(0, 0, 320, 480, 1, 1, 321, 481);
    MarkOpaqueVertices();   // the background hides everything beneath it
    Quad(133, 338, 187, 392, 324, 2, 378, 56);
    Quad(56, 160, 269, 187, 1, 482, 214, 509);
    TurnedQuad(17.5f, 240, 17.5f + fill, 261, 472, 492, 1, fill + 1);
    TurnedQuad(17.5f + fill, 240, 302.5f, 261, 450, 470, fill + 1, 286);
    SetBlendMode(-0.99f);
    EndPolygonBatch();
    ShowScreen();
    TraceLoadingFrame();
}

void PlayLoadingOutro() {
    const float cap = 11;
    for (int frame = 1; frame <= 51; ++frame) {
        float alpha = -1 + 0.02f * frame;
        if (alpha > 0) alpha = 0;
        float titleY = 160 + 0.2f * frame;
        float labelY = 338 - 0.2f * frame;
        float half = 134 - 2.68f * frame;
        if (half < 0) half = 0;

        SetFrameView();
        BeginPolygonBatch(LOADING_SPRITE, 1);
        // Faded all the way out, the frame is black. (An alpha of 0 handed to SetBlendMode would
        // switch blending off and show the picture at full brightness instead.)
        if (alpha < 0) {
            // Over the cleared black screen the fading background is its own colour dimmed, so it
            // is drawn opaque; the elements fade over it.
            SetBlendMode(-1);
            Quad(0, 0, 320, 480, 1, 1, 321, 481, DimmedWhite(-alpha));
            MarkOpaqueVertices();
            SetBlendMode(alpha);
            Quad(133, labelY, 187, labelY + 54, 324, 2, 378, 56);
            Quad(56, titleY, 269, titleY + 27, 1, 482, 214, 509);
            TurnedQuad(160 - half - cap, 240, 160 - half, 261, 472, 492, 1, 1 + cap);
            TurnedQuad(160 - half, 240, 160 + half, 261, 472, 492, 1 + cap, 286 - cap);
            TurnedQuad(160 + half, 240, 160 + half + cap, 261, 472, 492, 286 - cap, 286);
        }
        SetBlendMode(-0.99f);
        EndPolygonBatch();
        ShowScreen();
        if (frame >= 50) break;   // the alpha has reached 0
    }
    // The loading atlas is not needed again.
    DeleteSprite(LOADING_SPRITE);
}

void LoadSounds() {
    SetCurrentDir(mediaDir);
    for (int n = 1; n <= SOUND_BANK_SIZE; ++n) {
        const SoundSlotFile& entry = SOUND_BANK[n - 1];
        LoadSound(entry.file, static_cast<float>(entry.slot), 1);
        ShowLoadingProgress(static_cast<float>(24 + n), loadingStepCount);
    }
    DataList lengths(SOUND_LENGTH_LIST);
    RestoreData(lengths);
    if (soundLengths.ArraySize(0) < 50) soundLengths.DimArray(50);
    for (;;) {
        int slot = ReadDataInt();
        int ticks = ReadDataInt();
        if (slot == 255) break;
        soundLengths(slot) = static_cast<float>(ticks);
    }
    ShowLoadingProgress(72, loadingStepCount);
}

void LoadTutorialCreatures() {
    DataList list(TUTORIAL_LIST);
    RestoreData(list);
    if (tutorialCreatures.ArraySize(0) < 42) tutorialCreatures.DimArray(42);
    for (int i = 0;; ++i) {
        int kind = ReadDataInt();
        if (kind == 255) break;
        tutorialCreatures(i) = kind;
    }
}

void BuildWaveTables() {
    if (titleWave.ArraySize(0) < 600) titleWave.DimArray(600);
    if (textWave.ArraySize(0) < 600) textWave.DimArray(600);
    for (int k = 0; k < 600; ++k) {
        titleWave(k) = 5 * SinDeg(static_cast<float>((3 * k) % 360));
        textWave(k) = 5 * SinDeg(static_cast<float>((2 * k) % 360));
    }
}

void BuildDipTable() {
    if (dipTable.ArraySize(0) < 90) dipTable.DimArray(90);
    for (int i = 0; i < 90; ++i) dipTable(i) = 120 + 120 * SinDeg(static_cast<float>(360 - i));
}
