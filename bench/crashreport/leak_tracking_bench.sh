#!/usr/bin/env bash
# Prints the leak tracker's cost per allocation and release next to the
# runtime's own operator new and delete, and their ratio.
#   leak_tracking_bench.sh WINE_RUN TRACKED_EXE PLAIN_EXE
set -euo pipefail
wine_run=$1
on=$("$wine_run" "$2" | tr -d '\r')
off=$("$wine_run" "$3" | tr -d '\r')
echo "Leak tracking: ns per allocation and release (tracking on / off, ratio)"
paste <(echo "$on") <(echo "$off") | while IFS=$'\t' read -r a b; do
  name=${a%%:*}
  x=${a##*: }
  y=${b##*: }
  awk -v n="$name" -v x="$x" -v y="$y" \
    'BEGIN { split(n, p, " "); printf "  %-5s blocks, %d thread(s): %9.1f / %7.1f ns  x%.1f\n", p[1], p[2], x, y, x / y }'
done
