// The game's global state: every shell variable with its start value, and the three helpers
// all game code shares (its own MT19937 generator, seeding, value wrapping).
#pragma once

#include <cstdint>
#include <string>

#include "runtime/core/karray.h"
#include "runtime/core/kstring.h"

// ---- File and folder names ---------------------------------------------------
extern KString startDir;
extern KString mediaDir;
extern KString saveDir;
extern KString legacySettingsFile;   // "squibly.dat"
extern KString settingsFile;         // "squibly.ach"
extern KString savedGameFile;        // "squibly.sav"
extern KString savedGameCheckFile;   // "squibly.tes"
extern KString ratingFile;           // "squibly.rat"
extern KString storeLink;
extern KString musicTrack;

// ---- Shell tables (no size until GameMain dimensions them) --------------------
extern KArray<float> highScores;         // [4][6][2]
extern KArray<float> challengeProgress;  // [15]
extern KArray<int32_t> legacyKey;        // [232]
extern KArray<float> titleWave;          // [600]
extern KArray<float> textWave;           // [600]
extern KArray<float> dipTable;           // [90]
extern KArray<int32_t> tutorialCreatures;  // [42]
extern KArray<float> soundLengths;       // [50]
extern KArray<float> frameTimes;         // [60]
extern KArray<float> rateHistory;        // [3]

// ---- Settings ------------------------------------------------------------------
extern float musicVolume;     // 0.6
extern float soundVolume;     // 1
extern float speechVolume;    // 1
extern float soundOn;         // 1
extern float musicOn;         // 1 (2/3 while the in-game switch mutes everything)
extern float lowQuality;      // 0
extern float creaturesConnectedTotal;

// ---- Progress and rating -------------------------------------------------------
extern float challengesCompleted;
extern int32_t gamesPlayed;
extern int32_t hasRated;
extern int32_t rateDeclines;

// ---- Screen flow -----------------------------------------------------------------
extern float screen;            // 1
extern float phase;             // 0
extern float gameMode;          // 1
extern float menuAlpha;         // 0
extern float menuAlphaTarget;   // -1
extern float menuStage;         // 0
extern float inputCooldown;     // 0
extern float titleWavePhase;    // 0
extern float blinkCounter;      // 0..9
extern float animFrame;         // 0..5
extern float animSubTicks;      // 0..3 (ticks toward the next animFrame)
extern float toggleTick;        // 0/1
extern float splashFrames;
extern float selectedChallenge;
extern float resetConfirmOpen;
extern float highScoreScroll;   // -1154
extern float userActed;
extern float warmupTicks;       // capped at 60

// ---- Lifecycle --------------------------------------------------------------------
extern float startupComplete;
extern float lifecycleRequest;  // 0 none, 1 resume, 3 paused, 4 quitting
extern float quitRequested;
extern int32_t deferredAction;  // 0 none, 1 save, 2 save then open storeLink
extern float musicActive;
extern float skipIntroMusic;
extern float loadingStepCount;  // 73

// ---- Display and input -------------------------------------------------------------
extern float platform;          // 0 WIN32 .. 6 LINUX
extern float screenWidth, screenHeight;
extern float scaleX, scaleY;
extern float scalingOn;
extern float offsetX, offsetY;
extern float touchX, touchY;
extern float touchDown, touchDown2;

// ---- Frame pacing ---------------------------------------------------------------------
extern float tickMs;            // 1000/60
extern float tickDebt;
extern float ticksThisFrame;
extern float resetFrameClock;
extern float frameWindowSum;
extern int32_t frameSampleIndex;
extern int32_t frameSamplesTaken;
extern int32_t frameWindowFull;
extern int32_t tickCatchUp;
extern int32_t frameSampleCount;   // 60
extern int32_t detectedRate;       // 60, 50, -1 or 0
extern int32_t rateHistoryIndex;
extern int32_t rateHistoryLength;  // 3
extern float rateLocked60;
extern float frameLimitSet;
extern float frameClock, prevFrameClock, frameElapsed;

// ---- Results of the current game ----------------------------------------------------
extern float score;
extern float pendingScore;
extern float creaturesConnected;
extern float comboCount;
extern float level;
extern float newHighScore;
extern float highScoreThreshold;
extern float resultRank;

// ---- Playing field as the screen flow sees it ----------------------------------------
extern float fieldActive;        // 1 while the playing field is live (phases 3 and 8 set it)
extern float brightness;         // background alpha: -1 normal, -0.7 dimmed
extern float brightnessTarget;   // what brightness moves toward

// Assigns every shell start value listed above (tables excepted), as start-up does.
void ResetShellGlobals();

// ---- Shared helpers -----------------------------------------------------------------
void SeedGameRandom(float seed);
float GameRandom(float n);
float WrapValue(float v, float lo, float hi);

// The generator's full state as text (624 words and position), for saving and restoring.
std::string GameRandomState();
bool SetGameRandomState(const std::string& state);
