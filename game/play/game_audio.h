// Music by base name and the shell's sound effects.
#pragma once

#include "runtime/core/kstring.h"

// Starts a track by base name (the platform's extension added) when music is on and the volume
// is above 0; the caller passes a copy of musicTrack.
void PlayMusic(KString name, float volume);
// The platform's music file extension: ".mp3" on platforms 0 to 3, ".ogg" elsewhere.
KString MusicExtension();
// Plays a shell sound at soundVolume when sound effects are on.
void PlayShellSound(float slot);
