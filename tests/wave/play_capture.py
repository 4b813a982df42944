#!/usr/bin/env python3
"""Runs sonaris-play with the WAV capture and checks that the capture holds
the files' samples, converted to 16-bit mono 22050 Hz, in order; that the
SDL card gets them as they are (SDL's disk driver standing in); and that
files that cannot be played give a Portuguese message and a failing exit."""
import math
import os
import random
import struct
import subprocess
import sys
import tempfile
import wave


def write_wav(path, rate, bits, frames):
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(bits // 8)
        w.setframerate(rate)
        w.writeframes(frames)


def read_capture(path):
    with wave.open(path, "rb") as w:
        assert (w.getnchannels(), w.getsampwidth(), w.getframerate()) == (1, 2, 22050)
        data = w.readframes(w.getnframes())
    return list(struct.unpack("<%dh" % (len(data) // 2), data))


def find_sound(samples, start):
    while start < len(samples) and samples[start] == 0:
        start += 1
    return start


def expect_at(samples, start, expected, name):
    got = samples[start:start + len(expected)]
    if got != expected:
        bad = next(i for i, (a, b) in enumerate(zip(got + [None] * len(expected), expected)) if a != b)
        sys.exit("%s differs at sample %d: %r != %r" % (name, bad, got[bad:bad + 5], expected[bad:bad + 5]))
    return start + len(expected)


def main():
    player, work = sys.argv[1], tempfile.mkdtemp(prefix="sonaris-play-", dir=sys.argv[2])
    first = bytes(20 + i % 200 for i in range(3300))  # 8-bit 11025 Hz
    second = [int(9000 * math.sin(0.3 + i * 0.05)) for i in range(4410)]  # 16-bit 22050 Hz
    write_wav(os.path.join(work, "a.wav"), 11025, 8, first)
    write_wav(os.path.join(work, "b.wav"), 22050, 16, struct.pack("<%dh" % len(second), *second))
    env = dict(os.environ, SONARIS_AUDIO="wav:" + os.path.join(work, "out.wav"), SONARIS_CLOCK="virtual",
               SONARIS_DISPLAY="headless", SONARIS_WINDIR=work)
    run = subprocess.run([player, "a.wav", "b.wav"], cwd=work, env=env, timeout=30,
                         stdin=subprocess.DEVNULL, capture_output=True)
    if run.returncode != 0:
        sys.exit("sonaris-play failed: %r" % run.stderr)

    samples = read_capture(os.path.join(work, "out.wav"))
    # 8-bit sound ends at the mid level: its last byte is played as 128.
    widened = [(b - 128) * 256 for b in first[:-1] + b"\x80" for _ in (0, 1)]
    end = expect_at(samples, find_sound(samples, 0), widened, "a.wav")
    expect_at(samples, find_sound(samples, end), second, "b.wav")

    # The sound card through SDL, with SDL's file-writing driver as the card.
    raw = os.path.join(work, "card.raw")
    card = dict(env, SONARIS_AUDIO="device", SONARIS_CLOCK="real", SDL_AUDIODRIVER="disk",
                SDL_DISKAUDIOFILE=raw)
    run = subprocess.run([player, "a.wav"], cwd=work, env=card, timeout=30,
                         stdin=subprocess.DEVNULL, capture_output=True)
    # The card may start before the first block arrives (a loaded machine):
    # what it plays before and after the sound must be silence only.
    heard = open(raw, "rb").read()
    played = first[:-1] + b"\x80"
    start = heard.find(played)
    if run.returncode != 0 or start < 0 or heard[:start].strip(b"\x80") or \
            heard[start + len(played):].strip(b"\x80"):
        sys.exit("the card did not get a.wav: %d %r" % (run.returncode, run.stderr))

    garbage = random.Random(3).randbytes(500)
    open(os.path.join(work, "bad.wav"), "wb").write(b"RIFF" + garbage)
    run = subprocess.run([player, "bad.wav", "missing.wav"], cwd=work, env=env, timeout=30,
                         stdin=subprocess.DEVNULL, capture_output=True)
    message = run.stderr.decode("utf-8")
    if run.returncode == 0 or message.count("não foi possível tocar") != 2:
        sys.exit("unplayable files not reported: %d %r" % (run.returncode, message))


if __name__ == "__main__":
    main()
