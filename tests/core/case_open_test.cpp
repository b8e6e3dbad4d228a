// Case-tolerant opening, the media lookup, and the file and folder operations.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core_test_util.h"
#include "runtime/core/error_state.h"
#include "runtime/core/files.h"

namespace {
int FirstByte(const char* name) {
    FILE* f = fopen_case(name, "rb");
    if (!f) return -1;
    int c = fgetc(f);
    fclose(f);
    return c;
}
}  // namespace

TEST(CaseOpen, OnlyTheLastComponentIsMatchedIgnoringCase) {
    ScratchDir dir;
    mkdir("Media", 0755);
    WriteRaw("Media/Sound.WAV", {7});
    WriteRaw("Top.txt", {8});
    EXPECT_EQ(FirstByte("Media/sound.wav"), 7);
    EXPECT_EQ(FirstByte("TOP.TXT"), 8);
    testing::internal::CaptureStdout();
    EXPECT_EQ(FirstByte("media/Sound.WAV"), -1);
    EXPECT_EQ(fopen_case("nofolder/x.dat", "wb"), nullptr);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("request: fopen(\"media/Sound.WAV\", \"rb\") failed\n"), std::string::npos);
    EXPECT_NE(out.find("wrt-request: fopen(\"nofolder/x.dat\", \"wb\") failed\n\n"), std::string::npos);
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
    EXPECT_EQ(access("new.dat", F_OK), 0);
}

TEST(MediaLookup, FindsPlainAndDifferentlyCasedNames) {
    ScratchDir dir;
    mkdir("Media", 0755);
    WriteRaw("Media/textatlas1.png", {1});
    const struct { const char* name; int found; const char* path; } cases[] = {
        {"Media/TextAtlas1.PNG", 1, "Media/textatlas1.png"}, {"Media/textatlas1.png", 1, "Media/textatlas1.png"},
        {"Media/none.png", 0, ""}, {"", 0, ""}};
    for (const auto& c : cases) {
        char path[PATH_BUFFER] = "junk";
        EXPECT_EQ(MediaLookup(MediaFileTable(), c.name, path, 1), c.found) << c.name;
        EXPECT_STREQ(path, c.path) << c.name;
    }
}

TEST(FileOps, ExistenceSizeRemovalAndCurrentFolder) {
    ScratchDir dir;
    WriteRaw("five.bin", {1, 2, 3, 4, 5});
    EXPECT_EQ(FileExists(KString("FIVE.BIN")), 1);
    EXPECT_EQ(FileExists(KString("six.bin")), 0);
    EXPECT_EQ(FileSize(KString("five.bin")), 5);
    ClearError();
    EXPECT_EQ(FileSize(KString("six.bin")), 0);
    EXPECT_EQ(ErrorCode(), 3);
    EXPECT_EQ(DeleteFile(KString("five.bin")), 1);
    EXPECT_EQ(FileExists(KString("five.bin")), 0);

    mkdir("sub", 0755);
    testing::internal::CaptureStdout();
    EXPECT_EQ(SetCurrentDir(KString("sub")), 1.0f);
    ClearError();
    EXPECT_EQ(SetCurrentDir(KString("nowhere")), 0.0f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "set cdir to: sub\nset cdir to: nowhere\n");
    EXPECT_EQ(ErrorCode(), 3);
    EXPECT_EQ(std::string(GetCurrentDir().c_str()), dir.Path() + "/sub/");  // always ends in a slash
    EXPECT_EQ(SetCurrentDir(KString("/")), 1.0f);
    EXPECT_STREQ(GetCurrentDir().c_str(), "/");
}
