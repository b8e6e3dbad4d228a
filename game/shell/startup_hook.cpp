// The game's start-up hook: project settings, the window caption and the version texts, and the
// table of lifecycle callbacks the runtime finds by name.
#include "game/shell/main_routine.h"
#include "runtime/core/entry.h"
#include "runtime/core/lifecycle.h"
#include "runtime/core/platform_info.h"

namespace {
const char* const VERSION_TEXT = "001.003";
const char* const COMPILED_TEXT = "Oct  2 2012-21:17:35";
const char* const HOST_ID_TEXT = "5c1b7e93";
}  // namespace

void GameStartupHook() {
    ProjectSettings& settings = Settings();
    settings.screenWidth = 768;
    settings.screenHeight = 1024;
    settings.displayMode = 0;
    settings.debugLines = 0;
    settings.framesPerSecond = 60;
    settings.grabInput = 1;
    settings.windowMode = 1;
    KString name("Squibly");
    ApplicationName().Swap(name);
    ApplicationIcon() = "Media/squibly-icon.png";
    SetVersionTexts(VERSION_TEXT, COMPILED_TEXT, HOST_ID_TEXT);
}

const CallbackRow CALLBACK_TABLE[] = {
    {KrtOnPause, "KRT_ON_PAUSE"},
    {KrtOnQuit, "KRT_ON_QUIT"},
    {KrtOnResume, "KRT_ON_RESUME"},
    {nullptr, nullptr},
};
