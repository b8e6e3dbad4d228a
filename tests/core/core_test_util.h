// Helpers shared by the runtime and play tests: a scratch folder made the working directory,
// raw file bytes, and the check that a fatal path ends the program with status 0.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "tests/scratch_folder.h"

class ScratchDir {
public:
    ScratchDir() : previous_(std::filesystem::current_path()), path_(MakeScratchFolder("squibly-test-")) {
        std::filesystem::current_path(path_);
    }
    ~ScratchDir() { std::filesystem::current_path(previous_); }  // the folder goes when the process ends
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::filesystem::path previous_;
    std::string path_;
};

using Bytes = std::vector<unsigned char>;

inline Bytes FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool WriteRaw(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return out.good();
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
