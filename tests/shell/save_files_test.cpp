// The save files byte by byte: the settings record and its defaults, the legacy layouts, and the
// saved game written, resumed and written again; each through the real start-up and frame loop
// on the headless twin.
#include <gtest/gtest.h>
#include <signal.h>

#include <cmath>

#include "game/shell/save_files.h"
#include "game/shell/saved_game_fields.h"
#include "runtime/core/lifecycle.h"
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
        // What was loaded is what was written.
        const std::vector<double>& v = c.after;
        EXPECT_EQ(musicVolume, static_cast<float>(v[0]));
        EXPECT_EQ(soundOn, v[3]);
        EXPECT_EQ(lowQuality, v[5]);
        EXPECT_EQ(challengesCompleted, std::count(v.begin() + 6, v.begin() + 21, 100));
        EXPECT_EQ(highScores(2, 3, 0), v[21 + 24 + 6]);
        EXPECT_EQ(highScores(3, 5, 1), v[21 + 36 + 11]);
        EXPECT_EQ(creaturesConnectedTotal, v[69]);
    }
}

// ---- The saved game ------------------------------------------------------------------------

void ThenQuit(const std::function<void()>& play) { EXPECT_TRUE(PlayThenQuitInChild(play)); }

class SavedGame : public ::testing::Test {
protected:
    // An ARCADE game played for a while, then the window is closed.
    void PlayAndQuit() {
        ThenQuit([this] {
            folder.Start("arcade");
            if (!SaveFolder::Play(400) || userActed != 1) exit(6);
        });
        ASSERT_TRUE(folder.Has("squibly.sav"));
    }
    SaveFolder folder;
};

TEST_F(SavedGame, SavedResumedAndSavedAgainGivesTheSameRecordAndIsResumedOnce) {
    PlayAndQuit();
    Bytes first = folder.Read("squibly.sav");
    ASSERT_GT(first.size(), 10044u);
    EXPECT_EQ(ValueAt(first, 0), ValueAt(first, first.size() - 8));   // the nonce at both ends
    EXPECT_EQ(std::make_pair(Values(first)[2], Values(first)[3]), std::make_pair(7.0, 7.0));   // screen and phase
    EXPECT_EQ(Values(folder.Read("squibly.tes")), std::vector<double>{60});
    folder.Start("zen");
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
TEST_F(SavedGame, TheCheckValueAndEveryFieldDecideWhetherTheRecordIsResumed) {
    PlayAndQuit();
    const Bytes record = folder.Read("squibly.sav"), tes = folder.Read("squibly.tes");
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

TEST_F(SavedGame, AGameQuitInItsFirstSecondOrNeverTouchedIsNotResumed) {
    PlayAndQuit();
    folder.Start(nullptr);   // resumed: the player had acted
    ASSERT_EQ(musicActive, 1);
    ThenQuit([] { SaveFolder::Play(30); });   // and is closed again within its first second
    EXPECT_LE(Values(folder.Read("squibly.tes"))[0], 56);
    folder.Start(nullptr);
    EXPECT_EQ(musicActive, 0);

    ThenQuit([this] {
        folder.Start("puzzle");
        for (int i = 0; i < 200; ++i) RunFrame();   // nobody touches it
        if (userActed != 0) exit(6);
    });
    EXPECT_EQ(Values(folder.Read("squibly.tes"))[0], 0);
    folder.Start(nullptr);
    EXPECT_EQ(musicActive, 0);
}

// A settings save inside a tick fails and its error screen waits; the window loses the focus
// meanwhile. The pause saves without waiting, but the game is caught half-way through a tick:
// the marker replaces it, and the next start is a fresh one.
TEST_F(SavedGame, ASaveCaughtInsideATickLeavesTheMarkerAndTheNextStartIsFresh) {
    PlayAndQuit();
    folder.Start(nullptr);
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
    EXPECT_EQ(folder.Read("squibly.ach"), settings);            // the old settings stand...
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"badsquib.dat", "squibly.ach"}));  // ...the torn game does not
    folder.Start(nullptr);
    EXPECT_FALSE(folder.Has("badsquib.dat"));
    EXPECT_EQ(musicActive, 0);
}

TEST_F(SavedGame, PauseAndQuitNeverWaitOnAFailedSave) {
    folder.Start("arcade");
    ASSERT_TRUE(SaveFolder::Play(300));
    Bytes settings = folder.Read("squibly.ach");
    // Both writes fail; no tap will ever come, so a wait would never end (the alarm ends it).
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            alarm(20);
            std::filesystem::create_symlink("/dev/full", folder.Path("squibly.ach.tmp"));
            std::filesystem::create_symlink("/dev/full", folder.Path("squibly.sav.tmp"));
            SaveFolder::PauseAndResume();
            std::filesystem::create_symlink("/dev/full", folder.Path("squibly.ach.tmp"));
            NullPlatform::PushQuit();
            SaveFolder::Play(3);
            exit(5);
        },
        ::testing::ExitedWithCode(0),
        "can't save settings: .*squibly.ach: No space left on device(.|\n)*"
        "can't save the game: .*squibly.sav: No space left on device(.|\n)*"
        "can't save settings: .*squibly.ach: No space left on device");
    EXPECT_EQ(folder.Read("squibly.ach"), settings);
}

}  // namespace
