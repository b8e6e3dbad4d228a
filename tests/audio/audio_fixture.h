// Sound files written byte by byte (independent of any audio library), and the slot tests that
// run on both twins: each twin's test file defines how its device opens and closes.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/core/core_test_util.h"

// A PCM WAV header with the given fields (and `dataBytes` of silence), for the header checks.
inline Bytes WavWith(uint16_t format, uint16_t channels, uint32_t rate, uint16_t bits, uint32_t dataBytes = 64) {
    Bytes b;
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

// The first page of an Ogg Vorbis stream: the identification header only (enough for the
// header check; no decoder could play it).
inline Bytes VorbisHead(uint8_t channels, uint32_t rate) {
    Bytes b = {'O', 'g', 'g', 'S', 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 30};
    b.insert(b.end(), {1, 'v', 'o', 'r', 'b', 'i', 's', 0, 0, 0, 0, channels});
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(rate >> (8 * i)));
    b.resize(b.size() + 14, 0);
    return b;
}

void OpenTestAudio();
void CloseTestAudio();

// A scratch folder holding beep.wav (half a second of silence), the device open.
class Audio : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WriteRaw(folder.File("beep.wav"), WavWith(1, 1, 44100, 16, 44100)));
        OpenTestAudio();
    }
    void TearDown() override { CloseTestAudio(); }
    ScratchDir folder;
};
