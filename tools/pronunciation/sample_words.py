#!/usr/bin/env python3
"""Draws the pronunciation word lists from a Brazilian Portuguese dictionary.

    sample_words.py [DICT] [OUTDIR]

DICT defaults to /usr/share/dict/brazilian (Debian package wbrazilian).
Lower-case words of letters only are ordered by a hash of the word, so the
draw is the same on every machine and does not follow the alphabet; the
first 2,000 become tune.txt (for adjusting the rules), the next 2,000
heldout.txt (for measuring only). common.txt holds the words of the
project's own corpus (data/corpus), the everyday words. Standard library only.
"""
import glob
import hashlib
import os
import re
import sys

LETTERS = re.compile(r"^[a-záàâãéêíóôõúüç]{2,18}$")
WORD = re.compile(r"[a-záàâãéêíóôõúüç]{2,}")
PER_LIST = 2000


def main():
    source = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/dict/brazilian"
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
    outdir = sys.argv[2] if len(sys.argv) > 2 else os.path.join(root, "data", "wordlists")
    with open(source, encoding="utf-8") as f:
        words = sorted({w.strip() for w in f if LETTERS.match(w.strip())})
    words.sort(key=lambda w: hashlib.sha1(w.encode("utf-8")).hexdigest())
    for name, part in (("tune.txt", words[:PER_LIST]), ("heldout.txt", words[PER_LIST:2 * PER_LIST])):
        with open(os.path.join(outdir, name), "w", encoding="utf-8") as out:
            out.write("\n".join(sorted(part)) + "\n")
    common = set()
    for path in glob.glob(os.path.join(root, "data", "corpus", "*.txt")):
        with open(path, encoding="utf-8") as f:
            common.update(WORD.findall(f.read().lower()))
    with open(os.path.join(outdir, "common.txt"), "w", encoding="utf-8") as out:
        out.write("\n".join(sorted(common)) + "\n")


if __name__ == "__main__":
    main()
