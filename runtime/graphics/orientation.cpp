// Orientation maths: how the virtual screen is turned onto the device display.
#include "runtime/graphics/graphics_device.h"

#include <cmath>
#include <cstring>

void ScreenToDevicePoint(int orientation, int W, int H, int& x, int& y) {
    const int sx = x, sy = y;
    switch (orientation) {
    case 1: x = W - 1 - sy; y = sx; break;
    case 2: x = W - 1 - sx; y = H - 1 - sy; break;
    case 3: x = sy; y = H - 1 - sx; break;
    default: break;
    }
}

void DeviceToScreenPoint(int orientation, int W, int H, int& x, int& y) {
    const int dx = x, dy = y;
    switch (orientation) {
    case 1: x = dy; y = W - 1 - dx; break;
    case 2: x = W - 1 - dx; y = H - 1 - dy; break;
    case 3: x = H - 1 - dy; y = dx; break;
    default: break;
    }
}

DeviceRect ScreenRectToDevice(int orientation, int W, int H, int x, int y, int w, int h) {
    DeviceRect r{x, y, w, h};
    switch (orientation) {
    case 1: r = {W - 1 - y, x, -h, w}; break;
    case 2: r = {W - 1 - x, H - 1 - y, -w, -h}; break;
    case 3: r = {y, H - 1 - x, h, -w}; break;
    default: break;
    }
    // A negative size runs from the far corner: move the start so the size is positive.
    if (r.width < 0) {
        r.x = r.x + r.width + 1;
        r.width = -r.width;
    }
    if (r.height < 0) {
        r.y = r.y + r.height + 1;
        r.height = -r.height;
    }
    return r;
}

void RotationMatrix(int orientation, float out[16]) {
    std::memset(out, 0, 16 * sizeof(float));
    out[10] = 1.0f;
    out[15] = 1.0f;
    // Column-major: out[0] and out[4] form x' from x and y, out[1] and out[5] form y'.
    switch (orientation) {
    case 1: out[4] = 1.0f; out[1] = -1.0f; break;   // x' = y,  y' = -x
    case 2: out[0] = -1.0f; out[5] = -1.0f; break;  // x' = -x, y' = -y
    case 3: out[4] = -1.0f; out[1] = 1.0f; break;   // x' = -y, y' = x
    default: out[0] = 1.0f; out[5] = 1.0f; break;
    }
}

int ChooseOrientation(int deskW, int deskH, int reqW, int reqH) {
    const bool deviceLandscape = deskW > deskH;
    const bool wantLandscape = reqW > reqH;
    if (deviceLandscape == wantLandscape) return 0;
    return deviceLandscape ? 3 : 1;
}

float FrameMillisFor(float fps) {
    const int whole = TruncToInt(fps);
    if (whole <= 0) return 2.0f;
    return 1000.0f / static_cast<float>(whole);
}

int TruncToInt(float value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483520.0f) return 2147483647;
    if (value <= -2147483648.0f) return -2147483647 - 1;
    return static_cast<int>(value);
}
