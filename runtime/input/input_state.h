// Pointer, key and text input: pointer 0 in virtual-screen pixels, the key map from
// scan-code numbers to SDL key symbols, the counted key query and the text-input buffer.
#pragma once

#include <cstdint>
#include <vector>

const int KEY_MAP_SIZE = 325;
const int TEXT_INPUT_LIMIT = 16;

struct PointerRecord {
    int32_t lastX = 0, lastY = 0;
    int32_t x = 100, y = 100;
    int32_t wheel = 0;
};

class InputState {
public:
    InputState();
    ~InputState();

    void Setup();                 // pointer 0, Unicode keys, key map, joysticks
    void ReadPointer(bool update);
    void SelectPointer(int index);
    void AppendText(int c);

    std::vector<uint8_t> textInput;   // pending characters are textInput[0 .. textPending)
    int textPending = 0;
    std::vector<PointerRecord> pointers;
    int currentPointer = 0;
    int landscape = 0;
    int trackPointer = 0;
    int joystickCount = 0;
    uint16_t keyMap[KEY_MAP_SIZE];
    // Last reading of the current pointer.
    int button1 = 0, button2 = 0, button3 = 0;
    int motionX = 0, motionY = 0;
    int keyPolls = 0;
};

extern InputState* inputState;

void MouseState(float& x, float& y, float& b1, float& b2);
void SetPointerTracking(float on);
int AnyButtonDown();
int KeyDown(int code);
uint8_t* PeekKeyState();
void RefreshInput();
void AppendTextInput(int c);
void ResetKeyPollCount();
// The SDL key symbol for a key code (255 for none).
int MappedKey(int code);
// Whether key `code` is down in the array the last PeekKeyState returned.
bool KeyCodeDown(const uint8_t* keyState, int code);
// F11, or Enter (main or keypad) with an Alt key held: the desktop's fullscreen switch.
bool IsFullscreenKey(int keySym, uint16_t modifiers);
