// Polygon batches: vertices with position, texel position and colour, drawn in one call
// on one sprite, with the GL state set and restored through the capability cache.
#include "runtime/graphics/polygon_batch.h"

#include <GLES/gl.h>

#include <algorithm>
#include <new>

#include "runtime/graphics/draw_stats.h"
#include "runtime/graphics/graphics_device.h"
#include "runtime/graphics/sprites.h"
#include "runtime/platform/platform.h"

namespace {
PolygonBatch theBatch;
const uint32_t WHITE = 0xFFFFFF;

void DrawRange(PolygonBatch& b, GLenum primitive, size_t first, size_t count, bool gl) {
    ++b.drawCalls;
    if (gl && count > 0) glDrawArrays(primitive, static_cast<GLint>(first), static_cast<GLsizei>(count));
}
}  // namespace

PolygonBatch* polygonBatch = &theBatch;

const std::vector<BatchVertex>& LastBatchVertices() { return polygonBatch->vertices; }

void MarkOpaqueVertices() { polygonBatch->opaqueVertices = polygonBatch->vertices.size(); }

void BeginPolygonBatch(float sprite, float mode) {
    PolygonBatch& b = *polygonBatch;
    b.spriteId = TruncToInt(sprite);
    if (b.spriteId < 0) b.spriteId = -1;
    GraphicsDevice* device = graphicsDevice;
    if (device) device->BindSprite(b.spriteId);

    b.vertices.clear();
    if (b.vertices.capacity() < 3) {
        try {
            b.vertices.reserve(3);
        } catch (const std::bad_alloc&) {
        }
    }
    b.mode = TruncToInt(mode);
    b.colourUsed = false;
    b.opaqueVertices = 0;
    if (b.spriteId >= 0) {
        const SpriteRecord* s = GetSprite(b.spriteId);
        // Ids beyond the table draw like an empty slot.
        const SpriteRecord empty;
        if (!s) s = &empty;
        b.inverseWidth = 1.0f / s->paddedWidth;
        b.inverseHeight = 1.0f / s->paddedHeight;
        b.imageHeight = s->imageHeight;
    }
}

void AddPolygonVertex(float x, float y, float tx, float ty, float colourNumber) {
    PolygonBatch& b = *polygonBatch;
    BatchVertex v;
    v.x = x;
    v.y = y;
    v.s = 0.0f;
    v.t = 0.0f;
    if (b.spriteId >= 0) {
        v.s = tx * b.inverseWidth;
        v.t = (static_cast<float>(b.imageHeight) - ty) * b.inverseHeight;
    }
    const uint32_t colour = static_cast<uint32_t>(TruncToInt(colourNumber));
    if (colour != WHITE) {
        b.colourUsed = true;
        v.r = colour & 255;
        v.g = (colour >> 8) & 255;
        v.b = (colour >> 16) & 255;
    } else {
        v.r = v.g = v.b = 255;
    }
    const GraphicsDevice* device = graphicsDevice;
    const float alpha = device ? device->globalAlpha : 1.0f;
    const uint32_t key = device ? device->ColourKey : 0x8000FF;
    if (colour == key) {
        v.a = 0;
    } else if (alpha == 1.0f) {
        v.a = 255;
    } else {
        const int a = TruncToInt(alpha * 255.0f);
        v.a = static_cast<uint8_t>(a < 0 ? 0 : a > 255 ? 255 : a);
    }
    try {
        b.vertices.push_back(v);
    } catch (const std::bad_alloc&) {
        // The vertex is dropped; the buffer is never written past its end.
    }
}

void EndPolygonBatch() {
    PolygonBatch& b = *polygonBatch;
    GraphicsDevice* device = graphicsDevice;
    const bool gl = Platform::HasGL() && device;
    const float alpha = device ? device->globalAlpha : 1.0f;
    // Offsets into the interleaved records (the array may still be empty).
    static const BatchVertex NO_VERTEX = {};
    const char* base = reinterpret_cast<const char*>(b.vertices.empty() ? &NO_VERTEX : b.vertices.data());
    const bool textured = b.spriteId >= 0;

    if (gl) {
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(2, GL_FLOAT, sizeof(BatchVertex), base);
        if (textured) {
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(2, GL_FLOAT, sizeof(BatchVertex), base + 8);
        }
    }
    if (b.colourUsed || alpha != 1.0f) {
        b.colourUsed = true;
        if (device) device->GlStateCache.Enable(GL_DITHER);
        if (gl) {
            glShadeModel(GL_SMOOTH);
            glEnableClientState(GL_COLOR_ARRAY);
            glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(BatchVertex), base + 16);
        }
    }
    if (gl && textured) {
        const GLint filter = device->smoothFiltering ? GL_LINEAR : GL_NEAREST;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    }
    GLenum primitive = 0;
    bool drawable = true;
    switch (b.mode) {
    case 0: primitive = GL_TRIANGLE_FAN; break;
    case 1: primitive = GL_TRIANGLES; break;
    case 2: primitive = GL_TRIANGLE_STRIP; break;
    default: drawable = false; break;
    }
    if (drawable) {
        // An opaque front (whole triangles only) is drawn first with blending off: nothing
        // beneath it shows through, so blending it would only cost the rasteriser.
        const size_t count = b.vertices.size();
        size_t opaque = b.mode == 1 ? std::min(b.opaqueVertices, count) / 3 * 3 : 0;
        const bool blended = device && device->blendOn;
        if (!blended) opaque = 0;
        const float viewW = device ? static_cast<float>(device->viewWidth) : 0.0f;
        const float viewH = device ? static_cast<float>(device->viewHeight) : 0.0f;
        if (opaque > 0) {
            device->GlStateCache.Disable(GL_BLEND);
            DrawRange(b, primitive, 0, opaque, gl);
            CountDrawCall(b.vertices.data(), opaque, b.mode, false, b.colourUsed, viewW, viewH);
            device->GlStateCache.Enable(GL_BLEND);
        }
        if (opaque == 0 || opaque < count) {
            DrawRange(b, primitive, opaque, count - opaque, gl);
            CountDrawCall(b.vertices.data() + opaque, count - opaque, b.mode, blended, b.colourUsed, viewW, viewH);
        }
    }
    if (gl) {
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    if (b.colourUsed) {
        if (gl) {
            glColor4f(1.0f, 1.0f, 1.0f, alpha);
            glDisableClientState(GL_COLOR_ARRAY);
            glShadeModel(GL_FLAT);
        }
        if (device) device->GlStateCache.Disable(GL_DITHER);
    }
}
