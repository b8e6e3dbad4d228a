// Independent checkers and a small harness for the board tests: flood fills written here, not the
// game's own helpers, and a way to run board ticks until the board is quiet.
#pragma once

#include <array>
#include <vector>

using Kinds = std::array<float, 36>;

// Sets up the gameplay tables and a fresh ARCADE game on a dealt board seeded with `seed`,
// with the play area already in (runState 2) and sound effects off.
void StartSeededGame(unsigned seed, float mode = 1);
// Makes the tables and globals ready without dealing (for hand-built boards).
void PrepareEmptyGame();
// Writes a hand-made board: every cell at rest in its own place.
void PlaceBoard(const Kinds& kinds);
Kinds CurrentKinds();

// One playing tick of the board: BoardStep then AnimateCreatures.
void BoardTick();
// Runs ticks until the board waits for a touch with nothing moving; returns the ticks taken, or
// -1 when it did not get there within `limit` ticks.
int RunUntilIdle(int limit);

// Connected components of like kinds (orthogonal neighbours only), found by breadth-first fill.
struct Components {
    std::array<int, 36> id{};      // component of each cell
    std::vector<int> size;         // size of each component
    std::vector<int> lowestCell;   // lowest cell index in each component
};
Components FloodFill(const Kinds& kinds);
bool HasLikeNeighbours(const Kinds& kinds);
// The order in which a fill starting at `seed` reaches its cells, taking neighbours left, right,
// above, below.
std::vector<int> FillOrder(const Kinds& kinds, int seed);
// Whether exchanging the creatures of neighbouring cells a and b connects two like creatures.
bool SwapConnects(const Kinds& kinds, int a, int b);
// The board with no two like neighbours: kinds 1 and 3 in a checkerboard.
Kinds Checkerboard();

// Touch script: one tick of HandleBoardTouch through BoardStep with the finger at (x, y).
void TouchTick(float x, float y, bool down);

// Checks the tables and states left by one FindGroups against a flood fill of the board it saw
// (gtest assertions).
void ExpectSearchMatchesFill(const Kinds& kinds);
