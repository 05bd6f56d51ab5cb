#!/usr/bin/env python3
"""Golden test of zr5patrol on a prepared folder.

usage: run_patrol_golden.py ZR5PATROL CASE_DIR SITE_DIR ACTUAL_DIR

CASE_DIR holds what a user's folder holds (zr5.ini, Scripts/) plus:
  args          arguments for zr5patrol, one a line (optional)
  env           KEY=VALUE lines added to the environment (optional)
  expected.out  standard output (required)
  expected.err  standard error (optional)
  expected.log  debug_display.txt after the run (optional)
  status        exit status (optional, default 0)
  symlinks      "PATH TARGET" lines: symbolic links to make (kept out of the
                source tree, since some are loops)
The folder is copied to a scratch folder; "@BASE@" in zr5.ini, the scripts,
args and env stands for the address of a local server serving SITE_DIR, and
the same text replaces that address in what the run produced. The notice page
is @BASE@/notice.html unless env says otherwise. zr5.ini must come out unchanged.
"""
import http.server
import os
import shutil
import subprocess
import sys
import tempfile
import threading

IGNORED = {"args", "env", "expected.out", "expected.err", "expected.log", "status", "symlinks"}


def serve(folder):
    handler = lambda *a, **k: QuietHandler(*a, directory=folder, **k)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def substitute_tree(folder, base):
    for root, _, files in os.walk(folder):
        for name in files:
            path = os.path.join(root, name)
            if os.path.islink(path):
                continue
            with open(path, "rb") as f:
                data = f.read()
            if b"@BASE@" in data:
                with open(path, "wb") as f:
                    f.write(data.replace(b"@BASE@", base))


def read_optional(path, default=b""):
    try:
        with open(path, "rb") as f:
            return f.read()
    except FileNotFoundError:
        return default


def compare(name, expected, actual, actual_dir, case):
    if expected == actual:
        return True
    out = os.path.join(actual_dir, case + "." + name + ".actual")
    with open(out, "wb") as f:
        f.write(actual)
    sys.stderr.write("%s differs; actual written to %s\n" % (name, out))
    return False


def main():
    patrol, case_dir, site_dir, actual_dir = sys.argv[1:5]
    case = os.path.basename(os.path.normpath(case_dir))
    server = serve(site_dir)
    base = ("http://127.0.0.1:%d" % server.server_address[1]).encode()
    work = tempfile.mkdtemp(prefix="zr5patrol-")
    try:
        for name in os.listdir(case_dir):
            source = os.path.join(case_dir, name)
            if name in IGNORED:
                continue
            if os.path.isdir(source) and not os.path.islink(source):
                shutil.copytree(source, os.path.join(work, name), symlinks=True)
            else:
                shutil.copy2(source, os.path.join(work, name), follow_symlinks=False)
        substitute_tree(work, base)
        for line in read_optional(os.path.join(case_dir, "symlinks")).decode().splitlines():
            path, target = line.split()
            os.symlink(target, os.path.join(work, path))
        env = dict(os.environ)
        env["ZR5_NOTICE_URL"] = (base + b"/notice.html").decode()
        for line in read_optional(os.path.join(case_dir, "env")).replace(b"@BASE@", base).splitlines():
            key, _, value = line.decode().partition("=")
            env[key] = value
        args = [a.decode() for a in read_optional(os.path.join(case_dir, "args")).replace(b"@BASE@", base).splitlines()]
        ini_before = read_optional(os.path.join(work, "zr5.ini"), None)
        run = subprocess.run([patrol] + args, cwd=work, env=env, capture_output=True, timeout=100)
        unbase = lambda data: data.replace(base, b"@BASE@")
        ok = compare("out", read_optional(os.path.join(case_dir, "expected.out")), unbase(run.stdout), actual_dir, case)
        ok = compare("err", read_optional(os.path.join(case_dir, "expected.err")), unbase(run.stderr), actual_dir, case) and ok
        if os.path.exists(os.path.join(case_dir, "expected.log")):
            ok = compare("log", read_optional(os.path.join(case_dir, "expected.log")),
                         unbase(read_optional(os.path.join(work, "debug_display.txt"))), actual_dir, case) and ok
        status = int(read_optional(os.path.join(case_dir, "status"), b"0"))
        if run.returncode != status:
            sys.stderr.write("exit status %d, expected %d\n" % (run.returncode, status))
            ok = False
        if read_optional(os.path.join(work, "zr5.ini"), None) != ini_before:
            sys.stderr.write("zr5.ini was changed\n")
            ok = False
        return 0 if ok else 1
    finally:
        server.shutdown()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
