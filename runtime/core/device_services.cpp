// The desktop stand-in for the device-services library.
#include "runtime/core/device_services.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace {
std::string lastAddress;
}  // namespace

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
    lastAddress = address;
    // SQUIBLY_BROWSER names another program to hand the address to (tests record it instead of
    // opening a real browser).
    const char* chosen = std::getenv("SQUIBLY_BROWSER");
    const char* browser = chosen && *chosen ? chosen : "xdg-open";
    // Started through a grandchild so that the browser is never our child to wait for;
    // the address goes as one argument, no shell sees it.
    pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        pid_t grandchild = fork();
        if (grandchild == 0) {
            setsid();
            int devnull = open("/dev/null", O_RDWR);
            if (devnull >= 0) {
                dup2(devnull, STDIN_FILENO);
                dup2(devnull, STDOUT_FILENO);
                dup2(devnull, STDERR_FILENO);
            }
            char* const argv[] = {const_cast<char*>(browser), const_cast<char*>(address), nullptr};
            execvp(browser, argv);
            _exit(127);
        }
        _exit(grandchild < 0 ? 1 : 0);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return 0;
}

int PDL_NotifyMusicPlaying(bool) { return 0; }

const char* LastBrowserAddress() { return lastAddress.c_str(); }
