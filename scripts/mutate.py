#!/usr/bin/env python3
"""Plants one-line faults, one at a time, and tells which of them the tests catch.

    scripts/mutate.py [--list scripts/mutations.txt] [--only TEXT] [--work FOLDER]

The faults are listed in scripts/mutations.txt (its head explains the format). The script copies
the working tree to FOLDER/src (default build-mutate/src; only files that changed are copied
again, so the build stays incremental), builds there in FOLDER/build, and checks that the tests
named in the list pass without any fault. Then, for each fault: it replaces the text, builds only
the tests named for it, runs them, and puts the original text back. A fault is caught when a
test fails; it survives when all pass. A fault whose text is not found exactly once, or that does
not compile, is reported and left out of the figure; so are the faults marked as equivalent
(changes that cannot alter behaviour), which are listed with their reason but not run.

Equivalent faults are not run, but their text must still occur exactly once: a listed change
that no longer applies is reported as stale like any other. `--check` only does that for every
fault, without building: a quick look whether the list still fits the code.

Exit status: 0 when at least --goal percent (default 95) of the faults that ran were caught (with
--check: when no fault is stale).
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import time
from dataclasses import dataclass, field

HERE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


@dataclass
class Mutant:
    number: int
    path: str
    group: str
    title: str
    line: int
    original: str = ""
    replacement: str = ""
    equivalent: str = ""  # the reason, when the change cannot alter behaviour
    outcome: str = ""
    detail: str = ""
    seconds: float = 0.0


@dataclass
class MutationList:
    groups: dict = field(default_factory=dict)
    mutants: list = field(default_factory=list)


def parse_list(path):
    result = MutationList()
    current = None
    with open(path, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            line = raw.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            if line.startswith("tests "):
                name, _, tests = line[len("tests "):].partition(":")
                result.groups[name.strip()] = tests.split()
                continue
            if line.startswith("@ "):
                m = re.match(r"@ (\S+) \[(\S+)\] (.*)$", line)
                if not m:
                    sys.exit(f"{path}:{number}: expected '@ FILE [GROUP] TITLE'")
                current = Mutant(len(result.mutants) + 1, m.group(1), m.group(2), m.group(3), number)
                result.mutants.append(current)
                continue
            if current is None or line[:2] not in ("- ", "+ ", "= "):
                sys.exit(f"{path}:{number}: expected '- ORIGINAL', '+ REPLACEMENT' or '= REASON'")
            text = line[2:]
            # Several "-" or "+" lines in a row stand for consecutive lines of the file.
            if line[0] == "-":
                current.original += ("\n" if current.original else "") + text
            elif line[0] == "+":
                current.replacement += ("\n" if current.replacement else "") + text
            else:
                current.equivalent = text
    for m in result.mutants:
        if not m.original:
            sys.exit(f"{path}:{m.line}: fault without '- ORIGINAL'")
        if m.group not in result.groups:
            sys.exit(f"{path}:{m.line}: unknown test group {m.group}")
    return result


def run(command, cwd=None, timeout=None):
    try:
        p = subprocess.run(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                           text=True, errors="replace", timeout=timeout)
        return p.returncode, p.stdout
    except subprocess.TimeoutExpired as e:
        out = e.stdout.decode(errors="replace") if isinstance(e.stdout, bytes) else (e.stdout or "")
        return -1, out + "\n(timed out)"


def sync_tree(source, target):
    """Copies the files git knows of (tracked or not ignored) whose content differs."""
    code, out = run(["git", "ls-files", "-co", "--exclude-standard", "-z"], cwd=source)
    if code != 0:
        sys.exit("git ls-files failed:\n" + out)
    copied = 0
    for name in filter(None, out.split("\0")):
        if name.startswith("fuzz/corpus/"):
            continue
        src = os.path.join(source, name)
        dst = os.path.join(target, name)
        if not os.path.isfile(src):
            continue
        with open(src, "rb") as f:
            data = f.read()
        if os.path.isfile(dst):
            with open(dst, "rb") as f:
                if f.read() == data:
                    continue
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        with open(dst, "wb") as f:
            f.write(data)
        shutil.copymode(src, dst)
        copied += 1
    return copied


def occurrences(root, m):
    try:
        with open(os.path.join(root, m.path), encoding="utf-8") as f:
            return f.read().count(m.original)
    except FileNotFoundError:
        return 0


def build_and_test(build, tests, timeout):
    code, out = run(["cmake", "--build", build, "--target", *tests], timeout=timeout)
    if code != 0:
        return "build", out
    pattern = "^(" + "|".join(re.escape(t) for t in tests) + ")$"
    env_tests = ["ctest", "--test-dir", build, "-R", pattern, "--timeout", "120",
                 "--stop-on-failure", "--output-on-failure"]
    code, out = run(env_tests, timeout=timeout)
    return ("pass" if code == 0 else "fail"), out


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--list", default=os.path.join(HERE, "scripts", "mutations.txt"))
    parser.add_argument("--only", help="run only the faults whose file or title contains this text")
    parser.add_argument("--numbers", help="run only the faults of these numbers (1,5,7)")
    parser.add_argument("--tests", help="run the tests of this group for every fault instead of its own")
    parser.add_argument("--work", default=os.path.join(HERE, "build-mutate"))
    parser.add_argument("--goal", type=float, default=95.0)
    parser.add_argument("--check", action="store_true",
                        help="only check that every fault's text occurs exactly once; build nothing")
    args = parser.parse_args()

    mutations = parse_list(args.list)
    mutants = mutations.mutants
    if args.only:
        mutants = [m for m in mutants if args.only in m.path or args.only in m.title]
    if args.numbers:
        wanted = {int(n) for n in args.numbers.split(",")}
        mutants = [m for m in mutants if m.number in wanted]
    if args.tests:
        if args.tests not in mutations.groups:
            sys.exit(f"unknown test group {args.tests}")
        for m in mutants:
            m.group = args.tests
    if args.check:
        stale = [m for m in mutants if occurrences(HERE, m) != 1]
        for m in stale:
            print(f"[{m.number:3}] STALE       {m.path}: {m.title} (the text occurs "
                  f"{occurrences(HERE, m)} times; line {m.line} of the list)")
        print(f"{len(mutants) - len(stale)} of {len(mutants)} faults apply")
        return 1 if stale else 0
    src = os.path.join(args.work, "src")
    build = os.path.join(args.work, "build")
    os.makedirs(src, exist_ok=True)
    print(f"copying the tree to {src}: {sync_tree(HERE, src)} files changed", flush=True)
    if not os.path.isfile(os.path.join(build, "CMakeCache.txt")):
        generator = ["-G", "Ninja"] if shutil.which("ninja") else []
        code, out = run(["cmake", "-S", src, "-B", build, *generator, "-DCMAKE_BUILD_TYPE=Debug"])
        if code != 0:
            sys.exit("configuring failed:\n" + out)

    active = [m for m in mutants if not m.equivalent]
    needed = sorted({t for m in active for t in mutations.groups[m.group]})
    print(f"building and running the tests without any fault: {' '.join(needed)}", flush=True)
    status, out = build_and_test(build, needed, timeout=3600)
    if status != "pass":
        sys.exit(f"the tests do not pass without a fault ({status}):\n{out[-6000:]}")

    for m in mutants:
        if m.equivalent:
            count = occurrences(src, m)
            if count != 1:
                m.outcome = "stale"
                m.detail = f"the text occurs {count} times"
                print(f"[{m.number:3}] STALE       {m.path}: {m.title} ({m.detail})", flush=True)
                continue
            m.outcome = "equivalent"
            print(f"[{m.number:3}] equivalent  {m.path}: {m.title} ({m.equivalent})", flush=True)
            continue
        path = os.path.join(src, m.path)
        try:
            with open(path, encoding="utf-8") as f:
                text = f.read()
        except FileNotFoundError:
            text = ""
        count = text.count(m.original)
        if count != 1:
            m.outcome = "stale"
            m.detail = f"the text occurs {count} times"
            print(f"[{m.number:3}] STALE       {m.path}: {m.title} ({m.detail})", flush=True)
            continue
        started = time.monotonic()
        with open(path, "w", encoding="utf-8") as f:
            f.write(text.replace(m.original, m.replacement))
        try:
            status, out = build_and_test(build, mutations.groups[m.group], timeout=1800)
        finally:
            with open(path, "w", encoding="utf-8") as f:
                f.write(text)
        m.seconds = time.monotonic() - started
        if status == "build":
            m.outcome = "no build"
        elif status == "fail":
            m.outcome = "caught"
            failed = re.findall(r"^\s*\d+ - (\S+) \(", out, re.M)
            m.detail = ", ".join(failed)
        else:
            m.outcome = "SURVIVED"
        print(f"[{m.number:3}] {m.outcome:11} {m.path}: {m.title}"
              f"{' by ' + m.detail if m.detail else ''} ({m.seconds:.0f} s)", flush=True)

    caught = [m for m in mutants if m.outcome == "caught"]
    survived = [m for m in mutants if m.outcome == "SURVIVED"]
    counted = len(caught) + len(survived)
    print()
    for label, outcome in (("Survivors", "SURVIVED"), ("Not built", "no build"), ("Stale", "stale"),
                           ("Equivalent, not counted", "equivalent")):
        listed = [m for m in mutants if m.outcome == outcome]
        if listed:
            print(f"{label}:")
            for m in listed:
                print(f"  [{m.number}] {m.path}: {m.title}  (line {m.line} of the list)")
    groups = sorted({m.group for m in caught + survived})
    if len(groups) > 1:
        print("\nPer test group:")
        for g in groups:
            c = len([m for m in caught if m.group == g])
            n = c + len([m for m in survived if m.group == g])
            print(f"  {g:12} {c:4} of {n:4} caught")
    share = 100.0 * len(caught) / counted if counted else 0.0
    print(f"\nCaught {len(caught)} of {counted} faults: {share:.1f} % "
          f"({len(survived)} survived, {len([m for m in mutants if m.outcome == 'equivalent'])} equivalent, "
          f"{len([m for m in mutants if m.outcome in ('stale', 'no build')])} stale or not built)")
    return 0 if counted and share >= args.goal else 1


if __name__ == "__main__":
    sys.exit(main())
