#!/usr/bin/env python3
"""sonaris-voices against the tests' own daemons:
daemon: a private speech-dispatcher (espeak-ng's thousands of variants):
    kind 5 lists the Portuguese voices and counts the others per language;
    --all lists every voice with its number;
hang:   a stand-in that takes the connection and never answers: a message
    that says so (not the advice to install), within a bound;
args:   --version, and a usage error (status 2) for an unknown argument.

usage: voices_cli.py SONARIS-VOICES SCENARIO"""
import os
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "speechd"))
import fake_speechd  # noqa: E402
import private_speechd as spd  # noqa: E402

VOICES, SCENARIO = sys.argv[1:3]


def fail(message):
    sys.exit("FAILED: " + message)


def run(*args, env=None):
    return subprocess.run([VOICES, *args], capture_output=True, text=True, timeout=120,
                          env=dict(os.environ, **(env or {})), stdin=subprocess.DEVNULL)


def daemon():
    if spd.missing():
        print(spd.missing() + ": skipped")
        return spd.SKIP
    with spd.PrivateSpeechd() as d:
        short = run("5", env=d.env())
        full = run("--all", "5", env=d.env())
    listed = re.findall(r"^  VOZ=(\d+) .* (\S+)$", short.stdout, re.M)
    if not listed or any(not lang.lower().startswith("pt") for _, lang in listed):
        fail("not only Portuguese voices listed:\n" + short.stdout[:2000])
    m = re.search(r"e mais (\d+) vozes em (\d+) outras", short.stdout)
    if not m or len(short.stdout.splitlines()) > 1000:
        fail(f"{len(short.stdout.splitlines())} lines, no count of the others:\n" + short.stdout[-2000:])
    every = re.findall(r"^  VOZ=(\d+) ", full.stdout, re.M)
    if len(every) != len(listed) + int(m.group(1)) or every != [str(n + 1) for n in range(len(every))]:
        fail(f"--all lists {len(every)} voices, not {len(listed)} + {m.group(1)}")
    print(f"{len(listed)} Portuguese voices, {m.group(1)} others in {m.group(2)} languages")
    return 0


def hang():
    with fake_speechd.FakeSpeechd(mute=True) as d:
        started = time.monotonic()
        r = run("5", env=d.env())
        took = time.monotonic() - started
    if "respondeu" not in r.stdout or "instale" in r.stdout:
        fail("not told that the daemon does not answer:\n" + r.stdout)
    if took > 20:
        fail(f"took {took:.1f} s")
    return 0


def args():
    r = run("--version")
    if r.returncode != 0 or not r.stdout.startswith("sonaris-voices"):
        fail(f"--version: {r.returncode} {r.stdout!r}")
    r = run("--bogus")
    if r.returncode != 2 or "--bogus" not in r.stderr or "Uso:" not in r.stderr or r.stdout:
        fail(f"--bogus: {r.returncode} {r.stdout!r} {r.stderr!r}")
    return 0


sys.exit({"daemon": daemon, "hang": hang, "args": args}[SCENARIO]())
