// Small shared board helpers: twins, effect sounds, selection and landing-sound resets.
#include "game/play/board_state.h"

#include "game/play/game_audio.h"
#include "runtime/audio/sound.h"

float TwinKind(float kind) {
    int k = static_cast<int>(kind);
    if (k < 1 || k > 8) return kind;
    return static_cast<float>(k % 2 == 1 ? k + 1 : k - 1);
}

float PlayEffectSound(float slot) {
    if (soundOn != 1) return -1;
    return PlaySound(slot, 0, soundVolume);
}

bool StillSounding(float handle) {
    return handle >= 0 && SoundPlaying(handle) != 0;
}

void ClearSelection() {
    selectedCell = 0;
    targetCell = 0;
}

void ResetLandingSound() {
    landingCount = 0;
    bounceSound = 11;
}

void EndLevelBreak() {
    levelBreak = 0;
    chainAwardPending = 0;
    multiAwardPending = 0;
    largestAwardPending = 0;
}

void SwitchTrack(const char* track) {
    musicTrack = track;
    if (musicOn == 1) PlayMusic(musicTrack, musicVolume);
}
