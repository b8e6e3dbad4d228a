#!/usr/bin/python3
"""The real game played as a player would: under its own Xvfb (and openbox where the window must
be iconified), with xdotool presses, drags, swipes and double taps at the places the screens and
the board put things, and pictures of the window at fixed points compared with reviewed
references.

usage: player.py SCENARIO --game GAME --report-game REPORT_GAME --media MEDIA --out DIR
scenarios: menus, modes, pause_resume

Both programs are the real game over the desktop platform; the report game also writes the state
report (board, score, screen) every few frames, which is where board positions come from.
SQUIBLY_E2E_UPDATE=1 records the pictures as the new references instead of comparing them.
"""
import argparse
import os
import random
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time

from PIL import Image, ImageChops

HERE = os.path.dirname(os.path.abspath(__file__))
REFERENCE = os.path.join(HERE, "reference")
UPDATE = os.environ.get("SQUIBLY_E2E_UPDATE", "") not in ("", "0")
WIDTH, HEIGHT = 320, 480
SEED = "11"
# A pixel differs when one of its channels is further than this from the reference; a picture
# matches while fewer than MAX_DIFFERING of its pixels differ (anti-aliasing, a frame's drift).
PIXEL_TOLERANCE = 48
MAX_DIFFERING = 0.004
BLOCK, BLOCK_TOLERANCE, MAX_COARSE = 16, 40, 0.03
# The main menu's buttons swing by up to a dozen pixels: a wider allowance there (a button missing
# still shows, and every button is pressed too).
WAVING_MENU = 0.07

STARTED = []
failures = []


class Failure(Exception):
    pass


def fail(message):
    raise Failure(message)


def run(*args, timeout=10, check=True):
    result = subprocess.run(list(args), capture_output=True, text=True, timeout=timeout)
    if check and result.returncode != 0:
        fail("%s failed: %s" % (" ".join(args), result.stderr.strip()))
    return result.stdout


def wait_for(what, predicate, timeout=20, every=0.05):
    end = time.time() + timeout
    while time.time() < end:
        value = predicate()
        if value:
            return value
        time.sleep(every)
    fail("gave up waiting for " + what)


# ---- The X session ----------------------------------------------------------------------------

def display_in_use(number):
    """A lock file in this machine's /tmp, or an X server of another session listening on the same
    abstract socket name (a client would reach that one instead of ours; -displayfd checks only
    the lock files, so it can hand out such a number)."""
    if os.path.exists("/tmp/.X%d-lock" % number):
        return True
    probe = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    try:
        probe.connect("\0/tmp/.X11-unix/X%d" % number)
        return True
    except OSError:
        return False
    finally:
        probe.close()


def start_xvfb(size):
    rng = random.Random()
    for _ in range(50):
        number = rng.randrange(200, 900)
        if display_in_use(number):
            continue
        xvfb = subprocess.Popen(["Xvfb", ":%d" % number, "-screen", "0", size + "x24", "-noreset", "-nolisten", "tcp"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        STARTED.append(xvfb)
        for _ in range(200):
            if xvfb.poll() is not None or display_in_use(number):
                break
            time.sleep(0.05)
        if xvfb.poll() is None and display_in_use(number):
            os.environ["DISPLAY"] = ":%d" % number
            return
    fail("Xvfb did not start")


def start_wm(work):
    if shutil.which("openbox") is None:
        print("openbox missing (tools/setup.sh installs it)")
        sys.exit(77)
    config = os.path.join(work, "openbox.xml")
    with open(config, "w") as f:
        f.write('<openbox_config xmlns="http://openbox.org/3.4/rc"/>\n')
    STARTED.append(subprocess.Popen(["openbox", "--sm-disable", "--config-file", config],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    wait_for("the window manager",
             lambda: "window id" in run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False))


# ---- The game ---------------------------------------------------------------------------------

def settings_record(challenges_done, low_quality):
    """A settings file as a player with that many challenges complete would have. A high-score
    slot that is not a score (-1) takes its default."""
    values = [0.6, 1, 1, 1, 1, low_quality]
    values += [100 if i < challenges_done else 0 for i in range(15)]
    values += [-1] * 48 + [0]
    return struct.pack("<70d", *values)


class Game:
    starts = 0

    def __init__(self, scenario, executable, folder):
        self.scenario = scenario
        self.folder = folder
        # Each start has its own output, and no report of an earlier start is left to be read.
        Game.starts += 1
        self.out_path = os.path.join(folder, "out-%d.txt" % Game.starts)
        self.report_path = os.path.join(folder, "report.txt")
        if os.path.exists(self.report_path):
            os.remove(self.report_path)
        env = dict(os.environ, SDL_AUDIODRIVER="dummy", SQUIBLY_SEED=SEED, SQUIBLY_DISPLAY="%dx%d" % (WIDTH, HEIGHT),
                   SQUIBLY_TRACE_SCREENS="1", SQUIBLY_REPORT=self.report_path, HOME=scenario.home,
                   SQUIBLY_BROWSER="/bin/true", SQUIBLY_TRACE_FRAMES="1000000")
        env.pop("SQUIBLY_START_MODE", None)
        self.output = open(self.out_path, "wb")
        self.process = subprocess.Popen([os.path.join(folder, os.path.basename(executable))], env=env,
                                        stdout=self.output, stderr=subprocess.STDOUT)
        STARTED.append(self.process)
        self.window = wait_for("the game window", self._find_window, timeout=30, every=0.1)

    def _find_window(self):
        if self.process.poll() is not None:
            fail("the game ended at start-up:\n" + self.text()[-2000:])
        out = run("timeout", "5", "xdotool", "search", "--name", "^Squibly$", check=False).split()
        return out[0] if out else None

    def text(self):
        with open(self.out_path, errors="replace") as f:
            return f.read()

    def screens(self):
        return [tuple(float(v) for v in line.split()[1::2]) for line in self.text().splitlines()
                if line.startswith("screen ")]

    def alive(self):
        if self.process.poll() is not None:
            fail("the game ended unexpectedly (status %s)" % self.process.returncode)

    def wait_screen(self, number, timeout=20):
        """Until the game says it shows screen `number` (its screen trace)."""
        def shown():
            self.alive()
            seen = self.screens()
            return seen and seen[-1][0] == number
        wait_for("screen %d (last: %s)" % (number, (self.screens() or [None])[-1]), shown, timeout)

    def wait_line(self, text, timeout=20):
        wait_for("the line '%s'" % text, lambda: text in self.text(), timeout)

    def report(self):
        try:
            with open(self.report_path) as f:
                return Report(f.read())
        except (OSError, ValueError):
            return None

    def wait_report(self, what, predicate, timeout=20):
        def holds():
            self.alive()
            r = self.report()
            return r if r is not None and predicate(r) else None
        try:
            return wait_for(what, holds, timeout)
        except Failure as problem:
            last = self.report()
            fail("%s; the last report:\n%s" % (problem, last.text if last else "none"))

    def wait_board_idle(self, mode=None, timeout=20):
        """A game on screen whose board rests and takes touches."""
        return self.wait_report("a resting board", lambda r: r.screen == 7 and r.board_phase == 2 and r.busy == 0
                                and (mode is None or r.mode == mode) and r.kinds, timeout)

    # -- input, in design units (320 x 480), as the game scales and centres them
    def point(self, x, y):
        s = min(WIDTH / 320, HEIGHT / 480)
        return str(int((WIDTH - 320 * s) / 2 + x * s)), str(int((HEIGHT - 480 * s) / 2 + y * s))

    def move(self, x, y):
        run("xdotool", "mousemove", "--window", self.window, *self.point(x, y))

    def tap(self, x, y, hold=0.1):
        self.move(x, y)
        time.sleep(0.05)
        run("xdotool", "mousedown", "1")
        time.sleep(hold)
        run("xdotool", "mouseup", "1")

    def drag(self, x1, y1, x2, y2, steps=10, pause=0.03):
        self.move(x1, y1)
        time.sleep(0.05)
        run("xdotool", "mousedown", "1")
        time.sleep(0.15)
        for i in range(1, steps + 1):
            self.move(x1 + (x2 - x1) * i / steps, y1 + (y2 - y1) * i / steps)
            time.sleep(pause)
        time.sleep(0.1)
        run("xdotool", "mouseup", "1")

    # -- pictures
    def capture(self, path):
        run("import", "-window", self.window, "png:" + path, timeout=20)
        return Image.open(path).convert("RGB")

    def settled_capture(self, name, timeout=2.5):
        """A picture once two captures a moment apart agree, or the last one when the screen keeps
        moving (the menus' waves never stop)."""
        path = os.path.join(self.scenario.out, name + ".png")
        previous = self.capture(path)
        end = time.time() + timeout
        while time.time() < end:
            time.sleep(0.2)
            current = self.capture(path)
            if differing_fraction(previous, current) < MAX_DIFFERING / 4:
                return path, current
            previous = current
        return path, previous

    def shot(self, name, moving=(), varying=(), coarse_limit=None):
        """Compares the window with reference `name`; a mismatch is recorded, and play goes on.
        `moving` lists areas (design units: left, top, right, bottom) that never stand still, held
        only to the coarse comparison; `varying` areas whose content depends on the moment of play
        (the board after timed play, checked through the report instead) are left out of both."""
        path, picture = self.settled_capture(name)
        self.scenario.compare(name, path, picture, moving, varying, coarse_limit or MAX_COARSE)

    def term(self):
        self.process.send_signal(signal.SIGTERM)
        try:
            status = self.process.wait(15)
        except subprocess.TimeoutExpired:
            fail("the game did not end after SIGTERM")
        self.output.close()
        if status != 0:
            fail("the game ended with status %d" % status)


class Report:
    """The state report the report game writes every few frames."""

    def __init__(self, text):
        self.text = text
        self.values = {}
        self.kinds = []
        for line in text.splitlines():
            words = line.split()
            if not words:
                continue
            if words[0] == "kinds":
                self.kinds.append([int(float(v)) for v in words[1:]])
            elif words[0] in ("frame", "tick"):
                self.values[words[0]] = float(words[1])
            elif words[0] == "touch":
                self.touch = (float(words[1]), float(words[2]))
                self.values["down"] = float(words[4])
            elif words[0] not in ("states",):
                for key, value in zip(words[0::2], words[1::2]):
                    try:
                        self.values[key] = float(value)
                    except ValueError:
                        self.values[key] = value
        if len(self.kinds) != 6 or "board" not in self.values:
            raise ValueError("partial report")
        self.screen = self.values["screen"]
        self.mode = self.values["mode"]
        self.board_phase = self.values["boardPhase"]
        self.busy = self.values["busy"]
        self.score = self.values["score"]
        self.moves = self.values["moves"]
        self.flips = self.values["flips"]
        self.swaps = self.values["swaps"]
        self.board = self.values["board"]
        self.down = self.values["down"]
        self.selected = self.values["selected"]

    def kind(self, column, row):
        return self.kinds[row][column]


# ---- Pictures compared ------------------------------------------------------------------------

def differing_mask(a, b, tolerance=None):
    tolerance = PIXEL_TOLERANCE if tolerance is None else tolerance
    difference = ImageChops.difference(a, b).convert("RGB")
    channels = difference.split()
    worst = ImageChops.lighter(ImageChops.lighter(channels[0], channels[1]), channels[2])
    return worst.point(lambda v: 255 if v > tolerance else 0)


def differing_fraction(a, b, moving=()):
    """The share of pixels that differ, outside the areas that keep moving."""
    if a.size != b.size:
        return 1.0
    mask = differing_mask(a, b)
    for area in moving:
        mask.paste(0, tuple(int(v) for v in area))
    return mask.histogram()[255] / float(a.size[0] * a.size[1])


def coarse_fraction(a, b, varying=()):
    """The share of 16 x 16 blocks whose mean colour differs: the moving areas too, where a button
    missing or out of place shows although a wave moves its letters by a few pixels."""
    if a.size != b.size:
        return 1.0
    size = (a.size[0] // BLOCK, a.size[1] // BLOCK)
    a, b = a.copy(), b.copy()
    for area in varying:
        a.paste((0, 0, 0), tuple(int(v) for v in area))
        b.paste((0, 0, 0), tuple(int(v) for v in area))
    small = [p.resize(size, Image.BOX) for p in (a, b)]
    mask = differing_mask(small[0], small[1], BLOCK_TOLERANCE)
    return mask.histogram()[255] / float(size[0] * size[1])


class Scenario:
    def __init__(self, name, args):
        self.name = name
        self.args = args
        self.out = os.path.abspath(args.out)
        os.makedirs(self.out, exist_ok=True)
        self.work = tempfile.mkdtemp(prefix="squibly-e2e-")
        self.home = os.path.join(self.work, "home")
        os.makedirs(self.home)
        self.compared = 0

    def game_folder(self, name, executable, settings=None):
        """A copy of the program beside the build's Media: the game saves beside itself."""
        folder = os.path.join(self.work, name)
        os.makedirs(folder, exist_ok=True)
        shutil.copy2(executable, folder)
        if not os.path.exists(os.path.join(folder, "Media")):
            os.symlink(os.path.abspath(self.args.media), os.path.join(folder, "Media"))
        if settings is not None:
            with open(os.path.join(folder, "squibly.ach"), "wb") as f:
                f.write(settings)
        return folder

    def compare(self, name, path, picture, moving=(), varying=(), coarse_limit=None):
        coarse_limit = coarse_limit or MAX_COARSE
        self.compared += 1
        reference = os.path.join(REFERENCE, name + ".png")
        if UPDATE:
            os.makedirs(REFERENCE, exist_ok=True)
            picture.save(reference, optimize=True)
            print("recorded %s" % reference)
            return
        if not os.path.exists(reference):
            failures.append("%s: no reference %s (record with SQUIBLY_E2E_UPDATE=1); picture %s" %
                            (name, reference, path))
            return
        expected = Image.open(reference).convert("RGB")
        fraction = differing_fraction(expected, picture, list(moving) + list(varying))
        coarse = coarse_fraction(expected, picture, varying)
        if fraction <= MAX_DIFFERING and coarse <= coarse_limit:
            print("%s matches its reference (%.3f%% of pixels, %.1f%% of blocks differ)" % (name, 100 * fraction, 100 * coarse))
            return
        expected_path = os.path.join(self.out, name + ".expected.png")
        diff_path = os.path.join(self.out, name + ".diff.png")
        expected.save(expected_path)
        if expected.size == picture.size:
            # The picture dimmed, the differing pixels in red over it.
            dim = Image.blend(picture, Image.new("RGB", picture.size), 0.6)
            dim.paste(Image.new("RGB", picture.size, (255, 0, 0)), mask=differing_mask(expected, picture))
            for area in list(moving) + list(varying):
                dim.paste((0, 0, 96), tuple(int(v) for v in area))
            dim.save(diff_path)
        else:
            diff_path = "(sizes differ: %s and %s)" % (expected.size, picture.size)
        failures.append("%s differs from its reference in %.2f%% of pixels (%.1f%% of blocks)\n"
                        "  actual   %s\n  expected %s\n  diff     %s"
                        % (name, 100 * fraction, 100 * coarse, path, expected_path, diff_path))

    def cleanup(self):
        shutil.rmtree(self.work, ignore_errors=True)


# ---- Playing the board ------------------------------------------------------------------------

EGG_KIND = 9


def cell_point(column, row):
    return 35 + 50 * column, 35 + 50 * row


def group_size(kinds, column, row):
    kind = kinds[row][column]
    seen = {(column, row)}
    todo = [(column, row)]
    while todo:
        c, r = todo.pop()
        for nc, nr in ((c - 1, r), (c + 1, r), (c, r - 1), (c, r + 1)):
            if 0 <= nc < 6 and 0 <= nr < 6 and (nc, nr) not in seen and kinds[nr][nc] == kind:
                seen.add((nc, nr))
                todo.append((nc, nr))
    return len(seen)


def like_neighbour(kinds, column, row, skip, kind):
    for nc, nr in ((column - 1, row), (column + 1, row), (column, row - 1), (column, row + 1)):
        if 0 <= nc < 6 and 0 <= nr < 6 and (nc, nr) != skip and kinds[nr][nc] == kind:
            return True
    return False


def best_swipe(kinds):
    """The swap of two neighbours that the game allows and that joins the largest group."""
    best = None
    for row in range(6):
        for column in range(6):
            for dc, dr in ((1, 0), (0, 1)):
                c2, r2 = column + dc, row + dr
                if c2 > 5 or r2 > 5:
                    continue
                a, b = kinds[row][column], kinds[r2][c2]
                if a == b or a >= EGG_KIND or b >= EGG_KIND:
                    continue
                if not (like_neighbour(kinds, c2, r2, (column, row), a) or like_neighbour(kinds, column, row, (c2, r2), b)):
                    continue
                after = [list(line) for line in kinds]
                after[row][column], after[r2][c2] = b, a
                size = max(group_size(after, c2, r2), group_size(after, column, row))
                if best is None or size > best[0]:
                    best = (size, (column, row), (c2, r2))
    return best


def twin(kind):
    return kind + 1 if kind % 2 == 1 else kind - 1


def best_switch(kinds):
    """The creature whose twin joins the largest group."""
    best = None
    for row in range(6):
        for column in range(6):
            kind = kinds[row][column]
            if not 1 <= kind <= 8:
                continue
            after = [list(line) for line in kinds]
            after[row][column] = twin(kind)
            size = group_size(after, column, row)
            if best is None or size > best[0]:
                best = (size, (column, row))
    return best


def board_swipe(game, c1, r1, c2, r2):
    """A swipe whose finger waits until the game has seen each stage (the press on its creature,
    the finger on the neighbour): a slow frame would otherwise read the press where the finger
    already went."""
    game.move(*cell_point(c1, r1))
    run("xdotool", "mousedown", "1")
    try:
        game.wait_report("the press", lambda r: r.down == 1 and r.selected == c1 + 6 * r1 + 1, timeout=5)
        x2, y2 = cell_point(c2, r2)
        for i in range(1, 5):
            x1, y1 = cell_point(c1, r1)
            game.move(x1 + (x2 - x1) * i / 4, y1 + (y2 - y1) * i / 4)
            time.sleep(0.03)
        game.wait_report("the finger on the neighbour", lambda r: r.touch == (float(x2), float(y2)), timeout=5)
    finally:
        run("xdotool", "mouseup", "1")


def board_double_tap(game, column, row):
    """Two taps on one creature, each press and release waited for in the report."""
    game.move(*cell_point(column, row))
    for n in range(2):
        run("xdotool", "mousedown", "1")
        try:
            game.wait_report("press %d" % (n + 1), lambda r: r.down == 1, timeout=5)
        finally:
            run("xdotool", "mouseup", "1")
        if n == 0:
            game.wait_report("release 1", lambda r: r.down == 0, timeout=5)


def play_a_while(game, mode, gestures, must_clear=True):
    """Swipes and double taps chosen from the board the report shows; each must be taken."""
    cleared = 0
    for turn in range(gestures):
        before = game.wait_board_idle(mode)
        # A finger lifted a moment ago would make the next press a second tap.
        time.sleep(0.6)
        swipe, switch = best_swipe(before.kinds), best_switch(before.kinds)
        # The larger group wins; on a tie, turns take swipes and switches in turn.
        use_switch = before.swaps > 0 and switch is not None and (
            swipe is None or switch[0] > swipe[0] or (switch[0] == swipe[0] and turn % 2 == 1))
        if use_switch:
            size, (column, row) = switch
            gesture = lambda: board_double_tap(game, column, row)
            taken = lambda r: r.flips == before.flips + 1
            what = "double tap on %d,%d (group %d)" % (column, row, size)
        else:
            if swipe is None:
                fail("no swipe on the board:\n%s" % before.kinds)
            size, (c1, r1), (c2, r2) = swipe
            gesture = lambda: board_swipe(game, c1, r1, c2, r2)
            taken = lambda r: r.moves == before.moves + 1
            what = "swipe %d,%d -> %d,%d (group %d)" % (c1, r1, c2, r2, size)
        try:
            gesture()
            game.wait_report(what, taken, timeout=8)
        except Failure:
            # As a player would when a busy machine loses a tap: once more, on the same board.
            again = game.wait_board_idle(mode)
            if again.kinds != before.kinds:
                fail("%s was not taken, and the board changed" % what)
            time.sleep(0.8)
            gesture()
            game.wait_report(what + " (again)", taken, timeout=10)
            what += ", the second time"
        after = game.wait_board_idle(mode)
        # A clear's points may still be counting up into the score when the board comes to rest.
        if after.score + after.values["pending"] > before.score + before.values["pending"]:
            cleared += 1
        print("  %s: score %d -> %d" % (what, before.score, after.score))
    if must_clear and cleared == 0:
        fail("%d gestures cleared nothing" % gestures)
    return game.wait_board_idle(mode)


# ---- Scenarios --------------------------------------------------------------------------------

MAIN_MENU = 1
GAME_MODE = 2
TUTORIAL = 3
OPTIONS = 4
CHALLENGES = 5
RESULTS = 6
PLAYING = 7
PAUSED = 8
PAUSE_MENU = 9
HIGH_SCORES = 10

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


def brightness(picture):
    gray = picture.convert("L")
    return sum(i * n for i, n in enumerate(gray.histogram())) / float(gray.size[0] * gray.size[1]) / 255


def to_main_menu(game, tap_at):
    game.tap(*tap_at)
    game.wait_screen(MAIN_MENU)


def list_offset(before, after):
    """How far (in pixels, upwards) the high-score list moved between two pictures: the shift that
    best lines up the middle of the list band."""
    top, bottom = 150, 330
    def text(picture):  # the list's white letters, not the water behind them
        return picture.convert("L").point(lambda v: 255 if v > 215 else 0)
    band = text(before).crop((20, top, 300, bottom))
    moved = text(after)
    best = None
    for shift in range(0, 150):
        if top - shift < 0:
            break
        window = moved.crop((20, top - shift, 300, bottom - shift))
        score = sum(i * n for i, n in enumerate(ImageChops.difference(band, window).histogram()))
        if best is None or score < best[0]:
            best = (score, shift)
    return best[1]


def menus(s):
    """A first start: the loading screen, every way through the menus and back, the options kept
    over a restart."""
    folder = s.game_folder("game", s.args.game)
    game = Game(s, s.args.game, folder)
    # The loading screen comes before the first menu frame, and shows its picture: the brightest
    # of the captures taken until then is kept.
    path = os.path.join(s.out, "loading.png")
    brightest, captures = None, 0
    while "first menu frame" not in game.text():
        game.alive()
        picture = game.capture(path + ".tmp")
        if "first menu frame" not in game.text():
            captures += 1
            if brightest is None or brightness(picture) > brightness(brightest):
                brightest = picture
    os.remove(path + ".tmp")
    if "first loading frame" not in game.text():
        fail("no loading frame before the first menu frame")
    # The picture fades in from black and out again; on a busy machine few captures fit between.
    if brightest is not None:
        brightest.save(path)
        print("loading screen: brightness %.2f over %d captures (%s)" % (brightness(brightest), captures, path))
        if captures >= 4 and brightness(brightest) < 0.1:
            fail("the loading screen was dark in %d captures (%s)" % (captures, path))
    game.wait_screen(MAIN_MENU, timeout=40)
    time.sleep(2)
    game.shot("main_menu", [WHOLE], coarse_limit=WAVING_MENU)

    # Options: the quality switch (a still background from here on), the sound switch off and on.
    game.tap(*OPTIONS_BUTTON)
    game.wait_screen(OPTIONS)
    time.sleep(1)
    game.shot("options", [WHOLE])
    game.tap(160, 420)
    time.sleep(0.4)
    game.tap(155, 285)
    time.sleep(0.4)
    game.shot("options_changed", [TITLE, WAY_BACK])
    game.tap(155, 285)
    time.sleep(0.4)
    to_main_menu(game, BACK_BAR)
    time.sleep(2)
    game.shot("main_menu_still_water", [LOGO, MENU_BUTTONS], coarse_limit=WAVING_MENU)

    # Challenges: one chosen, described below the grid.
    game.tap(*CHALLENGES_BUTTON)
    game.wait_screen(CHALLENGES)
    game.tap(32, 100)
    time.sleep(1)
    game.shot("challenges", [TITLE, WAY_BACK, (0, 55, 66, 134)])
    to_main_menu(game, BACK_BAR)

    # High scores: the list dragged up scrolls at least as far as the finger went.
    game.tap(*HIGH_SCORES_BUTTON)
    game.wait_screen(HIGH_SCORES)
    time.sleep(1.0)
    before = game.capture(os.path.join(s.out, "high_scores_before.png"))
    game.drag(160, 330, 160, 250, steps=10, pause=0.05)
    time.sleep(0.8)
    after = game.capture(os.path.join(s.out, "high_scores_dragged.png"))
    offset = list_offset(before, after)
    print("high-score list moved %d pixels for a drag of 80" % offset)
    if offset < 60:
        fail("the high-score list moved %d pixels for a drag of 80 (pictures in %s)" % (offset, s.out))
    to_main_menu(game, BACK_BAR)

    # The tutorial's first panel, left by EXIT.
    game.tap(*TUTORIAL_BUTTON)
    game.wait_screen(TUTORIAL)
    game.wait_line("tutorial step 2 panel 0", timeout=20)
    game.shot("tutorial", [BOARD, TUTORIAL_BAR])
    game.tap(255, 460)
    game.wait_screen(MAIN_MENU)

    # PLAY: the mode tiles, ZEN still locked (a tap on it stays here), and back.
    game.tap(*PLAY_BUTTON)
    game.wait_screen(GAME_MODE)
    time.sleep(1)
    game.shot("game_mode_zen_locked", [TITLE, WAY_BACK])
    game.tap(*MODE_TILES[4])
    time.sleep(1.2)
    if game.screens()[-1][0] != GAME_MODE:
        fail("a tap on the locked ZEN tile left the game mode screen")
    to_main_menu(game, BACK_BAR)
    game.term()

    # Started again, the still water chosen in the options is kept.
    game = Game(s, s.args.game, folder)
    game.wait_screen(MAIN_MENU, timeout=40)
    time.sleep(2.5)
    game.shot("main_menu_still_water", [LOGO, MENU_BUTTONS], coarse_limit=WAVING_MENU)
    game.term()


def modes(s):
    """Each of the four modes, ZEN opened by ten challenges, entered from the menus and played for a
    while with swipes and double taps, then left by the pause menu's QUIT through the results. Each
    mode has a folder of its own: a start there is a first start, whose first board is the one the
    seed deals (a later start resumes the menus' state, its random generator included)."""
    for mode in (3, 1, 2, 4):
        name = MODE_NAMES[mode]
        print("%s:" % name)
        folder = s.game_folder(name, s.args.report_game, settings_record(10, 1))
        game = Game(s, s.args.report_game, folder)
        game.wait_screen(MAIN_MENU, timeout=40)
        time.sleep(1.5)
        game.tap(*PLAY_BUTTON)
        game.wait_screen(GAME_MODE)
        time.sleep(0.6)
        game.tap(*MODE_TILES[mode])
        game.wait_screen(PLAYING)
        game.wait_board_idle(mode)
        game.shot("start_" + name, [BOARD, TUTORIAL_BAR])
        end = play_a_while(game, mode, 5)
        game.tap(*PAUSE_MENU_BUTTON)
        game.wait_screen(PAUSE_MENU)
        time.sleep(0.5)
        game.tap(*PAUSE_MENU_QUIT)
        game.wait_screen(RESULTS, timeout=30)
        results = game.wait_report("the results", lambda r: r.screen == RESULTS)
        if results.score != end.score:
            fail("results show score %d, the game ended with %d" % (results.score, end.score))
        time.sleep(1.5)
        to_main_menu(game, RESULTS_ON)
        game.term()


def pause_resume(s):
    """An ARCADE game paused every way a player can: iconified and restored, the pause button, the
    pause menu's BACK; quit in the middle and started again, the same game resumed; then QUIT from
    the pause menu."""
    start_wm(s.work)
    folder = s.game_folder("game", s.args.report_game, settings_record(0, 1))
    game = Game(s, s.args.report_game, folder)
    run("xdotool", "windowactivate", "--sync", game.window, check=False)
    game.wait_screen(MAIN_MENU, timeout=40)
    game.tap(*PLAY_BUTTON)
    game.wait_screen(GAME_MODE)
    time.sleep(0.6)
    game.tap(*MODE_TILES[1])
    game.wait_screen(PLAYING)
    play_a_while(game, 1, 3)

    # Iconified: the game saves and stops; restored, it reloads that game and plays on.
    held = game.wait_board_idle(1)
    run("xdotool", "windowminimize", "--sync", game.window)
    game.wait_line("report game: pause")
    time.sleep(0.3)
    frozen = game.report()
    time.sleep(1.5)
    if game.report().values["frame"] != frozen.values["frame"]:
        fail("frames went on while the window was iconified")
    run("xdotool", "windowactivate", "--sync", game.window, check=False)
    game.wait_line("report game: resume")
    back = game.wait_board_idle(1)
    if back.kinds != held.kinds or back.score != held.score or back.moves != held.moves:
        fail("the board or score changed over the iconified pause")
    game.shot("after_iconify", [TUTORIAL_BAR], [BOARD])

    # The pause button and the pause menu's BACK.
    game.wait_board_idle(1)
    game.tap(*PAUSE_BUTTON)
    game.wait_screen(PAUSED)
    time.sleep(0.6)
    game.shot("paused", [(0, 140, 320, 200), TUTORIAL_BAR], [BOARD])
    game.tap(*PAUSE_BUTTON)
    game.wait_screen(PLAYING)
    game.tap(*PAUSE_MENU_BUTTON)
    game.wait_screen(PAUSE_MENU)
    time.sleep(0.6)
    game.shot("pause_menu", [TITLE, TUTORIAL_BAR], [BOARD])
    game.tap(*PAUSE_MENU_BACK)
    game.wait_screen(PLAYING)

    # Quit in the middle (a close, as SIGTERM), start again: the same game is resumed.
    kept = play_a_while(game, 1, 2, must_clear=False)
    game.term()
    game = Game(s, s.args.report_game, folder)
    run("xdotool", "windowactivate", "--sync", game.window, check=False)
    resumed = game.wait_report("the resumed game", lambda r: r.screen in (PLAYING, PAUSED) and r.mode == 1, timeout=40)
    if resumed.kinds != kept.kinds or resumed.score != kept.score or resumed.moves != kept.moves:
        fail("the resumed game differs: score %d moves %d, was %d and %d" %
             (resumed.score, resumed.moves, kept.score, kept.moves))
    game.shot("resumed", [TUTORIAL_BAR], [BOARD, (0, 370, 320, 480)])
    if game.report().screen == PAUSED:
        game.tap(*PAUSE_BUTTON)
        game.wait_screen(PLAYING)
    play_a_while(game, 1, 2, must_clear=False)

    # QUIT from the pause menu ends the game through its results.
    game.tap(*PAUSE_MENU_BUTTON)
    game.wait_screen(PAUSE_MENU)
    time.sleep(0.5)
    game.tap(*PAUSE_MENU_QUIT)
    game.wait_screen(RESULTS, timeout=30)
    time.sleep(1.5)
    to_main_menu(game, RESULTS_ON)
    game.term()
    # A finished game is not resumed.
    game = Game(s, s.args.report_game, folder)
    game.wait_screen(MAIN_MENU, timeout=40)
    game.term()


SCENARIOS = {"menus": menus, "modes": modes, "pause_resume": pause_resume}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    parser.add_argument("--game", required=True)
    parser.add_argument("--report-game", required=True)
    parser.add_argument("--media", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    for tool in ("Xvfb", "xdotool", "import"):
        if shutil.which(tool) is None:
            print("%s missing (tools/setup.sh installs it)" % tool)
            return 77
    scenario = Scenario(args.scenario, args)
    # A test that runs out of time is ended by SIGTERM: its X server and game end with it.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    started = time.time()
    status = 0
    try:
        start_xvfb("%dx%d" % (WIDTH + 160, HEIGHT + 120))
        SCENARIOS[args.scenario](scenario)
    except Failure as problem:
        failures.append(str(problem))
    except subprocess.TimeoutExpired as problem:
        failures.append("timed out: %s" % problem)
    finally:
        for process in reversed(STARTED):
            if process.poll() is None:
                process.kill()
                process.wait()
        if failures:
            for root, _, files in os.walk(scenario.work):
                for name in files:
                    if name.startswith("out-"):
                        shutil.copy(os.path.join(root, name), os.path.join(scenario.out, "game-" + name))
        scenario.cleanup()
    for problem in failures:
        print("FAIL (%s): %s" % (args.scenario, problem))
        status = 1
    print("%s: %d pictures %s in %.0f s" % (args.scenario, scenario.compared,
                                            "recorded" if UPDATE else "compared", time.time() - started))
    return status


if __name__ == "__main__":
    sys.exit(main())
