"""A pupil of fachlese-web as the tests and the load benchmark see it: the server started on a
free port with a generated code list, and raw HTTP/1.1 on loopback (asyncio, standard library
only), so that every byte that goes over the wire is the test's own."""

import asyncio
import html
import os
import re
import shutil
import subprocess
import tempfile
import urllib.parse

# The rows 1 ... 11 of the grid as the page names them (row 12 is the spare row), and a choice
# that passes every stage of the choice test.
ROW_NAMES = ["LK 1", "LK 2", "PK 3", "PK 4", "GK 3", "GK 4", "GK 5", "GK 6", "GK 7", "GK 8", "GK 9"]
VALID_CHOICE = [["Deutsch"] * 4, ["Mathematik"] * 4, ["Englisch"] * 4, ["Geschichte"] * 4,
                ["Physik"] * 4, ["Sport"] * 4, ["Politik"] * 4,
                ["Religion", "Religion", "Kunst", "Kunst"], ["Biologie"] * 4]
# English and Deutsch exchanged: the choice asks the foreign-language question.
FOREIGN_LK_CHOICE = [["Englisch"] * 4, VALID_CHOICE[1], ["Deutsch"] * 4] + VALID_CHOICE[3:]
failures = []


def check(condition, what):
    """Reports one check; a failed one is remembered for finish()."""
    print(("ok: " if condition else "FAIL: ") + what, flush=True)
    if not condition:
        failures.append(what)
    return condition


def finish(what):
    """The exit status of a test script after its checks."""
    print(f"{len(failures)} {what} checks failed" if failures else f"all {what} checks passed")
    return 1 if failures else 0


def cell_name(row, semester):
    """The accessible name of a grid field: "LK 1, 1. Semester" (rows 1 ... 11)."""
    return f"{ROW_NAMES[row - 1]}, {semester}. Semester"


def read(path):
    with open(path, "rb") as f:
        return f.read()


def twelve_rows(choice):
    """A choice given as rows of four texts, filled up with empty rows to the grid's twelve."""
    return list(choice) + [[""] * 4] * (12 - len(choice))


def grid_fields(choice):
    """The form fields f-R-S of a choice given as rows of four texts (rows 1 ... 12)."""
    rows = twelve_rows(choice)
    return {f"f-{r}-{s}": cell for r, row in enumerate(rows, 1) for s, cell in enumerate(row, 1)}


def fld_bytes(choice, surname, first_name, klasse):
    """The bytes a hand-in of `choice` must leave on disk: the desktop's data file (Windows-1252,
    CR LF, "Fachlese" and twelve rows of four TAB-separated cells) and the pupil's name and
    class in UTF-8 after it."""
    data = "".join(line + "\r\n" for line in ["Fachlese"] + ["\t".join(row) for row in twelve_rows(choice)])
    data = data.encode("cp1252")
    for key, value in (("Nachname", surname), ("Vorname", first_name), ("Klasse", klasse)):
        if value:
            data += f"{key}={value}\r\n".encode("utf-8")
    return data


def pupil_names(count):
    """`count` pupils (surname, first name, class), some with umlauts and blanks."""
    surnames = ["Müller", "Öztürk", "Schmidt", "von Bülow", "Weiß", "Nguyen", "Große", "Şahin"]
    first = ["Anna", "Jörg", "Émilie", "Lena Marie", "Ali", "Zoë", "Paul", "Jana"]
    return [(f"{surnames[i % len(surnames)]}{i:04d}", first[(i // 8) % len(first)], f"11{'abcd'[i % 4]}")
            for i in range(count)]


def make_codes(program, folder, pupils):
    """Writes the class list (the bytes given, or a list of pupils), lets fachlese-web make the
    codes; returns the rows (surname, first name, class, code) of the written code list."""
    liste = os.path.join(folder, "liste.csv")
    codes = os.path.join(folder, "codes.csv")
    if not isinstance(pupils, bytes):
        pupils = "".join(";".join(p) + "\r\n" for p in [("Nachname", "Vorname", "Klasse")] + pupils).encode()
    with open(liste, "wb") as f:
        f.write(pupils)
    subprocess.run([program, "--codes", liste, "--ausgabe", codes], check=True,
                   stdout=subprocess.DEVNULL)
    with open(codes, encoding="utf-8-sig", newline="") as f:
        rows = [line.rstrip("\r\n").split(";") for line in f if line.strip()]
    return codes, rows[1:]


class Server:
    """fachlese-web serving a temporary data folder on a free loopback port."""

    def __init__(self, program, pupils=3, data=None, extra=()):
        """`pupils`: how many, or the bytes of the class list."""
        self.program = program
        self.folder = tempfile.mkdtemp(prefix="fachlese-web-")  # removed again at the end
        self.data = data or os.path.join(self.folder, "daten")
        os.makedirs(self.data, exist_ok=True)
        names = pupils if isinstance(pupils, bytes) else pupil_names(pupils)
        self.codes_file, self.pupils = make_codes(program, self.folder, names)
        self.extra = list(extra)
        self.process = None

    def start(self):
        self.process = subprocess.Popen(
            [self.program, "--daten", self.data, "--zugang", self.codes_file, "--port", "0"] + self.extra,
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        self.url = self.process.stdout.readline().strip()
        match = re.fullmatch(r"http://(\d+\.\d+\.\d+\.\d+):(\d+)/", self.url)
        if not match:
            self.process.kill()
            raise RuntimeError(f"fachlese-web's first line is not its address: {self.url!r} "
                               f"{self.process.stderr.read()}")
        self.host, self.port = match.group(1), int(match.group(2))
        if self.host == "0.0.0.0":
            self.host = "127.0.0.1"
        return self

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
        status = self.process.wait(10)
        self.process.stdout.close()
        self.process.stderr.close()
        return status

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        shutil.rmtree(self.folder, ignore_errors=True)


class Response:
    def __init__(self, status, headers, body):
        self.status, self.headers, self.body = status, headers, body

    def header(self, name):
        return next((v for k, v in self.headers if k == name), None)

    @property
    def text(self):
        return self.body.decode("utf-8", "replace")


class Connection:
    """One keep-alive HTTP/1.1 connection, opened again when the server closed it; over TLS with
    an SSL context, from the local address `source` if given."""

    def __init__(self, host, port, forwarded_for=None, tls=None, source=None):
        self.host, self.port, self.forwarded_for = host, port, forwarded_for
        self.options = {"ssl": tls, "local_addr": (source, 0) if source else None}
        self.reader = self.writer = None

    async def close(self):
        if self.writer:
            self.writer.close()
            try:
                await self.writer.wait_closed()
            except OSError:
                pass
        self.reader = self.writer = None

    async def request(self, method, path, headers=(), body=b""):
        if self.writer is None:
            self.reader, self.writer = await asyncio.open_connection(self.host, self.port, **self.options)
        head = [f"{method} {path} HTTP/1.1", f"Host: {self.host}:{self.port}"]
        if self.forwarded_for:
            head.append(f"X-Forwarded-For: {self.forwarded_for}")
        head += [f"{k}: {v}" for k, v in headers]
        if body or method == "POST":
            head.append(f"Content-Length: {len(body)}")
        self.writer.write(("\r\n".join(head) + "\r\n\r\n").encode("latin-1") + body)
        try:
            return await self._response()
        except (asyncio.IncompleteReadError, ConnectionError):
            await self.close()
            raise

    async def _response(self):
        raw = await self.reader.readuntil(b"\r\n\r\n")
        lines = raw.decode("latin-1").split("\r\n")
        status = int(lines[0].split(" ", 2)[1])
        headers = []
        for line in lines[1:]:
            if ":" in line:
                k, v = line.split(":", 1)
                headers.append((k.strip().lower(), v.strip()))
        fields = dict(headers)
        if "content-length" in fields:
            body = await self.reader.readexactly(int(fields["content-length"]))
        else:
            body = await self.reader.read()
            fields["connection"] = "close"
        if fields.get("connection", "").lower() == "close":
            await self.close()
        return Response(status, headers, body)


async def status_line(port, data, host="127.0.0.1", timeout=10):
    """Sends bytes as they are on a new connection; the status code of the answer (text), or
    "closed" or "refused". The server may answer and close before it has read everything."""
    try:
        reader, writer = await asyncio.open_connection(host, port)
    except OSError:
        return "refused"
    try:
        writer.write(data)
        await writer.drain()
    except OSError:
        pass
    try:
        line = await asyncio.wait_for(reader.readline(), timeout)
    except (OSError, asyncio.TimeoutError):
        line = b""
    finally:
        writer.close()
    parts = line.split()
    return parts[1].decode() if len(parts) > 1 else "closed"


def hidden_csrf(page):
    match = re.search(r'name="csrf"[^>]*value="([^"]*)"|value="([^"]*)"[^>]*name="csrf"', page)
    return html.unescape(match.group(1) or match.group(2)) if match else ""


class Pupil:
    """Signs in, checks, tests and hands in over one connection, as a browser would."""

    def __init__(self, connection, code):
        self.connection, self.code = connection, code
        self.cookies, self.csrf = {}, ""

    async def call(self, method, path, fields=None, headers=(), body=b""):
        headers = list(headers)
        if self.cookies:
            headers.append(("Cookie", "; ".join(f"{k}={v}" for k, v in self.cookies.items())))
        if fields is not None:
            body = urllib.parse.urlencode(fields).encode()
            headers.append(("Content-Type", "application/x-www-form-urlencoded"))
        response = await self.connection.request(method, path, headers, body)
        for name, value in response.headers:
            if name == "set-cookie":
                k, v = value.split(";", 1)[0].split("=", 1)
                self.cookies[k.strip()] = v.strip()
        if response.status == 200 and "html" in (response.header("content-type") or ""):
            self.csrf = hidden_csrf(response.text) or self.csrf
        return response

    async def sign_in(self):
        await self.call("GET", "/")
        response = await self.call("POST", "/anmelden", {"csrf": self.csrf, "code": self.code})
        if response.status != 303 or not (response.header("location") or "/wahl").endswith("/wahl"):
            raise RuntimeError(f"sign-in answered {response.status}: {response.text[:200]}")
        return await self.call("GET", "/wahl")

    async def submit(self, choice, action, extra=None):
        fields = {"csrf": self.csrf, **grid_fields(choice), **(extra or {}), "aktion": action}
        return await self.call("POST", "/wahl", fields)
