"""What the running ticker costs: CPU while it scrolls the bundled skin with
100 headlines, its peak memory, and the time from start to the first frame
on screen. Runs under a private Xvfb with openbox and picom: the ticker at
its usual 600 pixels, then across a 2560-pixel screen, then without a
compositor, where the window is shaped. Beside it in the same run: a bare Qt
window of the same size repainted whole 100 times a second (the yardstick),
and, when given, an earlier build of the program (--before) under the same
conditions. Peak memory is read once more with 10 000 headlines. The first
frame is timed twice: as the program's log says, and as the screen shows it
(a strip of the screen read back with XGetImage as fast as the server
answers, from the moment the process is spawned), with the steps of the
fade-in that were seen. Prints figures beside their goals; never fails on a
number."""

import argparse
import ctypes
import ctypes.util
import os
import statistics
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "gui"))

from ticker import Ticker, WorkFolder, settings_text  # noqa: E402
from xsession import XSession, missing_tools, stop_process, wait_until  # noqa: E402

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")

GOAL_CPU_SHARE = 0.015
GOAL_DESKTOP_SHARE = 0.04
GOAL_WIDE_CPU_SHARE = 0.03
GOAL_PEAK_MB = 60
GOAL_FIRST_FRAME_MS = 100
GOAL_FIRST_VISIBLE_MS = 100
# The shaped window may cost this much more than the composited one.
GOAL_SHAPED_RATIO = 1.2
# The ticker's place: its usual size, and across a wide screen.
USUAL = {"screen": (1024, 768), "rect": (100, 120, 600, 48)}
WIDE = {"screen": (2560, 1440), "rect": (0, 120, 2560, 48)}
MANY_HEADLINES = 10000
SETTLE_SECONDS = 3


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


def measure_scrolling(session, process, seconds, name="zr5a"):
    """CPU share of a process, Xvfb and the compositor while headlines scroll."""
    pids = {name: process.pid, "Xvfb": session.xvfb.pid}
    pids.update({child: spawned.pid for child, spawned in session._children if child == "picom"})
    start = {who: cpu_seconds(pid) for who, pid in pids.items()}
    began = time.monotonic()
    time.sleep(seconds)
    wall = time.monotonic() - began
    shares = {who: (cpu_seconds(pid) - start[who]) / wall for who, pid in pids.items()}
    shares["desktop"] = sum(shares.values())
    return shares


class _XImage(ctypes.Structure):
    # The leading fields of Xlib's XImage, up to the functions table.
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int),
                ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int), ("red_mask", ctypes.c_ulong),
                ("green_mask", ctypes.c_ulong), ("blue_mask", ctypes.c_ulong), ("obdata", ctypes.c_void_p),
                ("create_image", ctypes.c_void_p), ("destroy_image", ctypes.c_void_p)]


_DESTROY_IMAGE = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.POINTER(_XImage))
ALL_PLANES = 0xFFFFFFFFFFFFFFFF
GRAB_INTERVAL = 0.005
Z_PIXMAP = 2


class ScreenStrip:
    """Rows of the root window as the screen shows them (with a compositor,
    its output), read with XGetImage: a few milliseconds a grab where
    `import` takes a hundred."""

    def __init__(self, display_name, top, height, width):
        self.lib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        self.lib.XOpenDisplay.restype = ctypes.c_void_p
        self.lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.lib.XDefaultRootWindow.restype = ctypes.c_ulong
        self.lib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.lib.XGetImage.restype = ctypes.POINTER(_XImage)
        self.lib.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                       ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        self.lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.display = self.lib.XOpenDisplay(display_name.encode())
        if not self.display:
            raise RuntimeError("cannot open " + display_name)
        self.root = self.lib.XDefaultRootWindow(self.display)
        self.top, self.height, self.width = top, height, width

    def grab(self):
        image = self.lib.XGetImage(self.display, self.root, 0, self.top, self.width, self.height,
                                   ALL_PLANES, Z_PIXMAP)
        if not image:
            raise RuntimeError("XGetImage failed")
        try:
            return ctypes.string_at(image.contents.data, image.contents.bytes_per_line * self.height)
        finally:
            _DESTROY_IMAGE(image.contents.destroy_image)(image)

    def close(self):
        self.lib.XCloseDisplay(self.display)


def strength(grab, background):
    """How far the strip is from the empty desktop: the mean difference of a
    sample of colour bytes (0 when nothing shows)."""
    step = 28  # every seventh pixel, all three colours in turn
    total = sum(abs(a - b) for a, b in zip(grab[::step], background[::step]))
    return total / max(1, len(grab[::step]))


def watch_start(session, ticker, seconds=3.0):
    """Starts the ticker while reading the screen back: when its window first
    shows, when it reaches full strength, and the distinct fade levels seen
    between. Times in ms from the spawn."""
    strip = ScreenStrip(session.display, 40, 240, session.screen[0])
    try:
        background = strip.grab()
        began = time.monotonic()
        ticker.start()
        seen = []  # (ms, grab) whenever the picture changed
        last = background
        # Every 5 ms: a busy loop would take a core from the starting program.
        slot = began
        while time.monotonic() - began < seconds:
            grab = strip.grab()
            if grab != last:
                seen.append(((time.monotonic() - began) * 1000, grab))
                last = grab
            slot += GRAB_INTERVAL
            time.sleep(max(0.0, slot - time.monotonic()))
    finally:
        strip.close()
    levels = [(ms, strength(grab, background)) for ms, grab in seen]
    visible = [(ms, level) for ms, level in levels if level > 0.5]
    if not visible:
        return None
    full = max(level for _, level in visible)
    shown = next(ms for ms, level in visible if level >= 0.9 * full)
    fade = sorted({round(level) for ms, level in visible if ms < shown})
    return {"visible_ms": visible[0][0], "full_ms": shown, "fade_levels": len(fade)}


def one_run(binary, data, headlines, seconds, compositor="picom", place=USUAL, watch=True):
    with tempfile.TemporaryDirectory(prefix="zr5bench-") as root:
        with XSession(root, compositor=compositor, screen=place["screen"]) as session:
            work = WorkFolder(root, data, headlines=headlines)
            work.write("zr5.ini", settings_text(rect=place["rect"]))
            ticker = Ticker(session, binary, work, os.path.join(root, "run"))
            try:
                screen = watch_start(session, ticker) if watch else None
                if not watch:
                    ticker.start()
                ticker.main_window(30)
                first = wait_until(ticker.first_frame_ms, 30, 0.05, "the first-frame line")
                result = {"first_frame_ms": first, "screen": screen}
                if seconds:
                    ticker.wait_for_headlines(60)
                    # The scrolling costs all day; the start-up patrol's own work is over by then.
                    time.sleep(SETTLE_SECONDS)
                    result["cpu"] = measure_scrolling(session, ticker.process, seconds)
                    result["peak_kb"] = status_kb(ticker.process.pid, "VmHWM")
                    result["rss_kb"] = status_kb(ticker.process.pid, "VmRSS")
                return result
            finally:
                stop_process(ticker.process)
                ticker.close()


def bare_run(binary, seconds, place):
    """The yardstick window in the same conditions as the ticker."""
    with tempfile.TemporaryDirectory(prefix="zr5bench-") as root:
        with XSession(root, compositor="picom", screen=place["screen"]) as session:
            x, y, width, height = place["rect"]
            process = session.spawn("bare", [binary, str(width), str(height), str(x), str(y)],
                                    env=session.env, track=False)
            try:
                time.sleep(2)
                if process.poll() is not None:
                    raise RuntimeError(f"the bare window ended with {process.returncode}")
                return measure_scrolling(session, process, seconds, name="zr5a")
            finally:
                stop_process(process)


def median_shares(measured):
    """Each figure's median over several sessions: one session's figures
    move with where the scheduler happens to put the program and the server."""
    return {name: statistics.median(shares[name] for shares in measured) for name in measured[0]}


def verdict(value, goal):
    return "met" if value < goal else "MISSED"


def percent(share):
    return f"{share * 100:.1f}%" if share is not None else "-"


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--zr5a", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--bare", help="the yardstick window (bare_window_bench)")
    parser.add_argument("--before", help="an earlier build of zr5a to measure beside")
    parser.add_argument("--seconds", type=float, default=15)
    parser.add_argument("--runs", type=int, default=3, help="sessions each CPU figure is the median of")
    parser.add_argument("--headlines", type=int, default=100)
    parser.add_argument("--starts", type=int, default=5, help="runs timed for the first frame")
    args = parser.parse_args()
    missing = missing_tools(["picom"])
    if missing:
        print("ticker_bench: skipped, missing " + ", ".join(missing))
        return 0

    binary = os.path.abspath(args.zr5a)
    runs = max(1, args.runs)

    def session_cpu(program, **how):
        return one_run(program, args.data, args.headlines, args.seconds, watch=False, **how)["cpu"]

    def ticker_cpu(program, **how):
        return median_shares([session_cpu(program, **how) for _ in range(runs)])

    def bare_cpu(place):
        return median_shares([bare_run(os.path.abspath(args.bare), args.seconds, place) for _ in range(runs)])

    main_run = one_run(binary, args.data, args.headlines, args.seconds)
    cpu = median_shares([main_run["cpu"]] + [session_cpu(binary) for _ in range(runs - 1)])
    wide = ticker_cpu(binary, place=WIDE)
    shaped = ticker_cpu(binary, compositor=None)
    many = one_run(binary, args.data, MANY_HEADLINES, 5, watch=False)
    starts = [main_run] + [one_run(binary, args.data, args.headlines, 0) for _ in range(max(0, args.starts - 1))]
    bare = bare_wide = before = before_wide = None
    if args.bare:
        bare = bare_cpu(USUAL)
        bare_wide = bare_cpu(WIDE)
    if args.before:
        earlier = os.path.abspath(args.before)
        before = ticker_cpu(earlier)
        before_wide = ticker_cpu(earlier, place=WIDE)
    firsts = [run["first_frame_ms"] for run in starts]
    screens = [run["screen"] for run in starts if run["screen"]]

    first = statistics.median(firsts)
    peak_mb = main_run["peak_kb"] / 1024
    many_peak_mb = many["peak_kb"] / 1024

    def pick(run, key):
        return run[key] if run else None

    print(f"ticker_bench: bundled skin, {args.headlines} headlines, {args.seconds:g} s of scrolling "
          f"under Xvfb + openbox + picom; each CPU figure the median of {runs} sessions")
    print(f"  {'CPU, share of one core':<36}{'zr5a':>9}{'before':>9}{'bare Qt':>9}{'goal':>9}")
    rows = [("zr5a, 600 px", cpu["zr5a"], pick(before, "zr5a"), pick(bare, "zr5a"), GOAL_CPU_SHARE),
            ("zr5a + Xvfb + picom, 600 px", cpu["desktop"], pick(before, "desktop"), pick(bare, "desktop"),
             GOAL_DESKTOP_SHARE),
            ("zr5a, 2560 px", wide["zr5a"], pick(before_wide, "zr5a"), pick(bare_wide, "zr5a"),
             GOAL_WIDE_CPU_SHARE),
            ("zr5a + Xvfb + picom, 2560 px", wide["desktop"], pick(before_wide, "desktop"),
             pick(bare_wide, "desktop"), None)]
    for label, now, earlier, yardstick, goal in rows:
        judged = f"{percent(goal):>9}  {verdict(now, goal)}" if goal else ""
        print(f"  {label:<36}{percent(now):>9}{percent(earlier):>9}{percent(yardstick):>9}{judged}")
    print(f"  {'figure':<36}{'measured':>12}{'goal':>12}")
    print(f"  {'zr5a peak memory (VmHWM)':<36}{peak_mb:>10.1f}MB{GOAL_PEAK_MB:>10}MB"
          f"  {verdict(peak_mb, GOAL_PEAK_MB)}")
    print(f"  {f'  with {MANY_HEADLINES} headlines':<36}{many_peak_mb:>10.1f}MB{GOAL_PEAK_MB:>10}MB"
          f"  {verdict(many_peak_mb, GOAL_PEAK_MB)}")
    print(f"  {'start to first frame (median)':<36}{first:>10.0f}ms{GOAL_FIRST_FRAME_MS:>10}ms"
          f"  {verdict(first, GOAL_FIRST_FRAME_MS)}")
    print(f"  first frame of each start: {', '.join(f'{ms} ms' for ms in firsts)}")
    if screens:
        visible = statistics.median(screen["visible_ms"] for screen in screens)
        print(f"  {'first visible on screen (median)':<36}{visible:>10.0f}ms{GOAL_FIRST_VISIBLE_MS:>10}ms"
              f"  {verdict(visible, GOAL_FIRST_VISIBLE_MS)}")
        for screen in screens:
            print(f"    from spawn: visible after {screen['visible_ms']:.0f} ms, full strength after "
                  f"{screen['full_ms']:.0f} ms, {screen['fade_levels']} fade levels seen between")
    else:
        print("  first visible on screen: the window was never seen in the strip read back")
    print(f"  resident at the end: {main_run['rss_kb'] / 1024:.1f} MB")
    others = ", ".join(f"{name} {share * 100:.1f}%" for name, share in cpu.items()
                       if name not in ("zr5a", "desktop"))
    print(f"  also busy meanwhile: {others}")
    print("  without a compositor (shaped window), beside the composited run:")
    print(f"  {'CPU share of one core':<36}{'shaped':>10}{'composited':>12}{'ratio':>8}")
    for name in ("zr5a", "Xvfb"):
        ratio = shaped[name] / cpu[name] if cpu[name] else float("inf")
        print(f"  {name:<36}{shaped[name] * 100:>9.1f}%{cpu[name] * 100:>11.1f}%{ratio:>8.2f}")
    ratio = shaped["zr5a"] / cpu["zr5a"] if cpu["zr5a"] else float("inf")
    print(f"  {'zr5a shaped / composited':<36}{ratio:>10.2f}{GOAL_SHAPED_RATIO:>12.2f}"
          f"  {verdict(ratio, GOAL_SHAPED_RATIO)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
