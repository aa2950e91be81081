#!/usr/bin/env python3
"""The Windows program under Wine, on a player's day: started in a folder with
the example files ("Spiele Größe €"), every window opened from the menu, a flight computed in
Reisezeit and a planet added, a second start in the same folder, then the
session ended as Windows ends it (WM_QUERYENDSESSION and WM_ENDSESSION, which
`wineboot --end-session` sends to every program of the prefix): the planet is
saved and the debug log ends the run. --version prints the version.

usage: wine_program_test.py PATH/TO/korvax-rechner.exe VERSION [--screenshots FOLDER]

With --screenshots, the menu and Reisezeit are saved as Wine draws them
(windows-menu.png, windows-reisezeit.png in FOLDER).
"""
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine  # noqa: E402
from wine import check, desktop  # noqa: E402

SPEED_BOX = (185, 25)  # Reisezeit's Geschwindigkeit, in the client area
DAUER = (258, 18, 69, 15)  # the inside of its read-only Dauer box


def computed_flight(run):
    """Leaving the speed box with a speed typed computes the flight; another
    target then shows another duration. Returns Reisezeit."""
    zeit = next((w for w, title in run.known.items() if title == "Reisezeit"), None)
    if not check(zeit, "Reisezeit is not open after the planet was added"):
        return None
    flights = lambda: desktop.read_log(run.workdir).count("Start: Flugzeit()")  # noqa: E731
    before = flights()
    run.x.click(zeit, *SPEED_BOX)
    run.x.type_text("1000")
    run.x.key("Tab")
    check(desktop.wait_for(lambda: flights() > before, 15),
          "leaving the speed box computed no flight")
    same_planet = run.x.picture(zeit, *DAUER)
    for _ in range(3):  # back from the option buttons to the target list, its next planet
        run.x.key("Tab", "Shift_L")
    run.x.key("Down")
    run.x.key("Tab")
    check(desktop.wait_for(lambda: run.x.picture(zeit, *DAUER) != same_planet, 15),
          "another target showed no other duration")
    return zeit


def save_picture(x, window, shots, name):
    """The window as Wine draws it, caption and frame included."""
    if shots and window:
        os.makedirs(shots, exist_ok=True)
        x.save_png(window, os.path.join(shots, name))


def second_start(x, prefix, exe, workdir, menu):
    """A second start in the folder ends with 0 and leaves one program."""
    done = prefix.wine([exe], 60, cwd=workdir)
    check(done.returncode == 0, "second start: exit status %r, said %r" % (done.returncode, done.stderr))
    check(desktop.menus(x) == [menu], "second start: menus on the screen %r" % desktop.menus(x))


def session_end(run, prefix):
    """The end of the Windows session: every window saves. Wine delivers both
    messages (Qt's commitDataRequest); once the program has answered them,
    Windows ends it, so its exit status tells nothing."""
    prefix.wine(["wineboot", "--end-session"], 120)
    check(run.ended() is not None, "session end: the program did not end")
    check(run.planets().endswith(desktop.NEW_PLANET),
          "session end: the new planet was not saved: planeten.dat ends %r" % run.planets()[-60:])
    log = desktop.read_log(run.workdir)
    check(re.fullmatch("(" + desktop.STAMP + r".*\r\n)*", log) is not None, "the debug log has lines out of format")
    wine.TEST.check_pairs(log.encode("cp1252"), "session end")


def scenario(x, display, prefix, base, exe, version, shots=None):
    done = prefix.wine([exe, "--version"], 60)
    check(done.returncode == 0 and version in done.stdout,
          "--version: exit status %r, printed %r" % (done.returncode, done.stdout))
    workdir = desktop.example_folder(os.path.join(base, "Spiele Größe €"))
    run = wine.run(x, display, prefix, exe, workdir)
    try:
        menu = run.drive()
        if not menu:
            return
        save_picture(x, menu, shots, "windows-menu.png")
        run.add_planet(menu)
        save_picture(x, computed_flight(run), shots, "windows-reisezeit.png")
        second_start(x, prefix, exe, workdir, menu)
        session_end(run, prefix)
    finally:
        desktop.end_process(run.proc)


def main():
    args = sys.argv[1:]
    shots = None
    if "--screenshots" in args[:-1]:
        shots = os.path.abspath(args.pop(args.index("--screenshots") + 1))
        args.remove("--screenshots")
    return wine.main(__doc__, scenario, args, shots=shots)


if __name__ == "__main__":
    sys.exit(main())
