// A game folder of its own for the save tests: the whole start-up runs there on the headless
// twin, as the game starts beside its files, and the game is played through the real frame
// loop with a finger that swipes across the board.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
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

// ---- Files as the game writes them -------------------------------------------------------

inline const double DEFAULT_SCORES[4][6] = {
    {24000, 20000, 16000, 12000, 8000, 4000},
    {72000, 60000, 48000, 36000, 24000, 12000},
    {39000, 32500, 26000, 19500, 13000, 6500},
    {120000, 100000, 80000, 60000, 40000, 20000},
};

// The 70 values a fresh start writes.
inline std::vector<double> DefaultSettings() {
    std::vector<double> v = {0.6f, 1, 1, 1, 1, 0};
    v.resize(21, 0);
    for (auto& table : DEFAULT_SCORES)
        for (double score : table) {
            v.push_back(score);
            v.push_back(0);
        }
    v.push_back(0);
    return v;
}

inline Bytes SettingsBytes(const std::vector<double>& values) {
    Bytes b(values.size() * 8);
    for (size_t i = 0; i < values.size(); ++i) PutValue(b, i, values[i]);
    return b;
}

// A settings record with a score and level in every slot that no default has.
inline std::vector<double> CustomSettings() {
    std::vector<double> v = {0.25, 0.5, 0.75, 0, 1, 1};
    for (int i = 0; i < 15; ++i) v.push_back(i % 3 == 0 ? 100 : i % 3 == 1 ? 40 : 0);
    for (int t = 0; t < 4; ++t)
        for (int s = 0; s < 6; ++s) {
            v.push_back(91000 - 1000 * t - 7 * s);
            v.push_back(12 - s);
        }
    v.push_back(5123);
    return v;
}


// The scrambled legacy record of the given length word (229 without, 230 with the quality byte).
inline Bytes LegacyFile(int length, int lowQualityByte) {
    Bytes body;
    auto put32 = [&body](int32_t v) {
        for (int i = 0; i < 4; ++i) body.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    };
    put32(30);    // music volume x 100
    put32(80);
    put32(100);
    body.push_back(1);
    body.push_back(0);
    if (length == 230) body.push_back(static_cast<uint8_t>(lowQualityByte));
    for (int i = 0; i < 15; ++i) body.push_back(i < 3 ? 100 : 0);
    for (int t = 0; t < 4; ++t)
        for (int s = 0; s < 6; ++s) {
            put32(50000 + 100 * t - s);
            put32(s + 1);
        }
    put32(777);
    put32(-1);
    body.push_back(0);   // byte L + 1
    EXPECT_EQ(body.size(), static_cast<size_t>(length + 1));
    Bytes file = {static_cast<uint8_t>(length & 0xff), static_cast<uint8_t>(length >> 8)};
    for (size_t i = 0; i < body.size(); ++i) file.push_back(body[i] ^ static_cast<uint8_t>(legacyKey(static_cast<int>(i))));
    return file;
}


class SaveFolder {
public:
    // In memory where the machine has it: the many starts of these tests would otherwise wait
    // on every save's sync to the disk.
    SaveFolder() {
        std::string base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        std::string pattern = base + "/squibly-saves-XXXXXX";
        dir_ = mkdtemp(pattern.data());
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

// Runs `play` in a child process that then quits as a closed window does (the quit event):
// the game saves on its way out. True when the child ended as the game ends, with status 0.
inline bool PlayThenQuitInChild(const std::function<void()>& play) {
    fflush(stdout);
    pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        play();
        tickInputHook = nullptr;   // the finger is off the screen when it closes
        NullPlatform::SetPointer(0, 0, 0);
        NullPlatform::PushQuit();
        RunFrame();
        _exit(5);   // not reached: the quit ends the program
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
