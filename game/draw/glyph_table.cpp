// Fills the atlas table from its data list: records of item, frame count and the first frame's
// rectangle; multi-frame items continue rightwards and wrap onto the next row of the atlas.
#include "game/draw/draw.h"

#include "game/state/globals.h"
#include "runtime/core/data_list.h"

namespace {

// The list is generated with the atlas pictures, so the table and the pictures always agree.
const float ATLAS_DATA[] = {
#include "atlas_data.inc"
};

void StoreFrame(int item, int frame, float x, float y, float w, float h) {
    glyphTable(item, frame, 0) = static_cast<int32_t>(x);
    glyphTable(item, frame, 1) = static_cast<int32_t>(y);
    glyphTable(item, frame, 2) = static_cast<int32_t>(w);
    glyphTable(item, frame, 3) = static_cast<int32_t>(h);
}

}  // namespace

void FillGlyphTable(DataList& list) {
    glyphTable.DimArray(ATLAS_ITEMS, ATLAS_FRAMES, 4);
    RestoreData(list);
    for (;;) {
        int item = ReadDataInt();
        if (item == ATLAS_LIST_END) break;
        int frames = ReadDataInt();
        if (frames == 1) {
            int x = ReadDataInt(), y = ReadDataInt(), w = ReadDataInt(), h = ReadDataInt();
            StoreFrame(item, 0, x, y, w, h);
            continue;
        }
        float x = ReadDataFloat(), y = ReadDataFloat(), w = ReadDataFloat(), h = ReadDataFloat();
        for (int f = 0; f < frames; ++f) {
            StoreFrame(item, f, x, y, w, h);
            x += w;
            if (x >= ATLAS_ROW_WIDTH) {
                x = 0;
                y += h;
            }
        }
    }
}

void FillGlyphTable() {
    static DataList list(ATLAS_DATA);
    FillGlyphTable(list);
}
