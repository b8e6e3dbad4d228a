// Per-frame drawing figures: the triangles of each draw call clipped to the viewport and summed
// by whether they were blended.
#include "runtime/graphics/draw_stats.h"

#include <algorithm>
#include <cmath>

#include "runtime/graphics/polygon_batch.h"

namespace {
bool enabled = false;
FrameDrawStats current, last;
void (*frameListener)(const FrameDrawStats&) = nullptr;

struct Point {
    double x, y;
};

// Keeps the part of a convex polygon where inside(p) holds (one edge of the rectangle).
template <typename Inside, typename Cross>
int ClipEdge(const Point* in, int n, Point* out, Inside inside, Cross cross) {
    int m = 0;
    for (int i = 0; i < n; ++i) {
        const Point& a = in[i];
        const Point& b = in[(i + 1) % n];
        const bool ia = inside(a), ib = inside(b);
        if (ia) out[m++] = a;
        if (ia != ib) out[m++] = cross(a, b);
    }
    return m;
}

Point AtX(const Point& a, const Point& b, double x) {
    const double t = (x - a.x) / (b.x - a.x);
    return {x, a.y + t * (b.y - a.y)};
}

Point AtY(const Point& a, const Point& b, double y) {
    const double t = (y - a.y) / (b.y - a.y);
    return {a.x + t * (b.x - a.x), y};
}
}  // namespace

double ClippedTriangleArea(const float x[3], const float y[3], float w, float h) {
    if (!(w > 0 && h > 0)) return 0;
    Point a[8] = {{x[0], y[0]}, {x[1], y[1]}, {x[2], y[2]}}, b[8];
    for (const Point& p : {a[0], a[1], a[2]}) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) return 0;
    }
    int n = 3;
    n = ClipEdge(a, n, b, [](const Point& p) { return p.x >= 0; }, [](const Point& p, const Point& q) { return AtX(p, q, 0); });
    n = ClipEdge(b, n, a, [w](const Point& p) { return p.x <= w; }, [w](const Point& p, const Point& q) { return AtX(p, q, w); });
    n = ClipEdge(a, n, b, [](const Point& p) { return p.y >= 0; }, [](const Point& p, const Point& q) { return AtY(p, q, 0); });
    n = ClipEdge(b, n, a, [h](const Point& p) { return p.y <= h; }, [h](const Point& p, const Point& q) { return AtY(p, q, h); });
    double twice = 0;
    for (int i = 0; i < n; ++i) {
        const Point& p = a[i];
        const Point& q = a[(i + 1) % n];
        twice += p.x * q.y - q.x * p.y;
    }
    return std::fabs(twice) / 2;
}

void EnableDrawStats(bool on) {
    enabled = on;
    current = FrameDrawStats();
    last = FrameDrawStats();
}

bool DrawStatsEnabled() { return enabled; }

void CountDrawCall(const BatchVertex* v, size_t count, int mode, bool blended, bool vertexAlpha, float viewWidth,
                   float viewHeight) {
    if (!enabled || count == 0) return;
    current.drawCalls += 1;
    current.vertices += static_cast<unsigned>(count);
    if (count < 3) return;
    const size_t triangles = mode == 1 ? count / 3 : count - 2;
    for (size_t t = 0; t < triangles; ++t) {
        size_t i0, i1, i2;
        if (mode == 1) {
            i0 = 3 * t, i1 = i0 + 1, i2 = i0 + 2;
        } else if (mode == 2) {
            i0 = t, i1 = t + 1, i2 = t + 2;
        } else {
            i0 = 0, i1 = t + 1, i2 = t + 2;
        }
        const float xs[3] = {v[i0].x, v[i1].x, v[i2].x};
        const float ys[3] = {v[i0].y, v[i1].y, v[i2].y};
        const double area = ClippedTriangleArea(xs, ys, viewWidth, viewHeight);
        const int alpha = vertexAlpha ? std::max({v[i0].a, v[i1].a, v[i2].a}) : 255;
        if (!blended) {
            current.opaquePixels += area;
            if (area > 0) current.peakAlpha = 1;
            continue;
        }
        current.blendedPixels += area;
        if (alpha == 0) current.invisiblePixels += area;
        if (area > 0) current.peakAlpha = std::max(current.peakAlpha, alpha / 255.0f);
    }
}

void EndFrameDrawStats() {
    if (!enabled) return;
    last = current;
    current = FrameDrawStats();
    if (frameListener) frameListener(last);
}

void SetFrameDrawStatsListener(void (*listener)(const FrameDrawStats&)) { frameListener = listener; }

const FrameDrawStats& LastFrameDrawStats() { return last; }
const FrameDrawStats& CurrentFrameDrawStats() { return current; }
