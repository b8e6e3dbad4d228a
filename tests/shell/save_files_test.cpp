// The save files byte by byte: the settings record and its defaults, the legacy layouts, the
// saved game written, resumed and written again, and every file damaged; each through the real
// start-up and frame loop on the headless twin.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>

#include "game/shell/save_files.h"
#include "game/shell/saved_game_fields.h"
#include "tests/shell/save_fixture.h"

namespace {

TEST(SettingsFile, AWholeRecordIsKeptExactlyAndAnyOtherStartWritesTheDefaultsOrTheLegacyValues) {
    { SaveFolder().Start(); }   // fills the legacy key table
    const Bytes custom = SettingsBytes(CustomSettings());
    Bytes otherLegacy = LegacyFile(230, 0);
    otherLegacy[0] = 231;
    // Each damaged value falls back alone, and the scores stay in order.
    std::vector<double> damaged = CustomSettings(), repaired = CustomSettings();
    const std::tuple<size_t, double, double> damage[] = {
        {0, NAN, 0.6f}, {2, 1.5, 1},   // music and speech volumes
        {3, 1, 1}, {4, 3, 1},          // sound on, so a muted-music mark cannot be
        {6, 0, 0}, {7, 40, 0},         // SKILLED LEVELING incomplete: its MASTER's 40 cannot be
        {9, 150, 0}, {10, 40, 0},      // SKILLED SURVIVAL beyond 100, and so its MASTER's 40
        {69, INFINITY, 0},             // creatures connected
        {21 + 36 + 11, 0.5, 0}, {21 + 36 + 10, 87965, 20000},   // ZEN slot 5's level: the place falls back whole
    };
    for (auto [at, bad, good] : damage) damaged[at] = bad, repaired[at] = good;
    // ARCADE slot 1's score: the default place (60000, 0) stands in and the table is sorted again.
    damaged[21 + 12 + 2] = -5;
    for (int s = 1; s < 6; ++s)
        repaired[21 + 12 + 2 * s] = s < 5 ? 90000 - 7 * (s + 1) : 60000, repaired[22 + 12 + 2 * s] = s < 5 ? 11 - s : 0;
    struct Case { const char* what; Bytes ach, dat; std::vector<double> after; } cases[] = {
        {"a first start", {}, {}, DefaultSettings()},
        {"a record one byte short", Bytes(custom.begin(), custom.end() - 1), {}, DefaultSettings()},
        {"a whole record", custom, {}, CustomSettings()},
        {"a legacy file of another layout", custom, otherLegacy, CustomSettings()},
        {"a legacy file of another layout alone", {}, otherLegacy, DefaultSettings()},
        {"a legacy file without the quality byte", custom, LegacyFile(229, 1), LegacySettings(false)},
        {"a legacy file with it", custom, LegacyFile(230, 1), LegacySettings(true)},
        {"damaged values", SettingsBytes(damaged), {}, repaired},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SaveFolder folder;
        if (!c.ach.empty()) folder.Write("squibly.ach", c.ach);
        if (!c.dat.empty()) folder.Write("squibly.dat", c.dat);
        folder.Start();
        EXPECT_EQ(Values(folder.Read("squibly.ach")), c.after);
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"squibly.ach"}) << "the legacy file and temporaries are gone";
        // Start-up writes back what it loaded, so the file is the game's state; the count is kept apart.
        EXPECT_EQ(challengesCompleted, std::count(c.after.begin() + 6, c.after.begin() + 21, 100));
    }
}

// ---- The saved game, and every file damaged -----------------------------------------------

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

class Saves : public ::testing::Test {
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
            if (!SaveFolder::Play(500) || userActed != 1) exit(6);
        }));
        game = new Bytes(folder.Read("squibly.sav"));
        check = new Bytes(folder.Read("squibly.tes"));
        ASSERT_GT(game->size(), 10044u);
        ASSERT_EQ(check->size(), 8u);
    }

    // Every file good except `name`, which holds `bytes`; then the start.
    void StartWith(const std::string& name = "", const Bytes& bytes = {}, const char* mode = nullptr) {
        folder.Write("squibly.ach", *settings);
        folder.Write("squibly.rat", rating);
        folder.Write("squibly.sav", *game);
        folder.Write("squibly.tes", *check);
        std::filesystem::remove(folder.Path("squibly.dat"));
        if (!name.empty()) folder.Write(name, bytes);
        folder.Start(mode);
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

Bytes *Saves::legacy, *Saves::settings, *Saves::game, *Saves::check;

TEST_F(Saves, SavedResumedAndSavedAgainGivesTheSameRecordAndIsResumedOnce) {
    const Bytes& first = *game;
    EXPECT_EQ(ValueAt(first, 0), ValueAt(first, first.size() - 8));   // the nonce at both ends
    EXPECT_EQ(std::make_pair(Values(first)[2], Values(first)[3]), std::make_pair(7.0, 7.0));   // screen and phase
    EXPECT_EQ(Values(*check), std::vector<double>{60});
    StartWith("", {}, "zen");
    EXPECT_EQ(std::make_pair(musicActive, gameMode), std::make_pair(1.0f, 1.0f));   // the interrupted game, not the switch's
    EXPECT_FALSE(folder.Has("squibly.tes"));
    // Paused before a single tick has run: the same state is written again, between new nonces.
    SaveFolder::PauseAndResume();
    Bytes again = folder.Read("squibly.sav");
    ASSERT_EQ(again.size(), first.size());
    EXPECT_TRUE(std::equal(first.begin() + 8, first.end() - 8, again.begin() + 8));
    // The resume took the check value: a start without another save in between (the game was
    // killed) is a fresh one.
    folder.Start(nullptr);
    EXPECT_EQ(musicActive, 0);
    EXPECT_EQ(phase, 0);
    EXPECT_TRUE(folder.Has("squibly.sav"));   // left for the next save to replace
}

// Only a whole record of a game in play, with a check value past its first second, is resumed;
// anything else starts afresh on the menu and plays on.
TEST_F(Saves, TheCheckValueAndEveryFieldDecideWhetherTheRecordIsResumed) {
    const Bytes &record = *game, &tes = *check;
    // Where the field "boardPhase" lies: after the nonce, and a text takes its length's bytes.
    size_t at = 8;
    for (const SavedField& f : SavedGameFields()) {
        if (f.name == "boardPhase") break;
        at += f.count == 0 ? 8 + static_cast<size_t>(ValueAt(record, at)) : 8 * static_cast<size_t>(f.count);
    }
    auto check = [](double v) { return [v](Bytes&, Bytes& t) { PutValueAt(t, 0, v); }; };
    auto field = [](size_t offset, double v) { return [offset, v](Bytes& b, Bytes&) { PutValueAt(b, offset, v); }; };
    struct Case { const char* what; std::function<void(Bytes&, Bytes&)> damage; bool resumed; } cases[] = {
        {"as saved", [](Bytes&, Bytes&) {}, true},
        {"check 57", check(57), true},
        {"check 56: the first second", check(56), false},
        {"check -1", check(-1), false},
        {"check NaN", check(NAN), false},
        {"last 8 bytes cut", [](Bytes& b, Bytes&) { b.resize(b.size() - 8); }, false},
        {"one byte cut", [](Bytes& b, Bytes&) { b.pop_back(); }, false},
        {"a byte more", [](Bytes& b, Bytes&) { b.insert(b.end() - 8, 0); }, false},
        {"boardPhase 7", field(at, 7), false},
        {"boardPhase NaN", field(at, NAN), false},
        {"phase 6 runs nothing", field(3 * 8, 6), false},
        {"phase 99: a quit", field(3 * 8, 99), false},
        {"menu choice 7: the quit item", field(4 * 8, 7), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes damaged = record, check = tes;
        c.damage(damaged, check);
        folder.Write("squibly.sav", damaged);
        folder.Write("squibly.tes", check);
        folder.Start(nullptr);
        EXPECT_EQ(musicActive, c.resumed ? 1 : 0);
        if (c.resumed) {
            EXPECT_EQ(ValueAt(record, at), boardPhase) << "the field was found where the game read it";
        } else {
            EXPECT_EQ(std::make_tuple(phase, screen, mainMenuChoice), std::make_tuple(0.0f, 1.0f, 0.0f));
        }
        EXPECT_FALSE(folder.Has("squibly.tes"));
        EXPECT_EQ(SavedGameResumeFault(), "");
        EXPECT_TRUE(SaveFolder::Play(60));
    }
}

// A settings save inside a tick fails and its error screen waits; the window loses the focus
// meanwhile. The pause saves without waiting, but the game is caught half-way through a tick:
// the marker replaces it, and the next start is a fresh one.
TEST_F(Saves, ASaveCaughtInsideATickLeavesTheMarkerAndTheNextStartIsFresh) {
    StartWith();
    ASSERT_EQ(musicActive, 1);
    ASSERT_TRUE(SaveFolder::Play(5));
    // The next settings write fails: its temporary file is the full device.
    std::filesystem::create_symlink("/dev/full", folder.Path("squibly.ach.tmp"));
    Bytes settings = folder.Read("squibly.ach");
    gameMode = 1;
    phase = 14;   // a scored game returns to the menu and saves the settings
    uint64_t frames = NullPlatform::FramesPresented();
    NullPlatform::PushActive(false, Platform::APP_INPUTFOCUS | Platform::APP_ACTIVE);
    NullPlatform::PushActive(true, Platform::APP_INPUTFOCUS | Platform::APP_ACTIVE);
    // A player who keeps tapping the screen, a tap every few polls of the event queue.
    NullPlatform::SetIdleHook([] {
        static int polls = 0;
        if (++polls % 5 == 0) NullPlatform::PushPointerButton(100, 100, polls % 10 == 5);
    });
    tickInputHook = nullptr;
    ASSERT_TRUE(RunFrame());
    NullPlatform::SetIdleHook(nullptr);
    EXPECT_GE(NullPlatform::FramesPresented() - frames, 3u);   // the screen's two frames, then the game's
    EXPECT_EQ(phase, 0);
    // The old settings stand, the torn game does not.
    EXPECT_EQ(folder.Read("squibly.ach"), settings);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"badsquib.dat", "squibly.ach", "squibly.rat"}));
    folder.Start(nullptr);
    EXPECT_FALSE(folder.Has("badsquib.dat"));
    EXPECT_EQ(musicActive, 0);
}

// Small files cut at every length and flipped at every byte (the rating state at every bit);
// the saved game cut near either end, where the nonces and the head lie, and at a sample of
// lengths between, and flipped at a sample of bits.
TEST_F(Saves, EveryFileCutOrFlippedStartsSoundAndLosesNoUndamagedScore) {
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
