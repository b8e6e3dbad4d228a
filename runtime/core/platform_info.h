// Platform information by key (case-insensitive) and opening an address in the browser.
#pragma once

#include "runtime/core/kstring.h"

KString PlatformInfo(const KString& key);
void OpenUrl(const KString& address);

// The game's version texts, answered for "VERSION", "COMPILED" and "HOSTID".
// The game sets them from its start-up hook.
void SetVersionTexts(const char* version, const char* compiled, const char* hostId);

// The device name the screen size decides when the hardware is not recognised.
KString DeviceFromScreenSize(float width, float height);
