#!/usr/bin/env python3
"""Idle CPU of Selenor: starts it in tmux at 80x25 (terminal display, no
audio device), leaves it at its date prompt for a while and prints the CPU
time it used as a share of one core. The goal is below 1%.

Usage: bench_idle.py SELENOR_PATH [SECONDS]
"""
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "..", "tests", "e2e"))
from selenor_terminal import Failure, Session  # noqa: E402


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    # utime and stime are fields 14 and 15 of the line, 12 and 13 after ")".
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def selenor_pid(session):
    shell = session.tmux("display-message", "-p", "#{pane_pid}").strip()
    with open(f"/proc/{shell}/task/{shell}/children") as f:
        children = f.read().split()
    if not children:
        raise Failure("Selenor is not running")
    return int(children[0])


def main():
    if len(sys.argv) not in (2, 3):
        print(__doc__, file=sys.stderr)
        return 2
    seconds = float(sys.argv[2]) if len(sys.argv) == 3 else 10.0
    session = Session(os.path.abspath(sys.argv[1]))
    try:
        session.wait_prompt()
        pid = selenor_pid(session)
        start_cpu, start = cpu_seconds(pid), time.monotonic()
        time.sleep(seconds)  # the measured idle interval
        used, elapsed = cpu_seconds(pid) - start_cpu, time.monotonic() - start
        share = 100.0 * used / elapsed
        print(f"selenor idle at its prompt: {used:.3f} s CPU in {elapsed:.1f} s "
              f"= {share:.2f}% of one core (goal < 1%)")
        session.keys("Enter")  # an empty answer ends the program
        session.wait_exit()
        return 0 if share < 1.0 else 1
    except Failure as e:
        print(f"bench-idle: {e}", file=sys.stderr)
        return 1
    finally:
        session.close()


if __name__ == "__main__":
    sys.exit(main())
