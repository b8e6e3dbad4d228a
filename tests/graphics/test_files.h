// Picture files the tests write: a 24-bit BMP built byte by byte, saved to a temporary file.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

// rgb holds w x h triples, top row first; the file stores rows bottom-up, padded to 4 bytes.
inline std::string Bmp24(int w, int h, const std::vector<uint8_t>& rgb) {
    const uint32_t row = (w * 3 + 3) / 4 * 4;
    std::string f = "BM";
    auto put = [&f](uint32_t v, int n) {
        for (int i = 0; i < n; ++i) f.push_back(static_cast<char>((v >> (8 * i)) & 255));
    };
    put(54 + row * h, 4), put(0, 4), put(54, 4), put(40, 4), put(w, 4), put(h, 4);
    put(1, 2), put(24, 2), put(0, 4), put(row * h, 4), put(0, 4), put(0, 4), put(0, 4), put(0, 4);
    for (int y = h - 1; y >= 0; --y) {
        std::string line(row, '\0');
        for (int i = 0; i < w * 3; ++i) line[i] = static_cast<char>(rgb[static_cast<size_t>(y) * w * 3 + i / 3 * 3 + 2 - i % 3]);
        f += line;
    }
    return f;
}

// Writes bytes to a new temporary file whose name ends in suffix; returns its path.
inline std::string TempFile(const std::string& bytes, const std::string& suffix = "") {
    std::string path = "/tmp/squiblyXXXXXX" + suffix;
    const int fd = mkstemps(&path[0], static_cast<int>(suffix.size()));
    if (fd < 0) return "";
    const bool ok = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    close(fd);
    return ok ? path : "";
}
