#!/usr/bin/env python3
"""The shipped speed levels, heard through sonaris-say with the installed
sample settings and speech data: each level is shorter than the one below
for synthesized words, number words and spelled recorded letters alike."""
import os
import subprocess
import sys
import tempfile

SAY = sys.argv[1]
TEXTS = {
    "words": "Digite a data do seu nascimento",
    "number words": "123456",
    "spelled letters": "www 1234567",
}


def samples(env, text):
    r = subprocess.run([SAY, "--wav", "-", text], env=env, capture_output=True, timeout=60)
    if r.returncode != 0 or r.stdout[:4] != b"RIFF":
        sys.exit("FAILED: sonaris-say on %r: %r" % (text, r.stderr))
    return len(r.stdout) - 44


def main():
    folder = tempfile.mkdtemp(prefix="sonaris-levels-")
    env = dict(os.environ, SONARIS_WINDIR=folder, SONARIS_AUDIO="null", SONARIS_DISPLAY="headless",
               SONARIS_CLOCK="virtual")
    lengths = {name: [] for name in TEXTS}
    for level in range(1, 6):
        # Only the level is personal; every other key comes from the sample.
        with open(os.path.join(folder, "SONARIS.INI"), "w") as ini:
            ini.write("[TRADUTOR]\nVELOCIDADE=%d\n" % level)
        for name, text in TEXTS.items():
            lengths[name].append(samples(env, text))
    failed = False
    for name, by_level in lengths.items():
        print("%-16s %s" % (name, " ".join("%6d" % n for n in by_level)))
        if any(slow <= fast for slow, fast in zip(by_level, by_level[1:])):
            print("FAILED: %s is not faster at each level" % name)
            failed = True
    sys.exit(1 if failed else 0)


main()
