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
    if (damaged.size() < 560) return s;
    for (int t = 0; t < 4; ++t)
        for (int slot = 0; slot < 6; ++slot) {
            size_t at = (21 + 12 * static_cast<size_t>(t) + 2 * static_cast<size_t>(slot)) * 8;
            if (std::equal(good.begin() + static_cast<long>(at), good.begin() + static_cast<long>(at) + 16,
                           damaged.begin() + static_cast<long>(at)))
                s.insert({t, static_cast<float>(ValueAt(good, at)), static_cast<float>(ValueAt(good, at + 8))});
        }
    return s;
}

bool Includes(const Scores& all, const Scores& part) { return std::includes(all.begin(), all.end(), part.begin(), part.end()); }

// What every start after damage must leave: settings in their ranges, a state that holds
// together, a game that plays on, a settings file written whole, no temporary file.
void ExpectSoundStart(const SaveFolder& folder) {
    for (float v : {musicVolume, soundVolume, speechVolume}) {
        EXPECT_TRUE(v >= 0 && v <= 1) << v;
    }
    EXPECT_TRUE(soundOn == 0 || soundOn == 1);
    EXPECT_TRUE(musicOn >= 0 && musicOn <= 3 && musicOn == static_cast<int>(musicOn));
    EXPECT_TRUE(lowQuality == 0 || lowQuality == 1);
    for (int i = 0; i < 15; ++i) EXPECT_TRUE(challengeProgress(i) >= 0 && challengeProgress(i) <= 100);
    for (int t = 0; t < 4; ++t)
        for (int slot = 0; slot < 6; ++slot) {
            EXPECT_GE(highScores(t, slot, 0), 0);
            if (slot > 0) {
                EXPECT_LE(highScores(t, slot, 0), highScores(t, slot - 1, 0));
            }
        }
    EXPECT_TRUE(hasRated == 0 || hasRated == 1);
    EXPECT_TRUE(rateDeclines >= 0 && rateDeclines <= 2);
    EXPECT_EQ(SavedGameResumeFault(), "");
    EXPECT_TRUE(SaveFolder::Play(30));
    EXPECT_EQ(SavedGameResumeFault(), "");
    EXPECT_EQ(folder.Read("squibly.ach").size(), 560u);
    for (const auto& e : std::filesystem::directory_iterator(folder.Path("")))
        EXPECT_NE(e.path().extension(), ".tmp") << e.path();
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

    // Every file good except `name`, which holds `bytes`; then the start.
    void StartWith(const std::string& name, const Bytes& bytes) {
        folder.Write("squibly.ach", *settings);
        folder.Write("squibly.rat", Bytes{6, 0, 1});
        folder.Write("squibly.sav", *game);
        folder.Write("squibly.tes", *check);
        folder.Remove("squibly.dat");
        folder.Write(name, bytes);
        folder.Start(nullptr);
    }

    // A game file cut or flipped: the scores of the settings file are all still there.
    void ExpectOtherFilesIntact() {
        EXPECT_EQ(TableScores(), IntactScores(*settings, *settings));
        EXPECT_EQ(creaturesConnectedTotal, 5123);
    }

    SaveFolder folder;
    std::mt19937 random{2024};
    static Bytes *legacy, *settings, *game, *check;
};

Bytes *DamagedFiles::legacy, *DamagedFiles::settings, *DamagedFiles::game, *DamagedFiles::check;

Bytes Cut(const Bytes& b, size_t length) { return Bytes(b.begin(), b.begin() + static_cast<long>(length)); }

Bytes Flipped(const Bytes& b, size_t at, int bit) {
    Bytes d = b;
    d[at] ^= static_cast<uint8_t>(1u << bit);
    return d;
}

TEST_F(DamagedFiles, SettingsCutAtEveryLengthOrWithAnyByteFlipped) {
    std::vector<Bytes> cases;
    for (size_t n = 0; n <= settings->size(); ++n) cases.push_back(Cut(*settings, n));
    for (size_t at = 0; at < settings->size(); ++at) cases.push_back(Flipped(*settings, at, static_cast<int>(random() % 8)));
    for (const Bytes& damaged : cases) {
        SCOPED_TRACE(damaged.size());
        StartWith("squibly.ach", damaged);
        ExpectSoundStart(folder);
        EXPECT_TRUE(Includes(TableScores(), IntactScores(damaged, *settings)));
        if (::testing::Test::HasFailure()) break;
    }
}

TEST_F(DamagedFiles, LegacySettingsCutAtEveryLengthOrWithAnyByteFlipped) {
    std::vector<Bytes> cases;
    for (size_t n = 0; n <= legacy->size(); ++n) cases.push_back(Cut(*legacy, n));
    for (size_t at = 0; at < legacy->size(); ++at) cases.push_back(Flipped(*legacy, at, static_cast<int>(random() % 8)));
    for (const Bytes& damaged : cases) {
        SCOPED_TRACE(damaged.size());
        StartWith("squibly.dat", damaged);
        ExpectSoundStart(folder);
        EXPECT_FALSE(folder.Has("squibly.dat"));
        // A record cut short or of an unknown length leaves the settings file's scores alone.
        size_t length = damaged.size() >= 2 ? damaged[0] | damaged[1] << 8 : 0;
        bool recognised = (length == 229 || length == 230) && damaged.size() >= length + 3;
        if (!recognised) ExpectOtherFilesIntact();
        if (::testing::Test::HasFailure()) break;
    }
}

TEST_F(DamagedFiles, RatingStateCutAtEveryLengthOrWithAnyBitFlipped) {
    Bytes good = {6, 0, 1};
    std::vector<Bytes> cases;
    for (size_t n = 0; n <= 3; ++n) cases.push_back(Cut(good, n));
    for (size_t at = 0; at < 3; ++at)
        for (int bit = 0; bit < 8; ++bit) cases.push_back(Flipped(good, at, bit));
    for (const Bytes& damaged : cases) {
        StartWith("squibly.rat", damaged);
        ExpectSoundStart(folder);
        ExpectOtherFilesIntact();
        if (damaged.size() == 3) {
            EXPECT_EQ(gamesPlayed, damaged[0]);
        }
    }
}

TEST_F(DamagedFiles, SavedGameCutOrFlippedIsResumedWholeOrNotAtAll) {
    std::vector<Bytes> cases;
    // Every cut near either end, where the nonces and the head lie, and a sample between.
    for (size_t n = 0; n < 80; ++n) cases.push_back(Cut(*game, n));
    for (size_t n = game->size() - 80; n < game->size(); ++n) cases.push_back(Cut(*game, n));
    for (int i = 0; i < 150; ++i) cases.push_back(Cut(*game, random() % game->size()));
    for (int i = 0; i < 700; ++i) cases.push_back(Flipped(*game, random() % game->size(), static_cast<int>(random() % 8)));
    int resumed = 0;
    for (const Bytes& damaged : cases) {
        StartWith("squibly.sav", damaged);
        ExpectSoundStart(folder);
        ExpectOtherFilesIntact();
        if (musicActive == 1) ++resumed;
        if (::testing::Test::HasFailure()) break;
    }
    // Flips in the low bits of a value that may hold anything still give a whole record.
    printf("%d of %zu damaged saved games resumed\n", resumed, cases.size());
    for (size_t n = 0; n <= 8; ++n) {
        StartWith("squibly.tes", Cut(*check, n));
        ExpectSoundStart(folder);
        EXPECT_EQ(musicActive, n == 8 ? 1 : 0);
    }
}

}  // namespace
