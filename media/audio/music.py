"""Music: each song is written as MIDI twice over, rendered with fluidsynth and the second pass
kept, so the loop starts with the previous pass's reverb tails and joins itself without a seam.
The tempo is nudged so that the loop is a whole number of samples (and of 64-sample synth blocks).
"""
import json
import os
import subprocess

import songs

RATE = 44100
SOUNDFONT = "/usr/share/sounds/sf2/FluidR3_GM.sf2"
BLOCK = 64   # fluidsynth's processing block: events land on block edges


def LoopTempo(bpm, beats):
    """Microseconds per beat near `bpm` for which `beats` beats are a whole number of blocks."""
    target = 60e6 / bpm
    best = None
    for micros in range(int(target * 0.95), int(target * 1.05)):
        samples_x = beats * micros * RATE   # in units of 1e-6 samples
        if samples_x % (1000000 * BLOCK) == 0:
            if best is None or abs(micros - target) < abs(best - target):
                best = micros
    if best is None:
        raise RuntimeError("no whole-block tempo near %s BPM" % bpm)
    return best


def Render(midi_path, wav_path):
    subprocess.run(["fluidsynth", "-ni", "-q", "-g", "0.5", "-r", str(RATE), "-O", "float", "-T", "wav",
                    "-o", "synth.cpu-cores=1", "-F", wav_path, SOUNDFONT, midi_path],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def BuildTrack(work, out_dir, name, compose, bpm):
    """Renders one track into out_dir as .ogg and .mp3; returns its entry of the manifest."""
    probe, bars = compose(500000)
    beats = bars * probe.beats_per_bar
    micros = LoopTempo(bpm, beats)
    song, _ = compose(micros)
    loop_samples = beats * micros * RATE // 1000000
    twice = song.Repeated(2, beats)
    midi = os.path.join(work, name + ".mid")
    twice.Write(midi)
    rendered = os.path.join(work, name + "_render.wav")
    Render(midi, rendered)
    loop = os.path.join(work, name + "_loop.wav")
    # Keep exactly the second pass; dither off so reruns are identical.
    subprocess.run(["sox", "-V1", "-R", "-D", rendered, "-b", "16", loop,
                    "trim", "%ds" % loop_samples, "%ds" % loop_samples, "norm", "-1.5"], check=True)
    subprocess.run(["oggenc", "-Q", "-q", "4", "--serial", "1", "-o", os.path.join(out_dir, name + ".ogg"),
                    loop], check=True)
    subprocess.run(["lame", "--quiet", "-V", "4", "--noreplaygain", loop, os.path.join(out_dir, name + ".mp3")],
                   check=True)
    return {"bpm": 60e6 / micros, "micros_per_beat": micros, "bars": bars,
            "beats_per_bar": probe.beats_per_bar, "loop_samples": loop_samples, "loops": name != "ah_yeah"}


def Build(work, out_dir):
    return {name: BuildTrack(work, out_dir, name, compose, bpm) for name, compose, bpm in songs.TRACKS}
