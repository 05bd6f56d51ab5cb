#!/usr/bin/env bash
# Runs every fuzz target in BINDIR for SECONDS each, seeded from fuzz/corpus/NAME.
# A target that fails (crash, leak, timeout, out of memory) has its report and
# the input that caused it printed, and the script ends with its status.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bindir=$1; seconds=$2
shopt -s nullglob
found=0
for fuzzer in "$bindir"/*_fuzz; do
  name=$(basename "$fuzzer")
  found=1
  work=$(mktemp -d)
  mkdir "$work/corpus"
  if [ -d "$root/fuzz/corpus/$name" ]; then cp -r "$root/fuzz/corpus/$name/." "$work/corpus/"; fi
  echo "-- $name (${seconds}s)"
  status=0
  (cd "$work" && "$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
    corpus > log 2>&1) || status=$?
  if [ "$status" != 0 ]; then
    tail -n 60 "$work/log"
    for artifact in "$work"/crash-* "$work"/timeout-* "$work"/oom-* "$work"/leak-*; do
      echo "-- input $(basename "$artifact") (base64):"
      head -c 4096 "$artifact" | base64
    done
    rm -rf "$work"
    exit "$status"
  fi
  tail -n 4 "$work/log"
  rm -rf "$work"
done
[ "$found" = 1 ] || echo "no fuzz targets built"
