#!/usr/bin/env bash
# The window on a real desktop: Xvfb with a window manager, the real hoopcast on a sample,
# watched as a user would: what the window manager reports and what the screen shows.
# usage: desktop_test.sh WM HOOPCAST HOOPCAST_CLI FIND_PICTURE SAMPLE
set -euo pipefail
wm=$1 hoopcast=$2 cli=$3 find_picture=$4 sample=$5

for tool in Xvfb "$wm" xprop xwininfo xdotool wmctrl import convert; do
  command -v "$tool" >/dev/null || { echo "missing $tool: run scripts/setup"; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  # A window manager may outlive its display and ignore the request to end.
  for _ in $(seq 20); do
    kill -0 "${pids[@]}" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "${pids[@]}" 2>/dev/null || true
  wait 2>/dev/null || true
  if [ -n "${HOOPCAST_KEEP_SHOTS:-}" ]; then echo "shots kept in $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
fail() { echo "FAIL ($wm): $*"; exit 1; }

# Polls a command for up to 20 s.
wait_for() {
  local what=$1
  shift
  for _ in $(seq 250); do
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.2
  done
  fail "$what"
}

# --- a desktop of our own --------------------------------------------------------------
# Xvfb takes the first free display number and tells which.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
wait_for "Xvfb did not start" test -s "$work/display"
export DISPLAY=":$(head -n 1 "$work/display")"
# The window manager's settings go to a home of its own; fluxbox is told to leave the
# background alone (its wallpaper tool would put up a message box over the window).
mkdir -p "$work/.fluxbox"
echo "background: none" >"$work/.fluxbox/overlay"
echo "session.styleOverlay: $work/.fluxbox/overlay" >"$work/.fluxbox/init"
HOME=$work "$wm" >"$work/wm.log" 2>&1 &
pids+=($!)
wait_for "$wm did not start" sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'

# The play under a Latin-1 name, as disks written elsewhere have them: the window opens it
# by the command line's bytes.
latin1=$(printf '%s/lat\334n.kqz' "$work")
cp "$sample" "$latin1"
QT_QPA_PLATFORM=xcb "$hoopcast" "$latin1" 2>"$work/app.log" &
pids+=($!)
# Our windows, by their title: the main window's starts "Basketball Hoopcast".
window_titled() { wmctrl -lx | awk -v t="$1" '$3 == "hoopcast.hoopcast" && index($0, t) { print $1 }' | head -n 1; }
main_window_up() { [ -n "$(window_titled "Basketball Hoopcast")" ]; }
wait_for "the window never came up" main_window_up
id=$(window_titled "Basketball Hoopcast")

# --- what the window manager reports ---------------------------------------------------
title_of() { xprop -id "$1" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'; }
title_is() { [ "$(title_of "$id")" = "$1" ]; }
state() { xprop -id "$id" _NET_WM_STATE; }
maximized() { state | grep -q _NET_WM_STATE_MAXIMIZED_VERT && state | grep -q _NET_WM_STATE_MAXIMIZED_HORZ; }
restored() { ! state | grep -q MAXIMIZED; }
map_state_is() { xwininfo -id "$id" | grep -q "Map State: $1"; }
about_open() { [ -n "$(window_titled About)" ]; }
about_closed() { ! about_open; }
# Client area on the screen and the frame around it: x y width height left right top bottom.
geometry() {
  local info extents
  info=$(xwininfo -id "$id")
  extents=$(xprop -id "$id" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
  echo "$(awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
               /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }' <<<"$info") $extents"
}
read_geometry() { read -r cx cy cw ch fl fr ft fb <<<"$(geometry)"; outer_w=$((cw + fl + fr)); outer_h=$((ch + ft + fb)); }

# --- what the screen shows -------------------------------------------------------------
shot() { import -window root -depth 8 "$work/screen.ppm"; }
# Where the screen shows PICTURE pixel for pixel: sets px py.
find_on_screen() {
  shot && read -r px py <<<"$("$find_picture" "$work/screen.ppm" "$1" | sed -n 's/^found at \([0-9]*\),\([0-9]*\)$/\1 \2/p')" &&
    [ -n "${px:-}" ]
}
pixel() { convert "$work/screen.ppm" -crop "1x1+$1+$2" -depth 8 txt:- | tail -n 1 | grep -o '#[0-9A-F]\{6\}'; }
crop() { convert "$work/screen.ppm" -crop "$3x$4+$1+$2" +repage "$work/$5.ppm"; }
same_crop() { cmp -s "$work/$1.ppm" "$work/$2.ppm"; }
# x y width height reference
shot_and_crop_matches() { shot && crop "$1" "$2" "$3" "$4" now && same_crop now "$5"; }
shot_and_crop_differs() { shot && crop "$1" "$2" "$3" "$4" now && ! same_crop now "$5"; }
picture_size() { head -c 20 "$1" | tr '\n' ' ' | awk '{ print $2, $3 }'; }
rest_mouse() { xdotool mousemove "$((cx + 304))" "$((cy + 200))"; }  # on the window's background

info=$("$cli" info "$sample")
play_name=$(sed -n 's/^  "play_name": "\(.*\)",$/\1/p' <<<"$info")
seq_count=$(sed -n 's/^  "seq_count": \([0-9]*\),$/\1/p' <<<"$info")
"$cli" render "$sample" --seq 1 --screen-height 1024 -o "$work/normal.ppm"

# --- normal layout: the caption, 616 wide outside, the court as the command line draws it
wait_for "the title is not the caption" title_is "Basketball Hoopcast"
wait_for "the normal court never showed" find_on_screen "$work/normal.ppm"
read_geometry
[ "$outer_w" -eq 616 ] || fail "normal outer width $outer_w"
[ "$px" -eq $((cx + 8)) ] || fail "normal court at x $px, client at $cx"
court_top=$py
xprop -id "$id" _NET_WM_ALLOWED_ACTIONS | grep -q _NET_WM_ACTION_MAXIMIZE_HORZ || fail "cannot be maximized"
[ "$(pixel $((cx + 304)) $((court_top + 100)))" != "#000000" ] || fail "normal background is black"

# --- an edge drag leaves the normal window as it was -----------------------------------
before=$(geometry)
corner_x=$((cx + cw + fr - 2)) corner_y=$((cy + ch + fb - 2))
xdotool mousemove "$corner_x" "$corner_y" mousedown 1
xdotool mousemove "$((corner_x + 60))" "$((corner_y + 50))"
xdotool mousemove "$((corner_x + 120))" "$((corner_y + 100))" mouseup 1
sleep 0.7
[ "$(geometry)" = "$before" ] || fail "an edge drag resized the window: $(geometry), was $before"
wait_for "the court moved after an edge drag" find_on_screen "$work/normal.ppm"
[ "$px $py" = "$((cx + 8)) $court_top" ] || fail "court at $px,$py after an edge drag"

# --- the speed survives minimizing -----------------------------------------------------
client_top=$((court_top - 18))  # the court sits at 8, 18 in the client area below the menu
edit1=($((cx + 536)) $((client_top + 386)) 49 20)
rest_mouse
shot && crop "${edit1[@]}" speed20
xdotool mousemove "$((cx + 592))" "$((client_top + 390))" click 1 click 1  # UpDown1's up arrow
rest_mouse
wait_for "the speed box did not change" shot_and_crop_differs "${edit1[@]}" speed20
shot && crop "${edit1[@]}" speed22
xdotool windowminimize "$id"
wait_for "the window was not minimized" map_state_is IsUnMapped
wmctrl -i -a "$id"
wait_for "the window was not restored" map_state_is IsViewable
sleep 0.7
wait_for "Edit1 changed over minimize and restore" shot_and_crop_matches "${edit1[@]}" speed22

# --- Space on a focused check box ticks it ---------------------------------------------
checkbox1=($((cx + 312)) $((client_top + 389)) 73 17)
shot && crop "${checkbox1[@]}" ticked
xdotool mousemove "$((cx + 320))" "$((client_top + 397))" click 1
rest_mouse
wait_for "the Sketch box did not untick" shot_and_crop_differs "${checkbox1[@]}" ticked
xdotool key space
wait_for "Space did not tick the focused Sketch box" shot_and_crop_matches "${checkbox1[@]}" ticked

# --- Space plays and pauses whatever playback button was clicked last ------------------
court=($((cx + 8)) "$court_top" 289 361)
counter=($((cx + 540)) "$client_top" 60 16)
xdotool mousemove "$((cx + 560))" "$((client_top + 396))" click 1  # into the speed box
xdotool key --delay 2 --repeat 120 Up  # 500 ms a step
rest_mouse
wait_for "the speed did not change" shot_and_crop_differs "${edit1[@]}" speed22
shot && crop "${counter[@]}" first
xdotool mousemove "$((cx + 225))" "$((client_top + 396))" click 1  # Next
rest_mouse
wait_for "Next did not step on" shot_and_crop_differs "${counter[@]}" first
shot && crop "${counter[@]}" second && crop "${court[@]}" stopped
xdotool key space
wait_for "Space on the clicked Next did not play" shot_and_crop_differs "${court[@]}" stopped
shot_and_crop_matches "${counter[@]}" second || fail "Space on the clicked Next pressed Next"
xdotool key space
sleep 0.3
shot && crop "${court[@]}" paused
sleep 1.2
shot_and_crop_matches "${court[@]}" paused || fail "Space again did not pause"
xdotool key Home
wait_for "Home did not stop at the first sequence" find_on_screen "$work/normal.ppm"

# --- the About box's title is its caption alone; it cannot be maximized -----------------
# (openbox lets any window be minimized, whatever the window asks.)
xdotool key alt+a
wait_for "no About box" about_open
about=$(window_titled About)
[ "$(title_of "$about")" = "About" ] || fail "About box title '$(title_of "$about")'"
actions=$(xprop -id "$about" _NET_WM_ALLOWED_ACTIONS)
if grep -q "_NET_WM_ACTION_MAXIMIZE" <<<"$actions"; then fail "the About box offers $actions"; fi
if [ "$wm" != openbox ] && grep -q "_NET_WM_ACTION_MINIMIZE" <<<"$actions"; then fail "the About box offers $actions"; fi
# The Motif hints ask for neither minimizing nor maximizing (functions 0x8, 0x10; buttons 0x20, 0x40).
read -r _ functions decorations _ <<<"$(xprop -id "$about" _MOTIF_WM_HINTS | sed 's/.*= //; s/,//g')"
[ $((functions & 0x18)) -eq 0 ] && [ $((decorations & 0x60)) -eq 0 ] ||
  fail "the About box's Motif hints allow minimize or maximize: $functions $decorations"
# Maximized all the same by another program, it keeps its size.
about_size() { xwininfo -id "$about" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }'; }
about_before=$(about_size)
about_kept_size() { [ "$(about_size)" = "$about_before" ]; }
wmctrl -i -r "$about" -b add,maximized_vert,maximized_horz
sleep 0.7
wait_for "the About box stayed maximized at $(about_size)" about_kept_size
xdotool key Return
wait_for "the About box did not close" about_closed

# --- maximized through the window manager: the wide layout -----------------------------
wmctrl -i -r "$id" -b add,maximized_vert,maximized_horz
wait_for "not maximized" maximized
# The court scaled by the outer height (whose frame settles after the state), centred in
# the outer width with halves going to the even neighbour.
rendered_scale=""
wide_court_shows() {
  read_geometry
  scale=$(awk -v h="$outer_h" 'BEGIN { printf "%.17g", (h - 48) / 361 }')
  if [ "$scale" != "$rendered_scale" ]; then
    "$cli" render "$sample" --seq 1 --screen-height 1024 --scale "$scale" -o "$work/wide.ppm"
    rendered_scale=$scale
  fi
  read -r court_w court_h <<<"$(picture_size "$work/wide.ppm")"
  local d=$((outer_w - court_w))
  left=$((d / 2))
  if [ $((d % 2)) -ne 0 ] && [ $((left % 2)) -ne 0 ]; then left=$((left + 1)); fi
  find_on_screen "$work/wide.ppm" && [ "$px" -eq $((cx + left)) ]
}
wait_for "the wide court, scaled by the outer height and centred, never showed" wide_court_shows
[ "$(pixel $((cx + 2)) $((py + 100)))" = "#000000" ] || fail "wide background not black"
panel_x=$((px + court_w + 5)) panel_y=$((py + 5))
[ "$(pixel $((panel_x + 4)) $((panel_y + 128)))" != "#000000" ] || fail "no panel beside the court"
caption="Basketball Hoopcast : $play_name  -  1/$seq_count"
wait_for "maximized title is not '$caption'" title_is "$caption"

# --- restored: the normal layout again -------------------------------------------------
wmctrl -i -r "$id" -b remove,maximized_vert,maximized_horz
wait_for "not restored" restored
wait_for "the normal court never came back" find_on_screen "$work/normal.ppm"
read_geometry
[ "$outer_w" -eq 616 ] || fail "restored outer width $outer_w"
[ "$px" -eq $((cx + 8)) ] || fail "restored court at x $px"
wait_for "restored title is not the caption" title_is "Basketball Hoopcast"

# --- a one-way maximize is a maximize ---------------------------------------------------
wmctrl -i -r "$id" -b add,maximized_horz
wait_for "maximized across, the window was not maximized whole" maximized
wait_for "maximized across, the wide court never showed" wide_court_shows
wait_for "maximized across, the title is not '$caption'" title_is "$caption"
wmctrl -i -r "$id" -b remove,maximized_vert,maximized_horz
wait_for "not restored after maximizing across" restored
normal_window_whole() {
  read_geometry
  [ "$outer_w" -eq 616 ] && find_on_screen "$work/normal.ppm" && [ "$px" -eq $((cx + 8)) ]
}
wait_for "the normal window did not come back after maximizing across" normal_window_whole

# --- another program's size request: the normal window keeps its size -------------------
before=$(geometry)
wmctrl -i -r "$id" -e 0,-1,-1,900,700
sleep 0.5
wait_for "a size request of another program resized the window: $(geometry), was $before" normal_window_whole
[ "$(geometry)" = "$before" ] || fail "after a size request: $(geometry), was $before"

echo "desktop under $wm ok"
