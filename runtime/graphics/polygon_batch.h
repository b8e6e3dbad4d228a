// Polygon batches: textured triangles given vertex by vertex and drawn in one call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The interleaved vertex handed to GL (stride 20).
struct BatchVertex {
    float x, y;   // pixels from the viewport's top-left corner
    float s, t;   // texture coordinates
    uint8_t r, g, b, a;
};
static_assert(sizeof(BatchVertex) == 20, "the vertex layout is fixed at 20 bytes");

class PolygonBatch {
public:
    std::vector<BatchVertex> vertices;  // keeps its memory between batches
    int spriteId = -1;
    int mode = 0;                       // 0 fan, 1 triangles, 2 strip
    bool colourUsed = false;
    float inverseWidth = 1.0f, inverseHeight = 1.0f;
    int imageHeight = 0;
    size_t opaqueVertices = 0;          // the front of the batch drawn without blending
    unsigned long drawCalls = 0;        // glDrawArrays issued (counted on both twins)
};

extern PolygonBatch* polygonBatch;

void BeginPolygonBatch(float sprite, float mode);
void AddPolygonVertex(float x, float y, float tx, float ty, float colour);
void EndPolygonBatch();
// Declares the vertices added so far (whole triangles of a mode-1 batch) opaque: they cover
// what lies beneath them completely, so EndPolygonBatch draws them without blending, before
// the rest of the batch.
void MarkOpaqueVertices();
// The vertices of the current (or last) batch, as they are handed to GL.
const std::vector<BatchVertex>& LastBatchVertices();
