// Music: one stream at a time on the mixer's music channel, with a cache of the last volume set.
#pragma once

#include "runtime/core/kstring.h"

// Stops any music, then loads and plays the named file (loop non-zero: forever, else once) at
// full volume. Starting music counts as the application being active, so a paused application
// resumes. A missing file sets error 3 and leaves no music playing.
void PlayMusicFile(const KString& name, float loop);
void StopMusic();
// With a non-zero flag: pauses the music if it plays, else resumes it. Zero does nothing.
void PauseMusic(float flag);
// Volume 0..1; setting the volume the cache already holds does not touch the mixer.
void SetMusicVolume(float volume);
float MusicPlaying();
