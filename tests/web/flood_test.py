#!/usr/bin/env python3
"""fachlese-web under a flood: many clients firing requests (pages, wrong codes, oversized
bodies and headers) and then a flood of connections (idle, and slow ones that never finish
their header). Meanwhile and afterwards a probe must get GET /robots.txt answered, and the
server's memory and threads stay bounded.

    flood_test.py FACHLESE_WEB"""

import asyncio
import os
import resource
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from webclient import Connection, Server  # noqa: E402

MEMORY_LIMIT_MIB = 150   # resident memory the server may reach at any time here
THREAD_LIMIT = 64
failures = []


def status_of(pid):
    values = {}
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            key, _, rest = line.partition(":")
            values[key] = rest.split()[0] if rest.split() else ""
    return int(values["VmRSS"]) / 1024, int(values["Threads"])


class Watch:
    """Samples the server's memory and threads, and probes it with GET /robots.txt."""

    def __init__(self, server):
        self.server, self.peak_memory, self.peak_threads = server, 0, 0
        self.probes, self.slowest, self.unanswered = 0, 0.0, 0

    async def probe(self, timeout):
        connection = Connection(self.server.host, self.server.port)
        start = time.perf_counter()
        try:
            response = await asyncio.wait_for(connection.request("GET", "/robots.txt"), timeout)
            return response.status == 200, time.perf_counter() - start
        except (asyncio.TimeoutError, OSError, asyncio.IncompleteReadError):
            return False, time.perf_counter() - start
        finally:
            await connection.close()

    async def run(self, stop):
        while not stop.is_set():
            memory, threads = status_of(self.server.process.pid)
            self.peak_memory, self.peak_threads = max(self.peak_memory, memory), max(self.peak_threads, threads)
            answered, seconds = await self.probe(5)
            self.probes += 1
            self.slowest = max(self.slowest, seconds)
            self.unanswered += not answered
            await asyncio.sleep(0.2)


async def raw(server, data, read=True):
    """Sends bytes on a new connection; returns the status line of the answer, if any."""
    reader, writer = await asyncio.open_connection(server.host, server.port)
    try:
        writer.write(data)
        await writer.drain()
        line = await asyncio.wait_for(reader.readline(), 10) if read else b""
        return line.decode("latin-1").strip()
    except (OSError, asyncio.TimeoutError):
        return ""
    finally:
        writer.close()


async def request_flood(server, seconds):
    big_body = b"POST /anmelden HTTP/1.1\r\nHost: x\r\nContent-Type: application/x-www-form-urlencoded\r\n" \
               b"Content-Length: 20000000\r\n\r\n" + b"code=" + b"A" * 1_000_000
    big_header = b"GET / HTTP/1.1\r\nHost: x\r\nX-Viel: " + b"B" * 200_000 + b"\r\n\r\n"
    answers = {}

    async def client(n):
        connection = Connection(server.host, server.port)
        end = time.perf_counter() + seconds
        k = 0
        while time.perf_counter() < end:
            k += 1
            try:
                if k % 50 == 0:
                    status = await raw(server, big_body if n % 2 else big_header)
                    key = "oversized " + (status.split(" ")[1] if " " in status else "closed")
                elif k % 3 == 0:
                    r = await connection.request("POST", "/anmelden", [
                        ("Content-Type", "application/x-www-form-urlencoded")], b"code=FALSCH&csrf=x")
                    key = f"wrong code {r.status}"
                else:
                    r = await connection.request("GET", "/" if k % 2 else "/robots.txt")
                    key = f"page {r.status}"
            except (OSError, asyncio.IncompleteReadError) as e:
                key = f"error {type(e).__name__}"
            answers[key] = answers.get(key, 0) + 1
        await connection.close()

    await asyncio.gather(*(client(n) for n in range(32)))
    return answers


async def connection_flood(server, count, seconds):
    """`count` connections: half idle, half sending a header one byte per second."""
    opened, writers = 0, []
    for n in range(count):
        try:
            reader, writer = await asyncio.open_connection(server.host, server.port)
        except OSError:
            break
        opened += 1
        writers.append((n, writer))
    end = time.perf_counter() + seconds
    header = b"GET / HTTP/1.1\r\nHost: x\r\nX-Langsam: " + b"z" * 10_000
    position = 0
    while time.perf_counter() < end:
        for n, writer in writers:
            if n % 2 and not writer.is_closing():
                writer.write(header[position:position + 1])
        position += 1
        await asyncio.sleep(1)
    for _, writer in writers:
        writer.close()
    return opened


async def scenario(server):
    stop = asyncio.Event()
    watch = Watch(server)
    watcher = asyncio.create_task(watch.run(stop))
    answers = await request_flood(server, 8)
    print(f"request flood, 32 clients for 8 s: {dict(sorted(answers.items()))}")
    if not any(k.startswith("wrong code 429") for k in answers):
        failures.append("wrong codes from one address are never answered with 429")
    if any(k.startswith("oversized 2") for k in answers):
        failures.append("an oversized request was answered with success")

    soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    resource.setrlimit(resource.RLIMIT_NOFILE, (min(hard, 8192), hard))
    opened = await connection_flood(server, min(hard, 8192) - 100, 25)
    print(f"connection flood: {opened} connections held for 25 s, half of them trickling a header")
    await asyncio.sleep(1)
    stop.set()
    await watcher
    answered, seconds = await watch.probe(5)
    print(f"probes: {watch.probes}, unanswered within 5 s: {watch.unanswered}, slowest {watch.slowest:.2f} s; "
          f"server peak {watch.peak_memory:.1f} MiB, {watch.peak_threads} threads")
    if not answered:
        failures.append("the server does not answer after the flood")
    if watch.unanswered > watch.probes // 4:
        failures.append(f"{watch.unanswered} of {watch.probes} probes unanswered during the flood")
    if watch.peak_memory > MEMORY_LIMIT_MIB:
        failures.append(f"memory {watch.peak_memory:.1f} MiB above {MEMORY_LIMIT_MIB} MiB")
    if watch.peak_threads > THREAD_LIMIT:
        failures.append(f"{watch.peak_threads} threads")


def main():
    with Server(sys.argv[1], pupils=2) as server:
        asyncio.run(scenario(server))
        if server.stop() != 0:
            failures.append("the server did not stop cleanly after the flood")
    for failure in failures:
        print(f"FAIL: {failure}")
    print("the server stayed bounded and kept answering" if not failures else f"{len(failures)} checks failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
