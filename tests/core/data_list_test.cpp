// DATA lists: rewinding, reading numbers and texts, and the fatal read past the end.
#include <gtest/gtest.h>
#include <unistd.h>

#include "runtime/core/data_list.h"

TEST(DataList, ReadsItemsInOrderAndRewinds) {
    static const DataItem ITEMS[] = {{1.9f, nullptr}, {-2.7f, nullptr}, {0, "42"}, {0, "3.25"}};
    DataList list(ITEMS);
    RestoreData(list);
    EXPECT_EQ(ReadDataInt(), 1);    // truncation toward zero
    EXPECT_EQ(ReadDataInt(), -2);
    EXPECT_EQ(ReadDataInt(), 42);   // text through strtol
    EXPECT_EQ(ReadDataFloat(), 3.25f);
    RestoreData(list);
    EXPECT_EQ(ReadDataFloat(), 1.9f);
}

TEST(DataList, PlainNumberTables) {
    static const float VALUES[] = {5, 6, 255};
    DataList list(VALUES);
    RestoreData(list);
    EXPECT_EQ(list.count, 3);
    EXPECT_EQ(ReadDataInt(), 5);
    EXPECT_EQ(ReadDataInt(), 6);
    EXPECT_EQ(ReadDataInt(), 255);
}

TEST(DataListDeathTest, ReadingPastTheEndEndsWithError20) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);  // the report goes to standard output
            static const float ONE[] = {1};
            DataList list(ONE);
            RestoreData(list);
            ReadDataInt();
            ReadDataInt();
        },
        ::testing::ExitedWithCode(0), "KRT Error: 14\n(.|\n)*PDL_Quit\n</PDL_Quit>\nexit\n");
}
