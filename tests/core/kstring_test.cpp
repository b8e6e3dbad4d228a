// KString: value semantics, the shared empty buffer, the capacity rule and the string helpers.
#include <gtest/gtest.h>

#include <cstring>

#include "runtime/core/error_state.h"
#include "runtime/core/karray.h"
#include "runtime/core/kstring.h"

TEST(KString, EmptyStringsShareOneBufferAndCapacityGrowsInFours) {
    KString a, b(""), c("x");
    c = "";
    KString d(a);
    for (const KString* s : {&a, &b, &c, &d}) {
        EXPECT_TRUE(s->UsesSharedEmpty());
        EXPECT_EQ(s->Capacity(), 0);
    }
    EXPECT_EQ(a.c_str(), b.c_str());
    // Length n takes (n + 1) rounded down to a multiple of 4, plus 4.
    const struct { const char* text; int capacity; } cases[] = {
        {"a", 4}, {"abc", 8}, {"abcd", 8}, {"abcdefg", 12}, {"abcdefghijk", 16}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.text);
        KString s(k.text);
        EXPECT_EQ(s.Capacity(), k.capacity);
        EXPECT_EQ(s.Length(), static_cast<int>(strlen(k.text)));
    }
    KString s("ab");
    s.Reserve(10, true);
    EXPECT_STREQ(s.c_str(), "ab");
}

TEST(KString, CopiesAreIndependentAndSelfAliasingIsSafe) {
    KString a("hello"), b(a), c;
    c = a;
    b.Data()[0] = 'j';
    c += " world";
    EXPECT_STREQ(a.c_str(), "hello");
    EXPECT_STREQ(b.c_str(), "jello");
    EXPECT_STREQ(c.c_str(), "hello world");
    a = a;
    EXPECT_STREQ(a.c_str(), "hello");
    a += a;
    EXPECT_STREQ(a.c_str(), "hellohello");
    a = a.c_str() + 5;  // a tail of its own buffer
    EXPECT_STREQ(a.c_str(), "hello");
}

TEST(KString, ConcatenationAndBytewiseComparison) {
    KString s("score ");
    EXPECT_STREQ(("<" + s + KString("x") + ">").c_str(), "<score x>");
    EXPECT_STREQ((s + 2.5f).c_str(), "score 2.5");
    EXPECT_STREQ((s + 7).c_str(), "score 7");
    EXPECT_STREQ((0.25f + KString(" left")).c_str(), ".25 left");
    EXPECT_STREQ(s.c_str(), "score ");
    EXPECT_TRUE(KString("abc") == "abc");
    EXPECT_TRUE(KString("abc") != KString("ABC"));
    EXPECT_TRUE(KString("") == "");
    EXPECT_TRUE(KString("\x01") < KString("\xff"));  // unsigned bytes
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

TEST(KString, MidStrAndCharacterCodes) {
    const struct { int start, count; const char* text; } mids[] = {
        {1, 3, "ELL"}, {1, -1, "ELLO"}, {3, 99, "LO"}, {5, 1, ""}, {-1, 2, ""}, {2, 0, ""}};
    for (const auto& m : mids) {
        SCOPED_TRACE(testing::Message() << m.start << "," << m.count);
        EXPECT_STREQ(MidStr(KString("HELLO"), m.start, m.count).c_str(), m.text);
    }
    EXPECT_EQ(AscCode(KString("")), 0);
    EXPECT_EQ(AscCode(KString("\xe9")), 0xe9);
    EXPECT_STREQ(ChrStr(65 + 256).c_str(), "A");
    EXPECT_EQ(ChrStr(0).Length(), 1);
    EXPECT_EQ(StrToInt(KString("  42abc")), 42);
    EXPECT_EQ(StrToInt(KString("-17")), -17);
    EXPECT_EQ(StrToInt(KString("x9")), 0);
}

TEST(KString, SplitKeepsOrSkipsEmptyPieces) {
    const struct { const char* text; const char* delims; int skip; std::vector<std::string> parts; } cases[] = {
        {",a,,b,", ",", 0, {"", "a", "", "b"}},  // a trailing delimiter adds no piece
        {",a,,b;c", ",;", 1, {"a", "b", "c"}},
        {"", ",", 0, {}},
        {"whole", ",", 0, {"whole"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        KArray<KString> parts;
        ASSERT_EQ(SplitStr(KString(c.text), parts, KString(c.delims), c.skip), static_cast<int>(c.parts.size()));
        for (size_t i = 0; i < c.parts.size(); ++i) EXPECT_EQ(parts(static_cast<int>(i)).c_str(), c.parts[i]);
    }
}

TEST(ErrorState, TextCarriesCodeAndTheLineOfTheError) {
    SetCurrentLine(12);
    SetError(9);
    SetCurrentLine(13);
    EXPECT_EQ(ErrorLine(), 12);
    EXPECT_STREQ(ErrorText().c_str(), "0009 out of bounds");
    SetError(5);
    EXPECT_STREQ(ErrorText().c_str(), "0005 unknown error");
    ClearErrorState();
    EXPECT_STREQ(ErrorText().c_str(), "0000 success");
    EXPECT_EQ(ErrorLine(), 0);
}
