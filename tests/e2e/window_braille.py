"""Braille mode 1 in the window: six-key chords typed as key-downs and
key-ups, Ctrl+Shift+F12 turning the mode off, and closing the window."""
import sys

from window_x11 import Session, check, run, wait_for
from window_selenor import BLACK, PROMPT_CELLS, caret_shown, prompt_geometry


def cell(shot, cw, ch, column, row):
    return shot.region(column * cw, row * ch, cw, ch)


def chord(s, *keys):
    s.xdo("keydown", *keys)
    s.xdo("keyup", *keys)


def scenario(xvfb, program):
    s = Session(xvfb, program, ini="[BRAILLE]\nMODO=1\n")
    try:
        cw, ch, row = wait_for("the prompt", lambda: prompt_geometry(s.shot()))
        start = PROMPT_CELLS  # the answer begins right after the prompt
        blank = [BLACK] * (cw * ch)

        def typed_up_to(column):
            """The shot once the caret stands in that cell of the answer."""
            return wait_for("the caret in column %d" % column,
                            lambda: caret_shown(s.shot(), cw, ch, column, row))

        chord(s, "f", "d")      # dots 1-2: b
        chord(s, "space")       # a blank
        chord(s, "b")           # a letter key that is no dot: a blank too
        chord(s, "space", "f")  # Space+F: the control code 1, nothing typed
        shot = typed_up_to(start + 3)
        check(cell(shot, cw, ch, start, row) != blank, "the chord gave no letter")
        check(cell(shot, cw, ch, start + 1, row) == blank, "no blank from Space")
        check(cell(shot, cw, ch, start + 2, row) == blank, "no blank from a non-dot letter")

        # The mode goes off after its tone; a letter typed before still
        # counts as a chord (a blank), so type until the letter itself shows.
        s.xdo("key", "ctrl+shift+F12")
        column = start + 3
        for _ in range(20):
            s.xdo("type", "b")
            shot = typed_up_to(column + 1)
            if cell(shot, cw, ch, column, row) != blank:
                break
            column += 1
        check(cell(shot, cw, ch, column, row) == cell(shot, cw, ch, start, row),
              "the chord and the typed letter differ")

        s.close_window()
        check(s.wait_exit() == 0, "exit code %s" % s.proc.returncode)
    finally:
        s.stop()


if __name__ == "__main__":
    run(scenario, sys.argv[1])
