"""Docking on a real X server with openbox, which honours the strips that
dock windows reserve: the ticker spans the screen at the top or the bottom,
carries the dock type and strut properties, a maximised window ends at its
edge, and the free rectangle comes back when the dock is off again.

Run:  python3 dock_case.py --zr5a BIN --data DATA_DIR DockTest
(ZR5_MAXIMISED_PROBE names the program that opens a maximised window.)
Exit status 77 means the X tools are missing (the test is skipped)."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import gui_cases  # noqa: E402
from gui_cases import GuiCase  # noqa: E402
from ticker import settings_text  # noqa: E402
from xsession import SCREEN_HEIGHT, SCREEN_WIDTH, wait_until  # noqa: E402

FREE_RECT = (150, 200, 600, 48)
BAR_HEIGHT = 48


def settings_with(dock):
    return settings_text(rect=FREE_RECT).replace(b"[Window]\r\n", f"[Window]\r\nDock={dock}\r\n".encode())


class DockTest(GuiCase):
    compositor = "picom"

    def setUp(self):
        self.probe = os.environ.get("ZR5_MAXIMISED_PROBE", "")
        if not os.access(self.probe, os.X_OK):
            raise unittest.SkipTest("no maximised window probe")
        super().setUp()

    def cardinals(self, window, name):
        """The property's values, or None when the window does not have it."""
        out = self.session.run("xprop", "-id", str(window.id), name, check=False)
        if "=" not in out:
            return None
        return [int(value) for value in out.split("=", 1)[1].split(",")]

    def window_types(self, window):
        out = self.session.run("xprop", "-id", str(window.id), "_NET_WM_WINDOW_TYPE", check=False)
        return [name.strip() for name in out.split("=", 1)[1].split(",")] if "=" in out else []

    def docked_window(self, ticker, top):
        def spanning():
            window = ticker.main_window()
            placed = window.y == 0 if top else window.y + window.height == SCREEN_HEIGHT
            return window if placed and window.x == 0 and window.width == SCREEN_WIDTH else None
        return wait_until(spanning, 20, 0.1, "the ticker along the screen edge")

    def maximised_area(self):
        """The rectangle a maximised window gets, (x, y, width, height)."""
        process = self.session.spawn("probe", [self.probe], env=self.session.env)
        self.addCleanup(self.session.stop_child, "probe")

        def settled():
            windows = [w for w in self.session.windows_of(process.pid) if w.width > 100]
            # Maximised: as wide as the screen (the height is what is checked).
            return windows[0] if windows and windows[0].width == SCREEN_WIDTH else None
        window = wait_until(settled, 20, 0.1, "the maximised window")
        self.session.stop_child("probe")
        return window.x, window.y, window.width, window.height

    def check_docked(self, dock):
        top = dock == 1
        self.work.write("zr5.ini", settings_with(dock))
        ticker = self.launch()
        window = self.docked_window(ticker, top)
        self.assertEqual(window.height, BAR_HEIGHT)
        self.assertEqual(self.window_types(window)[0], "_NET_WM_WINDOW_TYPE_DOCK")
        strut = self.cardinals(window, "_NET_WM_STRUT_PARTIAL")
        if top:
            self.assertEqual(strut, [0, 0, BAR_HEIGHT, 0, 0, 0, 0, 0, 0, SCREEN_WIDTH - 1, 0, 0])
        else:
            self.assertEqual(strut, [0, 0, 0, BAR_HEIGHT, 0, 0, 0, 0, 0, 0, 0, SCREEN_WIDTH - 1])
        self.assertEqual(self.cardinals(window, "_NET_WM_STRUT"), strut[:4])

        x, y, width, height = self.maximised_area()
        if top:
            self.assertEqual((y, y + height), (BAR_HEIGHT, SCREEN_HEIGHT))
        else:
            self.assertEqual((y, y + height), (0, SCREEN_HEIGHT - BAR_HEIGHT))

        # Drags leave the docked window where it is.
        self.move_pointer(window.x + 300, window.y + window.height // 2)
        self.xdo("mousedown", 1)
        self.move_pointer(window.x + 380, window.y + window.height // 2 + (60 if top else -60))
        self.xdo("mouseup", 1)
        self.assertEqual(self.docked_window(ticker, top).id, window.id)

        if top:
            # Qt writes the window type anew at each change of the stacking
            # flags: "always in front", sixth from the bottom, on and off.
            for _ in range(2):
                self.choose_from_window_menu(ticker, window, *["Up"] * 6, "Return")
            self.assertEqual(self.window_types(window)[0], "_NET_WM_WINDOW_TYPE_DOCK")

        self.exit_by_menu(ticker, window)
        saved = self.work.ini()["window"]
        self.assertEqual(saved["dock"], str(dock))
        self.assertEqual(tuple(int(saved[key]) for key in ("x", "y", "width", "height")), FREE_RECT)
        self.assertNotEqual(saved.get("screen", ""), "")

    def test_docked_at_the_top(self):
        self.check_docked(1)

    def test_docked_at_the_bottom_then_free_again(self):
        self.check_docked(2)
        self.work.write("zr5.ini", settings_with(0))
        ticker = self.launch()
        window = wait_until(lambda: next((w for w in ticker.windows() if (w.x, w.y) == FREE_RECT[:2]), None),
                            20, 0.1, "the ticker at its free place")
        self.assertEqual((window.width, window.height), FREE_RECT[2:])
        self.assertNotIn("_NET_WM_WINDOW_TYPE_DOCK", self.window_types(window))
        self.assertIsNone(self.cardinals(window, "_NET_WM_STRUT_PARTIAL"))
        x, y, width, height = self.maximised_area()
        self.assertEqual((y, height), (0, SCREEN_HEIGHT), "nothing is reserved any more")
        self.exit_by_menu(ticker, window)
        self.assertEqual(self.work.ini()["window"]["dock"], "0")


def main():
    return gui_cases.main(sys.modules[__name__], DockTest, ["xprop"])


if __name__ == "__main__":
    sys.exit(main())
