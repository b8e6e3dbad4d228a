// A plausibility check of the gameplay state, for a saved game read back from a file: every value
// that the board routines use as a table index or a phase must lie where the routines expect it,
// so that a damaged file is refused instead of ending the program on a table's bounds.
#include <cmath>

#include "game/play/board_state.h"
#include "game/play/play.h"

namespace {

bool Whole(float v) { return std::isfinite(v) && v == std::trunc(v); }
bool InRange(float v, float lo, float hi) { return Whole(v) && v >= lo && v <= hi; }
bool Finite(float v) { return std::isfinite(v); }

bool CreatureOk(const Creature& c) {
    if (!InRange(c.column, 0, 5) || !InRange(c.row, 0, 5)) return false;
    if (!InRange(c.kind, 0, USED_POWER_KIND) || !InRange(c.state, 0, 10)) return false;
    if (!InRange(c.idlePose, 0, 4)) return false;
    // A swapping creature names its partner, a neighbouring cell.
    if (c.state == 5 && !InRange(c.nextKind, 0, 35)) return false;
    for (float v : {c.x, c.y, c.timer, c.effect, c.nextKind, c.idleTicks, c.idleWait})
        if (!Finite(v)) return false;
    return true;
}

bool TablesSized() {
    return creatures.ArraySize(0) == 36 && sweepOrder.ArraySize(0) == 36 && sweepDelay.ArraySize(0) == 36 &&
           groupOfCell.ArraySize(0) == 36 && groupExtra.ArraySize(0) >= 37 && groupSizes.ArraySize(0) >= 37 &&
           columnRefills.ArraySize(0) == 6 && popupX.ArraySize(0) == 10 && speechQueue.ArraySize(0) >= 2 &&
           noticeRing.ArraySize(0) == 10;
}

}  // namespace

bool PlayStateIsSound() {
    if (!TablesSized()) return false;
    for (int cell = 0; cell <= 35; ++cell) {
        if (!CreatureOk(CellAt(cell))) return false;
        if (!InRange(sweepOrder(cell), 0, 35) || !Finite(sweepDelay(cell))) return false;
        if (!InRange(groupOfCell(cell), 0, 36)) return false;
    }
    for (int g = 0; g < 37; ++g)
        if (!InRange(groupExtra(g), 0, 35) || !InRange(groupSizes(g), 0, 36)) return false;
    if (!InRange(selectedCell, 0, 36) || !InRange(targetCell, 0, 36)) return false;
    if (!InRange(selectedColumn, 0, 5) || !InRange(selectedRow, 0, 5)) return false;
    if (!InRange(boardPhase, 0, 6) || !InRange(entryPattern, -1, 4) || !InRange(touchPhase, 0, 4)) return false;
    if (!InRange(groupsCleared, 0, 36)) return false;
    if (!InRange(popupSlot, 0, 9) || !InRange(noticeIndex, 0, 9)) return false;
    int queue = speechQueue.ArraySize(0);
    if (!InRange(speechQueueRead, 0, static_cast<float>(queue - 2)) ||
        !InRange(speechQueueEnd, 0, static_cast<float>(queue - 2)) || speechQueueRead > speechQueueEnd)
        return false;
    if (!InRange(powerType, 0, 3) || !InRange(creatureKinds, 1, 8) || !InRange(gameMode, 0, 5)) return false;
    if (!InRange(runState, 0, 3) || !InRange(slideTicks, 0, 90)) return false;
    for (float v : {busyCount, gameClock, bonusTicks, swaps, score, pendingScore, levelProgress, levelTarget})
        if (!Finite(v)) return false;
    return true;
}
