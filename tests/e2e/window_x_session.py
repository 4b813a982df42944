"""The window and its X session under Xvfb:
altgr: on the Brazilian ABNT2 layout AltGr types every character of the
       layout: AltGr+[ ] = give "ª º §" in the field, and AltGr+Q "/", so a
       date typed with it is accepted and the report shown;
lost:  when the X server goes away under a waiting Selenor, it ends with
       status 1 within a second, without spinning."""
import ctypes
import os
import subprocess
import sys
import time

from window_selenor import BLUE, prompt_geometry, rows_of
from window_x11 import Session, check, run, wait_for


AD01, SLASH = 24, 0x2F


def xlib(display):
    x = ctypes.CDLL("libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XkbKeycodeToKeysym.argtypes = [ctypes.c_void_p, ctypes.c_ubyte, ctypes.c_int, ctypes.c_int]
    x.XkbKeycodeToKeysym.restype = ctypes.c_ulong
    x.XCloseDisplay.argtypes = [ctypes.c_void_p]
    d = x.XOpenDisplay(display.encode())
    check(d, "cannot open " + display)
    return x, d


def brazilian_layout(display):
    """setxkbmap -layout br, kept: the X server resets its keymap when its
    last client leaves, so a connection stays open until the caller closes
    it (after the program has connected)."""
    keep = xlib(display)
    subprocess.run(["setxkbmap", "-layout", "br"], env=dict(os.environ, DISPLAY=display),
                   check=True, timeout=20)
    x, d = xlib(display)
    try:
        check(x.XkbKeycodeToKeysym(d, AD01, 0, 2) == SLASH, "AltGr+Q is not / on this display")
    finally:
        x.XCloseDisplay(d)
    return keep


def altgr_key(s, key):
    s.xdo("keydown", "ISO_Level3_Shift")
    s.xdo("key", key)
    s.xdo("keyup", "ISO_Level3_Shift")


def altgr(xvfb, program):
    x, kept = brazilian_layout(xvfb.display)
    s = Session(xvfb, program)
    x.XCloseDisplay(kept)
    try:
        cw, ch, _ = wait_for("the prompt", lambda: prompt_geometry(s.shot()))
        # The keys by place (evdev codes of AD12, BKSL, AE12): xdotool would
        # look the keysyms up on other keys.
        for key in ("35", "space", "51", "space", "21"):
            altgr_key(s, key) if key != "space" else s.xdo("key", key)
        s.xdo("key", "ctrl+Insert")  # copies the field
        wait_for("the AltGr signs in the field",
                 lambda: s.clipboard().rstrip() == "\u00aa \u00ba \u00a7", timeout=20)
        s.xdo("key", "ctrl+y")  # clears it
        s.xdo("type", "--delay", "30", "15")
        s.xdo("keydown", "ISO_Level3_Shift")
        s.xdo("key", "q")
        s.xdo("keyup", "ISO_Level3_Shift")
        s.xdo("type", "--delay", "30", "3")
        s.xdo("keydown", "ISO_Level3_Shift")
        s.xdo("key", "q")
        s.xdo("keyup", "ISO_Level3_Shift")
        s.xdo("type", "--delay", "30", "1990")
        s.xdo("key", "Return")
        # A refused answer clears the screen and asks again: no report.
        wait_for("the figures band of the report",
                 lambda: rows_of(s.shot(), 80 * cw - 1, BLUE) == 5 * ch, timeout=60)
        s.xdo("key", "ctrl+Insert")
        text = wait_for("the report on the clipboard",
                        lambda: "Voc\u00ea nasceu" in s.clipboard() and s.clipboard(),
                        timeout=60)
        check("15/3/1990" in text, "the date typed with AltGr is not on the screen")
        s.xdo("key", "Return")
        check(s.wait_exit() == 0, "exit code %s" % s.proc.returncode)
    finally:
        s.stop()


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def lost(xvfb, program):
    s = Session(xvfb, program)
    try:
        wait_for("the prompt", lambda: prompt_geometry(s.shot()))
        before = cpu_seconds(s.proc.pid)
        xvfb.proc.kill()
        xvfb.proc.wait(timeout=10)
        gone = time.monotonic()
        try:
            status = s.proc.wait(timeout=1.0)
        except subprocess.TimeoutExpired:
            used = cpu_seconds(s.proc.pid) - before
            check(False, "still running a second after the X server went away "
                         "(%.2f s of CPU meanwhile)" % used)
        check(status == 1, "exit status %s, not 1" % status)
        print("ended %.0f ms after the X server" % (1000 * (time.monotonic() - gone)))
        err = s.proc.stderr.read().decode("utf-8", "replace")
        check("perdida" in err, "no message on stderr: %r" % err)
    finally:
        s.stop()


if __name__ == "__main__":
    run({"altgr": altgr, "lost": lost}[sys.argv[2]], sys.argv[1])
