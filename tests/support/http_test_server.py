#!/usr/bin/env python3
"""Scripted HTTP/HTTPS server for wire tests, on 127.0.0.1 only.

Usage: http_test_server.py [--https]

Listens on an ephemeral port and prints "PORT <n>" on its first stdout line.
With --https it serves TLS with a throw-away self-signed certificate for the
name "localhost" (so 127.0.0.1 does not match it), made with the openssl
command in a temporary directory that is removed once the certificate is
loaded. It exits on SIGTERM, or when its stdin reaches end of file (the test
process that started it has gone).

Routes (query values are percent-decoded):
  /echo                 200; the body is the request line, each request header
                        as "Name: value" in the order received, each ended by
                        CR LF, an empty line, then the request body. A request
                        through a proxy keeps its absolute URL in the line.
  /redirect?to=T&status=S
                        S (default 302) with "Location: T" (default /landing)
                        and the body "redirecting".
  /landing              200 "landed", no Location.
  /cookies?set=V&set=W  200 "cookies" with one "Set-Cookie: V" line per set.
  /big-headers?bytes=N&set=V
                        200 "big" with X-Pad headers of at least N bytes,
                        and one "Set-Cookie: V" line per set.
  /blob?size=N&chunked=1
                        200 with N body bytes, byte i being i % 251 (so NULs);
                        chunked transfer when chunked=1.
  /auth?user=U&password=P&for=proxy
                        200 "authorized" when Basic credentials U:P came in
                        Authorization (or Proxy-Authorization with for=proxy);
                        otherwise 401 with WWW-Authenticate (407 with
                        Proxy-Authenticate).
  /stall                reads the request and never answers.
  /stall-body           answers the status line and headers of a 100-byte
                        body, sends 10 bytes of it, then never more.
Any other path: 404.
"""

import base64
import http.server
import os
import select
import signal
import socket
import ssl
import subprocess
import sys
import tempfile
import threading
import urllib.parse

STALL_LIMIT_SECONDS = 120


def blob(size):
    block = bytes(range(251))
    return (block * (size // len(block) + 1))[:size]


def make_tls_context():
    with tempfile.TemporaryDirectory() as folder:
        cert = os.path.join(folder, "cert.pem")
        key = os.path.join(folder, "key.pem")
        subprocess.run(
            ["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert,
             "-days", "2", "-subj", "/CN=localhost", "-addext", "subjectAltName=DNS:localhost"],
            check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(cert, key)
    return context


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, format, *args):
        pass

    def do_GET(self):
        self.route()

    do_POST = do_PUT = do_DELETE = do_OPTIONS = do_HEAD = do_GET

    def route(self):
        parts = urllib.parse.urlsplit(self.path)
        query = urllib.parse.parse_qs(parts.query, keep_blank_values=True)
        body = self.rfile.read(int(self.headers.get("Content-Length", "0") or 0))
        routes = {
            "/echo": self.echo, "/redirect": self.redirect, "/landing": self.landing,
            "/cookies": self.cookies, "/big-headers": self.big_headers, "/blob": self.send_blob,
            "/auth": self.auth, "/stall": self.stall, "/stall-body": self.stall_body,
        }
        handler = routes.get(parts.path)
        if handler is None:
            self.answer(404, [], b"not found")
        else:
            handler(query, body)

    def answer(self, status, headers, body):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def echo(self, query, body):
        lines = [self.requestline] + ["%s: %s" % item for item in self.headers.raw_items()]
        text = "".join(line + "\r\n" for line in lines) + "\r\n"
        self.answer(200, [("Content-Type", "text/plain")], text.encode("latin-1") + body)

    def redirect(self, query, body):
        status = int(query.get("status", ["302"])[0])
        self.answer(status, [("Location", query.get("to", ["/landing"])[0])], b"redirecting")

    def landing(self, query, body):
        self.answer(200, [], b"landed")

    def cookies(self, query, body):
        self.answer(200, [("Set-Cookie", value) for value in query.get("set", [])], b"cookies")

    def big_headers(self, query, body):
        wanted = int(query.get("bytes", ["6000"])[0])
        headers = [("X-Pad-%03d" % i, "p" * 90) for i in range(wanted // 100 + 1)]
        headers += [("Set-Cookie", value) for value in query.get("set", [])]
        self.answer(200, headers, b"big")

    def send_blob(self, query, body):
        data = blob(int(query.get("size", ["0"])[0]))
        if query.get("chunked", ["0"])[0] != "1":
            self.answer(200, [("Content-Type", "application/octet-stream")], data)
            return
        self.send_response(200)
        self.send_header("Transfer-Encoding", "chunked")
        self.end_headers()
        for start in range(0, len(data), 65536):
            piece = data[start:start + 65536]
            self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece))
        self.wfile.write(b"0\r\n\r\n")

    def auth(self, query, body):
        proxy = query.get("for", [""])[0] == "proxy"
        user = query.get("user", [""])[0]
        password = query.get("password", [""])[0]
        expected = "Basic " + base64.b64encode(("%s:%s" % (user, password)).encode("latin-1")).decode("ascii")
        if self.headers.get("Proxy-Authorization" if proxy else "Authorization") == expected:
            self.answer(200, [], b"authorized")
        elif proxy:
            self.answer(407, [("Proxy-Authenticate", 'Basic realm="test"')], b"proxy credentials")
        else:
            self.answer(401, [("WWW-Authenticate", 'Basic realm="test"')], b"credentials")

    def wait_for_client_to_leave(self):
        # Returns once the client closes its end, or after the limit, so no
        # thread outlives a test by much.
        connection = self.connection
        deadline = STALL_LIMIT_SECONDS
        while deadline > 0:
            readable, _, _ = select.select([connection], [], [], 1)
            deadline -= 1
            if readable:
                try:
                    if not connection.recv(4096):
                        break
                except (OSError, ssl.SSLError):
                    break
        self.close_connection = True

    def stall(self, query, body):
        self.wait_for_client_to_leave()

    def stall_body(self, query, body):
        self.send_response(200)
        self.send_header("Content-Length", "100")
        self.end_headers()
        self.wfile.write(blob(10))
        self.wfile.flush()
        self.wait_for_client_to_leave()


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True
    tls_context = None

    def finish_request(self, request, client_address):
        # The TLS handshake runs on the connection's own thread, so a client
        # that refuses the certificate stalls nobody else.
        if self.tls_context is not None:
            try:
                request = self.tls_context.wrap_socket(request, server_side=True)
            except (OSError, ssl.SSLError):
                return
        try:
            super().finish_request(request, client_address)
        except (OSError, ssl.SSLError):
            pass

    def handle_error(self, request, client_address):
        pass


def exit_when_parent_leaves():
    while sys.stdin.buffer.read(4096):
        pass
    os._exit(0)


def main():
    signal.signal(signal.SIGTERM, lambda signum, frame: os._exit(0))
    server = Server(("127.0.0.1", 0), Handler)
    if "--https" in sys.argv[1:]:
        server.tls_context = make_tls_context()
    threading.Thread(target=exit_when_parent_leaves, daemon=True).start()
    print("PORT %d" % server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
