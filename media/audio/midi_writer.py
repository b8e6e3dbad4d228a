"""A small Standard MIDI File writer (format 1), standard library only.

Times are in beats (quarter notes) as floats; they are rounded to ticks on writing.
"""
import struct

TICKS_PER_BEAT = 480
DRUM_CHANNEL = 9


def _VarLen(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append((value & 0x7F) | 0x80)
        value >>= 7
    return bytes(reversed(out))


class Track:
    def __init__(self, name, channel, program, volume=100, pan=64, reverb=40, chorus=0, bank=0):
        self.name = name
        self.channel = channel
        self.program = program
        self.volume = volume
        self.pan = pan
        self.reverb = reverb
        self.chorus = chorus
        self.bank = bank
        self.notes = []   # (start beat, length in beats, key, velocity)

    def Note(self, start, length, key, velocity=90):
        if length <= 0:
            raise ValueError("note without length in %s at beat %s" % (self.name, start))
        if not 0 <= key <= 127 or not 1 <= velocity <= 127:
            raise ValueError("note out of range in %s at beat %s" % (self.name, start))
        self.notes.append((float(start), float(length), int(key), int(velocity)))

    def Chord(self, start, length, keys, velocity=80):
        for k in keys:
            self.Note(start, length, k, velocity)


class Song:
    def __init__(self, micros_per_beat, beats_per_bar=4):
        self.micros_per_beat = int(micros_per_beat)
        self.beats_per_bar = beats_per_bar
        self.tracks = []
        self.end_beat = 0.0   # the file runs at least this long, so the last pass renders whole

    def Track(self, *args, **kwargs):
        track = Track(*args, **kwargs)
        self.tracks.append(track)
        return track

    def Repeated(self, times, length_beats):
        """A copy of the song with its notes played `times` times in a row."""
        copy = Song(self.micros_per_beat, self.beats_per_bar)
        copy.end_beat = times * length_beats
        for t in self.tracks:
            nt = copy.Track(t.name, t.channel, t.program, t.volume, t.pan, t.reverb, t.chorus, t.bank)
            for i in range(times):
                for (s, l, k, v) in t.notes:
                    nt.notes.append((s + i * length_beats, l, k, v))
        return copy

    def Bytes(self):
        chunks = [self._TempoTrack()] + [self._NoteTrack(t) for t in self.tracks]
        header = b"MThd" + struct.pack(">IHHH", 6, 1, len(chunks), TICKS_PER_BEAT)
        return header + b"".join(chunks)

    def Write(self, path):
        with open(path, "wb") as f:
            f.write(self.Bytes())

    def _TempoTrack(self):
        body = b"\x00\xFF\x51\x03" + struct.pack(">I", self.micros_per_beat)[1:]
        body += b"\x00\xFF\x58\x04" + bytes([self.beats_per_bar, 2, 24, 8])
        body += _VarLen(int(round(self.end_beat * TICKS_PER_BEAT))) + b"\xFF\x2F\x00"
        return b"MTrk" + struct.pack(">I", len(body)) + body

    def _NoteTrack(self, t):
        ch = t.channel
        events = []   # (tick, order, bytes): note-offs sort before note-ons at the same tick
        name = t.name.encode("ascii")
        setup = [b"\xFF\x03" + _VarLen(len(name)) + name]
        if ch != DRUM_CHANNEL:   # the drum channel keeps the synthesiser's percussion bank
            setup += [bytes([0xB0 | ch, 0, t.bank]), bytes([0xB0 | ch, 32, 0])]
        setup += [bytes([0xC0 | ch, t.program]),
                 bytes([0xB0 | ch, 7, t.volume]), bytes([0xB0 | ch, 10, t.pan]),
                 bytes([0xB0 | ch, 91, t.reverb]), bytes([0xB0 | ch, 93, t.chorus])]
        for i, msg in enumerate(setup):
            events.append((0, -100 + i, msg))
        for (s, l, k, v) in t.notes:
            on = int(round(s * TICKS_PER_BEAT))
            off = max(on + 1, int(round((s + l) * TICKS_PER_BEAT)))
            events.append((on, 1, bytes([0x90 | ch, k, v])))
            events.append((off, 0, bytes([0x80 | ch, k, 0])))
        events.sort(key=lambda e: (e[0], e[1]))
        body = b""
        now = 0
        for tick, _order, msg in events:
            body += _VarLen(tick - now) + msg
            now = tick
        body += b"\x00\xFF\x2F\x00"
        return b"MTrk" + struct.pack(">I", len(body)) + body
