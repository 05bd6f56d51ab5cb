#!/usr/bin/env python3
"""Local HTTP server for the patrol tests.

Serves the files of the folder given as the first argument on 127.0.0.1 at a
free port, which it prints as the first line of standard output. Besides the
files:
  /hold     answers only once /release has been requested (a script that
            fetches it keeps its worker busy for as long as the test wants)
  /release  lets every waiting /hold answer
  /log      the paths requested so far, one a line, in arrival order
  /trickle  a feed sent one byte a second, never finished
  /stall    headers and then nothing
  /reset    the connection reset without an answer
  /never    the request read and never answered
  /status/N an answer with status N
"""
import http.server
import os
import socket
import struct
import sys
import threading
import time

released = threading.Event()
requests = []
requests_lock = threading.Lock()


class Handler(http.server.SimpleHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def answer(self, body, content_type="text/plain"):
        self.send_response(200)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        if self.path == "/log":
            with requests_lock:
                self.answer("".join(p + "\n" for p in requests).encode())
            return
        with requests_lock:
            requests.append(self.path)
        if self.path in SLOW_ANSWERS:
            SLOW_ANSWERS[self.path](self)
        elif self.path.startswith("/status/"):
            self.send_response(int(self.path[len("/status/"):]))
            self.send_header("Content-Length", "0")
            self.end_headers()
        elif self.path == "/release":
            released.set()
            self.answer(b"released")
        elif self.path.startswith("/hold"):
            released.wait(120)
            self.answer(b"<rss><item><title>held</title><link>http://held/</link></item></rss>",
                        "text/xml")
        else:
            super().do_GET()


def wait_for_client_to_leave(handler, seconds=120):
    """Holds the connection until the client closes it (or the time is up)."""
    handler.connection.settimeout(seconds)
    try:
        while handler.connection.recv(1024):
            pass
    except OSError:
        pass


def trickle(handler):
    handler.send_response(200)
    handler.send_header("Content-Type", "text/xml")
    handler.end_headers()
    handler.wfile.flush()
    try:
        for byte in b"<rss><item><title>slow</title>" * 100:
            handler.wfile.write(bytes([byte]))
            handler.wfile.flush()
            time.sleep(1)
    except OSError:
        pass


def stall(handler):
    handler.send_response(200)
    handler.send_header("Content-Type", "text/xml")
    handler.send_header("Content-Length", "1000")
    handler.end_headers()
    handler.wfile.flush()
    wait_for_client_to_leave(handler)


def reset(handler):
    # A zero linger time makes close() send RST instead of FIN.
    handler.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    handler.connection.close()
    handler.close_connection = True


SLOW_ANSWERS = {"/trickle": trickle, "/stall": stall, "/reset": reset, "/never": wait_for_client_to_leave}


def exit_with_parent(parent):
    """A test that crashed cannot stop its server: the server stops itself."""
    while os.getppid() == parent:
        time.sleep(0.5)
    os._exit(0)


def main():
    threading.Thread(target=exit_with_parent, args=(os.getppid(),), daemon=True).start()
    os.chdir(sys.argv[1])
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
