#!/usr/bin/env python3
"""The installer under Wine, in a fresh prefix: a silent install for the
current user puts the program under %LOCALAPPDATA%\\Programs, a Start-menu
entry and an "Apps" entry of the right version; the installed program started
with --data-folder seeds %APPDATA%\\Korvax Rechner with the example files; a
silent uninstall removes the program and its entry and keeps the data.

usage: wine_installer_test.py PATH/TO/setup.exe VERSION
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine  # noqa: E402
from wine import check, desktop  # noqa: E402

APPS_ENTRY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\KorvaxRechner"


def installed(prefix, setup, version):
    """A silent install: the program, its Start-menu entry and its Apps entry."""
    done = prefix.wine([setup, "/S"], 300)
    prefix.wait()
    check(done.returncode == 0, "setup /S: exit status %r" % done.returncode)
    program = prefix.user_folder("AppData", "Local", "Programs", "Korvax Rechner", "korvax-rechner.exe")
    check(os.path.isfile(program), "the program is not installed: %s" % program)
    menu = prefix.user_folder("AppData", "Roaming", "Microsoft", "Windows", "Start Menu", "Programs")
    check(os.path.isfile(os.path.join(menu, "Korvax Rechner.lnk")), "no Start-menu entry in %s" % menu)
    shown = prefix.reg_value(APPS_ENTRY, "DisplayVersion")
    check(shown == version, "Apps entry: DisplayVersion %r, expected %r" % (shown, version))
    return program


def seeded(x, display, prefix, program, base):
    """The Start-menu entry's start: the data folder gets the example files."""
    data = prefix.user_folder("AppData", "Roaming", "Korvax Rechner")
    run = wine.run(x, display, prefix, program, base, args=["--data-folder"])
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
    check(not os.path.exists(os.path.dirname(program)), "the program's folder is still there")
    check(prefix.reg_value(APPS_ENTRY, "DisplayVersion") is None, "the Apps entry is still there")


def scenario(x, display, prefix, base, setup, version):
    program = installed(prefix, setup, version)
    if os.path.isfile(program):
        seeded(x, display, prefix, program, base)
        uninstalled(prefix, program)
    data = prefix.user_folder("AppData", "Roaming", "Korvax Rechner")
    kept = os.listdir(data) if os.path.isdir(data) else []
    check(all(name in kept for name in desktop.seed_files()), "the uninstall did not keep the data folder: %r" % kept)

if __name__ == "__main__":
    sys.exit(wine.main(__doc__, scenario, sys.argv[1:]))
