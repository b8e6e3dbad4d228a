#!/usr/bin/python3
"""Whole-process save tests: the real game under its own Xvfb (and a window manager where a
desktop is needed), in a folder of its own as it runs beside its files.

usage: save_process_test.py CASE GAME MEDIA_DIR
cases: term_resume, close_resume, altf4_resume, kill_loop, readonly_folder, full_disk,
       size_limit, first_files
"""
import os
import random
import re
import select
import resource
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import threading
import time

CASE, GAME, MEDIA = sys.argv[1], sys.argv[2], sys.argv[3]
WORK = tempfile.mkdtemp(prefix="squibly-saves-process-")
HOME = os.path.join(WORK, "home")
os.makedirs(HOME)
STARTED = []  # every process this test started, ended by its id at the end


def fail(message, game=None):
    print("FAIL (%s): %s" % (CASE, message))
    if game is not None:
        print("---- game output ----")
        print("".join(game.lines))
    sys.exit(1)


def start_xvfb():
    """Xvfb picks a free display itself and writes its number to our pipe, so two tests starting
    at once can never take the same display (a number probed free can be taken before use)."""
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "768x1024x24",
                             "-noreset", "-nolisten", "tcp"], pass_fds=(write_end,),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    STARTED.append(xvfb)
    text = b""
    deadline = time.time() + 10
    while not text.endswith(b"\n") and time.time() < deadline:
        ready, _, _ = select.select([read_end], [], [], 0.2)
        if ready:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            text += chunk
    os.close(read_end)
    if not text.strip().isdigit():
        fail("Xvfb did not start")
    os.environ["DISPLAY"] = ":" + text.strip().decode()


def start_wm():
    if shutil.which("openbox") is None:
        print("openbox missing (tools/setup.sh installs it)")
        sys.exit(77)
    wm = subprocess.Popen(["openbox", "--sm-disable", "--config-file", "/dev/null"],
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    STARTED.append(wm)
    for _ in range(100):
        out = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], capture_output=True, text=True)
        if "window id" in out.stdout:
            return
        time.sleep(0.05)
    fail("window manager did not start")


def game_folder(name):
    """A copy of the executable beside the Media folder: the game saves beside itself."""
    folder = os.path.join(WORK, name)
    os.makedirs(folder)
    shutil.copy2(GAME, os.path.join(folder, "squibly"))
    os.symlink(MEDIA, os.path.join(folder, "Media"))
    return folder


class Game:
    def __init__(self, folder, mode="arcade", limit=None, user=None):
        # A home of its own: a game whose program folder cannot be written saves in the
        # application-data folder under it, never in the real one.
        env = dict(os.environ, SDL_AUDIODRIVER="dummy", SQUIBLY_SEED="5", HOME=HOME)
        env.pop("SQUIBLY_START_MODE", None)
        if mode:
            env["SQUIBLY_START_MODE"] = mode

        def before():
            if limit is not None:
                resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))
            if user is not None:
                os.setgid(user[1])
                os.setgroups([])
                os.setuid(user[0])

        # Output through a pipe: a file-size limit must not apply to it.
        self.process = subprocess.Popen([os.path.join(folder, "squibly")], cwd=WORK, env=env,
                                        stdout=subprocess.PIPE, stderr=subprocess.STDOUT, preexec_fn=before)
        STARTED.append(self.process)
        self.lines = []
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()
        self.window = None

    def _read(self):
        for raw in self.process.stdout:
            self.lines.append(raw.decode(errors="replace"))

    def text(self):
        return "".join(self.lines)

    def wait_line(self, pattern, timeout=20):
        end = time.time() + timeout
        while time.time() < end:
            found = re.search(pattern, self.text(), re.M)
            if found:
                return found
            if self.process.poll() is not None:
                time.sleep(0.2)
                found = re.search(pattern, self.text(), re.M)
                if found:
                    return found
                fail("game ended before: " + pattern, self)
            time.sleep(0.05)
        fail("no line: " + pattern, self)

    def find_window(self):
        for _ in range(60):
            out = subprocess.run(["xdotool", "search", "--name", "^Squibly$"], capture_output=True, text=True,
                                 timeout=5)
            ids = out.stdout.split()
            if ids:
                self.window = ids[0]
                return self.window
            time.sleep(0.1)
        fail("window not found", self)

    def xdotool(self, *args):
        subprocess.run(["xdotool"] + list(args), timeout=5, capture_output=True)

    def design_point(self, x, y):
        # The 768 x 1024 display shows the 320 x 480 design area scaled by 1024 / 480, centred.
        scale = 1024 / 480
        return str(int(42.67 + x * scale)), str(int(y * scale))

    def swipe_cells(self, count=4):
        """Swipes over the board as a player does: the game sees a player who acted."""
        for n in range(count):
            column, row = n % 5, (n * 2) % 6
            x0, y0 = self.design_point(35 + 50 * column, 35 + 50 * row)
            x1, _ = self.design_point(85 + 50 * column, 35 + 50 * row)
            self.xdotool("mousemove", "--window", self.window, x0, y0, "mousedown", "1")
            time.sleep(0.12)
            self.xdotool("mousemove", "--window", self.window, x1, y0)
            time.sleep(0.12)
            self.xdotool("mouseup", "1")
            time.sleep(0.4)

    def tap(self, hold=0.15):
        x, y = self.design_point(160, 240)
        self.xdotool("mousemove", "--window", self.window, x, y, "mousedown", "1")
        time.sleep(hold)
        self.xdotool("mouseup", "1")

    def wait_exit(self, timeout=15):
        try:
            code = self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            fail("game still running", self)
        self.reader.join(5)
        return code

    def expect_clean_end(self):
        code = self.wait_exit()
        if code != 0:
            fail("exit status %d" % code, self)
        if "KRT Error" in self.text():
            fail("error line printed", self)
        if not self.text().rstrip().endswith("exit"):
            fail("the shutdown did not finish", self)


def ready_game(game):
    """The game runs its frame loop with a live board and a player who has acted."""
    game.wait_line("^Init Finalized$")
    game.find_window()
    time.sleep(4)  # the board drops in and the play area slides up
    game.swipe_cells()
    time.sleep(1.5)


def saved_state(game):
    states = re.findall(r"^game saved: state ([0-9a-f]+)$", game.text(), re.M)
    if not states:
        fail("no game saved on the way out", game)
    return states[-1]


def resume_case(how):
    start_xvfb()
    if how == "close":
        start_wm()
    folder = game_folder("game")
    game = Game(folder)
    ready_game(game)
    if how == "term":
        game.process.send_signal(signal.SIGTERM)
    elif how == "close":
        if subprocess.run(["wmctrl", "-c", "Squibly"], timeout=5).returncode != 0:
            fail("wmctrl could not ask the window to close", game)
    else:  # Alt+F4 with no window manager: the runtime's own quit keys
        game.xdotool("keydown", "--window", game.window, "Alt_L", "keydown", "--window", game.window, "F4")
        time.sleep(0.3)
        game.xdotool("keyup", "--window", game.window, "F4", "keyup", "--window", game.window, "Alt_L")
    game.expect_clean_end()
    saved = saved_state(game)
    # The next start (the test switch would start another game) goes back to the saved one.
    again = Game(folder)
    resumed = again.wait_line(r"^(game resumed: state ([0-9a-f]+)|saved game not resumed: .*)$").group(0)
    if resumed != "game resumed: state " + saved:
        fail("saved %s, next start: %s" % (saved, resumed), again)
    again.wait_line("^Init Finalized$")
    time.sleep(1)
    again.process.send_signal(signal.SIGTERM)
    again.expect_clean_end()
    print("%s: saved state %s resumed exactly" % (how, saved))


# ---- Kills ------------------------------------------------------------------------------------

def settings_record():
    """A settings record with scores no default has; no run in this test changes them."""
    values = [0.5, 0.75, 1, 1, 1, 0] + [100, 50, 0] * 5
    for table in range(4):
        for slot in range(6):
            values += [77000 - 1000 * table - slot, 9 - slot]
    values.append(4321)
    return struct.pack("<70d", *values)


def complete_saved_game(data):
    return len(data) > 10044 and data[:8] == data[-8:]


def kill_loop():
    start_xvfb()
    start_wm()
    folder = game_folder("game")
    record = settings_record()
    with open(os.path.join(folder, "squibly.ach"), "wb") as f:
        f.write(record)
    rng = random.Random(9)
    mid_write = 0
    resumes = 0
    expected = None  # the state the next start must resume, when the last kill left one whole
    # Thirty rounds, and more (up to sixty) while fewer than three kills have landed inside a
    # save: on a busy machine the temporary files can come and go between two looks.
    round_number = -1
    while round_number + 1 < 30 or (mid_write < 3 and round_number + 1 < 60):
        round_number += 1
        mode = "arcade" if round_number % 3 else None  # menus every third round
        game = Game(folder, mode=mode)
        game.wait_line("^Init Finalized$")
        if expected:
            line = game.wait_line(r"^(game resumed: state ([0-9a-f]+)|saved game not resumed: .*)$")
            if line.group(2) != expected:
                fail("round %d: the whole saved game %s was not resumed: %s" % (round_number, expected,
                                                                                 line.group(0)), game)
            resumes += 1
        game.find_window()
        kind = round_number % 6
        if kind in (0, 2, 4):
            # Kill inside a save, or just after one: the window is iconified, the game saves;
            # the kill lands as soon as the settings' or the game's temporary file appears, or
            # once the save is done and the game waits paused.
            # The board is live a few seconds after the start; a player who acted is resumed.
            time.sleep(rng.uniform(3.5, 4.5) if kind == 4 else rng.uniform(0.3, 2.5))
            if mode:
                game.swipe_cells(2)
            watched = {0: "squibly.ach.tmp", 2: "squibly.sav.tmp", 4: None}[kind]
            game.xdotool("windowminimize", game.window)
            end = time.time() + 5
            hit = False
            while time.time() < end and not hit:
                if watched:
                    hit = os.path.exists(os.path.join(folder, watched))
                else:
                    hit = "pause loop in showscreen/hibernate" in game.text()
            game.process.send_signal(signal.SIGKILL)
            if hit and watched:
                mid_write += 1
        else:
            time.sleep(rng.uniform(0.1, 2.5))
            game.process.send_signal(signal.SIGKILL)
        game.process.wait(10)
        game.reader.join(5)
        if "KRT Error" in game.text():
            fail("error line before the kill", game)
        # What was saved before the kill is whole: the settings as written, a saved game whole.
        with open(os.path.join(folder, "squibly.ach"), "rb") as f:
            if f.read() != record:
                fail("the settings changed after kill %d" % round_number, game)
        expected = None
        saved_game = os.path.join(folder, "squibly.sav")
        if os.path.exists(saved_game):
            with open(saved_game, "rb") as f:
                if not complete_saved_game(f.read()):
                    fail("a torn saved game after kill %d" % round_number, game)
        check = os.path.join(folder, "squibly.tes")
        if os.path.exists(check):
            # Written after the game record of the same save, at this run's only pause.
            with open(check, "rb") as f:
                if struct.unpack("<d", f.read())[0] > 56:
                    expected = saved_state(game)
    # The last restart after the last kill.
    game = Game(folder, mode="arcade")
    game.wait_line("^Init Finalized$")
    time.sleep(1)
    game.process.send_signal(signal.SIGTERM)
    game.expect_clean_end()
    with open(os.path.join(folder, "squibly.ach"), "rb") as f:
        if f.read() != record:
            fail("the settings changed", game)
    if mid_write < 3:
        fail("only %d kills landed inside a save" % mid_write)
    if resumes < 3:
        fail("only %d restarts resumed a saved game" % resumes)
    print("30 kills, %d inside a save, %d restarts resumed the game saved before the kill; every restart "
          "clean, settings intact" % (mid_write, resumes))


# ---- Saves that cannot be written ---------------------------------------------------------------

def window_pixels(game):
    return subprocess.run(["import", "-window", game.window, "-depth", "8", "rgb:-"], capture_output=True,
                          timeout=10).stdout


def unwritable_case(limit=None, user=None, expect="", quit_on_screen=False):
    """The first settings save fails at start-up: the save-error screen waits for a tap (or a quit
    ends it at once); then the game plays; a pause and a quit go through without waiting; the
    program ends with status 0."""
    start_xvfb()
    start_wm()
    folder = game_folder("game")
    if user is not None or limit is None:
        # Neither the program folder nor the application-data folder, where a game whose
        # program folder is read-only saves instead, can be written.
        os.makedirs(os.path.join(HOME, ".kortic"))
        for path in (WORK, HOME, os.path.join(HOME, ".kortic"), folder):
            os.chmod(path, 0o755 if user is not None else 0o555)
        os.chmod(WORK, 0o755)
    game = Game(folder, limit=limit, user=user)
    game.wait_line("^Init Finalized$")
    game.wait_line("^can't save settings: .*squibly.ach: " + expect)
    game.find_window()
    time.sleep(1)
    if os.environ.get("SQUIBLY_KEEP_SHOTS"):
        subprocess.run(["import", "-window", game.window, os.environ["SQUIBLY_KEEP_SHOTS"]], timeout=10)
    # The screen waits for a tap: once drawn, it stays as it is.
    waiting = window_pixels(game)
    for _ in range(40):
        time.sleep(0.25)
        shown = window_pixels(game)
        if shown == waiting:
            break
        waiting = shown
    time.sleep(1)
    if window_pixels(game) != waiting:
        fail("the game went on without the tap", game)
    if quit_on_screen:
        game.process.send_signal(signal.SIGTERM)
        game.expect_clean_end()
        print("quit while the save-error screen waited: status 0")
        return folder, game
    # A player taps again when a tap seems lost (a busy machine may deliver press and release
    # together).
    for _ in range(5):
        game.tap(hold=0.4)
        end = time.time() + 3
        while window_pixels(game) == waiting and time.time() < end:
            time.sleep(0.25)
        if window_pixels(game) != waiting:
            break
    else:
        fail("the game did not go on after the tap", game)
    time.sleep(2)
    game.xdotool("windowminimize", game.window)  # the pause saves again and fails again
    game.wait_line("pause loop in showscreen/hibernate")
    count = len(re.findall("^can't save settings", game.text(), re.M))
    if count < 2:
        fail("the pause did not try to save", game)
    game.process.send_signal(signal.SIGTERM)
    game.expect_clean_end()
    reasons = sorted(set(re.findall(r"^can't save .*$", game.text(), re.M)))
    print("said why:\n  " + "\n  ".join(reasons))
    return folder, game


def size_limit():
    """Settings fit under the limit, a saved game does not: the game's save fails after its open,
    the previous saved game stays whole, and nothing waits."""
    start_xvfb()
    folder = game_folder("game")
    game = Game(folder)
    ready_game(game)
    game.process.send_signal(signal.SIGTERM)
    game.expect_clean_end()
    with open(os.path.join(folder, "squibly.sav"), "rb") as f:
        before = f.read()
    limited = Game(folder, limit=4096)
    limited.wait_line("^game resumed: ")
    limited.wait_line("^Init Finalized$")
    time.sleep(2)
    limited.process.send_signal(signal.SIGTERM)
    limited.expect_clean_end()
    limited.wait_line("^can't save the game: .*squibly.sav: File too large$")
    with open(os.path.join(folder, "squibly.sav"), "rb") as f:
        if f.read() != before:
            fail("the previous saved game was changed", limited)
    if os.path.exists(os.path.join(folder, "squibly.sav.tmp")):
        fail("a temporary file was left", limited)
    print("a saved game over the file-size limit: not written, the old one whole, status 0")


def first_files():
    """The files beside the executable after a first start, a game, a pause and a quit."""
    start_xvfb()
    start_wm()
    folder = game_folder("game")
    game = Game(folder)
    ready_game(game)
    game.xdotool("windowminimize", game.window)
    game.wait_line("pause loop in showscreen/hibernate")
    game.xdotool("windowactivate", game.window)
    game.wait_line("pause loop ended")
    time.sleep(1)
    game.process.send_signal(signal.SIGTERM)
    game.expect_clean_end()
    listing = sorted((name, os.lstat(os.path.join(folder, name)).st_size) for name in os.listdir(folder))
    for name, size in listing:
        print("  %-12s %8d bytes" % (name, size))
    names = [name for name, _ in listing]
    if names != ["Media", "squibly", "squibly.ach", "squibly.sav", "squibly.tes"]:
        fail("unexpected files: %s" % names)
    sizes = dict(listing)
    if sizes["squibly.ach"] != 560 or sizes["squibly.tes"] != 8 or sizes["squibly.sav"] <= 10044:
        fail("unexpected sizes: %s" % sizes)


def main():
    try:
        if CASE in ("term_resume", "close_resume", "altf4_resume"):
            resume_case(CASE.split("_")[0])
        elif CASE == "kill_loop":
            kill_loop()
        elif CASE == "readonly_folder":
            # Root writes anywhere: the game then runs as an unprivileged user in a root folder.
            user = (65534, 65534) if os.getuid() == 0 else None
            unwritable_case(user=user, expect="Permission denied")
        elif CASE == "full_disk":
            unwritable_case(limit=0, expect="File too large", quit_on_screen=True)
        elif CASE == "size_limit":
            size_limit()
        elif CASE == "first_files":
            first_files()
        else:
            fail("unknown case")
    finally:
        for process in reversed(STARTED):
            if process.poll() is None:
                process.kill()
                process.wait(5)
        shutil.rmtree(WORK, ignore_errors=True)


main()
