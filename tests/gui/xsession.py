"""A private X desktop for driving the ticker: Xvfb, a root colour, openbox,
optionally a compositor and a tray host. Every helper process runs in a
session of its own and is stopped by its id, newest first."""

import atexit
import ctypes
import ctypes.util
import os
import select
import shutil
import signal
import subprocess
import time

SCREEN_WIDTH = 1024
SCREEN_HEIGHT = 768

REQUIRED_TOOLS = ("Xvfb", "xdpyinfo", "xdotool", "import", "openbox", "hsetroot")


def missing_tools(extra=()):
    return [tool for tool in (*REQUIRED_TOOLS, *extra) if shutil.which(tool) is None]


def wait_until(predicate, timeout, interval=0.05, what="condition"):
    """Polls predicate until it returns something true; returns that value."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise TimeoutError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


class _Xlib:
    """The few Xlib calls the shell tools do not offer: who owns a selection."""

    def __init__(self):
        name = ctypes.util.find_library("X11") or "libX11.so.6"
        self.lib = ctypes.CDLL(name)
        self.lib.XOpenDisplay.restype = ctypes.c_void_p
        self.lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.lib.XInternAtom.restype = ctypes.c_ulong
        self.lib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        self.lib.XGetSelectionOwner.restype = ctypes.c_ulong
        self.lib.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]

    def selection_owner(self, display_name, selection):
        display = self.lib.XOpenDisplay(display_name.encode())
        if not display:
            return 0
        try:
            atom = self.lib.XInternAtom(display, selection.encode(), 0)
            return self.lib.XGetSelectionOwner(display, atom)
        finally:
            self.lib.XCloseDisplay(display)


_xlib = None


def selection_owner(display_name, selection):
    global _xlib
    if _xlib is None:
        _xlib = _Xlib()
    return _xlib.selection_owner(display_name, selection)


class XSession:
    """compositor: None, "picom" or "xcompmgr"; tray: start trayer; screen:
    (width, height) of the server's screen in pixels."""

    def __init__(self, folder, compositor=None, tray=False, root_colour="#204080",
                 screen=(SCREEN_WIDTH, SCREEN_HEIGHT)):
        self.folder = folder
        self.screen = screen
        self.compositor = compositor
        self.tray = tray
        self.root_colour = root_colour
        self.display = None
        self.xvfb = None
        self._children = []  # (name, Popen), in start order
        self._logs = []
        self.env = None

    # -- life cycle --------------------------------------------------------

    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.stop()

    def start(self):
        atexit.register(self.stop)
        self.env = self._environment()
        self._start_xvfb()
        self.env["DISPLAY"] = self.display
        wait_until(self._server_answers, 10, 0.05, "xdpyinfo")
        self.set_root_colour(self.root_colour)
        self._start_window_manager()
        if self.compositor:
            self.start_compositor(self.compositor)
        if self.tray:
            self.start_tray()

    def stop(self):
        for name, process in reversed(self._children):
            stop_process(process)
        self._children.clear()
        for log in self._logs:
            log.close()
        self._logs.clear()

    def kill_server(self):
        """Ends the X server abruptly, as a crash or a lost connection would."""
        if self.xvfb and self.xvfb.poll() is None:
            os.kill(self.xvfb.pid, signal.SIGKILL)
            self.xvfb.wait(10)

    # -- pieces ------------------------------------------------------------

    def _environment(self):
        env = dict(os.environ)
        home = os.path.join(self.folder, "home")
        runtime = os.path.join(self.folder, "runtime")
        for path in (home, runtime):
            os.makedirs(path, mode=0o700, exist_ok=True)
        # Nothing of the real desktop may leak in: its session bus would let Qt
        # use a StatusNotifier host, its Wayland socket another platform.
        for key in ("DBUS_SESSION_BUS_ADDRESS", "WAYLAND_DISPLAY", "XAUTHORITY", "SESSION_MANAGER",
                    "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "QT_QPA_PLATFORMTHEME"):
            env.pop(key, None)
        env.update({
            "HOME": home,
            "XDG_RUNTIME_DIR": runtime,
            "XDG_CONFIG_HOME": os.path.join(home, ".config"),
            "XDG_CACHE_HOME": os.path.join(home, ".cache"),
            "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
            "LANG": "C.UTF-8",
            "LC_ALL": "C.UTF-8",
            "QT_QPA_PLATFORM": "xcb",
        })
        return env

    def spawn(self, name, argv, env=None, cwd=None, stdout=None, stderr=None, track=True):
        """Starts argv in a new session; its output goes to a log file unless given."""
        log = None
        if stdout is None or stderr is None:
            log = open(os.path.join(self.folder, f"{name}.log"), "ab")
            self._logs.append(log)
        process = subprocess.Popen(argv, env=env or self.env, cwd=cwd, stdin=subprocess.DEVNULL,
                                   stdout=stdout or log, stderr=stderr or log,
                                   start_new_session=True)
        if track:
            self._children.append((name, process))
        return process

    def _start_xvfb(self):
        # -displayfd lets the server pick a free display number and tell us.
        read_end, write_end = os.pipe()
        try:
            self.xvfb = self._spawn_with_fd(write_end)
        finally:
            os.close(write_end)
        with os.fdopen(read_end, "rb") as pipe:
            number = b""
            deadline = time.monotonic() + 15
            while not number.endswith(b"\n"):
                if time.monotonic() > deadline or self.xvfb.poll() is not None:
                    raise RuntimeError("Xvfb did not start")
                ready, _, _ = select.select([pipe], [], [], 0.2)
                if not ready:
                    continue
                chunk = os.read(pipe.fileno(), 1)
                if not chunk:
                    raise RuntimeError("Xvfb closed its display pipe")
                number += chunk
        self.display = ":" + number.decode().strip()

    def _spawn_with_fd(self, write_end):
        log = open(os.path.join(self.folder, "xvfb.log"), "ab")
        self._logs.append(log)
        process = subprocess.Popen([
            "Xvfb", "-displayfd", str(write_end), "-screen", "0",
            f"{self.screen[0]}x{self.screen[1]}x24", "-nolisten", "tcp", "-noreset",
        ], env=self.env, stdin=subprocess.DEVNULL, stdout=log, stderr=log,
            pass_fds=(write_end,), start_new_session=True)
        self._children.append(("xvfb", process))
        return process

    def _server_answers(self):
        result = subprocess.run(["xdpyinfo"], env=self.env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        return result.returncode == 0

    def set_root_colour(self, colour):
        # hsetroot sets _XROOTPMAP_ID, which compositors paint the desktop from.
        subprocess.run(["hsetroot", "-solid", colour], env=self.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=20)
        self.root_colour = colour

    def _start_window_manager(self):
        self.spawn("openbox", ["openbox", "--sm-disable"])
        wait_until(lambda: selection_owner(self.display, "WM_S0"), 15, 0.05, "openbox")

    def start_compositor(self, which):
        argv = {"picom": ["picom", "--backend", "xrender"], "xcompmgr": ["xcompmgr"]}[which]
        process = self.spawn(which, argv)
        wait_until(lambda: selection_owner(self.display, "_NET_WM_CM_S0") or process.poll() is not None,
                   15, 0.05, which)
        if process.poll() is not None:
            raise RuntimeError(f"{which} ended at start")
        return process

    def stop_child(self, name):
        for entry in list(self._children):
            if entry[0] == name:
                stop_process(entry[1])
                self._children.remove(entry)

    def start_tray(self):
        process = self.spawn("trayer", ["trayer", "--edge", "bottom", "--align", "right",
                                        "--widthtype", "request", "--height", "24",
                                        "--SetDockType", "true", "--expand", "true"])
        wait_until(lambda: selection_owner(self.display, "_NET_SYSTEM_TRAY_S0") or process.poll() is not None,
                   15, 0.05, "trayer")
        if process.poll() is not None:
            raise RuntimeError("trayer ended at start")
        return process

    # -- X tools -----------------------------------------------------------

    def run(self, *argv, check=True, timeout=20):
        result = subprocess.run(argv, env=self.env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                timeout=timeout)
        if check and result.returncode != 0:
            raise RuntimeError(f"{argv[0]} failed ({result.returncode}): {result.stderr.decode(errors='replace')}")
        return result.stdout.decode(errors="replace")

    def xdotool(self, *args, check=True):
        return self.run("xdotool", *map(str, args), check=check)

    def windows_of(self, pid):
        """Visible windows carrying pid in _NET_WM_PID, with their geometry."""
        out = self.run("xdotool", "search", "--onlyvisible", "--pid", str(pid), check=False)
        windows = []
        for token in out.split():
            geometry = self.geometry(int(token))
            if geometry:
                windows.append(geometry)
        return windows

    def geometry(self, window):
        out = self.run("xdotool", "getwindowgeometry", "--shell", str(window), check=False)
        values = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        try:
            return Window(int(values["WINDOW"]), int(values["X"]), int(values["Y"]),
                          int(values["WIDTH"]), int(values["HEIGHT"]))
        except (KeyError, ValueError):
            return None

    def screenshot(self):
        """The screen as composited (import reads the root window)."""
        data = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=self.env,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, check=True,
                              timeout=30).stdout
        return Image.from_ppm(data)


class Window:
    def __init__(self, wid, x, y, width, height):
        self.id, self.x, self.y, self.width, self.height = wid, x, y, width, height

    @property
    def area(self):
        return self.width * self.height

    def __repr__(self):
        return f"Window(0x{self.id:x} {self.width}x{self.height}+{self.x}+{self.y})"


class Image:
    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    @classmethod
    def from_ppm(cls, data):
        fields = []
        position = 0
        # Header: magic, width, height, maximum; '#' comments may sit between.
        while len(fields) < 4:
            while data[position:position + 1].isspace():
                position += 1
            if data[position:position + 1] == b"#":
                position = data.index(b"\n", position) + 1
                continue
            end = position
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[position:end])
            position = end
        if fields[0] != b"P6" or int(fields[3]) != 255:
            raise ValueError("not an 8-bit binary PPM")
        width, height = int(fields[1]), int(fields[2])
        pixels = data[position + 1:position + 1 + width * height * 3]
        if len(pixels) != width * height * 3:
            raise ValueError("short PPM")
        return cls(width, height, pixels)

    def pixel(self, x, y):
        offset = (y * self.width + x) * 3
        return tuple(self.rgb[offset:offset + 3])

    def crop(self, x, y, width, height):
        """Bytes of a rectangle, clipped to the image (for comparisons)."""
        x0, y0 = max(0, x), max(0, y)
        x1, y1 = min(self.width, x + width), min(self.height, y + height)
        rows = [self.rgb[(row * self.width + x0) * 3:(row * self.width + x1) * 3] for row in range(y0, y1)]
        return b"".join(rows)


def parse_colour(text):
    text = text.lstrip("#")
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


def close_colour(a, b, tolerance=12):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


def stop_process(process, grace=5):
    """SIGTERM to the process's own session group, SIGKILL after grace seconds."""
    if process.poll() is not None:
        return
    try:
        os.killpg(process.pid, signal.SIGTERM)
    except ProcessLookupError:
        return
    try:
        process.wait(grace)
    except subprocess.TimeoutExpired:
        try:
            os.killpg(process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        process.wait(grace)
