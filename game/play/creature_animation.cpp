// Per-creature animation, once per playing tick after the board step: falls with their bouncing
// landings, switches, swaps, hatches, clears, removals and the exit lift; each ending animation
// gives back its count in busyCount and may move the board phase on.
#include "game/play/board_state.h"
#include "game/play/play.h"

#include <utility>

namespace {

// Every third landing sounds, one note higher each time.
void LandingSound() {
    if (landingCount == 0) PlayEffectSound(bounceSound);
    landingCount += 1;
    if (landingCount >= 3) {
        landingCount = 0;
        bounceSound += 1;
    }
}

void Fall(Creature& c) {
    c.y += c.timer;
    if (c.y >= c.row * 50) {
        c.state = 3;
        c.y = c.row * 50;
        c.timer = 1;
        c.effect = 0.1f;
        c.nextKind = 1;
        LandingSound();
    } else {
        c.timer += 0.15f;
    }
}

void Bounce(Creature& c) {
    if (c.nextKind != 8) {
        c.timer += c.effect;
        c.effect -= 0.03f;
        c.nextKind += 1;
    }
    if (c.nextKind == 8) {
        c.state = 1;
        c.nextKind = 0;
        busyCount -= 1;
    }
}

// Switching and hatching squash the creature down to the middle of the animation, change its
// kind there and let it grow again. Returns true on the tick the animation ends.
bool Squash(Creature& c, float middleKind, bool countFlip) {
    c.timer -= 1;
    if (c.timer > 5) {
        c.effect = (c.timer - 5) * 0.12f;
    } else if (c.timer == 5) {
        c.kind = middleKind;
        c.effect = 0.1f;
        if (countFlip) flipsMade += 1;
    } else {
        c.effect = (5 - c.timer) * 0.12f;
    }
    if (c.timer > 0) return false;
    c.state = 1;
    busyCount -= 1;
    return true;
}

float Toward(float from, float to, float step) {
    if (from < to) return from + step > to ? to : from + step;
    if (from > to) return from - step < to ? to : from - step;
    return from;
}

// The two partners of a swap name each other in nextKind; the first of them to run out of time
// finishes the swap for both.
void Swap(int cell, Creature& c) {
    int partner = static_cast<int>(c.nextKind);
    if (partner < 0 || partner > 35 || partner == cell) partner = cell;
    Creature& other = CellAt(partner);
    c.x = Toward(c.x, other.column * 50, 5);
    c.y = Toward(c.y, other.row * 50, 5);
    c.timer -= 1;
    if (c.timer > 0) return;
    std::swap(c.kind, other.kind);
    std::swap(c.idlePose, other.idlePose);
    std::swap(c.idleTicks, other.idleTicks);
    std::swap(c.idleWait, other.idleWait);
    for (Creature* p : {&c, &other}) {
        p->x = p->column * 50;
        p->y = p->row * 50;
        p->state = 1;
        p->timer = 0;
        p->effect = 0;
        p->nextKind = 0;
    }
    busyCount -= 1;
    boardPhase = 3;
    ClearSelection();
    movesMade += 1;
}

void Leave(Creature& c) {
    c.y -= c.timer;
    c.timer += 0.15f;
    if (c.y <= -cellSize) {
        c.state = 10;
        c.y = -100;
        c.timer = 0;
        c.effect = 0;
        c.nextKind = 0;
        busyCount -= 2000;
    }
}

}  // namespace

void AnimateCreatures() {
    for (int cell = 0; cell <= 35; ++cell) {
        Creature& c = CellAt(cell);
        IdleTick(c);
        switch (static_cast<int>(c.state)) {
            case 2:
                Fall(c);
                break;
            case 3:
                Bounce(c);
                break;
            case 4:
                if (Squash(c, TwinKind(c.kind), true)) {
                    boardPhase = 3;
                    ClearSelection();
                }
                break;
            case 5:
                Swap(cell, c);
                break;
            case 6:
                if (Squash(c, c.nextKind, false)) boardPhase = 4;
                break;
            case 7:
                c.timer += 1;
                if (c.timer == 9) {
                    boardPhase = 4;
                    busyCount -= 1;
                }
                break;
            case 8:
                c.timer += 1;
                if (c.timer == 9) {
                    boardPhase = 6;
                    busyCount -= 1;
                }
                break;
            case 9:
                Leave(c);
                break;
            default:
                break;
        }
    }
}
