#!/usr/bin/python3
# The real game played as a player would: under its own Xvfb (and openbox where the window must
# be iconified), with xdotool presses, swipes and double taps at the places the screens and
# the board put things, and pictures of the window at fixed points compared with reviewed
# references (SQUIBLY_E2E_UPDATE=1 records them anew).
#
# usage: player.py SCENARIO GAME REPORT_GAME MEDIA OUT_DIR      scenarios: menus, modes, pause_resume
#
# Both programs are the real game over the desktop platform; the report game also writes the state
# report (board, score, screen) every few frames, which is where board positions come from.
import os
import shutil
import struct
import sys
import time
import types

from PIL import Image, ImageChops

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "process"))
from xgame import Failure, Game, fail, main, run, start_wm, start_xvfb, game_folder  # noqa: E402

GAME, REPORT_GAME, MEDIA, OUT = sys.argv[2:6]
REFERENCE = os.path.join(HERE, "reference")
UPDATE = os.environ.get("SQUIBLY_E2E_UPDATE", "") not in ("", "0")
# A pixel differs when one of its channels is further than this from the reference; a picture
# matches while fewer than MAX_DIFFERING of its pixels differ (anti-aliasing, a frame's drift).
PIXEL_TOLERANCE, MAX_DIFFERING = 48, 0.004
BLOCK, BLOCK_TOLERANCE, MAX_COARSE = 16, 40, 0.03
# The main menu's buttons swing by up to a dozen pixels: a wider allowance there (a button missing
# still shows, and every button is pressed too).
WAVING_MENU = 0.07

MAIN_MENU, GAME_MODE, TUTORIAL, OPTIONS, CHALLENGES, RESULTS, PLAYING, PAUSED, PAUSE_MENU, HIGH_SCORES = range(1, 11)
# What never stands still: the bouncing title of a menu, the blinking way back, the main menu's logo
# and waving buttons, and everything over the rippling water.
TITLE, WAY_BACK = (0, 0, 320, 58), (30, 440, 290, 480)
BOARD, TUTORIAL_BAR = (8, 8, 312, 312), (0, 318, 320, 346)
LOGO, MENU_BUTTONS, WHOLE = (0, 15, 320, 128), (50, 128, 280, 372), (0, 0, 320, 480)
PLAY_BUTTON, TUTORIAL_BUTTON, OPTIONS_BUTTON = (160, 158), (160, 206), (160, 250)
CHALLENGES_BUTTON, HIGH_SCORES_BUTTON, BACK_BAR = (160, 302), (160, 350), (160, 460)
MODE_TILES = {3: (160, 103), 1: (160, 199), 2: (160, 295), 4: (160, 390)}
MODE_NAMES = {1: "arcade", 2: "puzzle", 3: "time_trial", 4: "zen"}
PAUSE_BUTTON, PAUSE_MENU_BUTTON = (25, 455), (75, 455)
PAUSE_MENU_BACK, PAUSE_MENU_QUIT = (40, 305), (280, 305)
RESULTS_ON = (160, 300)
EGG_KIND = 9


def settings_record(challenges_done):
    # A settings file as a player with that many challenges complete would have, low quality. A
    # high-score slot that is not a score (-1) takes its default.
    values = [0.6, 1, 1, 1, 1, 1] + [100 if i < challenges_done else 0 for i in range(15)] + [-1] * 48 + [0]
    return struct.pack("<70d", *values)


# ---- Pictures compared ------------------------------------------------------------------------

def differing_mask(a, b, tolerance=PIXEL_TOLERANCE):
    channels = ImageChops.difference(a, b).convert("RGB").split()
    worst = ImageChops.lighter(ImageChops.lighter(channels[0], channels[1]), channels[2])
    return worst.point(lambda v: 255 if v > tolerance else 0)


def differing_fraction(a, b, moving=()):
    # The share of pixels that differ, outside the areas that keep moving.
    if a.size != b.size:
        return 1.0
    mask = differing_mask(a, b)
    for area in moving:
        mask.paste(0, area)
    return mask.histogram()[255] / float(a.size[0] * a.size[1])


def coarse_fraction(a, b, varying=()):
    # The share of 16 x 16 blocks whose mean colour differs: the moving areas too, where a button
    # missing or out of place shows although a wave moves its letters by a few pixels.
    if a.size != b.size:
        return 1.0
    size = (a.size[0] // BLOCK, a.size[1] // BLOCK)
    a, b = a.copy(), b.copy()
    for area in varying:
        a.paste((0, 0, 0), area)
        b.paste((0, 0, 0), area)
    mask = differing_mask(a.resize(size, Image.BOX), b.resize(size, Image.BOX), BLOCK_TOLERANCE)
    return mask.histogram()[255] / float(size[0] * size[1])


class Player(Game):
    def __init__(self, s, program):
        super().__init__(program, {
            "SQUIBLY_SEED": "11", "SQUIBLY_TRACE_SCREENS": "1", "HOME": s.home, "SQUIBLY_BROWSER": "/bin/true",
            "SQUIBLY_REPORT": os.path.join(os.path.dirname(program), "report.txt"),
            "SQUIBLY_TRACE_FRAMES": "1000000"}, display=(320, 480))
        self.s = s
        s.games.append(self)
        self.find_window()

    def capture(self, path):
        run("import", "-window", self.window, "png:" + path, timeout=20)
        return Image.open(path).convert("RGB")

    def shot(self, name, moving=(), varying=(), coarse_limit=MAX_COARSE):
        # Compares the window with reference `name` once two captures a moment apart agree (or the
        # last, when the screen keeps moving); a mismatch is recorded, and play goes on. `moving` lists
        # areas (design units) that never stand still, held only to the coarse comparison; `varying`
        # areas whose content depends on the moment of play are left out of both.
        path = os.path.join(OUT, name + ".png")
        picture, end = self.capture(path), time.time() + 2.5
        while time.time() < end:
            time.sleep(0.2)
            previous, picture = picture, self.capture(path)
            if differing_fraction(previous, picture) < MAX_DIFFERING / 4:
                break
        self.s.compared += 1
        reference = os.path.join(REFERENCE, name + ".png")
        if UPDATE:
            picture.save(reference, optimize=True)
            return print("recorded %s" % reference)
        if not os.path.exists(reference):
            return self.s.failures.append("%s: no reference (record with SQUIBLY_E2E_UPDATE=1)" % name)
        expected = Image.open(reference).convert("RGB")
        moving, varying = list(moving), list(varying)
        fraction = differing_fraction(expected, picture, moving + varying)
        coarse = coarse_fraction(expected, picture, varying)
        print("%s: %.3f%% of pixels, %.1f%% of blocks differ" % (name, 100 * fraction, 100 * coarse))
        if fraction <= MAX_DIFFERING and coarse <= coarse_limit:
            return
        expected.save(os.path.join(OUT, name + ".expected.png"))
        self.s.failures.append("%s differs from its reference in %.2f%% of pixels (%.1f%% of blocks): see %s"
                               % (name, 100 * fraction, 100 * coarse, os.path.join(OUT, name + "*.png")))

    def visit(self, at, screen, pause=0, shot=None, *areas, coarse_limit=MAX_COARSE, timeout=20):
        # A tap (none when `at` is None) that leads to `screen`; a moment later, a picture of it.
        if at:
            self.tap(*at)
        self.wait_screen(screen, timeout)
        time.sleep(pause)
        if shot:
            self.shot(shot, *areas, coarse_limit=coarse_limit)

    def wait_board_idle(self, mode=None, timeout=20):
        # A game on screen whose board rests and takes touches.
        return self.wait_report("a resting board", lambda r: r.screen == PLAYING and r.boardPhase == 2 and r.busy == 0
                                and mode in (None, r.mode), timeout)

    def start_mode(self, mode):
        self.visit(None, MAIN_MENU, 1.5, timeout=40)
        self.visit(PLAY_BUTTON, GAME_MODE, 0.6)
        self.visit(MODE_TILES[mode], PLAYING)

    def quit_to_results(self):
        self.visit(PAUSE_MENU_BUTTON, PAUSE_MENU, 0.5)
        self.visit(PAUSE_MENU_QUIT, RESULTS, timeout=30)
        return self.wait_report("the results", lambda r: r.screen == RESULTS)


# ---- Playing the board ------------------------------------------------------------------------

def cell_point(column, row):
    return 35 + 50 * column, 35 + 50 * row


def neighbours(column, row):
    return [(c, r) for c, r in ((column - 1, row), (column + 1, row), (column, row - 1), (column, row + 1))
            if 0 <= c < 6 and 0 <= r < 6]


def group_size(kinds, column, row):
    seen, todo = {(column, row)}, [(column, row)]
    while todo:
        for c, r in neighbours(*todo.pop()):
            if (c, r) not in seen and kinds[r][c] == kinds[row][column]:
                seen.add((c, r))
                todo.append((c, r))
    return len(seen)


def changed(kinds, *cells):  # (column, row, kind) ...
    after = [list(line) for line in kinds]
    for column, row, kind in cells:
        after[row][column] = kind
    return after


def best_swipe(kinds):
    # The swap of two neighbours that the game allows (one lands beside a like creature) and that
    # joins the largest group.
    best = None
    for row in range(6):
        for column in range(6):
            for c2, r2 in ((column + 1, row), (column, row + 1)):
                if c2 > 5 or r2 > 5:
                    continue
                a, b = kinds[row][column], kinds[r2][c2]
                if a == b or max(a, b) >= EGG_KIND or not (
                        any(kinds[r][c] == a for c, r in neighbours(c2, r2) if (c, r) != (column, row)) or
                        any(kinds[r][c] == b for c, r in neighbours(column, row) if (c, r) != (c2, r2))):
                    continue
                after = changed(kinds, (column, row, b), (c2, r2, a))
                size = max(group_size(after, c2, r2), group_size(after, column, row))
                if best is None or size > best[0]:
                    best = (size, (column, row), (c2, r2))
    return best


def best_switch(kinds):
    # The creature whose twin joins the largest group.
    return max(((group_size(changed(kinds, (c, r, k + 1 if k % 2 else k - 1)), c, r), (c, r))
                for r, line in enumerate(kinds) for c, k in enumerate(line) if 1 <= k <= 8),
               key=lambda option: option[0], default=None)


def board_swipe(game, c1, r1, c2, r2):
    # A swipe whose finger waits until the game has seen each stage (the press on its creature,
    # the finger on the neighbour): a slow frame would otherwise read the press where the finger
    # already went.
    (x1, y1), (x2, y2) = cell_point(c1, r1), cell_point(c2, r2)
    game.move(x1, y1)
    game.xdotool("mousedown", 1)
    try:
        game.wait_report("the press", lambda r: r.down == 1 and r.selected == c1 + 6 * r1 + 1, timeout=5)
        for i in range(1, 5):
            game.move(x1 + (x2 - x1) * i / 4, y1 + (y2 - y1) * i / 4)
            time.sleep(0.03)
        game.wait_report("the finger on the neighbour", lambda r: r.touch == (x2, y2), timeout=5)
    finally:
        game.xdotool("mouseup", 1)


def board_double_tap(game, column, row):
    # Two taps on one creature, each press and release waited for in the report.
    game.move(*cell_point(column, row))
    for n in (1, 2):
        game.xdotool("mousedown", 1)
        try:
            game.wait_report("press %d" % n, lambda r: r.down == 1, timeout=5)
        finally:
            game.xdotool("mouseup", 1)
        game.wait_report("release %d" % n, lambda r: r.down == 0, timeout=5)


def play_a_while(game, mode, gestures, must_clear=True):
    # Swipes and double taps chosen from the board the report shows; each must be taken.
    cleared = 0
    for turn in range(gestures):
        before = game.wait_board_idle(mode)
        time.sleep(0.6)  # a finger lifted a moment ago would make the next press a second tap
        swipe, switch = best_swipe(before.kinds), best_switch(before.kinds)
        # The larger group wins; on a tie, turns take swipes and switches in turn.
        if before.swaps > 0 and switch and (not swipe or (switch[0], turn % 2) > (swipe[0], 0)):
            gesture, taken = lambda: board_double_tap(game, *switch[1]), lambda r: r.flips == before.flips + 1
            what = "double tap on %s (group %d)" % (switch[1], switch[0])
        elif swipe:
            gesture, taken = lambda: board_swipe(game, *swipe[1], *swipe[2]), lambda r: r.moves == before.moves + 1
            what = "swipe %s -> %s (group %d)" % (swipe[1], swipe[2], swipe[0])
        else:
            fail("no swipe on the board:\n%s" % before.kinds)
        try:
            gesture()
            game.wait_report(what, taken, timeout=8)
        except Failure:
            # As a player would when a busy machine loses a tap: once more, on the same board.
            if game.wait_board_idle(mode).kinds != before.kinds:
                fail("%s was not taken, and the board changed" % what)
            time.sleep(0.8)
            gesture()
            game.wait_report(what + " (again)", taken, timeout=10)
        after = game.wait_board_idle(mode)
        # A clear's points may still be counting up into the score when the board comes to rest.
        cleared += after.score + after.pending > before.score + before.pending
        print("  %s: score %d -> %d" % (what, before.score, after.score))
    if must_clear and not cleared:
        fail("%d gestures cleared nothing" % gestures)
    return game.wait_board_idle(mode)


# ---- Scenarios --------------------------------------------------------------------------------

def menus(s):
    # A first start: a loading frame first, every way through the menus and back, the options kept
    # over a restart.
    program = game_folder(s.work, "game", GAME, MEDIA)
    game = Player(s, program)
    game.visit(None, MAIN_MENU, 2, "main_menu", [WHOLE], coarse_limit=WAVING_MENU, timeout=40)
    text = game.text()
    if not 0 <= text.find("first loading frame") < text.find("first menu frame"):
        fail("no loading frame before the first menu frame")
    # Options: the quality switch (a still background from here on), the sound switch off and on.
    game.visit(OPTIONS_BUTTON, OPTIONS, 1, "options", [WHOLE])
    for at in ((160, 420), (155, 285)):
        game.tap(*at)
        time.sleep(0.4)
    game.shot("options_changed", [TITLE, WAY_BACK])
    game.tap(155, 285)
    time.sleep(0.4)
    game.visit(BACK_BAR, MAIN_MENU, 2, "main_menu_still_water", [LOGO, MENU_BUTTONS], coarse_limit=WAVING_MENU)
    # Challenges: one chosen, described below the grid.
    game.visit(CHALLENGES_BUTTON, CHALLENGES)
    game.tap(32, 100)
    time.sleep(1)
    game.shot("challenges", [TITLE, WAY_BACK, (0, 55, 66, 134)])
    game.visit(BACK_BAR, MAIN_MENU)
    # High scores (dragging the list is the menu flow test's), and back.
    game.visit(HIGH_SCORES_BUTTON, HIGH_SCORES, 1)
    game.visit(BACK_BAR, MAIN_MENU)
    # The tutorial's first panel, left by EXIT.
    game.visit(TUTORIAL_BUTTON, TUTORIAL)
    game.wait_line("tutorial step 2 panel 0")
    game.shot("tutorial", [BOARD, TUTORIAL_BAR])
    game.visit((255, 460), MAIN_MENU)
    # PLAY: the mode tiles, ZEN still locked (a tap on it stays here), and back.
    game.visit(PLAY_BUTTON, GAME_MODE, 1, "game_mode_zen_locked", [TITLE, WAY_BACK])
    game.tap(*MODE_TILES[4])
    time.sleep(1.2)
    if game.screen() != GAME_MODE:
        fail("a tap on the locked ZEN tile left the game mode screen")
    game.visit(BACK_BAR, MAIN_MENU)
    game.end()

    # Started again, the still water chosen in the options is kept.
    game = Player(s, program)
    game.visit(None, MAIN_MENU, 2.5, "main_menu_still_water", [LOGO, MENU_BUTTONS], coarse_limit=WAVING_MENU,
               timeout=40)
    game.end()


def modes(s):
    # Each of the four modes, ZEN opened by ten challenges, entered from the menus and played for a
    # while with swipes and double taps, then left by the pause menu's QUIT through the results. Each
    # mode has a folder of its own: a start there is a first start, whose first board is the one the
    # seed deals (a later start resumes the menus' state, its random generator included).
    for mode in (3, 1, 2, 4):
        name = MODE_NAMES[mode]
        print("%s:" % name)
        game = Player(s, game_folder(s.work, name, REPORT_GAME, MEDIA, settings_record(10)))
        game.start_mode(mode)
        game.wait_board_idle(mode)
        game.shot("start_" + name, [BOARD, TUTORIAL_BAR])
        end = play_a_while(game, mode, 5)
        results = game.quit_to_results()
        if results.score != end.score:
            fail("results show score %d, the game ended with %d" % (results.score, end.score))
        time.sleep(1.5)
        game.visit(RESULTS_ON, MAIN_MENU)
        game.end()


def pause_resume(s):
    # An ARCADE game paused every way a player can: iconified and restored, the pause button, the
    # pause menu's BACK; quit in the middle and started again, the same game resumed; then QUIT from
    # the pause menu.
    start_wm()
    program = game_folder(s.work, "game", REPORT_GAME, MEDIA, settings_record(0))
    game = Player(s, program)
    run("xdotool", "windowactivate", "--sync", game.window, check=False)
    game.start_mode(1)
    play_a_while(game, 1, 3)
    same = lambda a, b: (a.kinds, a.score, a.moves) == (b.kinds, b.score, b.moves)

    # Iconified, the game saves; restored, it reloads that game and plays on.
    held = game.wait_board_idle(1)
    run("xdotool", "windowminimize", "--sync", game.window)
    game.wait_line("report game: pause")
    time.sleep(1)
    run("xdotool", "windowactivate", "--sync", game.window, check=False)
    game.wait_line("report game: resume")
    if not same(game.wait_board_idle(1), held):
        fail("the board or score changed over the iconified pause")
    game.shot("after_iconify", [TUTORIAL_BAR], [BOARD])

    # The pause button and the pause menu's BACK.
    game.wait_board_idle(1)
    game.visit(PAUSE_BUTTON, PAUSED, 0.6, "paused", [(0, 140, 320, 200), TUTORIAL_BAR], [BOARD])
    game.visit(PAUSE_BUTTON, PLAYING)
    game.visit(PAUSE_MENU_BUTTON, PAUSE_MENU, 0.6, "pause_menu", [TITLE, TUTORIAL_BAR], [BOARD])
    game.visit(PAUSE_MENU_BACK, PLAYING)

    # Quit in the middle (a close, as SIGTERM), start again: the same game is resumed.
    kept = play_a_while(game, 1, 2, must_clear=False)
    game.end()
    game = Player(s, program)
    run("xdotool", "windowactivate", "--sync", game.window, check=False)
    resumed = game.wait_report("the resumed game", lambda r: r.screen in (PLAYING, PAUSED) and r.mode == 1, timeout=40)
    if not same(resumed, kept):
        fail("the resumed game differs: score %d moves %d, was %d and %d" %
             (resumed.score, resumed.moves, kept.score, kept.moves))
    game.shot("resumed", [TUTORIAL_BAR], [BOARD, (0, 370, 320, 480)])
    if game.report().screen == PAUSED:
        game.visit(PAUSE_BUTTON, PLAYING)
    play_a_while(game, 1, 2, must_clear=False)

    # QUIT from the pause menu ends the game through its results; a finished game is not resumed.
    game.quit_to_results()
    time.sleep(1.5)
    game.visit(RESULTS_ON, MAIN_MENU)
    game.end()
    game = Player(s, program)
    game.visit(None, MAIN_MENU, timeout=40)
    game.end()


def scenario(play):
    def case(work):
        if shutil.which("import") is None:
            print("ImageMagick's import missing (tools/setup.sh installs it)")
            sys.exit(77)
        s = types.SimpleNamespace(work=work, home=os.path.join(work, "home"), compared=0, failures=[], games=[])
        os.makedirs(s.home)
        os.makedirs(OUT, exist_ok=True)
        start_xvfb("480x600")
        started = time.time()
        try:
            play(s)
        finally:
            print("%d pictures %s in %.0f s" % (s.compared, "recorded" if UPDATE else "compared", time.time() - started))
            print("".join("FAIL: %s\n" % problem for problem in s.failures), end="")
            if s.failures or sys.exc_info()[0]:  # the games' output kept beside the pictures
                for n, game in enumerate(s.games):
                    with open(os.path.join(OUT, "game-out-%d.txt" % (n + 1)), "w") as f:
                        f.write(game.text())
        if s.failures:
            fail("%d pictures differ" % len(s.failures))
    return case


main({"menus": scenario(menus), "modes": scenario(modes), "pause_resume": scenario(pause_resume)}, "squibly-e2e-")
