"""zr5a in a Wayland session: a headless Weston with XWayland. With both
WAYLAND_DISPLAY and DISPLAY set and no platform chosen the ticker runs through
XWayland (xcb) and works: its home is filled and the welcome headlines are
patrolled. A platform the user chose (-platform) is kept. Where Qt's Wayland
plugin is installed, a start without DISPLAY runs as a Wayland client and
says once what the session does not allow. Exit 77 without weston or Xwayland."""

import argparse
import glob
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

WELCOME_HEADLINE = "Welcome to Zephyrant2".encode("cp932")


def wait_until(predicate, timeout, what):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(0.1)


def stop(process):
    if process.poll() is None:
        os.killpg(process.pid, signal.SIGTERM)
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait(5)


def read(path):
    try:
        with open(path, "rb") as handle:
            return handle.read()
    except FileNotFoundError:
        return b""


class Weston:
    def __init__(self, folder):
        self.runtime = os.path.join(folder, "runtime")
        os.makedirs(self.runtime, mode=0o700)
        self.log = os.path.join(folder, "weston.log")
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "XDG_RUNTIME_DIR": self.runtime,
               "HOME": folder}
        self.process = subprocess.Popen(
            ["weston", "--backend=headless-backend.so", "--xwayland", "--socket=wayland-zr5", "--idle-time=0",
             "--log=" + self.log], env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL, start_new_session=True)

        def x_display():
            if self.process.poll() is not None:
                raise AssertionError("weston ended: " + read(self.log).decode(errors="replace"))
            found = re.search(rb"xserver listening on display (:\d+)", read(self.log))
            return found and found.group(1).decode()
        self.display = wait_until(x_display, 30, "XWayland's display")

    def stop(self):
        stop(self.process)


class Ticker:
    def __init__(self, program, folder, name, env, argv=()):
        self.home = os.path.join(folder, name)
        self.stderr_path = os.path.join(folder, name + ".err")
        with open(self.stderr_path, "wb") as err:
            self.process = subprocess.Popen([program, "--home", self.home, *argv], env=env, cwd=folder,
                                            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=err,
                                            start_new_session=True)

    def stderr(self):
        return read(self.stderr_path).decode(errors="replace")

    def wait_for(self, text, timeout=40):
        def seen():
            if text in self.stderr():
                return True
            if self.process.poll() is not None:
                raise AssertionError(f"zr5a ended ({self.process.returncode}): {self.stderr()}")
            return False
        wait_until(seen, timeout, repr(text))

    def welcomed(self, timeout=60):
        def reported():
            if self.process.poll() is not None:
                raise AssertionError(f"zr5a ended ({self.process.returncode}): {self.stderr()}")
            return WELCOME_HEADLINE in read(os.path.join(self.home, "debug_display.txt"))
        wait_until(reported, timeout, "the welcome headlines")


def wayland_plugin_installed():
    return bool(glob.glob("/usr/lib/*/qt6/plugins/platforms/libqwayland*.so"))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--zr5a", required=True)
    args = parser.parse_args()
    missing = [tool for tool in ("weston", "Xwayland") if shutil.which(tool) is None]
    if missing:
        print("skipped: missing " + ", ".join(missing))
        return 77
    folder = tempfile.mkdtemp(prefix="zr5wayland-")
    weston = Weston(folder)
    tickers = []
    try:
        base = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": folder, "LANG": "C.UTF-8",
                "XDG_RUNTIME_DIR": weston.runtime, "WAYLAND_DISPLAY": "wayland-zr5", "ZR5_DEBUG": "1"}

        program = os.path.abspath(args.zr5a)
        ticker = Ticker(program, folder, "both", dict(base, DISPLAY=weston.display))
        tickers.append(ticker)
        ticker.wait_for("zr5a: Qt platform xcb\n")
        ticker.welcomed()
        assert "Wayland client" not in ticker.stderr(), ticker.stderr()
        stop(ticker.process)
        print("WAYLAND_DISPLAY and DISPLAY: runs through XWayland")

        ticker = Ticker(program, folder, "chosen", dict(base, DISPLAY=weston.display), ["-platform", "offscreen"])
        tickers.append(ticker)
        ticker.wait_for("zr5a: Qt platform offscreen\n")
        stop(ticker.process)
        print("-platform: the user's choice is kept")

        if wayland_plugin_installed():
            ticker = Ticker(program, folder, "wayland", base)
            tickers.append(ticker)
            ticker.wait_for("zr5a: Qt platform wayland")
            ticker.welcomed()
            assert ticker.stderr().count("Wayland client") == 1, ticker.stderr()
            print("WAYLAND_DISPLAY alone: a Wayland client that says what it cannot do")
        else:
            print("Qt's Wayland plugin is not installed: the Wayland client case is left out")
    finally:
        for ticker in tickers:
            stop(ticker.process)
        weston.stop()
        shutil.rmtree(folder, True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
