// The graphics device: the display and its orientation, the 2D projection and viewport,
// the cached GL capability switches, frame presentation and the game's drawing switches.
#pragma once

#include <cstdint>
#include <vector>

struct SpriteRecord;
struct DecodedImage;

// The GL capabilities whose switches are cached (in this order).
const int GL_CACHED_CAPABILITIES = 12;
// Written into every cache word when the real GL state is not known.
const uint32_t GL_STATE_UNKNOWN = 0x7F7F7F7F;

// Remembers the last switch sent to GL for each cached capability, so that repeated
// enables and disables never reach the driver.
class GlCapabilityCache {
public:
    GlCapabilityCache();
    void Invalidate();                 // every word becomes GL_STATE_UNKNOWN
    void Enable(unsigned capability);  // GLenum; uncached capabilities always reach GL
    void Disable(unsigned capability);
    uint32_t Word(unsigned capability) const;  // 1, 0 or GL_STATE_UNKNOWN
    // Switches actually sent (counted on the headless twin too), for tests and tools.
    unsigned long SentSwitches() const { return sentSwitches; }

private:
    int Slot(unsigned capability) const;
    void Send(unsigned capability, bool on);
    uint32_t words[GL_CACHED_CAPABILITIES];
    unsigned long sentSwitches = 0;
};

// Pure orientation maths shared by drawing and touch. W and H are the device size.
struct DeviceRect {
    int x, y, width, height;  // x = device column, y = device row counted from the top
};
void ScreenToDevicePoint(int orientation, int W, int H, int& x, int& y);
void DeviceToScreenPoint(int orientation, int W, int H, int& x, int& y);
// The viewport rectangle in device pixels, counted from the top, sizes made positive.
DeviceRect ScreenRectToDevice(int orientation, int W, int H, int x, int y, int w, int h);
// The projection's rotation, column-major 4x4.
void RotationMatrix(int orientation, float out[16]);
// Orientation chosen for a desktop of deskW x deskH and a requested screen reqW x reqH.
int ChooseOrientation(int deskW, int deskH, int reqW, int reqH);
// Frame time in milliseconds for a frames-per-second value (fps truncated; 2 ms when <= 0).
float FrameMillisFor(float fps);

class GraphicsDevice {
public:
    GraphicsDevice();
    virtual ~GraphicsDevice();

    int SetScreen(intptr_t window, int width, int height, int depth, int fps, int displayMode);
    void SetWindowMode(int mode);
    void Reset2DState();
    int PresentFrame();
    // Switches the display between its window and fullscreen; true when fullscreen afterwards.
    bool ToggleFullscreen();
    void ScreenToDevice(int& x, int& y) const;
    void DeviceToScreen(int& x, int& y) const;
    void SetViewport(int x, int y, int w, int h);
    // The current drawing target's size (virtual screen or offscreen surface).
    void TargetSize(int& w, int& h) const;
    // The virtual screen's size: the device display turned to the wanted orientation.
    void VirtualScreenSize(int& w, int& h) const;

    // Sprite slots (the table itself is in sprites.h).
    void DeleteSprite(int id);
    int UploadImageToSprite(const DecodedImage& image, int id, bool nearest);
    SpriteRecord& Sprite(int id);  // id must be a valid slot

    // Sets the GL colour to (1, 1, 1, globalAlpha).
    void ApplyCurrentColour();
    // Binds slot `id` (a negative id selects the untextured state).
    void BindSprite(int id);

    int deskWidth = 0, deskHeight = 0;
    int deviceLandscape = 0;
    int Orientation = 0;
    int deviceWidth = 0, deviceHeight = 0;
    int viewX = 0, viewY = 0, viewWidth = 0, viewHeight = 0;
    float frameMillis = 2.0f;
    float nextFrameTime = 0.0f;
    uint8_t clearEachFrame = 0;
    uint8_t clearDepthOnce = 0;
    uint8_t bgraSupported = 0;
    float globalAlpha = 1.0f;
    float alphaTestRef = 0.05f;
    uint8_t smoothFiltering = 1;
    uint32_t ColourKey = 0x8000FF;
    int renderTarget = -1;
    int landscape = 0;      // the program asked for a landscape screen
    int windowMode = 0;
    int maxTextureSize = 0; // from GL; 0 on the headless twin
    bool blendOn = false;   // GL_BLEND as last set by the game's switches
    bool quitDuringSetUp = false;   // a frame presented by SetScreen took a quit event
    GlCapabilityCache GlStateCache;

    std::vector<SpriteRecord> sprites;      // 65537 slots
    std::vector<uint8_t*> spritePixelCopies; // one per slot, null by default

private:
    void ClearBuffers(bool colour, bool depth);
};

extern GraphicsDevice* graphicsDevice;

// Game-callable switches (numbers arrive as floats).
void SetBlendMode(float mode);
void SetAlphaTest(float threshold);
void SetTextureFiltering(float on);
void SetFrameRateLimit(float fps);
void GetScreenSize(float& width, float& height);
void SetViewport(float x, float y, float width, float height);

// Float to int by truncation toward zero, saturating instead of overflowing (NaN gives 0).
int TruncToInt(float value);
