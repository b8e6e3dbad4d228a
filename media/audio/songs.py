"""The four music tracks, composed as notes: chords, bass, melody and drums for each moment.

intro                   the menus: a relaxed, dreamy bossa under water
space_jungle_bebop_cut  the main play: a swinging minor bebop with congas
othersong               a power running: a driving, bright minor-key chase
ah_yeah                 level complete: a short brass fanfare with a groove tail
"""
from midi_writer import Song, DRUM_CHANNEL

NOTE_BASE = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}

# Interval sets of the chord qualities used (semitones above the root).
QUALITIES = {
    "": (0, 4, 7), "m": (0, 3, 7), "maj7": (0, 4, 7, 11), "m7": (0, 3, 7, 10), "7": (0, 4, 7, 10),
    "m6": (0, 3, 7, 9), "7sus": (0, 5, 7, 10), "m7b5": (0, 3, 6, 10), "6": (0, 4, 7, 9),
}

# Drum keys of the General MIDI percussion map.
KICK, SIDE_STICK, SNARE, CLOSED_HAT, PEDAL_HAT, OPEN_HAT = 36, 37, 38, 42, 44, 46
CRASH, RIDE, TAMBOURINE, MUTE_CONGA, OPEN_CONGA, LOW_CONGA, SHAKER = 49, 51, 54, 62, 63, 64, 70


def Key(name):
    """MIDI key of a note name: 'C4' = 60, 'F#5', 'Bb3'."""
    k = NOTE_BASE[name[0]]
    rest = name[1:]
    while rest and rest[0] in "#b":
        k += 1 if rest[0] == "#" else -1
        rest = rest[1:]
    return 12 * (int(rest) + 1) + k


def ParseChord(symbol):
    """('Bb', 'maj7') -> root pitch class and intervals."""
    root = symbol[0]
    rest = symbol[1:]
    if rest[:1] in ("#", "b") and not rest.startswith("b5"):
        root += rest[0]
        rest = rest[1:]
    pc = (NOTE_BASE[root[0]] + (1 if root.endswith("#") else -1 if root.endswith("b") else 0)) % 12
    return pc, QUALITIES[rest]


def Voicing(symbol, low=52):
    """Close voicing of the chord with its lowest note at or above `low`."""
    pc, intervals = ParseChord(symbol)
    base = low + ((pc - low) % 12)
    return [base + i for i in intervals]


def Root(symbol, octave_low=36):
    pc, _ = ParseChord(symbol)
    return octave_low + ((pc - octave_low) % 12)


def ChordTone(symbol, index, octave_low=36):
    pc, intervals = ParseChord(symbol)
    return octave_low + ((pc - octave_low) % 12) + intervals[index % len(intervals)]


def Melody(track, bar_beats, bars, velocity=90, swing=None, transpose=0):
    """bars: a list of lists of (note name or None, start beat in bar, length)."""
    for b, notes in enumerate(bars):
        for name, start, length in notes:
            if name is None:
                continue
            s = b * bar_beats + start
            e = s + length
            if swing:
                s, e = swing(s), swing(e)
            track.Note(s, (e - s) * 0.95, Key(name) + transpose, velocity)


def Swing(beat):
    """Off-beat eighths land on the third triplet of the beat."""
    whole = int(beat)
    frac = beat - whole
    if abs(frac - 0.5) < 1e-6:
        return whole + 2.0 / 3.0
    return beat


def ParseBars(text):
    """'A4 0 1, C5 1 .5 | ...' -> bars of (note, start, length)."""
    bars = []
    for bar in text.strip().split("|"):
        notes = []
        for item in bar.split(","):
            item = item.strip()
            if not item:
                continue
            name, start, length = item.split()
            notes.append((None if name == "-" else name, float(start), float(length)))
        bars.append(notes)
    return bars


def ChordsPerBar(text):
    """'Fmaj7 | Dm7 | C7sus C7' -> per bar a list of (symbol, start, length) halves or wholes."""
    out = []
    for bar in text.split("|"):
        symbols = bar.split()
        step = 4.0 / len(symbols)
        out.append([(s, i * step, step) for i, s in enumerate(symbols)])
    return out


# ---------------------------------------------------------------------------------------------
def Intro(micros_per_beat):
    song = Song(micros_per_beat)
    chords = ChordsPerBar("Fmaj7 | Dm7 | Gm7 | C7 | Am7 | Dm7 | Bbmaj7 | C7sus C7 |"
                          "Fmaj7 | F7 | Bbmaj7 | Bbm6 | Am7 | D7 | Gm7 | C7sus C7")
    melody = ParseBars("""
        A4 0 1, C5 1 .5, E5 1.5 1.5, D5 3 1 | C5 0 1.5, A4 1.5 .5, F4 2 2 |
        Bb4 0 1, D5 1 .5, F5 1.5 1.5, E5 3 .5, D5 3.5 .5 | E5 0 2, C5 2 1, Bb4 3 1 |
        C5 0 1, E5 1 .5, G5 1.5 1.5, E5 3 1 | F5 0 1.5, E5 1.5 .5, D5 2 1, A4 3 1 |
        D5 0 1, F5 1 1, A5 2 1.5, G5 3.5 .5 | F5 0 1, E5 1 1, G4 2.5 .5, A4 3 .5, Bb4 3.5 .5 |
        C5 0 1, A4 1 .5, C5 1.5 .5, E5 2 2 | Eb5 0 1.5, D5 1.5 .5, C5 2 1, A4 3 1 |
        D5 0 1, F5 1 .5, A5 1.5 1.5, F5 3 1 | Db5 0 2, F5 2 1, Db5 3 1 |
        C5 0 1.5, E5 1.5 .5, G5 2 1, E5 3 1 | F#5 0 1.5, A5 1.5 .5, F#5 2 1, D5 3 1 |
        Bb4 0 1, D5 1 1, F5 2 1, A5 3 1 | G5 0 2, E5 2 1, C5 3 1""")
    vibes = song.Track("vibraphone", 0, 11, volume=127, pan=76, reverb=70)
    Melody(vibes, 4, melody, velocity=100)
    piano = song.Track("electric piano", 1, 4, volume=72, pan=50, reverb=60, chorus=40)
    pad = song.Track("warm pad", 2, 89, volume=62, pan=64, reverb=80)
    bass = song.Track("fretless bass", 3, 35, volume=92, pan=64, reverb=20)
    drums = song.Track("brushes", DRUM_CHANNEL, 40, volume=100, reverb=40)
    for b, bar in enumerate(chords):
        t0 = b * 4
        for symbol, start, length in bar:
            s = t0 + start
            voicing = Voicing(symbol, 53)
            pad.Chord(s, length, Voicing(symbol, 48), 46)
            if length == 4:
                piano.Chord(s, 1.4, voicing, 60)
                piano.Chord(s + 1.5, 2.4, voicing, 54)
            else:
                piano.Chord(s, length * 0.9, voicing, 58)
        # Bass: root, a fifth, root, then a step toward the next chord.
        first = bar[0][0]
        nxt = chords[(b + 1) % len(chords)][0][0]
        root = Root(first, 36)
        bass.Note(t0, 1.4, root, 96)
        bass.Note(t0 + 1.5, 0.45, ChordTone(first, 2, 36), 80)
        if len(bar) == 1:
            bass.Note(t0 + 2, 1.0, root + 12 if root < 43 else root, 88)
        else:
            bass.Note(t0 + 2, 1.0, Root(bar[1][0], 36), 88)
        target = Root(nxt, 36)
        bass.Note(t0 + 3, 0.9, target + (1 if target < 47 else -1), 78)
        # Brushes: a soft swish of eighths, a light kick and a side stick on three.
        for i in range(8):
            drums.Note(t0 + i * 0.5, 0.25, CLOSED_HAT, 34 if i % 2 else 46)
        drums.Note(t0, 0.5, KICK, 56)
        drums.Note(t0 + 1.5, 0.5, KICK, 40)
        drums.Note(t0 + 2, 0.5, SIDE_STICK, 44)
        drums.Note(t0 + 3.5, 0.25, SHAKER, 36)
        if b % 8 == 7:
            drums.Note(t0 + 3, 0.5, SIDE_STICK, 40)
            drums.Note(t0 + 3.5, 0.5, SIDE_STICK, 48)
    return song, 16


# ---------------------------------------------------------------------------------------------
def Bebop(micros_per_beat):
    song = Song(micros_per_beat)
    chords = ChordsPerBar("Cm7 | F7 | Cm7 | Gm7b5 C7 | Fm7 | Bb7 | Ebmaj7 | Abmaj7 |"
                          "Dm7b5 | G7 | Cm7 | Am7b5 D7 | Fm7 | Bb7 | Dm7b5 G7 | Cm7 G7")
    melody = ParseBars("""
        G4 0 .5, Bb4 .5 .5, C5 1 .5, Eb5 1.5 .5, G5 2 1, F5 3 .5, Eb5 3.5 .5 |
        D5 0 .5, C5 .5 .5, A4 1 .5, C5 1.5 .5, Eb5 2 1.5 |
        G5 .5 .5, F5 1 .5, Eb5 1.5 .5, D5 2 .5, C5 2.5 .5, Bb4 3 .5, B4 3.5 .5 |
        C5 0 1, Db5 1 .5, Bb4 1.5 .5, E5 2 1, G5 3 .5, Bb5 3.5 .5 |
        Ab5 0 1.5, G5 1.5 .5, F5 2 .5, Eb5 2.5 .5, C5 3 1 |
        D5 0 .5, F5 .5 .5, Ab5 1 .5, G5 1.5 .5, F5 2 .5, D5 2.5 .5, Bb4 3 1 |
        G5 0 1, D5 1 .5, Eb5 1.5 .5, Bb4 2 1, G4 3 1 |
        C5 0 .5, Eb5 .5 .5, G5 1 1.5, F5 2.5 .5, Eb5 3 .5, D5 3.5 .5 |
        C5 0 1, Ab4 1 .5, F4 1.5 .5, Ab4 2 .5, C5 2.5 .5, D5 3 1 |
        B4 0 .5, D5 .5 .5, F5 1 .5, Ab5 1.5 .5, G5 2 1, F5 3 .5, D5 3.5 .5 |
        Eb5 0 1.5, C5 1.5 .5, G4 2 1, Bb4 3 .5, C5 3.5 .5 |
        Eb5 0 1, C5 1 1, F#5 2 .5, A5 2.5 .5, C6 3 1 |
        Bb5 0 .5, Ab5 .5 .5, F5 1 .5, Eb5 1.5 .5, C5 2 1, Ab4 3 1 |
        D5 0 1.5, F5 1.5 .5, Ab5 2 1, G5 3 1 |
        F5 0 1, Ab5 1 1, G5 2 .5, F5 2.5 .5, D5 3 .5, B4 3.5 .5 |
        C5 0 1.5, D5 2 .5, F5 2.5 .5, B4 3 .5, D5 3.5 .5""")
    vibes = song.Track("vibraphone", 0, 11, volume=127, pan=72, reverb=50)
    Melody(vibes, 4, melody, velocity=100, swing=Swing)
    flute = song.Track("flute", 4, 73, volume=84, pan=88, reverb=60)
    Melody(flute, 4, melody[8:], velocity=70, swing=Swing, transpose=12)
    # The flute joins for the second half only: shift its notes there.
    flute.notes = [(s + 32, l, k, v) for (s, l, k, v) in flute.notes]
    piano = song.Track("piano", 1, 0, volume=104, pan=44, reverb=40)
    bass = song.Track("acoustic bass", 2, 32, volume=96, pan=64, reverb=20)
    drums = song.Track("jazz kit", DRUM_CHANNEL, 32, volume=116, reverb=30)
    for b, bar in enumerate(chords):
        t0 = b * 4
        for symbol, start, length in bar:
            # Rootless comping, the Charleston rhythm: on the beat and on the swung "and" of two.
            pc, intervals = ParseChord(symbol)
            voicing = sorted(set(57 + ((pc + i - 57) % 12) for i in intervals[1:]))
            piano.Chord(t0 + start, 0.35, voicing, 72)
            piano.Chord(t0 + start + 1 + 2.0 / 3.0, 0.5, voicing, 66)
        # Walking bass: root, chord tones, a chromatic approach into the next bar.
        nxt = chords[(b + 1) % len(chords)][0][0]
        target = Root(nxt, 33)
        if len(bar) == 1:
            s = bar[0][0]
            line = [Root(s, 33), ChordTone(s, 1, 33), ChordTone(s, 2, 33)]
        else:
            line = [Root(bar[0][0], 33), ChordTone(bar[0][0], 2, 33), Root(bar[1][0], 33)]
        approach = target - 1 if abs(target - 1 - line[-1]) <= abs(target + 1 - line[-1]) else target + 1
        for i, k in enumerate(line + [approach]):
            bass.Note(t0 + i, 0.9, k, 100 if i == 0 else 86)
        # Ride pattern with the swung skip note, pedal hat on two and four, feathered kick.
        for beat in range(4):
            drums.Note(t0 + beat, 0.3, RIDE, 72 if beat % 2 else 62)
            drums.Note(t0 + beat, 0.3, KICK, 30)
            if beat % 2:
                drums.Note(t0 + beat, 0.2, PEDAL_HAT, 64)
                drums.Note(t0 + beat + 2.0 / 3.0, 0.2, RIDE, 54)
        # Jungle congas under the swing.
        drums.Note(t0 + 0.0, 0.3, LOW_CONGA, 60)
        drums.Note(t0 + 1 + 2.0 / 3.0, 0.2, MUTE_CONGA, 48)
        drums.Note(t0 + 2.0, 0.3, OPEN_CONGA, 58)
        drums.Note(t0 + 3 + 2.0 / 3.0, 0.2, OPEN_CONGA, 52)
        if b % 4 == 3:
            drums.Note(t0 + 2 + 2.0 / 3.0, 0.2, SNARE, 54)
            drums.Note(t0 + 3 + 2.0 / 3.0, 0.2, SNARE, 66)
        if b % 8 == 0:
            drums.Note(t0, 1.0, CRASH, 64)
    return song, 16


# ---------------------------------------------------------------------------------------------
def PowerChase(micros_per_beat):
    song = Song(micros_per_beat)
    chords = ChordsPerBar("Em | C | G | D | Em | C | D | B7 | Am | Em | C | D | Am | Em | B7 | B7")
    melody = ParseBars("""
        E5 0 .5, G5 .5 .5, B5 1 1, A5 2 .5, G5 2.5 .5, F#5 3 .5, G5 3.5 .5 |
        E5 0 1, C5 1 .5, E5 1.5 .5, G5 2 1.5, E5 3.5 .5 |
        D5 0 .5, G5 .5 .5, B5 1 1, D6 2 1, B5 3 1 |
        A5 0 1.5, F#5 1.5 .5, D5 2 1, F#5 3 .5, A5 3.5 .5 |
        B5 0 .5, A5 .5 .5, G5 1 .5, F#5 1.5 .5, E5 2 1, B4 3 1 |
        C5 0 .5, E5 .5 .5, G5 1 .5, C6 1.5 .5, B5 2 1, G5 3 1 |
        A5 0 .5, F#5 .5 .5, D5 1 .5, F#5 1.5 .5, A5 2 1, D6 3 1 |
        D#6 0 1.5, B5 1.5 .5, A5 2 .5, F#5 2.5 .5, D#5 3 1 |
        C6 0 1, B5 1 .5, A5 1.5 .5, E5 2 1, A5 3 1 |
        G5 0 1, F#5 1 .5, E5 1.5 .5, B4 2 1, E5 3 1 |
        E5 0 .5, G5 .5 .5, C6 1 1, B5 2 .5, C6 2.5 .5, E6 3 1 |
        D6 0 1.5, C6 1.5 .5, A5 2 1, F#5 3 1 |
        A5 0 .5, C6 .5 .5, E6 1 1, D6 2 .5, C6 2.5 .5, A5 3 1 |
        B5 0 1.5, G5 1.5 .5, E5 2 2 |
        F#5 0 .5, A5 .5 .5, B5 1 .5, D#6 1.5 .5, F#6 2 1, D#6 3 1 |
        B5 0 1, A5 1 .5, F#5 1.5 .5, D#5 2 1, B4 3 1""")
    lead = song.Track("square lead", 0, 80, volume=66, pan=64, reverb=40, chorus=20)
    Melody(lead, 4, melody, velocity=96)
    arp = song.Track("saw arpeggio", 1, 81, volume=60, pan=40, reverb=40)
    strings = song.Track("strings", 2, 48, volume=80, pan=90, reverb=70)
    bass = song.Track("synth bass", 3, 38, volume=100, pan=64, reverb=10)
    drums = song.Track("kit", DRUM_CHANNEL, 0, volume=124, reverb=20)
    octave_pattern = [0, 0, 12, 0, 0, 12, 0, 7]
    for b, bar in enumerate(chords):
        t0 = b * 4
        symbol = bar[0][0]
        strings.Chord(t0, 3.95, Voicing(symbol, 55), 58)
        tones = Voicing(symbol, 64)
        tones = tones[:3] + [tones[0] + 12]
        for i in range(16):
            arp.Note(t0 + i * 0.25, 0.2, tones[[0, 1, 2, 3, 2, 1][i % 6]], 52 if i % 4 else 66)
        root = Root(symbol, 28)
        for i, step in enumerate(octave_pattern):
            bass.Note(t0 + i * 0.5, 0.42, root + step, 104 if i % 2 == 0 else 88)
        for beat in range(4):
            drums.Note(t0 + beat, 0.25, KICK, 100 if beat % 2 == 0 else 84)
            if beat % 2:
                drums.Note(t0 + beat, 0.25, SNARE, 96)
        for i in range(16):
            if i == 14:
                drums.Note(t0 + i * 0.25, 0.25, OPEN_HAT, 70)
            elif i != 15:
                drums.Note(t0 + i * 0.25, 0.12, CLOSED_HAT, 70 if i % 2 == 0 else 48)
        if b % 4 == 3:
            for i, v in enumerate([60, 70, 80, 92]):
                drums.Note(t0 + 3 + i * 0.25, 0.2, SNARE, v)
        if b % 8 == 0:
            drums.Note(t0, 1.0, CRASH, 86)
        drums.Note(t0 + 2.5, 0.25, KICK, 80)
    return song, 16


# ---------------------------------------------------------------------------------------------
def Fanfare(micros_per_beat):
    song = Song(micros_per_beat)
    melody = ParseBars("""
        Bb4 0 .3333, D5 .3333 .3333, F5 .6667 .3333, Bb5 1 1.25, F5 2.5 .5, Bb5 3 1 |
        G5 0 .5, Bb5 .5 .5, C6 1 .75, Bb5 1.75 .25, D6 2 2 |
        F5 1 .5, G5 1.5 .5, Bb5 2 1, D6 3 .5, C6 3.5 .5 |
        A5 0 1, C6 1 1, Bb5 2 1, F5 3 1""")
    trumpet = song.Track("trumpet", 0, 56, volume=104, pan=60, reverb=60)
    Melody(trumpet, 4, melody, velocity=104)
    brass = song.Track("brass section", 1, 61, volume=92, pan=70, reverb=60)
    bass = song.Track("bass", 2, 33, volume=104, pan=64, reverb=20)
    drums = song.Track("kit", DRUM_CHANNEL, 0, volume=100, reverb=40)
    stabs = [("Bb", [(0, 1.5), (2.5, 1.5)]), ("Eb", [(0, 2)]), ("Bb", [(0, .5), (1.5, .5), (3, .5)]),
             ("F7", [(0, .5), (1.5, .5), (2, 1.9)])]
    for b, (symbol, hits) in enumerate(stabs):
        t0 = b * 4
        for start, length in hits:
            brass.Chord(t0 + start, length, Voicing(symbol, 58), 92)
        if b == 1:
            brass.Chord(t0 + 2, 1.9, Voicing("F", 58), 92)
        roots = {0: ["Bb", "Bb"], 1: ["Eb", "F"], 2: ["Bb", "Bb"], 3: ["F", "F"]}[b]
        bass.Note(t0, 1.9, Root(roots[0], 34), 100)
        bass.Note(t0 + 2, 1.9, Root(roots[1], 34), 96)
        for beat in range(4):
            drums.Note(t0 + beat, 0.25, KICK if beat % 2 == 0 else SNARE, 100 if beat % 2 else 96)
        for i in range(8):
            drums.Note(t0 + i * 0.5, 0.2, TAMBOURINE, 64 if i % 2 == 0 else 48)
    drums.Note(0, 1.5, CRASH, 100)
    for i in range(8):   # a snare roll into the top
        drums.Note(12 + 2 + i * 0.25, 0.2, SNARE, 56 + i * 7)
    return song, 4


# name, composer, target tempo (BPM)
TRACKS = [
    ("intro", Intro, 92),
    ("space_jungle_bebop_cut", Bebop, 144),
    ("othersong", PowerChase, 150),
    ("ah_yeah", Fanfare, 120),
]
