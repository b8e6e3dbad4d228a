// The mapping between the emulated display and the real window, shared by both platform twins
// and by the graphics device.
#include "runtime/platform/presentation.h"

namespace Platform {
namespace {
long long FloorDiv(long long a, long long b) {
    long long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

long long CeilDiv(long long a, long long b) { return -FloorDiv(-a, b); }

// The first window pixel (along one axis) that shows display pixel d.
int Edge(int d, int start, int size, int displaySize) {
    return start + static_cast<int>(CeilDiv(static_cast<long long>(d) * size, displaySize));
}
}  // namespace

Presentation WindowedPresentation(int displayWidth, int displayHeight) {
    Presentation p;
    p.windowWidth = p.width = p.displayWidth = displayWidth;
    p.windowHeight = p.height = p.displayHeight = displayHeight;
    return p;
}

Presentation FittedPresentation(int windowWidth, int windowHeight, int displayWidth, int displayHeight) {
    if (windowWidth <= 0 || windowHeight <= 0 || displayWidth <= 0 || displayHeight <= 0) {
        return WindowedPresentation(displayWidth, displayHeight);
    }
    Presentation p;
    p.windowWidth = windowWidth;
    p.windowHeight = windowHeight;
    p.displayWidth = displayWidth;
    p.displayHeight = displayHeight;
    const long long W = windowWidth, H = windowHeight, dw = displayWidth, dh = displayHeight;
    if (W * dh <= H * dw) {  // the width is the tighter side
        p.width = windowWidth;
        p.height = static_cast<int>((dh * W + dw / 2) / dw);
    } else {
        p.height = windowHeight;
        p.width = static_cast<int>((dw * H + dh / 2) / dh);
    }
    if (p.width > windowWidth) p.width = windowWidth;
    if (p.height > windowHeight) p.height = windowHeight;
    if (p.width < 1) p.width = 1;
    if (p.height < 1) p.height = 1;
    p.x = (windowWidth - p.width) / 2;
    p.y = (windowHeight - p.height) / 2;
    return p;
}

void WindowToDisplay(const Presentation& p, int& x, int& y) {
    if (p.width <= 0 || p.height <= 0) return;
    x = static_cast<int>(FloorDiv(static_cast<long long>(x - p.x) * p.displayWidth, p.width));
    y = static_cast<int>(FloorDiv(static_cast<long long>(y - p.y) * p.displayHeight, p.height));
}

PixelRect DisplayRectToWindow(const Presentation& p, int x, int y, int width, int height) {
    if (p.displayWidth <= 0 || p.displayHeight <= 0) return {x, y, width, height};
    const int left = Edge(x, p.x, p.width, p.displayWidth);
    const int top = Edge(y, p.y, p.height, p.displayHeight);
    const int right = Edge(x + width, p.x, p.width, p.displayWidth);
    const int bottom = Edge(y + height, p.y, p.height, p.displayHeight);
    return {left, top, right - left, bottom - top};
}

}  // namespace Platform
