// The global error state words and their texts.
#include "runtime/core/error_state.h"

#include <cstdio>

namespace {
int errorCode = 0;
int errorLine = 0;
int currentLine = 0;
}  // namespace

void SetError(int code) {
    errorCode = code;
    errorLine = currentLine;
}
int ErrorCode() { return errorCode; }
int ErrorLine() { return errorLine; }
int CurrentLine() { return currentLine; }
void SetCurrentLine(int line) { currentLine = line; }
void ClearError() { errorCode = 0; }
void ClearErrorState() { errorCode = errorLine = currentLine = 0; }

KString ErrorText() {
    const char* name;
    switch (errorCode) {
        case 0: name = "success"; break;
        case 3: name = "no such file"; break;
        case 7: name = "out of memory"; break;
        case 9: name = "out of bounds"; break;
        case 20: name = "out of data"; break;
        default: name = "unknown error"; break;
    }
    char text[128];
    snprintf(text, sizeof text, "%.4d %s", errorCode, name);
    return KString(text);
}
