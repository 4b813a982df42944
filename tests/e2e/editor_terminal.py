#!/usr/bin/env python3
"""The date field of Selenor heard through the wav: capture: one letter
sound per typed key, Left speaks a character, the review key
(Ctrl+Shift+F9, standing for Ctrl+Alt+F9) enters the review mode, Page Up
reads row 1, Shift+Tab goes back a field, Escape goes back and Enter still
submits the date.

Usage: editor_terminal.py SELENOR_PATH BUILD_DIR
Exit 77 (skipped) when the build holds no speech data yet.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import speech_capture as cap  # noqa: E402
from tmuxsession import CLOSING, Session, check, needs_speech_data, report  # noqa: E402

GAP_MS = 150        # quiet that separates two key sounds
QUIET = 0.4         # quiet that tells a key's sound has ended
DATE = "15/3/1990"


def sounds(s):
    return cap.segments(s.pcm(), GAP_MS)


def key_heard(s, what, *keys):
    """Sends keys and waits until they are heard and the capture is quiet
    again; returns the runs of sound they added."""
    before = len(sounds(s))
    size = len(s.pcm())
    s.tmux("send-keys", *keys)
    s.wait(what + " to sound", lambda: len(s.pcm()) > size and len(sounds(s)) > before, 30)
    s.wait_settled(what, QUIET, 30)
    return sounds(s)[before:]


def run(selenor):
    with Session(os.path.abspath(selenor), capture=True) as s:
        field = lambda: s.rows()[3]  # noqa: E731  the prompt row holds the field
        s.wait("the prompt", lambda: field().startswith("Digite"), 60)
        s.wait_settled("the banner and the prompt", QUIET, 30)
        for i, c in enumerate(DATE):
            added = key_heard(s, f"typed {c!r}", "-l", c)
            check(len(added) == 1, f"{c!r} gave {len(added)} sounds: {added}")
            s.wait(f"{c!r} on the screen", lambda i=i: field().endswith(DATE[:i + 1]))
        added = key_heard(s, "Left", "Left")
        check(len(added) == 1, f"Left gave {len(added)} sounds")
        entry = key_heard(s, "the review key", "C-S-F9")
        check(len(entry) == 1, f"entering review mode gave {entry}")
        row1 = key_heard(s, "Page Up", "PPage")
        check(sum(end - start for start, end in row1) > 0.5, f"row 1 read as {row1}")
        # Shift+Tab: back a field from column 1, which clicks and buzzes (Tab
        # from there would go silently to the row's end).
        check(len(key_heard(s, "Shift+Tab", "BTab")) >= 1, "Shift+Tab was not heard")
        leave = key_heard(s, "Escape", "Escape")
        check(1 <= len(leave) <= 2, f"leaving review mode gave {leave}")
        check(field().endswith(DATE), "the field changed: " + field())
        s.keys("Enter")
        s.wait("the report", lambda: any("dias" in r.lower() for r in s.rows()[5:]), 30)
        s.type("x")  # cut the spoken report short
        s.wait("the closing line", lambda: s.rows()[24] == CLOSING, 60)
        s.keys("Enter")
        check(s.wait_exit(30) == 0, "exit status is not 0")


def main():
    selenor, build = sys.argv[1:3]
    return needs_speech_data(build) or report("editor_terminal", run, selenor)


if __name__ == "__main__":
    sys.exit(main())
