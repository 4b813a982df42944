#!/usr/bin/env python3
"""Idle CPU and wake-ups of Selenor: starts it in tmux at 80x25 (terminal
display) with each audio back end, waits at its date prompt until its
speech has ended (the wave-out device closed, as SONARIS_AUDIO_TRACE
notes), then measures the CPU time and the wake-ups (context switches of
all its threads) over several consecutive windows, and prints each figure
with its spread. Goals: below 1% of a core, and no wake-ups at all with
the device back end once speech has ended.

Usage: bench_idle.py SELENOR_PATH [SECONDS_PER_WINDOW] [WINDOWS]
"""
import glob
import os
import shutil
import statistics
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "..", "tests", "e2e"))
from tmuxsession import Failure, Session, wait_for  # noqa: E402


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    # utime and stime are fields 14 and 15 of the line, 12 and 13 after ")".
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def switches(pid):
    """Context switches of every live thread: each one is a wake-up."""
    total = 0
    for status in glob.glob(f"/proc/{pid}/task/*/status"):
        try:
            with open(status) as f:
                for line in f:
                    if line.startswith(("voluntary_ctxt", "nonvoluntary_ctxt")):
                        total += int(line.split()[1])
        except FileNotFoundError:
            pass  # a thread that just ended
    return total


def threads(pid):
    return len(glob.glob(f"/proc/{pid}/task/*"))


def speech_ended(trace):
    try:
        with open(trace) as f:
            lines = f.read().split()
    except FileNotFoundError:
        return False
    return len(lines) >= 2 and lines[-1] == "close"


def spread(values, unit):
    mean = statistics.fmean(values)
    sd = statistics.stdev(values) if len(values) > 1 else 0.0
    return f"mean {mean:.2f}{unit} ± {sd:.2f}, min {min(values):.2f}, max {max(values):.2f}"


def measure(selenor, audio, seconds, windows):
    folder = tempfile.mkdtemp(prefix="bench-idle-")
    trace = os.path.join(folder, "trace")
    session = Session(selenor, audio=audio, env={"SONARIS_AUDIO_TRACE": trace})
    try:
        session.wait_prompt()
        wait_for("the end of speech", lambda: speech_ended(trace), 60, 0.05)
        pid = session.pid()
        shares, wakeups = [], []
        for _ in range(windows):
            cpu, sw, start = cpu_seconds(pid), switches(pid), time.monotonic()
            time.sleep(seconds)  # the measured idle window
            elapsed = time.monotonic() - start
            shares.append(100.0 * (cpu_seconds(pid) - cpu) / elapsed)
            wakeups.append((switches(pid) - sw) / elapsed)
        print(f"  audio {audio:6}: CPU {spread(shares, '%')} of a core; "
              f"wake-ups {spread(wakeups, '/s')}; {threads(pid)} thread(s) at the end",
              flush=True)
        session.keys("Enter")  # an empty answer ends the program
        session.wait_exit()
        return max(shares), wakeups[-1]
    finally:
        session.close()
        shutil.rmtree(folder, ignore_errors=True)


def main():
    if len(sys.argv) not in (2, 3, 4):
        print(__doc__, file=sys.stderr)
        return 2
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 5.0
    windows = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    selenor = os.path.abspath(sys.argv[1])
    print(f"Selenor idle at its prompt from the end of speech, {windows} windows of {seconds} s:")
    try:
        ok = True
        for audio in ("null", "device"):
            share, wakeups = measure(selenor, audio, seconds, windows)
            ok = ok and share < 1.0 and (audio != "device" or wakeups == 0)
        return 0 if ok else 1
    except Failure as e:
        print(f"bench-idle: {e}", file=sys.stderr)
        return 1


if __name__ == "__main__":
    sys.exit(main())
