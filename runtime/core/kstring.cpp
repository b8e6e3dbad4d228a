// KString storage, growth, concatenation, comparison and the string helpers.
#include "runtime/core/kstring.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/core/karray.h"
#include "runtime/core/number_text.h"

namespace {
// Never written (capacity 0 keeps every writer away) and never freed.
char sharedEmpty[1] = {0};
}  // namespace

KString::KString() : data_(sharedEmpty), capacity_(0), length_(0) {}

KString::KString(const char* text) : KString() {
    if (text) Assign(text, static_cast<int>(strlen(text)));
}

KString::KString(const char* text, int length) : KString() {
    if (text && length > 0) Assign(text, length);
}

KString::KString(const KString& other) : KString() { Assign(other.data_, other.length_); }

KString::KString(KString&& other) noexcept : KString() { Swap(other); }

KString::~KString() { Clear(); }

KString& KString::operator=(const KString& other) {
    if (this != &other) Assign(other.data_, other.length_);
    return *this;
}

KString& KString::operator=(KString&& other) noexcept {
    if (this != &other) {
        Clear();
        Swap(other);
    }
    return *this;
}

KString& KString::operator=(const char* text) {
    if (text == data_) return *this;
    KString copy(text);
    Swap(copy);
    return *this;
}

KString& KString::operator+=(const KString& other) {
    if (&other == this) {
        KString copy(other);
        Append(copy.data_, copy.length_);
    } else {
        Append(other.data_, other.length_);
    }
    return *this;
}

KString& KString::operator+=(const char* text) {
    if (text) {
        KString copy(text);  // text may point into this string
        Append(copy.data_, copy.length_);
    }
    return *this;
}

void KString::Reserve(int n, bool keepOld) {
    if (n <= 0 || n + 1 <= capacity_) return;
    int capacity = ((n + 1) / 4) * 4 + 4;
    char* buffer = static_cast<char*>(malloc(capacity));
    if (!buffer) abort();
    if (keepOld && length_ != 0) {
        memcpy(buffer, data_, length_ + 1);
    } else {
        buffer[0] = 0;
        length_ = 0;
    }
    if (data_ != sharedEmpty) free(data_);
    data_ = buffer;
    capacity_ = capacity;
}

void KString::Recount() {
    if (capacity_ == 0) {
        length_ = 0;
        return;
    }
    const void* end = memchr(data_, 0, capacity_);
    if (end) {
        length_ = static_cast<int>(static_cast<const char*>(end) - data_);
    } else {
        data_[capacity_ - 1] = 0;
        length_ = capacity_ - 1;
    }
}

void KString::SetLength(int n) {
    if (capacity_ == 0 || n < 0) return;
    if (n >= capacity_) n = capacity_ - 1;
    length_ = n;
    data_[n] = 0;
}

void KString::Swap(KString& other) noexcept {
    char* d = data_;
    int c = capacity_, l = length_;
    data_ = other.data_;
    capacity_ = other.capacity_;
    length_ = other.length_;
    other.data_ = d;
    other.capacity_ = c;
    other.length_ = l;
}

void KString::Clear() {
    if (data_ != sharedEmpty) free(data_);
    data_ = sharedEmpty;
    capacity_ = 0;
    length_ = 0;
}

bool KString::UsesSharedEmpty() const { return data_ == sharedEmpty; }

void KString::Assign(const char* text, int length) {
    if (length <= 0) {
        Clear();
        return;
    }
    Reserve(length, false);
    memmove(data_, text, length);
    data_[length] = 0;
    length_ = length;
}

void KString::Append(const char* text, int length) {
    if (length <= 0) return;
    Reserve(length_ + length, true);
    memcpy(data_ + length_, text, length);
    length_ += length;
    data_[length_] = 0;
}

KString operator+(const KString& a, const KString& b) {
    KString r;
    r.Reserve(a.Length() + b.Length(), false);
    r += a;
    r += b;
    return r;
}
KString operator+(const char* a, const KString& b) { return KString(a) + b; }
KString operator+(const KString& a, const char* b) { return a + KString(b); }
KString operator+(const KString& a, float value) { return a + NumToStr(value); }
KString operator+(const KString& a, double value) { return a + NumToStr(static_cast<float>(value)); }
KString operator+(const KString& a, int value) { return a + IntToStr(value); }
KString operator+(float value, const KString& b) { return NumToStr(value) + b; }
KString operator+(double value, const KString& b) { return NumToStr(static_cast<float>(value)) + b; }
KString operator+(int value, const KString& b) { return IntToStr(value) + b; }

bool operator==(const KString& a, const char* b) { return strcmp(a.c_str(), b ? b : "") == 0; }
bool operator==(const KString& a, const KString& b) { return strcmp(a.c_str(), b.c_str()) == 0; }
bool operator==(const char* a, const KString& b) { return b == a; }
bool operator!=(const KString& a, const char* b) { return !(a == b); }
bool operator!=(const KString& a, const KString& b) { return !(a == b); }
bool operator!=(const char* a, const KString& b) { return !(b == a); }
bool operator<(const KString& a, const KString& b) { return strcmp(a.c_str(), b.c_str()) < 0; }

KString MidStr(const KString& text, int start, int count) {
    int length = text.Length();
    if (start < 0 || start >= length) return KString();
    int left = length - start;
    if (count < 0 || count > left) count = left;
    if (count < 1) return KString();
    return KString(text.c_str() + start, count);
}

int AscCode(const KString& text) { return static_cast<unsigned char>(text.c_str()[0]); }

KString ChrStr(int code) {
    KString r;
    r.Reserve(1, false);
    r.Data()[0] = static_cast<char>(code & 0xff);
    r.Data()[1] = 0;
    r.SetLength(1);  // also for code 0
    return r;
}

int StrToInt(const KString& text) { return static_cast<int>(strtol(text.c_str(), nullptr, 10)); }

int SplitStr(const KString& source, KArray<KString>& out, const KString& delimiters, int skipEmpty) {
    const KString text(source);  // the source may live in the array being emptied
    int pieces = 0;
    const char* s = text.c_str();
    int length = text.Length();
    out.RedimArray(0);
    int start = 0;
    auto append = [&](int from, int to) {
        out.RedimArray(pieces + 1);
        out(pieces) = KString(s + from, to - from);
        ++pieces;
    };
    for (int n = 0; n < length; ++n) {
        if (delimiters.Length() > 0 && memchr(delimiters.c_str(), s[n], delimiters.Length())) {
            if (n > start || skipEmpty == 0) append(start, n);
            start = n + 1;
        }
    }
    if (start < length) append(start, length);
    return out.Count();
}

void PrintStr(const KString& text) { printf("%s", text.c_str()); }

void PrintErrStr(const KString& text) { fputs(text.c_str(), stderr); }
