// Sound effects: the numbered sound slots and fire-and-forget playback on the mixer channels.
// A playing instance is named by its handle = slot * 256 + channel (-1 when nothing played).
#pragma once

#include "runtime/core/kstring.h"

const int SOUND_SLOTS = 4096;

// Opens the audio device (44100 Hz, signed 16-bit, stereo, 1024-sample chunks) and makes the
// empty slot table. When the device cannot open it prints "Can't init audio" and the program
// runs silent: loads leave their slots empty and plays return -1.
void OpenAudio();
// Frees every loaded sound and the slot table, stops the music and closes the device.
void ShutdownAudio();

// Loads a WAV (or any format the mixer reads) into a slot, replacing what was there.
// A slot of 4096 or more sets error 7; a file that fails to load leaves the slot empty.
void LoadSound(const KString& name, float slot, float buffers);
// Plays a slot once at volume 0..1 (pan is accepted but does not change the output).
// Returns the handle, -1 when the slot is empty or no channel is free, 0 (error 7) for a bad slot.
float PlaySound(float slot, float pan, float volume);
// 1 while the handle's channel is playing (whatever it plays by now), else 0.
float SoundPlaying(float handle);
void StopAllSounds();
