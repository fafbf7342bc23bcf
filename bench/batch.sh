#!/usr/bin/env bash
# A batch export of many plays to GIF, one play at a time (-j 1) against two side by side
# (-j 2): seconds of wall and processor time, and peak memory, per run.
#
#   bench/batch.sh [CLI] [PLAYS] [RUNS] [SCALE]
#
# CLI defaults to build/default/src/cli/hoopcast-cli; PLAYS (default 20) are the samples
# copied round and round under names of their own; RUNS (default 3) of each, in turn;
# SCALE (default 1) is export's --scale, for plays that cost more to draw.
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
cli="${1:-$root/build/default/src/cli/hoopcast-cli}"
count="${2:-20}"
runs="${3:-3}"
scale="${4:-1}"
[ -x "$cli" ] || { echo "batch: no hoopcast-cli at $cli (build first)" >&2; exit 2; }
command -v /usr/bin/time >/dev/null || { echo "batch: needs /usr/bin/time" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/plays"
samples=("$root"/samples/*.kqz)
for ((i = 0; i < count; ++i)); do
  sample="${samples[i % ${#samples[@]}]}"
  cp "$sample" "$work/plays/$(printf '%02d' "$i")_$(basename "$sample")"
done

printf '%-5s %5s %4s %8s %8s %8s\n' plays scale jobs wall_s cpu_s peak_mb
for ((r = 0; r < runs; ++r)); do
  for jobs in 1 2; do
    rm -rf "$work/out"
    /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$cli" export "$work"/plays/*.kqz --scale "$scale" -j "$jobs" \
      -o "$work/out/" >/dev/null
    read -r wall user sys peak <"$work/time"
    awk -v n="$count" -v sc="$scale" -v j="$jobs" -v w="$wall" -v u="$user" -v s="$sys" -v p="$peak" \
      'BEGIN { printf "%-5d %5s %4d %8.2f %8.2f %8.1f\n", n, sc, j, w, u + s, p / 1024 }'
  done
done
