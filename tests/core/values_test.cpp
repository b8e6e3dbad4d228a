// The runtime's value types and helpers: strings, arrays and their fatal reports (and reading past
// a DATA list), number text, the ISAAC generator and the executable's folder.
#include <gtest/gtest.h>

#include <cstring>

#include "core_test_util.h"
#include "runtime/core/data_list.h"
#include "runtime/core/entry.h"
#include "runtime/core/error_state.h"
#include "runtime/core/karray.h"
#include "runtime/core/kstring.h"
#include "runtime/core/number_text.h"
#include "runtime/core/numeric.h"

TEST(KString, CopiesAreIndependentSelfAliasingIsSafeAndEmptiesShareOneBuffer) {
    KString a("hello"), b(a), c, e(""), f("x");
    c = a;
    b.Data()[0] = 'j';
    c += " world";
    f = "";
    EXPECT_STREQ(a.c_str(), "hello");
    EXPECT_STREQ(b.c_str(), "jello");
    EXPECT_STREQ(c.c_str(), "hello world");
    a = a;
    a += a;
    EXPECT_STREQ(a.c_str(), "hellohello");
    a = a.c_str() + 5;  // a tail of its own buffer
    EXPECT_STREQ(a.c_str(), "hello");
    EXPECT_TRUE(e.UsesSharedEmpty() && f.UsesSharedEmpty());
    EXPECT_STREQ((KString("score ") + 2.5f).c_str(), "score 2.5");
    EXPECT_TRUE(KString("\x01") < KString("\xff"));  // unsigned bytes
}

TEST(KString, RecountStopsAtCapacity) {
    KString s;
    s.Reserve(7, false);
    memset(s.Data(), 'q', s.Capacity());  // no terminator at all
    s.Recount();
    EXPECT_EQ(s.Length(), s.Capacity() - 1);
    EXPECT_EQ(s.c_str()[s.Capacity() - 1], 0);
}

// (The cutting helpers the game never calls are left out.)
TEST(KString, SplitKeepsOrSkipsEmptyPiecesAndErrorsKeepTheirLine) {
    const struct { const char* text; const char* delims; int skip; std::vector<std::string> parts; } splits[] = {
        {",a,,b,", ",", 0, {"", "a", "", "b"}},  // a trailing delimiter adds no piece
        {",a,,b;c", ",;", 1, {"a", "b", "c"}},
        {"", ",", 0, {}}};
    for (const auto& c : splits) {
        KArray<KString> parts;
        ASSERT_EQ(SplitStr(KString(c.text), parts, KString(c.delims), c.skip), static_cast<int>(c.parts.size()));
        for (size_t i = 0; i < c.parts.size(); ++i) EXPECT_EQ(parts(static_cast<int>(i)).c_str(), c.parts[i]) << c.text;
    }
    SetCurrentLine(12);
    SetError(9);
    SetCurrentLine(13);
    EXPECT_EQ(ErrorLine(), 12);  // the line of the error, not the current one
    EXPECT_STREQ(ErrorText().c_str(), "0009 out of bounds");
}

// The helpers' edge rules: out-of-range substrings are empty, and remainders by 0 or -1 are 0 (the
// hardware traps on INT_MIN % -1).
TEST(Helpers, SubstringsCodesAndRemaindersAtTheirEdges) {
    const struct { int start, count; const char* text; } mids[] = {
        {1, 3, "ELL"}, {1, -1, "ELLO"}, {3, 99, "LO"}, {5, 1, ""}, {-1, 2, ""}, {2, 0, ""}};
    for (const auto& m : mids) EXPECT_STREQ(MidStr(KString("HELLO"), m.start, m.count).c_str(), m.text) << m.start;
    EXPECT_EQ(AscCode(KString("")), 0);
    EXPECT_EQ(AscCode(KString("\xe9")), 0xe9);
    EXPECT_STREQ(ChrStr(65 + 256).c_str(), "A");
    EXPECT_EQ(ChrStr(0).Length(), 1);
    const struct { int a, b, r; } ints[] = {{7, 0, 0}, {7, -1, 0}, {-2147483647 - 1, -1, 0}, {-7, 3, -1}, {7, 3, 1}};
    for (const auto& c : ints) EXPECT_EQ(IntMod(c.a, c.b), c.r) << c.a << " mod " << c.b;
    EXPECT_EQ(FloatMod(5.5f, 0), 0.0f);
    EXPECT_EQ(FloatMod(-5.5f, 2), -1.5f);
    KArray<int> a;
    a.DimArray(3, 2);
    a(0, 0) = 1;
    a(1, 1) = 12;
    a(2, 1) = 99;  // outside the new width
    a.RedimArray(2, 4);
    EXPECT_EQ(a(0, 0), 1);
    EXPECT_EQ(a(1, 1), 12);
    EXPECT_EQ(a(0, 2) + a(1, 2), 0);
    a.RedimArray(0);
    EXPECT_EQ(a.Count(), 0);
}

TEST(KArray, LayoutAndReusedStorageClearedAndStringElementsCopied) {
    KArray<int> a;
    a.DimArray(4, 3, 2);
    const int* base = &a(0, 0, 0);
    EXPECT_EQ(&a(1, 2, 1) - base, 1 + 2 * 4 + 12);  // the first index varies fastest
    EXPECT_EQ(&a(-1, 2, 1, 0) - base, 23);  // a negative first index counts from the end; extra ones are 0
    a(3) = 9;
    a.DimArray(2, 3);  // fits the old storage: reused, but cleared
    EXPECT_EQ(&a(0, 0), base);
    EXPECT_EQ(a(1, 1), 0);
    KArray<KString> s;
    s.DimArray(2);
    s(1) = "x";
    KArray<KString> copy(s);
    copy(1) = "y";
    EXPECT_STREQ(s(1).c_str(), "x");
}

TEST(ValuesDeathTest, BadAccessImpossibleSizesAndReadingPastTheDataEndTheProgram) {
    auto access = [](int i, int j) {
        return [=] {
            KArray<float> a;
            a.DimArray(10, 5);
            a(i, j) = 1;
        };
    };
    const std::string bounds9 = "KRT Error: 9\n(.|\n)*" + std::string(SHUTDOWN_LINES);
    const struct { std::function<void()> body; std::string pattern; } cases[] = {
        {access(12, 0), "bounds: \\[  10\\]\\[   5\\]\naccess: \\[  12\\]\\[   0\\]"},
        {access(-11, 0), bounds9},
        {access(0, -1), bounds9},
        {[] { KArray<int> a; a(0) = 1; }, bounds9},
        // The report shows the third index as 0 first, then as passed.
        {[] { KArray<int> a; a.DimArray(2, 2, 2); a(0, 0, 7) = 1; },
         "access: \\[   0\\]\\[   0\\]\\[   0\\]\n(.|\n)*access: \\[   0\\]\\[   0\\]\\[   7\\]"},
        {[] { KArray<float> a; a.DimArray(100000, 100000); }, "KRT Error: 7\n"},  // count beyond 32 bits
        {[] { static const float ONE[] = {1}; DataList list(ONE); RestoreData(list); ReadDataInt(); ReadDataInt(); },
         "KRT Error: 14\n(.|\n)*" + std::string(SHUTDOWN_LINES)},
    };
    for (size_t n = 0; n < std::size(cases); ++n) {
        SCOPED_TRACE(n);
        ExpectEndsProgram(cases[n].body, cases[n].pattern);
    }
}

TEST(NumberText, ShortestFormsIntegersAndFormattedNumbers) {
    const struct { float value; const char* text; } cases[] = {
        {0.0f, "0"}, {-1.0f, "-1"}, {100.0f, "100"}, {0.5f, ".5"}, {-0.25f, "-.25"}, {123.5f, "123.5"},
        {1e10f, "1.000000000e+10"}, {0.1f, ".1000000015"}, {123.456f, "123.4560013"}, {16777216.0f, "16777216"},
    };
    for (const auto& c : cases) {
        KString s = NumToStr(c.value);
        EXPECT_STREQ(s.c_str(), c.text);
        EXPECT_EQ(s.Length(), static_cast<int>(strlen(c.text))) << c.text;
    }
    EXPECT_STREQ(IntToStr(-2147483647 - 1).c_str(), "-2147483648");
    EXPECT_STREQ(FormatNum(4.9f, 1.9f, 2.25f).c_str(), " 2.2");  // width and decimals truncate
    KString first = FormatNum(4, 0, 1);
    EXPECT_STREQ(FormatNum(4, 0, 2).c_str(), "   2");
    EXPECT_STREQ(first.c_str(), "   1");  // each result is a copy of the shared text
    EXPECT_EQ(FormatNum(300, 0, 1).Length(), 127);  // cut at the shared buffer
}

TEST(Numeric, IsaacMatchesTheReferenceAndRandomIntTakesAFreshPass) {
    // First words of the published reference output for an all-zero seed.
    const uint32_t reference[4] = {0xf650e4c8, 0xe448e96d, 0x98db2fb4, 0xf5fad54f};
    IsaacState state;
    IsaacSeed(state, 0);
    IsaacGenerate(state);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(state.results[i], reference[i]) << i;
    IsaacGenerate(state);
    EXPECT_EQ(state.results[255], 0x4bb5af29u);
    SeedRandom(0);
    EXPECT_EQ(RandomInt(1000), static_cast<int>(0xf650e4c8u % 1001u));  // the first word of a fresh pass
    EXPECT_EQ(RandomInt(-5), 0);
    EXPECT_EQ(RandomInt(0x7fffffff), static_cast<int>(state.results[0] % 0x80000000u));  // n < 1 did not advance
    EXPECT_NEAR(SinDeg(30), 0.5f, 1e-7f);
}

TEST(ExecutableFolder, IsFoundThroughProcAndCutAtTheLastSeparator) {
    EXPECT_STREQ(DirectoryOfPath(KString("C:\\games\\squibly.exe")).c_str(), "C:\\games");
    EXPECT_EQ(std::string(ExecutablePath().c_str()), std::string(ExecutableDirectory().c_str()) + "/core_values_test");
}
