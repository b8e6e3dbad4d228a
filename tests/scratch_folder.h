// Scratch folders under /tmp that a test process removes when it ends, so runs leave nothing
// behind. A forked child that ends by exit() leaves them to the process that made them.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

inline std::vector<std::string>& ScratchFolders() {
    static std::vector<std::string> folders;
    return folders;
}

inline pid_t& ScratchOwner() {
    static pid_t owner = 0;
    return owner;
}

inline void RemoveScratchFolders() {
    if (getpid() != ScratchOwner()) return;
    std::error_code ignored;
    for (const std::string& f : ScratchFolders()) std::filesystem::remove_all(f, ignored);
    ScratchFolders().clear();
}

// A new folder "/tmp/<prefix>XXXXXX"; empty when none could be made.
inline std::string MakeScratchFolder(const std::string& prefix) {
    std::string pattern = "/tmp/" + prefix + "XXXXXX";
    if (!mkdtemp(pattern.data())) return "";
    if (ScratchOwner() == 0) {
        ScratchFolders();  // made before the hook is registered, so it outlives the hook
        ScratchOwner() = getpid();
        std::atexit(RemoveScratchFolders);
    }
    ScratchFolders().push_back(pattern);
    return pattern;
}
