#!/usr/bin/env python3
"""Takes a picture of every window of the real program: starts it under a
private Xvfb in a temporary working directory holding the example files, opens
each window as a user does (mouse clicks and keys through the XTest extension)
and saves each window's picture as a PNG.

usage: screenshots.py [--only NAME,...] [--suffix TEXT] PATH/TO/korvax-rechner SEED_FOLDER OUTPUT_FOLDER

The program gets the look of this script's environment: its platform theme
(QT_QPA_PLATFORMTHEME, e.g. qt6ct with its colour scheme and font, read from
XDG_CONFIG_HOME or else ~/.config), style (QT_STYLE_OVERRIDE), scaling
(QT_SCALE_FACTOR, e.g. 2 for a high-density screen) and font resolution
(QT_FONT_DPI); without them it draws with its own font and Qt's default
look. Where the windows come out larger (a scale, a larger desktop font),
the clicks follow them. --only saves only the pictures named (e.g.
tausch-rechner), --suffix is added to each picture's name (e.g. --suffix=-dunkel).
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

import xdisplay

SCALE = 15  # twips per pixel


def type_into(x, window, place, text, combo=False):
    """Clicks into a box given in twips, selects what it holds and types
    the text over it. A combo box's field is emptied with Backspace
    instead: its type-ahead answers every released key from the space
    on, Ctrl+A too, and would take the selection away again."""
    x.click(window, *centre(place))
    if combo:
        x.key("End")
        for _ in range(40):
            x.key("BackSpace")
    else:
        x.key("a", "Control_L")
    x.type_text(text)


def wait_for(predicate, seconds, what):
    value = xdisplay.wait_for(predicate, seconds)
    if not value:
        raise RuntimeError("timed out waiting for " + what)
    return value


class Session:
    def __init__(self, x, out, only=None, suffix=""):
        self.x, self.out, self.only, self.suffix = x, out, only, suffix
        self.taken = set()

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
        stem = name[:-len(".png")]
        self.taken.add(stem)
        if self.only is None or stem in self.only:
            self.x.save_png(window, os.path.join(self.out, stem + self.suffix + ".png"))

    def close(self, window):
        self.x.send_delete(window)
        wait_for(lambda: window not in self.x.viewable_windows(), 10, "window %#x to close" % window)


# What of this script's environment the program gets: the look (platform
# theme, style, colours and fonts, scaling), every Qt setting but the
# platform, which stays the private X server.
LOOK = ("XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_CURRENT_DESKTOP", "GTK_THEME")
MENU_WIDTH = 292  # the main menu's width in pixels with the program's own font at scale 1

# How much larger than placed in twips the windows are drawn: the scale
# factor times the desktop font's scale, read off the main menu's width.
ZOOM = 1.0


def program_environment(home, display):
    env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": home,
           "XDG_RUNTIME_DIR": os.path.join(home, "runtime"), "DISPLAY": display,
           "QT_QPA_PLATFORM": "xcb", "LANG": "C.UTF-8"}
    env.update({k: v for k, v in os.environ.items()
                if k in LOOK or (k.startswith("QT_") and k != "QT_QPA_PLATFORM")})
    if "QT_QPA_PLATFORMTHEME" in env and "XDG_CONFIG_HOME" not in env and "HOME" in os.environ:
        env["XDG_CONFIG_HOME"] = os.path.join(os.environ["HOME"], ".config")  # the theme's settings
    return env


def follow(x, window, width_at_scale_1):
    """Clicks go to this window from now on: each window is drawn at its own
    scale (its widest-grown caption decides), read off its width in pixels."""
    global ZOOM
    ZOOM = x.geometry(window)[2] / width_at_scale_1


def placed(twips):
    """Pixels at scale 1."""
    return (twips + 7) // SCALE


def px(twips):
    return round(placed(twips) * ZOOM)


def centre(rect):
    """The middle of a control given in twips (left, top, width, height)."""
    left, top, width, height = rect
    return px(left + width // 2), px(top + height // 2)


def run(program, seed, out, only=None, suffix=""):
    xvfb, display = xdisplay.start_xvfb()
    base = tempfile.mkdtemp(prefix="krvx-shots-")
    proc = None
    try:
        work, home = os.path.join(base, "work"), os.path.join(base, "home")
        os.makedirs(work)
        os.makedirs(os.path.join(home, "runtime"), mode=0o700)
        for name in sorted(os.listdir(seed)):
            shutil.copy(os.path.join(seed, name), work)
        x = xdisplay.X(display)
        s = Session(x, out, only, suffix)
        proc = subprocess.Popen([program], cwd=work, env=program_environment(home, display), stdin=subprocess.DEVNULL,
                                preexec_fn=xdisplay.die_with_parent)

        # The splash screen over the menu, then the menu once the splash has gone.
        splash = wait_for(lambda: next((w for w in x.viewable_windows() if x.is_splash(w)), None), 30,
                          "the splash screen")
        time.sleep(0.8)
        s.shoot(splash, "splash.png", [w for w in x.viewable_windows()])
        wait_for(lambda: splash not in x.viewable_windows(), 15, "the splash screen to close")
        menu = s.new_window([], "Korvax Rechner", "the main menu")
        s.shoot(menu, "menu.png", [])
        follow(x, menu, MENU_WIDTH)
        if ZOOM != 1:
            print("windows drawn %.3g times as large as placed" % ZOOM, flush=True)
        bar = x.geometry(menu)[3] - px(2610)  # the menu bar above the client area

        def menu_button(rect):
            follow(x, menu, MENU_WIDTH)
            cx, cy = centre(rect)
            x.click(menu, cx, bar + cy)

        # Reisezeit, and from it "Neuer Planet".
        menu_button((2280, 960, 1695, 615))
        zeit = s.new_window([menu], "Reisezeit", "the flight time window")
        follow(x, zeit, placed(5325))
        # From Eisrand to Nordmine at the speed of the chosen ship,
        # starting at half past six in the evening.
        type_into(x, zeit, (840, 240, 1215, 315), "Eisrand", combo=True)
        type_into(x, zeit, (840, 720, 1215, 315), "Nordmine", combo=True)
        x.click(zeit, *centre((120, 1920, 1935, 315)))
        type_into(x, zeit, (2280, 960, 1095, 285), "18:30")
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
        follow(x, preise, placed(6060))
        for beginning, count in (("Gro", "12"), ("Kl", "40")):
            type_into(x, preise, (240, 480, 2055, 315), beginning, combo=True)
            type_into(x, preise, (3480, 480, 735, 285), count)
            x.click(preise, *centre((240, 960, 2055, 375)))
        s.shoot(preise, "schiffspreise.png", [menu])
        s.close(preise)

        menu_button((2280, 240, 1695, 615))
        prod = s.new_window([menu], "Produktionszeiten", "the production time window")
        follow(x, prod, placed(5760))
        # The hourly production, then the target amounts (the ship order's totals).
        type_into(x, prod, (1440, 435, 1215, 285), "1200")
        for value in ("900", "400", "250", "600", "152000", "114000", "6000", "0", "15200"):
            x.key("Tab")
            x.type_text(value)
        x.click(prod, *centre((1440, 435, 1215, 285)))  # leaving the last box computes its row
        s.shoot(prod, "produktionszeiten.png", [menu])
        s.close(prod)

        menu_button((360, 240, 1695, 615))
        tausch = s.new_window([menu], "Tauschrechner", "the exchange window")
        follow(x, tausch, placed(6060))
        type_into(x, tausch, (1680, 1560, 1215, 285), "25000")
        for value in ("12000", "3000"):
            x.key("Tab")
            x.type_text(value)
        s.shoot(tausch, "tausch-rechner.png", [menu])
        s.close(tausch)

        # "Config" in the menu bar, and from there "Truppen editieren".
        follow(x, menu, MENU_WIDTH)
        x.click(menu, round(20 * ZOOM), bar // 2)
        config = s.new_window([menu], "Konfiguration", "the rate editor")
        follow(x, config, placed(4965))
        s.shoot(config, "config.png", [menu])
        x.click(config, *centre((3000, 3000, 1695, 375)))
        truppen = s.new_window([menu, config], "Konfiguration", "the ship catalogue editor")
        s.shoot(truppen, "truppen-editieren.png", [menu, config])
        s.close(truppen)
        if config in x.viewable_windows():
            s.close(config)

        x.send_delete(menu)
        status = proc.wait(timeout=30)
        if status != 0:
            raise RuntimeError("the program ended with status %d" % status)
        x.close()
        if only and not only <= s.taken:
            raise RuntimeError("no picture is named %s" % ", ".join(sorted(only - s.taken)))
    finally:
        if proc and proc.poll() is None:
            proc.kill()
            proc.wait()
        xdisplay.end_process(xvfb)
        shutil.rmtree(base, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(usage=__doc__.split("\n\n")[1].strip()[len("usage: "):])
    parser.add_argument("--only", type=lambda text: set(text.split(",")))
    parser.add_argument("--suffix", default="")
    parser.add_argument("program")
    parser.add_argument("seed")
    parser.add_argument("out")
    args = parser.parse_args()
    program, seed, out = (os.path.abspath(a) for a in (args.program, args.seed, args.out))
    os.makedirs(out, exist_ok=True)
    try:
        run(program, seed, out, args.only, args.suffix)
    except RuntimeError as error:
        print("screenshots: " + str(error), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
