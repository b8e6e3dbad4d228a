"""Sound effects, synthesised with sox: plucks, glides, filtered noise and bells.

Every recipe builds mono layers into the work folder, mixes or joins them and brings the
result to a fixed peak, so effects sit at a common loudness below the speech.
"""
import os
import subprocess

RATE = "44100"
PEAK_DB = "-4"


class Effects:
    def __init__(self, work):
        self.work = work
        self.count = 0

    def _Temp(self):
        self.count += 1
        return os.path.join(self.work, "fx%03d.wav" % self.count)

    def Synth(self, duration, *synth_args, effects=()):
        """One synthesised layer: `synth_args` is sox's synth description, `effects` follow it."""
        out = self._Temp()
        subprocess.run(["sox", "-R", "-D", "-n", "-r", RATE, "-b", "16", "-c", "1", out,
                        "synth", "%.4f" % duration] + list(synth_args) + list(effects), check=True)
        return out

    def Shape(self, source, *effects):
        out = self._Temp()
        subprocess.run(["sox", "-R", "-D", source, out] + list(effects), check=True)
        return out

    def Delay(self, source, seconds):
        return self.Shape(source, "pad", "%.4f" % seconds, "0")

    def Mix(self, *sources):
        if len(sources) == 1:
            return sources[0]
        out = self._Temp()
        subprocess.run(["sox", "-R", "-D", "-m"] + list(sources) + [out], check=True)
        return out

    def Join(self, *sources):
        out = self._Temp()
        subprocess.run(["sox", "-R", "-D"] + list(sources) + [out], check=True)
        return out

    def Finish(self, source, target, peak=PEAK_DB):
        # Trailing silence goes first; then a 4 ms fade-in keeps the first sample at rest and the
        # tail fades to silence (a second run, so that sox knows the length it fades to).
        trimmed = self.Shape(source, "reverse", "silence", "1", "0.002", "0.01%", "reverse")
        subprocess.run(["sox", "-R", "-D", trimmed, "-r", RATE, "-b", "16", "-c", "1", target,
                        "norm", peak, "fade", "t", "0.004", "-0", "0.02"], check=True)


def Note(name):
    """Frequency of a note name such as 'C5' or 'F#4' (A4 = 440 Hz)."""
    steps = {"C": -9, "D": -7, "E": -5, "F": -4, "G": -2, "A": 0, "B": 2}
    semis = steps[name[0]]
    rest = name[1:]
    if rest.startswith("#"):
        semis += 1
        rest = rest[1:]
    elif rest.startswith("b"):
        semis -= 1
        rest = rest[1:]
    semis += (int(rest) - 4) * 12
    return 440.0 * 2 ** (semis / 12.0)


def Hz(name):
    return "%.3f" % Note(name)


# The landing "boing": a diatonic scale from G3, one step higher for every further bounce.
BOUNCE_SCALE = ["G3", "A3", "B3", "C4", "D4", "E4", "F#4", "G4", "A4", "B4", "C5", "D5"]


def Build(work, out_dir):
    fx = Effects(work)
    out = lambda name: os.path.join(out_dir, name)

    # Creatures cleared: a bubble pop that opens into a plucked chime.
    pop = fx.Synth(0.09, "sine", "350/1500", effects=["fade", "q", "0.003", "0.09", "0.06"])
    chime = fx.Synth(0.45, "pluck", Hz("C6"), effects=["vol", "0.6"])
    chime2 = fx.Synth(0.45, "pluck", Hz("G6"), effects=["vol", "0.35"])
    fx.Finish(fx.Mix(pop, fx.Delay(chime, 0.03), fx.Delay(chime2, 0.05)), out("match.wav"))

    # The brighter partner, a third higher.
    pop = fx.Synth(0.08, "sine", "450/1800", effects=["fade", "q", "0.003", "0.08", "0.05"])
    chime = fx.Synth(0.45, "pluck", Hz("E6"), effects=["vol", "0.6"])
    chime2 = fx.Synth(0.45, "pluck", Hz("B6"), effects=["vol", "0.35"])
    fx.Finish(fx.Mix(pop, fx.Delay(chime, 0.025), fx.Delay(chime2, 0.045)), out("match2.wav"))

    # Not allowed: two soft low buzzes falling.
    low1 = fx.Synth(0.09, "square", "185", effects=["vol", "0.3", "lowpass", "900", "fade", "q", "0.005", "0.09", "0.02"])
    low2 = fx.Synth(0.17, "square", "139", effects=["vol", "0.3", "lowpass", "900", "fade", "q", "0.005", "0.17", "0.06"])
    fx.Finish(fx.Join(low1, fx.Synth(0.03, "sine", "0", effects=["vol", "0"]), low2), out("error.wav"))

    # Two creatures trade places: a watery swish up and back.
    swish = fx.Synth(0.22, "pinknoise", effects=["vol", "0.5", "bandpass", "1400", "1.2q", "fade", "h", "0.08", "0.22", "0.12"])
    glide = fx.Synth(0.22, "sine", "420/820", effects=["vol", "0.25", "fade", "h", "0.06", "0.22", "0.14"])
    fx.Finish(fx.Mix(swish, glide), out("swap.wav"))

    # Main-menu choice: a bubbly double bloop with an echo.
    b1 = fx.Synth(0.11, "sine", "300/900", effects=["fade", "q", "0.004", "0.11", "0.05"])
    b2 = fx.Synth(0.12, "sine", "450/1300", effects=["fade", "q", "0.004", "0.12", "0.06"])
    both = fx.Mix(b1, fx.Delay(b2, 0.09))
    fx.Finish(fx.Shape(both, "pad", "0", "0.25", "echo", "0.8", "0.7", "70", "0.3"), out("aqua2.wav"))

    # Mode choice and slider tick: short and light.
    tick = fx.Synth(0.035, "sine", "1500", effects=["fade", "q", "0.002", "0.035", "0.025"])
    ping = fx.Synth(0.12, "pluck", Hz("C7"), effects=["vol", "0.5"])
    fx.Finish(fx.Mix(tick, fx.Delay(ping, 0.01)), out("select2.wav"))

    # Time is running out: a two-tone alarm, three times.
    hi = fx.Synth(0.12, "square", "880", effects=["vol", "0.25", "lowpass", "2500", "fade", "q", "0.004", "0.12", "0.01"])
    lo = fx.Synth(0.12, "square", "660", effects=["vol", "0.25", "lowpass", "2500", "fade", "q", "0.004", "0.12", "0.01"])
    fx.Finish(fx.Join(hi, lo, hi, lo, hi, lo), out("alarm2.wav"))

    # New high score or a tier done: a rising bell arpeggio.
    bells = [fx.Delay(fx.Synth(0.6, "pluck", Hz(n), effects=["vol", "0.6"]), i * 0.085)
             for i, n in enumerate(["C6", "E6", "G6", "C7"])]
    fx.Finish(fx.Shape(fx.Mix(*bells), "pad", "0", "0.2", "echo", "0.8", "0.6", "90", "0.25"), out("goodstep.wav"))

    # Landings: a springy boing that bends up and settles, a scale step higher each bounce.
    for i, note in enumerate(BOUNCE_SCALE):
        # sox's bend starts its output late; the lead-in it leaves is cut before the fade-in,
        # or the sound would start with a click.
        bend = ["bend", "-f", "80", "-o", "32", "0,600,0.04", "0.01,-350,0.12", "silence", "1", "0.0005", "0.02%"]
        boing = fx.Synth(0.34, "sine", Hz(note), effects=["vol", "0.5"] + bend + ["tremolo", "18", "35"])
        body = fx.Synth(0.34, "triangle", Hz(note), effects=["vol", "0.15"] + bend + ["lowpass", "1200"])
        mixed = fx.Mix(boing, body)
        fx.Finish(fx.Shape(mixed, "fade", "q", "0.003", "-0", "0.2"), out("bounce%d.wav" % (i + 1)), peak="-5")

    # A switch earned, or sound switched on: a quick high sparkle with shimmer.
    sparks = [fx.Delay(fx.Synth(0.35, "pluck", Hz(n), effects=["vol", "0.5"]), i * 0.04)
              for i, n in enumerate(["C7", "E7", "G7", "C8"])]
    fx.Finish(fx.Shape(fx.Mix(*sparks), "pad", "0", "0.15", "echo", "0.8", "0.6", "45", "0.3"), out("sparkle1.wav"))

    # A reward flying off: two soft chimes that twinkle.
    t1 = fx.Synth(0.3, "sine", Hz("E7"), effects=["tremolo", "24", "60", "fade", "q", "0.004", "0.3", "0.25"])
    t2 = fx.Synth(0.3, "sine", Hz("A7"), effects=["tremolo", "30", "60", "fade", "q", "0.004", "0.3", "0.25"])
    fx.Finish(fx.Mix(t1, fx.Delay(t2, 0.07)), out("twinkle1.wav"))

    return [n for n in os.listdir(out_dir) if n.endswith(".wav")]
