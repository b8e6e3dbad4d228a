// Helpers for rendering tests: the device opened through the real display path, and the
// back buffer read with glReadPixels and addressed in virtual-screen pixels.
#pragma once

#include <GLES/gl.h>

#include <cstdint>
#include <vector>

struct Rgba {
    int r, g, b, a;
};

class BackBuffer {
public:
    // Reads the whole device framebuffer (before any swap).
    void Read(int deviceWidth, int deviceHeight, int orientation) {
        W = deviceWidth;
        H = deviceHeight;
        orient = orientation;
        pixels.assign(static_cast<size_t>(W) * H * 4, 0);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, W, H, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    }
    // Pixel at device column x, device row y counted from the top.
    Rgba Device(int x, int y) const {
        const uint8_t* p = pixels.data() + (static_cast<size_t>(H - 1 - y) * W + x) * 4;
        return {p[0], p[1], p[2], p[3]};
    }
    // Pixel at virtual-screen (x, y). The turn is written out here on its own, apart from
    // the runtime's mapping: orientation 3 shows the portrait screen on a landscape device
    // with the screen's top edge along the device's left edge.
    Rgba Virtual(int x, int y) const {
        if (orient == 3) return Device(y, H - 1 - x);
        return Device(x, y);
    }
    int W = 0, H = 0, orient = 0;
    std::vector<uint8_t> pixels;
};

inline bool Near(const Rgba& c, int r, int g, int b, int tolerance = 2) {
    auto close = [tolerance](int a, int e) { return a - e <= tolerance && e - a <= tolerance; };
    return close(c.r, r) && close(c.g, g) && close(c.b, b);
}
