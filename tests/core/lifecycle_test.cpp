// Lifecycle rules on the headless twin: callbacks by name, pause and resume (and which
// activation events count), event pumping limits, the timers, the quit paths.
#include <gtest/gtest.h>

#include "core_test_util.h"
#include "runtime/core/entry.h"
#include "runtime/core/lifecycle.h"
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
}  // namespace

TEST_F(Lifecycle, CallByNameFindsExactNamesOnly) {
    EXPECT_EQ(CALLBYNAME(KString("KRT_ON_PAUSE")), 1.0f);
    EXPECT_EQ(pauses, 1);
    testing::internal::CaptureStdout();
    EXPECT_EQ(CALLBYNAME(KString("krt_on_pause")), 0.0f);
    EXPECT_EQ(CALLBYNAME(KString("KRT_WIN32_MSG")), 0.0f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "CALLBYNAME \"krt_on_pause\" *** failed ***\n");  // the other is silent
    EXPECT_EQ(pauses, 1);
    const CallbackRow EMPTY[] = {{nullptr, nullptr}};
    SetCallbackTable(EMPTY);
    EXPECT_EQ(CALLBYNAME(KString("KRT_ON_QUIT")), 0.0f);
}

TEST_F(Lifecycle, PauseAndResumeRunOncePerChangeAndOnlyResumeWhileDisabled) {
    SetPaused(1);
    SetPaused(1);
    EXPECT_EQ(pauses, 1);
    EXPECT_TRUE(IsPaused());
    SetPaused(0);
    SetPaused(0);
    EXPECT_EQ(resumes, 1);
    EXPECT_FALSE(IsPaused());

    SetPaused(1);
    EnablePause(0);  // paused at that moment: resumes
    EXPECT_EQ(resumes, 2);
    EXPECT_FALSE(IsPaused());
    SetPaused(1);  // ignored while disabled
    EXPECT_EQ(pauses, 2);
    EXPECT_FALSE(IsPaused());
    EnablePause(1);
    SetPaused(1);
    EXPECT_EQ(pauses, 3);
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

TEST_F(Lifecycle, PumpStopsAtQuitAndAfter255Events) {
    NullPlatform::PushActive(false, APP_MOUSEFOCUS);
    NullPlatform::PushQuit();
    NullPlatform::PushActive(false, APP_ACTIVE);
    EXPECT_EQ(PumpEvents(), 0);
    EXPECT_EQ(pauses, 0);  // events after the quit stay queued
    EXPECT_EQ(NullPlatform::PendingEvents(), 1);
    NullPlatform::Reset();
    for (int i = 0; i < 300; ++i) NullPlatform::PushActive(true, APP_MOUSEFOCUS);
    EXPECT_EQ(PumpEvents(), 1);
    EXPECT_EQ(NullPlatform::PendingEvents(), 300 - 256);  // 255 handled, the 256th dropped
}

TEST_F(Lifecycle, KeysFeedTheTextBufferExceptControlAndWideOnes) {
    inputState = new InputState();
    const struct { int sym; uint16_t unicode; } keys[] = {
        {'a', 'a'}, {273, 0} /* arrow */, {0x41, 0x263a} /* beyond one byte */, {8, 0} /* backspace */, {'b', 'B'}};
    for (const auto& k : keys) {
        Platform::Event e;
        e.type = Platform::EVENT_KEYDOWN;
        e.keySym = k.sym;
        e.unicode = k.unicode;
        EXPECT_EQ(HandleEvent(e), 1);
    }
    EXPECT_EQ(std::string(inputState->textInput.begin(), inputState->textInput.begin() + inputState->textPending), "a\bB");
    delete inputState;
    inputState = nullptr;
}

// F11 and Alt+Enter (either Alt, main or keypad Enter) switch the display between its window and
// the screen; the switch is no pause and types nothing, and the pointer follows the picture.
TEST_F(Lifecycle, FullscreenKeysSwitchTheDisplayWithoutPausingAndTouchFollows) {
    NullPlatform::SetDisplaySize(768, 1024);
    NullPlatform::SetScreenSize(1920, 1080);
    graphicsDevice = new GraphicsDevice();
    graphicsDevice->SetScreen(0, 768, 1024, 0, 60, 0);
    inputState = new InputState();
    inputState->Setup();
    auto press = [](int sym, uint16_t modifiers, uint16_t unicode) {
        Platform::Event e;
        e.type = Platform::EVENT_KEYDOWN;
        e.keySym = sym;
        e.modifiers = modifiers;
        e.unicode = unicode;
        return HandleEvent(e);
    };
    auto touchAt = [](int windowX, int windowY) {
        NullPlatform::SetPointer(windowX, windowY, 1);
        float x, y, b1, b2;
        MouseState(x, y, b1, b2);
        return std::make_pair(static_cast<int>(x), static_cast<int>(y));
    };
    const struct { int sym; uint16_t modifiers; uint16_t unicode; bool fullscreen; } keys[] = {
        {292, 0, 0, true},                                   // F11
        {292, 0, 0, false},
        {13, 0, 13, false},                                  // Enter alone is a character
        {13, Platform::KEYMOD_LALT, 13, true},               // Alt+Enter
        {271, Platform::KEYMOD_RALT, 13, false},             // right Alt + keypad Enter
        {'a', Platform::KEYMOD_LALT, 'a', false},            // Alt with another key
        {292, Platform::KEYMOD_LALT, 0, true},
    };
    testing::internal::CaptureStdout();
    for (const auto& k : keys) {
        EXPECT_EQ(press(k.sym, k.modifiers, k.unicode), 1);
        EXPECT_EQ(Platform::Fullscreen(), k.fullscreen) << k.sym << " with modifiers " << k.modifiers;
    }
    std::string lines = testing::internal::GetCapturedStdout();
    EXPECT_EQ(lines, "fullscreen 1920x1080\nwindowed 768x1024\nfullscreen 1920x1080\nwindowed 768x1024\n"
                     "fullscreen 1920x1080\n");
    EXPECT_EQ(std::string(inputState->textInput.begin(), inputState->textInput.begin() + inputState->textPending),
              "\na");
    EXPECT_EQ(pauses + resumes, 0);

    // Fullscreen: the 768 x 1024 display is 810 x 1080 at (555, 0); touches are read in the
    // display's own pixels, and beside the picture they are held at its edge.
    EXPECT_EQ(touchAt(555 + 405, 540), std::make_pair(384, 512));
    EXPECT_EQ(touchAt(555, 0), std::make_pair(0, 0));
    EXPECT_EQ(touchAt(555 + 809, 1079), std::make_pair(767, 1023));
    EXPECT_EQ(touchAt(100, 500), std::make_pair(0, 474));
    EXPECT_EQ(touchAt(1900, 500), std::make_pair(768, 474));
    // Back in the window, window and display pixels are the same again.
    EXPECT_EQ(press(292, 0, 0), 1);
    EXPECT_EQ(touchAt(384, 512), std::make_pair(384, 512));
    EXPECT_EQ(pauses + resumes, 0);

    delete inputState;
    inputState = nullptr;
    delete graphicsDevice;
    graphicsDevice = nullptr;
}

TEST_F(Lifecycle, TimersCountFromTheirZeroAndTheOffset) {
    float elapsed = ElapsedMs();
    SetTimerOffset(elapsed);
    NullPlatform::AdvanceClock(250);
    EXPECT_EQ(ElapsedMs() - elapsed, 250.0f);
    EXPECT_EQ(TimerMs(), 250.0f);
    SleepMs(40);
    EXPECT_EQ(TimerMs(), 290.0f);
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
