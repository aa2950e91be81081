#!/usr/bin/env python3
"""Builds the Debian package from a build tree with CPack, unpacks it into a
temporary root (dpkg -x) and checks it as a user's system would see it: the
control fields and dependencies, every installed file, Debian's own checks
(lintian without errors or warnings, overrides only with a reason;
hardening-check on the program), the options in the manual pages, the
desktop entry and AppStream data (desktop-file-validate, appstreamcli),
and the installed program itself: --version without a display, then started
from its menu entry's command line under Xvfb, where it creates and seeds the
data folder.

usage: package_test.py BUILD_DIR SOURCE_DIR APP_ID
"""
import glob
import gzip
import os
import re
import shlex
import shutil
import struct
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from desktop import ProgramTest, main, seed_files  # noqa: E402

check = None  # the running test's assertTrue
ICON_SIZES = [16, 22, 24, 32, 48, 64, 128, 256]
# dpkg-shlibdeps finds the libraries; the rest the program loads at run time.
DEPENDS = {"libc6", "libstdc++6", "libgcc-s1", "libqt6core6", "libqt6gui6", "libqt6widgets6",
           "qt6-translations-l10n", "fonts-liberation2"}
DOC = "usr/share/doc/korvax-rechner/"
MANUAL_PAGES = ["usr/share/man/man1/korvax-rechner.1.gz", "usr/share/man/de/man1/korvax-rechner.1.gz"]
OVERRIDES = "usr/share/lintian/overrides/korvax-rechner"


def run(command, **kwargs):
    return subprocess.run(command, capture_output=True, text=True, **kwargs)


def build_package(build_dir, out_dir):
    result = run(["cpack", "-G", "DEB", "--config", os.path.join(build_dir, "CPackConfig.cmake"),
                  "-B", out_dir])
    debs = glob.glob(os.path.join(out_dir, "korvax-rechner_*.deb"))
    check(result.returncode == 0 and len(debs) == 1,
          "cpack failed (%d): %s%s" % (result.returncode, result.stdout, result.stderr))
    return debs[0]


def check_control(deb):
    fields = {}
    for name in ("Package", "Version", "Architecture", "Section", "Maintainer", "Description", "Depends",
                 "Recommends"):
        fields[name] = run(["dpkg-deb", "-f", deb, name]).stdout.strip()
    check(fields["Package"] == "korvax-rechner", "package name %r" % fields["Package"])
    check(os.path.basename(deb) == "korvax-rechner_%s_%s.deb" % (fields["Version"], fields["Architecture"]),
          "file name %s does not follow name_version_architecture.deb" % os.path.basename(deb))
    check(fields["Section"] == "utils", "section %r" % fields["Section"])
    check("<" in fields["Maintainer"] and fields["Maintainer"].endswith(">"),
          "maintainer %r is not 'Name <address>'" % fields["Maintainer"])
    summary, _, long_text = fields["Description"].partition("\n")
    check(summary and long_text.strip() and summary not in long_text,
          "description needs a summary line and a different long text: %r" % fields["Description"])
    names = {d.strip().split(" ")[0] for d in fields["Depends"].split(",")}
    check(names == DEPENDS, "Depends %r, expected the packages %r" % (fields["Depends"], sorted(DEPENDS)))
    check(fields["Recommends"] == "qt6-wayland", "Recommends %r" % fields["Recommends"])
    return fields


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n":
        return None
    return struct.unpack(">II", head[16:24])


def check_files(root, source_dir, app_id):
    seed_dir = os.path.join(source_dir, "packaging", "seed")
    seeds = sorted(n for n in os.listdir(seed_dir) if n.endswith(".dat"))
    expected = {"usr/bin/korvax-rechner", "usr/share/applications/%s.desktop" % app_id,
                "usr/share/metainfo/%s.metainfo.xml" % app_id, DOC + "copyright", DOC + "changelog.Debian.gz",
                "usr/share/icons/hicolor/scalable/apps/korvax-rechner.svg", OVERRIDES}
    expected |= set(MANUAL_PAGES)
    expected |= {"usr/share/icons/hicolor/%dx%d/apps/korvax-rechner.png" % (s, s) for s in ICON_SIZES}
    expected |= {"usr/share/korvax-rechner/seed/" + n for n in seeds}
    found = set()
    for dirpath, _, filenames in os.walk(root):
        found |= {os.path.relpath(os.path.join(dirpath, n), root) for n in filenames}
    check(found == expected, "files in the package: missing %r, unexpected %r"
          % (sorted(expected - found), sorted(found - expected)))
    check(os.access(os.path.join(root, "usr/bin/korvax-rechner"), os.X_OK), "the program is not executable")
    for size in ICON_SIZES:
        path = os.path.join(root, "usr/share/icons/hicolor/%dx%d/apps/korvax-rechner.png" % (size, size))
        if os.path.exists(path):
            check(png_size(path) == (size, size), "icon %d: PNG of size %r" % (size, png_size(path)))
    return seeds


def check_debian(deb, root):
    """lintian and hardening-check as Debian runs them on its own packages;
    each manual page names every option that --help lists."""
    result = run(["lintian", "--fail-on", "error,warning", deb])
    check(result.returncode == 0, "lintian reports errors or warnings (status %d):\n%s%s"
          % (result.returncode, result.stdout, result.stderr))
    overrides = os.path.join(root, OVERRIDES)
    if os.path.exists(overrides):
        reason = False  # a comment heads each group of overrides
        with open(overrides, encoding="utf-8") as f:
            for line in map(str.strip, f):
                if not line:
                    reason = False
                elif line.startswith("#"):
                    reason = reason or len(line) > 1
                else:
                    check(reason, "lintian override without a reason above it: %r" % line)
    # Control flow integrity (IBT/SHSTK) needs every object linked in built for
    # it, and Debian 12's own C start files are not: no program there has it.
    program = os.path.join(root, "usr/bin/korvax-rechner")
    result = run(["hardening-check", "--nocfprotection", program])
    check(result.returncode == 0, "hardening-check:\n%s%s" % (result.stdout, result.stderr))

    help_text = run([program, "--help"], env={"PATH": "/usr/bin:/bin", "LANG": "C"}).stdout
    options = set(re.findall(r"(?<![\w-])--[a-z][a-z-]*", help_text))
    check(options, "--help lists no options: %r" % help_text)
    for page in MANUAL_PAGES:
        path = os.path.join(root, page)
        if os.path.exists(path):
            with gzip.open(path, "rt", encoding="utf-8") as f:
                text = f.read().replace("\\-", "-")
            missing = sorted(o for o in options if not re.search(r"(?<![\w-])%s(?![\w-])" % re.escape(o), text))
            check(not missing, "%s does not describe %r" % (page, missing))


def check_desktop_data(root, app_id):
    desktop = os.path.join(root, "usr/share/applications/%s.desktop" % app_id)
    if not os.path.exists(desktop):
        return []  # reported with the files
    result = run(["desktop-file-validate", desktop])
    check(result.returncode == 0 and not result.stdout.strip(),
          "desktop-file-validate: %s%s" % (result.stdout, result.stderr))
    # The metainfo file alone, and together with the desktop entry and icon it names.
    for command in (["appstreamcli", "validate", "--no-net",
                     os.path.join(root, "usr/share/metainfo/%s.metainfo.xml" % app_id)],
                    ["appstreamcli", "validate-tree", "--no-net", root]):
        result = run(command)
        check(result.returncode == 0, "%s: %s%s" % (" ".join(command[:2]), result.stdout, result.stderr))
    entry = {}
    with open(desktop, encoding="utf-8") as f:
        for line in f:
            key, sep, value = line.rstrip("\n").partition("=")
            if sep:
                entry[key] = value
    check(entry.get("Categories") == "Utility;Calculator;", "desktop Categories %r" % entry.get("Categories"))
    for key in ("Name", "Name[de]", "Comment", "Comment[de]"):
        check(entry.get(key), "desktop entry without %s" % key)
    check(entry.get("Icon") == "korvax-rechner", "desktop Icon %r" % entry.get("Icon"))
    return shlex.split(entry.get("Exec", ""))


def check_program(test, root, exec_line, seeds, version, base):
    program = os.path.join(root, "usr/bin/korvax-rechner")
    env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "LANG": "C"}
    result = run([program, "--version"], env=env, stdin=subprocess.DEVNULL, timeout=30)
    upstream = version.rsplit("-", 1)[0]  # without the Debian revision
    check(result.returncode == 0 and result.stdout.split("\n")[0] == "korvax-rechner " + upstream,
          "--version without a display: status %d, %r" % (result.returncode, result.stdout + result.stderr))

    check(exec_line[:1] == ["korvax-rechner"] and "--data-folder" in exec_line,
          "the menu entry starts %r" % exec_line)
    if not exec_line:
        return
    command = [program] + exec_line[1:]
    home, workdir = os.path.join(base, "home"), os.path.join(base, "elsewhere")
    os.makedirs(home)
    os.makedirs(workdir)
    status, _ = test.run_program(workdir, home, command=command)
    check(status == 0, "installed program from its menu entry: exit status %r" % status)
    data = os.path.join(home, ".local/share/korvax-rechner")
    left = sorted(os.listdir(data)) if os.path.isdir(data) else None
    check(left == sorted(seeds + ["KRVXR.debug"]), "data folder holds %r" % left)
    check(os.listdir(workdir) == [], "the program wrote into its start folder: %r" % os.listdir(workdir))
    for name in seeds:
        path = os.path.join(data, name)
        if os.path.exists(path):
            with open(path, "rb") as a:
                check(a.read() == seed_files()[name], "seeded %s differs from the example file" % name)


class Package(ProgramTest):
    def test_package(self):
        global check
        check = self.assertTrue
        build_dir, source_dir, app_id = self.args
        for tool in ("cpack", "dpkg-deb", "dpkg-shlibdeps", "desktop-file-validate", "appstreamcli", "Xvfb",
                     "lintian", "hardening-check"):
            check(shutil.which(tool), "%s is not installed" % tool)
        base = self.base
        deb = build_package(build_dir, os.path.join(base, "out"))
        fields = check_control(deb)
        root = os.path.join(base, "root")
        subprocess.run(["dpkg", "-x", deb, root], check=True)
        seeds = check_files(root, source_dir, app_id)
        check_debian(deb, root)
        exec_line = check_desktop_data(root, app_id)
        check_program(self, root, exec_line, seeds, fields["Version"], base)


if __name__ == "__main__":
    sys.exit(main())
