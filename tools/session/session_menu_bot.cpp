// The session bot around the board: the menus, the length of a game, the results, and the check
// that nothing leaves the player stranded.
#include <cstdio>
#include <deque>

#include "game/state/globals.h"
#include "tools/session/session_bot.h"

namespace {

std::deque<BotTouch> queue;
std::vector<BotGame> games;
const float MODE_ORDER[4] = {3, 1, 2, 4};   // TIME TRIAL, ARCADE, PUZZLE, ZEN
int nextMode = 0;
int gamesSinceList = 0;
long long gameStart = -1;
long long lastMove = -1;
bool resultsRecorded = false;
long long listSince = -1;
float onlyMode = 0;
int sideTrips = 0;          // which menu the bot looks into between games
int leftGame = 0;   // 1 after a long game, 2 on a board without a move
PowerCounts powersAtStart;
float challengesAtStart = 0;

const long long MINUTE = 3600;
// ARCADE and ZEN may run as long as the bot keeps up; it leaves them through the pause menu.
long long longestGame = 5 * MINUTE;
const long long ZEN_GAME = 90 * 60;
// A board the bot finds no move on for this long is given up through the pause menu.
const long long NO_MOVE_LIMIT = 20 * 60;

void Hold(int ticks, float x, float y, int button) {
    for (int i = 0; i < ticks; ++i) queue.push_back(BotTouch{x, y, button});
}

// A tap, then the finger up long enough for the screen to answer.
void Tap(float x, float y) {
    Hold(3, x, y, 1);
    Hold(12, x, y, 0);
}

bool ZenOpen() { return challengesCompleted >= 10; }

float ChooseMode() {
    if (onlyMode != 0 && (onlyMode != 4 || ZenOpen())) return onlyMode;
    for (int tries = 0; tries < 4; ++tries) {
        float mode = MODE_ORDER[nextMode];
        nextMode = (nextMode + 1) % 4;
        if (mode != 4 || ZenOpen()) return mode;
    }
    return 1;
}

float TileY(float mode) { return mode == 3 ? 100 : mode == 1 ? 200 : mode == 2 ? 295 : 390; }

bool RatingPromptShown() {
    if (storeLink.Empty() || hasRated != 0) return false;
    return (rateDeclines == 0 && gamesPlayed > 4) || (rateDeclines == 1 && gamesPlayed > 19);
}

void Quit(int why) {
    leftGame = why;
    Tap(75, 455);    // the pause button
    Tap(280, 305);   // QUIT
}

BotTouch InGame(long long tick) {
    if (gameStart < 0) {
        gameStart = tick;
        lastMove = tick;
        leftGame = 0;
        powersAtStart = BotPowerCounts();
        challengesAtStart = challengesCompleted;
    }
    bool running = runState == 2 && controlsCooldown == 0 && !BoardBotBusy();
    long long length = gameMode == 4 ? ZEN_GAME : longestGame;
    if (running && (tick - gameStart > length || tick - lastMove > NO_MOVE_LIMIT)) {
        Quit(tick - gameStart > length ? 1 : 2);
        return BotTouch{};
    }
    long long before = BotGestures();
    BotTouch t = BoardBotStep();
    if (BotGestures() != before || t.button) lastMove = tick;
    return t;
}

void RecordResults(long long tick) {
    if (resultsRecorded) return;
    resultsRecorded = true;
    PowerCounts powers = BotPowerCounts();
    for (int k = 0; k < 6; ++k) {
        powers.hatched[k] -= powersAtStart.hatched[k];
        powers.used[k] -= powersAtStart.used[k];
    }
    games.push_back(BotGame{gameMode, score, level, resultRank, newHighScore, tick, playTicks, challengesCompleted,
                            challengesCompleted - challengesAtStart, powers, leftGame});
    ++gamesSinceList;
    gameStart = -1;
}

// Plans the taps for the screen in front of the bot; nothing while a screen is still moving.
void PlanMenus(long long tick) {
    int p = static_cast<int>(phase);
    if (p == 1) gameStart = -1;
    if (p == 1 && mainMenuStage == 2 && mainMenuLatch == 0) {
        resultsRecorded = false;
        if (gamesSinceList >= 4) {
            // Now and then a look at another menu: the high scores, the options, the challenges.
            gamesSinceList = 0;
            const float SIDE_TRIPS[3] = {350, 253, 302};
            Tap(160, SIDE_TRIPS[sideTrips++ % 3]);
        } else {
            Tap(160, 158);   // PLAY
        }
    } else if (p == 2 && menuStage == 2 && inputCooldown == 0) {
        if (RatingPromptShown()) {
            Tap(230, 325);   // NO THANKS
        } else {
            Tap(160, TileY(ChooseMode()));
        }
    } else if (p == 5) {
        RecordResults(tick);
        if (menuStage == 2 && inputCooldown == 0) Tap(160, 300);
    } else if (p == 16 && menuStage == 2) {
        if (listSince < 0) {
            listSince = tick;
            for (float y = 380; y > 200; y -= 6) Hold(1, 160, y, 1);   // a flick upwards
            Hold(1, 160, 200, 0);
        } else if (tick - listSince > 240) {
            listSince = -1;
            Tap(160, 462);   // BACK TO MAIN MENU
        }
    } else if (p == 10) {
        Tap(280, 305);       // a pause menu the bot opened: QUIT
    } else if (p == 9) {
        Tap(25, 455);        // the overlay: closed again
    } else if ((p == 4 || p == 15) && menuStage == 2) {
        Tap(160, 462);
    } else if (p == 11 && boardPhase == 2 && !BoardBotBusy()) {
        if (gameStart < 0) gameStart = tick;
        if (tick - gameStart > MINUTE) Tap(250, 460);   // the tutorial's leave area
    }
}

long long lastTouch = 0;
float seenScreen = -1;
long long screenSince = 0;

}  // namespace

BotTouch BotStep(long long tick) {
    if (queue.empty()) {
        int p = static_cast<int>(phase);
        if ((p == 7 || p == 13) && screen == 7) return InGame(tick);
        if (p == 11) {
            PlanMenus(tick);
            if (queue.empty()) return BoardBotStep();
        } else {
            PlanMenus(tick);
        }
    }
    if (queue.empty()) return BotTouch{};
    BotTouch t = queue.front();
    queue.pop_front();
    return t;
}

const std::vector<BotGame>& BotGames() { return games; }

void BotPlayOnly(float mode) { onlyMode = mode; }

void BotSetLongestGame(long long ticks) { longestGame = ticks; }

std::string CheckProgress(long long tick, bool touched) {
    if (touched) lastTouch = tick;
    if (screen != seenScreen) {
        seenScreen = screen;
        screenSince = tick;
    }
    bool game = screen == 3 || screen == 7;
    long long quiet = tick - (screenSince > lastTouch ? screenSince : lastTouch);
    char text[160];
    if (quiet > MINUTE) {
        snprintf(text, sizeof text, "screen %g (phase %g) has had no touch for %lld ticks", screen, phase, quiet);
        return text;
    }
    if (!game && tick - screenSince > MINUTE) {
        snprintf(text, sizeof text, "menu screen %g (phase %g) has lasted %lld ticks", screen, phase,
                 tick - screenSince);
        return text;
    }
    return "";
}
