// Platform information by key, and handing an address to the browser.
#include "runtime/core/platform_info.h"

#include <sys/stat.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "runtime/core/device_services.h"
#include "runtime/core/entry.h"
#include "runtime/core/lifecycle.h"
#include "runtime/graphics/graphics_device.h"

namespace {
KString versionText, compiledText, hostIdText;

KString Upper(const KString& text) {
    KString r(text);
    for (int i = 0; i < r.Length(); ++i) r.Data()[i] = static_cast<char>(toupper(static_cast<unsigned char>(r[i])));
    return r;
}

KString TimeText(bool utc) {
    time_t now = time(nullptr);
    struct tm parts;
    if (utc) {
        gmtime_r(&now, &parts);
    } else {
        localtime_r(&now, &parts);
    }
    char text[64];
    snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", parts.tm_year + 1900, parts.tm_mon + 1,
             parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec);
    return KString(text);
}

KString Documents() {
    const char* home = getenv("HOME");
    KString result(home ? home : "");
    if (result == "/home/root") result = ExecutableDirectory() + "/";
    if (result.Empty()) result = "~";
    return result;
}

KString MadeFolder(const KString& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) mkdir(path.c_str(), 0755);
    return path;
}

KString OrMissing(const KString& text) { return text.Empty() ? KString("NO_DATA") : text; }
}  // namespace

void SetVersionTexts(const char* version, const char* compiled, const char* hostId) {
    versionText = version;
    compiledText = compiled;
    hostIdText = hostId;
}

KString DeviceFromScreenSize(float width, float height) {
    if (width < 701) return (width <= 400 && height <= 400) ? KString("PIXI") : KString("PRE");
    return height > 700 ? KString("TOUCHPAD") : KString("PRE");
}

KString PlatformInfo(const KString& rawKey) {
    KString key = Upper(rawKey);
    if (key.Empty()) return KString("WEBOS");
    if (key == "DEVICE") {
        KString hardware = Upper(KString(PDL_GetHardware()));
        if (hardware != "UNKNOWN") return hardware;
        float w = 0, h = 0;
        GetScreenSize(w, h);
        return DeviceFromScreenSize(w, h);
    }
    if (strncmp(key.c_str(), "GLEXT:", 6) == 0) return KString("0");
    if (key == "ID") {
        char id[255] = {0};
        PDL_GetUniqueID(id, 255);
        id[254] = 0;
        return id[0] ? KString(id) : KString("NOID!!");
    }
    if (key == "TIME") return TimeText(false);
    if (key == "UTCTIME") return TimeText(true);
    if (key == "BATTERY") return KString("100");
    if (key == "COMPILED") return OrMissing(compiledText);
    if (key == "HOSTID") return OrMissing(hostIdText);
    if (key == "VERSION") return OrMissing(versionText);
    if (key == "LOCALE") {
        char language[64] = {0};
        PDL_GetLanguage(language, 63);
        language[63] = 0;
        return language[0] ? KString(language) : KString("us");
    }
    if (key == "DOCUMENTS") return Documents();
    if (key == "APPDATA") return MadeFolder(Documents() + "/.kortic");
    if (key == "TEMP") return MadeFolder(Documents() + "/temp");
    return KString("NO_DATA");
}

void OpenUrl(const KString& address) {
    if (EscapeQuits()) Shutdown();
    PDL_LaunchBrowser(address.c_str());
    printf("exiting with url %s\nIgnore the segfault that will come now ;)", address.c_str());
    fflush(stdout);
    if (EscapeQuits()) EndProgram();
}
