// Storage of the game's global state, its start values, and the game's own random generator.
#include "game/shell/globals.h"

#include <random>
#include <sstream>

KString startDir, mediaDir, saveDir;
KString legacySettingsFile("squibly.dat");
KString settingsFile("squibly.ach");
KString savedGameFile("squibly.sav");
KString savedGameCheckFile("squibly.tes");
KString ratingFile("squibly.rat");
KString storeLink, musicTrack;

KArray<float> highScores, challengeProgress;
KArray<int32_t> legacyKey;
KArray<float> titleWave, textWave, dipTable;
KArray<int32_t> tutorialCreatures;
KArray<float> soundLengths, frameTimes, rateHistory;

float musicVolume = 0.6f, soundVolume = 1, speechVolume = 1, soundOn = 1, musicOn = 1;
float lowQuality = 0, creaturesConnectedTotal = 0;

float challengesCompleted = 0;
int32_t gamesPlayed = 0, hasRated = 0, rateDeclines = 0;

float screen = 1, phase = 0, gameMode = 1;
float menuAlpha = 0, menuAlphaTarget = -1, menuStage = 0, inputCooldown = 0, titleWavePhase = 0;
float blinkCounter = 0, animFrame = 0, animSubTicks = 0, toggleTick = 0, splashFrames = 0;
float selectedChallenge = 0, resetConfirmOpen = 0, highScoreScroll = -1154, userActed = 0, warmupTicks = 0;

float startupComplete = 0, lifecycleRequest = 0, quitRequested = 0;
int32_t deferredAction = 0;
float musicActive = 0, skipIntroMusic = 0, loadingStepCount = 73;

float platform = 0, screenWidth = 0, screenHeight = 0, scaleX = 1, scaleY = 1, scalingOn = 0;
float offsetX = 0, offsetY = 0, touchX = 0, touchY = 0, touchDown = 0, touchDown2 = 0;

float tickMs = 1000.0f / 60.0f, tickDebt = 0, ticksThisFrame = 0, resetFrameClock = 0, frameWindowSum = 0;
int32_t frameSampleIndex = 0, frameSamplesTaken = 0, frameWindowFull = 0, tickCatchUp = 0;
int32_t frameSampleCount = 60, detectedRate = 0, rateHistoryIndex = 0, rateHistoryLength = 3;
float rateLocked60 = 0, frameLimitSet = 0, frameClock = 0, prevFrameClock = 0, frameElapsed = 0;

float score = 0, pendingScore = 0, creaturesConnected = 0, comboCount = 0, level = 0;
float newHighScore = 0, highScoreThreshold = 0, resultRank = 0;

float fieldActive = 0, brightness = -1, brightnessTarget = -1;

void ResetShellGlobals() {
    musicVolume = 0.6f; soundVolume = 1; speechVolume = 1; soundOn = 1; musicOn = 1;
    lowQuality = 0; creaturesConnectedTotal = 0;
    screen = 1; phase = 0; gameMode = 1;
    menuAlpha = 0; menuAlphaTarget = -1; menuStage = 0; inputCooldown = 0; titleWavePhase = 0;
    blinkCounter = 0; animFrame = 0; animSubTicks = 0; toggleTick = 0; splashFrames = 0;
    selectedChallenge = 0; resetConfirmOpen = 0; highScoreScroll = -1154; userActed = 0; warmupTicks = 0;
    quitRequested = 0; deferredAction = 0; musicActive = 0; skipIntroMusic = 0; loadingStepCount = 73;
}

namespace {
// Default-constructed, the engine holds the standard seed 5489, so an unseeded game draws
// the standard sequence.
std::mt19937& Engine() {
    static std::mt19937 engine;
    return engine;
}
}  // namespace

void SeedGameRandom(float seed) {
    // Seeds arrive as whole numbers; negative ones keep their 32-bit pattern.
    Engine().seed(static_cast<uint32_t>(static_cast<int64_t>(seed)));
}

float GameRandom(float n) {
    if (!(n >= 1)) return 0;   // also rejects NaN without advancing
    uint64_t range = static_cast<uint64_t>(n) + 1;
    uint32_t v = Engine()();
    return static_cast<float>(v % range);
}

float WrapValue(float v, float lo, float hi) {
    float p = hi - lo;
    if (v >= lo && v < hi) return v;
    if (v >= hi && v < hi + p) return v - p;
    if (v >= lo - p && v < lo) return v + p;
    int64_t period = static_cast<int64_t>(p);
    if (period <= 0) return lo;
    int64_t r = static_cast<int64_t>(v - lo) % period;
    if (r < 0) r += period;   // far below lo still lands inside the range
    return lo + static_cast<float>(r);
}

std::string GameRandomState() {
    std::ostringstream out;
    out << Engine();
    return out.str();
}

bool SetGameRandomState(const std::string& state) {
    std::istringstream in(state);
    std::mt19937 candidate;
    in >> candidate;
    if (in.fail()) return false;
    Engine() = candidate;
    return true;
}
