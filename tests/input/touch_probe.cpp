// Touch probe: opens the display, reads pointer 0 through MouseState every frame and prints
// each change as "PTR x y b1 b2". Driven by xdotool from touch_xdotool.sh.
#include <cstdio>
#include <vector>

#include "runtime/graphics/graphics_device.h"
#include "runtime/input/input_state.h"
#include "runtime/platform/platform.h"

int main() {
    if (!Platform::InitSystem(0x21)) return 1;
    graphicsDevice = new GraphicsDevice();
    graphicsDevice->SetScreen(0, 768, 1024, 0, 60, 0);
    Platform::SetCaption("Squibly touch probe");
    inputState = new InputState();
    inputState->Setup();
    std::printf("ORIENTATION %d\nready\n", graphicsDevice->Orientation);
    std::fflush(stdout);
    std::vector<float> last, now(4);
    do {
        MouseState(now[0], now[1], now[2], now[3]);
        if (now != last) {
            std::printf("PTR %d %d %d %d\n", int(now[0]), int(now[1]), int(now[2]), int(now[3]));
            std::fflush(stdout);
            last = now;
        }
        graphicsDevice->Reset2DState();
    } while (graphicsDevice->PresentFrame());
    std::puts("quit");
    delete inputState;
    delete graphicsDevice;
    Platform::CloseWindow();
    Platform::QuitSystem();
    return 0;
}
