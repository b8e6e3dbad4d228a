// Helpers shared by the board routines: cell access, sounds, selection and landing-sound resets.
#pragma once

#include "game/state/globals.h"

const float EGG_KIND = 9;
const float USED_POWER_KIND = 16;
const float HATCHING_MARK = 69;

inline Creature& CellAt(int cell) { return creatures(cell); }
inline int CellColumn(int cell) { return cell % 6; }
inline int CellRow(int cell) { return cell / 6; }

// Kind of the twin of an ordinary creature (1<->2, 3<->4, 5<->6, 7<->8); other kinds stay.
float TwinKind(float kind);

// Plays a sound slot at the sound volume while sound effects are on; returns the handle (-1 when silent).
float PlayEffectSound(float slot);
// True while the sound of a handle PlayEffectSound returned still plays. A play that found no
// channel (-1) is simply over; the runtime would record asking about it as an error.
bool StillSounding(float handle);

void ClearSelection();
void ResetLandingSound();
// The award flags and levelBreak return to 0 once the search after a level-up is done.
void EndLevelBreak();

// A new creature at the top of a column: kind, idle wait and start height; counts columnRefills up.
void CreateRefillCreature(int cell);
// One tick of the idle animation of a cell.
void IdleTick(Creature& c);
// One tick of the exit sweep (game over), including the hand-over once the board has emptied.
void ExitSweepTick();
// Hands over to the results screen (or the menus after the tutorial) once the exit sweep is done.
void FinishGame();
// True when the cell's group (as the last search labelled it) has four or more members.
bool CellIsCleared(int cell);
void TutorialRefillKind(float cell);  // the scripted kind of a tutorial refill
// Makes a music track current and starts it when music is on.
void SwitchTrack(const char* track);
// A burst of eight pieces of a picture flying out of a 50-unit cell whose corner is at (x, y).
void StartBurst(float picture, float x, float y);
