// Lifecycle rules on the headless twin: callbacks by name, pause and resume (and which
// activation events count), event pumping limits, the timers, the quit paths.
#include <gtest/gtest.h>

#include "core_test_util.h"
#include "runtime/core/lifecycle.h"
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
