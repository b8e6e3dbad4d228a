// Creating creatures: the deal of a new board (no like neighbours), the tutorial board, the cleared
// board of the menus, refill creatures and the idle animation every creature plays.
#include "game/play/board_state.h"
#include "game/play/play.h"

namespace {

// A cell holding `kind`, at rest 320 units above its place, ready to drop in.
Creature& PlaceAboveCell(int cell, float kind) {
    Creature& c = CellAt(cell);
    c.kind = kind;
    c.column = static_cast<float>(CellColumn(cell));
    c.row = static_cast<float>(CellRow(cell));
    c.x = c.column * 50;
    c.y = c.row * 50 - 320;
    c.state = 0;
    c.timer = 0;
    c.effect = 0;
    c.nextKind = 0;
    return c;
}

// Fields written for every dealt cell; the creature starts 320 units above its cell and waits.
void WriteDealtCell(int cell, float kind) {
    Creature& c = PlaceAboveCell(cell, kind);
    c.idlePose = 0;
    c.idleTicks = 0;
    c.idleWait = GameRandom(360) + 60;
    busyCount += 1;
}

}  // namespace

void DealBoard() {
    for (int cell = 0; cell <= 35; ++cell) {
        int column = CellColumn(cell);
        int row = CellRow(cell);
        float excludedLeft = column > 0 ? CellAt(cell - 1).kind : -1;
        float excludedAbove = row > 0 ? CellAt(cell - 6).kind : -1;
        float candidates[8] = {1, 2, 3, 4, 5, 6, 7, 8};
        int n = static_cast<int>(creatureKinds);
        if (n > 8) n = 8;
        if (n < 1) n = 1;
        float kind = 0;
        for (;;) {
            int i = n > 1 ? static_cast<int>(GameRandom(static_cast<float>(n - 1))) : 0;
            float candidate = candidates[i];
            bool excluded = candidate == excludedLeft || candidate == excludedAbove;
            if (!excluded || n == 1) {
                kind = candidate;
                break;
            }
            for (int j = i; j < 7; ++j) candidates[j] = candidates[j + 1];
            n -= 1;
        }
        WriteDealtCell(cell, kind);
    }
    ClearSelection();
}

void DealTutorialBoard() {
    for (int cell = 0; cell <= 35; ++cell) {
        WriteDealtCell(cell, static_cast<float>(tutorialCreatures(cell)));
    }
    ClearSelection();
}

void ClearBoard() {
    for (int cell = 0; cell <= 35; ++cell) PlaceAboveCell(cell, 0);
}

void CreateRefillCreature(int cell) {
    Creature& c = CellAt(cell);
    int column = CellColumn(cell);
    c.kind = GameRandom(creatureKinds - 1) + 1;
    c.idlePose = 0;
    c.idleTicks = 0;
    c.idleWait = GameRandom(360) + 60;
    float made = columnRefills(column);
    c.y = -50 * made - 50;
    c.timer = 0;
    columnRefills(column) = made + 1;
}

void IdleTick(Creature& c) {
    c.idleWait -= 1;
    if (c.idleWait == 0) {
        c.idleTicks = GameRandom(120) + 60;
        if (c.kind >= 1 && c.kind <= 8) c.idlePose = GameRandom(3) + 1;
    }
    if (c.idleWait < 0 && c.idleTicks > 0) c.idleTicks -= 1;
    if (c.idleWait < 0 && c.idleTicks == 0) {
        c.idlePose = 0;
        c.idleWait = GameRandom(360) + 60;
    }
}
