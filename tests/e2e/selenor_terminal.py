#!/usr/bin/env python3
"""Selenor end to end in a terminal: the real program runs in tmux at 80x25
with the terminal display and no audio device; every step waits on what the
screen shows (bounded polling), never on fixed sleeps.

Usage: selenor_terminal.py SELENOR_PATH SCENARIO
"""
import datetime
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time

PROMPT = "Digite a data do seu nascimento no formato dia/mes/ano"
CLOSING = "Aperte control insert para copiar para área de transferência"
PISCES = [
    ("Seu signo: ", "Peixes"), ("Planeta regente: ", "Netuno"),
    ("Seu anjo protetor: ", "Asariel"), ("Sua cor mais favorável: ", "azul"),
    ("Seu metal protetor: ", "estanho"), ("Sua pedra protetora: ", "ametista"),
    ("Perfume que deve usar: ", "sândalo ou lírio"),
    ("Seu dia mais favorável: ", "quinta"), ("Sua maior virtude: ", "justiça"),
    ("Seu vício: ", "gula"), ("Sentido mais aguçado: ", "supra consciência"),
    ("Seu tipo de inteligência: ", "arrojado"),
    ("Sua maneira de amar: ", "sentimental"),
    ("Seu caráter: ", "sensível melancólico"),
    ("Sua planta símbolo: ", "aquática"), ("O seu número da sorte: ", "7"),
    ("Deve repetir sempre: ", "Eu creio"),
]
REPORT_TIMEOUT = 300  # spoken items and pauses take about 100 s


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


class Session:
    """One tmux server of our own running Selenor in an 80x25 pane."""

    def __init__(self, selenor, windir=None):
        self.dir = tempfile.mkdtemp(prefix="selenor-e2e-")
        self.windir = windir or os.path.join(self.dir, "windir")
        os.makedirs(self.windir, exist_ok=True)
        self.socket = os.path.join(self.dir, "tmux.sock")
        self.status = os.path.join(self.dir, "status")
        self.stty = os.path.join(self.dir, "stty")
        conf = os.path.join(self.dir, "tmux.conf")
        with open(conf, "w") as f:
            f.write("set -g remain-on-exit on\nset -g set-clipboard on\n"
                    "set -g status off\nset -g default-terminal tmux-256color\n")
        env = (f"SONARIS_DISPLAY=terminal SONARIS_AUDIO=null "
               f"SONARIS_WINDIR='{self.windir}' LANG=C.UTF-8 LC_ALL=C.UTF-8")
        command = (f"env {env} '{selenor}'; echo $? > '{self.status}'; "
                   f"stty -a > '{self.stty}'")
        # Started from the build folder, as the README's command does, where
        # the build leaves its SONARIS.INI.
        build = os.path.dirname(os.path.dirname(selenor))
        self.tmux("-f", conf, "new-session", "-d", "-x", "80", "-y", "25",
                  "-c", build, "sh", "-c", command)

    def tmux(self, *args):
        result = subprocess.run(["tmux", "-S", self.socket, *args],
                                capture_output=True, text=True)
        if result.returncode != 0:
            raise Failure(f"tmux {' '.join(args)}: {result.stderr.strip()}")
        return result.stdout

    def screen(self, escapes=False):
        args = ["capture-pane", "-p", "-N"] + (["-e"] if escapes else [])
        return self.tmux(*args).split("\n")[:25]

    def rows(self):
        return [row.rstrip() for row in self.screen()]

    def text(self):
        return "\n".join(self.rows())

    def keys(self, *keys):
        self.tmux("send-keys", *keys)

    def type(self, text):
        self.tmux("send-keys", "-l", "--", text)

    def wait(self, what, predicate, timeout=20):
        deadline = time.monotonic() + timeout
        while True:
            if self.exited() and not predicate():
                raise Failure(f"Selenor ended while waiting for {what}:\n"
                              + self.text())
            if predicate():
                return
            if time.monotonic() > deadline:
                raise Failure(f"timed out waiting for {what}; screen:\n"
                              + self.text())
            time.sleep(0.1)  # polling interval, not a synchronisation

    def wait_text(self, needle, timeout=20):
        self.wait(repr(needle), lambda: needle in self.text(), timeout)

    def exited(self):
        return os.path.exists(self.status) and os.path.getsize(self.status) > 0

    def wait_exit(self, timeout=20):
        deadline = time.monotonic() + timeout
        while not self.exited():
            if time.monotonic() > deadline:
                raise Failure("Selenor did not end; screen:\n" + self.text())
            time.sleep(0.05)
        with open(self.status) as f:
            return int(f.read().strip())

    def wait_prompt(self):
        """The banner and an empty prompt on a freshly cleared screen."""
        def fresh():
            rows = self.rows()
            return (rows[0] == "Programa Selenor" and rows[3] == PROMPT
                    and not any(rows[4:]))
        self.wait("a cleared screen with the prompt", fresh)

    def check_terminal_restored(self):
        check(self.tmux("display-message", "-p", "#{alternate_on}").strip() == "0",
              "the alternate screen is still on after the end")
        deadline = time.monotonic() + 10
        while not (os.path.exists(self.stty) and os.path.getsize(self.stty)):
            check(time.monotonic() < deadline, "no stty report after the end")
            time.sleep(0.05)
        with open(self.stty) as f:
            modes = f.read().split()
        for mode in ("icanon", "echo", "isig"):
            check(mode in modes, f"terminal mode {mode} not restored: {modes}")

    def clipboard(self):
        result = subprocess.run(["tmux", "-S", self.socket, "show-buffer"],
                                capture_output=True)
        return result.stdout.decode("utf-8", "replace") if result.returncode == 0 else ""

    def close(self):
        subprocess.run(["tmux", "-S", self.socket, "kill-server"],
                       capture_output=True)
        shutil.rmtree(self.dir, ignore_errors=True)


def expected_figures(born):
    today = datetime.date.today()
    age = today.year - born.year - ((born.month, born.day) > (today.month, today.day))
    lived = (today - born).days
    return [f"Sua idade: {age} anos", f"Você já viveu {lived} dias",
            f"Já dormiu em média {lived // 3} dias",
            f"O seu coração já bateu em média {lived * 115200} vezes"]


def check_band(session):
    """The figure rows stand on blue (colour 1), in whatever form the
    terminal was given it."""
    blue = re.compile(r"\x1b\[[0-9;]*(?<![0-9])(44|48;2;0;0;255|48;5;(4|21))(?![0-9])")
    rows = session.screen(escapes=True)
    band = [row for row in rows if "Você nasceu" in row]
    check(band and blue.search(band[0]), f"no blue band on the first figure row: {band!r}")


def check_copy(session):
    session.tmux("set-buffer", "nothing yet")
    session.keys("C-IC")
    session.wait("the screen on the clipboard",
                 lambda: "Você nasceu Quinta" in session.clipboard())
    lines = session.clipboard().replace("\r\n", "\n").split("\n")
    check(lines[0] == "Programa Selenor", f"clipboard starts with {lines[0]!r}")
    check(all(line == line.rstrip() or line == " " for line in lines),
          "trailing blanks were copied")
    check(CLOSING not in session.clipboard(), "the prompt row was copied")
    # Ctrl+Insert again copies again; only Enter or Escape ends.
    session.tmux("set-buffer", "second")
    session.keys("C-IC")
    session.wait("a second copy", lambda: "Programa Selenor" in session.clipboard())
    check(not session.exited(), "Ctrl+Insert ended the program")


def scenario_report(selenor):
    s = Session(selenor)
    try:
        born = datetime.date(1990, 3, 15)
        before = expected_figures(born)
        s.wait_prompt()
        s.type("15/3/1990")
        s.keys("Enter")
        s.wait_text("Você nasceu Quinta")
        check_band(s)
        s.wait("the closing prompt on row 25",
               lambda: s.rows()[24] == CLOSING, REPORT_TIMEOUT)
        text = s.text()
        # Either day's figures, should midnight fall during the run.
        figures = max(before, expected_figures(born),
                      key=lambda fs: sum(f in text for f in fs))
        for f in figures:
            check(f in text, f"missing {f!r}:\n{text}")
        for label, value in PISCES:
            check(label + value in text, f"missing profile line {label + value!r}")
        check("Dados astrológicos retirados do Almanaque de Quintela" in text,
              "missing the almanac line")
        check_copy(s)
        s.keys("Enter")
        check(s.wait_exit() == 0, "exit status of a normal end is not 0")
        s.check_terminal_restored()
    finally:
        s.close()


def scenario_rejected(selenor):
    s = Session(selenor)
    try:
        s.wait_prompt()
        # (A trailing blank never reaches the check: the line editor drops
        # the trailing blanks of its field.)
        for answer in ["15-3-1990", "15/3", "a/3/1990", "15/3/1799", "1/1/2000x"]:
            s.type(answer)
            s.wait(f"the echo of {answer!r}",
                   lambda: s.rows()[3].startswith(PROMPT) and s.rows()[3] != PROMPT)
            s.keys("Enter")
            s.wait_prompt()
        s.type("abc")
        s.wait_text(PROMPT + "  abc")
        s.keys("Escape")
        check(s.wait_exit() == 0, "Escape did not end the program normally")
        check("Você nasceu" not in s.text(), "a report was shown")
        s.check_terminal_restored()
    finally:
        s.close()


def scenario_empty(selenor):
    s = Session(selenor)
    try:
        s.wait_prompt()
        s.keys("Enter")
        check(s.wait_exit() == 0, "an empty answer did not end the program normally")
        s.check_terminal_restored()
    finally:
        s.close()


def type_in_chunks(session, text, chunk=30):
    """Types no faster than the 64-key queue can take."""
    for i in range(0, len(text), chunk):
        before = session.text()
        session.type(text[i:i + chunk])
        try:
            session.wait("the typed keys", lambda: session.text() != before, 3)
        except Failure:
            pass  # the field is full: keys are dropped without echo


def scenario_long(selenor):
    s = Session(selenor)
    try:
        s.wait_prompt()
        type_in_chunks(s, "9" * 255)
        s.keys("Enter")
        s.wait_prompt()
        s.type("$1F/0x3/1990")
        s.keys("Enter")
        s.wait_text("Você nasceu Sábado")
        s.type("x")  # a key during the report skips its pauses
        s.wait("the closing prompt", lambda: s.rows()[24] == CLOSING, REPORT_TIMEOUT)
        check("Seu signo: Aries" in s.text(), "31/3 is not Aries")
        s.keys("Escape")
        check(s.wait_exit() == 0, "exit status is not 0")
    finally:
        s.close()


def garbage_line(rnd):
    """A line that is no section header: long keys and values, raw bytes."""
    junk = bytes(b for b in (rnd.randrange(1, 256) for _ in range(rnd.choice([3, 300])))
                 if b not in b"\r\n[")
    return rnd.choice([b"X" * 10000 + b"=" + b"9" * 10000, b"CORLETRA=" + junk,
                       b"=" + junk, b"Z" + junk, b"FONTE" + b"Y" * 10000])


def bad_ini_files(build):
    """The build's own settings with garbage between every line, then a file
    of garbage alone."""
    rnd = random.Random(1990)
    with open(os.path.join(build, "SONARIS.INI"), "rb") as f:
        good = f.read().splitlines()
    mixed = b"".join(line + b"\r\n" + garbage_line(rnd) + b"\n" for line in good)
    mixed += b"[VIDEO]\n" + b"\n".join(garbage_line(rnd) for _ in range(20))
    noise = bytes(rnd.randrange(256) for _ in range(20000))
    return [mixed + b"\n" + noise, noise + b"\n[TRADUTOR]\n" + garbage_line(rnd)]


def scenario_bad_ini(selenor):
    build = os.path.dirname(os.path.dirname(selenor))
    for number, contents in enumerate(bad_ini_files(build)):
        windir = tempfile.mkdtemp(prefix="selenor-ini-")
        with open(os.path.join(windir, "SONARIS.INI"), "wb") as f:
            f.write(contents)
        s = Session(selenor, windir)
        try:
            if number == 0:
                s.wait_prompt()
            else:  # speech may not start with such settings, but it says so
                s.wait("the prompt or a start-up message",
                       lambda: PROMPT in s.text() or "Erro de inicialização" in s.text())
            s.keys("Enter")
            check(s.wait_exit() == 0, "exit status with a garbage SONARIS.INI is not 0")
            s.check_terminal_restored()
        finally:
            s.close()
            shutil.rmtree(windir, ignore_errors=True)


def scenario_command_line(selenor):
    def run(*args):
        return subprocess.run([selenor, *args], capture_output=True, text=True,
                              timeout=20, stdin=subprocess.DEVNULL)
    r = run("--help")
    check(r.returncode == 0 and "Uso:" in r.stdout and "Ctrl+Insert" in r.stdout,
          f"--help: {r.returncode} {r.stdout!r}")
    r = run("--version")
    check(r.returncode == 0 and "Selenor" in r.stdout, f"--version: {r.stdout!r}")
    r = run("--bogus")
    check(r.returncode == 2 and "--bogus" in r.stderr and not r.stdout,
          f"unknown argument: {r.returncode} {r.stderr!r}")


SCENARIOS = {
    "report": scenario_report,
    "rejected": scenario_rejected,
    "empty": scenario_empty,
    "long": scenario_long,
    "bad_ini": scenario_bad_ini,
    "command_line": scenario_command_line,
}


def main():
    if len(sys.argv) != 3 or sys.argv[2] not in SCENARIOS:
        print(__doc__ + "Scenarios: " + ", ".join(SCENARIOS), file=sys.stderr)
        return 2
    if not shutil.which("tmux"):
        print("tmux is missing", file=sys.stderr)
        return 2
    try:
        SCENARIOS[sys.argv[2]](os.path.abspath(sys.argv[1]))
    except Failure as e:
        print(f"FAIL {sys.argv[2]}: {e}", file=sys.stderr)
        return 1
    print(f"ok {sys.argv[2]}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
