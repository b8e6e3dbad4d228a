// The audio half of the SDL twin: SDL_mixer 1.2 behind the platform edge's audio calls.
#include "runtime/platform/platform.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

namespace Platform {

namespace {
bool audioOpen = false;
unsigned musicVolumeCalls = 0;

Mix_Chunk* AsMix(Chunk* chunk) { return reinterpret_cast<Mix_Chunk*>(chunk); }
Mix_Music* AsMix(Music* music) { return reinterpret_cast<Mix_Music*>(music); }
}  // namespace

bool OpenAudio(int frequency, uint16_t format, int channels, int chunkSize) {
    if (audioOpen) return true;
    audioOpen = Mix_OpenAudio(frequency, format, channels, chunkSize) == 0;
    return audioOpen;
}

void CloseAudio() {
    if (!audioOpen) return;
    Mix_CloseAudio();
    audioOpen = false;
}

bool AudioOpen() { return audioOpen; }

int AllocateChannels(int count) { return audioOpen ? Mix_AllocateChannels(count) : 0; }

int ChannelVolume(int channel, int volume) { return audioOpen ? Mix_Volume(channel, volume) : 0; }

int ChunkVolume(Chunk* chunk, int volume) { return chunk ? Mix_VolumeChunk(AsMix(chunk), volume) : 0; }

Chunk* LoadWav(const char* path) {
    if (!audioOpen || !path) return nullptr;
    SDL_RWops* rw = SDL_RWFromFile(path, "rb");
    if (!rw) return nullptr;
    return reinterpret_cast<Chunk*>(Mix_LoadWAV_RW(rw, 1));
}

void FreeChunk(Chunk* chunk) {
    if (chunk) Mix_FreeChunk(AsMix(chunk));
}

int PlayChannel(int channel, Chunk* chunk, int loops) {
    if (!audioOpen || !chunk) return -1;
    return Mix_PlayChannelTimed(channel, AsMix(chunk), loops, -1);
}

bool ChannelPlaying(int channel) { return audioOpen && Mix_Playing(channel) != 0; }

void HaltChannel(int channel) {
    if (audioOpen) Mix_HaltChannel(channel);
}

Music* LoadMusic(const char* path) {
    if (!audioOpen) {
        SDL_SetError("Audio device hasn't been opened");
        return nullptr;
    }
    return reinterpret_cast<Music*>(Mix_LoadMUS(path));
}

void FreeMusic(Music* music) {
    if (music) Mix_FreeMusic(AsMix(music));
}

bool PlayMusic(Music* music, int loops) { return music && Mix_PlayMusic(AsMix(music), loops) == 0; }

void HaltMusic() {
    if (audioOpen) Mix_HaltMusic();
}

void PauseMusic() {
    if (audioOpen) Mix_PauseMusic();
}

void ResumeMusic() {
    if (audioOpen) Mix_ResumeMusic();
}

int MusicVolume(int volume) {
    if (volume >= 0) ++musicVolumeCalls;
    return audioOpen ? Mix_VolumeMusic(volume) : 0;
}

bool MusicPlaying() { return audioOpen && Mix_PlayingMusic() != 0; }

bool MusicPaused() { return audioOpen && Mix_PausedMusic() != 0; }

unsigned MusicVolumeCalls() { return musicVolumeCalls; }

}  // namespace Platform
