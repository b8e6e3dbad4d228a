// The flow driver: the game started as the session tool starts it, a finger fed in before every
// logic tick, and the last frame's batch decoded back into atlas items and text rows.
#include "tests/shell/flow_driver.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

#include "game/shell/main_routine.h"
#include "game/shell/menus.h"
#include "game/shell/save_files.h"
#include "game/state/globals.h"
#include "runtime/core/files.h"
#include "runtime/graphics/polygon_batch.h"
#include "runtime/graphics/sprites.h"
#include "runtime/platform/null_audio.h"
#include "runtime/platform/null_platform.h"
#include "tests/scratch_folder.h"
#include "tests/shell/shell_fixture.h"
#include "tools/session/session_bot.h"

namespace Flow {
namespace {

float fingerX = 0, fingerY = 0;
bool fingerDown = false, boardPlayer = false;

void ApplyFinger() {
    if (boardPlayer) {
        BotTouch t = BoardBotStep();
        fingerX = t.x, fingerY = t.y, fingerDown = t.button != 0;
    }
    NullPlatform::SetPointer(static_cast<int>(fingerX * scaleX + offsetX), static_cast<int>(fingerY * scaleY + offsetY),
                             fingerDown ? 1u : 0u);
}

struct DrawnQuad {
    int item, frame;
    float x, y;   // design units
    int u, v;     // the first texel
};

// The atlas item and frame whose rectangle starts at a quad's first texel.
std::vector<DrawnQuad> FrameQuads() {
    std::vector<DrawnQuad> out;
    const std::vector<BatchVertex>& vs = LastBatchVertices();
    const SpriteRecord* atlas = GetSprite(3);
    if (!atlas || atlas->paddedWidth <= 0) return out;
    static std::map<std::pair<int, int>, std::pair<int, int>> byTexel;
    for (int i = byTexel.empty() ? 0 : 122; i < 122; ++i)
        for (int f = 0; f < 48; ++f)
            if (glyphTable(i, f, 2) > 0) byTexel[{glyphTable(i, f, 0), glyphTable(i, f, 1)}] = {i, f};
    float sx = scalingOn != 0 ? scaleX : 1, sy = scalingOn != 0 ? scaleY : 1;
    for (size_t q = 0; q + 6 <= vs.size(); q += 6) {
        int u = static_cast<int>(std::lround(vs[q].s * atlas->paddedWidth));
        int t = static_cast<int>(std::lround(atlas->imageHeight - vs[q].t * atlas->paddedHeight));
        auto it = byTexel.find({u, t});
        if (it != byTexel.end()) out.push_back({it->second.first, it->second.second, vs[q].x / sx, vs[q].y / sy, u, t});
    }
    return out;
}

}  // namespace

void StartFresh() {
    static bool started = false;
    if (!started) {
        started = true;
        setenv("SQUIBLY_SEED", "5", 0);
        unsetenv("SQUIBLY_START_MODE");
        // The rating prompt's browser: a program that does nothing.
        setenv("SQUIBLY_BROWSER", "true", 1);
        StartRuntimeOnce();
        // A scratch game folder whose Media is the build's.
        std::string folder = MakeScratchFolder("squibly-flow-");
        ASSERT_NE(folder, "");
        ASSERT_EQ(symlink(SQUIBLY_MEDIA_DIR, (folder + "/Media").c_str()), 0);
        SetCurrentDir(folder.c_str());
        GameStartup();
        tickInputHook = ApplyFinger;
    }
    // What a first start gives: default settings, tables and progress, the menu just entered.
    ResetProgress(1);
    gamesPlayed = hasRated = rateDeclines = 0;
    screen = 1;
    gameMode = 1;
    phase = menuStage = menuAlpha = fieldActive = overlayState = resetConfirmOpen = 0;
    fingerDown = boardPlayer = false;
    Ticks(1);
    ClearSounds();
}

void Ticks(int n) {
    for (long long target = logicTickCount + n; logicTickCount < target;) RunFrame();
}

void BoardPlayer(bool on) {
    boardPlayer = on;
    fingerDown = fingerDown && on;
}

void Down(float x, float y) { fingerX = x, fingerY = y, fingerDown = true; }
void Up() { fingerDown = false; }

void Tap(float x, float y, int hold) {
    Down(x, y);
    Ticks(hold);
    Up();
    Ticks(1);
}

bool Until(const std::function<bool()>& done, int limit) {
    for (long long end = logicTickCount + limit; logicTickCount < end && !done();) RunFrame();
    return done();
}

bool UntilShown(float target, int limit) {
    return Until([&] {
        if (screen != target) return false;
        if (target == 1) return mainMenuStage == 2;
        return target >= 7 && target <= 9 ? true : menuStage == 2;
    }, limit);
}

bool Shows(const std::string& text) {
    // The small font's rows, left to right, a space for each empty step of 13 units.
    std::map<int, std::vector<std::pair<float, int>>> rows;   // by y: (x, frame)
    for (const DrawnQuad& q : FrameQuads())
        if (q.item == 86) rows[static_cast<int>(std::lround(q.y))].push_back({q.x, q.frame});
    for (auto& [y, glyphs] : rows) {
        std::sort(glyphs.begin(), glyphs.end());
        std::string row;
        for (size_t i = 0; i < glyphs.size(); ++i) {
            long gap = i > 0 ? std::lround((glyphs[i].first - glyphs[i - 1].first) / 13) - 1 : 0;
            row.append(static_cast<size_t>(std::max(0L, gap)), ' ');
            row += static_cast<char>(48 + glyphs[i].second);
        }
        if (row.find(text) != std::string::npos) return true;
    }
    return false;
}

// The menus' and the tutorial's own pictures share texels in their two atlases, so a quad belongs to
// an item when it starts at one of its rectangles, whichever item the texel names first.
int QuadsOf(int item) {
    int n = 0;
    for (const DrawnQuad& q : FrameQuads())
        for (int f = 0; f < 48 && glyphTable(item, f, 2) > 0; ++f)
            if (glyphTable(item, f, 0) == q.u && glyphTable(item, f, 1) == q.v) {
                ++n;
                break;
            }
    return n;
}

int Played(const std::string& file) {
    int n = 0;
    for (const NullAudio::PlayRecord& p : NullAudio::Plays())
        n += p.path.size() >= file.size() && p.path.compare(p.path.size() - file.size(), file.size(), file) == 0;
    return n;
}

void ClearSounds() { NullAudio::ClearPlays(); }

void TapMainMenu(int button) { Tap(160, 158 + 48 * button); }

void TapModeTile(float mode) { Tap(160, mode == 3 ? 100 : mode == 1 ? 200 : mode == 2 ? 295 : 390); }

void TapBackBar() { Tap(160, 462); }

bool StartGameFromMenu(float mode) {
    if (!UntilShown(1)) return false;
    TapMainMenu(0);
    if (!UntilShown(2)) return false;
    TapModeTile(mode);
    return Until([&] { return screen == 7 && gameMode == mode && runState == 2 && bannerKind == 0; }, 1200);
}

bool QuitGameToMenu(const std::string& results) {
    Ticks(12);   // the strip's buttons wait out their cooldown
    Tap(75, 455);
    if (screen != 9) return false;
    Tap(280, 305);
    // GAME OVER at once, the board locked and the overlay gone.
    if (bannerKind != 5 || boardLock != 3 || overlayState != 0) return false;
    if (!Until([] { return screen == 6 && menuStage == 2 && inputCooldown == 0; }, 1500)) return false;
    if (!results.empty() && !Shows(results)) return false;
    Tap(160, 300);
    return UntilShown(1);
}

}  // namespace Flow
