#!/usr/bin/python3
# Runs a media generator a second time into a scratch folder and demands byte-identical output
# with no time or text chunk in any PNG: the build must not depend on the time, the run or the
# order of anything unordered.
# Usage: check_repeatable.py SCRATCH BUILD_DIR GENERATOR [ARG ...] -- PATTERN ...
# ({scratch} in an argument stands for the scratch folder; each pattern, a glob relative to
# BUILD_DIR, must match a file, and the scratch folder must hold each match at the same place.)
import filecmp
import glob
import os
import shutil
import subprocess
import sys


def main():
    scratch, build, generator = sys.argv[1:4]
    cut = sys.argv.index("--")
    shutil.rmtree(scratch, ignore_errors=True)
    subprocess.run([sys.executable, generator] + [a.replace("{scratch}", scratch) for a in sys.argv[4:cut]], check=True)
    bad, names = [], []
    for pattern in sys.argv[cut + 1:]:
        found = [os.path.relpath(p, build) for p in sorted(glob.glob(os.path.join(build, pattern)))]
        bad += [] if found else ["nothing built matches " + pattern]
        names += found
    for name in names:
        if not filecmp.cmp(os.path.join(build, name), os.path.join(scratch, name), shallow=False):
            bad.append(name + " differs on a second run")
        with open(os.path.join(build, name), "rb") as f:
            data = f.read()
        bad += ["%s carries a %s chunk" % (name, c.decode()) for c in (b"tIME", b"tEXt", b"zTXt", b"iTXt")
                if name.endswith(".png") and c in data]
    shutil.rmtree(scratch, ignore_errors=True)
    print("FAIL " + "; ".join(bad) if bad else "ok   %d files repeatable" % len(names))
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
