#!/usr/bin/env python3
"""Time from the death (SIGKILL) or the freeze (SIGSTOP) of the private
speech-dispatcher reading Selenor's report to the first sound of the
built-in voice (goal: under 1 s), side by side in one run.

Selenor runs in tmux with the system voice (TIPOSAPI=5) against a private
daemon and the null sound device; SONARIS_AUDIO_TRACE notes each block
written to the device on the monotonic clock, the same clock this script
reads when it sends the signal, just after the daemon queued the report's
first figure.

usage: bench_failover.py SELENOR BUILD_DIR [TRIALS]"""
import os
import signal
import statistics
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
sys.path.insert(0, os.path.join(ROOT, "tests", "speechd"))
import private_speechd as spd  # noqa: E402
import speech_capture as cap  # noqa: E402
from system_voice import settings  # noqa: E402
from tmuxsession import PROMPT, Session  # noqa: E402


def writes_after(trace, t0):
    return [t / 1e6 for t, what in cap.trace_events(trace) if what == "write" and t / 1e6 > t0]


def trial(selenor, build, sig):
    with spd.PrivateSpeechd() as d, tempfile.TemporaryDirectory(prefix="bench-failover-") as tmp:
        windir = os.path.join(tmp, "windir")
        settings(build, windir, 5)
        trace = os.path.join(tmp, "trace")
        env = dict(d.env(), SONARIS_AUDIO_TRACE=trace)
        try:
            with Session(selenor, windir=windir, env=env, clock="real") as s:
                s.wait("the prompt", lambda: any(r.startswith(PROMPT) for r in s.rows()), 60)
                s.type("15/3/1990")
                s.keys("Enter")
                s.wait("the first figure at the daemon", lambda: "Queueing message |Você" in d.log(), 60)
                os.kill(d.process.pid, sig)
                hit = time.monotonic()
                s.wait("the built-in voice", lambda: writes_after(trace, hit), 30)
                took = writes_after(trace, hit)[0] - hit
                s.keys("Escape")
                s.keys("Enter")
                s.wait_exit(60)
                return took
        finally:
            if sig == signal.SIGSTOP:
                os.kill(d.process.pid, signal.SIGCONT)


def main():
    selenor, build = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    trials = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    print("bench-failover: ms from the speech-dispatcher killed (SIGKILL) or frozen (SIGSTOP) "
          "under Selenor's report to the built-in voice's first sound (goal: under 1000 ms)")
    if spd.missing():
        print(f"skipped: {spd.missing()}")
        return 0
    results = {signal.SIGKILL: [], signal.SIGSTOP: []}
    for _ in range(trials):
        for sig in results:  # interleaved, so that both meet the same load
            results[sig].append(1000 * trial(selenor, build, sig))
    for sig, ms in results.items():
        print(f"  {sig.name:8s} median {statistics.median(ms):7.1f} ms  min {min(ms):7.1f}  "
              f"max {max(ms):7.1f}  ({len(ms)} trials)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
