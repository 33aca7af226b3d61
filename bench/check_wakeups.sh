#!/usr/bin/env bash
# How often kestrova-check wakes while it waits between requests, and its CPU: a check of one keyword
# in Google.com against the sandbox engines paced at one request a second (about 32 requests, most of
# the check spent waiting between them), run RUNS times (default 3). "polls" counts the checker's waits for an event
# (poll/ppoll, under strace, in one more run); CPU is user + system, min/median/max.
# Usage: bench/check_wakeups.sh [BUILD_DIR] [RUNS]   (default: build 3)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
runs="${2:-3}"
checker="$build/kestrova-check"
sandbox_bin="$build/tools/sandbox/ks-sandbox"
for f in "$checker" "$sandbox_bin"; do
  [ -x "$f" ] || { echo "missing $f: build the targets kestrova-check and ks-sandbox first" >&2; exit 1; }
done
command -v strace >/dev/null || { echo "strace is needed" >&2; exit 1; }

work="$(mktemp -d)"
sandbox_pid=""
cleanup() {
  if [ -n "$sandbox_pid" ]; then
    kill "$sandbox_pid" 2>/dev/null || true
    wait "$sandbox_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

"$sandbox_bin" --endpoints-out "$work/endpoints.ini" --interval-ms 1000 &
sandbox_pid=$!
for _ in $(seq 1 100); do
  [ -f "$work/endpoints.ini" ] && break
  sleep 0.1
done
[ -f "$work/endpoints.ini" ] || { echo "the sandbox engines did not start" >&2; exit 1; }

{
  printf '[CheckBoxGoogleCom: TcxPropertiesStoreComponent]\r\n=\r\nChecked="True"\r\n\r\n'
  printf '[edKeyWord1: TcxPropertiesStoreComponent]\r\n=\r\nText="keyword 1"\r\n\r\n'
  printf '[edWEB: TcxPropertiesStoreComponent]\r\n=\r\nText="http://www.example.ru/"\r\n\r\n'
} >"$work/bench.zlt"
export XDG_CONFIG_HOME="$work/config" KESTROVA_ENDPOINTS="$work/endpoints.ini"

cpu=()
wall=()
for _ in $(seq 1 "$runs"); do
  /usr/bin/time -f "%U %S %e" -o "$work/time.txt" "$checker" --json "$work/bench.zlt" >/dev/null 2>&1 || true
  read -r user system elapsed <"$work/time.txt"
  cpu+=("$(python3 -c "print($user + $system)")")
  wall+=("$elapsed")
done
strace -f -qq -c -o "$work/strace.txt" -e trace=poll,ppoll "$checker" --json "$work/bench.zlt" >/dev/null 2>&1 || true
polls=$(awk '$NF == "poll" || $NF == "ppoll" { n += $4 } END { print n + 0 }' "$work/strace.txt")
python3 - "$polls" "${cpu[*]}" "${wall[*]}" <<'PY'
import sys, statistics
polls = int(sys.argv[1])
cpu = sorted(float(x) for x in sys.argv[2].split())
wall = sorted(float(x) for x in sys.argv[3].split())
print(f"polls in one check: {polls} over about {statistics.median(wall):.1f} s")
print(f"CPU s per check: min {cpu[0]:.3f} median {statistics.median(cpu):.3f} max {cpu[-1]:.3f}")
print(f"wall s per check: min {wall[0]:.2f} median {statistics.median(wall):.2f} max {wall[-1]:.2f}")
PY
