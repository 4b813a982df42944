"""Helpers of the window end-to-end tests: a private Xvfb, the program's
window, screenshots read from xwd, keys and mouse through xdotool."""
import ctypes
import os
import struct
import subprocess
import tempfile

from tmuxsession import Failure, check, wait_for  # noqa: F401

SCREEN = "1280x1024x24"


class Xvfb:
    def __enter__(self):
        read, write = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", SCREEN,
             "-nolisten", "tcp"], pass_fds=[write],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as f:
            number = f.readline().strip()
        check(number, "Xvfb did not start")
        self.display = ":" + number
        return self

    def __exit__(self, *exc):
        self.proc.terminate()
        self.proc.wait(timeout=10)


class Shot:
    """One screenshot of a window (xwd, 24/32-bit TrueColor)."""

    def __init__(self, data):
        h = struct.unpack(">25I", data[:100])
        header_size, self.width, self.height = h[0], h[4], h[5]
        self.lsb = h[7] == 0
        self.bpp, self.stride = h[11], h[12]
        masks = h[14:17]
        self.shifts = [m.bit_length() - 8 for m in masks]
        ncolors = h[19]
        self.pixels = data[header_size + 12 * ncolors:]
        check(self.bpp == 32, "unexpected xwd depth %d" % self.bpp)

    def rgb(self, x, y):
        o = y * self.stride + 4 * x
        p = int.from_bytes(self.pixels[o:o + 4], "little" if self.lsb else "big")
        return tuple((p >> s) & 0xFF for s in self.shifts)

    def region(self, x0, y0, w, h):
        return [self.rgb(x, y) for y in range(y0, y0 + h) for x in range(x0, x0 + w)]


class Session:
    """The program running in its window on the Xvfb display."""

    def __init__(self, xvfb, program, ini=None, clock="virtual"):
        self.dir = tempfile.mkdtemp(prefix="sonaris-window-")
        # Started from the build folder, where the build leaves its
        # SONARIS.INI, as the README's command does.
        build = os.path.dirname(os.path.dirname(os.path.abspath(program)))
        if ini is not None:
            # A settings file of our own hides the build's: ours come first
            # (the first key found wins), the build's speech settings follow.
            with open(os.path.join(build, "SONARIS.INI"), "rb") as f:
                speech = f.read()
            with open(os.path.join(self.dir, "SONARIS.INI"), "wb") as f:
                f.write(ini.encode("cp1252") + b"\r\n" + speech)
        # Sanitizer builds: libdbus keeps a buffer when there is no session
        # bus (as under Xvfb); that is not the program's leak.
        suppressions = os.path.join(self.dir, "lsan.supp")
        with open(suppressions, "w") as f:
            f.write("leak:libdbus-1.so\n")
        self.env = dict(os.environ, DISPLAY=xvfb.display, SONARIS_AUDIO="null", SONARIS_CLOCK=clock,
                        SONARIS_WINDIR=self.dir, HOME=self.dir,
                        LSAN_OPTIONS="suppressions=" + suppressions)
        self.env.pop("SONARIS_DISPLAY", None)  # a graphical display picks the window
        self.env.pop("WAYLAND_DISPLAY", None)
        self.proc = subprocess.Popen([program], cwd=build, env=self.env,
                                     stdin=subprocess.DEVNULL,
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        out = self.xdo("search", "--sync", "--onlyvisible", "--pid", str(self.proc.pid),
                       timeout=30)
        self.window = out.split()[0]
        self.xdo("windowfocus", "--sync", self.window)

    def xdo(self, *args, timeout=10):
        r = subprocess.run(["xdotool", *args], env=self.env, capture_output=True,
                           text=True, timeout=timeout)
        check(r.returncode == 0, "xdotool %s failed: %s" % (args, r.stderr))
        return r.stdout

    def shot(self):
        data = subprocess.run(["xwd", "-silent", "-id", self.window], env=self.env,
                              capture_output=True, timeout=10).stdout
        check(len(data) > 100, "xwd gave no picture")
        return Shot(data)

    def clipboard(self):
        r = subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=self.env,
                           capture_output=True, timeout=10)
        return r.stdout.decode("utf-8", "replace") if r.returncode == 0 else ""

    def close_window(self):
        """Asks the window to close as a window manager does (WM_DELETE_WINDOW)."""
        send_delete_window(self.env["DISPLAY"], int(self.window))

    def wait_exit(self, timeout=20):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not end")

    def stop(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class _Event(ctypes.Union):
    _fields_ = [("client", _ClientMessage), ("pad", ctypes.c_long * 24)]


def _open_display(display_name):
    """Xlib, its prototypes for what the helpers below use, and a connection."""
    x = ctypes.CDLL("libX11.so.6")
    ptr, ulong, c_int = ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int
    x.XOpenDisplay.restype = ptr
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XInternAtom.restype = ulong
    x.XInternAtom.argtypes = [ptr, ctypes.c_char_p, c_int]
    x.XSendEvent.argtypes = [ptr, ulong, c_int, ctypes.c_long, ptr]
    x.XDefaultRootWindow.restype = ulong
    x.XDefaultRootWindow.argtypes = [ptr]
    x.XCreateSimpleWindow.restype = ulong
    x.XCreateSimpleWindow.argtypes = [ptr, ulong, c_int, c_int, ctypes.c_uint, ctypes.c_uint,
                                      ctypes.c_uint, ulong, ulong]
    x.XConvertSelection.argtypes = [ptr, ulong, ulong, ulong, ulong, ulong]
    x.XDestroyWindow.argtypes = [ptr, ulong]
    x.XSync.argtypes = [ptr, c_int]
    x.XFlush.argtypes = x.XCloseDisplay.argtypes = [ptr]
    d = x.XOpenDisplay(display_name.encode())
    check(d, "cannot open " + display_name)
    return x, d


def send_delete_window(display_name, window):
    x, d = _open_display(display_name)
    e = _Event()
    e.client.type = 33  # ClientMessage
    e.client.window = window
    e.client.message_type = x.XInternAtom(d, b"WM_PROTOCOLS", 0)
    e.client.format = 32
    e.client.data[0] = x.XInternAtom(d, b"WM_DELETE_WINDOW", 0)
    x.XSendEvent(d, window, 0, 0, ctypes.byref(e))
    x.XFlush(d)
    x.XCloseDisplay(d)


def vanishing_clipboard_request(display_name):
    """Asks for the clipboard and goes away before the answer comes, as a
    clipboard reader that is killed does: the owner's answer then goes to
    a window that no longer exists."""
    x, d = _open_display(display_name)
    window = x.XCreateSimpleWindow(d, x.XDefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0)
    atom = lambda name: x.XInternAtom(d, name, 0)
    x.XConvertSelection(d, atom(b"CLIPBOARD"), atom(b"UTF8_STRING"), atom(b"SONARIS_TEST"),
                        window, 0)
    x.XDestroyWindow(d, window)
    x.XSync(d, 0)
    x.XCloseDisplay(d)


def run(scenario, program):
    """Runs scenario(xvfb, program) and reports as a test program does."""
    try:
        with Xvfb() as xvfb:
            scenario(xvfb, program)
    except Failure as f:
        print("FAIL:", f)
        raise SystemExit(1)
    print("ok")
