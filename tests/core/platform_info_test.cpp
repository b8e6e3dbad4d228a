// Platform information keys, the device decided by the opened screen, and the browser launch
// (checked with a stand-in xdg-open that records its arguments).
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
#include "runtime/platform/null_platform.h"

namespace {
// Sets an environment variable for one scope.
class EnvOverride {
public:
    EnvOverride(const char* name, const std::string& value) : name_(name), had_(getenv(name) != nullptr) {
        if (had_) old_ = getenv(name);
        setenv(name, value.c_str(), 1);
    }
    ~EnvOverride() { had_ ? setenv(name_.c_str(), old_.c_str(), 1) : unsetenv(name_.c_str()); }

private:
    std::string name_, old_;
    bool had_;
};

std::string Info(const char* key) { return PlatformInfo(KString(key)).c_str(); }

}  // namespace

TEST(PlatformInfo, KeysIgnoreCase) {
    SetVersionTexts("001.003", "Oct  2 2012-21:17:35", "0badf00d");
    const struct { const char* key; const char* answer; } cases[] = {
        {"", "WEBOS"}, {"battery", "100"}, {"Locale", "us"}, {"whatever", "NO_DATA"},
        {"version", "001.003"}, {"COMPILED", "Oct  2 2012-21:17:35"}, {"HostId", "0badf00d"}};
    for (const auto& c : cases) EXPECT_EQ(Info(c.key), c.answer) << c.key;
    EXPECT_EQ(Info("utctime").size(), 19u);  // YYYY-MM-DD hh:mm:ss
}

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
    EnvOverride path("PATH", dir.Path() + ":" + getenv("PATH"));
    const char* address = "http://example.invalid/a b?x=1;touch pwned&y=$(id)";
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(PDL_LaunchBrowser(address), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(400));  // does not wait
    for (int i = 0; i < 100 && access("args.txt", F_OK) != 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::vector<unsigned char> bytes = FileBytes("args.txt");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), std::string(address) + "\n");
    EXPECT_NE(access("pwned", F_OK), 0);
}
