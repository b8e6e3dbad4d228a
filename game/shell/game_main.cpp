// GameMain: the start-up sequence (platform, folders, scaling, settings, tables, media, an
// interrupted game) and the endless frame loop.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/draw/draw.h"
#include "game/play/screen_effects.h"
#include "game/state/globals.h"
#include "game/state/save_links.h"
#include "game/shell/main_routine.h"
#include "game/play/game_audio.h"
#include "game/shell/resources.h"
#include "game/shell/save_files.h"
#include "runtime/audio/music.h"
#include "runtime/core/files.h"
#include "runtime/core/lifecycle.h"
#include "runtime/core/numeric.h"
#include "runtime/core/platform_info.h"
#include "runtime/graphics/graphics_device.h"
#include "runtime/graphics/polygon_batch.h"
#include "runtime/graphics/sprites.h"
#include "runtime/input/input_state.h"

namespace {
// Seed of the legacy key table; files written by builds with another seed cannot be read.
const float LEGACY_KEY_SEED = 19790321;
// Where the rating prompt sends the player: set by whoever distributes the game (the build's
// SQUIBLY_STORE_LINK); empty turns the prompt off.
#ifndef SQUIBLY_STORE_LINK
#define SQUIBLY_STORE_LINK ""
#endif
const char* const STORE_PAGE = SQUIBLY_STORE_LINK;
const char* const WEB_PAGE = SQUIBLY_STORE_LINK;
// Put beside the executable by installing; its presence makes the program folder read-only to the game.
const char* const INSTALLED_COPY_NOTE = "installed-copy";

void EnableDeviceSwitches(bool pointerTracking) {
    if (pointerTracking) SetPointerTracking(1);
    EnablePause(1);
    SetEscapeQuits(0);
}
}  // namespace

void DetectPlatform() {
    KString name = PlatformInfo("");
    KString device = PlatformInfo("DEVICE");
    if (name == "IPHONE") {
        platform = 1; EnableDeviceSwitches(false); storeLink = STORE_PAGE;
    } else if (device == "PRE" || device == "PIXI") {
        platform = 2; EnableDeviceSwitches(false); storeLink = STORE_PAGE;
    } else if (device == "TOUCHPAD") {
        platform = 3; EnableDeviceSwitches(false); storeLink = STORE_PAGE;
    } else if (name == "ANDROID") {
        platform = 4; EnableDeviceSwitches(false); storeLink = STORE_PAGE;
    } else if (name == "MACOSX") {
        platform = 5; EnableDeviceSwitches(true); storeLink = "";
    } else if (name == "LINUX") {
        platform = 6; EnableDeviceSwitches(true); storeLink = "";
    } else if (name == "WIN32") {
        platform = 0; EnableDeviceSwitches(true); storeLink = WEB_PAGE;
    } else if (device == "NO_DATA") {
        platform = 2; storeLink = "";
    } else {
        platform = 0; storeLink = "";
    }
}

KString SaveFolderBeside(const KString& programDir) {
    if (FolderWritable(programDir) && FileExists(programDir + INSTALLED_COPY_NOTE) == 0) return programDir;
    return PlatformInfo("APPDATA");
}

namespace {
bool mediaFolderFound = true;

// Without its pictures the game shows a white screen: say why, once, where a player looks.
void EnterMediaFolder(const KString& media) {
    mediaFolderFound = SetCurrentDir(media) != 0.0f;
    if (!mediaFolderFound)
        std::fprintf(stderr, "No Media folder in %s: the game runs without its pictures and sounds\n", startDir.c_str());
}
}  // namespace

bool MediaFolderFound() { return mediaFolderFound; }

void SetUpFolders() {
    startDir = GetCurrentDir();
    if (platform == 2 || platform == 3 || platform == 0) {
        EnterMediaFolder("Media");
        mediaDir = GetCurrentDir();
        saveDir = SaveFolderBeside(startDir);
    } else {
        // The working directory comes back without a final separator, so one is put between.
        KString media = startDir;
        int n = media.Length();
        if (n > 0 && media[n - 1] != '/' && media[n - 1] != '\\') media += "/";
        media += "Media";
        EnterMediaFolder(media);
        mediaDir = GetCurrentDir();
        saveDir = PlatformInfo("APPDATA");
    }
    legacySettingsFile = "squibly.dat";
    settingsFile = "squibly.ach";
    savedGameFile = "squibly.sav";
    savedGameCheckFile = "squibly.tes";
    ratingFile = "squibly.rat";
}

void ComputeDisplayScaling() {
    GetScreenSize(screenWidth, screenHeight);
    float sx = screenWidth / 320.0f;
    float sy = screenHeight / 480.0f;
    float s = 1;
    scalingOn = 0;
    offsetX = 0;
    offsetY = 0;
    if (sx <= 1 && sy <= 1 && (sx < 1 || sy < 1)) {
        s = sx < sy ? sx : sy;
        scalingOn = 1;
    } else if (sx == 1 && sy == 1) {
        s = 1;
    } else {
        s = sx < sy ? sx : sy;
        if (s > 6) s = 6;
        scalingOn = 1;
    }
    scaleX = s;
    scaleY = s;
    if (s * 320 < screenWidth) offsetX = (screenWidth - s * 320) / 2;
    if (s * 480 < screenHeight) offsetY = (screenHeight - s * 480) / 2;
}

void ReseedFromClock() {
    KArray<KString> parts;
    int count = SplitStr(PlatformInfo("TIME"), parts, ":- ", 1);
    KString digits;
    for (int i = 1; i <= 5 && i < count; ++i) digits += parts(i);
    long long stamp = static_cast<long long>(RandomInt(64) * TimerMs());
    digits += KString(std::to_string(stamp).c_str());
    // The joined text has more digits than an int holds: read it wide and fold it into range
    // before WrapValue, so the seed never depends on overflow.
    unsigned long long value = std::strtoull(digits.c_str(), nullptr, 10);
    // The same residue WrapValue gives for 1..32765: 1 + (value - 1) mod 32764 (and 32764 for 0).
    float folded = static_cast<float>(1 + (value + 32763ULL) % 32764ULL);
    SeedGameRandom(WrapValue(folded, 1, 32765));
}

void StartPacing() {
    tickMs = 1000.0f / 60.0f;
    rateHistoryLength = 3;
    frameSampleCount = 60;
    frameTimes.DimArray(frameSampleCount);
    tickDebt = 0;
    ticksThisFrame = 0;
    resetFrameClock = 0;
    frameWindowSum = 0;
    frameSampleIndex = 0;
    frameSamplesTaken = 0;
    frameWindowFull = 0;
    tickCatchUp = 0;
    detectedRate = 0;
    rateHistoryIndex = 0;
    rateLocked60 = 0;
    frameLimitSet = 0;
    rateHistory.DimArray(rateHistoryLength);
}

namespace {
void DimensionShellTables() {
    titleWave.DimArray(600);
    textWave.DimArray(600);
    dipTable.DimArray(90);
    tutorialCreatures.DimArray(42);
    soundLengths.DimArray(50);
}

// A fixed seed from the environment replaces the clock seed (tests, replays, the bot).
void ApplySeedOverride() {
    const char* text = std::getenv("SQUIBLY_SEED");
    if (text && *text) SeedGameRandom(static_cast<float>(std::strtol(text, nullptr, 10)));
}
}  // namespace

void GameStartup() {
    startupComplete = 0;
    saveSettingsLink = SaveSettings;
    saveRatingStateLink = SaveRatingState;
    storeLink = "";
    DetectPlatform();
    lifecycleRequest = 0;
    SetUpFolders();
    ComputeDisplayScaling();
    SetFrameRateLimit(-1);
    quitRequested = 0;
    loadingStepCount = 73;
    LoadAtlasPicture("textatlasload.png", 2);

    highScores.DimArray(4, 6, 2);
    challengeProgress.DimArray(15);
    lowQuality = 0;
    SeedGameRandom(LEGACY_KEY_SEED);
    legacyKey.DimArray(232);
    for (int i = 0; i < 232; ++i) legacyKey(i) = static_cast<int32_t>(GameRandom(255));

    LoadSettingsAtStart();
    challengesCompleted = 0;
    for (int i = 0; i < 15; ++i) {
        if (challengeProgress(i) == 100) challengesCompleted += 1;
    }
    ShowLoadingProgress(1, loadingStepCount);
    ReseedFromClock();
    ApplySeedOverride();

    DimensionPlayTables();
    ShowLoadingProgress(2, loadingStepCount);
    DimensionShellTables();
    screen = 1;
    gameMode = 1;
    phase = 0;
    menuAlpha = 0;
    menuAlphaTarget = -1;
    menuStage = 0;
    inputCooldown = 0;
    titleWavePhase = 0;
    blinkCounter = 0;
    animFrame = 0;
    animSubTicks = 0;
    toggleTick = 0;
    splashFrames = 0;
    selectedChallenge = 0;
    resetConfirmOpen = 0;
    highScoreScroll = -1154;
    highScoreVelocity = 0;
    highScoreIdle = 0;
    highScoreDragY = 0;
    menuWavePhase = 0;
    resultsTicks = 0;
    menuTouchHeld = 0;
    sliderSoundTicks = 0;
    userActed = 0;
    warmupTicks = 0;
    deferredAction = 0;
    musicActive = 0;
    skipIntroMusic = 0;
    brightness = -1;
    brightnessTarget = -1;
    fieldActive = 0;

    StartPacing();

    BuildWaveTables();
    LayoutBubbles();
    BuildDipTable();
    ShowLoadingProgress(3, loadingStepCount);
    LoadAtlases();
    LoadSounds();
    LoadTutorialCreatures();
    ShowLoadingProgress(73, loadingStepCount);
    PlayLoadingOutro();

    // A save caught half-way through a tick left its marker instead of a game: start fresh.
    if (FileExists(SaveFilePath(BAD_SAVE_MARKER)) == 0) {
        LoadGame();
    } else {
        DeleteFile(SaveFilePath(BAD_SAVE_MARKER));
    }

    startupComplete = 1;
    if (musicActive != 0) PlayMusic(musicTrack, musicVolume);
    LoadRatingState();
    frameClock = TimerMs();

    // The test switch starts a game only when there is no interrupted one to go back to.
    float mode = musicActive != 0 ? 0 : StartModeFromEnvironment();
    if (mode == 5) {
        screen = 3;
        phase = 3;
    } else if (mode >= 1) {
        gameMode = mode;
        screen = 7;
        phase = 8;
    }
}

bool RunFrame() {
    if (!HandleLifecycleRequests()) return false;
    RunLogicTicks();
    TraceScreenChange();
    DrawFrame();
    ShowScreen();
    TraceFramePresented();
    PaceFrame();
    RunDeferredAction();
    return true;
}

void GameMain() {
    GameStartup();
    while (RunFrame()) {
    }
    EndProgram();
}
