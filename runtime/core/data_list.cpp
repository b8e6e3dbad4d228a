// Reading DATA lists item by item; reading past the end is fatal.
#include "runtime/core/data_list.h"

#include <cstdlib>

#include "runtime/core/error_state.h"
#include "runtime/core/lifecycle.h"

namespace {
DataList* currentList = nullptr;

const DataItem& NextItem() {
    if (!currentList || currentList->readIndex >= currentList->count) {
        SetError(ERROR_OUT_OF_DATA);
        EndProgram();
    }
    return currentList->items[currentList->readIndex++];
}
}  // namespace

DataList::DataList(const float* values, int n) {
    owned_.reserve(n > 0 ? n : 0);
    for (int i = 0; i < n; ++i) owned_.push_back(DataItem{values[i], nullptr});
    items = owned_.data();
    count = static_cast<int>(owned_.size());
}

void RestoreData(DataList& list) {
    currentList = &list;
    list.readIndex = 0;
}

int ReadDataInt() {
    const DataItem& item = NextItem();
    if (item.text) return static_cast<int>(strtol(item.text, nullptr, 10));
    return static_cast<int>(item.value);
}

float ReadDataFloat() {
    const DataItem& item = NextItem();
    if (item.text) return static_cast<float>(strtod(item.text, nullptr));
    return item.value;
}
