#!/usr/bin/env bash
# CPU used by the program while a check stands paused for ten seconds (target: under 1 % of a core).
# usage: bench/paused_cpu.sh [BUILD_DIR]   (needs xvfb-run and xdotool; the build must exist)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
program="$build/kestrova-sertrix"
sandbox="$build/tools/sandbox/ks-sandbox"
work="$(mktemp -d)"
trap 'kill "$sandbox_pid" 2>/dev/null || true; rm -rf "$work"' EXIT

"$sandbox" --endpoints-out "$work/endpoints.ini" --interval-ms 1000 &
sandbox_pid=$!
for _ in $(seq 1 100); do [ -f "$work/endpoints.ini" ] && break; sleep 0.1; done

KESTROVA_ENDPOINTS="$work/endpoints.ini" XDG_CONFIG_HOME="$work/config" \
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  "$1" & pid=$!
  wid=""
  for _ in $(seq 1 50); do
    wid=$(xdotool search --name "^Kestrova Sertrix$" 2>/dev/null | head -1) && [ -n "$wid" ] && break
    sleep 0.2
  done
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  fx=$((X + 4)); fy=$((Y + HEIGHT - 644 + 24))
  click() { xdotool mousemove $((fx + $1)) $((fy + $2)); sleep 0.1; xdotool click 1; }
  click 210 37; xdotool key End; xdotool type --delay 20 "www.example.ru"
  click 127 128; xdotool type --delay 20 "paused check"
  click 396 566          # start
  sleep 3
  click 340 566          # pause
  sleep 1
  ticks() { awk "{print \$14 + \$15}" /proc/$pid/stat; }
  hz=$(getconf CLK_TCK)
  before=$(ticks); sleep 10; after=$(ticks)
  [ -n "${KS_SHOT:-}" ] && import -window root "$KS_SHOT"
  awk -v t=$((after - before)) -v hz="$hz" "BEGIN { printf \"CPU while paused for 10 s: %.2f %% of a core\n\", 100 * t / hz / 10 }"
  kill $pid; wait $pid 2>/dev/null || true
' _ "$program"
