// Touch probe: opens the display, reads pointer 0 through MouseState every frame and prints
// each change as "PTR x y b1 b2". Driven by xdotool from touch_xdotool.sh.
#include <cstdio>

#include "runtime/graphics/graphics_device.h"
#include "runtime/input/input_state.h"
#include "runtime/platform/platform.h"

int main() {
    if (!Platform::InitSystem(0x21)) return 1;
    graphicsDevice = new ZiruZADavuzovi();
    graphicsDevice->SetScreen(0, 768, 1024, 0, 60, 0);
    Platform::SetCaption("Squibly touch probe");
    inputState = new InputState();
    inputState->Setup();
    std::printf("ORIENTATION %d\nready\n", graphicsDevice->Orientation);
    std::fflush(stdout);
    float last[4] = {-1, -1, -1, -1};
    for (;;) {
        float x, y, b1, b2;
        MouseState(x, y, b1, b2);
        if (x != last[0] || y != last[1] || b1 != last[2] || b2 != last[3]) {
            std::printf("PTR %d %d %d %d\n", static_cast<int>(x), static_cast<int>(y), static_cast<int>(b1),
                        static_cast<int>(b2));
            std::fflush(stdout);
            last[0] = x, last[1] = y, last[2] = b1, last[3] = b2;
        }
        if (!graphicsDevice->PresentFrame()) break;
        graphicsDevice->Reset2DState();
    }
    std::puts("quit");
    delete inputState;
    delete graphicsDevice;
    Platform::CloseWindow();
    Platform::QuitSystem();
    return 0;
}
