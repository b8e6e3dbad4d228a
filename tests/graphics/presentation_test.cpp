// How the device display is shown in the real window: the fullscreen fit (aspect kept, centred),
// and drawing rectangles and pointer positions going through one mapping that agrees pixel by pixel.
#include <gtest/gtest.h>

#include <vector>

#include "runtime/platform/presentation.h"

namespace {
using Platform::DisplayRectToWindow;
using Platform::FittedPresentation;
using Platform::PixelRect;
using Platform::Presentation;
using Platform::WindowToDisplay;
using Box = std::vector<int>;

TEST(Presentation, FullscreenFitKeepsTheAspectAndCentres) {
    struct Case { int sw, sh, dw, dh, x, y, w, h; } cases[] = {
        {1920, 1080, 768, 1024, 555, 0, 810, 1080},   // the tablet on a wide monitor
        {768, 1024, 320, 480, 42, 0, 683, 1024},      // a phone on a portrait screen: 682.67 rounds up
        {1080, 1920, 768, 1024, 0, 240, 1080, 1440},  // a portrait monitor: the width is the tighter side
        {3840, 2160, 1024, 768, 480, 0, 2880, 2160},  // the tablet held landscape
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dw << "x" << c.dh << " on " << c.sw << "x" << c.sh);
        const Presentation p = FittedPresentation(c.sw, c.sh, c.dw, c.dh);
        EXPECT_EQ(Box({p.x, p.y, p.width, p.height, p.windowWidth, p.windowHeight}), Box({c.x, c.y, c.w, c.h, c.sw, c.sh}));
    }
    // A screen of no size (not known yet) leaves the display as it is.
    const Presentation none = FittedPresentation(0, 0, 768, 1024);
    EXPECT_EQ(std::make_pair(none.width, none.x), std::make_pair(768, 0));
}

// Every window pixel maps to the display pixel whose window rectangle holds it; pixels beside
// the picture map outside the display; whole-display and sub-rectangles land where the picture is.
TEST(Presentation, PointerAndViewportAgreeOnEveryPixel) {
    const Presentation shown[] = {
        Platform::WindowedPresentation(768, 1024),
        FittedPresentation(1920, 1080, 768, 1024),
        FittedPresentation(1920, 1200, 320, 480),
        FittedPresentation(1080, 1920, 1024, 768),
    };
    for (const Presentation& p : shown) {
        SCOPED_TRACE(testing::Message() << p.displayWidth << "x" << p.displayHeight << " on " << p.windowWidth
                                        << "x" << p.windowHeight);
        const PixelRect whole = DisplayRectToWindow(p, 0, 0, p.displayWidth, p.displayHeight);
        EXPECT_EQ(Box({whole.x, whole.y, whole.width, whole.height}), Box({p.x, p.y, p.width, p.height}));
        // Along the middle row (axis 0) and the middle column (axis 1) of the window.
        for (int axis = 0; axis < 2; ++axis) {
            const int n = axis ? p.windowHeight : p.windowWidth, start = axis ? p.y : p.x, size = axis ? p.height : p.width;
            for (int w = 0; w < n; ++w) {
                int x = axis ? p.x + p.width / 2 : w, y = axis ? w : p.y + p.height / 2;
                WindowToDisplay(p, x, y);
                const int got = axis ? y : x;
                const bool inside = w >= start && w < start + size;
                ASSERT_EQ(got >= 0 && got < (axis ? p.displayHeight : p.displayWidth), inside) << axis << ": " << w << " -> " << got;
                if (!inside) continue;
                const PixelRect cell = DisplayRectToWindow(p, x, y, 1, 1);
                ASSERT_TRUE(w >= (axis ? cell.y : cell.x) && w < (axis ? cell.y + cell.height : cell.x + cell.width))
                    << axis << ": " << w << " -> " << got;
            }
        }
    }
}

}  // namespace
