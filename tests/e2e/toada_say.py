#!/usr/bin/env python3
"""toada-say speaking: into a WAV file of the engine's own (a valid header
whose lengths match the file, at the voice's rate) for br1, br3 and br4,
through the audio back end's wav: capture (the same samples) and to
standard output with --wav - (the same samples after a header of unknown
lengths, and no file named "-"). The text's opening silence is cut to
10 ms: its first sound comes within 30 ms.

Usage: toada_say.py TOADA_SAY_PATH BUILD_DIR
Exit 77 (skipped) when MBROLA, a voice or the build's Toada data is missing.
"""
import os
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import speech_capture as cap  # noqa: E402
from toada_report import mbrola_missing  # noqa: E402
from tmuxsession import check, report  # noqa: E402

TEXT = "Bom dia, Maria. Você nasceu numa quinta-feira, 15 de março de 1990?"
RATES = {"br1": 16000, "br3": 22050, "br4": 16000}


def run(tool, build, args, audio="null"):
    env = dict(os.environ, SONARIS_AUDIO=audio, SONARIS_DISPLAY="headless", SONARIS_CLOCK="virtual")
    result = subprocess.run([tool, *args, TEXT], cwd=build, env=env, capture_output=True,
                            timeout=120)
    check(result.returncode == 0, f"toada-say {args}: {result.stderr.decode(errors='replace')}")
    return result.stdout


def wav_fields(path):
    with open(path, "rb") as f:
        data = f.read()
    check(len(data) > 44 and data[:4] == b"RIFF" and data[8:16] == b"WAVEfmt ", f"{path}: no WAV")
    riff, = struct.unpack("<I", data[4:8])
    tag, channels, rate, byte_rate, align, bits = struct.unpack("<HHIIHH", data[20:36])
    check(data[36:40] == b"data", f"{path}: no data chunk where it belongs")
    length, = struct.unpack("<I", data[40:44])
    check(length == len(data) - 44, f"{path}: data length {length}, file holds {len(data) - 44}")
    check(riff == len(data) - 8, f"{path}: RIFF length {riff}, file is {len(data)} bytes")
    check((tag, channels, bits, align) == (1, 1, 16, 2), f"{path}: not 16-bit mono PCM")
    check(byte_rate == 2 * rate, f"{path}: byte rate {byte_rate} for rate {rate}")
    return rate, struct.unpack(f"<{length // 2}h", data[44:44 + length // 2 * 2])


def as_heard(samples, rate):
    """The samples as the capture's timeline plays them: nearest sample at
    the capture's rate."""
    out, pos, phase = [], 0, 0
    while pos < len(samples):
        out.append(samples[pos])
        phase += rate
        while phase >= cap.RATE:
            phase -= cap.RATE
            pos += 1
    return out


def first_sound(pcm, above=0):
    return next(i for i, v in enumerate(pcm) if abs(v) > above)


def check_stream(tool, build, voice, samples):
    """--wav -: the same samples on standard output, lengths unknown."""
    check(not os.path.exists(os.path.join(build, "-")), "a file named - is in the way")
    out = run(tool, build, ["--voice", voice, "--wav", "-"])
    check(not os.path.exists(os.path.join(build, "-")), f"{voice}: --wav - wrote a file named -")
    check(out[:4] == b"RIFF" and out[36:40] == b"data", f"{voice}: no WAV on standard output")
    check(struct.unpack("<II", out[4:8] + out[40:44]) == (0xFFFFFFFF, 0xFFFFFFFF),
          f"{voice}: a stream's lengths are not the unknown ones")
    data = out[44:44 + len(samples) * 2]
    check(len(out) - 44 == len(samples) * 2 and
          struct.unpack(f"<{len(samples)}h", data) == tuple(samples),
          f"{voice}: standard output differs from the file")


def check_voice(tool, build, voice, folder):
    path = os.path.join(folder, voice + ".wav")
    run(tool, build, ["--voice", voice, "--wav", path])
    rate, samples = wav_fields(path)
    check(rate == RATES[voice], f"{voice}: header says {rate} Hz")
    check(len(samples) > rate, f"{voice}: only {len(samples)} samples")
    # Without the cut the first sound came after the opening pause (80 ms).
    first_ms = 1000 * first_sound(samples, 256) / rate
    check(first_ms < 30, f"{voice}: first sound {first_ms:.1f} ms into the file")
    check_stream(tool, build, voice, samples)
    capture = os.path.join(folder, voice + "-cap.wav")
    run(tool, build, ["--voice", voice], "wav:" + capture)
    heard, expected = list(cap.samples(capture)), as_heard(samples, rate)
    at = first_sound(heard) - first_sound(expected)
    check(at >= 0, f"{voice}: the capture starts before the sound")
    got = heard[at:at + len(expected)]
    check(got == expected, f"{voice}: the capture differs from the file "
          f"(first difference at {next((i for i, (a, b) in enumerate(zip(got, expected)) if a != b), len(got))} "
          f"of {len(expected)})")


def all_voices(tool, build):
    with tempfile.TemporaryDirectory(prefix="toada-say-") as folder:
        for voice in RATES:
            check_voice(tool, build, voice, folder)


def main():
    tool, build = sys.argv[1:3]
    return mbrola_missing(build) or report("toada_say", all_voices, tool, build)


if __name__ == "__main__":
    sys.exit(main())
