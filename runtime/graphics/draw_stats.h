// What each presented frame asks of the rasteriser: draw calls, vertices, and the pixels its
// triangles cover with and without blending. Counted only while enabled (tools, benchmarks and
// tests turn it on), on both twins, so the headless twin can tell what a screen would cost.
#pragma once

#include <cstddef>

struct BatchVertex;

struct FrameDrawStats {
    unsigned drawCalls = 0;
    unsigned vertices = 0;
    double blendedPixels = 0;    // covered by triangles drawn with blending on
    double opaquePixels = 0;     // covered by triangles drawn with blending off
    double invisiblePixels = 0;  // blended although every vertex of the triangle had alpha 0
    float peakAlpha = 0;         // the most opaque vertex drawn; 1 for anything drawn unblended
};

void EnableDrawStats(bool on);
bool DrawStatsEnabled();

// One draw call of `count` vertices in batch mode `mode` (0 fan, 1 triangles, 2 strip) inside a
// viewport of viewWidth x viewHeight pixels. `vertexAlpha`: the vertices' own alpha applies
// (else the current colour's alpha 1 does).
void CountDrawCall(const BatchVertex* vertices, size_t count, int mode, bool blended, bool vertexAlpha,
                   float viewWidth, float viewHeight);
// The frame was presented: what was counted since the last present becomes its figures.
void EndFrameDrawStats();
const FrameDrawStats& LastFrameDrawStats();
// Called with each presented frame's figures while counting is on (nullptr: nobody).
void SetFrameDrawStatsListener(void (*listener)(const FrameDrawStats&));
const FrameDrawStats& CurrentFrameDrawStats();

// Area of the part of a triangle inside the rectangle 0..w x 0..h.
double ClippedTriangleArea(const float x[3], const float y[3], float w, float h);
