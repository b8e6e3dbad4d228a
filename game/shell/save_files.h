// Save files: settings, scores and challenge progress, the interrupted game and the rating state.
#pragma once

void SaveSettings();
void LoadSettings();
void LoadLegacySettings();
void ResetProgress(float withSettings);
void SaveGame();
void LoadGame();
void LoadRatingState();
void SaveRatingState();
