"""The ticker's pointer and keyboard on a real X server: resting the pointer
on the bar stops the text, the wheel sets the speed (kept in zr5.ini), a
double-click opens the headline under the pointer, keys step through the
headlines, open one and pause, a patrol that ends mid-scroll lets the front
title finish, and with a scale factor of 2 the text is drawn at the
screen's resolution.

Run:  python3 interaction_case.py --zr5a BIN --data DATA_DIR InteractionTest
Exit status 77 means the X tools are missing (the test is skipped)."""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import gui_cases  # noqa: E402
from gui_cases import (MESSAGE_HEIGHT, MESSAGE_LEFT, MESSAGE_RIGHT_MARGIN, MESSAGE_TOP, GuiCase,  # noqa: E402
                       HeldProxy)
from ticker import CATEGORY, LINK_PREFIX, SCRIPT_NAME, region, settings_text, shots_differ  # noqa: E402
from xsession import Window, wait_until  # noqa: E402

# Titles whose ink widths lie far apart, so a screenshot tells which is which.
TITLES = ("A0", "\u898b\u51fa\u3057\u4e00", "gui headline with a long title to measure")
# Ink widths in pixels (bundled skin, IPAGothic): the three titles above, then
# the start-up title "Now Connecting...".
TITLE_INK = ((10, 22), (54, 72), (300, 350))
CONNECTING_INK = (122, 142)
# Titles are drawn 100 px apart; the glyphs of one title never this far.
GLYPH_GAP = 30
# A title stepped to with the keys starts 100 px into the message box.
ENTRY_X = MESSAGE_LEFT + 100
# The text is near-white on dark glass.
INK_LEVEL = 200
# How long the text must stay put to count as stopped.
STILL_INTERVAL = 1.0
# Room for the bar at a scale factor of 2.
LARGE_SCREEN = (1600, 1000)


def titles_script(fetch_first=False):
    """TITLES with links LINK_PREFIX + index; fetch_first: read a page first,
    so that the patrol lasts as long as the proxy holds the answer."""
    fetch = ('    var doc = new Document();\n    var buf;\n    doc.open("http://slow.invalid/page");\n'
             "    while (buf = doc.get()) { }\n    doc.close();\n") if fetch_first else ""
    shows = "".join(f'    Display("{title}", "{LINK_PREFIX}{index}");\n' for index, title in enumerate(TITLES))
    return f'category "{CATEGORY}"\n{{\n{fetch}{shows}}}\n'.encode("cp932")


def settings_with(proxy_port=None, **window):
    """The usual settings with more [Window] keys, e.g. Speed="3"."""
    extra = "".join(f"{key}={value}\r\n" for key, value in window.items())
    return settings_text(rect=(100, 120, 600, 48), proxy_port=proxy_port).replace(
        b"[Window]\r\n", f"[Window]\r\n{extra}".encode())


def message_band(window):
    """The `main` message box, (x, y, width, height) in window coordinates."""
    return MESSAGE_LEFT, MESSAGE_TOP, window.width - MESSAGE_LEFT - MESSAGE_RIGHT_MARGIN, MESSAGE_HEIGHT


def ink_spans(image, window):
    """[left, right) runs of the message box's columns that hold text, in
    window coordinates, one per title on screen."""
    spans = []
    left, top, width, height = message_band(window)
    for x in range(left, left + width):
        if any(min(image.pixel(window.x + x, window.y + top + y)) > INK_LEVEL for y in range(height)):
            if spans and x - spans[-1][1] <= GLYPH_GAP:
                spans[-1][1] = x + 1
            else:
                spans.append([x, x + 1])
    return [tuple(span) for span in spans]


def whole(span, window):
    """True when the box's edges do not cut the span."""
    left, _, width, _ = message_band(window)
    return span[0] > left and span[1] < left + width


def title_of(span, window):
    """Index in TITLES of the title a span shows whole; None for any other."""
    if not whole(span, window):
        return None
    return next((index for index, (low, high) in enumerate(TITLE_INK) if low <= span[1] - span[0] <= high), None)


def is_connecting(span, window):
    low, high = CONNECTING_INK
    return whole(span, window) and low <= span[1] - span[0] <= high


def is_block_upscale(image, x, y, width, height):
    """True when every 2 x 2 block of the rectangle (from its even corner) is one colour."""
    for row in range(y, y + height - 1, 2):
        for column in range(x, x + width - 1, 2):
            block = {image.pixel(column + dx, row + dy) for dx in (0, 1) for dy in (0, 1)}
            if len(block) > 1:
                return False
    return True


class InteractionTest(GuiCase):
    compositor = "picom"
    screen = LARGE_SCREEN

    def setUp(self):
        super().setUp()
        self.work.write(os.path.join("Scripts", SCRIPT_NAME), titles_script())

    # -- helpers -------------------------------------------------------------

    def band(self, window):
        return region(self.session.screenshot(), window, *message_band(window))

    def spans(self, window):
        return ink_spans(self.session.screenshot(), window)

    def wait_for_spans(self, window, done, what, timeout=10):
        """Screenshots until done(spans) holds; returns its value."""
        return wait_until(lambda: done(self.spans(window)), timeout, 0.05, what)

    def assert_still(self, window, what):
        """Once two shots agree, one taken STILL_INTERVAL later agrees too."""
        def settled():
            first = self.band(window)
            time.sleep(0.2)
            return first if self.band(window) == first else None
        first = wait_until(settled, 5, 0, what)
        time.sleep(STILL_INTERVAL)
        self.assertEqual(self.band(window), first, what)

    def assert_moving(self, window, what):
        self.assertTrue(shots_differ(self.session, window, message_band(window)), what)

    def pointer_off(self, window):
        self.move_pointer(window.x + window.width // 2, window.y + window.height + 100)

    def pointer_on_frame(self, window):
        """Over the bar, clear of the message box (which must stay readable)."""
        self.move_pointer(window.x + window.width - 100, window.y + 8)

    def wait_for_our_titles(self, window):
        """Until the start-up title has left and two of ours are on screen."""
        self.wait_for_spans(window, lambda spans: sum(title_of(s, window) is not None for s in spans) >= 2
                            and not any(is_connecting(s, window) for s in spans), "our titles", 30)

    def front_title(self, window):
        """The title that begins where a stepped-to title enters, if any."""
        spans = self.spans(window)
        if spans and abs(spans[0][0] - ENTRY_X) <= 2:
            return title_of(spans[0], window)
        return None

    def start_held(self, **window_keys):
        """The program while its patrol waits for a held answer: only the
        start-up title scrolls. Returns (ticker, window, proxy)."""
        proxy = HeldProxy()
        self.addCleanup(proxy.close)
        self.work.write(os.path.join("Scripts", SCRIPT_NAME), titles_script(fetch_first=True))
        self.work.write("zr5.ini", settings_with(proxy_port=proxy.port, **window_keys))
        ticker = self.launch()
        window = ticker.main_window()
        self.assertTrue(proxy.requested.wait(20), "the patrol never fetched")
        return ticker, window, proxy

    # -- cases ---------------------------------------------------------------

    def test_pointer_on_the_bar_stops_the_text(self):
        ticker = self.launch()
        window = ticker.main_window()
        self.pointer_off(window)
        self.wait_for_our_titles(window)
        self.assert_moving(window, "the text does not scroll")
        self.pointer_on_frame(window)
        self.assert_still(window, "the text goes on under the pointer")
        # The skin's animations go on meanwhile: the icon keeps changing.
        self.assertTrue(shots_differ(self.session, window, gui_cases.ICON_RECT), "the icon stopped too")
        self.pointer_off(window)
        self.assert_moving(window, "the text does not resume when the pointer leaves")
        self.exit_by_menu(ticker, window)
        self.assertEqual(self.work.ini()["window"]["hoverpause"], "1")

        self.work.write("zr5.ini", settings_with(HoverPause=0))
        ticker = self.launch()
        window = ticker.main_window()
        self.pointer_off(window)
        self.wait_for_our_titles(window)
        self.pointer_on_frame(window)
        self.assert_moving(window, "HoverPause=0 still stops the text")
        self.exit_by_menu(ticker, window)
        self.assertEqual(self.work.ini()["window"]["hoverpause"], "0")

    def test_wheel_sets_the_speed_which_is_kept(self):
        # (saved Speed, notches turned up (+) or down (-) in turn, Speed saved at exit)
        runs = (("3", (4, -2), "5"), ("7", (200,), "10"), ("10", (-200,), "0"), ("0", (-1, 1), "1"),
                ("abc", (1,), "3"), ("-4", (-1,), "1"), ("11", (), "2"), ("99999999999", (), "2"))
        for saved, notches, expected in runs:
            with self.subTest(saved=saved, notches=notches):
                self.work.write("zr5.ini", settings_with(Speed=saved))
                ticker = self.launch()
                window = ticker.main_window()
                self.move_pointer(window.x + window.width // 2, window.y + window.height // 2)
                for count in notches:
                    self.xdo("click", "--repeat", abs(count), "--delay", 2, 4 if count > 0 else 5)
                self.assertTrue(ticker.running())
                self.exit_by_menu(ticker, window)
                self.assertEqual(self.work.ini()["window"]["speed"], expected)

    def test_double_click_opens_the_title_under_the_pointer(self):
        ticker = self.launch()
        window = ticker.main_window()
        self.pointer_off(window)
        self.wait_for_our_titles(window)
        # Resting on the bar stops the text, so the titles stay where the
        # screenshot found them; the second must be shown whole.
        for _ in range(10):
            self.pointer_on_frame(window)
            self.assert_still(window, "the text goes on under the pointer")
            spans = self.spans(window)
            if len(spans) >= 2 and title_of(spans[1], window) is not None:
                break
            self.pointer_off(window)
            time.sleep(0.5)
        else:
            self.fail(f"the second title is never shown whole: {spans}")
        index = title_of(spans[1], window)
        self.click(window.x + (spans[1][0] + spans[1][1]) // 2, window.y + MESSAGE_TOP + MESSAGE_HEIGHT // 2,
                   repeat=2)
        wait_until(ticker.opened, 5, 0.1, "a link")
        self.assertEqual(ticker.opened(), [f"{LINK_PREFIX}{index}"], spans)
        self.assertTrue(ticker.running())

    def test_keys_step_open_and_pause(self):
        # Caught before its patrol ends, the program shows only the start-up
        # title: the list that arrives is then known to begin with TITLES[0].
        ticker, window, proxy = self.start_held()
        self.xdo("windowactivate", "--sync", window.id)
        self.pointer_off(window)
        self.wait_for_spans(window, lambda spans: spans and spans[0][0] < ENTRY_X - 4, "the start-up title")
        self.xdo("key", "space")
        self.assert_still(window, "Space does not stop the text")
        proxy.release.set()
        # Stopped, the start-up title stays at the front; the list follows it.
        self.wait_for_spans(window, lambda spans: len(spans) >= 2 and title_of(spans[1], window) == 0,
                            "the list behind the start-up title", 20)
        for key, expected in (("Right", 0), ("Right", 1), ("Right", 2), ("Left", 1)):
            self.xdo("key", key)
            wait_until(lambda: self.front_title(window) == expected, 5, 0.05, f"title {expected} after {key}")
        self.xdo("key", "Return")
        wait_until(ticker.opened, 5, 0.1, "a link")
        self.assertEqual(ticker.opened(), [f"{LINK_PREFIX}1"])
        self.xdo("key", "space")
        self.assert_moving(window, "a second Space does not resume the text")
        self.exit_by_menu(ticker, window)

    def test_new_list_lets_the_front_title_finish(self):
        # Observable: the leftmost ink run. While the start-up title is at
        # the front it keeps its width and its left end only moves left; a
        # list that cut in would put its first title (far narrower) 100 px
        # into the box instead. Slow scrolling leaves time to look before
        # the title reaches the box's left edge.
        ticker, window, proxy = self.start_held(Speed=0)
        self.pointer_off(window)
        self.wait_for_spans(window, lambda spans: spans and spans[0][0] < ENTRY_X - 4, "the start-up title")
        proxy.release.set()
        arrived = self.wait_for_spans(window, lambda spans: len(spans) >= 2 and title_of(spans[1], window) == 0
                                      and spans, "the new list", 20)
        samples = [arrived]
        deadline = time.monotonic() + 1.0
        while time.monotonic() < deadline:
            samples.append(self.spans(window))
        fronts = [spans[0] for spans in samples if spans and spans[0][0] > MESSAGE_LEFT]
        self.assertTrue(fronts, samples)
        for front in fronts:
            self.assertTrue(is_connecting(front, window), f"the front title changed: {samples}")
        self.assertEqual([front[0] for front in fronts], sorted((front[0] for front in fronts), reverse=True),
                         "the front title jumped back")
        # Once it has gone, the new list begins at its first headline.
        self.wait_for_spans(window, lambda spans: title_of(spans[0], window) == 0 if spans else False,
                            "the first headline at the front", 30)
        self.assertTrue(ticker.running())

    def test_scale_factor_two_draws_text_at_screen_resolution(self):
        # The bar is placed at (100, 120), 600 x 48, in the screen's logical pixels.
        self.work.write("zr5.ini", settings_with())
        ticker = self.launch(extra_env={"QT_SCALE_FACTOR": "2"})
        window = ticker.main_window()
        self.assertEqual((window.x, window.y, window.width, window.height), (200, 240, 1200, 96))
        ticker.wait_for_headlines()
        self.pointer_off(window)
        # Device pixels of the message box, and of glass with neither text nor icon on it.
        left, top, width, height = (2 * value for value in message_band(Window(0, 0, 0, 600, 48)))
        glass = (2 * 40, 2 * 37, 2 * 520, 2 * 9)

        def text_shown():
            shot = self.session.screenshot()
            return shot if any(min(shot.pixel(window.x + x, window.y + y)) > INK_LEVEL
                               for x in range(left, left + width) for y in range(top, top + height)) else None
        shot = wait_until(text_shown, 20, 0.1, "text in the message box")
        self.assertFalse(is_block_upscale(shot, window.x + left, window.y + top, width, height),
                         "the text is a 2 x 2 block upscale")
        self.assertTrue(is_block_upscale(shot, window.x + glass[0], window.y + glass[1], *glass[2:]),
                        "the skin's bitmap is not scaled by whole pixels")
        self.exit_by_menu(ticker, window)

def main():
    return gui_cases.main(sys.modules[__name__], InteractionTest, ["picom"])


if __name__ == "__main__":
    sys.exit(main())
