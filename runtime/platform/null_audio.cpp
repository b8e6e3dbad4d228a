// The audio half of the headless twin: a silent device that accepts what the mixer would,
// times sounds on the virtual clock and records what was played.
#include "runtime/platform/null_audio.h"
#include "runtime/platform/platform.h"

#include <cstdio>
#include <cstring>

namespace Platform {
struct Chunk {
    std::string path;
    uint32_t lengthMs = 0;
    int volume = 128;
};
struct Music {
    std::string path;
};
}  // namespace Platform

namespace {

const int MIXER_CHANNELS = 8;  // SDL_mixer's default count

struct ChannelState {
    const Platform::Chunk* chunk = nullptr;
    bool forever = false;
    uint32_t endMs = 0;
    int volume = 128;
};

bool deviceAvailable = true;
bool audioOpen = false;
bool suspended = false;   // closed for a pause; opens again as it was
std::vector<ChannelState> channels;
std::vector<NullAudio::PlayRecord> plays;
const Platform::Music* currentMusic = nullptr;
std::string currentMusicPath;
bool musicPaused = false;
int musicVolume = 128;
unsigned musicVolumeCalls = 0;

uint32_t Le32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
uint16_t Le16(const unsigned char* p) { return uint16_t(p[0] | p[1] << 8); }

// Reads a file's head and, for RIFF WAVE, its length; other sound formats the mixer decodes
// count as one second long. Returns false for anything the mixer would reject.
bool ProbeSound(const char* path, uint32_t& lengthMs) {
    FILE* f = path ? std::fopen(path, "rb") : nullptr;
    if (!f) return false;
    unsigned char head[12] = {};
    size_t got = std::fread(head, 1, sizeof head, f);
    bool ok = false;
    lengthMs = 1000;
    if (got == 12 && !std::memcmp(head, "RIFF", 4) && !std::memcmp(head + 8, "WAVE", 4)) {
        uint32_t byteRate = 0, dataSize = 0;
        bool haveFmt = false, haveData = false;
        unsigned char ch[8];
        while (!haveData && std::fread(ch, 1, 8, f) == 8) {
            uint32_t size = Le32(ch + 4);
            if (!std::memcmp(ch, "fmt ", 4) && size >= 16) {
                unsigned char fmt[16];
                if (std::fread(fmt, 1, 16, f) != 16) break;
                uint16_t channelsIn = Le16(fmt + 2), bits = Le16(fmt + 14);
                byteRate = Le32(fmt + 8);
                haveFmt = channelsIn >= 1 && byteRate > 0 && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
                if (std::fseek(f, long(size - 16 + (size & 1)), SEEK_CUR) != 0) break;
            } else if (!std::memcmp(ch, "data", 4)) {
                dataSize = size;
                haveData = true;
            } else if (std::fseek(f, long(size + (size & 1)), SEEK_CUR) != 0) {
                break;
            }
        }
        ok = haveFmt && haveData;
        if (ok) lengthMs = uint32_t(uint64_t(dataSize) * 1000 / byteRate);
    } else if (got >= 4 && (!std::memcmp(head, "OggS", 4) || !std::memcmp(head, "FORM", 4) ||
                            !std::memcmp(head, "Creative", 4))) {
        ok = true;
    }
    std::fclose(f);
    return ok;
}

bool ProbeMusic(const char* path) {
    FILE* f = path ? std::fopen(path, "rb") : nullptr;
    if (!f) return false;
    unsigned char head[4] = {};
    size_t got = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    if (got < 4) return false;
    return !std::memcmp(head, "OggS", 4) || !std::memcmp(head, "ID3", 3) || !std::memcmp(head, "RIFF", 4) ||
           !std::memcmp(head, "MThd", 4) || (head[0] == 0xFF && (head[1] & 0xE0) == 0xE0);
}

bool Busy(const ChannelState& c) {
    return c.chunk && (c.forever || int32_t(c.endMs - Platform::Ticks()) > 0);
}

}  // namespace

namespace NullAudio {
void SetDeviceAvailable(bool available) { deviceAvailable = available; }
const std::vector<PlayRecord>& Plays() { return plays; }
void ClearPlays() { plays.clear(); }
const std::string& CurrentMusicPath() { return currentMusicPath; }
}  // namespace NullAudio

namespace Platform {

bool OpenAudio(int frequency, uint16_t, int, int) {
    if (audioOpen) return true;
    if (!deviceAvailable || frequency <= 0) return false;
    channels.assign(MIXER_CHANNELS, ChannelState());
    plays.clear();
    musicVolume = 128;
    audioOpen = true;
    return true;
}

void CloseAudio() {
    audioOpen = false;
    suspended = false;
    channels.clear();
    currentMusic = nullptr;
    currentMusicPath.clear();
    musicPaused = false;
}

bool AudioOpen() { return audioOpen; }

void SuspendAudio(bool suspend) {
    if (suspend == suspended) return;
    if (suspend && !audioOpen) return;   // a device that never opened stays closed
    suspended = suspend;
    if (suspend) {
        for (ChannelState& c : channels) c.chunk = nullptr;   // what was sounding is cut off
    }
    audioOpen = !suspend;
}

int AllocateChannels(int count) {
    if (!audioOpen) return 0;
    if (count >= 0) channels.resize(size_t(count));
    return int(channels.size());
}

int ChannelVolume(int channel, int volume) {
    if (!audioOpen) return 0;
    if (channel < 0) {
        int sum = 0;
        for (ChannelState& c : channels) {
            sum += c.volume;
            if (volume >= 0) c.volume = volume > 128 ? 128 : volume;
        }
        return channels.empty() ? 0 : sum / int(channels.size());
    }
    if (size_t(channel) >= channels.size()) return 0;
    int old = channels[size_t(channel)].volume;
    if (volume >= 0) channels[size_t(channel)].volume = volume > 128 ? 128 : volume;
    return old;
}

int ChunkVolume(Chunk* chunk, int volume) {
    if (!chunk) return 0;
    int old = chunk->volume;
    if (volume >= 0) chunk->volume = volume > 128 ? 128 : volume;
    return old;
}

Chunk* LoadWav(const char* path) {
    uint32_t lengthMs = 0;
    if (!audioOpen || !ProbeSound(path, lengthMs)) return nullptr;
    Chunk* chunk = new Chunk;
    chunk->path = path;
    chunk->lengthMs = lengthMs;
    return chunk;
}

void FreeChunk(Chunk* chunk) {
    if (!chunk) return;
    for (ChannelState& c : channels)
        if (c.chunk == chunk) c = ChannelState{nullptr, false, 0, c.volume};
    delete chunk;
}

int PlayChannel(int channel, Chunk* chunk, int loops) {
    if (!audioOpen || !chunk) return -1;
    if (channel < 0) {
        for (size_t i = 0; i < channels.size(); ++i)
            if (!Busy(channels[i])) {
                channel = int(i);
                break;
            }
        if (channel < 0) return -1;
    } else if (size_t(channel) >= channels.size()) {
        return -1;
    }
    ChannelState& c = channels[size_t(channel)];
    c.chunk = chunk;
    c.forever = loops < 0;
    c.endMs = Platform::Ticks() + chunk->lengthMs * uint32_t(loops + 1);
    plays.push_back({chunk->path, channel, chunk->volume, Platform::Ticks()});
    return channel;
}

bool ChannelPlaying(int channel) {
    if (!audioOpen) return false;
    if (channel < 0) {
        for (const ChannelState& c : channels)
            if (Busy(c)) return true;
        return false;
    }
    return size_t(channel) < channels.size() && Busy(channels[size_t(channel)]);
}

void HaltChannel(int channel) {
    for (size_t i = 0; i < channels.size(); ++i)
        if (channel < 0 || int(i) == channel) channels[i].chunk = nullptr;
}

Music* LoadMusic(const char* path) {
    if (!audioOpen || !ProbeMusic(path)) return nullptr;
    Music* music = new Music;
    music->path = path;
    return music;
}

void FreeMusic(Music* music) {
    if (!music) return;
    if (currentMusic == music) {
        currentMusic = nullptr;
        currentMusicPath.clear();
        musicPaused = false;
    }
    delete music;
}

// A music has no length here: once started it plays until halted.
bool PlayMusic(Music* music, int) {
    if (!audioOpen || !music) return false;
    currentMusic = music;
    currentMusicPath = music->path;
    musicPaused = false;
    return true;
}

void HaltMusic() {
    currentMusic = nullptr;
    currentMusicPath.clear();
    musicPaused = false;
}

void PauseMusic() {
    if (currentMusic) musicPaused = true;
}

void ResumeMusic() { musicPaused = false; }

int MusicVolume(int volume) {
    int old = musicVolume;
    if (volume >= 0) {
        ++musicVolumeCalls;
        musicVolume = volume > 128 ? 128 : volume;
    }
    return old;
}

bool MusicPlaying() { return audioOpen && currentMusic != nullptr; }

bool MusicPaused() { return audioOpen && currentMusic != nullptr && musicPaused; }

unsigned MusicVolumeCalls() { return musicVolumeCalls; }

}  // namespace Platform
