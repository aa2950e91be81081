#!/usr/bin/env python3
"""Starts the real program under a private Xvfb (xcb platform) in temporary
working directories, closes the main menu the way a window manager does when
the user clicks the close button (a WM_DELETE_WINDOW message), and checks the
debug log and every other file left in the working directory.

usage: real_program_test.py PATH/TO/korvax-rechner
"""
import ctypes
import ctypes.util
import hashlib
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

PROGRAM = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else None
MENU_TITLE = "Korvax Rechner"
GERMAN_MONTHS = ["Januar", "Februar", "M\xe4rz", "April", "Mai", "Juni", "Juli", "August",
                 "September", "Oktober", "November", "Dezember"]

# ------------------------------------------------------------------ a little Xlib
c_int, c_uint, c_long, c_ulong, c_void_p = (ctypes.c_int, ctypes.c_uint, ctypes.c_long,
                                            ctypes.c_ulong, ctypes.c_void_p)
ClientMessage, IsViewable, NoEventMask = 33, 2, 0


class XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", c_int), ("serial", c_ulong), ("send_event", c_int),
                ("display", c_void_p), ("window", c_ulong), ("message_type", c_ulong),
                ("format", c_int), ("l", c_long * 5)]


class XEvent(ctypes.Union):
    _fields_ = [("xclient", XClientMessageEvent), ("pad", c_long * 24)]


class XWindowAttributes(ctypes.Structure):
    _fields_ = [("x", c_int), ("y", c_int), ("width", c_int), ("height", c_int),
                ("border_width", c_int), ("depth", c_int), ("visual", c_void_p),
                ("root", c_ulong), ("class_", c_int), ("bit_gravity", c_int),
                ("win_gravity", c_int), ("backing_store", c_int), ("backing_planes", c_ulong),
                ("backing_pixel", c_ulong), ("save_under", c_int), ("colormap", c_ulong),
                ("map_installed", c_int), ("map_state", c_int), ("all_event_masks", c_long),
                ("your_event_mask", c_long), ("do_not_propagate_mask", c_long),
                ("override_redirect", c_int), ("screen", c_void_p)]


# Windows come and go while they are looked at (the splash screen closes by
# itself), so a request can name a window that no longer exists. Xlib's own
# error handler would end this script on the spot and leave the program under
# test running; this one lets the request fail and the caller see "nothing".
XErrorHandler = ctypes.CFUNCTYPE(c_int, c_void_p, c_void_p)


@XErrorHandler
def ignore_x_error(_display, _event):
    return 0


def die_with_parent():
    """Runs in each child before it starts: if this script dies, so does the
    child, and no Xvfb or program is left holding the test's output open."""
    libc = ctypes.CDLL(ctypes.util.find_library("c") or "libc.so.6", use_errno=True)
    PR_SET_PDEATHSIG = 1
    libc.prctl(PR_SET_PDEATHSIG, signal.SIGKILL, 0, 0, 0)


class X:
    def __init__(self, display_name):
        self.lib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        lib = self.lib
        lib.XSetErrorHandler.restype = c_void_p
        lib.XSetErrorHandler.argtypes = [XErrorHandler]
        lib.XSetErrorHandler(ignore_x_error)
        lib.XOpenDisplay.restype = c_void_p
        lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        lib.XDefaultRootWindow.restype = c_ulong
        lib.XDefaultRootWindow.argtypes = [c_void_p]
        lib.XInternAtom.restype = c_ulong
        lib.XInternAtom.argtypes = [c_void_p, ctypes.c_char_p, c_int]
        lib.XQueryTree.argtypes = [c_void_p, c_ulong, ctypes.POINTER(c_ulong),
                                   ctypes.POINTER(c_ulong), ctypes.POINTER(ctypes.POINTER(c_ulong)),
                                   ctypes.POINTER(c_uint)]
        lib.XGetWindowAttributes.argtypes = [c_void_p, c_ulong, ctypes.POINTER(XWindowAttributes)]
        lib.XGetWindowProperty.argtypes = [c_void_p, c_ulong, c_ulong, c_long, c_long, c_int,
                                           c_ulong, ctypes.POINTER(c_ulong), ctypes.POINTER(c_int),
                                           ctypes.POINTER(c_ulong), ctypes.POINTER(c_ulong),
                                           ctypes.POINTER(ctypes.c_void_p)]
        lib.XSendEvent.argtypes = [c_void_p, c_ulong, c_int, c_long, ctypes.POINTER(XEvent)]
        lib.XFree.argtypes = [c_void_p]
        lib.XSync.argtypes = [c_void_p, c_int]
        lib.XCloseDisplay.argtypes = [c_void_p]
        self.dpy = None
        deadline = time.monotonic() + 10
        while not self.dpy and time.monotonic() < deadline:
            self.dpy = lib.XOpenDisplay(display_name.encode())
            if not self.dpy:
                time.sleep(0.05)
        if not self.dpy:
            raise RuntimeError("cannot connect to the X server " + display_name)
        self.root = lib.XDefaultRootWindow(self.dpy)

    def atom(self, name):
        return self.lib.XInternAtom(self.dpy, name.encode(), 0)

    def close(self):
        self.lib.XCloseDisplay(self.dpy)

    def property_bytes(self, window, name, kind=0):
        actual_type, actual_format = c_ulong(), c_int()
        count, after, data = c_ulong(), c_ulong(), ctypes.c_void_p()
        if self.lib.XGetWindowProperty(self.dpy, window, self.atom(name), 0, 1024, 0, kind,
                                       ctypes.byref(actual_type), ctypes.byref(actual_format),
                                       ctypes.byref(count), ctypes.byref(after),
                                       ctypes.byref(data)) != 0 or not data.value:
            return None, 0
        unit = {8: 1, 16: ctypes.sizeof(ctypes.c_short), 32: ctypes.sizeof(c_long)}[actual_format.value]
        raw = ctypes.string_at(data.value, count.value * unit)
        self.lib.XFree(data)
        return raw, actual_format.value

    def title(self, window):
        raw, _ = self.property_bytes(window, "_NET_WM_NAME")
        if raw is None:
            raw, _ = self.property_bytes(window, "WM_NAME")
        return raw.decode("utf-8", "replace") if raw is not None else ""

    def window_types(self, window):
        raw, fmt = self.property_bytes(window, "_NET_WM_WINDOW_TYPE")
        if raw is None or fmt != 32:
            return []
        return list((c_long * (len(raw) // ctypes.sizeof(c_long))).from_buffer_copy(raw))

    def viewable_windows(self):
        root_ret, parent_ret = c_ulong(), c_ulong()
        children, n = ctypes.POINTER(c_ulong)(), c_uint()
        self.lib.XSync(self.dpy, 0)
        if not self.lib.XQueryTree(self.dpy, self.root, ctypes.byref(root_ret),
                                   ctypes.byref(parent_ret), ctypes.byref(children), ctypes.byref(n)):
            return []
        result = []
        for i in range(n.value):
            attrs = XWindowAttributes()
            if self.lib.XGetWindowAttributes(self.dpy, children[i], ctypes.byref(attrs)) \
                    and attrs.map_state == IsViewable:
                result.append(children[i])
        if children:
            self.lib.XFree(children)
        return result

    def send_delete(self, window):
        event = XEvent()
        event.xclient.type = ClientMessage
        event.xclient.window = window
        event.xclient.message_type = self.atom("WM_PROTOCOLS")
        event.xclient.format = 32
        event.xclient.l[0] = self.atom("WM_DELETE_WINDOW")
        event.xclient.l[1] = 0  # CurrentTime
        self.lib.XSendEvent(self.dpy, window, 0, NoEventMask, ctypes.byref(event))
        self.lib.XSync(self.dpy, 0)


# ------------------------------------------------------------------ the checks
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL: " + message, flush=True)
    return condition


def snapshot(folder):
    files = {}
    for dirpath, dirnames, filenames in os.walk(folder):
        for name in dirnames + filenames:
            path = os.path.join(dirpath, name)
            rel = os.path.relpath(path, folder)
            if os.path.isfile(path) and not os.path.islink(path):
                with open(path, "rb") as f:
                    files[rel] = hashlib.sha256(f.read()).hexdigest()
            else:
                files[rel] = "folder" if os.path.isdir(path) else "other"
    return files


def start_xvfb():
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
                             "-nolisten", "tcp", "-noreset"],
                            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                            preexec_fn=die_with_parent)
    os.close(write_end)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(read_end, 16)
        if not chunk:
            raise RuntimeError("Xvfb did not start")
        number += chunk
    os.close(read_end)
    return xvfb, ":" + number.decode().strip()


def wait_for(predicate, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.05)
    return predicate()


def runtime_dir(home):
    path = os.path.join(home, "runtime")
    os.makedirs(path, mode=0o700, exist_ok=True)
    os.chmod(path, 0o700)
    return path


def run_program(x, display, workdir, home, before_close=None, command=None):
    """Starts the program (or the command line given) in workdir, waits for the
    menu, closes it and returns (exit status, whether the splash screen was seen)."""
    env = {
        "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
        "HOME": home,
        "XDG_RUNTIME_DIR": runtime_dir(home),
        "DISPLAY": display,
        "QT_QPA_PLATFORM": "xcb",
        "LANG": "C",
    }
    for name in ("ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"):
        if name in os.environ:
            env[name] = os.environ[name]
    proc = subprocess.Popen(command or [PROGRAM], cwd=workdir, env=env, stdin=subprocess.DEVNULL,
                            preexec_fn=die_with_parent)
    splash_type = x.atom("_NET_WM_WINDOW_TYPE_SPLASH")
    try:
        def menu():
            for w in x.viewable_windows():
                if x.title(w) == MENU_TITLE and splash_type not in x.window_types(w):
                    return w
            return None

        def splash():
            return [w for w in x.viewable_windows() if splash_type in x.window_types(w)]

        # Generous waits: a sanitizer build on a busy machine reads a huge
        # schiffe.dat for many seconds; a healthy run is never slowed by them.
        window = wait_for(menu, 120)
        if not check(window, "the main menu did not appear in " + workdir):
            return None, False
        splash_seen = bool(wait_for(splash, 5))
        if before_close:
            before_close(splash)
        x.send_delete(window)
        try:
            status = proc.wait(timeout=180)
        except subprocess.TimeoutExpired:
            check(False, "the program did not end after its menu was closed")
            return None, splash_seen
        return status, splash_seen
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()


STAMP = r"(\d{1,2}) (\S+) (\d{1,2}):(\d\d)    "


def check_trace(text, runs, where):
    line = STAMP + r"(.*)\r\n"
    lines = re.findall(line, text)
    expected = ["", "Begin Debugging", "End Debugging"] * runs
    check(re.fullmatch("(" + line + ")*", text) is not None,
          where + ": the debug log has lines outside the time-stamp format: %r" % text)
    check([m[4] for m in lines] == expected,
          where + ": debug messages %r, expected %r" % ([m[4] for m in lines], expected))
    for day, month, hour, minute, _ in lines:
        check(1 <= int(day) <= 31 and month in GERMAN_MONTHS and 0 <= int(hour) <= 23
              and not (len(hour) == 2 and hour.startswith("0")) and 0 <= int(minute) <= 59,
              where + ": bad time stamp %s %s %s:%s" % (day, month, hour, minute))


def read_log(workdir):
    with open(os.path.join(workdir, "KRVXR.debug"), "rb") as f:
        return f.read().decode("cp1252")


def scenario_clean_start(x, display, base):
    """An empty folder: the menu and the splash appear; closing the menu
    (splash still open) ends the program and leaves only the debug log. A second
    run, closed after the splash has gone by itself, appends its own trace."""
    workdir, home = os.path.join(base, "clean"), os.path.join(base, "home-clean")
    os.makedirs(workdir)
    os.makedirs(home)
    status, splash_seen = run_program(x, display, workdir, home)
    check(status == 0, "clean start: exit status %r" % status)
    check(splash_seen, "clean start: no splash screen appeared")
    check(sorted(os.listdir(workdir)) == ["KRVXR.debug"],
          "clean start: files left %r" % sorted(os.listdir(workdir)))
    check_trace(read_log(workdir), 1, "clean start")

    def splash_goes_by_itself(splash):
        check(wait_for(lambda: not splash(), 15), "the splash screen did not close by itself")

    status, _ = run_program(x, display, workdir, home, splash_goes_by_itself)
    check(status == 0, "second run: exit status %r" % status)
    check(sorted(os.listdir(workdir)) == ["KRVXR.debug"],
          "second run: files left %r" % sorted(os.listdir(workdir)))
    check_trace(read_log(workdir), 2, "second run")


def scenario_bad_input(x, display, base):
    """Broken data files and a debug log that cannot be opened: the program
    starts and ends normally and changes no file."""
    pattern = bytes(range(256)) * 4
    cases = {
        "empty": b"",
        "truncated": b'"Kleiner Frachter"\r\n2000,1500,0,',
        "binary": pattern * 16 + b"\x00\xff\"\r\n\x1a",
        "huge": (b'"Schiff"\r\n1,2,3,4,5\r\n7\r\n9\r\n' * 400000)[:-3],
        "overflow": b'"Zu schnell"\r\n1,2,3,4,5\r\n99999\r\n1E+300\r\n"X"\r\n1E+30,0,0,0,0\r\n1\r\n1\r\n',
    }
    for name, content in cases.items():
        for locked_log in (False, True):
            where = "schiffe.dat %s%s" % (name, ", log is a folder" if locked_log else "")
            workdir = os.path.join(base, "bad-%s-%d" % (name, locked_log))
            home = workdir + "-home"
            os.makedirs(workdir)
            os.makedirs(home)
            with open(os.path.join(workdir, "schiffe.dat"), "wb") as f:
                f.write(content)
            with open(os.path.join(workdir, "planeten.dat"), "wb") as f:
                f.write(pattern)
            if locked_log:
                os.makedirs(os.path.join(workdir, "KRVXR.debug"))
            before = snapshot(workdir)
            status, _ = run_program(x, display, workdir, home)
            check(status == 0, where + ": exit status %r" % status)
            after = snapshot(workdir)
            if locked_log:
                check(after == before, where + ": files changed: %r -> %r" % (before, after))
            else:
                log = after.pop("KRVXR.debug", None)
                check(log is not None, where + ": no debug log")
                check(after == before, where + ": files changed: %r -> %r" % (before, after))
                check_trace(read_log(workdir), 1, where)


def scenario_read_only_folder(x, display, base):
    """A working directory that cannot be written: the program starts and ends
    normally without a debug log. Root writes into read-only folders anyway,
    so this only runs for other users."""
    if os.geteuid() == 0:
        print("read-only working directory: skipped when run as root")
        return
    workdir, home = os.path.join(base, "read-only"), os.path.join(base, "home-read-only")
    os.makedirs(workdir)
    os.makedirs(home)
    with open(os.path.join(workdir, "schiffe.dat"), "wb") as f:
        f.write(b'"Frachter"\r\n1,2,3,4,5\r\n12\r\n30\r\n')
    before = snapshot(workdir)
    os.chmod(workdir, 0o555)
    try:
        status, _ = run_program(x, display, workdir, home)
    finally:
        os.chmod(workdir, 0o755)
    check(status == 0, "read-only working directory: exit status %r" % status)
    check(snapshot(workdir) == before, "read-only working directory: files changed")


def main():
    if not PROGRAM:
        print(__doc__)
        return 2
    if not shutil.which("Xvfb"):
        print("FAIL: Xvfb is not installed")
        return 1
    xvfb, display = start_xvfb()
    base = tempfile.mkdtemp(prefix="krvx-real-")
    try:
        x = X(display)
        try:
            scenario_clean_start(x, display, base)
            scenario_bad_input(x, display, base)
            scenario_read_only_folder(x, display, base)
        finally:
            x.close()
    finally:
        xvfb.terminate()
        try:
            xvfb.wait(timeout=10)
        except subprocess.TimeoutExpired:
            xvfb.kill()
        shutil.rmtree(base, ignore_errors=True)
    if failures:
        print("%d check(s) failed" % len(failures))
        return 1
    print("all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
