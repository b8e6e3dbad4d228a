// KArray: dimensioning, capacity blocks, index rules, resizing, and the fatal bounds report.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>

#include "runtime/core/karray.h"
#include "runtime/core/kstring.h"

TEST(KArray, FirstIndexVariesFastest) {
    KArray<float> a;
    a.DimArray(4, 3, 2);
    EXPECT_EQ(a.Dimensions(), 3);
    EXPECT_EQ(a.Count(), 24);
    float n = 0;
    for (int k = 0; k < 2; ++k)
        for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 4; ++i) a(i, j, k) = n++;
    const float* base = &a(0, 0, 0);
    EXPECT_EQ(&a(1, 0, 0) - base, 1);
    EXPECT_EQ(&a(0, 1, 0) - base, 4);
    EXPECT_EQ(&a(0, 0, 1) - base, 12);
    EXPECT_EQ(a(3, 2, 1), 23.0f);
}

TEST(KArray, CapacityComesInBlocksOfEight) {
    KArray<int> a;
    a.DimArray(5);
    EXPECT_EQ(a.CapacityElements(), 8);
    KArray<int> b;
    b.DimArray(8);
    EXPECT_EQ(b.CapacityElements(), 16);  // always more than the count
    a.DimArray(8);
    EXPECT_EQ(a.CapacityElements(), 8);   // a smaller or equal size reuses the storage
    const uintptr_t storage = reinterpret_cast<uintptr_t>(&a(0));
    a(3) = 9;
    a.DimArray(2, 3);  // fits: storage reused, contents zeroed
    EXPECT_EQ(reinterpret_cast<uintptr_t>(&a(0)), storage);
    EXPECT_EQ(a(1, 1), 0);
    a.DimArray(0);
    EXPECT_EQ(a.CapacityElements(), 8);
    EXPECT_EQ(a.ArraySize(0), 0);
    EXPECT_EQ(a.Dimensions(), 0);
}

TEST(KArray, NegativeFirstIndexCountsFromTheEnd) {
    KArray<int> a;
    a.DimArray(4, 3);
    a(3, 2) = 5;
    EXPECT_EQ(a(-1, 2), 5);
    EXPECT_EQ(&a(-4, 0), &a(0, 0));
}

TEST(KArray, UndeclaredDimensionsTakeIndexZero) {
    KArray<int> a;
    a.DimArray(6);
    a(2, 0, 0, 0) = 1;
    EXPECT_EQ(a(2), 1);
    EXPECT_EQ(a.ArraySize(1), 0);
    EXPECT_EQ(a.ArraySize(4), 0);
    EXPECT_EQ(a.ArraySize(-1), 0);
}

TEST(KArray, RedimKeepsTheOverlap) {
    KArray<int> a;
    a.DimArray(3, 2);
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 3; ++i) a(i, j) = 10 * j + i;
    a.RedimArray(2, 4);
    EXPECT_EQ(a.ArraySize(0), 2);
    EXPECT_EQ(a(0, 0), 0);
    EXPECT_EQ(a(1, 0), 1);
    EXPECT_EQ(a(0, 1), 10);
    EXPECT_EQ(a(1, 1), 11);
    EXPECT_EQ(a(1, 3), 0);
    a.RedimArray(0);
    EXPECT_EQ(a.Count(), 0);
    EXPECT_EQ(a.CapacityElements(), 16);  // storage of the 2 x 4 array stays
}

TEST(KArray, ListsAndStrings) {
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

using KArrayDeathTest = ::testing::Test;

TEST_F(KArrayDeathTest, OutOfBoundsReportsAndEndsWithStatusZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto access = [](int i, int j) {
        KArray<float> a;
        a.DimArray(10, 5);
        a(i, j) = 1;
    };
    EXPECT_EXIT(access(12, 0), ::testing::ExitedWithCode(0), "bounds: \\[  10\\]\\[   5\\]\naccess: \\[  12\\]\\[   0\\]");
    EXPECT_EXIT(access(0, 5), ::testing::ExitedWithCode(0), "access: \\[   0\\]\\[   5\\]");
    EXPECT_EXIT(access(-11, 0), ::testing::ExitedWithCode(0), "bounds:");
    EXPECT_EXIT(access(0, -1), ::testing::ExitedWithCode(0), "bounds:");
}

TEST_F(KArrayDeathTest, EndProgramPrintsErrorNineAndTheShutdownLines) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            KArray<int> a;
            a.DimArray(4, 3);
            a(4, 0) = 1;
        },
        ::testing::ExitedWithCode(0), "KRT Error: 9\n(.|\n)*PDL_Quit\n</PDL_Quit>\nexit\n");
}

TEST_F(KArrayDeathTest, SizesBeyondMemoryEndWithErrorSeven) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            KArray<float> a;
            a.DimArray(100000, 100000);  // the element count does not fit 32 bits
        },
        ::testing::ExitedWithCode(0), "KRT Error: 7\n");
}

TEST_F(KArrayDeathTest, EveryAccessToAnEmptyArrayIsFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            KArray<int> a;
            a.DimArray(0);
            a(0) = 1;
        },
        ::testing::ExitedWithCode(0), "bounds: \\[   0\\]");
    EXPECT_EXIT(
        {
            KArray<int> a;
            a(0) = 1;
        },
        ::testing::ExitedWithCode(0), "bounds:");
}

TEST_F(KArrayDeathTest, ThreeIndexReportShowsZeroFirstThenThePassedIndex) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            KArray<int> a;
            a.DimArray(2, 2, 2);
            a(0, 0, 7) = 1;
        },
        ::testing::ExitedWithCode(0),
        "access: \\[   0\\]\\[   0\\]\\[   0\\]\n(.|\n)*access: \\[   0\\]\\[   0\\]\\[   7\\]");
}
