#!/usr/bin/env bash
# Figures of whole checks run by kestrova-check against the sandbox engines:
#  - overhead ratio = wall time / (requests x pacing), every engine ticked, seven keywords,
#    pacing 20 ms and 200 ms; the site stands on the second result page of every engine, so
#    each lookup reads two pages;
#  - CPU used by a check that waits for ten seconds on a request that never gets an answer.
#    The checker has no pause; a check waiting on the network is what comes closest to it.
# Usage: bench/check_overhead.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
checker="$build/kestrova-check"
sandbox_bin="$build/tools/sandbox/ks-sandbox"
for f in "$checker" "$sandbox_bin"; do
  [ -x "$f" ] || { echo "missing $f: build the targets kestrova-check and ks-sandbox first" >&2; exit 1; }
done

work="$(mktemp -d)"
sandbox_pid=""
stop_sandbox() {
  if [ -n "$sandbox_pid" ]; then
    kill "$sandbox_pid" 2>/dev/null || true
    wait "$sandbox_pid" 2>/dev/null || true
    sandbox_pid=""
  fi
}
cleanup() {
  stop_sandbox
  rm -rf "$work"
}
trap cleanup EXIT

start_sandbox() { # pacing in ms
  rm -f "$work/endpoints.ini"
  "$sandbox_bin" --endpoints-out "$work/endpoints.ini" --interval-ms "$1" &
  sandbox_pid=$!
  for _ in $(seq 1 100); do
    [ -f "$work/endpoints.ini" ] && break
    sleep 0.1
  done
  [ -f "$work/endpoints.ini" ] || { echo "the sandbox engines did not start" >&2; exit 1; }
  control="$(sed -n 's/^Control=//p' "$work/endpoints.ini")"
}

# "sandbox_http control LINES" posts control commands; "sandbox_http log" counts the logged requests.
sandbox_http() {
  python3 -c '
import sys, urllib.request
host, what = sys.argv[1], sys.argv[2]
if what == "log":
    print(urllib.request.urlopen(f"http://{host}/log").read().decode().count("\n"))
else:
    request = urllib.request.Request(f"http://{host}/control", data=sys.argv[3].encode(), method="POST")
    urllib.request.urlopen(request).read()
' "$control" "$@"
}

write_project() {
  {
    for engine in AportRu GoogleCom GoogleRu MSNCom RamblerRu YandexRu; do
      printf '[CheckBox%s: TcxPropertiesStoreComponent]\r\n=\r\nChecked="True"\r\n\r\n' "$engine"
    done
    for n in 1 2 3 4 5 6 7; do
      printf '[edKeyWord%s: TcxPropertiesStoreComponent]\r\n=\r\nText="keyword %s"\r\n\r\n' "$n" "$n"
    done
    printf '[edWEB: TcxPropertiesStoreComponent]\r\n=\r\nText="http://www.example.ru/"\r\n\r\n'
  } >"$work/bench.zlt"
}

export XDG_CONFIG_HOME="$work/config" # direct connection, whatever the user remembered
write_project

echo "Whole checks: 6 engines, 7 keywords, the site on the second result page"
printf '%-10s %10s %10s %12s %10s\n' "pacing" "requests" "wall s" "ideal s" "ratio"
for pacing in 20 200; do
  start_sandbox "$pacing"
  sandbox_http control "place GoogleCom * 11
place GoogleRu * 11
place YandexRu * 11
place RamblerRu * 16
place AportRu * 11
place MSNCom * 11
clearlog"
  begin=$(date +%s.%N)
  KESTROVA_ENDPOINTS="$work/endpoints.ini" "$checker" --json "$work/bench.zlt" >"$work/out.json" 2>"$work/err.txt"
  end=$(date +%s.%N)
  requests=$(sandbox_http log)
  python3 - "$pacing" "$requests" "$begin" "$end" <<'EOF'
import sys
pacing, requests, begin, end = int(sys.argv[1]), int(sys.argv[2]), float(sys.argv[3]), float(sys.argv[4])
wall = end - begin
ideal = requests * pacing / 1000
print(f"{str(pacing) + ' ms':<10} {requests:>10} {wall:>10.2f} {ideal:>12.2f} {wall / ideal:>10.3f}")
EOF
  stop_sandbox
done

echo
echo "CPU of a check waiting 10 s on a request that never gets an answer"
start_sandbox 20
sandbox_http control "stall YandexCY"
KESTROVA_ENDPOINTS="$work/endpoints.ini" "$checker" --json "$work/bench.zlt" >"$work/out.json" 2>"$work/err.txt" &
checker_pid=$!
sleep 1
ticks() { awk '{ print $14 + $15 }' "/proc/$checker_pid/stat"; }
t0=$(ticks)
sleep 10
t1=$(ticks)
kill -INT "$checker_pid"
status=0
wait "$checker_pid" || status=$?
hz=$(getconf CLK_TCK)
python3 - "$t0" "$t1" "$hz" <<'EOF'
import sys
t0, t1, hz = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3])
print(f"CPU over 10 s: {(t1 - t0) / hz:.3f} s = {100 * (t1 - t0) / hz / 10:.2f} % of a core")
EOF
echo "exit status after Ctrl-C: $status"
