#include "board_checkers.h"

#include <algorithm>
#include <map>

#include <gtest/gtest.h>

#include "game/play/play.h"
#include "game/state/globals.h"

namespace {

// The orthogonal neighbours of a cell (-1 beyond the edge).
std::array<int, 4> Neighbours(int cell) {
    int c = cell % 6, r = cell / 6;
    return {c > 0 ? cell - 1 : -1, c < 5 ? cell + 1 : -1, r > 0 ? cell - 6 : -1, r < 5 ? cell + 6 : -1};
}

}  // namespace

void PrepareEmptyGame() {
    DimensionPlayTables();
    tutorialCreatures.DimArray(42);
    soundLengths.DimArray(50);
    highScores.DimArray(4, 6, 2);
    dipTable.DimArray(90);
    challengeProgress.DimArray(15);
    soundOn = musicOn = 0;
    gameMode = 1;
    // What a game leaves behind that a new game does not reset.
    popupSlot = 0;
    phase = screen = 7;
    hudAlpha = 0;
    touchX = touchY = touchDown = 0;
    overlayState = controlsCooldown = controlsTicks = stripTouch = hasRated = 0;
    StartNewGame();
    runState = 2;
    bannerKind = bannerTicks = 0;
}

void StartSeededGame(unsigned seed, float mode, bool intro) {
    PrepareEmptyGame();
    SeedGameRandom(static_cast<float>(seed));
    gameMode = mode;
    StartNewGame();
    if (!intro) runState = 2, bannerKind = bannerTicks = 0;
    DealBoard();
    boardPhase = 1;
    StartEntrySweep();
}

void PlaceBoard(const Kinds& kinds) {
    for (int i = 0; i < 36; ++i) {
        Creature& c = creatures(i);
        c = Creature{};
        c.column = static_cast<float>(i % 6);
        c.row = static_cast<float>(i / 6);
        c.x = c.column * 50;
        c.y = c.row * 50;
        c.kind = kinds[i];
        c.state = 1;
        c.idleWait = 1000;
    }
    busyCount = 0;
    boardPhase = 2;
    entryPattern = 0;
    selectedCell = targetCell = 0;
}

void Search(const Kinds& kinds) {
    PlaceBoard(kinds);
    boardPhase = 3;
    FindGroups();
}

Kinds CurrentKinds() {
    Kinds k{};
    for (int i = 0; i < 36; ++i) k[i] = creatures(i).kind;
    return k;
}

Kinds Checkerboard() {
    Kinds k{};
    for (int i = 0; i < 36; ++i) k[i] = ((i % 6) + (i / 6)) % 2 == 0 ? 1 : 3;
    return k;
}

void BoardTick() {
    BoardStep();
    AnimateCreatures();
}

int RunUntilIdle(int limit) {
    for (int t = 0; t <= limit; ++t) {
        if (boardPhase == 2 && busyCount == 0) return t;
        BoardTick();
    }
    return -1;
}

void TouchTick(float x, float y, bool down) {
    touchX = x;
    touchY = y;
    touchDown = down ? 1 : 0;
    BoardTick();
}

float CentreX(int cell) { return 35 + 50 * static_cast<float>(cell % 6); }
float CentreY(int cell) { return 35 + 50 * static_cast<float>(cell / 6); }

Components FloodFill(const Kinds& kinds) {
    Components out;
    out.id.fill(-1);
    for (int start = 0; start < 36; ++start) {
        if (out.id[start] >= 0) continue;
        int comp = static_cast<int>(out.size.size());
        out.size.push_back(0);
        std::vector<int> stack{start};
        out.id[start] = comp;
        while (!stack.empty()) {
            int cell = stack.back();
            stack.pop_back();
            out.size[comp] += 1;
            for (int n : Neighbours(cell))
                if (n >= 0 && out.id[n] < 0 && kinds[n] == kinds[start]) out.id[n] = comp, stack.push_back(n);
        }
    }
    return out;
}

bool HasLikeNeighbours(const Kinds& kinds) {
    Components comps = FloodFill(kinds);
    return comps.size.size() < 36;
}

bool HasGroupOfFour(const Kinds& kinds) {
    Components comps = FloodFill(kinds);
    return std::any_of(comps.size.begin(), comps.size.end(), [](int s) { return s >= 4; });
}

bool SwapConnects(const Kinds& kinds, int a, int b) {
    Kinds after = kinds;
    std::swap(after[a], after[b]);
    Components comps = FloodFill(after);
    return comps.size[comps.id[a]] >= 2 || comps.size[comps.id[b]] >= 2;
}

void ExpectSearchMatchesFill(const Kinds& k) {
    Components comps = FloodFill(k);
    // Groups are numbered in the order of their lowest cell, counting only components of two or
    // more; the cleared ones (four or more) are listed in that order too.
    std::map<int, int> groupOfComp;
    std::vector<float> clearedSizes;
    for (int cell = 0, next = 1; cell < 36; ++cell) {
        int comp = comps.id[cell];
        int size = comps.size[comp];
        if (size >= 2 && !groupOfComp.count(comp)) {
            groupOfComp[comp] = next++;
            if (size >= 4) clearedSizes.push_back(static_cast<float>(size));
        }
        ASSERT_EQ(groupOfCell(cell), size >= 2 ? groupOfComp[comp] : 0) << "cell " << cell;
        ASSERT_EQ(creatures(cell).state == 7, size >= 4) << "cell " << cell;
    }
    ASSERT_EQ(groupsCleared, static_cast<float>(clearedSizes.size()));
    for (size_t g = 0; g < clearedSizes.size(); ++g) ASSERT_EQ(groupSizes(static_cast<int>(g)), clearedSizes[g]);
    float largest = clearedSizes.empty() ? 0 : *std::max_element(clearedSizes.begin(), clearedSizes.end());
    ASSERT_EQ(largestGroup, largest);
    ASSERT_EQ(boardPhase, clearedSizes.empty() ? 2 : 1);
    for (auto [comp, group] : groupOfComp) ASSERT_EQ(groupExtra(group) + 1, static_cast<float>(comps.size[comp]));
}
