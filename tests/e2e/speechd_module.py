#!/usr/bin/env python3
"""sd_sonaris under a private speech-dispatcher (own configuration, socket
and null audio) with the module registered, its sound captured with
SONARIS_AUDIO=wav: and its device traced: the voice list, a spoken text
that spd-say -w waits for, SSML marks through python3-speechd, STOP, the
rate's range, and a killed mbrola.

Usage: speechd_module.py SD_SONARIS_PATH BUILD_DIR
Exit 77 (skipped) when speech-dispatcher, MBROLA or the Toada data is missing.
"""
import os
import re
import signal
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "speechd"))
import speech_capture as cap  # noqa: E402
from private_speechd import PrivateSpeechd, missing, stop_to_silence  # noqa: E402
from tmuxsession import check, report, wait_for  # noqa: E402
from toada_report import mbrola_missing  # noqa: E402

LONG = " ".join(["Esta é uma frase longa que o módulo fala enquanto o teste o interrompe."] * 12)
TEXT = "Bom dia, Maria. Hoje é quinta-feira."


def live_children(parent, name):
    """The live children of parent called name (an ended one may linger
    unreaped for a while and must not be taken for a running one)."""
    found = []
    for c in subprocess.run(["pgrep", "-P", str(parent)], capture_output=True,
                            text=True).stdout.split():
        try:
            with open(f"/proc/{c}/stat") as f:
                stat = f.read()
        except OSError:
            continue
        comm = stat[stat.index("(") + 1:stat.rindex(")")]
        if comm == name and stat[stat.rindex(")") + 2] != "Z":
            found.append(int(c))
    return found


class Run:
    def __init__(self, module, work):
        self.wav = os.path.join(work, "capture.wav")
        self.trace = os.path.join(work, "trace.txt")
        self.d = PrivateSpeechd(modules=[("sonaris", module, "")],
                                env={"SONARIS_AUDIO": "wav:" + self.wav,
                                     "SONARIS_AUDIO_TRACE": self.trace})
        self.env = dict(os.environ, **self.d.env())

    def say(self, *args, timeout=60):
        return subprocess.run(["spd-say", "-o", "sonaris", *args], env=self.env,
                              capture_output=True, text=True, timeout=timeout)

    def pcm(self):
        return cap.samples(self.wav)

    def module_log(self):
        path = os.path.join(self.d.logdir, "sonaris.log")
        return open(path, encoding="utf-8", errors="replace").read() if os.path.exists(path) else ""

    def module_pid(self):
        found = live_children(self.d.process.pid, "sd_sonaris")
        return found[0] if found else None

    def sound_after(self, start):
        """Seconds of sound in the capture after sample start."""
        return sum(cap.loud_frames(self.pcm()[start:])) / 100


def voices(run):
    listed = wait_for("the four voices", lambda: run.say("-L").stdout.split().count("pt-BR") == 4
                      and run.say("-L").stdout, timeout=20)
    for name, gender in (("br4", "female"), ("br1", "male"), ("br3", "male"), ("sonaris", "male")):
        check(re.search(rf"\b{name}\s+pt-BR\s+{gender}\b", listed), f"-L lacks {name} {gender}:\n{listed}")


def spoken_and_waited(run):
    before = len(run.pcm())
    r = run.say("-y", "br1", "-w", TEXT)
    check(r.returncode == 0, f"spd-say -w failed: {r.stderr}")
    heard = run.sound_after(before)
    check(heard > 1.0, f"spd-say -w returned with {heard:.2f} s of sound captured")
    # Everything was played when it returned: nothing of it comes later.
    total = len(run.pcm())
    wait_for("the capture to move on", lambda: len(run.pcm()) > total + cap.RATE // 2, timeout=10)
    check(run.sound_after(total) == 0, "sound went on after spd-say -w returned")


def marks(env):
    try:
        import speechd
    except ImportError:  # a Python of its own beside Debian's, which holds python3-speechd
        sys.path.append("/usr/lib/python3/dist-packages")
        import speechd
    client = speechd.SSIPClient("sonaris-test", address=env["SPEECHD_ADDRESS"])
    got, done = [], threading.Event()

    def event(kind, index_mark=None):
        if kind == speechd.CallbackType.INDEX_MARK:
            got.append(index_mark)
        elif kind in (speechd.CallbackType.END, speechd.CallbackType.CANCEL):
            done.set()
    try:
        client.set_output_module("sonaris")
        client.set_data_mode(speechd.DataMode.SSML)
        client.speak('<speak>Primeira parte <mark name="um"/>segunda parte <mark name="dois"/>'
                     'terceira <mark name="tres"/>e fim.</speak>', callback=event,
                     event_types=(speechd.CallbackType.INDEX_MARK, speechd.CallbackType.END,
                                  speechd.CallbackType.CANCEL))
        check(done.wait(60), "no end of the SSML message")
    finally:
        client.close()
    check(got == ["um", "dois", "tres"], f"index marks {got}")


def stop(run):
    before = len(run.pcm())
    r = subprocess.Popen(["spd-say", "-o", "sonaris", "-y", "br4", LONG], env=run.env)
    r.wait(30)
    wait_for("speech", lambda: run.sound_after(before) > 0.3, timeout=30)
    earlier = len(cap.module_stops(run.module_log()))
    check(run.say("-C").returncode == 0, "spd-say -C failed")
    ms = wait_for("the stop and the device's reset",
                  lambda: cap.stop_to_reset(run.module_log(), run.trace, earlier), timeout=10)[0]
    check(ms <= 10, f"the sound stopped {ms:.1f} ms after the module received STOP")
    wait_for("the end of the stopped message", lambda: "fala parada" in run.module_log(), timeout=10)
    return ms


def rates(run):
    spans = []
    for rate in ("-100", "100"):
        before = len(run.pcm())
        check(run.say("-y", "br4", "-r", rate, "-w", TEXT).returncode == 0, f"rate {rate} failed")
        runs = cap.segments(run.pcm()[before:], gap_ms=2000)
        check(runs, f"nothing heard at rate {rate}")
        spans.append(runs[-1][1] - runs[0][0])
    check(spans[0] >= 2.5 * spans[1], f"rate -100 lasts {spans[0]:.2f} s, +100 {spans[1]:.2f} s")
    return spans


def killed_mbrola(run):
    pid = run.module_pid()
    check(pid, "no sd_sonaris under the daemon")

    def mbrola():
        return live_children(pid, "mbrola")

    # A long text goes through several mbrola in turn, each started ahead:
    # one that is killed while it waits for its part is only replaced, one
    # killed while it speaks ends the message. So every mbrola of the module
    # is killed until that happens; what it made before is still heard.
    check(run.say("-y", "br3", "-w", "um").returncode == 0, "br3 did not speak")
    speaking = subprocess.Popen(["spd-say", "-o", "sonaris", "-y", "br3", "-w", LONG], env=run.env)

    def killed():
        for child in mbrola():
            try:
                os.kill(child, signal.SIGKILL)
            except ProcessLookupError:
                pass
        return "erro: o MBROLA" in run.module_log() or speaking.poll() is not None
    try:
        wait_for("an mbrola killed as it speaks", killed, timeout=60, interval=0.005)
        speaking.wait(90)
    finally:
        speaking.kill()
    wait_for("the error in the module's log", lambda: "erro: o MBROLA" in run.module_log(), timeout=10)
    check(run.module_pid() == pid, "the module did not survive its mbrola")
    before = len(run.pcm())
    check(run.say("-y", "br3", "-w", TEXT).returncode == 0, "the next message failed")
    check(run.sound_after(before) > 1.0, "the next message was not heard")


def server_audio(module):
    """Without SONARIS_AUDIO the samples go to the daemon, which plays them
    until the module answers a STOP, and then stops its device (which may
    take it tens of ms): the module keeps at most 10 ms of sound there, and
    the sound ends within 10 ms of the STOP handed to the module, with
    either voice. Returns those seconds, by voice."""
    with PrivateSpeechd(modules=[("sonaris", module, "")]) as d:
        env = dict(os.environ, **d.env())
        module_log = lambda: open(os.path.join(d.logdir, "sonaris.log"), encoding="utf-8").read()  # noqa: E731
        r = subprocess.run(["spd-say", "-o", "sonaris", "-w", TEXT], env=env, capture_output=True,
                           text=True, timeout=60)
        check(r.returncode == 0, f"spd-say -w through the daemon's audio failed: {r.stderr}")
        log = d.log()
        check("Initialized for server audio for sonaris" in log, "the daemon's audio was not taken")
        check(re.search(r"Got audio: eventually [1-9]", log), "no samples reached the daemon")
        marks(env)
        left = {}
        for voice in ("br4", "sonaris"):  # Toada, the built-in voice
            since = len(d.log())
            subprocess.run(["spd-say", "-o", "sonaris", "-y", voice, LONG], env=env, timeout=30)
            wait_for(f"{voice}'s samples", lambda: "Got audio" in d.log()[since:], timeout=30)
            check(subprocess.run(["spd-say", "-C"], env=env, timeout=30).returncode == 0,
                  "spd-say -C failed")
            wait_for(f"{voice}'s stop", lambda: "Stopping audio" in d.log()[since:], timeout=10)
            held = re.findall(r"som que o servidor ainda toca: (\d+),(\d) ms", module_log())
            check(held and float(".".join(held[-1])) <= 10,
                  f"{voice}: the module left {held[-1:]} ms of sound to the daemon at STOP")
            left[voice] = stop_to_silence(d.log()[since:])
            check(left[voice] is not None and left[voice] <= 0.010,
                  f"{voice}: the daemon still had {left[voice]} s to play after STOP")
        return left


def scenario(module, build):
    left = server_audio(module)
    with tempfile.TemporaryDirectory(prefix="sonaris-sd-") as work:
        run = Run(module, work)
        try:
            voices(run)
            spoken_and_waited(run)
            marks(run.env)
            ms = stop(run)
            spans = rates(run)
            killed_mbrola(run)
            print(f"STOP silenced in {ms:.1f} ms; rate -100 {spans[0]:.2f} s, +100 {spans[1]:.2f} s; "
                  "the daemon's sound after STOP: " +
                  ", ".join(f"{v} {1000 * s:.0f} ms" for v, s in left.items()))
        except Exception:
            print(run.module_log()[-3000:])
            print(open(run.trace).read()[-1500:] if os.path.exists(run.trace) else "no trace")
            raise
        finally:
            run.d.close()


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    why = missing()
    if why:
        print(why + ": skipped")
        return 77
    return mbrola_missing(sys.argv[2]) or report(
        "speechd_module", scenario, os.path.abspath(sys.argv[1]), sys.argv[2])


if __name__ == "__main__":
    sys.exit(main())
