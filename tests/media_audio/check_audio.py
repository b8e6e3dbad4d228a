#!/usr/bin/env python3
"""Checks the generated sounds and music in the media folder, reading the files themselves.

Usage: check_audio.py MEDIA_DIR MANIFEST CHECK   (CHECK: names, format, speech, loops, words)
The expected names and tick budgets are written out here again on purpose, from the game's
sound table, so that a generator that drifts from it is caught.
"""
import array
import json
import os
import subprocess
import sys

EFFECTS = ["match.wav", "match2.wav", "error.wav", "swap.wav", "aqua2.wav", "select2.wav", "alarm2.wav",
           "goodstep.wav"] + ["bounce%d.wav" % i for i in range(1, 13)] + ["sparkle1.wav", "twinkle1.wav"]
# Spoken clip -> the ticks (1/60 s) the game waits after starting it.
SPEECH = {
    "lucky_s.wav": 37, "extra_lucky_s.wav": 53, "super_lucky_s.wav": 49, "multi_combo_s.wav": 69,
    "score_1_s.wav": 40, "score_2_s.wav": 47, "score_3_s.wav": 41, "score_4_s.wav": 44,
    "score_5_s.wav": 59, "score_6_s.wav": 53, "bonus_power_depleted_s.wav": 78,
    "infinite_switches_s.wav": 65, "less_creatures_s.wav": 57, "clock_stopped_s.wav": 44,
    "fantastic_well_done_s.wav": 110, "ready_s.wav": 30, "good_luck_s.wav": 39, "game_over_s.wav": 47,
    "careful_s.wav": 37, "next_level_s.wav": 44, "score_7_s.wav": 44, "score_8_s.wav": 60,
    "score_9_s.wav": 64, "achievement_s.wav": 46,
}
# The words each named clip must say are its name's (the praise clips' words are the generator's
# choice and come from its manifest).
WORDS = {name: name[:-6].replace("_", " ") for name in SPEECH if not name.startswith("score_")}
SKIPPED = 77   # the test's exit code when the recogniser is not installed
TRACKS = ["intro", "space_jungle_bebop_cut", "othersong", "ah_yeah"]
FULL_SCALE = 32768
MIN_PEAK = FULL_SCALE * 10 ** (-12 / 20)      # -12 dBFS
CLIP = 32767


class Failures(list):
    def Check(self, ok, message):
        if not ok:
            self.append(message)


def Read(path):
    """(rate, bits, channels, encoding, samples as 16-bit array('h')), read through sox."""
    def query(flag):
        return subprocess.run(["soxi", flag, path], capture_output=True, text=True, check=True).stdout.strip()
    raw = subprocess.run(["sox", "-V1", path, "-t", "raw", "-e", "signed", "-b", "16", "-"],
                         capture_output=True, check=True).stdout
    samples = array.array("h")
    samples.frombytes(raw)
    return int(query("-r")), int(query("-b")), int(query("-c")), query("-e"), samples


def Peak(samples):
    return max(max(samples), -min(samples)) if samples else 0


FILES = EFFECTS + list(SPEECH) + [t + ext for t in TRACKS for ext in (".ogg", ".mp3")]


def CheckNames(media, _manifest, fails):
    for name in FILES + ["CREDITS-audio.txt"]:
        fails.Check(os.path.isfile(os.path.join(media, name)), "missing: " + name)


def CheckFormat(media, _manifest, fails):
    """16-bit PCM sounds (what the runtime reads), all at 44100 Hz, loud enough and never clipped."""
    for name in FILES:
        rate, bits, _ch, encoding, s = Read(os.path.join(media, name))
        fails.Check(rate == 44100, "%s: rate %d" % (name, rate))
        fails.Check(name[-4:] != ".wav" or (bits, encoding) == (16, "Signed Integer PCM"),
                    "%s: %d-bit %s" % (name, bits, encoding))
        fails.Check(Peak(s) >= MIN_PEAK, "%s: too quiet (peak %d)" % (name, Peak(s)))
        fails.Check(not any(v >= CLIP or v <= -CLIP for v in s), "%s: clipped" % name)


def CheckSpeech(media, _manifest, fails):
    for name, ticks in SPEECH.items():
        rate, _b, channels, _e, s = Read(os.path.join(media, name))
        seconds = len(s) / channels / rate
        fails.Check(seconds < ticks / 60.0, "%s: %.3f s, its slot is %.3f s" % (name, seconds, ticks / 60.0))
        fails.Check(seconds > 0.15, "%s: only %.3f s" % (name, seconds))


def CheckLoops(media, manifest, fails):
    music = manifest.get("music", {})
    for t in TRACKS:
        info = music.get(t)
        if not info:
            fails.Check(False, "%s: not in the manifest" % t)
            continue
        rate, _b, ch, _e, s = Read(os.path.join(media, t + ".ogg"))
        frames = len(s) // ch
        bar = info["beats_per_bar"] * info["micros_per_beat"] * rate / 1e6
        bars = frames / bar
        fails.Check(abs(bars - round(bars)) * bar < 1.0, "%s: %.4f bars long" % (t, bars))
        fails.Check(round(bars) == info["bars"], "%s: %d bars, %d planned" % (t, round(bars), info["bars"]))
        mp3 = Read(os.path.join(media, t + ".mp3"))
        fails.Check(abs(len(mp3[4]) // mp3[2] - frames) < 0.1 * rate, "%s.mp3: length differs from the ogg" % t)
        if not info.get("loops", True):
            continue
        # The seam: the step from the last frame back to the first is no larger than the steps
        # the music itself makes (a cut in the wrong place jumps far beyond them).
        steps = sorted(abs(s[i + ch] - s[i]) for i in range(0, len(s) - ch, ch))
        typical = steps[int(len(steps) * 0.9999)]
        for c in range(ch):
            seam = abs(s[c] - s[len(s) - ch + c])
            fails.Check(seam <= typical, "%s: seam step %d, music steps up to %d" % (t, seam, typical))
        # The loop should sound like its whole self at the seam: the energy just before and
        # after the seam is alike (no sudden drop to silence or burst).
        win = rate // 10 * ch
        before = sum(abs(v) for v in s[-win:]) / win
        after = sum(abs(v) for v in s[:win]) / win
        fails.Check(0.33 < (after + 1) / (before + 1) < 3.0, "%s: level jumps at the seam (%.0f -> %.0f)"
                    % (t, before, after))


def CheckWords(media, manifest, fails):
    """Each clip, recognised by pocketsphinx among all the game's phrases, is the phrase it should be."""
    import re
    import shutil
    import tempfile
    if not shutil.which("pocketsphinx_continuous"):
        raise SystemExit(SKIPPED)
    words = dict(WORDS)
    for name, info in manifest.get("speech", {}).items():
        if name not in words:
            words[name] = re.sub(r"[^a-z ]", "", info["words"].lower()).strip()
    fails.Check(set(words) == set(SPEECH), "phrases known for %d of %d clips" % (len(words), len(SPEECH)))
    with tempfile.TemporaryDirectory() as tmp:
        grammar = os.path.join(tmp, "phrases.gram")
        with open(grammar, "w") as f:
            f.write("#JSGF V1.0;\ngrammar game;\npublic <phrase> = %s ;\n"
                    % " | ".join("( %s )" % w for w in sorted(set(words.values()))))
        for name, expected in sorted(words.items()):
            clip = os.path.join(tmp, name)
            subprocess.run(["sox", "-V1", os.path.join(media, name), "-r", "16000", "-c", "1", "-b", "16", clip,
                            "pad", "0.3", "0.3"], check=True)
            heard = subprocess.run(["pocketsphinx_continuous", "-infile", clip, "-jsgf", grammar, "-dither", "no",
                                    "-logfn", "/dev/null"], capture_output=True, text=True).stdout.strip()
            fails.Check(heard == expected, "%s: heard \"%s\", should say \"%s\"" % (name, heard, expected))


CHECKS = {"names": CheckNames, "format": CheckFormat, "speech": CheckSpeech,
          "loops": CheckLoops, "words": CheckWords}


def main():
    media, manifest_path, which = sys.argv[1:4]
    manifest = {}
    if os.path.isfile(manifest_path):
        with open(manifest_path) as f:
            manifest = json.load(f)
    fails = Failures()
    try:
        CHECKS[which](media, manifest, fails)
    except (OSError, ValueError, subprocess.CalledProcessError) as e:
        fails.Check(False, "%s: %s" % (which, e))
    for f in fails:
        print("FAIL", f)
    return 1 if fails else 0


if __name__ == "__main__":
    sys.exit(main())
