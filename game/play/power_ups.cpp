// Eggs and power-ups: eggs among the refills, hatching next to a clear, starting a power with its
// burst, and the power's running time.
#include "game/play/board_state.h"
#include "game/play/play.h"
#include "game/play/game_audio.h"

namespace {

struct PowerRow {
    float type, minutes, seconds, speech, kinds, burst;
};
// Kinds 10..15.
const PowerRow POWERS[6] = {
    {1, 0, 30, 35, 6, 66}, {1, 1, 0, 35, 6, 66}, {2, 0, 30, 36, 8, 64},
    {2, 1, 0, 36, 8, 64},  {3, 0, 30, 34, 8, 65}, {3, 1, 0, 34, 8, 65},
};

const int FIRST_BURST_SLOT = 2;
const int EFFECT_POOL_SLOTS = 31;

// An egg counts only while it is not already hatching and is not itself being cleared (a cleared
// egg that also hatched would hold two busy counts and end only one).
bool HatchableEgg(int cell) {
    const Creature& c = CellAt(cell);
    return c.kind == EGG_KIND && c.effect != HATCHING_MARK && !CellIsCleared(cell);
}

float HatchKind() {
    if (gameMode == 4) {
        static const float ZEN_KINDS[4] = {10, 11, 14, 15};
        return ZEN_KINDS[static_cast<int>(GameRandom(3))];
    }
    if (gameMode == 5) {
        eggsHatched += 1;
        return 10;
    }
    return GameRandom(5) + 10;
}

void Hatch(int cell) {
    Creature& c = CellAt(cell);
    c.nextKind = HatchKind();
    c.state = 6;
    c.timer = 10;
    c.effect = HATCHING_MARK;
    busyCount += 1;
}

}  // namespace

// Eight pieces from the outer points of a 3 x 3 grid over the cell fly outward for 15 ticks.
void StartBurst(float picture, float x, float y) {
    static const int OFFSETS[3] = {0, 19, 37};
    int slot = FIRST_BURST_SLOT;
    for (int gy = 0; gy < 3; ++gy) {
        for (int gx = 0; gx < 3; ++gx) {
            if (gx == 1 && gy == 1) continue;
            while (slot < EFFECT_POOL_SLOTS && effectTimer(slot) > 0) ++slot;
            if (slot >= EFFECT_POOL_SLOTS) return;
            float sx = static_cast<float>(gx - 1);
            float sy = static_cast<float>(gy - 1);
            float speed = (sx != 0 && sy != 0) ? 4.24f : 6.0f;
            effectX(slot) = x + OFFSETS[gx];
            effectY(slot) = y + OFFSETS[gy];
            effectSpeedX(slot) = sx * speed;
            effectSpeedY(slot) = sy * speed;
            effectAngle(slot) = 0;
            effectSize(slot) = 1;
            effectTimer(slot) = 15;
            effectValue(slot) = picture;
        }
    }
}

void CountDownEgg(float cell) {
    eggCountdown -= 1;
    if (eggCountdown != 0) return;
    Creature& c = CellAt(static_cast<int>(cell));
    if (gameMode != 5) {
        c.kind = EGG_KIND;
        eggCountdown = GameRandom(18) + eggInterval;
        eggInterval += 8;
        return;
    }
    TutorialRefillKind(cell);
}

void HatchEggsAround(float cellValue) {
    int cell = static_cast<int>(cellValue);
    int column = CellColumn(cell);
    int row = CellRow(cell);
    int m = 0;
    if (column > 0 && HatchableEgg(cell - 1)) m += 1;
    if (row > 0 && HatchableEgg(cell - 6)) m += 2;
    if (column < 5 && HatchableEgg(cell + 1)) m += 4;
    if (row < 5 && HatchableEgg(cell + 6)) m += 8;
    if (m > 7) {
        Hatch(cell + 6);
        m -= 8;
    }
    if (m > 3) {
        Hatch(cell + 1);
        m -= 4;
    }
    if (m > 1) {
        Hatch(cell - 6);
        m -= 2;
    }
    if (m == 1) Hatch(cell - 1);
}

void StartPower(float cellValue) {
    int cell = static_cast<int>(cellValue);
    int kind = static_cast<int>(CellAt(cell).kind);
    if (kind < 10 || kind > 15) return;
    const PowerRow& row = POWERS[kind - 10];
    powerType = row.type;
    powerMinutes = row.minutes;
    powerSeconds = row.seconds;
    powerIcon = static_cast<float>(kind - 9);
    creatureKinds = row.kinds;
    powerTicks = 59;
    if (gameMode == 1 || gameMode == 5) {
        gameClock = 0;
        boardLock = 0;
    }
    QueueSpeech(row.speech);
    if (gameMode != 5) SwitchTrack("othersong");
    StartBurst(row.burst, 10 + 50 * static_cast<float>(CellColumn(cell)),
               10 + 50 * static_cast<float>(CellRow(cell)));
    if (gameMode == 5 && tutorialStep >= 14 && tutorialStep <= 20) {
        if (tutorialStep < 20) eggCountdown = 1;
        eggsHatched = 2;
    }
}

void PowerTimerTick() {
    if (powerType <= 0 || bonusTicks != 0) return;
    powerTicks -= 1;
    if (powerTicks != -1) return;
    powerTicks = 59;
    powerSeconds -= 1;
    if (powerSeconds != -1) return;
    powerSeconds = 59;
    powerMinutes -= 1;
    if (powerMinutes != -1) return;
    powerType = 0;
    powerSeconds = 0;
    powerMinutes = 0;
    creatureKinds = 8;
    QueueSpeech(33);
    // The tutorial keeps the menus' music throughout.
    if (gameMode != 5) SwitchTrack("space_jungle_bebop_cut");
}
