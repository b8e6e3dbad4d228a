// How the emulated device display is shown in the real window. In a window the two are the same
// size and the mapping is the identity; fullscreen, the display is drawn at the largest size with
// its own aspect that fits the screen, centred, with black around it. Drawing (viewports) and
// touch (pointer positions) go through the same mapping, so a tap lands where the picture is.
#pragma once

namespace Platform {

struct Presentation {
    int windowWidth = 0, windowHeight = 0;    // the real window (the screen when fullscreen)
    int displayWidth = 0, displayHeight = 0;  // the emulated device display
    int x = 0, y = 0;                         // the picture's top-left corner in window pixels
    int width = 0, height = 0;                // the picture's size in window pixels
};

struct PixelRect {
    int x, y, width, height;
};

// The display shown one to one in a window of its own size.
Presentation WindowedPresentation(int displayWidth, int displayHeight);
// The display fitted into a window (screen) of the given size, aspect kept, centred.
Presentation FittedPresentation(int windowWidth, int windowHeight, int displayWidth, int displayHeight);

// A window pixel to the display pixel shown there. Pixels beside the picture map outside the
// display (negative, or at or beyond its size); callers clamp as they would any position.
void WindowToDisplay(const Presentation& p, int& x, int& y);
// The window pixels that show a display rectangle (rows counted from the top): exactly the
// pixels that WindowToDisplay maps into it.
PixelRect DisplayRectToWindow(const Presentation& p, int x, int y, int width, int height);

}  // namespace Platform
