"""Selenor's terminal in tmux beyond the plain 80x25 run:
size COLSxROWS: a smaller terminal shows the part of the screen with the
    cursor (with a one-time notice on its last row and on stderr) and the
    whole screen once it is resized to 80x25; a larger one shows the screen
    at its top left;
signals: SIGUSR1, SIGPIPE and SIGALRM end it with the terminal restored;
stop: SIGTSTP gives the terminal back as it was, SIGCONT takes it again
    and draws the whole screen;
piped: a date piped in is answered, the report shown, and the end of the
    input ends the program;
crlf: the same with a Windows line end (CR LF), which is one Enter: the
    report is spoken, not cut by a second one."""
import os
import signal
import subprocess
import sys

import speech_capture as cap
from tmuxsession import CLOSING, PROMPT, Session, check, needs_speech_data, report, wait_for

NOTICE = "Terminal menor que 80x25"
DATE = "15/3/1990"


def visible(s, text, row, columns):
    """Whether a row of the pane starts with what fits of text."""
    return s.rows()[row] == text[:columns].rstrip()


def scenario_size(selenor, size):
    columns, rows = size
    small = columns < 80 or rows < 25
    with Session(selenor, size=size) as s:
        # Once the prompt has been said the view follows the cursor to the
        # answer's place: a narrow one shows the prompt's end.
        s.wait("the prompt", lambda: s.rows()[3] and s.rows()[3] in PROMPT)
        if small:
            s.wait("the notice on the last row", lambda: s.rows()[rows - 1].startswith(
                NOTICE[:columns]))
        else:
            check(s.rows()[0] == "Programa Selenor", f"top row {s.rows()[0]!r}")
            check(not any(r for r in s.rows()[25:]), "something below the screen")
        s.type(DATE)
        s.keys("Enter")
        # The closing prompt is on the screen's row 25: on a smaller
        # terminal the view has followed the cursor down to it.
        last = min(rows, 25) - 1
        s.wait("the closing prompt", lambda: visible(s, CLOSING, last, columns), 120)
        check(not any(NOTICE in r for r in s.rows()), "the notice stayed after a key")
        if small:
            s.tmux("resize-window", "-x", "80", "-y", "25")
            s.wait("the whole screen after the resize",
                   lambda: s.rows()[0] == "Programa Selenor" and s.rows()[24] == CLOSING)
        s.keys("Enter")
        s.check_clean_end()
        # stderr comes out after the screen is left (a resize may have moved
        # it into the pane's history).
        said = NOTICE in s.tmux("capture-pane", "-p", "-S", "-100")
        check(said == small, f"notice on stderr: {said}, terminal {columns}x{rows}")


def scenario_signals(selenor):
    for name in ("USR1", "PIPE", "ALRM"):
        with Session(selenor) as s:
            s.wait_prompt()
            os.kill(s.pid(), getattr(signal, "SIG" + name))
            status = s.wait_exit()
            check(status == 128 + getattr(signal, "SIG" + name),
                  f"SIG{name}: exit status {status}")
            s.check_terminal_restored()


def pane_modes(s):
    tty = s.tmux("display-message", "-p", "#{pane_tty}").strip()
    out = subprocess.run(["stty", "-a", "-F", tty], capture_output=True, text=True)
    return out.stdout.split()


def alternate(s):
    return s.tmux("display-message", "-p", "#{alternate_on}").strip() == "1"


def scenario_stop(selenor):
    with Session(selenor, job=True) as s:
        s.wait_prompt()
        pid = s.pid()
        os.kill(pid, signal.SIGTSTP)
        # The shell's line editor sets modes of its own once it has the
        # terminal: the screen shows that it was given back.
        s.wait("the terminal given back", lambda: not alternate(s)
               and "Stopped" in s.text())
        with open(f"/proc/{pid}/stat") as f:
            state = f.read().rsplit(")", 1)[1].split()[0]
        check(state == "T", f"not stopped: state {state}")
        s.type("fg")  # the shell continues the job (SIGCONT)
        s.keys("Enter")
        s.wait("the terminal taken back", lambda: alternate(s)
               and "-icanon" in pane_modes(s))
        s.wait_prompt()  # the whole screen drawn again
        s.type(DATE)
        s.keys("Enter")
        s.wait("the closing prompt", lambda: s.rows()[24] == CLOSING, 120)
        s.keys("Enter")
        s.wait("the shell", lambda: not alternate(s))
        s.finish()
        s.check_clean_end()


def scenario_piped(selenor, line_end="\n"):
    with Session(selenor, capture=True, stdin="10/05/1980" + line_end) as s:
        # On the virtual clock the whole report may be spoken, and the
        # program gone with its screen, before a look catches it: then the
        # sound heard is what shows the date was answered.
        wait_for("the report or the end", lambda: s.exited() or "Você nasceu" in s.text(), 120)
        status = s.wait_exit(180)
        check(status == 0, f"exit status {status}")
        heard = cap.loud_seconds(s.pcm())
        check(heard > 5, f"only {heard:.1f} s of sound: the report was not spoken")


def scenario_crlf(selenor):
    # A second Enter would be waiting with the first and cut the report.
    scenario_piped(selenor, "\r\n")


def main():
    selenor, name = sys.argv[1], sys.argv[2]
    if name.startswith("size"):
        size = tuple(int(n) for n in name[4:].split("x"))
        return report(name, scenario_size, selenor, size)
    if name in ("piped", "crlf"):
        skipped = needs_speech_data(os.path.dirname(os.path.dirname(selenor)))
        if skipped:
            return skipped
    return report(name, globals()["scenario_" + name], selenor)


if __name__ == "__main__":
    sys.exit(main())
