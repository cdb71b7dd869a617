#!/usr/bin/env python3
"""Mutation check: applies the single small faults of mutants.txt to a copy of
the library, one at a time, rebuilds the unit-test binary incrementally and
runs it. A fault the tests notice is killed; one they miss survived.

    tests/mutation/run_mutants.py [--only analysis|readers] [--build DIR] [--jobs N]
                                  [--check-list] [--check-equivalent]

mutants.txt is read section by section: "[path/of/file.cpp]" names the file,
then each line is "ORIGINAL => REPLACEMENT", optionally followed by
" @N/M" (the N-th of exactly M occurrences) and by " ## equivalent: REASON"
for a mutant shown to change no result. "\\n" in a pattern stands for a line
break. A pattern must match exactly once (or exactly M times with @N/M), so a
refactoring that moves the code makes this script fail until the list is
updated. Exit status 0 only when every non-equivalent mutant was killed.
"""
import argparse
import concurrent.futures
import glob
import os
import re
import shutil
import subprocess
import sys
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
LIST = os.path.join(ROOT, "tests", "mutation", "mutants.txt")
TARGET = "vivezeru5_tests"


class Mutant:
    def __init__(self, path, original, replacement, occurrence, expected_count, equivalent, line):
        self.path, self.original, self.replacement = path, original, replacement
        self.occurrence, self.expected_count = occurrence, expected_count
        self.equivalent, self.line = equivalent, line

    def describe(self):
        where = "" if self.expected_count == 1 else " @%d/%d" % (self.occurrence, self.expected_count)
        return "%s: %s => %s%s" % (self.path, self.original.replace("\n", "\\n"),
                                  self.replacement.replace("\n", "\\n"), where)


def parse_list(path):
    mutants, current = [], None
    with open(path, encoding="utf-8") as lines:
        for number, raw in enumerate(lines, 1):
            line = raw.rstrip("\n")
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            section = re.fullmatch(r"\[(.+)\]", line.strip())
            if section:
                current = section.group(1)
                continue
            if current is None or not re.search(r" =>( |$)", line):
                sys.exit("%s:%d: expected [file] or 'ORIGINAL => REPLACEMENT'" % (path, number))
            equivalent = None
            if " ## equivalent: " in line:
                line, equivalent = line.split(" ## equivalent: ", 1)
            occurrence, expected = 1, 1
            where = re.search(r" @(\d+)/(\d+)$", line)
            if where:
                occurrence, expected = int(where.group(1)), int(where.group(2))
                line = line[:where.start()]
            original, replacement = re.split(r" =>(?: |$)", line, maxsplit=1)
            unescape = lambda text: text.strip().replace("\\n", "\n")
            mutants.append(Mutant(current, unescape(original), unescape(replacement), occurrence,
                                  expected, equivalent, number))
    return mutants


def apply(mutant, source):
    count = source.count(mutant.original)
    if count != mutant.expected_count:
        raise LookupError("%s (list line %d): the pattern matches %d times, expected %d" %
                          (mutant.describe(), mutant.line, count, mutant.expected_count))
    at = -1
    for _ in range(mutant.occurrence):
        at = source.index(mutant.original, at + 1)
    return source[:at] + mutant.replacement + source[at + len(mutant.original):]


def run(command, cwd, timeout=None):
    return subprocess.run(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          timeout=timeout, text=True, errors="replace")


def sync_tree(source, destination):
    """Copies the work tree, leaving files whose contents did not change untouched
    so that a second run rebuilds only what changed."""
    for directory, subdirectories, files in os.walk(source):
        subdirectories[:] = [d for d in subdirectories if d not in ("build", ".git", "__pycache__")]
        target = os.path.join(destination, os.path.relpath(directory, source))
        os.makedirs(target, exist_ok=True)
        for name in files:
            origin, copy = os.path.join(directory, name), os.path.join(target, name)
            with open(origin, "rb") as f:
                contents = f.read()
            if os.path.exists(copy):
                with open(copy, "rb") as f:
                    if f.read() == contents:
                        continue
            with open(copy, "wb") as f:
                f.write(contents)


def prepare(build):
    """A private copy of the sources, configured once, so the work tree is never touched."""
    source, binary = os.path.join(build, "src"), os.path.join(build, "bin")
    sync_tree(ROOT, source)
    # A run that was stopped while a mutant was built leaves that object behind.
    marker = os.path.join(build, "mutant-in-progress")
    if os.path.exists(marker):
        with open(marker) as f:
            stale = f.read().strip()
        if os.path.exists(stale):
            os.remove(stale)
        os.remove(marker)
    configure = run(["cmake", "-S", source, "-B", binary, "-DCMAKE_BUILD_TYPE=Release",
                     "-DVIVEZERU5_BUILD_TOOLS=OFF", "-DVIVEZERU5_BUILD_BENCHMARKS=OFF"], ROOT)
    if configure.returncode != 0:
        sys.exit("configure failed:\n" + configure.stdout)
    # The test binary and the static test-support archive (which copies the
    # library's objects) may hold the last mutant of an earlier run.
    for stale in [os.path.join(binary, "tests", TARGET)] + glob.glob(os.path.join(binary, "tests", "*.a")):
        if os.path.exists(stale):
            os.remove(stale)
    return source, binary, marker


def build_and_test(binary, timeout):
    built = run(["cmake", "--build", binary, "-j1", "--target", TARGET], binary)
    if built.returncode != 0:
        return "did not compile", built.stdout
    try:
        tested = run([os.path.join(binary, "tests", TARGET), "--gtest_brief=1", "--gtest_fail_fast"],
                     binary, timeout)
    except subprocess.TimeoutExpired:
        return "killed", "timeout"
    return ("survived" if tested.returncode == 0 else "killed"), tested.stdout


class Worker:
    """One private source copy and build tree; mutants run one after another in it."""

    def __init__(self, build):
        self.source, self.binary, self.marker = prepare(build)
        self.originals = {}

    def original(self, path):
        if path not in self.originals:
            with open(os.path.join(self.source, path), encoding="utf-8") as f:
                self.originals[path] = f.read()
        return self.originals[path]

    def baseline(self):
        outcome, log = build_and_test(self.binary, None)
        if outcome != "survived":
            sys.exit("the unmutated library fails its tests (%s):\n%s" % (outcome, log))
        # A mutant that makes the tests run far longer than the unmutated
        # library (about a second) has hung: killed.
        started = time.time()
        build_and_test(self.binary, None)
        self.timeout = max(30.0, 20 * (time.time() - started))

    def try_mutant(self, mutant):
        path = os.path.join(self.source, mutant.path)
        mutated = apply(mutant, self.original(mutant.path))
        objects = os.path.join(self.binary, "CMakeFiles", "vivezeru5_objects.dir", mutant.path + ".o")
        saved = objects + ".unmutated"
        if os.path.exists(objects):
            shutil.copy2(objects, saved)
        stat = os.stat(path)
        with open(self.marker, "w") as f:
            f.write(objects)
        try:
            with open(path, "w", encoding="utf-8") as f:
                f.write(mutated)
            return build_and_test(self.binary, self.timeout)
        finally:
            # The original source and object come back with their old times,
            # so the next build recompiles only the next mutant's file. A
            # mutated header has no object of its own: it keeps its new time,
            # so that every file including it is compiled again unmutated.
            with open(path, "w", encoding="utf-8") as f:
                f.write(self.original(mutant.path))
            if os.path.exists(saved):
                os.utime(path, ns=(stat.st_atime_ns, stat.st_mtime_ns))
                os.replace(saved, objects)
            os.remove(self.marker)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--only", help="only the mutants of files under this directory")
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "mutation"))
    parser.add_argument("--jobs", type=int, default=2, help="mutants built and tested at once")
    parser.add_argument("--check-list", action="store_true",
                        help="only check that every pattern matches, then stop")
    parser.add_argument("--check-equivalent", action="store_true",
                        help="also run the mutants listed as equivalent (each must survive)")
    args = parser.parse_args()

    mutants = [m for m in parse_list(LIST) if not args.only or m.path.startswith(args.only.rstrip("/") + "/")]
    stale = []
    for mutant in mutants:  # every pattern is checked before anything is built
        with open(os.path.join(ROOT, mutant.path), encoding="utf-8") as f:
            try:
                apply(mutant, f.read())
            except LookupError as error:
                stale.append(str(error))
    if stale:
        sys.exit("mutation list out of date:\n  " + "\n  ".join(stale))
    if args.check_list:
        print("%d mutants, every pattern matches" % len(mutants))
        return 0

    chosen = [m for m in mutants if args.check_equivalent or not m.equivalent]
    jobs = max(1, min(args.jobs, len(chosen)))
    workers = [Worker(os.path.join(os.path.abspath(args.build), "worker%d" % k)) for k in range(jobs)]
    with concurrent.futures.ThreadPoolExecutor(jobs) as pool:
        list(pool.map(Worker.baseline, workers))
    # Each worker takes a contiguous share, so that consecutive mutants mostly
    # touch the same file and the rebuilds stay small.
    shares = [chosen[k * len(chosen) // jobs:(k + 1) * len(chosen) // jobs] for k in range(jobs)]
    lock = threading.Lock()
    outcomes = {}

    def work(worker, share):
        for mutant in share:
            outcome, log = worker.try_mutant(mutant)
            with lock:
                outcomes[id(mutant)] = (outcome, log)
                label = "NOBUILD" if outcome == "did not compile" else outcome.upper()
                print("%-9s %s" % (label, mutant.describe()), flush=True)

    with concurrent.futures.ThreadPoolExecutor(jobs) as pool:
        for future in [pool.submit(work, w, share) for w, share in zip(workers, shares)]:
            future.result()

    results, problems = [], []
    for mutant in chosen:
        outcome, log = outcomes[id(mutant)]
        results.append((mutant, outcome))
        if outcome == "did not compile":
            problems.append("does not compile: %s\n%s" % (mutant.describe(), log[-2000:]))
        elif mutant.equivalent and outcome == "killed":
            problems.append("listed as equivalent but killed: %s" % mutant.describe())
    return report(mutants, results, problems)


def report(mutants, results, problems):
    print("\nper file (non-equivalent mutants):")
    files = {}
    for mutant, outcome in results:
        if not mutant.equivalent:
            files.setdefault(mutant.path, []).append(outcome)
    directories = {}
    for path, outcomes in sorted(files.items()):
        killed = outcomes.count("killed")
        print("  %-45s %3d killed, %3d survived" % (path, killed, outcomes.count("survived")))
        total = directories.setdefault(path.split("/")[0], [0, 0])
        total[0] += killed
        total[1] += len(outcomes)
    for directory, (killed, total) in sorted(directories.items()):
        print("  %-45s %3d of %d killed (%.1f%%)" % (directory + "/", killed, total, 100.0 * killed / total))
    equivalent = [m for m in mutants if m.equivalent]
    if equivalent:
        print("\nequivalent mutants (not counted):")
        for mutant in equivalent:
            print("  %s\n      %s" % (mutant.describe(), mutant.equivalent))
    survivors = [m for m, outcome in results if outcome == "survived" and not m.equivalent]
    if survivors:
        print("\nsurvivors: a test should notice each of these faults")
        for mutant in survivors:
            print("  " + mutant.describe())
    for problem in problems:
        print("\nerror: " + problem)
    killed = sum(1 for m, outcome in results if outcome == "killed" and not m.equivalent)
    counted = sum(1 for m, outcome in results if outcome in ("killed", "survived") and not m.equivalent)
    print("\nmutation: %d passed, %d failed" % (killed, counted - killed))
    return 1 if survivors or problems else 0


if __name__ == "__main__":
    sys.exit(main())
