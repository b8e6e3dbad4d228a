// Header checks for sound and music files, done before the mixer reads them.
#include "runtime/audio/sound_check.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Enough for every header chunk of a WAV and an MP3's tag and first frame.
const size_t HEAD_BYTES = 1 << 20;

uint32_t Le32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
uint16_t Le16(const unsigned char* p) { return uint16_t(p[0] | p[1] << 8); }

std::string Said(const char* format, long long value) {
    char text[96];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string CheckChannelsAndRate(long long channels, long long rate) {
    if (channels < 1 || channels > SOUND_MAX_CHANNELS) return Said("the header claims %lld channels", channels);
    if (rate < SOUND_MIN_RATE || rate > SOUND_MAX_RATE) return Said("the header claims a sample rate of %lld Hz", rate);
    return "";
}

bool ReadHead(const char* path, std::vector<unsigned char>& head, size_t& fileSize) {
    FILE* f = path ? std::fopen(path, "rb") : nullptr;
    if (!f) return false;
    long size = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) size = std::ftell(f);
    std::rewind(f);
    if (size < 0) {
        std::fclose(f);
        return false;
    }
    fileSize = static_cast<size_t>(size);
    head.resize(fileSize < HEAD_BYTES ? fileSize : HEAD_BYTES);
    const size_t got = head.empty() ? 0 : std::fread(head.data(), 1, head.size(), f);
    std::fclose(f);
    head.resize(got);
    return true;
}

bool Starts(const std::vector<unsigned char>& head, const char* magic, size_t at = 0) {
    const size_t n = std::strlen(magic);
    return head.size() >= at + n && std::memcmp(head.data() + at, magic, n) == 0;
}

std::string Extension(const char* path) {
    const char* dot = path ? std::strrchr(path, '.') : nullptr;
    const char* slash = path ? std::strrchr(path, '/') : nullptr;
    std::string ext;
    if (dot && (!slash || dot > slash))
        for (const char* c = dot + 1; *c; ++c) ext += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
    return ext;
}

}  // namespace

std::string CheckWavHeader(const unsigned char* data, size_t size, size_t fileSize) {
    if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
        return "not a RIFF WAVE file";
    bool haveFormat = false;
    for (size_t at = 12;;) {
        if (at + 8 > size) return at + 8 > fileSize ? "no data chunk" : "its header chunks are too large";
        const uint32_t length = Le32(data + at + 4);
        const bool isData = std::memcmp(data + at, "data", 4) == 0;
        if (static_cast<unsigned long long>(at) + 8 + length > fileSize)
            return isData ? "its data runs past the end of the file" : "a chunk runs past the end of the file";
        if (isData) return haveFormat ? "" : "no fmt chunk before the data";
        if (std::memcmp(data + at, "fmt ", 4) == 0) {
            if (length < 16 || at + 8 + 16 > size) return "its fmt chunk is too short";
            const unsigned char* fmt = data + at + 8;
            const uint16_t encoding = Le16(fmt), bits = Le16(fmt + 14);
            if (encoding != 1) return Said("its samples are not PCM (format %lld)", encoding);
            const std::string wrong = CheckChannelsAndRate(Le16(fmt + 2), Le32(fmt + 4));
            if (!wrong.empty()) return wrong;
            if (bits != 8 && bits != 16) return Said("it has %lld-bit samples (8 or 16 are read)", bits);
            haveFormat = true;
        }
        at += 8 + static_cast<size_t>(length) + (length & 1);
    }
}

std::string CheckVorbisHeader(const unsigned char* data, size_t size) {
    if (size < 27 || std::memcmp(data, "OggS", 4) != 0) return "not an Ogg stream";
    const size_t segments = data[26];
    const size_t packet = 27 + segments;
    if (size < packet + 16 || data[packet] != 1 || std::memcmp(data + packet + 1, "vorbis", 6) != 0)
        return "its first Ogg page holds no Vorbis header";
    if (Le32(data + packet + 7) != 0) return "an unknown Vorbis version";
    return CheckChannelsAndRate(data[packet + 11], Le32(data + packet + 12));
}

std::string CheckMp3Header(const unsigned char* data, size_t size) {
    size_t at = 0;
    if (size >= 10 && std::memcmp(data, "ID3", 3) == 0) {
        // A tag first: its size is four 7-bit bytes; the frames follow it.
        const size_t tag = (size_t(data[6] & 0x7F) << 21) | (size_t(data[7] & 0x7F) << 14) |
                           (size_t(data[8] & 0x7F) << 7) | size_t(data[9] & 0x7F);
        at = 10 + tag + ((data[5] & 0x10) ? 10 : 0);
        if (at + 4 > size) return "";   // the frames lie beyond what was read; the tag is sound
    }
    if (at + 4 > size) return "not an MP3 stream";
    const unsigned char* h = data + at;
    const bool sync = h[0] == 0xFF && (h[1] & 0xE0) == 0xE0;
    const int version = (h[1] >> 3) & 3, layer = (h[1] >> 1) & 3, bitrate = h[2] >> 4, rate = (h[2] >> 2) & 3;
    if (!sync || version == 1 || layer == 0 || bitrate == 15 || rate == 3) return "not an MP3 stream";
    return "";
}

std::string CheckSoundFile(const char* path) {
    std::vector<unsigned char> head;
    size_t fileSize = 0;
    if (!ReadHead(path, head, fileSize)) return SOUND_FILE_UNREADABLE;
    if (Starts(head, "RIFF")) return CheckWavHeader(head.data(), head.size(), fileSize);
    if (Starts(head, "OggS")) return CheckVorbisHeader(head.data(), head.size());
    return "not a WAV or Ogg Vorbis sound";
}

std::string CheckMusicFile(const char* path) {
    std::vector<unsigned char> head;
    size_t fileSize = 0;
    if (!ReadHead(path, head, fileSize)) return SOUND_FILE_UNREADABLE;
    std::string ext = Extension(path);
    if (ext != "wav" && ext != "ogg" && ext != "mp3" && ext != "mpg" && ext != "mpeg" && ext != "mad") {
        // As the mixer does for a name it does not know: the content decides.
        if (Starts(head, "OggS")) {
            ext = "ogg";
        } else if (Starts(head, "RIFF")) {
            ext = "wav";
        } else if (Starts(head, "ID3") || (head.size() >= 2 && head[0] == 0xFF && (head[1] & 0xE0) == 0xE0)) {
            ext = "mp3";
        } else {
            return "not Ogg Vorbis, MP3 or WAV music";
        }
    }
    if (ext == "wav") return CheckWavHeader(head.data(), head.size(), fileSize);
    if (ext == "ogg") return CheckVorbisHeader(head.data(), head.size());
    return CheckMp3Header(head.data(), head.size());
}
