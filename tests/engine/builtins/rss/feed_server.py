"""A local HTTP server for feed tests: python3 -m http.server on 127.0.0.1,
on a port the system picks, serving one folder."""

import contextlib
import re
import subprocess
import sys


@contextlib.contextmanager
def serve(folder):
    """Yields the base URL ("http://127.0.0.1:PORT/") while the server runs."""
    server = subprocess.Popen(
        [sys.executable, "-u", "-m", "http.server", "0", "--bind", "127.0.0.1", "--directory", str(folder)],
        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    try:
        line = server.stdout.readline()
        match = re.search(r"port (\d+)", line)
        if not match:
            raise RuntimeError("http.server did not report its port: " + line)
        yield "http://127.0.0.1:%s/" % match.group(1)
    finally:
        server.terminate()
        server.wait(timeout=10)


def iconv(text, encoding):
    """text (str) encoded by the iconv program, as the feeds' authors would."""
    done = subprocess.run(["iconv", "-f", "UTF-8", "-t", encoding], input=text.encode("utf-8"),
                          stdout=subprocess.PIPE, check=True)
    return done.stdout


def site_script(head, url, tail):
    """The generated site script: template head, the URL as stored, template tail."""
    return head + url.encode("latin-1") + tail
