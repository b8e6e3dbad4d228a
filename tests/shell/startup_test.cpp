// Start-up on the headless twin: display scaling, the save folder, the loading screen's fade, and
// the start-mode switch into a playable game.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/state/globals.h"
#include "game/shell/main_routine.h"
#include "game/shell/resources.h"
#include "runtime/core/files.h"
#include "runtime/graphics/draw_stats.h"
#include "runtime/graphics/graphics_device.h"
#include "tests/scratch_folder.h"
#include "tests/shell/shell_fixture.h"

namespace {

// The design area scaled by the smaller ratio (at most six), centred, and drawn into a viewport
// of whole pixels.
TEST(DisplayScaling, ScalesByTheSmallerRatioCappedAtSixCentresAndCutsTheViewportToWholePixels) {
    StartRuntimeOnce();
    DimensionPlayTables();
    phase = 6;   // nothing runs or is drawn but the frame's own work
    screen = 11;
    struct Case { int w, h, on; double scale, offX, offY; int viewX, viewW, viewH; } cases[] = {
        {320, 480, 0, 1, 0, 0, 0, 320, 480},                                                 // design size
        {3000, 4000, 1, 6, (3000 - 1920) / 2, (4000 - 2880) / 2, 540, 1920, 2880},          // capped
        {240, 320, 1, 320.0 / 480, (240 - 320 * 320.0 / 480) / 2, 0, 13, 213, 320},         // shrunk
        {768, 1024, 1, 1024.0 / 480, (768 - 320 * 1024.0 / 480) / 2, 0, 42, 682, 1024},   // the tablet, left for the rest
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.w);
        graphicsDevice->Orientation = 0;
        graphicsDevice->deviceWidth = c.w;
        graphicsDevice->deviceHeight = c.h;
        ComputeDisplayScaling();
        EXPECT_EQ(scalingOn, c.on);
        EXPECT_NEAR(scaleX, c.scale, 1e-4);
        EXPECT_EQ(scaleX, scaleY);
        EXPECT_NEAR(offsetX, c.offX, 1e-3);
        EXPECT_NEAR(offsetY, c.offY, 1e-3);
        DrawFrame();
        EXPECT_EQ(graphicsDevice->viewX, c.viewX);
        EXPECT_EQ(graphicsDevice->viewWidth, c.viewW);
        EXPECT_EQ(graphicsDevice->viewHeight, c.viewH);
    }
}

// Saves stay beside the program only where the player may write and the copy is not installed;
// otherwise they go to the application-data folder under HOME, made when first needed.
TEST(SaveFolder, BesideTheProgramOnlyWhenItsFolderIsWritableAndNotInstalled) {
    StartRuntimeOnce();
    const std::string base = MakeScratchFolder("squibly_savedir_"), program = base + "/program/";
    const std::string appData = base + "/.kortic", keptHome = getenv("HOME") ? getenv("HOME") : "/tmp";
    std::filesystem::create_directories(program);
    setenv("HOME", base.c_str(), 1);
    auto folderFor = [](const std::string& dir) { return std::string(SaveFolderBeside(dir.c_str()).c_str()); };
    EXPECT_EQ(folderFor(program), program);
    EXPECT_FALSE(std::filesystem::exists(appData)) << "made without need";
    std::ofstream(program + "installed-copy") << "installed\n";
    EXPECT_EQ(folderFor(program), appData);
    EXPECT_TRUE(std::filesystem::is_directory(appData));
    std::filesystem::remove(program + "installed-copy");
    EXPECT_EQ(folderFor(base + "/missing/"), appData);
    if (geteuid() != 0) {  // root writes anywhere; the installed-copy note covers that case
        std::filesystem::permissions(program, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
        EXPECT_EQ(folderFor(program), appData);
    }
    setenv("HOME", keptHome.c_str(), 1);
}

// The whole start-up, then frames, on a tablet-sized headless display without media: without a
// switch it opens the main menu, with one a playable game of that mode.
TEST(FullStart, WithoutASwitchItOpensTheMainMenuAndWithOneAPlayableGameOfThatMode) {
    StartRuntimeOnce();
    setenv("SQUIBLY_SEED", "99", 1);
    for (const char* mode : {"", "zen"}) {
        SCOPED_TRACE(mode);
        setenv("SQUIBLY_START_MODE", mode, 1);
        SetCurrentDir(MakeScratchFolder("squibly_shell_").c_str());
        GameStartup();
        EXPECT_EQ(std::make_pair(startupComplete, platform), std::make_pair(1.0f, 3.0f));   // 768 x 1024: a tablet
        for (int i = 0; i < 300; ++i) ASSERT_TRUE(RunFrame());
        EXPECT_EQ(phase * 10 + screen, *mode ? 77 : 11);
        if (!*mode) continue;
        EXPECT_EQ(gameMode, 4);
        for (int i = 0; i < 36; ++i) ASSERT_TRUE(creatures(i).kind >= 1 && creatures(i).kind <= 8) << i;
        EXPECT_EQ(boardPhase, 2);   // dealt, swept in and settled
    }
    unsetenv("SQUIBLY_START_MODE");
}

std::vector<FrameDrawStats> outroFrames;
void KeepFrame(const FrameDrawStats& s) { outroFrames.push_back(s); }

// The loading screen fades out over fifty frames, never brightening, its background unblended, and
// its last frame is black: a full-brightness frame there flashed before the first menu frame.
TEST(LoadingOutro, FadesToBlackWithoutAFlashAndDrawsItsBackgroundUnblended) {
    StartRuntimeOnce();
    scalingOn = 1;
    scaleX = scaleY = 2;
    offsetX = offsetY = 0;
    uint64_t frames = NullPlatform::FramesPresented();
    outroFrames.clear();
    EnableDrawStats(true);
    SetFrameDrawStatsListener(KeepFrame);
    PlayLoadingOutro();
    SetFrameDrawStatsListener(nullptr);
    EnableDrawStats(false);
    EXPECT_EQ(NullPlatform::FramesPresented(), frames + 50);
    ASSERT_EQ(outroFrames.size(), 50u);
    EXPECT_GT(outroFrames[0].peakAlpha, 0.9f);
    for (size_t i = 1; i < outroFrames.size(); ++i) {
        EXPECT_LE(outroFrames[i].peakAlpha, outroFrames[i - 1].peakAlpha) << i;
        if (i < 49) {
            EXPECT_NEAR(outroFrames[i].opaquePixels, 320 * 480 * 4, 1) << i;
        }
    }
    EXPECT_EQ(outroFrames.back().vertices, 0u);
    EXPECT_EQ(outroFrames.back().peakAlpha, 0.0f);
}

}  // namespace
