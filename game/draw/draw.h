// Atlas drawing: every picture the game shows is a rectangle of a texture atlas, put as six
// vertices into the frame's open polygon batch. Also the screen text rows and the fast trigonometry.
#pragma once

#include "runtime/core/kstring.h"

class DataList;

// The atlas table: [122 items][48 frames][x, y, width, height] in texels (glyphTable, a game global).
const int ATLAS_ITEMS = 122;
const int ATLAS_FRAMES = 48;
// Records of the atlas data list end with this item number.
const int ATLAS_LIST_END = 255;
// Frames of one atlas item wrap to the next row when x reaches this texel column.
const int ATLAS_ROW_WIDTH = 1024;

// Plain, cropped, widened, zoomed, rotated and waving rectangles, in design units.
void DrawAtlasFrame(float item, float frame, float x, float y);
void DrawAtlasItem(float item, float x, float y);
void DrawAtlasItemPartial(float item, float x, float y, float percent);
void DrawAtlasItemWidened(float item, float x, float y);  // right edge moved by the mode clock (gameClock)
void DrawAtlasFrameZoomed(float item, float frame, float x, float y, float scale);
void DrawAtlasFrameRotated(float item, float frame, float x, float y, float angle, float scale);
void DrawAtlasItemWaving(float phaseOffset, float item, float x, float y, float scale);
// Frame 0 spread over a rectangle: its left and right `cap` texels keep their width, the middle
// stretches (a rounded plate fitted to any width). Three quads.
void DrawAtlasItemSliced(float item, float left, float top, float right, float bottom, float cap);

// Blend value for a row of a scrolling list at height y: fades the rows near the list's edges.
float ListFadeAlpha(float y, float alpha);

// White dimmed to `level` (0..1) as a vertex colour: what a picture drawn at that alpha over the
// black cleared screen looks like, for opaque layers drawn without blending.
float DimmedWhite(float level);

// Sine and cosine of degrees, 65536 steps per turn, good to about 0.001.
float FastSin(float degrees);
float FastCos(float degrees);

// Fills glyphTable from the generated atlas data list.
void FillGlyphTable();
// Fills glyphTable from any atlas data list (item, frame count, x, y, w, h ..., 255).
void FillGlyphTable(DataList& list);

// Screen text rows, one atlas frame per character (codes 48..95). align: 1 ends at x,
// -1 starts at x, 0 centres on x, anything else starts at 0.
void DrawText(const KString& text, float align, float x, float y);     // small font, item 86
void DrawBigText(const KString& text, float align, float x, float y);  // big font, item 42
