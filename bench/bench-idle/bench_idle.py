#!/usr/bin/env python3
"""Idle CPU and wake-ups of Selenor at its date prompt after its banner was
spoken: starts it in tmux at 80x25 (terminal display) with the null and the
device audio back ends, with the built-in voice and with Toada (kind 3),
waits until its speech has ended (SONARIS_AUDIO_TRACE: the device closed or
let go, or no block for 4 s), then measures the CPU time and the wake-ups
(context switches of all its threads) over several consecutive windows, and
prints each figure with its spread. The device back end runs on SDL's dummy
driver unless SDL_AUDIODRIVER names another (a machine without a sound card
would otherwise fall back to silence). Goals: below 1% of a core, and no
wake-ups at all once speech has ended.

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
import speech_capture as cap  # noqa: E402
from tmuxsession import PROMPT, Failure, Session, wait_for  # noqa: E402


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    # utime and stime are fields 14 and 15 of the line, 12 and 13 after ")".
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def switches(pid):
    """Context switches of each live thread: each one is a wake-up."""
    counts = {}
    for status in glob.glob(f"/proc/{pid}/task/*/status"):
        try:
            with open(status) as f:
                counts[status] = sum(int(line.split()[1]) for line in f
                                     if line.startswith(("voluntary_ctxt", "nonvoluntary_ctxt")))
        except FileNotFoundError:
            pass  # a thread that just ended
    return counts


def woken(before, after):
    """Wake-ups between two counts: of the threads alive at both (a thread
    that ends in between, such as the sound card's when it is let go, takes
    its count away)."""
    return sum(after[t] - before[t] for t in after if t in before)


def threads(pid):
    return len(glob.glob(f"/proc/{pid}/task/*"))


QUIET_S = 4.0  # no block for this long: the speech has ended


def speech_ended(trace):
    events = cap.trace_events(trace)
    writes = [t for t, what in events if what == "write"]
    if not writes or events[-1][1] in ("close", "release"):
        return bool(writes)
    return time.monotonic() - writes[-1] / 1e6 > QUIET_S


def spread(values, unit):
    mean = statistics.fmean(values)
    sd = statistics.stdev(values) if len(values) > 1 else 0.0
    return f"mean {mean:.2f}{unit} ± {sd:.2f}, min {min(values):.2f}, max {max(values):.2f}"


VOICES = {"built-in": "", "Toada": "[TRADUTOR]\nSAPI=Sim\n[SERVFALA]\nTIPOSAPI=3\n"}


def measure(selenor, audio, voice, seconds, windows):
    folder = tempfile.mkdtemp(prefix="bench-idle-")
    trace = os.path.join(folder, "trace")
    windir = os.path.join(folder, "windir")
    os.makedirs(windir)
    with open(os.path.join(windir, "SONARIS.INI"), "w") as f:
        f.write(VOICES[voice])
    env = {"SONARIS_AUDIO_TRACE": trace}
    if audio == "device":
        env["SDL_AUDIODRIVER"] = os.environ.get("SDL_AUDIODRIVER", "dummy")
    session = Session(selenor, audio=audio, windir=windir, env=env)
    try:
        # The prompt, wherever a notice (no sound card, a voice that did
        # not start) has put it.
        session.wait("the prompt", lambda: any(r.startswith(PROMPT) for r in session.rows()), 60)
        wait_for("the end of speech", lambda: speech_ended(trace), 60, 0.05)
        pid = session.pid()
        shares, wakeups = [], []
        for _ in range(windows):
            cpu, sw, start = cpu_seconds(pid), switches(pid), time.monotonic()
            time.sleep(seconds)  # the measured idle window
            elapsed = time.monotonic() - start
            shares.append(100.0 * (cpu_seconds(pid) - cpu) / elapsed)
            wakeups.append(woken(sw, switches(pid)) / elapsed)
        print(f"  {voice:8} audio {audio:6}: CPU {spread(shares, '%')} of a core; "
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
    driver = os.environ.get("SDL_AUDIODRIVER", "dummy")
    print(f"Selenor idle at its prompt from the end of speech (built-in voice and Toada; "
          f"device = SDL driver {driver}): CPU and wake-ups per second, "
          f"{windows} windows of {seconds} s:", flush=True)
    try:
        ok = True
        for voice in VOICES:
            for audio in ("null", "device"):
                share, wakeups = measure(selenor, audio, voice, seconds, windows)
                ok = ok and share < 1.0 and wakeups == 0
        return 0 if ok else 1
    except Failure as e:
        print(f"bench-idle: {e}", file=sys.stderr)
        return 1


if __name__ == "__main__":
    sys.exit(main())
