// SQUIBLY_TRACE_FRAMES=N reports what the frames of the whole process cost, for measuring it from
// outside: when the first loading frame and the first main-menu frame were presented (wall clock,
// so a script can subtract the moment it started the program), and after every N frames the
// processor time per frame of the main thread, of the rasteriser's threads and of the rest.
#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "game/shell/main_routine.h"
#include "game/state/globals.h"

namespace {

struct ThreadTimes {
    double main = 0, rasteriser = 0, other = 0;   // milliseconds on a processor
};

double ReadRunTimeMs(const char* task) {
    char path[300];
    std::snprintf(path, sizeof path, "/proc/self/task/%s/schedstat", task);
    FILE* f = std::fopen(path, "r");
    if (!f) return 0;
    unsigned long long ns = 0;
    if (std::fscanf(f, "%llu", &ns) != 1) ns = 0;
    std::fclose(f);
    return ns / 1e6;
}

bool IsRasteriser(const char* task) {
    char path[300], name[64] = "";
    std::snprintf(path, sizeof path, "/proc/self/task/%s/comm", task);
    FILE* f = std::fopen(path, "r");
    if (!f) return false;
    if (!std::fgets(name, sizeof name, f)) name[0] = 0;
    std::fclose(f);
    return std::strncmp(name, "llvmpipe", 8) == 0;
}

ThreadTimes ReadThreadTimes() {
    ThreadTimes t;
    DIR* dir = opendir("/proc/self/task");
    if (!dir) return t;
    const long self = static_cast<long>(getpid());
    while (dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        const double ms = ReadRunTimeMs(entry->d_name);
        if (std::strtol(entry->d_name, nullptr, 10) == self) {
            t.main += ms;
        } else if (IsRasteriser(entry->d_name)) {
            t.rasteriser += ms;
        } else {
            t.other += ms;
        }
    }
    closedir(dir);
    return t;
}

double WallSeconds() {
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

long FramesPerLine() {
    static const long every = [] {
        const char* v = std::getenv("SQUIBLY_TRACE_FRAMES");
        long n = v ? std::strtol(v, nullptr, 10) : 0;
        return n > 0 ? n : 0L;
    }();
    return every;
}

void Report(const char* line) {
    std::printf("%s", line);
    std::fflush(stdout);
}

}  // namespace

void TraceLoadingFrame() {
    static bool seen = false;
    if (seen || FramesPerLine() == 0) return;
    seen = true;
    char line[96];
    std::snprintf(line, sizeof line, "frame trace: first loading frame at %.6f\n", WallSeconds());
    Report(line);
}

void TraceFramePresented() {
    const long every = FramesPerLine();
    if (every == 0) return;
    static bool menuSeen = false;
    if (!menuSeen && screen == 1) {
        menuSeen = true;
        char line[96];
        std::snprintf(line, sizeof line, "frame trace: first menu frame at %.6f\n", WallSeconds());
        Report(line);
    }
    static long frames = 0;
    static double since = 0;
    static ThreadTimes before;
    if (frames == 0) {
        since = WallSeconds();
        before = ReadThreadTimes();
    }
    if (++frames <= every) return;
    const ThreadTimes now = ReadThreadTimes();
    const double wall = WallSeconds();
    const double n = static_cast<double>(every);
    char line[200];
    std::snprintf(line, sizeof line,
                  "frame trace: %ld frames in %.0f ms, per frame main %.3f ms, rasteriser %.3f ms, other %.3f ms"
                  " (screen %g)\n",
                  every, (wall - since) * 1000, (now.main - before.main) / n, (now.rasteriser - before.rasteriser) / n,
                  (now.other - before.other) / n, screen);
    Report(line);
    frames = 1;
    since = wall;
    before = now;
}
