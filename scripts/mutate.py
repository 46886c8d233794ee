#!/usr/bin/env python3
"""Plants faults one at a time and tells which ones the tests catch.

    scripts/mutate.py [LIST...]      (default: every scripts/mutants/*.txt)

Copies the sources into a temporary folder, builds the tests named by the lists there once,
then for each fault: changes the one line (or lines) in the copy, builds the related tests,
runs them, and undoes the change. A fault counts as caught when the build fails or a related
test fails. Prints one line per fault and the share caught; faults marked as equivalent (the
change cannot alter any result) are listed but not counted. Exit status 1 when a counted fault
survives.

A list holds blocks separated by blank lines:

    # what the fault does
    @ rules/test.cpp | tst_validation tst_gridediting
    - the exact text to replace (it must occur once; "\\n" stands for a line break)
    + the text to put instead
    = equivalent: why (optional)
"""
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def parse(path):
    faults = []
    block = {}
    for line in open(path, encoding="utf-8").read().splitlines() + [""]:
        if not line.strip():
            if "file" in block: # a block of comments only describes the list
                faults.append(block)
                block = {}
            continue
        tag, text = line[0], line[2:]
        if tag == "#":
            block["name"] = text
        elif tag == "@":
            source, tests = text.split("|")
            block["file"] = source.strip()
            block["tests"] = tests.split()
        elif tag in "-+":
            block["old" if tag == "-" else "new"] = text.replace("\\n", "\n")
        elif tag == "=":
            block["equivalent"] = text
    return faults


def run(command, cwd):
    return subprocess.run(command, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode


def main():
    lists = sys.argv[1:] or sorted(
        os.path.join(HERE, "scripts", "mutants", name)
        for name in os.listdir(os.path.join(HERE, "scripts", "mutants"))
        if name.endswith(".txt"))
    faults = [fault for path in lists for fault in parse(path)]
    tests = sorted({test for fault in faults for test in fault["tests"]})

    work = tempfile.mkdtemp(prefix="fachlese-mutate-")
    try:
        source = os.path.join(work, "src")
        shutil.copytree(HERE, source, ignore=shutil.ignore_patterns("build*", ".git"))
        build = os.path.join(work, "build")
        generator = ["-G", "Ninja"] if shutil.which("ninja") else []
        if run(["cmake", "-S", source, "-B", build, *generator, "-DCMAKE_BUILD_TYPE=Debug"], work) or \
                run(["cmake", "--build", build, "--target", *tests], work):
            sys.exit("the unchanged sources do not build")
        for test in tests:
            if run([os.path.join(build, "tests", test)], build):
                sys.exit(f"{test} fails without any planted fault")

        counted = caught = 0
        survivors = []
        for fault in faults:
            path = os.path.join(source, fault["file"])
            original = open(path, encoding="utf-8").read()
            if original.count(fault["old"]) != 1:
                sys.exit(f"{fault['name']}: the text to replace occurs {original.count(fault['old'])} times")
            with open(path, "w", encoding="utf-8") as out:
                out.write(original.replace(fault["old"], fault["new"]))
            try:
                if run(["cmake", "--build", build, "--target", *fault["tests"]], work):
                    verdict = "caught (build)"
                else:
                    failing = [t for t in fault["tests"] if run([os.path.join(build, "tests", t)], build)]
                    verdict = "caught by " + ", ".join(failing) if failing else "SURVIVED"
            finally:
                with open(path, "w", encoding="utf-8") as out:
                    out.write(original)
            if "equivalent" in fault:
                print(f"  equivalent  {fault['name']} ({verdict}; {fault['equivalent']})", flush=True)
                continue
            counted += 1
            if verdict == "SURVIVED":
                survivors.append(fault["name"])
            else:
                caught += 1
            print(f"  {'caught  ' if verdict != 'SURVIVED' else 'SURVIVED'}    {fault['name']} ({verdict})",
                  flush=True)
        share = 100.0 * caught / counted if counted else 100.0
        print(f"{caught} of {counted} planted faults caught ({share:.0f} %)"
              + (f"; surviving: {'; '.join(survivors)}" if survivors else ""))
        sys.exit(1 if survivors else 0)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
