// DATA lists: numbered item lists the game reads its resource tables from, one item at a time.
#pragma once

#include <cstddef>
#include <vector>

struct DataItem {
    float value;
    const char* text;  // null for a plain number
};

class DataList {
public:
    DataList() = default;
    DataList(const DataItem* items, int count) : items(items), count(count) {}
    template <size_t N>
    DataList(const DataItem (&list)[N]) : items(list), count(static_cast<int>(N)) {}
    // A list of plain numbers (e.g. a generated table of float literals).
    DataList(const float* values, int n);
    template <size_t N>
    DataList(const float (&values)[N]) : DataList(values, static_cast<int>(N)) {}

    DataList(const DataList&) = delete;
    DataList& operator=(const DataList&) = delete;

    const DataItem* items = nullptr;
    int count = 0;
    int readIndex = 0;

private:
    std::vector<DataItem> owned_;
};

// Makes the list current and rewinds it.
void RestoreData(DataList& list);
// The current list's next item; past the end (or with no list) the program ends with error 20.
int ReadDataInt();
float ReadDataFloat();
