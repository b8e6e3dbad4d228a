// Controls and records of the headless twin's audio device, for tests and tools.
// The device is silent but otherwise behaves like the mixer: 8 channels, chunk volumes,
// and a sound "plays" for its length on the virtual clock.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace NullAudio {

// false makes the next OpenAudio fail, as on a machine without a sound card (default true).
void SetDeviceAvailable(bool available);

struct PlayRecord {
    std::string path;    // the file the chunk was loaded from
    int channel = -1;
    int volume = 0;      // chunk volume 0..128 at the moment of the play
    uint32_t startMs = 0;
};
// Every successful channel play since the device opened (or the last ClearPlays).
const std::vector<PlayRecord>& Plays();
void ClearPlays();
// The file of the current music ("" when none is loaded).
const std::string& CurrentMusicPath();

}  // namespace NullAudio
