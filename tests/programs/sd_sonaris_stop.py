#!/usr/bin/env python3
"""sd_sonaris spoken to directly over its protocol (no daemon): a STOP ends
every message taken before it, also one not yet begun, and none taken
after it, a PAUSE stops at the next mark, and a module whose server has
gone ends at once (silent device); and with the server's audio, a server
that stops reading finds no more than a slice waiting when it reads again.

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
    # PAUSE stops at the next mark; the one after it is not reached.
    ('SPEAK\n<speak>um, dois <mark name="a"/> três <mark name="b"/> quatro</speak>\n.\nPAUSE\n',
     ["701 BEGIN", "700-a", "704 PAUSE"]),
]


def main():
    run(SONARIS_AUDIO="null")
    run(SONARIS_AUDIO="")
    print("ok")
    return 0


def run(**settings):
    env = dict(os.environ, SONARIS_CLOCK="real", **settings)
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
    if not settings["SONARIS_AUDIO"]:
        say("AUDIO\naudio_output_method=server\n.\n", "203 OK AUDIO INITIALIZED")
        del lines[:]
        say("SPEAK\n" + LONG + "\n.\n", "705 AUDIO")
        time.sleep(0.6)  # the server busy elsewhere: it reads nothing for a while
        del lines[:]
        say("STOP\n", "703 STOP")
        rates = [int(line[16:]) for line in lines if line.startswith("705-sample_rate=")]
        waited = sum(int(line[16:]) for line in lines if line.startswith("705-num_samples="))
        if rates and waited > rates[0] * 0.03:
            sys.exit(f"FAILED: {waited} samples waited for a server that read nothing for 0.6 s")
        say("QUIT\n", "210 OK QUIT")
        return module.wait(10)
    for text, events in CASES:
        del lines[:]
        module.stdin.write(text.encode("utf-8"))
        module.stdin.flush()
        events_of = lambda: [line for line in lines  # noqa: E731
                             if line[:3] in ("701", "702", "703", "704") or line[:4] == "700-"]
        wait_until("end of every message", lambda: len(events_of()) >= len(events))
        if events_of() != events:
            sys.exit(f"FAILED: {text[:30]!r}...: {events_of()}, not {events}")
    # The server gone in the middle of a message: the module ends at once.
    say("SPEAK\n" + LONG + "\n.\n", "701 BEGIN")
    module.stdin.close()
    try:
        return module.wait(5)
    except subprocess.TimeoutExpired:
        sys.exit("FAILED: the module went on speaking after its server had gone")


sys.exit(main())
