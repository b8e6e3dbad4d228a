// The real game on the desktop twin, writing the session tool's state report to the file named by
// SQUIBLY_REPORT every few frames and printing a line at each pause and resume, so scripts that
// drive it with xdotool can read what their taps did to the board.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "game/shell/main_routine.h"
#include "runtime/core/device_services.h"
#include "runtime/core/entry.h"
#include "runtime/core/error_state.h"
#include "runtime/core/lifecycle.h"
#include "tools/session/session_report.h"

namespace {
const char* reportPath = nullptr;

void WriteReport(long long frame) {
    const std::string path(reportPath);
    const std::string temp = path + ".tmp";
    FILE* f = std::fopen(temp.c_str(), "w");
    if (!f) return;
    std::fprintf(f, "frame %lld\n%s", frame, SessionReport(logicTickCount).c_str());
    std::fclose(f);
    std::rename(temp.c_str(), path.c_str());
}

void Say(const char* line) {
    std::printf("report game: %s\n", line);
    std::fflush(stdout);
}

void PauseSeen() {
    Say("pause");
    KrtOnPause();
}

void ResumeSeen() {
    Say("resume");
    KrtOnResume();
}

const CallbackRow WATCHED_CALLBACKS[] = {
    {PauseSeen, "KRT_ON_PAUSE"},
    {KrtOnQuit, "KRT_ON_QUIT"},
    {ResumeSeen, "KRT_ON_RESUME"},
    {nullptr, nullptr},
};
}  // namespace

int main(int argc, char** argv) {
    reportPath = std::getenv("SQUIBLY_REPORT");
    CommandLine() = BuildCommandLine(argc, argv);
    PDL_Init(0);
    SetCallbackTable(WATCHED_CALLBACKS);
    GameStartupHook();
    RuntimeInit(0, 0, ApplicationName().c_str());
    ClearErrorState();
    GameStartup();
    long long frame = 0;
    while (RunFrame()) {
        if (reportPath && ++frame % 6 == 0) WriteReport(frame);
    }
    EndProgram();
}
