// The process entry: command line, device services, the game's start-up hook, the runtime,
// then the game's main routine; every way out goes through EndProgram.
#include "runtime/core/device_services.h"
#include "runtime/core/entry.h"
#include "runtime/core/error_state.h"
#include "runtime/core/lifecycle.h"

int main(int argc, char** argv) {
    CommandLine() = BuildCommandLine(argc, argv);
    PDL_Init(0);
    SetCallbackTable(CALLBACK_TABLE);
    GameStartupHook();
    RuntimeInit(0, 0, ApplicationName().c_str());
    ClearErrorState();
    GameMain();
    EndProgram();
}
