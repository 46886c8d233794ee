#!/usr/bin/env python3
"""kill -9 of fachlese-web while 100 pupils hand in at once: every hand-in that was answered
"abgegeben" is on disk, complete, with exactly its bytes; no file of the folder is torn; the
server starts again on the same folder and the others can hand in.

    crash_test.py FACHLESE_WEB FACHLESE_CHECK"""

import asyncio
import os
import signal
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from webclient import VALID_CHOICE, Connection, Pupil, Server, check, finish, fld_bytes, read  # noqa: E402

PUPILS, KILL_AFTER = 100, 40


def choice_of(index):
    # Unknown in GK 8: handed in all the same, and each file differs.
    return VALID_CHOICE + [[f"Kurs {index}"] * 4]


async def hand_in_all(server, confirmed, kill_after):
    pupils = []
    for index, row in enumerate(server.pupils):
        pupil = Pupil(Connection(server.host, server.port, forwarded_for=f"10.1.{index}.1"), row[3])
        await pupil.sign_in()
        pupils.append((index, pupil))

    async def one(index, pupil):
        try:
            response = await pupil.submit(choice_of(index), "abgeben")
        except (OSError, asyncio.IncompleteReadError):
            return  # the server died before it answered: not confirmed
        if response.status == 200 and "abgegeben" in response.text:
            confirmed.add(index)
            if len(confirmed) == kill_after:
                server.process.send_signal(signal.SIGKILL)
        await pupil.connection.close()

    await asyncio.gather(*(one(i, p) for i, p in pupils))


def main():
    program, checker = sys.argv[1], sys.argv[2]
    with Server(program, pupils=PUPILS) as server:
        confirmed = set()
        asyncio.run(hand_in_all(server, confirmed, KILL_AFTER))
        server.process.wait(10)
        check(server.process.returncode == -signal.SIGKILL, f"the server was killed during the hand-ins, "
              f"{len(confirmed)} of {PUPILS} confirmed (status {server.process.returncode})")

        contents = {name: read(os.path.join(server.data, name)) for name in os.listdir(server.data)}
        expected = {i: fld_bytes(choice_of(i), *server.pupils[i][:3]) for i in range(PUPILS)}
        on_disk = {data for name, data in contents.items() if name.endswith(".fld")}
        print(f"in the folder after the kill: {len(on_disk)} hand-ins, "
              f"{len(contents) - len(on_disk)} other files {sorted(n for n in contents if not n.endswith('.fld'))}")
        lost = [i for i in sorted(confirmed) if expected[i] not in on_disk]
        check(not lost, f"every confirmed hand-in is on disk (lost: {lost})")
        torn = [n for n, d in contents.items() if n.endswith(".fld") and d not in expected.values()]
        check(not torn, f"every file is a pupil's complete choice (torn: {torn})")
        result = subprocess.run([checker, "--csv", server.data], capture_output=True)
        check(result.returncode != 2, f"fachlese-check reads the folder {result.stdout[-300:]!r}")

        server.start()
        # A second server on the same port must not start beside it: the sessions of one are
        # unknown to the other, and pupils would be signed out at random.
        try:
            second = subprocess.run([program, "--daten", server.data, "--zugang", server.codes_file,
                                     "--port", str(server.port)], capture_output=True, timeout=5)
            status, first_line = second.returncode, second.stdout.decode().strip()
        except subprocess.TimeoutExpired:
            status, first_line = "still running after 5 s", ""
        check(status == 1, f"no second server on the busy port {server.port}: {status} {first_line!r}")
        rest = set()
        asyncio.run(hand_in_all(server, rest, -1))
        on_disk = [n for n in os.listdir(server.data) if n.endswith(".fld")]
        check(len(rest) == PUPILS and len(on_disk) == PUPILS,
              f"after the restart all {PUPILS} hand in: {len(rest)} confirmed, {len(on_disk)} files")
        check(server.stop() == 0, "the restarted server stops cleanly")
    return finish("crash")


if __name__ == "__main__":
    sys.exit(main())
