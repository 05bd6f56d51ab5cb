"""Runs the ticker program in a working folder of its own on an XSession and
reads back what it shows and writes."""

import os
import shutil
import socket
import subprocess
import time

from xsession import wait_until

SKIN = "Zephyr"
SCRIPT_NAME = "gui.zrs"
CATEGORY = "Headlines"
LINK_PREFIX = "http://127.0.0.1:9/news/"

# xdg-open as Qt finds it on PATH: records the address instead of opening it.
FAKE_XDG_OPEN = """#!/bin/sh
printf '%s\\n' "$*" >> "$ZR5_GUI_OPENED"
"""


def closed_port():
    """A local port nobody listens on: fetches through it fail at once."""
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def headline_script(count):
    """A news script reporting count headlines without touching the network."""
    return (
        f'category "{CATEGORY}"\n'
        "{\n"
        f"    for (i = 0; i < {count}; i++)\n"
        f'        Display("gui headline " + i + " \u898b\u51fa\u3057", "{LINK_PREFIX}" + i);\n'
        "}\n"
    ).encode("cp932")


def settings_text(skin=SKIN, rect=(100, 120, 0, 0), scripts=((SCRIPT_NAME, CATEGORY),), proxy_port=None):
    x, y, width, height = rect
    lines = ["[Script]", f"Count={len(scripts)}"]
    for index, (name, category) in enumerate(scripts):
        lines.append(f"{index:04d}=N,*,{name},{category}")
    lines += ["[Window]", f"Skin={skin}", f"X={x}", f"Y={y}", f"Width={width}", f"Height={height}",
              # Every fetch goes to a named proxy on a closed local port, so the
              # notice patrol never reaches the internet.
              "[Proxy]", "Type=2", "Address=127.0.0.1", f"Port={proxy_port or closed_port()}", "Local=0"]
    return ("\r\n".join(lines) + "\r\n").encode("cp932")


def read_ini(path):
    """{section: {key: value}} with lower-case names, as the program reads it."""
    sections = {}
    current = None
    with open(path, "rb") as handle:
        text = handle.read().decode("cp932", errors="replace")
    for line in text.splitlines():
        line = line.strip()
        if line.startswith("[") and line.endswith("]"):
            current = sections.setdefault(line[1:-1].strip().lower(), {})
        elif "=" in line and current is not None:
            key, value = line.split("=", 1)
            current[key.strip().lower()] = value.strip()
    return sections


# The home folder's list of bundled files it was already given: with every
# bundled file on it, the program adds none of them to the test's own folder.
BUNDLED_LIST = ".bundled-files"


def bundled_files(data_dir):
    names = []
    for folder, _, files in os.walk(data_dir):
        names += [os.path.relpath(os.path.join(folder, name), data_dir) for name in files]
    return sorted(names)


class WorkFolder:
    """The home folder of one run (given with --home, and its current
    directory too): Skins, Help, Scripts, zr5.ini."""

    def __init__(self, root, data_dir, headlines=12, skins=True):
        self.path = os.path.join(root, "work")
        os.makedirs(self.path)
        if skins:
            shutil.copytree(os.path.join(data_dir, "Skins"), os.path.join(self.path, "Skins"))
        shutil.copytree(os.path.join(data_dir, "Help"), os.path.join(self.path, "Help"))
        os.makedirs(os.path.join(self.path, "Scripts"))
        self.write(os.path.join("Scripts", SCRIPT_NAME), headline_script(headlines))
        self.write("zr5.ini", settings_text())
        self.write(BUNDLED_LIST, "".join(name + "\n" for name in bundled_files(data_dir)).encode())

    def file(self, name):
        return os.path.join(self.path, name)

    def write(self, name, data):
        with open(self.file(name), "wb") as handle:
            handle.write(data)

    def read(self, name):
        with open(self.file(name), "rb") as handle:
            return handle.read()

    def ini(self):
        return read_ini(self.file("zr5.ini"))

    def links(self, count):
        return {f"{LINK_PREFIX}{i}" for i in range(count)}


class Ticker:
    """One run of the program. Its standard error is kept for assertions."""

    def __init__(self, session, binary, work, root, extra_env=None):
        self.session = session
        self.binary = binary
        self.work = work
        bin_dir = os.path.join(root, "bin")
        os.makedirs(bin_dir, exist_ok=True)
        opener = os.path.join(bin_dir, "xdg-open")
        with open(opener, "w") as handle:
            handle.write(FAKE_XDG_OPEN)
        os.chmod(opener, 0o755)
        self.opened_path = os.path.join(root, "opened.txt")
        self.env = dict(session.env)
        self.env.update({
            "PATH": bin_dir + os.pathsep + self.env.get("PATH", ""),
            "ZR5_GUI_OPENED": self.opened_path,
            "ZR5_DEBUG": "1",
            # Qt asks the desktop first; with none known it takes xdg-open.
            "BROWSER": "xdg-open",
        })
        # Environment proxies for anything that ignores the settings file.
        port = closed_port()
        for key in ("http_proxy", "https_proxy", "ftp_proxy", "all_proxy"):
            self.env[key] = f"http://127.0.0.1:{port}"
        # Only matters against a sanitizer build; an existing setting wins.
        self.env.setdefault("LSAN_OPTIONS", "suppressions=" + os.path.join(os.path.dirname(__file__), "..", "lsan.supp"))
        self.env.update(extra_env or {})
        self.stdout_path = os.path.join(root, "zr5a.out")
        self.stderr_path = os.path.join(root, "zr5a.err")
        self.process = None
        self._stdout = self._stderr = None

    def start(self):
        self._stdout = open(self.stdout_path, "ab")
        self._stderr = open(self.stderr_path, "ab")
        self.process = self.session.spawn("zr5a", [self.binary, "--home", self.work.path], env=self.env, cwd=self.work.path,
                                          stdout=self._stdout, stderr=self._stderr)
        return self

    def stderr(self):
        with open(self.stderr_path, "rb") as handle:
            return handle.read().decode("utf-8", errors="replace")

    def wait(self, timeout):
        """Exit status, or None when the program is still running after timeout."""
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def running(self):
        return self.process.poll() is None

    # -- windows -------------------------------------------------------------

    def windows(self):
        return self.session.windows_of(self.process.pid)

    def main_window(self, timeout=20):
        """The ticker: the largest visible window (the tray icon is another)."""
        def largest():
            if not self.running():
                raise AssertionError(f"zr5a ended ({self.process.returncode}): {self.stderr()}")
            windows = [w for w in self.windows() if w.width > 30 and w.height > 10]
            return max(windows, key=lambda w: w.area) if windows else None
        return wait_until(largest, timeout, 0.1, "the ticker window")

    def wait_for_headlines(self, timeout=30):
        """Waits until the first patrol has reported our headlines."""
        log = self.work.file("debug_display.txt")

        def reported():
            try:
                with open(log, "rb") as handle:
                    return b"gui headline" in handle.read()
            except FileNotFoundError:
                return False
        wait_until(reported, timeout, 0.1, "the first patrol")

    def opened(self):
        try:
            with open(self.opened_path) as handle:
                return [line.strip() for line in handle if line.strip()]
        except FileNotFoundError:
            return []

    def first_frame_ms(self):
        for line in self.stderr().splitlines():
            if "first frame after" in line:
                return int(line.split("first frame after", 1)[1].split()[0])
        return None

    def close(self):
        if self.process and self.running():
            from xsession import stop_process
            stop_process(self.process)
        for handle in (self._stdout, self._stderr):
            if handle:
                handle.close()


def region(image, window, x, y, width, height):
    """Bytes of a rectangle given in window coordinates."""
    return image.crop(window.x + x, window.y + y, width, height)


def shots_differ(session, window, rect, tries=10, pause=0.15):
    """True when the rectangle changes between screenshots."""
    first = region(session.screenshot(), window, *rect)
    for _ in range(tries):
        time.sleep(pause)
        if region(session.screenshot(), window, *rect) != first:
            return True
    return False


def env_flag(name):
    return os.environ.get(name, "") not in ("", "0")
