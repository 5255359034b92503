#!/usr/bin/env python3
"""cadhost at a terminal: a user at a pseudo-terminal types keys (Esc, Ctrl-C, Ctrl-D, arrows,
Tab) and answers the host's questions; the drawings saved are read back with ezdxf.

usage: terminal_sessions.py CADHOST TEST_MODULE QUORVELLE SOURCE_DIR WORK_DIR [SESSION...]
"""
import fcntl
import os
import pty
import re
import select
import shutil
import signal
import struct
import sys
import termios
import time

import ezdxf

ESC, CTRL_C, CTRL_D, TAB, UP = "\x1b", "\x03", "\x04", "\t", "\x1b[A"


def screen(raw):
    """The text a terminal shows for `raw`: carriage returns, cursor moves and line clears applied
    (what libedit sends as it redraws its line)."""
    lines, col = [[]], 0
    i = 0
    while i < len(raw):
        c = raw[i]
        m = re.match(r"\x1b\[([0-9;?]*)([A-Za-z])", raw[i:]) if c == ESC else None
        if m:
            n = int(m.group(1)) if m.group(1).isdigit() else 1
            line = lines[-1]
            if m.group(2) == "G":
                col = n - 1
            elif m.group(2) == "K":
                del line[col:]
            elif m.group(2) == "C":
                col += n
            elif m.group(2) == "D":
                col = max(0, col - n)
            i += len(m.group(0))
            continue
        if c == "\r":
            col = 0
        elif c == "\n":
            lines.append([])
            col = 0
        elif c == "\b":
            col = max(0, col - 1)
        elif c >= " ":
            line = lines[-1]
            line.extend(" " * (col - len(line)))
            if col < len(line):
                line[col] = c
            else:
                line.append(c)
            col += 1
        i += 1
    return "\n".join("".join(line) for line in lines)


class Session:
    """cadhost on a pseudo-terminal of its own (its controlling terminal, so Ctrl-C is a signal)."""

    def __init__(self, argv, cwd):
        self.argv = argv
        pid, fd = pty.fork()
        if pid == 0:
            os.chdir(cwd)
            os.execve(argv[0], argv, dict(os.environ, TERM="xterm"))
        fcntl.ioctl(fd, termios.TIOCSWINSZ, struct.pack("HHHH", 50, 250, 0, 0))
        self.pid, self.fd, self.raw, self.pos, self.status = pid, fd, b"", 0, None

    def text(self):
        return screen(self.raw.decode("utf-8", "replace"))

    def _read(self, timeout):
        if select.select([self.fd], [], [], timeout)[0]:
            try:
                data = os.read(self.fd, 65536)
            except OSError:
                data = b""
            if not data:
                return False
            self.raw += data
        return True

    def expect(self, wanted, timeout=15):
        """Waits until `wanted` shows after what was expected before; returns the text between."""
        end = time.time() + timeout
        while True:
            text = self.text()
            found = text.find(wanted, self.pos)
            if found >= 0:
                between = text[self.pos:found]
                self.pos = found + len(wanted)
                return between
            if time.time() > end or not self._read(0.05) and self.ended():
                sys.exit(f"{self.argv[0]}: did not show {wanted!r}; the screen ends with:\n"
                         + text[-3000:])

    def send(self, keys):
        os.write(self.fd, keys if isinstance(keys, bytes) else keys.encode())
        time.sleep(0.1)  # a lone Esc is told from a key's sequence by the pause after it

    def ended(self):
        if self.status is None:
            pid, status = os.waitpid(self.pid, os.WNOHANG)
            if pid:
                self.status = os.waitstatus_to_exitcode(status)
        return self.status is not None

    def wait_end(self, timeout=15):
        end = time.time() + timeout
        while not self.ended():
            self._read(0.05)
            if time.time() > end:
                os.kill(self.pid, signal.SIGKILL)
                sys.exit("cadhost did not end; the screen ends with:\n" + self.text()[-3000:])
        return self.status


def check(condition, message, session=None):
    if not condition:
        sys.exit(message + ("\nscreen:\n" + session.text()[-3000:] if session else ""))


def lines_of(path):
    return [(tuple(e.dxf.start)[:2], tuple(e.dxf.end)[:2])
            for e in ezdxf.readfile(path).modelspace().query("LINE")]


def save_questions(a):
    """Nothing is lost without a question; Esc, Ctrl-C and "No" keep the user's work."""
    drawing = os.path.join(a.work, "plan.dxf")
    other = os.path.join(a.work, "other.dxf")
    shutil.copy(os.path.join(a.source, "drawings", "rooms.dxf"), drawing)
    shutil.copy(drawing, other)
    before = open(other, "rb").read()
    s = Session([a.cadhost, "--home", a.home, "--module", a.module, drawing], a.work)
    s.expect("Command: ")
    s.send("line\r0,0\r10,10\r\r")
    s.expect("Command: ")
    s.send("quit\r")
    s.expect("Save changes to Z:" + drawing.replace("/", "\\") + "? [Yes/No/Cancel] <Yes>: ")
    s.send(ESC)
    s.expect("*Cancel*")
    s.expect("Command: ")
    s.send(CTRL_C)  # cancels the prompt, never ends the program
    s.expect("*Cancel*")
    s.expect("Command: ")
    s.send("saveas\r")
    s.expect("Save drawing as <")
    s.send(other + "\r")
    s.expect("other.dxf already exists. Replace it? [Yes/No] <No>: ")
    s.send("\r")  # No: another name is asked for
    s.expect("Save drawing as <")
    s.send(other + "\r")
    s.expect("other.dxf already exists. Replace it? [Yes/No] <No>: ")
    s.send(ESC)  # as No: another name is asked for
    s.expect("*Cancel*")
    s.expect("Save drawing as <")
    s.send(ESC)
    s.expect("Command: ")
    check(not s.ended() and open(other, "rb").read() == before,
          "Esc, Ctrl-C or No ended the program or replaced the other drawing", s)
    s.send(CTRL_D)  # the end of the input quits as QUIT does: with the question
    s.expect("Save changes to")
    s.send("y\r")
    s.expect("Drawing saved as")
    check(s.wait_end() == 0, "cadhost did not end well after Ctrl-D", s)
    check(((0.0, 0.0), (10.0, 10.0)) in lines_of(drawing), "the line drawn was not saved", s)


def editing_keys(a):
    """Tab completes, Enter repeats, Up recalls, Esc cancels at once, a character cut short is
    replaced; HELP lists the commands."""
    s = Session([a.cadhost, "--home", a.home, "--module", a.module], a.work)
    s.expect("Command: ")
    s.send("lin" + TAB)
    s.send("\r")
    s.expect("Specify first point: ")
    s.send("1,1\r")
    s.expect("Specify next point: ")
    s.send(ESC)
    s.expect("*Cancel*")
    s.send("\r")  # Enter at the empty prompt: LINE again
    s.expect("Specify first point: ")
    s.send(CTRL_C)
    s.expect("*Cancel*")
    s.send(UP + UP + UP)  # "1,1", then "line" (kept once), then nothing older
    s.send("\r")
    s.expect("Specify first point: ")
    s.send(ESC)
    s.expect("Command: ")
    s.send(b"\xf0\x9f")  # a character cut short: replaced, and the keys after it kept
    s.send("\r")
    s.expect('Unknown command "\ufffd".')
    s.send("help\r")
    check("Unknown" not in s.expect("Commands of the host:"), "keys after a broken one were lost", s)
    s.send("?\r")
    s.expect("Commands of the host:")
    listing = s.expect("Commands of the loaded modules, by group:")
    check(re.search(r"^  QUIT +ends the program", listing, re.M)
          and re.search(r"^  SAVEAS +saves", listing, re.M), "HELP lists no QUIT or SAVEAS line", s)
    s.expect("There is no UNDO")
    s.send("quit\r")  # nothing was changed: no question
    check(s.wait_end() == 0, "QUIT of an unchanged drawing did not end the program", s)
    check("Save changes" not in s.text(), "QUIT asked to save an unchanged drawing", s)


def dialog(a):
    """A modeless dialog named at the prompt, driven by its labels, shown again after a change."""
    drawing = os.path.join(a.work, "floor.dxf")
    shutil.copy(os.path.join(a.source, "drawings", "floor.dxf"), drawing)
    prefs = os.path.join(a.home, "Program Files", "cadhost", "orvan", "prefs")
    os.makedirs(prefs, exist_ok=True)
    shutil.copy(os.path.join(a.source, "editor", "metric.cfg"), os.path.join(prefs, "prefs.cfg"))
    s = Session([a.cadhost, "--home", a.home, "--module", a.quorvelle, drawing], a.work)
    s.expect("Command: ")
    s.send("obc\r")
    prompt = 'Command or action for dialog "Orvan Block Creator": '
    s.expect(prompt)
    s.send("\r")  # Enter shows the dialog again; it does not start the last command anew
    shown = s.expect(prompt)
    check('311 edit "Next Space Name"' in shown and "Orvan Block Create " not in shown,
          "Enter at the dialog's prompt did not show the dialog again, or started obc anew", s)
    s.send('set "Next Space Name" Kitchen\r')
    shown = s.expect(prompt)
    check('311 edit "Next Space Name": "Kitchen"' in shown, "the dialog was not shown again", s)
    s.send("click start\r")
    s.expect("Please select a polyline:")
    s.send("#14\r")
    s.expect("Enter Attribute points: ")
    s.send("2500,2000\r")
    s.expect("Please select a polyline:")
    s.send(ESC)
    s.expect(prompt)
    s.send("menu 32768\r")
    s.expect('Dialog "Orvan Block Creator" closed.')
    check("Command or action" not in s.expect("Command: "), "another dialog stayed open", s)
    s.send("quit\r")
    s.expect("? [Yes/No/Cancel] <Yes>: ")
    s.send("\r")
    check(s.wait_end() == 0, "cadhost did not end well", s)
    check("\\x1B" not in s.text(), "the host's own Esc showed on the command line", s)
    names = [r.get_attrib_text("NAME") for r in
             ezdxf.readfile(drawing).modelspace().query("INSERT") if r.dxf.name.startswith("ROOM-")]
    check(names == ["Kitchen"], f"the saved drawing holds the rooms {names}", s)


def file_prompts(a):
    """Esc at a file dialog's "File name: " cancels it (EXPORT, -PLOT, oagr): no path is made of
    the key, nothing is written or read, and the command line goes on."""
    drawing = os.path.join(a.work, "floor.dxf")
    shutil.copy(os.path.join(a.source, "drawings", "floor.dxf"), drawing)
    prefs = os.path.join(a.home, "Program Files", "cadhost", "orvan", "prefs")
    os.makedirs(prefs, exist_ok=True)
    shutil.copy(os.path.join(a.source, "editor", "metric.cfg"), os.path.join(prefs, "prefs.cfg"))
    before = sorted(os.listdir(a.work))
    s = Session([a.cadhost, "--home", a.home, "--module", a.quorvelle, drawing], a.work)
    s.expect("Command: ")
    for command, answers in (("export", 0), ("-plot", 6), ("oagr", 0)):
        s.send(command + "\r")
        for _ in range(answers):  # the page setup's questions, each kept as it is
            s.expect(">: ")
            s.send("\r")
        s.expect('File name: ')
        s.send(ESC)
        shown = s.expect("Command: ")
        check("*Cancel*" in shown and "\\x1B" not in shown and "Unable" not in shown
              and "Cannot" not in shown, f"Esc at {command}'s file name was not a cancel", s)
    s.send("quit\r")
    s.expect("? [Yes/No/Cancel] <Yes>: ")  # -PLOT kept its page setup in the drawing
    s.send("n\r")
    check(s.wait_end() == 0, "cadhost did not end well", s)
    check(sorted(os.listdir(a.work)) == before, f"files were written: {os.listdir(a.work)}", s)


class Args:
    def __init__(self, argv):
        self.cadhost, self.module, self.quorvelle, self.source, work = argv[:5]
        self.sessions = argv[5:] or ["save_questions", "editing_keys", "dialog", "file_prompts"]
        self.base = work


def main():
    a = Args(sys.argv[1:])
    for name in a.sessions:
        a.work = os.path.join(a.base, name)
        shutil.rmtree(a.work, ignore_errors=True)
        a.home = os.path.join(a.work, "home")
        os.makedirs(a.home)
        globals()[name](a)
        print(name, "passed")


if __name__ == "__main__":
    main()
