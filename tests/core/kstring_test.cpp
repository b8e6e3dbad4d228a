// KString: value semantics, the shared empty buffer, the capacity rule and the string helpers.
#include <gtest/gtest.h>

#include <cstring>

#include "runtime/core/error_state.h"
#include "runtime/core/karray.h"
#include "runtime/core/kstring.h"

TEST(KString, EmptyStringsShareOneBufferAndNeverOwnMemory) {
    KString a, b("");
    KString c("x");
    c = "";
    EXPECT_TRUE(a.UsesSharedEmpty());
    EXPECT_TRUE(b.UsesSharedEmpty());
    EXPECT_TRUE(c.UsesSharedEmpty());
    EXPECT_EQ(a.c_str(), b.c_str());
    EXPECT_EQ(a.Capacity(), 0);
    EXPECT_EQ(a.Length(), 0);
    KString d(a);
    EXPECT_TRUE(d.UsesSharedEmpty());
}

TEST(KString, CapacityIsNextMultipleOfFourAboveLengthPlusOne) {
    // n+1 rounded down to a multiple of 4, plus 4.
    const struct { const char* text; int capacity; } cases[] = {
        {"a", 4}, {"abc", 8}, {"abcd", 8}, {"abcdefg", 12}, {"abcdefghijk", 16}};
    for (const auto& c : cases) {
        KString s(c.text);
        EXPECT_EQ(s.Capacity(), c.capacity) << c.text;
        EXPECT_EQ(s.Length(), static_cast<int>(strlen(c.text)));
    }
    KString s("ab");
    const char* before = s.c_str();
    s.Reserve(2, true);  // fits: nothing happens
    EXPECT_EQ(s.c_str(), before);
    s.Reserve(10, true);  // grows and keeps the text
    EXPECT_STREQ(s.c_str(), "ab");
    EXPECT_EQ(s.Capacity(), 12);
}

TEST(KString, CopiesAreIndependent) {
    KString a("hello");
    KString b(a);
    KString c;
    c = a;
    EXPECT_NE(a.c_str(), b.c_str());
    EXPECT_NE(a.c_str(), c.c_str());
    b.Data()[0] = 'j';
    c += " world";
    EXPECT_STREQ(a.c_str(), "hello");
    EXPECT_STREQ(b.c_str(), "jello");
    EXPECT_STREQ(c.c_str(), "hello world");
    a = a;  // self-assignment leaves it alone
    EXPECT_STREQ(a.c_str(), "hello");
    a += a;
    EXPECT_STREQ(a.c_str(), "hellohello");
    a = a.c_str() + 5;  // assigning a tail of itself
    EXPECT_STREQ(a.c_str(), "hello");
}

TEST(KString, ConcatenationWithStringsAndNumbers) {
    KString s("score ");
    EXPECT_STREQ((s + KString("x")).c_str(), "score x");
    EXPECT_STREQ(("<" + s).c_str(), "<score ");
    EXPECT_STREQ((s + ">").c_str(), "score >");
    EXPECT_STREQ((s + 2.5f).c_str(), "score 2.5");
    EXPECT_STREQ((s + 7).c_str(), "score 7");
    EXPECT_STREQ((0.25f + KString(" left")).c_str(), ".25 left");
    EXPECT_STREQ((KString("n=") + 0.1f).c_str(), "n=.1000000015");
    EXPECT_STREQ(s.c_str(), "score ");  // operands unchanged
}

TEST(KString, ComparisonsAreBytewise) {
    KString a("abc");
    EXPECT_TRUE(a == "abc");
    EXPECT_FALSE(a == "abd");
    EXPECT_TRUE(a != KString("ABC"));
    EXPECT_TRUE(KString("") == "");
    EXPECT_TRUE(KString("\xff") != "\x01");
    EXPECT_TRUE(KString("\x01") < KString("\xff"));  // unsigned byte order, as strcmp
}

TEST(KString, RecountStopsAtCapacity) {
    KString s;
    s.Reserve(7, false);
    memcpy(s.Data(), "abc\0zz", 6);
    s.Recount();
    EXPECT_EQ(s.Length(), 3);
    memset(s.Data(), 'q', s.Capacity());  // no terminator at all
    s.Recount();
    EXPECT_EQ(s.Length(), s.Capacity() - 1);
    EXPECT_EQ(s.c_str()[s.Capacity() - 1], 0);
}

TEST(KString, MidStrRules) {
    KString h("HELLO");
    EXPECT_STREQ(MidStr(h, 1, 3).c_str(), "ELL");
    EXPECT_STREQ(MidStr(h, 1, -1).c_str(), "ELLO");
    EXPECT_STREQ(MidStr(h, 3, 99).c_str(), "LO");
    EXPECT_TRUE(MidStr(h, 5, 1).Empty());
    EXPECT_TRUE(MidStr(h, -1, 2).Empty());
    EXPECT_TRUE(MidStr(h, 2, 0).Empty());
    EXPECT_TRUE(MidStr(h, 2, 0).UsesSharedEmpty());
}

TEST(KString, CharacterCodesAndIntegers) {
    EXPECT_EQ(AscCode(KString("")), 0);
    EXPECT_EQ(AscCode(KString("A")), 65);
    EXPECT_EQ(AscCode(KString("\xe9")), 0xe9);  // unsigned
    EXPECT_EQ(ChrStr(65 + 256).Length(), 1);
    EXPECT_STREQ(ChrStr(65 + 256).c_str(), "A");
    KString zero = ChrStr(0);
    EXPECT_EQ(zero.Length(), 1);
    EXPECT_EQ(zero.c_str()[0], 0);
    EXPECT_EQ(StrToInt(KString("  42abc")), 42);
    EXPECT_EQ(StrToInt(KString("-17")), -17);
    EXPECT_EQ(StrToInt(KString("x9")), 0);
}

TEST(KString, SplitKeepsOrSkipsEmptyPieces) {
    KArray<KString> parts;
    EXPECT_EQ(SplitStr(KString(",a,,b,"), parts, KString(","), 0), 4);
    EXPECT_STREQ(parts(0).c_str(), "");
    EXPECT_STREQ(parts(1).c_str(), "a");
    EXPECT_STREQ(parts(2).c_str(), "");
    EXPECT_STREQ(parts(3).c_str(), "b");  // a trailing delimiter adds no empty piece

    EXPECT_EQ(SplitStr(KString(",a,,b;c"), parts, KString(",;"), 1), 3);
    EXPECT_STREQ(parts(0).c_str(), "a");
    EXPECT_STREQ(parts(1).c_str(), "b");
    EXPECT_STREQ(parts(2).c_str(), "c");

    EXPECT_EQ(SplitStr(KString(""), parts, KString(","), 0), 0);
    EXPECT_EQ(SplitStr(KString("whole"), parts, KString(","), 0), 1);
    EXPECT_STREQ(parts(0).c_str(), "whole");
}

TEST(ErrorState, TextsAndLines) {
    SetCurrentLine(12);
    SetError(9);
    EXPECT_EQ(ErrorLine(), 12);
    EXPECT_STREQ(ErrorText().c_str(), "0009 out of bounds");
    SetError(20);
    EXPECT_STREQ(ErrorText().c_str(), "0020 out of data");
    SetError(3);
    EXPECT_STREQ(ErrorText().c_str(), "0003 no such file");
    SetError(7);
    EXPECT_STREQ(ErrorText().c_str(), "0007 out of memory");
    SetError(5);
    EXPECT_STREQ(ErrorText().c_str(), "0005 unknown error");
    ClearErrorState();
    EXPECT_STREQ(ErrorText().c_str(), "0000 success");
    EXPECT_EQ(ErrorLine(), 0);
    EXPECT_EQ(CurrentLine(), 0);
}
