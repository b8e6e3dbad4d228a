// The platform edge: the only place that talks to SDL, EGL and SDL_mixer.
// Two twins implement it: sdl_*.cpp (the real desktop) and null_*.cpp (headless:
// no window, no GL, no audio device, a virtual clock, scripted pointer input).
// A program picks its twin at link time (krt_platform_sdl or krt_platform_null).
// The calls mirror SDL 1.2's semantics closely, so the runtime above reads like it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/platform/presentation.h"

namespace Platform {

// ---- System -------------------------------------------------------------

// Flag word as SDL_Init takes it (timer 0x1, audio 0x10, video 0x20, joystick 0x200).
bool InitSystem(uint32_t flags);
void QuitSystem();
const char* LastError();

// Milliseconds since the platform started (SDL_GetTicks). Virtual on the null twin.
uint32_t Ticks();
// Sleeps ms milliseconds, resuming after interruptions. The null twin advances its clock instead.
void Sleep(uint32_t ms);

// Makes what was written through an open file or folder descriptor durable (fsync); 0 when
// done, else the error number. The browser twin's saved folder stores each complete state of the
// folder by itself (web_storage.js), so there it does nothing.
int SyncToStorage(int fd);

// ---- Events (SDL 1.2 event numbering) -----------------------------------

enum EventType : uint8_t {
    EVENT_NONE = 0,
    EVENT_ACTIVE = 1,
    EVENT_KEYDOWN = 2,
    EVENT_KEYUP = 3,
    EVENT_MOUSEMOTION = 4,
    EVENT_MOUSEBUTTONDOWN = 5,
    EVENT_MOUSEBUTTONUP = 6,
    EVENT_QUIT = 12,
    EVENT_OTHER = 255,
};

// Activation state bits, as SDL_ACTIVEEVENT reports them.
enum ActiveState : uint8_t {
    APP_MOUSEFOCUS = 0x01,
    APP_INPUTFOCUS = 0x02,
    APP_ACTIVE = 0x04,
};

// Modifier bits of a key event, as SDL 1.2 reports them (held when the key went down).
enum KeyModifier : uint16_t {
    KEYMOD_LALT = 0x0100,
    KEYMOD_RALT = 0x0200,
};

struct Event {
    uint8_t type = EVENT_NONE;
    uint8_t gain = 0;      // EVENT_ACTIVE
    uint8_t state = 0;     // EVENT_ACTIVE: ActiveState bits
    int keySym = 0;        // EVENT_KEYDOWN / EVENT_KEYUP: SDL 1.2 key symbol
    uint16_t unicode = 0;  // EVENT_KEYDOWN, when Unicode translation is on
    uint16_t modifiers = 0;  // EVENT_KEYDOWN / EVENT_KEYUP: KeyModifier bits
    int x = 0, y = 0;      // mouse events: device pixels (window pixels mapped through the presentation)
    uint8_t button = 0;    // mouse button events: 1 left, 2 middle, 3 right, 4/5 wheel
};

void PumpEvents();                 // SDL_PumpEvents
// Waits, without spinning, until an event may be waiting (input from the display, a quit
// signal) or `ms` milliseconds (fractions included) have passed. The null twin advances its clock.
void WaitEvent(float ms);
bool PollEvent(Event* event);      // SDL_PollEvent; false when the queue is empty
bool PeekKeyDown(Event* event);    // SDL_PeepEvents(1, SDL_PEEKEVENT, key-down mask)
bool PushEvent(const Event& event);
uint8_t* KeyState(int* count);     // SDL_GetKeyState: entries are 1 while down
void EnableUnicode(bool on);

// The device's multi-touch query, stood in for by the mouse: button mask of pointer
// `index` (bit 1 left, bit 2 middle, bit 4 right, 8 wheel up, 16 wheel down) and its
// position in device pixels (window pixels mapped through the presentation). Kept from motion and button events, so a tap whose down
// and up arrive in one pump still reads as pressed once.
uint32_t PointerState(int index, int* x, int* y);

int NumJoysticks();
void OpenJoysticks(int count);
void CloseJoysticks();

// ---- Display --------------------------------------------------------------

// The emulated device display: its size and depth (what SDL_GetVideoInfo reports on
// the handheld). Decided by the device-services stand-in from the desktop and any override.
struct DisplayInfo {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
};
DisplayInfo DesktopInfo();

// Opens the window of the emulated display size with an OpenGL ES 1.1 context
// and a 16-bit depth buffer. Returns false (LastError says why) when it cannot.
bool OpenWindow();
void CloseWindow();
// True once OpenWindow succeeded (until CloseWindow). A twin that leaves it out gets the
// runtime's default, true: a headless window always opens.
bool WindowOpen();
// True while a real GL context is current; the null twin never has one, and every GL call
// in the runtime is skipped when this is false.
bool HasGL();
void SwapBuffers();
void SetCaption(const char* caption);
void GrabInput(bool on);
void* GetGLProc(const char* name);  // eglGetProcAddress

// Shows the display fullscreen (fitted to the screen, centred on black) or back in its own
// window. Returns whether it is fullscreen afterwards; a switch that fails leaves the window.
bool SetFullscreen(bool on);
bool Fullscreen();
// How the display is shown in the window now; drawing and pointer positions both use it.
Presentation CurrentPresentation();
// The window's icon: RGBA rows, top row first.
void SetWindowIcon(const uint8_t* rgba, int width, int height);

// ---- Audio (SDL_mixer 1.2 semantics) ---------------------------------------

struct Chunk;   // a decoded sound
struct Music;   // a music stream

bool OpenAudio(int frequency, uint16_t format, int channels, int chunkSize);
void CloseAudio();
bool AudioOpen();
// While the application is paused the device is closed, so no mixing thread wakes the process;
// opened again, it is as it was: loaded sounds stay, channel count and volumes are kept, and
// music that was playing starts again from its beginning (paused music stays paused).
void SuspendAudio(bool suspend);
int AllocateChannels(int count);         // -1 asks for the current number
int ChannelVolume(int channel, int volume);   // channel -1 = all; volume -1 = query
int ChunkVolume(Chunk* chunk, int volume);    // volume -1 = query; returns the previous volume
Chunk* LoadWav(const char* path);
void FreeChunk(Chunk* chunk);
int PlayChannel(int channel, Chunk* chunk, int loops);   // returns the channel, or -1
bool ChannelPlaying(int channel);
void HaltChannel(int channel);           // -1 = all
Music* LoadMusic(const char* path);
void FreeMusic(Music* music);
bool PlayMusic(Music* music, int loops); // loops -1 = forever
void HaltMusic();
void PauseMusic();
void ResumeMusic();
int MusicVolume(int volume);             // -1 = query
bool MusicPlaying();                     // also true while paused, as Mix_PlayingMusic
bool MusicPaused();
// Counts the volume-setting calls that reached the mixer (MusicVolume with a volume >= 0),
// so callers can tell whether a cached setting was skipped.
unsigned MusicVolumeCalls();

}  // namespace Platform
