// Lifecycle rules on the headless twin: callbacks by name, pause and resume (and which
// activation events count), event pumping limits, Hibernate's wait, the quit paths.
#include <gtest/gtest.h>
#include <unistd.h>

#include "runtime/core/lifecycle.h"
#include "runtime/input/input_state.h"
#include "runtime/platform/null_platform.h"

namespace {
int pauses = 0, resumes = 0, quits = 0;
void OnPause() { ++pauses; }
void OnResume() { ++resumes; }
void OnQuit() {
    ++quits;
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
        pauses = resumes = quits = 0;
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
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "CALLBYNAME \"krt_on_pause\" *** failed ***\n");  // the other one is silent
    EXPECT_EQ(pauses, 1);

    const CallbackRow EMPTY[] = {{nullptr, nullptr}};
    SetCallbackTable(EMPTY);
    testing::internal::CaptureStdout();
    EXPECT_EQ(CALLBYNAME(KString("KRT_ON_QUIT")), 0.0f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(Lifecycle, PauseAndResumeRunOncePerChange) {
    SetPaused(1);
    SetPaused(1);
    EXPECT_EQ(pauses, 1);
    EXPECT_TRUE(IsPaused());
    SetPaused(0);
    SetPaused(0);
    EXPECT_EQ(resumes, 1);
    EXPECT_FALSE(IsPaused());
}

TEST_F(Lifecycle, DisabledCallbacksOnlyEverResume) {
    SetPaused(1);
    EnablePause(0);  // paused at that moment: resumes
    EXPECT_EQ(resumes, 1);
    EXPECT_FALSE(IsPaused());
    SetPaused(1);  // ignored while disabled
    EXPECT_EQ(pauses, 1);
    EXPECT_FALSE(IsPaused());
    EnablePause(1);
    SetPaused(1);
    EXPECT_EQ(pauses, 2);
}

TEST_F(Lifecycle, MouseLeavingTheWindowIsNoPause) {
    NullPlatform::PushActive(false, APP_MOUSEFOCUS);
    NullPlatform::PushActive(true, APP_MOUSEFOCUS);
    EXPECT_EQ(PumpEvents(), 1);
    EXPECT_EQ(pauses + resumes, 0);
    EXPECT_FALSE(IsPaused());
}

TEST_F(Lifecycle, IconifyPausesAndRestoreResumesOnce) {
    // As a desktop reports them: iconify, then restore in three steps.
    NullPlatform::PushActive(false, APP_INPUTFOCUS | APP_ACTIVE);
    NullPlatform::PushActive(false, APP_MOUSEFOCUS);
    PumpEvents();
    EXPECT_EQ(pauses, 1);
    EXPECT_TRUE(IsPaused());
    NullPlatform::PushActive(true, APP_ACTIVE);
    NullPlatform::PushActive(true, APP_INPUTFOCUS);
    NullPlatform::PushActive(true, APP_MOUSEFOCUS);
    PumpEvents();
    EXPECT_EQ(resumes, 1);
    EXPECT_FALSE(IsPaused());
    // Focus to another window is a pause too.
    NullPlatform::PushActive(false, APP_INPUTFOCUS);
    PumpEvents();
    EXPECT_EQ(pauses, 2);
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
    auto key = [](int sym, uint16_t unicode) {
        Platform::Event e;
        e.type = Platform::EVENT_KEYDOWN;
        e.keySym = sym;
        e.unicode = unicode;
        return HandleEvent(e);
    };
    EXPECT_EQ(key('a', 'a'), 1);
    key(273, 0);       // arrow keys are ignored
    key(0x41, 0x263a); // a character beyond one byte adds nothing
    key(8, 0);         // backspace is character 8
    key('b', 'B');
    EXPECT_EQ(inputState->textPending, 3);
    EXPECT_EQ(inputState->textInput[0], 'a');
    EXPECT_EQ(inputState->textInput[1], 8);
    EXPECT_EQ(inputState->textInput[2], 'B');
    delete inputState;
    inputState = nullptr;
}

TEST_F(Lifecycle, HibernateWithoutInputReturnsAfterFifteenShortSleeps) {
    uint64_t sleeps = NullPlatform::SleepCalls();
    uint64_t slept = NullPlatform::SleptMs();
    Hibernate();
    EXPECT_EQ(NullPlatform::SleepCalls() - sleeps, 15u);
    EXPECT_EQ(NullPlatform::SleptMs() - slept, 75u);
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

TEST_F(LifecycleDeathTest, QuitEventEndsWithTheQuitCallbackOnce) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto quitWhileWaiting = [] {
        dup2(STDERR_FILENO, STDOUT_FILENO);
        NullPlatform::PushQuit();
        Hibernate();
    };
    EXPECT_EXIT(quitWhileWaiting(), ::testing::ExitedWithCode(0),
                "main.cc\nquit callback\nPDL_Quit\n</PDL_Quit>\nexit\n$");
}

TEST_F(LifecycleDeathTest, QuitTakenByShowScreensOwnPumpIsNotLost) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto quitBeforeShow = [] {
        dup2(STDERR_FILENO, STDOUT_FILENO);
        NullPlatform::PushQuit();
        ShowScreen();
        printf("still running\n");
        exit(3);
    };
    EXPECT_EXIT(quitBeforeShow(), ::testing::ExitedWithCode(0), "main.cc\nquit callback\nPDL_Quit\n</PDL_Quit>\nexit\n$");
}

TEST_F(LifecycleDeathTest, EscapeEndsWithoutAnErrorLine) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto escape = [] {
        dup2(STDERR_FILENO, STDOUT_FILENO);
        inputState = new InputState();
        inputState->Setup();
        NullPlatform::PushKey(27, true);
        Hibernate();
        printf("still running\n");
        exit(3);
    };
    EXPECT_EXIT(escape(), ::testing::ExitedWithCode(0), "main.cc\nquit callback\nPDL_Quit\n</PDL_Quit>\nexit\n$");
}

TEST_F(LifecycleDeathTest, EndProgramRunsOnceAlsoFromTheExitHandler) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto plainExit = [] {
        dup2(STDERR_FILENO, STDOUT_FILENO);
        atexit(EndProgramAtExit);
        exit(0);
    };
    EXPECT_EXIT(plainExit(), ::testing::ExitedWithCode(0), "main.cc\nquit callback\nPDL_Quit\n</PDL_Quit>\nexit\n$");
    auto twice = [] {
        dup2(STDERR_FILENO, STDOUT_FILENO);
        atexit(EndProgramAtExit);
        EndProgram();
    };
    EXPECT_EXIT(twice(), ::testing::ExitedWithCode(0), "main.cc\nquit callback\nPDL_Quit\n</PDL_Quit>\nexit\n$");
}
