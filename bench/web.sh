#!/usr/bin/env bash
# The browser viewer against the desktop: bench_frames' busy frame (still and animation, at
# scales 1.00 and 2.86) natively and as WebAssembly in Debian's chromium, the size of
# build/web/hoopcast.html, and the time from opening it from disk to its first court frame;
# for every sample, the size of its exported page and the time to that page's first frame.
# Builds what it needs: the default build's bench_frames and hoopcast-cli, scripts/web, the
# wasm benchmark.
# usage: bench/web.sh [PLAY]
set -euo pipefail
cd "$(dirname "$0")/.."
play=${1:-samples/half_court_set_play.kqz}
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

cmake --build build/default --target bench_frames hoopcast-cli >/dev/null
HOOPCAST_SKIP_SETUP=1 scripts/web >/dev/null
cmake --build build/web/core --target bench_frames_web >/dev/null
node bench/web/measure.mjs "$PWD/build/default/bench/bench_frames" "$PWD/build/web/core/bench/web/bench_frames_web.js" "$play" \
  "$PWD/build/default/src/cli/hoopcast-cli"
