#!/usr/bin/env python3
"""The virtual clock keeps real time's sound: sonaris-say speaks a text with
pauses (commas, a full stop, a number) into the wav: capture once at real
time and once on the virtual clock. The two captures hold the same samples
in the same order, and the same pauses: as long as at real time, which adds
latency (a sound-thread tick and the scheduler's delay at each wake-up),
and the same in two virtual runs. The program's own work takes its real
time on either clock, so a loaded machine lengthens pauses a little on
both. The virtual run takes well under the speech's length.

Usage: virtual_clock.py SONARIS_SAY BUILD_DIR
Exit 77 (skipped) when the build holds no speech data yet.
"""
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import speech_capture as cap  # noqa: E402
from tmuxsession import check, needs_speech_data, report  # noqa: E402

TEXT = "Olá, mundo. Nasci em 1990; hoje, não!"
PAUSE_MS = 100  # quiet that separates two stretches of speech
LOAD = 0.05     # what a loaded machine may add to a pause, or the measure miss
REAL_LATE = 0.25


def spoken(say, build, work, clock):
    """The capture's samples and the run's wall time."""
    capture = os.path.join(work, clock + ".wav")
    env = dict(os.environ, SONARIS_AUDIO="wav:" + capture, SONARIS_CLOCK=clock,
               SONARIS_DISPLAY="headless", SONARIS_WINDIR=os.path.join(work, "windir"))
    started = time.monotonic()
    r = subprocess.run([say, TEXT], cwd=build, env=env, stdin=subprocess.DEVNULL,
                       capture_output=True, timeout=60)
    took = time.monotonic() - started
    check(r.returncode == 0, f"sonaris-say on the {clock} clock: {r.returncode} {r.stderr!r}")
    return cap.samples(capture), took


def pauses(pcm):
    runs = cap.segments(pcm, PAUSE_MS, shortest_ms=10)
    return [after[0] - before[1] for before, after in zip(runs, runs[1:])]


def same_sound(say, build):
    with tempfile.TemporaryDirectory(prefix="sonaris-clock-") as work:
        real, _ = spoken(say, build, work, "real")
        virtual, took = spoken(say, build, work, "virtual")
        again, _ = spoken(say, build, work, "virtual")
    sound = [v for v in real if v]
    check(len(sound) > cap.RATE, "hardly anything was heard")
    check(sound == [v for v in virtual if v], "the virtual clock changed the samples")
    heard, kept, repeated = pauses(real), pauses(virtual), pauses(again)
    check(len(heard) >= 3 and len(heard) == len(kept) == len(repeated),
          f"pauses {heard}, {kept} and {repeated}")
    for a, b, c in zip(heard, kept, repeated):
        check(abs(b - c) <= LOAD, f"pauses of {b:.2f} s and {c:.2f} s on the virtual clock")
        check(-LOAD <= a - b <= REAL_LATE, f"pause of {a:.2f} s at real time, {b:.2f} s virtual")
    length = len(virtual) / cap.RATE
    print(f"{length:.2f} s of sound in {took:.2f} s on the virtual clock; pauses (s): "
          + " ".join(f"{a:.2f}/{b:.2f}" for a, b in zip(heard, kept)))
    check(took < length / 2, f"the virtual clock took {took:.2f} s for {length:.2f} s of sound")


def main():
    say, build = sys.argv[1:3]
    return needs_speech_data(build) or report("virtual_clock", same_sound, os.path.abspath(say),
                                              build)


if __name__ == "__main__":
    sys.exit(main())
