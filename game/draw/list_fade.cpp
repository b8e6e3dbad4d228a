// The fade of scrolling list rows near the top and bottom edges of the list window.
#include "game/draw/draw.h"

namespace {
const float FADE_TOP = 58;       // rows above this are gone
const float FADE_BOTTOM = 424;   // rows below this are gone
const float FADE_SPAN = 30;      // units over which a row fades in
const float HIDDEN = -0.000001f; // the faintest normal-blend value
}  // namespace

float ListFadeAlpha(float y, float alpha) {
    float f;
    if (y < FADE_TOP + FADE_SPAN) {
        f = (y - FADE_TOP) / FADE_SPAN;
    } else if (y > FADE_BOTTOM - FADE_SPAN) {
        f = (FADE_SPAN - (y - (FADE_BOTTOM - FADE_SPAN))) / FADE_SPAN;
    } else {
        return alpha;
    }
    // A row exactly on a boundary (f = 0) comes out hidden like its neighbours beyond it.
    float r = alpha - (f - 1);
    return r < 0 ? r : HIDDEN;
}
