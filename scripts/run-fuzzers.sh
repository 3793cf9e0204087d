#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for the given seconds over its seed corpus.
# Fails on the first finding.
set -euo pipefail
build=$1
seconds=$2
root=$(cd "$(dirname "$0")/.." && pwd)
for bin in "$build"/fuzz/fuzz_*; do
  [ -x "$bin" ] || continue
  name=$(basename "$bin")
  corpus=$(mktemp -d)
  [ -d "$root/fuzz/corpus/${name#fuzz_}" ] && cp -r "$root/fuzz/corpus/${name#fuzz_}/." "$corpus/"
  echo "== $name for ${seconds}s"
  "$bin" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=1 "$corpus" 2>&1 | tail -n 12
  rm -rf "$corpus"
done
