#!/usr/bin/env python3
"""Soak: the session bot plays the real game on the headless platform for HOURS of game time,
from the main menu through every mode and menu, with every check on. Every few minutes of game
time the window loses and regains the focus (the game saves, pauses, resumes and reloads what it
saved); the run is cut into segments, each ended by a quit (the game saves and the process ends)
and the next started in the same folder (the saved game is resumed). The resident memory of each
process is sampled as it plays. Fails on a failed check, a fatal error, a segment that does not
resume the game saved by the one before, or memory that grows.

usage: soak.py SESSION_TOOL [--hours H] [--segments N] [--pause-minutes M] [--seed S] [--work DIR]
"""
import argparse
import os
import re
import resource
import shutil
import subprocess
import sys
import time

TICKS_PER_HOUR = 60 * 60 * 60


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("tool")
    parser.add_argument("--hours", type=float, default=100)
    parser.add_argument("--segments", type=int, default=None, help="processes, one after another (one per 10 hours, at least 2)")
    parser.add_argument("--pause-minutes", type=float, default=3)
    parser.add_argument("--seed", type=int, default=31)
    parser.add_argument("--work", default=None)
    parser.add_argument("--growth-kb", type=int, default=1024,
                        help="most a segment's memory may grow from its second sample to its last")
    args = parser.parse_args()

    if args.segments is None:
        args.segments = max(2, int(round(args.hours / 10)))
    total = int(args.hours * TICKS_PER_HOUR)
    per_segment = total // args.segments
    pause_every = int(args.pause_minutes * 3600)
    rss_every = max(3600, per_segment // 20)
    work = os.path.abspath(args.work or os.path.join(os.path.dirname(os.path.abspath(args.tool)), "soak"))
    shutil.rmtree(work, ignore_errors=True)
    game = os.path.join(work, "game")
    os.makedirs(game)
    media = os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(args.tool)))), "Media")
    if os.path.isdir(media):
        os.symlink(media, os.path.join(game, "Media"))
    env = dict(os.environ, HOME=work)

    started = time.monotonic()
    tick = 0
    games = saves = resumes = 0
    modes = {}
    powers_used = hatched = 0
    samples = []   # (segment, tick, kB)
    failures = []
    last_saved = None
    for segment in range(args.segments):
        end = total if segment == args.segments - 1 else tick + per_segment
        script = os.path.join(work, "script%d.txt" % segment)
        with open(script, "w") as f:
            f.write("seed %d\n" % (args.seed + segment))
            if segment == 0:
                f.write("challenges 10\n")   # ZEN open from the start
            f.write("quit %d\n" % end)
        report = os.path.join(work, "report%d.txt" % segment)
        log = os.path.join(work, "log%d.txt" % segment)
        with open(log, "w") as out:
            run = subprocess.run([args.tool, script, "--dir", game, "--display", "320x480", "--bot", "--check",
                                  "--first-tick", str(tick), "--ticks", str(end + 600),
                                  "--pause-every", str(pause_every), "--rss-every", str(rss_every),
                                  "--out", report], stdout=out, stderr=subprocess.STDOUT, env=env)
        text = open(report).read()
        output = open(log).read()
        ended = re.search(r"session ended after (\d+) ticks", output)
        saved = re.findall(r"game saved: state (\S+)", output)
        resumed = re.findall(r"game resumed: state (\S+)", output)
        if run.returncode != 0:
            failures.append("segment %d: status %d" % (segment, run.returncode))
        for bad in ("CHECK FAILED", "KRT Error"):
            for line in (text + output).splitlines():
                if bad in line:
                    failures.append("segment %d: %s" % (segment, line.strip()))
                    break
        if segment > 0 and last_saved and (not resumed or resumed[0] != last_saved):
            failures.append("segment %d: the game saved at the quit (%s) was not resumed (%s)"
                            % (segment, last_saved, resumed[0] if resumed else "nothing"))
        saves += len(saved)
        resumes += len(resumed)
        last_saved = saved[-1] if saved else None
        for m in re.finditer(r"^game \d+ (\S+) .* hatched ((?:\d+ ){6})used ((?:\d+ ?){6})", text, re.M):
            games += 1
            modes[m.group(1)] = modes.get(m.group(1), 0) + 1
            hatched += sum(int(v) for v in m.group(2).split())
            powers_used += sum(int(v) for v in m.group(3).split())
        rss = [(int(t), int(kb)) for t, kb in re.findall(r"^rss tick (\d+) kB (\d+)", text, re.M)]
        samples += [(segment, t, kb) for t, kb in rss]
        if len(rss) >= 3 and rss[-1][1] - rss[1][1] > args.growth_kb:
            failures.append("segment %d: memory grew from %d kB to %d kB" % (segment, rss[1][1], rss[-1][1]))
        if not ended:
            failures.append("segment %d: no quit" % segment)
            break
        tick = int(ended.group(1))
        print("segment %d: ticks to %d, %d saves, %d resumes, rss %s kB, %.0f s so far"
              % (segment, tick, len(saved), len(resumed), " ".join(str(kb) for _, kb in rss[:1] + rss[-1:]),
                 time.monotonic() - started), flush=True)
        if failures:
            break

    wall = time.monotonic() - started
    used = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = used.ru_utime + used.ru_stime
    print("game time: %d ticks (%.1f hours) in %.0f s of wall time, %.0f s of processor time (%.0f ticks per "
          "processor second)" % (tick, tick / TICKS_PER_HOUR, wall, cpu, tick / cpu if cpu else 0))
    print("games finished: %d (%s)" % (games, ", ".join("%s %d" % kv for kv in sorted(modes.items()))))
    print("power-ups hatched %d, used %d" % (hatched, powers_used))
    print("saves %d, resumes %d (focus lost and regained every %g minutes of game time, a quit and a new "
          "process every %.1f hours)" % (saves, resumes, args.pause_minutes, per_segment / TICKS_PER_HOUR))
    if samples:
        kbs = [kb for _, _, kb in samples]
        middle = samples[len(samples) // 2]
        print("resident memory: first %d kB, middle %d kB (tick %d), last %d kB; lowest %d, highest %d"
              % (samples[0][2], middle[2], middle[1], samples[-1][2], min(kbs), max(kbs)))
    for f in failures:
        print("FAILED: " + f)
    sys.exit(1 if failures or tick < total else 0)


if __name__ == "__main__":
    main()
