// The volume sliders: the finger's x sets the volume; the sound slider plays a sample at the new
// volume, the music slider changes the playing music's volume.
#include "game/shell/volume_sliders.h"

#include "game/play/game_audio.h"
#include "game/state/globals.h"
#include "runtime/audio/music.h"

namespace {
const float GRIP = 22;        // the knob's centre lies this far right of the value's x
const float SPAN = 276;
const float SOUND_SAMPLE = 6;
// A dragged slider plays its sample at most this often, not once a tick.
const float SAMPLE_GAP = 8;

struct Band {
    float top, bottom;
};
const Band SOUND_BAND = {67, 127}, MUSIC_BAND = {134, 194}, SPEECH_BAND = {201, 261};

bool InBand(const Band& b) { return touchY >= b.top && touchY <= b.bottom; }

float ValueAtFinger() {
    float x = touchX - GRIP;
    if (x < 1) return 0;
    if (x > SPAN - 1) return 1;
    return x / SPAN;
}

void SetSoundVolume(float v) {
    bool changed = v != soundVolume;
    soundVolume = v;
    if (changed && v > 0 && soundOn == 1 && sliderSoundTicks == 0) {
        PlayShellSound(SOUND_SAMPLE);
        sliderSoundTicks = SAMPLE_GAP;
    }
}

void SetMusicLevel(float v) {
    float old = musicVolume;
    musicVolume = v;
    if (musicOn != 1) return;
    // At zero the music falls silent; from zero it starts again.
    SetMusicVolume(v);
    if (v > 0 && old == 0 && !musicTrack.Empty()) PlayMusic(musicTrack, v);
}
}  // namespace

void DragVolumeSliders() {
    if (sliderSoundTicks > 0) sliderSoundTicks -= 1;
    if (touchDown != 1) return;
    float v = ValueAtFinger();
    if (InBand(SOUND_BAND)) {
        SetSoundVolume(v);
    } else if (InBand(MUSIC_BAND)) {
        if (v != musicVolume) SetMusicLevel(v);
    } else if (InBand(SPEECH_BAND)) {
        speechVolume = v;
    } else {
        return;
    }
    userActed = 1;
}
