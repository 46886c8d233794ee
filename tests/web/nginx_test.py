#!/usr/bin/env python3
"""The nginx site of the package (packaging/nginx/fachlese-web.conf) in front of fachlese-web,
as a school runs it, only on loopback ports of the test's own and with a certificate made for
the test: nginx accepts the site, sends HTTP on to HTTPS, passes the pupil's connection as
encrypted (the session cookie is Secure) and the pupil's address (the server's own sign-in
limit answers 429), and turns away a body beyond its bound.

    nginx_test.py FACHLESE_WEB SITE_CONF

Exit status 77 (skipped) where nginx or openssl is missing."""

import asyncio
import http.client
import os
import re
import shutil
import socket
import ssl
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from webclient import Connection, Pupil, Server, check, finish  # noqa: E402


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def site_for_test(text, http_port, https_port, cert, key, backend):
    """The site with the test's ports, certificate and server; every replaced line must be
    there, so that a change of the site shows here."""
    replacements = [
        ("listen 80;", f"listen 127.0.0.1:{http_port};"), ("listen [::]:80;", ""),
        ("listen 443 ssl http2;", f"listen 127.0.0.1:{https_port} ssl http2;"), ("listen [::]:443 ssl http2;", ""),
        ("ssl_certificate /etc/ssl/certs/ssl-cert-snakeoil.pem;", f"ssl_certificate {cert};"),
        ("ssl_certificate_key /etc/ssl/private/ssl-cert-snakeoil.key;", f"ssl_certificate_key {key};"),
        ("http://127.0.0.1:8080;", f"http://127.0.0.1:{backend};"),
    ]
    for old, new in replacements:
        if old not in text:
            raise RuntimeError(f"the site no longer holds {old!r}")
        text = text.replace(old, new)
    return text


def pupil(port, code="", source="127.0.0.1"):
    """A browser's connection to nginx over TLS, from the local address `source`."""
    context = ssl.create_default_context()
    context.check_hostname = False
    context.verify_mode = ssl.CERT_NONE
    return Pupil(Connection("127.0.0.1", port, tls=context, source=source), code)


async def through_nginx(server, https_port):
    anna = pupil(https_port, server.pupils[0][3])
    response = await anna.call("GET", "/")
    check(response.status == 200 and "max-age" in (response.header("strict-transport-security") or ""),
          "the sign-in page comes over TLS with HSTS")
    response = await anna.call("POST", "/anmelden", {"csrf": anna.csrf, "code": anna.code})
    session = response.header("set-cookie") or ""
    check(response.status == 303, f"signing in through nginx ({response.status})")
    check(re.fullmatch(r"fachlese_sitzung=[^;]+; Path=/; HttpOnly; SameSite=Strict; Secure", session),
          f"behind TLS the session cookie is Secure, HttpOnly, SameSite=Strict {session}")
    response = await anna.call("GET", "/wahl")
    check(response.status == 200 and server.pupils[0][0] in response.text, "the grid page through nginx")
    response = await anna.call("POST", "/api/pruefen", body=b"{" + b" " * 100_000 + b"}")
    check(response.status == 413, f"nginx turns away a body of 100 kB ({response.status})")

    guesser = pupil(https_port)
    await guesser.call("GET", "/")
    statuses = [(await guesser.call("POST", "/anmelden", {"csrf": guesser.csrf, "code": f"FALSCH{i}"})).status
                for i in range(12)]
    check(statuses[0] == 403 and statuses[-1] == 429,
          f"wrong codes through nginx: the guesser's address is limited by the server ({statuses})")
    other = pupil(https_port, server.pupils[1][3], source="127.0.0.2")  # another pupil's address
    await other.call("GET", "/")
    response = await other.call("POST", "/anmelden", {"csrf": other.csrf, "code": other.code})
    check(response.status == 303, f"meanwhile a pupil from another address signs in ({response.status})")


def main():
    nginx, openssl = shutil.which("nginx") or "/usr/sbin/nginx", shutil.which("openssl")
    if not os.access(nginx, os.X_OK) or not openssl:
        print("skipped: nginx (nginx-light) and openssl are needed (scripts/install-deps.sh installs them)")
        return 77
    program, site = sys.argv[1], sys.argv[2]
    http_port, https_port = free_port(), free_port()
    with Server(program, pupils=2) as server:
        work = server.folder
        cert, key = os.path.join(work, "cert.pem"), os.path.join(work, "key.pem")
        subprocess.run([openssl, "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out",
                        cert, "-days", "1", "-subj", "/CN=kurswahl.schule.example"], check=True,
                       capture_output=True)
        with open(site, encoding="utf-8") as f:
            site_text = site_for_test(f.read(), http_port, https_port, cert, key, server.port)
        with open(os.path.join(work, "site.conf"), "w", encoding="utf-8") as f:
            f.write(site_text)
        temp = "".join(f"{kind}_temp_path {work}/{kind};\n" for kind in
                       ("client_body", "proxy", "fastcgi", "uwsgi", "scgi"))
        with open(os.path.join(work, "nginx.conf"), "w", encoding="utf-8") as f:
            f.write(f"user root;\nworker_processes 1;\npid {work}/nginx.pid;\nerror_log {work}/error.log;\n"
                    f"events {{ worker_connections 256; }}\n"
                    f"http {{\naccess_log off;\n{temp}include {work}/site.conf;\n}}\n")
        command = [nginx, "-p", work, "-c", os.path.join(work, "nginx.conf")]
        tested = subprocess.run(command + ["-t"], capture_output=True, text=True)
        if not check(tested.returncode == 0, f"nginx accepts the site {tested.stderr.splitlines()[-1:]}"):
            return 1
        nginx_process = subprocess.Popen(command + ["-g", "daemon off;"], stderr=subprocess.DEVNULL)
        try:
            for _ in range(50):
                try:
                    socket.create_connection(("127.0.0.1", https_port), 0.2).close()
                    break
                except OSError:
                    time.sleep(0.1)
            plain = http.client.HTTPConnection("127.0.0.1", http_port, timeout=10)
            plain.request("GET", "/wahl", headers={"Host": "kurswahl.schule.example"})
            moved = plain.getresponse()
            check(moved.status == 301 and moved.getheader("Location") == "https://kurswahl.schule.example/wahl",
                  f"HTTP is sent on to HTTPS ({moved.status} {moved.getheader('Location')})")
            asyncio.run(through_nginx(server, https_port))
        finally:
            nginx_process.terminate()
            nginx_process.wait(10)
    return finish("nginx")


if __name__ == "__main__":
    sys.exit(main())
