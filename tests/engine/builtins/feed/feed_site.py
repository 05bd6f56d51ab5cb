"""Feeds as sites serve them, for the Feed built-in's tests: a threaded HTTP
server on 127.0.0.1 at a port the system picks.

  /rss.xml            RSS 2.0 with relative links and entities
  /sub/atom.xml       Atom 1.0 with CDATA and relative links
  /moved/atom         a redirect to /sub/atom.xml
  /latin1.xml         no declaration; the charset is only in the Content-Type
  /page.html          an HTML page where a feed was expected
  anything else       404 with an HTML page
"""
import http.server
import threading

RSS = """<?xml version="1.0" encoding="UTF-8"?>
<rss version="2.0">
<channel>
<title>Local &amp; Co</title>
<link>/</link>
<image><title>Logo</title><url>/logo.png</url><link>/imagelink</link></image>
<item>
<title>Tom &amp; Jerry &#x65E5;&#26412;</title>
<link>/article/1?a=1&amp;b=2</link>
</item>
<item>
<title>  Spread
   over lines  </title>
<guid isPermaLink="true">http://127.0.0.1/guid/2</guid>
</item>
</channel>
</rss>
"""

ATOM = """<?xml version="1.0" encoding="utf-8"?>
<feed xmlns="http://www.w3.org/2005/Atom">
<title type="text">Atom site</title>
<link rel="self" href="/sub/atom.xml"/>
<link href="index.html"/>
<entry>
<title><![CDATA[Breaking: x > y]]></title>
<link rel="enclosure" href="media.mp3"/>
<link rel="alternate" href="entry/1"/>
</entry>
<entry>
<title>\u6771\u4eac caf\u00e9</title>
<link href="http://example.com/absolute"/>
</entry>
</feed>
"""

LATIN1 = "<rss version=\"0.91\"><channel><title>Caf\u00e9</title>" \
         "<item><title>D\u00e9j\u00e0 vu</title><link>http://example.com/d</link></item></channel></rss>"

PAGE = b"<html><head><title>Not a feed</title></head><body><a href='/x'>x</a></body></html>"

ROUTES = {
    "/rss.xml": (RSS.encode("utf-8"), "application/rss+xml"),
    "/sub/atom.xml": (ATOM.encode("utf-8"), "application/atom+xml"),
    "/latin1.xml": (LATIN1.encode("latin-1"), "text/xml; charset=\"ISO-8859-1\""),
    "/page.html": (PAGE, "text/html"),
}


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def send(self, status, body, content_type, location=None):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        if location:
            self.send_header("Location", location)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        if self.path == "/moved/atom":
            self.send(302, b"<html>moved</html>", "text/html", "/sub/atom.xml")
        elif self.path in ROUTES:
            self.send(200, *ROUTES[self.path])
        else:
            self.send(404, b"<html>no such feed</html>", "text/html")


def start():
    """Starts the server on a daemon thread; returns its base URL without a
    trailing slash."""
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return "http://127.0.0.1:%d" % server.server_address[1]
