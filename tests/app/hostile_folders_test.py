#!/usr/bin/env python3
"""Starts the real program under a private Xvfb in working directories that
are hostile to it: read-only, empty, every data file random bytes, every data
file a folder, every data file a link into a missing folder. In each it opens
every window through the menu (clicking its buttons with XTest), closes them
again, closes the menu and checks that the program ended cleanly and that no
file it did not mean to write has changed.

usage: hostile_folders_test.py PATH/TO/korvax-rechner
"""
import hashlib
import os
import pwd
import random
import shutil
import stat
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import real_program_test as rp  # noqa: E402  (the little Xlib and Xvfb start)

PROGRAM = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else None
DATA_FILES = ["schiffe.dat", "planeten.dat", "produktion.dat", "kurse.dat", "creditkurse.dat",
              "tausch.dat", "KRVXR.debug"]
# What closing the windows writes: the inputs of two calculators, the rates
# (closing the rate editor is saving), the planet list and the debug log.
WRITTEN = {"produktion.dat", "tausch.dat", "creditkurse.dat", "planeten.dat", "KRVXR.debug"}
MENU_CLIENT_HEIGHT = 174  # 2610 twips: the menu bar sits above the client area
check = rp.check


def snapshot(folder):
    """Every entry below folder: a file by its bytes' hash, a link by its
    target, a folder as such."""
    entries = {}
    for dirpath, dirnames, filenames in os.walk(folder):
        for name in dirnames + filenames:
            path = os.path.join(dirpath, name)
            rel = os.path.relpath(path, folder)
            mode = os.lstat(path).st_mode
            if stat.S_ISLNK(mode):
                entries[rel] = "link to " + os.readlink(path)
            elif stat.S_ISDIR(mode):
                entries[rel] = "folder"
            else:
                with open(path, "rb") as f:
                    data = f.read()
                entries[rel] = (hashlib.sha256(data).hexdigest(), data)
    return entries


class Run:
    """One run of the program in a working directory, driven through its windows."""

    def __init__(self, x, display, workdir, home, as_user=None, args=(), env_extra=None):
        self.x, self.workdir = x, workdir
        self.boxes = []
        env = rp.program_env(display, home)
        env.update(env_extra or {})
        command = [PROGRAM] + list(args)
        if as_user is not None:
            user, command[0], sanitizer_options = as_user
            env.update(sanitizer_options)
            os.chown(env["XDG_RUNTIME_DIR"], user.pw_uid, user.pw_gid)
            command = ["setpriv", "--reuid", str(user.pw_uid), "--regid", str(user.pw_gid),
                       "--clear-groups", "--"] + command
        self.proc = subprocess.Popen(command, cwd=workdir, env=env, stdin=subprocess.DEVNULL,
                                     preexec_fn=rp.die_with_parent)
        self.splash_type = x.atom("_NET_WM_WINDOW_TYPE_SPLASH")
        self.known = {}  # window id -> title of the program's own windows seen so far

    def windows(self):
        return [(w, self.x.title(w)) for w in self.x.viewable_windows()
                if self.splash_type not in self.x.window_types(w)]

    def close_boxes(self):
        """Message boxes the program shows on its own (damaged files): each
        is recorded and closed as the user would close it."""
        for w, title in self.windows():
            if w not in self.known and self.known:
                self.boxes.append(title)
                self.x.send_delete(w)
        return False

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

    def close(self, window, what):
        self.x.send_delete(window)
        if not rp.wait_for(lambda: window not in self.x.viewable_windows() or self.close_boxes(), 30):
            check(False, "%s: %s did not close" % (self.workdir, what))
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


def drive(run, where):
    """Opens and closes every window through the menu; returns the menu."""
    menu = run.wait_window("Korvax Rechner", seconds=120)
    if not check(menu, where + ": the main menu did not appear"):
        return None
    # The splash screen goes by itself after 2.5 seconds.
    rp.wait_for(lambda: not [w for w in run.x.viewable_windows()
                             if run.splash_type in run.x.window_types(w)], 30)
    bar = run.x.geometry(menu)[3] - MENU_CLIENT_HEIGHT

    def open_from(window, px, py, title, size=None):
        # A click that comes before the window takes input is given again;
        # clicking twice only raises what the first click opened.
        for _ in range(3):
            run.x.click(window, px, py)
            w = run.wait_window(title, size, 15)
            if w:
                return w
        check(False, "%s: %s did not open" % (where, title))
        return None

    # The menu's buttons, by their places in twips / 15.
    for px, py, title in ((80, 36, "Tauschrechner"), (208, 36, "Produktionszeiten"),
                          (80, 84, "Schiffspreise")):
        w = open_from(menu, px, bar + py, title)
        if w:
            run.close(w, title)
    zeit = open_from(menu, 208, bar + 84, "Reisezeit")
    if zeit:
        dialog = open_from(zeit, 72, 96, "Neuer Planet")
        if dialog:
            run.close(dialog, "Neuer Planet")
        run.close(zeit, "Reisezeit")
    # "Config" in the menu bar, then "Truppen editieren" in the rate editor.
    rates = open_from(menu, 18, bar // 2, "Konfiguration", (331, 234))
    if rates:
        editor = open_from(rates, 256, 212, "Konfiguration", (420, 161))
        if editor:
            run.close(editor, "the ship catalogue editor")
        run.close(rates, "the rate editor")
    return menu


def run_case(x, display, base, name, prepare, allowed, as_user=None):
    where = "folder " + name
    workdir = os.path.join(base, name)
    home = os.path.join(base, name + "-home")
    os.makedirs(workdir)
    os.makedirs(home)
    os.chmod(base, 0o755)
    for folder in (workdir, home):
        os.chmod(folder, 0o755)
        if as_user is not None:
            os.chown(home, as_user[0].pw_uid, as_user[0].pw_gid)
    prepare(workdir)
    before = snapshot(workdir)
    if name == "read-only":
        os.chmod(workdir, 0o555)
    run = Run(x, display, workdir, home, as_user)
    try:
        menu = drive(run, where)
        if menu:
            status = run.end(menu)
            check(status == 0, where + ": exit status %r" % status)
    finally:
        if run.proc.poll() is None:
            run.proc.kill()
            run.proc.wait()
        os.chmod(workdir, 0o755)
    after = snapshot(workdir)
    for rel in sorted(set(before) | set(after)):
        old, new = before.get(rel), after.get(rel)
        if old == new:
            continue
        if rel not in allowed:
            check(False, "%s: %s changed: %s -> %s" % (where, rel, short(old), short(new)))
        elif rel == "KRVXR.debug" and isinstance(old, tuple):
            check(isinstance(new, tuple) and new[1].startswith(old[1]),
                  where + ": the debug log was not only appended to")
    log = after.get("KRVXR.debug")
    if isinstance(log, tuple):
        old_log = before.get("KRVXR.debug")
        check_pairs(log[1][len(old_log[1]) if isinstance(old_log, tuple) else 0:], where)
    print("%s: every window opened and closed; message boxes: %s; changed: %s" % (
        where, run.boxes or "none", sorted(r for r in set(before) | set(after) if before.get(r) != after.get(r))),
        flush=True)


def check_pairs(appended, where):
    """This run's part of the debug log: Begin, Start/Ende pairs nested as
    the routines ran, End."""
    messages = [line.split(b"    ", 1)[1].decode("cp1252") if b"    " in line else None
                for line in appended.split(b"\r\n")[:-1]]
    open_routines = []
    check(messages[:2] == ["", "Begin Debugging"] and messages[-1:] == ["End Debugging"],
          where + ": the log does not begin and end as a run does: %r" % messages)
    for message in messages[2:-1]:
        routine = (message or "").split(": ", 1)[-1].removesuffix("()")
        if message and message.startswith("Start: "):
            open_routines.append(routine)
        elif not (message and message.startswith("Ende: ") and open_routines and open_routines.pop() == routine):
            check(False, where + ": log line %r does not end the routine last started" % message)
    check(not open_routines, where + ": routines without an end line: %r" % open_routines)


def short(entry):
    if entry is None:
        return "nothing"
    return entry if isinstance(entry, str) else "%d bytes" % len(entry[1])


def readable_for(user, base):
    """What a run as user needs, copied out of the build and the checkout,
    which may lie in a folder that only their owner can enter: the program
    and the files the sanitizers' options name (the leak suppressions).
    Returns (user, program, sanitizer options) for run_case."""
    folder = os.path.join(base, "for-" + user.pw_name)
    os.makedirs(folder)
    os.chmod(folder, 0o755)
    program = shutil.copy(PROGRAM, folder)
    os.chmod(program, 0o755)
    options = {}
    for name in ("ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"):
        parts = []
        for part in os.environ.get(name, "").split(":"):
            key, sep, value = part.partition("=")
            if key == "suppressions" and sep and value:
                value = shutil.copy(value, os.path.join(folder, name.lower() + "-" + os.path.basename(value)))
                os.chmod(value, 0o644)
                part = key + "=" + value
            parts.append(part)
        if name in os.environ:
            options[name] = ":".join(parts)
    return user, program, options


def fill_random(workdir):
    rng = random.Random(11)
    for name in DATA_FILES:
        with open(os.path.join(workdir, name), "wb") as f:
            f.write(bytes(rng.randrange(256) for _ in range(rng.randrange(1, 4000))))


def fill_folders(workdir):
    for name in DATA_FILES:
        os.makedirs(os.path.join(workdir, name))


def fill_links(workdir):
    for name in DATA_FILES:
        os.symlink(os.path.join("missing", name), os.path.join(workdir, name))


def fill_example(workdir):
    with open(os.path.join(workdir, "schiffe.dat"), "wb") as f:
        f.write(b'"Frachter"\r\n1,2,3,4,5\r\n12\r\n30\r\n')
    with open(os.path.join(workdir, "planeten.dat"), "wb") as f:
        f.write(b"Heimat\r\n 1 \r\n 12 \r\n 3 \r\n")


def main():
    refused = rp.cannot_start(__doc__, PROGRAM)
    if refused is not None:
        return refused
    # Root writes into read-only folders anyway: the read-only case runs the
    # program as an unprivileged user then.
    base = tempfile.mkdtemp(prefix="krvx-hostile-")
    os.chmod(base, 0o755)
    try:
        other = readable_for(pwd.getpwnam("nobody"), base) if os.geteuid() == 0 else None
        with rp.private_display() as (x, display):
            run_case(x, display, base, "read-only", fill_example, set(), other)
            run_case(x, display, base, "empty", lambda d: None, WRITTEN)
            run_case(x, display, base, "random-bytes", fill_random,
                     {"produktion.dat", "tausch.dat", "creditkurse.dat", "KRVXR.debug"})
            run_case(x, display, base, "folders", fill_folders, set())
            run_case(x, display, base, "dangling-links", fill_links, set())
    finally:
        shutil.rmtree(base, ignore_errors=True)
    return rp.verdict()


if __name__ == "__main__":
    sys.exit(main())
