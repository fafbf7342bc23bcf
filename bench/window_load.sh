#!/usr/bin/env bash
# What the window costs while it plays: hoopcast on a 1280 x 1024 Xvfb desktop with openbox,
# a sample looping at speed 20 with Sketch off (it animates without pause), in the normal
# layout and maximized. Prints the share of one core the program uses over 30 s in each
# layout, and its resident memory after 5 s and after 60 s of playing.
# usage: bench/window_load.sh [BUILD_DIR] [SAMPLE]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
sample=${2:-samples/half_court_set_play.kqz}
hoopcast=$build/src/app/hoopcast cli=$build/src/cli/hoopcast-cli find_picture=$build/tests/gui/find_picture

work=$(mktemp -d)
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  sleep 0.5
  kill -KILL "${pids[@]}" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
while [ ! -s "$work/display" ]; do sleep 0.1; done
export DISPLAY=":$(head -n 1 "$work/display")"
HOME=$work openbox >/dev/null 2>&1 &
pids+=($!)
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do sleep 0.1; done

QT_QPA_PLATFORM=xcb "$hoopcast" "$sample" 2>/dev/null &
app=$!
pids+=($app)
"$cli" render "$sample" --seq 1 --screen-height 1024 -o "$work/court.ppm"
# The court on the screen tells where the client area is.
for _ in $(seq 100); do
  import -window root -depth 8 "$work/screen.ppm"
  found=$("$find_picture" "$work/screen.ppm" "$work/court.ppm" | sed -n 's/^found at \([0-9]*\),\([0-9]*\)$/\1 \2/p' || true)
  [ -n "$found" ] && break
  sleep 0.2
done
read -r court_x court_y <<<"$found"
left=$((court_x - 8)) top=$((court_y - 18))
click() { xdotool mousemove "$((left + $1))" "$((top + $2))" click 1; sleep 0.3; }
click 320 397  # Sketch off
click 416 397  # Loop on
click 32 396   # Play
xdotool mousemove 5 5

ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$app/stat"; }
rss_kb() { awk '/^VmRSS/ { print $2 }' "/proc/$app/status"; }
share() {  # percent of one core over $1 seconds
  local t0 t1
  t0=$(cpu_ticks)
  sleep "$1"
  t1=$(cpu_ticks)
  awk -v d=$((t1 - t0)) -v s="$1" -v hz="$ticks" 'BEGIN { printf "%.1f", 100 * d / hz / s }'
}

sleep 5
rss5=$(rss_kb)
normal=$(share 30)
sleep 25
rss60=$(rss_kb)

id=$(wmctrl -lx | awk '$3 == "hoopcast.hoopcast" { print $1 }' | head -n 1)
wmctrl -i -r "$id" -b add,maximized_vert,maximized_horz
sleep 3
maximized=$(share 30)
rss_max=$(rss_kb)

echo "window_load: $(basename "$sample") at 20 ms per step, looped, Sketch off, 1280x1024"
echo "cpu_normal_percent_of_one_core=$normal"
echo "cpu_maximized_percent_of_one_core=$maximized"
echo "rss_after_5s_kb=$rss5 rss_after_60s_kb=$rss60 rss_after_maximized_kb=$rss_max"
