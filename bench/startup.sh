#!/usr/bin/env bash
# Start-up figures of the built program in an Xvfb server: the time from start to the main window
# being mapped, and the resident memory with three projects open.
# usage: bench/startup.sh [PROGRAM] [RUNS]     targets: under 0.3 s, under 60 MB
set -euo pipefail
cd "$(dirname "$0")/.."
program="$(realpath "${1:-build/kestrova-sertrix}")"
runs="${2:-5}"

work="$(mktemp -d)"
xvfb_pid=""
cleanup() {
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  [ ! -s "$work/stderr" ] || cat "$work/stderr" >&2
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display number itself and writes it once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 1 100); do
  [ -s "$work/display" ] && break
  sleep 0.05
done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(cat "$work/display")" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb
unset XAUTHORITY KESTROVA_ENDPOINTS QT_QPA_PLATFORMTHEME

now() { date +%s.%N; }

# Polls every few milliseconds (xdotool search --sync sleeps half a second between looks).
wait_mapped() {
  local pid="$1" wid=""
  while [ -z "$wid" ]; do
    kill -0 "$pid" 2>/dev/null || { echo "the program ended before its window appeared" >&2; exit 1; }
    wid="$(xdotool search --onlyvisible --name '^Kestrova Sertrix$' 2>/dev/null | head -n1 || true)"
    [ -n "$wid" ] || sleep 0.005
  done
  echo "$wid"
}

# Opens the first menu with a click and chooses its first item, "Создать новый проект".
new_project() {
  local wid="$1"
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  xdotool mousemove $((X + 30)) $((Y + 10)) sleep 0.05 click 1
  sleep 0.3
  xdotool key Down Return
  sleep 0.3
}

times=()
rss_kb=""
for run in $(seq 1 "$runs"); do
  start="$(now)"
  "$program" >/dev/null 2>>"$work/stderr" &
  pid=$!
  wid="$(wait_mapped "$pid")"
  mapped="$(now)"
  times+=("$(awk -v a="$start" -v b="$mapped" 'BEGIN { printf "%.4f", b - a }')")
  if [ "$run" -eq "$runs" ]; then
    sleep 0.5
    new_project "$wid"
    new_project "$wid"
    sleep 0.5
    rss_kb="$(ps -o rss= -p "$pid" | tr -d ' ')"
  fi
  kill "$pid"
  wait "$pid" 2>/dev/null || true
done

printf 'start to mapped window (s):'
printf ' %.3f' "${times[@]}"
echo
best="$(printf '%s\n' "${times[@]}" | sort -n | head -n1)"
median="$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")"
printf 'best %.3f s, median %.3f s (target under 0.3 s)\n' "$best" "$median"
printf 'resident memory with three projects open: %.1f MB (target under 60 MB)\n' \
  "$(awk -v k="$rss_kb" 'BEGIN { print k / 1024 }')"
