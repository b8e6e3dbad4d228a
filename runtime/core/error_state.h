// The global error state: error code, the line at which it was set, and the current line.
#pragma once

#include "runtime/core/kstring.h"

enum ErrorCodes {
    ERROR_NONE = 0,
    ERROR_NO_SUCH_FILE = 3,
    ERROR_OUT_OF_MEMORY = 7,
    ERROR_OUT_OF_BOUNDS = 9,
    ERROR_OUT_OF_DATA = 20,
};

// Sets the code and copies the current line into the error line.
void SetError(int code);
int ErrorCode();
int ErrorLine();
int CurrentLine();
void SetCurrentLine(int line);
// Clears the code only.
void ClearError();
// Clears code, error line and current line.
void ClearErrorState();
// "%.4d %s": the code and its name.
KString ErrorText();
