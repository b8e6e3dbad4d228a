// Sound slots: loading samples into numbered slots and playing them on the first free channel.
#include "runtime/audio/sound.h"

#include <cstdio>

#include "runtime/audio/music.h"
#include "runtime/audio/media_path.h"
#include "runtime/audio/sound_check.h"
#include "runtime/core/error_state.h"
#include "runtime/platform/platform.h"

namespace {
Platform::Chunk** soundSlots = nullptr;  // SOUND_SLOTS entries while audio is set up

// Slot numbers arrive as floats and are truncated; anything outside 0..4095 is out of range.
bool SlotInRange(float slot, int& index) {
    if (!(slot > -1.0f && slot < float(SOUND_SLOTS))) return false;
    index = int(slot);
    return true;
}
}  // namespace

void OpenAudio() {
    if (!soundSlots) soundSlots = new Platform::Chunk*[SOUND_SLOTS]();
    if (Platform::OpenAudio(44100, 0x8010, 2, 1024)) {
        Platform::ChannelVolume(-1, 128);
        Platform::MusicVolume(64);
    } else {
        std::printf("Can't init audio\n");
    }
}

void ShutdownAudio() {
    StopMusic();
    if (soundSlots) {
        for (int i = 0; i < SOUND_SLOTS; ++i) Platform::FreeChunk(soundSlots[i]);
        delete[] soundSlots;
        soundSlots = nullptr;
    }
    Platform::CloseAudio();
}

void LoadSound(const KString& name, float slot, float /*buffers*/) {
    ClearError();
    int index = 0;
    if (!SlotInRange(slot, index)) {
        SetError(ERROR_OUT_OF_MEMORY);
        return;
    }
    if (!soundSlots) return;
    KString path;
    if (!FindMediaPath(name, path)) path = name;
    Platform::FreeChunk(soundSlots[index]);
    soundSlots[index] = nullptr;
    const std::string wrong = CheckSoundFile(path.c_str());
    if (!wrong.empty()) {
        if (wrong != SOUND_FILE_UNREADABLE) std::fprintf(stderr, "Sound file %s not loaded: %s\n", path.c_str(), wrong.c_str());
        return;
    }
    soundSlots[index] = Platform::LoadWav(path.c_str());
}

float PlaySound(float slot, float pan, float volume) {
    int index = 0;
    if (!SlotInRange(slot, index)) {
        SetError(ERROR_OUT_OF_MEMORY);
        return 0;
    }
    float scaled = volume * 100.0f;
    int percent = 100;
    if (scaled < 100.0f) percent = scaled > 0.0f ? int(scaled) : 0;
    (void)pan;  // the play uses the chunk volume only; pan never reaches the mixer
    Platform::Chunk* sample = soundSlots ? soundSlots[index] : nullptr;
    if (!sample) return -1;
    Platform::ChunkVolume(sample, percent * 128 / 100);
    int channel = Platform::PlayChannel(-1, sample, 0);
    if (channel < 0) return -1;
    return float(channel + index * 256);
}

float SoundPlaying(float handle) {
    // Handles beyond the slot range (or not numbers at all) never reach the integer conversion.
    bool inRange = handle > -1.0f && handle < float(SOUND_SLOTS * 256);
    int value = inRange ? int(handle) : -1;
    int slot = value >> 8;
    if (slot < 0 || slot >= SOUND_SLOTS) {
        SetError(ERROR_OUT_OF_MEMORY);
        return 0;
    }
    return Platform::ChannelPlaying(value & 255) ? 1.0f : 0.0f;
}

void StopAllSounds() {
    // The first halt already stops every channel; the rest are harmless repeats.
    for (int i = 0; i < SOUND_SLOTS; ++i) Platform::HaltChannel(-1);
}
