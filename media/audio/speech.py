"""Spoken clips: one festival run synthesises every phrase, sox cleans each one up.

Each clip must end inside its speech slot (the game waits a fixed number of ticks before the
next clip), so a clip that comes out too long is tightened with a pitch-keeping tempo change.
"""
import os
import subprocess

TICK = 1.0 / 60.0
# Share of the slot a clip may fill; the rest is breathing room before the next clip.
FILL = 0.90

# file, words, slot length in ticks, speaking rate, pitch lift in half-tones
PHRASES = [
    ("lucky_s.wav", "Lucky!", 37, 1.15, 1.0),
    ("extra_lucky_s.wav", "Extra lucky!", 53, 1.10, 1.5),
    ("super_lucky_s.wav", "Super lucky!", 49, 1.15, 2.0),
    ("multi_combo_s.wav", "Multi combo!", 69, 1.0, 1.5),
    ("fantastic_well_done_s.wav", "Fantastic! Well done!", 110, 1.0, 1.5),
    ("ready_s.wav", "Ready?", 30, 1.25, 1.0),
    ("good_luck_s.wav", "Good luck!", 39, 1.1, 1.0),
    ("game_over_s.wav", "Game over.", 47, 1.0, -1.0),
    ("careful_s.wav", "Careful!", 37, 1.1, 0.5),
    ("next_level_s.wav", "Next level!", 44, 1.05, 1.0),
    ("less_creatures_s.wav", "Less creatures!", 57, 1.05, 1.0),
    ("clock_stopped_s.wav", "Clock stopped!", 44, 1.1, 0.5),
    ("infinite_switches_s.wav", "Infinite switches!", 65, 1.05, 1.0),
    ("bonus_power_depleted_s.wav", "Bonus power depleted.", 78, 1.1, 0.0),
    ("achievement_s.wav", "Achievement!", 46, 1.05, 1.5),
    # The praise for ever larger groups, rising in pitch, pace and excitement.
    ("score_1_s.wav", "Nice!", 40, 1.0, 0.0),
    ("score_2_s.wav", "Very good!", 47, 1.05, 0.5),
    ("score_3_s.wav", "Great!", 41, 1.05, 1.0),
    ("score_4_s.wav", "Super!", 44, 1.1, 1.5),
    ("score_5_s.wav", "Excellent!", 59, 1.1, 2.0),
    ("score_6_s.wav", "Amazing!", 53, 1.1, 2.5),
    ("score_7_s.wav", "Awesome!", 44, 1.15, 3.0),
    ("score_8_s.wav", "Incredible!", 60, 1.15, 3.5),
    ("score_9_s.wav", "Unbelievable!", 64, 1.15, 4.0),
]


def Festival(script_path, work):
    subprocess.run(["festival", "--batch", script_path], cwd=work, check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def Duration(path):
    out = subprocess.run(["soxi", "-D", path], check=True, capture_output=True, text=True).stdout
    return float(out.strip())


def Build(work, out_dir):
    raw_dir = os.path.join(work, "speech_raw")
    os.makedirs(raw_dir, exist_ok=True)
    lines = ["(voice_cmu_us_slt_arctic_hts)", "(set! base_params hts_engine_params)"]
    for name, words, _ticks, rate, lift in PHRASES:
        lines.append('(set! hts_engine_params (append base_params (list (list "-r" %.3f) (list "-fm" %.2f))))'
                     % (rate, lift))
        lines.append('(set! u (utt.synth (Utterance Text "%s")))' % words)
        lines.append('(utt.save.wave u "%s" \'riff)' % os.path.join(raw_dir, name))
    script = os.path.join(work, "speech.scm")
    with open(script, "w") as f:
        f.write("\n".join(lines) + "\n")
    Festival(script, work)

    for name, _words, ticks, _rate, _lift in PHRASES:
        raw = os.path.join(raw_dir, name)
        trimmed = os.path.join(work, "trim_" + name)
        # Cut leading and trailing silence, then lift to the game's rate.
        subprocess.run(["sox", "-R", "-D", raw, "-b", "16", trimmed,
                        "silence", "1", "0.02", "0.3%", "reverse", "silence", "1", "0.02", "0.3%", "reverse",
                        "highpass", "70", "rate", "-v", "44100"], check=True)
        budget = ticks * TICK * FILL
        tail = 0.06   # the small room tail appended after the words
        length = Duration(trimmed) + tail
        shaped = os.path.join(work, "shaped_" + name)
        effects = []
        if length > budget:
            effects += ["tempo", "-s", "%.4f" % (length / (budget - 0.005))]
        subprocess.run(["sox", "-R", "-D", trimmed, shaped] + effects + ["fade", "t", "0.008", "0", "0.03"],
                       check=True)
        # A small room around the voice; its tail rings into the padding, which then fades out.
        roomy = os.path.join(work, "room_" + name)
        subprocess.run(["sox", "-R", "-D", shaped, roomy, "pad", "0", "%.3f" % tail,
                        "reverb", "18", "50", "40", "100", "0", "-3", "norm", "-1.5"], check=True)
        final = os.path.join(out_dir, name)
        subprocess.run(["sox", "-R", "-D", roomy, "-b", "16", "-c", "1", final,
                        "fade", "t", "0", "-0", "%.3f" % tail], check=True)
        # The reverb can leave a clip a hair longer than planned: trim to the slot if needed.
        if Duration(final) > ticks * TICK * 0.97:
            cut = os.path.join(work, "cut_" + name)
            subprocess.run(["sox", "-R", "-D", final, cut, "trim", "0", "%.3f" % (ticks * TICK * 0.95),
                            "fade", "t", "0", "-0", "0.04"], check=True)
            os.replace(cut, final)
