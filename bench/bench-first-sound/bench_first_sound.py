#!/usr/bin/env python3
"""First audible sound from process start, and peak memory on a long text
(a benchmark, not a test), side by side in one run: sonaris-say --wav -,
toada-say --wav - (br4), espeak-ng -v pt-br --stdout and espeak-ng -v
mb-br4 --stdout (espeak-ng driving our MBROLA program and br4 voice through
a private data folder).

Each program writes its WAV to a pipe; the benchmark plays that stream in
real time from its first byte, stalling when the next bytes are not there
yet, and notes when the first sample above -42 dBFS (1/128 of full scale)
would sound. The clock starts just before the process is started. Trials
run the programs in turn (paired), medians are printed with their spread,
for a short sentence and for the start of a 100 kB text. Peak memory
(GNU time) is of the whole 100 kB text into /dev/null. Goals: toada-say's
first sound under 30 ms and below espeak-ng mb-br4's; toada-say under 14 MB
on 100 kB.

Usage: bench_first_sound.py BUILD_DIR [TRIALS]
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from bench_common import arguments, corpus_paragraphs, spread  # noqa: E402

SENTENCE = "Bom dia, Maria. Você nasceu numa quinta-feira."
LONG_BYTES = 100_000
AUDIBLE = 1 / 128  # of full scale: -42 dBFS


def long_text():
    paragraphs = corpus_paragraphs()
    text = []
    while sum(len(p.encode()) + 1 for p in text) < LONG_BYTES:
        text += paragraphs
    return "\n".join(text) + "\n"


def espeak_mbrola_folder(build, work):
    """A data folder where mb-br4 is our br4 voice, and our mbrola first in PATH."""
    mbrola_dir = os.environ.get("SONARIS_MBROLA_DIR") or os.path.join(build, "..", "third_party", "mbrola")
    voice = os.path.join(mbrola_dir, "share", "mbrola", "br4", "br4")
    program = os.path.join(mbrola_dir, "bin", "mbrola")
    system = next((d for d in ("/usr/lib/x86_64-linux-gnu/espeak-ng-data", "/usr/share/espeak-ng-data")
                   if os.path.exists(os.path.join(d, "voices", "mb", "mb-br4"))), None)
    if not (os.path.exists(voice) and os.path.exists(program) and system):
        return None
    data = os.path.join(work, "espeak-ng-data")
    os.makedirs(os.path.join(data, "mbrola"))
    for entry in os.listdir(system):
        os.symlink(os.path.join(system, entry), os.path.join(data, entry))
    os.symlink(os.path.abspath(voice), os.path.join(data, "mbrola", "br4"))
    os.makedirs(os.path.join(work, "bin"))
    os.symlink(os.path.abspath(program), os.path.join(work, "bin", "mbrola"))
    return work


def first_audible(args, text_path, cwd, env):
    """ms from process start to the first audible sample of the WAV stream;
    the text comes from a file on standard input."""
    with open(text_path, "rb") as stdin:
        t0 = time.monotonic()
        p = subprocess.Popen(args, cwd=cwd, env=env, stdin=stdin, stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL)
    fd = p.stdout.fileno()
    data, base, found = b"", None, None
    rate = bits = None
    consumed = 0  # samples before the current chunk
    while found is None:
        chunk = os.read(fd, 65536)
        now = time.monotonic()
        if not chunk:
            break
        data += chunk
        if rate is None:
            if len(data) < 44:
                continue
            rate, bits = struct.unpack("<I", data[24:28])[0], struct.unpack("<H", data[34:36])[0]
            data = data[44:]
        width = bits // 8
        count = len(data) // width
        if count == 0:
            continue
        samples, data = data[:count * width], data[count * width:]
        # Real-time playback from the first byte: a chunk that comes later
        # than its place in the stream delays everything after it.
        if base is None or now > base + consumed / rate:
            base = now - consumed / rate
        if bits == 16:
            values = struct.unpack(f"<{count}h", samples)
            level = [abs(v) / 32768 for v in values]
        else:
            level = [abs(b - 128) / 128 for b in samples]
        k = next((i for i, v in enumerate(level) if v > AUDIBLE), None)
        if k is not None:
            found = 1000 * (base + (consumed + k) / rate - t0)
        consumed += count
    p.kill()
    p.wait()
    return found


def peak_mb(args, text_path, cwd, env, use_stdin, timer):
    report = os.path.join(os.path.dirname(text_path), "time.txt")
    with open(text_path, "rb") as stdin:
        subprocess.run([timer, "-f", "%M", "-o", report] + args +
                       ([] if use_stdin else ["-f", text_path]),
                       stdin=stdin if use_stdin else subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, cwd=cwd, env=env,
                       check=True)
    with open(report) as f:
        return int(f.read().split()[-1]) / 1024


def main():
    build, trials = arguments(__doc__, "15")
    build, trials = os.path.abspath(build), int(trials)
    print("First audible sample (> -42 dBFS) from process start, WAV streamed to a pipe and played "
          f"in real time from its first byte; {trials} paired trials; peak memory on 100 kB:")
    work = tempfile.mkdtemp(prefix="bench-first-sound-")
    try:
        env = dict(os.environ, SONARIS_WINDIR=os.path.join(work, "windir"), SONARIS_AUDIO="null")
        os.makedirs(env["SONARIS_WINDIR"])
        espeak = shutil.which("espeak-ng")
        mb = espeak_mbrola_folder(build, os.path.join(work, "mb")) if espeak else None
        mb_env = dict(env, PATH=os.path.join(mb, "bin") + ":" + env.get("PATH", "")) if mb else env
        # name, command, environment, text on stdin
        programs = [
            ("sonaris-say --wav -", [os.path.join(build, "programs/sonaris-say/sonaris-say"), "--wav", "-"], env, True),
            ("toada-say --wav - (br4)", [os.path.join(build, "programs/toada-say/toada-say"), "--voice", "br4",
                                         "--wav", "-"], env, True),
        ]
        if espeak:
            programs.append(("espeak-ng -v pt-br", [espeak, "-v", "pt-br", "--stdout"], env, False))
        if mb:
            programs.append(("espeak-ng -v mb-br4", [espeak, "--path=" + mb, "-v", "mb-br4", "--stdout"],
                             mb_env, False))
        text = long_text()
        text_path = os.path.join(work, "texto.txt")
        with open(text_path, "w", encoding="utf-8") as f:
            f.write(text)
        sentence_path = os.path.join(work, "frase.txt")
        with open(sentence_path, "w", encoding="utf-8") as f:
            f.write(SENTENCE + "\n")
        for label, path in (("a sentence", sentence_path), ("100 kB text", text_path)):
            figures = {name: [] for name, *_ in programs}
            for _ in range(trials):
                for name, args, penv, stdin in programs:
                    # espeak-ng takes its text as a file.
                    ms = first_audible(args if stdin else args + ["-f", path], path, build, penv)
                    if ms is not None:
                        figures[name].append(ms)
            for name, *_ in programs:
                print(f"  first sound, {label:11} {name:24} ms: {spread(figures[name], 1)}", flush=True)
        timer = shutil.which("time") or "/usr/bin/time"
        if os.path.exists(timer):
            for name, args, penv, stdin in programs:
                print(f"  peak memory, 100 kB text  {name:24} {peak_mb(args, text_path, build, penv, stdin, timer):6.1f} MB",
                      flush=True)
        else:
            print("  peak memory: GNU time (package time) is not installed")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
