#!/usr/bin/env python3
"""CPU of Selenor while it speaks its whole report (a benchmark, not a
test): runs it in tmux from the build folder with the wav: capture, from
the moment the date is entered until the closing line has been said, and
prints the CPU time used as a share of one core. The goal is below 5%.

Usage: bench_report_cpu.py SELENOR_PATH BUILD_DIR
"""
import os
import sys
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "..", "tests", "e2e"))
sys.path.insert(0, os.path.join(here, "..", "bench-idle"))
from bench_idle import cpu_seconds  # noqa: E402
from selenor_terminal import CLOSING, Failure  # noqa: E402
from speech_report import start  # noqa: E402


def main():
    selenor, build = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    print("CPU of Selenor (built-in voice, wav: capture) from the date's Enter to its closing "
          "line, as a share of one core:", flush=True)
    if not os.path.exists(os.path.join(build, "SONARIS.INI")):
        print("no SONARIS.INI in the build folder: build the speech data first")
        return 1
    s = start(selenor, build)
    try:
        pid = s.pid()
        cpu0, t0 = cpu_seconds(pid), time.monotonic()
        s.wait("the closing line", lambda: s.rows()[24] == CLOSING, 180)
        s.wait_settled("the closing line")
        used, elapsed = cpu_seconds(pid) - cpu0, time.monotonic() - t0
        print(f"selenor speaking its report: {used:.2f} s CPU in {elapsed:.1f} s "
              f"= {100 * used / elapsed:.2f}% of one core (goal < 5%)")
        s.tmux("send-keys", "Enter")
        return 0
    except Failure as e:
        print(f"FAIL: {e}")
        return 1
    finally:
        s.close()


if __name__ == "__main__":
    sys.exit(main())
