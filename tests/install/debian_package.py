"""Builds the Debian package with CPack and checks it with lintian: no
errors, the files in their Debian places, dependencies found by shlibdeps.
As root with apt at hand (and the package not installed already) it is also
installed with apt and removed again, leaving nothing behind. Exit 77 when
dpkg-dev or lintian is missing."""

import argparse
import glob
import os
import shutil
import subprocess
import sys
import tempfile


def run(argv, **kwargs):
    return subprocess.run(argv, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=900, **kwargs)


def check(condition, message):
    if not condition:
        print("FAIL: " + message)
        sys.exit(1)


def installed(package):
    result = run(["dpkg-query", "-W", "-f=${Status}", package])
    return result.returncode == 0 and b"install ok installed" in result.stdout


def try_apt(deb):
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    result = run(["apt-get", "install", "-y", "--no-install-recommends", deb], env=env)
    check(result.returncode == 0, "apt install: " + result.stdout.decode(errors="replace")[-3000:])
    try:
        result = run(["/usr/bin/zr5a", "--version"])
        check(result.returncode == 0 and result.stdout.startswith(b"zr5a "), "installed zr5a --version")
        files = run(["dpkg-query", "-L", "zephyrant2"]).stdout.decode().split()
        check("/usr/share/applications/zr5a.desktop" in files, "desktop entry installed")
    finally:
        result = run(["apt-get", "remove", "-y", "--purge", "zephyrant2"], env=env)
    check(result.returncode == 0, "apt remove: " + result.stdout.decode(errors="replace")[-3000:])
    left = [path for path in ("/usr/bin/zr5a", "/usr/share/zephyrant2", "/usr/share/doc/zephyrant2")
            if os.path.exists(path)]
    check(not left, "left after removal: " + ", ".join(left))
    print("apt install and removal: ok")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    args = parser.parse_args()
    missing = [tool for tool in ("dpkg-deb", "dpkg-shlibdeps", "lintian", "cpack") if shutil.which(tool) is None]
    if missing:
        print("skipped: missing " + ", ".join(missing))
        return 77
    # What CPack packs must be up to date (icons, manual pages, changelog).
    result = run(["cmake", "--build", args.build, "--target", "zr5a", "zr5run", "zr5patrol", "zr5skin-tool",
                  "zr5script", "zr5_icons", "zr5_man", "zr5_debian_doc"])
    check(result.returncode == 0, "build: " + result.stdout.decode(errors="replace")[-4000:])
    out = tempfile.mkdtemp(prefix="zr5deb-")
    try:
        result = run(["cpack", "-G", "DEB", "-B", out, "--config", os.path.join(args.build, "CPackConfig.cmake")])
        check(result.returncode == 0, "cpack: " + result.stdout.decode(errors="replace")[-4000:])
        debs = glob.glob(os.path.join(out, "*.deb"))
        check(len(debs) == 1, f"one package, found {debs}")
        deb = debs[0]

        fields = run(["dpkg-deb", "-f", deb]).stdout.decode()
        print(fields)
        for needed in ("Package: zephyrant2", "Section: news", "Maintainer: ", "Description: "):
            check(needed in fields, "control field " + needed)
        check("libqt6widgets6" in fields and "libcurl" in fields, "shlibdeps found Qt and libcurl")
        contents = run(["dpkg-deb", "-c", deb]).stdout.decode()
        for path in ("./usr/bin/zr5a", "./usr/share/doc/zephyrant2/copyright",
                     "./usr/share/doc/zephyrant2/changelog.Debian.gz", "./usr/share/applications/zr5a.desktop",
                     "./usr/share/zephyrant2/Scripts/welcome.zrs", "./usr/share/man/man1/zr5a.1.gz"):
            check(path in contents, "package holds " + path)
        check("/usr/local" not in contents, "nothing under /usr/local")

        result = run(["lintian", "--tag-display-limit", "0", deb])
        report = result.stdout.decode(errors="replace")
        print(report)
        errors = [line for line in report.splitlines() if line.startswith("E:")]
        check(not errors, "lintian errors:\n" + "\n".join(errors))

        if os.geteuid() == 0 and shutil.which("apt-get") and not installed("zephyrant2"):
            try_apt(deb)
        else:
            print("apt install skipped: needs root and no installed zephyrant2")
    finally:
        shutil.rmtree(out, True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
