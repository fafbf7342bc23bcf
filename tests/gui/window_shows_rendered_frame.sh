#!/usr/bin/env bash
# In a real window under Xvfb: start hoopcast on a sample, take a screenshot, and find in it,
# pixel for pixel, the still frame that hoopcast-cli renders for the same sequence.
set -euo pipefail
hoopcast=$1 cli=$2 find_picture=$3 sample=$4
work=$(mktemp -d)
trap 'kill $app 2>/dev/null || true; rm -rf "$work"' EXIT

"$cli" render "$sample" --seq 1 --screen-height 1024 -o "$work/frame.ppm"

export DISPLAY=:$((90 + RANDOM % 100))
Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $app $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done 2>/dev/null || sleep 2

QT_QPA_PLATFORM=xcb "$hoopcast" "$sample" &
app=$!
# The first frame comes 500 ms after the window settles.
for attempt in $(seq 20); do
  sleep 0.5
  import -window root -depth 8 "$work/screen.ppm" 2>/dev/null || continue
  if "$find_picture" "$work/screen.ppm" "$work/frame.ppm"; then exit 0; fi
done
echo "the window never showed the rendered frame"
exit 1
