#!/usr/bin/env python3
"""The mutation run behind `make mutate` (tools/mutate.sh prepares the trees and the display).

Reads tests/mutants.txt, applies each mutant to the scratch copy, builds the tree its tests
live in, runs them and restores the file. A mutant is killed when its tests fail, crash, time
out or run fewer tests than without it; it survives when they pass. One whose original text is
no longer in its file (the code changed since it was written) is "not applicable": it is
counted apart and listed, so the list can be brought up to date.
"""
import argparse
import dataclasses
import os
import re
import subprocess
import sys
import time
import xml.etree.ElementTree as ET

SUITES = {  # suite name in the list -> (tree, build target, test executable in the tree)
    "core": ("native", "core_tests", "tests/core/core_tests"),
    "win": ("win64", "win_tests", "tests/win/win_tests.exe"),
}


@dataclasses.dataclass
class Mutant:
    id: str
    line: int
    file: str = ""
    fault: str = ""
    tests: list = dataclasses.field(default_factory=list)  # [(suite, gtest filter)]
    original: list = dataclasses.field(default_factory=list)
    changed: list = dataclasses.field(default_factory=list)
    expect: str = ""  # why it is expected to survive for now
    equivalent: str = ""  # why no test can tell it from the program
    status: str = ""
    detail: str = ""
    seconds: float = 0.0


def parse(path):
    mutants, current = [], None
    with open(path, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            line = raw.rstrip("\n")
            if line.startswith("#") or not line.strip():
                continue
            if line.startswith("== "):
                current = Mutant(id=line[3:].strip(), line=number)
                mutants.append(current)
                continue
            if current is None:
                sys.exit(f"{path}:{number}: a mutant starts with '== id'")
            if line.startswith("- ") or line == "-":
                current.original.append(line[2:])
            elif line.startswith("+ ") or line == "+":
                current.changed.append(line[2:])
            elif ":" in line:
                key, value = (part.strip() for part in line.split(":", 1))
                if key == "tests":
                    suite, _, flt = value.partition(" ")
                    if suite not in SUITES or not flt.strip():
                        sys.exit(f"{path}:{number}: tests: core|win <gtest filter>")
                    current.tests.append((suite, flt.strip()))
                elif key in ("file", "fault", "expect", "equivalent"):
                    setattr(current, key, value)
                else:
                    sys.exit(f"{path}:{number}: unknown field {key}")
            else:
                sys.exit(f"{path}:{number}: cannot read {line!r}")
    ids = set()
    for m in mutants:
        problem = (not m.file and "no file") or (not m.original and "no original text") or \
                  (not m.tests and not m.equivalent and "no tests") or (m.id in ids and "id twice")
        if problem:
            sys.exit(f"{path}:{m.line}: mutant {m.id}: {problem}")
        ids.add(m.id)
    return mutants


def locate(text, original):
    """The spans where the original lines stand in `text`, indentation aside."""
    pattern = r"\n[ \t]*".join(re.escape(part.strip()) for part in original)
    return [match.span() for match in re.finditer(pattern, text)]


def mutate(text, span, changed):
    start, end = span
    line_start = text.rfind("\n", 0, start) + 1
    indent = re.match(r"[ \t]*", text[line_start:start]).group(0)
    return text[:start] + ("\n" + indent).join(part.strip() for part in changed) + text[end:]


def run(cmd, log, timeout=None, cwd=None):
    """Runs `cmd`, its output appended to `log`; answers (exit code or None on time-out, secs)."""
    started = time.monotonic()
    with open(log, "a") as out:
        out.write(f"$ {' '.join(cmd)}\n")
        out.flush()
        proc = subprocess.Popen(cmd, stdout=out, stderr=subprocess.STDOUT, cwd=cwd,
                                start_new_session=True)
        try:
            rc = proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, 9)
            proc.wait()
            rc = None
    return rc, time.monotonic() - started


class Runner:
    def __init__(self, args):
        self.root, self.work = args.root, args.work
        self.src = os.path.join(self.work, "src")
        self.jobs = args.jobs
        self.log = os.path.join(self.work, "mutate.log")
        self.results = os.path.join(self.work, "results")
        os.makedirs(self.results, exist_ok=True)
        self.baseline = {}  # (suite, filter) -> (tests run, seconds)
        self.timeout = int(os.environ.get("QUAFF_MUTATE_TIMEOUT", "0")) or None

    def build(self, suites):
        for suite in sorted(suites):
            tree, target, _ = SUITES[suite]
            rc, _ = run(["cmake", "--build", os.path.join(self.work, tree), "-j", str(self.jobs),
                         "--target", target], self.log)
            if rc != 0:
                return False
        return True

    def test(self, suite, flt, timeout):
        """(verdict, tests run, seconds): 'pass', 'fail', 'no report' or 'timeout'."""
        tree, _, exe = SUITES[suite]
        report = os.path.join(self.results, "report.xml")
        if os.path.exists(report):
            os.remove(report)
        exe = os.path.join(self.work, tree, exe)
        if suite == "win":
            cmd = [os.path.join(self.root, "cmake", "wine-run.sh"), exe,
                   f"--gtest_filter={flt}", f"--gtest_output=xml:Z:{report}"]
        else:
            cmd = [exe, f"--gtest_filter={flt}", f"--gtest_output=xml:{report}"]
        rc, secs = run(cmd, self.log, timeout, cwd=self.results)
        if rc is None:
            return "timeout", 0, secs
        try:
            root = ET.parse(report).getroot()
        except (OSError, ET.ParseError):
            # None, or one cut short: the process died before its end (under Wine a crash can
            # even exit 0).
            return ("fail" if rc != 0 else "no report"), 0, secs
        count = int(root.get("tests", 0)) - int(root.get("disabled", 0))
        failed = int(root.get("failures", 0)) + int(root.get("errors", 0))
        return ("fail" if rc != 0 or failed else "pass"), count, secs

    def establish_baseline(self, mutants):
        """Each filter once on the program as it is: it must pass and run some test."""
        wanted = {t for m in mutants if m.status == "" for t in m.tests}
        if not self.build({s for s, _ in wanted}):
            sys.exit(f"mutate: the program as it is does not build; see {self.log}")
        broken = {}  # (suite, filter) -> what went wrong
        for suite, flt in sorted(wanted):
            verdict, count, secs = self.test(suite, flt, self.timeout or 1800)
            self.baseline[(suite, flt)] = (count, secs)
            if verdict != "pass" or count == 0:
                broken[(suite, flt)] = f"{verdict}, {count} tests"
        return broken

    def run_mutant(self, m):
        path = os.path.join(self.src, m.file)
        try:
            with open(path, encoding="utf-8") as f:
                pristine = f.read()
        except OSError:
            m.status, m.detail = "not applicable", f"{m.file} is gone"
            return
        spans = locate(pristine, m.original)
        if len(spans) != 1:
            m.status = "not applicable"
            m.detail = ("original text not found" if not spans
                        else f"original text found {len(spans)} times")
            m.detail += f": update tests/mutants.txt:{m.line} to the code as it is now"
            return
        started = time.monotonic()
        with open(path, "w", encoding="utf-8") as f:
            f.write(mutate(pristine, spans[0], m.changed))
        try:
            if not self.build({s for s, _ in m.tests}):
                m.status, m.detail = "build error", "the mutant does not compile"
                return
            for suite, flt in m.tests:
                count, secs = self.baseline[(suite, flt)]
                limit = self.timeout or int(3 * secs + 60)
                verdict, ran, _ = self.test(suite, flt, limit)
                if verdict == "pass" and ran < count:
                    verdict = f"ran {ran} of {count} tests"
                if verdict != "pass":
                    m.status, m.detail = "killed", f"{suite} {flt}: {verdict}"
                    return
            m.status = "survived"
        finally:
            with open(path, "w", encoding="utf-8") as f:
                f.write(pristine)
            m.seconds = time.monotonic() - started


def selected(mutants):
    ids = [i for i in os.environ.get("MUTANTS", "").split(",") if i]
    files = [f for f in os.environ.get("MUTANT_FILES", "").split(",") if f]
    unknown = set(ids) - {m.id for m in mutants}
    if unknown:
        sys.exit(f"mutate: no such mutant: {', '.join(sorted(unknown))}")
    return [m for m in mutants if (not ids or m.id in ids) and
            (not files or any(m.file == f or m.file.startswith(f.rstrip("/") + "/") for f in files))]


def summary(mutants, minutes):
    judged = [m for m in mutants if m.status in ("killed", "survived")]
    killed = [m for m in judged if m.status == "killed"]
    survived = [m for m in judged if m.status == "survived"]
    share = f"{100 * len(killed) / len(judged):.0f} %" if judged else "none judged"
    lines = [f"{len(mutants)} mutants: {len(killed)} killed, {len(survived)} survived "
             f"({share} of {len(judged)} judged)"]
    others = [m for m in mutants if m.status not in ("killed", "survived")]
    for label in ("equivalent", "not applicable", "build error", "no verdict"):
        group = [m for m in others if m.status == label]
        if group:
            lines[0] += f", {len(group)} {label}"
    lines[0] += f"; {minutes:.0f} min"
    return lines, survived, others


def write_docs(root, mutants, minutes):
    lines, survived, others = summary(mutants, minutes)
    commit = subprocess.run(["git", "-C", root, "describe", "--always", "--dirty"],
                            capture_output=True, text=True).stdout.strip() or "unknown"
    block = ["<!-- mutate:begin (written by make mutate) -->", "",
             f"Last full run, of {commit}: {lines[0]}.", ""]
    if survived:
        block += ["| survivor | file | the fault | why it survives |", "|---|---|---|---|"]
        for m in survived:
            why = m.expect or "unexplained: it needs a row or an equivalence note"
            block.append(f"| {m.id} | {m.file} | {m.fault} | {why} |")
        block.append("")
    for m in others:
        block.append(f"- {m.id} ({m.file}): {m.status}: {m.equivalent or m.detail}")
    if others:
        block.append("")
    block.append("<!-- mutate:end -->")
    path = os.path.join(root, "docs", "TESTING.md")
    with open(path, encoding="utf-8") as f:
        text = f.read()
    pattern = re.compile(r"<!-- mutate:begin.*?<!-- mutate:end -->", re.S)
    if not pattern.search(text):
        sys.exit("mutate: docs/TESTING.md has no mutate:begin/end markers")
    with open(path, "w", encoding="utf-8") as f:
        f.write(pattern.sub(lambda _: "\n".join(block), text))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--root", required=True)
    ap.add_argument("--work", required=True)
    ap.add_argument("--jobs", default="2")
    args = ap.parse_args()
    all_mutants = parse(os.path.join(args.root, "tests", "mutants.txt"))
    mutants = selected(all_mutants)
    full = len(mutants) == len(all_mutants)
    runner = Runner(args)
    open(runner.log, "w").close()
    started = time.monotonic()

    for m in mutants:
        if m.equivalent:
            m.status, m.detail = "equivalent", m.equivalent
    broken = runner.establish_baseline(mutants)
    for (suite, flt), what in broken.items():
        print(f"mutate: without any mutant, {suite} {flt}: {what}")
    # Grouped by file, headers last and together: a header's mutant and its restoring rebuild
    # everything that includes it, and two in a row share one of those rebuilds.
    todo = sorted((m for m in mutants if not m.status),
                  key=lambda m: (m.file.endswith(".h"), m.file))
    for n, m in enumerate(todo, 1):
        failing = [f"{s} {f}" for s, f in m.tests if (s, f) in broken]
        if failing:
            m.status, m.detail = "no verdict", f"fails or runs nothing without it: {failing[0]}"
        else:
            runner.run_mutant(m)
        note = f"  ({m.detail})" if m.detail and m.status != "survived" else ""
        expect = f"  [expected: {m.expect}]" if m.status == "survived" and m.expect else ""
        print(f"[{n:2}/{len(todo)}] {m.status:<14} {m.id}  {m.seconds:.0f}s{note}{expect}",
              flush=True)

    minutes = (time.monotonic() - started) / 60
    lines, survived, others = summary(mutants, minutes)
    report = [lines[0]]
    for m in survived:
        report.append(f"survived: {m.id} ({m.file}): {m.fault}" +
                      (f" [expected: {m.expect}]" if m.expect else ""))
    for m in others:
        report.append(f"{m.status}: {m.id} ({m.file}): {m.equivalent or m.detail}")
    with open(os.path.join(args.work, "report.txt"), "w", encoding="utf-8") as f:
        f.write("\n".join(report) + "\n")
    print("\n".join(report))
    if full:
        write_docs(args.root, mutants, minutes)
        print("mutate: figures written to docs/TESTING.md")
    else:
        print("mutate: a subset; docs/TESTING.md keeps the figures of the last full run")


if __name__ == "__main__":
    main()
