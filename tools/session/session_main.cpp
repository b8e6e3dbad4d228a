// squibly_session: runs the real game on the headless twin from a tick script and reports the
// state at chosen ticks. Usage:
//   squibly_session SCRIPT [--out FILE] [--dir GAME_DIR] [--display WxH] [--mode NAME] [--seed N]
//                   [--ticks N] [--every N] [--bot] [--check] [--state] [--first-tick N]
//                   [--games N] [--longest N] [--pause-every N] [--rss-every N]
// --bot plays by itself instead of the script's touches, menus and all, and lists each game it
// finishes; --check tests the board after every tick, every 60 ticks that the state, saved
// then, would be resumed (and, with --bot, that no screen is left without a touch for a minute)
// and stops with status 3 at the first fault. --state adds the fingerprint of the whole
// saved-game record to every report. --first-tick N counts ticks from N: a session that goes on
// with a game saved by another after N ticks then reads the same script lines at the same ticks.
// With --bot: --mode keeps the bot to that mode; --games N ends the session after N finished
// games; --longest N lets an ARCADE game run N ticks before the bot leaves it. --pause-every N
// takes the focus away and back every N ticks (the game saves and reloads); --rss-every N
// prints the process's resident memory every N ticks.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/state/globals.h"
#include "game/shell/main_routine.h"
#include "game/shell/saved_game_fields.h"
#include "runtime/core/device_services.h"
#include "runtime/core/entry.h"
#include "runtime/core/error_state.h"
#include "runtime/core/files.h"
#include "runtime/core/lifecycle.h"
#include "runtime/platform/null_audio.h"
#include "runtime/platform/null_platform.h"
#include "tools/session/session_bot.h"
#include "tools/session/session_report.h"
#include "tools/session/session_script.h"

namespace {

SessionScript script;
FILE* reportFile = stdout;
long long every = 0;
size_t nextReport = 0;
long long lastReported = -1;
bool bot = false;
bool check = false;
size_t gamesListed = 0;
bool stateLine = false;
long long pauseEvery = 0, rssEvery = 0, pausesPushed = 0;
size_t gamesLimit = 0;

const char* ModeName(float mode) {
    return mode == 1 ? "ARCADE" : mode == 2 ? "PUZZLE" : mode == 3 ? "TIME_TRIAL" : mode == 4 ? "ZEN" : "?";
}

void ListFinishedGames() {
    const std::vector<BotGame>& games = BotGames();
    for (; gamesListed < games.size(); ++gamesListed) {
        const BotGame& g = games[gamesListed];
        const PowerCounts& p = g.powers;
        fprintf(reportFile,
                "game %zu %s score %g level %g rank %g new_high %g at tick %lld length %g challenges %g+%g "
                "hatched %lld %lld %lld %lld %lld %lld used %lld %lld %lld %lld %lld %lld%s\n",
                gamesListed + 1, ModeName(g.mode), g.score, g.level, g.rank, g.newHighScore, g.tick, g.playTicks,
                g.challenges - g.challengesGained, g.challengesGained, p.hatched[0], p.hatched[1], p.hatched[2],
                p.hatched[3], p.hatched[4], p.hatched[5], p.used[0], p.used[1], p.used[2], p.used[3], p.used[4],
                p.used[5], g.left == 1 ? " left long" : g.left == 2 ? " left stuck" : "");
    }
}


void Report(long long tick) {
    if (tick == lastReported) return;
    lastReported = tick;
    std::string text = SessionReport(tick);
    if (stateLine) {
        char line[64];
        snprintf(line, sizeof line, "  state %016llx\n",
                 static_cast<unsigned long long>(SavedRecordFingerprint(CaptureSavedGame())));
        text += line;
    }
    fputs(text.c_str(), reportFile);
    fflush(reportFile);
}

void Fail(long long tick, const std::string& fault) {
    Report(tick);
    fprintf(reportFile, "CHECK FAILED after %lld ticks: %s\n", tick, fault.c_str());
    fprintf(stderr, "CHECK FAILED after %lld ticks: %s\n", tick, fault.c_str());
    fflush(reportFile);
    std::exit(3);
}

std::string CheckTick(long long tick) {
    std::string fault = CheckBoard(tick);
    if (fault.empty() && tick % 60 == 0) {
        std::string why = SavedGameResumeFault();
        if (!why.empty()) fault = "saved now, the game would not be resumed: " + why;
    }
    return fault;
}

// Resident memory of this process in kB, as the kernel counts it.
long ResidentKilobytes() {
    FILE* status = fopen("/proc/self/status", "r");
    if (!status) return -1;
    char line[256];
    long kb = -1;
    while (fgets(line, sizeof line, status)) {
        if (strncmp(line, "VmRSS:", 6) == 0) kb = std::atol(line + 6);
    }
    fclose(status);
    return kb;
}

// A quit ends the program inside a frame; the tick count it ended at is printed on the way out.
void PrintEnd() { printf("session ended after %lld ticks\n", logicTickCount); }

// Without --dir a session runs in a scratch folder of its own beside the build's Media, so no
// game saved by an earlier session (or by the game in the build folder) is resumed.
std::string scratchFolder;

void RemoveScratchFolder() {
    if (scratchFolder.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(scratchFolder, ignored);
}

std::string MakeScratchFolder() {
    std::string pattern = "/tmp/squibly-session-XXXXXX";
    if (!mkdtemp(pattern.data())) return SQUIBLY_GAME_DIR;
    scratchFolder = pattern;
    std::error_code ignored;
    std::filesystem::create_directory_symlink(std::string(SQUIBLY_GAME_DIR) + "/Media", scratchFolder + "/Media", ignored);
    return scratchFolder;
}

// Runs before each logic tick: reports the state reached so far, then sets the pointer the
// script holds for the tick about to run.
void BeforeTick() {
    long long tick = logicTickCount;
    bool due = every > 0 && tick > 0 && tick % every == 0;
    while (nextReport < script.reports.size() && script.reports[nextReport] <= tick) {
        if (script.reports[nextReport] == tick) due = true;
        ++nextReport;
    }
    if (tick == script.lastTick) due = true;
    if (due) Report(tick);
    if (check && tick > 0) {
        std::string fault = CheckTick(tick);
        if (!fault.empty()) Fail(tick, fault);
    }
    // The headless sound device keeps a record of every sound played, for tests; nothing here
    // reads it, and over a long session it would grow without end.
    if (tick % 3600 == 0) NullAudio::ClearPlays();
    if (rssEvery > 0 && tick > 0 && tick % rssEvery == 0) {
        fprintf(reportFile, "rss tick %lld kB %ld games %zu\n", tick, ResidentKilobytes(), BotGames().size());
        fflush(reportFile);
    }
    bool pauseNow = pauseEvery > 0 && tick > 0 && tick % pauseEvery == 0;
    for (long long at : script.pauses) pauseNow = pauseNow || at == tick;
    if (pauseNow) {
        ++pausesPushed;
        // The window loses the focus and gets it back: the game saves, pauses, resumes and
        // reloads what it saved.
        NullPlatform::PushActive(false, Platform::APP_INPUTFOCUS | Platform::APP_ACTIVE);
        NullPlatform::PushActive(true, Platform::APP_INPUTFOCUS | Platform::APP_ACTIVE);
    }
    if (tick == script.quitAt) NullPlatform::PushQuit();
    ScriptTouch touch = TouchAt(script, tick);
    if (bot) {
        WatchPowers();
        BotTouch b = BotStep(tick);
        touch.x = b.x;
        touch.y = b.y;
        touch.button = b.button;
        ListFinishedGames();
        if (check) {
            std::string fault = CheckProgress(tick, b.button != 0);
            if (fault.empty()) fault = CheckMoveStall(tick);
            if (!fault.empty()) Fail(tick, fault);
        }
    }
    int x = static_cast<int>(touch.x * scaleX + offsetX);
    int y = static_cast<int>(touch.y * scaleY + offsetY);
    NullPlatform::SetPointer(x, y, touch.button ? 1u : 0u);
}

// The bot's totals, at the end of the session however it ends (a quit ends it inside a frame).
bool summaryPrinted = false;
void PrintBotSummary() {
    if (!bot || summaryPrinted) return;
    summaryPrinted = true;
    ListFinishedGames();
    const std::vector<BotGame>& games = BotGames();
    int perMode[5] = {0, 0, 0, 0, 0};
    for (const BotGame& g : games) perMode[static_cast<int>(g.mode) >= 1 && g.mode <= 4 ? static_cast<int>(g.mode) : 0]++;
    fprintf(reportFile, "bot gestures %lld games %zu (ARCADE %d PUZZLE %d TIME_TRIAL %d ZEN %d)\n", BotGestures(),
            games.size(), perMode[1], perMode[2], perMode[3], perMode[4]);
    const PowerCounts& p = BotPowerCounts();
    fprintf(reportFile,
            "bot powers hatched %lld %lld %lld %lld %lld %lld used %lld %lld %lld %lld %lld %lld taps %lld "
            "pauses %lld ticks %lld\n",
            p.hatched[0], p.hatched[1], p.hatched[2], p.hatched[3], p.hatched[4], p.hatched[5], p.used[0],
            p.used[1], p.used[2], p.used[3], p.used[4], p.used[5], BotPowersTapped(), pausesPushed,
            logicTickCount);
    fflush(reportFile);
}

int Usage() {
    fprintf(stderr,
            "usage: squibly_session SCRIPT [--out FILE] [--dir GAME_DIR] [--display WxH] [--mode NAME]\n"
            "                       [--seed N] [--ticks N] [--every N] [--bot] [--check] [--state]\n"
            "                       [--first-tick N] [--games N] [--longest N] [--pause-every N]\n"
            "                       [--rss-every N]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    std::string scriptPath = argv[1];
    std::string outPath, gameDir, display, mode;
    long long seed = -1, ticks = -1, firstTick = 0;
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--bot") { bot = true; continue; }
        if (arg == "--check") { check = true; continue; }
        if (arg == "--state") { stateLine = true; continue; }
        if (i + 1 >= argc) return Usage();
        std::string value = argv[++i];
        if (arg == "--out") outPath = value;
        // Made absolute here: start-up moves into the program's folder before the game folder is entered.
        else if (arg == "--dir") gameDir = std::filesystem::absolute(value).string();
        else if (arg == "--display") display = value;
        else if (arg == "--mode") mode = value;
        else if (arg == "--seed") seed = std::atoll(value.c_str());
        else if (arg == "--ticks") ticks = std::atoll(value.c_str());
        else if (arg == "--every") every = std::atoll(value.c_str());
        else if (arg == "--first-tick") firstTick = std::atoll(value.c_str());
        else if (arg == "--games") gamesLimit = static_cast<size_t>(std::atoll(value.c_str()));
        else if (arg == "--longest") BotSetLongestGame(std::atoll(value.c_str()));
        else if (arg == "--pause-every") pauseEvery = std::atoll(value.c_str());
        else if (arg == "--rss-every") rssEvery = std::atoll(value.c_str());
        else return Usage();
    }

    std::ifstream in(scriptPath);
    if (!in) {
        fprintf(stderr, "cannot read %s\n", scriptPath.c_str());
        return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::string error;
    if (!ParseSessionScript(text.str(), script, error)) {
        fprintf(stderr, "%s: %s\n", scriptPath.c_str(), error.c_str());
        return 1;
    }
    if (!mode.empty()) script.mode = mode;
    if (seed >= 0) script.seed = seed;
    if (ticks >= 0) script.lastTick = ticks;
    else if (gamesLimit > 0 && script.lastTick == 0) script.lastTick = 1LL << 50;
    if (bot && !script.mode.empty()) {
        float only = StartModeFromText(KString(script.mode.c_str()));
        if (only >= 1 && only <= 4) BotPlayOnly(only);
    }
    if (!outPath.empty()) {
        reportFile = fopen(outPath.c_str(), "w");
        if (!reportFile) {
            fprintf(stderr, "cannot write %s\n", outPath.c_str());
            return 1;
        }
    }

    // The game reads these at start-up exactly as it does when started by hand.
    if (!script.mode.empty()) setenv("SQUIBLY_START_MODE", script.mode.c_str(), 1);
    if (script.seed >= 0) setenv("SQUIBLY_SEED", std::to_string(script.seed).c_str(), 1);
    if (!display.empty()) script.display = display;
    if (!script.display.empty()) setenv("SQUIBLY_DISPLAY", script.display.c_str(), 1);

    CommandLine() = BuildCommandLine(argc, argv);
    PDL_Init(0);
    SetCallbackTable(CALLBACK_TABLE);
    GameStartupHook();
    RuntimeInit(0, 0, ApplicationName().c_str());
    ClearErrorState();
    if (gameDir.empty()) {
        gameDir = MakeScratchFolder();
        std::atexit(RemoveScratchFolder);
    }
    if (SetCurrentDir(gameDir.c_str()) == 0) {
        fprintf(stderr, "cannot enter the game folder %s\n", gameDir.c_str());
    }

    GameStartup();
    // As a settings file with that many challenges complete would give.
    if (script.challenges >= 0) {
        challengesCompleted = 0;
        for (int i = 0; i < 15; ++i) {
            challengeProgress(i) = i < script.challenges ? 100 : 0;
            if (i < script.challenges) challengesCompleted += 1;
        }
    }
    logicTickCount = firstTick;
    std::atexit(PrintEnd);
    std::atexit(PrintBotSummary);
    tickInputHook = BeforeTick;
    while (logicTickCount < script.lastTick) {
        if (!RunFrame()) break;
        if (gamesLimit > 0 && BotGames().size() >= gamesLimit) break;
    }
    // A frame may run more ticks than the script needs; the state after lastTick ticks was
    // reported before the extra ones ran.
    if (logicTickCount == script.lastTick) Report(logicTickCount);
    PrintBotSummary();
    fflush(reportFile);
    EndProgram();
}
