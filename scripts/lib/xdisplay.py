"""A little Xlib through ctypes, for the scripts that drive the real program
under a private Xvfb: the windows on the screen, their titles and types,
closing one as a window manager does, mouse clicks and keys through the XTest
extension, and a window's picture as a PNG."""
import contextlib
import ctypes
import ctypes.util
import os
import signal
import struct
import subprocess
import time
import zlib

c_int, c_uint, c_long, c_ulong, c_void_p = (ctypes.c_int, ctypes.c_uint, ctypes.c_long,
                                            ctypes.c_ulong, ctypes.c_void_p)
ClientMessage, IsViewable, ZPixmap = 33, 2, 2


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


# Windows come and go while they are looked at (the splash screen closes by
# itself), so a request can name a window that no longer exists. Xlib's own
# error handler would end the script on the spot and leave the program
# running; this one lets the request fail and the caller see "nothing".
XErrorHandler = ctypes.CFUNCTYPE(c_int, c_void_p, c_void_p)


@XErrorHandler
def ignore_x_error(_display, _event):
    return 0


def die_with_parent():
    """Runs in each child before it starts: if the script dies, so does the
    child, and no Xvfb or program is left holding its output open."""
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
        lib.XTranslateCoordinates.argtypes = [c_void_p, c_ulong, c_ulong, c_int, c_int,
                                              ctypes.POINTER(c_int), ctypes.POINTER(c_int),
                                              ctypes.POINTER(c_ulong)]
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

    def close(self):
        self.lib.XCloseDisplay(self.dpy)

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

    def window_types(self, window):
        raw, fmt = self.property_bytes(window, "_NET_WM_WINDOW_TYPE")
        if raw is None or fmt != 32:
            return []
        return list((c_long * (len(raw) // ctypes.sizeof(c_long))).from_buffer_copy(raw))

    def is_splash(self, window):
        return self.atom("_NET_WM_WINDOW_TYPE_SPLASH") in self.window_types(window)

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

    def send_delete(self, window):
        """What a window manager sends when the user clicks the close button."""
        event = XEvent()
        event.xclient.type = ClientMessage
        event.xclient.window = window
        event.xclient.message_type = self.atom("WM_PROTOCOLS")
        event.xclient.format = 32
        event.xclient.l[0] = self.atom("WM_DELETE_WINDOW")
        self.lib.XSendEvent(self.dpy, window, 0, 0, ctypes.byref(event))
        self.lib.XSync(self.dpy, 0)

    def geometry(self, window):
        """(left, top, width, height) of the window, its place on the screen."""
        attrs = self.attributes(window)
        if attrs is None:
            return None
        rx, ry, child = c_int(), c_int(), c_ulong()
        self.lib.XTranslateCoordinates(self.dpy, window, self.root, 0, 0, ctypes.byref(rx),
                                       ctypes.byref(ry), ctypes.byref(child))
        return rx.value, ry.value, attrs.width, attrs.height

    def click(self, window, x, y):
        """A left click at (x, y) of the window's client area."""
        left, top, _, _ = self.geometry(window)
        self.tst.XTestFakeMotionEvent(self.dpy, -1, left + x, top + y, 0)
        self.lib.XSync(self.dpy, 0)
        time.sleep(0.1)
        for press in (1, 0):
            self.tst.XTestFakeButtonEvent(self.dpy, 1, press, 0)
            self.lib.XSync(self.dpy, 0)
            time.sleep(0.05)

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


@contextlib.contextmanager
def private_display():
    """A private Xvfb and a connection to it, both ended with the block:
    yields (the connection, the display's name)."""
    xvfb, display = start_xvfb()
    try:
        x = X(display)
        try:
            yield x, display
        finally:
            x.close()
    finally:
        end_process(xvfb)


def end_process(proc, seconds=10):
    """Ends a process that may still run: asked to terminate first, killed
    when it has not ended within the seconds."""
    if proc is None or proc.poll() is not None:
        return
    proc.terminate()
    try:
        proc.wait(timeout=seconds)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


def wait_for(predicate, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.05)
    return predicate()
