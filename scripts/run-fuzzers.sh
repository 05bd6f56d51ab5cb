#!/usr/bin/env bash
# Runs every fuzz target in BINDIR for SECONDS each, seeded from fuzz/corpus/NAME.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bindir=$1; seconds=$2
shopt -s nullglob
found=0
for fuzzer in "$bindir"/*_fuzz; do
  name=$(basename "$fuzzer")
  found=1
  corpus=$(mktemp -d)
  if [ -d "$root/fuzz/corpus/$name" ]; then cp -r "$root/fuzz/corpus/$name/." "$corpus/"; fi
  echo "-- $name (${seconds}s)"
  "$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 "$corpus" 2>&1 | tail -n 4
  rm -rf "$corpus"
done
[ "$found" = 1 ] || echo "no fuzz targets built"
