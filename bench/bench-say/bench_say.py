#!/usr/bin/env python3
"""Text to a WAV file, side by side: sonaris-say --wav against espeak-ng
-v pt-br -w on the same text of at least 5,000 words (the project's corpus,
repeated as needed). Prints the wall time (best and median of the trials),
the peak memory and the length of speech written by each; the goal is
sonaris-say faster than espeak-ng.

Usage: bench_say.py SONARIS-SAY BUILD-DIR [TRIALS]
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import wave

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from bench_common import corpus_paragraphs  # noqa: E402

WORDS = 5000


def corpus_text():
    paragraphs = corpus_paragraphs()
    text, words = [], 0
    while words < WORDS:
        for p in paragraphs:
            text.append(p)
            words += len(p.split())
    return "\n".join(text) + "\n", words


def run(args, stdin_path, cwd, env, timer):
    """Wall seconds and peak resident kilobytes of one run. GNU time measures
    the memory: a child forked from Python would count Python's own pages."""
    report = os.path.join(os.path.dirname(stdin_path), "time.txt")
    with open(stdin_path, "rb") as stdin:
        start = time.perf_counter()
        status = subprocess.run([timer, "-f", "%M", "-o", report] + args, stdin=stdin,
                                stdout=subprocess.DEVNULL, cwd=cwd, env=env).returncode
        seconds = time.perf_counter() - start
    if status != 0:
        sys.exit("%s failed (status %d)" % (args[0], status))
    with open(report) as f:
        return seconds, int(f.read().split()[-1])


def speech_seconds(path):
    with wave.open(path, "rb") as w:
        return w.getnframes() / w.getframerate()


def main():
    say, build = sys.argv[1], sys.argv[2]
    trials = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    espeak = shutil.which("espeak-ng")
    timer = shutil.which("time") or "/usr/bin/time"
    if not os.path.exists(timer):
        sys.exit("GNU time (package time) is needed to measure memory")
    work = tempfile.mkdtemp(prefix="bench-say-")
    try:
        text, words = corpus_text()
        text_path = os.path.join(work, "texto.txt")
        with open(text_path, "w", encoding="utf-8") as f:
            f.write(text)
        env = dict(os.environ, SONARIS_WINDIR=os.path.join(work, "windir"))
        os.makedirs(env["SONARIS_WINDIR"])
        ours, theirs = os.path.join(work, "say.wav"), os.path.join(work, "espeak.wav")
        commands = [("sonaris-say --wav", [say, "--wav", ours], ours)]
        if espeak:
            commands.append(("espeak-ng -v pt-br -w", [espeak, "-v", "pt-br", "-w", theirs,
                                                       "-f", text_path], theirs))
        print("text: %d words, %d bytes; %d trials each, run in turn" % (words, len(text.encode()), trials))
        results = {name: [] for name, _, _ in commands}
        for _ in range(trials):
            for name, args, _ in commands:
                results[name].append(run(args, text_path, build, env, timer))
        print("%-24s %9s %9s %10s %11s" % ("", "best s", "median s", "peak MB", "speech min"))
        for name, _, out in commands:
            times = [t for t, _ in results[name]]
            peak = max(kb for _, kb in results[name]) / 1024
            print("%-24s %9.2f %9.2f %10.1f %11.1f" % (name, min(times), statistics.median(times),
                                                        peak, speech_seconds(out) / 60))
        if espeak:
            ratio = statistics.median(t for t, _ in results["espeak-ng -v pt-br -w"]) / \
                statistics.median(t for t, _ in results["sonaris-say --wav"])
            print("sonaris-say is %.1f times as fast as espeak-ng (goal: more than 1)" % ratio)
        else:
            print("espeak-ng is not installed: nothing to compare with")
    finally:
        shutil.rmtree(work, ignore_errors=True)


main()
