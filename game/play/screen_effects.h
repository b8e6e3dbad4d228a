// Per-tick upkeep of the background and the screen effects: bubbles, brightness, backdrop
// scroll, frame counters, score popups, the effect pool (reward stars, burst pieces) and
// the control bar's alpha.
#pragma once

// Number of effect pool slots: 0 and 1 reward stars, 2 up to the last burst pieces.
const int EFFECT_SLOTS = 31;
const int BUBBLE_COUNT = 20;
const int POPUP_SLOTS = 10;

// Start-up: scatter the bubbles below the screen.
void LayoutBubbles();
// Every tick on every screen.
void UpdateBubbles();
void FadeBrightness();        // brightness toward brightnessTarget, backdrop scroll
void AdvanceFrameCounters();  // blinkCounter, animFrame, toggleTick
// Every playing tick.
void UpdatePopups();
void UpdateEffectPool();
void UpdateControlsAlpha();
