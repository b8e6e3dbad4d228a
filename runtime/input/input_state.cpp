// The input state: pointer records read from the device's pointer query, the text-input
// buffer, the counted key query and the key-state peek shared with the frame loop.
#include "runtime/input/input_state.h"

#include <algorithm>
#include <new>

#include "runtime/graphics/graphics_device.h"
#include "runtime/platform/platform.h"

void FillKeyMap(uint16_t* keyMap);

InputState* inputState = nullptr;

namespace {
const int TEXT_INITIAL_CAPACITY = 512;
const int TEXT_GROWTH = 128;
const int MAX_JOYSTICKS = 10;
const int MAX_POINTER_INDEX = 4;
const int KEY_POLLS_PER_REFRESH = 128;
// Key codes the peek rewrites from a waiting key-down event.
const int ESCAPE_CODE = 1;
const int TAB_CODE = 15;
const int ESCAPE_SYM = 27;
const int ALT_ESCAPE_SYM = 229;

int lastKeyCount = 0;
}  // namespace

InputState::InputState() : pointers(4) {
    pointers.resize(1);
    FillKeyMap(keyMap);
}

InputState::~InputState() {
    if (joystickCount > 0) Platform::CloseJoysticks();
}

void InputState::Setup() {
    currentPointer = 0;
    Platform::EnableUnicode(true);
    FillKeyMap(keyMap);
    trackPointer = 0;
    joystickCount = std::min(std::max(Platform::NumJoysticks(), 0), MAX_JOYSTICKS);
    if (joystickCount > 0) Platform::OpenJoysticks(joystickCount);
}

void InputState::ReadPointer(bool update) {
    Platform::PumpEvents();
    int x = 0, y = 0;
    const uint32_t mask = Platform::PointerState(currentPointer, &x, &y);
    PointerRecord& p = pointers[currentPointer];
    const int wheelStep = (mask & 8) ? 1 : (mask & 16) ? -1 : 0;
    button1 = (mask & 1) ? 1 : 0;
    button2 = (mask & 4) ? 1 : 0;
    button3 = (mask & 2) ? 1 : 0;
    motionX = x - p.x;
    motionY = y - p.y;
    p.wheel += wheelStep;
    if (update) {
        p.lastX = p.x = x;
        p.lastY = p.y = y;
        p.wheel = 0;
    }
}

void InputState::SelectPointer(int index) {
    index = std::max(0, std::min(index, MAX_POINTER_INDEX));
    if (index >= static_cast<int>(pointers.size())) pointers.resize(MAX_POINTER_INDEX + 1);
    currentPointer = index;
}

void InputState::AppendText(int c) {
    if (c == 0) return;
    if (c == 13) c = 10;
    if (c >= 1 && c <= 31 && c != 8 && c != 9 && c != 10) return;
    if (textPending >= TEXT_INPUT_LIMIT) return;
    if (textPending >= static_cast<int>(textInput.size())) {
        try {
            textInput.resize(textInput.empty() ? TEXT_INITIAL_CAPACITY : textInput.size() + TEXT_GROWTH);
        } catch (const std::bad_alloc&) {
            return;
        }
    }
    textInput[textPending++] = static_cast<uint8_t>(c);
}

void MouseState(float& x, float& y, float& b1, float& b2) {
    InputState* in = inputState;
    if (!in) {
        x = y = b1 = b2 = 0.0f;
        return;
    }
    in->ReadPointer(true);
    PointerRecord& p = in->pointers[in->currentPointer];
    int sx = p.x, sy = p.y;
    const GraphicsDevice* device = graphicsDevice;
    if (device) {
        device->DeviceToScreen(sx, sy);
        int width = 0, height = 0;
        device->VirtualScreenSize(width, height);
        // The far edge is a legal position: the bounds are inclusive.
        sx = std::max(0, std::min(sx, width));
        sy = std::max(0, std::min(sy, height));
        int dx = sx, dy = sy;
        device->ScreenToDevice(dx, dy);
        p.x = dx;
        p.y = dy;
    }
    x = static_cast<float>(sx);
    y = static_cast<float>(sy);
    b1 = in->button1 ? 1.0f : 0.0f;
    b2 = in->button2 ? 1.0f : 0.0f;
}

void SetPointerTracking(float) {
    if (inputState) inputState->trackPointer = 1;
}

int AnyButtonDown() {
    InputState* in = inputState;
    if (!in) return 0;
    in->ReadPointer(false);
    return (in->button1 || in->button2 || in->button3) ? 1 : 0;
}

int MappedKey(int code) {
    if (code < 0 || code >= KEY_MAP_SIZE) return 255;
    return inputState ? inputState->keyMap[code] : 255;
}

uint8_t* PeekKeyState() {
    Platform::PumpEvents();
    int count = 0;
    uint8_t* state = Platform::KeyState(&count);
    lastKeyCount = state ? count : 0;
    Platform::Event event;
    if (state && Platform::PeekKeyDown(&event)) {
        const int escape = MappedKey(ESCAPE_CODE), tab = MappedKey(TAB_CODE);
        if (escape < count) state[escape] = 0;
        if (tab < count) state[tab] = 0;
        if (event.keySym == ESCAPE_SYM && escape < count) state[escape] = 1;
        if (event.keySym == ALT_ESCAPE_SYM && tab < count) state[tab] = 1;
    }
    return state;
}

bool KeyCodeDown(const uint8_t* keyState, int code) {
    const int sym = MappedKey(code);
    return keyState && sym >= 0 && sym < lastKeyCount && keyState[sym] == 1;
}

int KeyDown(int code) {
    InputState* in = inputState;
    if (in && ++in->keyPolls % KEY_POLLS_PER_REFRESH == 0) RefreshInput();
    return KeyCodeDown(PeekKeyState(), code) ? 1 : 0;
}

void RefreshInput() { Platform::PumpEvents(); }

void AppendTextInput(int c) {
    if (inputState) inputState->AppendText(c);
}

void ResetKeyPollCount() {
    if (inputState) inputState->keyPolls = 0;
}
