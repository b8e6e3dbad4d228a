// Shared set-up for the drawing tests: a headless device with a 1024 x 1024 atlas in sprite 3, a
// synthetic atlas table, wave tables, and a decoder turning the batch back into quads.
#pragma once

#include <gtest/gtest.h>

#include <vector>

struct QuadVertex {
    float x, y;  // screen position
    float u, v;  // texel position, recovered from the texture coordinates
    int alpha;
};

struct Quad {
    QuadVertex p[6];
    int item = -1, frame = -1;  // the table entry whose top-left texel is p[0], or -1
};

class DrawTest : public testing::Test {
public:
    void SetUp() override;
    // Every item i, frame f gets (340 + 13 f, 8 i, 12, 7): unique top-left texels, clear of the
    // background region (texels 0..330).
    static void SetRect(int item, int frame, int x, int y, int w, int h);
    static void Begin();               // opens a batch on the test atlas
    static std::vector<Quad> Quads();  // the batch so far, six vertices per quad
};
