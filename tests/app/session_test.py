#!/usr/bin/env python3
"""The real program under a private Xvfb on a player's ordinary day: the
desktop session ends it (signals, two at once, under nohup, at the file limit)
right after a planet was added, and while the catalogue editor asks its save
question; it is started a second time in the same data folder (in the folder and
with --data-folder), in another folder, after a kill, and while the first
program does not answer.

usage: session_test.py PATH/TO/korvax-rechner
"""
import ctypes
import glob
import os
import select
import shutil
import signal
import socket
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import hostile_folders_test as hf  # noqa: E402  (one run driven through its windows)
import real_program_test as rp  # noqa: E402

PROGRAM = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else None
SEED = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "packaging", "seed")
NEW_PLANET = b"Kolonie Nord\r\n 4 \r\n 55 \r\n 9 \r\n"
check = rp.check


def example_folder(path):
    os.makedirs(path)
    for name in os.listdir(SEED):
        shutil.copy(os.path.join(SEED, name), path)
    return path


def start(x, display, workdir, home, args=(), env_extra=None, prefix=()):
    command = list(prefix) + [PROGRAM] + list(args)
    hf.PROGRAM = command[0]
    others = x.viewable_windows()  # of the programs already running: not this run's
    run = hf.Run(x, display, workdir, home, args=command[1:], env_extra=env_extra)
    run.known.update((w, "another program's") for w in others)
    menu = run.wait_window("Korvax Rechner", seconds=120)
    check(menu, workdir + ": the main menu did not appear")
    rp.wait_for(lambda: not [w for w in x.viewable_windows() if run.splash_type in x.window_types(w)], 30)
    return run, menu


def open_from(run, window, px, py, title):
    for _ in range(3):
        run.x.click(window, px, py)
        w = run.wait_window(title, None, 15)
        if w:
            return w
    check(False, "%s did not open" % title)
    return None


def add_planet(run, menu):
    """Reisezeit, Neuer Planet, "Kolonie Nord" at 4:55:9, Hinzufügen."""
    bar = run.x.geometry(menu)[3] - hf.MENU_CLIENT_HEIGHT
    zeit = open_from(run, menu, 208, bar + 84, "Reisezeit")
    dialog = zeit and open_from(run, zeit, 72, 96, "Neuer Planet")
    if not dialog:
        return
    run.x.click(dialog, 50, 44)  # into the name box
    # Keys typed while the new window is not yet the X server's focus go to
    # the window before it, as they would for a user that fast.
    check(rp.wait_for(lambda: has_focus(run.x, dialog), 15), "Neuer Planet did not take the keyboard")
    # A program just started under a sanitizer now and then drops the very
    # first key it is sent; the name typed again over itself is whole.
    run.x.type_text("Kolonie Nord")
    run.x.key("Home")
    run.x.key("End", "Shift_L")
    run.x.type_text("Kolonie Nord")
    for value in ("4", "55", "9"):
        run.x.key("Tab")
        run.x.type_text(value)
    run.x.key("Return")
    check(rp.wait_for(lambda: dialog not in run.x.viewable_windows(), 15), "Neuer Planet did not close")


def has_focus(x, window):
    focus, revert = ctypes.c_ulong(), ctypes.c_int()
    x.lib.XGetInputFocus.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_int)]
    x.lib.XGetInputFocus(x.dpy, ctypes.byref(focus), ctypes.byref(revert))
    return focus.value == window


def ended(run, seconds=120):
    try:
        return run.proc.wait(timeout=seconds)
    except subprocess.TimeoutExpired:
        run.proc.kill()
        run.proc.wait()
        return None


def planets(workdir):
    with open(os.path.join(workdir, "planeten.dat"), "rb") as f:
        return f.read()


def at_file_limit(pid, home):
    """Two descriptors left (six under the sanitizers, whose checks need a
    pipe), then 500 idle connections: some are hung up, the program does not spin."""
    fds, room = set(map(int, os.listdir("/proc/%d/fd" % pid))), 6 if b"__asan_init" in open(PROGRAM, "rb").read() else 2
    subprocess.run(["prlimit", "--pid", str(pid), "--nofile=%d:" % [n for n in range(999) if n not in fds][room]])
    tries = [socket.socket(socket.AF_UNIX, socket.SOCK_STREAM | socket.SOCK_NONBLOCK) for _ in range(500)]
    connections = [c for c in tries if c.connect_ex(glob.glob(rp.runtime_dir(home) + "/*.socket")[0]) == 0]
    cpu = lambda: sum(map(int, open("/proc/%d/stat" % pid).read().rsplit(")", 1)[1].split()[11:13]))  # noqa: E731
    before = cpu()
    time.sleep(3)
    check(cpu() - before < os.sysconf("SC_CLK_TCK") / 2, "at the file limit the program spins")
    check(select.select(connections, [], [], 0)[0], "idle connections are kept for ever")
    return tries  # open until the session ends


def scenario_signals(x, display, base):
    """A planet added, then the session ends: the planet is in the file, the
    log's last line is End Debugging, the exit status 0."""
    term, hup = signal.SIGTERM, signal.SIGHUP
    for where, signals, prefix in (("SIGTERM", [term], ()), ("SIGINT", [signal.SIGINT], ()), ("SIGHUP", [hup], ()),
                                   ("logout", [term] + [hup] * 50, ()),  # systemd sends both at once
                                   ("nohup", [hup], ("nohup",)), ("file limit", [term], ())):
        workdir = example_folder(os.path.join(base, "signal-" + where))
        run, menu = start(x, display, workdir, workdir + "-home", prefix=prefix)
        if not menu:
            continue
        add_planet(run, menu)
        if where == "file limit":
            flood = at_file_limit(run.proc.pid, workdir + "-home")  # noqa: F841
        for sig in signals:
            run.proc.send_signal(sig)
            time.sleep(0.003)
        if prefix:  # SIGHUP stays ignored
            time.sleep(2)
            check(run.proc.poll() is None, "nohup: SIGHUP ended the program")
            run.proc.send_signal(term)
        status = ended(run)
        check(status == 0, "%s: exit status %r" % (where, status))
        check(planets(workdir).endswith(NEW_PLANET),
              "%s: the new planet was not saved: planeten.dat ends %r, the log %r"
              % (where, planets(workdir)[-60:], rp.read_log(workdir)[-300:]))
        check(rp.read_log(workdir).endswith("End Debugging\r\n"), "%s: the log does not end the run" % where)


def scenario_signal_during_question(x, display, base):
    """The session ends while the catalogue editor asks "Änderungen
    speichern?" (the menu was closed with a value typed): the box goes, the
    typed value is dropped, the program ends cleanly."""
    workdir = example_folder(os.path.join(base, "signal-question"))
    with open(os.path.join(workdir, "schiffe.dat"), "rb") as f:
        ships = f.read()
    run, menu = start(x, display, workdir, workdir + "-home")
    if not menu:
        return
    bar = run.x.geometry(menu)[3] - hf.MENU_CLIENT_HEIGHT
    rates = open_from(run, menu, 18, bar // 2, "Konfiguration")
    editor = rates and open_from(run, rates, 256, 212, "Konfiguration")
    if not editor:
        return
    run.x.click(editor, 52, 140)  # Bearbeiten
    run.x.click(editor, 46, 57)  # the Erz box
    run.x.type_text("77")
    run.x.send_delete(menu)
    question = run.wait_window("Speichern?", None, 15)
    check(question, "the save question did not appear")
    # A second start brings the windows forward; the box they wait for stays in front.
    second = second_start(x, display, workdir, workdir + "-home")
    second_ended(second)
    check(second.returncode == 0, "second start during the save question: exit status %r" % second.returncode)
    check(rp.wait_for(lambda: x.viewable_windows()[-1] == question, 10), "a second start hid the save question")
    run.proc.send_signal(signal.SIGTERM)
    status = ended(run)
    check(status == 0, "signal during the save question: exit status %r" % status)
    with open(os.path.join(workdir, "schiffe.dat"), "rb") as f:
        check(f.read() == ships, "signal during the save question: schiffe.dat changed")
    check(rp.read_log(workdir).endswith("End Debugging\r\n"), "signal during the save question: log not ended")


def second_start(x, display, cwd, home, args=(), env_extra=None):
    env = rp.program_env(display, home)
    env.update(env_extra or {})
    return subprocess.Popen([PROGRAM] + list(args), cwd=cwd, env=env, stdin=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, preexec_fn=rp.die_with_parent)


def second_ended(second, seconds=60):
    """Waits for a second start to end (killed after seconds); its stderr."""
    try:
        return second.communicate(timeout=seconds)[1]
    except subprocess.TimeoutExpired:
        second.kill()
        return second.communicate()[1]


def menus(x):
    return [w for w in x.viewable_windows() if x.title(w) == "Korvax Rechner"]


def scenario_second_start(x, display, base):
    """One program per data folder: a second start in the folder and one by
    --data-folder bring the first to the front and end; a start in another
    folder runs beside it (a runtime folder others may write to is not used;
    one too long for a socket holds no lock); a stopped first program makes
    eight starts say so and end with 1; a killed one does not stop the next
    start, also in a PID namespace, which gives both the same PID."""
    xdg = os.path.join(base, "xdg")
    workdir = example_folder(os.path.join(xdg, "korvax-rechner"))
    home = os.path.join(base, "home-second")
    run, menu = start(x, display, workdir, home)
    if not menu:
        return
    add_planet(run, menu)
    for where, cwd, args in (("in the folder", workdir, ()), ("by --data-folder", base, ("--data-folder",))):
        second = second_start(x, display, cwd, home, args, {"XDG_DATA_HOME": xdg})
        err = second_ended(second)
        check(second.returncode == 0, "second start %s: exit status %r" % (where, second.returncode))
        check(len(err.decode("utf-8", "replace").splitlines()) == 1, "second start %s said %r" % (where, err))
        check(menus(x) == [menu], "second start %s: menus on the screen %r" % (where, menus(x)))
        check(rp.wait_for(lambda: x.viewable_windows()[-1] == menu, 10),
              "second start %s: the menu is not in front" % where)

    other = example_folder(os.path.join(base, "other"))
    for name, mode, count in (("shared", 0o777, 1), ("x" * 110, 0o700, 2)):  # too long for a socket: both run
        runtime = os.path.join(base, name)
        os.mkdir(runtime)
        os.chmod(runtime, mode)
        runs = [start(x, display, other, home, env_extra={"XDG_RUNTIME_DIR": runtime}) for _ in range(count)]
        # A menu just shown, or one whose program just ended, may take a moment to show or go.
        check(all(m for _, m in runs) and rp.wait_for(lambda: len(menus(x)) == count + 1, 15),
              "%s: not all starts ran (menus on the screen: %d)" % (name[:9], len(menus(x))))
        check(not os.listdir(runtime), "%s: a lock was left in the runtime folder" % name[:9])
        for r, _ in runs:
            r.proc.send_signal(signal.SIGTERM)
            check(ended(r) == 0, "the program in the other folder did not end cleanly")

    run.proc.send_signal(signal.SIGSTOP)
    seconds = [second_start(x, display, workdir, home) for _ in range(8)]
    boxes = lambda: [w for w in x.viewable_windows() if w != menu and x.title(w) == "Korvax Rechner"]  # noqa: E731
    check(rp.wait_for(lambda: len(boxes()) == 8, 60), "%d of 8 starts said the program does not answer" % len(boxes()))
    for w in boxes():
        x.send_delete(w)
    for second in seconds:
        second_ended(second, 30)
        check(second.returncode == 1, "unanswered second start: exit status %r" % second.returncode)
    run.proc.send_signal(signal.SIGCONT)

    run.proc.send_signal(signal.SIGTERM)
    check(ended(run) == 0, "the first program did not end cleanly")
    check(planets(workdir).count(b"Kolonie Nord") == 1,
          "the planet of the first program was lost: planeten.dat ends %r" % planets(workdir)[-60:])

    # A program killed outright leaves its lock behind: harmless.
    pid_namespace = ("unshare", "--fork", "--pid", "--mount-proc", "--kill-child")
    if os.geteuid() != 0 or subprocess.run(pid_namespace + ("true",), stderr=subprocess.DEVNULL).returncode:
        print("note: no PID namespace here (not root, or a container that allows none): restart without one")
        pid_namespace = ()
    killed, killed_menu = start(x, display, workdir, home, prefix=pid_namespace)
    killed.proc.kill()
    killed.proc.wait()
    rp.wait_for(lambda: killed_menu not in x.viewable_windows(), 30)  # the program itself dies a little later
    again, again_menu = start(x, display, workdir, home, prefix=pid_namespace)
    check(again_menu, "a start after a killed program did not run")
    if again_menu:
        x.send_delete(again_menu)
        check(ended(again) == 0, "the start after a kill did not end cleanly")


def scenario_no_display(base):
    """Without a display: one German line on stderr and exit status 1 before
    anything is written (the data folder is not even made); --help and
    --version work all the same."""
    cases = [  # what is set, the arguments, the exit status, the line's words
        ({}, ("--data-folder",), 1, "Keine grafische Anzeige"),
        ({"DISPLAY": ":87"}, ("--data-folder",), 1, "„:87“ lässt sich nicht öffnen"),
        ({"WAYLAND_DISPLAY": "nirgends-0", "QT_QPA_PLATFORM": "wayland", "XDG_RUNTIME_DIR": base},
         ("--data-folder",), 1, "Wayland-Anzeige „nirgends-0“"),
        ({}, ("--help",), 0, None),
        ({}, ("--version",), 0, None),
    ]
    for number, (env_extra, args, expected, words) in enumerate(cases):
        where = "no display %r %s" % (env_extra, " ".join(args))
        xdg = os.path.join(base, "no-display-%d" % number)
        env = rp.program_env(None, xdg)
        env.update(env_extra, XDG_DATA_HOME=xdg)
        os.makedirs(xdg)
        done = subprocess.run([PROGRAM] + list(args), cwd=xdg, env=env, stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=60)
        err = done.stderr.decode("utf-8", "replace")
        check(done.returncode == expected, "%s: exit status %r" % (where, done.returncode))
        if words:
            check(len(err.splitlines()) == 1 and words in err, "%s: said %r" % (where, err))
            check(os.listdir(xdg) == [], "%s: wrote %r" % (where, os.listdir(xdg)))
        else:
            check(done.stdout and not err, "%s: out %r, err %r" % (where, done.stdout, err))


def main():
    return rp.main_under_xvfb(__doc__, PROGRAM, "krvx-session-",
                              [scenario_signals, scenario_signal_during_question, scenario_second_start],
                              without_display=[scenario_no_display])


if __name__ == "__main__":
    sys.exit(main())
