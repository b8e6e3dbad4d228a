// The settings record "squibly.ach" (volumes, switches, challenge progress, high scores, the
// creatures connected over all games), the older scrambled "squibly.dat" read once, the
// defaults, and the order start-up reads them in.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>

#include "game/shell/save_files.h"
#include "game/shell/save_reader.h"
#include "game/state/globals.h"
#include "game/state/high_scores.h"
#include "runtime/core/files.h"

namespace {

const int SETTINGS_VALUES = 70;
const long SETTINGS_BYTES = SETTINGS_VALUES * 8;
const int FIRST_CHALLENGE = 6;
const int FIRST_SCORE = 21;
const int CONNECTED_TOTAL = 69;
const int LOW_QUALITY = 5;

// Scores and counts far beyond any game, but small enough for every whole-number use.
const float MAX_SCORE = 1e9f;
const float MAX_LEVEL = 9999;

using Record = std::array<float, SETTINGS_VALUES>;

bool TablesReady() { return highScores.ArraySize(0) == 4 && highScores.ArraySize(1) == 6 && challengeProgress.ArraySize(0) == 15; }

Record CurrentRecord() {
    Record r{};
    r[0] = musicVolume;
    r[1] = soundVolume;
    // The lesson mutes speech only while it runs; the player's own volume is the one to keep.
    r[2] = gameMode == 5 ? tutorialSavedSpeechVolume : speechVolume;
    r[3] = soundOn;
    r[4] = musicOn;
    r[5] = lowQuality;
    for (int i = 0; i < 15; ++i) r[FIRST_CHALLENGE + i] = challengeProgress(i);
    int k = FIRST_SCORE;
    for (int t = 0; t < 4; ++t)
        for (int s = 0; s < 6; ++s) {
            r[k++] = highScores(t, s, 0);
            r[k++] = highScores(t, s, 1);
        }
    r[CONNECTED_TOTAL] = creaturesConnectedTotal;
    return r;
}

float Checked(float v, ValueRange range, float fallback) { return range.Holds(v) ? v : fallback; }

// Each value is taken when it is sound and replaced by its default when it is not, so one
// damaged value costs only itself. lowQuality stays as it is when the record has none.
void TakeRecord(const Record& r, bool hasLowQuality) {
    const ValueRange volume{0, 1, false}, flag{0, 1, true};
    musicVolume = Checked(r[0], volume, 0.6f);
    soundVolume = Checked(r[1], volume, 1);
    speechVolume = Checked(r[2], volume, 1);
    soundOn = Checked(r[3], flag, 1);
    // 2 and 3 are the in-game sound switch's muted music, only ever stored with sound off.
    musicOn = Checked(r[4], soundOn == 0 ? ValueRange{0, 3, true} : flag, 1);
    if (hasLowQuality) lowQuality = Checked(r[LOW_QUALITY], flag, 0);
    // A MASTER or EXTREME challenge makes progress only once the tier below it is complete.
    for (int i = 0; i < 15; ++i) {
        float v = Checked(r[FIRST_CHALLENGE + i], ValueRange{0, 100, false}, 0);
        if (i % 3 != 0 && challengeProgress(i - 1) != 100) v = 0;
        challengeProgress(i) = v;
    }
    int k = FIRST_SCORE;
    for (int t = 0; t < 4; ++t) {
        std::array<std::pair<float, float>, 6> slots;
        for (int s = 0; s < 6; ++s, k += 2) {
            float score = r[k], level = r[k + 1];
            if (ValueRange{0, MAX_SCORE, true}.Holds(score) && ValueRange{0, MAX_LEVEL, true}.Holds(level)) {
                slots[s] = {score, level};
            } else {
                slots[s] = {DefaultHighScore(t, s), 0};
            }
        }
        // A default standing in for a damaged slot may break the order; the list stays best first.
        std::stable_sort(slots.begin(), slots.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
        for (int s = 0; s < 6; ++s) {
            highScores(t, s, 0) = slots[s].first;
            highScores(t, s, 1) = slots[s].second;
        }
    }
    creaturesConnectedTotal = Checked(r[CONNECTED_TOTAL], ValueRange{0, MAX_SCORE, true}, 0);
}

bool WriteSettingsFile() {
    if (!TablesReady()) return false;
    if (!OpenFileReplacing(1, SaveFilePath(settingsFile))) return false;
    for (float v : CurrentRecord()) WriteNum(1, v);
    return CommitFile(1) == 1;
}

bool SaveSettingsAnd(bool mayWait) {
    HandledFileErrors handled;
    if (saveDir.Empty() || !TablesReady()) return false;   // before start-up has set them
    if (WriteSettingsFile()) return true;
    ReportSaveFailure("settings", mayWait);
    return false;
}

int32_t LittleInt(const unsigned char* b) {
    return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
                                static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24);
}

}  // namespace

void SaveSettings() { SaveSettingsAnd(true); }

bool SaveSettingsNoWait() { return SaveSettingsAnd(false); }

void ResetProgress(float withSettings) {
    if (withSettings != 0) {
        musicVolume = 0.6f;
        soundOn = 1;
        lowQuality = 0;
        soundVolume = 1;
        speechVolume = 1;
        musicOn = 1;
    }
    SetDefaultHighScores();
    if (challengeProgress.ArraySize(0) != 15) challengeProgress.DimArray(15);
    for (int i = 0; i < 15; ++i) challengeProgress(i) = 0;
    challengesCompleted = 0;
    creaturesConnectedTotal = 0;
}

void LoadSettings() {
    HandledFileErrors handled;
    KString path = SaveFilePath(settingsFile);
    long size = FileExists(path) && OpenFile(1, path, 1) ? ChannelSize(1) : 0;
    if (size >= SETTINGS_BYTES) {
        BoundedReader in(1, size);
        Record r{};
        for (float& v : r) in.Num(v);
        TakeRecord(r, true);
    } else {
        ResetProgress(1);
    }
    // The file stays: it is replaced only once its successor is safely written.
    CloseFile(1);
}

bool LoadLegacySettings() {
    HandledFileErrors handled;
    KString path = SaveFilePath(legacySettingsFile);
    long size = FileExists(path) && OpenFile(1, path, 1) ? ChannelSize(1) : 0;
    bool recognised = false;
    if (size >= 2) {
        BoundedReader in(1, size);
        int length = 0;
        in.Word(length);
        if ((length == 229 || length == 230) && in.Left() >= length + 1) {
            unsigned char body[232] = {};
            for (int i = 0; i <= length; ++i) {
                int byte = 0;
                in.Byte(byte);
                body[i] = static_cast<unsigned char>(byte ^ (legacyKey(i) & 0xff));
            }
            bool hasLowQuality = length == 230;
            Record r{};
            for (int i = 0; i < 3; ++i) r[i] = static_cast<float>(LittleInt(body + 4 * i)) / 100;
            r[3] = body[12];
            r[4] = body[13];
            int at = 14;
            if (hasLowQuality) r[LOW_QUALITY] = body[at++];
            for (int i = 0; i < 15; ++i) r[FIRST_CHALLENGE + i] = body[at++];
            for (int k = FIRST_SCORE; k < CONNECTED_TOTAL; ++k, at += 4)
                r[k] = static_cast<float>(LittleInt(body + at));
            r[CONNECTED_TOTAL] = static_cast<float>(LittleInt(body + at));
            TakeRecord(r, hasLowQuality);
            recognised = true;
        }
    }
    CloseFile(1);
    if (!recognised) ResetProgress(1);
    return recognised;
}

void LoadSettingsAtStart() {
    HandledFileErrors handled;
    KString legacy = SaveFilePath(legacySettingsFile);
    bool legacyPresent = FileExists(legacy) != 0;
    bool loaded = legacyPresent && LoadLegacySettings();
    // A legacy file of an unknown layout must not wipe the scores of a good settings file.
    if (!loaded && FileExists(SaveFilePath(settingsFile))) {
        LoadSettings();
    } else if (!loaded) {
        ResetProgress(1);
    }
    if (SaveSettingsAnd(true) && legacyPresent) DeleteFile(legacy);
}
