#!/usr/bin/env python3
"""Load benchmark of fachlese-web, on loopback, raw HTTP/1.1 from the standard library.

1. Many pupils at once: each signs in (GET /, POST /anmelden, GET /wahl), checks its choice
   10 times through POST /api/pruefen while "typing" it (a form body as the page's script
   sends it, every third as JSON), and hands it in. Every answer must be the expected one,
   and afterwards the data folder must hold exactly one file per pupil with exactly the bytes
   of its choice. Prints the latencies and the server's peak memory.
2. The check request's throughput (the whole grid as a form body) against GET /robots.txt of
   the same server, in alternating rounds (ABBA order), over the same number of keep-alive
   connections; prints the median ratio of the pairs with its spread, and the CPU time per
   request of each kind, the server's and the client's.

    scripts/bench-web.py [--programm build/web/fachlese-web] [--schueler 500] [--paare 11]

Behind nginx every pupil arrives with its own X-Forwarded-For; the benchmark sends one per
pupil in the same way. Exit status 1 when a request failed, a hand-in is missing or wrong, or
the ratio is below 0.5.
"""

import argparse
import asyncio
import json
import os
import statistics
import sys
import time
import urllib.parse

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "web"))
from webclient import VALID_CHOICE, Connection, Pupil, Server, fld_bytes, grid_fields  # noqa: E402

TICKS = os.sysconf("SC_CLK_TCK")


async def check(pupil, choice, as_json=False):
    """The live check, with the cells as the page's script sends them (a form body), or as a
    JSON object."""
    if as_json:
        return await pupil.call("POST", "/api/pruefen", headers=[
            ("Content-Type", "application/json"), ("X-CSRF-Token", pupil.csrf)],
            body=json.dumps(grid_fields(choice)).encode())
    return await pupil.call("POST", "/api/pruefen", headers=[
        ("Content-Type", "application/x-www-form-urlencoded"), ("X-CSRF-Token", pupil.csrf)],
        body=urllib.parse.urlencode(grid_fields(choice)).encode())


def server_cpu(pid):
    """User and system CPU seconds the process has used so far."""
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def server_memory(pid):
    """(peak, current) resident memory in MiB."""
    values = {}
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            key, _, rest = line.partition(":")
            if key in ("VmHWM", "VmRSS"):
                values[key] = int(rest.split()[0]) / 1024
    return values.get("VmHWM", 0), values.get("VmRSS", 0)


def pupil_choice(index):
    """A valid choice that differs between pupils (the eighth and ninth row vary)."""
    choice = [list(row) for row in VALID_CHOICE]
    choice[8] = [["Biologie", "Chemie", "Informatik"][index % 3]] * 4
    if index % 2:
        choice[7] = ["Religion", "Religion", "Musik", "Musik"]
    return choice


def typed_steps(choice, steps):
    """The choice as it grows while being typed in, in `steps` stages (the last one complete)."""
    cells = [(r, s) for r in range(len(choice)) for s in range(4)]
    out = []
    for k in range(1, steps + 1):
        filled = set(cells[:len(cells) * k // steps])
        out.append([[choice[r][s] if (r, s) in filled else "" for s in range(4)] for r in range(len(choice))])
    return out


async def one_pupil(server, index, code, checks, latencies, errors):
    connection = Connection(server.host, server.port, forwarded_for=f"10.{index // 250}.{index % 250}.7")
    pupil = Pupil(connection, code)
    choice = pupil_choice(index)

    async def timed(what, call, expected_status=200, expected_text=None):
        start = time.perf_counter()
        response = await call
        latencies.setdefault(what, []).append(time.perf_counter() - start)
        if response.status != expected_status or (expected_text and expected_text not in response.text):
            errors.append(f"pupil {index}, {what}: HTTP {response.status} {response.text[:160]!r}")
            return None
        return response

    try:
        if await timed("anmelden", pupil.sign_in()) is None:
            return
        for k, step in enumerate(typed_steps(choice, checks)):
            # As the page's script sends it (a form body), every third one as JSON.
            if await timed("pruefen", check(pupil, step, as_json=k % 3 == 2)) is None:
                return
        await timed("abgeben", pupil.submit(choice, "abgeben"), expected_text="abgegeben")
    except Exception as e:  # noqa: BLE001 - every failure counts, whatever its kind
        errors.append(f"pupil {index}: {type(e).__name__}: {e}")
    finally:
        await connection.close()


def check_files(server, count):
    """Problems of the data folder: one .fld per pupil, each exactly its choice's bytes."""
    expected = {}
    for index, (surname, first, klasse, _) in enumerate(server.pupils[:count]):
        expected[f"Nachname={surname}\r\n".encode()] = fld_bytes(pupil_choice(index), surname, first, klasse)
    problems, found = [], 0
    for name in sorted(os.listdir(server.data)):
        if not name.endswith(".fld"):
            continue
        found += 1
        with open(os.path.join(server.data, name), "rb") as f:
            data = f.read()
        key = next((k for k in expected if k in data), None)
        if key is None or data != expected.pop(key):
            problems.append(f"{name}: not the bytes of a pupil's choice")
    if expected or found != count:
        problems.append(f"{found} files for {count} hand-ins, {len(expected)} pupils without their file")
    return problems


def describe(values):
    values = sorted(values)
    pick = lambda q: values[min(len(values) - 1, int(q * len(values)))]  # noqa: E731
    return f"median {statistics.median(values) * 1000:.1f} ms, 95 % {pick(0.95) * 1000:.1f} ms, " \
           f"max {values[-1] * 1000:.1f} ms"


async def crowd(server, count, checks):
    latencies, errors = {}, []
    start = time.perf_counter()
    await asyncio.gather(*(one_pupil(server, i, row[3], checks, latencies, errors)
                           for i, row in enumerate(server.pupils[:count])))
    return time.perf_counter() - start, latencies, errors


async def rounds(server, connections, pairs, seconds):
    """Alternating rounds of checks (A) and robots.txt (B); returns per-pair rates and CPU."""
    pupils = []
    for i in range(connections):
        pupil = Pupil(Connection(server.host, server.port, forwarded_for=f"10.9.{i}.7"), server.pupils[i][3])
        await pupil.sign_in()
        pupils.append(pupil)

    # Each request's bytes are made once, and answers are read with as little work as possible,
    # so that this client costs about the same for both kinds and the server decides.
    body = urllib.parse.urlencode(grid_fields(VALID_CHOICE)).encode()
    requests = {}
    for pupil in pupils:
        head = f"Host: {server.host}\r\nX-Forwarded-For: {pupil.connection.forwarded_for}\r\n"
        cookie = "; ".join(f"{k}={v}" for k, v in pupil.cookies.items())
        requests[pupil, "A"] = (f"POST /api/pruefen HTTP/1.1\r\n{head}Cookie: {cookie}\r\n"
                                f"X-CSRF-Token: {pupil.csrf}\r\nContent-Type: application/x-www-form-urlencoded\r\n"
                                f"Content-Length: {len(body)}\r\n\r\n").encode() + body
        requests[pupil, "B"] = f"GET /robots.txt HTTP/1.1\r\n{head}\r\n".encode()

    async def worker(pupil, kind, deadline, counter):
        data, reader, writer = requests[pupil, kind], pupil.connection.reader, pupil.connection.writer
        while time.perf_counter() < deadline:
            writer.write(data)
            head = await reader.readuntil(b"\r\n\r\n")
            if not head.startswith(b"HTTP/1.1 200 "):
                raise RuntimeError(f"{kind}: {head[:40]!r}")
            at = head.lower().index(b"\r\ncontent-length:") + 17
            await reader.readexactly(int(head[at:head.index(b"\r\n", at)]))
            counter[0] += 1

    async def one_round(kind):
        counter = [0]
        cpu, own = server_cpu(server.process.pid), time.process_time()
        start = time.perf_counter()
        await asyncio.gather(*(worker(p, kind, start + seconds, counter) for p in pupils))
        elapsed, n = time.perf_counter() - start, max(counter[0], 1)
        return counter[0] / elapsed, (server_cpu(server.process.pid) - cpu) / n, (time.process_time() - own) / n

    await one_round("A")  # warm-up
    await one_round("B")
    results = []
    for pair in range(pairs):
        order = "AB" if pair % 2 == 0 else "BA"
        got = {kind: await one_round(kind) for kind in order}
        results.append((got["A"], got["B"]))
    for pupil in pupils:
        await pupil.connection.close()
    return results


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--programm", default=os.path.join(HERE, "..", "build", "web", "fachlese-web"))
    parser.add_argument("--schueler", type=int, default=500)
    parser.add_argument("--pruefungen", type=int, default=10)
    parser.add_argument("--paare", type=int, default=11)
    parser.add_argument("--sekunden", type=float, default=2.0, help="length of one throughput round")
    parser.add_argument("--verbindungen", type=int, default=16)
    args = parser.parse_args()
    failed = False

    server = Server(args.programm, pupils=max(args.schueler, args.verbindungen))
    with server:
        cpu0 = server_cpu(server.process.pid)
        elapsed, latencies, errors = asyncio.run(crowd(server, args.schueler, args.pruefungen))
        cpu = server_cpu(server.process.pid) - cpu0
        peak, now = server_memory(server.process.pid)
        requests = sum(len(v) for v in latencies.values())
        print(f"{args.schueler} pupils at once (sign in, {args.pruefungen} checks, hand in): "
              f"{elapsed:.2f} s, {requests} timed requests, server CPU {cpu:.2f} s, "
              f"memory {peak:.1f} MiB peak, {now:.1f} MiB after")
        for what in ("anmelden", "pruefen", "abgeben"):
            if latencies.get(what):
                print(f"  {what:9} {len(latencies[what]):5} x  {describe(latencies[what])}")
        problems = errors + check_files(server, args.schueler)
        print(f"  errors: {len(errors)}, files: "
              f"{'all present and exact' if not problems[len(errors):] else '; '.join(problems[len(errors):])}")
        for problem in errors[:10]:
            print(f"  {problem}")
        failed = bool(problems)
        if server.stop() != 0:
            print("  fachlese-web did not stop cleanly on SIGTERM")
            failed = True

    server = Server(args.programm, pupils=args.verbindungen)
    with server:
        results = asyncio.run(rounds(server, args.verbindungen, args.paare, args.sekunden))
        server.stop()

    ratios = sorted(a[0] / b[0] for a, b in results)
    print(f"throughput, {args.paare} pairs of {args.sekunden:g} s rounds over {args.verbindungen} connections:")
    for title, side in (("POST /api/pruefen", 0), ("GET /robots.txt  ", 1)):
        rates = [pair[side][0] for pair in results]
        print(f"  {title}  median {statistics.median(rates):8.0f} req/s ({min(rates):.0f} … {max(rates):.0f}), "
              f"CPU per request: server {statistics.median(p[side][1] for p in results) * 1e6:.0f} µs, "
              f"this client {statistics.median(p[side][2] for p in results) * 1e6:.0f} µs")
    print(f"  ratio check / robots.txt: median {statistics.median(ratios):.2f} "
          f"({ratios[0]:.2f} … {ratios[-1]:.2f}); goal at least 0.5")
    if statistics.median(ratios) < 0.5:
        failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
