// Sound and music files are untrusted input: their headers are checked before the mixer sees
// them. The mixer converts every sound to the device's rate and channel count with a fixed table
// of steps, which a header claiming no channels, or a rate far from the device's, overruns.
#pragma once

#include <string>

// The sample rates and channel counts the mixer converts safely.
const int SOUND_MIN_RATE = 4000;
const int SOUND_MAX_RATE = 384000;
const int SOUND_MAX_CHANNELS = 2;

// The reason given for a file that cannot be opened at all (missing files are not reported).
const char SOUND_FILE_UNREADABLE[] = "it cannot be read";

// "" when the file may go to the mixer as a sound (PCM WAV of 8 or 16 bits, or Ogg Vorbis),
// else why not.
std::string CheckSoundFile(const char* path);
// The same for a music stream: the mixer picks the decoder by the name's extension (.ogg, .mp3,
// .wav), else by the content; Ogg Vorbis, MP3 and PCM WAV pass when their headers are sound.
std::string CheckMusicFile(const char* path);

// The checks on bytes already read (the start of the file, at most `size` bytes; a WAV's chunks
// are followed within them, and `fileSize` is the whole file's length).
std::string CheckWavHeader(const unsigned char* data, size_t size, size_t fileSize);
std::string CheckVorbisHeader(const unsigned char* data, size_t size);
std::string CheckMp3Header(const unsigned char* data, size_t size);
