#!/usr/bin/python3
"""Several hosts run the report batch run side by side on one database.

usage: side_by_side.py --cadhost FILE --module FILE --work DIR --hosts N [--kill]
                       [--reports COUNT] [--quiet] PLAN...

Needs the test database of scripts/testdb (QV_TEST_DB_* in the environment). Makes a catalogue
of its own from the fixture's template and puts COUNT reports (40 unless told) in it, waiting in
status 93, over the PLAN drawings in turn: PDF and PNG plots, every third with a copy of its
drawing, the report XML beside the plot, and two whose drawing is missing. Then it starts N
cadhost processes at once on one drive C: (WORK/home), each with the batch-run test module's
qvrun, and waits for them. With --kill, the first host is killed (SIGKILL) as soon as it has
finished its first report.

Checks, through what the hosts printed, the database and programs that are not the host:
- no report was run by two hosts, and every report was run by one (with --kill: except at most
  one that the killed host had claimed, which stays at 2, "running");
- each run report's recorded status is the one its host printed and the one expected;
- each plot is read by pdfinfo (PDF) or PIL (PNG), each XML by Python's XML parser (naming its
  report), each copy by ezdxf; a report with a missing drawing left no file;
- the killed host's finished reports keep their status and files.

Prints the processor time the hosts used together, then last "<COUNT> reports, <N> host(s):
<seconds> s" (wall time from the start of the hosts to the end of the last), and exits non-zero
on a failure.
The catalogue is dropped again in every case.
"""
import argparse
import os
import re
import resource
import shutil
import signal
import subprocess
import sys
import time
import xml.etree.ElementTree as ElementTree

import ezdxf
from PIL import Image

WAITING = 93
FIRST_ID = 2001
LINE = re.compile(r"Report (\d+) run by process (\d+): status (-?\d+)")


class Database:
    """The test server of scripts/testdb, reached with psql over TCP."""

    def __init__(self):
        env = os.environ
        if "QV_TEST_DB_SERVER" not in env:
            sys.exit("side_by_side: no test database (eval \"$(scripts/testdb start)\" first)")
        host, port = env["QV_TEST_DB_SERVER"].split(",")
        self.template = env["QV_TEST_DB_TEMPLATE"]
        self.catalog = "qv_side_by_side_%d" % os.getpid()
        self.base = ["psql", "-X", "-q", "-v", "ON_ERROR_STOP=1", "-h", host, "-p", port,
                     "-U", env["QV_TEST_DB_USER"]]
        self.env = dict(env, PGPASSWORD=env["QV_TEST_DB_PASSWORD"])

    def run(self, sql, catalog=None, rows=False):
        command = self.base + ["-d", catalog or self.catalog]
        if rows:
            command += ["-A", "-t", "-F", "|"]
        done = subprocess.run(command, input=sql, env=self.env, text=True,
                              capture_output=True, check=False)
        if done.returncode != 0:
            raise RuntimeError("psql failed: %s" % done.stderr.strip())
        return [line.split("|") for line in done.stdout.splitlines() if line]

    def create(self):
        self.run('CREATE DATABASE "%s" TEMPLATE "%s"' % (self.catalog, self.template),
                 catalog="postgres")

    def drop(self):
        self.run('DROP DATABASE IF EXISTS "%s" WITH (FORCE)' % self.catalog, catalog="postgres")


class Report:
    def __init__(self, index, plans):
        self.id = FIRST_ID + index
        self.missing = index in (5, 22)
        self.plan = "gone.dwg" if self.missing else "plan-%d.dwg" % (index % len(plans))
        self.png = index % 2 == 1
        self.plot = "r%d.%s" % (self.id, "png" if self.png else "pdf")
        self.copy = "copy-%d.dwg" % self.id if index % 3 == 0 else None
        self.expected = 4 if self.missing else 3

    def sql(self):
        copy = "'C:\\sbs\\copies\\%s'" % self.copy if self.copy else "NULL"
        return (
            "INSERT INTO graphic_reports (id, status_id, title, drawing_path, drawing_filename,"
            " plot_layout, plot_type_id, plot_area_type_id, plot_media_size_id,"
            " plot_scale_type_id, plot_centred, output_path, output_filename, save_copy_to,"
            " xml_output_to, total_child_areas) VALUES (%d, %d, 'Report %d', 'C:\\sbs\\plans\\',"
            " '%s', 'Model', %d, 1, 4, 0, 1, 'C:\\sbs\\out\\', '%s', %s, NULL, 0);\n"
            "INSERT INTO report_categories (id, report_id, sort_order, title, hatch_pattern,"
            " hatch_angle, hatch_colour, hatch_scale, hatch_layer) VALUES (%d, %d, 1,"
            " 'Every room', 'SOLID', 0, '#%02X8040', 1, 'HATCH-ALL');\n"
            "INSERT INTO category_blocks (category_id, sort_order, handle) VALUES (%d, 1, '*');\n"
            % (self.id, WAITING, self.id, self.plan, 3 if self.png else 1, self.plot, copy,
               self.id, self.id, (self.id * 37) % 256, self.id))


def start_hosts(args, database, home):
    script = os.path.join(args.work, "run.scr")
    with open(script, "w", encoding="utf-8") as f:
        f.write("qvrun\n%d\n" % WAITING)
    env = dict(os.environ, QV_TEST_DB_CATALOG=database.catalog)
    hosts = []
    for n in range(args.hosts):
        out = open(os.path.join(args.work, "host-%d.txt" % n), "w+", encoding="utf-8")
        process = subprocess.Popen([args.cadhost, "--home", home, "--module", args.module,
                                    "--script", script], stdout=out, stderr=subprocess.STDOUT,
                                   stdin=subprocess.DEVNULL, env=env)
        hosts.append((process, out))
    return hosts


def kill_after_first_report(process, out_path):
    """Kills the host once it has printed its first report; false when it ended before that."""
    while process.poll() is None:
        with open(out_path, encoding="utf-8", errors="replace") as f:
            if LINE.search(f.read()):
                process.send_signal(signal.SIGKILL)
                return True
        time.sleep(0.02)
    return False


def plot_readable(path, png):
    if png:
        try:
            with Image.open(path) as image:
                image.load()
                return image.format == "PNG" and image.size[0] > 0
        except OSError:
            return False
    return subprocess.run(["pdfinfo", path], capture_output=True, check=False).returncode == 0


def check(args, database, home, reports, transcripts, killed_pid):
    failures = []
    runs = {}
    for text in transcripts:
        for report_id, pid, status in LINE.findall(text):
            report_id, pid, status = int(report_id), int(pid), int(status)
            if report_id in runs:
                failures.append("report %d run twice (processes %d and %d)"
                                % (report_id, runs[report_id][0], pid))
            runs[report_id] = (pid, status)
    recorded = {int(i): int(s) for i, s in database.run(
        "SELECT id, status_id FROM graphic_reports WHERE id >= %d ORDER BY id" % FIRST_ID,
        rows=True)}
    left_running = []
    for report in reports:
        status = recorded.get(report.id)
        if report.id not in runs:
            if killed_pid is not None and status == 2:
                left_running.append(report.id)
                continue
            # The killed host may record a report in the moment between its first line and the
            # kill, without living to print it; it is checked like every other finished report.
            if killed_pid is None or status != report.expected:
                failures.append("report %d was run by no host (status %s)" % (report.id, status))
                continue
            runs[report.id] = (killed_pid, status)
        pid, printed = runs[report.id]
        if printed != status or status != report.expected:
            failures.append("report %d: printed %d, recorded %s, expected %d"
                            % (report.id, printed, status, report.expected))
        out = os.path.join(home, "sbs", "out")
        plot = os.path.join(out, report.plot)
        xml = os.path.join(out, os.path.splitext(report.plot)[0] + ".xml")
        if report.missing:
            if os.path.exists(plot) or os.path.exists(xml):
                failures.append("report %d has no drawing but left files" % report.id)
            continue
        if not plot_readable(plot, report.png):
            failures.append("report %d: %s is not a readable plot" % (report.id, report.plot))
        try:
            root = ElementTree.parse(xml).getroot()
            ids = [e.text for e in root if e.tag.endswith("grID")]
            if ids != [str(report.id)]:
                failures.append("report %d: its XML names %s" % (report.id, ids))
        except (OSError, ElementTree.ParseError) as error:
            failures.append("report %d: XML not read (%s)" % (report.id, error))
        if report.copy:
            try:
                ezdxf.readfile(os.path.join(home, "sbs", "copies", report.copy))
            except (OSError, ezdxf.DXFError) as error:
                failures.append("report %d: copy not read (%s)" % (report.id, error))
    if len(left_running) > 1:
        failures.append("reports %s left running; only the killed host's last may be"
                        % left_running)
    if killed_pid is not None:
        finished = [i for i, (pid, _) in runs.items() if pid == killed_pid]
        if not finished:
            failures.append("the killed host finished no report")
    return failures, runs, left_running


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cadhost", required=True)
    parser.add_argument("--module", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--hosts", type=int, required=True)
    parser.add_argument("--reports", type=int, default=40)
    parser.add_argument("--kill", action="store_true")
    parser.add_argument("--quiet", action="store_true")
    parser.add_argument("plans", nargs="+")
    args = parser.parse_args()

    shutil.rmtree(args.work, ignore_errors=True)
    home = os.path.join(args.work, "home")
    for folder in ("plans", "out", "copies"):
        os.makedirs(os.path.join(home, "sbs", folder))
    for n, plan in enumerate(args.plans):
        shutil.copyfile(plan, os.path.join(home, "sbs", "plans", "plan-%d.dwg" % n))
    reports = [Report(i, args.plans) for i in range(args.reports)]

    database = Database()
    database.create()
    try:
        database.run("".join(r.sql() for r in reports))
        started = time.monotonic()
        cpu_before = resource.getrusage(resource.RUSAGE_CHILDREN)
        hosts = start_hosts(args, database, home)
        killed_pid = None
        # A host that ran through its list before it could be killed (the others took every
        # report but its first) ends normally, and the case is then one without a kill.
        if args.kill and kill_after_first_report(hosts[0][0], hosts[0][1].name):
            killed_pid = hosts[0][0].pid
        failures = []
        transcripts = []
        for n, (process, out) in enumerate(hosts):
            code = process.wait()
            seconds = time.monotonic() - started
            out.seek(0)
            transcripts.append(out.read())
            out.close()
            expected = -signal.SIGKILL if killed_pid == process.pid else 0
            if code != expected:
                failures.append("host %d ended with %d:\n%s" % (n, code, transcripts[-1]))
        cpu_after = resource.getrusage(resource.RUSAGE_CHILDREN)
        cpu = (cpu_after.ru_utime - cpu_before.ru_utime) + (cpu_after.ru_stime - cpu_before.ru_stime)
        failures_checked, runs, left = check(args, database, home, reports, transcripts,
                                             killed_pid)
        failures += failures_checked
    finally:
        database.drop()
    if not args.quiet:
        by_host = {}
        for pid, _ in runs.values():
            by_host[pid] = by_host.get(pid, 0) + 1
        print("reports run per process: %s%s" % (
            ", ".join("%d: %d" % item for item in sorted(by_host.items())),
            "; left running by the killed host: %s" % left if left else ""))
    for failure in failures:
        print("FAILED: " + failure)
    print("processor time of the hosts: %.2f s" % cpu)
    print("%d reports, %d host(s): %.2f s" % (args.reports, args.hosts, seconds))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
