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
int lastFrom = -1, lastTo = -1;   // the last swap, never undone straight away
uint32_t botRandom = 2463534242u;  // the bot's own choices stay off the game's generator

uint32_t NextRandom() {
    botRandom ^= botRandom << 13;
    botRandom ^= botRandom >> 17;
    botRandom ^= botRandom << 5;
    return botRandom;
}

struct Move {
    int size, from, to;
    bool isSwitch;
};

float CentreX(int column) { return 35.0f + 50.0f * column; }
float CentreY(int row) { return 35.0f + 50.0f * row; }

int Kind(const std::vector<int>& board, int column, int row) { return board[column + row * 6]; }

// Size of the group of like kinds around (column, row): a plain flood fill over the copy.
int GroupSize(const std::vector<int>& board, int column, int row) {
    int kind = Kind(board, column, row);
    std::vector<int> seen(36, 0), stack{column + row * 6};
    seen[column + row * 6] = 1;
    int size = 0;
    while (!stack.empty()) {
        int cell = stack.back();
        stack.pop_back();
        ++size;
        int c = cell % 6, r = cell / 6;
        const int dc[4] = {1, -1, 0, 0}, dr[4] = {0, 0, 1, -1};
        for (int d = 0; d < 4; ++d) {
            int nc = c + dc[d], nr = r + dr[d];
            if (nc < 0 || nc > 5 || nr < 0 || nr > 5) continue;
            int n = nc + nr * 6;
            if (!seen[n] && board[n] == kind) {
                seen[n] = 1;
                stack.push_back(n);
            }
        }
    }
    return size;
}

int Twin(int kind) { return kind % 2 == 1 ? kind + 1 : kind - 1; }

void Hold(Gesture& g, int ticks, float x, float y, int button) {
    for (int i = 0; i < ticks; ++i) g.frames.push_back(BotTouch{x, y, button});
}

// Picks, at random among the moves that make the largest group, a swap or (when it makes a
// group of four or more and switches are left) a switch; the last swap is not undone.
bool PlanMove(Gesture& g) {
    std::vector<int> board(36);
    for (int i = 0; i < 36; ++i) board[i] = static_cast<int>(creatures(i).kind);
    std::vector<Move> moves;
    for (int r = 0; r < 6; ++r) {
        for (int c = 0; c < 6; ++c) {
            const int dc[2] = {1, 0}, dr[2] = {0, 1};
            for (int d = 0; d < 2; ++d) {
                int c2 = c + dc[d], r2 = r + dr[d];
                if (c2 > 5 || r2 > 5) continue;
                int a = Kind(board, c, r), b = Kind(board, c2, r2);
                if (a == b || a > 8 || b > 8) continue;
                std::vector<int> moved = board;
                moved[c + r * 6] = b;
                moved[c2 + r2 * 6] = a;
                int size = std::max(GroupSize(moved, c, r), GroupSize(moved, c2, r2));
                int from = c + r * 6, to = c2 + r2 * 6;
                bool undo = (from == lastFrom && to == lastTo) || (from == lastTo && to == lastFrom);
                if (size >= 2 && !undo) moves.push_back(Move{size, from, to, false});
            }
            int k = Kind(board, c, r);
            if (k >= 1 && k <= 8 && swaps > 0) {
                std::vector<int> switched = board;
                switched[c + r * 6] = Twin(k);
                int size = GroupSize(switched, c, r);
                if (size >= 4) moves.push_back(Move{size, c + r * 6, c + r * 6, true});
            }
        }
    }
    if (moves.empty()) return false;
    int best = 0;
    for (const Move& m : moves) best = std::max(best, m.size);
    // Mostly the best move; now and then any legal one, so that a board where no single move
    // reaches four is stirred rather than swapped back and forth.
    bool explore = best < 4 && NextRandom() % 3 == 0;
    std::vector<Move> top;
    for (const Move& m : moves) {
        if (m.size == best || explore) top.push_back(m);
    }
    Move m = top[NextRandom() % top.size()];
    if (NextRandom() % 2 == 1 && !m.isSwitch) std::swap(m.from, m.to);
    int fromC = m.from % 6, fromR = m.from / 6, toC = m.to % 6, toR = m.to / 6;
    if (!m.isSwitch) {
        lastFrom = m.from;
        lastTo = m.to;
    }
    float x = CentreX(fromC), y = CentreY(fromR);
    if (m.isSwitch) {
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

}  // namespace

BotTouch BoardBotStep() {
    if (current.next < current.frames.size()) return current.frames[current.next++];
    current = Gesture();
    bool playing = (phase == 7 || phase == 11 || phase == 13) && boardPhase == 2 && selectedCell == 0;
    if (playing && PlanMove(current)) {
        ++gestures;
        return current.frames[current.next++];
    }
    return BotTouch{};
}

bool BoardBotBusy() { return current.next < current.frames.size(); }

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
    if (!live || boardPhase == 2) {
        quietSince = tick;
    } else if (tick - quietSince > 3000) {
        snprintf(text, sizeof text, "the board has not come to rest for 3000 ticks (phase %g, busy %g)",
                 boardPhase, busyCount);
        return text;
    }
    return "";
}
