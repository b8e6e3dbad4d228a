#!/usr/bin/python3
# Whole processes under their own Xvfb (and openbox where a desktop is needed). The real game:
# quits that resume exactly, kills at any moment, saves that cannot be written, a start-up that goes
# wrong, fullscreen, the window gone, no display, its sleep while iconified, its window's size.
#
# usage: process_test.py CASE GAME MEDIA_DIR [CAPTURE_DIR]
import os
import random
import re
import struct
import sys
import time

from PIL import Image, ImageStat
from xgame import STARTED, Game, fail, game_folder, main, run, start_wm, start_xvfb

GAME, MEDIA = sys.argv[2], sys.argv[3]
RESUMED = r"^(game resumed: state ([0-9a-f]+)|saved game not resumed: .*)$"


def start(work, program, mode="arcade", env=(), **options):
    # A home of its own: a game whose program folder cannot be written saves under it.
    home = os.path.join(work, "home")
    os.makedirs(home, exist_ok=True)
    return Game(program, dict({"SQUIBLY_SEED": "5", "HOME": home, "SQUIBLY_TRACE_SCREENS": "1",
                               "SQUIBLY_START_MODE": mode}, **dict(env)), **options)


def swipe(game, count):
    # Swipes over the board: the game sees a player who acted.
    for n in range(count):
        x, y = 35 + 50 * (n % 5), 35 + 50 * ((n * 2) % 6)
        game.drag(x, y, x + 50, y, steps=1, pause=0.12)
        time.sleep(0.4)


def ready(game):
    game.wait_line("^screen 7 ", 40)
    game.find_window()
    time.sleep(3)  # the board drops in and the play area slides up
    # A loaded machine can still be dropping the board in: swipe until a touch counts.
    for _ in range(10):
        swipe(game, 4)
        if re.search(r"^player acted 1$", game.text(), re.M):
            break
    game.wait_line(r"^player acted 1$", 5)
    time.sleep(1.5)


def alt_f4(game):  # with no window manager, the runtime's own quit keys
    game.xdotool("keydown", "--window", None, "Alt_L", "keydown", "--window", None, "F4")
    time.sleep(0.3)
    game.xdotool("keyup", "F4", "keyup", "Alt_L")


def saved_states(text):
    return re.findall(r"^game saved: state ([0-9a-f]+)$", text, re.M)


def read(folder, name):
    with open(os.path.join(folder, name), "rb") as f:
        return f.read()


def whole_saved_game(data):
    return len(data) > 10044 and data[:8] == data[-8:]


def resume_case(how):
    def case(work):
        start_xvfb()
        if how == "close":
            start_wm()
        program = game_folder(work, "game", GAME, MEDIA)
        folder = os.path.dirname(program)
        game = start(work, program)
        ready(game)
        quits = {"term": game.process.terminate, "close": lambda: run("wmctrl", "-c", "Squibly"),
                 "altf4": lambda: alt_f4(game)}
        saved = saved_states(game.end(quits[how]))
        if len(saved) != 1:
            fail("saved %d times on the way out" % len(saved))
        files = sorted((name, os.lstat(os.path.join(folder, name)).st_size) for name in os.listdir(folder))
        print("after a first start, a game and a quit: %s" % files)
        sizes = dict(files)
        if sorted(sizes) != ["Media", "squibly", "squibly.ach", "squibly.sav", "squibly.tes"] or \
                sizes["squibly.ach"] != 560 or sizes["squibly.tes"] != 8 or not whole_saved_game(read(folder, "squibly.sav")):
            fail("unexpected files beside the game: %s" % files)
        # The next start goes back to that game (the test switch would start another), even under
        # a file-size limit the settings fit and a saved game does not: its own save then fails,
        # the one saved stays whole, and nothing waits.
        before = read(folder, "squibly.sav")
        again = start(work, program, limit=4096)
        resumed = again.wait_line(RESUMED).group(0)
        if resumed != "game resumed: state " + saved[0]:
            again.fail("saved %s, next start: %s" % (saved[0], resumed))
        again.wait_line("^Init Finalized$")
        time.sleep(2)
        text = again.end()
        if not re.search(r"^can't save the game: .*squibly.sav: File too large$", text, re.M):
            again.fail("the save over the limit did not say why")
        if read(folder, "squibly.sav") != before or os.path.exists(program + ".sav.tmp"):
            fail("the saved game was changed, or a temporary file left")
        print("%s: saved state %s resumed exactly" % (how, saved[0]))
    return case


def settings_record():
    # A settings record with scores no default has; no run in this test changes them.
    values = [0.5, 0.75, 1, 1, 1, 0] + [100, 50, 0] * 5
    for table in range(4):
        values += [v for slot in range(6) for v in (77000 - 1000 * table - slot, 9 - slot)]
    return struct.pack("<70d", *values, 4321)


def kill_loop(work):
    # Thirty kills, more (up to sixty) while fewer than three have landed inside a save (on a busy
    # machine the temporary files can come and go between two looks). What was saved before each
    # kill is whole, and the next start resumes a saved game that was whole.
    start_xvfb()
    start_wm()
    record = settings_record()
    program = game_folder(work, "game", GAME, MEDIA, record)
    folder = os.path.dirname(program)
    rng = random.Random(9)
    mid_write = resumes = 0
    expected = None  # the state the next start must resume
    kills = 0
    while kills < 30 or (mid_write < 3 and kills < 60):
        mode = "arcade" if kills % 3 else None  # the menus every third round
        game = start(work, program, mode)
        game.wait_line("^Init Finalized$")
        if expected:
            line = game.wait_line(RESUMED)
            if line.group(2) != expected:
                game.fail("kill %d: the whole saved game %s was not resumed: %s" % (kills, expected, line.group(0)))
            resumes += 1
        game.find_window()
        kind = kills % 6
        if kind in (0, 2, 4):
            # Iconified, the game saves: the kill lands as soon as the settings' or the game's
            # temporary file appears, or once the save is done and the game waits paused.
            if kind == 4:  # a board the player has acted on
                game.wait_line("^screen [78] ", 40)
            time.sleep(rng.uniform(2.5, 3.5) if kind == 4 else rng.uniform(0.3, 2.5))
            if mode:
                swipe(game, 2)
            watched = {0: "squibly.ach.tmp", 2: "squibly.sav.tmp", 4: None}[kind]
            game.xdotool("windowminimize", None)
            end = time.time() + 5
            hit = False
            while time.time() < end and not hit:
                hit = os.path.exists(os.path.join(folder, watched)) if watched else \
                    "pause loop in showscreen/hibernate" in game.text()
            mid_write += bool(hit and watched)
        else:
            time.sleep(rng.uniform(0.1, 2.5))
        game.process.kill()
        game.process.wait(10)
        game.reader.join(5)
        if "KRT Error" in game.text():
            game.fail("an error line before the kill")
        if read(folder, "squibly.ach") != record:
            game.fail("the settings changed after kill %d" % kills)
        if os.path.exists(program + ".sav") and not whole_saved_game(read(folder, "squibly.sav")):
            game.fail("a torn saved game after kill %d" % kills)
        expected = None
        # The check value is written after the game record of the same save, at this run's only pause.
        if os.path.exists(program + ".tes") and struct.unpack("<d", read(folder, "squibly.tes"))[0] > 56:
            expected = saved_states(game.text())[-1]
        kills += 1
    game = start(work, program)
    game.wait_line("^Init Finalized$")
    time.sleep(1)
    game.end()
    if read(folder, "squibly.ach") != record or mid_write < 3 or resumes < 3:
        fail("settings changed, or only %d kills inside a save, %d resumes" % (mid_write, resumes))
    print("%d kills, %d inside a save, %d restarts resumed the game saved before the kill" % (kills, mid_write, resumes))


def unwritable_case(limit=None, expect="Permission denied", quit_on_screen=False):
    # The first settings save fails at start-up: the save-error screen waits for a tap (or a quit
    # ends it at once); then the game plays, and a pause and a quit go through without waiting.
    def case(work):
        start_xvfb()
        start_wm()
        program = game_folder(work, "game", GAME, MEDIA)
        user = None
        if limit is None:
            # Neither the program folder nor the application-data folder can be written. Root
            # writes anywhere: the game then runs as an unprivileged user in root's folders.
            user = (65534, 65534) if os.getuid() == 0 else None
            home = os.path.join(work, "home")
            os.makedirs(os.path.join(home, ".kortic"))
            for path in (home, os.path.join(home, ".kortic"), os.path.dirname(program)):
                os.chmod(path, 0o755 if user else 0o555)
        game = start(work, program, limit=limit, user=user)
        game.wait_line("^can't save settings: .*squibly.ach: " + expect)
        game.find_window()
        time.sleep(1)
        # The screen waits for a tap: no other screen comes meanwhile (the trace's first line included).
        went_on = lambda: "\nscreen " in game.text().split("can't save settings", 1)[1]
        time.sleep(2)
        if went_on():
            game.fail("the game went on without the tap")
        if quit_on_screen:
            game.end()
            print("a quit while the save-error screen waited: status 0")
            return
        # A player taps again when a tap seems lost (a busy machine may deliver press and release together).
        for _ in range(5):
            game.tap(160, 240, hold=0.4)
            end = time.time() + 3
            while not went_on() and time.time() < end:
                time.sleep(0.1)
            if went_on():
                break
        else:
            game.fail("the game did not go on after the tap")
        time.sleep(2)
        game.xdotool("windowminimize", None)  # the pause saves again and fails again
        game.wait_line("pause loop in showscreen/hibernate")
        game.wait("the pause's own try to save",
                  lambda: len(re.findall("^can't save settings", game.text(), re.M)) >= 2, 10)
        print("said why:\n  " + "\n  ".join(sorted(set(re.findall(r"^can't save .*$", game.end(), re.M)))))
    return case


def early_term(work):
    # SIGTERM at moments spread over start-up, counted from its first line (the runtime's signal
    # handling is in place by then): while the first frames are presented, while the loading screen
    # runs. Each ends the game cleanly.
    start_xvfb()
    program = game_folder(work, "game", GAME, MEDIA)
    for delay in (0, 0.05, 0.1, 0.15, 0.2, 0.25, 0.35, 0.5):
        game = start(work, program, None)
        game.wait_line("^timer$", 10)
        time.sleep(delay)
        game.end()


def start_fault(media, line):
    # A start-up without its pictures says why in one line on standard error and plays on.
    def case(work):
        start_xvfb()
        folder = media(work)
        program = game_folder(work, "game", GAME, folder)
        line_wanted = line.replace("MEDIA", str(folder)).replace("FOLDER", os.path.dirname(program))
        errors = os.path.join(work, "err.txt")
        game = start(work, program, None, err=errors)
        game.wait_line("^screen 1 phase")
        time.sleep(0.5)
        game.end()
        with open(errors) as f:
            said = f.read().splitlines()
        if said != [line_wanted]:
            fail("standard error: %s" % said)
    return case


def bad_atlas_media(work):
    media = os.path.join(work, "media")
    os.makedirs(media)
    for name in os.listdir(MEDIA):
        os.symlink(os.path.join(MEDIA, name), os.path.join(media, name))
    os.remove(os.path.join(media, "textatlas1.png"))
    with open(os.path.join(media, "textatlas1.png"), "wb") as f:
        f.write(os.urandom(5000))
    return media


def fullscreen_taps(work):
    # Fullscreen on a desktop: F11 shows the display as large as fits the screen with its own
    # aspect, centred; Alt+Enter brings the window back. Neither pauses the game, and taps land on
    # the creature under the pointer in both: the design point the game read for each.
    captures = sys.argv[4]
    os.makedirs(captures, exist_ok=True)
    sw, sh, dw, dh = 1920, 1200, 768, 1024
    start_xvfb("%dx%d" % (sw, sh))
    start_wm()
    game = start(work, game_folder(work, "game", GAME, MEDIA), env={
        "SQUIBLY_REPORT": os.path.join(work, "report.txt"), "SQUIBLY_TRACE_EVENTS": "1"})
    game.find_window()
    run("xdotool", "windowactivate", "--sync", game.window, check=False)
    game.wait_report("a resting board", lambda r: r.boardPhase == 2 and r.busy == 0)
    s = min(sw / dw, sh / dh)
    pw, ph = int(dw * s + 0.5), int(dh * s + 0.5)
    px, py = (sw - pw) // 2, (sh - ph) // 2

    def on_screen(vx, vy):  # a display pixel on the fullscreen picture
        return int(px + (vx + 0.5) * pw / dw), int(py + (vy + 0.5) * ph / dh)

    def tap(column, row, clicks, fullscreen, flips=None, selected=None):
        x, y = 35 + 50 * column, 35 + 50 * row
        if fullscreen:
            run("xdotool", "mousemove", *map(str, on_screen(*game.point(x, y))))
        else:
            game.move(x, y)
        time.sleep(0.2)
        run("xdotool", "click", "--repeat", str(clicks), "--delay", "120", "1")
        r = game.wait_report("the tap on %d,%d" % (column, row),
                             lambda r: r.flips == flips if flips else r.selected == selected)
        if (r.touch[0] - x) ** 2 + (r.touch[1] - y) ** 2 > 2:
            fail("the tap on cell %d,%d landed at %s" % (column, row, r.touch))

    tap(2, 3, 2, False, flips=1)  # a double tap switches a creature into its twin
    game.xdotool("key", "F11")
    game.wait_line("fullscreen %dx%d" % (sw, sh))
    time.sleep(1)
    tap(5, 0, 2, True, flips=2)
    game.xdotool("key", "alt+Return")
    game.wait_line("windowed %dx%d" % (dw, dh))
    time.sleep(1)
    geometry = re.findall(r"(?:Width|Height): (\d+)", run("xwininfo", "-id", game.window))
    back = os.path.join(captures, "back.png")
    run("import", "-window", game.window, back, timeout=20)
    if geometry != [str(dw), str(dh)] or ImageStat.Stat(Image.open(back).convert("L")).mean[0] <= 25:
        fail("the window after fullscreen is %s, or dark" % geometry)
    tap(0, 5, 2, False, flips=3)
    tap(3, 4, 1, False, selected=28)
    if re.search("^(report game: pause|pause loop)", game.end(), re.M):
        fail("a fullscreen switch paused the game")


def started(work, mode=None, display=(768, 1024)):
    # The real game at its main menu in a folder of its own.
    game = start(work, game_folder(work, "game", GAME, MEDIA), mode, display=display)
    game.wait_line("^screen 1 ")
    return game


def cpu_and_switches(pid):
    # CPU ticks of the process, and context switches of all its threads (each a sleep and a wake-up).
    with open("/proc/%d/stat" % pid) as f:
        ticks = sum(int(v) for v in f.read().rsplit(")", 1)[1].split()[11:13])
    switches = 0
    for task in os.listdir("/proc/%d/task" % pid):
        with open("/proc/%d/task/%s/status" % (pid, task)) as f:
            switches += sum(int(line.split()[1]) for line in f if "ctxt_switches" in line)
    return ticks, switches


def iconify_pause(work):
    # Iconified, the game sleeps (the pause loop's five a second and the window watch's round trips,
    # no thread of SDL's ticking), and a quit arriving then still ends it cleanly.
    start_xvfb()
    start_wm()
    game = started(work)
    game.find_window()
    run("xdotool", "windowactivate", "--sync", game.window, check=False)
    time.sleep(1)
    run("xdotool", "windowminimize", "--sync", game.window)
    game.wait_line("^pause loop in showscreen/hibernate$")
    time.sleep(1)
    ticks, switches = cpu_and_switches(game.process.pid)
    time.sleep(4)
    ticks, switches = [(b - a) / 4 for a, b in zip((ticks, switches), cpu_and_switches(game.process.pid))]
    percent = 100 * ticks / os.sysconf("SC_CLK_TCK")
    print("CPU while paused: %.1f%%, %.0f wake-ups per second" % (percent, switches))
    if percent > 5 or switches > 20:
        game.fail("busy while paused")
    game.end()


def no_display(work):
    # The runtime says why and ends through the normal shutdown, without entering the game.
    os.environ.pop("DISPLAY", None)
    game = start(work, game_folder(work, "game", GAME, MEDIA), None)
    text = game.end(None)
    if not re.search("^Can't open the display", text, re.M) or "Init Finalized" in text:
        game.fail("no display: not said, or the game went on")


def window_gone(command, line):
    # Another client destroys the window (no window manager to ask), or the X server drops the
    # game's connection: a quit through the normal shutdown, not an endless pause.
    def case(work):
        start_xvfb()
        game = started(work)
        game.find_window()
        if line not in game.end(lambda: game.xdotool(command, None)).splitlines():
            game.fail("no line: " + line)
    return case


def display_size(work):
    # The emulated display: exactly the tablet under a 768x1024 screen, the largest 3:4 portrait
    # size on a landscape desktop, and whatever SQUIBLY_DISPLAY asks for.
    for n, (screen, asked, wanted) in enumerate((
            ("768x1024", None, "768x1024"), ("1920x1080", None, "768x1024"), ("1280x800", None, "600x800"),
            ("1920x1080", (320, 480), "320x480"), ("768x1024", (1024, 768), "1024x768"))):
        start_xvfb(screen)
        game = started(os.path.join(work, str(n)), display=asked)
        size = "x".join(re.findall(r"(?:Width|Height): (\d+)", run("xwininfo", "-id", game.find_window())))
        if size != wanted:
            game.fail("screen %s, asked %s: window %s, wanted %s" % (screen, asked, size, wanted))
        game.end()
        STARTED[-2].kill()


main({
    "term_resume": resume_case("term"),
    "close_resume": resume_case("close"),
    "altf4_resume": resume_case("altf4"),
    "kill_loop": kill_loop,
    "iconify_pause": iconify_pause,
    "no_display": no_display,
    "window_destroyed": window_gone("windowclose", "window destroyed"),
    "connection_cut": window_gone("windowkill", "X connection lost"),
    "display_size": display_size,
    "fullscreen_taps": fullscreen_taps,
    "readonly_folder": unwritable_case(),
    "full_disk": unwritable_case(limit=0, expect="File too large", quit_on_screen=True),
    "early_term": early_term,
    "no_media": start_fault(lambda work: None,
                            "No Media folder in FOLDER/: the game runs without its pictures and sounds"),
    "bad_atlas": start_fault(bad_atlas_media,
                             "Can't load textatlas1.png from MEDIA/: not a picture the game can read"),
}, "squibly-game-process-")
