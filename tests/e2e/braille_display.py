"""Selenor on a Braille display: a private BRLTTY (its virtual driver, a
BrlAPI server of its own number, no screen and no speech driver) started by
the test, which plays the 40-cell display over the driver's text protocol:
it reads what the display shows ("Visual" text, "Braille" dots with the
cursor's dots 7 and 8) and presses its keys (panning, routing, lines).

Usage: braille_display.py SELENOR BUILD SCENARIO"""
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time

from tmuxsession import PROMPT, Session, check, needs_speech_data, report, wait_for

CELLS = 40
BRLAPI_DIR = "/var/lib/BrlAPI"
FIELD = len(PROMPT) + 2  # the prompt ends with two blanks; the field follows


class Brltty:
    """One BRLTTY and the virtual display connected to it."""

    def __init__(self, folder, number):
        self.folder = folder
        self.number = number
        self.socket = os.path.join(folder, "vr.sock")
        self.lines = []
        self.lock = threading.Lock()
        self.proc = None
        self.conn = None

    def start(self):
        if os.path.exists(self.socket):
            os.unlink(self.socket)
        seen = len(self.lines)
        log = open(os.path.join(self.folder, f"brltty-{len(self.lines)}.log"), "a")
        self.proc = subprocess.Popen(
            ["brltty", "-n", "-e", "-q", "-b", "vr", "-d", f"server:{self.socket}",
             "-x", "no", "-s", "no", "-A", f"host=:{self.number},auth=none",
             "-f", "/dev/null", "-F", os.path.join(self.folder, "prefs"),
             "-W", self.folder, "-U", self.folder,
             "-P", os.path.join(self.folder, "brltty.pid")],
            stdout=log, stderr=subprocess.STDOUT)
        wait_for("BRLTTY's display socket", lambda: os.path.exists(self.socket), 10)
        self.conn = socket.socket(socket.AF_UNIX)
        self.conn.connect(self.socket)
        self.conn.sendall(f"cells {CELLS}\n".encode())
        threading.Thread(target=self._read, args=(self.conn,), daemon=True).start()
        # Ready once its driver draws BRLTTY's own first picture.
        wait_for("BRLTTY's first picture",
                 lambda: any(l.startswith("Visual ") for l in self.lines[seen:]), 10)
        wait_for("BrlAPI's socket", lambda: os.path.exists(self.api_socket()), 10)

    def api_socket(self):
        return os.path.join(BRLAPI_DIR, str(self.number))

    def _read(self, conn):
        pending = b""
        while True:
            try:
                data = conn.recv(4096)
            except OSError:
                return
            if not data:
                return
            pending += data
            *complete, pending = pending.split(b"\n")
            with self.lock:
                self.lines.extend(line.decode("utf-8", "replace").rstrip("\r") for line in complete)

    def kill(self):
        self.proc.send_signal(signal.SIGKILL)
        self.proc.wait()
        if self.conn:
            self.conn.close()

    def stop(self):
        """Ends it (BRLTTY here lets SIGTERM wait for its display) and
        removes the BrlAPI socket it leaves."""
        if self.proc and self.proc.poll() is None:
            self.kill()
        if os.path.exists(self.api_socket()):
            os.unlink(self.api_socket())

    def press(self, command):
        self.conn.sendall(f"{command}\n".encode())

    def latest(self, kind):
        with self.lock:
            for line in reversed(self.lines):
                if line.startswith(kind + " "):
                    return line[len(kind) + 1:]
        return None

    def text(self):
        """The characters the display shows now."""
        visual = self.latest("Visual")
        if visual is None:
            return None
        body = visual.strip()[1:-1]
        body = re.sub(r"\\X([0-9A-Fa-f]{2})", lambda m: chr(int(m.group(1), 16)), body)
        return body.replace('\\"', '"').replace("\\\\", "\\")

    def cursor(self):
        """The cell (from 0) showing BRLTTY's cursor (dots 7 and 8), or None."""
        dots = self.latest("Braille")
        if dots is None:
            return None
        for cell, pattern in enumerate(dots.strip()[1:-1].split("|")):
            if "7" in pattern and "8" in pattern:
                return cell
        return None

    def wait_shows(self, what, text, cursor, timeout=20):
        def shown():
            return self.text() == text.ljust(CELLS)[:CELLS] and self.cursor() == cursor
        wait_for(what, shown, timeout,
                 show=lambda: f"display: {self.text()!r} cursor {self.cursor()}, "
                              f"wanted {text!r} cursor {cursor}")


def free_number():
    """A BrlAPI server number of this test alone."""
    for number in range(40 + os.getpid() % 500, 2000):
        if not os.path.exists(os.path.join(BRLAPI_DIR, str(number))):
            return number
    raise RuntimeError("no free BrlAPI number")


def window(row, cursor_column):
    """The 40 columns of a screen row that hold the cursor's column."""
    start = cursor_column // CELLS * CELLS
    return row.ljust(80)[start:start + CELLS], cursor_column - start


def field_line(typed):
    return PROMPT + "  " + typed


class Run:
    """Selenor on a display of its own, at its empty date field."""

    def __init__(self, selenor):
        self.folder = tempfile.mkdtemp(prefix="selenor-braille-")
        self.brltty = Brltty(self.folder, free_number())
        env = {"SONARIS_BRAILLE": "brlapi", "BRLAPI_HOST": f":{self.brltty.number}",
               "BRLAPI_AUTH": "none"}
        try:
            self.brltty.start()
            self.session = Session(selenor, env=env, keep_stderr=True)
        except BaseException:
            self.brltty.stop()
            raise

    def __enter__(self):
        try:
            self.session.wait_prompt()
            self.wait_field("", "the prompt's end with the cursor at the field's start")
        except BaseException:
            self.__exit__()  # no BRLTTY or tmux left behind
            raise
        return self

    def __exit__(self, *exc):
        self.session.close()
        self.brltty.stop()
        shutil.rmtree(self.folder, ignore_errors=True)

    def wait_field(self, typed, what):
        """The field's line in the window that holds the cursor after typed."""
        text, cursor = window(field_line(typed), FIELD + len(typed))
        self.brltty.wait_shows(what, text, cursor)


def scenario_prompt(selenor):
    with Run(selenor) as r:
        # Panning left shows the line's first half, without the cursor;
        # panning right the field again.
        r.brltty.press("FWinLt")
        r.brltty.wait_shows("the line's start after panning left", PROMPT[:CELLS], None)
        r.brltty.press("FWinRt")
        r.wait_field("", "the field again after panning right")


def scenario_date(selenor):
    with Run(selenor) as r:
        r.session.type("10/05/1980")
        r.wait_field("10/05/1980", "the typed date")


def scenario_route(selenor):
    with Run(selenor) as r:
        r.session.type("10/05/1980")
        r.wait_field("10/05/1980", "the typed date")
        text, start = window(field_line(""), FIELD)
        # The routing key above the "5" (the virtual driver passes the
        # number on as BRLTTY's cell, from 0): the cursor goes onto it, and
        # Backspace then deletes the "0" before it.
        r.brltty.press(f"Route {start + 4}")
        r.brltty.wait_shows("the cursor on the 5", window(field_line("10/05/1980"), FIELD)[0],
                            start + 4)
        r.session.keys("BSpace")
        r.brltty.wait_shows("the 0 deleted", window(field_line("10/5/1980"), FIELD)[0], start + 3)
        r.session.wait_text(PROMPT + "  10/5/1980")


def scenario_review(selenor):
    with Run(selenor) as r:
        r.session.keys("C-S-F9")
        # The display's line-up key moves the review cursor as Up does: to
        # the blank row 3, then to row 2, which is read word by word.
        r.brltty.press("LnUp")
        r.brltty.wait_shows("the blank row 3", "", 0)
        r.brltty.press("LnUp")
        wait_for("row 2 on the display",
                 lambda: (r.brltty.text() or "").startswith("Sonaris para Linux"), 20,
                 show=lambda: repr(r.brltty.text()))
        # Routing above "para" puts the review cursor there.
        r.brltty.press("Route 8")
        r.brltty.wait_shows("the review cursor on \"para\"", "Sonaris para Linux", 8)
        r.session.keys("Escape")
        r.wait_field("", "the field after review mode")


def scenario_restart(selenor):
    with Run(selenor) as r:
        r.brltty.kill()
        # Speech goes on alone: typing still reaches the field.
        r.session.type("10/05")
        r.session.wait_text(PROMPT + "  10/05")
        r.brltty.start()
        r.wait_field("10/05", "the field after BRLTTY came back")
        r.session.type("/1980")
        r.wait_field("10/05/1980", "the typed date after the restart")
        check(not r.session.exited(), "Selenor ended")


def scenario_absent(selenor):
    """No BRLTTY on that number: the program starts as ever and says so
    once on stderr."""
    env = {"SONARIS_BRAILLE": "brlapi", "BRLAPI_HOST": f":{free_number()}", "BRLAPI_AUTH": "none"}
    with Session(selenor, env=env, keep_stderr=True) as s:
        s.wait_prompt()
        s.keys("Escape")
        s.wait_exit()
        lines = [l for l in s.errors().splitlines() if "Braille" in l]
        check(len(lines) == 1, f"stderr: {s.errors()!r}")


SCENARIOS = {name[len("scenario_"):]: f for name, f in globals().items()
             if name.startswith("scenario_")}

if __name__ == "__main__":
    if len(sys.argv) != 4 or sys.argv[3] not in SCENARIOS:
        print(__doc__ + "Scenarios: " + ", ".join(SCENARIOS), file=sys.stderr)
        sys.exit(2)
    missing = needs_speech_data(sys.argv[2])
    if missing:
        sys.exit(missing)
    if not os.access(BRLAPI_DIR, os.W_OK) and not os.access("/var/lib", os.W_OK):
        print(f"SKIP: BRLTTY cannot make its BrlAPI socket in {BRLAPI_DIR}")
        sys.exit(77)
    sys.exit(report(f"braille_display {sys.argv[3]}", SCENARIOS[sys.argv[3]], sys.argv[1]))
