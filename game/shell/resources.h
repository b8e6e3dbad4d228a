// Loading the media behind the loading screen: sounds and their spoken lengths, the tutorial list,
// the wave tables, the loading screen itself, and music by base name.
#pragma once

#include "runtime/core/kstring.h"

void ShowLoadingProgress(float step, float total);
void PlayLoadingOutro();
void LoadSounds();
void LoadTutorialCreatures();
void BuildWaveTables();
void BuildDipTable();
void PlayMusic(KString name, float volume);
// The platform's music file extension: ".mp3" on platforms 0 to 3, ".ogg" elsewhere.
KString MusicExtension();
// Plays a shell sound at soundVolume when sound effects are on.
void PlayShellSound(float slot);

// Sound bank: slot -> file, in loading order (47 entries, one file twice; slots 9 and 10 stay empty).
struct SoundSlotFile {
    int slot;
    const char* file;
};
extern const SoundSlotFile SOUND_BANK[];
const int SOUND_BANK_SIZE = 47;
