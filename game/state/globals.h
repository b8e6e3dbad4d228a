// The game's global state: every shell variable with its start value, and the three helpers
// all game code shares (its own MT19937 generator, seeding, value wrapping).
#pragma once

#include <cstdint>
#include <string>

#include "runtime/core/karray.h"
#include "runtime/core/kstring.h"
#include "game/state/creature.h"

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
extern float highScoreVelocity; // units per tick the list moves
extern float highScoreIdle;     // ticks without a touch (up to 120, then the list drifts); below 0 after a touch
extern float highScoreDragY;    // y of the last drag sample, 0 when no drag is under way
extern float menuWavePhase;     // the main menu's second wave phase (logo sway), 0..359
extern float resultsTicks;      // ticks since the results screen opened (its score counts up)
extern float menuTouchHeld;     // 1 while a finger that already pressed an option button stays down
extern float sliderSoundTicks;  // ticks until the sound slider may play its test sound again
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
// Phase work begun and finished: they differ only while a tick is running, when a save would
// catch the state half-way (a callback arriving from inside a tick).
extern int32_t tickWorkStarted, tickWorkFinished;

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

// ---- Gameplay state (board, selection, scoring, clock, powers, challenges, controls, effects) ----
// Scalars start at zero unless noted; StartNewGame sets the per-game values.
// The mode clock is gameClock: a global named clock collides with the C library's clock().
extern float boardColumns, boardRows, lastCell, cellSize, creatureKinds, boardPhase, busyCount, boardLock;
extern float boardPauseTicks, entryPattern, landingCount, bounceSound, matchChannel, match2Channel;
extern float twinkleChannel, selectedCell, selectedX, selectedY, selectedColumn, selectedRow, selectionFrame;
extern float targetCell, targetX, targetY, targetColumn, targetRow, touchPhase, touchPhaseTicks, pressTaken;
extern float pressX, pressY, pressColumn, pressRow, dragX, dragY, movingKind, partnerKind, movesMade;
extern float flipsMade, playTicks, stepPoints, chainLength, chainAwardPending, multiGroupCount;
extern float multiAwardPending, largestGroup, largestAwardPending, groupsCleared, groupsToScore;
extern float levelProgress, levelTarget, levelBreak, bonusTicks, swaps, swapsToAward, swapAwardTicks;
extern float popupSlot, speechQueueRead, speechQueueEnd, speechWait, speechChannel, gameClock, clockRate;
extern float clockTicks, clockSteps, clockGainTicks, savedClock, alarmLevel, runState, slideTicks, bannerKind;
extern float bannerTicks, tutorialStep, tutorialPanel, powerType, powerTicks, powerSeconds, powerMinutes;
extern float powerIcon, eggCountdown, eggInterval, eggsHatched, survivalStep1, survivalStep2, survivalStep3;
extern float commitmentStep1, commitmentStep2, commitmentStep3, noticeIndex, noticeTicks, stripTouch;
extern float controlsCooldown, controlsTicks, controlsAlpha, overlayState, overlayAlpha, keptScreen;
extern float keptPhase, keptBrightness, hudOffset, hudAlpha, hudAlphaTarget, sparkleSlot, sparkleFrame;
extern float sparkleTicks, sparkleStep, backdropScroll, mainMenuStage, mainMenuChoice, mainMenuAlpha;
extern float mainMenuDelay, mainMenuFade, mainMenuZoom, mainMenuTop, mainMenuLatch, optionsCooldown;
// The tutorial's instruction panel (blend value and y), the overlay's drop while the tutorial is
// left, its answer-button touch (0 up, 1 first tick, 2 held), an answer waiting for the idle board
// (1 continue), and the speech volume the tutorial muted.
extern float tutorialAlpha, tutorialY, tutorialDrop, tutorialTouch, tutorialAnswer, tutorialSavedSpeechVolume;

// Sizes of the effect tables: the effect pool (0 and 1 reward stars, 2 up to the last burst
// pieces), the background bubbles and the score popups.
const int EFFECT_SLOTS = 31;
const int BUBBLE_COUNT = 20;
const int POPUP_SLOTS = 10;

// The board: 36 cells, indexed column + row * 6.
extern KArray<Creature> creatures;
// Atlas rectangles [122 items][48 frames][x, y, w, h] in texels.
extern KArray<int32_t> glyphTable;
// Gameplay tables; sizes as DimensionPlayTables gives them.
extern KArray<float> sweepOrder;  // [36]
extern KArray<float> sweepDelay;  // [36]
extern KArray<float> groupOfCell;  // [36]
extern KArray<float> groupMembers;  // [37][36][3]
extern KArray<float> groupExtra;  // [37]
extern KArray<float> groupSizes;  // [37]
extern KArray<float> columnRefills;  // [6]
extern KArray<float> speechQueue;  // [256]
extern KArray<float> popupValue;  // [10]
extern KArray<float> popupX;  // [10]
extern KArray<float> popupY;  // [10]
extern KArray<float> popupTimer;  // [10]
extern KArray<float> popupWait;  // [10]
extern KArray<float> noticeRing;  // [10]
extern KArray<float> bubbleX;  // [20]
extern KArray<float> bubbleY;  // [20]
extern KArray<float> bubblePhase;  // [20]
extern KArray<float> bubbleSpeed;  // [20]
extern KArray<float> effectX;  // [31]
extern KArray<float> effectY;  // [31]
extern KArray<float> effectSpeedX;  // [31]
extern KArray<float> effectSpeedY;  // [31]
extern KArray<float> effectAngle;  // [31]
extern KArray<float> effectSize;  // [31]
extern KArray<float> effectTimer;  // [31]
extern KArray<float> effectValue;  // [31]
extern KArray<float> sparkleAlpha;  // [12]
extern KArray<float> sparkleItem;  // [12]
extern KArray<float> sparkleX;  // [12]
extern KArray<float> sparkleY;  // [12]
extern KArray<float> buttonScale;  // [8]

// Dimensions every gameplay table (empty) and sets the board constants and the challenge
// thresholds; part of start-up.
void DimensionPlayTables();

// Assigns every shell start value listed above (tables excepted), as start-up does.
void ResetShellGlobals();

// ---- Shared helpers -----------------------------------------------------------------
void SeedGameRandom(float seed);
float GameRandom(float n);
float WrapValue(float v, float lo, float hi);

// The generator's full state as text (624 words and position), for saving and restoring.
std::string GameRandomState();
bool SetGameRandomState(const std::string& state);
