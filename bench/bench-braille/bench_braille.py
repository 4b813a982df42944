#!/usr/bin/env python3
"""Key to Braille display update (a benchmark, not a test; goal: under
10 ms), side by side with a bare BrlAPI client writing to the same display.

A private BRLTTY runs its virtual driver and a BrlAPI server of its own
number; this program plays the 40-cell display over the driver's socket.
Peer: a minimal BrlAPI client (libbrlapi through ctypes) writes a text and
the time until the display shows it is taken; that is the floor that
BRLTTY and its driver set. Selenor: it runs on a pseudo-terminal with the
terminal display and no sound; a character and then a Backspace are typed
into its date field in turn, and the time from writing the key to the
display showing the changed field is taken. The display is polled every
0.2 ms, which bounds the resolution.

Usage: bench_braille.py SELENOR [TRIALS]   (default 40)
"""
import ctypes
import os
import shutil
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [os.path.join(HERE, "..", "..", "tests", "e2e"), os.path.join(HERE, "..", "bench-keys"),
                os.path.join(HERE, "..")]
from braille_display import Brltty, field_line, free_number, window  # noqa: E402
from bench_common import spread  # noqa: E402
from bench_keys import Program, playing  # noqa: E402

POLL_S = 0.0002
SETTLE_S = 0.05  # between trials, so that one key's work is over


def shown_after(display, text, cursor, timeout=2.0):
    """Seconds until the display shows text with the cursor, or None."""
    start = time.monotonic()
    wanted = text.ljust(40)[:40]
    while time.monotonic() - start < timeout:
        if display.text() == wanted and display.cursor() == cursor:
            return time.monotonic() - start
        time.sleep(POLL_S)
    return None


def peer(display, trials):
    """A bare BrlAPI client: write, then wait for the display."""
    lib = ctypes.CDLL("libbrlapi.so.0.8")
    lib.brlapi_openConnection.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
    lib.brlapi_enterTtyModeWithPath.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_char_p]
    lib.brlapi_writeText.argtypes = [ctypes.c_int, ctypes.c_char_p]
    if lib.brlapi_openConnection(None, None) < 0 or \
            lib.brlapi_enterTtyModeWithPath(None, 0, None) < 0:
        return []
    figures = []
    for i in range(trials):
        text = f"peer {i:04d}"
        start = time.monotonic()
        lib.brlapi_writeText(len(text) + 1, text.encode())
        took = shown_after(display, text, len(text))
        if took is not None:
            figures.append((time.monotonic() - start) * 1000)
        time.sleep(SETTLE_S)
    lib.brlapi_closeConnection()
    return figures


def selenor_trials(selenor, display, trials):
    env = dict(os.environ, SONARIS_DISPLAY="terminal", SONARIS_AUDIO="null",
               SONARIS_BRAILLE="brlapi", LANG="C.UTF-8", TERM="xterm-256color")
    program = Program(os.path.abspath(selenor), env, "")
    figures = []
    try:
        empty = window(field_line(""), len(field_line("")))
        typed = window(field_line("x"), len(field_line("x")))
        if shown_after(display, *empty, timeout=30) is None:
            print("Selenor's field never reached the display")
            return figures
        # The prompt is being said (keys stop it) before the first key.
        program.trace.wait(playing, 10)
        for i in range(trials):
            key, after = (b"x", typed) if i % 2 == 0 else (b"\x7f", empty)
            start = time.monotonic()
            os.write(program.master, key)
            if shown_after(display, *after) is not None:
                figures.append((time.monotonic() - start) * 1000)
            time.sleep(SETTLE_S)
    finally:
        program.stop()
    return figures


def main():
    print("Key to Braille display update, ms (goal: under 10), through a private "
          "BRLTTY's virtual 40-cell display")
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    trials = int(sys.argv[2]) if len(sys.argv) > 2 else 40
    folder = tempfile.mkdtemp(prefix="bench-braille-")
    display = Brltty(folder, free_number())
    try:
        display.start()
        os.environ["BRLAPI_HOST"] = f":{display.number}"
        os.environ["BRLAPI_AUTH"] = "none"
        print(f"bare BrlAPI client, write to shown:  {spread(peer(display, trials))}")
        print(f"Selenor, key to shown:               "
              f"{spread(selenor_trials(sys.argv[1], display, trials))}")
    finally:
        display.stop()
        shutil.rmtree(folder, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
