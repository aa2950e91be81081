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
import signal
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from desktop import ProgramTest, die_with_parent, end_process, main, read_log, wait_for  # noqa: E402

SOCKET = "krvx-wayland"


def start_weston(base, runtime):
    """A headless weston with its own runtime folder. Its log records every
    request of the protocol (the "proto" scope): the app ids the program sets."""
    log = os.path.join(base, "weston.log")
    env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": base, "XDG_RUNTIME_DIR": runtime}
    weston = subprocess.Popen(["weston", "--backend=headless-backend.so", "--socket=" + SOCKET, "--no-config",
                               "--idle-time=0", "--logger-scopes=log,proto", "--log=" + log],
                              env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, preexec_fn=die_with_parent)
    up = wait_for(lambda: weston.poll() is not None or os.path.exists(os.path.join(runtime, SOCKET)), 30)
    return weston, log, bool(up) and weston.poll() is None


def logged(workdir, line):
    try:
        return line in read_log(workdir)
    except OSError:
        return False


class Wayland(ProgramTest):
    with_display = False

    def test_sigterm_on_wayland(self):
        base = self.base
        runtime, work, home = (self.folder(name) for name in ("runtime", "work", "home"))
        os.chmod(runtime, 0o700)
        weston, weston_log, up = start_weston(base, runtime)
        self.addCleanup(end_process, weston)
        self.addCleanup(self.print_weston_log, weston_log)
        self.assertTrue(up, "weston did not start (see its log %s)" % weston_log)
        compositor_files = sorted(os.listdir(runtime))
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": home, "XDG_RUNTIME_DIR": runtime,
               "WAYLAND_DISPLAY": SOCKET, "QT_QPA_PLATFORM": "wayland", "LANG": "C"}
        env.update({k: v for k, v in os.environ.items() if k.endswith("SAN_OPTIONS")})
        with open(os.path.join(base, "stderr"), "w+b") as err:
            proc = subprocess.Popen([self.program], cwd=work, env=env, stdin=subprocess.DEVNULL,
                                    stdout=subprocess.DEVNULL, stderr=err, preexec_fn=die_with_parent)
            self.addCleanup(end_process, proc)
            # Generous: a sanitizer build on a busy machine starts slowly.
            wait_for(lambda: proc.poll() is not None or logged(work, "Begin Debugging"), 120)
            self.assertTrue(proc.poll() is None and logged(work, "Begin Debugging"),
                            "the menu was not shown (exit status %r)" % proc.poll())
            proc.send_signal(signal.SIGTERM)
            try:
                status = proc.wait(timeout=120)
            except subprocess.TimeoutExpired:
                status = None
            err.seek(0)
            stderr = err.read().decode("utf-8", "replace")
        self.assertEqual(status, 0, "exit status after SIGTERM")
        self.assertEqual(stderr, "", "the program wrote to stderr")
        self.assertEqual(sorted(os.listdir(work)), ["KRVXR.debug"], "files left")
        self.check_trace(read_log(work), 1, "Wayland run")
        self.assertEqual(sorted(os.listdir(runtime)), compositor_files, "runtime folder: only weston's expected")
        self.assertEqual(os.listdir(home), [], "files left in the home folder")
        with open(weston_log, encoding="utf-8", errors="replace") as f:
            ids = re.findall(r'xdg_toplevel@\d+\.set_app_id\("([^"]*)"\)', f.read())
        self.assertTrue(ids and set(ids) == {self.args[1]},
                        "app ids of the windows %r, expected %r" % (ids, self.args[1]))

    def print_weston_log(self, weston_log):
        if os.path.exists(weston_log) and not self._outcome.success:
            with open(weston_log, encoding="utf-8", errors="replace") as f:
                print("weston's log ends:\n" + "".join([line for line in f if "[proto]" not in line][-15:]))


if __name__ == "__main__":
    sys.exit(main())
