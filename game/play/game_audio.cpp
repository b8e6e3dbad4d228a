// Music by base name and the shell's sound effects, for every screen and the game itself.
#include "game/play/game_audio.h"

#include "game/state/globals.h"
#include "runtime/audio/music.h"
#include "runtime/audio/sound.h"
#include "runtime/core/files.h"

KString MusicExtension() {
    return (platform >= 0 && platform <= 3) ? KString(".mp3") : KString(".ogg");
}

void PlayMusic(KString name, float volume) {
    if (musicOn != 1 || !(volume > 0)) return;
    SetCurrentDir(mediaDir);
    name += MusicExtension();
    PlayMusicFile(name, 1);
    SetMusicVolume(volume);
}

void PlayShellSound(float slot) {
    if (soundOn == 1) PlaySound(slot, 0, soundVolume);
}
