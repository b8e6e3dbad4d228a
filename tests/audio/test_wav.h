// Writes small test sound files byte by byte (independent of any audio library).
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace TestWav {

inline void Put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
inline void Put32(std::vector<uint8_t>& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// A 16-bit PCM WAV of `seconds` length: a square wave of the given peak (0..1) at `hz`,
// so every sample has the same magnitude and the mixed level is easy to read back.
inline std::vector<uint8_t> SquareWav(double seconds, double peak, int rate = 44100, int channels = 1,
                                      double hz = 441.0) {
    uint32_t frames = uint32_t(seconds * rate);
    std::vector<uint8_t> b;
    uint32_t dataBytes = frames * uint32_t(channels) * 2;
    b.insert(b.end(), {'R', 'I', 'F', 'F'});
    Put32(b, 36 + dataBytes);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(b, 16);
    Put16(b, 1);
    Put16(b, uint32_t(channels));
    Put32(b, uint32_t(rate));
    Put32(b, uint32_t(rate * channels * 2));
    Put16(b, uint32_t(channels * 2));
    Put16(b, 16);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    Put32(b, dataBytes);
    int16_t level = int16_t(std::lround(peak * 32767.0));
    double period = rate / hz;
    for (uint32_t i = 0; i < frames; ++i) {
        int16_t s = std::fmod(i, period) < period / 2 ? level : int16_t(-level);
        for (int c = 0; c < channels; ++c) Put16(b, uint16_t(s));
    }
    return b;
}

inline bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace TestWav
