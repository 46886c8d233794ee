#!/usr/bin/env python3
"""fachlese-web under a flood. A probe asks for GET /robots.txt from 127.0.0.1 all the time and
must be answered within 5 s; the server's memory and threads stay bounded.

1. Requests: 32 clients of one forwarded address fire pages, wrong codes (with a valid form
   token, so that they reach the code check: 429 after a few), oversized bodies and headers.
2. Connections from another address of this machine (the server listens on all addresses for
   this): thousands of idle connections, of which the server keeps only a few per address.
3. A request whose header trickles in one byte a second: the server ends it in bounded time.
4. Connections through the local proxy's address (127.0.0.1), more than the server takes, held
   and closed: afterwards the server answers at once.
1 to 3 run at the same time, 4 after them.

    flood_test.py FACHLESE_WEB"""

import asyncio
import os
import resource
import socket
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from webclient import Connection, Pupil, Server, check, finish, status_line  # noqa: E402

MEMORY_LIMIT_MIB = 150   # resident memory the server may reach here
THREAD_LIMIT = 64
PER_ADDRESS = 32         # connections the server keeps from one address other than the proxy's
SLOW_LIMIT = 45          # seconds a request may take to arrive


def outside_address():
    """This machine's own address on its network, if it has one: connections from it are not
    the local proxy's."""
    try:
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
            s.connect(("10.255.255.255", 1))
            address = s.getsockname()[0]
        return None if address.startswith("127.") else address
    except OSError:
        return None


class Watch:
    """Samples the server's memory and threads, and probes it with GET /robots.txt."""

    def __init__(self, server):
        self.server, self.peak_memory, self.peak_threads = server, 0.0, 0
        self.probes, self.unanswered, self.slowest = 0, 0, 0.0

    def sample(self):
        with open(f"/proc/{self.server.process.pid}/status") as f:
            values = {key: rest.split() for key, _, rest in (line.partition(":") for line in f)}
        self.peak_memory = max(self.peak_memory, int(values["VmRSS"][0]) / 1024)
        self.peak_threads = max(self.peak_threads, int(values["Threads"][0]))

    async def probe(self):
        start = time.perf_counter()
        robots = b"GET /robots.txt HTTP/1.1\r\nHost: x\r\n\r\n"
        answered = await status_line(self.server.port, robots, timeout=5) == "200"
        self.probes += 1
        self.unanswered += not answered
        self.slowest = max(self.slowest, time.perf_counter() - start)
        return answered

    async def run(self, stop):
        while not stop.is_set():
            self.sample()
            await self.probe()
            await asyncio.sleep(0.2)


async def request_flood(server, seconds):
    big_body = b"POST /anmelden HTTP/1.1\r\nHost: x\r\nContent-Type: application/x-www-form-urlencoded\r\n" \
               b"Content-Length: 20000000\r\n\r\ncode=" + b"A" * 1_000_000
    big_header = b"GET / HTTP/1.1\r\nHost: x\r\nX-Viel: " + b"B" * 200_000 + b"\r\n\r\n"
    answers = {}

    async def client(n):
        pupil = Pupil(Connection("127.0.0.1", server.port, forwarded_for="203.0.113.66"), "FALSCH")
        await pupil.call("GET", "/")
        end, k = time.perf_counter() + seconds, 0
        while time.perf_counter() < end:
            k += 1
            try:
                if k % 50 == 0:
                    key = "oversized " + await status_line(server.port, big_body if n % 2 else big_header)
                elif k % 3 == 0:
                    r = await pupil.call("POST", "/anmelden", {"csrf": pupil.csrf, "code": f"FALSCH{k}"})
                    key = f"wrong code {r.status}"
                else:
                    r = await pupil.call("GET", "/" if k % 2 else "/robots.txt")
                    key = f"page {r.status}"
            except (OSError, asyncio.IncompleteReadError) as e:
                key = f"error {type(e).__name__}"
            answers[key] = answers.get(key, 0) + 1
        await pupil.connection.close()

    await asyncio.gather(*(client(n) for n in range(32)))
    print(f"1. request flood, 32 clients for {seconds} s: {dict(sorted(answers.items()))}", flush=True)
    check(answers.get("wrong code 429") and not answers.get("wrong code 303"),
          "wrong codes from one address are answered with 429 and never sign in")
    check(not any(k.startswith(("oversized 2", "oversized 3", "error")) for k in answers),
          "no oversized request accepted, no request failed on the connection")


async def open_many(host, port, count):
    writers = []
    for _ in range(count):
        try:
            writers.append((await asyncio.open_connection(host, port))[1])
        except OSError:
            break
    return writers


async def connection_flood_outside(server, address, count, seconds):
    writers = await open_many(address, server.port, count)
    await asyncio.sleep(seconds)
    held = sum(1 for w in writers if not _peer_closed(w))
    check(held <= PER_ADDRESS, f"2. of {len(writers)} connections from {address} the server holds {held} "
                               f"after {seconds} s (at most {PER_ADDRESS})")
    for w in writers:
        w.close()


def _peer_closed(writer):
    """True when the server has closed this connection (a read would give end of file)."""
    fd = -1 if writer.is_closing() else writer.transport.get_extra_info("socket").fileno()
    if fd < 0:
        return True
    peek = socket.socket(fileno=os.dup(fd))
    try:
        return peek.recv(1, socket.MSG_PEEK | socket.MSG_DONTWAIT) == b""
    except BlockingIOError:
        return False
    except OSError:
        return True
    finally:
        peek.close()


async def slow_request(server):
    reader, writer = await asyncio.open_connection("127.0.0.1", server.port)
    header = b"GET / HTTP/1.1\r\nHost: x\r\nX-Langsam: " + b"z" * 1000
    start = time.perf_counter()
    for byte in header:
        if _peer_closed(writer) or time.perf_counter() - start > SLOW_LIMIT + 5:
            break
        try:
            writer.write(bytes([byte]))
            await writer.drain()
        except OSError:
            break
        await asyncio.sleep(1)
    took = time.perf_counter() - start
    writer.close()
    check(took <= SLOW_LIMIT, f"3. a header trickling in one byte a second is ended after {took:.0f} s "
                              f"(at most {SLOW_LIMIT} s)")


async def connection_flood_proxy(server, watch, count):
    writers = await open_many("127.0.0.1", server.port, count)
    await asyncio.sleep(3)
    watch.sample()
    for w in writers:
        w.close()
    await asyncio.sleep(1)
    check(await watch.probe(), f"4. {len(writers)} connections from 127.0.0.1 held and closed: answered")


async def scenario(server, outside):
    stop = asyncio.Event()
    watch = Watch(server)
    watcher = asyncio.create_task(watch.run(stop))
    parts = [request_flood(server, 8), slow_request(server)]
    if outside:
        parts.append(connection_flood_outside(server, outside, 3000, 20))
    else:
        print("2. skipped: this machine has no address but the loopback one")
    await asyncio.gather(*parts)
    stop.set()
    await watcher
    check(not watch.unanswered, f"probes during 1 to 3: {watch.probes}, unanswered within 5 s: "
                                f"{watch.unanswered}, slowest {watch.slowest:.2f} s")
    await connection_flood_proxy(server, watch, 1500)
    check(watch.peak_memory <= MEMORY_LIMIT_MIB and watch.peak_threads <= THREAD_LIMIT,
          f"server peak: {watch.peak_memory:.1f} MiB, {watch.peak_threads} threads "
          f"(at most {MEMORY_LIMIT_MIB} MiB, {THREAD_LIMIT} threads)")


def main():
    soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    resource.setrlimit(resource.RLIMIT_NOFILE, (min(hard, 8192), hard))
    outside = outside_address()
    with Server(sys.argv[1], pupils=2, extra=["--adresse", "0.0.0.0"] if outside else []) as server:
        asyncio.run(scenario(server, outside))
        check(server.stop() == 0, "the server stops cleanly after the flood")
    return finish("flood")


if __name__ == "__main__":
    sys.exit(main())
