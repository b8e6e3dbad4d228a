// Input on the headless twin: the key map's edges, the key-state peek and query, text input, and
// pointer 0 reaching MouseState turned and clamped to the virtual screen.
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
};

TEST_F(Input, KeyQueryReadsTheMappedKeyAndAWaitingEscape) {
    for (int code : {-1, 0, 84, KEY_MAP_SIZE}) EXPECT_EQ(MappedKey(code), 255) << "code " << code;
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

// Control codes other than backspace, tab and newline are dropped, CR becomes a newline, and the
// pending text never grows past its limit.
TEST_F(Input, TextInputRules) {
    for (int c : {0, int('a'), 13, 1, 31, 8, 9, 10, int('b')}) AppendTextInput(c);
    const std::string got(inputState->textInput.begin(), inputState->textInput.begin() + inputState->textPending);
    EXPECT_EQ(got, std::string("a\n\b\t\nb"));
    for (int i = 0; i < 20; ++i) AppendTextInput('x');
    EXPECT_EQ(inputState->textPending, TEXT_INPUT_LIMIT);
}

TEST_F(Input, PositionsAreTurnedAndClampedToTheInclusiveBounds) {
    inputState->SelectPointer(9);  // beyond the table: the last pointer
    EXPECT_EQ(std::make_pair(inputState->currentPointer, inputState->pointers.size()), std::make_pair(4, size_t(5)));
    inputState->SelectPointer(0);
    // display w, h, device x, y, button mask, screen x, y, buttons 1 and 2. On the landscape display
    // (orientation 3) the device's top-left is the screen's top-right, and beyond its top edge is
    // beyond the right. The right button is button 2; the middle one only counts as a button down.
    const int cases[][9] = {{768, 1024, 100, 200, 1, 100, 200, 1, 0},  {768, 1024, 5000, -20, 4, 768, 0, 0, 1},
                            {768, 1024, -3, 1024, 2, 0, 1024, 0, 0},   {1024, 768, 0, 0, 0, 767, 0, 0, 0},
                            {1024, 768, 1023, 767, 0, 0, 1023, 0, 0},  {1024, 768, 300, 100, 0, 667, 300, 0, 0},
                            {1024, 768, 50, -40, 0, 768, 50, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE("display " + std::to_string(c[0]) + ", device " + std::to_string(c[2]) + "," + std::to_string(c[3]));
        if (graphicsDevice->deviceWidth != c[0]) Open(c[0], c[1]);
        NullPlatform::SetPointer(c[2], c[3], c[4]);
        float x, y, b1, b2;
        MouseState(x, y, b1, b2);
        EXPECT_EQ(std::vector<float>({x, y, b1, b2}), std::vector<float>({float(c[5]), float(c[6]), float(c[7]), float(c[8])}));
        EXPECT_EQ(AnyButtonDown(), int(c[4] != 0));
        int dx = c[5], dy = c[6];  // the clamped position is kept
        graphicsDevice->ScreenToDevice(dx, dy);
        EXPECT_EQ(std::make_pair(inputState->pointers[0].x, inputState->pointers[0].y), std::make_pair(dx, dy));
    }
}

}  // namespace
