// The tutorial: a script of 26 steps that shows nine instruction panels in turn (each fades in,
// waits for the player to do what it asks or to tap NEXT, and fades out), the answer buttons below
// the board, the scripted refills that bring an egg and the three power-ups, and leaving by EXIT.
#include "game/play/board_state.h"
#include "game/play/play.h"
#include "runtime/core/numeric.h"

namespace {

const float PANEL_REST_Y = 356;
const float PANEL_START_Y = 404;  // 24 fading ticks of 2 units below the resting place
const float FADE_STEP = 0.04f;
const float FADED_OUT = -0.04f;
const float EXIT_DROP = 60;       // how far the overlay sinks while the board sweeps out
const float SOUND_GOOD_STEP = 8;
const int LAST_STEP = 26;
const int BONUS_STEP = 23;

enum StepKind { FADE_IN, WAIT, FADE_OUT };

// Steps 1, 4, ... 25 fade a panel in; 2, 5, ... 26 wait on it; 3, 6, ... 24 fade it out.
StepKind KindOfStep(int step) {
    static const StepKind KINDS[3] = {FADE_IN, WAIT, FADE_OUT};
    return KINDS[(step - 1) % 3];
}

bool IsPowerStep(int step) { return step == 14 || step == 17 || step == 20; }

bool InAnswerRow() { return touchY > 446 && touchY < 476; }
bool InContinueArea() { return InAnswerRow() && touchX > 24 && touchX < 99; }
bool InLeaveArea() { return InAnswerRow() && touchX > 218 && touchX < 293; }

bool WaitIsOver(int step) {
    switch (step) {
        case 2: return movesMade >= 3;
        case 5: return comboCount >= 3;
        case 8: return flipsMade >= 3;
        case 11: return eggsHatched >= 1;
        case 14: case 17: case 20: return eggsHatched == 2;  // a power-up was used
        case BONUS_STEP: return bonusTicks <= 0;
        default: return false;  // the last panel waits for EXIT
    }
}

// Takes a creature off the board so that its refill (the next scripted creature) drops in: the
// last egg or power-up the lesson brought, or any cell when there is none.
void MakeRoom() {
    int cell = -1;
    for (int i = 0; i <= 35; ++i) {
        float kind = CellAt(i).kind;
        if (kind == EGG_KIND || kind == 10 || kind == 12 || kind == 14) cell = i;
    }
    if (cell < 0) cell = static_cast<int>(GameRandom(35));
    Creature& c = CellAt(cell);
    c.kind = USED_POWER_KIND;
    c.state = 8;
    c.timer = -1;
    busyCount += 1;
    eggCountdown = 1;
    boardPhase = 1;
}

bool OnBoard(float kind) {
    for (int i = 0; i <= 35; ++i)
        if (CellAt(i).kind == kind) return true;
    return false;
}

void StopPower() {
    powerType = powerTicks = powerSeconds = powerMinutes = powerIcon = 0;
    creatureKinds = 8;
}

// What finishing a step does as the next one begins.
void FinishStep(int step, bool byContinue) {
    switch (step) {
        case 2: case 5:
            PlayEffectSound(SOUND_GOOD_STEP);
            break;
        case 4:
            comboCount = 0;
            break;
        case 7:
            flipsMade = 0;
            swaps = 3;
            break;
        case 8:
            PlayEffectSound(SOUND_GOOD_STEP);
            if (flipsMade >= 3) eggCountdown = 1;  // the next new creature is an egg
            if (byContinue) MakeRoom();
            break;
        case 9:
            swaps = 100;
            break;
        case 10:
            // The egg the switches asked for comes with the next new creature; when no clear has
            // brought it yet, room is made so the egg panel never talks about an egg nobody can see.
            if (eggsHatched == 0 && !OnBoard(EGG_KIND)) MakeRoom();
            break;
        case 11:
            PlayEffectSound(SOUND_GOOD_STEP);
            if (byContinue) MakeRoom();
            break;
        case 14: case 17: case 20:
            PlayEffectSound(SOUND_GOOD_STEP);
            eggsHatched = 3;
            if (byContinue) MakeRoom();
            break;
        case 21:
            bonusTicks = 600;
            break;
        case BONUS_STEP:
            bonusTicks = 0;
            levelBreak = 0;
            boardPhase = 3;  // the groups arranged during the bonus period clear now
            gameClock = 0;
            boardLock = 0;
            ClearSelection();
            PlayEffectSound(SOUND_GOOD_STEP);
            break;
        case 24:
            swaps = 0;
            StopPower();
            eggCountdown = 90000;
            break;
        default:
            break;
    }
    tutorialStep = static_cast<float>(step + 1);
    tutorialPanel = KindOfStep(step + 1) == WAIT ? 0 : -1;
    tutorialAnswer = 0;
}

// Closes the board at once; the exit sweep then returns to the menus.
void LeaveTutorial() {
    bonusTicks = 0;
    tutorialAnswer = 0;
    hudAlphaTarget = -0.01f;
    StartExitSweep();
    phase = 12;
}

}  // namespace

void TutorialTick() {
    if (touchDown == 0) {
        tutorialTouch = 0;
    } else {
        tutorialTouch = tutorialTouch == 0 ? 1 : 2;
    }
    if (boardLock >= 3 || tutorialTouch != 1) return;
    if (InLeaveArea()) {
        LeaveTutorial();
        return;
    }
    int step = static_cast<int>(tutorialStep);
    // NEXT answers a waiting panel; the answer is kept until the board is quiet.
    if (InContinueArea() && step >= 1 && step < LAST_STEP && KindOfStep(step) == WAIT && tutorialPanel == 0) {
        tutorialAnswer = 1;
    }
}

void TutorialStep() {
    int step = static_cast<int>(tutorialStep);
    if (step < 1 || step > LAST_STEP || boardLock >= 3) return;
    // A touch handled in this tick may already have set the board moving.
    bool quiet = boardPhase == 2;
    switch (KindOfStep(step)) {
        case FADE_IN:
            tutorialPanel = -1;
            if (!quiet) return;
            tutorialAlpha -= FADE_STEP;
            tutorialY -= 2;
            if (tutorialAlpha <= -1 + FADE_STEP / 2) {
                tutorialAlpha = -1;
                tutorialY = PANEL_REST_Y;
                FinishStep(step, false);
            }
            return;
        case FADE_OUT:
            tutorialPanel = -1;
            if (!quiet) return;
            tutorialAlpha += FADE_STEP;
            tutorialY += 2;
            if (tutorialAlpha >= FADED_OUT - FADE_STEP / 2) {
                tutorialAlpha = FADED_OUT;
                tutorialY = PANEL_START_Y;
                FinishStep(step, false);
            }
            return;
        case WAIT:
            tutorialPanel = 0;
            // A power-up just used must move the script on before its removal refills the board.
            if (IsPowerStep(step) && WaitIsOver(step)) {
                FinishStep(step, false);
            } else if (quiet && WaitIsOver(step)) {
                FinishStep(step, false);
            } else if (quiet && tutorialAnswer == 1) {
                ClearSelection();
                FinishStep(step, true);
            }
            return;
    }
}

void TutorialRefillKind(float cell) {
    Creature& c = CellAt(static_cast<int>(cell));
    int step = static_cast<int>(tutorialStep);
    if (step <= 11) {
        c.kind = EGG_KIND;
    } else if (step <= 14) {
        c.kind = 10;  // less creatures
    } else if (step <= 17) {
        c.kind = 12;  // clock stopped
    } else if (step <= 19) {
        c.kind = 14;  // infinite switches
    } else {
        c.kind = static_cast<float>(RandomInt(6) + 1);
    }
    if (step <= 19) eggCountdown = 9999;
}

void StartTutorial() {
    tutorialStep = 1;
    tutorialPanel = -1;
    tutorialAlpha = FADED_OUT;
    tutorialY = PANEL_START_Y;
    tutorialDrop = 0;
    tutorialAnswer = 0;
    // A finger still down from the menu is not a new press on an answer button.
    tutorialTouch = touchDown != 0 ? 2 : 0;
    tutorialSavedSpeechVolume = speechVolume;
    speechVolume = 0;
}

void TutorialSlideTick() {
    if (tutorialDrop < EXIT_DROP) tutorialDrop += 2;
}

void ForgetTutorial() {
    StopPower();
    bonusTicks = 0;
    gameClock = 0;
    clockSteps = 0;
    swaps = 0;
    eggCountdown = 0;
    eggsHatched = 0;
    tutorialStep = 0;
    tutorialPanel = 0;
    tutorialAnswer = 0;
    speechQueueRead = speechQueueEnd = speechWait = 0;
}
