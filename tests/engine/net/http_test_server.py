#!/usr/bin/env python3
"""Local HTTP and FTP servers for the fetch tests.

Both listen on 127.0.0.1 on free ports; the first line of standard output is
the HTTP port, the second the FTP port. Every HTTP path is one behaviour a
fetch must cope with; the FTP server knows just enough of the protocol for a
passive-mode download of the files in FTP_FILES.
"""
import http.server
import socket
import socketserver
import struct
import sys
import threading
import time
import urllib.parse

PATTERN_PERIOD = 251
BLOCK = bytes(i % PATTERN_PERIOD for i in range(PATTERN_PERIOD * 4096))


def pattern(size):
    """Bytes 0, 1, ... 250, 0, 1, ... of the given length."""
    whole, rest = divmod(size, len(BLOCK))
    return BLOCK * whole + BLOCK[:rest]


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def send_body(self, status, body, content_type="text/html"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def redirect(self, location):
        body = b"<html>moved</html>"
        self.send_response(302)
        self.send_header("Location", location)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def start_body(self, declared_length):
        self.send_response(200)
        self.send_header("Content-Length", str(declared_length))
        self.end_headers()

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        parts = url.path.strip("/").split("/")
        query = urllib.parse.parse_qs(url.query)
        route = getattr(self, "route_" + parts[0].replace("-", "_"), None)
        if route is None:
            self.send_body(404, b"<html>no such page</html>")
            return
        route(parts[1:], query)

    def route_doc(self, args, query):
        self.send_body(200, b"<html><title>Top News</title></html>\n")

    def route_missing(self, args, query):
        self.send_body(404, b"<html>the page is gone</html>")

    def route_redirect(self, args, query):
        left = int(args[0])
        if left == 0:
            self.send_body(200, b"arrived")
        else:
            self.redirect("/redirect/%d" % (left - 1))

    def route_loop(self, args, query):
        self.redirect("/loop")

    def route_redirect_to(self, args, query):
        self.redirect(query["url"][0])

    def route_sized(self, args, query):
        self.send_body(200, pattern(int(args[0])), "application/octet-stream")

    def route_partial(self, args, query):
        self.start_body(1000)
        self.wfile.write(pattern(100))
        self.wfile.flush()
        self.close_connection = True

    def route_stall(self, args, query):
        self.start_body(1000)
        self.wfile.write(pattern(10))
        self.wfile.flush()
        time.sleep(600)
        self.close_connection = True

    def route_silent(self, args, query):
        time.sleep(600)
        self.close_connection = True

    def route_trickle(self, args, query):
        """Declares 100 bytes and sends one a second."""
        self.start_body(100)
        try:
            for byte in pattern(100):
                self.wfile.write(bytes([byte]))
                self.wfile.flush()
                time.sleep(1)
        except OSError:
            pass
        self.close_connection = True

    def route_reset(self, args, query):
        """Accepts the request, then resets the connection without an answer."""
        self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        self.connection.close()
        self.close_connection = True

    def route_endless(self, args, query):
        self.send_response(200)
        self.send_header("Connection", "close")
        self.end_headers()
        self.close_connection = True
        try:
            while True:
                self.wfile.write(BLOCK)
        except OSError:
            pass

    def route_headers(self, args, query):
        self.send_body(200, str(self.headers).encode("latin-1"), "text/plain")

    def route_path(self, args, query):
        self.send_body(200, self.path.encode("latin-1"), "text/plain")


FTP_FILES = {"doc.txt": b"ftp document\r\n"}


class FtpHandler(socketserver.StreamRequestHandler):
    def reply(self, text):
        self.wfile.write(text.encode("latin-1") + b"\r\n")

    def handle(self):
        self.passive = None
        self.reply("220 ready")
        for line in self.rfile:
            verb, _, argument = line.decode("latin-1").strip().partition(" ")
            if not self.answer(verb.upper(), argument.lstrip("/")):
                break
        if self.passive:
            self.passive.close()

    def answer(self, verb, argument):
        simple = {"USER": "331 password please", "PASS": "230 logged in", "PWD": '257 "/"',
                  "CWD": "250 ok", "TYPE": "200 ok", "QUIT": "221 bye"}
        if verb in simple:
            self.reply(simple[verb])
            return verb != "QUIT"
        if verb == "EPSV":
            self.passive = socket.create_server(("127.0.0.1", 0))
            self.reply("229 passive (|||%d|)" % self.passive.getsockname()[1])
        elif verb == "SIZE" and argument in FTP_FILES:
            self.reply("213 %d" % len(FTP_FILES[argument]))
        elif verb == "RETR" and argument in FTP_FILES and self.passive:
            self.reply("150 sending")
            data, _ = self.passive.accept()
            data.sendall(FTP_FILES[argument])
            data.close()
            self.reply("226 done")
        else:
            self.reply("550 not here")
        return True


class FtpServer(socketserver.ThreadingTCPServer):
    daemon_threads = True


def main():
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    ftp = FtpServer(("127.0.0.1", 0), FtpHandler)
    threading.Thread(target=ftp.serve_forever, daemon=True).start()
    print(server.server_address[1], flush=True)
    print(ftp.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
