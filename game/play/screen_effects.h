// Per-tick upkeep of the background and the screen effects: bubbles, brightness, backdrop
// scroll, frame counters, score popups, the effect pool (reward stars, burst pieces) and
// the control bar's alpha.
#pragma once

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
// The sparkles that run round the board's edge during the level bonus period: four start every
// 8 ticks, each fades out over 31. Cleared when a game starts.
void UpdateBonusSparkles();
void ClearBonusSparkles();
