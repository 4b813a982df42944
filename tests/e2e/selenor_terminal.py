"""Selenor end to end in a terminal: the real program in tmux at 80x25 with
the terminal display and no audio device.

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

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from tmuxsession import CLOSING, PROMPT, Failure, Session, check, report  # noqa: E402,F401
import speech_capture as cap  # noqa: E402

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


def answer(s, text):
    """Types an answer on a fresh prompt; Enter once the program echoed it."""
    s.wait_prompt()
    s.type(text)
    s.wait(f"the echo of {text!r}", lambda: s.rows()[3] == (PROMPT + "  " + text).rstrip())
    s.keys("Enter")


def scenario_report(selenor):
    born = datetime.date(1990, 3, 15)
    before = expected_figures(born)
    with Session(selenor) as s:
        answer(s, "15/3/1990")
        s.wait_text("Você nasceu Quinta")
        check_band(s)
        s.wait("the closing prompt on row 25", lambda: s.rows()[24] == CLOSING, REPORT_TIMEOUT)
        text = s.text()
        # Either day's figures, should midnight fall during the run.
        figures = max(before, expected_figures(born), key=lambda fs: sum(f in text for f in fs))
        lines = figures + [label + value for label, value in PISCES]
        lines.append("Dados astrológicos retirados do Almanaque de Quintela")
        for line in lines:
            check(line in text, f"missing {line!r}:\n{text}")
        check_copy(s)
        s.keys("Enter")
        s.check_clean_end()


def scenario_rejected(selenor):
    with Session(selenor) as s:
        # (A trailing blank never reaches the check: the line editor drops
        # the trailing blanks of its field.)
        for text in ["15-3-1990", "15/3", "a/3/1990", "15/3/1799", "1/1/2000x", "31/2/2000"]:
            answer(s, text)
        s.wait_prompt()
        s.type("abc")
        s.wait_text(PROMPT + "  abc")
        s.keys("Escape")
        s.check_clean_end("Escape")
        check("Você nasceu" not in s.text(), "a report was shown")


def scenario_empty(selenor):
    with Session(selenor) as s:
        answer(s, "")
        s.check_clean_end("an empty answer")


def type_in_chunks(session, text, chunk=30):
    """Types no faster than the 64-key queue can take, until the field is
    full: from then on keys are dropped without echo, so the rest goes at
    once."""
    full = False
    for i in range(0, len(text), chunk):
        before = session.text()
        session.type(text[i:i + chunk])
        if full:
            continue
        try:
            session.wait("the typed keys", lambda: session.text() != before, 3)
        except Failure:
            full = True


def scenario_long(selenor):
    with Session(selenor) as s:
        s.wait_prompt()
        type_in_chunks(s, "9" * 255)
        s.keys("Enter")
        answer(s, "$1F/0x3/1990")
        s.wait_text("Você nasceu Sábado")
        s.type("x")  # a key during the report skips its pauses
        s.wait("the closing prompt", lambda: s.rows()[24] == CLOSING, REPORT_TIMEOUT)
        check("Seu signo: Aries" in s.text(), "31/3 is not Aries")
        s.keys("Escape")
        check(s.wait_exit() == 0, "exit status is not 0")


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
        with Session(selenor, windir) as s:
            if number == 0:
                s.wait_prompt()
            else:  # speech may not start with such settings, but it says so
                s.wait("the prompt or a start-up message",
                       lambda: PROMPT in s.text() or "Erro de inicialização" in s.text())
            s.keys("Enter")
            s.check_clean_end("a garbage SONARIS.INI")
        shutil.rmtree(windir, ignore_errors=True)


def scenario_personal_ini(selenor):
    """A personal file that changes only the colour: the installed sample
    gives everything else, so speech starts and the prompt comes."""
    windir = tempfile.mkdtemp(prefix="selenor-ini-")
    with open(os.path.join(windir, "SONARIS.INI"), "w") as f:
        f.write("[VIDEO]\nCORLETRA=$E\n")
    try:
        with Session(selenor, windir) as s:
            s.wait_prompt()
            s.keys("Escape")
            s.check_clean_end("Escape at the prompt")
    finally:
        shutil.rmtree(windir, ignore_errors=True)


def scenario_start_failure(selenor):
    """Speech data that cannot be found: the message on the screen and on
    stderr, falling tones in the wave device and the terminal's bell."""
    windir = tempfile.mkdtemp(prefix="selenor-ini-")
    with open(os.path.join(windir, "SONARIS.INI"), "w") as f:
        f.write("[TRADUTOR]\nDIRDIFONES=c:\\nao\\existe\\\n")
    try:
        with Session(selenor, windir, capture=True) as s:
            s.wait_text("Erro de inicialização: ")

            def two_tone_groups():
                runs = cap.segments(s.pcm(), 100)
                return len(runs) >= 2 and all(end - start >= 0.4 for start, end in runs[:2])
            s.wait("the alarm tones", two_tone_groups)
            check(s.tmux("display-message", "-p", "#{window_bell_flag}").strip() == "1",
                  "the terminal bell did not ring")
            s.keys("Enter")
            s.wait_exit()
            s.check_terminal_restored()
            # stderr, once the terminal is back: the normal screen and its history
            shown = s.tmux("capture-pane", "-p", "-S", "-100")
            for line in ("Erro de inicialização: 1", "Banco de dados de voz: "):
                check(line in shown, f"{line!r} not on stderr:\n{shown}")
    finally:
        shutil.rmtree(windir, ignore_errors=True)


def scenario_no_sound(selenor):
    """No sound device: the program goes on silent and says so once, on the
    line after the banner (the question one row lower) and on stderr."""
    notice = "Nenhum dispositivo de som disponível; o programa continua sem som."
    audio = "'wav:/nonexistent-selenor-dir/out.wav'"
    with Session(selenor, audio=audio) as s:
        s.wait("the notice and then the question",
               lambda: s.rows()[:5] == ["Programa Selenor", "Sonaris para Linux", notice, "",
                                        PROMPT])
        s.keys("Enter")
        s.check_clean_end("an empty answer without sound")
        shown = s.tmux("capture-pane", "-p", "-S", "-100")
        check(notice in shown, f"the notice is not on stderr:\n{shown}")


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
    "start_failure": scenario_start_failure,
    "personal_ini": scenario_personal_ini,
    "no_sound": scenario_no_sound,
}


def main():
    if len(sys.argv) != 3 or sys.argv[2] not in SCENARIOS:
        print(__doc__ + "Scenarios: " + ", ".join(SCENARIOS), file=sys.stderr)
        return 2
    return report(sys.argv[2], SCENARIOS[sys.argv[2]], os.path.abspath(sys.argv[1]))


if __name__ == "__main__":
    sys.exit(main())
