// Writes the seed corpora of the save fuzzers from real files: the game runs on the headless
// twin and saves as it does in play. usage: make_save_corpus OUT_DIR
// (OUT_DIR/settings, /legacy, /rating and /game are created).
#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/save_fuzz_game.h"
#include "game/shell/save_files.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Read(const char* name) {
    std::ifstream in(save_fuzz::PathOf(name), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Seed(const std::string& dir, const std::string& name, const Bytes& bytes) {
    std::ofstream out(dir + "/" + name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The older scrambled record, as other builds wrote it with this key.
Bytes Legacy(int length) {
    Bytes body;
    auto put = [&body](int32_t v) {
        for (int i = 0; i < 4; ++i) body.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    };
    put(60);
    put(100);
    put(90);
    body.push_back(1);
    body.push_back(1);
    if (length == 230) body.push_back(1);
    for (int i = 0; i < 15; ++i) body.push_back(static_cast<uint8_t>(i % 3 == 0 ? 100 : i % 3 == 1 ? 35 : 0));
    for (int t = 0; t < 4; ++t)
        for (int s = 0; s < 6; ++s) {
            put(40000 - 5000 * s + 100 * t);
            put(6 - s);
        }
    put(2500);
    put(0);
    body.push_back(0);
    Bytes file = {static_cast<uint8_t>(length), 0};
    for (size_t i = 0; i < body.size(); ++i) file.push_back(body[i] ^ static_cast<uint8_t>(legacyKey(static_cast<int>(i))));
    return file;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: make_save_corpus OUT_DIR\n");
        return 2;
    }
    std::string out = argv[1];
    for (const char* sub : {"settings", "legacy", "rating", "game"}) mkdir((out + "/" + sub).c_str(), 0755);
    save_fuzz::StartRuntime();

    // Settings: the defaults of a first start, then a player's own.
    save_fuzz::RemoveSaveFiles();
    save_fuzz::Start();
    Seed(out + "/settings", "defaults", Read("squibly.ach"));
    musicVolume = 0.35f;
    soundOn = 0;
    musicOn = 3;
    lowQuality = 1;
    for (int i = 0; i < 15; ++i) challengeProgress(i) = i % 3 == 0 ? 100 : i % 3 == 1 ? 60 : 0;
    highScores(1, 0, 0) = 150000;
    highScores(1, 0, 1) = 14;
    creaturesConnectedTotal = 13000;
    SaveSettings();
    Seed(out + "/settings", "played", Read("squibly.ach"));

    Seed(out + "/legacy", "layout229", Legacy(229));
    Seed(out + "/legacy", "layout230", Legacy(230));

    const Bytes ratings[] = {{0, 0, 0}, {5, 0, 0}, {21, 0, 1}, {40, 1, 2}};
    for (const Bytes& r : ratings) Seed(out + "/rating", "rating" + std::to_string(r[0]), r);

    // Saved games of every mode at several moments, each behind a check value of 60.
    const Bytes check = {0, 0, 0, 0, 0, 0, 0x4E, 0x40};
    struct Moment { const char* mode; int frames; } moments[] = {
        {"arcade", 150}, {"arcade", 900}, {"arcade", 2500}, {"puzzle", 700}, {"timetrial", 1200},
        {"zen", 600}, {"zen", 3000}, {"tutorial", 400}, {nullptr, 200},
    };
    for (const Moment& m : moments) {
        save_fuzz::RemoveSaveFiles();
        if (m.mode) {
            setenv("SQUIBLY_START_MODE", m.mode, 1);
        } else {
            unsetenv("SQUIBLY_START_MODE");
        }
        save_fuzz::Start();
        save_fuzz::Play(m.frames);
        SaveGame();
        Bytes seed = check;
        Bytes game = Read("squibly.sav");
        seed.insert(seed.end(), game.begin(), game.end());
        Seed(out + "/game", std::string(m.mode ? m.mode : "menu") + std::to_string(m.frames), seed);
    }
    save_fuzz::RemoveFolder();
    fflush(stdout);
    _exit(0);
}
