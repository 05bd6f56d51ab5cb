"""The generated RSS site script through the runner against a 5 MB feed of
20000 items and a 50 MB one of 200000, served from 127.0.0.1. Prints wall
time, peak memory (from /usr/bin/time) and headline count for each, and the
ratio of the two times, which should be close to 10. The same feeds go, in
the same run, through the earlier site script that walked the feed with
Document's tokenizer (rss_tokenizer_tail.txt beside this file), and the
feed reader's lead over it is printed.

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
    tails = {
        "feed reader": (rss_folder / "rss_template_tail.txt").read_bytes(),
        "tokenizer walk": (pathlib.Path(__file__).parent / "rss_tokenizer_tail.txt").read_bytes(),
    }
    results = {}
    with tempfile.TemporaryDirectory() as temp:
        work = pathlib.Path(temp)
        site = work / "site"
        site.mkdir()
        for items in (20000, 200000):
            (site / ("feed%d.xml" % items)).write_bytes(generate_feed(items))
        with serve(site) as base:
            for name, tail in tails.items():
                for items in (20000, 200000):
                    feed = site / ("feed%d.xml" % items)
                    script = work / "site.zrs"
                    script.write_bytes(site_script(head, base + feed.name, tail))
                    seconds, peak_kb, headlines = measure(runner, runner_args, script, work)
                    size_mb = feed.stat().st_size / 1e6
                    results[(name, items)] = seconds
                    print("%-14s %6.1f MB feed, %6d items: %7.2f s, peak %7.1f MB, %6d headlines"
                          % (name, size_mb, items, seconds, peak_kb / 1024, headlines))
    for name in tails:
        print("%-14s ratio 50 MB / 5 MB: %.1f" % (name, results[(name, 200000)] / results[(name, 20000)]))
    for items in (20000, 200000):
        print("feed reader %d items: %.1f times faster than the tokenizer walk"
              % (items, results[("tokenizer walk", items)] / results[("feed reader", items)]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
