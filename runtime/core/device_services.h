// Stand-in for the handheld's device-services library: the seven calls the runtime makes.
// Hardware is "UNKNOWN" (the screen size then decides the device), id and language are empty,
// the browser is the desktop's, the rest does nothing.
#pragma once

int PDL_Init(unsigned int flags);
int PDL_Quit();
const char* PDL_GetHardware();
int PDL_GetUniqueID(char* buffer, int size);
int PDL_GetLanguage(char* buffer, int size);
// Starts the desktop browser on the address and returns at once. The program is xdg-open, or the
// one SQUIBLY_BROWSER names.
int PDL_LaunchBrowser(const char* address);
int PDL_NotifyMusicPlaying(bool playing);

// The stand-in's own record: the last address handed to the browser ("" before any).
const char* LastBrowserAddress();
