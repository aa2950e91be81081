"""The real program's windows on a private Xvfb, through python3-xlib: the
windows on the screen, their titles and types, closing one as a window manager
does, mouse clicks and keys through the XTest extension, and a window's picture
as a PNG (python3-pil)."""
import contextlib
import ctypes
import os
import signal
import subprocess
import time

from PIL import Image
from Xlib import X as XC, XK, display, error
from Xlib.ext import xtest
from Xlib.protocol import event


def die_with_parent():
    """Runs in each child before it starts: if the script dies, so does the
    child, and no Xvfb or program is left holding its output open."""
    ctypes.CDLL("libc.so.6").prctl(1, signal.SIGKILL, 0, 0, 0)  # PR_SET_PDEATHSIG


class X:
    """A connection to the display. Windows are their ids; windows come and go
    while they are looked at (the splash screen closes by itself), so a request
    that names one that has gone answers "nothing" instead of failing."""

    def __init__(self, display_name):
        self.name = display_name
        self.dpy = display.Display(display_name)
        self.dpy.set_error_handler(lambda *_: None)
        self.root = self.dpy.screen().root

    def atom(self, name):
        return self.dpy.intern_atom(name)

    def close(self):
        self.dpy.close()

    def window(self, wid):
        return self.dpy.create_resource_object("window", wid)

    def property(self, window, name):
        """The property's value (bytes for text, a list of numbers else), or None."""
        try:
            prop = self.window(window).get_full_property(self.atom(name), XC.AnyPropertyType)
        except error.XError:
            return None
        return prop.value if prop else None

    def title(self, window):
        raw = self.property(window, "_NET_WM_NAME") or self.property(window, "WM_NAME")
        return raw.decode("utf-8", "replace") if isinstance(raw, bytes) else ""

    def window_types(self, window):
        return list(self.property(window, "_NET_WM_WINDOW_TYPE") or [])

    def is_splash(self, window):
        return self.atom("_NET_WM_WINDOW_TYPE_SPLASH") in self.window_types(window)

    def viewable_windows(self):
        """The top-level windows on the screen, the one in front last."""
        self.dpy.sync()
        result = []
        for child in self.root.query_tree().children:
            try:
                if child.get_attributes().map_state == XC.IsViewable:
                    result.append(child.id)
            except error.XError:
                pass
        return result

    def send_delete(self, window):
        """What a window manager sends when the user clicks the close button."""
        message = event.ClientMessage(window=window, client_type=self.atom("WM_PROTOCOLS"),
                                      data=(32, [self.atom("WM_DELETE_WINDOW"), XC.CurrentTime, 0, 0, 0]))
        self.window(window).send_event(message)
        self.dpy.sync()

    def geometry(self, window):
        """(left, top, width, height) of the window, its place on the screen."""
        try:
            size = self.window(window).get_geometry()
            place = self.root.translate_coords(self.window(window), 0, 0)
        except error.XError:
            return None
        return place.x, place.y, size.width, size.height

    def click(self, window, x, y, button=1):
        """A click (left unless told) at (x, y) of the window's client area."""
        left, top, _, _ = self.geometry(window)
        xtest.fake_input(self.dpy, XC.MotionNotify, x=left + x, y=top + y)
        self.dpy.sync()
        time.sleep(0.1)
        for kind in (XC.ButtonPress, XC.ButtonRelease):
            xtest.fake_input(self.dpy, kind, button)
            self.dpy.sync()
            time.sleep(0.05)

    def keycode(self, name):
        return self.dpy.keysym_to_keycode(XK.string_to_keysym(name))

    def key(self, name, modifier=None):
        """One key press and release, with a modifier key ("Shift_L",
        "Control_L") held down around it."""
        keys = [self.keycode(modifier)] if modifier else []
        keys.append(self.keycode(name))
        for code in keys:
            xtest.fake_input(self.dpy, XC.KeyPress, code)
        for code in reversed(keys):
            xtest.fake_input(self.dpy, XC.KeyRelease, code)
        self.dpy.sync()
        time.sleep(0.02)

    def type_text(self, text):
        names = {" ": "space", ",": "comma", ".": "period", ":": "colon"}
        for ch in text:
            self.key(names.get(ch, ch.lower()), "Shift_L" if ch.isupper() or ch == ":" else None)

    def clipboard(self, text=None):
        """The clipboard's text (xclip); with text, that is put there instead."""
        command = ["xclip", "-display", self.name, "-selection", "clipboard"]
        if text is not None:
            subprocess.run(command + ["-i"], input=text, text=True, timeout=10)
            return text
        done = subprocess.run(command + ["-o"], capture_output=True, text=True, errors="replace", timeout=10)
        return done.stdout

    def has_focus(self, window):
        focus = self.dpy.get_input_focus().focus
        return getattr(focus, "id", focus) == window

    def picture(self, window, left, top, width, height):
        """The pixels of a rectangle of the window, 4 bytes each (blue, green, red, unused)."""
        try:
            return self.window(window).get_image(left, top, width, height, XC.ZPixmap, 0xFFFFFFFF).data
        except error.XError:
            return None

    def save_png(self, window, path):
        width, height = self.geometry(window)[2:]
        pixels = self.picture(window, 0, 0, width, height)
        if pixels is None:
            raise RuntimeError("cannot read the picture of window %#x" % window)
        Image.frombytes("RGB", (width, height), pixels, "raw", "BGRX").save(path, compress_level=9)
        print("saved", path, "(%dx%d)" % (width, height), flush=True)


def start_xvfb():
    """A private Xvfb on a free display number, which it names itself: (the
    process, the display's name)."""
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
                             "-nolisten", "tcp", "-noreset"],
                            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                            preexec_fn=die_with_parent)
    os.close(write_end)
    with os.fdopen(read_end, "rb") as numbers:
        number = numbers.readline().strip()
    if not number:
        raise RuntimeError("Xvfb did not start")
    return xvfb, ":" + number.decode()


@contextlib.contextmanager
def private_display(connection=X):
    """A private Xvfb and a connection to it, both ended with the block:
    yields (the connection, the display's name)."""
    xvfb, name = start_xvfb()
    try:
        x = connection(name)
        try:
            yield x, name
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
