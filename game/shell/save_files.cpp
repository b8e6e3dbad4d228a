// Save files. Until the file formats are in place the game starts from defaults every run and
// writes nothing; ResetProgress already restores the default settings and clears progress.
#include "game/state/globals.h"
#include "game/state/high_scores.h"
#include "game/shell/save_files.h"

void SaveSettings() {}
void LoadSettings() {}
void LoadLegacySettings() {}

void ResetProgress(float withSettings) {
    if (withSettings == 1) {
        musicVolume = 0.6f;
        soundVolume = 1;
        speechVolume = 1;
        soundOn = 1;
        musicOn = 1;
        lowQuality = 0;
    }
    creaturesConnectedTotal = 0;
    SetDefaultHighScores();
    if (challengeProgress.ArraySize(0) != 15) challengeProgress.DimArray(15);
    for (int i = 0; i < 15; ++i) challengeProgress(i) = 0;
    challengesCompleted = 0;
}

void SaveGame() {}
void LoadGame() {}

void LoadRatingState() {
    gamesPlayed = 0;
    hasRated = 0;
    rateDeclines = 0;
}

void SaveRatingState() {}
