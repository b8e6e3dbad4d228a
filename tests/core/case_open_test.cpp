// Case-tolerant opening, the media lookup, and the file and folder operations.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>

#include "core_test_util.h"
#include "runtime/core/error_state.h"
#include "runtime/core/files.h"

TEST(CaseOpen, LastComponentIsMatchedIgnoringCase) {
    ScratchDir dir;
    mkdir("Media", 0755);
    WriteRaw("Media/Sound.WAV", {7});
    WriteRaw("Top.txt", {8});
    FILE* f = fopen_case("Media/sound.wav", "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(fgetc(f), 7);
    fclose(f);
    f = fopen_case("TOP.TXT", "rb");  // no folder: the working directory
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(fgetc(f), 8);
    fclose(f);
    // The folder part is not searched.
    EXPECT_EQ(fopen_case("media/Sound.WAV", "rb"), nullptr);
}

TEST(CaseOpen, WritingCreatesMissingFilesAndReusesDifferentlyCasedOnes) {
    ScratchDir dir;
    WriteRaw("Save.DAT", {1});
    FILE* f = fopen_case("save.dat", "ab");
    ASSERT_NE(f, nullptr);
    fputc(2, f);
    fclose(f);
    EXPECT_EQ(FileBytes("Save.DAT"), std::vector<unsigned char>({1, 2}));
    f = fopen_case("new.dat", "wb");
    ASSERT_NE(f, nullptr);
    fclose(f);
    struct stat info;
    EXPECT_EQ(stat("new.dat", &info), 0);
}

TEST(CaseOpen, FailureLinesGoToStandardOutput) {
    ScratchDir dir;
    testing::internal::CaptureStdout();
    EXPECT_EQ(fopen_case("absent.png", "rb"), nullptr);
    EXPECT_EQ(fopen_case("nofolder/x.dat", "wb"), nullptr);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("request: fopen(\"absent.png\", \"rb\") failed\n"), std::string::npos);
    EXPECT_NE(out.find("wrt-request: fopen(\"nofolder/x.dat\", \"wb\") failed\n\n"), std::string::npos);
}

TEST(MediaLookup, FindsPlainAndDifferentlyCasedNames) {
    ScratchDir dir;
    mkdir("Media", 0755);
    WriteRaw("Media/textatlas1.png", {1});
    char path[PATH_BUFFER];
    EXPECT_EQ(MediaLookup(MediaFileTable(), "Media/TextAtlas1.PNG", path, 1), 1);
    EXPECT_STREQ(path, "Media/textatlas1.png");
    EXPECT_EQ(MediaLookup(MediaFileTable(), "Media/textatlas1.png", path, 1), 1);
    EXPECT_STREQ(path, "Media/textatlas1.png");
    EXPECT_EQ(MediaLookup(MediaFileTable(), "Media/none.png", path, 1), 0);
    EXPECT_STREQ(path, "");
    EXPECT_EQ(MediaLookup(MediaFileTable(), "", path, 1), 0);
}

TEST(FileOps, ExistenceSizeRemoval) {
    ScratchDir dir;
    WriteRaw("five.bin", {1, 2, 3, 4, 5});
    EXPECT_EQ(FileExists(KString("five.bin")), 1);
    EXPECT_EQ(FileExists(KString("FIVE.BIN")), 1);
    EXPECT_EQ(FileExists(KString("six.bin")), 0);
    EXPECT_EQ(FileSize(KString("five.bin")), 5);
    ClearError();
    EXPECT_EQ(FileSize(KString("six.bin")), 0);
    EXPECT_EQ(ErrorCode(), 3);
    EXPECT_EQ(DeleteFile(KString("five.bin")), 1);
    EXPECT_EQ(FileExists(KString("five.bin")), 0);
}

TEST(FileOps, CurrentDirectoryAlwaysEndsInSlash) {
    ScratchDir dir;
    mkdir("sub", 0755);
    testing::internal::CaptureStdout();
    EXPECT_EQ(SetCurrentDir(KString("sub")), 1.0f);
    ClearError();
    EXPECT_EQ(SetCurrentDir(KString("nowhere")), 0.0f);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(ErrorCode(), 3);
    EXPECT_NE(out.find("set cdir to: sub\n"), std::string::npos);
    EXPECT_NE(out.find("set cdir to: nowhere\n"), std::string::npos);
    KString here = GetCurrentDir();
    EXPECT_EQ(std::string(here.c_str()), dir.Path() + "/sub/");
    EXPECT_EQ(SetCurrentDir(KString("/")), 1.0f);
    EXPECT_STREQ(GetCurrentDir().c_str(), "/");
}
