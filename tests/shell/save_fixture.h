// A game folder of its own for the save tests: the whole start-up runs there on the headless
// twin, as the game starts beside its files, and the game is played through the real frame
// loop with a finger that swipes across the board.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "game/shell/main_routine.h"
#include "game/state/globals.h"
#include "runtime/core/files.h"
#include "runtime/platform/null_platform.h"
#include "tests/shell/shell_fixture.h"

using Bytes = std::vector<uint8_t>;

inline Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The little-endian doubles of a file, as the game's values.
inline std::vector<double> Values(const Bytes& bytes, size_t from = 0) {
    std::vector<double> out;
    for (size_t at = from; at + 8 <= bytes.size(); at += 8) {
        uint64_t bits = 0;
        for (int i = 7; i >= 0; --i) bits = bits << 8 | bytes[at + static_cast<size_t>(i)];
        double v;
        std::memcpy(&v, &bits, sizeof v);
        out.push_back(v);
    }
    return out;
}

inline void PutValueAt(Bytes& bytes, size_t offset, double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 8; ++i) bytes[offset + static_cast<size_t>(i)] = static_cast<uint8_t>(bits >> (8 * i));
}

inline void PutValue(Bytes& bytes, size_t index, double v) { PutValueAt(bytes, index * 8, v); }

inline double ValueAt(const Bytes& bytes, size_t offset) {
    Bytes eight(bytes.begin() + static_cast<long>(offset), bytes.begin() + static_cast<long>(offset) + 8);
    return Values(eight)[0];
}

// The finger: taps a cell, then swipes it one cell right, again and again over the board, so
// that games have selections, swaps, clears and a player who acted.
inline void SwipingFinger() {
    long long t = logicTickCount % 40;
    int cell = static_cast<int>(logicTickCount / 40 % 30);
    float x = 35 + 50 * (cell % 5), y = 35 + 50 * (cell / 5 % 6);
    bool down = t < 12;
    if (t >= 6 && t < 12) x += 50;
    NullPlatform::SetPointer(static_cast<int>(x * scaleX + offsetX), static_cast<int>(y * scaleY + offsetY),
                             down ? 1u : 0u);
}

class SaveFolder {
public:
    SaveFolder() {
        char pattern[] = "/tmp/squibly-saves-XXXXXX";
        dir_ = mkdtemp(pattern);
    }
    ~SaveFolder() {
        tickInputHook = nullptr;
        std::error_code ignored;
        std::filesystem::current_path("/tmp", ignored);
        std::filesystem::remove_all(dir_, ignored);
    }
    SaveFolder(const SaveFolder&) = delete;
    SaveFolder& operator=(const SaveFolder&) = delete;

    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    bool Has(const std::string& name) const { return std::filesystem::exists(Path(name)); }
    Bytes Read(const std::string& name) const { return ReadBytes(Path(name)); }
    void Write(const std::string& name, const Bytes& bytes) const { WriteBytes(Path(name), bytes); }
    void Remove(const std::string& name) const { std::filesystem::remove(Path(name)); }

    // The game starts in this folder, as it starts beside its executable.
    void Start(const char* mode = "arcade", long seed = 99) const {
        StartRuntimeOnce();
        if (mode) {
            setenv("SQUIBLY_START_MODE", mode, 1);
        } else {
            unsetenv("SQUIBLY_START_MODE");
        }
        setenv("SQUIBLY_SEED", std::to_string(seed).c_str(), 1);
        tickInputHook = nullptr;
        NullPlatform::SetPointer(0, 0, 0);
        lifecycleRequest = 0;
        quitRequested = 0;
        SetCurrentDir(dir_.c_str());
        GameStartup();
    }

    // Frames of the real loop with the swiping finger; false when the game asked to quit.
    static bool Play(int frames) {
        tickInputHook = SwipingFinger;
        for (int i = 0; i < frames; ++i)
            if (!RunFrame()) return false;
        return true;
    }

    // The window loses the focus and gets it back: the game saves, pauses, resumes and reloads.
    static void PauseAndResume() {
        NullPlatform::PushActive(false, Platform::APP_INPUTFOCUS | Platform::APP_ACTIVE);
        NullPlatform::PushActive(true, Platform::APP_INPUTFOCUS | Platform::APP_ACTIVE);
        RunFrame();
        RunFrame();
    }

private:
    std::string dir_;
};
