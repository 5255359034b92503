#!/usr/bin/env python3
"""What cadhost does to files it is told to write over, run as a user would meet it: each
session runs cadhost on a script of its own (as root, as the test runs, and as the ordinary
user nobody where that matters) and checks the files afterwards with programs that are not the
host's (ezdxf's audit for drawings, Python's csv for the space list, pdfinfo for plots).

usage: protected_files.py CADHOST TEST_MODULE SPACE_BLOCK_MODULE SOURCE_DIR WORK_DIR SESSION
                          [LIBRARY...]

LIBRARY: the shared libraries the host program and the modules load (the platform's and the
module's). Where user nobody cannot reach the host program or the work folder (a checkout in a
folder only its owner may enter, such as root's home), the sessions that act as nobody copy the
host program, the modules and these libraries to a folder of their own under the system's
temporary folder and work there.

Sessions:
  read_only    SAVE of a read-only drawing (as root, and as nobody who owns it), SAVE through a
               link to one and --save onto one are refused ("the file is read-only") and leave
               it as it was; a drawing nobody may write is saved and passes the audit.
  other_user   as nobody in a folder of its own, EXPORT, SAVEAS and ocsv over files of root's
               (mode 0644) are refused, and the files stay root's and unchanged; in a folder
               nobody may not write (0555), ocsv, SAVE and EXPORT each say the system's reason
               and count as an error of the script.
  links        ocsv, EXPORT and SAVEAS through a link to a file write that file and keep the
               link; through a link to no file each is refused and makes none.
  interrupted  SIGTERM, SIGHUP and SIGINT while SAVE or EXPORT writes end the host; the old file
               is whole and no part file is left beside it. A hard-linked drawing, which SAVE
               writes where it is, is whole under both names whatever stops the host amid the
               writing (a signal, its terminal closed): the old file or the new one; a kill
               while it is written leaves its old content and the new one whole beside it, one
               while its old content is copied leaves it untouched, the new content whole beside
               it and no ".old." file. The host stops itself at each moment (the platform's test
               seam QV_STOP_WHILE_WRITING), is sent what ends it there and let go on; a value of
               the seam that names no moment is refused.
  own_drawing  EXPORT to the drawing's own file reached by other paths (a link, a ".\\" part,
               a hard link, with the drawing opened through a folder link) is refused.
Exits 77 (skipped) for a session that needs root when not run as root, or when no folder that
user nobody can reach can be made.
"""
import atexit
import csv
import fcntl
import functools
import os
import re
import shutil
import signal
import stat
import subprocess
import sys
import tempfile
import termios
import time

import ezdxf

NOBODY = 65534
AS_NOBODY = ["setpriv", f"--reuid={NOBODY}", f"--regid={NOBODY}", "--clear-groups"]
PREFS = "Program Files/cadhost/orvan/prefs/prefs.cfg"
PART = re.compile(r"\.[A-Za-z0-9]{6}$")
AS_NOBODY_SESSIONS = ("read_only", "other_user")
KEPT = re.compile(r"\.old\.[A-Za-z0-9]{6}$")  # the old content of a file written where it is
COPYING = re.compile(r"\.copying\.[A-Za-z0-9]{6}$")  # that old content while it is copied
STOP = "QV_STOP_WHILE_WRITING"  # the test seam: the host stops itself (SIGSTOP) at that moment

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def windows(path):
    return "Z:" + path.replace("/", "\\")


def read(path):
    with open(path, "rb") as f:
        return f.read()


def write(path, data, mode=None, owner=None):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
    if mode is not None:
        os.chmod(path, mode)
    if owner is not None:
        os.chown(path, owner, owner)


def folder(path, owner=None):
    os.makedirs(path, exist_ok=True)
    os.chmod(path, 0o755)
    if owner is not None:
        os.chown(path, owner, owner)
    return path


def part_files(top):
    """Part files ("<name>.XXXXXX") anywhere below `top`."""
    found = []
    for where, _, names in os.walk(top):
        found += [os.path.join(where, n) for n in names if PART.search(n)]
    return found


def audited(path):
    """The drawing at `path` read by ezdxf and audited without an error."""
    try:
        doc = ezdxf.readfile(path)
    except Exception as e:  # noqa: BLE001 - any reader failure is the finding
        return check(False, f"{path}: ezdxf cannot read it: {e}")
    auditor = doc.audit()
    return check(not auditor.has_errors,
                 f"{path}: audit: {[e.message for e in auditor.errors]}")


class Host:
    def __init__(self, args, libraries):
        self.cadhost, self.module, self.space_module, self.source, self.work = args
        self.libraries = libraries

    def run(self, where, lines, drawing=None, module=None, as_nobody=False, save=None,
            env=None):
        """Runs cadhost in `where` (drive C: is where/home) on a script of `lines`, with `env`
        added to the environment; the exit code and everything it printed."""
        script = os.path.join(where, "script.scr")
        write(script, ("\n".join(lines) + "\n").encode(), mode=0o644)
        argv = [self.cadhost, "--home", os.path.join(where, "home"),
                "--module", module or self.module, "--script", script]
        if save:
            argv += ["--save", save]
        if drawing:
            argv.append(drawing)
        done = subprocess.run((AS_NOBODY if as_nobody else []) + argv, cwd=where,
                              capture_output=True, text=True, errors="replace", check=False,
                              env=dict(os.environ, **(env or {})))
        return done.returncode, done.stdout + done.stderr

    def start(self, where, lines, drawing, stop, terminal=None):
        """Starts cadhost as run() does, without waiting, to stop itself at the moment `stop`
        (the seam's value); the signals that end it do so. Given `terminal` (a pseudo-terminal's
        far end), that is its controlling terminal and its input and output."""
        script = os.path.join(where, "script.scr")
        write(script, ("\n".join(lines) + "\n").encode())

        def default_signals():
            for s in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT, signal.SIGPIPE):
                signal.signal(s, signal.SIG_DFL)
            if terminal is not None:
                fcntl.ioctl(0, termios.TIOCSCTTY, 0)

        io = subprocess.DEVNULL if terminal is None else terminal
        return subprocess.Popen(
            [self.cadhost, "--home", os.path.join(where, "home"), "--module", self.module,
             "--script", script, drawing], cwd=where, stdin=terminal, stdout=io, stderr=io,
            preexec_fn=default_signals, start_new_session=terminal is not None,
            env=dict(os.environ, **{STOP: stop}))

    def fixture(self, name):
        return read(os.path.join(self.source, "drawings", name))

    def space_prefs(self, home, owner=None):
        """Preferences for ocsv that start no program on the list."""
        cfg = read(os.path.join(self.source, "export", "export.cfg"))
        write(os.path.join(home, PREFS), cfg.replace(rb"C:\bin\record opener.sh", b"NONE"))
        if owner is not None:
            for where, dirs, names in os.walk(home):
                for n in dirs + names:
                    os.chown(os.path.join(where, n), owner, owner)

    def space_script(self):
        return ["qvrooms", "ARX", "Load", "libquorvelle.so"]


def nobody_reaches(*paths):
    """Whether user nobody may read each of `paths` (and so enter every folder above it)."""
    return all(subprocess.run(AS_NOBODY + ["test", "-r", p], capture_output=True,
                              check=False).returncode == 0 for p in paths)


def skip(why):
    print(f"protected_files: skipped: {why}")
    sys.exit(77)


def reachable_by_nobody(host, session):
    """Makes sure user nobody reaches the host program, its modules and the work folder: where
    it does not, they are copied (linked where the file system allows) to a folder of the
    system's temporary folder, removed again when the session ends, and the work goes there."""
    programs = [host.cadhost, host.module, host.space_module]
    if nobody_reaches(host.work, *programs):
        return
    top = tempfile.mkdtemp(prefix=f"qv-files-{session}-")
    os.chmod(top, 0o755)
    atexit.register(shutil.rmtree, top, ignore_errors=True)
    bin_folder = folder(os.path.join(top, "bin"))
    placed = []
    for path in programs + host.libraries:
        to = os.path.join(bin_folder, os.path.basename(path))
        if not os.path.exists(to):
            try:
                os.link(path, to)
            except OSError:
                shutil.copy2(path, to)
        placed.append(to)
    host.cadhost, host.module, host.space_module = placed[:3]
    # The host program's own search path leads into the folder nobody cannot enter.
    os.environ["LD_LIBRARY_PATH"] = ":".join(
        [bin_folder] + [p for p in os.environ.get("LD_LIBRARY_PATH", "").split(":") if p])
    host.work = folder(os.path.join(top, "work"))
    if not nobody_reaches(host.work, *placed):
        skip(f"user nobody cannot reach {top}, made for the host program and the work")


def session_read_only(host):
    top = folder(os.path.join(host.work, "read_only"))
    mine = folder(os.path.join(top, "nobody"), NOBODY)
    plan = host.fixture("floor.dxf")
    write(os.path.join(top, "ro.dxf"), plan, 0o444)
    os.symlink("ro.dxf", os.path.join(top, "link.dxf"))
    write(os.path.join(mine, "ro.dxf"), plan, 0o444, NOBODY)
    write(os.path.join(mine, "rw.dxf"), plan, 0o644, NOBODY)
    os.makedirs(os.path.join(mine, "home"), exist_ok=True)
    os.chown(os.path.join(mine, "home"), NOBODY, NOBODY)
    root = os.geteuid() == 0
    cases = [
        ("SAVE of a read-only drawing", top, "ro.dxf", None, False),
        ("SAVE through a link to it", top, "link.dxf", None, False),
        ("--save onto it", top, None, "ro.dxf", False),
        ("SAVE of a read-only drawing, by its owner", mine, "ro.dxf", None, root),
    ]
    for name, where, opened, saved, as_nobody in cases:
        target = os.path.join(where, opened or saved)
        before = read(target)
        code, out = host.run(where, ["save"] if opened else [],
                             drawing=os.path.join(where, opened) if opened else None,
                             save=target if saved else None, as_nobody=as_nobody)
        check(code != 0, f"{name}: exit {code}")
        check("the file is read-only" in out, f"{name}: not said why:\n{out}")
        check("Drawing saved" not in out, f"{name}: said it saved:\n{out}")
        check("errors in its answers" not in out, f"{name}: blamed the answers:\n{out}")
        check(read(target) == before, f"{name}: the file changed")
        check(stat.S_IMODE(os.stat(target).st_mode) == 0o444, f"{name}: its mode changed")

    code, out = host.run(mine, ["save"], drawing=os.path.join(mine, "rw.dxf"), as_nobody=root)
    check(code == 0 and "Drawing saved as" in out, f"a drawing that may be written: {out}")
    audited(os.path.join(mine, "rw.dxf"))
    check(not part_files(top), f"part files left: {part_files(top)}")


def session_other_user(host):
    if os.geteuid() != 0:
        print("protected_files: other_user needs root (to act as user nobody)")
        sys.exit(77)
    top = folder(os.path.join(host.work, "other_user"))
    mine = folder(os.path.join(top, "nobody"), NOBODY)
    write(os.path.join(mine, "rooms.dxf"), host.fixture("rooms_furnished.dxf"), 0o644, NOBODY)
    write(os.path.join(mine, "floor.dxf"), host.fixture("floor.dxf"), 0o644, NOBODY)
    theirs = {name: f"root's {name}\n".encode() for name in ("rooms.csv", "plan.dwf", "plan.dxf")}
    for name, data in theirs.items():
        write(os.path.join(mine, name), data, 0o644, 0)
    host.space_prefs(os.path.join(mine, "home"), NOBODY)
    os.chown(os.path.join(mine, "home"), NOBODY, NOBODY)
    code, out = host.run(mine, host.space_script() + [
        "ocsv",
        "saveas", windows(os.path.join(mine, "plan.dxf")),
    ], drawing=os.path.join(mine, "rooms.dxf"), module=host.space_module, as_nobody=True)
    check(code != 0, f"exit {code}")
    code, plotted = host.run(mine, ["export", windows(os.path.join(mine, "plan.dwf"))],
                             drawing=os.path.join(mine, "floor.dxf"), as_nobody=True)
    check(code != 0, f"exit {code}")
    out += plotted
    refusals = [
        f"Unable to write csv data to file ({windows(os.path.join(mine, 'rooms.csv'))}): this "
        "user may not write the file",
        f"Unable to export to {windows(os.path.join(mine, 'plan.dwf'))}: this user may not "
        "write the file.",
        "cannot write " + os.path.join(mine, "plan.dxf") + ": this user may not write the file",
    ]
    for said in refusals:
        check(said in out, f"not said: {said!r} in\n{out}")
    for name, data in theirs.items():
        path = os.path.join(mine, name)
        check(read(path) == data, f"{name} changed")
        check(os.stat(path).st_uid == 0, f"{name} is no longer root's")

    # In a folder of nobody's that nobody may not write (0555), each command that writes there
    # fails, says the system's reason, and counts as an error of the script.
    shut = folder(os.path.join(mine, "shut"), NOBODY)
    write(os.path.join(shut, "rooms.dxf"), host.fixture("rooms_furnished.dxf"), 0o644, NOBODY)
    os.chmod(shut, 0o555)
    code, out = host.run(mine, host.space_script() + [
        "ocsv", "save", "export", windows(os.path.join(shut, "plan.pdf")),
    ], drawing=os.path.join(shut, "rooms.dxf"), module=host.space_module, as_nobody=True)
    check(code != 0, f"a shut folder: exit {code}")
    for said in [
        f"Unable to write csv data to file ({windows(os.path.join(shut, 'rooms.csv'))}): Access "
        "is denied.",
        f"Unable to save the drawing as {windows(os.path.join(shut, 'rooms.dxf'))}: the file "
        "cannot be created: Permission denied.",
        f"Unable to export to {windows(os.path.join(shut, 'plan.pdf'))}: the file cannot be "
        "created: Permission denied.",
        "The script ran with 3 error(s).",
    ]:
        check(said in out, f"a shut folder: not said: {said!r} in\n{out}")
    check(os.listdir(shut) == ["rooms.dxf"], f"a shut folder holds {os.listdir(shut)}")
    check(not part_files(top), f"part files left: {part_files(top)}")


def session_links(host):
    top = folder(os.path.join(host.work, "links"))
    plans, lists, out_folder = (folder(os.path.join(top, n)) for n in ("plans", "lists", "out"))
    write(os.path.join(plans, "rooms.dxf"), host.fixture("rooms_furnished.dxf"))
    for name in ("victim.txt", "plot.pdf", "saved.dxf"):
        write(os.path.join(lists, name), b"old\n")
    links = {
        "plans/rooms.csv": "../lists/victim.txt",
        "out/live.pdf": "../lists/plot.pdf",
        "out/live.dxf": "../lists/saved.dxf",
        "out/gone.pdf": "../lists/none.pdf",
        "out/gone.dxf": "../lists/none.dxf",
        "out/live.csv": "../lists/none.csv",  # the list of the drawing once saved as live.dxf
    }
    for name, to in links.items():
        os.symlink(to, os.path.join(top, name))
    write(os.path.join(plans, "floor.dxf"), host.fixture("floor.dxf"))
    host.space_prefs(os.path.join(top, "home"))
    out = lambda name: windows(os.path.join(out_folder, name))  # noqa: E731
    code, said = host.run(top, host.space_script() + [
        "ocsv",
        "saveas", out("gone.dxf"),
        "saveas", out("live.dxf"),
        "ocsv",
    ], drawing=os.path.join(plans, "rooms.dxf"), module=host.space_module)
    check(code != 0, f"exit {code} (a refused command)")
    code, plotted = host.run(top, ["export", out("live.pdf"), "export", out("gone.pdf")],
                             drawing=os.path.join(plans, "floor.dxf"))
    check(code != 0, f"exit {code} (a refused command)")
    said += plotted
    for expected in [
        f"csv data successfully saved to file ({windows(os.path.join(plans, 'rooms.csv'))})",
        f"Exported Model to {out('live.pdf')}.",
        f"Unable to export to {out('gone.pdf')}: it is a link to a file that does not exist.",
        ": it is a link to a file that does not exist\n"
        f"Unable to save the drawing as {out('gone.dxf')}",
        f"Drawing saved as {out('live.dxf')}.",
        f"Unable to write csv data to file ({out('live.csv')}): The name of the file cannot be "
        "resolved by the system.",
    ]:
        check(expected in said, f"not said: {expected!r} in\n{said}")
    for name in links:
        check(os.path.islink(os.path.join(top, name)), f"{name} is no longer a link")
    for name in ("none.pdf", "none.dxf", "none.csv"):
        check(not os.path.exists(os.path.join(lists, name)), f"a link to nothing made {name}")

    with open(os.path.join(lists, "victim.txt"), newline="", encoding="cp1252") as f:
        rows = list(csv.reader(f))
    check(rows and rows[0] == ["Code", "Area", "Units", "Perimeter", "Units"],
          f"victim.txt holds no space list: {rows[:2]}")
    check(len([r for r in rows if r and r[0].startswith("R-")]) == 6, f"rooms: {rows}")
    pdf = subprocess.run(["pdfinfo", os.path.join(lists, "plot.pdf")], capture_output=True,
                         check=False)
    check(pdf.returncode == 0, "plot.pdf is no PDF")
    audited(os.path.join(lists, "saved.dxf"))
    check(not part_files(top), f"part files left: {part_files(top)}")


def big_drawing(lines):
    """A drawing of `lines` lines: long enough to save and plot that a signal can come
    while it is written."""
    parts = ["0\nSECTION\n2\nENTITIES\n"]
    for i in range(lines):
        parts.append(f"0\nLINE\n8\n0\n10\n{i}.0\n20\n0.0\n30\n0.0\n11\n{i}.0\n21\n"
                     f"{100 + i % 50}.0\n31\n0.0\n")
    parts.append("0\nENDSEC\n0\nEOF\n")
    return "".join(parts).encode()


def session_interrupted(host):
    top = folder(os.path.join(host.work, "interrupted"))
    drawing = big_drawing(15000)
    cases = [
        ("SAVE", signal.SIGTERM),
        ("EXPORT", signal.SIGHUP),
        ("SAVE", signal.SIGINT),
        ("EXPORT", signal.SIGTERM),
    ]
    for command, sent in cases:
        name = f"{command} {sent.name}"
        where = folder(os.path.join(top, f"{command.lower()}-{sent.name.lower()}"))
        plan = os.path.join(where, "plan.dxf")
        target = plan if command == "SAVE" else os.path.join(where, "plan.pdf")
        lines = ["save"] if command == "SAVE" else ["export", windows(target)]
        write(plan, drawing)
        if command == "EXPORT":
            write(target, b"the old plot\n")
        before = read(target)
        seen, ended = stopped_and_ended(host.start(where, lines, plan, "part"), sent,
                                        functools.partial(placing, target, before))
        if not check(seen, f"{name}: the host did not stop while a part file was there"):
            continue
        check(ended == -sent, f"{name}: ended with {ended}")
        check(read(target) == before, f"{name}: the old file changed")
        check(not part_files(where), f"{name}: part files left: {part_files(where)}")

    where = folder(os.path.join(top, "malformed-stop"))
    write(os.path.join(where, "plan.dxf"), drawing)
    code, out = host.run(where, ["save"], drawing=os.path.join(where, "plan.dxf"),
                         env={STOP: "writing"})
    check(code == 2 and f'cadhost: {STOP}: "writing" names no moment' in out,
          f"a seam that names no moment: exit {code}:\n{out}")
    check(read(os.path.join(where, "plan.dxf")) == drawing, "a refused seam: the drawing changed")
    interrupted_in_place(host, top)


KEEPING, WRITING = "while its old content is kept", "while it is written"


def interrupted_in_place(host, top):
    """SAVE of a drawing that has a second name (a hard link) writes it where it is. The host
    stops itself halfway through a copy of that writing, is sent what ends it, and is let go on:
    both names then hold the old file or the new one (that of a save left alone), whole, or
    after a kill what the README says a kill leaves."""
    old = big_drawing(40000)
    where = folder(os.path.join(top, "linked-unsignalled"))
    write(os.path.join(where, "plan.dxf"), old)
    os.link(os.path.join(where, "plan.dxf"), os.path.join(where, "twin.dxf"))
    code, out = host.run(where, ["save"], drawing=os.path.join(where, "plan.dxf"))
    new = read(os.path.join(where, "plan.dxf"))
    check(code == 0 and read(os.path.join(where, "twin.dxf")) == new, f"unsignalled: {out}")
    check(not part_files(where), f"unsignalled: files left: {part_files(where)}")
    # The host writes more than the drawing read holds: the file grows when it is written over.
    check(len(new) > len(old), "the saved drawing is no longer than the one read")
    cases = [
        ("SIGTERM", signal.SIGTERM, WRITING, new),
        ("SIGHUP", signal.SIGHUP, WRITING, new),
        ("SIGINT", signal.SIGINT, WRITING, new),
        ("its terminal closed", None, WRITING, new),
        ("SIGTERM", signal.SIGTERM, KEEPING, old),
        ("SIGKILL", signal.SIGKILL, WRITING, None),
        ("SIGKILL", signal.SIGKILL, KEEPING, old),
    ]
    for number, (sent, sig, moment, holds) in enumerate(cases):
        name = f"SAVE of a hard-linked drawing, {sent} {moment}"
        where = folder(os.path.join(top, f"linked-{number}"))
        plan, twin = os.path.join(where, "plan.dxf"), os.path.join(where, "twin.dxf")
        write(plan, old)
        os.link(plan, twin)

        terminal, far = os.openpty() if sig is None else (None, None)
        stop = "writing" if moment == WRITING else "keeping"
        host_process = host.start(where, ["save"], plan, f"{stop}:{len(old) // 2}", far)
        if far is not None:
            os.close(far)
        seen, ended = stopped_and_ended(host_process, sig,
                                        functools.partial(in_place, plan, moment, old), terminal)
        if not check(seen, f"{name}: the host did not stop {moment}"):
            continue
        check(ended == -(sig or signal.SIGHUP), f"{name}: ended with {ended}")
        beside = part_files(where)
        if holds is not None:
            check(read(plan) == holds, f"{name}: plan.dxf holds neither file whole")
            check(read(twin) == holds, f"{name}: twin.dxf holds neither file whole")
        if sig != signal.SIGKILL:
            check(not beside, f"{name}: files left: {beside}")
            continue
        kept = [f for f in beside if KEPT.search(f)]
        copying = [f for f in beside if COPYING.search(f)]
        parts = [f for f in beside if f not in kept + copying]
        check(len(parts) == 1 and read(parts[0]) == new,
              f"{name}: the new content is not whole beside it: {beside}")
        if moment == WRITING:
            check(len(kept) == 1 and read(kept[0]) == old and not copying,
                  f"{name}: the old content is not whole beside it: {beside}")
        else:
            check(not kept, f"{name}: a .old. file, though the old content was not copied whole")
            check(len(copying) == 1 and len(read(copying[0])) < len(old)
                  and old.startswith(read(copying[0])),
                  f"{name}: no copy of the old content cut short beside it: {beside}")


def placing(target, before):
    """Whether `target` is about to be replaced: it holds `before`, its part file beside it."""
    where, name = os.path.split(target)
    return read(target) == before and any(n.startswith(name + ".") and PART.search(n)
                                          for n in os.listdir(where))


def in_place(plan, moment, old):
    """Whether the hard-linked `plan` (which held `old`) is at `moment` of being written where it
    is: its old content being copied (the file untouched, no ".old." name yet), or the file
    being written (grown, its old content kept whole)."""
    names = os.listdir(os.path.dirname(plan))
    kept, copying = (any(r.search(n) for n in names) for r in (KEPT, COPYING))
    if moment == WRITING:
        return kept and not copying and os.stat(plan).st_size != len(old)
    return copying and not kept and read(plan) == old


def state(pid):
    """The state letter of process `pid` ("T": stopped by a signal)."""
    with open(f"/proc/{pid}/stat", encoding="ascii", errors="replace") as f:
        return f.read().rsplit(")", 1)[1].split()[0]


def stopped_and_ended(host_process, sent, at_moment, terminal=None):
    """Waits until the host has stopped itself (the seam), checks with `at_moment()` that it is
    where it should be, sends it `sent` there (None: closes `terminal`, its controlling terminal's
    near end), lets it go on and waits for its end; whether it stopped at that moment, and how
    it ended. The host stays stopped until it is let go on: no load decides the moment."""
    if terminal is not None:
        os.set_blocking(terminal, False)
    stopped = False
    deadline = time.monotonic() + 300
    while host_process.poll() is None and time.monotonic() < deadline:
        if terminal is not None:
            try:
                os.read(terminal, 65536)  # what the host prints, lest it wait to print more
            except (BlockingIOError, OSError):
                pass
        stopped = state(host_process.pid) == "T"
        if stopped:
            break
        time.sleep(0.001)
    seen = stopped and at_moment()
    if seen:
        if sent is None:
            os.close(terminal)  # the kernel hangs the host up
            terminal = None
        else:
            host_process.send_signal(sent)
    if stopped:
        host_process.send_signal(signal.SIGCONT)
    try:
        host_process.wait(timeout=120)
    except subprocess.TimeoutExpired:
        host_process.kill()
        host_process.wait()
    if terminal is not None:
        os.close(terminal)
    return seen, host_process.returncode


def session_own_drawing(host):
    top = folder(os.path.join(host.work, "own_drawing"))
    plans = folder(os.path.join(top, "plans"))
    plan = os.path.join(plans, "plan.dxf")
    write(plan, host.fixture("floor.dxf"))
    os.symlink("plans", os.path.join(top, "alias"))
    os.symlink("plan.dxf", os.path.join(plans, "own.pdf"))
    os.link(plan, os.path.join(plans, "twin.pdf"))
    before = read(plan)
    targets = [windows(os.path.join(plans, "own.pdf")),
               windows(plans) + "\\.\\own.pdf",
               windows(os.path.join(plans, "twin.pdf"))]
    lines = []
    for target in targets:
        lines += ["export", target]
    # Opened through the folder link: the drawing's own path is spelt unlike any target's.
    code, out = host.run(top, lines, drawing=os.path.join(top, "alias", "plan.dxf"))
    check(code != 0, f"exit {code}")
    check(out.count(": it is the drawing's own file.") == len(targets),
          f"not every export was refused as the drawing itself:\n{out}")
    check(read(plan) == before, "the drawing was written over")
    check(os.path.islink(os.path.join(plans, "own.pdf")), "own.pdf is no longer a link")
    check(not part_files(top), f"part files left: {part_files(top)}")


def main():
    if len(sys.argv) < 7:
        sys.exit(__doc__)
    host = Host(sys.argv[1:6], sys.argv[7:])
    session = sys.argv[6]
    shutil.rmtree(os.path.join(host.work, session), ignore_errors=True)
    os.makedirs(host.work, exist_ok=True)
    os.chmod(host.work, 0o755)
    if session in AS_NOBODY_SESSIONS and os.geteuid() == 0:
        reachable_by_nobody(host, session)
    globals()["session_" + session](host)
    for failure in failures:
        print("FAIL:", failure)
    print(f"{session}: {'failed' if failures else 'passed'}")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
