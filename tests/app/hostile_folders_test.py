#!/usr/bin/env python3
"""Starts the real program under a private Xvfb in working directories that
are hostile to it: read-only, empty, every data file random bytes, every data
file a folder, a FIFO, or a link into a missing folder. In each it opens
every window through the menu (clicking its buttons with XTest), closes them
again, closes the menu and checks that the program ended cleanly and that no
file it did not mean to write has changed.

usage: hostile_folders_test.py PATH/TO/korvax-rechner
"""
import os
import pwd
import random
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from desktop import ProgramTest, main, runtime_dir, snapshot, write  # noqa: E402

DATA_FILES = ["schiffe.dat", "planeten.dat", "produktion.dat", "kurse.dat", "creditkurse.dat",
              "tausch.dat", "KRVXR.debug"]
# What closing the windows writes: the inputs of two calculators, the rates
# (closing the rate editor is saving), the planet list and the debug log.
WRITTEN = {"produktion.dat", "tausch.dat", "creditkurse.dat", "planeten.dat", "KRVXR.debug"}


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
    program = shutil.copy(ProgramTest.args[0], folder)
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


def fill_fifos(workdir):
    for name in DATA_FILES:
        os.mkfifo(os.path.join(workdir, name))


def fill_links(workdir):
    for name in DATA_FILES:
        os.symlink(os.path.join("missing", name), os.path.join(workdir, name))


def fill_example(workdir):
    write(os.path.join(workdir, "schiffe.dat"), b'"Frachter"\r\n1,2,3,4,5\r\n12\r\n30\r\n')
    write(os.path.join(workdir, "planeten.dat"), b"Heimat\r\n 1 \r\n 12 \r\n 3 \r\n")


# Root writes into read-only folders anyway: the read-only case runs the
# program as an unprivileged user then. The folder's name, how it is filled,
# which files may change.
CASES = [
    ("read-only", fill_example, set()),
    ("empty", lambda d: None, WRITTEN),
    ("random-bytes", fill_random, {"produktion.dat", "tausch.dat", "creditkurse.dat", "KRVXR.debug"}),
    ("folders", fill_folders, set()),
    ("fifos", fill_fifos, {"produktion.dat", "tausch.dat"}),
    ("dangling-links", fill_links, set()),
]


class HostileFolders(ProgramTest):
    def test_every_window_in_each_folder(self):
        os.chmod(self.base, 0o755)
        other = readable_for(pwd.getpwnam("nobody"), self.base) if os.geteuid() == 0 else None
        for name, prepare, allowed in CASES:
            with self.subTest(name):
                self.run_case(name, prepare, allowed, other if name == "read-only" else None)

    def run_case(self, name, prepare, allowed, as_user):
        where = "folder " + name
        workdir, home = self.folder(name), self.folder(name + "-home")
        for folder in (workdir, home):
            os.chmod(folder, 0o755)
        command, options = [self.program], {}
        if as_user is not None:
            user, command[0], options = as_user
            for folder in (home, runtime_dir(home)):
                os.chown(folder, user.pw_uid, user.pw_gid)
            command = ["setpriv", "--reuid", str(user.pw_uid), "--regid", str(user.pw_gid),
                       "--clear-groups", "--"] + command
        prepare(workdir)
        before = snapshot(workdir)
        if name == "read-only":
            os.chmod(workdir, 0o555)
        try:
            with self.start(workdir, home, command, options) as run:
                if name == "read-only":  # no lock file can be made there: a box says so first
                    run.close_start_box(where)
                self.assertEqual(run.end(run.drive()), 0, where + ": exit status")
        finally:
            os.chmod(workdir, 0o755)
        after = snapshot(workdir)
        changed = sorted(r for r in set(before) | set(after) if before.get(r) != after.get(r))
        for rel in changed:
            old, new = before.get(rel), after.get(rel)
            self.assertIn(rel, allowed, "%s: %s changed: %s -> %s" % (where, rel, short(old), short(new)))
            if rel == "KRVXR.debug" and isinstance(old, tuple):
                self.assertTrue(isinstance(new, tuple) and new[1].startswith(old[1]),
                                where + ": the debug log was not only appended to")
        log, old_log = after.get("KRVXR.debug"), before.get("KRVXR.debug")
        if isinstance(log, tuple):
            self.check_pairs(log[1][len(old_log[1]) if isinstance(old_log, tuple) else 0:], where)
        print("%s: every window opened and closed; message boxes: %s; changed: %s"
              % (where, run.boxes or "none", changed), flush=True)


if __name__ == "__main__":
    sys.exit(main())
