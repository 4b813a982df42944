#!/usr/bin/env python3
"""Selenor speaking its report, heard through the wav: capture. The program
runs in tmux from the build folder (where its SONARIS.INI and speech data
are); every step waits on the screen or on the capture, never on sleeps.

Usage: speech_report.py SELENOR_PATH BUILD_DIR SCENARIO (whole | key)
Exit 77 (skipped) when the build holds no speech data yet.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import speech_capture as cap  # noqa: E402
from selenor_terminal import CLOSING, PROMPT, Failure, check  # noqa: E402

ITEMS = 17
ITEM_PAUSE = 1.0     # the report's pause before each profile item
GAP_MS = 900         # quiet that separates two report items
SETTLED = 1.2        # quiet at the end of the capture: speech has ended


class SpokenSession:
    def __init__(self, selenor, build):
        self.dir = tempfile.mkdtemp(prefix="speech-e2e-")
        self.capture = os.path.join(self.dir, "cap.wav")
        self.status = os.path.join(self.dir, "status")
        self.socket = os.path.join(self.dir, "tmux.sock")
        windir = os.path.join(self.dir, "windir")
        os.makedirs(windir)
        env = (f"SONARIS_DISPLAY=terminal SONARIS_AUDIO='wav:{self.capture}' "
               f"SONARIS_WINDIR='{windir}' LANG=C.UTF-8 LC_ALL=C.UTF-8")
        self.tmux("new-session", "-d", "-x", "80", "-y", "25", "-c", build, "sh", "-c",
                  f"env {env} '{selenor}'; echo $? > '{self.status}'; sleep 600")

    def tmux(self, *args):
        r = subprocess.run(["tmux", "-S", self.socket, *args], capture_output=True, text=True)
        if r.returncode != 0:
            raise Failure(f"tmux {' '.join(args)}: {r.stderr.strip()}")
        return r.stdout

    def rows(self):
        return [r.rstrip() for r in self.tmux("capture-pane", "-p", "-N").split("\n")[:25]]

    def pcm(self):
        return cap.samples(self.capture)

    def wait(self, what, predicate, timeout=60):
        deadline = time.monotonic() + timeout
        while not predicate():
            if time.monotonic() > deadline or os.path.exists(self.status):
                raise Failure(f"gave up waiting for {what}; screen:\n" + "\n".join(self.rows()))
            time.sleep(0.05)  # polling interval, not a synchronisation

    def wait_settled(self, what, timeout=60):
        def settled():
            quiet, heard = cap.trailing_quiet(self.pcm())
            return heard and quiet >= SETTLED
        self.wait(what + " to be said", settled, timeout)

    def close(self):
        subprocess.run(["tmux", "-S", self.socket, "kill-server"], capture_output=True)
        shutil.rmtree(self.dir, ignore_errors=True)


def start(selenor, build):
    s = SpokenSession(selenor, build)
    try:
        failed = lambda: any("Erro de inicializa" in r for r in s.rows())  # noqa: E731
        s.wait("the prompt", lambda: failed() or s.rows()[3].startswith(PROMPT))
        check(not failed(), "the synthesizer did not start:\n" + "\n".join(s.rows()))
        s.wait_settled("the banner and the prompt")
        s.tmux("send-keys", "-l", "15/3/1990")
        s.tmux("send-keys", "Enter")
        return s
    except Failure:
        s.close()
        raise


def scenario_whole(s):
    s.wait("the closing line", lambda: s.rows()[24] == CLOSING, 120)
    s.wait_settled("the closing line")
    runs = cap.segments(s.pcm(), GAP_MS)
    # Banner and prompt; the figures; the items; the almanac line; the closing line.
    check(len(runs) == 1 + 1 + ITEMS + 2, f"{len(runs)} spoken stretches: {runs}")
    items = runs[2:2 + ITEMS]
    for before, item in zip(runs[1:], items):
        gap = item[0] - before[1]
        check(ITEM_PAUSE - 0.05 <= gap < ITEM_PAUSE + 0.6, f"pause of {gap:.2f} s before {item}")
    almanac_gap = runs[-2][0] - items[-1][1]
    check(almanac_gap >= 2.0, f"only {almanac_gap:.2f} s before the almanac line")
    s.tmux("send-keys", "Enter")


def scenario_key(s):
    # Wait until the third profile item is sounding, then press a key.
    def third_item_sounding():
        pcm = s.pcm()
        return len(cap.segments(pcm, GAP_MS)) >= 5 and cap.trailing_quiet(pcm)[0] < 0.05
    s.wait("the third profile item", third_item_sounding, 120)
    pressed_at = len(s.pcm()) / cap.RATE
    s.tmux("send-keys", "x")
    s.wait("the closing line", lambda: s.rows()[24] == CLOSING, 30)
    s.wait_settled("the cut")
    runs = cap.segments(s.pcm(), GAP_MS)
    check(len(runs) == 5, f"speech went on after the key: {runs}")
    # Cut at once: the item ends soon after the key reached the program.
    check(runs[-1][1] - pressed_at < 0.3, f"item ran {runs[-1][1] - pressed_at:.2f} s past the key")
    text = "\n".join(s.rows())
    check("Deve repetir sempre: Eu creio" in text, "the rest of the report was not written")
    s.tmux("send-keys", "Enter")


def main():
    selenor, build, scenario = sys.argv[1:4]
    if not os.path.exists(os.path.join(build, "SONARIS.INI")):
        print("no SONARIS.INI in the build folder: speech data not built, skipped")
        return 77
    try:
        s = start(selenor, build)
    except Failure as e:
        print(f"FAIL: {e}")
        return 1
    try:
        {"whole": scenario_whole, "key": scenario_key}[scenario](s)
        s.wait("the end", lambda: os.path.exists(s.status) and os.path.getsize(s.status) > 0, 30)
        with open(s.status) as f:
            check(f.read().strip() == "0", "exit status is not 0")
    except Failure as e:
        print(f"FAIL: {e}")
        return 1
    finally:
        s.close()
    print("ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
