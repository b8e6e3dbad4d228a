// The saved game's record: one table of fields that both writing and reading walk, so the two
// can never disagree on order, and that knows which values each field may hold.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "game/shell/save_reader.h"
#include "runtime/core/kstring.h"

struct SavedField {
    std::string name;
    // A run of `count` values (a variable, a table element by element, the generator), or,
    // with count 0, a text written as its length and then its characters.
    int count = 0;
    std::function<void(std::vector<float>&)> get;   // appends the field's values
    std::function<bool(const float*)> set;          // takes them back; false when it cannot
    std::function<ValueRange(int)> range;           // what value i may be
    KString* text = nullptr;
    std::function<bool(const KString&)> textOk;
};

// The fields in record order. The first four values are the quit flag, the screen, the phase
// and the main menu's last choice.
const std::vector<SavedField>& SavedGameFields();

// The values and texts of a record in field order, as written or read.
struct SavedRecord {
    std::vector<float> values;
    std::vector<KString> texts;
};

const int LONGEST_SAVED_TEXT = 64;

// The running game as a record.
SavedRecord CaptureSavedGame();
// "" when every value and text lies where its field allows, else which one does not.
std::string SavedRecordFault(const SavedRecord& record);
// Puts a record into the globals; false when a field refused its values.
bool ApplySavedGame(const SavedRecord& record);
// The checks that span fields, on the globals (gameplay state sound, animations that can end,
// kept screen and phase): "" when they hold, else which one does not.
std::string SavedGameStateFault();
// Would the running game, saved now, be resumed? "" when it would, else why not (the checkers
// of long plays ask this after every stretch of play).
std::string SavedGameResumeFault();
// A fingerprint of a record's contents, printed when a game is saved and when it is resumed.
uint64_t SavedRecordFingerprint(const SavedRecord& record);

// Phases that run something; a record may hold only these.
bool IsKnownPhase(float phase);
