#!/usr/bin/env bash
# Builds Zephyrant2 and starts it on the bundled defaults. The program keeps
# zr5.ini, Scripts, Skins and Help in its home folder ($ZR5_HOME, else
# ~/.local/share/Zephyrant2), which it creates and fills from the bundled data
# on first start, never over the user's own files. Arguments go to zr5a
# (e.g. --home DIR).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" "$root/build" -DZR5_WITH_TESTS=OFF
exec "$root/build/bin/zr5a" "$@"
