#!/usr/bin/env python3
"""The real fachlese-web over HTTP: the code list, sign-in, the request limits and protections,
the pages' escaping, the live check, handing in with the desktop's file bytes, the earlier
version, a failed write and a full disk, the deadline, the coordinator's overview and the
command line.

    server_test.py FACHLESE_WEB VERSION"""

import asyncio
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from webclient import (FOREIGN_LK_CHOICE, VALID_CHOICE, Connection, Pupil, Server,  # noqa: E402
                       check, finish, fld_bytes, read, status_line)

CLASS_LIST = "\ufeffNachname;Vorname;Klasse\r\nMuster;Anna;12a\r\n" \
             "<script>alert(1)</script>;Ölaf & Co;12b\n\"Kurz\";Kai;\n".encode()
CODE = re.compile(r"[A-HJKMNP-Z2-9]{4}-[A-HJKMNP-Z2-9]{4}-[A-HJKMNP-Z2-9]{4}")


def visitor(server, code="", forwarded_for=None):
    return Pupil(Connection(server.host, server.port, forwarded_for), code)


async def signed_in(server, index):
    pupil = visitor(server, server.pupils[index][3])
    await pupil.sign_in()
    return pupil


async def code_list(server):
    codes = [row[3] for row in server.pupils]
    text = read(server.codes_file)
    check(text.startswith("\ufeffNachname;Vorname;Klasse;Code\r\nMuster;Anna;12a;".encode())
          and text.count(b"\r\n") == 4, "the code list: BOM, header, CR LF, one line a pupil")
    check(len(set(codes)) == 3 and all(CODE.fullmatch(c) for c in codes), f"three codes {codes}")
    slips = read(os.path.join(server.folder, "codes.html"))
    check(codes[1].encode() in slips and b"&lt;script&gt;" in slips and b"<script>" not in slips,
          "the slips hold the codes, the names escaped")


async def sign_in(server):
    first = server.pupils[0][3]
    wrong = ("B" if first[0] == "A" else "A") + first[1:]
    typed_loosely = "  " + first.lower().replace("-", "") + " "
    for typed, status, location in [(first, 303, "/wahl"), (typed_loosely, 303, "/wahl"), (wrong, 403, None),
                                    ("koordination 2026", 303, "/uebersicht"), ("", 403, None)]:
        pupil = visitor(server)
        await pupil.call("GET", "/")
        before = dict(pupil.cookies)
        reply = await pupil.call("POST", "/anmelden", {"csrf": pupil.csrf, "code": typed})
        cookie = reply.header("set-cookie") or ""
        check(reply.status == status and reply.header("location") == location and
              (cookie[cookie.find(";"):] == "; Path=/; HttpOnly; SameSite=Strict" and pupil.cookies != before
               if status == 303 else "Diesen Code kennt die Kurswahl nicht." in reply.text),
              f"the code {typed!r}: {reply.status} {reply.header('location')} {cookie}")
    reply = await visitor(server).call("GET", "/", headers=[("X-Forwarded-Proto", "https")])
    check(reply.header("set-cookie").endswith("; HttpOnly; SameSite=Strict; Secure"), "behind TLS: Secure")


async def too_many_attempts(server):
    guesser = visitor(server, forwarded_for="198.51.100.7")
    for _ in range(10):
        await guesser.call("GET", "/")
        await guesser.call("POST", "/anmelden", {"csrf": guesser.csrf, "code": "AAAA-AAAA-AAAA"})
    await guesser.call("GET", "/")
    right = {"csrf": guesser.csrf, "code": server.pupils[0][3]}
    refused = await guesser.call("POST", "/anmelden", right)
    check(refused.status == 429 and "Zu viele Versuche" in refused.text and '<html lang="de">' in refused.text,
          f"the eleventh attempt of one address is refused ({refused.status})")
    other = visitor(server)
    other.cookies = guesser.cookies
    check((await other.call("POST", "/anmelden", right)).status == 303, "another address is not affected")


async def csrf(server):
    pupil = await signed_in(server, 2)
    for path, token in [("/wahl", ""), ("/wahl", "x2Vf0gXnO1Q"), ("/abmelden", "")]:
        reply = await pupil.call("POST", path, {"aktion": "abgeben", "f-1-1": "Deutsch", "csrf": token})
        check(reply.status == 403, f"{path} with the form token {token!r}: {reply.status}")
    for token in ("", "abc"):
        reply = await pupil.call("POST", "/api/pruefen", headers=[("Content-Type", "application/json"),
                                                                  ("X-CSRF-Token", token)], body=b"{}")
        check(reply.status == 403, f"the live check with the header token {token!r}: {reply.status}")
    check(not os.listdir(server.data), "nothing handed in without a token")


async def escaping_and_live_check(server):
    pupil = await signed_in(server, 1)
    page = await pupil.call("POST", "/wahl", {"csrf": pupil.csrf, "aktion": "pruefen",
                                              "f-5-1": "<img src=x onerror=alert(1)>"})
    policy = page.header("content-security-policy")
    check(page.status == 200 and "script-src 'self'" in policy and "default-src 'none'" in policy and
          "unsafe" not in policy and page.header("x-content-type-options") == "nosniff", f"headers: {policy}")
    for text in ["<h1>Kurswahl von Ölaf &amp; Co &lt;script&gt;alert(1)&lt;/script&gt;</h1>",
                 'value="&lt;img src=x onerror=alert(1)&gt;"', 'aria-label="GK 9, 4. Semester"',
                 "Das Fach »&lt;img src=x onerror=alert(1)&gt;« ist nicht bekannt."]:
        check(text in page.text, f"the page shows {text}")
    check("<img" not in page.text and "<script>" not in page.text, "no markup of the pupil's on the page")
    live = await pupil.call("POST", "/api/pruefen", headers=[("Content-Type", "application/json"),
                                                             ("X-CSRF-Token", pupil.csrf)],
                            body=b'{"f-1-2":"Deutsch","f-6-1":"Mathe","f-5-1":"Physik"}')
    # The desktop's auto-fill: an examination row across, a natural science across; only what changed.
    for text in ['"f-1-1":"Deutsch"', '"f-1-4":"Deutsch"', '"f-5-4":"Physik"', "Meinst du »Mathematik«?",
                 "GK 4, 1. Semester: »Mathe« ist kein Fach"]:
        check(live.status == 200 and text in live.text, f"the live check answers {text}")
    check('"f-1-2":' not in live.text and '"f-6-2":' not in live.text, "the live check sends what changed")
    asked = await pupil.submit(FOREIGN_LK_CHOICE, "testen")
    check('name="fremdsprache-lk" value="ja"' in asked.text and "Beantworte die Frage" in asked.text,
          "a foreign language as LK 1 asks the question")
    answered = await pupil.submit(FOREIGN_LK_CHOICE, "testen", {"fremdsprache-lk": "ja"})
    check("Die Wahl hat den Test bestanden." in answered.text and 'value="ja" checked' in answered.text,
          "answered, the choice passes")


async def limits(server):
    for request, status in [(b"POST /wahl HTTP/1.1\r\nHost: x\r\nContent-Type: application/x-www-form-"
                             b"urlencoded\r\nContent-Length: 70000\r\n\r\n" + b"a" * 70000, "413"),
                            (b"GET / HTTP/1.1\r\nHost: x\r\nX-Long: " + b"a" * 20000 + b"\r\n\r\n", "431"),
                            (b"GET /../etc/passwd HTTP/1.1\r\nHost: x\r\n\r\n", "404"),
                            (b"DELETE /wahl HTTP/1.1\r\nHost: x\r\n\r\n", "405")]:
        answer = await status_line(server.port, request)
        check(answer == status, f"{request[:20]!r}: {answer} (expected {status})")


async def hand_in(server):
    pupil = await signed_in(server, 0)
    choice = VALID_CHOICE + [[""] * 4] * 2 + [["", "Notiz", "", ""]]  # the spare row is stored as well
    expected = fld_bytes(choice, "Muster", "Anna", "12a")
    file = os.path.join(server.data, "schueler-0001.fld")
    # Names the page never gives out are ignored.
    junk = {name: "X" for name in ("f-13-1", "f-0-1", "f-1-5", "f-01-1", "f-1-1-1")}
    first = await pupil.submit(choice, "abgeben", junk)
    check(first.status == 200 and "Die Wahl hat den Test bestanden." in first.text and
          re.search(r"Deine Wahl wurde am \d\d\.\d\d\.20\d\d um \d\d:\d\d Uhr abgegeben\.", first.text),
          "the hand-in is confirmed with date and time")
    check(read(file) == expected, "the file holds the desktop's bytes and the pupil's name")
    sheet = await pupil.call("GET", "/bogen.pdf")
    check('<a href="/bogen.pdf">' in first.text and sheet.header("content-type") == "application/pdf" and
          sheet.body.startswith(b"%PDF-1.4") and sheet.body.endswith(b"%%EOF\n") and
          b"(Muster) Tj" in sheet.body and b"(Die Wahl ist o.k. !) Tj" in sheet.body, "the sheet as a PDF")
    other = await signed_in(server, 1)
    check((await other.call("GET", "/bogen.pdf")).status == 404, "no sheet before a hand-in")
    # Handed in again: the newest under the same name, the earlier one kept beside it.
    await asyncio.sleep(1.1)
    check((await pupil.submit(choice, "abgeben", {"f-9-1": "Musik"})).status == 200, "handed in again")
    kept = [n for n in os.listdir(server.data) if n.endswith(".alt")]
    check(len(kept) == 1 and re.fullmatch(r"schueler-0001\.20\d{6}-\d{6}\.fld\.alt", kept[0]) and
          read(os.path.join(server.data, kept[0])) == expected and read(file) != expected and
          [n for n in os.listdir(server.data) if n.endswith(".fld")] == ["schueler-0001.fld"],
          f"the earlier hand-in is kept beside the newest {kept}")
    kai = await signed_in(server, 2)
    await kai.submit([], "abgeben")
    check(read(os.path.join(server.data, "schueler-0003.fld")) == fld_bytes([], "Kurz", "Kai", ""),
          "an empty class gives no Klasse line")


async def overview(server):
    check((await visitor(server).call("GET", "/uebersicht")).status == 303, "the overview wants a sign-in")
    check((await (await signed_in(server, 0)).call("GET", "/uebersicht")).status == 403, "not for pupils")
    coordinator = visitor(server)
    await coordinator.call("GET", "/")
    await coordinator.call("POST", "/anmelden", {"csrf": coordinator.csrf, "code": "KOORDINATION-2026"})
    page = await coordinator.call("GET", "/uebersicht")
    check(page.status == 200 and "<td>Muster</td><td>Anna</td><td>12a</td><td>abgegeben am " in page.text and
          "&lt;script&gt;alert(1)&lt;/script&gt;</td><td>Ölaf &amp; Co</td><td>12b</td>"
          '<td class="offen">nicht abgegeben' in page.text, "the coordinator's overview")


async def write_failure(server):
    # The data folder gone (as root, a read-only one would still be written).
    pupil = await signed_in(server, 1)
    os.rename(server.data, server.data + "-weg")
    reply = await pupil.submit([["Deutsch"] * 4], "abgeben")
    os.rename(server.data + "-weg", server.data)
    check(reply.status == 500 and "Sie ist nicht abgegeben." in reply.text and "abgegeben.</p>" not in
          reply.text and "schueler-0002.fld" not in os.listdir(server.data), "a failed write is said as such")


async def full_disk(program):
    # A file system of 32 KiB, filled up after a first hand-in: needs the right to mount one.
    folder = tempfile.mkdtemp(prefix="fachlese-voll-")
    mount = ["mount", "-t", "tmpfs", "-o", "size=32k", "tmpfs", folder]
    if subprocess.run(mount, stderr=subprocess.DEVNULL).returncode:
        os.rmdir(folder)
        print("skipped: no right to mount a small file system")
        return
    try:
        with Server(program, pupils=1, data=folder) as server:
            pupil = await signed_in(server, 0)
            file = os.path.join(folder, "schueler-0001.fld")
            await pupil.submit([["Deutsch"] * 4], "abgeben")
            first = read(file)
            with open(os.path.join(folder, "fuellung"), "wb", buffering=0) as fill:
                for size in (4096, 1):
                    try:
                        while fill.write(b"x" * size):
                            pass
                    except OSError:
                        pass
            reply = await pupil.submit([["Englisch"] * 4], "abgeben")
            check(reply.status == 507 and "weil der Speicher des Servers voll ist. Sie ist nicht abgegeben."
                  in reply.text and read(file) == first and len(os.listdir(folder)) == 2,
                  f"a full disk: {reply.status}, the earlier file untouched, nothing left behind")
            os.remove(os.path.join(folder, "fuellung"))
            reply = await pupil.submit([["Englisch"] * 4], "abgeben")
            check(reply.status == 200 and b"Englisch" in read(file), "with room again, handing in works")
    finally:
        subprocess.run(["umount", folder])
        os.rmdir(folder)


async def deadline(program):
    with Server(program, pupils=1, extra=["--frist", "2020-01-31T12:00"]) as server:
        pupil = await signed_in(server, 0)
        refused = await pupil.submit([["Deutsch"] * 4], "abgeben")
        check(refused.status == 403 and "Die Frist für die Abgabe ist am 31.01.2020 um 12:00 Uhr abgelaufen."
              in refused.text and not os.listdir(server.data), "after the deadline nothing is handed in")
        check((await pupil.submit([["Deutsch"] * 4], "testen")).status == 200, "testing still works")


def command_line(program, version):
    for arguments, status, output in [
            (["--version"], 0, f"fachlese-web {version}\n"), (["--gibts-nicht"], 2, "Unbekannte Angabe"),
            (["--daten", ".", "--zugang", "x", "--frist", "morgen"], 2, "JJJJ-MM-TTTHH:MM"),
            (["--daten", ".", "--zugang", "x", "--adresse", "schule"], 2, "keine IP-Adresse"),
            (["--zugang", "x"], 2, "--daten")]:
        done = subprocess.run([program] + arguments, capture_output=True, text=True, timeout=10)
        check(done.returncode == status and output in done.stdout + done.stderr,
              f"fachlese-web {' '.join(arguments)}: {done.returncode} {output!r}")


async def main(program, version):
    server = Server(program, CLASS_LIST)
    server.extra = ["--verwaltung", os.path.join(server.folder, "verwaltung.txt")]
    with open(server.extra[1], "w") as f:
        f.write("Koordination-2026\n")
    with server:
        check(server.url.startswith("http://127.0.0.1:"), f"by default on loopback only: {server.url}")
        for part in (code_list, sign_in, too_many_attempts, csrf, escaping_and_live_check, limits, hand_in,
                     overview, write_failure):
            await part(server)
    await full_disk(program)
    await deadline(program)
    command_line(program, version)


if __name__ == "__main__":
    asyncio.run(main(*sys.argv[1:3]))
    sys.exit(finish("server"))
