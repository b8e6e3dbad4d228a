// The browser's stand-in for the device-services library; it replaces the desktop's
// (runtime/core/device_services.cpp) in the web build. As there, the hardware is "UNKNOWN", so
// the display size decides the device; the device's browser is a new tab of the page's own.
#include "runtime/core/device_services.h"
#include "runtime/platform/web_browser.h"

int PDL_Init(unsigned int) { return 0; }

int PDL_Quit() { return 0; }

const char* PDL_GetHardware() { return "UNKNOWN"; }

int PDL_GetUniqueID(char* buffer, int size) {
    if (buffer && size > 0) buffer[0] = 0;
    return 0;
}

int PDL_GetLanguage(char* buffer, int size) {
    if (buffer && size > 0) buffer[0] = 0;
    return 0;
}

int PDL_LaunchBrowser(const char* address) {
    if (!address || !*address) return -1;
    WebBrowser::OpenAddress(address);
    return 0;
}

int PDL_NotifyMusicPlaying(bool) { return 0; }
