// Damaged save files: each file cut at every length and with its bytes flipped (the saved game's
// by a large random sample). Whatever the damage, start-up succeeds, the state it leaves holds
// together and plays on, and every score that was not itself damaged is still there.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "game/shell/saved_game_fields.h"
#include "tests/shell/save_fixture.h"

namespace {

using Scores = std::set<std::tuple<int, float, float>>;   // table, score, level

Scores TableScores() {
    Scores s;
    for (int t = 0; t < 4; ++t)
        for (int slot = 0; slot < 6; ++slot) s.insert({t, highScores(t, slot, 0), highScores(t, slot, 1)});
    return s;
}

// The scores of a settings record whose 16 bytes are as written, and so must survive.
Scores IntactScores(const Bytes& damaged, const Bytes& good) {
    Scores s;
    for (size_t t = 0; t < 4 && damaged.size() >= 560; ++t)
        for (size_t slot = 0; slot < 6; ++slot) {
            size_t at = (21 + 12 * t + 2 * slot) * 8;
            if (std::equal(good.begin() + at, good.begin() + at + 16, damaged.begin() + at))
                s.insert({static_cast<int>(t), static_cast<float>(ValueAt(good, at)), static_cast<float>(ValueAt(good, at + 8))});
        }
    return s;
}

// What every start after damage must leave: settings in their ranges, a state that holds
// together, a game that plays on, a settings file written whole, no temporary file.
void ExpectSoundStart(const SaveFolder& folder) {
    for (float v : {musicVolume, soundVolume, speechVolume}) EXPECT_TRUE(v >= 0 && v <= 1) << v;
    EXPECT_TRUE(soundOn == 0 || soundOn == 1);
    EXPECT_TRUE(musicOn >= 0 && musicOn <= 3 && musicOn == static_cast<int>(musicOn));
    EXPECT_TRUE(lowQuality == 0 || lowQuality == 1);
    for (int i = 0; i < 15; ++i) EXPECT_TRUE(challengeProgress(i) >= 0 && challengeProgress(i) <= 100);
    for (int t = 0; t < 4; ++t)
        for (int slot = 0; slot < 6; ++slot) {
            EXPECT_GE(highScores(t, slot, 0), 0);
            EXPECT_LE(highScores(t, slot, 0), highScores(t, slot > 0 ? slot - 1 : 0, 0));
        }
    EXPECT_EQ(SavedGameResumeFault(), "");
    EXPECT_TRUE(SaveFolder::Play(30));
    EXPECT_EQ(SavedGameResumeFault(), "");
    EXPECT_EQ(folder.Read("squibly.ach").size(), 560u);
    for (const std::string& name : folder.Names()) EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
}

Bytes Cut(const Bytes& b, size_t length) { return Bytes(b.begin(), b.begin() + static_cast<long>(length)); }

Bytes Flipped(const Bytes& b, size_t at, int bit) {
    Bytes d = b;
    d[at] ^= static_cast<uint8_t>(1u << bit);
    return d;
}

class DamagedFiles : public ::testing::Test {
protected:
    // Good files of every kind, made once: custom settings, a rating state, a legacy record,
    // and a game saved by a closed window.
    static void SetUpTestSuite() {
        SaveFolder folder;
        folder.Start("arcade");
        legacy = new Bytes(LegacyFile(230, 1));
        settings = new Bytes(SettingsBytes(CustomSettings()));
        folder.Write("squibly.ach", *settings);
        ASSERT_TRUE(PlayThenQuitInChild([&folder] {
            folder.Start("arcade");
            SaveFolder::Play(500);
        }));
        game = new Bytes(folder.Read("squibly.sav"));
        check = new Bytes(folder.Read("squibly.tes"));
        ASSERT_GT(game->size(), 10044u);
        ASSERT_EQ(check->size(), 8u);
    }

    // Every file good except `name`, which holds `bytes`; then the start, and what it must leave.
    void StartWith(const std::string& name, const Bytes& bytes) {
        folder.Write("squibly.ach", *settings);
        folder.Write("squibly.rat", rating);
        folder.Write("squibly.sav", *game);
        folder.Write("squibly.tes", *check);
        std::filesystem::remove(folder.Path("squibly.dat"));
        folder.Write(name, bytes);
        folder.Start(nullptr);
    }

    // The scores of the settings file all still there.
    void ExpectOtherFilesIntact() {
        EXPECT_EQ(TableScores(), IntactScores(*settings, *settings));
        EXPECT_EQ(creaturesConnectedTotal, 5123);
    }

    SaveFolder folder;
    std::mt19937 random{2024};
    const Bytes rating = {6, 0, 1};
    static Bytes *legacy, *settings, *game, *check;
};

Bytes *DamagedFiles::legacy, *DamagedFiles::settings, *DamagedFiles::game, *DamagedFiles::check;

// Small files cut at every length and flipped at every byte (the rating state at every bit);
// the saved game cut near either end, where the nonces and the head lie, and at a sample of
// lengths between, and flipped at a sample of bits.
TEST_F(DamagedFiles, EveryFileCutOrFlippedStartsSoundAndLosesNoUndamagedScore) {
    const std::pair<std::string, Bytes> files[] = {{"squibly.ach", *settings}, {"squibly.dat", *legacy},
                                                   {"squibly.rat", rating}, {"squibly.tes", *check},
                                                   {"squibly.sav", *game}};
    for (const auto& [name, good] : files) {
        SCOPED_TRACE(name);
        const size_t size = good.size(), sampled = size > 600;
        std::vector<Bytes> cases;
        for (size_t n = 0; n <= size; ++n)
            if (!sampled || n < 80 || n + 80 >= size) cases.push_back(Cut(good, n));
        for (int i = 0; i < 150 && sampled; ++i) cases.push_back(Cut(good, random() % size));
        for (size_t at = 0; at < (sampled ? 700 : size); ++at)
            for (int bit = 0; bit < (size == 3 ? 8 : 1); ++bit)
                cases.push_back(Flipped(good, sampled ? random() % size : at, size == 3 ? bit : static_cast<int>(random() % 8)));
        int resumed = 0;
        for (const Bytes& d : cases) {
            SCOPED_TRACE(d.size());
            StartWith(name, d);
            resumed += musicActive == 1;
            if (name == "squibly.ach") {
                Scores all = TableScores(), intact = IntactScores(d, good);
                EXPECT_TRUE(std::includes(all.begin(), all.end(), intact.begin(), intact.end()));
            } else if (name == "squibly.dat") {
                EXPECT_FALSE(folder.Has("squibly.dat"));
                // A record cut short or of an unknown length leaves the settings file's scores alone.
                size_t length = d.size() >= 2 ? d[0] | d[1] << 8 : 0;
                if ((length != 229 && length != 230) || d.size() < length + 3) ExpectOtherFilesIntact();
            } else {
                ExpectOtherFilesIntact();
            }
            if (name == "squibly.rat") {
                // Games played kept as they are; each answer out of range falls back alone; two
                // bytes are no record.
                EXPECT_EQ(gamesPlayed, d.size() == 3 ? d[0] : 0);
                EXPECT_EQ(hasRated, d.size() == 3 && d[1] <= 1 ? d[1] : 0);
                EXPECT_EQ(rateDeclines, d.size() == 3 && d[2] <= 2 ? d[2] : 0);
            }
            EXPECT_TRUE(name != "squibly.tes" || d.size() == 8 || musicActive == 0) << "a short check file is none";
            EXPECT_TRUE(d != good || musicActive == 1) << "whole files resume the game";
            ExpectSoundStart(folder);
            if (::testing::Test::HasFailure()) return;
        }
        // Flips in the low bits of a value that may hold anything still give a whole record.
        if (name == "squibly.sav") printf("%d of %zu damaged saved games resumed\n", resumed, cases.size());
    }
}

}  // namespace
