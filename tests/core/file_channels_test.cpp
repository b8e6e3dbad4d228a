// File channels: the bytes they put on disk, reading them back, seeking, memory files,
// and the fatal failures on an open channel.
#include <gtest/gtest.h>

#include <cstring>

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
    EXPECT_EQ(number, 0.1f);  // narrowed to float
    EXPECT_EQ(byte, 0xFE);
    EXPECT_EQ(word, 0x1234);
    EXPECT_STREQ(text.c_str(), "abc");
    EXPECT_EQ(text.Length(), 3);
}

TEST(FileChannels, AppendAndSeek) {
    ScratchDir dir;
    ASSERT_EQ(OpenFile(1, KString("a.txt"), 0), 1);
    WriteStr(1, KString("one"));
    CloseFile(1);
    ASSERT_EQ(OpenFile(1, KString("a.txt"), -1), 1);
    WriteStr(1, KString("two"));
    CloseFile(1);
    EXPECT_EQ(FileBytes("a.txt"), Bytes({'o', 'n', 'e', 't', 'w', 'o'}));

    ASSERT_EQ(OpenFile(1, KString("a.txt"), 1), 1);
    KString s;
    SeekFile(1, 2, 0);
    ReadStr(1, s, 2);
    EXPECT_STREQ(s.c_str(), "et");
    SeekFile(1, -3, -1);
    ReadStr(1, s, 1);
    EXPECT_STREQ(s.c_str(), "t");
    SeekFile(1, 1, 1);
    ReadStr(1, s, 1);
    EXPECT_STREQ(s.c_str(), "o");
    CloseFile(1);
}

TEST(FileChannels, OpenFailuresReturnZeroWithErrorThree) {
    ScratchDir dir;
    EXPECT_EQ(OpenFile(0, KString("missing.dat"), 1), 0);
    EXPECT_EQ(ErrorCode(), 3);
    EXPECT_EQ(OpenFile(0, KString(""), 1), 0);
    EXPECT_EQ(OpenFile(0, KString("no/such/folder/x"), 0), 0);
    EXPECT_EQ(ErrorCode(), 3);
    EXPECT_EQ(OpenFile(8, KString("x"), 0), 0);  // channel above 7: error 7, no end
    EXPECT_EQ(ErrorCode(), 7);
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
    CloseFile(3);

    // A name made up by hand, even with a real address in it, is refused.
    char forged[64];
    snprintf(forged, sizeof forged, "mem://%8x.%8x", 3u, static_cast<unsigned>(reinterpret_cast<uintptr_t>(block)));
    EXPECT_EQ(OpenFile(3, KString(forged), 1), 0);
    EXPECT_EQ(OpenFile(3, KString("mem://00000010.00001000"), 1), 0);
    // The right token with a different size is refused too.
    KString wrongSize(name);
    wrongSize.Data()[13] = '9';
    EXPECT_EQ(OpenFile(3, wrongSize, 1), 0);
    // Memory files are never written or appended.
    EXPECT_EQ(OpenFile(3, name, 0), 0);
    EXPECT_EQ(OpenFile(3, name, -1), 0);
    ReleaseMemoryFile(block);
    EXPECT_EQ(OpenFile(3, name, 1), 0);
}

TEST(MemoryFiles, ReadNearTheEndCopiesWhatIsLeft) {
    static const unsigned char block[] = {0x00, 0x00, 0xF8};
    KString name = RegisterMemoryFile(block, sizeof block);
    ASSERT_EQ(OpenFile(4, name, 1), 1);
    SeekFile(4, 1, 0);
    int word = -1;
    ReadWord(4, word);
    EXPECT_EQ(word, 0xF800);
    CloseFile(4);
    ReleaseMemoryFile(block);
}

TEST(FileChannelsDeathTest, FailuresOnAnOpenChannelEndTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ScratchDir dir;
    WriteRaw("two.bin", {1, 2});
    auto readPastEnd = [] {
        dup2(STDERR_FILENO, STDOUT_FILENO);
        OpenFile(0, KString("two.bin"), 1);
        SeekFile(0, 0, -1);
        int b;
        ReadByte(0, b);
    };
    EXPECT_EXIT(readPastEnd(), ::testing::ExitedWithCode(0), "KRT Error: 3\n");
    auto closedChannel = [] {
        dup2(STDERR_FILENO, STDOUT_FILENO);
        WriteByte(5, 1);
    };
    EXPECT_EXIT(closedChannel(), ::testing::ExitedWithCode(0), "KRT Error: 3\n");
    auto badChannel = [] {
        dup2(STDERR_FILENO, STDOUT_FILENO);
        float f;
        ReadNum(9, f);
    };
    EXPECT_EXIT(badChannel(), ::testing::ExitedWithCode(0), "KRT Error: 7\n");
    auto shortRead = [] {
        dup2(STDERR_FILENO, STDOUT_FILENO);
        OpenFile(0, KString("two.bin"), 1);
        float f;
        ReadNum(0, f);
    };
    EXPECT_EXIT(shortRead(), ::testing::ExitedWithCode(0), "KRT Error: 3\n");
}
