#!/usr/bin/env python3
"""The date field of Selenor heard through the wav: capture, in tmux: one
letter sound per typed key, Left speaks a character, the review key
(Ctrl+Shift+F9, standing for Ctrl+Alt+F9) enters the review mode, Page Up
reads row 1, Shift+Tab goes back a field, Escape goes back and Enter still submits the date. Every step
waits on the screen or on the capture, never on sleeps.

Usage: editor_terminal.py SELENOR_PATH BUILD_DIR
Exit 77 (skipped) when the build holds no speech data yet.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import speech_capture as cap  # noqa: E402
from selenor_terminal import CLOSING, Failure, check  # noqa: E402
from speech_report import SpokenSession  # noqa: E402

GAP_MS = 150        # quiet that separates two key sounds
QUIET = 0.4         # quiet that tells a key's sound has ended
DATE = "15/3/1990"


def sounds(s):
    return cap.segments(s.pcm(), GAP_MS)


def settle(s, what):
    def settled():
        quiet, heard = cap.trailing_quiet(s.pcm())
        return heard and quiet >= QUIET
    s.wait(what, settled, 30)


def key_heard(s, what, send):
    """Sends a key and waits until it is heard and the capture is quiet
    again; returns the runs of sound it added."""
    before = len(sounds(s))
    size = len(s.pcm())
    send()
    s.wait(what + " to sound", lambda: len(s.pcm()) > size and len(sounds(s)) > before, 30)
    settle(s, what)
    return sounds(s)[before:]


def run(s):
    field = lambda: s.rows()[3]  # noqa: E731  the prompt row holds the field
    s.wait("the prompt", lambda: field().startswith("Digite"))
    settle(s, "the banner and the prompt")
    for i, c in enumerate(DATE):
        added = key_heard(s, f"typed {c!r}", lambda c=c: s.tmux("send-keys", "-l", c))
        check(len(added) == 1, f"{c!r} gave {len(added)} sounds: {added}")
        s.wait(f"{c!r} on the screen", lambda i=i: field().endswith(DATE[:i + 1]))
    added = key_heard(s, "Left", lambda: s.tmux("send-keys", "Left"))
    check(len(added) == 1, f"Left gave {len(added)} sounds")
    entry = key_heard(s, "the review key", lambda: s.tmux("send-keys", "C-S-F9"))
    check(len(entry) == 1, f"entering review mode gave {entry}")
    row1 = key_heard(s, "Page Up", lambda: s.tmux("send-keys", "PPage"))
    spoken = sum(end - start for start, end in row1)
    check(spoken > 0.5, f"row 1 read as {row1}")
    # Shift+Tab: back a field from column 1, which clicks and buzzes (Tab
    # from there would go silently to the row's end).
    back = key_heard(s, "Shift+Tab", lambda: s.tmux("send-keys", "BTab"))
    check(len(back) >= 1, "Shift+Tab was not heard")
    leave = key_heard(s, "Escape", lambda: s.tmux("send-keys", "Escape"))
    check(1 <= len(leave) <= 2, f"leaving review mode gave {leave}")
    check(field().endswith(DATE), "the field changed: " + field())
    s.tmux("send-keys", "Enter")
    s.wait("the report", lambda: any("Dias vividos" in r or "dias" in r.lower() for r in s.rows()[5:]), 30)
    s.tmux("send-keys", "x")  # cut the spoken report short
    s.wait("the closing line", lambda: s.rows()[24] == CLOSING, 60)
    s.tmux("send-keys", "Enter")
    s.wait("the end", lambda: os.path.exists(s.status) and os.path.getsize(s.status) > 0, 30)
    with open(s.status) as f:
        check(f.read().strip() == "0", "exit status is not 0")


def main():
    selenor, build = sys.argv[1:3]
    if not os.path.exists(os.path.join(build, "SONARIS.INI")):
        print("no SONARIS.INI in the build folder: speech data not built, skipped")
        return 77
    s = SpokenSession(selenor, build)
    try:
        run(s)
    except Failure as e:
        print(f"FAIL: {e}")
        return 1
    finally:
        s.close()
    print("ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
