// The interrupted game: "squibly.sav" (a nonce, the record of the field table, the nonce again),
// its companion "squibly.tes" that decides whether it is resumed, and the marker of a save
// caught half-way through a tick.
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <string>

#include "game/shell/save_files.h"
#include "game/shell/save_reader.h"
#include "game/shell/saved_game_fields.h"
#include "game/state/globals.h"
#include "runtime/core/files.h"
#include "runtime/core/numeric.h"

const char* const BAD_SAVE_MARKER = "badsquib.dat";

namespace {

const long SMALLEST_SAVED_GAME = 10044;
// A game paused within its first second, or one the player never touched, is not resumed.
const float RESUME_CHECK_MINIMUM = 56;
const ValueRange NONCE{0, 32000, true};

void WriteRecord(float nonce, const SavedRecord& r) {
    WriteNum(2, nonce);
    size_t v = 0, t = 0;
    for (const SavedField& s : SavedGameFields()) {
        if (s.count == 0) {
            const KString& text = r.texts[t++];
            WriteNum(2, static_cast<float>(text.Length()));
            WriteStr(2, text);
        } else {
            for (int i = 0; i < s.count; ++i) WriteNum(2, r.values[v++]);
        }
    }
    WriteNum(2, nonce);
}

void MarkHalfWaySave() {
    // The state is between two halves of a tick: better no saved game than a torn one.
    DeleteFile(SaveFilePath(savedGameFile));
    if (OpenFileReplacing(2, SaveFilePath(BAD_SAVE_MARKER))) {
        WriteNum(2, 10);
        CommitFile(2);
    }
    printf("game not saved: a save arrived in the middle of a tick\n");
    fflush(stdout);
}

// Reads the record after the opening nonce into `r`, field by field, never past the end.
// Returns the name of what was wrong, or nullptr.
const char* ReadRest(BoundedReader& in, SavedRecord& r, size_t headValues) {
    size_t skipped = 0;
    for (const SavedField& s : SavedGameFields()) {
        if (s.count == 0) {
            float length = 0;
            if (!in.Num(length) || !ValueRange{0, LONGEST_SAVED_TEXT, true}.Holds(length)) return "a text length";
            KString text;
            if (!in.Text(text, static_cast<long>(length))) return "a text";
            r.texts.push_back(text);
            continue;
        }
        for (int i = 0; i < s.count; ++i) {
            if (skipped < headValues) {   // the head was read already
                ++skipped;
                continue;
            }
            float v = 0;
            if (!in.Num(v)) return "the record's length";
            r.values.push_back(v);
        }
    }
    return nullptr;
}

// Restores the record on channel 2; returns why it was not, or "" when it was.
std::string Restore(long size) {
    SeekFile(2, 0, 0);
    BoundedReader in(2, size);
    float nonce = -1;
    SavedRecord r;
    in.Num(nonce);
    const std::vector<SavedField>& fields = SavedGameFields();
    for (int i = 0; i < 4; ++i) {
        float v = 0;
        in.Num(v);
        if (!fields[i].range(0).Holds(v)) return "a damaged head";
        r.values.push_back(v);
    }
    if (!NONCE.Holds(nonce)) return "a damaged nonce";
    float quit = r.values[0], savedPhase = r.values[2], choice = r.values[3];
    if (savedPhase == 99 || choice == 7) {
        mainMenuChoice = 0;
        quitRequested = 0;
        phase = 0;
        screen = 1;
        return "the game was quitting";
    }
    if (quit != 0 || !IsKnownPhase(savedPhase)) return "a damaged head";
    if (const char* wrong = ReadRest(in, r, 4)) return wrong;
    float closing = -1;
    if (!in.Num(closing) || closing != nonce || in.Left() != 0) return "the record's length";
    std::string fault = SavedRecordFault(r);
    if (!fault.empty()) return "out of range: " + fault;
    SavedRecord before = CaptureSavedGame();
    bool taken = ApplySavedGame(r);
    fault = taken ? SavedGameStateFault() : "the generator state";
    if (!fault.empty()) {
        ApplySavedGame(before);
        return "does not hold together: " + fault;
    }
    musicActive = 1;
    return "";
}

}  // namespace

void SaveGame() {
    HandledFileErrors handled;
    if (saveDir.Empty()) return;
    if (tickWorkStarted != tickWorkFinished) {
        MarkHalfWaySave();
        return;
    }
    SavedRecord record = CaptureSavedGame();
    if (record.values.empty()) return;   // the tables are not set up yet
    float nonce = static_cast<float>(RandomInt(32000));
    if (!OpenFileReplacing(2, SaveFilePath(savedGameFile))) {
        ReportSaveFailure("the game", false);
        return;
    }
    WriteRecord(nonce, record);
    if (!CommitFile(2)) {
        ReportSaveFailure("the game", false);
        return;
    }
    if (!OpenFileReplacing(3, SaveFilePath(savedGameCheckFile))) {
        ReportSaveFailure("the game's check value", false);
        return;
    }
    WriteNum(3, userActed == 1 ? warmupTicks : 0);
    if (!CommitFile(3)) {
        ReportSaveFailure("the game's check value", false);
        return;
    }
    // A whole save supersedes the marker of an earlier half-way one.
    DeleteFile(SaveFilePath(BAD_SAVE_MARKER));
    printf("game saved: state %016" PRIx64 "\n", SavedRecordFingerprint(record));
    fflush(stdout);
}

void LoadGame() {
    HandledFileErrors handled;
    if (saveDir.Empty()) return;
    KString checkPath = SaveFilePath(savedGameCheckFile);
    KString gamePath = SaveFilePath(savedGameFile);
    float check = 0;
    if (FileExists(checkPath) && OpenFile(3, checkPath, 1) && ChannelSize(3) >= 8) ReadNum(3, check);
    CloseFile(3);

    bool held = false;
    std::string why = "no saved game";
    long size = FileExists(gamePath) && OpenFile(2, gamePath, 1) ? ChannelSize(2) : 0;
    if (!(std::isfinite(check) && check > RESUME_CHECK_MINIMUM)) {
        why = "its check value is too small";
    } else if (size <= SMALLEST_SAVED_GAME) {
        why = "it is missing or too small";
    } else {
        float first = 0, last = 0;
        ReadNum(2, first);
        SeekFile(2, -8, -1);
        ReadNum(2, last);
        if (first == last) {
            held = true;
            why = Restore(size);
        } else {
            why = "its two nonces differ";
        }
    }
    CloseFile(2);
    if (held && OpenFileReplacing(3, checkPath)) {
        WriteNum(3, 0);
        CommitFile(3);
    }
    // Resumed at most once per save: a crash before the next save starts a fresh game.
    DeleteFile(checkPath);
    if (!why.empty()) {
        if (size > 0) printf("saved game not resumed: %s\n", why.c_str());
    } else {
        printf("game resumed: state %016" PRIx64 "\n", SavedRecordFingerprint(CaptureSavedGame()));
    }
    fflush(stdout);
}
