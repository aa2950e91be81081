#!/usr/bin/env python3
"""The real program under a private Xvfb on a player's ordinary day: the
desktop session ends it (signals, two at once, under nohup, at the file limit)
right after a planet was added, and while the catalogue editor asks its save
question; it is started a second time in the same data folder (in the folder and
with --data-folder), in another folder, after a kill, and while the first
program does not answer.

usage: session_test.py PATH/TO/korvax-rechner
"""
import fcntl
import glob
import os
import pathlib
import select
import signal
import socket
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from desktop import (NEW_PLANET, ProgramTest, die_with_parent, example_folder, main, menus, program_env,  # noqa: E402
                     read_log, runtime_dir, snapshot, wait_for)


def at_file_limit(test, pid, home):
    """Two descriptors left (six under the sanitizers, whose checks need a
    pipe), then 500 idle connections: some are hung up, the program does not spin."""
    fds = set(map(int, os.listdir("/proc/%d/fd" % pid)))
    room = 6 if b"__asan_init" in pathlib.Path(test.program).read_bytes() else 2
    subprocess.run(["prlimit", "--pid", str(pid), "--nofile=%d:" % [n for n in range(999) if n not in fds][room]])
    tries = [socket.socket(socket.AF_UNIX, socket.SOCK_STREAM | socket.SOCK_NONBLOCK) for _ in range(500)]
    connections = [c for c in tries if c.connect_ex(glob.glob(runtime_dir(home) + "/*.socket")[0]) == 0]
    cpu = lambda: sum(map(int, pathlib.Path("/proc/%d/stat" % pid).read_text().rsplit(")", 1)[1].split()[11:13]))  # noqa: E731
    before = cpu()
    time.sleep(3)
    test.assertLess(cpu() - before, os.sysconf("SC_CLK_TCK") / 2, "at the file limit the program spins")
    test.assertTrue(select.select(connections, [], [], 0)[0], "idle connections are kept for ever")
    return tries  # open until the session ends


def second_start(test, cwd, home, args=(), env_extra=None):
    env = program_env(test.display, home, env_extra)
    return subprocess.Popen([test.program] + list(args), cwd=cwd, env=env, stdin=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, preexec_fn=die_with_parent)


def second_ended(second, seconds=60):
    """Waits for a second start to end (killed after seconds); its stderr."""
    try:
        return second.communicate(timeout=seconds)[1]
    except subprocess.TimeoutExpired:
        second.kill()
        return second.communicate()[1]


# The program started with stderr a pipe whose reader has gone (a closed terminal's tee).
STDERR_GONE = (sys.executable, "-c", "import os, signal, sys; signal.signal(signal.SIGPIPE, signal.SIG_DFL); "
               "os.dup2(os.pipe()[1], 2); os.execv(sys.argv[1], sys.argv[1:])")

# A runtime folder's name and mode, whether the first start has it as XDG_RUNTIME_DIR, the second's.
RUNTIME_FOLDERS = [
    ("shared", 0o777, True, True),  # others may write to it: a private folder of the temporary folder instead
    ("x" * 110, 0o700, True, True),  # too long for a socket's address
    ("first without", 0o700, False, True),  # one start from a session without one (ssh, su, cron)
]
# What may stand at the lock file's name: the folder takes no lock.
PLANTED = [("link", lambda path: os.symlink("schiffe.dat", path)), ("fifo", os.mkfifo), ("folder", os.mkdir)]

def lose_display(run, menu):
    """Config, 77 typed over the Erz Kaufkurs (its copy on the clipboard tells
    that the program has it); then the X server drops the program's
    connection, as it does when it dies."""
    run.x.window(menu).configure(stack_mode=0)  # Above the windows that opened in its place
    run.x.click(run.open_from(menu, 18, run.bar(menu) // 2, "Konfiguration"), 100, 49)
    for keys in (("a", "Control_L"), ("7",), ("7",), ("a", "Control_L"), ("c", "Control_L")):
        run.x.key(*keys)
    run.test.assertTrue(wait_for(lambda: run.x.clipboard() == "77", 15), "Config did not take the typed rate")
    run.x.window(menu).kill_client()
    run.x.dpy.sync()


NO_DISPLAY = [  # what is set, the arguments, the exit status, the line's words
    ({}, ("--data-folder",), 1, "Keine grafische Anzeige"),
    ({"DISPLAY": ":87"}, ("--data-folder",), 1, "„:87“ lässt sich nicht öffnen"),
    ({"WAYLAND_DISPLAY": "nirgends-0", "QT_QPA_PLATFORM": "wayland", "XDG_RUNTIME_DIR": None},
     ("--data-folder",), 1, "Wayland-Anzeige „nirgends-0“"),
    ({}, ("--help",), 0, None),
    ({}, ("--version",), 0, None),
]


class Session(ProgramTest):
    def started(self, workdir, home, env_extra=None, prefix=()):
        """A run in workdir once its menu is shown and the splash screen has gone: (run, menu)."""
        run = self.enterContext(self.start(workdir, home, list(prefix) + [self.program], env_extra))
        return run, run.menu()

    def test_signals(self):
        """A planet added, then the session ends: the planet is in the file, the
        log's last line is End Debugging, the exit status 0. So when the data
        folder has been renamed and a link to an empty folder put in its place
        (the files stay in the folder the program works in), and when the X
        server drops the program's connection, as when the server dies, with
        rates just typed in Config (they are saved too, the exit status is 1)."""
        term, hup = signal.SIGTERM, signal.SIGHUP
        for where, signals, prefix in (("SIGTERM", [term], ()), ("SIGINT", [signal.SIGINT], ()),
                                       ("SIGHUP", [hup], ()),
                                       ("logout", [term] + [hup] * 50, ()),  # systemd sends both at once
                                       ("nohup", [hup], ("nohup",)), ("file limit", [term], ()),
                                       ("stderr gone", [term], STDERR_GONE), ("folder swapped", [term], ()),
                                       ("display lost", [], ())):
            with self.subTest(where):
                workdir = example_folder(os.path.join(self.base, "signal-" + where))
                env_extra = {"XDG_RUNTIME_DIR": None, "TMPDIR": self.folder("tmp-" + where)}  # in it a folder
                os.chmod(self.folder("tmp-%s/korvax-rechner-%d" % (where, os.getuid())), 0o777)  # others made
                run, menu = self.started(workdir, workdir + "-home", prefix == STDERR_GONE and env_extra, prefix)
                run.add_planet(menu)
                flood = at_file_limit(self, run.proc.pid, workdir + "-home") if where == "file limit" else []
                if where == "folder swapped":  # renamed, and a link to an empty folder in its place
                    os.rename(workdir, workdir + "-real")
                    os.symlink(self.folder("decoy"), workdir)
                    run.workdir = workdir = workdir + "-real"
                if where == "display lost":
                    lose_display(run, menu)
                for sig in signals:
                    run.proc.send_signal(sig)
                    time.sleep(0.003)
                if prefix == ("nohup",):  # SIGHUP stays ignored
                    time.sleep(2)
                    self.assertIsNone(run.proc.poll(), "nohup: SIGHUP ended the program")
                    run.proc.send_signal(term)
                self.assertEqual(run.ended(), int(where == "display lost"), where + ": exit status")
                for connection in flood:
                    connection.close()
                self.assertTrue(run.planets().endswith(NEW_PLANET),
                                "%s: the new planet was not saved: planeten.dat ends %r, the log %r"
                                % (where, run.planets()[-60:], read_log(workdir)[-300:]))
                self.assertTrue(read_log(workdir).endswith("End Debugging\r\n"),
                                where + ": the log does not end the run")
                rates = pathlib.Path(workdir, "creditkurse.dat").read_bytes()
                self.assertTrue(where != "display lost" or rates.startswith(b"77,"), "rates lost: %r" % rates)

    def test_signal_during_question(self):
        """The session ends while the catalogue editor asks "Änderungen
        speichern?" (the menu was closed with a value typed): the box goes, the
        typed value is dropped, the program ends cleanly."""
        workdir = example_folder(os.path.join(self.base, "signal-question"))
        with open(os.path.join(workdir, "schiffe.dat"), "rb") as f:
            ships = f.read()
        run, menu = self.started(workdir, workdir + "-home")
        rates = run.open_from(menu, 18, run.bar(menu) // 2, "Konfiguration")
        editor = run.open_from(rates, 256, 212, "Konfiguration")
        run.x.click(editor, 52, 140)  # Bearbeiten
        run.x.click(editor, 46, 57)  # the Erz box
        run.x.type_text("77")
        run.x.send_delete(menu)
        question = run.wait_window("Speichern?", None, 15)
        self.assertTrue(question, "the save question did not appear")
        # A second start brings the windows forward; the box they wait for stays in front.
        second = second_start(self, workdir, workdir + "-home")
        second_ended(second)
        self.assertEqual(second.returncode, 0, "second start during the save question: exit status")
        self.assertTrue(wait_for(lambda: self.x.viewable_windows()[-1] == question, 10),
                        "a second start hid the save question")
        run.proc.send_signal(signal.SIGTERM)
        self.assertEqual(run.ended(), 0, "signal during the save question: exit status")
        with open(os.path.join(workdir, "schiffe.dat"), "rb") as f:
            self.assertTrue(f.read() == ships, "signal during the save question: schiffe.dat changed")
        self.assertTrue(read_log(workdir).endswith("End Debugging\r\n"),
                        "signal during the save question: log not ended")

    def test_second_start(self):
        """One program per data folder: a second start in the folder and one by
        --data-folder bring the first to the front and end; so do they in another
        folder, whatever runtime folder each start has (one others may write to
        is not used, one too long for a socket's address, none); a stopped first program makes
        eight starts say so and end with 1; a killed one does not stop the next
        start, also in a PID namespace, which gives both the same PID."""
        x, base = self.x, self.base
        xdg = os.path.join(base, "xdg")
        workdir = example_folder(os.path.join(xdg, "korvax-rechner"))
        home = os.path.join(base, "home-second")
        run, menu = self.started(workdir, home)
        run.add_planet(menu)
        for where, cwd, args in (("in the folder", workdir, ()), ("by --data-folder", base, ("--data-folder",))):
            second = second_start(self, cwd, home, args, {"XDG_DATA_HOME": xdg})
            err = second_ended(second)
            self.assertEqual(second.returncode, 0, "second start %s: exit status %r" % (where, err))
            self.assertEqual(len(err.decode("utf-8", "replace").splitlines()), 1,
                             "second start %s said %r" % (where, err))
            self.assertEqual(menus(x), [menu], "second start %s: menus on the screen" % where)
            self.assertTrue(wait_for(lambda: x.viewable_windows()[-1] == menu, 10),
                            "second start %s: the menu is not in front" % where)

        other = example_folder(os.path.join(base, "other"))
        for name, mode, first_has, second_has in RUNTIME_FOLDERS:
            runtime = os.path.join(base, name)
            os.mkdir(runtime)
            os.chmod(runtime, mode)
            tmp = self.folder("tmp-" + name[:9])
            env_of = lambda has: {"TMPDIR": tmp, "XDG_RUNTIME_DIR": runtime if has else None}  # noqa: E731
            first, _ = self.started(other, home, env_extra=env_of(first_has))
            second = second_start(self, other, home, (), env_of(second_has))
            err = second_ended(second)
            self.assertEqual(second.returncode, 0, "%s: the second start said %r" % (name[:13], err))
            # A menu just shown, or one whose program just ended, may take a moment to show or go.
            self.assertTrue(wait_for(lambda: len(menus(x)) == 2, 15), "%s: %d menus" % (name[:13], len(menus(x))))
            self.assertTrue(mode == 0o700 or not os.listdir(runtime), "a socket in a runtime folder others write")
            first.proc.send_signal(signal.SIGTERM)
            self.assertEqual(first.ended(), 0, "the program in the other folder did not end cleanly")
            self.assertNotIn(".korvax-rechner.lock", os.listdir(other), "%s: the lock file was left" % name[:9])

        run.proc.send_signal(signal.SIGSTOP)
        seconds = [second_start(self, workdir, home) for _ in range(8)]
        boxes = lambda: [w for w in x.viewable_windows() if w != menu and x.title(w) == "Korvax Rechner"]  # noqa: E731
        self.assertTrue(wait_for(lambda: len(boxes()) == 8, 60),
                        "%d of 8 starts said the program does not answer" % len(boxes()))
        for w in boxes():
            x.send_delete(w)
        for second in seconds:
            second_ended(second, 30)
            self.assertEqual(second.returncode, 1, "unanswered second start: exit status")
        run.proc.send_signal(signal.SIGCONT)

        run.proc.send_signal(signal.SIGTERM)
        self.assertEqual(run.ended(), 0, "the first program did not end cleanly")
        self.assertEqual(run.planets().count(b"Kolonie Nord"), 1,
                         "the planet of the first program was lost: planeten.dat ends %r" % run.planets()[-60:])

        # A program killed outright leaves its lock behind: harmless.
        pid_namespace = ("unshare", "--fork", "--pid", "--mount-proc", "--kill-child")
        if os.geteuid() != 0 or subprocess.run(pid_namespace + ("true",), stderr=subprocess.DEVNULL).returncode:
            print("note: no PID namespace here (not root, or a container that allows none): restart without one")
            pid_namespace = ()
        killed, killed_menu = self.started(workdir, home, prefix=pid_namespace)
        killed.proc.kill()
        killed.proc.wait()
        wait_for(lambda: killed_menu not in x.viewable_windows(), 30)  # the program itself dies a little later
        again, again_menu = self.started(workdir, home, prefix=pid_namespace)
        x.send_delete(again_menu)
        self.assertEqual(again.ended(), 0, "the start after a kill did not end cleanly")

    def test_lock_file(self):
        """The lock in the data folder held by a program out of reach (the test's flock): a start
        says so in a box, status 1. Something at the lock file's name: a box, then the program runs."""
        workdir = example_folder(os.path.join(self.base, "lock-held"))
        with open(os.path.join(workdir, ".korvax-rechner.lock"), "w") as held:
            fcntl.flock(held, fcntl.LOCK_EX)
            run = self.enterContext(self.start(workdir, workdir + "-home"))
            run.close_start_box("a lock held out of reach")
            self.assertEqual(run.ended(), 1, "a lock held out of reach: exit status")
        for name, plant in PLANTED:
            with self.subTest(name):
                workdir = example_folder(os.path.join(self.base, "planted-" + name))
                plant(os.path.join(workdir, ".korvax-rechner.lock"))
                before = snapshot(workdir)
                run = self.enterContext(self.start(workdir, workdir + "-home"))
                run.close_start_box(name)
                self.x.send_delete(run.menu())
                self.assertEqual(run.ended(), 0, name + ": exit status")
                after = {k: v for k, v in snapshot(workdir).items() if k != "KRVXR.debug"}
                self.assertEqual(after, before, name + ": the folder changed")

    def test_no_display(self):
        """Without a display: one German line on stderr and exit status 1 before
        anything is written (the data folder is not even made); --help and
        --version work all the same."""
        for number, (env_extra, args, expected, words) in enumerate(NO_DISPLAY):
            where = "no display %r %s" % (env_extra, " ".join(args))
            with self.subTest(where):
                xdg = self.folder("no-display-%d" % number)
                env = program_env(None, xdg)
                env.update({k: v or self.base for k, v in env_extra.items()}, XDG_DATA_HOME=xdg)
                done = subprocess.run([self.program] + list(args), cwd=xdg, env=env, stdin=subprocess.DEVNULL,
                                      capture_output=True, timeout=60)
                err = done.stderr.decode("utf-8", "replace")
                self.assertEqual(done.returncode, expected, where + ": exit status")
                if words:
                    self.assertTrue(len(err.splitlines()) == 1 and words in err, "%s: said %r" % (where, err))
                    self.assertEqual(os.listdir(xdg), [], where + ": wrote")
                else:
                    self.assertTrue(done.stdout and not err, "%s: out %r, err %r" % (where, done.stdout, err))


if __name__ == "__main__":
    sys.exit(main())
