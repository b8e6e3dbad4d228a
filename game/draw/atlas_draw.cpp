// The atlas routines: each looks up one rectangle of glyphTable and appends two triangles
// (six vertices) showing it at a design-area position, plain or transformed.
#include "game/draw/draw.h"

#include "game/state/globals.h"
#include "runtime/graphics/polygon_batch.h"

namespace {

const float WHITE = 16777215.0f;  // 0xFFFFFF: alpha and blending come from SetBlendMode alone

struct Texels {
    float u0, v0, u1, v1;
};

struct Point {
    float x, y;
};

// Width and height of a frame in texels; the frame is addressed with the table's own checks.
struct Frame {
    float x, y, width, height;
};

Frame LookUp(float item, float frame) {
    int i = static_cast<int>(item);
    int f = static_cast<int>(frame);
    return {static_cast<float>(glyphTable(i, f, 0)), static_cast<float>(glyphTable(i, f, 1)),
            static_cast<float>(glyphTable(i, f, 2)), static_cast<float>(glyphTable(i, f, 3))};
}

Texels Whole(const Frame& r) {
    return {r.x, r.y, r.x + r.width, r.y + r.height};
}

// Top-left, bottom-left, bottom-right twice, top-right, top-left again.
void EmitQuad(Point tl, Point bl, Point br, Point tr, const Texels& t) {
    AddPolygonVertex(tl.x, tl.y, t.u0, t.v0, WHITE);
    AddPolygonVertex(bl.x, bl.y, t.u0, t.v1, WHITE);
    AddPolygonVertex(br.x, br.y, t.u1, t.v1, WHITE);
    AddPolygonVertex(br.x, br.y, t.u1, t.v1, WHITE);
    AddPolygonVertex(tr.x, tr.y, t.u1, t.v0, WHITE);
    AddPolygonVertex(tl.x, tl.y, t.u0, t.v0, WHITE);
}

void EmitRect(float left, float top, float right, float bottom, const Texels& t) {
    EmitQuad({left, top}, {left, bottom}, {right, bottom}, {right, top}, t);
}

bool Scaled() {
    return scalingOn != 0;
}

// A frame's unscaled place on screen: its centre and its full size, in screen pixels.
struct Place {
    float centreX, centreY, width, height;
};

Place PlaceOf(const Frame& r, float x, float y) {
    float w = r.width, h = r.height;
    if (Scaled()) {
        x *= scaleX;
        y *= scaleY;
        w *= scaleX;
        h *= scaleY;
    }
    return {x + w / 2, y + h / 2, w, h};
}

}  // namespace

void DrawAtlasFrame(float item, float frame, float x, float y) {
    Frame r = LookUp(item, frame);
    if (Scaled()) {
        float left = x * scaleX, top = y * scaleY;
        EmitRect(left, top, left + r.width * scaleX, top + r.height * scaleY, Whole(r));
    } else {
        EmitRect(x, y, x + r.width, y + r.height, Whole(r));
    }
}

void DrawAtlasItem(float item, float x, float y) {
    DrawAtlasFrame(item, 0, x, y);
}

void DrawAtlasItemPartial(float item, float x, float y, float percent) {
    Frame r = LookUp(item, 0);
    float p = percent / 100;
    Texels t = Whole(r);
    t.u1 = r.x + p * r.width;
    if (Scaled()) {
        float left = x * scaleX, top = y * scaleY;
        EmitRect(left, top, left + p * r.width * scaleX, top + r.height * scaleY, t);
    } else {
        EmitRect(x, y, x + p * r.width, y + r.height, t);
    }
}

void DrawAtlasItemWidened(float item, float x, float y) {
    Frame r = LookUp(item, 0);
    Texels t = Whole(r);
    t.u1 = r.x + r.width + gameClock;
    if (Scaled()) {
        EmitRect(x * scaleX, y * scaleY, (x + r.width + gameClock) * scaleX, (y + r.height) * scaleY, t);
    } else {
        EmitRect(x, y, x + r.width + gameClock, y + r.height, t);
    }
}

void DrawAtlasFrameZoomed(float item, float frame, float x, float y, float scale) {
    Frame r = LookUp(item, frame);
    Place p = PlaceOf(r, x, y);
    float hw = p.width * scale / 2, hh = p.height * scale / 2;
    EmitRect(p.centreX - hw, p.centreY - hh, p.centreX + hw, p.centreY + hh, Whole(r));
}

void DrawAtlasFrameRotated(float item, float frame, float x, float y, float angle, float scale) {
    Frame r = LookUp(item, frame);
    Place p = PlaceOf(r, x, y);
    float hw = p.width / 2, hh = p.height / 2;
    // 359, not 360: angle 0 leaves the picture a degree counter-clockwise of upright.
    float a = 359 - angle;
    float c = FastCos(a), s = FastSin(a);
    auto turn = [&](float dx, float dy) {
        return Point{p.centreX + (c * dx - s * dy) * scale, p.centreY + (s * dx + c * dy) * scale};
    };
    EmitQuad(turn(-hw, -hh), turn(-hw, hh), turn(hw, hh), turn(hw, -hh), Whole(r));
}

void DrawAtlasItemWaving(float phaseOffset, float item, float x, float y, float scale) {
    Frame r = LookUp(item, 0);
    Place p = PlaceOf(r, x, y);
    float hw = p.width * scale / 2, hh = p.height * scale / 2;
    float left = p.centreX - hw, right = p.centreX + hw;
    float top = p.centreY - hh, bottom = p.centreY + hh;

    float phase = phaseOffset + titleWavePhase;
    float unit = Scaled() ? scaleY : 1.0f;
    auto wave = [&](int k) { return textWave(static_cast<int>(phase + k)) * unit; };

    // Each corner reads the wave a little further on, so neighbouring items ripple in turn.
    Point tl{left + wave(10), top + wave(0)};
    Point bl{left + wave(20), bottom + wave(10)};
    Point br{right + wave(30), bottom + wave(20)};
    Point tr{right + wave(40), top + wave(40)};
    EmitQuad(tl, bl, br, tr, Whole(r));
}

void DrawAtlasItemSliced(float item, float left, float top, float right, float bottom, float cap) {
    Frame r = LookUp(item, 0);
    if (cap * 2 > r.width) cap = r.width / 2;
    // Narrower than its two ends, the picture keeps its ends and loses the middle.
    if (right - left < cap * 2) right = left + cap * 2;
    const float cuts[4] = {left, left + cap, right - cap, right};
    const float texels[4] = {r.x, r.x + cap, r.x + r.width - cap, r.x + r.width};
    float sx = Scaled() ? scaleX : 1, sy = Scaled() ? scaleY : 1;
    for (int k = 0; k < 3; ++k) {
        Texels t{texels[k], r.y, texels[k + 1], r.y + r.height};
        EmitRect(cuts[k] * sx, top * sy, cuts[k + 1] * sx, bottom * sy, t);
    }
}
