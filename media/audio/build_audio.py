#!/usr/bin/env python3
"""Makes every sound and music file of the game into the media folder.

Generation runs in a cache folder named after a hash of these sources and the tools' versions,
so an unchanged rebuild only copies the finished files.
Usage: build_audio.py MEDIA_DIR CACHE_DIR MANIFEST_PATH
"""
import concurrent.futures
import hashlib
import json
import os
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import effects  # noqa: E402
import music    # noqa: E402
import songs    # noqa: E402
import speech   # noqa: E402

LICENCE_FILES = [
    ("the voice cmu_us_slt_arctic_hts (Debian package festvox-us-slt-hts)",
     "/usr/share/doc/festvox-us-slt-hts/copyright"),
    ("the FluidR3_GM SoundFont (Debian package fluid-soundfont-gm)",
     "/usr/share/doc/fluid-soundfont-gm/copyright"),
]


def ToolVersions():
    out = []
    for pkg in ["sox", "festival", "festvox-us-slt-hts", "fluidsynth", "fluid-soundfont-gm", "vorbis-tools", "lame"]:
        r = subprocess.run(["dpkg-query", "-W", "-f=${Version}", pkg], capture_output=True, text=True)
        out.append("%s=%s" % (pkg, r.stdout.strip() if r.returncode == 0 else "?"))
    return ";".join(out)


def SourceHash():
    h = hashlib.sha256()
    for name in sorted(os.listdir(HERE)):
        if name.endswith((".py", ".txt")):
            with open(os.path.join(HERE, name), "rb") as f:
                h.update(name.encode() + b"\0" + f.read())
    h.update(ToolVersions().encode())
    return h.hexdigest()[:16]


def Credits(path):
    with open(os.path.join(HERE, "CREDITS-audio.txt")) as f:
        text = f.read()
    for what, licence in LICENCE_FILES:
        text += "=" * 78 + "\nLicence of %s:\n\n" % what
        with open(licence) as f:
            text += f.read()
        text += "\n"
    with open(path, "w") as f:
        f.write(text)


def Generate(out_dir, work):
    os.makedirs(work, exist_ok=True)
    timings = {}

    def Timed(label, fn, *args):
        start = time.time()
        result = fn(*args)
        timings[label] = round(time.time() - start, 2)
        return result

    def Voices():
        d = os.path.join(work, "speech")
        os.makedirs(d, exist_ok=True)
        return Timed("speech", speech.Build, d, out_dir)

    def Effects():
        d = os.path.join(work, "effects")
        os.makedirs(d, exist_ok=True)
        return Timed("effects", effects.Build, d, out_dir)

    def Track(name, compose, bpm):
        d = os.path.join(work, "music")
        os.makedirs(d, exist_ok=True)
        return Timed("music " + name, music.BuildTrack, d, out_dir, name, compose, bpm)

    # The synthesiser runs are the long part: tracks and the voice + effect batch share two cores,
    # longest first.
    with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
        tracks = {name: pool.submit(Track, name, compose, bpm) for name, compose, bpm in songs.TRACKS}
        pool.submit(lambda: (Voices(), Effects())).result()
        manifest = {"music": {name: job.result() for name, job in tracks.items()}}
    manifest["speech"] = {name: {"words": words, "ticks": ticks}
                          for name, words, ticks, _r, _l in speech.PHRASES}
    manifest["timings"] = timings
    Credits(os.path.join(out_dir, "CREDITS-audio.txt"))
    return manifest


def main():
    media_dir, cache_root, manifest_path = (os.path.abspath(p) for p in sys.argv[1:4])
    key = SourceHash()
    cache = os.path.join(cache_root, key)
    files = os.path.join(cache, "files")
    stamp = os.path.join(cache, "complete.json")
    started = time.time()
    if not os.path.exists(stamp):
        if os.path.isdir(cache):
            shutil.rmtree(cache)
        os.makedirs(files)
        manifest = Generate(files, os.path.join(cache, "work"))
        shutil.rmtree(os.path.join(cache, "work"))
        with open(stamp, "w") as f:
            json.dump(manifest, f, indent=1, sort_keys=True)
        # Older cache entries are of no further use.
        for other in os.listdir(cache_root):
            if other != key:
                shutil.rmtree(os.path.join(cache_root, other), ignore_errors=True)
        print("audio: generated in %.1f s %s" % (time.time() - started, manifest["timings"]))
    else:
        print("audio: unchanged sources, copied from the cache")
    os.makedirs(media_dir, exist_ok=True)
    for name in sorted(os.listdir(files)):
        shutil.copyfile(os.path.join(files, name), os.path.join(media_dir, name))
    shutil.copyfile(stamp, manifest_path)


if __name__ == "__main__":
    main()
