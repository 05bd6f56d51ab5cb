#!/usr/bin/env bash
# Runs every fuzz target in BINDIR for SECONDS each, seeded from fuzz/corpus/NAME.
# A target that fails (crash, leak, timeout, out of memory) has its report and
# the input that caused it printed, and the script ends with its status.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bindir=$1; seconds=$2
shopt -s nullglob

# One line of figures from libFuzzer's final statistics and its last status line.
figures() {
  awk -v name="$1" '
    /^#[0-9]+/ { for (i = 1; i < NF; i++) { if ($i == "cov:") cov = $(i + 1); if ($i == "corp:") corp = $(i + 1) } }
    /stat::number_of_executed_units:/ { runs = $2 }
    /stat::average_exec_per_sec:/ { rate = $2 }
    /stat::peak_rss_mb:/ { rss = $2 }
    END { printf "%s: %s runs, %s/s, coverage %s, corpus %s, peak %s MB\n", name, runs, rate, cov, corp, rss }
  ' "$2"
}
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
  figures "$name" "$work/log"
  rm -rf "$work"
done
[ "$found" = 1 ] || echo "no fuzz targets built"
