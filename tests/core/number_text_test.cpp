// Number text, integer text and formatted numbers, as every score and label shows them.
#include <gtest/gtest.h>

#include <cstring>

#include "runtime/core/number_text.h"

TEST(NumberText, ShortestFormsOfTheFloat) {
    const struct { float value; const char* text; } cases[] = {
        {0.0f, "0"},     {1.0f, "1"},         {-1.0f, "-1"},     {10.0f, "10"},
        {100.0f, "100"}, {123.5f, "123.5"},   {0.5f, ".5"},      {0.25f, ".25"},
        {-0.25f, "-.25"}, {2.5f, "2.5"},      {1e10f, "1.000000000e+10"},
        {0.1f, ".1000000015"}, {123.456f, "123.4560013"}, {16777216.0f, "16777216"},
        {1234.75f, "1234.75"}, {-3.5f, "-3.5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        KString s = NumToStr(c.value);
        EXPECT_STREQ(s.c_str(), c.text);
        EXPECT_EQ(s.Length(), static_cast<int>(strlen(c.text)));
    }
}

TEST(NumberText, IntegerAndFormattedText) {
    EXPECT_STREQ(IntToStr(7).c_str(), "7");
    EXPECT_STREQ(IntToStr(-2147483647 - 1).c_str(), "-2147483648");
    EXPECT_EQ(IntToStr(12345).Length(), 5);
    EXPECT_STREQ(FormatNum(4, 0, 10).c_str(), "  10");
    EXPECT_STREQ(FormatNum(4.9f, 1.9f, 2.25f).c_str(), " 2.2");  // width and decimals truncate
    EXPECT_STREQ(FormatNum(0, 2, 3.14159f).c_str(), "3.14");
    KString first = FormatNum(4, 0, 1);
    KString second = FormatNum(4, 0, 2);
    EXPECT_STREQ(first.c_str(), "   1");  // each result is a copy of the shared text
    EXPECT_STREQ(second.c_str(), "   2");
    EXPECT_EQ(FormatNum(300, 0, 1).Length(), 127);  // cut at the shared buffer
}
