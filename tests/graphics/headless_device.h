// A graphics device opened on the headless twin, for tests of the device's logic.
#pragma once

#include <gtest/gtest.h>

#include "runtime/core/lifecycle.h"
#include "runtime/graphics/graphics_device.h"
#include "runtime/platform/null_platform.h"

class HeadlessDevice : public ::testing::Test {
protected:
    // Opens a device on an emulated display of width x height asking for reqW x reqH.
    void Open(int width, int height, int reqW = 768, int reqH = 1024) {
        NullPlatform::Reset();
        ElapsedMs();  // the timer's zero is the clock's start
        NullPlatform::SetDisplaySize(width, height);
        delete graphicsDevice;
        graphicsDevice = new GraphicsDevice();
        ::testing::internal::CaptureStdout();
        graphicsDevice->SetScreen(0, reqW, reqH, 0, 60, 0);
        setUpOutput = ::testing::internal::GetCapturedStdout();
    }
    void SetUp() override { Open(768, 1024); }
    void TearDown() override {
        delete graphicsDevice;
        graphicsDevice = nullptr;
    }
    std::string setUpOutput;
};
