// The start-up record, application name, command line and the executable's folder.
#include "runtime/core/entry.h"

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

ProjectSettings& Settings() {
    static ProjectSettings settings;
    return settings;
}

KString& ApplicationName() {
    static KString name;
    return name;
}

KString& ApplicationIcon() {
    static KString icon;
    return icon;
}

KString& CommandLine() {
    static KString line;
    return line;
}

KString& Caption() {
    static KString caption;
    return caption;
}

KString BuildCommandLine(int argc, const char* const* argv) {
    KString line;
    for (int i = 0; i < argc; ++i) {
        const char* arg = argv[i] ? argv[i] : "";
        if (i == 0 || strchr(arg, ' ')) {
            line += "\"";
            line += arg;
            line += "\"";
        } else {
            line += arg;
        }
        if (i < argc - 1) line += " ";
    }
    return line;
}

KString DirectoryOfPath(const KString& path) {
    const char* text = path.c_str();
    const char* cut = nullptr;
    for (const char* p = text; *p; ++p) {
        if (*p == '/' || *p == '\\') cut = p;
    }
    if (!cut) return path;
    return KString(text, static_cast<int>(cut - text));
}

KString ExecutablePath() {
    char link[64];
    snprintf(link, sizeof link, "/proc/%d/exe", static_cast<int>(getpid()));
    char buffer[512];
    ssize_t n = readlink(link, buffer, sizeof buffer - 1);
    if (n > 0) {
        buffer[n] = 0;
        return KString(buffer);
    }
    const char* underscore = getenv("_");
    if (underscore && *underscore) {
        char resolved[PATH_MAX];
        if (realpath(underscore, resolved) && resolved[0]) return KString(resolved);
    }
    return KString("./");
}

KString ExecutableDirectory() { return DirectoryOfPath(ExecutablePath()); }
