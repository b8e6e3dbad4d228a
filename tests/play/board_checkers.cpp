// Independent checkers and the harness of the board tests.
#include "board_checkers.h"

#include <algorithm>
#include <deque>
#include <map>

#include <gtest/gtest.h>

#include "game/play/play.h"
#include "game/shell/globals.h"

namespace {

std::vector<int> Neighbours(int cell) {
    int c = cell % 6, r = cell / 6;
    std::vector<int> out;
    if (c > 0) out.push_back(cell - 1);
    if (c < 5) out.push_back(cell + 1);
    if (r > 0) out.push_back(cell - 6);
    if (r < 5) out.push_back(cell + 6);
    return out;
}

}  // namespace

void PrepareEmptyGame() {
    DimensionPlayTables();
    tutorialCreatures.DimArray(42);
    soundLengths.DimArray(50);
    highScores.DimArray(4, 6, 2);
    dipTable.DimArray(90);
    challengeProgress.DimArray(15);
    soundOn = 0;
    musicOn = 0;
    gameMode = 1;
    // What a game leaves behind that a new game does not reset.
    popupSlot = 0;
    phase = 7;
    screen = 7;
    hudAlpha = 0;
    touchX = touchY = touchDown = 0;
    overlayState = 0;
    controlsCooldown = controlsTicks = stripTouch = 0;
    hasRated = 0;
    StartNewGame();
    runState = 2;
    bannerKind = 0;
    bannerTicks = 0;
}

void StartSeededGame(unsigned seed, float mode) {
    PrepareEmptyGame();
    SeedGameRandom(static_cast<float>(seed));
    gameMode = mode;
    StartNewGame();
    runState = 2;
    bannerKind = 0;
    bannerTicks = 0;
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

Kinds CurrentKinds() {
    Kinds k{};
    for (int i = 0; i < 36; ++i) k[i] = creatures(i).kind;
    return k;
}

void BoardTick() {
    BoardStep();
    AnimateCreatures();
}

int RunUntilIdle(int limit) {
    for (int t = 0; t < limit; ++t) {
        if (boardPhase == 2 && busyCount == 0) return t;
        BoardTick();
    }
    return boardPhase == 2 && busyCount == 0 ? limit : -1;
}

Components FloodFill(const Kinds& kinds) {
    Components out;
    out.id.fill(-1);
    for (int start = 0; start < 36; ++start) {
        if (out.id[start] >= 0) continue;
        int comp = static_cast<int>(out.size.size());
        out.size.push_back(0);
        out.lowestCell.push_back(start);
        std::deque<int> queue{start};
        out.id[start] = comp;
        while (!queue.empty()) {
            int cell = queue.front();
            queue.pop_front();
            out.size[comp] += 1;
            for (int n : Neighbours(cell)) {
                if (out.id[n] < 0 && kinds[n] == kinds[start]) {
                    out.id[n] = comp;
                    queue.push_back(n);
                }
            }
        }
    }
    return out;
}

bool HasLikeNeighbours(const Kinds& kinds) {
    for (int cell = 0; cell < 36; ++cell)
        for (int n : Neighbours(cell))
            if (kinds[n] == kinds[cell]) return true;
    return false;
}

std::vector<int> FillOrder(const Kinds& kinds, int seed) {
    std::vector<int> order{seed};
    std::array<bool, 36> seen{};
    seen[seed] = true;
    for (size_t i = 0; i < order.size(); ++i) {
        for (int n : Neighbours(order[i])) {
            if (!seen[n] && kinds[n] == kinds[seed]) {
                seen[n] = true;
                order.push_back(n);
            }
        }
    }
    return order;
}

bool SwapConnects(const Kinds& kinds, int a, int b) {
    Kinds after = kinds;
    std::swap(after[a], after[b]);
    Components comps = FloodFill(after);
    return comps.size[comps.id[a]] >= 2 || comps.size[comps.id[b]] >= 2;
}

Kinds Checkerboard() {
    Kinds k{};
    for (int i = 0; i < 36; ++i) k[i] = ((i % 6) + (i / 6)) % 2 == 0 ? 1 : 3;
    return k;
}

void TouchTick(float x, float y, bool down) {
    touchX = x;
    touchY = y;
    touchDown = down ? 1 : 0;
    BoardTick();
}

// Checks one search against the flood fill of the board it saw.
void ExpectSearchMatchesFill(const Kinds& k) {
    Components comps = FloodFill(k);
    // Groups are numbered in the order of their lowest cell, counting only components of two or more.
    std::map<int, int> groupOfComp;
    int next = 1;
    for (size_t c = 0; c < comps.size.size(); ++c) {
        if (comps.size[c] >= 2) groupOfComp[static_cast<int>(c)] = next++;
    }
    std::vector<float> expectedSizes;
    std::vector<bool> counted(comps.size.size(), false);
    float largest = 0;
    for (int cell = 0; cell < 36; ++cell) {
        int comp = comps.id[cell];
        int size = comps.size[comp];
        int expectedGroup = size >= 2 ? groupOfComp[comp] : 0;
        ASSERT_EQ(groupOfCell(cell), expectedGroup) << "cell " << cell;
        ASSERT_EQ(creatures(cell).state == 7, size >= 4) << "cell " << cell;
        if (size >= 4 && !counted[comp]) {
            counted[comp] = true;
            expectedSizes.push_back(static_cast<float>(size));
            largest = std::max(largest, static_cast<float>(size));
        }
    }
    ASSERT_EQ(groupsCleared, static_cast<float>(expectedSizes.size()));
    for (size_t g = 0; g < expectedSizes.size(); ++g) ASSERT_EQ(groupSizes(static_cast<int>(g)), expectedSizes[g]);
    ASSERT_EQ(largestGroup, largest);
    ASSERT_EQ(boardPhase, expectedSizes.empty() ? 2 : 1);
    // Member lists: the seed is the group's lowest cell, then the cells in the order of a fill
    // taking neighbours left, right, above, below.
    for (auto [comp, group] : groupOfComp) {
        std::vector<int> order = FillOrder(k, comps.lowestCell[comp]);
        ASSERT_EQ(groupExtra(group) + 1, static_cast<float>(order.size()));
        for (size_t m = 0; m < order.size(); ++m) {
            ASSERT_EQ(groupMembers(group, static_cast<int>(m), 0), order[m]) << "group " << group << " member " << m;
            ASSERT_EQ(groupMembers(group, static_cast<int>(m), 1), order[m] % 6);
            ASSERT_EQ(groupMembers(group, static_cast<int>(m), 2), order[m] / 6);
        }
    }
}

