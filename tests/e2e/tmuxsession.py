"""Selenor in a terminal of its own: one private tmux server, an 80x25 pane
started from the build folder (where the build leaves its SONARIS.INI), no
audio device or the wav: capture. Every step polls what the screen or the
capture shows, with a bounded timeout; nothing waits on fixed sleeps."""
import os
import shutil
import subprocess
import sys
import tempfile
import time

import speech_capture as cap

PROMPT = "Digite a data do seu nascimento no formato dia/mes/ano"
CLOSING = "Aperte control insert para copiar para área de transferência"


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_for(what, probe, timeout=30.0, interval=0.1, gone=lambda: False, show=lambda: ""):
    """Polls probe() until it gives a true value; fails after timeout, or
    at once when gone() says the program ended without it."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if gone():
            raise Failure(f"Selenor ended while waiting for {what}:\n" + show())
        if time.monotonic() > deadline:
            raise Failure(f"timed out waiting for {what}\n" + show())
        time.sleep(interval)  # polling interval, not a synchronisation


class Session:
    """capture=True sends the sound to a wav: file that pcm() reads."""

    def __init__(self, selenor, windir=None, capture=False, size=(80, 25), stdin=None,
                 audio=None, env=None, job=False, keep_stderr=False, clock="virtual"):
        """size: the terminal's columns and rows; stdin: text piped in;
        audio: another SONARIS_AUDIO; env: more variables (name: value);
        clock: SONARIS_CLOCK, virtual (speech and pauses take no real time,
        every sample and pause as at real time) unless the test is about
        timing against keys from outside (real);
        job: started from an interactive shell with job control, so that
        it can be stopped and brought back (finish() then notes the end);
        keep_stderr: what the program writes to stderr goes to a file that
        errors() reads."""
        self.dir = tempfile.mkdtemp(prefix="selenor-e2e-")
        self.windir = windir or os.path.join(self.dir, "windir")
        os.makedirs(self.windir, exist_ok=True)
        self.socket = os.path.join(self.dir, "tmux.sock")
        self.status = os.path.join(self.dir, "status")
        self.stty = os.path.join(self.dir, "stty")
        self.capture = os.path.join(self.dir, "cap.wav")
        conf = os.path.join(self.dir, "tmux.conf")
        with open(conf, "w") as f:
            f.write("set -g remain-on-exit on\nset -g set-clipboard on\n"
                    "set -g status off\nset -g default-terminal tmux-256color\n")
        audio = audio or (f"'wav:{self.capture}'" if capture else "null")
        more = "".join(f" {name}='{value}'" for name, value in (env or {}).items())
        # No Braille display unless a test asks for one (env).
        env = (f"SONARIS_DISPLAY=terminal SONARIS_AUDIO={audio} SONARIS_CLOCK={clock} "
               f"SONARIS_BRAILLE=off "
               f"SONARIS_WINDIR='{self.windir}' LANG=C.UTF-8 LC_ALL=C.UTF-8{more}")
        self.size = size
        pipe = ""
        if stdin is not None:
            piped = os.path.join(self.dir, "stdin")
            with open(piped, "w") as f:
                f.write(stdin)
            pipe = f"cat '{piped}' | "
        self.stderr = os.path.join(self.dir, "stderr")
        redirect = f" 2> '{self.stderr}'" if keep_stderr else ""
        program = f"{pipe}env {env} '{selenor}'{redirect}"
        self.after = f"echo $? > '{self.status}'; stty -a > '{self.stty}'"
        build = os.path.dirname(os.path.dirname(selenor))
        shell = ["bash", "--norc", "--noprofile", "-i"] if job else [
            "sh", "-c", f"{program}; {self.after}"]
        self.tmux("-f", conf, "new-session", "-d", "-x", str(size[0]), "-y", str(size[1]),
                  "-c", build, *shell)
        if job:
            self.type(program)
            self.keys("Enter")

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def tmux(self, *args):
        result = subprocess.run(["tmux", "-S", self.socket, *args],
                                capture_output=True, text=True)
        if result.returncode != 0:
            raise Failure(f"tmux {' '.join(args)}: {result.stderr.strip()}")
        return result.stdout

    def screen(self, escapes=False):
        args = ["capture-pane", "-p", "-N"] + (["-e"] if escapes else [])
        return self.tmux(*args).split("\n")[:max(25, self.size[1])]

    def rows(self):
        return [row.rstrip() for row in self.screen()]

    def text(self):
        return "\n".join(self.rows())

    def keys(self, *keys):
        self.tmux("send-keys", *keys)

    def type(self, text):
        self.tmux("send-keys", "-l", "--", text)

    def wait(self, what, predicate, timeout=20):
        wait_for(what, predicate, timeout, gone=self.exited, show=self.text)

    def wait_text(self, needle, timeout=20):
        self.wait(repr(needle), lambda: needle in self.text(), timeout)

    def exited(self):
        return os.path.exists(self.status) and os.path.getsize(self.status) > 0

    def wait_exit(self, timeout=20):
        wait_for("the end", self.exited, timeout, 0.05, show=self.text)
        with open(self.status) as f:
            return int(f.read().strip())

    def wait_prompt(self):
        """The banner and an empty prompt on a freshly cleared screen."""
        def fresh():
            rows = self.rows()
            return (rows[0] == "Programa Selenor" and rows[3] == PROMPT
                    and not any(rows[4:]))
        self.wait("a cleared screen with the prompt", fresh)

    def check_clean_end(self, what="a normal end"):
        """Exit status 0 and the terminal as it was before."""
        check(self.wait_exit() == 0, f"exit status of {what} is not 0")
        self.check_terminal_restored()

    def check_terminal_restored(self):
        check(self.tmux("display-message", "-p", "#{alternate_on}").strip() == "0",
              "the alternate screen is still on after the end")
        wait_for("the stty report", lambda: os.path.exists(self.stty)
                 and os.path.getsize(self.stty), 10, 0.05)
        with open(self.stty) as f:
            modes = f.read().split()
        for mode in ("icanon", "echo", "isig"):
            check(mode in modes, f"terminal mode {mode} not restored: {modes}")

    def finish(self):
        """A job's end: its status and the terminal's modes noted."""
        self.type(self.after)
        self.keys("Enter")

    def pid(self):
        """Selenor's process id (the pane's shell starts it)."""
        shell = self.tmux("display-message", "-p", "#{pane_pid}").strip()
        with open(f"/proc/{shell}/task/{shell}/children") as f:
            for child in f.read().split():
                with open(f"/proc/{child}/comm") as comm:
                    if comm.read().strip() == "selenor":
                        return int(child)
        raise Failure("Selenor is not running")

    def clipboard(self):
        result = subprocess.run(["tmux", "-S", self.socket, "show-buffer"],
                                capture_output=True)
        return result.stdout.decode("utf-8", "replace") if result.returncode == 0 else ""

    def errors(self):
        if not os.path.exists(self.stderr):
            return ""
        with open(self.stderr, encoding="utf-8", errors="replace") as f:
            return f.read()

    def pcm(self):
        return cap.samples(self.capture)

    def wait_settled(self, what, quiet=1.2, timeout=60):
        """Until the capture heard something and has been quiet that long."""
        def settled():
            silence, heard = cap.trailing_quiet(self.pcm())
            return heard and silence >= quiet
        self.wait(what + " to be said", settled, timeout)

    def close(self):
        subprocess.run(["tmux", "-S", self.socket, "kill-server"],
                       capture_output=True)
        shutil.rmtree(self.dir, ignore_errors=True)


def needs_speech_data(build):
    """77 (skipped) when the build folder holds no speech data yet."""
    if os.path.exists(os.path.join(build, "SONARIS.INI")):
        return None
    print("no SONARIS.INI in the build folder: speech data not built, skipped")
    return 77


def report(name, scenario, *args):
    """Runs one scenario and reports as a test program does."""
    try:
        scenario(*args)
    except Failure as e:
        print(f"FAIL {name}: {e}", file=sys.stderr)
        return 1
    print(f"ok {name}")
    return 0
