"""Runs every NAME.zrs of this folder through the runner against the feeds of
feed_site.py and compares standard output with NAME.out. "@BASE@" in a
script stands for the server's address, and the address in the output is
written back as "@BASE@".

usage: run_feed_scripts.py RUNNER"""

import os
import pathlib
import subprocess
import sys
import tempfile

import feed_site


def main():
    runner = sys.argv[1]
    here = pathlib.Path(__file__).resolve().parent
    base = feed_site.start().encode()
    # A proxy from the environment must not stand between the runner and the server.
    env = dict(os.environ, no_proxy="127.0.0.1", NO_PROXY="127.0.0.1")
    failures = 0
    with tempfile.TemporaryDirectory() as temp:
        for source in sorted(here.glob("*.zrs")):
            script = pathlib.Path(temp) / source.name
            script.write_bytes(source.read_bytes().replace(b"@BASE@", base))
            done = subprocess.run([runner, "--utf8", "-a", str(script)], stdout=subprocess.PIPE,
                                  stderr=subprocess.PIPE, timeout=60, env=env)
            actual = done.stdout.replace(base, b"@BASE@")
            expected = source.with_suffix(".out").read_bytes()
            if done.returncode != 0 or actual != expected:
                failures += 1
                print("FAIL %s (status %d)\n expected: %r\n actual:   %r\n stderr: %r"
                      % (source.name, done.returncode, expected, actual, done.stderr))
            else:
                print("ok   %s" % source.name)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
