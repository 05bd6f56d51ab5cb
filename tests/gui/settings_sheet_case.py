"""The settings sheet on a real X server, opened from the tray menu: a site
registered on the RSS page and checked on the scripts page is patrolled as
soon as the sheet closes with OK and is kept in the settings file; after
Cancel it is neither.

Run:  python3 settings_sheet_case.py --zr5a BIN --data DATA_DIR SettingsSheetTest
Exit status 77 means the X tools are missing (the test is skipped)."""

import http.server
import os
import sys
import threading

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import gui_cases  # noqa: E402
from gui_cases import GuiCase  # noqa: E402
from ticker import CATEGORY, SCRIPT_NAME, SKIN, Ticker  # noqa: E402
from xsession import wait_until  # noqa: E402

SHEET_TITLE = "\u8a2d\u5b9a"  # "設定"
SITE_NAME = "Local feed"
FEED_PATH = "/feed.xml"
# The notice page follows every patrol, so its request marks a patrol's end.
NOTICE_PATH = "/notice"
# (title, path of its link); the third title checks the UTF-8 to Shift_JIS turn.
FEED_ITEMS = (("Alpha", "/a"), ("Bravo news", "/b"), ("\u30ac\u30f3\u30de\u306e\u898b\u51fa\u3057", "/c"))


def feed_document(port):
    items = "".join(f"<item><title>{title}</title><link>http://127.0.0.1:{port}{path}</link></item>"
                    for title, path in FEED_ITEMS)
    return ('<?xml version="1.0" encoding="UTF-8"?>\n<rss version="2.0"><channel><title>T</title>'
            f"<link>http://127.0.0.1:{port}/</link>{items}</channel></rss>\n").encode("utf-8")


class FeedServer:
    """A local web server with one RSS 2.0 feed and no notice page; records
    the paths asked for."""

    def __init__(self):
        self.requests = []
        outer = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                outer.requests.append(self.path)
                if self.path != FEED_PATH:
                    self.send_error(404)
                    return
                body = feed_document(outer.port)
                self.send_response(200)
                self.send_header("Content-Type", "application/rss+xml; charset=utf-8")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

            def log_message(self, *args):
                pass

        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.server.daemon_threads = True
        self.port = self.server.server_address[1]
        self.url = f"http://127.0.0.1:{self.port}{FEED_PATH}"
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()

    def close(self):
        self.server.shutdown()
        self.server.server_close()


def direct_settings():
    """The headline script checked and no proxy, so the feed is fetched directly."""
    lines = ["[Script]", "Count=1", f"0000=N,*,{SCRIPT_NAME},{CATEGORY}",
             "[Window]", f"Skin={SKIN}", "X=100", "Y=120", "Width=0", "Height=0",
             "[Proxy]", "Type=1", "Address=", "Port=8080", "Local=0"]
    return ("\r\n".join(lines) + "\r\n").encode("cp932")


class SettingsSheetTest(GuiCase):
    tray = True
    compositor = None
    headlines = 3

    def setUp(self):
        super().setUp()
        self.feed = FeedServer()
        self.addCleanup(self.feed.close)
        self.work.write("zr5.ini", direct_settings())

    def launch(self):
        folder = os.path.join(self.root, "run")
        ticker = Ticker(self.session, gui_cases.OPTIONS.zr5a, self.work, folder,
                        extra_env={"ZR5_NOTICE_URL": f"http://127.0.0.1:{self.feed.port}{NOTICE_PATH}"}).start()
        self.addCleanup(self.assert_no_sanitizer_report, ticker)
        self.addCleanup(ticker.close)
        return ticker

    def tray_icon(self, ticker, window):
        return wait_until(lambda: next((w for w in ticker.windows() if w.area < window.area // 4), None),
                          15, 0.1, "the tray icon")

    def tray_menu(self, ticker, icon):
        # A right click that lands while the closed sheet's focus change is
        # still in flight has been seen to open nothing: try again then.
        for attempt in range(3):
            try:
                return self.open_menu_at(ticker, icon.x + icon.width // 2, icon.y + icon.height // 2)
            except TimeoutError:
                if attempt == 2:
                    raise

    def sheet_window(self, ticker):
        def find():
            out = self.session.run("xdotool", "search", "--all", "--onlyvisible", "--pid",
                                   str(ticker.process.pid), "--name", f"^{SHEET_TITLE}$", check=False)
            return int(out.split()[0]) if out.split() else None
        return wait_until(find, 15, 0.1, "the settings sheet")

    def patrol_log(self):
        """The finished lines of the patrol log (a patrol may be writing it)."""
        try:
            text = self.work.read("debug_display.txt").decode("cp932", errors="replace")
        except FileNotFoundError:
            return []
        return text.split("\n")[:-1]

    def start_with_icon(self):
        """The program with its tray icon, after its first patrol."""
        ticker = self.launch()
        window = ticker.main_window()
        icon = self.tray_icon(ticker, window)
        ticker.wait_for_headlines()
        return ticker, icon

    def open_sheet(self, ticker, icon):
        # The tray menu's first item is "オプション(&O)...".
        self.tray_menu(ticker, icon)
        self.xdo("key", "Down", "Return")
        sheet = self.sheet_window(ticker)
        self.xdo("windowactivate", "--sync", sheet)
        return sheet

    def close_sheet(self, ticker, sheet, key):
        self.xdo("key", key)
        wait_until(lambda: sheet not in {w.id for w in ticker.windows()}, 10, 0.1, "the sheet to close")

    def add_checked_site(self):
        """Registers the feed on the RSS page and checks it on the scripts page.
        The sheet opens with focus on the tab bar; from there the chain runs
        through the site list to the name and URL fields, and Return in a field
        presses "新規追加", the default button while a field has focus."""
        self.xdo("key", "ctrl+Tab")
        self.xdo("key", "Tab", "Tab")
        self.xdo("type", "--delay", 20, SITE_NAME)
        self.xdo("key", "Tab")
        self.xdo("type", "--delay", 20, self.feed.url)
        self.xdo("key", "Return")
        # A new site starts unchecked. On the scripts page it is the last row,
        # and the hidden field's focus passes to that list.
        self.xdo("key", "ctrl+shift+Tab")
        self.xdo("key", "End", "space")

    def exit_by_tray(self, ticker, icon):
        # "終了(&X)" is the tray menu's last item.
        self.tray_menu(ticker, icon)
        self.xdo("key", "Up", "Return")
        self.assertEqual(ticker.wait(20), 0, ticker.stderr())
        return self.work.ini()["script"]

    def wait_for_log(self, ticker, done, what):
        try:
            return wait_until(lambda: done(self.patrol_log()), 30, 0.1, what)
        except TimeoutError:
            self.fail(f"no {what}; patrol log: {self.patrol_log()}; feed requests: {self.feed.requests}; "
                      f"stderr: {ticker.stderr()}")

    def test_new_site_is_patrolled_at_once_and_saved(self):
        ticker, icon = self.start_with_icon()
        sheet = self.open_sheet(ticker, icon)
        self.add_checked_site()
        # Focus is in the list, which passes Return on to OK, the default button.
        self.close_sheet(ticker, sheet, "Return")

        header = f"# {SITE_NAME}"
        expected = [f"{title} [http://127.0.0.1:{self.feed.port}{path}]" for title, path in FEED_ITEMS]

        def site_lines(log):
            lines = log[log.index(header) + 1:] if header in log else []
            return lines if len(lines) >= len(expected) else None
        self.assertEqual(self.wait_for_log(ticker, site_lines, "site headlines"), expected)
        self.assertIn(FEED_PATH, self.feed.requests)
        # The script checked before still runs, ahead of the site.
        log = self.patrol_log()
        self.assertLess(log.index(f"# {SCRIPT_NAME} - {CATEGORY}"), log.index(header))
        self.assertTrue(ticker.running())

        scripts = self.exit_by_tray(ticker, icon)
        self.assertEqual(scripts["count"], "2")
        self.assertEqual(scripts["0000"], f"N,*,{SCRIPT_NAME},{CATEGORY}")
        self.assertEqual(scripts["0001"], f"R,*,{SITE_NAME},{self.feed.url}")

    def test_cancelled_site_is_neither_patrolled_nor_saved(self):
        ticker, icon = self.start_with_icon()
        sheet = self.open_sheet(ticker, icon)
        self.add_checked_site()
        self.close_sheet(ticker, sheet, "Escape")

        # OK on an untouched sheet starts a patrol of what is left.
        wait_until(lambda: self.feed.requests.count(NOTICE_PATH) == 1, 20, 0.1, "the first notice fetch")
        sheet = self.open_sheet(ticker, icon)
        self.close_sheet(ticker, sheet, "Return")
        wait_until(lambda: self.feed.requests.count(NOTICE_PATH) == 2, 30, 0.1, "the second patrol's end")
        log = self.patrol_log()
        self.assertIn(f"# {SCRIPT_NAME} - {CATEGORY}", log)
        self.assertNotIn(f"# {SITE_NAME}", log)
        self.assertEqual(self.feed.requests, [NOTICE_PATH, NOTICE_PATH])
        self.assertTrue(ticker.running())

        scripts = self.exit_by_tray(ticker, icon)
        self.assertEqual(scripts["count"], "1")
        self.assertNotIn("0001", scripts)


def main():
    return gui_cases.main(sys.modules[__name__], SettingsSheetTest, ["trayer"])

if __name__ == "__main__":
    sys.exit(main())
