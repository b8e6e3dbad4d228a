// Test media for the audio runtime: a scratch folder as working directory, and sound files
// written byte by byte (independent of any audio library).
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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

// A PCM WAV header with the given fields (and `dataBytes` of silence), for the header checks.
inline std::vector<uint8_t> WavWith(uint16_t format, uint16_t channels, uint32_t rate, uint16_t bits,
                                    uint32_t dataBytes = 64) {
    std::vector<uint8_t> b;
    auto put = [&b](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) b.push_back(uint8_t(v >> (8 * i)));
    };
    b.insert(b.end(), {'R', 'I', 'F', 'F'});
    put(36 + dataBytes, 4);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put(16, 4), put(format, 2), put(channels, 2), put(rate, 4), put(rate * channels * bits / 8, 4);
    put(channels * bits / 8, 2), put(bits, 2);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    put(dataBytes, 4);
    b.resize(b.size() + dataBytes, 0);
    return b;
}

// A mono 16-bit 44100 Hz PCM WAV: a 441 Hz square wave of the given peak (0..1), so every
// sample has the same magnitude and the mixed level is easy to read back.
inline std::vector<uint8_t> SquareWav(double seconds, double peak) {
    const uint32_t frames = uint32_t(seconds * 44100);
    std::vector<uint8_t> b = WavWith(1, 1, 44100, 16, frames * 2);
    const uint16_t level = uint16_t(int16_t(std::lround(peak * 32767.0)));
    for (uint32_t i = 0; i < frames; ++i) {
        const uint16_t v = i % 100 < 50 ? level : uint16_t(-level);
        b[44 + 2 * i] = uint8_t(v), b[45 + 2 * i] = uint8_t(v >> 8);
    }
    return b;
}

// The first page of an Ogg Vorbis stream: the identification header only (enough for the
// header check; no decoder could play it).
inline std::vector<uint8_t> VorbisHead(uint8_t channels, uint32_t rate) {
    std::vector<uint8_t> b = {'O', 'g', 'g', 'S', 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 30};
    b.insert(b.end(), {1, 'v', 'o', 'r', 'b', 'i', 's', 0, 0, 0, 0, channels});
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(rate >> (8 * i)));
    b.resize(b.size() + 14, 0);
    return b;
}

inline bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}
