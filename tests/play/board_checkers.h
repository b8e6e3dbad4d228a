// Independent checkers and a small harness for the play tests: flood fills written here, not the
// game's own helpers, and ways to set up boards and run ticks until the board is quiet.
#pragma once

#include <array>
#include <vector>

using Kinds = std::array<float, 36>;

// Tables and globals ready, a fresh ARCADE game, sound effects off, no board dealt.
void PrepareEmptyGame();
// A fresh game of `mode` on a dealt board seeded with `seed`, entry sweep started; with `intro`
// false the play area is already in and no banner shows.
void StartSeededGame(unsigned seed, float mode = 1, bool intro = false);
// Writes a hand-made board: every cell at rest in its own place, the board idle.
void PlaceBoard(const Kinds& kinds);
// PlaceBoard, then one group search.
void Search(const Kinds& kinds);
Kinds CurrentKinds();
// The board with no two like neighbours: kinds 1 and 3 in a checkerboard.
Kinds Checkerboard();

void BoardTick();  // BoardStep then AnimateCreatures
// Ticks until the board waits for a touch with nothing moving; the ticks taken, or -1.
int RunUntilIdle(int limit);
// One board tick with the finger at (x, y); cell centres in touch coordinates.
void TouchTick(float x, float y, bool down);
float CentreX(int cell);
float CentreY(int cell);

// Connected components of like kinds (orthogonal neighbours only), by breadth-first fill.
struct Components {
    std::array<int, 36> id{};
    std::vector<int> size;
};
Components FloodFill(const Kinds& kinds);
bool HasLikeNeighbours(const Kinds& kinds);
bool HasGroupOfFour(const Kinds& kinds);
// Whether exchanging the creatures of neighbouring cells a and b connects two like creatures.
bool SwapConnects(const Kinds& kinds, int a, int b);
// Checks the labels, group sizes, clear marks and counts one FindGroups left against a flood fill
// of the board it saw (gtest assertions).
void ExpectSearchMatchesFill(const Kinds& kinds);
