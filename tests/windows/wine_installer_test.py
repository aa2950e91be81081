#!/usr/bin/env python3
"""The installer under Wine, in a fresh prefix that holds an older version's
Start-menu link: a silent install for the current user puts the program and
LIESMICH.txt under %LOCALAPPDATA%\\Programs, a Start-menu folder with the
program and its data folder in place of the old link, and an "Apps" entry of
the right version and publisher; the installed program started with
--data-folder seeds %APPDATA%\\Korvax Rechner with the example files; an
install over it leaves the data as the player changed it; a silent uninstall
removes everything it installed and keeps the data.

usage: wine_installer_test.py PATH/TO/setup.exe VERSION
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine  # noqa: E402
from wine import check, desktop  # noqa: E402

APPS_ENTRY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\KorvaxRechner"
PUBLISHER = "Die Entwickler von Korvax Rechner"


def start_menu(prefix, *parts):
    return prefix.user_folder("AppData", "Roaming", "Microsoft", "Windows", "Start Menu", "Programs", *parts)


def installed_files(prefix):
    """What the installer puts where (the program first), with bytes each must hold."""
    folder = prefix.user_folder("AppData", "Local", "Programs", "Korvax Rechner")
    utf16 = lambda text: text.encode("utf-16-le")  # noqa: E731
    return [(os.path.join(folder, "korvax-rechner.exe"), []),
            (os.path.join(folder, "LIESMICH.txt"), [b"\xef\xbb\xbf", b"--data-folder"]),
            (start_menu(prefix, "Korvax Rechner", "Korvax Rechner.lnk"), [utf16("--data-folder")]),
            (start_menu(prefix, "Korvax Rechner", "Korvax Rechner \u2013 Datenordner.lnk"),
             [b"explorer.exe", utf16('\\AppData\\Roaming\\Korvax Rechner"')])]


def installed(prefix, setup, version):
    """A silent install: its files, the older version's link gone, the Apps entry."""
    done = prefix.wine([setup, "/S"], 300)
    prefix.wait()
    check(done.returncode == 0, "setup /S: exit status %r" % done.returncode)
    for path, contents in installed_files(prefix):
        data = open(path, "rb").read() if os.path.isfile(path) else None
        missing = [c for c in contents if data is None or c not in data]
        check(data is not None and not missing, "%s: not installed, or without %r" % (path, missing))
    check(not os.path.exists(start_menu(prefix, "Korvax Rechner.lnk")), "the older version's link is still there")
    for name, expected in (("DisplayVersion", version), ("Publisher", PUBLISHER)):
        shown = prefix.reg_value(APPS_ENTRY, name)
        check(shown == expected, "Apps entry: %s %r, expected %r" % (name, shown, expected))
    return installed_files(prefix)[0][0]


def seeded(x, display, prefix, program):
    """The exe started in its program folder without arguments (a double click)
    works in the data folder, as the Start-menu entry does: the data folder
    gets the example files, the program folder nothing (the uninstall checks)."""
    data = prefix.user_folder("AppData", "Roaming", "Korvax Rechner")
    run = wine.run(x, display, prefix, program, os.path.dirname(program))
    try:
        menu = run.wait_window("Korvax Rechner", seconds=120)
        if not check(menu, "the installed program showed no menu"):
            return
        status = run.end(menu)
        check(status == 0, "the installed program: exit status %r" % status)
    finally:
        desktop.end_process(run.proc)
    for name, content in desktop.seed_files().items():
        path = os.path.join(data, name)
        check(os.path.isfile(path) and open(path, "rb").read() == content,
              "%s was not seeded into %s" % (name, data))


def uninstalled(prefix, program):
    """The uninstaller starts a copy of itself and returns at once: the prefix
    is waited for."""
    command = prefix.reg_value(APPS_ENTRY, "UninstallString")
    if not check(command and command.startswith('"'), "Apps entry: UninstallString %r" % command):
        return
    done = prefix.wine([command.split('"')[1], "/S"], 120)
    prefix.wait()
    check(done.returncode == 0, "uninstall /S: exit status %r" % done.returncode)
    left = [path for path, _ in installed_files(prefix) if os.path.exists(path)]
    check(not left, "left by the uninstall: %r" % left)
    check(not os.path.exists(os.path.dirname(program)), "the program's folder is still there")
    check(not os.path.exists(start_menu(prefix, "Korvax Rechner")), "the Start-menu folder is still there")
    check(prefix.reg_value(APPS_ENTRY, "DisplayVersion") is None, "the Apps entry is still there")


def scenario(x, display, prefix, base, setup, version):
    os.makedirs(start_menu(prefix), exist_ok=True)
    desktop.write(start_menu(prefix, "Korvax Rechner.lnk"), b"an older version's link")
    program = installed(prefix, setup, version)
    data = prefix.user_folder("AppData", "Roaming", "Korvax Rechner")
    if os.path.isfile(program):
        seeded(x, display, prefix, program)
        with open(os.path.join(data, "planeten.dat"), "ab") as f:
            f.write(desktop.NEW_PLANET)
        before = desktop.snapshot(data)
        installed(prefix, setup, version)
        check(desktop.snapshot(data) == before, "an install over the installed program changed the data folder")
        uninstalled(prefix, program)
    kept = os.listdir(data) if os.path.isdir(data) else []
    check(all(name in kept for name in desktop.seed_files()), "the uninstall did not keep the data folder: %r" % kept)

if __name__ == "__main__":
    sys.exit(wine.main(__doc__, scenario, sys.argv[1:]))
