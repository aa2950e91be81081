#!/usr/bin/env python3
"""Starts the real program under a private Xvfb (xcb platform) in temporary
working directories, closes the main menu the way a window manager does when
the user clicks the close button (a WM_DELETE_WINDOW message), and checks the
debug log and every other file left in the working directory.

usage: real_program_test.py PATH/TO/korvax-rechner
"""
import hashlib
import os
import re
import shutil
import subprocess
import sys
import tempfile

PROGRAM = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else None
MENU_TITLE = "Korvax Rechner"
GERMAN_MONTHS = ["Januar", "Februar", "M\xe4rz", "April", "Mai", "Juni", "Juli", "August",
                 "September", "Oktober", "November", "Dezember"]

# ------------------------------------------------------------------ the little Xlib, shared with the picture script
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "lib"))
from xdisplay import X, XWindowAttributes, die_with_parent, end_process, private_display, start_xvfb, wait_for  # noqa: E402,F401


# ------------------------------------------------------------------ the checks
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL: " + message, flush=True)
    return condition


def snapshot(folder):
    files = {}
    for dirpath, dirnames, filenames in os.walk(folder):
        for name in dirnames + filenames:
            path = os.path.join(dirpath, name)
            rel = os.path.relpath(path, folder)
            if os.path.isfile(path) and not os.path.islink(path):
                with open(path, "rb") as f:
                    files[rel] = hashlib.sha256(f.read()).hexdigest()
            else:
                files[rel] = "folder" if os.path.isdir(path) else "other"
    return files


def runtime_dir(home):
    path = os.path.join(home, "runtime")
    os.makedirs(path, mode=0o700, exist_ok=True)
    os.chmod(path, 0o700)
    return path


def program_env(display, home):
    """What the program finds when a user starts it on the display (None:
    without one): its own HOME and runtime folder, the C locale, the
    sanitizers' options of the test run."""
    env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": home, "LANG": "C"}
    if display is not None:
        env.update({"XDG_RUNTIME_DIR": runtime_dir(home), "DISPLAY": display, "QT_QPA_PLATFORM": "xcb"})
    env.update({k: v for k, v in os.environ.items() if k in ("ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS")})
    return env


def verdict():
    """The test's exit status, after saying how its checks went."""
    if failures:
        print("%d check(s) failed" % len(failures))
        return 1
    print("all checks passed")
    return 0


def cannot_start(doc, program):
    """The exit status when the test cannot run (no program given, no Xvfb),
    else None."""
    if not program:
        print(doc)
        return 2
    if not shutil.which("Xvfb"):
        print("FAIL: Xvfb is not installed")
        return 1
    return None


def main_under_xvfb(doc, program, prefix, scenarios, without_display=()):
    """Runs each scenario(base) of without_display, then each
    scenario(x, display, base) on one private Xvfb, in a temporary folder."""
    refused = cannot_start(doc, program)
    if refused is not None:
        return refused
    base = tempfile.mkdtemp(prefix=prefix)
    try:
        for scenario in without_display:
            scenario(base)
        with private_display() as (x, display):
            for scenario in scenarios:
                scenario(x, display, base)
    finally:
        shutil.rmtree(base, ignore_errors=True)
    return verdict()


def run_program(x, display, workdir, home, before_close=None, command=None):
    """Starts the program (or the command line given) in workdir, waits for the
    menu, closes it and returns (exit status, whether the splash screen was seen)."""
    env = program_env(display, home)
    proc = subprocess.Popen(command or [PROGRAM], cwd=workdir, env=env, stdin=subprocess.DEVNULL,
                            preexec_fn=die_with_parent)
    splash_type = x.atom("_NET_WM_WINDOW_TYPE_SPLASH")
    try:
        def menu():
            for w in x.viewable_windows():
                if x.title(w) == MENU_TITLE and splash_type not in x.window_types(w):
                    return w
            return None

        def splash():
            return [w for w in x.viewable_windows() if splash_type in x.window_types(w)]

        # Generous waits: a sanitizer build on a busy machine reads a huge
        # schiffe.dat for many seconds; a healthy run is never slowed by them.
        window = wait_for(menu, 120)
        if not check(window, "the main menu did not appear in " + workdir):
            return None, False
        splash_seen = bool(wait_for(splash, 5))
        if before_close:
            before_close(splash)
        x.send_delete(window)
        try:
            status = proc.wait(timeout=180)
        except subprocess.TimeoutExpired:
            check(False, "the program did not end after its menu was closed")
            return None, splash_seen
        return status, splash_seen
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()


STAMP = r"(\d{1,2}) (\S+) (\d{1,2}):(\d\d)    "


def check_trace(text, runs, where):
    line = STAMP + r"(.*)\r\n"
    lines = re.findall(line, text)
    expected = ["", "Begin Debugging", "End Debugging"] * runs
    check(re.fullmatch("(" + line + ")*", text) is not None,
          where + ": the debug log has lines outside the time-stamp format: %r" % text)
    check([m[4] for m in lines] == expected,
          where + ": debug messages %r, expected %r" % ([m[4] for m in lines], expected))
    for day, month, hour, minute, _ in lines:
        check(1 <= int(day) <= 31 and month in GERMAN_MONTHS and 0 <= int(hour) <= 23
              and not (len(hour) == 2 and hour.startswith("0")) and 0 <= int(minute) <= 59,
              where + ": bad time stamp %s %s %s:%s" % (day, month, hour, minute))


def read_log(workdir):
    with open(os.path.join(workdir, "KRVXR.debug"), "rb") as f:
        return f.read().decode("cp1252")


def scenario_clean_start(x, display, base):
    """An empty folder: the menu and the splash appear; closing the menu
    (splash still open) ends the program and leaves only the debug log. A second
    run, closed after the splash has gone by itself, appends its own trace."""
    workdir, home = os.path.join(base, "clean"), os.path.join(base, "home-clean")
    os.makedirs(workdir)
    os.makedirs(home)
    status, splash_seen = run_program(x, display, workdir, home)
    check(status == 0, "clean start: exit status %r" % status)
    check(splash_seen, "clean start: no splash screen appeared")
    check(sorted(os.listdir(workdir)) == ["KRVXR.debug"],
          "clean start: files left %r" % sorted(os.listdir(workdir)))
    check_trace(read_log(workdir), 1, "clean start")

    def splash_goes_by_itself(splash):
        check(wait_for(lambda: not splash(), 15), "the splash screen did not close by itself")

    status, _ = run_program(x, display, workdir, home, splash_goes_by_itself)
    check(status == 0, "second run: exit status %r" % status)
    check(sorted(os.listdir(workdir)) == ["KRVXR.debug"],
          "second run: files left %r" % sorted(os.listdir(workdir)))
    check_trace(read_log(workdir), 2, "second run")


def scenario_bad_input(x, display, base):
    """Broken data files and a debug log that cannot be opened: the program
    starts and ends normally and changes no file."""
    pattern = bytes(range(256)) * 4
    cases = {
        "empty": b"",
        "truncated": b'"Kleiner Frachter"\r\n2000,1500,0,',
        "binary": pattern * 16 + b"\x00\xff\"\r\n\x1a",
        "huge": (b'"Schiff"\r\n1,2,3,4,5\r\n7\r\n9\r\n' * 400000)[:-3],
        "overflow": b'"Zu schnell"\r\n1,2,3,4,5\r\n99999\r\n1E+300\r\n"X"\r\n1E+30,0,0,0,0\r\n1\r\n1\r\n',
    }
    for name, content in cases.items():
        for locked_log in (False, True):
            where = "schiffe.dat %s%s" % (name, ", log is a folder" if locked_log else "")
            workdir = os.path.join(base, "bad-%s-%d" % (name, locked_log))
            home = workdir + "-home"
            os.makedirs(workdir)
            os.makedirs(home)
            with open(os.path.join(workdir, "schiffe.dat"), "wb") as f:
                f.write(content)
            with open(os.path.join(workdir, "planeten.dat"), "wb") as f:
                f.write(pattern)
            if locked_log:
                os.makedirs(os.path.join(workdir, "KRVXR.debug"))
            before = snapshot(workdir)
            status, _ = run_program(x, display, workdir, home)
            check(status == 0, where + ": exit status %r" % status)
            after = snapshot(workdir)
            if locked_log:
                check(after == before, where + ": files changed: %r -> %r" % (before, after))
            else:
                log = after.pop("KRVXR.debug", None)
                check(log is not None, where + ": no debug log")
                check(after == before, where + ": files changed: %r -> %r" % (before, after))
                check_trace(read_log(workdir), 1, where)


def scenario_read_only_folder(x, display, base):
    """A working directory that cannot be written: the program starts and ends
    normally without a debug log. Root writes into read-only folders anyway,
    so this only runs for other users."""
    if os.geteuid() == 0:
        print("read-only working directory: skipped when run as root")
        return
    workdir, home = os.path.join(base, "read-only"), os.path.join(base, "home-read-only")
    os.makedirs(workdir)
    os.makedirs(home)
    with open(os.path.join(workdir, "schiffe.dat"), "wb") as f:
        f.write(b'"Frachter"\r\n1,2,3,4,5\r\n12\r\n30\r\n')
    before = snapshot(workdir)
    os.chmod(workdir, 0o555)
    try:
        status, _ = run_program(x, display, workdir, home)
    finally:
        os.chmod(workdir, 0o755)
    check(status == 0, "read-only working directory: exit status %r" % status)
    check(snapshot(workdir) == before, "read-only working directory: files changed")


def main():
    return main_under_xvfb(__doc__, PROGRAM, "krvx-real-",
                           [scenario_clean_start, scenario_bad_input, scenario_read_only_folder])


if __name__ == "__main__":
    sys.exit(main())
