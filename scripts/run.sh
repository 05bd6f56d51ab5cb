#!/usr/bin/env bash
# Builds Zephyrant2 and starts it on the bundled defaults, in a working folder
# (default ~/.local/share/Zephyrant2) that holds Scripts, Skins and Help;
# bundled files are copied there on first run, never over the user's own.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" "$root/build" -DZR5_WITH_TESTS=OFF
work=${ZR5_HOME:-$HOME/.local/share/Zephyrant2}
mkdir -p "$work"
cp -rn "$root/data/." "$work/"
cd "$work"
exec "$root/build/bin/zr5a"
