"""Installs the build into a staging folder and checks what a user and a
desktop get from it: every installed file, the desktop entry and metainfo as
their validators see them, the library through pkg-config, the programs'
command lines without a display, refused home folders, and a first start from
/ with an empty HOME on a private X server. Exit 77 when the validators are
missing."""

import argparse
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "gui"))
from xsession import XSession, missing_tools, wait_until  # noqa: E402

OPTIONS = argparse.Namespace()
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
PROGRAMS = ("zr5a", "zr5run", "zr5patrol", "zr5skin")
APP_ID = "org.orlemont.Zephyrant2"
# A headline of data/Scripts/welcome.zrs, as the patrol log writes it (Shift_JIS).
WELCOME_HEADLINE = "Welcome to Zephyrant2".encode("cp932")


def run(argv, **kwargs):
    kwargs.setdefault("stdout", subprocess.PIPE)
    kwargs.setdefault("stderr", subprocess.PIPE)
    kwargs.setdefault("timeout", 60)
    return subprocess.run(argv, **kwargs)


def png_size(path):
    with open(path, "rb") as handle:
        header = handle.read(24)
    assert header[:8] == b"\x89PNG\r\n\x1a\n", path
    return struct.unpack(">II", header[16:24])


def tree(folder):
    found = set()
    for parent, dirs, files in os.walk(folder):
        for name in dirs + files:
            found.add(os.path.relpath(os.path.join(parent, name), folder))
    return found


def bare_environment(home):
    """What a new user's session gives the program: no display, nothing of ours."""
    return {"PATH": "/usr/bin:/bin", "HOME": home, "LANG": "C.UTF-8",
            "XDG_RUNTIME_DIR": os.path.join(home, "..", "runtime")}


class StagedInstall(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.root = tempfile.mkdtemp(prefix="zr5install-")
        cls.stage = os.path.join(cls.root, "stage")
        result = run(["cmake", "--install", OPTIONS.build, "--prefix", cls.stage], timeout=300)
        if result.returncode != 0:
            raise AssertionError(result.stdout.decode() + result.stderr.decode())
        cls.libdir = OPTIONS.libdir

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.root, True)

    def path(self, *parts):
        return os.path.join(self.stage, *parts)

    def fresh_home(self):
        folder = tempfile.mkdtemp(dir=self.root)
        os.makedirs(os.path.join(folder, "runtime"), mode=0o700)
        home = os.path.join(folder, "home")
        os.makedirs(home)
        return home

    def test_every_file_is_installed(self):
        expected = [os.path.join("bin", p) for p in PROGRAMS]
        expected += [os.path.join(self.libdir, n) for n in ("libzr5script.so", "libzr5script.so.2")]
        expected += [os.path.join(self.libdir, "pkgconfig", "zr5script.pc"), "include/zr5script.h",
                     "share/applications/zr5a.desktop", f"share/metainfo/{APP_ID}.metainfo.xml",
                     "share/icons/hicolor/scalable/apps/zephyrant2.svg",
                     "share/zephyrant2/Scripts/welcome.zrs", "share/zephyrant2/Help/index.html",
                     "share/zephyrant2/Skins/Zephyr/zr5.skn"]
        expected += [f"share/man/man1/{p}.1.gz" for p in PROGRAMS]
        for name in expected:
            self.assertTrue(os.path.isfile(self.path(name)), name)
        for program in PROGRAMS:
            self.assertTrue(os.access(self.path("bin", program), os.X_OK), program)
        for size in ICON_SIZES:
            icon = self.path("share", "icons", "hicolor", f"{size}x{size}", "apps", "zephyrant2.png")
            self.assertEqual(png_size(icon), (size, size))
        self.assertEqual(tree(self.path("share", "zephyrant2")), tree(OPTIONS.data))
        # The Debian documents go only into the package.
        self.assertFalse(os.path.exists(self.path("share", "doc")))
        # The manual pages read without warnings.
        for program in PROGRAMS:
            result = run(["man", "--warnings", "-l", "-Tutf8", self.path("share", "man", "man1", program + ".1.gz")],
                         env={"PATH": "/usr/bin:/bin", "LANG": "C.UTF-8", "MANWIDTH": "80"})
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(result.stderr, b"", program)
            self.assertIn(program.encode(), result.stdout)

    def test_desktop_entry_and_metainfo_validate(self):
        result = run(["desktop-file-validate", self.path("share", "applications", "zr5a.desktop")])
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertEqual(result.stdout + result.stderr, b"")
        result = run(["appstreamcli", "validate", "--no-net",
                      self.path("share", "metainfo", f"{APP_ID}.metainfo.xml")])
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        with open(self.path("share", "applications", "zr5a.desktop")) as handle:
            entry = handle.read()
        self.assertIn("\nExec=zr5a\n", entry)
        self.assertIn("\nIcon=zephyrant2\n", entry)

    def test_library_builds_against_pkg_config(self):
        env = dict(os.environ, PKG_CONFIG_PATH=self.path(self.libdir, "pkgconfig"))
        result = run(["pkg-config", "--cflags", "--libs", "zr5script"], env=env)
        self.assertEqual(result.returncode, 0, result.stderr)
        flags = result.stdout.decode().split()
        self.assertIn("-I" + self.path("include"), [os.path.normpath(f[:2]) + os.path.normpath(f[2:]) for f in flags])
        source = os.path.join(self.root, "client.cpp")
        with open(source, "w") as handle:
            handle.write('#include <zr5script.h>\n'
                         'int main() { ScriptInterface* e = ZR5S_CreateInterface();'
                         ' if (!e) return 1; ZR5S_DestroyInterface(e); return 0; }\n')
        program = os.path.join(self.root, "client")
        result = run(["c++", "-std=c++20", source, "-o", program, *flags], timeout=120)
        self.assertEqual(result.returncode, 0, result.stderr)
        result = run([program], env=dict(env, LD_LIBRARY_PATH=self.path(self.libdir)))
        self.assertEqual(result.returncode, 0, result.stderr)
        # The library is versioned.
        result = run(["objdump", "-p", self.path(self.libdir, "libzr5script.so")])
        self.assertRegex(result.stdout.decode(), r"SONAME\s+libzr5script\.so\.2\b")

    def test_command_lines_need_no_display(self):
        env = bare_environment(self.fresh_home())
        for program in PROGRAMS:
            result = run([self.path("bin", program), "--version"], env=env)
            self.assertEqual(result.returncode, 0, (program, result.stderr))
            self.assertEqual(result.stdout.decode(), f"{program} {OPTIONS.version}\n")
        result = run([self.path("bin", "zr5a"), "--help"], env=env)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn(b"--home DIR", result.stdout)
        result = run([self.path("bin", "zr5a"), "--no-such-option"], env=env)
        self.assertEqual(result.returncode, 64)
        self.assertIn(b"--no-such-option", result.stderr)
        self.assertIn(b"usage: zr5a", result.stderr)
        self.assertEqual(result.stdout, b"")
        self.assertEqual(os.listdir(env["HOME"]), [], "the command line alone wrote something")

    def test_unusable_home_is_refused_without_a_crash(self):
        home = self.fresh_home()
        env = bare_environment(home)
        blocker = os.path.join(home, "a-file")
        with open(blocker, "w") as handle:
            handle.write("mine")
        for argv, named in (([self.path("bin", "zr5a"), "--home", blocker], blocker),
                            ([self.path("bin", "zr5a"), "--home", os.path.join(blocker, "below")], blocker)):
            result = run(argv, env=env, cwd="/")
            self.assertEqual(result.returncode, 1, result.stderr)
            self.assertIn(named.encode(), result.stderr)
            with open(blocker) as handle:
                self.assertEqual(handle.read(), "mine")
        # ZR5_HOME the same way.
        result = run([self.path("bin", "zr5a")], env=dict(env, ZR5_HOME=blocker), cwd="/")
        self.assertEqual(result.returncode, 1, result.stderr)
        self.assertEqual(sorted(os.listdir(home)), ["a-file"])

    def test_first_start_from_root_fills_the_home_and_shows_the_welcome(self):
        if missing_tools():
            self.skipTest("missing: " + ", ".join(missing_tools()))
        folder = tempfile.mkdtemp(dir=self.root)
        session = XSession(folder)
        self.addCleanup(session.stop)
        session.start()
        home = session.env["HOME"]
        env = {key: session.env[key] for key in ("DISPLAY", "HOME", "XDG_RUNTIME_DIR", "LANG", "LC_ALL")}
        env.update({"PATH": "/usr/bin:/bin", "ZR5_DEBUG": "1"})
        before_root = set(os.listdir("/"))
        log = open(os.path.join(folder, "zr5a.log"), "wb")
        self.addCleanup(log.close)
        ticker = session.spawn("zr5a", [self.path("bin", "zr5a")], env=env, cwd="/", stdout=log, stderr=log)
        zephyrant = os.path.join(home, ".local", "share", "Zephyrant2")
        patrol_log = os.path.join(zephyrant, "debug_display.txt")

        def welcomed():
            if ticker.poll() is not None:
                raise AssertionError(f"zr5a ended ({ticker.returncode})")
            try:
                with open(patrol_log, "rb") as handle:
                    return WELCOME_HEADLINE in handle.read()
            except FileNotFoundError:
                return False
        try:
            wait_until(welcomed, 60, 0.2, "the welcome headlines")
        finally:
            session.stop_child("zr5a")
        self.assertEqual(tree(os.path.join(zephyrant, "Skins")), tree(os.path.join(OPTIONS.data, "Skins")))
        self.assertTrue(os.path.isfile(os.path.join(zephyrant, "Help", "index.html")))
        with open(os.path.join(zephyrant, "zr5.ini"), "rb") as handle:
            self.assertIn(b"=N,*,welcome.zrs,Welcome", handle.read())
        # Only the home folder and the caches of the libraries under HOME; nothing in /.
        self.assertEqual(set(os.listdir(home)) - {".cache", ".config"}, {".local"})
        self.assertEqual(os.listdir(os.path.join(home, ".local", "share")), ["Zephyrant2"])
        self.assertEqual(set(os.listdir("/")), before_root)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--libdir", required=True)
    parser.add_argument("--version", required=True)
    args = parser.parse_args()
    OPTIONS.build, OPTIONS.data, OPTIONS.libdir, OPTIONS.version = args.build, args.data, args.libdir, args.version
    missing = [tool for tool in ("desktop-file-validate", "appstreamcli", "pkg-config", "man", "objdump")
               if shutil.which(tool) is None]
    if missing:
        print("skipped: missing " + ", ".join(missing))
        return 77
    suite = unittest.defaultTestLoader.loadTestsFromTestCase(StagedInstall)
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
