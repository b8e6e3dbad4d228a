// The save files byte by byte: the settings record and its defaults, the legacy layouts, the
// rating bytes, and the saved game written, resumed and written again; each through the real
// start-up and frame loop on the headless twin.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <cmath>

#include "game/shell/save_files.h"
#include "game/shell/saved_game_fields.h"
#include "runtime/core/lifecycle.h"
#include "tests/shell/save_fixture.h"

namespace {

TEST(SettingsFile, AFirstStartWritesTheDefaultRecord) {
    SaveFolder folder;
    folder.Start();
    Bytes bytes = folder.Read("squibly.ach");
    ASSERT_EQ(bytes.size(), 560u);
    std::vector<double> v = Values(bytes);
    EXPECT_EQ(static_cast<float>(v[0]), 0.6f);
    EXPECT_EQ(v[3], 1);
    EXPECT_EQ(v[4], 1);
    EXPECT_EQ(v[5], 0);
    for (int i = 6; i < 21; ++i) EXPECT_EQ(v[i], 0) << "value " << i + 1;
    EXPECT_EQ(v[21], 24000);
    EXPECT_EQ(v, DefaultSettings());
    // Nothing else, and no temporary file left behind.
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder.Path(""))) names.push_back(e.path().filename());
    EXPECT_EQ(names, std::vector<std::string>{"squibly.ach"});
}

TEST(SettingsFile, AShortRecordGivesTheDefaultsAndIsReplacedAWholeOneIsKeptExactly) {
    SaveFolder folder;
    Bytes custom = SettingsBytes(CustomSettings());
    folder.Write("squibly.ach", Bytes(custom.begin(), custom.end() - 1));   // 559 bytes
    folder.Start();
    EXPECT_EQ(Values(folder.Read("squibly.ach")), DefaultSettings());
    EXPECT_EQ(highScores(1, 0, 0), 72000);

    folder.Write("squibly.ach", custom);
    folder.Start();
    EXPECT_EQ(folder.Read("squibly.ach"), custom);   // read and written again unchanged
    EXPECT_EQ(musicVolume, 0.25f);
    EXPECT_EQ(soundOn, 0);
    EXPECT_EQ(lowQuality, 1);
    EXPECT_EQ(challengesCompleted, 5);
    EXPECT_EQ(highScores(3, 5, 0), 88000 - 35);
    EXPECT_EQ(highScores(3, 5, 1), 7);
    EXPECT_EQ(creaturesConnectedTotal, 5123);
}

TEST(SettingsFile, EachDamagedValueFallsBackAloneAndTheScoresStayInOrder) {
    SaveFolder folder;
    std::vector<double> v = CustomSettings();
    v[0] = NAN;           // music volume
    v[2] = 1.5;           // speech volume
    v[3] = 1;             // sound on ...
    v[4] = 3;             // ... so a muted-music mark cannot be
    v[6] = 0;             // SKILLED LEVELING incomplete: its MASTER's 40 cannot be
    v[9] = 150;           // SKILLED SURVIVAL beyond 100
    v[21 + 12 + 2] = -5;  // ARCADE slot 1 score
    v[21 + 36 + 11] = 0.5;  // ZEN slot 5 level
    v[69] = INFINITY;
    folder.Write("squibly.ach", SettingsBytes(v));
    folder.Start();
    EXPECT_EQ(musicVolume, 0.6f);
    EXPECT_EQ(soundVolume, 0.5f);
    EXPECT_EQ(speechVolume, 1);
    EXPECT_EQ(musicOn, 1);
    EXPECT_EQ(challengeProgress(0), 0);
    EXPECT_EQ(challengeProgress(1), 0);
    EXPECT_EQ(challengeProgress(3), 0);
    EXPECT_EQ(challengeProgress(6), 100);   // untouched neighbours keep their values
    EXPECT_EQ(challengeProgress(7), 40);
    // ARCADE: the default of slot 1 (60000) stands in and the table is sorted again.
    const float arcade[6] = {90000 - 0, 90000 - 14, 90000 - 21, 90000 - 28, 90000 - 35, 60000};
    for (int s = 0; s < 6; ++s) EXPECT_EQ(highScores(1, s, 0), arcade[s]) << s;
    EXPECT_EQ(highScores(1, 5, 1), 0);
    EXPECT_EQ(highScores(3, 5, 0), 20000);   // ZEN slot 5 fell back whole
    EXPECT_EQ(highScores(0, 2, 0), 91000 - 14);
    EXPECT_EQ(creaturesConnectedTotal, 0);
}

TEST(SettingsFile, BothLegacyLayoutsAreDecodedWrittenAnewAndDeleted) {
    SaveFolder folder;
    folder.Start();   // fills the key table
    for (int length : {229, 230}) {
        SCOPED_TRACE(length);
        folder.Write("squibly.dat", LegacyFile(length, 1));
        folder.Write("squibly.ach", SettingsBytes(CustomSettings()));   // the legacy file wins
        folder.Start();
        EXPECT_FALSE(folder.Has("squibly.dat"));
        EXPECT_EQ(musicVolume, 0.3f);
        EXPECT_EQ(soundVolume, 0.8f);
        EXPECT_EQ(soundOn, 1);
        EXPECT_EQ(musicOn, 0);
        EXPECT_EQ(lowQuality, length == 230 ? 1 : 0);   // 229 carries none: start-up's 0 stays
        EXPECT_EQ(challengesCompleted, 3);
        EXPECT_EQ(highScores(2, 3, 0), 50197);
        EXPECT_EQ(highScores(2, 3, 1), 4);
        EXPECT_EQ(creaturesConnectedTotal, 777);
        std::vector<double> written = Values(folder.Read("squibly.ach"));
        ASSERT_EQ(written.size(), 70u);
        EXPECT_EQ(written[21 + 24 + 6], 50197);
    }
}

TEST(SettingsFile, ALegacyFileOfAnotherLayoutNeitherWinsNorWipesTheScores) {
    SaveFolder folder;
    folder.Start();
    Bytes legacy = LegacyFile(230, 0);
    legacy[0] = 231;
    folder.Write("squibly.dat", legacy);
    Bytes custom = SettingsBytes(CustomSettings());
    folder.Write("squibly.ach", custom);
    folder.Start();
    EXPECT_FALSE(folder.Has("squibly.dat"));
    EXPECT_EQ(folder.Read("squibly.ach"), custom);
    // Without a settings file it gives the defaults.
    folder.Write("squibly.dat", legacy);
    folder.Remove("squibly.ach");
    folder.Start();
    EXPECT_FALSE(folder.Has("squibly.dat"));
    EXPECT_EQ(Values(folder.Read("squibly.ach")), DefaultSettings());
}

TEST(RatingFile, ThreeBytesWithTheCountHeldAtItsLastValue) {
    SaveFolder folder;
    folder.Start();
    EXPECT_FALSE(folder.Has("squibly.rat"));
    EXPECT_EQ(gamesPlayed, 0);
    gamesPlayed = 7;
    hasRated = 1;
    rateDeclines = 2;
    SaveRatingState();
    EXPECT_EQ(folder.Read("squibly.rat"), (Bytes{7, 1, 2}));
    gamesPlayed = hasRated = rateDeclines = 0;
    LoadRatingState();
    EXPECT_EQ(gamesPlayed, 7);
    EXPECT_EQ(hasRated, 1);
    EXPECT_EQ(rateDeclines, 2);
    gamesPlayed = 300;
    SaveRatingState();
    EXPECT_EQ(folder.Read("squibly.rat"), (Bytes{255, 1, 2}));
    // Answers out of range fall back one by one; two bytes are no record (nothing counted yet).
    folder.Write("squibly.rat", Bytes{9, 4, 3});
    LoadRatingState();
    EXPECT_EQ(gamesPlayed, 9);
    EXPECT_EQ(hasRated, 0);
    EXPECT_EQ(rateDeclines, 0);
    folder.Write("squibly.rat", Bytes{20, 1, 1});
    LoadRatingState();
    folder.Write("squibly.rat", Bytes{20, 1});
    LoadRatingState();
    EXPECT_EQ(gamesPlayed, 0);
    EXPECT_EQ(hasRated, 0);
}

// ---- The saved game ------------------------------------------------------------------------

// A record's body: the bytes between its two nonces.
Bytes Body(const Bytes& record) { return Bytes(record.begin() + 8, record.end() - 8); }

void ThenQuit(const std::function<void()>& play) { EXPECT_TRUE(PlayThenQuitInChild(play)); }

class SavedGame : public ::testing::Test {
protected:
    // An ARCADE game played for a while, then the window is closed.
    void PlayAndQuit(int frames = 400) {
        ThenQuit([this, frames] {
            folder.Start("arcade");
            if (!SaveFolder::Play(frames) || userActed != 1) exit(6);
        });
        ASSERT_TRUE(folder.Has("squibly.sav"));
    }
    SaveFolder folder;
};

TEST_F(SavedGame, SavedResumedAndSavedAgainGivesTheSameRecord) {
    PlayAndQuit();
    Bytes first = folder.Read("squibly.sav");
    ASSERT_GT(first.size(), 10044u);
    EXPECT_EQ(ValueAt(first, 0), ValueAt(first, first.size() - 8));   // the nonce at both ends
    std::vector<double> v = Values(first);
    EXPECT_EQ(v[2], 7);   // screen
    EXPECT_EQ(v[3], 7);   // phase
    EXPECT_EQ(Values(folder.Read("squibly.tes")), std::vector<double>{60});
    folder.Start("zen");
    EXPECT_EQ(musicActive, 1);
    EXPECT_EQ(gameMode, 1);   // the interrupted game, not the switch's
    EXPECT_FALSE(folder.Has("squibly.tes"));
    // Paused before a single tick has run: the same state is written again.
    SaveFolder::PauseAndResume();
    Bytes again = folder.Read("squibly.sav");
    ASSERT_EQ(again.size(), first.size());
    EXPECT_TRUE(Body(again) == Body(first));
    // Resumed at most once per save: the resume took the check value, and a start without
    // another save in between (the game was killed) is a fresh one.
    folder.Start(nullptr);
    EXPECT_EQ(musicActive, 0);
    EXPECT_EQ(phase, 0);
    EXPECT_TRUE(folder.Has("squibly.sav"));   // left for the next save to replace
}

TEST_F(SavedGame, TheCheckValueDecides) {
    PlayAndQuit();
    Bytes record = folder.Read("squibly.sav");
    struct Case { double check; bool resumed; } cases[] = {{56, false}, {57, true}, {-1, false}, {NAN, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.check);
        folder.Write("squibly.sav", record);
        Bytes tes(8);
        PutValue(tes, 0, c.check);
        folder.Write("squibly.tes", tes);
        folder.Start(nullptr);
        EXPECT_EQ(musicActive, c.resumed ? 1 : 0);
        EXPECT_FALSE(folder.Has("squibly.tes"));
    }
    // A short check file is no check value at all.
    folder.Write("squibly.tes", Bytes{0, 0, 0, 0});
    folder.Start(nullptr);
    EXPECT_EQ(musicActive, 0);
}

TEST_F(SavedGame, AGameQuitInItsFirstSecondOrNeverTouchedIsNotResumed) {
    PlayAndQuit();
    folder.Start(nullptr);   // resumed: the player had acted
    ASSERT_EQ(musicActive, 1);
    ASSERT_EQ(userActed, 1);
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

TEST_F(SavedGame, ARecordCutShortOrWithADamagedFieldIsNotResumedAndChangesNothing) {
    PlayAndQuit();
    Bytes record = folder.Read("squibly.sav");
    Bytes tes = folder.Read("squibly.tes");
    // Where the field "boardPhase" lies: after the nonce, and a text takes its length's bytes.
    size_t at = 8;
    for (const SavedField& f : SavedGameFields()) {
        if (f.name == "boardPhase") break;
        at += f.count == 0 ? 8 + static_cast<size_t>(ValueAt(record, at)) : 8 * static_cast<size_t>(f.count);
    }
    struct Case { const char* what; std::function<void(Bytes&)> damage; } cases[] = {
        {"last 8 bytes cut", [](Bytes& b) { b.resize(b.size() - 8); }},
        {"one byte cut", [](Bytes& b) { b.pop_back(); }},
        {"boardPhase 7", [at](Bytes& b) { PutValueAt(b, at, 7); }},
        {"boardPhase NaN", [at](Bytes& b) { PutValueAt(b, at, NAN); }},
        {"phase 6 runs nothing", [](Bytes& b) { PutValue(b, 3, 6); }},
        {"a byte more", [](Bytes& b) { b.insert(b.end() - 8, 0); }},
    };
    folder.Start(nullptr);
    ASSERT_EQ(musicActive, 1);
    ASSERT_EQ(ValueAt(record, at), boardPhase);   // found where the resumed game read it
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes damaged = record;
        c.damage(damaged);
        folder.Write("squibly.sav", damaged);
        folder.Write("squibly.tes", tes);
        folder.Start(nullptr);
        EXPECT_EQ(musicActive, 0);
        EXPECT_EQ(phase, 0);
        EXPECT_EQ(screen, 1);
        EXPECT_EQ(SavedGameResumeFault(), "");
        EXPECT_TRUE(SaveFolder::Play(60));
    }
}

// A quit from the menu (the menu flow tests tap it) leaves phase 99 in the record; a record
// whose menu choice is the quit item is refused the same way.
TEST_F(SavedGame, ARecordOfAQuitIsNotResumed) {
    PlayAndQuit();
    Bytes record = folder.Read("squibly.sav");
    Bytes tes = folder.Read("squibly.tes");
    for (size_t at : {3, 4}) {   // phase 99, or menu choice 7
        Bytes quitting = record;
        PutValue(quitting, at, at == 3 ? 99 : 7);
        folder.Write("squibly.sav", quitting);
        folder.Write("squibly.tes", tes);
        folder.Start(nullptr);
        EXPECT_EQ(musicActive, 0);
        EXPECT_EQ(phase, 0);
        EXPECT_EQ(screen, 1);
        EXPECT_EQ(mainMenuChoice, 0);
        EXPECT_FALSE(folder.Has("squibly.tes"));
    }
}

// A player who keeps tapping the screen, a tap every few polls of the event queue.
void KeepsTapping() {
    static int polls = 0;
    ++polls;
    if (polls % 10 == 5) NullPlatform::PushPointerButton(100, 100, true);
    if (polls % 10 == 0) NullPlatform::PushPointerButton(100, 100, false);
}

// A settings save inside a tick fails and its error screen waits; the window loses the focus
// meanwhile. The pause saves without waiting, but the game is caught half-way through a tick:
// the marker replaces it, and the next start is a fresh one.
TEST_F(SavedGame, ASaveCaughtInsideATickLeavesTheMarkerAndTheNextStartIsFresh) {
    PlayAndQuit();
    folder.Start(nullptr);
    ASSERT_EQ(musicActive, 1);
    ASSERT_TRUE(SaveFolder::Play(5));
    ASSERT_TRUE(folder.Has("squibly.sav"));
    // The next settings write fails: its temporary file is the full device.
    std::filesystem::create_symlink("/dev/full", folder.Path("squibly.ach.tmp"));
    Bytes settings = folder.Read("squibly.ach");
    gameMode = 1;
    phase = 14;   // a scored game returns to the menu and saves the settings
    uint64_t frames = NullPlatform::FramesPresented();
    NullPlatform::PushActive(false, Platform::APP_INPUTFOCUS | Platform::APP_ACTIVE);
    NullPlatform::PushActive(true, Platform::APP_INPUTFOCUS | Platform::APP_ACTIVE);
    NullPlatform::SetIdleHook(KeepsTapping);
    tickInputHook = nullptr;
    ASSERT_TRUE(RunFrame());
    NullPlatform::SetIdleHook(nullptr);
    EXPECT_GE(NullPlatform::FramesPresented() - frames, 3u);   // the screen's two frames, then the game's
    EXPECT_EQ(phase, 0);
    EXPECT_EQ(folder.Read("squibly.ach"), settings);            // the old settings stand...
    EXPECT_FALSE(folder.Has("squibly.ach.tmp"));
    EXPECT_FALSE(folder.Has("squibly.sav"));                    // ...the torn game does not
    EXPECT_TRUE(folder.Has("badsquib.dat"));
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
            NullPlatform::PushActive(false, Platform::APP_INPUTFOCUS | Platform::APP_ACTIVE);
            NullPlatform::PushActive(true, Platform::APP_INPUTFOCUS | Platform::APP_ACTIVE);
            SaveFolder::Play(3);
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
