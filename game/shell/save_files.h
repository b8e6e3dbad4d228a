// Save files: settings, scores and challenge progress, the interrupted game and the rating state.
// Every file is replaced whole (a temporary file put in place once it is safely on disk), so a
// kill or a full disk leaves the old file or the new one; every file read is checked value by
// value before the game takes it.
#pragma once

#include "runtime/core/kstring.h"

// Where a save file lives: the save folder joined with its name. The one place that turns
// saveDir into paths.
KString SaveFilePath(const KString& name);

// Writes "squibly.ach". A failure shows the save-error screen, which waits for a tap.
void SaveSettings();
// The same for the pause, quit and shut-down paths: a failure is printed, never waited on.
// Returns whether the file now holds the settings.
bool SaveSettingsNoWait();
void LoadSettings();
// Reads "squibly.dat"; true when its layout was recognised (the caller deletes it once the
// settings it held are safely written again).
bool LoadLegacySettings();
void ResetProgress(float withSettings);
// Start-up step 9: the legacy file, else the settings file, else defaults; then written again.
void LoadSettingsAtStart();

void SaveGame();
void LoadGame();
void LoadRatingState();
void SaveRatingState();

// The marker a save caught half-way through a tick leaves behind.
extern const char* const BAD_SAVE_MARKER;

// The save-error screen: one frame with the four lines, then a wait for a tap.
void ShowSaveErrorScreen();
// Prints why a save failed; shows the save-error screen too when mayWait and no other copy of
// it is already waiting.
void ReportSaveFailure(const char* what, bool mayWait);
