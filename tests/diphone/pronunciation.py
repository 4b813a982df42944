#!/usr/bin/env python3
"""The built-in voice against espeak-ng's pt-br transcription, on the held-out
word list and on the words of our corpus: at most 3.5% of phonemes and 18% of
words may differ, and at least 98% of words must be stressed on the same
vowel.

    pronunciation.py SONARIS_SAY DATA_DIR SOURCE_DIR CACHE_DIR
"""
import os
import shutil
import subprocess
import sys
import tempfile

GOALS = "3.5,18,98"
LISTS = ("heldout", "common")


def main():
    say, data, source, cache = sys.argv[1:5]
    if not shutil.which("espeak-ng"):
        print("SKIP: espeak-ng is not installed")
        return 77
    # Settings of our own, so that a personal SONARIS.INI cannot change
    # which rules are measured.
    with tempfile.TemporaryDirectory(prefix="sonaris-pron-") as home:
        with open(os.path.join(home, "SONARIS.INI"), "w") as ini:
            ini.write("[TRADUTOR]\ndirLetras=%s/som/letras\nDIRDIFONES=%s/som/difones\n" % (data, data))
        env = dict(os.environ, SONARIS_WINDIR=home, SONARIS_AUDIO="null", SONARIS_CLOCK="virtual")
        failed = False
        for name in LISTS:
            r = subprocess.run([sys.executable, os.path.join(source, "tools/pronunciation/compare.py"),
                                "--words", os.path.join(source, "data/wordlists/%s.txt" % name),
                                "--ours-cmd", "'%s' --phonetic" % say,
                                "--cache", os.path.join(cache, "espeak-%s.tsv" % name),
                                "--confusions", "10", "--goals", GOALS], env=env, timeout=900)
            failed |= r.returncode != 0
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
