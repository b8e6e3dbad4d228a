// Gravity after a clear or a removal: columns fall into the emptied cells, new creatures drop in
// from above with staggered delays, and the clear's bookkeeping is handed to scoring.
#include "game/play/board_state.h"
#include "game/play/play.h"
#include "runtime/audio/sound.h"

namespace {

bool IsRemovable(int cell) {
    float kind = CellAt(cell).kind;
    return kind == USED_POWER_KIND || (powerType == 1 && (kind == 7 || kind == 8));
}

// A cell that receives a creature waits for its delay before it falls.
void MakeWaiting(Creature& c, float delay, int cell) {
    if (c.state != 0) busyCount += 1;
    c.state = 0;
    c.timer = 0;
    c.effect = 0;
    c.nextKind = 0;
    sweepDelay(cell) = delay;
}

// Empties one cell: everything above moves down one cell (keeping its height, so it falls the
// distance), and a new creature takes the top of the column. Returns the new creature's cell.
int DropColumnInto(int cell, bool countsAsClear) {
    int column = CellColumn(cell);
    int row = CellRow(cell);
    for (int k = 0; k < row; ++k) {
        int dest = cell - 6 * k;
        int src = dest - 6;
        Creature& d = CellAt(dest);
        const Creature& s = CellAt(src);
        d.kind = s.kind;
        d.idlePose = s.idlePose;
        d.idleTicks = s.idleTicks;
        d.idleWait = s.idleWait;
        d.y = s.y;
        groupOfCell(dest) = groupOfCell(src);
        MakeWaiting(d, GameRandom(3) + 1 + 4 * static_cast<float>(k), dest);
    }
    int top = column;
    groupOfCell(top) = 0;
    CreateRefillCreature(top);
    MakeWaiting(CellAt(top), GameRandom(3) + 1 + 4 * static_cast<float>(row), top);
    entryPattern = -1;
    if (countsAsClear) {
        creaturesConnected += 1;
        creaturesConnectedTotal += 1;
    }
    if (levelBreak == 0) {
        if (countsAsClear) levelProgress += 1;
        CountDownEgg(static_cast<float>(top));
    }
    boardPhase = 1;
    return top;
}

void ResetColumnRefills() {
    for (int c = 0; c < 6; ++c) columnRefills(c) = 0;
}

void RefillClockInArcade() {
    if (gameMode == 1 || gameMode == 5) {
        gameClock = 0;
        boardLock = 0;
    }
}

}  // namespace

void CollapseCleared() {
    // A collapse with nothing to remove still hands the board back to the settle phase.
    boardPhase = 1;
    ResetColumnRefills();
    float sumX = 0;
    float sumY = 0;
    float cleared = 0;
    for (int cell = 35; cell >= 0; --cell) {
        while (CellIsCleared(cell)) {
            const Creature& c = CellAt(cell);
            sumX += c.x + 25;
            sumY += c.y;
            cleared += 1;
            DropColumnInto(cell, true);
        }
    }
    if (cleared == 0) return;
    int slot = static_cast<int>(popupSlot);
    popupX(slot) = sumX / cleared + 10;
    popupY(slot) = sumY / cleared + 25;
    RefillClockInArcade();
    chainLength += 1;
    comboCount += 1;
    if (chainLength > 1) chainAwardPending += 1;
    largestAwardPending = 1;
    groupsToScore = groupsCleared;
    if (groupsCleared > 1) {
        multiGroupCount = groupsCleared;
        multiAwardPending = 1;
    }
    TrackCommitment();
}

void MarkRemovals() {
    for (int cell = 0; cell <= 35; ++cell) {
        if (!IsRemovable(cell)) continue;
        Creature& c = CellAt(cell);
        c.state = 8;
        c.timer = -1;
        busyCount += 1;
        boardPhase = 1;
    }
}

void RemoveMarked() {
    boardPhase = 1;
    ResetColumnRefills();
    for (int i = 0; i < groupOfCell.ArraySize(0); ++i) groupOfCell(i) = 0;
    bool removed = false;
    for (int cell = 35; cell >= 0; --cell) {
        // A removable refill (never expected) must not keep the loop going.
        for (int guard = 0; guard < 36 && IsRemovable(cell); ++guard) {
            removed = true;
            DropColumnInto(cell, false);
        }
    }
    if (!removed) return;
    RefillClockInArcade();
    if (StillSounding(matchChannel)) {
        match2Channel = PlayEffectSound(2);
    } else {
        matchChannel = PlayEffectSound(1);
    }
}
