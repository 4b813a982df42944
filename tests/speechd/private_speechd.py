"""A private speech-dispatcher for tests: its own configuration, socket,
log folder and a null audio output (libao's null driver), so that no test
touches the machine's or the user's daemon.

    with PrivateSpeechd() as d:
        env = d.env()          # SPEECHD_ADDRESS for the program under test
        ... d.log() ...        # everything the daemon logged
"""
import datetime
import os
import re
import shutil
import subprocess
import tempfile
import time

DAEMON = shutil.which("speech-dispatcher")
MODULES = "/usr/lib/speech-dispatcher-modules"
MODULE_CONF = "/etc/speech-dispatcher/modules/espeak-ng.conf"
SKIP = 77


def missing():
    """Why a private daemon cannot run here, or None."""
    if not DAEMON:
        return "speech-dispatcher is not installed"
    if not os.path.exists(os.path.join(MODULES, "sd_espeak-ng")):
        return "speech-dispatcher-espeak-ng is not installed"
    return None


STAMP = re.compile(r"^\[(\w+ \w+ +\d+ [\d:]+ \d+) : (\d+)\] speechd: +(.*)$")


def events(log):
    """(seconds, text) of every timed line of the daemon's log."""
    out = []
    for line in log.splitlines():
        m = STAMP.match(line)
        if m:
            t = datetime.datetime.strptime(m.group(1), "%a %b %d %H:%M:%S %Y")
            out.append((t.timestamp() + int(m.group(2)) / 1e6, m.group(3)))
    return out


def stop_to_silence(log):
    """Seconds from the STOP handed to the module to silence, for a log
    holding one stopped message played by the daemon (server audio). On a
    STOP the daemon takes no more of the module's sound; it plays what it
    had queued (each block in real time from its arrival or the previous
    one's end) until the module's 703, and then stops its device ("Stopping
    audio"). None when the log has no stop."""
    rate, end, stop, answered = 16000, None, None, None
    for t, text in events(log):
        if stop is None and (m := re.search(r"Got audio parameter sample_rate (\d+)", text)):
            rate = int(m.group(1))
        elif stop is None and (m := re.search(r"Got audio: eventually (\d+) bytes", text)):
            end = max(end or t, t) + int(m.group(1)) / 2 / rate  # 16-bit mono
        elif stop is None and "Module stop!" in text:  # just before it is written
            stop = t
        elif stop is not None and "got stopped" in text and answered is None:
            answered = t
        elif answered is not None and "Stopping audio" in text:
            return max(0.0, min(end or stop, t) - stop)
    # Nothing was playing to be stopped: silence came with the 703, or before.
    return None if answered is None else max(0.0, min(end or stop, answered) - stop)


def late_blocks(log):
    """Seconds by which each of the module's blocks reached the daemon after
    the sound before it had ended (played in real time from its arrival, as
    in stop_to_silence): where a device with no cushion of its own would
    have run dry. The first block of each message is not counted."""
    rate, end, late = 16000, None, []
    for t, text in events(log):
        if m := re.search(r"Got audio parameter sample_rate (\d+)", text):
            rate = int(m.group(1))
        elif m := re.search(r"Got audio: eventually (\d+) bytes", text):
            if end is not None and t > end:
                late.append(t - end)
            end = max(end or t, t) + int(m.group(1)) / 2 / rate  # 16-bit mono
        elif "Module speak!" in text:
            end = None
    return late


class PrivateSpeechd:
    def __init__(self, start_timeout=15, modules=(), env=None):
        """modules: (name, binary, configuration text) of further output
        modules; env: more environment for the daemon and its modules."""
        self.dir = tempfile.mkdtemp(prefix="sonaris-speechd-")
        self.socket = os.path.join(self.dir, "speechd.sock")
        self.logdir = os.path.join(self.dir, "log")
        conf = os.path.join(self.dir, "conf")
        home = os.path.join(self.dir, "home")
        for d in (self.logdir, os.path.join(conf, "modules"), home):
            os.makedirs(d)
        with open(os.path.join(conf, "speechd.conf"), "w") as f:
            f.write(f'LogLevel 5\nLogDir "{self.logdir}"\nAudioOutputMethod "libao"\n'
                    'DefaultModule espeak-ng\nDefaultLanguage "pt-BR"\n'
                    'AddModule "espeak-ng" "sd_espeak-ng" "espeak-ng.conf"\n')
            for name, binary, text in modules:
                module_conf = os.path.join(conf, "modules", name + ".conf")
                with open(module_conf, "w") as m:
                    m.write(text)
                f.write(f'AddModule "{name}" "{binary}" "{module_conf}"\n')
        if os.path.exists(MODULE_CONF):
            shutil.copy(MODULE_CONF, os.path.join(conf, "modules"))
        # libao reads its driver from $HOME/.libao: null plays nothing.
        with open(os.path.join(home, ".libao"), "w") as f:
            f.write("default_driver=null\n")
        env = dict(os.environ, HOME=home, **(env or {}))
        self.process = subprocess.Popen(
            [DAEMON, "-s", "-t", "0", "-C", conf, "-m", MODULES, "-c", "unix_socket",
             "-S", self.socket, "-L", self.logdir, "-P", os.path.join(self.dir, "pid")],
            env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + start_timeout
        while not os.path.exists(self.socket):
            if self.process.poll() is not None or time.monotonic() > deadline:
                self.close()
                raise RuntimeError("the private speech-dispatcher did not start")
            time.sleep(0.05)  # polling for the socket, bounded above

    def env(self):
        return {"SPEECHD_ADDRESS": "unix_socket:" + self.socket}

    def log(self):
        path = os.path.join(self.logdir, "speech-dispatcher.log")
        if not os.path.exists(path):
            return ""
        with open(path, encoding="utf-8", errors="replace") as f:
            return f.read()

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(10)
        shutil.rmtree(self.dir, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
