// Gameplay routines: the board rules and the per-tick routines of later play (scoring, clock, eggs,
// challenges, in-game controls). All work on the game globals.
#pragma once

#include "game/state/creature.h"

// Board model and creatures
void DealBoard();
void ClearBoard();
void DealTutorialBoard();

// True when every gameplay value used as a table index, phase or state lies in its range (for a
// saved game read back from a file; a false answer means the game should not be resumed).
bool PlayStateIsSound();

// Swapping, matching and clearing
void BoardStep();
void AnimateCreatures();
void StartEntrySweep();
void StartExitSweep();  // closes the board at game over: boardLock 3, a random pattern, the sweep tables
void HandleBoardTouch();
// True when swapping the creature of cell selectedCell with its neighbour partnerCell (both cell
// indices 0..35) connects at least two like creatures, or in the level bonus period.
bool IsLegalSwap(float partnerColumn, float partnerRow, float partnerCell, float movingKind,
                 float selectedCell, float selectedColumn, float selectedRow, float partnerKind);
void FindGroups();
void CollapseCleared();
void MarkRemovals();
void RemoveMarked();

// Scoring, combos and levels
void ScoreTick();
void CountScore();
void PaySwaps();
void SpeechTick();
void QueueSpeech(float slot);
void SpawnSwapReward(float x, float y, float amount);

// Modes, clock, banners
void StartNewGame();
void ClockTick();
void BannerTick();
void PlayAreaTick();  // slide-in/out of the play area (runState, slideTicks) and the panel's offset
// Ends a running game at once, as its own game over does (the pause menu's QUIT): banner, speech,
// the exit sweep; the results follow when the board has emptied.
void EndGameNow();

// The tutorial
void StartTutorial();      // the script's start; mutes speech, keeping the volume in tutorialSavedSpeechVolume
void TutorialTick();       // each tutorial board tick: the answer buttons (NEXT, EXIT)
void TutorialStep();       // in the idle phase: panel fades, waits and their effects
void TutorialSlideTick();  // while the tutorial is left: the overlay sinks away
void ForgetTutorial();     // once it has been left: no clock, power or lesson state stays behind

// Eggs and power-ups
void CountDownEgg(float cell);
void PowerTimerTick();
void HatchEggsAround(float cell);  // hatches the eggs next to a cleared creature
void StartPower(float cell);       // second tap on a power-up

// Challenge tracking and notices
void TrackLeveling();
void TrackSurvival();
void TrackCombo(float size);
void TrackHoarding();
void TrackCommitment();
void PostNotice(float id);
void NoticeTick();

// In-game controls
void InGameControls();
