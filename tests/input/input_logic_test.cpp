// Input on the headless twin: the key map, the key-state peek and query, text input, and
// pointer 0 reaching MouseState turned and clamped to the virtual screen.
#include <gtest/gtest.h>

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
    struct Reading {
        float x, y, b1, b2;
    };
    Reading Mouse() {
        Reading r{};
        MouseState(r.x, r.y, r.b1, r.b2);
        return r;
    }
};

TEST_F(Input, NewStateHasOnePointerAtItsStartPosition) {
    InputState fresh;
    ASSERT_EQ(fresh.pointers.size(), 1u);
    EXPECT_GE(fresh.pointers.capacity(), 4u);
    EXPECT_EQ(fresh.pointers[0].x, 100);
    EXPECT_EQ(fresh.pointers[0].y, 100);
    EXPECT_EQ(fresh.pointers[0].lastX, 0);
    fresh.SelectPointer(9);
    EXPECT_EQ(fresh.currentPointer, 4);
    EXPECT_EQ(fresh.pointers.size(), 5u);
}

TEST_F(Input, KeyMapRows) {
    const int rows[][2] = {{1, 27}, {15, 9}, {56, 308}, {62, 285}, {129, 255}, {2, 49}, {11, 48},
                           {28, 13}, {57, 32}, {59, 282}, {68, 291}, {200, 273}, {211, 127},
                           {221, 319}, {84, 255}, {0, 255}, {324, 255}};
    for (const auto& row : rows) EXPECT_EQ(MappedKey(row[0]), row[1]) << "code " << row[0];
    EXPECT_EQ(MappedKey(-1), 255);
    EXPECT_EQ(MappedKey(KEY_MAP_SIZE), 255);
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

TEST_F(Input, PointerReachesMouseStateWithItsButtons) {
    NullPlatform::SetPointer(100, 200, 1);
    Reading r = Mouse();
    EXPECT_EQ(r.x, 100.0f);
    EXPECT_EQ(r.y, 200.0f);
    EXPECT_EQ(r.b1, 1.0f);
    EXPECT_EQ(r.b2, 0.0f);
    NullPlatform::SetPointer(100, 200, 4);  // the right button is button 2
    EXPECT_EQ(Mouse().b2, 1.0f);
    NullPlatform::SetPointer(100, 200, 2);  // the middle one is button 3
    r = Mouse();
    EXPECT_EQ(r.b1 + r.b2, 0.0f);
    EXPECT_EQ(AnyButtonDown(), 1);
    NullPlatform::SetPointer(100, 200, 0);
    EXPECT_EQ(AnyButtonDown(), 0);
}

TEST_F(Input, PositionsAreClampedToTheInclusiveBounds) {
    NullPlatform::SetPointer(5000, -20, 0);
    Reading r = Mouse();
    EXPECT_EQ(r.x, 768.0f);  // the far edge itself, not one short of it
    EXPECT_EQ(r.y, 0.0f);
    EXPECT_EQ(inputState->pointers[0].x, 768);  // the clamped position is kept
    NullPlatform::SetPointer(-3, 1024, 0);
    r = Mouse();
    EXPECT_EQ(r.x, 0.0f);
    EXPECT_EQ(r.y, 1024.0f);
}

TEST_F(Input, TurnedScreenReadsTouchesInScreenCoordinates) {
    Open(1024, 768);  // a landscape device: orientation 3
    ASSERT_EQ(graphicsDevice->Orientation, 3);
    NullPlatform::SetPointer(0, 0, 1);
    Reading r = Mouse();
    EXPECT_EQ(r.x, 767.0f);  // device top-left is the screen's top-right
    EXPECT_EQ(r.y, 0.0f);
    NullPlatform::SetPointer(1023, 767, 1);
    r = Mouse();
    EXPECT_EQ(r.x, 0.0f);
    EXPECT_EQ(r.y, 1023.0f);
    NullPlatform::SetPointer(300, 100, 0);
    r = Mouse();
    EXPECT_EQ(r.x, 667.0f);
    EXPECT_EQ(r.y, 300.0f);
    // Beyond the device's top edge is beyond the screen's right edge: clamped to 768.
    NullPlatform::SetPointer(50, -40, 0);
    r = Mouse();
    EXPECT_EQ(r.x, 768.0f);
    EXPECT_EQ(r.y, 50.0f);
    int dx = 768, dy = 50;
    graphicsDevice->ScreenToDevice(dx, dy);
    EXPECT_EQ(inputState->pointers[0].x, dx);
    EXPECT_EQ(inputState->pointers[0].y, dy);
}

TEST_F(Input, QuickTapIsSeenOnce) {
    NullPlatform::PushPointerButton(40, 50, true);
    NullPlatform::PushPointerButton(40, 50, false);
    graphicsDevice->PresentFrame();  // both events arrive in one pump
    Reading r = Mouse();
    EXPECT_EQ(r.b1, 1.0f);
    EXPECT_EQ(r.x, 40.0f);
    EXPECT_EQ(Mouse().b1, 0.0f);
}

}  // namespace
