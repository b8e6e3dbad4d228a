// File channels: the bytes they put on disk, reading them back, seeking, memory files,
// and the fatal failures on an open channel.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include "core_test_util.h"
#include "runtime/core/error_state.h"
#include "runtime/core/files.h"

using Bytes = std::vector<unsigned char>;

TEST(FileChannels, WritesLittleEndianDoublesBytesAndRawStrings) {
    ScratchDir dir;
    ASSERT_EQ(OpenFile(2, KString("out.bin"), 0), 1);
    WriteNum(2, 1.5f);
    WriteByte(2, 0x1ff);  // low 8 bits
    WriteStr(2, KString("Hi"));
    WriteNum(2, -2.0f);
    CloseFile(2);
    const Bytes expected = {0, 0, 0, 0, 0, 0, 0xF8, 0x3F, 0xFF, 'H', 'i', 0, 0, 0, 0, 0, 0, 0, 0xC0};
    EXPECT_EQ(FileBytes(dir.Path() + "/out.bin"), expected);
}

TEST(FileChannels, ReadsBackWhatOtherProgramsWrote) {
    ScratchDir dir;
    // 0.1 as a double, a byte, a little-endian word, then text.
    WriteRaw("in.bin", {0x9A, 0x99, 0x99, 0x99, 0x99, 0x99, 0xB9, 0x3F, 0xFE, 0x34, 0x12, 'a', 'b', 'c'});
    ASSERT_EQ(OpenFile(0, KString("in.bin"), 1), 1);
    float number = 0;
    int byte = 0, word = 0;
    KString text("old");
    ReadNum(0, number);
    ReadByte(0, byte);
    ReadWord(0, word);
    ReadStr(0, text, 0);
    EXPECT_TRUE(text.Empty());  // count 0 reads nothing
    ReadStr(0, text, 3);
    CloseFile(0);
    EXPECT_EQ(number, 0.1f);
    EXPECT_EQ(byte, 0xFE);
    EXPECT_EQ(word, 0x1234);
    EXPECT_STREQ(text.c_str(), "abc");
}

TEST(FileChannels, AppendAndSeekFromEachOrigin) {
    ScratchDir dir;
    ASSERT_EQ(OpenFile(1, KString("a.txt"), 0), 1);
    WriteStr(1, KString("one"));
    CloseFile(1);
    ASSERT_EQ(OpenFile(1, KString("a.txt"), -1), 1);
    WriteStr(1, KString("two"));
    CloseFile(1);
    EXPECT_EQ(FileBytes("a.txt"), Bytes({'o', 'n', 'e', 't', 'w', 'o'}));

    ASSERT_EQ(OpenFile(1, KString("a.txt"), 1), 1);
    const struct { int offset, origin, count; const char* text; } seeks[] = {
        {2, 0, 2, "et"}, {-3, -1, 1, "t"}, {1, 1, 1, "o"}};
    for (const auto& s : seeks) {
        KString got;
        SeekFile(1, s.offset, s.origin);
        ReadStr(1, got, s.count);
        EXPECT_STREQ(got.c_str(), s.text) << s.origin;
    }
    CloseFile(1);
}

TEST(FileChannels, OpenFailuresReturnZeroWithAnErrorCode) {
    ScratchDir dir;
    const struct { int channel; const char* name; int mode, error; } cases[] = {
        {0, "missing.dat", 1, 3}, {0, "", 1, 3}, {0, "no/such/folder/x", 0, 3}, {8, "x", 0, 7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClearError();
        EXPECT_EQ(OpenFile(c.channel, KString(c.name), c.mode), 0);
        EXPECT_EQ(ErrorCode(), c.error);
    }
}

// Safe replacement: the old file is whole until the new one is, whatever fails in between.
TEST(ReplacingFiles, TheOldFileStandsUntilTheNewOneIsCommitted) {
    ScratchDir dir;
    WriteRaw("scores", {1, 2, 3});
    ASSERT_EQ(OpenFileReplacing(1, KString("scores")), 1);
    WriteNum(1, 1.5f);
    EXPECT_EQ(FileBytes("scores"), Bytes({1, 2, 3}));   // a kill now leaves the old file
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

TEST(ReplacingFiles, AFullDiskOrAMissingFolderFailsTheSaveNotTheProgram) {
    ScratchDir dir;
    WriteRaw("scores", {4, 5, 6});
    std::filesystem::create_symlink("/dev/full", "scores.tmp");
    ASSERT_EQ(OpenFileReplacing(3, KString("scores")), 1);
    for (int i = 0; i < 3000; ++i) WriteNum(3, static_cast<float>(i));   // past the stream's buffer
    ClearError();
    EXPECT_EQ(CommitFile(3), 0);
    EXPECT_EQ(ErrorCode(), 3);
    EXPECT_STREQ(LastWriteFailure().c_str(), "scores: No space left on device");
    EXPECT_EQ(FileBytes("scores"), Bytes({4, 5, 6}));
    EXPECT_FALSE(std::filesystem::exists("scores.tmp"));
    EXPECT_EQ(OpenFileReplacing(3, KString("no/such/folder/scores")), 0);
    EXPECT_STREQ(LastWriteFailure().c_str(), "no/such/folder/scores: No such file or directory");
    EXPECT_EQ(CommitFile(3), 0);   // nothing open: a failure, not the end of the program
    EXPECT_EQ(OpenFileReplacing(8, KString("scores")), 0);
    EXPECT_EQ(ErrorCode(), 7);
}

TEST(ReplacingFiles, AFileSizeLimitFailsTheSaveInsteadOfKillingTheProcess) {
    ScratchDir dir;
    WriteRaw("game", {1});
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_DFL);   // as a fresh process has it
        struct rlimit limit = {1000, 1000};
        setrlimit(RLIMIT_FSIZE, &limit);
        if (OpenFileReplacing(2, KString("game")) != 1) _exit(2);
        for (int i = 0; i < 200; ++i) WriteNum(2, 1);
        _exit(CommitFile(2) == 0 ? 0 : 3);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(FileBytes("game"), Bytes({1}));
    EXPECT_FALSE(std::filesystem::exists("game.tmp"));
}

TEST(MemoryFiles, OnlyBlocksTheRuntimeRegisteredCanBeRead) {
    static const unsigned char block[] = {1, 2, 3};
    KString name = RegisterMemoryFile(block, sizeof block);
    ASSERT_TRUE(IsMemoryFileName(name.c_str()));
    ASSERT_EQ(OpenFile(3, name, 1), 1);
    int a = 0, b = 0;
    ReadByte(3, a);
    ReadWord(3, b);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 0x0302);
    SeekFile(3, 1, 0);
    ReadWord(3, b);  // a word read up to the last byte
    EXPECT_EQ(b, 0x0302);
    CloseFile(3);

    // Forged names, even with a real address, and the right token with another size.
    char forged[64];
    snprintf(forged, sizeof forged, "mem://%8x.%8x", 3u, static_cast<unsigned>(reinterpret_cast<uintptr_t>(block)));
    KString wrongSize(name);
    wrongSize.Data()[13] = '9';
    for (const KString& bad : {KString(forged), KString("mem://00000010.00001000"), wrongSize}) {
        EXPECT_EQ(OpenFile(3, bad, 1), 0) << bad.c_str();
    }
    EXPECT_EQ(OpenFile(3, name, 0), 0);  // never written or appended
    EXPECT_EQ(OpenFile(3, name, -1), 0);
    ReleaseMemoryFile(block);
    EXPECT_EQ(OpenFile(3, name, 1), 0);
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
