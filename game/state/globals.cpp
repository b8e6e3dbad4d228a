// Storage of the shell's global state and its start values.
#include "game/state/globals.h"
#include "game/state/save_links.h"

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
float highScoreVelocity = 0, highScoreIdle = 0, highScoreDragY = 0, menuWavePhase = 0, resultsTicks = 0;
float menuTouchHeld = 0, sliderSoundTicks = 0;

float startupComplete = 0, lifecycleRequest = 0, quitRequested = 0;
int32_t deferredAction = 0;
float musicActive = 0, skipIntroMusic = 0, loadingStepCount = 73;
int32_t tickWorkStarted = 0, tickWorkFinished = 0;

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
    highScoreVelocity = 0; highScoreIdle = 0; highScoreDragY = 0; menuWavePhase = 0; resultsTicks = 0;
    menuTouchHeld = 0; sliderSoundTicks = 0;
    quitRequested = 0; deferredAction = 0; musicActive = 0; skipIntroMusic = 0; loadingStepCount = 73;
}

void (*saveSettingsLink)() = nullptr;
void (*saveRatingStateLink)() = nullptr;
