// libFuzzer harnesses over the save files, one binary per file (SAVE_FUZZ_FILE names it): the
// input is put in place as that file (for the saved game, its first 8 bytes are the check value
// "squibly.tes" and the rest is "squibly.sav"), the real start-up reads it on the headless twin,
// and the game plays on for a second. Nothing may end the program (a "KRT Error" exit is a
// finding), read or write memory it should not, or leave settings or a game state that does
// not hold together.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fuzz/save_fuzz_game.h"
#include "game/play/play.h"
#include "game/shell/saved_game_fields.h"

namespace {

SavedRecord* baseline = nullptr;

void Finding(const char* what, const std::string& detail) {
    fprintf(stderr, "save fuzzer: %s: %s\n", what, detail.c_str());
    abort();
}

bool Between(float v, float lo, float hi) { return std::isfinite(v) && v >= lo && v <= hi; }

void CheckSettings() {
    for (float v : {musicVolume, soundVolume, speechVolume})
        if (!Between(v, 0, 1)) Finding("a volume out of range", std::to_string(v));
    if (!(soundOn == 0 || soundOn == 1) || !(lowQuality == 0 || lowQuality == 1)) Finding("a switch", "");
    if (!Between(musicOn, 0, 3) || musicOn != std::trunc(musicOn)) Finding("the music switch", std::to_string(musicOn));
    for (int i = 0; i < 15; ++i)
        if (!Between(challengeProgress(i), 0, 100)) Finding("challenge progress", std::to_string(i));
    for (int t = 0; t < 4; ++t)
        for (int s = 0; s < 6; ++s) {
            if (!Between(highScores(t, s, 0), 0, 1e9f) || !Between(highScores(t, s, 1), 0, 9999))
                Finding("a high score", std::to_string(t * 6 + s));
            if (s > 0 && highScores(t, s, 0) > highScores(t, s - 1, 0)) Finding("a table out of order", "");
        }
    if (!Between(creaturesConnectedTotal, 0, 1e9f)) Finding("creatures connected", "");
    if (!(hasRated == 0 || hasRated == 1) || rateDeclines < 0 || rateDeclines > 2) Finding("the rating state", "");
}

// What start-up leaves, resumed or fresh, passes every check a saved game must pass.
void CheckStartedState() {
    std::string fault = SavedGameResumeFault();
    if (!fault.empty()) Finding("a state that does not hold together", fault);
}

// After play from a state no real game reaches (values at the edges of their ranges), the
// values may wander out of those ranges (a far-off effect keeps moving); what must hold is
// what the board routines index by.
void CheckPlayedState() {
    if (!PlayStateIsSound()) Finding("a played state the board routines cannot use", "");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    save_fuzz::StartRuntime();
    save_fuzz::RemoveSaveFiles();
    save_fuzz::Start();
    // Every run starts from the same state, whatever the previous input left.
    baseline = new SavedRecord(CaptureSavedGame());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    save_fuzz::RemoveSaveFiles();
    const char* file = SAVE_FUZZ_FILE;
    if (strcmp(file, "squibly.sav") == 0) {
        size_t check = size < 8 ? size : 8;
        save_fuzz::WriteFile("squibly.tes", data, check);
        save_fuzz::WriteFile("squibly.sav", data + check, size - check);
    } else {
        save_fuzz::WriteFile(file, data, size);
    }
    ApplySavedGame(*baseline);
    save_fuzz::Start();
    CheckSettings();
    CheckStartedState();
    save_fuzz::Play(60);
    CheckSettings();
    CheckPlayedState();
    return 0;
}
