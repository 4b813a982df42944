"""Selenor in its window under Xvfb: the prompt and the report in their
colours, the magnifier on the right button, the report on the clipboard,
and Enter ending the program, with status 0 even when a clipboard reader
has just gone away unanswered."""
import sys

from tmuxsession import CLOSING
from window_x11 import Session, check, run, vanishing_clipboard_request, wait_for

RED, BLUE, BLACK, WHITE = (255, 0, 0), (0, 0, 255), (0, 0, 0), (255, 255, 255)
PROMPT_CELLS = 56  # the prompt and its two trailing blanks


def prompt_geometry(shot):
    """Cell size and row of the red prompt; None while it is not shown."""
    red_rows = [y for y in range(shot.height) if shot.rgb(0, y) == RED]
    if not red_rows:
        return None
    top, ch = red_rows[0], len(red_rows)
    width = 0
    while width < shot.width and shot.rgb(width, top) == RED:
        width += 1
    if width % PROMPT_CELLS:
        return None  # still being written
    return width // PROMPT_CELLS, ch, top // ch


def caret_shown(shot, cw, ch, column, row):
    """The shot when the caret underlines that cell."""
    for y in range(row * ch, (row + 1) * ch):
        if all(shot.rgb(x, y) == WHITE for x in range(column * cw, (column + 1) * cw)):
            return shot
    return None


def rows_of(shot, x, colour):
    return sum(1 for y in range(shot.height) if shot.rgb(x, y) == colour)


def check_plain_text(shot, ch, row):
    """White text on black: only greys, with both ends present."""
    cells = shot.region(0, row * ch, shot.width, ch)
    check(all(r == g == b for r, g, b in cells), "row %d is not white on black" % row)
    check(WHITE in cells and BLACK in cells, "row %d shows no text" % row)


def scenario(xvfb, program):
    s = Session(xvfb, program)
    try:
        cw, ch, prompt_row = wait_for("the prompt", lambda: prompt_geometry(s.shot()))
        check(prompt_row == 3, "prompt on row %d" % prompt_row)
        first = s.shot()
        check(first.width >= 80 * cw and first.height >= 25 * ch, "window smaller than 80x25 cells")
        check_plain_text(first, ch, 0)

        s.xdo("type", "--delay", "30", "15/3/1990")
        s.xdo("key", "Return")
        last_x = 80 * cw - 1
        band = wait_for("the figures band",
                        lambda: rows_of(s.shot(), last_x, BLUE) == 5 * ch, timeout=60)
        check(band, "no band")

        # Ctrl+Insert is read once the report is done; the copy ends up on
        # the X clipboard as UTF-8.
        s.xdo("key", "ctrl+Insert")
        text = wait_for("the report on the clipboard",
                        lambda: "Voc\u00ea nasceu" in s.clipboard() and s.clipboard(), timeout=60)
        check(text.startswith("Programa Selenor"), "clipboard starts %r" % text[:40])
        check("Seu signo: " in text, "no profile in the clipboard")

        # The closing prompt is written and its key read waits (the caret shows).
        shot = wait_for("the caret after the closing prompt",
                        lambda: caret_shown(s.shot(), cw, ch, len(CLOSING), 24))
        check(shot.rgb(0, 3 * ch) == RED, "prompt background lost")
        band_rows = [y for y in range(shot.height) if shot.rgb(last_x, y) == BLUE]
        check(len(band_rows) == 5 * ch, "band is %d pixel rows" % len(band_rows))

        # Right button: the picture around the mouse, twice as large.
        mid_x, mid_y = 40 * cw, (band_rows[0] + band_rows[-1]) // 2
        s.xdo("mousemove", "--sync", str(mid_x), str(mid_y))
        s.xdo("mousedown", "3")
        wait_for("the magnified band",
                 lambda: rows_of(s.shot(), mid_x, BLUE) >= 9 * ch)
        zoomed = s.shot().pixels
        s.xdo("mousemove", "--sync", str(mid_x), str(mid_y + 4 * ch))
        wait_for("the magnifier to follow the mouse", lambda: s.shot().pixels != zoomed)
        s.xdo("mouseup", "3")
        wait_for("the normal picture", lambda: s.shot().pixels == shot.pixels)

        # A clipboard reader that goes away unanswered just before the
        # end must not change how the program ends.
        vanishing_clipboard_request(s.env["DISPLAY"])
        s.xdo("key", "Return")
        check(s.wait_exit() == 0, "exit code %s: %r" % (s.proc.returncode, s.proc.stderr.read()))
    finally:
        s.stop()


if __name__ == "__main__":
    run(scenario, sys.argv[1])
