// Process entry and runtime start-up: the project settings the game fills, the application
// name and command line, and RuntimeInit.
#pragma once

#include <cstdint>

#include "runtime/core/kstring.h"

struct ProjectSettings {
    int screenWidth = 0;
    int screenHeight = 0;
    int desktopWidth = 0;   // filled by SetScreen
    int desktopHeight = 0;  // filled by SetScreen
    int displayMode = 0;    // handed unchanged to SetScreen
    int debugLines = 0;     // EndProgram reports the error fields when non-zero
    int framesPerSecond = 0;
    int grabInput = 0;
    int windowMode = 0;
};

ProjectSettings& Settings();
KString& ApplicationName();
// The window icon's picture, relative to the executable's folder (empty: no icon).
KString& ApplicationIcon();
KString& CommandLine();
// The runtime's copy of the window caption.
KString& Caption();

// Starts the runtime: SDL, display, input, working directory, font, audio. Returns 0.
int RuntimeInit(intptr_t window, int reserved, const char* caption);

// Joins the arguments: the first and any containing a space in double quotes, one space between.
KString BuildCommandLine(int argc, const char* const* argv);
// The folder part of a path (cut at the last '/' or '\'); a path without a separator stays whole.
KString DirectoryOfPath(const KString& path);
// The executable's folder: /proc/<pid>/exe, else $_ resolved, else ".".
KString ExecutableDirectory();
// The executable's own path as found for the folder above.
KString ExecutablePath();

// The game side.
void GameStartupHook();
void GameMain();
