// KString: the byte string with value semantics that all runtime and game text goes through.
// Empty strings share one static buffer; every copy allocates its own buffer.
#pragma once

#include <cstddef>

class KString {
public:
    KString();
    KString(const char* text);  // NOLINT: implicit on purpose, game code mixes literals freely
    KString(const char* text, int length);
    KString(const KString& other);
    KString(KString&& other) noexcept;
    ~KString();

    KString& operator=(const KString& other);
    KString& operator=(KString&& other) noexcept;
    KString& operator=(const char* text);

    KString& operator+=(const KString& other);
    KString& operator+=(const char* text);

    const char* c_str() const { return data_; }
    char* Data() { return data_; }
    int Length() const { return length_; }
    int Capacity() const { return capacity_; }
    bool Empty() const { return length_ == 0; }
    char operator[](int index) const { return data_[index]; }

    // The only growth path: makes room for n characters plus terminator.
    void Reserve(int n, bool keepOld);
    // Re-counts the length after the buffer was written directly.
    void Recount();
    // Sets the length after a direct write of n bytes (which may include NUL bytes); n < capacity.
    void SetLength(int n);
    void Swap(KString& other) noexcept;
    void Clear();

    // True when this string uses the shared empty buffer.
    bool UsesSharedEmpty() const;

private:
    void Assign(const char* text, int length);
    void Append(const char* text, int length);

    char* data_;
    int capacity_;
    int length_;
};

KString operator+(const KString& a, const KString& b);
KString operator+(const char* a, const KString& b);
KString operator+(const KString& a, const char* b);
// A float meets a string as number text, an integer as integer text.
KString operator+(const KString& a, float value);
KString operator+(const KString& a, double value);
KString operator+(const KString& a, int value);
KString operator+(float value, const KString& b);
KString operator+(double value, const KString& b);
KString operator+(int value, const KString& b);

bool operator==(const KString& a, const char* b);
bool operator==(const KString& a, const KString& b);
bool operator==(const char* a, const KString& b);
bool operator!=(const KString& a, const char* b);
bool operator!=(const KString& a, const KString& b);
bool operator!=(const char* a, const KString& b);
bool operator<(const KString& a, const KString& b);

template <class T> class KArray;

// Substring from start (0-based); count < 0 means to the end.
KString MidStr(const KString& text, int start, int count);
// Unsigned value of the first byte, 0 for an empty string.
int AscCode(const KString& text);
// A one-byte string holding the code's low byte.
KString ChrStr(int code);
// strtol base 10; 0 when there are no digits.
int StrToInt(const KString& text);
// Splits text at any of the delimiter characters into out; returns the element count.
// Empty pieces are kept only when skipEmpty is 0.
int SplitStr(const KString& text, KArray<KString>& out, const KString& delimiters, int skipEmpty);
// Writes the bytes to standard output / standard error, no newline added.
void PrintStr(const KString& text);
void PrintErrStr(const KString& text);
