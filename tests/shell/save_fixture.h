// A game folder of its own for the save tests: the whole start-up runs there on the headless
// twin, as the game starts beside its files, and the game is played through the real frame
// loop with a finger that swipes across the board.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <algorithm>
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

inline double ValueAt(const Bytes& bytes, size_t offset) {
    return Values(Bytes(bytes.begin() + offset, bytes.begin() + offset + 8))[0];
}

inline void PutValueAt(Bytes& bytes, size_t offset, double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (size_t i = 0; i < 8; ++i) bytes[offset + i] = static_cast<uint8_t>(bits >> (8 * i));
}

inline Bytes SettingsBytes(const std::vector<double>& values) {
    Bytes b(values.size() * 8);
    for (size_t i = 0; i < values.size(); ++i) PutValueAt(b, i * 8, values[i]);
    return b;
}

// A settings record: volumes, switches, 15 challenges, four tables of six (score, level), the
// creatures connected. `score(t, s)` and `level(s)` fill the tables.
inline std::vector<double> SettingsRecord(std::vector<double> head, const std::function<double(int)>& challenge,
                                          const std::function<double(int, int)>& score,
                                          const std::function<double(int)>& level, double creatures) {
    for (int i = 0; i < 15; ++i) head.push_back(challenge(i));
    for (int t = 0; t < 4; ++t)
        for (int s = 0; s < 6; ++s) head.push_back(score(t, s)), head.push_back(level(s));
    head.push_back(creatures);
    return head;
}

// The 70 values a fresh start writes.
inline std::vector<double> DefaultSettings() {
    static const double STEP[4] = {4000, 12000, 6500, 20000};
    return SettingsRecord({0.6f, 1, 1, 1, 1, 0}, [](int) { return 0; },
                          [](int t, int s) { return STEP[t] * (6 - s); }, [](int) { return 0; }, 0);
}

// A score and level in every slot that no default has.
inline std::vector<double> CustomSettings() {
    return SettingsRecord({0.25, 0.5, 0.75, 0, 1, 1}, [](int i) { return i % 3 == 0 ? 100 : i % 3 == 1 ? 40 : 0; },
                          [](int t, int s) { return 91000 - 1000 * t - 7 * s; }, [](int s) { return 12 - s; }, 5123);
}

// The scrambled legacy record of the given length word (229 without, 230 with the quality byte),
// and the settings it stands for.
inline Bytes LegacyFile(int length, int lowQualityByte) {
    Bytes body;
    auto put32 = [&body](int32_t v) {
        for (int i = 0; i < 4; ++i) body.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    };
    for (int volume : {30, 80, 100}) put32(volume);
    body.insert(body.end(), {1, 0});
    if (length == 230) body.push_back(static_cast<uint8_t>(lowQualityByte));
    for (int i = 0; i < 15; ++i) body.push_back(i < 3 ? 100 : 0);
    for (int t = 0; t < 4; ++t)
        for (int s = 0; s < 6; ++s) put32(50000 + 100 * t - s), put32(s + 1);
    put32(777);
    put32(-1);
    body.push_back(0);   // byte L + 1
    EXPECT_EQ(body.size(), static_cast<size_t>(length + 1));
    Bytes file = {static_cast<uint8_t>(length & 0xff), static_cast<uint8_t>(length >> 8)};
    for (size_t i = 0; i < body.size(); ++i) file.push_back(body[i] ^ static_cast<uint8_t>(legacyKey(static_cast<int>(i))));
    return file;
}
inline std::vector<double> LegacySettings(bool lowQuality) {
    return SettingsRecord({0.3f, 0.8f, 1, 1, 0, lowQuality ? 1. : 0.}, [](int i) { return i < 3 ? 100 : 0; },
                          [](int t, int s) { return 50000 + 100 * t - s; }, [](int s) { return s + 1; }, 777);
}

class SaveFolder {
public:
    // In memory where the machine has it: the many starts of these tests would otherwise wait
    // on every save's sync to the disk.
    SaveFolder() {
        std::string pattern = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        pattern += "/squibly-saves-XXXXXX";
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
    void Write(const std::string& name, const Bytes& bytes) const {
        std::ofstream(Path(name), std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir_)) names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    // The game starts in this folder, as it starts beside its executable.
    void Start(const char* mode = "arcade") const {
        StartRuntimeOnce();
        mode ? setenv("SQUIBLY_START_MODE", mode, 1) : unsetenv("SQUIBLY_START_MODE");
        setenv("SQUIBLY_SEED", "99", 1);
        tickInputHook = nullptr;
        NullPlatform::SetPointer(0, 0, 0);
        lifecycleRequest = quitRequested = 0;
        SetCurrentDir(dir_.c_str());
        GameStartup();
    }

    // Frames of the real loop with the finger tapping a cell and swiping it one cell right, cell
    // after cell; false when the game asked to quit.
    static bool Play(int frames) {
        tickInputHook = [] {
            long long t = logicTickCount % 40;
            int cell = static_cast<int>(logicTickCount / 40 % 30);
            float x = 35 + 50 * (cell % 5) + (t >= 6 && t < 12 ? 50 : 0), y = 35 + 50 * (cell / 5 % 6);
            NullPlatform::SetPointer(static_cast<int>(x * scaleX + offsetX), static_cast<int>(y * scaleY + offsetY), t < 12);
        };
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
