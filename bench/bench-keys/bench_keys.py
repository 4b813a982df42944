#!/usr/bin/env python3
"""Key to silence for the built-in voice, Toada (kind 3) and espeak-ng in
the program (kind 4), in the terminal and the window, and first block on
the device, through the real input path (a benchmark, not a test).

Selenor is started again for every trial, from the build folder, with
SONARIS_AUDIO_TRACE noting when the wave-out device is opened, written,
reset and closed (monotonic clock). While it speaks its banner a key is
sent: written into the pseudo-terminal it runs on (terminal display), or
sent through the X server's XTEST extension, the path xdotool uses, to its
window under a private Xvfb (window display); the clock is read just before
the key is sent. Key to reset is the time from the key to the return of the
device's reset; key to silence adds what the device still plays after a
reset (its buffer, as the sound card notes it when it opens; none for the
null back end): the moment the device stops playing. AUDIO device runs on
SDL's dummy driver unless SDL_AUDIODRIVER names another. First block is the
time from the start of the process to its first block on the device. Each figure is printed with its
spread over the trials. "Left split" writes the first two bytes of the
sequence and the last one 20 ms later, as a terminal's sequence split across
reads comes: the device must be reset on the first part. The goal is
under 10 ms from key to reset, plus the device buffer.

Usage: bench_keys.py SELENOR [TRIALS] [AUDIO] [VOICES]
  AUDIO: null, device (default null); VOICES: built-in,Toada,kind 4 (default all)
"""
import ctypes
import fcntl
import os
import shutil
import signal
import statistics
import struct
import subprocess
import sys
import tempfile
import termios
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "..", "tests", "e2e"))
import speech_capture as cap  # noqa: E402
from window_x11 import Xvfb  # noqa: E402

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from bench_common import arguments, spread  # noqa: E402

# label, the bytes a terminal sends (in parts, SPLIT_S apart), the key's X name
# (None: terminal only). A sequence split across reads must silence on its
# first part, though the key is known only with the last.
KEYS = [("Escape", [b"\x1b"], "Escape"), ("letter a", [b"a"], "a"), ("Left", [b"\x1b[D"], "Left"),
        ("Left split", [b"\x1b[", b"D"], None)]
SPLIT_S = 0.020
GOAL_MS = 10.0
# The voice that speaks the banner: SONARIS.INI of the run.
VOICES = [("built-in", ""), ("Toada", "[TRADUTOR]\nSAPI=Sim\n[SERVFALA]\nTIPOSAPI=3\n"),
          ("kind 4", "[TRADUTOR]\nSAPI=Sim\n[SERVFALA]\nTIPOSAPI=4\n")]


class Trace:
    def __init__(self, path):
        self.path = path

    def events(self):
        return [(t / 1e6, what) for t, what in cap.trace_events(self.path)]

    def wait(self, predicate, timeout):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            found = predicate(self.events())
            if found is not None:
                return found
            time.sleep(0.0005)  # the benchmark's poll, not the program's
        return None


def playing(events):
    """True while the last thing the device did was take a block."""
    return True if events and events[-1][1] == "write" else None


def reset_after(t0):
    return lambda events: next((t for t, what in events if what == "reset" and t >= t0), None)


def first_write(events):
    return next((t for t, what in events if what == "write"), None)


def device_buffer_ms(path):
    """What the sound card still plays after a reset (0 for the null back end)."""
    try:
        with open(path) as f:
            sizes = [int(line.split()[2]) for line in f if line.split()[1:2] == ["buffer"]]
    except (FileNotFoundError, IndexError, ValueError):
        return 0.0
    return sizes[-1] / 1000 if sizes else 0.0


class Program:
    """One run of Selenor, on a pty or in a window."""

    def __init__(self, selenor, env, settings, pty=True):
        self.dir = tempfile.mkdtemp(prefix="bench-keys-")
        with open(os.path.join(self.dir, "SONARIS.INI"), "w") as f:
            f.write(settings)
        self.trace = Trace(os.path.join(self.dir, "trace"))
        env = dict(env, SONARIS_AUDIO_TRACE=self.trace.path, SONARIS_WINDIR=self.dir)
        build = os.path.dirname(os.path.dirname(os.path.abspath(selenor)))
        self.master = None
        if pty:
            self.master, slave = os.openpty()
            fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack("HHHH", 25, 80, 0, 0))
            io = dict(stdin=slave, stdout=slave, stderr=slave, start_new_session=True)
        else:
            io = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                      stderr=subprocess.DEVNULL)
        self.start = time.monotonic()
        self.proc = subprocess.Popen([selenor], cwd=build, env=env, **io)
        if pty:
            os.close(slave)
            threading.Thread(target=self.drain, daemon=True).start()

    def drain(self):
        try:
            while os.read(self.master, 65536):
                pass
        except OSError:
            pass

    def stop(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        if self.master is not None:
            os.close(self.master)
        shutil.rmtree(self.dir, ignore_errors=True)


class XTest:
    """Key presses through the XTEST extension of a display."""

    def __init__(self, display):
        self.x = ctypes.CDLL("libX11.so.6")
        self.xt = ctypes.CDLL("libXtst.so.6")
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x.XStringToKeysym.restype = ctypes.c_ulong
        self.x.XStringToKeysym.argtypes = [ctypes.c_char_p]
        self.x.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x.XFlush.argtypes = [ctypes.c_void_p]
        self.xt.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                              ctypes.c_ulong]
        self.d = self.x.XOpenDisplay(display.encode())

    def key(self, name):
        code = self.x.XKeysymToKeycode(self.d, self.x.XStringToKeysym(name.encode()))
        t0 = time.monotonic()
        self.xt.XTestFakeKeyEvent(self.d, code, 1, 0)
        self.x.XFlush(self.d)
        self.xt.XTestFakeKeyEvent(self.d, code, 0, 0)
        self.x.XFlush(self.d)
        return t0


def trial(selenor, env, settings, send, window):
    """(key-to-reset ms or None, device buffer ms, first-block ms or None) of one run."""
    p = Program(selenor, env, settings, pty=not window)
    try:
        first = p.trace.wait(first_write, 30)
        if first is None:
            return None, 0.0, None
        first_ms = 1000 * (first - p.start)
        if window:
            wait_for_window(env, p.proc.pid)
        if p.trace.wait(playing, 10) is None:
            return None, 0.0, first_ms
        t0 = send(p)
        reset = p.trace.wait(reset_after(t0), 1.0)
        buffer = device_buffer_ms(p.trace.path)
        return (None if reset is None else 1000 * (reset - t0)), buffer, first_ms
    finally:
        p.stop()


def wait_for_window(env, pid):
    out = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(pid)],
                         env=env, capture_output=True, text=True, timeout=30).stdout.split()
    if out:
        subprocess.run(["xdotool", "windowfocus", "--sync", out[0]], env=env,
                       capture_output=True, timeout=10)


def measure(selenor, trials, audio, display, voice, settings):
    env = dict(os.environ, SONARIS_AUDIO=audio, LANG="C.UTF-8")
    if audio == "device":
        env.setdefault("SDL_AUDIODRIVER", "dummy")
    env.pop("SONARIS_DISPLAY", None)
    xvfb = None
    if display == "window":
        xvfb = Xvfb().__enter__()
        env["DISPLAY"] = xvfb.display
        env.pop("WAYLAND_DISPLAY", None)
        xtest = XTest(xvfb.display)
    else:
        env["SONARIS_DISPLAY"] = "terminal"
        env["TERM"] = "xterm-256color"
    worst, firsts = 0.0, []
    try:
        for label, parts, keysym in KEYS:
            if display == "window":
                if keysym is None:
                    continue
                send = lambda p, k=keysym: xtest.key(k)  # noqa: E731
            else:
                def send(p, parts=parts):
                    t0 = time.monotonic()
                    os.write(p.master, parts[0])
                    for rest in parts[1:]:
                        time.sleep(SPLIT_S)  # the benchmark's pacing, not the program's
                        os.write(p.master, rest)
                    return t0
            figures, silences, missed = [], [], 0
            while len(figures) < trials and missed < trials:
                ms, buffer, first = trial(selenor, env, settings, send, display == "window")
                if first is not None:
                    firsts.append(first)
                if ms is None:
                    missed += 1
                else:
                    figures.append(ms)
                    silences.append(ms + buffer)
            print(f"  {voice:8} {display:8} {label:10} key to reset, ms: {spread(figures)}"
                  + (f"  [{missed} trials found the device quiet]" if missed else ""),
                  flush=True)
            print(f"  {voice:8} {display:8} {label:10} key to silence (+ device buffer), ms: "
                  f"{spread(silences)}", flush=True)
            if figures:
                worst = max(worst, statistics.median(figures))
    finally:
        if xvfb:
            xvfb.__exit__(None, None, None)
    print(f"  {voice:8} {display:8} first block on the device from process start, ms: "
          f"{spread(firsts)}", flush=True)
    return worst


def main():
    selenor, trials, audio, chosen = arguments(__doc__, "10", "null", ",".join(v for v, _ in VOICES))
    selenor, trials = os.path.abspath(selenor), int(trials)
    voices = [v for v in VOICES if v[0] in chosen.split(",")]
    print(f"Selenor, key to silence (built-in voice, Toada, kind 4; terminal and window), audio "
          f"back end {audio}, {trials} trials per key (goal < {GOAL_MS} ms plus the device buffer):",
          flush=True)
    worst = max(measure(selenor, trials, audio, d, name, settings)
                for name, settings in voices for d in ("terminal", "window"))
    return 0 if worst < GOAL_MS else 1


if __name__ == "__main__":
    sys.exit(main())
