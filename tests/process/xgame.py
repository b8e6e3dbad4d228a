# A game (the real one or the report game) under a private Xvfb, driven
# with xdotool and read by its output and state reports: shared by the process tests and the
# end-to-end player.
import os
import random
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time

STARTED = []  # every process a test started, ended by its id at the end
SHUTDOWN = ["Shut down KRT", "krt is shut down", "PDL_Quit", "</PDL_Quit>", "exit"]


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


def display_in_use(number):
    # A lock file here, or another session's server on the same abstract socket (which a client
    # would reach instead of ours; -displayfd looks at the lock files only).
    if os.path.exists("/tmp/.X%d-lock" % number):
        return True
    with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as probe:
        return probe.connect_ex("\0/tmp/.X11-unix/X%d" % number) == 0


def start_xvfb(size="768x1024"):
    for _ in range(50):
        number = random.randrange(200, 900)
        if display_in_use(number):
            continue
        xvfb = subprocess.Popen(["Xvfb", ":%d" % number, "-screen", "0", size + "x24", "-noreset", "-nolisten", "tcp"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        STARTED.append(xvfb)
        for _ in range(200):
            if xvfb.poll() is not None or display_in_use(number):
                break
            time.sleep(0.05)
        if xvfb.poll() is None:
            os.environ["DISPLAY"] = ":%d" % number
            return
    fail("Xvfb did not start")


def start_wm():
    if shutil.which("openbox") is None:
        print("openbox missing (tools/setup.sh installs it)")
        sys.exit(77)
    STARTED.append(subprocess.Popen(["openbox", "--sm-disable", "--config-file", "/dev/null"],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    wait_for("the window manager",
             lambda: "window id" in run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False))


def game_folder(work, name, program, media, settings=None):
    # A copy of the program beside the build's Media: the game saves beside itself.
    folder = os.path.join(work, name)
    os.makedirs(folder)
    shutil.copy2(program, folder)
    if media:
        os.symlink(os.path.abspath(media), os.path.join(folder, "Media"))
    if settings is not None:
        with open(os.path.join(folder, "squibly.ach"), "wb") as f:
            f.write(settings)
    return os.path.join(folder, os.path.basename(program))


class Report(dict):
    # The state report (board, score, screen) the report game writes every few frames: its
    # numbers by name, the touch, and the kinds on the board row by row.

    def __init__(self, text):
        super().__init__((key, float(value)) for key, value in re.findall(r"\b([a-zA-Z]+) (-?[\d.]+(?:e[-+]?\d+)?)\b", text))
        self.text = text
        self.kinds = [[int(float(v)) for v in line.split()] for line in re.findall(r"^ *kinds(.*)$", text, re.M)]
        if len(self.kinds) != 6 or " random " not in text:
            raise ValueError("partial report")
        self.touch = tuple(map(float, re.search(r"touch (\S+) (\S+)", text).groups()))

    def __getattr__(self, key):
        try:
            return self[key]
        except KeyError:
            raise AttributeError(key)


class Game:
    # One start of the program. Its output comes through a pipe (a file-size limit set on the
    # game must not reach it); `err`, a file that takes standard error apart. A variable given as
    # None is left out of its environment; so is the display size when none is asked for.

    def __init__(self, program, env=(), display=(768, 1024), err=None, limit=None, user=None):
        self.display = display or (768, 1024)
        self.report_path = dict(env).get("SQUIBLY_REPORT")
        if self.report_path and os.path.exists(self.report_path):
            os.remove(self.report_path)  # no report of an earlier start is read
        environment = dict(os.environ, SDL_AUDIODRIVER="dummy", SQUIBLY_START_MODE=None,
                           SQUIBLY_DISPLAY=display and "%dx%d" % display)
        environment.update(env)
        environment = {key: value for key, value in environment.items() if value is not None}

        def before():
            if limit is not None:
                import resource
                resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))
            if user is not None:
                os.setgid(user[1])
                os.setgroups([])
                os.setuid(user[0])

        self.err = open(err, "wb") if err else subprocess.STDOUT
        program = os.path.abspath(program)
        self.process = subprocess.Popen([program], cwd=os.path.dirname(program), env=environment,
                                        stdout=subprocess.PIPE, stderr=self.err, preexec_fn=before)
        STARTED.append(self.process)
        self.lines, self.window = [], None
        self.reader = threading.Thread(target=lambda: self.lines.extend(
            raw.decode(errors="replace") for raw in self.process.stdout), daemon=True)
        self.reader.start()

    def text(self):
        return "".join(self.lines)

    def fail(self, message):
        fail("%s\n---- game output (last 40 lines) ----\n%s" % (message, "".join(self.lines[-40:])))

    def wait(self, what, predicate, timeout=20, every=0.05):
        # Until predicate() gives a value, which it returns; a game that ends meanwhile fails it.
        end = time.time() + timeout
        while time.time() < end:
            ended = self.process.poll() is not None
            if ended:
                self.reader.join(2)  # the last lines it wrote
            value = predicate()
            if value or ended:
                break
            time.sleep(every)
        if not value:
            last = self.report_path and self.report()
            self.fail("%s waiting for %s%s" % ("the game ended" if ended else "gave up", what,
                                               "; the last report:\n" + last.text if last else ""))
        return value

    def wait_line(self, pattern, timeout=20):
        return self.wait("the line " + pattern, lambda: re.search(pattern, self.text(), re.M), timeout, 0.02)

    def find_window(self):
        found = lambda: run("xdotool", "search", "--name", "^Squibly$", check=False).split()
        self.window = self.wait("the game window", lambda: found() and found()[0], 30, 0.1)
        return self.window

    def xdotool(self, *args):
        subprocess.run(["xdotool"] + [self.window if a is None else str(a) for a in args],
                       timeout=5, capture_output=True)

    def point(self, x, y):
        # A design point (320 x 480) in window pixels, as the game scales and centres it.
        w, h = self.display
        s = min(w / 320, h / 480)
        return int((w - 320 * s) / 2 + x * s), int((h - 480 * s) / 2 + y * s)

    def move(self, x, y):
        self.xdotool("mousemove", "--window", None, *self.point(x, y))

    def tap(self, x, y, hold=0.1):
        self.move(x, y)
        time.sleep(0.05)
        self.xdotool("mousedown", 1)
        time.sleep(hold)
        self.xdotool("mouseup", 1)

    def drag(self, x1, y1, x2, y2, steps=10, pause=0.03):
        self.move(x1, y1)
        time.sleep(0.05)
        self.xdotool("mousedown", 1)
        time.sleep(0.15)
        for i in range(1, steps + 1):
            self.move(x1 + (x2 - x1) * i / steps, y1 + (y2 - y1) * i / steps)
            time.sleep(pause)
        time.sleep(0.1)
        self.xdotool("mouseup", 1)

    def screen(self):
        shown = re.findall(r"^screen (\d+) ", self.text(), re.M)
        return int(shown[-1]) if shown else None

    def wait_screen(self, number, timeout=20):
        # Until the game's screen trace (SQUIBLY_TRACE_SCREENS) names screen `number`.
        return self.wait("screen %d" % number, lambda: self.screen() == number, timeout)

    def report(self):
        try:
            with open(self.report_path) as f:
                return Report(f.read())
        except (OSError, ValueError):
            return None

    def wait_report(self, what, predicate, timeout=20):
        def holds():
            r = self.report()
            return r if r is not None and predicate(r) else None
        return self.wait(what, holds, timeout)

    def end(self, how=signal.SIGTERM, fault=False):
        # Ends the game (a signal, a callable that asks it to quit, or None: it ends by itself):
        # status 0, no error line unless a fault is expected, the whole shutdown once and in order;
        # returns the output.
        if callable(how):
            how()
        elif how:
            self.process.send_signal(how)
        try:
            status = self.process.wait(15)
        except subprocess.TimeoutExpired:
            self.fail("the game did not end")
        self.reader.join(5)
        if self.err is not subprocess.STDOUT:
            self.err.close()
        text = self.text()
        if status != 0 or ("KRT Error" in text) != fault:
            self.fail("exit status %d, or an error line" % status)
        # A quit before the window was made has no graphics to shut down.
        if [line for line in text.splitlines() if line in SHUTDOWN] not in (SHUTDOWN, SHUTDOWN[2:]) or \
                not text.endswith("exit\n"):
            self.fail("the shutdown did not finish once, in order")
        return text


def main(cases, prefix):
    # Runs the case named by the first argument in a scratch folder (given as its argument) and
    # ends everything it started.
    name = sys.argv[1]
    work = tempfile.mkdtemp(prefix=prefix)
    os.chmod(work, 0o755)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))  # a test out of time still cleans up
    status = 0
    try:
        if name not in cases:
            fail("unknown case")
        cases[name](work)
        print("PASS (%s)" % name)
    except Failure as problem:
        print("FAIL (%s): %s" % (name, problem))
        status = 1
    finally:
        for process in reversed(STARTED):
            if process.poll() is None:
                process.kill()
                process.wait(5)
        shutil.rmtree(work, ignore_errors=True)
    sys.exit(status)
