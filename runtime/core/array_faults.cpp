// The fatal reports of KArray: a bounds report on both output streams, then the end of the program.
#include <cstdio>

#include "runtime/core/karray.h"
#include "runtime/core/lifecycle.h"
#include "runtime/core/number_text.h"

void ArrayBoundsFault(int dims, const int sizes[4], int i, int j, int k, int l) {
    (void)dims;
    const int passed[4] = {i, j, k, l};
    // First with the third and fourth index as 0, then as they were passed.
    for (int pass = 0; pass < 2; ++pass) {
        KString bounds = KString("[") + FormatNum(4, 0, static_cast<float>(sizes[0])) + "]";
        KString access = KString("[") + FormatNum(4, 0, static_cast<float>(passed[0])) + "]";
        for (int n = 1; n < 4; ++n) {
            if (sizes[n] <= 0) continue;
            int index = (pass == 0 && n >= 2) ? 0 : passed[n];
            bounds += KString("[") + FormatNum(4, 0, static_cast<float>(sizes[n])) + "]";
            access += KString("[") + FormatNum(4, 0, static_cast<float>(index)) + "]";
        }
        KString text = KString("bounds: ") + bounds + "\n" + "access: " + access + "\n";
        PrintStr(text);
        fflush(stdout);
        PrintErrStr(text);
    }
    SetError(ERROR_OUT_OF_BOUNDS);
    EndProgram();
}

void ArrayAllocFault() {
    SetError(ERROR_OUT_OF_MEMORY);
    EndProgram();
}
