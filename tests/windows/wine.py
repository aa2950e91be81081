"""Wine for the tests of the Windows program: a fresh prefix in a temporary
folder, the program's windows on a private Xvfb (driven by the scaffolding of
the Linux tests in tests/app), every Wine call under timeout."""
import glob
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import desktop  # noqa: E402

WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"
TEST = None  # the running test


HIDDEN = 0x2  # FILE_ATTRIBUTE_HIDDEN


def dos_attributes(path):
    """The file's Windows attributes, which Wine keeps in its extended
    attribute user.DOSATTRIB (0 without one)."""
    try:
        return int(os.getxattr(path, "user.DOSATTRIB").split(b"\0")[0], 16)
    except OSError:
        return 0


def set_dos_attributes(path, attributes):
    os.setxattr(path, "user.DOSATTRIB", b"0x%x" % attributes)


def check(condition, message):
    """The running test's check; the condition, when it holds."""
    TEST.assertTrue(condition, message)
    return condition


class WineX(desktop.X):
    """The X connection, with a Wine window's place and size those of its
    client area, as the Linux tests click and measure them. Without a window
    manager (Managed=N) Wine draws the caption and the frame into the X
    window itself, as its Motif hints describe them."""
    FIXED_BORDER, SIZING_BORDER, CAPTION = 3, 4, 19  # Wine's frames in a fresh prefix
    TITLE, RESIZE_HANDLE = 0x8, 0x4  # the Motif hints' decorations

    def decorations(self, window):
        hints = self.property(window, "_MOTIF_WM_HINTS")
        if not hints or len(hints) < 3:
            return None
        return hints[2] if hints[0] & 2 else None

    def window_types(self, window):
        """Wine calls every window normal: the program's only window without
        any frame is its splash screen."""
        types = super().window_types(window)
        return types + [self.atom("_NET_WM_WINDOW_TYPE_SPLASH")] if self.decorations(window) == 0 else types

    def geometry(self, window):
        whole = super().geometry(window)
        decorations = self.decorations(window)
        if whole is None or not decorations:
            return whole
        left, top, width, height = whole
        side = self.SIZING_BORDER if decorations & self.RESIZE_HANDLE else self.FIXED_BORDER
        caption = self.CAPTION if decorations & self.TITLE else 0
        return left + side, top + side + caption, width - 2 * side, height - 2 * side - caption

    def picture(self, window, left, top, width, height):
        """The pixels of a rectangle of the window's client area."""
        place, whole = self.geometry(window), super().geometry(window)
        return super().picture(window, place[0] - whole[0] + left, place[1] - whole[1] + top, width, height)


def private_display():
    return desktop.private_display(WineX)


class Prefix:
    """A fresh Wine prefix below base, its wineserver ended with the block."""

    def __init__(self, base, display):
        self.home = os.path.join(base, "home")
        self.path = os.path.join(base, "prefix")
        os.makedirs(self.home, exist_ok=True)
        self.env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": self.home, "LANG": "C.UTF-8",
                    "DISPLAY": display, "WINEPREFIX": self.path, "WINEDEBUG": "-all",
                    # No offer to install Mono or Gecko (a box that waits for ever), no
                    # menu entries written into the home folder.
                    "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d"}
        self.wine(["wineboot", "--init"], seconds=300)
        self.wait()
        # Windows that no window manager manages: else each waits 2 s for one.
        self.wine(["reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/d", "N", "/f"])
        # Wine's own fonts (fonts-wine), for what Wine draws itself: the
        # caption's buttons, its boxes. The program brings its own.
        fonts = os.path.join(self.path, "drive_c", "windows", "Fonts")
        for font in glob.glob("/usr/share/wine/fonts/*.ttf"):
            shutil.copy(font, fonts)

    def __enter__(self):
        return self

    def __exit__(self, *_):
        subprocess.run(["timeout", "60", WINESERVER, "-k"], env=self.env, stderr=subprocess.DEVNULL)
        self.wait()

    def command(self, args, seconds=120):
        """A command line that runs args under Wine, ended after the seconds."""
        return ["timeout", str(seconds), WINE] + list(args)

    def wine(self, args, seconds=120, cwd=None):
        """Runs args under Wine to their end: the completed process, its
        output as text."""
        return subprocess.run(self.command(args, seconds), env=self.env, cwd=cwd, stdin=subprocess.DEVNULL,
                              capture_output=True, text=True, errors="replace")

    def wait(self, seconds=120):
        """Waits until every program in the prefix has ended."""
        subprocess.run(["timeout", str(seconds), WINESERVER, "-w"], env=self.env)

    def user_folder(self, *parts):
        """A folder of the Windows user's profile, as a path on this machine."""
        users = os.path.join(self.path, "drive_c", "users")
        name = next(u for u in sorted(os.listdir(users)) if u != "Public")
        return os.path.join(users, name, *parts)

    def reg_value(self, key, name):
        """The registry value's data as text, or None when there is none."""
        done = self.wine(["reg", "query", key, "/v", name])
        for line in done.stdout.splitlines():
            fields = line.split(None, 2)
            if done.returncode == 0 and len(fields) >= 2 and fields[0] == name and fields[1].startswith("REG_"):
                return fields[2] if len(fields) > 2 else ""
        return None


def run(x, display, prefix, exe, workdir, args=()):
    """The program (exe) started under Wine in workdir, to be driven as on
    Linux: run.drive() opens every window and returns the menu."""
    return desktop.Run(TEST, workdir, prefix.home, prefix.command([exe] + list(args), 600), env_extra=prefix.env)


class UnderWine(desktop.ProgramTest):
    """The scenario(x, display, prefix, base, *args, **options) in a fresh
    prefix on a private Xvfb, args[0] the program or installer."""
    connection = WineX

    def test_under_wine(self):
        global TEST
        TEST = self
        for tool in (WINE, WINESERVER):
            check(shutil.which(tool), "%s is not installed" % tool)
        with Prefix(self.base, self.display) as prefix:
            self.scenario(self.x, self.display, prefix, self.base, *self.args, **self.options)


def main(doc, scenario, args, **options):
    if len(args) < 2 or not os.path.isfile(args[0]):
        print(doc)
        return 2
    UnderWine.scenario, UnderWine.options = staticmethod(scenario), options
    sys.argv[1:] = args
    # The test case lives here, not in the calling script.
    return desktop.main(module=sys.modules[__name__])
