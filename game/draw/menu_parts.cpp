// Shared menu pieces: bouncing titles, the blinking way out and the volume sliders.
#include "game/draw/menu_parts.h"

#include "game/draw/draw.h"
#include "game/state/globals.h"
#include "runtime/graphics/graphics_device.h"
#include "runtime/graphics/polygon_batch.h"

namespace {
const int BIG_FONT = 42;
const float BIG_ADVANCE = 32;
const int SLIDER_TRACK = 50;
const int SLIDER_KNOB = 70;
const int BUTTON_PLATE = 28;
const float PLATE_CAP = 15;      // the plate's rounded ends, in texels
const float SMALL_ADVANCE = 13;  // the small font's step
const float PLATE_PAD = 10;      // plate beyond the text on each side
const float PLATE_ABOVE = 5, PLATE_BELOW = 25;   // from the text's y

struct SliderRow {
    const char* label;
    float labelY, trackY, knobY;
};
const SliderRow SLIDERS[3] = {
    {"SOUND VOLUME", 68, 98, 93},
    {"MUSIC VOLUME", 135, 165, 160},
    {"SPEECH VOLUME", 202, 232, 227},
};

const float WHITE = 16777215.0f;
const float PLAIN_U0 = 528, PLAIN_V0 = 664, PLAIN_U1 = 534, PLAIN_V1 = 691;

float Clamped(float v) { return v < 0 ? 0 : v > 1 ? 1 : v; }
}  // namespace

void DrawBouncingTitle(const KString& title, float x0) {
    int phase = static_cast<int>(titleWavePhase);
    if (phase < 0 || phase >= 360) phase = 0;
    for (int n = 0; n < title.Length(); ++n) {
        int frame = static_cast<unsigned char>(title[n]) - 48;
        if (frame < 0 || frame >= ATLAS_FRAMES) continue;  // a space keeps its place
        float y = 2 * titleWave(phase + 10 * n) + 10;
        DrawAtlasFrame(BIG_FONT, static_cast<float>(frame), x0 + BIG_ADVANCE * n, y);
    }
}

float WayOutAlpha() {
    return menuAlpha <= -1 ? -1 + 0.04f * blinkCounter : menuAlpha;
}

void DrawButtonPlate(float left, float width, float y) {
    // Kept inside the design area, so a button at the screen's edge keeps its rounded end.
    float l = left - PLATE_PAD, r = left + width + PLATE_PAD;
    if (l < 0) l = 0;
    if (r > 320) r = 320;
    DrawAtlasItemSliced(BUTTON_PLATE, l, y - PLATE_ABOVE, r, y + PLATE_BELOW, PLATE_CAP);
}

void DrawTextButton(const KString& text, float align, float x, float y) {
    float width = SMALL_ADVANCE * text.Length();
    float start = align == 1 ? x - width : align == -1 ? x : x - static_cast<float>(static_cast<int>(width / 2));
    DrawButtonPlate(start, width, y);
    DrawText(text, align, x, y);
}

void DrawBackToMainMenu() {
    float alpha = WayOutAlpha();
    if (!(alpha < 0)) return;
    SetBlendMode(alpha);
    DrawTextButton("BACK TO MAIN MENU", 0, 160, 450);
}

void DrawPlainFill(float left, float top, float right, float bottom) {
    AddPolygonVertex(left, top, PLAIN_U0, PLAIN_V0, WHITE);
    AddPolygonVertex(left, bottom, PLAIN_U0, PLAIN_V1, WHITE);
    AddPolygonVertex(right, bottom, PLAIN_U1, PLAIN_V1, WHITE);
    AddPolygonVertex(right, bottom, PLAIN_U1, PLAIN_V1, WHITE);
    AddPolygonVertex(right, top, PLAIN_U1, PLAIN_V0, WHITE);
    AddPolygonVertex(left, top, PLAIN_U0, PLAIN_V0, WHITE);
}

void DrawVolumeSliders() {
    const float values[3] = {soundVolume, musicVolume, speechVolume};
    for (int i = 0; i < 3; ++i) {
        const SliderRow& row = SLIDERS[i];
        DrawText(row.label, 0, 160, row.labelY);
        DrawAtlasItem(SLIDER_TRACK, 1, row.trackY);
        DrawAtlasItem(SLIDER_KNOB, SLIDER_LEFT + SLIDER_SPAN * Clamped(values[i]), row.knobY);
    }
}

void DrawPauseMenu() {
    SetBlendMode(-1);
    DrawBouncingTitle("OPTIONS", 48);
    DrawVolumeSliders();
    SetBlendMode(-1 + 0.04f * blinkCounter);
    DrawTextButton("BACK", -1, 8, 290);
    DrawTextButton("QUIT", 1, 312, 290);
}
