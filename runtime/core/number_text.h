// How numbers become text: the number text used wherever a float meets a string,
// integer text, and fixed-width formatting.
#pragma once

#include "runtime/core/kstring.h"

// Ten significant digits, no leading zero before the point, trailing zeros dropped.
KString NumToStr(float value);
KString IntToStr(int value);
// printf "%<width>.<decimals>f"; width and decimals are truncated to integers.
KString FormatNum(float width, float decimals, float value);
