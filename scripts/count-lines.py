#!/usr/bin/env python3
"""Counts the program's own lines and the tests' lines, without blank and comment lines.

    scripts/count-lines.py [--quiet]

Program: rules, sheet, richtext, windows, shell, tools, web (C++, JavaScript, CSS). Tests:
tests and fuzz (C++ and scripts). Prints the lines per folder and the tests' share of the
program; exits 1 when that share is outside 30 to 45 percent.
"""

import os
import subprocess
import sys

HERE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PROGRAM = ["rules", "sheet", "richtext", "windows", "shell", "tools", "web"]
TESTS = ["tests", "fuzz"]
C_LIKE = (".cpp", ".h", ".js", ".css")
HASH = (".sh", ".py")


def counted_lines(path):
    in_block = False
    count = 0
    with open(path, encoding="utf-8", errors="replace") as f:
        for raw in f:
            line = raw.strip()
            if not line:
                continue
            if path.endswith(C_LIKE):
                if in_block:
                    if "*/" in line:
                        in_block = False
                    continue
                if line.startswith("//"):
                    continue
                if line.startswith("/*"):
                    in_block = "*/" not in line
                    continue
            elif line.startswith("#"):
                continue
            count += 1
    return count


def tracked(folder):
    out = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "--", folder], cwd=HERE,
                         stdout=subprocess.PIPE, text=True, check=True).stdout
    return [n for n in out.splitlines() if n.endswith(C_LIKE + HASH) and "/corpus/" not in n]


def main():
    totals = {}
    for folder in PROGRAM + TESTS:
        totals[folder] = sum(counted_lines(os.path.join(HERE, n)) for n in tracked(folder)
                             if os.path.isfile(os.path.join(HERE, n)))
    program = sum(totals[f] for f in PROGRAM)
    tests = sum(totals[f] for f in TESTS)
    share = 100.0 * tests / program if program else 0.0
    if "--quiet" not in sys.argv:
        for folder in PROGRAM + TESTS:
            print(f"{folder:10} {totals[folder]:6}")
    print(f"program {program}, tests {tests}: {share:.1f} %")
    return 0 if 30.0 <= share <= 45.0 else 1


if __name__ == "__main__":
    sys.exit(main())
