#!/usr/bin/env python3
"""Melody of Toada's voices beside espeak-ng's driving the same MBROLA voices.

For each voice (br1, br3, br4) speaks the same sentences with
`toada-say --voice V --wav` and with `espeak-ng -v mb-brN -w`, measures the
pitch (F0) by autocorrelation every 10 ms and prints, for each engine and
voice: the median F0 of the voiced frames, the median within-sentence span
(5th to 95th percentile of a sentence's F0, in semitones), and how much
higher a yes/no question ends than the same words as a statement (mean F0
of the last 300 ms of voice, in semitones).

    tools/prosody/melody.py BUILD_DIR

espeak-ng runs with a private data folder in which mbrola/brN is the
project's voice file, and the project's `mbrola` first in PATH, so both
engines speak with exactly the same synthesizer and voices. Only the
standard library is used.
"""
import array
import math
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import wave

SENTENCES = [
    "O sol nasce todos os dias atrás da montanha.",
    "Minha irmã comprou um carro novo na semana passada.",
    "Quando você vai voltar para casa?",
    "Onde fica a estação de trem mais próxima?",
    "Comprei arroz, feijão, batatas e cebolas.",
    "Os animais da fazenda dormem cedo.",
    "Eu não entendi a pergunta do professor.",
    "A música brasileira é conhecida no mundo inteiro.",
    "Amanhã vai chover o dia todo na cidade.",
    "Ela terminou o trabalho antes do almoço.",
]
# Yes/no questions and the same words as statements.
PAIRS = [
    "Você vem amanhã",
    "Ele comprou o carro",
    "A loja está aberta",
    "Vocês gostaram da festa",
]
VOICES = ["br1", "br3", "br4"]


def read_wav(path):
    with wave.open(path) as w:
        rate, width = w.getframerate(), w.getsampwidth()
        data = w.readframes(w.getnframes())
    if width != 2:
        raise ValueError(f"{path}: 16-bit samples expected")
    return rate, array.array("h", data)


def f0_track(rate, samples, low=60.0, high=400.0):
    """F0 every 10 ms (0 where unvoiced): normalised autocorrelation of
    30 ms frames, decimated to about 8 kHz; the first peak that comes
    within 10% of the highest is the period (so no octave below)."""
    step = max(1, round(rate / 8000))
    x = [sum(samples[i:i + step]) / step for i in range(0, len(samples) - step + 1, step)]
    r = rate / step
    n, hop = int(0.03 * r), int(0.01 * r)
    lo, hi = int(r / high), int(r / low) + 1
    loud = max((abs(v) for v in x), default=0)
    track = []
    for s in range(0, max(0, len(x) - n - hi - 1), hop):
        a = x[s:s + n]
        ea = sum(v * v for v in a)
        if ea < n * (0.05 * loud) ** 2:
            track.append(0.0)
            continue
        corr = []
        for lag in range(lo, hi + 2):
            b = x[s + lag:s + lag + n]
            eb = sum(v * v for v in b)
            corr.append(sum(map(float.__mul__, a, b)) / math.sqrt(ea * eb) if eb > 0 else 0.0)
        best = max(corr)
        if best < 0.7:
            track.append(0.0)
            continue
        for i in range(1, len(corr) - 1):
            if corr[i] >= 0.9 * best and corr[i] >= corr[i - 1] and corr[i] >= corr[i + 1]:
                a0, b0, c0 = corr[i - 1], corr[i], corr[i + 1]
                den = a0 - 2 * b0 + c0
                shift = 0.5 * (a0 - c0) / den if den else 0.0
                track.append(r / (lo + i + shift))
                break
        else:
            track.append(0.0)
    return track


def percentile(values, p):
    v = sorted(values)
    return v[min(len(v) - 1, max(0, int(round(p / 100 * (len(v) - 1)))))]


def semitones(a, b):
    return 12 * math.log2(a / b)


def ending(track, ms=300):
    voiced = [f for f in track if f > 0]
    tail = voiced[-(ms // 10):]
    return statistics.mean(tail) if tail else float("nan")


class Engines:
    def __init__(self, build):
        self.build = build
        self.toada = os.path.join(build, "programs", "toada-say", "toada-say")
        self.tmp = tempfile.mkdtemp(prefix="melody-")
        # Settings of its own: none of the user's, speed and pitch as shipped.
        self.windir = os.path.join(self.tmp, "settings")
        os.makedirs(self.windir)
        self.espeak = self._espeak_folder()

    def _espeak_folder(self):
        espeak = shutil.which("espeak-ng")
        source = next((d for d in ("/usr/lib/x86_64-linux-gnu/espeak-ng-data", "/usr/share/espeak-ng-data")
                       if os.path.exists(os.path.join(d, "voices", "mb", "mb-br4"))), None)
        mbrola_dir = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "..",
                                  "third_party", "mbrola")
        mbrola_dir = os.environ.get("SONARIS_MBROLA_DIR", os.path.normpath(mbrola_dir))
        if not espeak or not source or not os.path.exists(os.path.join(mbrola_dir, "bin", "mbrola")):
            return None
        data = os.path.join(self.tmp, "espeak-ng-data")
        os.makedirs(os.path.join(data, "mbrola"))
        for entry in os.listdir(source):
            os.symlink(os.path.join(source, entry), os.path.join(data, entry))
        for v in VOICES:
            voice = os.path.join(mbrola_dir, "share", "mbrola", v, v)
            if os.path.exists(voice):
                os.symlink(voice, os.path.join(data, "mbrola", v))
        os.makedirs(os.path.join(self.tmp, "bin"))
        os.symlink(os.path.join(mbrola_dir, "bin", "mbrola"), os.path.join(self.tmp, "bin", "mbrola"))
        return espeak

    def say(self, engine, voice, text):
        out = os.path.join(self.tmp, "out.wav")
        env = dict(os.environ, SONARIS_WINDIR=self.windir, SONARIS_AUDIO="null",
                   PATH=os.path.join(self.tmp, "bin") + ":" + os.environ.get("PATH", "/usr/bin"))
        if engine == "toada":
            cmd = [self.toada, "--voice", voice, "--wav", out, text]
        else:
            cmd = [self.espeak, "--path=" + self.tmp, "-v", "mb-" + voice, "-w", out, text]
        subprocess.run(cmd, env=env, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=120)
        return f0_track(*read_wav(out))


def measure(engines, engine, voice):
    all_f0, spans = [], []
    for s in SENTENCES:
        voiced = [f for f in engines.say(engine, voice, s) if f > 0]
        all_f0 += voiced
        if len(voiced) > 10:
            spans.append(semitones(percentile(voiced, 95), percentile(voiced, 5)))
    rises = []
    for words in PAIRS:
        q = ending(engines.say(engine, voice, words + "?"))
        d = ending(engines.say(engine, voice, words + "."))
        rises.append(semitones(q, d))
    return statistics.median(all_f0), statistics.median(spans), statistics.mean(rises), min(rises)


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    engines = Engines(build)
    print("melody: median F0 (Hz), within-sentence span (semitones, 5th-95th percentile), "
          "yes/no question ending above the statement (semitones, mean and least of %d pairs)" % len(PAIRS))
    try:
        for voice in VOICES:
            for engine in ("toada", "espeak-ng"):
                if engine == "espeak-ng" and not engines.espeak:
                    print(f"{voice:4} {engine:10} not available (espeak-ng with mb-{voice} and MBROLA)")
                    continue
                median, span, rise, least = measure(engines, engine, voice)
                print(f"{voice:4} {engine:10} median {median:6.1f} Hz   span {span:4.1f} st   "
                      f"question ends {rise:+5.1f} st (least {least:+5.1f})")
    finally:
        shutil.rmtree(engines.tmp, ignore_errors=True)


if __name__ == "__main__":
    main()
