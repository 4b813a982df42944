#!/usr/bin/env python3
"""Selenor speaking through an external voice chosen in SONARIS.INI.

Usage: system_voice.py SELENOR_PATH BUILD_DIR SCENARIO
  sapi5, sapi54   a private speech-dispatcher (espeak-ng, null audio)
                  receives every text of the report, one after the end of
                  the other
  paced           a stand-in daemon taking 1.5 s over each text: the next
                  text waits for the end of the one before; a key cancels
                  within 100 ms
  stuck           a stand-in daemon that never reports an end and blocks
                  on cancel: taken for frozen, the built-in voice goes on,
                  a key cuts the report at once, the program ends at once
  killed, stopped a private speech-dispatcher killed (SIGKILL) or frozen
                  (SIGSTOP) while it reads the report: noticed within a
                  second, said once, the rest heard from the built-in voice;
                  after a kill the next start uses a daemon again
  nodaemon, mute  no daemon at the address, or one that never answers:
                  Selenor says why at once (the reason in full on stderr
                  and on the screen, a short sentence aloud), the prompt
                  follows, and it speaks with its own voice
  closing4, closing5
                  Enter at the closing line while the voice says it: the
                  program ends at once (kind 4 and kind 5)
  speed           Ctrl+F4 and a speed under kind 5: the connection is kept
                  (no new connection, no new listing), the rate is set
  sapi4, sapi7, sapi4key
                  espeak-ng in process, heard through the wav: capture,
                  with the report's pauses; a key cuts an item at once
Exit 77 (skipped) when the speech data or speech-dispatcher is missing.
"""
import contextlib
import os
import re
import shutil
import signal
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "speechd"))
import fake_speechd  # noqa: E402
import private_speechd as spd  # noqa: E402
import speech_capture as cap  # noqa: E402
import speech_report  # noqa: E402
from tmuxsession import CLOSING, PROMPT, Session, check, needs_speech_data, report  # noqa: E402

# Some of what the report of 15/3/1990 says, as the daemon must receive it.
EXPECTED_TEXTS = ["Seu signo Peixes", "Seu anjo protetor Asariel",
                  "Deve repetir sempre Eu creio",
                  "Dados astrológicos retirados do Almanaque de Quintela"]
NOTICE = "A voz do sistema (speech-dispatcher) não está disponível"
BROKE = "A voz do sistema (speech-dispatcher) parou"


def settings(build, windir, kind, rate=0):
    """The build's sample SONARIS.INI with the external voice of this kind
    (and its rate)."""
    with open(os.path.join(build, "SONARIS.INI"), encoding="utf-8") as f:
        text = f.read()
    text = re.sub(r"(?m)^SAPI=.*$", "SAPI=Sim", text)
    text = re.sub(r"(?m)^TIPOSAPI=.*$", f"TIPOSAPI={kind}", text)
    text = re.sub(r"(?m)^VOZ=.*$", "VOZ=1", text)
    text = re.sub(r"(?m)^VELOCIDADE=0$", f"VELOCIDADE={rate}", text)
    os.makedirs(windir, exist_ok=True)
    with open(os.path.join(windir, "SONARIS.INI"), "w", encoding="utf-8") as f:
        f.write(text)


@contextlib.contextmanager
def session(selenor, build, kind, env=None, clock="virtual", rate=0):
    """clock: real where a key is timed against the speech."""
    windir = tempfile.mkdtemp(prefix="selenor-voice-")
    try:
        settings(build, windir, kind, rate)
        with Session(selenor, windir=windir, capture=True, env=env, keep_stderr=True,
                     clock=clock) as s:
            yield s
    finally:
        shutil.rmtree(windir, ignore_errors=True)


def prompt_shown(s):
    """The question, on row 4 or, after a notice (the daemon's own reason
    can take ten rows), lower."""
    return any(row.startswith(PROMPT) for row in s.rows()[3:24])


def give_date(s, heard=True):
    s.wait("the prompt", lambda: prompt_shown(s), 60)
    if heard:
        s.wait_settled("the banner and the prompt")
    s.type("15/3/1990")
    s.keys("Enter")


def finish(s):
    s.keys("Enter")
    check(s.wait_exit(30) == 0, "exit status is not 0")


def daemon_scenario(selenor, build, kind):
    # The daemon speaks in real time: at its highest rate.
    with spd.PrivateSpeechd() as d, session(selenor, build, kind, d.env(), rate=10) as s:
        give_date(s, heard=False)
        s.wait("the closing line", lambda: s.rows()[24] == CLOSING, 120)
        finish(s)
        check(NOTICE not in s.errors(), "the system voice did not start:\n" + s.errors())
        log = d.log()
        queued = re.findall(r"Queueing message \|(.*?)\| with priority", log)
        check(queued, "the daemon was given no text")
        for text in EXPECTED_TEXTS:
            check(text in queued, f"not given to the daemon: {text!r}\n{queued}")
        check(len(queued) >= 2 + speech_report.ITEMS, f"only {len(queued)} texts: {queued}")
        # Each text was handed over only after the end of the one before
        # (or its cancel: typing the date cuts the prompt).
        events = re.findall(r"Queueing message \||got end|CANCEL", log)
        for first, second in zip(events, events[1:]):
            check(not (first.startswith("Queueing") and second.startswith("Queueing")),
                  f"a text was given before the end of the one before: {events}")


def paced_scenario(selenor, build):
    """Each text takes 1.5 s: Selenor gives the next only after the end of
    the one before, and a key cancels the one being spoken at once (the
    texts hold the clock in real time)."""
    with fake_speechd.FakeSpeechd(seconds_per_text=1.5) as d, \
            session(selenor, build, 5, d.env()) as s:
        give_date(s, heard=False)
        s.wait("a profile item being spoken", lambda: any(
            t.startswith("Seu anjo") for _, t in d.texts()), 120)
        spoken_at = [when for when, t in d.texts() if t.startswith("Seu anjo")][0]
        pressed = time.monotonic()
        s.type("x")
        check(not [e for e in d.ends() if spoken_at < e < pressed], "the item ended before the key")
        s.wait("the closing line", lambda: s.rows()[24] == CLOSING, 20)
        cancels = [c for c in d.cancels() if c >= pressed]
        check(cancels and cancels[0] - pressed < 0.1,
              f"cancel {cancels[0] - pressed if cancels else None} s after the key")
        check(not [t for when, t in d.texts() if when > pressed],
              f"texts given after the key: {d.texts()}")
        # A text ends by itself or by a cancel (typing the date cuts the prompt).
        texts, ends = d.texts(), d.ends() + d.cancels()
        for (before, _), (after, text) in zip(texts, texts[1:]):
            check(any(before < e <= after for e in ends), f"{text!r} given before the end of the one before")
        finish(s)


def stuck_scenario(selenor, build):
    """A daemon that takes texts, never reports their end and blocks 5 s on
    a cancel: taken for frozen, the built-in voice reads on, a key silences
    at once, the program ends at once."""
    with fake_speechd.FakeSpeechd(stuck=True) as d, session(selenor, build, 5, d.env(), "real") as s:
        give_date(s, heard=False)
        s.wait_text("Você nasceu", 60)
        pressed = time.monotonic()
        s.type("x")
        s.wait_text("Deve repetir sempre", 3)
        check(time.monotonic() - pressed < 3, "the key did not end the report at once")
        s.wait("the closing line", lambda: s.rows()[24] == CLOSING, 10)
        ended = time.monotonic()
        s.keys("Enter")
        check(s.wait_exit(10) == 0, "exit status is not 0")
        check(time.monotonic() - ended < 3, f"Selenor took {time.monotonic() - ended:.1f} s to end:\n" + s.errors())
        check(s.errors().count(BROKE) == 1, "the frozen daemon was not told once:\n" + s.errors())


def breakdown_scenario(selenor, build, sig):
    """The daemon dies or freezes while it reads the report."""
    with spd.PrivateSpeechd() as d:
        try:
            # The daemon's texts hold the clock: its breakdown is noticed in
            # real time, then the built-in voice reads on without waiting.
            with session(selenor, build, 5, d.env()) as s:
                give_date(s, heard=False)
                s.wait("the first figure given to the daemon",
                       lambda: "Queueing message |Você" in d.log(), 60)
                os.kill(d.process.pid, sig)
                hit = time.monotonic()
                s.wait("the breakdown on stderr", lambda: BROKE in s.errors(), 10)
                noticed = time.monotonic() - hit
                check(noticed < 1.5, f"noticed {noticed:.2f} s after the daemon's {sig.name}")
                s.wait("the closing line", lambda: s.rows()[24] == CLOSING, 120)
                s.wait_settled("the report")
                heard = cap.loud_seconds(s.pcm())
                check(heard > 15, f"only {heard:.1f} s of sound: the rest was not heard")
                finish(s)
                check(s.errors().count(BROKE) == 1, "not told once:\n" + s.errors())
        finally:
            if sig == signal.SIGSTOP:
                os.kill(d.process.pid, signal.SIGCONT)
    if sig == signal.SIGKILL:
        daemon_scenario(selenor, build, 5)  # the next start: a daemon again


def closing_scenario(selenor, build, kind):
    """Enter while the closing line is being said ends the program at once.
    Kind 4 speaks in real time at its highest rate; under kind 5 the
    stand-in daemon takes long over the closing line only, and its texts
    hold the clock in real time while the rest goes by at once."""
    if kind == 5:
        daemon = fake_speechd.FakeSpeechd(
            seconds_per_text=lambda text: 2.0 if text.startswith("Aperte") else 0.05)
    else:
        daemon = unreachable()
    clock = "virtual" if kind == 5 else "real"
    with daemon as d, session(selenor, build, kind, d.env(), clock, rate=450) as s:
        give_date(s, heard=False)
        s.wait("the closing line", lambda: s.rows()[24] == CLOSING, 120)
        if kind == 5:
            s.wait("the closing line given to the voice",
                   lambda: any(t.startswith("Aperte") for _, t in d.texts()), 20)
        pressed = time.monotonic()
        s.keys("Enter")
        check(s.wait_exit(10) == 0, "exit status is not 0")
        took = time.monotonic() - pressed
        check(took < 1.0, f"{took:.2f} s from Enter to the end")


def speed_scenario(selenor, build):
    """Ctrl+F4 and 5 under kind 5: the connection and the voice list are
    kept, only the rate goes to the daemon."""
    with fake_speechd.FakeSpeechd(seconds_per_text=0.2) as d, session(selenor, build, 5, d.env(), "real") as s:
        s.wait("the prompt said", lambda: any(t.startswith("Digite") for _, t in d.texts())
               and d.ends(), 60)
        pressed = time.monotonic()
        s.keys("C-F4")
        s.type("5")
        s.wait("the rate given again", lambda: any(
            t > pressed and "RATE" in c.upper() for t, c in d.commands()), 10)
        rated = [t for t, c in d.commands() if t > pressed and "RATE" in c.upper()][0]
        check(rated - pressed < 2, f"the rate came {rated - pressed:.2f} s after the key")
        listings = [c for _, c in d.commands() if c.upper().startswith("LIST OUTPUT_MODULES")]
        check(len(listings) == 1 and d.connections() == 1,
              f"{d.connections()} connections, {len(listings)} listings")
        s.keys("Enter")
        check(s.wait_exit(30) == 0, "exit status is not 0")


def fallback_scenario(selenor, build, daemon, reason):
    with daemon as d:
        started = time.monotonic()
        with session(selenor, build, 5, d.env()) as s:
            # Giving up waits on the daemon's socket, in real time on either clock.
            s.wait("the reason on stderr", lambda: NOTICE in s.errors(), 10)
            waited = time.monotonic() - started
            check(waited < 1.5, f"{waited:.2f} s before Selenor gave up the system voice")
            check(reason in s.errors(), f"{reason!r} is not in the reason:\n" + s.errors())
            s.wait("the reason on the screen and the prompt", lambda: prompt_shown(s)
                   and NOTICE in " ".join(s.rows()), 20)
            s.wait_settled("the reason, the banner and the prompt")
            # A short sentence, "SELENOR" and the question: about 12 s of
            # sound (the whole reason would take 17-25 s before the question).
            said = cap.segments(s.pcm(), speech_report.GAP_MS)[-1][1]
            check(said < 15, f"the question was said by {said:.1f} s from the start")
            give_date(s, heard=False)
            s.wait("the closing line", lambda: s.rows()[24] == CLOSING, 120)
            s.wait_settled("the report")
            runs = cap.segments(s.pcm(), speech_report.GAP_MS)
            # The reason, the banner and prompt, the figures, the items...
            check(len(runs) >= 3 + speech_report.ITEMS, f"the report was not heard: {runs}")
            finish(s)
            check(s.errors().count(NOTICE) == 1, "the reason was not given once:\n" + s.errors())


def espeak_scenario(selenor, build, kind, heard):
    with session(selenor, build, kind, clock=speech_report.clock_for(heard)) as s:
        give_date(s)
        heard(s)
        finish(s)
        check("SAPI 4" not in s.errors(), "the SAPI 4 voice did not start:\n" + s.errors())


def unreachable():
    class NoDaemon:
        def env(self):
            return {"SPEECHD_ADDRESS": "unix_socket:/nonexistent/sonaris/speechd.sock"}

        def __enter__(self):
            return self

        def __exit__(self, *exc):
            pass
    return NoDaemon()


SCENARIOS = {
    "sapi5": lambda sel, b: daemon_scenario(sel, b, 5),
    "sapi54": lambda sel, b: daemon_scenario(sel, b, 54),
    "paced": paced_scenario,
    "stuck": stuck_scenario,
    "killed": lambda sel, b: breakdown_scenario(sel, b, signal.SIGKILL),
    "stopped": lambda sel, b: breakdown_scenario(sel, b, signal.SIGSTOP),
    "closing4": lambda sel, b: closing_scenario(sel, b, 4),
    "closing5": lambda sel, b: closing_scenario(sel, b, 5),
    "speed": speed_scenario,
    # The socket's whole path, not cut at its first ".".
    "nodaemon": lambda sel, b: fallback_scenario(sel, b, unreachable(), "speechd.sock"),
    "mute": lambda sel, b: fallback_scenario(sel, b, fake_speechd.FakeSpeechd(mute=True),
                                             "não respondeu"),
    "sapi4": lambda sel, b: espeak_scenario(sel, b, 4, speech_report.scenario_whole),
    "sapi7": lambda sel, b: espeak_scenario(sel, b, 7, speech_report.scenario_whole),
    "sapi4key": lambda sel, b: espeak_scenario(sel, b, 4, speech_report.scenario_key),
}


def main():
    selenor, build, name = sys.argv[1:4]
    skipped = needs_speech_data(build)
    if skipped:
        return skipped
    if name in ("sapi5", "sapi54", "killed", "stopped") and spd.missing():
        print(f"{spd.missing()}: skipped")
        return spd.SKIP
    return report(name, SCENARIOS[name], os.path.abspath(selenor), build)


if __name__ == "__main__":
    sys.exit(main())
