// Helpers for the core tests: a scratch folder per test, raw byte access to files, and the check
// that a fatal path ends the program with status 0.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

// Makes a fresh folder under /tmp, enters it, and leaves and removes it at the end.
class ScratchDir {
public:
    ScratchDir() : previous_(std::filesystem::current_path()) {
        char pattern[] = "/tmp/squibly-core-XXXXXX";
        path_ = mkdtemp(pattern);
        std::filesystem::current_path(path_);
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& Path() const { return path_; }

private:
    std::filesystem::path previous_;
    std::string path_;
};

inline std::vector<unsigned char> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteRaw(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Runs body in a child that must end with status 0 and print output matching pattern; both
// streams are checked, as the runtime reports on standard output.
inline void ExpectEndsProgram(const std::function<void()>& body, const std::string& pattern) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            body();
        },
        ::testing::ExitedWithCode(0), pattern);
}

// The shutdown lines every clean end prints last.
constexpr const char* SHUTDOWN_LINES = "PDL_Quit\n</PDL_Quit>\nexit\n$";
