// The game's main routine and its frame loop: start-up, phase ticks, screen drawing, frame pacing,
// lifecycle callbacks and the start-into-a-game test switch.
#pragma once

#include "runtime/core/kstring.h"

// GameMain is GameStartup followed by RunFrame until it returns false, then EndProgram. Tools
// that drive the game frame by frame call the two pieces themselves.
void GameStartup();
bool RunFrame();

// Logic ticks run since start-up (for tools and tests; not part of the saved state), and a hook
// that tools set to feed the pointer exactly at each tick, called just before it is read.
extern long long logicTickCount;
extern void (*tickInputHook)();

// Start-up steps of GameMain, in the order they run.
void DetectPlatform();
void SetUpFolders();
// Where a game whose program folder is programDir keeps its saves: beside the executable when that
// folder may be written and is no installed copy, else the runtime's application-data folder.
KString SaveFolderBeside(const KString& programDir);
void ComputeDisplayScaling();
void ReseedFromClock();
void StartPacing();

// One frame of the loop: lifecycle requests, the logic ticks, drawing, ShowScreen, pacing and the
// deferred action. Returns false once the game has asked to quit (EndProgram is then due).
bool HandleLifecycleRequests();
void RunLogicTicks();
// The viewport on the scaled design area and the filtering of the quality setting.
void SetFrameView();
void DrawFrame();
void RunDeferredAction();
// Prints "screen N phase P" when the screen has changed (only with SQUIBLY_TRACE_SCREENS=1).
void TraceScreenChange();
// With SQUIBLY_TRACE_FRAMES=N: the first loading and main-menu frames' times, and every N frames
// the processor time per frame of the main thread, the rasteriser and the rest.
void TraceLoadingFrame();
void TraceFramePresented();

// One logic tick of the current phase, and one drawing of the current screen.
void RunPhaseTick();
void DrawCurrentScreen();
void PlayingTick();   // the full gameplay tick of phases 7, 11, 12 and 13
void StartGameOfMode(float mode);   // phase 8's set-up for gameMode

// Frame pacing.
void PaceFrame();
void DetectRefreshRate(float onlyReset);

// Lifecycle callbacks (called by the runtime by name).
void KrtOnPause();
void KrtOnQuit();
void KrtOnResume();

// The start-into-a-game switch: SQUIBLY_START_MODE=arcade|puzzle|timetrial|zen|tutorial.
// Returns the game mode (1..5) it names, or 0 when unset or unknown.
float StartModeFromEnvironment();
float StartModeFromText(const KString& text);
