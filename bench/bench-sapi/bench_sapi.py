#!/usr/bin/env python3
"""Runs bench-sapi for SAPI 4, then for SAPI 5 against a private
speech-dispatcher, and matches each stop with the daemon's log: how long
until the daemon took the cancel.

Usage: bench_sapi.py BENCH_SAPI_PATH
"""
import os
import re
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "..", "tests", "speechd"))
import private_speechd as spd  # noqa: E402

def log_times(log, needle):
    """Wall-clock seconds of the log lines that hold needle."""
    return [t for t, text in spd.events(log) if needle in text]


def main():
    bench = sys.argv[1]
    subprocess.run([bench, "4"], check=True, timeout=120)
    if spd.missing():
        print(f"SAPI 5 skipped: {spd.missing()}")
        return 0
    with spd.PrivateSpeechd() as d:
        result = subprocess.run([bench, "5"], env=dict(os.environ, **d.env()),
                                capture_output=True, text=True, timeout=120)
        print(result.stdout + result.stderr, end="")
        stops = [float(x) for x in re.findall(r"stop-at ([\d.]+)", result.stdout)]
        cancels = log_times(d.log(), "CANCEL")
        delays = []
        for s in stops:
            later = [c for c in cancels if c >= s - 0.001]
            if later:
                delays.append((later[0] - s) * 1000)
        if delays:
            delays.sort()
            print(f"{'SAPI 5: stop to the daemon taking CANCEL':40s} median {delays[len(delays) // 2]:7.2f} ms"
                  f"  worst {delays[-1]:7.2f} ms  ({len(delays)} runs)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
