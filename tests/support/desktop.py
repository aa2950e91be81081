"""What the tests of the real program share: the program started under a
private Xvfb in a folder of its own, driven through its windows as a user
drives it, and the files it leaves behind. A test is a ProgramTest: its
scenarios share one display and one temporary folder."""
import hashlib
import os
import re
import shutil
import stat
import subprocess
import sys
import tempfile
import time
import unittest

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
sys.path.insert(0, os.path.join(ROOT, "scripts", "lib"))
from xdisplay import X, die_with_parent, end_process, private_display, wait_for  # noqa: E402,F401

SEED = os.path.join(ROOT, "packaging", "seed")
MENU_TITLE = "Korvax Rechner"
MENU_CLIENT_HEIGHT = 174  # 2610 twips: the menu bar sits above the client area
NEW_PLANET = b"Kolonie Nord\r\n 4 \r\n 55 \r\n 9 \r\n"
STAMP = r"(\d{1,2}) (\S+) (\d{1,2}):(\d\d)    "
GERMAN_MONTHS = ["Januar", "Februar", "M\xe4rz", "April", "Mai", "Juni", "Juli", "August",
                 "September", "Oktober", "November", "Dezember"]


def seed_files():
    """The example files of a first start by name, with their bytes."""
    def read(name):
        with open(os.path.join(SEED, name), "rb") as f:
            return f.read()
    return {name: read(name) for name in sorted(os.listdir(SEED)) if name.endswith(".dat")}


def example_folder(path):
    """A new folder holding the example files."""
    os.makedirs(path)
    for name in os.listdir(SEED):
        shutil.copy(os.path.join(SEED, name), path)
    return path


def write(path, content):
    with open(path, "wb") as f:
        f.write(content)


def snapshot(folder):
    """Every entry below folder: a file by its bytes' hash and its bytes, a
    link by its target, a folder or a FIFO as such."""
    entries = {}
    for dirpath, dirnames, filenames in os.walk(folder):
        for name in dirnames + filenames:
            path = os.path.join(dirpath, name)
            mode = os.lstat(path).st_mode
            if stat.S_ISLNK(mode):
                entry = "link to " + os.readlink(path)
            elif stat.S_ISDIR(mode):
                entry = "folder"
            elif stat.S_ISFIFO(mode):
                entry = "fifo"
            else:
                with open(path, "rb") as f:
                    data = f.read()
                entry = (hashlib.sha256(data).hexdigest(), data)
            entries[os.path.relpath(path, folder)] = entry
    return entries


def runtime_dir(home):
    path = os.path.join(home, "runtime")
    os.makedirs(path, mode=0o700, exist_ok=True)
    os.chmod(path, 0o700)
    return path


def program_env(display, home, env_extra=None):
    """What the program finds when a user starts it on the display (None:
    without one): its own HOME and runtime folder, the C locale, the
    sanitizers' options of the test run; then env_extra, where None unsets."""
    env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": home, "LANG": "C"}
    if display is not None:
        env.update({"XDG_RUNTIME_DIR": runtime_dir(home), "DISPLAY": display, "QT_QPA_PLATFORM": "xcb"})
    env.update({k: v for k, v in os.environ.items() if k in ("ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS")})
    env.update(env_extra or {})
    return {k: v for k, v in env.items() if v is not None}


def read_log(workdir):
    with open(os.path.join(workdir, "KRVXR.debug"), "rb") as f:
        return f.read().decode("cp1252")


def menus(x):
    return [w for w in x.viewable_windows() if x.title(w) == MENU_TITLE]


class ProgramTest(unittest.TestCase):
    """The command line's arguments after the test's name (the program first)
    are in args; with_display: the scenarios get a private Xvfb (x, display)."""
    args = []
    with_display = True

    @classmethod
    def setUpClass(cls):
        cls.program = cls.args[0]
        cls.base = tempfile.mkdtemp(prefix="krvx-test-")
        cls.addClassCleanup(shutil.rmtree, cls.base, ignore_errors=True)
        if cls.with_display:
            cls.x, cls.display = cls.enterClassContext(private_display(getattr(cls, "connection", X)))

    def folder(self, name):
        path = os.path.join(self.base, name)
        os.makedirs(path)
        return path

    def check_trace(self, text, runs, where):
        """The debug log of that many runs that did nothing but start and end."""
        line = STAMP + r"(.*)\r\n"
        lines = re.findall(line, text)
        self.assertIsNotNone(re.fullmatch("(" + line + ")*", text),
                             where + ": the debug log has lines outside the time-stamp format: %r" % text)
        self.assertEqual([m[4] for m in lines], ["", "Begin Debugging", "End Debugging"] * runs, where)
        for day, month, hour, minute, _ in lines:
            self.assertTrue(1 <= int(day) <= 31 and month in GERMAN_MONTHS and 0 <= int(hour) <= 23
                            and not (len(hour) == 2 and hour.startswith("0")) and 0 <= int(minute) <= 59,
                            where + ": bad time stamp %s %s %s:%s" % (day, month, hour, minute))

    def check_pairs(self, appended, where):
        """A run's part of the debug log: Begin, Start/Ende pairs nested as
        the routines ran, End."""
        messages = [line.split(b"    ", 1)[1].decode("cp1252") if b"    " in line else None
                    for line in appended.split(b"\r\n")[:-1]]
        self.assertTrue(messages[:2] == ["", "Begin Debugging"] and messages[-1:] == ["End Debugging"],
                        where + ": the log does not begin and end as a run does: %r" % messages)
        open_routines = []
        for message in messages[2:-1]:
            routine = (message or "").split(": ", 1)[-1].removesuffix("()")
            if message and message.startswith("Start: "):
                open_routines.append(routine)
            else:
                self.assertTrue(message and message.startswith("Ende: ") and open_routines
                                and open_routines.pop() == routine,
                                where + ": log line %r does not end the routine last started" % message)
        self.assertEqual(open_routines, [], where + ": routines without an end line")

    def start(self, workdir, home, command=None, env_extra=None):
        """The program (or the command line given) started in workdir: a Run."""
        return Run(self, workdir, home, command or [self.program], env_extra)

    def run_program(self, workdir, home, before_close=None, command=None):
        """Starts the program in workdir, waits for the menu, closes it:
        (exit status, whether the splash screen was seen)."""
        with self.start(workdir, home, command) as run:
            window = run.wait_window(MENU_TITLE, seconds=120)
            self.assertTrue(window, "the main menu did not appear in " + workdir)
            splash = lambda: [w for w in self.x.viewable_windows() if self.x.is_splash(w)]  # noqa: E731
            splash_seen = bool(wait_for(splash, 5))
            if before_close:
                before_close(splash)
            self.x.send_delete(window)
            status = run.ended(180)
            self.assertIsNotNone(status, "the program did not end after its menu was closed")
            return status, splash_seen


def main(module="__main__"):
    """Runs the tests of the calling script (or of module) on the program its command line names."""
    if len(sys.argv) < 2:
        print(sys.modules["__main__"].__doc__)
        return 2
    ProgramTest.args = [os.path.abspath(sys.argv[1])] + sys.argv[2:]
    result = unittest.main(module=module, argv=sys.argv[:1], verbosity=2, exit=False).result
    return 0 if result.wasSuccessful() else 1


class Run:
    """One run of the program, driven through its windows."""

    def __init__(self, test, workdir, home, command, env_extra=None):
        self.test, self.x, self.workdir = test, test.x, workdir
        self.boxes = []
        env = program_env(test.display, home, env_extra)
        others = self.x.viewable_windows()  # of the programs already running: not this run's
        self.proc = subprocess.Popen(command, cwd=workdir, env=env, stdin=subprocess.DEVNULL,
                                     preexec_fn=die_with_parent)
        # window id -> title of the program's own windows seen so far
        self.known = {w: "another program's" for w in others}

    def __enter__(self):
        return self

    def __exit__(self, *_):
        end_process(self.proc)

    def windows(self):
        return [(w, self.x.title(w)) for w in self.x.viewable_windows() if not self.x.is_splash(w)]

    def close_boxes(self):
        """Message boxes the program shows on its own (damaged files): each
        is recorded and closed as the user would close it."""
        for w, title in self.windows():
            if w not in self.known and self.known:
                self.boxes.append(title)
                self.x.send_delete(w)
        return False

    def close_start_box(self, where):
        """The message box the program shows before its menu, closed as the user closes it."""
        dialog = self.x.atom("_NET_WM_WINDOW_TYPE_DIALOG")
        box = wait_for(lambda: next((w for w, t in self.windows() if w not in self.known and t == MENU_TITLE
                                     and dialog in self.x.window_types(w)), None), 60)
        self.test.assertTrue(box, where + ": no message box came before the menu")
        self.x.send_delete(box)
        self.test.assertTrue(wait_for(lambda: box not in self.x.viewable_windows(), 10), where + ": the box stays")

    def wait_window(self, title, size=None, seconds=30):
        """The program's new window of that title (and size); message boxes
        that come first (a load reporting a damaged file) are closed so that
        the load can go on."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            for w, t in self.windows():
                if w in self.known:
                    continue
                if t == title:
                    if size is None or tuple(self.x.geometry(w)[2:]) == size:
                        self.known[w] = title
                        return w
                elif self.known:
                    self.boxes.append(t)
                    self.x.send_delete(w)
            time.sleep(0.05)
        return None

    def menu(self, seconds=120):
        """The main menu, once the splash screen has gone (by itself after 2.5 seconds).
        Generous waits: a sanitizer build on a busy machine reads a huge file for many seconds."""
        menu = self.wait_window(MENU_TITLE, seconds=seconds)
        self.test.assertTrue(menu, self.workdir + ": the main menu did not appear")
        wait_for(lambda: not [w for w in self.x.viewable_windows() if self.x.is_splash(w)], 30)
        return menu

    def open_from(self, window, px, py, title, size=None):
        """A click that comes before the window takes input is given again;
        clicking twice only raises what the first click opened."""
        for _ in range(3):
            self.x.click(window, px, py)
            w = self.wait_window(title, size, 15)
            if w:
                return w
        self.test.fail("%s: %s did not open" % (self.workdir, title))

    def close(self, window, what):
        self.x.send_delete(window)
        self.test.assertTrue(wait_for(lambda: window not in self.x.viewable_windows() or self.close_boxes(), 30),
                             "%s: %s did not close" % (self.workdir, what))
        self.known.pop(window, None)

    def end(self, menu):
        """Closes the menu; the exit status, or None when the program stays."""
        self.x.send_delete(menu)
        deadline = time.monotonic() + 180
        while time.monotonic() < deadline:
            if self.proc.poll() is not None:
                return self.proc.returncode
            self.close_boxes()
            time.sleep(0.05)
        return None

    def ended(self, seconds=120):
        """The exit status once the program has ended; None when it was killed after the seconds."""
        try:
            return self.proc.wait(timeout=seconds)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
            return None

    def bar(self, menu):
        return self.x.geometry(menu)[3] - MENU_CLIENT_HEIGHT

    def drive(self):
        """Opens and closes every window through the menu (its buttons by
        their places in twips / 15); returns the menu."""
        menu = self.menu()
        bar = self.bar(menu)
        for px, py, title in ((80, 36, "Tauschrechner"), (208, 36, "Produktionszeiten"),
                              (80, 84, "Schiffspreise")):
            self.close(self.open_from(menu, px, bar + py, title), title)
        zeit = self.open_from(menu, 208, bar + 84, "Reisezeit")
        self.close(self.open_from(zeit, 72, 96, "Neuer Planet"), "Neuer Planet")
        self.close(zeit, "Reisezeit")
        # "Config" in the menu bar, then "Truppen editieren" in the rate editor.
        rates = self.open_from(menu, 18, bar // 2, "Konfiguration", (331, 234))
        self.close(self.open_from(rates, 256, 212, "Konfiguration", (420, 161)), "the ship catalogue editor")
        self.close(rates, "the rate editor")
        return menu

    def add_planet(self, menu):
        """Reisezeit, Neuer Planet, "Kolonie Nord" at 4:55:9, Hinzufügen."""
        zeit = self.open_from(menu, 208, self.bar(menu) + 84, "Reisezeit")
        dialog = self.open_from(zeit, 72, 96, "Neuer Planet")
        self.x.click(dialog, 50, 44)  # into the name box
        # Keys typed while the new window is not yet the X server's focus go to
        # the window before it, as they would for a user that fast.
        self.test.assertTrue(wait_for(lambda: self.x.has_focus(dialog), 15), "Neuer Planet did not take the keyboard")
        # A program just started under a sanitizer now and then drops the very
        # first key it is sent; the name typed again over itself is whole.
        self.x.type_text("Kolonie Nord")
        self.x.key("Home")
        self.x.key("End", "Shift_L")
        self.x.type_text("Kolonie Nord")
        for value in ("4", "55", "9"):
            self.x.key("Tab")
            self.x.type_text(value)
        self.x.key("Return")
        self.test.assertTrue(wait_for(lambda: dialog not in self.x.viewable_windows(), 15),
                             "Neuer Planet did not close")

    def planets(self):
        with open(os.path.join(self.workdir, "planeten.dat"), "rb") as f:
            return f.read()
