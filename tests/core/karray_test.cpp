// KArray: layout, index rules, re-dimensioning, and the fatal bounds and size reports.
#include <gtest/gtest.h>

#include "core_test_util.h"
#include "runtime/core/karray.h"
#include "runtime/core/kstring.h"

TEST(KArray, LayoutAndIndexRules) {
    KArray<float> a;
    a.DimArray(4, 3, 2);
    EXPECT_EQ(a.Count(), 24);
    const float* base = &a(0, 0, 0);
    EXPECT_EQ(&a(1, 0, 0) - base, 1);  // the first index varies fastest
    EXPECT_EQ(&a(0, 1, 0) - base, 4);
    EXPECT_EQ(&a(0, 0, 1) - base, 12);
    EXPECT_EQ(&a(-1, 2, 1) - base, 23);  // a negative first index counts from the end
    EXPECT_EQ(&a(-4, 0, 0), base);
    EXPECT_EQ(&a(3, 2, 1, 0) - base, 23);  // undeclared dimensions take index 0
    EXPECT_EQ(a.ArraySize(3), 0);
    EXPECT_EQ(a.ArraySize(-1), 0);
}

TEST(KArray, DimZeroesReusedStorageAndRedimKeepsTheOverlap) {
    KArray<int> a;
    a.DimArray(8);
    int* storage = &a(0);
    a(3) = 9;
    a.DimArray(2, 3);  // fits the old storage: reused, but cleared
    EXPECT_EQ(&a(0, 0), storage);
    EXPECT_EQ(a(1, 1), 0);

    a.DimArray(3, 2);
    a(0, 0) = 1;
    a(1, 1) = 12;
    a(2, 1) = 99;  // outside the new width
    a.RedimArray(2, 4);
    EXPECT_EQ(a(0, 0), 1);
    EXPECT_EQ(a(1, 1), 12);
    EXPECT_EQ(a(0, 2), 0);
    EXPECT_EQ(a(1, 2), 0);
    a.RedimArray(0);
    EXPECT_EQ(a.Count(), 0);
}

TEST(KArray, ListsAndStringElements) {
    KArray<float> a;
    const float values[] = {1.5f, 2.5f, 3.5f};
    a.ArrayFromList(3, values);
    EXPECT_EQ(a.ArraySize(0), 3);
    EXPECT_EQ(a(2), 3.5f);
    KArray<KString> s;
    s.DimArray(2);
    s(1) = "x";
    KArray<KString> copy(s);
    copy(1) = "y";
    EXPECT_STREQ(s(1).c_str(), "x");
    EXPECT_TRUE(s(0).UsesSharedEmpty());
}

TEST(KArrayDeathTest, BadAccessAndImpossibleSizesEndTheProgram) {
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
        {access(0, 5), "access: \\[   0\\]\\[   5\\]"},
        {access(-11, 0), bounds9},
        {access(0, -1), bounds9},
        {[] { KArray<int> a; a(0) = 1; }, bounds9},
        {[] { KArray<int> a; a.DimArray(0); a(0) = 1; }, "bounds: \\[   0\\]"},
        // The report shows the third index as 0 first, then as passed.
        {[] { KArray<int> a; a.DimArray(2, 2, 2); a(0, 0, 7) = 1; },
         "access: \\[   0\\]\\[   0\\]\\[   0\\]\n(.|\n)*access: \\[   0\\]\\[   0\\]\\[   7\\]"},
        // The element count does not fit 32 bits.
        {[] { KArray<float> a; a.DimArray(100000, 100000); }, "KRT Error: 7\n"},
    };
    for (size_t n = 0; n < std::size(cases); ++n) {
        SCOPED_TRACE(n);
        ExpectEndsProgram(cases[n].body, cases[n].pattern);
    }
}
