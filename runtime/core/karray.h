// KArray: the bounds-checked array of up to four dimensions used for every game table.
// An index outside the bounds is fatal: the bounds are reported and the program ends.
#pragma once

#include <algorithm>
#include <new>

#include "runtime/core/error_state.h"

// Reports a failed access on standard output and standard error, sets error 9 and ends the program.
[[noreturn]] void ArrayBoundsFault(int dims, const int sizes[4], int i, int j, int k, int l);
// Allocation failure while dimensioning: error 7 and the end of the program.
[[noreturn]] void ArrayAllocFault();

template <class T>
class KArray {
public:
    KArray() = default;
    KArray(const KArray& other) { CopyFrom(other); }
    KArray& operator=(const KArray& other) {
        if (this != &other) {
            Free();
            CopyFrom(other);
        }
        return *this;
    }
    ~KArray() { Free(); }

    void DimArray(int d1, int d2 = 0, int d3 = 0, int d4 = 0) {
        if (d1 < 0) d1 = 0;
        // Sizes whose product does not fit are an allocation failure, never a wrapped count.
        long long wide = 1LL * std::max(d4, 1) * std::max(d3, 1) * d1 * std::max(d2, 1);
        if (wide > (1LL << 28)) ArrayAllocFault();
        int count = static_cast<int>(wide);
        if (capacity_ < count || d1 < 1) {
            Free();
            int cap = (count / 8 + 1) * 8;
            storage_ = new (std::nothrow) T[cap]();
            if (!storage_) ArrayAllocFault();
            capacity_ = cap;
        } else {
            for (int n = 0; n < count; ++n) storage_[n] = T{};
        }
        dims_ = d4 != 0 ? 4 : d3 != 0 ? 3 : d2 != 0 ? 2 : d1 > 0 ? 1 : 0;
        size_[0] = d1;
        size_[1] = d2;
        size_[2] = d3;
        size_[3] = d4;
        stride2_ = d1;
        stride3_ = d1 * d2;
        stride4_ = d1 * d2 * d3;
        count_ = count;
    }

    // Resizes keeping every element whose indices fit both the old and the new sizes.
    void RedimArray(int d1, int d2 = 0, int d3 = 0, int d4 = 0) {
        if (d1 < 1) {
            size_[0] = size_[1] = size_[2] = size_[3] = 0;
            stride2_ = stride3_ = stride4_ = 0;
            count_ = 0;
            dims_ = 0;
            return;
        }
        KArray fresh;
        fresh.DimArray(d1, d2, d3, d4);
        if (storage_) {
            int lim[4];
            for (int n = 0; n < 4; ++n) {
                lim[n] = std::min(std::max(size_[n], n == 0 ? 0 : 1), std::max(fresh.size_[n], n == 0 ? 0 : 1));
            }
            for (int l = 0; l < lim[3]; ++l)
                for (int k = 0; k < lim[2]; ++k)
                    for (int j = 0; j < lim[1]; ++j)
                        for (int i = 0; i < lim[0]; ++i)
                            fresh.storage_[i + fresh.stride2_ * j + fresh.stride3_ * k + fresh.stride4_ * l] =
                                storage_[i + stride2_ * j + stride3_ * k + stride4_ * l];
        }
        Free();
        Take(fresh);
    }

    // Dimensions a one-dimensional array of n elements holding the values in order.
    void ArrayFromList(int n, const T* values) {
        DimArray(n);
        for (int i = 0; i < n; ++i) storage_[i] = values[i];
    }

    T& ArrayElement(int i, int j = 0, int k = 0, int l = 0) {
        if (i < 0) i += size_[0];
        if (!storage_ || i < 0 || i >= size_[0] || !IndexOk(j, size_[1]) || !IndexOk(k, size_[2]) ||
            !IndexOk(l, size_[3])) {
            ArrayBoundsFault(dims_, size_, i, j, k, l);
        }
        return storage_[i + stride2_ * j + stride3_ * k + stride4_ * l];
    }
    const T& ArrayElement(int i, int j = 0, int k = 0, int l = 0) const {
        return const_cast<KArray*>(this)->ArrayElement(i, j, k, l);
    }
    T& operator()(int i, int j = 0, int k = 0, int l = 0) { return ArrayElement(i, j, k, l); }
    const T& operator()(int i, int j = 0, int k = 0, int l = 0) const { return ArrayElement(i, j, k, l); }

    // Size of dimension n (0 to 3); any other n gives 0.
    int ArraySize(int n) const { return n >= 0 && n < 4 ? size_[n] : 0; }
    int Count() const { return count_; }
    int Dimensions() const { return dims_; }
    int CapacityElements() const { return capacity_; }

private:
    static bool IndexOk(int index, int size) { return size == 0 ? index == 0 : index >= 0 && index < size; }

    void Free() {
        delete[] storage_;
        storage_ = nullptr;
        capacity_ = 0;
    }
    void Take(KArray& other) {
        storage_ = other.storage_;
        stride2_ = other.stride2_;
        stride3_ = other.stride3_;
        stride4_ = other.stride4_;
        std::copy(other.size_, other.size_ + 4, size_);
        count_ = other.count_;
        dims_ = other.dims_;
        capacity_ = other.capacity_;
        other.storage_ = nullptr;
        other.capacity_ = 0;
    }
    void CopyFrom(const KArray& other) {
        stride2_ = other.stride2_;
        stride3_ = other.stride3_;
        stride4_ = other.stride4_;
        std::copy(other.size_, other.size_ + 4, size_);
        count_ = other.count_;
        dims_ = other.dims_;
        capacity_ = 0;
        storage_ = nullptr;
        if (other.storage_) {
            storage_ = new (std::nothrow) T[other.capacity_]();
            if (!storage_) ArrayAllocFault();
            capacity_ = other.capacity_;
            std::copy(other.storage_, other.storage_ + other.capacity_, storage_);
        }
    }

    T* storage_ = nullptr;
    int stride2_ = 0;
    int stride3_ = 0;
    int stride4_ = 0;
    int size_[4] = {0, 0, 0, 0};
    int count_ = 0;
    int dims_ = 0;
    int capacity_ = 0;
};
