// Pieces the menu screens share: the bouncing title, the blinking way-out line and the three
// volume sliders (the options screen and the pause menu both show them).
#pragma once

#include "runtime/core/kstring.h"

// Design-area layout of the volume sliders: knob x = SLIDER_LEFT + SLIDER_SPAN * value.
const float SLIDER_LEFT = 8;
const float SLIDER_SPAN = 276;

// A title in the big font, one letter every 32 units from x0, each letter bobbing on the title
// wave a little after the one before it.
void DrawBouncingTitle(const KString& title, float x0);

// The blend value of a blinking way-out line: a gentle pulse once the screen is fully shown,
// otherwise the screen's own fade.
float WayOutAlpha();

// "BACK TO MAIN MENU" along the bottom of a menu screen, blinking, on its button plate.
void DrawBackToMainMenu();

// A line of small text on a rounded button plate fitted round it (align as DrawText: 1 ends at x,
// -1 starts at x, 0 centres on x), so that a tappable line looks like a button.
void DrawTextButton(const KString& text, float align, float x, float y);
// The plate alone, over a row of text starting at `left` and `width` units wide.
void DrawButtonPlate(float left, float width, float y);

// The atlas's plain translucent dark fill stretched over a rectangle given in screen pixels (the
// options' confirmation box, the dimming behind the rating prompt).
void DrawPlainFill(float left, float top, float right, float bottom);

// The labels, tracks and knobs of the sound, music and speech volumes, in the blend in force.
void DrawVolumeSliders();
