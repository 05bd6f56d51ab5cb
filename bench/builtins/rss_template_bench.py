"""The generated RSS site script through the runner against a 5 MB feed of
20000 items and a 50 MB one of 200000, served from 127.0.0.1. Prints wall
time, peak memory (from /usr/bin/time) and headline count for each, and the
ratio of the two times, which should be close to 10.

usage: rss_template_bench.py RUNNER RSS_TEST_FOLDER [RUNNER_ARGS...]"""

import pathlib
import subprocess
import sys
import tempfile
import time

HEADLINE = "ニュース見出し"


def generate_feed(items):
    parts = ['<?xml version="1.0" encoding="Shift_JIS"?>\n<rss version="2.0"><channel>\n<title>Bench</title>\n']
    for i in range(items):
        parts.append(
            "<item>\n  <title>%s %d</title>\n  <link>http://example.jp/news/%d.html</link>\n"
            "  <description>A short summary of the story, long enough.</description>\n"
            "  <dc:date>2026-12-07T10:00:00+09:00</dc:date>\n"
            "  <guid isPermaLink='false'>id-%d</guid>\n</item>\n" % (HEADLINE, i, i, i))
    parts.append("</channel></rss>\n")
    return "".join(parts).encode("shift_jis")


def measure(runner, runner_args, script, work):
    args = [arg.replace("{file}", str(script)) for arg in runner_args]
    report = work / "time.txt"
    started = time.monotonic()
    done = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", str(report), runner] + args,
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, cwd=work, check=True)
    seconds = time.monotonic() - started
    peak_kb = int(report.read_text().split()[-1])
    return seconds, peak_kb, sum(1 for line in done.stdout.split(b"\n") if line.startswith(b"D\t"))


def main():
    runner = str(pathlib.Path(sys.argv[1]).resolve())
    rss_folder = pathlib.Path(sys.argv[2])
    runner_args = sys.argv[3:] or ["{file}", "RSS"]
    sys.path.insert(0, str(rss_folder))
    from feed_server import serve, site_script

    head = (rss_folder / "rss_template_head.txt").read_bytes()
    tail = (rss_folder / "rss_template_tail.txt").read_bytes()
    results = []
    with tempfile.TemporaryDirectory() as temp:
        work = pathlib.Path(temp)
        site = work / "site"
        site.mkdir()
        for items in (20000, 200000):
            (site / ("feed%d.xml" % items)).write_bytes(generate_feed(items))
        with serve(site) as base:
            for items in (20000, 200000):
                feed = site / ("feed%d.xml" % items)
                script = work / "site.zrs"
                script.write_bytes(site_script(head, base + feed.name, tail))
                seconds, peak_kb, headlines = measure(runner, runner_args, script, work)
                size_mb = feed.stat().st_size / 1e6
                results.append(seconds)
                print("%6.1f MB feed, %6d items: %7.2f s, peak %7.1f MB, %6d headlines"
                      % (size_mb, items, seconds, peak_kb / 1024, headlines))
    print("ratio 50 MB / 5 MB: %.1f" % (results[1] / results[0]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
