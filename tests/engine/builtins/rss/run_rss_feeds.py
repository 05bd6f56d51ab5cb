"""Runs the generated RSS site script through the runner against feeds of
every common shape and encoding, served from 127.0.0.1, and compares the
headlines it reports with the expected "D" lines.

usage: run_rss_feeds.py RUNNER TEMPLATE_HEAD TEMPLATE_TAIL [RUNNER_ARGS...]
RUNNER_ARGS may hold {file} for the script's path (default: {file} RSS)."""

import os
import pathlib
import subprocess
import sys
import tempfile

from feed_server import iconv, serve, site_script

RSS091 = """<?xml version="1.0" encoding="ISO-8859-1"?>
<!DOCTYPE rss PUBLIC "-//Netscape Communications//DTD RSS 0.91//EN" "http://my.netscape.com/publish/formats/rss-0.91.dtd">
<rss version="0.91">
<channel>
<title>Channel title is not a headline</title>
<link>http://example.com/</link>
<item>
<title>First &amp; foremost</title>
<link>http://example.com/1.html</link>
<description>Not shown</description>
</item>
<item>
<title>
   Spread   over
   lines
</title>
<link>http://example.com/2.html?a=1&amp;b=2</link>
</item>
</channel>
</rss>
"""

RSS10 = """<?xml version="1.0" encoding="UTF-8"?>
<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#" xmlns="http://purl.org/rss/1.0/" xmlns:dc="http://purl.org/dc/elements/1.1/">
<channel rdf:about="http://example.jp/">
<title>チャンネル</title>
<items><rdf:Seq><rdf:li rdf:resource="http://example.jp/a"/></rdf:Seq></items>
</channel>
<item rdf:about="http://example.jp/a">
<title>日本語のニュース</title>
<link>http://example.jp/a</link>
<dc:date>2026-12-07T10:00:00+09:00</dc:date>
<dc:title>名前空間の題名</dc:title>
</item>
<item rdf:about="http://example.jp/b">
<title>ソフトウェア表示</title>
<link>http://example.jp/b</link>
</item>
</rdf:RDF>
"""

RSS20 = """<?xml version="1.0" encoding="Shift_JIS"?>
<rss version="2.0" xmlns:media="http://search.yahoo.com/mrss/">
<channel>
<title>シフトJIS</title>
<item>
<title><![CDATA[Breaking: A < B]]></title>
<link>http://example.jp/cdata</link>
<guid isPermaLink="false">id-1</guid>
</item>
<item>
<title><![CDATA[x > y]]></title>
<link>http://example.jp/gt</link>
</item>
<item>
<media:title type='plain'>名前空間</media:title>
<title>予定表 ソフト</title>
<enclosure url="http://example.jp/a.mp3" length="1" type="audio/mpeg"/>
<link>http://example.jp/sjis</link>
</item>
<item><title>リンクなし</title></item>
</channel>
</rss>
"""

RSS20_EUC = """<?xml version="1.0" encoding="EUC-JP"?>
<rss version="2.0"><channel><title>EUC</title>
<item><title>東京の天気は晴れ</title><link>http://example.jp/euc?q=1</link></item>
<ITEM><title>upper-case ITEM is another tag</title></ITEM>
<item><title>二件目</title><link>
  http://example.jp/euc2
</link></item>
</channel></rss>
"""

# (file, bytes, expected (title, link) pairs in UTF-8)
FEEDS = [
    ("rss091.xml", RSS091.encode("ascii"),
     [("First & foremost", "http://example.com/1.html"),
      ("Spread over lines", "http://example.com/2.html?a=1&b=2")]),
    ("rss10-utf8.rdf", RSS10.replace("\n", "\r\n").encode("utf-8"),
     [("日本語のニュース", "http://example.jp/a"), ("ソフトウェア表示", "http://example.jp/b")]),
    ("rss20-sjis.xml", iconv(RSS20, "SHIFT_JIS"),
     [("Breaking: A < B", "http://example.jp/cdata"), ("x > y", "http://example.jp/gt"),
      ("予定表 ソフト", "http://example.jp/sjis"), ("リンクなし", "")]),
    ("rss20-eucjp.xml", iconv(RSS20_EUC, "EUC-JP"),
     [("東京の天気は晴れ", "http://example.jp/euc?q=1"),
      ("二件目", "http://example.jp/euc2")]),
    # Not a feed (the server's 404 page) and a refused connection: no headlines.
    ("missing.xml", None, []),
]


def expected_output(pairs):
    lines = "".join("D\t%s\t%s\t\n" % pair for pair in pairs)
    return iconv(lines, "CP932") if lines else b""


def run_feed(runner, runner_args, head, tail, url, work):
    script = work / "site.zrs"
    script.write_bytes(site_script(head, url, tail))
    args = [arg.replace("{file}", str(script)) for arg in runner_args]
    # The runner uses the system's settings; a proxy from the environment
    # must not stand between it and the local server.
    env = dict(os.environ, no_proxy="127.0.0.1", NO_PROXY="127.0.0.1")
    done = subprocess.run([runner] + args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60, cwd=work,
                          env=env)
    return done.returncode, done.stdout, done.stderr


def main():
    runner = str(pathlib.Path(sys.argv[1]).resolve())
    head_path, tail_path = sys.argv[2:4]
    runner_args = sys.argv[4:] or ["{file}", "RSS"]
    head = pathlib.Path(head_path).read_bytes()
    tail = pathlib.Path(tail_path).read_bytes()
    failures = 0
    with tempfile.TemporaryDirectory() as temp:
        work = pathlib.Path(temp)
        site = work / "site"
        site.mkdir()
        for name, data, _ in FEEDS:
            if data is not None:
                (site / name).write_bytes(data)
        with serve(site) as base:
            cases = [(base + name, pairs) for name, _, pairs in FEEDS]
            cases.append(("http://127.0.0.1:1/refused.xml", []))
            for url, pairs in cases:
                status, out, err = run_feed(runner, runner_args, head, tail, url, work)
                want = expected_output(pairs)
                if status != 0 or out != want:
                    failures += 1
                    print("FAIL %s (status %d)\n expected: %r\n actual:   %r\n stderr: %r"
                          % (url, status, want, out, err))
                else:
                    print("ok   %s: %d headlines" % (url, len(pairs)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
