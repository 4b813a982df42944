#!/usr/bin/env python3
"""sonaris-play and sonaris-say run from scripts and from a terminal: with
standard input a pipe (open or at its end) or /dev/null they play the whole
sound and never take the terminal's screen; a file that cannot be played
fails with a message; on a real terminal (tmux) a key stops playback, the
alternate screen stays off, and a player started in the background is not
stopped for touching the terminal.

usage: tools_input.py SONARIS-PLAY SONARIS-SAY BUILD-DIR"""
import os
import shutil
import subprocess
import sys
import tempfile
import time
import wave

PLAY, SAY, BUILD = sys.argv[1:4]
ALTERNATE = b"\x1b[?1049h"


def fail(message):
    sys.exit("FAILED: " + message)


def write_wav(path, seconds):
    frames = bytes(128 + (40 if (i // 25) % 2 else -40) for i in range(int(11025 * seconds)))
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(1)
        w.setframerate(11025)
        w.writeframes(frames)
    return len(frames)


def sound_span(path):
    """First and last sample away from silence, in seconds, of a capture
    (16-bit mono)."""
    with wave.open(path, "rb") as w:
        rate, data = w.getframerate(), w.readframes(w.getnframes())
    values = [int.from_bytes(data[i:i + 2], "little", signed=True) for i in range(0, len(data) - 1, 2)]
    loud = [i for i, v in enumerate(values) if abs(v) > 1000]
    return (loud[0] / rate, loud[-1] / rate) if loud else (0.0, 0.0)


def stdin_kinds():
    """(name, stdin argument, cleanup) for /dev/null, an ended pipe and a
    pipe whose writer stays open while the tool runs."""
    ended_r, ended_w = os.pipe()
    os.close(ended_w)
    open_r, open_w = os.pipe()
    return [("devnull", subprocess.DEVNULL, lambda: None),
            ("ended-pipe", ended_r, lambda: os.close(ended_r)),
            ("open-pipe", open_r, lambda: (os.close(open_r), os.close(open_w)))]


def run(args, work, capture, stdin, extra=None):
    env = dict(os.environ, SONARIS_AUDIO="wav:" + capture, SONARIS_DISPLAY="terminal",
               SONARIS_CLOCK="virtual", SONARIS_WINDIR=os.path.join(work, "windir"), **(extra or {}))
    return subprocess.run(args, cwd=BUILD, env=env, stdin=stdin, capture_output=True, timeout=60)


def scripted(work):
    source = os.path.join(work, "in.wav")
    seconds = write_wav(source, 1.5) / 11025
    for name, stdin, cleanup in stdin_kinds():
        capture = os.path.join(work, "play-%s.wav" % name)
        r = run([PLAY, source], work, capture, stdin)
        if r.returncode != 0 or ALTERNATE in r.stdout:
            fail("sonaris-play, stdin %s: status %d, stdout %r, stderr %r" %
                 (name, r.returncode, r.stdout[:80], r.stderr))
        first, last = sound_span(capture)
        if last - first < seconds - 0.05:
            fail("sonaris-play, stdin %s: %.2f s of %.2f s heard" % (name, last - first, seconds))
        capture = os.path.join(work, "say-%s.wav" % name)
        r = run([SAY, "um dois três, quatro cinco seis"], work, capture, stdin)
        first, last = sound_span(capture)
        if r.returncode != 0 or ALTERNATE in r.stdout or last - first < 1.0:
            fail("sonaris-say, stdin %s: status %d, %.2f s heard, stderr %r" %
                 (name, r.returncode, last - first, r.stderr))
        cleanup()

    garbage = os.path.join(work, "garbage.wav")
    open(garbage, "wb").write(b"RIFF\x10\0\0\0WAVEjunk" + bytes(range(200)))
    r = run([PLAY, garbage], work, os.path.join(work, "garbage-cap.wav"), subprocess.DEVNULL)
    if r.returncode == 0 or "não foi possível tocar" not in r.stderr.decode():
        fail("garbage file: status %d, stderr %r" % (r.returncode, r.stderr))


def tmux(sock, *args):
    return subprocess.run(["tmux", "-S", sock, *args], capture_output=True, text=True,
                          timeout=10).stdout


def wait_for(what, probe, timeout=20.0):
    deadline = time.monotonic() + timeout
    while not probe():
        if time.monotonic() > deadline:
            fail("timed out waiting for " + what)
        time.sleep(0.05)  # polling interval, not a synchronisation


def on_terminal(work):
    if not shutil.which("tmux"):
        print("tmux missing: the terminal part is not run")
        return
    source = os.path.join(work, "long.wav")
    write_wav(source, 20)
    capture = os.path.join(work, "tty.wav")
    status = os.path.join(work, "status")
    sock = os.path.join(work, "tmux.sock")
    command = ("env SONARIS_AUDIO='wav:%s' SONARIS_DISPLAY=terminal SONARIS_WINDIR='%s' '%s' '%s'; "
               "echo $? > '%s'" % (capture, os.path.join(work, "windir"), PLAY, source, status))
    tmux(sock, "new-session", "-d", "-x", "80", "-y", "24", "sh", "-c", command + "; sleep 30")
    try:
        started = time.monotonic()
        wait_for("the sound to start",
                 lambda: os.path.exists(capture) and os.path.getsize(capture) > 44 + 22050)
        if tmux(sock, "display", "-p", "#{alternate_on}").strip() != "0":
            fail("sonaris-play switched the terminal to the alternate screen")
        tmux(sock, "send-keys", "x")
        wait_for("the player to end", lambda: os.path.exists(status) and open(status).read().strip())
        if open(status).read().strip() != "0" or time.monotonic() - started > 10:
            fail("a key did not stop the player: status %r" % open(status).read())
    finally:
        tmux(sock, "kill-server")
    # Started in the background of a shell with job control, it must not be
    # stopped for touching the terminal: it plays to the end.
    short = os.path.join(work, "short.wav")
    write_wav(short, 0.5)
    os.remove(status)
    command = ("set -m; env SONARIS_AUDIO=null SONARIS_WINDIR='%s' '%s' '%s' & wait $!; "
               "echo $? > '%s'" % (os.path.join(work, "windir"), PLAY, short, status))
    sock = os.path.join(work, "tmux-background.sock")
    tmux(sock, "new-session", "-d", "-x", "80", "-y", "24", "sh", "-c", command + "; sleep 30")
    try:
        wait_for("the background player to end",
                 lambda: os.path.exists(status) and open(status).read().strip())
        if open(status).read().strip() != "0":
            fail("the player in the background ended with %r" % open(status).read())
    finally:
        tmux(sock, "kill-server")


def main():
    work = tempfile.mkdtemp(prefix="sonaris-tools-")
    os.makedirs(os.path.join(work, "windir"))
    try:
        scripted(work)
        on_terminal(work)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("ok")


main()
