// The audio half of the browser twin: Emscripten's SDL_mixer, which plays through Web Audio.
// Where that mixer differs from SDL_mixer 1.2, the twin keeps the desktop's behaviour:
// - it has no chunk volumes, so a chunk's volume is kept here and applied to the channel that
//   plays it (multiplied by the channel's own volume, as the real mixer mixes);
// - it opens 32 channels and never shrinks; the twin plays on the first 8 only (the real mixer's
//   default), choosing the free channel itself, so a play fails when those 8 are busy;
// - music that is paused still counts as playing;
// - until the player's first touch the browser holds sound back: effects asked for meanwhile
//   are not queued up to burst out at that touch, they are not played at all (as when every
//   channel is busy); music started meanwhile begins with the touch.
#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

#include <vector>

#include "runtime/platform/platform.h"
#include "runtime/platform/web_browser.h"

namespace Platform {

struct Chunk {
    Mix_Chunk* mix = nullptr;
    int volume = 128;
};

namespace {
const int MAX_VOLUME = 128;
const int DEFAULT_CHANNELS = 8;

bool audioOpen = false;
unsigned musicVolumeCalls = 0;
std::vector<int> channelVolumes;
std::vector<Chunk*> channelChunks;   // what each channel last played

Mix_Music* AsMix(Music* music) { return reinterpret_cast<Mix_Music*>(music); }

int Clamp(int volume) { return volume < 0 ? 0 : (volume > MAX_VOLUME ? MAX_VOLUME : volume); }

bool ValidChannel(int channel) { return channel >= 0 && channel < static_cast<int>(channelVolumes.size()); }

// The volume the mixer would play channel at: its own volume times that of its chunk.
void ApplyVolume(int channel) {
    if (!ValidChannel(channel)) return;
    const Chunk* chunk = channelChunks[channel];
    const int chunkVolume = chunk ? chunk->volume : MAX_VOLUME;
    Mix_Volume(channel, channelVolumes[channel] * chunkVolume / MAX_VOLUME);
}

void SetChannelCount(int count) {
    Mix_AllocateChannels(count);
    channelVolumes.assign(count, MAX_VOLUME);
    channelVolumes.shrink_to_fit();
    channelChunks.assign(count, nullptr);
}
}  // namespace

bool OpenAudio(int frequency, uint16_t format, int channels, int chunkSize) {
    if (audioOpen) return true;
    audioOpen = Mix_OpenAudio(frequency, format, channels, chunkSize) == 0;
    if (audioOpen) SetChannelCount(DEFAULT_CHANNELS);
    return audioOpen;
}

void CloseAudio() {
    if (!audioOpen) return;
    Mix_HaltChannel(-1);
    Mix_HaltMusic();
    audioOpen = false;
}

bool AudioOpen() { return audioOpen; }

// A hidden page's sound is stopped by the page itself (web_browser.js), so nothing to do here.
void SuspendAudio(bool) {}

int AllocateChannels(int count) {
    if (!audioOpen) return 0;
    if (count >= 0) SetChannelCount(count);
    return static_cast<int>(channelVolumes.size());
}

int ChannelVolume(int channel, int volume) {
    if (!audioOpen || channelVolumes.empty()) return 0;
    if (channel < 0) {
        int sum = 0;
        for (int v : channelVolumes) sum += v;
        const int average = sum / static_cast<int>(channelVolumes.size());
        if (volume >= 0) {
            for (int c = 0; c < static_cast<int>(channelVolumes.size()); ++c) {
                channelVolumes[c] = Clamp(volume);
                ApplyVolume(c);
            }
        }
        return average;
    }
    if (!ValidChannel(channel)) return 0;
    const int previous = channelVolumes[channel];
    if (volume >= 0) {
        channelVolumes[channel] = Clamp(volume);
        ApplyVolume(channel);
    }
    return previous;
}

int ChunkVolume(Chunk* chunk, int volume) {
    if (!chunk) return 0;
    const int previous = chunk->volume;
    if (volume >= 0) {
        chunk->volume = Clamp(volume);
        // The volume belongs to the sample: an instance still sounding follows it.
        for (int c = 0; c < static_cast<int>(channelChunks.size()); ++c) {
            if (channelChunks[c] == chunk && Mix_Playing(c)) ApplyVolume(c);
        }
    }
    return previous;
}

Chunk* LoadWav(const char* path) {
    if (!audioOpen || !path) return nullptr;
    SDL_RWops* rw = SDL_RWFromFile(path, "rb");
    if (!rw) return nullptr;
    Mix_Chunk* mix = Mix_LoadWAV_RW(rw, 0);
    SDL_FreeRW(rw);
    if (!mix) return nullptr;
    Chunk* chunk = new Chunk;
    chunk->mix = mix;
    return chunk;
}

void FreeChunk(Chunk* chunk) {
    if (!chunk) return;
    for (Chunk*& c : channelChunks) {
        if (c == chunk) c = nullptr;
    }
    Mix_FreeChunk(chunk->mix);
    delete chunk;
}

int PlayChannel(int channel, Chunk* chunk, int loops) {
    if (!audioOpen || !chunk || !WebBrowser::AudioRunning()) return -1;
    if (channel < 0) {
        for (int c = 0; c < static_cast<int>(channelVolumes.size()) && channel < 0; ++c) {
            if (!Mix_Playing(c)) channel = c;
        }
        if (channel < 0) return -1;
    }
    if (!ValidChannel(channel)) return -1;
    const int played = Mix_PlayChannel(channel, chunk->mix, loops);
    if (!ValidChannel(played)) return -1;
    channelChunks[played] = chunk;
    ApplyVolume(played);
    return played;
}

bool ChannelPlaying(int channel) { return audioOpen && ValidChannel(channel) && Mix_Playing(channel) != 0; }

void HaltChannel(int channel) {
    if (!audioOpen) return;
    if (channel < 0 || ValidChannel(channel)) Mix_HaltChannel(channel);
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

bool PlayMusic(Music* music, int loops) { return audioOpen && music && Mix_PlayMusic(AsMix(music), loops) == 0; }

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

bool MusicPlaying() { return audioOpen && (Mix_PlayingMusic() != 0 || Mix_PausedMusic() != 0); }

bool MusicPaused() { return audioOpen && Mix_PausedMusic() != 0; }

unsigned MusicVolumeCalls() { return musicVolumeCalls; }

}  // namespace Platform
