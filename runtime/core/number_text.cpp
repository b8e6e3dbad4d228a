// Number text, integer text and fixed-width number formatting.
#include "runtime/core/number_text.h"

#include <cstdio>
#include <cstring>

KString NumToStr(float value) {
    KString r;
    r.Reserve(63, false);
    char* t = r.Data();
    snprintf(t, 64, "%-#.*g", 10, static_cast<double>(value));
    size_t n;

    char* body = t[0] == '-' ? t + 1 : t;
    if (body[0] == '0' && body[1] == '.') {
        memmove(body, body + 1, strlen(body + 1) + 1);
    }
    char* e = strchr(t, 'e');
    if (!e) {
        n = strlen(t);
        while (n > 2 && t[n - 1] == '0') t[--n] = 0;
    }
    // A point right before the exponent goes; a point at the very end goes below.
    e = strchr(t, 'e');
    if (e && e > t && e[-1] == '.') memmove(e - 1, e, strlen(e) + 1);
    if (strcmp(t, ".0") == 0) {
        strcpy(t, "0");
    } else {
        n = strlen(t);
        if (n > 0 && t[n - 1] == '.') t[n - 1] = 0;
    }
    r.Recount();
    return r;
}

KString IntToStr(int value) {
    KString r;
    r.Reserve(15, false);
    snprintf(r.Data(), 16, "%d", value);
    r.Recount();
    return r;
}

KString FormatNum(float width, float decimals, float value) {
    static KString shared;
    char format[64];
    snprintf(format, sizeof format, "%%%d.%df", static_cast<int>(width), static_cast<int>(decimals));
    shared.Reserve(128, false);
    // Wide requests are cut at the buffer, as the shared string's capacity allows.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    snprintf(shared.Data(), shared.Capacity(), format, static_cast<double>(value));
#pragma GCC diagnostic pop
    shared.Recount();
    if (shared.Length() > 127) shared.SetLength(127);
    return shared;
}
