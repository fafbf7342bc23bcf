#!/usr/bin/env bash
# The window under a Wayland compositor of its own: weston's headless backend, sway headless
# (run as an unprivileged user, as sway refuses root), or weston with XWayland, where the
# window runs on X11 beside the compositor. The compositor starts once; the test program
# drives the real window in it and looks at the compositor's screenshots.
# weston's headless backend gets a keyboard from KEYBOARD_MODULE (weston_keyboard.cpp), if
# given; without it the keys are not tried there.
# usage: wayland_test.sh weston|sway|xwayland WAYLAND_TESTS [KEYBOARD_MODULE]
set -euo pipefail
mode=$1 tests=$2 keyboard=${3:-}

case $mode in
  weston | xwayland) tools=(weston weston-screenshooter) ;;
  sway) tools=(sway swaymsg grim setpriv) ;;
  *) echo "usage: wayland_test.sh weston|sway|xwayland WAYLAND_TESTS [KEYBOARD_MODULE]"; exit 2 ;;
esac
for tool in "${tools[@]}"; do
  command -v "$tool" >/dev/null || { echo "missing $tool: run scripts/setup"; exit 1; }
done

work=$(mktemp -d)
chmod 755 "$work"
pid=""
cleanup() {
  if [ -n "$pid" ]; then
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 20); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$pid" 2>/dev/null || true
  fi
  wait 2>/dev/null || true
  if [ -n "${HOOPCAST_KEEP_SHOTS:-}" ]; then echo "shots kept in $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

# Polls a command for up to 20 s.
wait_for() {
  local what=$1
  shift
  for _ in $(seq 200); do
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  echo "FAIL ($mode): $what"
  cat "$work"/*.log 2>/dev/null | tail -n 20
  exit 1
}

export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
case $mode in
  weston | xwayland)
    xwayland=()
    [ "$mode" = xwayland ] && xwayland=(--xwayland)
    # --debug allows weston-screenshooter.
    modules=()
    [ -n "$keyboard" ] && modules=(--modules="$keyboard")
    weston --backend=headless-backend.so --use-pixman --debug --width=1280 --height=1024 \
      --socket=wayland-hoopcast "${modules[@]}" "${xwayland[@]}" >"$work/weston.log" 2>&1 &
    pid=$!
    [ -n "$keyboard" ] && export HOOPCAST_WESTON_PID=$pid  # SIGUSR1: Space on the keyboard
    export WAYLAND_DISPLAY=wayland-hoopcast
    wait_for "weston did not start" test -S "$XDG_RUNTIME_DIR/wayland-hoopcast"
    if [ "$mode" = xwayland ]; then
      # weston starts XWayland when the first X client comes; it announces the display.
      wait_for "XWayland did not start" grep -q "xserver listening on display" "$work/weston.log"
      export DISPLAY=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log" | head -n 1)
      export QT_QPA_PLATFORM=xcb
    else
      export QT_QPA_PLATFORM=wayland
    fi
    export HOOPCAST_SCREENSHOT=weston-screenshooter
    ;;
  sway)
    user=$(id -u nobody)
    chown "$user" "$XDG_RUNTIME_DIR"
    cat >"$work/sway.config" <<CONFIG
output HEADLESS-1 resolution 1280x1024
default_border normal
CONFIG
    setpriv --reuid="$user" --regid="$(id -g nobody)" --clear-groups \
      env -i PATH="$PATH" HOME="$work" XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" WLR_BACKENDS=headless \
      WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 sway -c "$work/sway.config" >"$work/sway.log" 2>&1 &
    pid=$!
    wait_for "sway did not start" sh -c "ls '$XDG_RUNTIME_DIR'/sway-ipc.*.sock"
    export SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock)
    export WAYLAND_DISPLAY=$(cd "$XDG_RUNTIME_DIR" && ls wayland-* | grep -v lock | head -n 1)
    export QT_QPA_PLATFORM=wayland HOOPCAST_SCREENSHOT=grim HOOPCAST_SWAY=1
    ;;
esac

cd "$work"
HOOPCAST_COMPOSITOR=$mode "$tests"
