#!/usr/bin/env python3
"""The Windows program under Wine, on a player's day: started in a folder with
the example files ("Spiele Größe €"), every window opened from the menu, a flight computed in
Reisezeit and a planet added (into a planeten.dat the player hid, which stays
hidden), Qt's own texts German (a box's context menu, the
save question's buttons), a second start in the same folder, then the
session ended as Windows ends it (WM_QUERYENDSESSION and WM_ENDSESSION, which
`wineboot --end-session` sends to every program of the prefix): the planet is
saved and the debug log ends the run. --version prints the version. The
program started in its own folder that holds no data file (the portable zip
unpacked somewhere new) fills it from "Beispieldateien" beside it.

usage: wine_program_test.py PATH/TO/korvax-rechner.exe VERSION [--screenshots FOLDER]

With --screenshots, the menu, Reisezeit and the catalogue editor's save
question are saved as Wine draws them (windows-menu.png, windows-reisezeit.png,
windows-speichern.png in FOLDER).
"""
import os
import re
import shutil
import sys
import time

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


def german_texts(run, menu, shots):
    """Qt's own texts are German: in a box's context menu "&Kopieren" copies
    with K, and the catalogue editor's save question (a message box copies
    itself on Ctrl+C) offers "Ja", "Nein", "Abbrechen"."""
    rates = run.open_from(menu, 18, run.bar(menu) // 2, "Konfiguration", (331, 234))
    ships = run.open_from(rates, 256, 212, "Konfiguration", (420, 161))
    run.x.click(ships, 52, 140)  # Bearbeiten, then the whole of Erz selected
    run.x.click(ships, 52, 57)
    run.x.key("Home")
    run.x.key("End", "Shift_L")
    run.x.clipboard("leer")
    run.x.click(ships, 52, 57, button=3)
    time.sleep(1)
    run.x.key("k")
    check(desktop.wait_for(lambda: re.fullmatch(r"-?\d+", run.x.clipboard()), 15),
          "the context menu's K copied nothing: %r" % run.x.clipboard())
    run.x.type_text("1")
    run.x.send_delete(ships)
    question = run.wait_window("Speichern?")
    if check(question, "closing the editor with a typed value asked nothing"):
        save_picture(run.x, question, shots, "windows-speichern.png")
        run.x.key("c", "Control_L")
        check(desktop.wait_for(lambda: all(b in run.x.clipboard() for b in ("Ja", "Nein", "Abbrechen")), 15),
              "the save question's buttons: %r" % run.x.clipboard())
        run.x.key("Escape")  # Abbrechen: the editor stays, and ">" drops the typed value
    run.x.click(ships, 400, 16)
    run.close(ships, "the ship catalogue editor")
    run.close(rates, "the rate editor")


def save_picture(x, window, shots, name):
    """The window as Wine draws it, caption and frame included."""
    if shots and window:
        os.makedirs(shots, exist_ok=True)
        x.save_png(window, os.path.join(shots, name))


def second_start(x, prefix, exe, workdir, menu):
    """A second start in the folder, and one by another spelling of its path,
    ends with 0 and leaves one program; the folder holds the lock file."""
    other = "Z:" + "".join(c.upper() if c.isascii() else c for c in workdir).replace("/", "\\")
    for where, args in (("in the folder", []), ("as " + other, ["--data-folder=" + other])):
        done = prefix.wine([exe] + args, 60, cwd=workdir)
        check(done.returncode == 0, "second start %s: exit status %r, said %r" % (where, done.returncode, done.stderr))
        check(desktop.menus(x) == [menu], "second start %s: menus on the screen %r" % (where, desktop.menus(x)))
    check(os.path.exists(os.path.join(workdir, ".korvax-rechner.lock")), "no lock file in the data folder")


def session_end(run, prefix):
    """The end of the Windows session: every window saves. Wine delivers both
    messages (Qt's commitDataRequest); once the program has answered them,
    Windows ends it, so its exit status tells nothing."""
    prefix.wine(["wineboot", "--end-session"], 120)
    check(run.ended() is not None, "session end: the program did not end")
    check(run.planets().endswith(desktop.NEW_PLANET),
          "session end: the new planet was not saved: planeten.dat ends %r" % run.planets()[-60:])
    check(wine.dos_attributes(os.path.join(run.workdir, "planeten.dat")) & wine.HIDDEN,
          "session end: the saved planeten.dat is no longer hidden")
    log = desktop.read_log(run.workdir)
    check(re.fullmatch("(" + desktop.STAMP + r".*\r\n)*", log) is not None, "the debug log has lines out of format")
    wine.TEST.check_pairs(log.encode("cp1252"), "session end")


def portable_start(x, display, prefix, base, exe):
    """The portable program in a new folder of its own: the first start
    copies the example files beside it, and replaces none that is there."""
    folder = os.path.join(base, "Neu entpackt")
    shutil.copytree(desktop.SEED, os.path.join(folder, "Beispieldateien"))
    shutil.copy(exe, folder)
    desktop.write(os.path.join(folder, "notizen.txt"), b"meine Notizen")
    with wine.run(x, display, prefix, os.path.join(folder, os.path.basename(exe)), folder) as run:
        check(run.end(run.menu()) == 0, "the portable start did not end with 0")
    seeded = sorted(n for n in os.listdir(folder) if n.endswith(".dat"))
    check(seeded == sorted(desktop.seed_files()), "the portable start's folder holds %r" % seeded)


def scenario(x, display, prefix, base, exe, version, shots=None):
    done = prefix.wine([exe, "--version"], 60)
    check(done.returncode == 0 and version in done.stdout,
          "--version: exit status %r, printed %r" % (done.returncode, done.stdout))
    workdir = desktop.example_folder(os.path.join(base, "Spiele Größe €"))
    wine.set_dos_attributes(os.path.join(workdir, "planeten.dat"), wine.HIDDEN)
    run = wine.run(x, display, prefix, exe, workdir)
    try:
        menu = run.drive()
        if not menu:
            return
        save_picture(x, menu, shots, "windows-menu.png")
        german_texts(run, menu, shots)
        run.add_planet(menu)
        save_picture(x, computed_flight(run), shots, "windows-reisezeit.png")
        second_start(x, prefix, exe, workdir, menu)
        session_end(run, prefix)
        check(not os.path.exists(os.path.join(workdir, ".korvax-rechner.lock")), "the lock file was left")
    finally:
        desktop.end_process(run.proc)
    portable_start(x, display, prefix, base, exe)


def main():
    args = sys.argv[1:]
    shots = None
    if "--screenshots" in args[:-1]:
        shots = os.path.abspath(args.pop(args.index("--screenshots") + 1))
        args.remove("--screenshots")
    return wine.main(__doc__, scenario, args, shots=shots)


if __name__ == "__main__":
    sys.exit(main())
