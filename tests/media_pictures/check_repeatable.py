#!/usr/bin/python3
# Runs the picture generator a second time into a scratch folder and demands byte-identical output:
# the build must not depend on the time, the run or the order of anything unordered.
import filecmp
import os
import shutil
import subprocess
import sys


def main():
    generator, media, generated, scratch = sys.argv[1:5]
    shutil.rmtree(scratch, ignore_errors=True)
    subprocess.run([sys.executable, generator, "--media-dir", scratch + "/Media",
                    "--generated-dir", scratch + "/generated"], check=True)
    bad = []
    for name in ("textatlas1.png", "textatlastut.png", "textatlasload.png"):
        if not filecmp.cmp(os.path.join(media, name), os.path.join(scratch, "Media", name), shallow=False):
            bad.append(name)
    if not filecmp.cmp(os.path.join(generated, "atlas_data.inc"), os.path.join(scratch, "generated", "atlas_data.inc"),
                       shallow=False):
        bad.append("atlas_data.inc")
    for name in ("textatlas1.png", "textatlastut.png", "textatlasload.png"):
        with open(os.path.join(media, name), "rb") as f:
            data = f.read()
        for chunk in (b"tIME", b"tEXt", b"zTXt", b"iTXt"):
            if chunk in data:
                bad.append("%s carries a %s chunk" % (name, chunk.decode()))
    shutil.rmtree(scratch, ignore_errors=True)
    if bad:
        print("FAIL not repeatable: %s" % ", ".join(bad))
        return 1
    print("ok   repeatable")
    return 0


if __name__ == "__main__":
    sys.exit(main())
