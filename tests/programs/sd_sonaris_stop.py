#!/usr/bin/env python3
"""sd_sonaris spoken to directly over its protocol (no daemon, silent device):
a STOP ends every message taken before it, also one not yet begun, and
none taken after it.

usage: sd_sonaris_stop.py SD_SONARIS"""
import os
import selectors
import subprocess
import sys
import time

MODULE = sys.argv[1]
LONG = "Um texto comprido, dito pela voz própria do Sonaris. " * 20

# (what is written at once, the events that must follow, in order)
CASES = [
    # The second message has not begun when the STOP comes.
    ("SPEAK\n" + LONG + "\n.\nSPEAK\ndois\n.\nSTOP\n",
     ["701 BEGIN", "703 STOP", "701 BEGIN", "703 STOP"]),
    ("SPEAK\num\n.\n", ["701 BEGIN", "702 END"]),
    ("STOP\nSPEAK\ntrês\n.\n", ["701 BEGIN", "702 END"]),  # a STOP with nothing said
]


def main():
    env = dict(os.environ, SONARIS_AUDIO="null", SONARIS_CLOCK="real")
    module = subprocess.Popen([MODULE], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, env=env)
    lines, pending = [], b""
    watch = selectors.DefaultSelector()
    watch.register(module.stdout, selectors.EVENT_READ)

    def wait_until(what, done):
        nonlocal pending
        deadline = time.monotonic() + 20
        while not done():
            if time.monotonic() > deadline or not watch.select(deadline - time.monotonic()):
                sys.exit(f"FAILED: no {what}; the module said {lines}")
            chunk = os.read(module.stdout.fileno(), 4096)
            if not chunk:
                sys.exit(f"FAILED: the module ended; it said {lines}")
            *whole, pending = (pending + chunk).split(b"\n")
            lines.extend(line.decode("utf-8", "replace") for line in whole)

    def say(text, answer):
        module.stdin.write(text.encode("utf-8"))
        module.stdin.flush()
        wait_until(repr(answer), lambda: answer in lines)

    say("INIT\n", "299 OK LOADED SUCCESSFULLY")
    say("SET\nsynthesis_voice=sonaris\n.\n", "203 OK SETTINGS RECEIVED")
    for text, events in CASES:
        del lines[:]
        module.stdin.write(text.encode("utf-8"))
        module.stdin.flush()
        events_of = lambda: [line for line in lines if line[:3] in ("701", "702", "703")]  # noqa: E731
        wait_until("end of every message", lambda: len(events_of()) >= len(events))
        if events_of() != events:
            sys.exit(f"FAILED: {text[:30]!r}...: {events_of()}, not {events}")
    say("QUIT\n", "210 OK QUIT")
    module.wait(10)
    print("ok")
    return 0


sys.exit(main())
