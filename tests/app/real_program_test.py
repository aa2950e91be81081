#!/usr/bin/env python3
"""Starts the real program under a private Xvfb (xcb platform) in temporary
working directories, closes the main menu the way a window manager does when
the user clicks the close button (a WM_DELETE_WINDOW message), and checks the
debug log and every other file left in the working directory.

usage: real_program_test.py PATH/TO/korvax-rechner
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from desktop import ProgramTest, main, read_log, snapshot, wait_for, write  # noqa: E402

PATTERN = bytes(range(256)) * 4
BROKEN_SHIPS = {
    "empty": b"",
    "truncated": b'"Kleiner Frachter"\r\n2000,1500,0,',
    "binary": PATTERN * 16 + b"\x00\xff\"\r\n\x1a",
    "huge": (b'"Schiff"\r\n1,2,3,4,5\r\n7\r\n9\r\n' * 400000)[:-3],
    "overflow": b'"Zu schnell"\r\n1,2,3,4,5\r\n99999\r\n1E+300\r\n"X"\r\n1E+30,0,0,0,0\r\n1\r\n1\r\n',
}


class RealProgram(ProgramTest):
    def test_clean_start(self):
        """An empty folder: the menu and the splash appear; closing the menu
        (splash still open) ends the program and leaves only the debug log. A second
        run, closed after the splash has gone by itself, appends its own trace."""
        workdir, home = self.folder("clean"), self.folder("home-clean")
        status, splash_seen = self.run_program(workdir, home)
        self.assertEqual(status, 0, "clean start")
        self.assertTrue(splash_seen, "clean start: no splash screen appeared")
        self.assertEqual(sorted(os.listdir(workdir)), ["KRVXR.debug"], "clean start: files left")
        self.check_trace(read_log(workdir), 1, "clean start")

        def splash_goes_by_itself(splash):
            self.assertTrue(wait_for(lambda: not splash(), 15), "the splash screen did not close by itself")

        status, _ = self.run_program(workdir, home, splash_goes_by_itself)
        self.assertEqual(status, 0, "second run")
        self.assertEqual(sorted(os.listdir(workdir)), ["KRVXR.debug"], "second run: files left")
        self.check_trace(read_log(workdir), 2, "second run")

    def test_bad_input(self):
        """Broken data files and a debug log that cannot be opened: the program
        starts and ends normally and changes no file."""
        for name, content in BROKEN_SHIPS.items():
            for locked_log in (False, True):
                where = "schiffe.dat %s%s" % (name, ", log is a folder" if locked_log else "")
                with self.subTest(where):
                    workdir = self.folder("bad-%s-%d" % (name, locked_log))
                    write(os.path.join(workdir, "schiffe.dat"), content)
                    write(os.path.join(workdir, "planeten.dat"), PATTERN)
                    if locked_log:
                        os.makedirs(os.path.join(workdir, "KRVXR.debug"))
                    before = snapshot(workdir)
                    status, _ = self.run_program(workdir, self.folder("bad-%s-%d-home" % (name, locked_log)))
                    self.assertEqual(status, 0, where)
                    after = snapshot(workdir)
                    if not locked_log:
                        self.assertIsNotNone(after.pop("KRVXR.debug", None), where + ": no debug log")
                        self.check_trace(read_log(workdir), 1, where)
                    self.assertTrue(after == before, where + ": files changed")


if __name__ == "__main__":
    sys.exit(main())
