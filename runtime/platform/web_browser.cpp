// The C++ face of web_browser.js.
#include "runtime/platform/web_browser.h"

extern "C" {
void squibly_watch_page();
void squibly_sleep(uint32_t ms);
void squibly_present_frame();
void squibly_canvas_size(int* width, int* height);
void squibly_set_title(const char* title);
void squibly_open_address(const char* address);
int squibly_audio_running();
void squibly_program_folder(char* buffer, int size);
}

namespace WebBrowser {

const char* ProgramFolder() {
    static char folder[256] = "";
    if (!folder[0]) squibly_program_folder(folder, sizeof folder);
    return folder;
}

void WatchPage() { squibly_watch_page(); }
void Sleep(uint32_t ms) { squibly_sleep(ms); }
void PresentFrame() { squibly_present_frame(); }

void CanvasSize(int* width, int* height) {
    int w = 0, h = 0;
    squibly_canvas_size(&w, &h);
    if (width) *width = w;
    if (height) *height = h;
}

void SetTitle(const char* title) { squibly_set_title(title ? title : ""); }
void OpenAddress(const char* address) {
    if (address && *address) squibly_open_address(address);
}
bool AudioRunning() { return squibly_audio_running() != 0; }

}  // namespace WebBrowser
