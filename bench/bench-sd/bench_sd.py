#!/usr/bin/env python3
"""Text to first audio and STOP to silence, through one private
speech-dispatcher (its own audio, null output), for the sonaris module
(Toada with br4) and for speech-dispatcher's own espeak-ng-mbrola module
with the same br4 voice.

Both modules hand their samples to the daemon, so the figures come from the
daemon's log, one clock for both: from the message handed to the module
("Module speak!") to its first samples ("Got audio"); and from STOP handed
to the module to silence: the daemon plays what it had queued until the
module's 703 and then stops its device ("Stopping audio"), or earlier if
its queue ran dry. "Late blocks" counts the blocks that reached the daemon
after the sound before them had ended (a device with no cushion of its own
would have run dry there), with the largest lateness; the last row repeats
sonaris with every core kept busy. espeak-ng finds br4 through a private
espeak-ng data folder (ESPEAK_DATA_PATH): links to the system's
espeak-ng-data plus mbrola/br4, the project's voice file; the project's
mbrola program comes first in PATH.

Usage: bench_sd.py SD_SONARIS_PATH SOURCE_DIR
"""
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "..", "tests", "speechd"))
import private_speechd as spd  # noqa: E402
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "..", "tests", "e2e"))
import speech_capture as cap  # noqa: E402

SHORT = "Bom dia, Maria."
LONG = " ".join(["Esta é uma frase longa que o teste interrompe no meio."] * 10)
TRIALS = 7
ESPEAK_DATA = "/usr/lib/x86_64-linux-gnu/espeak-ng-data"
PEER_CONF = "/etc/speech-dispatcher/modules/espeak-ng-mbrola.conf"


def span(log, start, end):
    """Milliseconds from the first line holding start to the next holding end."""
    t0 = None
    for t, text in spd.events(log):
        if t0 is None and start in text:
            t0 = t
        elif t0 is not None and end in text:
            return (t - t0) * 1000
    return None


def wait_log(d, since, needle, timeout=30):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if needle in d.log()[since:]:
            return True
        time.sleep(0.01)  # polling the daemon's log, bounded above
    return False


def measure(d, env, module, voice):
    first, stop, late = [], [], []
    say = ["spd-say", "-o", module, "-y", voice]
    for _ in range(TRIALS):
        since = len(d.log())
        subprocess.run(say + ["-w", SHORT], env=env, timeout=60, check=True)
        first.append(span(d.log()[since:], "Module speak!", "Got audio"))
        late += spd.late_blocks(d.log()[since:])
        since = len(d.log())
        subprocess.run(say + [LONG], env=env, timeout=60, check=True)
        if not wait_log(d, since, "Got audio"):
            raise RuntimeError(f"{module}: no audio for the long text")
        subprocess.run(["spd-say", "-C"], env=env, timeout=30, check=True)
        wait_log(d, since, "Stopping audio", timeout=10)
        silence = spd.stop_to_silence(d.log()[since:])
        stop.append(None if silence is None else silence * 1000)
        late += spd.late_blocks(d.log()[since:])
    return first, stop, late


def lateness(late):
    return f"{len(late)} ({max(late) * 1000:.1f} ms)" if late else "0"


def busy_cores():
    """One spinning process per core, to be killed by the caller."""
    return [subprocess.Popen([sys.executable, "-c", "while True: pass"])
            for _ in range(os.cpu_count() or 1)]


def own_stops(d, env, trace):
    """The module with its own device: STOP received (its log) to the
    device's reset or close (the trace), both on the monotonic clock."""
    log = os.path.join(d.logdir, "sonaris-own.log")
    text = lambda: open(log).read() if os.path.exists(log) else ""  # noqa: E731
    writes = lambda: len([1 for _, event in cap.trace_events(trace) if event == "write"])  # noqa: E731
    spans = []
    for _ in range(TRIALS):
        before, earlier = writes(), len(cap.module_stops(text()))
        subprocess.run(["spd-say", "-o", "sonaris-own", "-y", "br4", LONG], env=env, timeout=60,
                       check=True)
        deadline = time.monotonic() + 30
        while writes() < before + 2 and time.monotonic() < deadline:
            time.sleep(0.01)  # polling the trace until the device plays, bounded above
        subprocess.run(["spd-say", "-C"], env=env, timeout=30, check=True)
        deadline = time.monotonic() + 10
        while not (span := cap.stop_to_reset(text(), trace, earlier)) and time.monotonic() < deadline:
            time.sleep(0.01)  # polling the module's log and the trace, bounded above
        if span:
            spans.append(span[0])
    print(f"{'sonaris br4, own device':32} {'':>28} {figures(spans):>28}")


def figures(values):
    v = [x for x in values if x is not None]
    if not v:
        return "n/a"
    return f"{statistics.median(v):7.1f} ({min(v):.1f} ... {max(v):.1f})"


def peer_voice(env):
    """espeak-ng's name of br4, once the module has started (a few seconds)."""
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline:
        listed = subprocess.run(["spd-say", "-o", "espeak-ng-mbrola", "-L"], env=env,
                                capture_output=True, text=True, timeout=60).stdout
        for line in listed.splitlines():
            if re.search(r"\bbr4\b|mbrola-4\b", line.lower()):
                return line.split()[0]
        time.sleep(0.5)  # polling the daemon, bounded above
    return None


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    module, source = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    print("speech-dispatcher modules, text to first audio and STOP to silence, "
          f"ms, median (min ... max) of {TRIALS}")
    if spd.missing():
        print(f"skipped: {spd.missing()}")
        return 0
    mbrola = os.path.join(source, "third_party", "mbrola")
    voice = os.path.join(mbrola, "share", "mbrola", "br4", "br4")
    with tempfile.TemporaryDirectory(prefix="sonaris-bench-sd-") as work:
        data = os.path.join(work, "espeak-ng-data")
        os.makedirs(os.path.join(data, "mbrola"))
        for name in os.listdir(ESPEAK_DATA):
            if name != "mbrola":
                os.symlink(os.path.join(ESPEAK_DATA, name), os.path.join(data, name))
        os.symlink(voice, os.path.join(data, "mbrola", "br4"))
        # The same module again, playing through its own (null) device, whose
        # reset the trace times: STOP to silence inside the module.
        trace = os.path.join(work, "trace.txt")
        modules = [("sonaris", module, ""), ("sonaris-own", module, 'SonarisAudio "null"\n')]
        peer = os.path.exists("/usr/lib/speech-dispatcher-modules/sd_espeak-ng-mbrola")
        if peer:
            modules.append(("espeak-ng-mbrola", "sd_espeak-ng-mbrola",
                            open(PEER_CONF).read() if os.path.exists(PEER_CONF) else ""))
        env = {"ESPEAK_DATA_PATH": work, "SONARIS_AUDIO_TRACE": trace,
               "PATH": os.path.join(mbrola, "bin") + os.pathsep + os.environ["PATH"]}
        with spd.PrivateSpeechd(modules=modules, env=env) as d:
            client = dict(os.environ, **d.env())
            rows = [("sonaris br4", "sonaris", "br4")]
            peer_name = peer_voice(client) if peer else None
            if peer_name:
                rows.append((f"espeak-ng-mbrola {peer_name}", "espeak-ng-mbrola", peer_name))
            else:
                print("espeak-ng-mbrola with br4: not available here")
            print(f"{'module and voice':32} {'text to first audio':>28} {'STOP to silence':>28} "
                  f"{'late blocks':>16}")
            for title, name, voice_name in rows + [("sonaris br4, cores busy", "sonaris", "br4")]:
                busy = busy_cores() if "busy" in title else []
                try:
                    first, stop, late = measure(d, client, name, voice_name)
                finally:
                    for p in busy:
                        p.kill()
                        p.wait()
                print(f"{title:32} {figures(first):>28} {figures(stop):>28} {lateness(late):>16}")
            own_stops(d, client, trace)
    return 0


if __name__ == "__main__":
    sys.exit(main())
