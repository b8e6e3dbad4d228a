// Platform information keys, the device decided by the opened screen, and the browser launch
// (checked with a stand-in xdg-open that records its arguments).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <regex>
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

bool IsDirectory(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}
}  // namespace

TEST(PlatformInfo, KeysIgnoreCase) {
    SetVersionTexts("001.003", "Oct  2 2012-21:17:35", "0badf00d");
    const struct { const char* key; const char* answer; } cases[] = {
        {"", "WEBOS"}, {"battery", "100"}, {"GLEXT:GL_OES_framebuffer_object", "0"},
        {"Locale", "us"},  // the stand-in has no language
        {"whatever", "NO_DATA"}, {"version", "001.003"}, {"COMPILED", "Oct  2 2012-21:17:35"}, {"HostId", "0badf00d"}};
    for (const auto& c : cases) EXPECT_EQ(Info(c.key), c.answer) << c.key;
    EXPECT_EQ(Info("ID").size(), 6u);  // the marker for "no id"
    const std::regex shape("^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}$");
    EnvOverride tz("TZ", "UTC");
    tzset();
    std::string local = Info("TIME"), utc = Info("utctime");
    EXPECT_TRUE(std::regex_match(local, shape)) << local;
    EXPECT_TRUE(std::regex_match(utc, shape)) << utc;
    EXPECT_EQ(local.substr(0, 16), utc.substr(0, 16));  // same minute under UTC
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
        EXPECT_EQ(Info("DEVICE"), c.device);
        delete graphicsDevice;
        graphicsDevice = nullptr;
    }
}

TEST(PlatformInfo, DataFoldersAreCreatedOnDemand) {
    ScratchDir dir;
    {
        EnvOverride home("HOME", dir.Path());
        EXPECT_EQ(Info("DOCUMENTS"), dir.Path());
        EXPECT_EQ(Info("APPDATA"), dir.Path() + "/.kortic");
        EXPECT_TRUE(IsDirectory(dir.Path() + "/.kortic"));
        EXPECT_EQ(Info("TEMP"), dir.Path() + "/temp");
        EXPECT_TRUE(IsDirectory(dir.Path() + "/temp"));
    }
    {
        EnvOverride home("HOME", "");
        EXPECT_EQ(Info("DOCUMENTS"), "~");
    }
    {
        // The device's own home: the executable's folder, with two slashes before the data folder.
        EnvOverride home("HOME", "/home/root");
        std::string exeDir = ExecutableDirectory().c_str();
        EXPECT_EQ(Info("DOCUMENTS"), exeDir + "/");
        std::string appData = Info("APPDATA");
        EXPECT_EQ(appData, exeDir + "//.kortic");
        EXPECT_TRUE(IsDirectory(appData));
        rmdir(appData.c_str());
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

TEST(DeviceServices, OpenUrlKeepsRunningWhenEscapeDoesNotQuit) {
    ScratchDir dir;
    EnvOverride path("PATH", dir.Path());  // no opener at all: the launch fails quietly
    SetEscapeQuits(0);
    testing::internal::CaptureStdout();
    OpenUrl(KString("http://example.invalid/"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "exiting with url http://example.invalid/\nIgnore the segfault that will come now ;)");
    EXPECT_FALSE(ProgramEnded());
    SetEscapeQuits(1);
}
