// Input on the headless twin: the key map's edges, the key-state peek and query, text input,
// and pointer 0 reaching MouseState turned and clamped to the virtual screen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/graphics/graphics_device.h"
#include "runtime/input/input_state.h"
#include "runtime/platform/null_platform.h"
#include "tests/graphics/headless_device.h"

namespace {

class Input : public HeadlessDevice {
protected:
    void SetUp() override {
        HeadlessDevice::SetUp();
        inputState = new InputState();
        inputState->Setup();
    }
    void TearDown() override {
        delete inputState;
        inputState = nullptr;
        HeadlessDevice::TearDown();
    }
    // x, y, button 1, button 2
    std::vector<float> Mouse() {
        float x, y, b1, b2;
        MouseState(x, y, b1, b2);
        return {x, y, b1, b2};
    }
};

TEST_F(Input, CodesOutsideTheMapAndPointerIndicesOutsideTheTable) {
    for (int code : {-1, 0, 84, KEY_MAP_SIZE}) EXPECT_EQ(MappedKey(code), 255) << "code " << code;
    inputState->SelectPointer(9);
    EXPECT_EQ(inputState->currentPointer, 4);
    EXPECT_EQ(inputState->pointers.size(), 5u);
}

TEST_F(Input, KeyQueryReadsTheMappedKeyAndAWaitingEscape) {
    NullPlatform::PushKey(308, true);  // left Alt, delivered
    graphicsDevice->PresentFrame();
    EXPECT_EQ(KeyDown(56), 1);
    EXPECT_EQ(KeyDown(62), 0);
    // A key-down still waiting in the queue: escape is seen as code 1, symbol 229 as code 15.
    NullPlatform::PushKey(27, true);
    EXPECT_EQ(KeyDown(1), 1);
    EXPECT_EQ(KeyDown(15), 0);
    graphicsDevice->PresentFrame();
    NullPlatform::PushKey(229, true);
    EXPECT_EQ(KeyDown(15), 1);
    EXPECT_EQ(KeyDown(1), 0);  // the waiting event decides: code 1 is cleared
}

TEST_F(Input, TextInputRules) {
    for (int c : {0, int('a'), 13, 1, 31, 8, 9, 10, int('b')}) AppendTextInput(c);
    const std::string got(inputState->textInput.begin(), inputState->textInput.begin() + inputState->textPending);
    EXPECT_EQ(got, std::string("a\n\b\t\nb"));
    for (int i = 0; i < 20; ++i) AppendTextInput('x');
    EXPECT_EQ(inputState->textPending, TEXT_INPUT_LIMIT);
}

TEST_F(Input, ButtonsReachMouseState) {
    // SDL button mask, button 1, button 2, any button: the right button is button 2, the middle
    // one is reported only as a button down.
    const int cases[][4] = {{1, 1, 0, 1}, {4, 0, 1, 1}, {2, 0, 0, 1}, {0, 0, 0, 0}};
    for (const auto& c : cases) {
        NullPlatform::SetPointer(100, 200, c[0]);
        EXPECT_EQ(Mouse(), (std::vector<float>{100, 200, float(c[1]), float(c[2])})) << "mask " << c[0];
        EXPECT_EQ(AnyButtonDown(), c[3]) << "mask " << c[0];
    }
}

TEST_F(Input, PositionsAreTurnedAndClampedToTheInclusiveBounds) {
    // display w, h, device x, y, screen x, y. On the landscape display (orientation 3) the
    // device's top-left is the screen's top-right, and beyond its top edge is beyond the right.
    const int cases[][6] = {{768, 1024, 100, 200, 100, 200}, {768, 1024, 5000, -20, 768, 0},
                            {768, 1024, -3, 1024, 0, 1024},  {1024, 768, 0, 0, 767, 0},
                            {1024, 768, 1023, 767, 0, 1023}, {1024, 768, 300, 100, 667, 300},
                            {1024, 768, 50, -40, 768, 50}};
    for (const auto& c : cases) {
        SCOPED_TRACE("display " + std::to_string(c[0]) + ", device " + std::to_string(c[2]) + "," +
                     std::to_string(c[3]));
        if (graphicsDevice->deviceWidth != c[0]) Open(c[0], c[1]);
        NullPlatform::SetPointer(c[2], c[3], 0);
        EXPECT_EQ(Mouse(), (std::vector<float>{float(c[4]), float(c[5]), 0, 0}));
        int dx = c[4], dy = c[5];  // the clamped position is kept
        graphicsDevice->ScreenToDevice(dx, dy);
        EXPECT_EQ(std::make_pair(inputState->pointers[0].x, inputState->pointers[0].y), std::make_pair(dx, dy));
    }
}

TEST_F(Input, QuickTapIsSeenOnce) {
    NullPlatform::PushPointerButton(40, 50, true);
    NullPlatform::PushPointerButton(40, 50, false);
    graphicsDevice->PresentFrame();  // both events arrive in one pump
    EXPECT_EQ(Mouse(), (std::vector<float>{40, 50, 1, 0}));
    EXPECT_EQ(Mouse(), (std::vector<float>{40, 50, 0, 0}));
}

}  // namespace
