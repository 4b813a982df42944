#!/usr/bin/env python3
"""Selenor speaking its report, heard through the wav: capture.

Usage: speech_report.py SELENOR_PATH BUILD_DIR SCENARIO (whole | key)
Exit 77 (skipped) when the build holds no speech data yet.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import speech_capture as cap  # noqa: E402
from tmuxsession import CLOSING, PROMPT, Session, check, needs_speech_data, report  # noqa: E402

ITEMS = 17
ITEM_PAUSE = 1.0     # the report's pause before each profile item
GAP_MS = 900         # quiet that separates two report items


def start(selenor, build=None, windir=None, env=None, clock="virtual"):
    """Selenor with its speech heard, once it has been given the date."""
    s = Session(os.path.abspath(selenor), windir=windir, capture=True, env=env, clock=clock)
    try:
        failed = lambda: any("Erro de inicializa" in r for r in s.rows())  # noqa: E731
        s.wait("the prompt", lambda: failed() or s.rows()[3].startswith(PROMPT), 60)
        check(not failed(), "the synthesizer did not start:\n" + s.text())
        s.wait_settled("the banner and the prompt")
        s.type("15/3/1990")
        s.keys("Enter")
        return s
    except BaseException:
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


def scenario_key(s):
    def first_item_sounding():
        pcm = s.pcm()
        return len(cap.segments(pcm, GAP_MS)) >= 3 and cap.trailing_quiet(pcm)[0] < 0.05
    s.wait("the first profile item", first_item_sounding, 120)
    pressed_at = len(s.pcm()) / cap.RATE
    s.type("x")
    s.wait("the closing line", lambda: s.rows()[24] == CLOSING, 30)
    s.wait_settled("the cut")
    runs = cap.segments(s.pcm(), GAP_MS)
    check(len(runs) == 3, f"speech went on after the key: {runs}")
    # Cut at once: the item ends soon after the key reached the program.
    check(runs[-1][1] - pressed_at < 0.3, f"item ran {runs[-1][1] - pressed_at:.2f} s past the key")
    check("Deve repetir sempre: Eu creio" in s.text(), "the rest of the report was not written")


def clock_for(scenario):
    """A key cutting speech is timed against the sound: real time there."""
    return "real" if scenario.__name__.endswith("_key") else "virtual"


def heard(selenor, scenario):
    with start(selenor, clock=clock_for(scenario)) as s:
        scenario(s)
        s.keys("Enter")
        check(s.wait_exit(30) == 0, "exit status is not 0")


def main():
    selenor, build, name = sys.argv[1:4]
    scenario = {"whole": scenario_whole, "key": scenario_key}[name]
    return needs_speech_data(build) or report(name, heard, selenor, scenario)


if __name__ == "__main__":
    sys.exit(main())
