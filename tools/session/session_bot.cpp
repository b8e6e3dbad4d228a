// The session bot's board player and the board checks of long sessions.
#include "tools/session/session_bot.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "game/state/globals.h"

namespace {

struct Gesture {
    std::vector<BotTouch> frames;   // one per tick
    size_t next = 0;
};

Gesture current;
long long gestures = 0;
long long quietSince = -1;
// Ten seconds of game time with a move on the board and none made is a stall.
const long long STALL_LIMIT = 600;
int lastFrom = -1, lastTo = -1;   // the last swap, never undone straight away
uint32_t botRandom = 2463534242u;  // the bot's own choices stay off the game's generator

uint32_t NextRandom() {
    botRandom ^= botRandom << 13;
    botRandom ^= botRandom >> 17;
    botRandom ^= botRandom << 5;
    return botRandom;
}

struct Move {
    int value, from, to;
    enum Kind { SWAP, SWITCH, POWER } kind;
};

float CentreX(int column) { return 35.0f + 50.0f * column; }
float CentreY(int row) { return 35.0f + 50.0f * row; }

int Kind(const std::vector<int>& board, int column, int row) { return board[column + row * 6]; }

const int DC[4] = {-1, 1, 0, 0}, DR[4] = {0, 0, -1, 1};

// The group of like kinds around (column, row): a plain flood fill over the copy. With eggs set,
// also counts the eggs that touch the group (a clear hatches them).
int GroupSize(const std::vector<int>& board, int column, int row, int* eggs = nullptr) {
    int kind = Kind(board, column, row);
    std::vector<int> seen(36, 0), stack{column + row * 6};
    seen[column + row * 6] = 1;
    int size = 0, touching = 0;
    while (!stack.empty()) {
        int cell = stack.back();
        stack.pop_back();
        ++size;
        int c = cell % 6, r = cell / 6;
        for (int d = 0; d < 4; ++d) {
            int nc = c + DC[d], nr = r + DR[d];
            if (nc < 0 || nc > 5 || nr < 0 || nr > 5) continue;
            int n = nc + nr * 6;
            if (seen[n]) continue;
            if (board[n] == kind) {
                seen[n] = 1;
                stack.push_back(n);
            } else if (board[n] == 9) {
                seen[n] = 1;
                ++touching;
            }
        }
    }
    if (eggs) *eggs = touching;
    return size;
}

int Twin(int kind) { return kind % 2 == 1 ? kind + 1 : kind - 1; }

bool Ordinary(int kind) { return kind >= 1 && kind <= 8; }
bool PowerUp(int kind) { return kind >= 10 && kind <= 15; }

// Whether the game takes this swipe: as the board's own rule, a creature must land beside a like
// one (or the level bonus period runs, when every swap goes).
bool LegalSwap(const std::vector<int>& board, int from, int to) {
    int a = board[from], b = board[to];
    if (a == b) return false;   // allowed, but it changes nothing
    if (bonusTicks > 0) return true;
    auto touches = [&](int cell, int except, int kind) {
        int c = cell % 6, r = cell / 6;
        for (int d = 0; d < 4; ++d) {
            int nc = c + DC[d], nr = r + DR[d];
            if (nc < 0 || nc > 5 || nr < 0 || nr > 5) continue;
            int n = nc + nr * 6;
            if (n != except && board[n] == kind) return true;
        }
        return false;
    };
    return touches(to, from, a) || touches(from, to, b);
}

void Hold(Gesture& g, int ticks, float x, float y, int button) {
    for (int i = 0; i < ticks; ++i) g.frames.push_back(BotTouch{x, y, button});
}

bool SwitchesFree() { return powerType == 3 || bonusTicks > 0; }

// What a move is worth: the size of the group it makes, and three more for each egg that group
// hatches when it clears. A group of eggs or power-ups is worth nothing: clearing those wastes them.
int ValueOf(const std::vector<int>& board, int cell) {
    int kind = board[cell];
    int eggs = 0;
    int size = GroupSize(board, cell % 6, cell / 6, &eggs);
    if (!Ordinary(kind)) return size >= 4 ? 0 : 1;
    return size >= 4 ? size + 3 * eggs : size;
}

// Every move the board allows, as the rules take them: swipes that land a creature beside a like
// one, switches while switches are to be had, taps on a hatched power-up outside the bonus period.
std::vector<Move> LegalMoves() {
    std::vector<int> board(36);
    for (int i = 0; i < 36; ++i) board[i] = static_cast<int>(creatures(i).kind);
    std::vector<Move> moves;
    for (int cell = 0; cell < 36; ++cell) {
        int c = cell % 6, r = cell / 6, k = board[cell];
        for (int d = 1; d < 4; d += 2) {   // right and below: each pair once
            int c2 = c + DC[d], r2 = r + DR[d];
            if (c2 > 5 || r2 > 5) continue;
            int other = c2 + r2 * 6;
            if (!LegalSwap(board, cell, other)) continue;
            std::vector<int> moved = board;
            std::swap(moved[cell], moved[other]);
            int value = std::max(ValueOf(moved, cell), ValueOf(moved, other));
            moves.push_back(Move{value, cell, other, Move::SWAP});
        }
        if (Ordinary(k) && (swaps > 0 || SwitchesFree())) {
            std::vector<int> switched = board;
            switched[cell] = Twin(k);
            int value = ValueOf(switched, cell);
            // A paid switch that clears nothing only spends the bank; one that clears gives way
            // to a swipe as good, as a player keeps switches for when no swipe will do.
            if (!SwitchesFree()) value = value < 4 ? 0 : value - 1;
            moves.push_back(Move{value, cell, cell, Move::SWITCH});
        }
        if (PowerUp(k) && bonusTicks == 0) moves.push_back(Move{0, cell, cell, Move::POWER});
    }
    return moves;
}

long long powersTapped = 0;

// Picks a move as a player would: a hatched power-up first unless a power still runs; otherwise,
// at random among the moves that make the largest group (with the eggs it hatches), a swipe or a
// switch. Whatever the board allows is played rather than nothing: a power-up while another power
// runs, the swap just made undone, a switch that clears nothing.
bool PlanMove(Gesture& g) {
    std::vector<Move> moves = LegalMoves();
    if (moves.empty()) return false;
    auto undo = [](const Move& m) {
        return m.kind == Move::SWAP && ((m.from == lastFrom && m.to == lastTo) || (m.from == lastTo && m.to == lastFrom));
    };
    std::vector<Move> powers, plays, others;
    for (const Move& m : moves) {
        if (m.kind == Move::POWER) powers.push_back(m);
        else if (m.value >= 1 && !undo(m)) plays.push_back(m);
        else others.push_back(m);
    }
    int best = 0;
    for (const Move& m : plays) best = std::max(best, m.value);
    std::vector<Move> top;
    if (!powers.empty() && (powerType == 0 || best < 4)) {
        top = powers;
    } else if (!plays.empty()) {
        // Mostly the best move; now and then any of them, so that a board where no single move
        // reaches four is stirred rather than swapped back and forth.
        bool explore = best < 4 && NextRandom() % 3 == 0;
        for (const Move& m : plays) {
            if (m.value == best || explore) top.push_back(m);
        }
    } else if (!powers.empty()) {
        top = powers;
    } else {
        top = others;
    }
    Move m = top[NextRandom() % top.size()];
    if (NextRandom() % 2 == 1 && m.kind == Move::SWAP) std::swap(m.from, m.to);
    int fromC = m.from % 6, fromR = m.from / 6, toC = m.to % 6, toR = m.to / 6;
    if (m.kind == Move::SWAP) {
        lastFrom = m.from;
        lastTo = m.to;
    }
    float x = CentreX(fromC), y = CentreY(fromR);
    if (m.kind != Move::SWAP) {
        // Two taps: a switch, or a power-up's start.
        if (m.kind == Move::POWER) ++powersTapped;
        Hold(g, 3, x, y, 1);
        Hold(g, 3, x, y, 0);
        Hold(g, 3, x, y, 1);
        Hold(g, 3, x, y, 0);
    } else {
        float x2 = CentreX(toC), y2 = CentreY(toR);
        Hold(g, 4, x, y, 1);
        Hold(g, 2, (x + x2) / 2, (y + y2) / 2, 1);
        Hold(g, 2, x2, y2, 1);
        Hold(g, 2, x2, y2, 0);
    }
    Hold(g, 20, x, y, 0);   // let the touch phases settle before the next gesture
    return true;
}

long long stallSince = -1;
PowerCounts powerCounts;
std::vector<float> seenKinds, seenStates;

}  // namespace

BotTouch BoardBotStep() {
    if (current.next < current.frames.size()) return current.frames[current.next++];
    current = Gesture();
    bool playing = (phase == 7 || phase == 11 || phase == 13) && boardPhase == 2;
    // A finger that was just lifted opens the double-tap window (and a release made while the
    // board moved is read only when it rests): a press inside it is taken as a second tap, so the
    // bot lets it close first, as a player's pause between moves does.
    if (!playing || touchPhase != 0 || touchPhaseTicks != 0) return BotTouch{};
    if (selectedCell != 0) {
        // A creature left selected (a tap the board took differently): a touch in the strip
        // under the board, clear of its buttons, lets it go.
        Hold(current, 3, 160, 420, 1);
        Hold(current, 3, 160, 420, 0);
        return current.frames[current.next++];
    }
    if (PlanMove(current)) {
        ++gestures;
        return current.frames[current.next++];
    }
    return BotTouch{};
}

bool BoardBotBusy() { return current.next < current.frames.size(); }

bool BoardHasMove() {
    std::vector<int> board(36);
    for (int i = 0; i < 36; ++i) board[i] = static_cast<int>(creatures(i).kind);
    bool switches = swaps > 0 || SwitchesFree();
    for (int cell = 0; cell < 36; ++cell) {
        int k = board[cell];
        if ((switches && Ordinary(k)) || (PowerUp(k) && bonusTicks == 0)) return true;
        if (cell % 6 < 5 && LegalSwap(board, cell, cell + 1)) return true;
        if (cell < 30 && LegalSwap(board, cell, cell + 6)) return true;
    }
    return false;
}

std::string CheckMoveStall(long long tick) {
    // The board waits for the player: the game runs, nothing covers it, no move is under way
    // (a rejected touch's short pause counts as waiting: it is no move).
    bool waiting = phase == 7 && screen == 7 && runState == 2 && overlayState == 0 &&
                   (boardPhase == 2 || boardPhase == 5);
    if (!waiting || stallSince < 0 || tick < stallSince || !BoardHasMove()) {
        stallSince = tick;
        return "";
    }
    if (tick - stallSince <= STALL_LIMIT) return "";
    char text[160];
    snprintf(text, sizeof text, "the board has had a move for %lld ticks and none was made (switches %g, power %g)",
             tick - stallSince, swaps, powerType);
    return text;
}

void WatchPowers() {
    if (creatures.ArraySize(0) != 36) return;
    if (seenKinds.size() != 36) {
        seenKinds.assign(36, 0);
        seenStates.assign(36, 0);
        for (int i = 0; i < 36; ++i) {
            seenKinds[i] = creatures(i).kind;
            seenStates[i] = creatures(i).state;
        }
    }
    for (int i = 0; i < 36; ++i) {
        const Creature& c = creatures(i);
        int was = static_cast<int>(seenKinds[i]);
        // An egg starts hatching into the power-up it will be; a tapped power-up becomes a used one.
        if (c.state == 6 && seenStates[i] != 6 && PowerUp(static_cast<int>(c.nextKind)))
            powerCounts.hatched[static_cast<int>(c.nextKind) - 10] += 1;
        if (c.kind == 16 && PowerUp(was)) powerCounts.used[was - 10] += 1;
        seenKinds[i] = c.kind;
        seenStates[i] = c.state;
    }
}

const PowerCounts& BotPowerCounts() { return powerCounts; }

long long BotPowersTapped() { return powersTapped; }

long long BotGestures() { return gestures; }

std::string CheckBoard(long long tick) {
    char text[200];
    if (creatures.ArraySize(0) != 36) return "the board is not 36 cells";
    for (int i = 0; i < 36; ++i) {
        const Creature& c = creatures(i);
        if (c.kind < 0 || c.kind > 16 || c.kind != static_cast<float>(static_cast<int>(c.kind))) {
            snprintf(text, sizeof text, "cell %d has kind %g", i, c.kind);
            return text;
        }
        if (c.state < 0 || c.state > 10) {
            snprintf(text, sizeof text, "cell %d has state %g", i, c.state);
            return text;
        }
        if (c.state == 1 && (c.x != c.column * 50 || c.y != c.row * 50 || c.column != i % 6 || c.row != i / 6)) {
            snprintf(text, sizeof text, "cell %d rests at (%g, %g) as column %g row %g", i, c.x, c.y, c.column, c.row);
            return text;
        }
    }
    // A board that is busy must become quiet again: no animation lasts this long.
    bool live = runState == 2 && (phase == 7 || phase == 13);
    // The count starts with the session's first tick, which a resumed session numbers on from
    // the one that saved (a game resumed in the middle of a fall is not a board that never rests).
    if (!live || boardPhase == 2 || quietSince < 0 || tick < quietSince) {
        quietSince = tick;
    } else if (tick - quietSince > 3000) {
        snprintf(text, sizeof text, "the board has not come to rest for 3000 ticks (phase %g, busy %g)",
                 boardPhase, busyCount);
        return text;
    }
    return "";
}
