#!/usr/bin/env python3
"""Compares a voice's phonemes with espeak-ng's pt-br transcription.

    compare.py --words LIST --ours-cmd CMD [--ours-format groups|lines]
               --map MAP.tsv [--cache FILE] [--goals P,W,S] [--diffs FILE]
               [--confusions N]

LIST holds one word a line (UTF-8). CMD is run once with all the words on
its standard input and prints our phonemes:
  groups  the built-in voice (`sonaris-say --phonetic`): the words go in
          separated by " . ", and the output is one line of "[...]" groups,
          the groups of one word ending at the group of the ".";
  lines   one word a line in, one line of phonemes a word out
          (`toada-say --phonemes`).
MAP (TSV, see map-builtin.tsv) turns our letters into espeak-ng phonemes.
espeak-ng's transcriptions are kept in --cache (word TAB transcription) and
only words missing there are transcribed again.

Printed figures, over the words of LIST:
  phonemes differing  edit distance between the two phoneme sequences
                      (stress left aside), summed, over the reference length;
  words differing     words whose sequences are not equal;
  stress              words whose stressed vowel is aligned with espeak-ng's
                      (a word of one vowel with no mark counts as stressed on
                      it);
  helping vowel       an unstressed i that ours puts after a consonant where
                      espeak-ng has none (adquira a-di-quira), with the tS or
                      dZ it makes of a t or d before it: not counted against
                      us above; its share is printed apart, and the figures
                      with it counted too.
--goals P,W,S makes the exit status 1 unless phonemes differ in at most P%,
words in at most W% and stress agrees in at least S% of the words.
Standard library only.
"""
import argparse
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
VOWELS = {"a", "&", "&~", "e", "E", "e~", "i", "i~", "o", "O", "o~", "u", "u~"}
NASAL = {"a": "&~", "&": "&~", "&~": "&~", "e": "e~", "E": "e~", "e~": "e~", "i": "i~", "i~": "i~",
         "o": "o~", "O": "o~", "o~": "o~", "u": "u~", "u~": "u~"}
HELPING_AFTER = {"p", "b", "t", "d", "k", "g", "f", "v", "tS", "dZ", "S", "Z", "s", "z", "m", "n", "l", "r", "x"}


class Phoneme:
    def __init__(self, sym, stressed=False):
        self.sym, self.stressed = sym, stressed

    def __repr__(self):
        return ("'" if self.stressed else "") + self.sym


def read_table(path):
    """TSV of key TAB space-separated phonemes; # comments; empty right side allowed."""
    table = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            key, _, value = line.partition("\t")
            table[key] = value.split()
    return table


def phonemes_of(targets, out):
    """Appends mapped phonemes; a leading ' stresses the phoneme; a lone ' stresses the next vowel."""
    pending = False
    for t in targets:
        if t == "'":
            pending = True
            continue
        stressed = t.startswith("'")
        sym = t.lstrip("'")
        if sym in VOWELS and pending:
            stressed, pending = True, False
        out.append(Phoneme(sym, stressed))
    return pending


# ---------------------------------------------------------------- our side

def tokenize(text, table):
    """Longest left side of the map at each point; whitespace separates; unknown letters stand as they are."""
    keys = sorted(table, key=len, reverse=True)
    out, i, pending = [], 0, False
    while i < len(text):
        if text[i].isspace():
            i += 1
            continue
        key = next((k for k in keys if text.startswith(k, i)), text[i])
        targets = table.get(key, [key])
        if pending:
            targets = ["'"] + targets
        pending = phonemes_of(targets, out)
        i += len(key)
    return out


def read_groups(cmd, words):
    """The built-in voice: one line of [..] groups; " . " between words gives the group [ /_.]."""
    text = " . ".join(words) + " ."
    out = run(cmd, text)
    parts = out.replace("\n", "").split("[ /_.]")
    return [p for p in parts[:len(words)]] + [""] * max(0, len(words) - len(parts))


def read_lines(cmd, words):
    """One word a line in, one line of phonemes a word out."""
    out = run(cmd, "\n".join(words) + "\n").split("\n")
    return (out + [""] * len(words))[:len(words)]


READERS = {"groups": read_groups, "lines": read_lines}


def run(cmd, text):
    done = subprocess.run(cmd, shell=True, input=text.encode("utf-8"), stdout=subprocess.PIPE, check=True)
    return done.stdout.decode("utf-8", errors="replace")


# ----------------------------------------------------------- espeak-ng side

def espeak(words):
    """Each word alone (a clause of its own, so no liaison with the next word)."""
    text = "".join(w + ".\n" for w in words)
    out = subprocess.run(["espeak-ng", "-q", "-x", "--sep=_", "-v", "pt-br"], input=text.encode("utf-8"),
                         stdout=subprocess.PIPE, check=True).stdout.decode("utf-8")
    lines = [l.strip() for l in out.split("\n") if l.strip()]
    if len(lines) != len(words):
        sys.exit("compare.py: espeak-ng gave %d lines for %d words" % (len(lines), len(words)))
    return lines


def cached_espeak(words, cache):
    known = {}
    if cache and os.path.exists(cache):
        with open(cache, encoding="utf-8") as f:
            for line in f:
                word, _, trans = line.rstrip("\n").partition("\t")
                known[word] = trans
    missing = [w for w in dict.fromkeys(words) if w not in known]
    for start in range(0, len(missing), 500):
        part = missing[start:start + 500]
        known.update(zip(part, espeak(part)))
    if cache and missing:
        with open(cache, "w", encoding="utf-8") as f:
            f.writelines("%s\t%s\n" % kv for kv in sorted(known.items()))
    return [known[w] for w in words]


def plain_espeak(trans, table):
    """espeak-ng's notation to plain phonemes (see espeak-pt-br.tsv for the rules)."""
    seq, pending = [], False
    for raw in trans.replace(" ", "_").split("_"):
        if not raw:
            continue
        stressed = raw.startswith("'")
        tok = raw.lstrip("',")
        if tok == "N":
            nasalise(seq)
            continue
        targets = table.get(tok, [tok])
        if stressed or pending:
            targets = ["'"] + targets
        pending = phonemes_of(targets, seq)
    fix_final_nasal_diphthong(trans, seq)
    drop_nasal_consonants(seq)
    decide_glides(seq)
    return seq


def nasalise(seq):
    """N after a vowel, or after a vowel and its glide: the vowel is nasal; e j N is e~ (j only at the end)."""
    if not seq:
        return
    last = seq[-1]
    if last.sym in ("j", "y", "w") and len(seq) >= 2 and seq[-2].sym in VOWELS:
        vowel = seq[-2]
        if vowel.sym == "e" and last.sym in ("j", "y"):
            seq.pop()  # e~; the glide comes back at the end of the word
            vowel.sym = "e~"
            return
        vowel.sym = NASAL[vowel.sym]
    elif last.sym in VOWELS:
        last.sym = NASAL[last.sym]


def fix_final_nasal_diphthong(trans, seq):
    if trans.replace("_", "").endswith("eIN") and seq and seq[-1].sym == "e~":
        seq.append(Phoneme("j"))


def drop_nasal_consonants(seq):
    """m or n closing a syllable (before a consonant) only nasalises the vowel before it."""
    i = 1
    while i < len(seq):
        after = seq[i + 1].sym if i + 1 < len(seq) else None
        if seq[i].sym in ("m", "n") and after is not None and after not in VOWELS | {"y", "w", "j"} \
                and (seq[i - 1].sym in VOWELS or seq[i - 1].sym in ("j", "y")):
            del seq[i]
            head = seq[:i]
            nasalise(head)  # the vowel is changed in place; an e j loses its glide
            seq[:i] = head
            i = len(head)
            continue
        i += 1


def decide_glides(seq):
    for i, p in enumerate(seq):
        if p.sym not in ("y", "w"):
            continue
        before = seq[i - 1].sym if i > 0 else None
        after = seq[i + 1].sym if i + 1 < len(seq) else None
        vowel_near = before in VOWELS or after in VOWELS
        if p.sym == "y":
            p.sym = "j" if vowel_near else "i"
        elif not vowel_near:
            p.sym = "u"


# --------------------------------------------------------------- comparing

def is_helping(ours, i):
    """An unstressed i after a consonant, before a consonant or the end."""
    p = ours[i]
    if p.sym != "i" or p.stressed or i == 0 or ours[i - 1].sym not in HELPING_AFTER:
        return False
    return i + 1 == len(ours) or ours[i + 1].sym not in VOWELS


# The helping vowel turns t and d before it into tS and dZ (ritmo rrI tchi mu).
AFFRICATES = {"tS": "t", "dZ": "d"}


def cost(ours, i, r, excuse):
    """Substituting ours[i] by r; an affricate made by a helping vowel after it passes for its stop."""
    if ours[i].sym == r.sym:
        return 0
    if excuse and AFFRICATES.get(ours[i].sym) == r.sym and i + 1 < len(ours) and is_helping(ours, i + 1):
        return 0
    return 1


def align(ours, ref, excuse):
    """Edit distance; with excuse, deleting a helping vowel of ours costs nothing.
    Returns (distance, helping vowels excused, pairs of aligned indices)."""
    n, m = len(ours), len(ref)
    inf = (10 ** 9, 0)
    d = [[inf] * (m + 1) for _ in range(n + 1)]
    d[0][0] = (0, 0)
    for i in range(n + 1):
        for j in range(m + 1):
            if i == 0 and j == 0:
                continue
            best = inf
            if i > 0:
                free = excuse and is_helping(ours, i - 1)
                c = d[i - 1][j]
                best = min(best, (c[0] + (0 if free else 1), c[1] - (1 if free else 0)))
            if j > 0:
                c = d[i][j - 1]
                best = min(best, (c[0] + 1, c[1]))
            if i > 0 and j > 0:
                c = d[i - 1][j - 1]
                best = min(best, (c[0] + cost(ours, i - 1, ref[j - 1], excuse), c[1]))
            d[i][j] = best
    pairs, i, j = [], n, m
    while i > 0 or j > 0:
        here = d[i][j]
        if i > 0 and j > 0 and here == (d[i - 1][j - 1][0] + cost(ours, i - 1, ref[j - 1], excuse), d[i - 1][j - 1][1]):
            pairs.append((i - 1, j - 1))
            i, j = i - 1, j - 1
        elif j > 0 and here == (d[i][j - 1][0] + 1, d[i][j - 1][1]):
            j -= 1
        else:
            i -= 1
    return d[n][m][0], -d[n][m][1], pairs


def stressed_index(seq):
    marks = [i for i, p in enumerate(seq) if p.stressed]
    if len(marks) == 1:
        return marks[0]
    vowels = [i for i, p in enumerate(seq) if p.sym in VOWELS]
    if not marks and len(vowels) == 1:
        return vowels[0]
    return None  # no stress, or more than one


def same_stress(ours, ref, pairs):
    o, r = stressed_index(ours), stressed_index(ref)
    return o is not None and r is not None and (o, r) in pairs


def show(seq):
    return " ".join(map(repr, seq))


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--words", required=True)
    ap.add_argument("--ours-cmd", required=True)
    ap.add_argument("--ours-format", choices=sorted(READERS), default="groups")
    ap.add_argument("--map", default=os.path.join(HERE, "map-builtin.tsv"))
    ap.add_argument("--espeak-map", default=os.path.join(HERE, "espeak-pt-br.tsv"))
    ap.add_argument("--cache")
    ap.add_argument("--goals")
    ap.add_argument("--diffs", help="write every differing word here")
    ap.add_argument("--confusions", type=int, default=0, help="print the N most frequent differences")
    a = ap.parse_args()

    with open(a.words, encoding="utf-8") as f:
        words = [w.strip() for w in f if w.strip() and not w.startswith("#")]
    ours_map, ref_map = read_table(a.map), read_table(a.espeak_map)
    ours_raw = READERS[a.ours_format](a.ours_cmd, words)
    ref_raw = cached_espeak(words, a.cache)

    ref_len = dist = dist_raw = words_diff = words_diff_raw = stress_ok = helped_words = helped = 0
    confusions, diffs = {}, []
    for word, o_text, r_text in zip(words, ours_raw, ref_raw):
        ours, ref = tokenize(o_text, ours_map), plain_espeak(r_text, ref_map)
        d, h, pairs = align(ours, ref, excuse=True)
        d_raw = align(ours, ref, excuse=False)[0]
        ref_len += len(ref)
        dist += d
        dist_raw += d_raw
        words_diff += d > 0
        words_diff_raw += d_raw > 0
        helped += h
        helped_words += h > 0
        ok = same_stress(ours, ref, pairs)
        stress_ok += ok
        if d > 0 or not ok:
            diffs.append("%s\t%s\t%s\t%s%s" % (word, show(ours), show(ref), d, "" if ok else "\tstress"))
            for key in differences(ours, ref, pairs):
                confusions.setdefault(key, []).append(word)

    n = len(words)
    pct = lambda x, total: 100.0 * x / total if total else 0.0
    figures = (pct(dist, ref_len), pct(words_diff, n), pct(stress_ok, n))
    print("list: %s (%d words, %d reference phonemes)" % (os.path.basename(a.words), n, ref_len))
    print("phonemes differing: %.2f%% (%d)" % (figures[0], dist))
    print("words differing: %.1f%% (%d)" % (figures[1], words_diff))
    print("stress on the same vowel: %.1f%% (%d)" % (figures[2], stress_ok))
    print("helping vowel after a consonant: %d in %.1f%% of words (%.2f%% of reference phonemes), not counted above"
          % (helped, pct(helped_words, n), pct(helped, ref_len)))
    print("counting the helping vowel too: phonemes %.2f%%, words %.1f%%"
          % (pct(dist_raw, ref_len), pct(words_diff_raw, n)))
    if a.confusions:
        print("most frequent differences (ours -> espeak-ng):")
        for key, seen in sorted(confusions.items(), key=lambda kv: -len(kv[1]))[:a.confusions]:
            print("  %5d  %-22s %s" % (len(seen), key, " ".join(seen[:4])))
    if a.diffs:
        with open(a.diffs, "w", encoding="utf-8") as f:
            f.write("# word\tours\tespeak-ng\tdistance\n" + "\n".join(diffs) + "\n")
    if a.goals:
        p, w, s = (float(x) for x in a.goals.split(","))
        missed = [name for name, bad in (("phonemes", figures[0] > p), ("words", figures[1] > w),
                                         ("stress", figures[2] < s)) if bad]
        if missed:
            print("goals missed: %s (goals: phonemes <= %g%%, words <= %g%%, stress >= %g%%)"
                  % (", ".join(missed), p, w, s))
            return 1
        print("goals met")
    return 0


def differences(ours, ref, pairs):
    """Substitutions, insertions and deletions of one word, with a little context."""
    out = []
    matched_o = {i for i, _ in pairs}
    matched_r = {j for _, j in pairs}
    for i, j in pairs:
        if cost(ours, i, ref[j], True):
            out.append("%s -> %s" % (ours[i].sym, ref[j].sym))
    for i, p in enumerate(ours):
        if i not in matched_o and not is_helping(ours, i):
            out.append("%s -> (none)" % p.sym)
    for j, p in enumerate(ref):
        if j not in matched_r:
            out.append("(none) -> %s" % p.sym)
    if stressed_index(ours) is None:
        out.append("no single stress in ours")
    return out


if __name__ == "__main__":
    sys.exit(main())
