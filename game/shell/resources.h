// Loading the media behind the loading screen: atlases, sounds and their spoken lengths, the
// tutorial list, the wave tables and the loading screen itself.
#pragma once

#include "runtime/core/kstring.h"

void ShowLoadingProgress(float step, float total);
void PlayLoadingOutro();
void LoadSounds();
void LoadTutorialCreatures();
void BuildWaveTables();
void BuildDipTable();
// Loads an atlas picture from the media folder into a sprite; a picture that is missing or
// unreadable is reported on standard error with the folder (the game goes on without it).
void LoadAtlasPicture(const char* file, float sprite);
// False when start-up found no Media folder (reported once, on standard error).
bool MediaFolderFound();
// Fills the two game atlases (sprites 3 and 4) and the atlas table, moving the loading bar.
void LoadAtlases();

// Sound bank: slot -> file, in loading order (47 entries, one file twice; slots 9 and 10 stay empty).
struct SoundSlotFile {
    int slot;
    const char* file;
};
extern const SoundSlotFile SOUND_BANK[];
const int SOUND_BANK_SIZE = 47;
