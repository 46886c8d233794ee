#!/usr/bin/env python3
"""A full disk under fachlese-web's data folder (a small tmpfs, mounted as root): handing in is
answered with a German error page (HTTP 500 or 507), never with "abgegeben", and leaves no
file; an earlier hand-in stays as it was. Once there is room again, handing in works.

    fulldisk_test.py FACHLESE_WEB

Exit status 77 (skipped) where a tmpfs cannot be mounted (not root, or in a container that
forbids it)."""

import asyncio
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from webclient import VALID_CHOICE, Connection, Pupil, Server, fld_bytes  # noqa: E402


def fill_up(folder):
    """Writes a file until the file system is full."""
    with open(os.path.join(folder, "fuellung"), "wb", buffering=0) as f:
        try:
            while True:
                f.write(b"\0" * 4096)
        except OSError:
            pass
        try:
            while True:
                f.write(b"\0")
        except OSError:
            pass


async def hand_in(server, index, choice):
    pupil = Pupil(Connection(server.host, server.port), server.pupils[index][3])
    await pupil.sign_in()
    response = await pupil.submit(choice, "abgeben")
    await pupil.connection.close()
    return response


def main():
    program = sys.argv[1]
    folder = tempfile.mkdtemp(prefix="fachlese-voll-")
    data = os.path.join(folder, "daten")
    os.makedirs(data)
    mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=256k,mode=0755", "tmpfs", data],
                             capture_output=True)
    if mounted.returncode != 0:
        print(f"skipped: a tmpfs for the full disk cannot be mounted here "
              f"({mounted.stderr.decode().strip() or 'mount failed'}); the test needs root")
        os.rmdir(data)
        os.rmdir(folder)
        return 77
    failures = []
    try:
        with Server(program, pupils=2, data=data, folder=folder) as server:
            first = asyncio.run(hand_in(server, 0, VALID_CHOICE))
            if first.status != 200 or "abgegeben" not in first.text:
                failures.append(f"the first hand-in, with room on the disk: HTTP {first.status}")
            before = {n: open(os.path.join(data, n), "rb").read() for n in os.listdir(data)}
            fill_up(data)

            changed = [list(row) for row in VALID_CHOICE]
            changed[8] = ["Chemie"] * 4
            for index in (0, 1):  # handing in again, and a first hand-in
                response = asyncio.run(hand_in(server, index, changed))
                page = response.text
                print(f"pupil {index} on a full disk: HTTP {response.status}")
                if response.status not in (500, 507):
                    failures.append(f"pupil {index}: HTTP {response.status} on a full disk")
                if "abgegeben." in page and "nicht abgegeben" not in page:
                    failures.append(f"pupil {index}: confirmed although the disk is full")
                if '<html lang="de"' not in page or not re.search(r"\bnicht\b", page):
                    failures.append(f"pupil {index}: no German error page: {page[:300]!r}")
            after = {n: open(os.path.join(data, n), "rb").read() for n in os.listdir(data) if n != "fuellung"}
            if after != before:
                failures.append(f"the full disk changed the folder: {sorted(before)} -> {sorted(after)}")

            os.remove(os.path.join(data, "fuellung"))
            response = asyncio.run(hand_in(server, 1, changed))
            expected = fld_bytes(changed, *server.pupils[1][:3])
            stored = [n for n in os.listdir(data) if open(os.path.join(data, n), "rb").read() == expected]
            if response.status != 200 or "abgegeben" not in response.text or len(stored) != 1:
                failures.append(f"with room again: HTTP {response.status}, {len(stored)} files")
            server.stop()
    finally:
        subprocess.run(["umount", data])
        subprocess.run(["rm", "-rf", folder])
    for failure in failures:
        print(f"FAIL: {failure}")
    print("a full disk is reported, nothing confirmed" if not failures else f"{len(failures)} checks failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
