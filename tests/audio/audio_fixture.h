// A scratch folder as working directory, and the audio runtime opened in it and closed after.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "runtime/audio/sound.h"
#include "runtime/core/error_state.h"

class ScratchFolder {
public:
    ScratchFolder() {
        char pattern[] = "/tmp/squibly_audio_XXXXXX";
        const char* made = mkdtemp(pattern);
        path_ = made ? made : "";
        char* here = getcwd(nullptr, 0);
        previous_ = here ? here : "/";
        std::free(here);
        if (!path_.empty() && chdir(path_.c_str()) != 0) path_.clear();
    }
    ~ScratchFolder() {
        if (chdir(previous_.c_str()) != 0) return;
        if (!path_.empty()) std::system(("rm -rf '" + path_ + "'").c_str());
    }
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_, previous_;
};
