#!/usr/bin/env python3
"""Takes a picture of every window of the real program: starts it under a
private Xvfb in a temporary working directory holding the example files, opens
each window as a user does (mouse clicks and keys through the XTest extension)
and saves each window's picture as a PNG.

usage: screenshots.py PATH/TO/korvax-rechner SEED_FOLDER OUTPUT_FOLDER

With QT_SCALE_FACTOR set (e.g. 2) the program draws for a high-density
screen and the pictures are that much larger.
"""
import ctypes
import ctypes.util
import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import zlib

c_int, c_uint, c_long, c_ulong, c_void_p = (ctypes.c_int, ctypes.c_uint, ctypes.c_long,
                                            ctypes.c_ulong, ctypes.c_void_p)
ClientMessage, IsViewable, ZPixmap = 33, 2, 2
SCALE = 15  # twips per pixel


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


class XImage(ctypes.Structure):
    _fields_ = [("width", c_int), ("height", c_int), ("xoffset", c_int), ("format", c_int),
                ("data", c_void_p), ("byte_order", c_int), ("bitmap_unit", c_int),
                ("bitmap_bit_order", c_int), ("bitmap_pad", c_int), ("depth", c_int),
                ("bytes_per_line", c_int), ("bits_per_pixel", c_int)]


XErrorHandler = ctypes.CFUNCTYPE(c_int, c_void_p, c_void_p)


@XErrorHandler
def ignore_x_error(_display, _event):
    return 0


def die_with_parent():
    libc = ctypes.CDLL(ctypes.util.find_library("c") or "libc.so.6", use_errno=True)
    libc.prctl(1, signal.SIGKILL, 0, 0, 0)  # PR_SET_PDEATHSIG


class X:
    def __init__(self, display_name):
        lib = self.lib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        self.tst = ctypes.CDLL(ctypes.util.find_library("Xtst") or "libXtst.so.6")
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
        lib.XGetImage.restype = ctypes.POINTER(XImage)
        lib.XGetImage.argtypes = [c_void_p, c_ulong, c_int, c_int, c_uint, c_uint, c_ulong, c_int]
        lib.XStringToKeysym.restype = c_ulong
        lib.XStringToKeysym.argtypes = [ctypes.c_char_p]
        lib.XKeysymToKeycode.restype = ctypes.c_ubyte
        lib.XKeysymToKeycode.argtypes = [c_void_p, c_ulong]
        lib.XFree.argtypes = [c_void_p]
        lib.XSync.argtypes = [c_void_p, c_int]
        lib.XCloseDisplay.argtypes = [c_void_p]
        self.tst.XTestFakeMotionEvent.argtypes = [c_void_p, c_int, c_int, c_int, c_ulong]
        self.tst.XTestFakeButtonEvent.argtypes = [c_void_p, c_uint, c_int, c_ulong]
        self.tst.XTestFakeKeyEvent.argtypes = [c_void_p, c_uint, c_int, c_ulong]
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

    def property_bytes(self, window, name):
        actual_type, actual_format = c_ulong(), c_int()
        count, after, data = c_ulong(), c_ulong(), ctypes.c_void_p()
        if self.lib.XGetWindowProperty(self.dpy, window, self.atom(name), 0, 1024, 0, 0,
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

    def is_splash(self, window):
        raw, fmt = self.property_bytes(window, "_NET_WM_WINDOW_TYPE")
        if raw is None or fmt != 32:
            return False
        types = list((c_long * (len(raw) // ctypes.sizeof(c_long))).from_buffer_copy(raw))
        return self.atom("_NET_WM_WINDOW_TYPE_SPLASH") in types

    def attributes(self, window):
        attrs = XWindowAttributes()
        if not self.lib.XGetWindowAttributes(self.dpy, window, ctypes.byref(attrs)):
            return None
        return attrs

    def viewable_windows(self):
        root_ret, parent_ret = c_ulong(), c_ulong()
        children, n = ctypes.POINTER(c_ulong)(), c_uint()
        self.lib.XSync(self.dpy, 0)
        if not self.lib.XQueryTree(self.dpy, self.root, ctypes.byref(root_ret),
                                   ctypes.byref(parent_ret), ctypes.byref(children), ctypes.byref(n)):
            return []
        result = []
        for i in range(n.value):
            attrs = self.attributes(children[i])
            if attrs and attrs.map_state == IsViewable:
                result.append(children[i])
        if children:
            self.lib.XFree(children)
        return result

    def close_window(self, window):
        """What a window manager sends when the user clicks the close button."""
        event = XEvent()
        event.xclient.type = ClientMessage
        event.xclient.window = window
        event.xclient.message_type = self.atom("WM_PROTOCOLS")
        event.xclient.format = 32
        event.xclient.l[0] = self.atom("WM_DELETE_WINDOW")
        self.lib.XSendEvent(self.dpy, window, 0, 0, ctypes.byref(event))
        self.lib.XSync(self.dpy, 0)

    def click(self, window, x, y):
        """A left click at (x, y) of the window's client area."""
        attrs = self.attributes(window)
        self.tst.XTestFakeMotionEvent(self.dpy, -1, attrs.x + x, attrs.y + y, 0)
        self.lib.XSync(self.dpy, 0)
        time.sleep(0.1)
        self.tst.XTestFakeButtonEvent(self.dpy, 1, 1, 0)
        self.tst.XTestFakeButtonEvent(self.dpy, 1, 0, 0)
        self.lib.XSync(self.dpy, 0)

    def keycode(self, name):
        return self.lib.XKeysymToKeycode(self.dpy, self.lib.XStringToKeysym(name.encode()))

    def key(self, name, modifier=None):
        """One key press and release, with a modifier key ("Shift_L",
        "Control_L") held down around it."""
        code = self.keycode(name)
        if modifier:
            self.tst.XTestFakeKeyEvent(self.dpy, self.keycode(modifier), 1, 0)
        self.tst.XTestFakeKeyEvent(self.dpy, code, 1, 0)
        self.tst.XTestFakeKeyEvent(self.dpy, code, 0, 0)
        if modifier:
            self.tst.XTestFakeKeyEvent(self.dpy, self.keycode(modifier), 0, 0)
        self.lib.XSync(self.dpy, 0)
        time.sleep(0.02)

    def type_text(self, text):
        names = {" ": "space", ",": "comma", ".": "period", ":": "colon"}
        for ch in text:
            self.key(names.get(ch, ch.lower()), "Shift_L" if ch.isupper() or ch == ":" else None)

    def type_into(self, window, place, text, combo=False):
        """Clicks into a box given in twips, selects what it holds and types
        the text over it. A combo box's field is emptied with Backspace
        instead: its type-ahead answers every released key from the space
        on, Ctrl+A too, and would take the selection away again."""
        self.click(window, *centre(place))
        if combo:
            self.key("End")
            for _ in range(40):
                self.key("BackSpace")
        else:
            self.key("a", "Control_L")
        self.type_text(text)

    def save_png(self, window, path):
        attrs = self.attributes(window)
        image = self.lib.XGetImage(self.dpy, window, 0, 0, attrs.width, attrs.height, 0xFFFFFFFF, ZPixmap)
        if not image:
            raise RuntimeError("cannot read the picture of window %#x" % window)
        img = image.contents
        if img.bits_per_pixel != 32:
            raise RuntimeError("unexpected pixel format: %d bits" % img.bits_per_pixel)
        raw = ctypes.string_at(img.data, img.bytes_per_line * img.height)
        rows = []
        for y in range(img.height):
            line = raw[y * img.bytes_per_line: y * img.bytes_per_line + 4 * img.width]
            rgb = bytearray(3 * img.width)
            rgb[0::3], rgb[1::3], rgb[2::3] = line[2::4], line[1::4], line[0::4]
            rows.append(b"\x00" + bytes(rgb))

        def chunk(kind, data):
            return (struct.pack(">I", len(data)) + kind + data
                    + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n")
            f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", img.width, img.height, 8, 2, 0, 0, 0)))
            f.write(chunk(b"IDAT", zlib.compress(b"".join(rows), 9)))
            f.write(chunk(b"IEND", b""))
        print("saved", path, "(%dx%d)" % (img.width, img.height), flush=True)


def wait_for(predicate, seconds, what):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.05)
    raise RuntimeError("timed out waiting for " + what)


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


class Session:
    def __init__(self, x, out):
        self.x, self.out = x, out

    def new_window(self, known, title, what):
        """Waits for a window of that title that is not among the known ones,
        then a moment longer, until it has painted itself."""
        def found():
            for w in self.x.viewable_windows():
                if w not in known and self.x.title(w) == title and not self.x.is_splash(w):
                    return w
            return None
        window = wait_for(found, 20, what)
        time.sleep(0.8)
        return window

    def shoot(self, window, name, known):
        """Saves the window's picture; a window that appeared meanwhile (a
        message box) would hide part of it and is a fault of the run."""
        time.sleep(0.3)
        extra = [w for w in self.x.viewable_windows() if w not in known and w != window]
        if extra:
            self.x.save_png(extra[0], os.path.join(tempfile.gettempdir(), "krvx-unexpected.png"))
            raise RuntimeError("unexpected window %r over %s" % (self.x.title(extra[0]), name))
        self.x.save_png(window, os.path.join(self.out, name))

    def close(self, window):
        self.x.close_window(window)
        wait_for(lambda: window not in self.x.viewable_windows(), 10, "window %#x to close" % window)


# QT_SCALE_FACTOR in this script's environment is handed to the program
# (pictures of a high-density screen); clicks follow the scale.
ZOOM = float(os.environ.get("QT_SCALE_FACTOR", "1"))


def px(twips):
    return round((twips + 7) // SCALE * ZOOM)


def centre(rect):
    """The middle of a control given in twips (left, top, width, height)."""
    left, top, width, height = rect
    return px(left + width // 2), px(top + height // 2)


def run(program, seed, out):
    xvfb, display = start_xvfb()
    base = tempfile.mkdtemp(prefix="krvx-shots-")
    proc = None
    try:
        work, home = os.path.join(base, "work"), os.path.join(base, "home")
        os.makedirs(work)
        os.makedirs(os.path.join(home, "runtime"), mode=0o700)
        for name in sorted(os.listdir(seed)):
            shutil.copy(os.path.join(seed, name), work)
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": home,
               "XDG_RUNTIME_DIR": os.path.join(home, "runtime"), "DISPLAY": display,
               "QT_QPA_PLATFORM": "xcb", "LANG": "C.UTF-8"}
        if ZOOM != 1:
            env["QT_SCALE_FACTOR"] = os.environ["QT_SCALE_FACTOR"]
        x = X(display)
        s = Session(x, out)
        proc = subprocess.Popen([program], cwd=work, env=env, stdin=subprocess.DEVNULL,
                                preexec_fn=die_with_parent)

        # The splash screen over the menu, then the menu once the splash has gone.
        splash = wait_for(lambda: next((w for w in x.viewable_windows() if x.is_splash(w)), None), 30,
                          "the splash screen")
        time.sleep(0.8)
        s.shoot(splash, "splash.png", [w for w in x.viewable_windows()])
        wait_for(lambda: splash not in x.viewable_windows(), 15, "the splash screen to close")
        menu = s.new_window([], "Korvax Rechner", "the main menu")
        s.shoot(menu, "menu.png", [])
        bar = x.attributes(menu).height - px(2610)  # the menu bar above the client area

        def menu_button(rect):
            cx, cy = centre(rect)
            x.click(menu, cx, bar + cy)

        # Reisezeit, and from it "Neuer Planet".
        menu_button((2280, 960, 1695, 615))
        zeit = s.new_window([menu], "Reisezeit", "the flight time window")
        # From Eisrand to Nordmine at the speed of the chosen ship,
        # starting at half past six in the evening.
        x.type_into(zeit, (840, 240, 1215, 315), "Eisrand", combo=True)
        x.click(zeit, *centre((120, 1920, 1935, 315)))
        x.type_into(zeit, (2280, 960, 1095, 285), "18:30")
        x.click(zeit, *centre((2280, 240, 1095, 285)))
        x.click(zeit, *centre((3840, 960, 1095, 285)))
        s.shoot(zeit, "reisezeit.png", [menu])
        x.click(zeit, *centre((120, 1200, 1935, 495)))
        planet = s.new_window([menu, zeit], "Neuer Planet", "the planet dialog")
        x.type_text("Westmond")
        for value in ("2", "117", "8"):
            x.key("Tab")
            x.type_text(value)
        s.shoot(planet, "neuer-planet.png", [menu, zeit])
        s.close(planet)
        s.close(zeit)

        # Schiffspreise with one order line: the ship field completes the typed
        # beginning of a name from the catalogue.
        menu_button((360, 960, 1695, 615))
        preise = s.new_window([menu], "Schiffspreise", "the ship cost window")
        for beginning, count in (("Gro", "12"), ("Kl", "40")):
            x.type_into(preise, (240, 480, 2055, 315), beginning, combo=True)
            x.type_into(preise, (3480, 480, 735, 285), count)
            x.click(preise, *centre((240, 960, 2055, 375)))
        s.shoot(preise, "schiffspreise.png", [menu])
        s.close(preise)

        menu_button((2280, 240, 1695, 615))
        prod = s.new_window([menu], "Produktionszeiten", "the production time window")
        # The hourly production, then the target amounts (the ship order's totals).
        x.type_into(prod, (1440, 435, 1215, 285), "1200")
        for value in ("900", "400", "250", "600", "152000", "114000", "6000", "0", "15200"):
            x.key("Tab")
            x.type_text(value)
        x.click(prod, *centre((1440, 435, 1215, 285)))  # leaving the last box computes its row
        s.shoot(prod, "produktionszeiten.png", [menu])
        s.close(prod)

        menu_button((360, 240, 1695, 615))
        tausch = s.new_window([menu], "Tauschrechner", "the exchange window")
        x.type_into(tausch, (1680, 1560, 1215, 285), "25000")
        for value in ("12000", "3000"):
            x.key("Tab")
            x.type_text(value)
        s.shoot(tausch, "tausch-rechner.png", [menu])
        s.close(tausch)

        # "Config" in the menu bar, and from there "Truppen editieren".
        x.click(menu, 20, bar // 2)
        config = s.new_window([menu], "Konfiguration", "the rate editor")
        s.shoot(config, "config.png", [menu])
        x.click(config, *centre((3000, 3000, 1695, 375)))
        truppen = s.new_window([menu, config], "Konfiguration", "the ship catalogue editor")
        s.shoot(truppen, "truppen-editieren.png", [menu, config])
        s.close(truppen)
        if config in x.viewable_windows():
            s.close(config)

        x.close_window(menu)
        status = proc.wait(timeout=30)
        if status != 0:
            raise RuntimeError("the program ended with status %d" % status)
        x.lib.XCloseDisplay(x.dpy)
    finally:
        if proc and proc.poll() is None:
            proc.kill()
            proc.wait()
        xvfb.terminate()
        try:
            xvfb.wait(timeout=10)
        except subprocess.TimeoutExpired:
            xvfb.kill()
        shutil.rmtree(base, ignore_errors=True)


def main():
    if len(sys.argv) != 4:
        print(__doc__)
        return 2
    program, seed, out = (os.path.abspath(a) for a in sys.argv[1:])
    os.makedirs(out, exist_ok=True)
    try:
        run(program, seed, out)
    except RuntimeError as error:
        print("screenshots: " + str(error), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
