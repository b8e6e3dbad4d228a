// The fields of the saved game in record order, with the values each may hold. A range is as
// tight as the routines that use the value need (a table index, a phase, an atlas frame) and
// as wide as real play goes; long plays of every mode check that their states stay inside.
#include "game/shell/saved_game_fields.h"

#include <sstream>

#include "game/play/play.h"
#include "game/state/globals.h"
#include "runtime/core/platform_info.h"

namespace {

ValueRange Whole(float lo, float hi) { return {lo, hi, true}; }
ValueRange Real(float lo, float hi) { return {lo, hi, false}; }
const ValueRange FLAG = Whole(0, 1);
const ValueRange FINITE = Real(-3.0e38f, 3.0e38f);
// Positions, speeds and timers: far beyond the screen, still safe to turn into whole numbers.
const ValueRange PLACE = Real(-1.0e6f, 1.0e6f);
const ValueRange COUNT = Real(0, 1.0e9f);
const ValueRange KIND = Whole(0, 16);
const ValueRange CELL = Whole(0, 35);
const ValueRange LINE = Whole(0, 5);          // a column or a row
const ValueRange ATLAS_ITEM = Whole(0, 121);
const ValueRange ATLAS_FRAME = Whole(0, 47);
// Blend values: -1 to 1, with room for the float steps of a fade.
const ValueRange ALPHA = Real(-2, 2);
// A playing sound's handle: its channel plus 256 times its slot, or -1.
const ValueRange SOUND_HANDLE = Whole(-1, 4096 * 256 - 1);
const ValueRange VOLUME = Real(0, 1);

using Fields = std::vector<SavedField>;

void Number(Fields& f, const char* name, float& v, ValueRange r) {
    SavedField s;
    s.name = name;
    s.count = 1;
    s.get = [&v](std::vector<float>& out) { out.push_back(v); };
    s.set = [&v](const float* in) {
        v = in[0];
        return true;
    };
    s.range = [r](int) { return r; };
    f.push_back(s);
}

// A table element by element, the last index fastest; its shape is part of the record.
void Table(Fields& f, const char* name, KArray<float>& t, int d1, int d2, int d3,
           std::function<ValueRange(int)> range) {
    SavedField s;
    s.name = std::string(name) + "[" + std::to_string(d1) + "][" + std::to_string(d2) + "][" + std::to_string(d3) + "]";
    s.count = d1 * d2 * d3;
    auto at = [&t, d2, d3](int n) -> float& { return t(n / (d2 * d3), d2 > 1 ? n / d3 % d2 : 0, d3 > 1 ? n % d3 : 0); };
    int count = s.count;
    s.get = [at, count](std::vector<float>& out) {
        for (int n = 0; n < count; ++n) out.push_back(at(n));
    };
    s.set = [at, count](const float* in) {
        for (int n = 0; n < count; ++n) at(n) = in[n];
        return true;
    };
    s.range = range;
    f.push_back(s);
}

void Table(Fields& f, const char* name, KArray<float>& t, int size, ValueRange r) {
    Table(f, name, t, size, 1, 1, [r](int) { return r; });
}

void Text(Fields& f, const char* name, KString& text, std::function<bool(const KString&)> ok) {
    SavedField s;
    s.name = name;
    s.text = &text;
    s.textOk = ok;
    f.push_back(s);
}

// The twelve fields of a board cell in their struct order.
const ValueRange CREATURE_RANGES[12] = {
    LINE, LINE, KIND, PLACE, PLACE, Whole(0, 10),   // column, row, kind, x, y, state
    PLACE, PLACE, PLACE, Whole(0, 4), PLACE, PLACE,  // timer, effect, nextKind, idlePose, idleTicks, idleWait
};

float Creature::*const CREATURE_FIELDS[12] = {
    &Creature::column, &Creature::row,    &Creature::kind,   &Creature::x,        &Creature::y,         &Creature::state,
    &Creature::timer,  &Creature::effect, &Creature::nextKind, &Creature::idlePose, &Creature::idleTicks, &Creature::idleWait,
};

void Creatures(Fields& f) {
    SavedField s;
    s.name = "creatures[36][12]";
    s.count = 36 * 12;
    s.get = [](std::vector<float>& out) {
        for (int cell = 0; cell < 36; ++cell)
            for (float Creature::*field : CREATURE_FIELDS) out.push_back(creatures(cell).*field);
    };
    s.set = [](const float* in) {
        for (int cell = 0; cell < 36; ++cell)
            for (float Creature::*field : CREATURE_FIELDS) creatures(cell).*field = *in++;
        return true;
    };
    s.range = [](int n) { return CREATURE_RANGES[n % 12]; };
    f.push_back(s);
}

// The generator as the standard states it: its 624 words, each as two 16-bit halves (a value
// holds 24 bits exactly, a word does not), then its position among them.
const int GENERATOR_WORDS = 624;

void Generator(Fields& f) {
    SavedField s;
    s.name = "generator[624][2]+position";
    s.count = GENERATOR_WORDS * 2 + 1;
    s.get = [](std::vector<float>& out) {
        std::istringstream in(GameRandomState());
        unsigned long long v = 0;
        for (int i = 0; i < GENERATOR_WORDS; ++i) {
            in >> v;
            out.push_back(static_cast<float>(v >> 16));
            out.push_back(static_cast<float>(v & 0xFFFF));
        }
        in >> v;
        out.push_back(static_cast<float>(v));
    };
    s.set = [](const float* in) {
        std::string text;
        for (int i = 0; i < GENERATOR_WORDS; ++i) {
            unsigned long long word = static_cast<unsigned long long>(in[2 * i]) << 16 |
                                      static_cast<unsigned long long>(in[2 * i + 1]);
            text += std::to_string(word) + " ";
        }
        text += std::to_string(static_cast<unsigned long long>(in[2 * GENERATOR_WORDS]));
        return SetGameRandomState(text);
    };
    s.range = [](int n) { return n < 2 * GENERATOR_WORDS ? Whole(0, 65535) : Whole(0, GENERATOR_WORDS); };
    f.push_back(s);
}

const char* const TRACKS[] = {"", "intro", "space_jungle_bebop_cut", "othersong", "ah_yeah"};

bool KnownTrack(const KString& name) {
    for (const char* t : TRACKS)
        if (name == t) return true;
    return false;
}

bool PrintableText(const KString& text) {
    for (int i = 0; i < text.Length(); ++i)
        if (text[i] < 32 || text[i] > 126) return false;
    return true;
}

// Names and sizes of every field: a record written with another table is not read as this one.
std::string LayoutName(const Fields& fields) {
    uint64_t h = 1469598103934665603ULL;
    for (const SavedField& s : fields) {
        std::string part = s.name + "/" + std::to_string(s.count) + ";";
        for (unsigned char c : part) h = (h ^ c) * 1099511628211ULL;
    }
    char text[40];
    snprintf(text, sizeof text, "SQUIBLY GAME %08x", static_cast<unsigned>(h ^ (h >> 32)));
    return text;
}

KString layoutTag;
KString versionTag;

const ValueRange SCREEN = Whole(0, 10);
const ValueRange PHASE = Whole(0, 99);   // and one of the known phases (SavedGameStateIsSound)

Fields BuildFields() {
    Fields f;
    // Part 2 of the record: what was under way when it was written.
    Number(f, "quitRequested", quitRequested, FLAG);
    Number(f, "screen", screen, SCREEN);
    Number(f, "phase", phase, PHASE);
    Number(f, "mainMenuChoice", mainMenuChoice, Whole(0, 7));
    Text(f, "layout", layoutTag, [](const KString& t) { return t == layoutTag; });

    // The shell's screen state.
    Number(f, "gameMode", gameMode, Whole(0, 5));
    Number(f, "menuAlpha", menuAlpha, ALPHA);
    Number(f, "menuAlphaTarget", menuAlphaTarget, ALPHA);
    Number(f, "menuStage", menuStage, Whole(0, 4));
    Number(f, "titleWavePhase", titleWavePhase, Real(0, 359));
    Number(f, "score", score, COUNT);
    Number(f, "pendingScore", pendingScore, COUNT);
    Number(f, "newHighScore", newHighScore, FLAG);
    Number(f, "highScoreThreshold", highScoreThreshold, COUNT);
    Number(f, "resultRank", resultRank, Whole(0, 6));
    Number(f, "inputCooldown", inputCooldown, Real(-1, 1000));
    Number(f, "selectedChallenge", selectedChallenge, Whole(0, 14));
    Number(f, "resetConfirmOpen", resetConfirmOpen, FLAG);
    Number(f, "highScoreScroll", highScoreScroll, Real(-2520, 1260));
    Number(f, "highScoreVelocity", highScoreVelocity, PLACE);
    Number(f, "highScoreIdle", highScoreIdle, PLACE);
    Number(f, "highScoreDragY", highScoreDragY, PLACE);
    Number(f, "menuWavePhase", menuWavePhase, Real(0, 359));
    Number(f, "resultsTicks", resultsTicks, COUNT);
    Number(f, "menuTouchHeld", menuTouchHeld, FLAG);
    Number(f, "sliderSoundTicks", sliderSoundTicks, Real(0, 1.0e4f));
    Number(f, "skipIntroMusic", skipIntroMusic, FLAG);
    Number(f, "blinkCounter", blinkCounter, Whole(0, 9));
    Number(f, "animFrame", animFrame, Whole(0, 5));
    Number(f, "animSubTicks", animSubTicks, Whole(0, 3));
    Number(f, "toggleTick", toggleTick, FLAG);
    Number(f, "splashFrames", splashFrames, COUNT);
    Number(f, "userActed", userActed, FLAG);
    Number(f, "creaturesConnected", creaturesConnected, COUNT);
    Number(f, "comboCount", comboCount, COUNT);
    Number(f, "level", level, Whole(0, 9999));
    Number(f, "fieldActive", fieldActive, FLAG);
    Number(f, "brightness", brightness, ALPHA);
    Number(f, "brightnessTarget", brightnessTarget, ALPHA);

    // The board and its phases.
    Number(f, "boardColumns", boardColumns, Whole(6, 6));
    Number(f, "boardRows", boardRows, Whole(6, 6));
    Number(f, "lastCell", lastCell, Whole(35, 35));
    Number(f, "cellSize", cellSize, Whole(50, 50));
    Number(f, "creatureKinds", creatureKinds, Whole(1, 8));
    Number(f, "boardPhase", boardPhase, Whole(0, 6));
    Number(f, "busyCount", busyCount, Whole(-100000, 100000));
    Number(f, "boardLock", boardLock, Whole(0, 4));
    Number(f, "boardPauseTicks", boardPauseTicks, PLACE);
    Number(f, "entryPattern", entryPattern, Whole(-1, 4));
    Number(f, "landingCount", landingCount, Whole(0, 3));
    Number(f, "bounceSound", bounceSound, Whole(0, 1.0e6f));
    Number(f, "matchChannel", matchChannel, SOUND_HANDLE);
    Number(f, "match2Channel", match2Channel, SOUND_HANDLE);
    Number(f, "twinkleChannel", twinkleChannel, SOUND_HANDLE);

    // Selection and touches.
    Number(f, "selectedCell", selectedCell, Whole(0, 36));
    Number(f, "selectedX", selectedX, PLACE);
    Number(f, "selectedY", selectedY, PLACE);
    Number(f, "selectedColumn", selectedColumn, LINE);
    Number(f, "selectedRow", selectedRow, LINE);
    Number(f, "selectionFrame", selectionFrame, ATLAS_FRAME);
    Number(f, "targetCell", targetCell, Whole(0, 36));
    Number(f, "targetX", targetX, PLACE);
    Number(f, "targetY", targetY, PLACE);
    Number(f, "targetColumn", targetColumn, LINE);
    Number(f, "targetRow", targetRow, LINE);
    Number(f, "touchPhase", touchPhase, Whole(0, 4));
    Number(f, "touchPhaseTicks", touchPhaseTicks, Whole(0, 30));
    Number(f, "pressTaken", pressTaken, FLAG);
    Number(f, "pressX", pressX, PLACE);
    Number(f, "pressY", pressY, PLACE);
    Number(f, "pressColumn", pressColumn, LINE);
    Number(f, "pressRow", pressRow, LINE);
    Number(f, "dragX", dragX, PLACE);
    Number(f, "dragY", dragY, PLACE);
    Number(f, "movingKind", movingKind, KIND);
    Number(f, "partnerKind", partnerKind, KIND);

    // Scoring, levels and switches.
    Number(f, "movesMade", movesMade, COUNT);
    Number(f, "flipsMade", flipsMade, COUNT);
    Number(f, "playTicks", playTicks, COUNT);
    Number(f, "stepPoints", stepPoints, COUNT);
    Number(f, "chainLength", chainLength, Whole(0, 1.0e6f));
    Number(f, "chainAwardPending", chainAwardPending, Whole(0, 1.0e6f));
    Number(f, "multiGroupCount", multiGroupCount, Whole(0, 36));
    Number(f, "multiAwardPending", multiAwardPending, Whole(0, 1.0e6f));
    Number(f, "largestGroup", largestGroup, Whole(0, 36));
    Number(f, "largestAwardPending", largestAwardPending, Whole(0, 1.0e6f));
    Number(f, "groupsCleared", groupsCleared, Whole(0, 36));
    Number(f, "groupsToScore", groupsToScore, Whole(0, 36));
    Number(f, "levelProgress", levelProgress, COUNT);
    Number(f, "levelTarget", levelTarget, COUNT);
    Number(f, "levelBreak", levelBreak, FLAG);
    Number(f, "bonusTicks", bonusTicks, Whole(0, 600));
    Number(f, "swaps", swaps, Whole(0, 1.0e6f));
    Number(f, "swapsToAward", swapsToAward, Real(0, 1.0e6f));
    Number(f, "swapAwardTicks", swapAwardTicks, Whole(0, 20));
    Number(f, "popupSlot", popupSlot, Whole(0, 9));

    // Speech.
    Number(f, "speechQueueRead", speechQueueRead, Whole(0, 254));
    Number(f, "speechQueueEnd", speechQueueEnd, Whole(0, 254));
    Number(f, "speechWait", speechWait, Real(0, 1.0e6f));
    Number(f, "speechChannel", speechChannel, SOUND_HANDLE);

    // The clock, modes and banners.
    Number(f, "gameClock", gameClock, Real(-300, 0));
    Number(f, "clockRate", clockRate, Real(0, 1.0e4f));
    Number(f, "clockTicks", clockTicks, PLACE);
    Number(f, "clockSteps", clockSteps, COUNT);
    Number(f, "clockGainTicks", clockGainTicks, Real(0, 90));
    Number(f, "savedClock", savedClock, Real(-300, 0));
    Number(f, "alarmLevel", alarmLevel, Real(-400, 0));
    Number(f, "runState", runState, Whole(0, 3));
    Number(f, "slideTicks", slideTicks, Whole(0, 90));
    Number(f, "bannerKind", bannerKind, Whole(0, 5));
    Number(f, "bannerTicks", bannerTicks, Whole(0, 145));
    Number(f, "tutorialStep", tutorialStep, Whole(0, 100));
    Number(f, "tutorialPanel", tutorialPanel, Whole(-1, 20));
    Number(f, "tutorialAlpha", tutorialAlpha, ALPHA);
    Number(f, "tutorialY", tutorialY, PLACE);
    Number(f, "tutorialDrop", tutorialDrop, Real(0, 1000));
    Number(f, "tutorialTouch", tutorialTouch, Whole(0, 2));
    Number(f, "tutorialAnswer", tutorialAnswer, FLAG);
    Number(f, "tutorialSavedSpeechVolume", tutorialSavedSpeechVolume, VOLUME);

    // Power-ups and eggs.
    Number(f, "powerType", powerType, Whole(0, 3));
    Number(f, "powerTicks", powerTicks, Whole(-1, 59));
    Number(f, "powerSeconds", powerSeconds, Whole(-1, 59));
    Number(f, "powerMinutes", powerMinutes, Whole(-1, 59));
    Number(f, "powerIcon", powerIcon, Whole(0, 6));
    Number(f, "eggCountdown", eggCountdown, Whole(-1.0e6f, 1.0e6f));
    Number(f, "eggInterval", eggInterval, Whole(0, 1.0e6f));
    Number(f, "eggsHatched", eggsHatched, Whole(0, 1.0e6f));

    // Challenge thresholds and notices.
    Number(f, "survivalStep1", survivalStep1, Whole(1, 1.0e7f));
    Number(f, "survivalStep2", survivalStep2, Whole(1, 1.0e7f));
    Number(f, "survivalStep3", survivalStep3, Whole(1, 1.0e7f));
    Number(f, "commitmentStep1", commitmentStep1, Whole(1, 1.0e7f));
    Number(f, "commitmentStep2", commitmentStep2, Whole(1, 1.0e7f));
    Number(f, "commitmentStep3", commitmentStep3, Whole(1, 1.0e7f));
    Number(f, "noticeIndex", noticeIndex, Whole(0, 9));
    Number(f, "noticeTicks", noticeTicks, Whole(0, 480));

    // In-game controls, the panel and its effects.
    Number(f, "stripTouch", stripTouch, Whole(0, 2));
    Number(f, "controlsCooldown", controlsCooldown, Whole(0, 10));
    Number(f, "controlsTicks", controlsTicks, Whole(0, 140));
    Number(f, "controlsAlpha", controlsAlpha, Real(-2, 1));
    Number(f, "overlayState", overlayState, Whole(0, 2));
    Number(f, "overlayAlpha", overlayAlpha, ALPHA);
    Number(f, "keptScreen", keptScreen, SCREEN);
    Number(f, "keptPhase", keptPhase, PHASE);
    Number(f, "keptBrightness", keptBrightness, ALPHA);
    Number(f, "hudOffset", hudOffset, Real(0, 240));
    Number(f, "hudAlpha", hudAlpha, ALPHA);
    Number(f, "hudAlphaTarget", hudAlphaTarget, ALPHA);
    Number(f, "sparkleSlot", sparkleSlot, Whole(0, 11));
    Number(f, "sparkleFrame", sparkleFrame, ATLAS_FRAME);
    Number(f, "sparkleTicks", sparkleTicks, PLACE);
    Number(f, "sparkleStep", sparkleStep, PLACE);
    Number(f, "backdropScroll", backdropScroll, PLACE);

    // The menus.
    Number(f, "mainMenuStage", mainMenuStage, Whole(0, 10));
    Number(f, "mainMenuAlpha", mainMenuAlpha, ALPHA);
    Number(f, "mainMenuDelay", mainMenuDelay, PLACE);
    Number(f, "mainMenuFade", mainMenuFade, PLACE);
    Number(f, "mainMenuZoom", mainMenuZoom, PLACE);
    Number(f, "mainMenuTop", mainMenuTop, PLACE);
    Number(f, "mainMenuLatch", mainMenuLatch, PLACE);
    Number(f, "optionsCooldown", optionsCooldown, Whole(0, 15));

    // The tables.
    Creatures(f);
    Table(f, "sweepOrder", sweepOrder, 36, CELL);
    Table(f, "sweepDelay", sweepDelay, 36, FINITE);
    Table(f, "groupOfCell", groupOfCell, 36, Whole(0, 36));
    Table(f, "groupMembers", groupMembers, 37, 36, 3, [](int) { return CELL; });
    Table(f, "groupExtra", groupExtra, 37, CELL);
    Table(f, "groupSizes", groupSizes, 37, Whole(0, 36));
    Table(f, "columnRefills", columnRefills, 6, Whole(0, 1.0e6f));
    Table(f, "speechQueue", speechQueue, 256, Whole(0, 255));
    Table(f, "popupValue", popupValue, 10, COUNT);
    Table(f, "popupX", popupX, 10, PLACE);
    Table(f, "popupY", popupY, 10, PLACE);
    Table(f, "popupTimer", popupTimer, 10, Real(-1.0e6f, 40));
    Table(f, "popupWait", popupWait, 10, Real(-1.0e6f, 2));
    Table(f, "noticeRing", noticeRing, 10, ATLAS_ITEM);
    Table(f, "bubbleX", bubbleX, 20, PLACE);
    Table(f, "bubbleY", bubbleY, 20, PLACE);
    Table(f, "bubblePhase", bubblePhase, 20, Real(0, 479));
    Table(f, "bubbleSpeed", bubbleSpeed, 20, Real(0, 100));   // bubbles only rise
    Table(f, "effectX", effectX, 31, PLACE);
    Table(f, "effectY", effectY, 31, PLACE);
    Table(f, "effectSpeedX", effectSpeedX, 31, Real(-1000, 1000));
    Table(f, "effectSpeedY", effectSpeedY, 31, Real(-1000, 1000));
    Table(f, "effectAngle", effectAngle, 31, PLACE);
    Table(f, "effectSize", effectSize, 31, PLACE);
    Table(f, "effectTimer", effectTimer, 31, Real(-1.0e6f, 1000));
    // The two reward stars carry the switches they pay; the other slots carry a picture.
    Table(f, "effectValue", effectValue, 31, 1, 1, [](int n) { return n < 2 ? Real(0, 1.0e6f) : ATLAS_ITEM; });
    Table(f, "sparkleAlpha", sparkleAlpha, 12, PLACE);
    Table(f, "sparkleItem", sparkleItem, 12, ATLAS_ITEM);
    Table(f, "sparkleX", sparkleX, 12, PLACE);
    Table(f, "sparkleY", sparkleY, 12, PLACE);
    Table(f, "buttonScale", buttonScale, 8, PLACE);

    Generator(f);
    Text(f, "musicTrack", musicTrack, KnownTrack);
    Text(f, "version", versionTag, PrintableText);
    return f;
}

// Built once and never destroyed: the quit callback may still save from an exit handler.
const Fields& AllFields() {
    static const Fields* fields = [] {
        Fields* f = new Fields(BuildFields());
        layoutTag = LayoutName(*f).c_str();
        return f;
    }();
    return *fields;
}

bool TablesShaped() {
    return creatures.ArraySize(0) == 36 && sweepOrder.ArraySize(0) == 36 && sweepDelay.ArraySize(0) == 36 &&
           groupOfCell.ArraySize(0) == 36 && groupMembers.ArraySize(0) == 37 && groupMembers.ArraySize(1) == 36 &&
           groupMembers.ArraySize(2) == 3 && groupExtra.ArraySize(0) == 37 && groupSizes.ArraySize(0) == 37 &&
           columnRefills.ArraySize(0) == 6 && speechQueue.ArraySize(0) == 256 && popupValue.ArraySize(0) == 10 &&
           popupX.ArraySize(0) == 10 && popupY.ArraySize(0) == 10 && popupTimer.ArraySize(0) == 10 &&
           popupWait.ArraySize(0) == 10 && noticeRing.ArraySize(0) == 10 && bubbleX.ArraySize(0) == 20 &&
           bubbleY.ArraySize(0) == 20 && bubblePhase.ArraySize(0) == 20 && bubbleSpeed.ArraySize(0) == 20 &&
           effectX.ArraySize(0) == 31 && effectY.ArraySize(0) == 31 && effectSpeedX.ArraySize(0) == 31 &&
           effectSpeedY.ArraySize(0) == 31 && effectAngle.ArraySize(0) == 31 && effectSize.ArraySize(0) == 31 &&
           effectTimer.ArraySize(0) == 31 && effectValue.ArraySize(0) == 31 && sparkleAlpha.ArraySize(0) == 12 &&
           sparkleItem.ArraySize(0) == 12 && sparkleX.ArraySize(0) == 12 && sparkleY.ArraySize(0) == 12 &&
           buttonScale.ArraySize(0) == 8;
}

}  // namespace

const std::vector<SavedField>& SavedGameFields() { return AllFields(); }

bool IsKnownPhase(float p) {
    static const float PHASES[] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 99};
    for (float known : PHASES)
        if (p == known) return true;
    return false;
}

SavedRecord CaptureSavedGame() {
    SavedRecord r;
    if (!TablesShaped()) return r;
    versionTag = PlatformInfo("VERSION");
    for (const SavedField& s : AllFields()) {
        if (s.count == 0) {
            r.texts.push_back(*s.text);
        } else {
            s.get(r.values);
        }
    }
    return r;
}

std::string SavedRecordFault(const SavedRecord& record) {
    size_t v = 0, t = 0;
    for (const SavedField& s : AllFields()) {
        if (s.count == 0) {
            if (t >= record.texts.size()) return "texts missing";
            const KString& text = record.texts[t++];
            if (text.Length() > LONGEST_SAVED_TEXT || !s.textOk(text)) return s.name + " \"" + text.c_str() + "\"";
            continue;
        }
        if (v + static_cast<size_t>(s.count) > record.values.size()) return "values missing";
        for (int i = 0; i < s.count; ++i) {
            float value = record.values[v + static_cast<size_t>(i)];
            if (!s.range(i).Holds(value)) return s.name + " value " + std::to_string(i) + " = " + std::to_string(value);
        }
        v += static_cast<size_t>(s.count);
    }
    if (v != record.values.size() || t != record.texts.size()) return "values left over";
    return "";
}

bool ApplySavedGame(const SavedRecord& record) {
    if (!TablesShaped()) return false;
    size_t v = 0, t = 0;
    bool ok = true;
    for (const SavedField& s : AllFields()) {
        if (s.count == 0) {
            if (s.text != &layoutTag && s.text != &versionTag) *s.text = record.texts[t];
            ++t;
            continue;
        }
        if (!s.set(record.values.data() + v)) ok = false;
        v += static_cast<size_t>(s.count);
    }
    return ok;
}

namespace {

// The phases whose ticks run the board, also under the pause menu and the overlay.
bool BoardRuns() {
    auto playing = [](float p) { return p == 7 || p == 11 || p == 12 || p == 13; };
    return playing(phase) || ((phase == 9 || phase == 10) && playing(keptPhase));
}

// Every animation a cell is in must be able to end, or the board would wait for it for ever.
std::string StuckAnimation() {
    for (int cell = 0; cell < 36; ++cell) {
        const Creature& c = creatures(cell);
        bool ok = true;
        switch (static_cast<int>(c.state)) {
            case 2: case 9:   // falling in, lifting out: the speed only grows
                ok = Real(0, 1000).Holds(c.timer);
                break;
            case 3:   // bouncing: the counter runs up to 8
                ok = Whole(1, 8).Holds(c.nextKind);
                break;
            case 4: case 5:
                ok = Real(-1, 10).Holds(c.timer);
                break;
            case 6:   // hatching into nextKind
                ok = Real(-1, 10).Holds(c.timer) && KIND.Holds(c.nextKind);
                break;
            case 7: case 8:   // a burst counts up to exactly 9 (past it, it only waits to be replaced)
                ok = Whole(-1, 8).Holds(c.timer) || Real(9, 1.0e6f).Holds(c.timer);
                break;
            default:
                break;
        }
        if (!ok) {
            char text[120];
            snprintf(text, sizeof text, "cell %d cannot end its animation (state %g, timer %g, effect %g, next %g)",
                     cell, c.state, c.timer, c.effect, c.nextKind);
            return text;
        }
    }
    // A sweep under way walks its order once: each cell once, and a waiting cell's delay must
    // still reach exactly 0. (Between games the board rests and its old delays mean nothing.)
    if (!BoardRuns() || boardLock == 4) return "";
    if (entryPattern > 0) {
        bool seen[36] = {};
        for (int i = 0; i < 36; ++i) {
            int cell = static_cast<int>(sweepOrder(i));
            if (seen[cell]) return "the sweep order repeats cell " + std::to_string(cell);
            seen[cell] = true;
        }
    }
    if (entryPattern != 0) {
        bool leaving = entryPattern > 0 && boardLock >= 3;
        for (int i = 0; i < 36; ++i) {
            int cell = entryPattern < 0 ? i : static_cast<int>(sweepOrder(leaving ? 35 - i : i));
            float state = creatures(cell).state;
            bool waiting = leaving ? state < 9 : state == 0;
            if (waiting && !Whole(1, 1.0e6f).Holds(sweepDelay(i)))
                return "cell " + std::to_string(cell) + " waits for a delay that never ends";
        }
    }
    return "";
}

}  // namespace

std::string SavedGameStateFault() {
    if (!TablesShaped()) return "tables not set up";
    if (!PlayStateIsSound()) return "the gameplay state does not hold together";
    if (!IsKnownPhase(phase) || !IsKnownPhase(keptPhase)) return "an unknown phase";
    // Restarting a track needs a name the media folder has.
    if (!KnownTrack(musicTrack)) return "an unknown music track";
    return StuckAnimation();
}

std::string SavedGameResumeFault() {
    SavedRecord r = CaptureSavedGame();
    std::string fault = SavedRecordFault(r);
    return fault.empty() ? SavedGameStateFault() : fault;
}

uint64_t SavedRecordFingerprint(const SavedRecord& record) {
    uint64_t h = 1469598103934665603ULL;
    auto mix = [&h](const void* data, size_t n) {
        const unsigned char* b = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 1099511628211ULL;
    };
    for (float v : record.values) mix(&v, sizeof v);
    for (const KString& t : record.texts) mix(t.c_str(), static_cast<size_t>(t.Length()) + 1);
    return h;
}
