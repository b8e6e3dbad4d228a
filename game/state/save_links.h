// Saving belongs to the shell, above gameplay. Gameplay saves the settings when a challenge is
// completed or the pause ends, and the rating state when a scored game ends; it reaches the
// shell's routines through these links, which start-up sets. Unset, nothing is saved (the rule
// tests run gameplay without the shell's files).
#pragma once

extern void (*saveSettingsLink)();
extern void (*saveRatingStateLink)();

inline void SaveSettingsFromPlay() {
    if (saveSettingsLink) saveSettingsLink();
}
inline void SaveRatingStateFromPlay() {
    if (saveRatingStateLink) saveRatingStateLink();
}
