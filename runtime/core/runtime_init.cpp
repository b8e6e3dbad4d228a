// RuntimeInit: brings the runtime up in its fixed order, printing a line at each step.
#include <signal.h>

#include <cstdio>
#include <cstdlib>

#include "runtime/audio/sound.h"
#include "runtime/core/entry.h"
#include "runtime/core/error_state.h"
#include "runtime/core/files.h"
#include "runtime/core/lifecycle.h"
#include "runtime/core/numeric.h"
#include "runtime/graphics/font.h"
#include "runtime/graphics/graphics_device.h"
#include "runtime/graphics/image_decode.h"
#include "runtime/input/input_state.h"
#include "runtime/platform/platform.h"

namespace {
void Say(const char* line) {
    printf("%s\n", line);
    fflush(stdout);
}

// The display could not be opened: a runtime without a screen cannot run the game, so the
// program ends here, cleanly, instead of entering the game half-initialised.
[[noreturn]] void DisplayFailed() {
    printf("Can't open the display: %s\n", Platform::LastError());
    fflush(stdout);
    SetError(0);
    EndProgram();
}
// Once the executable's folder is known; a missing or unreadable picture leaves the desktop's default.
void ShowWindowIcon() {
    if (ApplicationIcon().Empty()) return;
    DecodedImage icon;
    if (LoadImageFile(ApplicationIcon().c_str(), icon)) Platform::SetWindowIcon(icon.rgba.data(), icon.width, icon.height);
}

// A quit that came while start-up presented its first frames (a SIGTERM, the window closed).
[[noreturn]] void QuitDuringStartUp() {
    SetError(0);
    EndProgram();
}
}  // namespace

int RuntimeInit(intptr_t window, int, const char* caption) {
    ProjectSettings& settings = Settings();

    if (!Platform::InitSystem(0x231)) {
        printf("SDL_Init: %s\n", Platform::LastError());
        fflush(stdout);
    }
    EnablePause(1);
    atexit(EndProgramAtExit);
    // Past a file-size limit a write fails (and the save says so) instead of the signal ending
    // the process.
    signal(SIGXFSZ, SIG_IGN);

    Say("timer");
    Say("voza");
    graphicsDevice = new GraphicsDevice();
    if (settings.screenWidth > settings.screenHeight) graphicsDevice->landscape = 1;

    Say("voza init");
    int screenOk = graphicsDevice->SetScreen(window, settings.screenWidth, settings.screenHeight, 0,
                                             settings.framesPerSecond, settings.displayMode);
    if (!screenOk || !Platform::WindowOpen()) DisplayFailed();
    if (graphicsDevice->quitDuringSetUp) QuitDuringStartUp();
    settings.desktopWidth = graphicsDevice->deskWidth;
    settings.desktopHeight = graphicsDevice->deskHeight;

    Say("Cptn");
    Caption() = KString(caption);

    SeedRandom(static_cast<uint32_t>(TimerMs()));

    Say("Network");  // networking is not part of this runtime; nothing to create
    // The 3D scene belongs to the 3D engine, which this runtime leaves out.

    Say("Input");
    inputState = new InputState();

    Say("Window mode");
    graphicsDevice->SetWindowMode(settings.windowMode);

    Say("Create DXin");
    inputState->Setup();

    Platform::SetCaption(Caption().c_str());
    if (settings.grabInput) {
        Say("sdl_grab");
        Platform::GrabInput(true);
    }

    inputState->landscape = graphicsDevice->landscape;
    Say("reptr");

    Say("getexe");
    KString exePath = ExecutablePath();
    KString dir = DirectoryOfPath(exePath);

    Say("cd");
    SetCurrentDir(dir);
    printf("exepath=curdir= %s\n", dir.c_str());
    fflush(stdout);

    CreateVirtualFileTables(exePath.c_str());
    ShowWindowIcon();

    SetTimerOffset(ElapsedMs());
    SetCurrentFrameTime(ElapsedMs());

    if (!graphicsDevice->PresentFrame()) QuitDuringStartUp();
    graphicsDevice->Reset2DState();
    float screenW = 0, screenH = 0;
    GetScreenSize(screenW, screenH);

    // Without a font picture the built-in letters stand in, so runtime messages stay legible.
    LoadStartupFont();

    SetPaused(0);
    SetCurrentFrameTime(ElapsedMs());
    inputState->trackPointer = 1;

    OpenAudio();

    Say("Init Finalized");
    return 0;
}
