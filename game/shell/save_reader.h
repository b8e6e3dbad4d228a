// Reading a save file by its known layout without ever asking a channel for bytes past the end
// of the file (which would end the program): every read first checks what is left.
#pragma once

#include <cmath>

#include "runtime/core/error_state.h"
#include "runtime/core/files.h"
#include "runtime/core/kstring.h"

// A save routine handles its own file failures (a missing file, a full disk); the error code
// they set must not outlive it, or the next normal quit would report it as a runtime error.
class HandledFileErrors {
public:
    HandledFileErrors() : before_(ErrorCode()) {}
    ~HandledFileErrors() {
        if (before_ == ERROR_NONE) ClearError();
    }
    HandledFileErrors(const HandledFileErrors&) = delete;
    HandledFileErrors& operator=(const HandledFileErrors&) = delete;

private:
    int before_;
};

class BoundedReader {
public:
    BoundedReader(float channel, long size) : channel_(channel), left_(size < 0 ? 0 : size) {}

    bool Num(float& out) {
        if (left_ < 8) return Fail();
        ReadNum(channel_, out);
        left_ -= 8;
        return true;
    }
    bool Byte(int& out) {
        if (left_ < 1) return Fail();
        ReadByte(channel_, out);
        left_ -= 1;
        return true;
    }
    bool Word(int& out) {
        if (left_ < 2) return Fail();
        ReadWord(channel_, out);
        left_ -= 2;
        return true;
    }
    bool Text(KString& out, long length) {
        if (length < 0 || length > left_) return Fail();
        ReadStr(channel_, out, static_cast<int>(length));
        left_ -= length;
        return true;
    }
    long Left() const { return left_; }
    bool Failed() const { return failed_; }

private:
    bool Fail() {
        failed_ = true;
        return false;
    }
    float channel_;
    long left_;
    bool failed_ = false;
};

// A value a file may hold: finite, inside [lo, hi], and a whole number where asked.
struct ValueRange {
    float lo, hi;
    bool whole;
    bool Holds(float v) const {
        if (!std::isfinite(v) || v < lo || v > hi) return false;
        return !whole || v == std::trunc(v);
    }
};
