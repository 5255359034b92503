#!/usr/bin/env python3
"""A small mutation run: each fault of mutants.py applied alone, the affected test programs
built and run, the file put back.

    tools/mutate/run.py BUILD_DIR [--only ID,ID...] [--list] [--timeout SECONDS] [--log FILE]

BUILD_DIR is a configured build of this checkout (best without sanitizers: Debug, ccache). The
database tests need the server of scripts/testdb in the environment (eval "$(scripts/testdb
start)"). A fault is killed when a test program fails or runs out of time, survives when all pass,
and is left out of the rate when it does not compile (a fault the compiler rejects says nothing of
the tests). The source file is always restored, on an interrupt too; the run refuses to start on a
file that differs from git's copy.
"""
import argparse
import os
import resource
import signal
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, HERE)
import mutants  # noqa: E402


def programs_for(m):
    if m.tests:
        return m.tests
    for prefix, tests in mutants.DEFAULT_TESTS:
        if m.path.startswith(prefix):
            return tests
    raise SystemExit(f"{m.id}: no test programs for {m.path}")


class Restore:
    """Puts the file's text back whatever happens, SIGINT and SIGTERM included."""

    def __init__(self, path, text):
        self.path, self.text = path, text

    def __enter__(self):
        self.old = {s: signal.signal(s, self._raise) for s in (signal.SIGINT, signal.SIGTERM)}
        return self

    def _raise(self, signum, frame):
        raise KeyboardInterrupt

    def __exit__(self, *exc):
        with open(self.path, "w", encoding="utf-8") as f:
            f.write(self.text)
        for s, h in self.old.items():
            signal.signal(s, h)
        return False


# A fault can make a loop that never ends and grows without bound: a test program may take this
# much memory at the most (it fails beyond, which kills the fault).
TEST_MEMORY_BYTES = 4 << 30


def limit_memory():
    resource.setrlimit(resource.RLIMIT_AS, (TEST_MEMORY_BYTES, TEST_MEMORY_BYTES))


def run(cmd, timeout, cwd=None, env=None, limited=False):
    try:
        p = subprocess.run(cmd, cwd=cwd, env=env, timeout=timeout, stdout=subprocess.PIPE,
                           stderr=subprocess.STDOUT, start_new_session=True,
                           preexec_fn=limit_memory if limited else None)
        return p.returncode, p.stdout.decode(errors="replace")
    except subprocess.TimeoutExpired as e:
        return "timeout", (e.stdout or b"").decode(errors="replace")


def test_command(build, program):
    if program.startswith("ctest:"):
        return ["ctest", "--test-dir", build, "-j2", "-R", program[len("ctest:"):]]
    return [os.path.join(build, "tests", program), "--gtest_brief=1"]


def build_targets(programs):
    targets = set()
    for p in programs:
        if p.startswith("ctest:"):
            targets.add("all")
        else:
            targets.add(p)
    return ["all"] if "all" in targets else sorted(targets)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("build")
    ap.add_argument("--only", default="")
    ap.add_argument("--list", action="store_true")
    ap.add_argument("--timeout", type=int, default=120)
    ap.add_argument("--jobs", default="2")
    ap.add_argument("--log", default=None)
    a = ap.parse_args()
    build = os.path.abspath(a.build)
    chosen = [m for m in mutants.MUTANTS if not a.only or m.id in a.only.split(",")]
    ids = [m.id for m in mutants.MUTANTS]
    dup = {i for i in ids if ids.count(i) > 1}
    if dup:
        raise SystemExit(f"ids used twice: {sorted(dup)}")
    if a.list:
        for m in chosen:
            print(f"{m.id:28} {m.path}  [{' '.join(programs_for(m))}]  {m.why}")
        return 0
    log = open(a.log, "a", encoding="utf-8") if a.log else None

    def say(text):
        print(text, flush=True)
        if log:
            log.write(text + "\n")
            log.flush()

    env = dict(os.environ, QV_SOURCE_DIR=TOP)
    results = {"killed": [], "survived": [], "no-compile": []}
    started = time.time()
    for m in chosen:
        path = os.path.join(TOP, m.path)
        if subprocess.run(["git", "-C", TOP, "diff", "--quiet", "--", m.path]).returncode != 0:
            raise SystemExit(f"{m.path} differs from git's copy: refusing to mutate it")
        with open(path, encoding="utf-8") as f:
            text = f.read()
        if text.count(m.old) != 1:
            say(f"{m.id}: the original text occurs {text.count(m.old)} times in {m.path}")
            results["no-compile"].append(m.id)
            continue
        programs = programs_for(m)
        t0 = time.time()
        with Restore(path, text):
            with open(path, "w", encoding="utf-8") as f:
                f.write(text.replace(m.old, m.new))
            rc, out = run(["cmake", "--build", build, "-j", a.jobs, "--target"] +
                          build_targets(programs), 1800)
            if rc != 0:
                verdict, by = "no-compile", ""
            else:
                verdict, by = "survived", ""
                for p in programs:
                    rc, out = run(test_command(build, p), a.timeout,
                                  cwd=os.path.join(build, "tests"), env=env, limited=True)
                    if rc != 0:
                        verdict, by = "killed", f"{p} ({'timeout' if rc == 'timeout' else 'fails'})"
                        break
        results[verdict].append(m.id)
        say(f"{verdict:10} {m.id:28} {time.time() - t0:6.0f}s {by}")
    # The restored sources must build again before the next run.
    run(["cmake", "--build", build, "-j", a.jobs], 3600)
    counted = len(results["killed"]) + len(results["survived"])
    say(f"killed {len(results['killed'])} of {counted} "
        f"({100.0 * len(results['killed']) / max(counted, 1):.0f}%), "
        f"{len(results['no-compile'])} not compiled, {time.time() - started:.0f}s")
    for i in results["survived"]:
        m = next(x for x in mutants.MUTANTS if x.id == i)
        say(f"  survived: {i} ({m.path}): {m.why}")
    for i in results["no-compile"]:
        say(f"  not compiled: {i}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
