// File channels (reading and seeking, safe replacement with the bytes it leaves, and the fatal
// failures on an open channel) and the case-tolerant file operations.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include "core_test_util.h"
#include "runtime/core/error_state.h"
#include "runtime/core/files.h"

TEST(FileChannels, ReadAndSeekByteForByteAndOpenFailuresSetTheErrorCode) {
    ScratchDir dir;
    // 0.1 as a double and a byte, as another program wrote them (the save tests read what the game
    // writes as doubles).
    WriteRaw("in.bin", {0x9A, 0x99, 0x99, 0x99, 0x99, 0x99, 0xB9, 0x3F, 0xFE, 0x34, 0x12});
    ASSERT_EQ(OpenFile(0, KString("in.bin"), 1), 1);
    float number = 0;
    int byte = 0;
    ReadNum(0, number);
    ReadByte(0, byte);
    EXPECT_EQ(number, 0.1f);
    EXPECT_EQ(byte, 0xFE);
    const struct { int offset, origin, byte; } seeks[] = {{9, 0, 0x34}, {-2, -1, 0x34}, {-1, -1, 0x12}};
    for (const auto& s : seeks) {
        SeekFile(0, s.offset, s.origin);
        ReadByte(0, byte);
        EXPECT_EQ(byte, s.byte) << s.offset << " from " << s.origin;
    }
    CloseFile(0);

    const struct { int channel; const char* name; int mode, error; } failures[] = {
        {0, "missing.dat", 1, 3}, {0, "", 1, 3}, {0, "no/such/folder/x", 0, 3}, {8, "x", 0, 7}};
    for (const auto& c : failures) {
        ClearError();
        EXPECT_EQ(OpenFile(c.channel, KString(c.name), c.mode), 0) << c.name;
        EXPECT_EQ(ErrorCode(), c.error) << c.name;
    }
}

// The old file is whole until the new one is, whatever fails in between.
TEST(ReplacingFiles, TheOldFileStandsUntilTheNewOneIsCommitted) {
    ScratchDir dir;
    WriteRaw("scores", {1, 2, 3});
    ASSERT_EQ(OpenFileReplacing(1, KString("scores")), 1);
    WriteNum(1, 1.5f);
    EXPECT_EQ(FileBytes("scores"), Bytes({1, 2, 3}));  // a kill now leaves the old file
    EXPECT_EQ(CommitFile(1), 1);
    EXPECT_EQ(FileBytes("scores"), Bytes({0, 0, 0, 0, 0, 0, 0xF8, 0x3F}));
    EXPECT_FALSE(std::filesystem::exists("scores.tmp"));
    // A name spelled in another case replaces the file that is there.
    ASSERT_EQ(OpenFileReplacing(1, KString("SCORES")), 1);
    WriteByte(1, 9);
    EXPECT_EQ(CommitFile(1), 1);
    EXPECT_EQ(FileBytes("scores"), Bytes({9}));
    EXPECT_FALSE(std::filesystem::exists("SCORES"));
    // Closed without a commit (a shut-down half-way), the new contents are thrown away.
    ASSERT_EQ(OpenFileReplacing(2, KString("scores")), 1);
    WriteByte(2, 7);
    CloseFile(2);
    EXPECT_EQ(FileBytes("scores"), Bytes({9}));
    EXPECT_FALSE(std::filesystem::exists("scores.tmp"));
}

TEST(ReplacingFiles, AFullDiskAMissingFolderOrASizeLimitFailsTheSaveNotTheProgram) {
    ScratchDir dir;
    WriteRaw("scores", {4, 5, 6});
    std::filesystem::create_symlink("/dev/full", "scores.tmp");
    ASSERT_EQ(OpenFileReplacing(3, KString("scores")), 1);
    for (int i = 0; i < 3000; ++i) WriteNum(3, static_cast<float>(i));  // past the stream's buffer
    ClearError();
    EXPECT_EQ(CommitFile(3), 0);
    EXPECT_EQ(ErrorCode(), 3);
    EXPECT_STREQ(LastWriteFailure().c_str(), "scores: No space left on device");
    EXPECT_EQ(FileBytes("scores"), Bytes({4, 5, 6}));
    EXPECT_FALSE(std::filesystem::exists("scores.tmp"));
    EXPECT_EQ(OpenFileReplacing(3, KString("no/such/folder/scores")), 0);
    EXPECT_STREQ(LastWriteFailure().c_str(), "no/such/folder/scores: No such file or directory");
    EXPECT_EQ(CommitFile(3), 0);  // nothing open: a failure, not the end of the program
    EXPECT_EQ(OpenFileReplacing(8, KString("scores")), 0);
    EXPECT_EQ(ErrorCode(), 7);

    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_DFL);  // as a fresh process has it
        struct rlimit limit = {1000, 1000};
        setrlimit(RLIMIT_FSIZE, &limit);
        if (OpenFileReplacing(2, KString("scores")) != 1) _exit(2);
        for (int i = 0; i < 200; ++i) WriteNum(2, 1);
        _exit(CommitFile(2) == 0 ? 0 : 3);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(FileBytes("scores"), Bytes({4, 5, 6}));
    EXPECT_FALSE(std::filesystem::exists("scores.tmp"));
}

TEST(FileChannelsDeathTest, FailuresOnAnOpenChannelEndTheProgram) {
    ScratchDir dir;
    WriteRaw("two.bin", {1, 2});
    const struct { std::function<void()> body; const char* pattern; } cases[] = {
        {[] { OpenFile(0, KString("two.bin"), 1); SeekFile(0, 0, -1); int b; ReadByte(0, b); }, "KRT Error: 3\n"},
        {[] { OpenFile(0, KString("two.bin"), 1); float f; ReadNum(0, f); }, "KRT Error: 3\n"},  // short read
        {[] { WriteByte(5, 1); }, "KRT Error: 3\n"},  // channel not open
        {[] { float f; ReadNum(9, f); }, "KRT Error: 7\n"},
    };
    for (size_t n = 0; n < std::size(cases); ++n) {
        SCOPED_TRACE(n);
        ExpectEndsProgram(cases[n].body, cases[n].pattern);
    }
}

TEST(CaseOpen, OnlyTheLastComponentIsMatchedIgnoringCaseAndWritesReuseTheFileThere) {
    ScratchDir dir;
    mkdir("Media", 0755);
    WriteRaw("Media/Sound.WAV", {7});
    WriteRaw("Save.DAT", {1});
    FILE* f = fopen_case("media/sound.wav", "rb");
    EXPECT_EQ(f, nullptr) << "a folder is not matched ignoring case";
    f = fopen_case("save.dat", "ab");
    ASSERT_NE(f, nullptr);
    fputc(2, f);
    fclose(f);
    EXPECT_EQ(FileBytes("Save.DAT"), Bytes({1, 2}));
    char path[PATH_BUFFER] = "junk";
    EXPECT_EQ(MediaLookup(MediaFileTable(), "Media/SOUND.wav", path, 1), 1);
    EXPECT_STREQ(path, "Media/Sound.WAV");

    EXPECT_EQ(FileSize(KString("SAVE.dat")), 2);
    EXPECT_EQ(DeleteFile(KString("Save.DAT")), 1);
    EXPECT_EQ(FileExists(KString("Save.DAT")), 0);
}
