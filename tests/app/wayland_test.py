#!/usr/bin/env python3
"""Starts the real program natively on Wayland (QT_QPA_PLATFORM=wayland, no
DISPLAY) under a private headless weston, waits until its menu has loaded,
ends it as the desktop does (SIGTERM) and checks that it shut down cleanly:
exit status 0, the debug log's run closed, no file but the log left behind,
a quiet stderr, and its windows carrying the app id of the desktop entry.

usage: wayland_test.py PATH/TO/korvax-rechner APP_ID
"""
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import real_program_test as rp  # noqa: E402

SOCKET = "krvx-wayland"
check = rp.check


def start_weston(base, runtime):
    """A headless weston with its own runtime folder. Its log records every
    request of the protocol (the "proto" scope): the app ids the program sets."""
    log = os.path.join(base, "weston.log")
    env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": base, "XDG_RUNTIME_DIR": runtime}
    weston = subprocess.Popen(["weston", "--backend=headless-backend.so", "--socket=" + SOCKET, "--no-config",
                               "--idle-time=0", "--logger-scopes=log,proto", "--log=" + log],
                              env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, preexec_fn=rp.die_with_parent)
    up = rp.wait_for(lambda: weston.poll() is not None or os.path.exists(os.path.join(runtime, SOCKET)), 30)
    return weston, log, bool(up) and weston.poll() is None


def logged(workdir, line):
    try:
        return line in rp.read_log(workdir)
    except OSError:
        return False


def run(program, app_id, base):
    runtime, work, home = (os.path.join(base, name) for name in ("runtime", "work", "home"))
    for path in (runtime, work, home):
        os.makedirs(path, mode=0o700)
    weston, weston_log, up = start_weston(base, runtime)
    proc = None
    try:
        if not check(up, "weston did not start (see its log %s)" % weston_log):
            return
        compositor_files = sorted(os.listdir(runtime))
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": home, "XDG_RUNTIME_DIR": runtime,
               "WAYLAND_DISPLAY": SOCKET, "QT_QPA_PLATFORM": "wayland", "LANG": "C"}
        env.update({k: v for k, v in os.environ.items() if k.endswith("SAN_OPTIONS")})
        with open(os.path.join(base, "stderr"), "w+b") as err:
            proc = subprocess.Popen([program], cwd=work, env=env, stdin=subprocess.DEVNULL,
                                    stdout=subprocess.DEVNULL, stderr=err, preexec_fn=rp.die_with_parent)
            # Generous: a sanitizer build on a busy machine starts slowly.
            rp.wait_for(lambda: proc.poll() is not None or logged(work, "Begin Debugging"), 120)
            if check(proc.poll() is None and logged(work, "Begin Debugging"),
                     "the menu was not shown (exit status %r)" % proc.poll()):
                proc.send_signal(signal.SIGTERM)
            try:
                status = proc.wait(timeout=120)
            except subprocess.TimeoutExpired:
                status = None
            err.seek(0)
            stderr = err.read().decode("utf-8", "replace")
        check(status == 0, "exit status %r after SIGTERM" % status)
        check(stderr == "", "the program wrote to stderr:\n" + stderr)
        check(sorted(os.listdir(work)) == ["KRVXR.debug"], "files left %r" % sorted(os.listdir(work)))
        if os.path.isfile(os.path.join(work, "KRVXR.debug")):
            rp.check_trace(rp.read_log(work), 1, "Wayland run")
        check(sorted(os.listdir(runtime)) == compositor_files,
              "runtime folder %r, only weston's %r expected" % (sorted(os.listdir(runtime)), compositor_files))
        check(os.listdir(home) == [], "files left in the home folder: %r" % os.listdir(home))
        with open(weston_log, encoding="utf-8", errors="replace") as f:
            ids = re.findall(r'xdg_toplevel@\d+\.set_app_id\("([^"]*)"\)', f.read())
        check(ids and set(ids) == {app_id}, "app ids of the windows %r, expected %r" % (ids, app_id))
    finally:
        if proc and proc.poll() is None:
            proc.kill()
            proc.wait()
        rp.end_process(weston)


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    if not shutil.which("weston"):
        print("FAIL: weston is not installed (scripts/test installs it)")
        return 1
    base = tempfile.mkdtemp(prefix="krvx-wayland-")
    try:
        run(os.path.abspath(sys.argv[1]), sys.argv[2], base)
        if rp.failures and os.path.exists(os.path.join(base, "weston.log")):
            with open(os.path.join(base, "weston.log"), encoding="utf-8", errors="replace") as f:
                print("weston's log ends:\n" + "".join([line for line in f if "[proto]" not in line][-15:]))
    finally:
        shutil.rmtree(base, ignore_errors=True)
    return rp.verdict()


if __name__ == "__main__":
    sys.exit(main())
