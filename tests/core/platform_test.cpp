// The platform layer on the headless twin: the device decided by the opened screen, the browser
// launch (checked with a stand-in xdg-open that records its arguments), pause and resume (and which
// activation events count) and the quit paths. (The fullscreen keys are the desktop tests'.)
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "core_test_util.h"
#include "runtime/core/device_services.h"
#include "runtime/core/entry.h"
#include "runtime/core/lifecycle.h"
#include "runtime/core/platform_info.h"
#include "runtime/graphics/graphics_device.h"
#include "runtime/input/input_state.h"
#include "runtime/platform/null_platform.h"

namespace {
int pauses = 0, resumes = 0;
void OnPause() { ++pauses; }
void OnResume() { ++resumes; }
void OnQuit() {
    printf("quit callback\n");
    fflush(stdout);
}
const CallbackRow TABLE[] = {
    {OnPause, "KRT_ON_PAUSE"}, {OnQuit, "KRT_ON_QUIT"}, {OnResume, "KRT_ON_RESUME"}, {nullptr, nullptr}};

class Lifecycle : public ::testing::Test {
protected:
    void SetUp() override {
        NullPlatform::Reset();
        SetCallbackTable(TABLE);
        EnablePause(1);
        SetPaused(0);
        pauses = resumes = 0;
    }
};

using Platform::APP_ACTIVE;
using Platform::APP_INPUTFOCUS;
using Platform::APP_MOUSEFOCUS;

std::string Info(const char* key) { return PlatformInfo(KString(key)).c_str(); }
}  // namespace

TEST(PlatformInfo, DeviceFollowsTheOpenedScreenWhenHardwareIsUnknown) {
    EXPECT_STREQ(PDL_GetHardware(), "UNKNOWN");
    const struct { int w, h; const char* device; } cases[] = {{320, 480, "PRE"},       {320, 400, "PIXI"},
                                                              {768, 1024, "TOUCHPAD"}, {1024, 768, "TOUCHPAD"},
                                                              {800, 480, "PRE"},       {700, 1000, "PRE"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
        NullPlatform::Reset();
        NullPlatform::SetDisplaySize(c.w, c.h);
        graphicsDevice = new GraphicsDevice();
        testing::internal::CaptureStdout();
        graphicsDevice->SetScreen(0, 768, 1024, 0, 60, 0);
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(Info("Device"), c.device);
        delete graphicsDevice;
        graphicsDevice = nullptr;
    }
}

TEST(DeviceServices, BrowserGetsTheAddressAsOneArgumentWithoutAShell) {
    ScratchDir dir;
    // A stand-in opener that records its arguments one per line, after a delay.
    {
        std::ofstream opener("xdg-open");
        opener << "#!/bin/sh\nsleep 0.5\nfor a in \"$@\"; do echo \"$a\"; done > '" << dir.Path()
               << "/args.tmp'\nmv '" << dir.Path() << "/args.tmp' '" << dir.Path() << "/args.txt'\n";
    }
    chmod("xdg-open", 0755);
    const std::string path = getenv("PATH");
    setenv("PATH", (dir.Path() + ":" + path).c_str(), 1);
    const char* address = "http://example.invalid/a b?x=1;touch pwned&y=$(id)";
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(PDL_LaunchBrowser(address), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(400));  // does not wait
    for (int i = 0; i < 100 && access("args.txt", F_OK) != 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::vector<unsigned char> bytes = FileBytes("args.txt");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), std::string(address) + "\n");
    EXPECT_NE(access("pwned", F_OK), 0);
    setenv("PATH", path.c_str(), 1);
}

TEST_F(Lifecycle, PauseAndResumeRunOncePerChangeAndOnlyResumeWhileDisabled) {
    SetPaused(1);
    SetPaused(1);
    EXPECT_EQ(pauses, 1);
    EnablePause(0);  // paused at that moment: resumes
    EXPECT_EQ(resumes, 1);
    SetPaused(1);  // ignored while disabled
    EXPECT_EQ(pauses, 1);
    EXPECT_FALSE(IsPaused());
}

TEST_F(Lifecycle, IconifyAndFocusLossPauseButTheMouseLeavingDoesNot) {
    // As a desktop reports them: the mouse out and back, iconify, restore in three steps, focus lost.
    const struct { std::vector<std::pair<bool, int>> events; int pauses, resumes; bool paused; } steps[] = {
        {{{false, APP_MOUSEFOCUS}, {true, APP_MOUSEFOCUS}}, 0, 0, false},
        {{{false, APP_INPUTFOCUS | APP_ACTIVE}, {false, APP_MOUSEFOCUS}}, 1, 0, true},
        {{{true, APP_ACTIVE}, {true, APP_INPUTFOCUS}, {true, APP_MOUSEFOCUS}}, 1, 1, false},
        {{{false, APP_INPUTFOCUS}}, 2, 1, true},
    };
    for (size_t n = 0; n < std::size(steps); ++n) {
        SCOPED_TRACE(n);
        for (const auto& e : steps[n].events) NullPlatform::PushActive(e.first, e.second);
        EXPECT_EQ(PumpEvents(), 1);
        EXPECT_EQ(pauses, steps[n].pauses);
        EXPECT_EQ(resumes, steps[n].resumes);
        EXPECT_EQ(IsPaused(), steps[n].paused);
    }
}

using LifecycleDeathTest = Lifecycle;

TEST_F(LifecycleDeathTest, EveryQuitPathEndsWithTheQuitCallbackOnce) {
    const std::function<void()> paths[] = {
        [] { NullPlatform::PushQuit(); Hibernate(); },
        [] { NullPlatform::PushQuit(); ShowScreen(); },  // the quit taken by ShowScreen's own pump
        [] {
            inputState = new InputState();
            inputState->Setup();
            NullPlatform::PushKey(27, true);  // Escape, with no error line
            Hibernate();
        },
        [] { atexit(EndProgramAtExit); exit(0); },
        [] { atexit(EndProgramAtExit); EndProgram(); },  // runs once, not again at exit
    };
    for (size_t n = 0; n < std::size(paths); ++n) {
        SCOPED_TRACE(n);
        ExpectEndsProgram([&] { paths[n](); printf("still running\n"); exit(3); },
                          std::string("main.cc\nquit callback\n") + SHUTDOWN_LINES);
    }
}

TEST_F(LifecycleDeathTest, AQuitTakenByTheFirstFramesOfStartUpEndsTheProgram) {
    // The display's set-up presents frames and handles events before the game runs; a quit among
    // them (a SIGTERM, the window closed at once) must not be lost there.
    ExpectEndsProgram(
        [] {
            NullPlatform::PushQuit();
            RuntimeInit(0, 0, "quit test");
            printf("still running\n");
            exit(3);
        },
        std::string("DIVE init \\[OK\\]\nquit callback\nShut down KRT\nkrt is shut down\n") + SHUTDOWN_LINES);
}
