#!/usr/bin/env python3
"""Plays N games of each scored mode with the session bot (every check on) and prints what they
came to: scores, levels, game lengths, challenges, power-ups hatched and used.

usage: bot_report.py SESSION_TOOL [--games N] [--modes arcade,puzzle,timetrial] [--seed S]
                     [--longest TICKS] [--markdown]
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

GAME = re.compile(r"^game \d+ (\S+) score (\S+) level (\S+) rank \S+ new_high \S+ at tick \d+ length (\S+) "
                  r"challenges (\S+)\+(\S+) hatched ((?:\d+ ){6})used ((?:\d+ ?){6})(?: left (\w+))?$")
LONGEST = [0]
POWERS = ["less 0:30", "less 1:00", "clock 0:30", "clock 1:00", "switches 0:30", "switches 1:00"]


def quantile(values, q):
    ordered = sorted(values)
    if not ordered:
        return 0
    return ordered[min(len(ordered) - 1, int(q * (len(ordered) - 1) + 0.5))]


def spread(values):
    return "min %s, median %s, p90 %s, max %s" % tuple(
        fmt(v) for v in (min(values), quantile(values, 0.5), quantile(values, 0.9), max(values)))


def fmt(v):
    return "%d" % v if float(v).is_integer() else "%.1f" % v


def histogram(values, buckets):
    """Counts per bucket [lo, hi) of the given edges; the last bucket is open-ended."""
    counts = [0] * len(buckets)
    for v in values:
        for i in range(len(buckets) - 1, -1, -1):
            if v >= buckets[i]:
                counts[i] += 1
                break
    rows = []
    for i, lo in enumerate(buckets):
        label = ("%s-%s" % (fmt(lo), fmt(buckets[i + 1] - 1))) if i + 1 < len(buckets) else ("%s+" % fmt(lo))
        rows.append("%s: %d" % (label, counts[i]))
    return ", ".join(rows)


def edges(values, count=8):
    """Round bucket edges covering the values in about count steps."""
    top = max(values) or 1
    step = top / count
    magnitude = 10 ** (len(str(int(step))) - 1)
    step = max(1, int((step + magnitude - 1) // magnitude) * magnitude)
    return [i * step for i in range(int(top // step) + 1)]


def play(tool, mode, games, seed, longest, keep):
    work = tempfile.mkdtemp(prefix="squibly-bot-report-")
    try:
        script = os.path.join(work, "script.txt")
        with open(script, "w") as f:
            f.write("mode %s\nseed %d\n" % (mode, seed))
        game = os.path.join(work, "game")
        os.mkdir(game)
        media = os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(tool)))), "Media")
        if os.path.isdir(media):
            os.symlink(media, os.path.join(game, "Media"))
        report = os.path.join(work, "report.txt")
        started = time.monotonic()
        env = dict(os.environ, HOME=work)
        run = subprocess.run([tool, script, "--dir", game, "--display", "320x480", "--bot", "--check",
                              "--games", str(games), "--longest", str(longest), "--out", report],
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT, env=env)
        wall = time.monotonic() - started
        text = open(report).read() if os.path.exists(report) else ""
        if keep:
            os.makedirs(keep, exist_ok=True)  # a long run's report is not lost to a missing folder
            with open(os.path.join(keep, "%s.txt" % mode), "w") as f:
                f.write(text)
        if run.returncode != 0 or "KRT Error" in run.stdout.decode(errors="replace"):
            sys.stderr.write(text[-3000:] + run.stdout.decode(errors="replace")[-2000:])
            raise SystemExit("%s: the session failed with status %d" % (mode, run.returncode))
        return text, wall
    finally:
        shutil.rmtree(work, ignore_errors=True)


def summarise(mode, text, wall, out):
    rows = []
    for line in text.splitlines():
        m = GAME.match(line)
        if m:
            rows.append(m)
    if not rows:
        raise SystemExit("%s: no game finished" % mode)
    scores = [float(m.group(2)) for m in rows]
    levels = [int(float(m.group(3))) for m in rows]
    lengths = [float(m.group(4)) / 60 for m in rows]
    gained = sum(float(m.group(6)) for m in rows)
    complete = float(rows[-1].group(5)) + float(rows[-1].group(6))
    hatched = [sum(int(m.group(7).split()[k]) for m in rows) for k in range(6)]
    used = [sum(int(m.group(8).split()[k]) for m in rows) for k in range(6)]
    long_games = sum(1 for m in rows if m.group(9) == "long")
    stuck = sum(1 for m in rows if m.group(9) == "stuck")
    ticks = re.search(r"pauses \d+ ticks (\d+)", text)
    out.append("### %s: %d games" % (rows[0].group(1), len(rows)))
    out.append("")
    out.append("- score: %s" % spread(scores))
    out.append("  - histogram: %s" % histogram(scores, edges(scores)))
    level_counts = {}
    for v in levels:
        level_counts[v] = level_counts.get(v, 0) + 1
    out.append("- level: %s" % spread(levels))
    out.append("  - games per level: %s" % ", ".join("%d: %d" % (k, level_counts[k]) for k in sorted(level_counts)))
    out.append("- length (seconds of game time): %s" % spread(lengths))
    out.append("  - histogram: %s" % histogram(lengths, edges(lengths)))
    out.append("- games the bot left through the pause menu: %d longer than %s minutes, %d on a board without a move"
               % (long_games, fmt(LONGEST[0] / 3600), stuck))
    out.append("- challenges completed during these games: %d (complete at the end: %d of 15)" % (gained, complete))
    out.append("- power-ups hatched: %d (%s)" % (sum(hatched), ", ".join(
        "%s %d" % (POWERS[k], hatched[k]) for k in range(6))))
    out.append("- power-ups used: %d (%s); per game: %.2f" % (sum(used), ", ".join(
        "%s %d" % (POWERS[k], used[k]) for k in range(6)), sum(used) / len(rows)))
    out.append("- run: %s ticks of game time in %.1f s of wall time" % (ticks.group(1) if ticks else "?", wall))
    out.append("")
    return sum(used)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("tool")
    parser.add_argument("--games", type=int, default=200)
    parser.add_argument("--modes", default="arcade,puzzle,timetrial")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--longest", type=int, default=30 * 3600)
    parser.add_argument("--keep", default=None, help="a folder to keep each mode's session report in")
    parser.add_argument("--min-used", type=int, default=0,
                        help="fail unless each mode's games used at least this many power-ups")
    args = parser.parse_args()
    out = []
    LONGEST[0] = args.longest
    for mode in args.modes.split(","):
        text, wall = play(args.tool, mode, args.games, args.seed, args.longest, args.keep)
        used = summarise(mode.upper(), text, wall, out)
        print("\n".join(out), flush=True)
        out = []
        if used < args.min_used:
            raise SystemExit("%s: only %d power-ups used" % (mode, used))


if __name__ == "__main__":
    main()
