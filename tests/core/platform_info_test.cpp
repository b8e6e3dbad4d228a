// Platform information keys, the device decision by screen size, and the browser launch
// (checked with a stand-in xdg-open that records its arguments).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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
class EnvOverride {
public:
    EnvOverride(const char* name, const char* value) : name_(name) {
        const char* old = getenv(name);
        had_ = old != nullptr;
        if (had_) old_ = old;
        setenv(name, value, 1);
    }
    ~EnvOverride() {
        if (had_) {
            setenv(name_.c_str(), old_.c_str(), 1);
        } else {
            unsetenv(name_.c_str());
        }
    }

private:
    std::string name_, old_;
    bool had_ = false;
};

bool IsDirectory(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}
}  // namespace

TEST(PlatformInfo, FixedAnswersAndCaseInsensitiveKeys) {
    EXPECT_STREQ(PlatformInfo(KString("")).c_str(), "WEBOS");
    EXPECT_STREQ(PlatformInfo(KString("battery")).c_str(), "100");
    EXPECT_STREQ(PlatformInfo(KString("GLEXT:GL_OES_framebuffer_object")).c_str(), "0");
    EXPECT_STREQ(PlatformInfo(KString("Locale")).c_str(), "us");  // the stand-in has no language
    EXPECT_EQ(PlatformInfo(KString("ID")).Length(), 6);          // marker for "no id"
    EXPECT_STREQ(PlatformInfo(KString("whatever")).c_str(), "NO_DATA");
    EXPECT_STREQ(PlatformInfo(KString("device")).c_str(), PlatformInfo(KString("DEVICE")).c_str());
}

TEST(PlatformInfo, VersionTextsComeFromTheGame) {
    SetVersionTexts("001.003", "Oct  2 2012-21:17:35", "0badf00d");
    EXPECT_STREQ(PlatformInfo(KString("version")).c_str(), "001.003");
    EXPECT_STREQ(PlatformInfo(KString("COMPILED")).c_str(), "Oct  2 2012-21:17:35");
    EXPECT_STREQ(PlatformInfo(KString("HostId")).c_str(), "0badf00d");
}

TEST(PlatformInfo, TimesHaveTheFixedShape) {
    const std::regex shape("^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}$");
    EXPECT_TRUE(std::regex_match(PlatformInfo(KString("TIME")).c_str(), shape));
    EXPECT_TRUE(std::regex_match(PlatformInfo(KString("utctime")).c_str(), shape));
    EnvOverride tz("TZ", "UTC");
    tzset();
    KString a = PlatformInfo(KString("TIME"));
    KString b = PlatformInfo(KString("UTCTIME"));
    EXPECT_EQ(MidStr(a, 0, 16), MidStr(b, 0, 16));  // same minute under UTC
}

TEST(PlatformInfo, DeviceFollowsTheScreenSizeWhenHardwareIsUnknown) {
    EXPECT_STREQ(PDL_GetHardware(), "UNKNOWN");
    EXPECT_STREQ(DeviceFromScreenSize(1024, 768).c_str(), "TOUCHPAD");
    EXPECT_STREQ(DeviceFromScreenSize(768, 1024).c_str(), "TOUCHPAD");
    EXPECT_STREQ(DeviceFromScreenSize(320, 400).c_str(), "PIXI");
    EXPECT_STREQ(DeviceFromScreenSize(320, 480).c_str(), "PRE");
    EXPECT_STREQ(DeviceFromScreenSize(800, 480).c_str(), "PRE");
    EXPECT_STREQ(DeviceFromScreenSize(700, 1000).c_str(), "PRE");
}

TEST(PlatformInfo, DeviceKeyAsksTheOpenedScreen) {
    const struct { int w, h; const char* device; } cases[] = {
        {320, 480, "PRE"}, {320, 400, "PIXI"}, {768, 1024, "TOUCHPAD"}, {1024, 768, "TOUCHPAD"}, {800, 480, "PRE"}};
    for (const auto& c : cases) {
        NullPlatform::Reset();
        NullPlatform::SetDisplaySize(c.w, c.h);
        graphicsDevice = new ZiruZADavuzovi();
        testing::internal::CaptureStdout();
        graphicsDevice->SetScreen(0, 768, 1024, 0, 60, 0);
        testing::internal::GetCapturedStdout();
        EXPECT_STREQ(PlatformInfo(KString("Device")).c_str(), c.device) << c.w << "x" << c.h;
        delete graphicsDevice;
        graphicsDevice = nullptr;
    }
}

TEST(PlatformInfo, DataFoldersAreCreatedOnDemand) {
    ScratchDir dir;
    {
        EnvOverride home("HOME", dir.Path().c_str());
        EXPECT_EQ(std::string(PlatformInfo(KString("DOCUMENTS")).c_str()), dir.Path());
        EXPECT_EQ(std::string(PlatformInfo(KString("APPDATA")).c_str()), dir.Path() + "/.kortic");
        EXPECT_TRUE(IsDirectory(dir.Path() + "/.kortic"));
        EXPECT_EQ(std::string(PlatformInfo(KString("TEMP")).c_str()), dir.Path() + "/temp");
        EXPECT_TRUE(IsDirectory(dir.Path() + "/temp"));
    }
    {
        EnvOverride home("HOME", "");
        EXPECT_STREQ(PlatformInfo(KString("DOCUMENTS")).c_str(), "~");
    }
    {
        // The device's own home: the executable's folder, with two slashes before the data folder.
        EnvOverride home("HOME", "/home/root");
        std::string exeDir = ExecutableDirectory().c_str();
        EXPECT_EQ(std::string(PlatformInfo(KString("DOCUMENTS")).c_str()), exeDir + "/");
        std::string appData = PlatformInfo(KString("APPDATA")).c_str();
        EXPECT_EQ(appData, exeDir + "//.kortic");
        EXPECT_TRUE(IsDirectory(appData));
        rmdir(appData.c_str());
    }
}

TEST(DeviceServices, BrowserGetsTheAddressAsOneArgumentWithoutAShell) {
    ScratchDir dir;
    // A stand-in browser opener that records its arguments one per line.
    {
        FILE* f = fopen("xdg-open", "w");
        ASSERT_NE(f, nullptr);
        fprintf(f, "#!/bin/sh\nsleep 0.5\nfor a in \"$@\"; do echo \"$a\"; done > '%s/args.tmp'\nmv '%s/args.tmp' '%s/args.txt'\n",
                dir.Path().c_str(), dir.Path().c_str(), dir.Path().c_str());
        fclose(f);
        chmod("xdg-open", 0755);
    }
    EnvOverride path("PATH", (dir.Path() + ":" + getenv("PATH")).c_str());
    const char* address = "http://example.invalid/a b?x=1;touch pwned&y=$(id)";
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(PDL_LaunchBrowser(address), 0);
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::milliseconds(400));  // returns at once, the opener still sleeping
    for (int i = 0; i < 100 && access("args.txt", F_OK) != 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::vector<unsigned char> bytes = FileBytes(dir.Path() + "/args.txt");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), std::string(address) + "\n");
    EXPECT_NE(access("pwned", F_OK), 0);
}

TEST(DeviceServices, OpenUrlKeepsRunningWhenEscapeDoesNotQuit) {
    ScratchDir dir;
    EnvOverride path("PATH", dir.Path().c_str());  // no opener at all: the launch fails quietly
    SetEscapeQuits(0);
    testing::internal::CaptureStdout();
    OpenUrl(KString("http://example.invalid/"));
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "exiting with url http://example.invalid/\nIgnore the segfault that will come now ;)");
    EXPECT_FALSE(ProgramEnded());
    SetEscapeQuits(1);
}
