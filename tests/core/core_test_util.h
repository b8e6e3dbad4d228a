// Helpers for the core tests: a scratch folder per test and raw byte access to files.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// Makes a fresh folder under /tmp, enters it, and leaves and removes it at the end.
class ScratchDir {
public:
    ScratchDir() {
        char pattern[] = "/tmp/squibly-core-XXXXXX";
        path_ = mkdtemp(pattern);
        char here[4096];
        previous_ = getcwd(here, sizeof here) ? here : "/";
        if (chdir(path_.c_str()) != 0) abort();
    }
    ~ScratchDir() {
        if (chdir(previous_.c_str()) != 0) return;
        std::string command = "rm -rf '" + path_ + "'";
        if (system(command.c_str()) != 0) return;
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    std::string previous_;
};

inline std::vector<unsigned char> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteRaw(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
