"""The ticker on a real X server: start, scrolling, links, keys, menus, tray,
single instance, skin fallback, translucency, grips and bad input.

Run one group:  python3 gui_cases.py --zr5a BIN --data DATA_DIR GroupName
Exit status 77 means the X tools are missing (the test is skipped)."""

import argparse
import http.server
import os
import shutil
import signal
import sys
import tempfile
import threading
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from ticker import (BUNDLED_LIST, CATEGORY, SCRIPT_NAME, SKIN, Ticker, WorkFolder, region,  # noqa: E402
                    settings_text, shots_differ)
from xsession import (SCREEN_HEIGHT, SCREEN_WIDTH, XSession, close_colour, missing_tools,  # noqa: E402
                      parse_colour, wait_until)

OPTIONS = argparse.Namespace(zr5a=None, data=None, keep=False)

# Where the bundled skin draws what (window coordinates of the 600 x 48 bar).
MESSAGE_TOP, MESSAGE_HEIGHT = 20, 16
ICON_RECT = (10, 13, 16, 16)
MESSAGE_LEFT, MESSAGE_RIGHT_MARGIN = 34, 36
RIGHT_GRIP_WIDTH = 8
# Pixels the bar's frame leaves fully transparent (its rounded corners).
CLEAR_CORNERS = ("top-left", "top-right", "bottom-left", "bottom-right")

SKIN_ERROR_CAPTION = "ZR5 skin script error"
NO_SKIN_SCRIPT = (SKIN_ERROR_CAPTION + ": :: \u30b9\u30af\u30ea\u30d7\u30c8\u30d5\u30a1\u30a4\u30eb\u304c"
                  "\u898b\u3064\u304b\u308a\u307e\u305b\u3093\u3002")
NO_SKINS_FOLDER = "ZR5 ERROR: Skins\u30d5\u30a9\u30eb\u30c0\u304c\u898b\u3064\u304b\u308a\u307e\u305b\u3093\u3002"
NO_SKIN_IN_FOLDER = ("ZR5 ERROR: Skins\u30d5\u30a9\u30eb\u30c0\u5185\u306b\u30d5\u30a9\u30eb\u30c0\u304c"
                     "\u898b\u3064\u304b\u308a\u307e\u305b\u3093\u3002")


def corner(window, name):
    x = 0 if "left" in name else window.width - 1
    y = 0 if "top" in name else window.height - 1
    return x, y


class GuiCase(unittest.TestCase):
    compositor = "picom"
    tray = False
    root_colour = "#204080"
    headlines = 12
    screen = (SCREEN_WIDTH, SCREEN_HEIGHT)

    def setUp(self):
        missing = missing_tools([self.compositor] if self.compositor else [])
        if missing:
            raise unittest.SkipTest("missing: " + ", ".join(missing))
        self.root = tempfile.mkdtemp(prefix="zr5gui-")
        if not OPTIONS.keep:
            self.addCleanup(shutil.rmtree, self.root, True)
        self.session = XSession(self.root, compositor=self.compositor, tray=self.tray,
                                root_colour=self.root_colour, screen=self.screen)
        self.addCleanup(self.session.stop)
        self.session.start()
        self.work = WorkFolder(self.root, OPTIONS.data, headlines=self.headlines)

    def launch(self, extra_env=None):
        self.runs = getattr(self, "runs", 0) + 1
        folder = os.path.join(self.root, f"run{self.runs}")
        ticker = Ticker(self.session, OPTIONS.zr5a, self.work, folder, extra_env).start()
        # Cleanups run last-in first-out: the program ends before its log is read.
        self.addCleanup(self.assert_no_sanitizer_report, ticker)
        self.addCleanup(ticker.close)
        return ticker

    def assert_no_sanitizer_report(self, ticker):
        """Against a sanitizer build, any report fails the case that caused it."""
        log = ticker.stderr()
        for marker in ("ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:"):
            if marker in log:
                report = log[log.index(marker):]
                frames = [line for line in report.splitlines() if " in zr5::" in line or "SUMMARY" in line]
                self.fail("\n".join([report.splitlines()[0], *frames[:12]]))

    def xdo(self, *args):
        return self.session.xdotool(*args)

    def wait_drawn(self, window, timeout=5):
        """Waits until the fade-in has made the bar's body differ from the desktop."""
        root = parse_colour(self.root_colour)
        wait_until(lambda: not close_colour(
            self.session.screenshot().pixel(window.x + 20, window.y + window.height // 2), root),
            timeout, 0.1, "the bar to be drawn")

    def move_pointer(self, x, y):
        # "mousemove --sync" waits 15 s when the pointer is already there.
        where = dict(item.split(":", 1) for item in self.xdo("getmouselocation").split() if ":" in item)
        if (int(where["x"]), int(where["y"])) != (x, y):
            self.xdo("mousemove", "--sync", x, y)

    def click(self, x, y, button=1, repeat=1):
        self.move_pointer(x, y)
        self.xdo("click", "--repeat", repeat, "--delay", 80, button)

    def drag(self, x, y, dx, dy, steps=8):
        """Press, travel in steps (so the program sees the drag start), release."""
        self.move_pointer(x, y)
        self.xdo("mousedown", 1)
        # Pacing, not waiting: the window manager takes over a drag only once it
        # has seen the motion, and nothing outside it shows when that happened.
        for step in range(1, steps + 1):
            time.sleep(0.04)
            self.xdo("mousemove", x + dx * step // steps, y + dy * step // steps)
        time.sleep(0.2)
        self.xdo("mouseup", 1)

    def new_popup(self, ticker, action, what):
        """Runs action; returns the popup it opened (a new visible window of the program)."""
        before = {w.id for w in ticker.windows()}
        action()
        return wait_until(lambda: next((w for w in ticker.windows() if w.id not in before), None),
                          10, 0.1, what)

    def open_menu_at(self, ticker, x, y):
        """Right click; returns the popup menu."""
        return self.new_popup(ticker, lambda: self.click(x, y, button=3), "a popup menu")

    def window_menu(self, ticker, window):
        return self.open_menu_at(ticker, window.x + window.width // 2, window.y + window.height // 2)

    def choose_from_window_menu(self, ticker, window, *keys):
        """Picks an item by keys and waits for the menu to close: the item has run
        by then, before the program handles any later input."""
        menu = self.window_menu(ticker, window)
        self.xdo("key", *keys)
        wait_until(lambda: menu.id not in {w.id for w in ticker.windows()}, 10, 0.1, "the menu to close")

    def exit_by_menu(self, ticker, window):
        """Up selects the last item of a fresh menu, which is "終了(&X)"."""
        self.window_menu(ticker, window)
        self.xdo("key", "Up", "Return")
        status = ticker.wait(20)
        self.assertEqual(status, 0, ticker.stderr())

    def answer_boxes(self, ticker, done, timeout=20):
        """Answers message boxes with Return until done() holds; returns its value.
        Boxes come before the ticker is shown, so every visible window is one."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            value = done()
            if value:
                return value
            for window in ticker.windows():
                self.session.xdotool("windowactivate", window.id, check=False)
                self.session.xdotool("key", "Return", check=False)
            time.sleep(0.3)
        self.fail("message boxes did not lead on: " + ticker.stderr())

    def dismiss_boxes_until_exit(self, ticker, timeout=20):
        self.answer_boxes(ticker, lambda: ticker.process.poll() is not None, timeout)
        return ticker.process.returncode


class StartupTest(GuiCase):
    headlines = 12

    def test_scrolls_opens_links_and_reacts_to_keys(self):
        ticker = self.launch()
        window = ticker.main_window()
        self.assertEqual((window.width, window.height), (600, 48))
        ticker.wait_for_headlines()
        message = (MESSAGE_LEFT, MESSAGE_TOP, window.width - MESSAGE_LEFT - MESSAGE_RIGHT_MARGIN,
                   MESSAGE_HEIGHT)
        self.assertTrue(shots_differ(self.session, window, message), "the headline does not move")

        # The shown headline may be a notice; double-click until one of ours opens.
        ours = set(self.work.links(self.headlines))
        for _ in range(6):
            self.click(window.x + window.width // 2, window.y + MESSAGE_TOP + 8, repeat=2)
            try:
                wait_until(lambda: set(ticker.opened()) & ours, 3, 0.1, "a link")
                break
            except TimeoutError:
                # Let another headline scroll under the pointer before the next
                # try: resting on the bar would hold the text still.
                self.move_pointer(window.x + window.width // 2, window.y + window.height + 100)
                time.sleep(1.5)
        self.assertTrue(set(ticker.opened()) & ours, f"opened: {ticker.opened()}")
        for link in ticker.opened():
            self.assertTrue(link in ours or link.startswith("https://"), link)

        # F1 swaps the breathing dot for the spinning comet: new pictures appear.
        idle = self.icon_pictures(window, 2.5)
        self.click(window.x + window.width // 2, window.y + MESSAGE_TOP + 8)
        self.xdo("key", "F1")
        spinning = self.icon_pictures(window, 1.5) - idle
        self.assertGreaterEqual(len(spinning), 2, "F1 did not change the icon's animation")
        self.assertTrue(ticker.running())

    def icon_pictures(self, window, seconds):
        pictures = set()
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            pictures.add(region(self.session.screenshot(), window, *ICON_RECT))
        return pictures


class MenuTest(GuiCase):
    def test_exit_from_window_menu_saves_the_window(self):
        self.work.write("zr5.ini", settings_text(rect=(150, 220, 520, 48)))
        ticker = self.launch()
        window = ticker.main_window()
        self.assertEqual((window.x, window.y, window.width, window.height), (150, 220, 520, 48))
        menu = self.window_menu(ticker, window)
        self.assertGreater(menu.height, 100)
        self.xdo("key", "Up", "Return")
        self.assertEqual(ticker.wait(20), 0, ticker.stderr())
        saved = self.work.ini()["window"]
        self.assertEqual(saved["skin"], SKIN)
        self.assertEqual([int(saved[k]) for k in ("x", "y", "width", "height")], [150, 220, 520, 48])
        self.assertEqual(self.work.ini()["script"]["0000"], f"N,*,{SCRIPT_NAME},{CATEGORY}")

    def test_escape_closes_the_menu_and_the_ticker_stays(self):
        ticker = self.launch()
        window = ticker.main_window()
        menu = self.window_menu(ticker, window)
        self.xdo("key", "Escape")
        wait_until(lambda: menu.id not in {w.id for w in ticker.windows()}, 10, 0.1, "the menu to close")
        self.assertTrue(ticker.running())
        self.exit_by_menu(ticker, window)


class TrayTest(GuiCase):
    tray = True

    def test_tray_menu_has_the_move_to_top_left_item(self):
        self.work.write("zr5.ini", settings_text(rect=(300, 200, 600, 48)))
        ticker = self.launch()
        window = ticker.main_window()
        icon = wait_until(lambda: next((w for w in ticker.windows() if w.area < window.area // 4), None),
                          15, 0.1, "the tray icon")
        self.assertLessEqual(icon.height, 64)
        # A left click only raises the window; no menu opens.
        self.click(icon.x + icon.width // 2, icon.y + icon.height // 2)
        # Nothing may appear, so there is no event to wait for: a menu would
        # have opened well within this settle time.
        time.sleep(0.8)
        self.assertEqual({w.id for w in ticker.windows()}, {window.id, icon.id})

        window_menu = self.window_menu(ticker, window)
        self.xdo("key", "Escape")
        wait_until(lambda: window_menu.id not in {w.id for w in ticker.windows()}, 10, 0.1, "menu to close")

        tray_menu = self.open_menu_at(ticker, icon.x + icon.width // 2, icon.y + icon.height // 2)
        self.assertGreater(tray_menu.height, window_menu.height, "the tray menu lacks an item")
        # From the bottom: exit, version, help, then "デスクトップの左上へ移動(&O)".
        self.xdo("key", "Up", "Up", "Up", "Up", "Return")
        moved = wait_until(lambda: (lambda w: w if (w.x, w.y) == (0, 0) else None)(ticker.main_window()),
                           10, 0.1, "the move to the top left")
        self.assertEqual((moved.width, moved.height), (window.width, window.height))
        self.exit_by_menu(ticker, moved)
        saved = self.work.ini()["window"]
        self.assertEqual((int(saved["x"]), int(saved["y"])), (0, 0))


class NoTrayTest(GuiCase):
    tray = False

    def test_runs_without_a_tray_host(self):
        ticker = self.launch()
        window = ticker.main_window()
        wait_until(lambda: "tray unavailable" in ticker.stderr(), 10, 0.1, "the tray warning")
        self.assertTrue(ticker.running())
        self.wait_drawn(window)
        # A panel that starts later (or restarts) still gets the icon.
        self.assertEqual(len(ticker.windows()), 1)
        self.session.start_tray()
        wait_until(lambda: len(ticker.windows()) == 2, 15, 0.2, "the late tray icon")
        self.exit_by_menu(ticker, window)


class HeldProxy:
    """A local HTTP proxy that holds every answer until released, so a patrol
    can be caught in the middle of a fetch."""

    def __init__(self):
        self.requested = threading.Event()
        self.release = threading.Event()
        outer = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                outer.requested.set()
                outer.release.wait(30)
                body = b"<html><body><p>slow headline</p></body></html>"
                self.send_response(200)
                self.send_header("Content-Type", "text/html")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

            def do_CONNECT(self):
                self.send_error(405)

            def log_message(self, *args):
                pass

        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.server.daemon_threads = True
        self.port = self.server.server_address[1]
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()

    def close(self):
        self.release.set()
        self.server.shutdown()
        self.server.server_close()


SLOW_SCRIPT = b"""category "Slow"
{
    var doc = new Document();
    var buf;
    doc.open("http://slow.invalid/page");
    while (buf = doc.get())
        if (!buf.isTag())
            Display(buf, "http://slow.invalid/1");
    doc.close();
}
"""


LOOP_SCRIPT = b"""category "Loop"
{
    while (1) { }
}
"""

SHEET_TITLE = "\u8a2d\u5b9a"  # "設定"


class ClosingTest(GuiCase):
    """Exit never waits for a hung script or a fetch that does not end."""
    compositor = None

    def start_hung(self, script_name, script, category, proxy_port=None):
        self.work.write(os.path.join("Scripts", script_name), script)
        # Limits far away: only the cancel may end the run.
        self.work.write("zr5.ini", settings_text(rect=(100, 120, 600, 48), scripts=((script_name, category),),
                                                 proxy_port=proxy_port)
                        + b"[Timer]\r\nScriptLimit=86400\r\nFetchLimit=86400\r\n")
        ticker = self.launch()
        window = ticker.main_window()
        wait_until(lambda: f"# {script_name}".encode() in self._log(), 20, 0.1, "the patrol to start")
        return ticker, window

    def _log(self):
        try:
            return self.work.read("debug_display.txt")
        except FileNotFoundError:
            return b""

    def assert_gone_and_saved(self, ticker, requested_at, how):
        status = ticker.wait(5)
        took = time.monotonic() - requested_at
        print(f"\n{how}: gone after {took:.2f} s", file=sys.stderr)
        self.assertIsNotNone(status, f"still running 5 s after {how}: {ticker.stderr()}")
        self.assertEqual(status, 0, ticker.stderr())
        # The session's own change (the lock) reached the settings file.
        self.assertEqual(self.work.ini()["window"]["sticking"], "1")
        # A second start takes the lock at once.
        again = self.launch()
        again.main_window()
        self.assertTrue(again.running())
        return again

    def lock_position(self, ticker, window):
        # From the bottom of the window menu: exit, version, help, then "位置サイズ固定(&S)".
        self.choose_from_window_menu(ticker, window, "Up", "Up", "Up", "Up", "Return")

    def test_exit_from_the_menu_during_an_endless_script(self):
        ticker, window = self.start_hung("loop.zrs", LOOP_SCRIPT, "Loop")
        self.lock_position(ticker, window)
        self.window_menu(ticker, window)
        self.xdo("key", "Up")
        requested = time.monotonic()
        self.xdo("key", "Return")
        self.assert_gone_and_saved(ticker, requested, "exit from the menu")

    def test_termination_signals_during_an_endless_script(self):
        for name in ("SIGTERM", "SIGINT"):
            with self.subTest(signal=name):
                ticker, window = self.start_hung("loop.zrs", LOOP_SCRIPT, "Loop")
                self.lock_position(ticker, window)
                requested = time.monotonic()
                os.kill(ticker.process.pid, getattr(signal, name))
                # The second copy goes too, so that the next round can start.
                self.assert_gone_and_saved(ticker, requested, name).close()

    def test_exit_during_a_fetch_that_never_ends(self):
        proxy = HeldProxy()
        self.addCleanup(proxy.close)
        ticker, window = self.start_hung("slow.zrs", SLOW_SCRIPT, "Slow", proxy_port=proxy.port)
        self.assertTrue(proxy.requested.wait(20), "the patrol never fetched")
        self.lock_position(ticker, window)
        requested = time.monotonic()
        os.kill(ticker.process.pid, signal.SIGTERM)
        self.assert_gone_and_saved(ticker, requested, "SIGTERM during a fetch")

    def test_settings_sheet_opens_at_once_during_an_endless_script(self):
        ticker, window = self.start_hung("loop.zrs", LOOP_SCRIPT, "Loop")
        # "オプション(&O)..." is the window menu's first item.
        self.window_menu(ticker, window)
        self.xdo("key", "Down")
        requested = time.monotonic()
        self.xdo("key", "Return")

        def sheet():
            out = self.session.run("xdotool", "search", "--all", "--onlyvisible", "--pid",
                                   str(ticker.process.pid), "--name", f"^{SHEET_TITLE}$", check=False)
            return out.split()[0] if out.split() else None
        found = wait_until(sheet, 5, 0.05, "the settings sheet")
        print(f"\nsheet shown after {time.monotonic() - requested:.2f} s", file=sys.stderr)
        self.xdo("windowactivate", "--sync", found)
        self.xdo("key", "Escape")
        wait_until(lambda: not sheet(), 10, 0.1, "the sheet to close")
        self.assertTrue(ticker.running())


class SingleInstanceTest(GuiCase):
    def test_second_start_ends_at_once_and_touches_nothing(self):
        first = self.launch()
        window = first.main_window()
        ini_path = self.work.file("zr5.ini")
        first.wait_for_headlines()
        before = (self.work.read("zr5.ini"), os.stat(ini_path).st_mtime_ns, sorted(os.listdir(self.work.path)),
                  self.work.read("debug_display.txt"))
        second = self.launch()
        self.assertEqual(second.wait(10), 1, second.stderr())
        self.assertEqual((self.work.read("zr5.ini"), os.stat(ini_path).st_mtime_ns, sorted(os.listdir(self.work.path)),
                          self.work.read("debug_display.txt")), before)
        self.assertEqual(second.windows(), [])
        self.assertTrue(first.running())
        self.assertEqual(first.main_window().id, window.id)
        # The lock goes with the first copy: a later start runs normally.
        self.exit_by_menu(first, window)
        third = self.launch()
        third.main_window()
        self.assertTrue(third.running())


class SkinFallbackTest(GuiCase):
    compositor = None

    def test_missing_skin_falls_back_to_the_first_skin_folder(self):
        skins = self.work.file("Skins")
        # Neither hidden folders, group folders nor plain files are skins.
        os.makedirs(os.path.join(skins, ".hidden"))
        with open(os.path.join(skins, ".hidden", "zr5.skn"), "w") as handle:
            handle.write("this is no skin\n")
        os.makedirs(os.path.join(skins, "@Aaa"))
        self.work.write("zr5.ini", settings_text(skin="Vanished"))
        ticker = self.launch()
        # The named skin's load fails with a box of its own; then the fallback.
        wait_until(lambda: NO_SKIN_SCRIPT in ticker.stderr(), 15, 0.1, "the skin error")
        window = self.answer_boxes(ticker, lambda: next(
            (w for w in ticker.windows() if (w.width, w.height) == (600, 48)), None))
        self.assertEqual(ticker.stderr().count(SKIN_ERROR_CAPTION), 1, ticker.stderr())
        self.exit_by_menu(ticker, window)
        self.assertEqual(self.work.ini()["window"]["skin"], SKIN)

    def test_only_the_first_skin_folder_is_tried(self):
        broken = self.work.file(os.path.join("Skins", "Aaa"))
        os.makedirs(broken)
        with open(os.path.join(broken, "zr5.skn"), "w") as handle:
            handle.write("window main {{ file ; }\n")
        self.work.write("zr5.ini", settings_text(skin=""))
        ticker = self.launch()
        self.assertEqual(self.dismiss_boxes_until_exit(ticker), 1)
        # One box: the syntax error of Aaa; Zephyr after it is never tried.
        self.assertEqual(ticker.stderr().count(SKIN_ERROR_CAPTION), 1, ticker.stderr())
        self.assertNotIn(NO_SKIN_SCRIPT, ticker.stderr())

    def test_missing_skins_folder(self):
        shutil.rmtree(self.work.file("Skins"))
        ticker = self.launch()
        self.assertEqual(self.dismiss_boxes_until_exit(ticker), 1)
        self.assertIn(NO_SKINS_FOLDER, ticker.stderr())

    def test_skins_folder_without_skins(self):
        skins = self.work.file("Skins")
        shutil.rmtree(skins)
        os.makedirs(os.path.join(skins, "@Group", "Inner"))
        ticker = self.launch()
        self.assertEqual(self.dismiss_boxes_until_exit(ticker), 1)
        self.assertIn(NO_SKIN_IN_FOLDER, ticker.stderr())


class TranslucencyTest(GuiCase):
    root_colour = "#00ff00"
    compositor = None

    def assert_clear_corners(self, ticker):
        window = ticker.main_window()
        green = parse_colour(self.root_colour)

        def corners_show_root():
            shot = self.session.screenshot()
            pixels = [shot.pixel(window.x + x, window.y + y) for x, y in
                      (corner(window, name) for name in CLEAR_CORNERS)]
            inside = shot.pixel(window.x + 20, window.y + window.height // 2)
            return all(close_colour(p, green) for p in pixels) and not close_colour(inside, green)
        try:
            wait_until(corners_show_root, 5, 0.2, "the desktop through the corners")
        except TimeoutError:
            shot = self.session.screenshot()
            self.fail("corners: " + str([shot.pixel(window.x + x, window.y + y) for x, y in
                                         (corner(window, name) for name in CLEAR_CORNERS)]))

    def test_shaped_without_compositor_and_blended_with_one(self):
        ticker = self.launch()
        self.assert_clear_corners(ticker)
        # A compositor that starts later: the window follows it.
        # The corners look alike in both modes, so there is no change to wait
        # for: the settle time lets the window follow before they are checked.
        self.session.start_compositor("picom")
        time.sleep(0.5)
        self.assert_clear_corners(ticker)
        self.session.stop_child("picom")
        time.sleep(0.5)
        self.assert_clear_corners(ticker)

    def test_soft_shadow_is_blended_by_xcompmgr(self):
        if missing_tools(["xcompmgr"]):
            self.skipTest("xcompmgr missing")
        self.session.start_compositor("xcompmgr")
        ticker = self.launch()
        self.assert_clear_corners(ticker)
        window = ticker.main_window()
        # The shadow's faint pixels (alpha about 10) must blend, not show black.
        shot = self.session.screenshot()
        shadow = shot.pixel(window.x, window.y + window.height // 2)
        self.assertTrue(close_colour(shadow, parse_colour(self.root_colour), 24), shadow)


class GripTest(GuiCase):
    compositor = None

    def test_right_grip_resizes_and_middle_moves(self):
        self.work.write("zr5.ini", settings_text(rect=(100, 200, 600, 48)))
        ticker = self.launch()
        window = ticker.main_window()
        self.assertEqual((window.x, window.y, window.width, window.height), (100, 200, 600, 48))

        # The grip's outer half is the frame's soft shadow, which the shape
        # leaves out without a compositor: take it by its visible inner half.
        self.drag(window.x + window.width - RIGHT_GRIP_WIDTH + 1, window.y + window.height // 2, 80, 0)
        resized = wait_until(lambda: (lambda w: w if w.width != 600 else None)(ticker.main_window()),
                             10, 0.1, "the resize")
        self.assertAlmostEqual(resized.width, 680, delta=12)
        self.assertEqual((resized.x, resized.y, resized.height), (100, 200, 48))

        self.drag(resized.x + resized.width // 2, resized.y + resized.height // 2, 60, 90)
        moved = wait_until(lambda: (lambda w: w if (w.x, w.y) != (100, 200) else None)(ticker.main_window()),
                           10, 0.1, "the move")
        self.assertAlmostEqual(moved.x, 160, delta=12)
        self.assertAlmostEqual(moved.y, 290, delta=12)
        self.assertEqual((moved.width, moved.height), (resized.width, resized.height))

        self.exit_by_menu(ticker, moved)
        saved = self.work.ini()["window"]
        self.assertEqual([int(saved[k]) for k in ("x", "y", "width", "height")],
                         [moved.x, moved.y, moved.width, moved.height])

    def test_position_lock_stops_drags_but_not_the_menu(self):
        self.work.write("zr5.ini", settings_text(rect=(100, 200, 600, 48)))
        ticker = self.launch()
        window = ticker.main_window()
        # From the bottom of the window menu: exit, version, help, then "位置サイズ固定(&S)".
        self.choose_from_window_menu(ticker, window, "Up", "Up", "Up", "Up", "Return")
        self.drag(window.x + window.width - RIGHT_GRIP_WIDTH // 2, window.y + window.height // 2, 80, 0)
        self.drag(window.x + window.width // 2, window.y + window.height // 2, 60, 90)
        # The window must not move, so there is no event to wait for: an
        # unlocked one has moved well within this settle time.
        time.sleep(0.8)
        still = ticker.main_window()
        self.assertEqual((still.x, still.y, still.width, still.height), (100, 200, 600, 48))
        self.exit_by_menu(ticker, still)
        self.assertEqual(self.work.ini()["window"]["sticking"], "1")

        # The lock outlives the run.
        ticker = self.launch()
        window = ticker.main_window()
        self.drag(window.x + window.width // 2, window.y + window.height // 2, 60, 90)
        time.sleep(0.8)  # settle time, as above
        self.assertEqual((ticker.main_window().x, ticker.main_window().y), (100, 200))
        self.exit_by_menu(ticker, window)


class SkinMenuTest(GuiCase):
    compositor = None

    def test_group_skin_chosen_from_the_menu(self):
        ticker = self.launch()
        window = ticker.main_window()
        # "スキン(S)" is the third item; its submenu lists the group "Classic"
        # first, whose own submenu holds "Paper".
        self.window_menu(ticker, window)
        self.new_popup(ticker, lambda: self.xdo("key", "Down", "Down", "Down", "Right"), "the skin submenu")
        self.new_popup(ticker, lambda: self.xdo("key", "Right"), "the group submenu")
        self.xdo("key", "Return")
        paper = wait_until(lambda: next((w for w in ticker.windows() if (w.width, w.height) == (480, 32)), None),
                           10, 0.1, "the Paper skin")
        self.wait_drawn(paper)
        self.exit_by_menu(ticker, paper)
        self.assertEqual(self.work.ini()["window"]["skin"], "@Classic\\Paper")


class BadInputTest(GuiCase):
    compositor = None

    def assert_on_screen(self, window):
        visible_w = min(window.x + window.width, SCREEN_WIDTH) - max(window.x, 0)
        visible_h = min(window.y + window.height, SCREEN_HEIGHT) - max(window.y, 0)
        self.assertGreater(min(visible_w, visible_h), 0, window)
        self.assertGreaterEqual(visible_w * visible_h, window.area // 2, window)

    def test_saved_rectangle_off_screen_or_empty(self):
        for rect in ((5000, 4000, 600, 48), (-3000, -2000, 0, 0), (300, 300, 0, 0), (10, 10, -50, -7)):
            with self.subTest(rect=rect):
                self.work.write("zr5.ini", settings_text(rect=rect))
                ticker = self.launch()
                window = ticker.main_window()
                self.assert_on_screen(window)
                self.assertEqual(window.height, 48)
                self.assertGreaterEqual(window.width, 240)
                self.exit_by_menu(ticker, window)

    def test_garbage_settings_file(self):
        noise = bytes((i * 7919 + 13) % 256 for i in range(20000))
        self.work.write("zr5.ini", b"[Window]\r\nSkin=" + noise[:3000] + b"\r\nX=" + b"9" * 400
                        + b"\r\n[Script]\r\nCount=2147483647\r\n0000=N,*\r\n" + noise)
        ticker = self.launch()
        # Whatever the skin name read as, no folder has it: a box, then the fallback.
        window = self.answer_boxes(ticker, lambda: next(
            (w for w in ticker.windows() if (w.width, w.height) == (600, 48)), None))
        self.assert_on_screen(window)
        self.exit_by_menu(ticker, window)
        self.assertEqual(self.work.ini()["window"]["skin"], SKIN)

    def test_lost_x_server_ends_the_program_and_keeps_the_settings(self):
        ticker = self.launch()
        ticker.main_window()
        ticker.wait_for_headlines()
        before = self.work.ini()
        # The notice patrol is usually still running now, so the end races the worker.
        self.session.kill_server()
        status = ticker.wait(20)
        self.assertIsNotNone(status, "the program hangs without its X server")
        self.assertGreaterEqual(status, 0, "the program crashed when the X server went away")
        after = self.work.ini()
        self.assertEqual(after["script"], before["script"])
        self.assertEqual(after["window"]["skin"], SKIN)
        leftovers = set(os.listdir(self.work.path)) - {"Skins", "Help", "Scripts", "zr5.ini",
                                                       "debug_display.txt", BUNDLED_LIST}
        self.assertEqual(leftovers, set())


def main(module=None, default_case=None, extra_tools=()):
    """Runs the named groups of module (this one by default), or default_case
    (or the whole module) when none are named. 77: skipped, tools missing."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--zr5a", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--keep", action="store_true", help="keep the temporary folders")
    parser.add_argument("groups", nargs="*")
    args = parser.parse_args()
    OPTIONS.zr5a, OPTIONS.data, OPTIONS.keep = os.path.abspath(args.zr5a), args.data, args.keep
    if missing_tools(list(extra_tools)):
        print("skipped: missing " + ", ".join(missing_tools(list(extra_tools))))
        return 77
    loader = unittest.TestLoader()
    module = module or sys.modules[__name__]
    if args.groups:
        suite = unittest.TestSuite(loader.loadTestsFromName(name, module) for name in args.groups)
    elif default_case:
        suite = loader.loadTestsFromTestCase(default_case)
    else:
        suite = loader.loadTestsFromModule(module)
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    return 0 if result.wasSuccessful() else 1

if __name__ == "__main__":
    sys.exit(main())
