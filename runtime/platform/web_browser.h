// What the browser twin asks of the page it runs in (web_browser.js). Only the web_* files of
// the platform edge include this.
#pragma once

#include <cstdint>

namespace WebBrowser {

// The folder the program "lives" in: the saved folder that the page mounted on the browser's
// storage before start-up (web_storage.js), with the media linked in as Media.
const char* ProgramFolder();

// Follows the page's visibility and the player's first gesture; called once SDL is up, so that
// SDL has taken a visibility change into its queue by the time the program is woken for it.
void WatchPage();

// Hands control to the browser for ms milliseconds (the program resumes afterwards).
void Sleep(uint32_t ms);
// Hands the drawn frame to the browser and resumes at its next animation frame; a page that
// becomes hidden or visible resumes the program at once, so the change is seen promptly.
void PresentFrame();

// The canvas's drawing-buffer size: its size in CSS pixels times the device pixel ratio.
void CanvasSize(int* width, int* height);
void SetTitle(const char* title);
// Opens an address in a new browser tab.
void OpenAddress(const char* address);

// True once the player's first touch (or click or key) let the page's sound run, and while the
// page is visible.
bool AudioRunning();

}  // namespace WebBrowser
