#!/usr/bin/env python3
"""A stand-in for the media center's HTTP command interface, for the tester's
end-to-end tests. Loopback only; it stops by itself.

It listens on 127.0.0.1 with three ports, written to DIR/ports once ready:
  auth    answers 401 with a Basic challenge until a request carries Basic
          credentials (those given with --accept user:password, when given),
          then 200; a POST (as to today's /jsonrpc) 404; every request is
          appended to DIR/requests.log
  silent  accepts connections and never answers (holds each one briefly)
  closed  a port number on which nothing listens
Each log line: METHOD <tab> TARGET <tab> credentials as hex of their bytes
(or '-') <tab> status <tab> the ids of the processes whose command line held
the password while the request was in (or '-'). While DIR/hold exists, an
answer to a request with credentials is held back (after its log line), so a
test can act while the client waits. The server ends when DIR/stop appears,
or after --lifetime seconds, whichever comes first.
"""
import argparse
import base64
import os
import socket
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

LOOPBACK = "127.0.0.1"


def processes_showing(secret):
    """Ids of the processes whose command line holds `secret` (bytes)."""
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(os.path.join("/proc", entry, "cmdline"), "rb") as f:
                if secret in f.read():
                    found.append(entry)
        except OSError:
            pass  # gone meanwhile, or not ours to read
    return found


class Handler(BaseHTTPRequestHandler):
    # Keep-alive as the client expects after a challenge (every answer has a length).
    protocol_version = "HTTP/1.1"
    log_path = None
    hold_path = None
    deadline = 0.0
    accept = None  # bytes "user:password", or None for any credentials
    lock = threading.Lock()

    def do_GET(self):
        credentials = None
        header = self.headers.get("Authorization", "")
        if header.startswith("Basic "):
            try:
                credentials = base64.b64decode(header[6:], validate=True)
            except ValueError:
                credentials = None
        accepted = credentials is not None and (self.accept is None or credentials == self.accept)
        status = 200 if accepted else 401
        # The client waits for this answer: whatever shows its password now
        # shows it while the client runs.
        password = credentials.partition(b":")[2] if credentials is not None else b""
        showing = processes_showing(password) if password else []
        with self.lock, open(self.log_path, "a", encoding="ascii") as log:
            log.write("%s\t%s\t%s\t%d\t%s\n" % (self.command, self.path,
                                                credentials.hex() if credentials is not None else "-", status,
                                                ",".join(showing) or "-"))
            log.flush()
        while credentials is not None and os.path.exists(self.hold_path) and time.monotonic() < self.deadline:
            time.sleep(0.02)
        body = b"<html><li>OK</html>" if status == 200 else b"unauthorised"
        self.send_response(status)
        if status == 401:
            self.send_header("WWW-Authenticate", 'Basic realm="Ormu"')
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_POST(self):
        # Older releases serve no JSON-RPC: /jsonrpc is an unknown path.
        length = int(self.headers.get("Content-Length", "0") or "0")
        self.rfile.read(length)
        with self.lock, open(self.log_path, "a", encoding="ascii") as log:
            log.write("%s\t%s\t-\t404\t-\n" % (self.command, self.path))
            log.flush()
        body = b"not found"
        self.send_response(404)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def silent_listener(sock, deadline):
    sock.settimeout(0.2)
    held = []
    while time.monotonic() < deadline:
        try:
            conn, _ = sock.accept()
            held.append((conn, time.monotonic()))
        except socket.timeout:
            pass
        # Never answer; let go of a connection after 30 s at the latest.
        now = time.monotonic()
        for conn, since in list(held):
            if now - since > 30:
                conn.close()
                held.remove((conn, since))
    for conn, _ in held:
        conn.close()


def detach_from_caller_streams():
    # Started from a test, the server would otherwise hold the test's output
    # pipe open after the test ended, and its runner would wait for it.
    null = os.open(os.devnull, os.O_RDWR)
    for fd in (0, 1, 2):
        os.dup2(null, fd)
    os.close(null)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dir", required=True)
    parser.add_argument("--lifetime", type=float, default=240.0)
    parser.add_argument("--accept", default=None)
    args = parser.parse_args()
    if args.accept is not None:
        Handler.accept = args.accept.encode("utf-8")
    detach_from_caller_streams()
    deadline = time.monotonic() + min(args.lifetime, 600.0)

    Handler.log_path = os.path.join(args.dir, "requests.log")
    Handler.hold_path = os.path.join(args.dir, "hold")
    Handler.deadline = deadline
    open(Handler.log_path, "w").close()
    server = ThreadingHTTPServer((LOOPBACK, 0), Handler)
    server.daemon_threads = True
    server.timeout = 0.2

    silent = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    silent.bind((LOOPBACK, 0))
    silent.listen(8)
    closed = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    closed.bind((LOOPBACK, 0))
    closed_port = closed.getsockname()[1]
    closed.close()

    threading.Thread(target=silent_listener, args=(silent, deadline), daemon=True).start()

    ports = os.path.join(args.dir, "ports")
    with open(ports + ".tmp", "w") as f:
        f.write("%d %d %d\n" % (server.server_address[1], silent.getsockname()[1], closed_port))
    os.replace(ports + ".tmp", ports)

    stop = os.path.join(args.dir, "stop")
    while time.monotonic() < deadline and not os.path.exists(stop):
        server.handle_request()
    server.server_close()
    silent.close()


if __name__ == "__main__":
    main()
