#!/usr/bin/env python3
"""bench-toada-speed: Toada's speaking rate and vowel share across its speed
settings, side by side with espeak-ng's default rate on the same MBROLA voice.

For VELOCIDADE -10, -5, 0, 5, 10 of [SERVFALA] (speed level 3), for the five
Ctrl+F4 speed levels (VELOCIDADE 0), and for espeak-ng -v mb-br4 at its
default rate, on the same 300-word text: words per minute of the spoken
WAV file, the share of vowel time in the MBROLA lines (silences counted),
and the shortest vowel.

    bench/bench-toada-speed/speed.py BUILD_DIR
"""
import os
import subprocess
import sys
import wave

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "prosody"))
import melody  # noqa: E402  (the sentences and the private espeak-ng folder)

WORDS = 300
VOWEL_LETTERS = "aeiou@"  # the vowels of the br4 phoneme names begin so


def text_of(words):
    out, count = [], 0
    while count < words:
        for s in melody.SENTENCES:
            out.append(s)
            count += len(s.split())
            if count >= words:
                break
    return " ".join(out), count


def pho_figures(lines):
    """Vowel share and shortest vowel of MBROLA lines ("name ms ...")."""
    total = vowels = 0
    shortest = None
    for line in lines:
        parts = line.split()
        if len(parts) < 2 or line.startswith(";") or not parts[1].isdigit():
            continue
        ms = int(parts[1])
        total += ms
        if parts[0][0] in VOWEL_LETTERS:
            vowels += ms
            shortest = ms if shortest is None else min(shortest, ms)
    return vowels / total if total else 0.0, shortest or 0


def seconds(path):
    with wave.open(path) as w:
        return w.getnframes() / w.getframerate()


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    engines = melody.Engines(build)
    text, words = text_of(WORDS)
    wav = os.path.join(engines.tmp, "speed.wav")
    print(f"bench-toada-speed: words per minute, vowel share of the MBROLA lines and shortest vowel, "
          f"on a {words}-word text (Toada and espeak-ng, MBROLA voice br4)")
    rows = [("VELOCIDADE=%d" % v, v, 3) for v in (-10, -5, 0, 5, 10)]
    rows += [("level %d" % level, 0, level) for level in range(1, 6)]
    results = {}
    for name, speed, level in rows:
        with open(os.path.join(engines.windir, "SONARIS.INI"), "w") as ini:
            ini.write(f"[SERVFALA]\nVELOCIDADE={speed}\n[TRADUTOR]\nVELOCIDADE={level}\n")
        env = dict(os.environ, SONARIS_WINDIR=engines.windir, SONARIS_AUDIO="null")
        subprocess.run([engines.toada, "--voice", "br4", "--wav", wav, text], env=env, check=True,
                       stdout=subprocess.DEVNULL, timeout=600)
        lines = subprocess.run([engines.toada, "--voice", "br4", "--lines", text], env=env, check=True,
                               capture_output=True, text=True, timeout=600).stdout.splitlines()
        share, shortest = pho_figures(lines)
        wpm = words / seconds(wav) * 60
        results[name] = (wpm, share)
        print(f"Toada {name:15} {wpm:6.0f} words/min   vowels {share * 100:5.1f}% of the time   "
              f"shortest vowel {shortest:3d} ms")
    if engines.espeak:
        env = dict(os.environ, PATH=os.path.join(engines.tmp, "bin") + ":" + os.environ.get("PATH", ""))
        base = [engines.espeak, "--path=" + engines.tmp, "-v", "mb-br4"]
        subprocess.run(base + ["-w", wav, text], env=env, check=True, stderr=subprocess.DEVNULL, timeout=600)
        pho = subprocess.run(base + ["-q", "--pho", text], env=env, check=True, stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL,
                             text=True, timeout=600).stdout.splitlines()
        share, shortest = pho_figures(pho)
        wpm = words / seconds(wav) * 60
        print(f"espeak-ng default    {wpm:6.0f} words/min   vowels {share * 100:5.1f}% of the time   "
              f"shortest vowel {shortest:3d} ms")
        zero = results["VELOCIDADE=0"][0]
        print(f"goals: VELOCIDADE=0 at {zero / wpm * 100:.0f}% of espeak-ng's rate (90-110%), "
              f"10 is {results['VELOCIDADE=10'][0] / results['VELOCIDADE=-10'][0]:.2f} x -10 (at least 2.5), "
              f"vowel share within "
              f"{max(abs(s / results['VELOCIDADE=0'][1] - 1) for _, s in results.values()) * 100:.1f}% "
              f"of its value at 0 (at most 10%)")
    else:
        print("espeak-ng mb-br4: not available")
    import shutil
    shutil.rmtree(engines.tmp, ignore_errors=True)


if __name__ == "__main__":
    main()
