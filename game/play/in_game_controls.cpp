// The four touch buttons of the strip below the board. Until they are built, a touch on the strip
// only wakes the control bar.
#include "game/play/board_state.h"
#include "game/play/play.h"

void InGameControls() {
    if (runState != 2) return;
    if (touchDown == 0) {
        stripTouch = 0;
    } else {
        stripTouch = stripTouch == 0 ? 1 : 2;
    }
    if (touchY <= 409 || touchDown == 0) return;
    if (controlsTicks == 0) {
        controlsTicks = 140;
    } else if (controlsTicks <= 120 && controlsTicks > 20) {
        controlsTicks = 120;
    } else if (controlsTicks <= 20) {
        controlsTicks = 140 - (20 - controlsTicks);
    }
}
