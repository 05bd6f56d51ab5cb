"""What the running ticker costs: CPU while it scrolls the bundled skin with
100 headlines, its peak memory, and the time from start to the first frame
on screen. Runs under a private Xvfb with openbox and picom, then scrolls
again without a compositor, where the window is shaped, to set the two CPU
figures side by side. Prints figures beside their goals; never fails on a
number."""

import argparse
import os
import statistics
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "gui"))

from ticker import Ticker, WorkFolder  # noqa: E402
from xsession import XSession, missing_tools, stop_process, wait_until  # noqa: E402

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")

GOAL_CPU_SHARE = 0.05
GOAL_PEAK_MB = 80
GOAL_FIRST_FRAME_MS = 300
# The shaped window may cost this much more than the composited one.
GOAL_SHAPED_RATIO = 1.2


def cpu_seconds(pid):
    """User plus system time of a process so far."""
    with open(f"/proc/{pid}/stat") as handle:
        # The command name may hold spaces; the fields after it are fixed.
        fields = handle.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def status_kb(pid, key):
    with open(f"/proc/{pid}/status") as handle:
        for line in handle:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    return 0


def measure_scrolling(session, ticker, seconds):
    """CPU share of the ticker, Xvfb and the compositor while headlines scroll."""
    pids = {"zr5a": ticker.process.pid, "Xvfb": session.xvfb.pid}
    pids.update({name: process.pid for name, process in session._children if name == "picom"})
    start = {name: cpu_seconds(pid) for name, pid in pids.items()}
    began = time.monotonic()
    time.sleep(seconds)
    wall = time.monotonic() - began
    return {name: (cpu_seconds(pid) - start[name]) / wall for name, pid in pids.items()}


def one_run(binary, data, headlines, seconds, compositor="picom"):
    with tempfile.TemporaryDirectory(prefix="zr5bench-") as root:
        with XSession(root, compositor=compositor) as session:
            work = WorkFolder(root, data, headlines=headlines)
            ticker = Ticker(session, binary, work, os.path.join(root, "run")).start()
            try:
                ticker.main_window(30)
                first = wait_until(ticker.first_frame_ms, 30, 0.05, "the first-frame line")
                result = {"first_frame_ms": first}
                if seconds:
                    ticker.wait_for_headlines(60)
                    result["cpu"] = measure_scrolling(session, ticker, seconds)
                    result["peak_kb"] = status_kb(ticker.process.pid, "VmHWM")
                    result["rss_kb"] = status_kb(ticker.process.pid, "VmRSS")
                return result
            finally:
                stop_process(ticker.process)
                ticker.close()


def verdict(value, goal):
    return "met" if value < goal else "MISSED"


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--zr5a", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--seconds", type=float, default=20)
    parser.add_argument("--headlines", type=int, default=100)
    parser.add_argument("--starts", type=int, default=5, help="runs timed for the first frame")
    args = parser.parse_args()
    missing = missing_tools(["picom"])
    if missing:
        print("ticker_bench: skipped, missing " + ", ".join(missing))
        return 0

    binary = os.path.abspath(args.zr5a)
    main_run = one_run(binary, args.data, args.headlines, args.seconds)
    shaped = one_run(binary, args.data, args.headlines, args.seconds, compositor=None)["cpu"]
    firsts = [main_run["first_frame_ms"]]
    for _ in range(max(0, args.starts - 1)):
        firsts.append(one_run(binary, args.data, args.headlines, 0)["first_frame_ms"])

    cpu = main_run["cpu"]
    first = statistics.median(firsts)
    peak_mb = main_run["peak_kb"] / 1024
    print(f"ticker_bench: bundled skin, {args.headlines} headlines, {args.seconds:g} s of scrolling "
          f"under Xvfb + openbox + picom")
    print(f"  {'figure':<34}{'measured':>12}{'goal':>12}")
    print(f"  {'zr5a CPU (share of one core)':<34}{cpu['zr5a'] * 100:>11.1f}%{GOAL_CPU_SHARE * 100:>11.0f}%"
          f"  {verdict(cpu['zr5a'], GOAL_CPU_SHARE)}")
    print(f"  {'zr5a peak memory (VmHWM)':<34}{peak_mb:>10.1f}MB{GOAL_PEAK_MB:>10}MB"
          f"  {verdict(peak_mb, GOAL_PEAK_MB)}")
    print(f"  {'start to first frame (median)':<34}{first:>10.0f}ms{GOAL_FIRST_FRAME_MS:>10}ms"
          f"  {verdict(first, GOAL_FIRST_FRAME_MS)}")
    print(f"  first frame of each start: {', '.join(f'{ms} ms' for ms in firsts)}")
    print(f"  resident at the end: {main_run['rss_kb'] / 1024:.1f} MB")
    others = ", ".join(f"{name} {share * 100:.1f}%" for name, share in cpu.items() if name != "zr5a")
    print(f"  also busy meanwhile: {others}")
    print("  without a compositor (shaped window), beside the composited run:")
    print(f"  {'CPU share of one core':<34}{'shaped':>12}{'composited':>12}{'ratio':>8}")
    for name in ("zr5a", "Xvfb"):
        ratio = shaped[name] / cpu[name] if cpu[name] else float("inf")
        print(f"  {name:<34}{shaped[name] * 100:>11.1f}%{cpu[name] * 100:>11.1f}%{ratio:>8.2f}")
    ratio = shaped["zr5a"] / cpu["zr5a"] if cpu["zr5a"] else float("inf")
    print(f"  {'zr5a shaped / composited':<34}{ratio:>12.2f}{GOAL_SHAPED_RATIO:>12.2f}"
          f"  {verdict(ratio, GOAL_SHAPED_RATIO)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
