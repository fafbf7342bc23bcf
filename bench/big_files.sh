#!/usr/bin/env bash
# Time and peak memory of hoopcast-cli info, render and text, and of the window, on files of
# the sizes a disk really holds: zeros left by a crash, random bytes, a long binary first
# line, a play with a long description, the same description as one line, many empty lines
# after a version line, a description of empty lines, rich-text descriptions of many
# paragraphs and of one, a text item's label of one long line full of line breaks, a first
# line of CRs, and 75 still sequences of 2 MB descriptions each. One line per command and
# file: seconds, peak resident memory, peak address space (VmPeak), exit code.
#
#   bench/big_files.sh [CLI] [DIVISOR]
#
# CLI defaults to build/default/src/cli/hoopcast-cli; the window is the hoopcast beside its
# folder, run offscreen until it has shown the play (its seconds are those of its CPU, its
# exit code 0 while it runs). DIVISOR (default 1) divides every size, for a quick run or for
# a build that cannot take the full sizes. The files go to $TMPDIR (zeros as sparse files)
# and are deleted at the end.
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
cli="${1:-$root/build/default/src/cli/hoopcast-cli}"
div="${2:-1}"
[ -x "$cli" ] || { echo "big_files: no hoopcast-cli at $cli (build first)" >&2; exit 2; }
command -v /usr/bin/time >/dev/null || { echo "big_files: needs /usr/bin/time" >&2; exit 2; }
command -v cc >/dev/null || { echo "big_files: needs a C compiler (cc)" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# A process's peak address space is gone with it: a library loaded into the command writes
# it down as the command ends.
cat >"$work/vmpeak.c" <<'C'
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
__attribute__((destructor)) static void write_vmpeak(void) {
  const char* to = getenv("BIG_FILES_VMPEAK");
  FILE* status = fopen("/proc/self/status", "r");
  char line[256];
  while (to != NULL && status != NULL && fgets(line, sizeof line, status) != NULL) {
    if (strncmp(line, "VmPeak:", 7) != 0) continue;
    FILE* out = fopen(to, "w");
    if (out != NULL) fprintf(out, "%ld\n", strtol(line + 7, NULL, 10)), fclose(out);
  }
  if (status != NULL) fclose(status);
}
C
cc -shared -fPIC -O2 -o "$work/vmpeak.so" "$work/vmpeak.c"
mb() { echo $(($1 * 1024 / div))K; }

header() { # version
  printf 'Version  = Basketball Drillpad %s\r\nType     = Play\r\nCategory = Big\r\n' "$1"
  printf 'Playname = Files\r\nNr_seq   = 1\r\nAnimation= No\r\nSequence = 1\r\n'
}
items() {
  printf 'Nr_parts = 2\r\n'
  printf 'Number   = 3\r\nKind     = Court\r\nX1       = 0\r\nY1       = 0\r\nX2       = 999\r\nY2       = 0\r\n'
  printf 'Number   = 1\r\nKind     = Circle\r\nX1       = 100\r\nY1       = 100\r\nX2       = 0\r\nY2       = 0\r\n'
}

truncate -s "$(mb 2048)" "$work/zeros.kqz"
head -c "$(mb 2048)" /dev/urandom >"$work/random.kqz"
{ head -c "$(mb 1)" /dev/urandom | tr '\n\r\032' 'abc'; printf '\r\n'; header 0.2; items; } >"$work/binary_line.kqz"
{ header 0.2; yes 'The guard brings the ball up the left side and passes to the wing.' | head -c "$(mb 300)"; printf '\r\n'; items; } \
  >"$work/description.kqz"
{ header 0.2; yes 'The guard brings the ball up the left side and passes to the wing.' | head -c "$(mb 300)" | tr '\n' ' '; printf '\r\n'; items; } \
  >"$work/one_line.kqz"
{ printf 'Version  = Basketball Drillpad 0.2\r\n'; head -c "$(mb 512)" /dev/zero | tr '\0' '\n'; } >"$work/empty_lines.kqz"
{ header 0.2; head -c "$(mb 256)" /dev/zero | tr '\0' '\n'; items; } >"$work/empty_description.kqz"
{ header 0.2; printf '{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 '; yes 'The guard brings the ball up the left side.\par' | head -c "$(mb 300)" | tr '\n' ' '; printf '}\r\n'; items; } \
  >"$work/rtf_paragraphs.kqz"
{ header 0.2; printf '{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 '; yes 'The guard brings the ball up the left side.' | head -c "$(mb 300)" | tr '\n' ' '; printf '}\r\n'; items; } \
  >"$work/rtf_one_paragraph.kqz"
{ printf 'Version  = Basketball Drillpad 0.5\r\nCategory = Big\r\nPlayname = Label\r\nNr_seq   = 1\r\n\n\n\n\n\n\n\n\n\n'
  printf 'Animation= No\r\nSequence = 1\r\nFocus    = \r\nNr_parts = 1\r\nNumber   = 1\r\nKind     = Text\r\n'
  printf 'X1       = 20\r\nY1       = 160\r\nX2       = 0\r\nY2       = 0\r\nExtra1   = 12\r\nExtra2   = 0\r\n'
  printf 'Extra3   = 5\r\nColour   = 192\r\nText     = '
  yes 'Wonder|' | head -c "$(mb 300)" | tr -d '\n'
  printf '\r\nText2    = Arial\r\n'; } >"$work/label.kqz"
head -c "$(mb 2048)" /dev/zero | tr '\0' '\r' >"$work/crs.kqz"
{ printf 'Version  = Basketball Drillpad 0.2\r\nCategory = Big\r\nPlayname = Notes\r\nNr_seq   = 75\r\n'
  for _ in $(seq 75); do
    printf 'Animation= No\r\nSequence = 1\r\n'
    yes 'The guard brings the ball up the left side and passes to the wing.' | head -c "$(mb 2)"
    printf '\r\n'; items
  done; } >"$work/descriptions.kqz"

printf '%-22s %-7s %9s %8s %10s %10s %4s\n' file command size_mb seconds peak_mb vmpeak_mb exit
window="$(dirname "$cli")/../app/hoopcast"
# The window's peak memory and CPU seconds once it has shown the play: its CPU time has
# stopped growing for a second (at most a minute).
run_window() { # file
  QT_QPA_PLATFORM=offscreen HOME="$work" "$window" "$1" >/dev/null 2>&1 &
  local pid=$! last=-1 now=0
  for _ in $(seq 60); do
    sleep 1
    now=$(awk '{ print $14 + $15 }' "/proc/$pid/stat" 2>/dev/null) || break
    [ "$now" = "$last" ] && break
    last=$now
  done
  local kb vm
  kb=$(awk '/^VmHWM/ { print $2 }' "/proc/$pid/status" 2>/dev/null || echo 0)
  vm=$(awk '/^VmPeak/ { print $2 }' "/proc/$pid/status" 2>/dev/null || echo 0)
  local rc=0
  kill -0 "$pid" 2>/dev/null || { wait "$pid"; rc=$?; }
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  awk -v t="$now" -v hz="$(getconf CLK_TCK)" -v kb="${kb:-0}" -v vm="${vm:-0}" -v rc="$rc" \
    'BEGIN { printf "%.2f %d %d %d\n", t / hz, kb, vm, rc }'
}

for f in zeros random binary_line description one_line empty_lines empty_description rtf_paragraphs rtf_one_paragraph label crs descriptions; do
  file="$work/$f.kqz"
  size=$(awk -v b="$(stat -c %s "$file")" 'BEGIN { printf "%.1f", b / 1048576 }')
  for command in info render text html window; do
    if [ "$command" = window ]; then
      [ -x "$window" ] || continue
      read -r seconds kb vm rc < <(run_window "$file")
      printf '%-22s %-7s %9s %8s %10s %10s %4s\n' "$f" "$command" "$size" "$seconds" $((kb / 1024)) $((vm / 1024)) "$rc"
      continue
    fi
    case $command in
      info) args=(info "$file") ;;
      render) args=(render "$file" --seq 1 -o "$work/out.png") ;;
      text) args=(text "$file" --seq 1) ;;
      html) args=(text "$file" --seq 1 --html) ;;
    esac
    set +e
    echo 0 >"$work/vmpeak"
    /usr/bin/time -o "$work/time" -f '%e %M' env BIG_FILES_VMPEAK="$work/vmpeak" LD_PRELOAD="$work/vmpeak.so" \
      "$cli" "${args[@]}" >/dev/null 2>"$work/err"
    rc=$?
    set -e
    read -r seconds kb < <(tail -n 1 "$work/time")
    read -r vm <"$work/vmpeak"
    printf '%-22s %-7s %9s %8s %10s %10s %4s\n' "$f" "$command" "$size" "$seconds" $((kb / 1024)) $((vm / 1024)) "$rc"
  done
done
