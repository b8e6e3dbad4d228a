// Touches on the board in the idle phase: press to select, swipe to swap with a neighbour, a second
// tap to switch a creature into its twin or to start a power-up; and the legality of a swap.
#include <cmath>

#include "game/play/board_state.h"
#include "game/play/play.h"

namespace {

const float SOUND_MATCH_SELECT = 6;
const float SOUND_SWAP = 5;
const float SOUND_SWITCH = 4;
const float SOUND_ERROR = 3;

// Finger down/up per tick: 1 pressed, 4 the tick of release, 2 the 30-tick window after a release,
// 3 a second press inside that window.
void AdvanceTouchPhase() {
    if (touchPhaseTicks > 0) {
        touchPhaseTicks -= 1;
        if (touchPhaseTicks == 0) touchPhase = 0;
    }
    int p = static_cast<int>(touchPhase);
    if (touchDown != 0) {
        if (p == 0) {
            touchPhase = 1;
            pressTaken = 0;
        } else if (p == 1) {
            pressTaken = 1;
        } else if (p == 2 || p == 4) {
            touchPhase = 3;
        } else if (p == 3) {
            touchPhase = 0;
        }
    } else {
        if (p == 1) {
            touchPhase = 4;
        } else if (p == 3) {
            touchPhase = 0;
        } else if (p == 4) {
            touchPhase = 2;
            pressTaken = 1;
            touchPhaseTicks = 30;
        }
    }
}

void RejectTouch() {
    selectedCell = 0;
    selectionFrame = 0;
    PlayEffectSound(SOUND_ERROR);
    boardPhase = 5;
    boardPauseTicks = 10;
}

bool TouchInSelectedCell() {
    return touchX >= selectedX && touchX < selectedX + 50 && touchY >= selectedY && touchY < selectedY + 50;
}

void TrySelect() {
    if (!(touchX > 9 && touchX < 309 && touchY > 9 && touchY < 309)) return;
    int dx = static_cast<int>(std::trunc(touchX - 10)) % 50;
    int dy = static_cast<int>(std::trunc(touchY - 10)) % 50;
    if (!(dx > 4 && dx < 44 && dy > 4 && dy < 44)) return;
    float column = std::trunc((touchX - 10) / 50);
    float row = std::trunc((touchY - 10) / 50);
    pressX = touchX;
    pressY = touchY;
    pressColumn = selectedColumn = column;
    pressRow = selectedRow = row;
    selectedX = 10 + 50 * column;
    selectedY = 10 + 50 * row;
    selectionFrame = 1;
    selectedCell = column + 6 * row + 1;
    userActed = 1;
    PlayEffectSound(SOUND_MATCH_SELECT);
}

void TrySwipe() {
    dragX = touchX;
    dragY = touchY;
    if (TouchInSelectedCell()) return;
    float dx = touchX - pressX;
    float dy = touchY - pressY;
    float ax = std::fabs(dx);
    float ay = std::fabs(dy);
    // An exact diagonal counts as vertical when it points down and horizontal when it points up.
    if (ax == ay) {
        if (dx > 0 && dy > 0) ay += 1;
        else if (dx > 0 && dy < 0) ax += 1;
        else if (dx < 0 && dy < 0) ay -= 1;
        else if (dx < 0 && dy > 0) ax -= 1;
    }
    float column = selectedColumn;
    float row = selectedRow;
    if (ax > ay) {
        column += dx > 0 ? 1 : -1;
    } else if (ay > ax) {
        row += dy > 0 ? 1 : -1;
    } else {
        return;
    }
    if (column < 0 || column > 5 || row < 0 || row > 5) {
        RejectTouch();
        return;
    }
    int from = static_cast<int>(selectedCell) - 1;
    int partner = static_cast<int>(column + 6 * row);
    movingKind = CellAt(from).kind;
    partnerKind = CellAt(partner).kind;
    if (!IsLegalSwap(column, row, static_cast<float>(partner), movingKind, static_cast<float>(from),
                     selectedColumn, selectedRow, partnerKind)) {
        RejectTouch();
        return;
    }
    targetColumn = column;
    targetRow = row;
    targetX = 10 + 50 * column;
    targetY = 10 + 50 * row;
    targetCell = static_cast<float>(partner + 1);
    Creature& a = CellAt(from);
    Creature& b = CellAt(partner);
    a.state = b.state = 5;
    a.timer = b.timer = 10;
    a.effect = b.effect = 1;
    // Each partner remembers the other for the slide and the exchange.
    a.nextKind = static_cast<float>(partner);
    b.nextKind = static_cast<float>(from);
    boardPhase = 1;
    busyCount += 1;
    userActed = 1;
    PlayEffectSound(SOUND_SWAP);
}

void StartSwitch(int cell) {
    targetCell = selectedCell;
    Creature& c = CellAt(cell);
    c.state = 4;
    c.timer = 10;
    PlayEffectSound(SOUND_SWITCH);
    boardPhase = 1;
    busyCount += 1;
    userActed = 1;
}

void SecondTap() {
    int cell = static_cast<int>(selectedCell) - 1;
    float kind = CellAt(cell).kind;
    bool ordinary = kind < EGG_KIND;
    if (ordinary && (powerType == 3 || bonusTicks > 0)) {
        StartSwitch(cell);
    } else if (ordinary && swaps > 0) {
        swaps -= 1;
        StartSwitch(cell);
    } else if (kind > EGG_KIND && kind < USED_POWER_KIND && bonusTicks == 0) {
        StartPower(static_cast<float>(cell));
        CellAt(cell).kind = USED_POWER_KIND;
        ClearSelection();
        MarkRemovals();
        userActed = 1;
    } else {
        RejectTouch();
    }
}

bool LikeNeighbour(int cell, int skip, float kind) {
    int column = CellColumn(cell);
    int row = CellRow(cell);
    int around[4] = {column > 0 ? cell - 1 : -1, row > 0 ? cell - 6 : -1, column < 5 ? cell + 1 : -1,
                     row < 5 ? cell + 6 : -1};
    for (int n : around) {
        if (n >= 0 && n != skip && CellAt(n).kind == kind) return true;
    }
    return false;
}

}  // namespace

bool IsLegalSwap(float partnerColumn, float partnerRow, float partnerCell, float movingKind,
                 float selectedCell, float selectedColumn, float selectedRow, float partnerKind) {
    (void)partnerColumn;
    (void)partnerRow;
    (void)selectedColumn;
    (void)selectedRow;
    int partner = static_cast<int>(partnerCell);
    int from = static_cast<int>(selectedCell);
    if (movingKind == partnerKind) return true;
    if (LikeNeighbour(partner, from, movingKind)) return true;
    if (LikeNeighbour(from, partner, partnerKind)) return true;
    return bonusTicks > 0;
}

void HandleBoardTouch() {
    AdvanceTouchPhase();
    int p = static_cast<int>(touchPhase);
    if (touchY > 409 && selectedCell != 0 && (p == 4 || p == 3)) {
        RejectTouch();
        return;
    }
    if (p == 1 && selectedCell == 0 && pressTaken == 0) {
        TrySelect();
    } else if (p == 4 && selectedCell != 0) {
        TrySwipe();
    } else if (p == 3 && selectedCell != 0) {
        if (TouchInSelectedCell()) {
            SecondTap();
        } else {
            RejectTouch();
        }
    }
}
