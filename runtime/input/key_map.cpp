// The key map: runtime key codes (PC scan-code set 1 numbering; above 127 the keys with
// the extended prefix) to SDL 1.2 key symbols. Unlisted codes hold 255 (no key).
#include "runtime/input/input_state.h"

#include "runtime/platform/platform.h"

namespace {
struct KeyRow {
    int code;
    uint16_t sym;
};

const KeyRow KEY_ROWS[] = {
    {1, 27}, {2, 49}, {3, 50}, {4, 51}, {5, 52}, {6, 53}, {7, 54}, {8, 55}, {9, 56}, {10, 57},
    {11, 48}, {12, 45}, {13, 61}, {14, 8}, {15, 9},
    {16, 113}, {17, 119}, {18, 101}, {19, 114}, {20, 116}, {21, 121}, {22, 117}, {23, 105}, {24, 111},
    {25, 112}, {26, 91}, {27, 93}, {28, 13}, {29, 306},
    {30, 97}, {31, 115}, {32, 100}, {33, 102}, {34, 103}, {35, 104}, {36, 106}, {37, 107}, {38, 108},
    {39, 59}, {40, 39}, {41, 96}, {42, 304}, {43, 92},
    {44, 122}, {45, 120}, {46, 99}, {47, 118}, {48, 98}, {49, 110}, {50, 109},
    {51, 44}, {52, 46}, {53, 47}, {54, 303}, {55, 268}, {56, 308}, {57, 32}, {58, 301},
    {59, 282}, {60, 283}, {61, 284}, {62, 285}, {63, 286}, {64, 287}, {65, 288}, {66, 289}, {67, 290},
    {68, 291}, {69, 300}, {70, 302}, {71, 263}, {72, 264}, {73, 265}, {74, 269}, {75, 260}, {76, 261},
    {77, 262}, {78, 270}, {79, 257}, {80, 258}, {81, 259}, {82, 256}, {83, 266}, {86, 92}, {87, 292},
    {88, 293}, {100, 294}, {101, 295}, {102, 296}, {129, 255}, {141, 272}, {156, 271}, {157, 305},
    {181, 267}, {183, 317}, {184, 307}, {197, 19}, {199, 278}, {200, 273}, {201, 280}, {203, 276},
    {205, 275}, {207, 279}, {208, 274}, {209, 281}, {210, 277}, {211, 127}, {219, 310}, {220, 309},
    {221, 319},
};
}  // namespace

void FillKeyMap(uint16_t* keyMap) {
    for (int i = 0; i < KEY_MAP_SIZE; ++i) keyMap[i] = 255;
    for (const KeyRow& row : KEY_ROWS) keyMap[row.code] = row.sym;
}

bool IsFullscreenKey(int keySym, uint16_t modifiers) {
    const int F11 = 292, RETURN = 13, KEYPAD_ENTER = 271;
    const bool alt = (modifiers & (Platform::KEYMOD_LALT | Platform::KEYMOD_RALT)) != 0;
    return keySym == F11 || (alt && (keySym == RETURN || keySym == KEYPAD_ENTER));
}
