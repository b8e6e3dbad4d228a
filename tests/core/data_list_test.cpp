// DATA lists: rewinding, reading numbers and texts, and the fatal read past the end.
#include <gtest/gtest.h>

#include "core_test_util.h"
#include "runtime/core/data_list.h"

TEST(DataList, ReadsItemsInOrderAndRewinds) {
    static const DataItem ITEMS[] = {{1.9f, nullptr}, {-2.7f, nullptr}, {0, "42"}, {0, "3.25"}};
    DataList list(ITEMS);
    RestoreData(list);
    EXPECT_EQ(ReadDataInt(), 1);  // truncation toward zero
    EXPECT_EQ(ReadDataInt(), -2);
    EXPECT_EQ(ReadDataInt(), 42);
    EXPECT_EQ(ReadDataFloat(), 3.25f);
    RestoreData(list);
    EXPECT_EQ(ReadDataFloat(), 1.9f);
    static const float VALUES[] = {5, 255};
    DataList plain(VALUES);
    RestoreData(plain);
    EXPECT_EQ(ReadDataInt(), 5);
    EXPECT_EQ(ReadDataInt(), 255);
}

TEST(DataListDeathTest, ReadingPastTheEndEndsTheProgram) {
    ExpectEndsProgram(
        [] {
            static const float ONE[] = {1};
            DataList list(ONE);
            RestoreData(list);
            ReadDataInt();
            ReadDataInt();
        },
        "KRT Error: 14\n(.|\n)*" + std::string(SHUTDOWN_LINES));
}
