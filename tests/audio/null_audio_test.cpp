// The shared slot tests on the headless twin's silent device.
#include <gtest/gtest.h>

#include "runtime/audio/sound.h"
#include "runtime/core/error_state.h"
#include "runtime/platform/null_audio.h"
#include "runtime/platform/null_platform.h"
#include "tests/audio/audio_fixture.h"

void OpenTestAudio() {
    NullPlatform::Reset();
    NullAudio::SetDeviceAvailable(true);
    OpenAudio();
    ClearError();
}

void CloseTestAudio() {
    ShutdownAudio();
}
