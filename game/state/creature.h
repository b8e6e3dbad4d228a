// One board cell's record: twelve floats in a fixed order (the saved game writes them in this order).
#pragma once

struct Creature {
  float column = 0;     // column the cell rests in
  float row = 0;        // row the cell rests in; a fall stops at row * cellSize
  float kind = 0;       // 1..8 ordinary, 9 egg, 10..15 power-ups, 16 used power-up
  float x = 0;          // position relative to the board corner
  float y = 0;          // negative while above the board
  float state = 0;      // animation state (see AnimateCreatures)
  float timer = 0;      // ticks of the current state, or the fall speed
  float effect = 0;     // scale or squash; 69 marks an egg already hatching
  float nextKind = 0;   // kind after a hatch; bounce counter; swap scratch
  float idlePose = 0;   // 0 none, 1..4 idle animation
  float idleTicks = 0;  // ticks the idle animation still plays
  float idleWait = 0;   // ticks until the next idle animation
};

static_assert(sizeof(Creature) == 12 * sizeof(float), "Creature is twelve packed floats");

const float CREATURE_FIELD_COUNT = 12;
