#!/usr/bin/env bash
# The position history on PostgreSQL at the scale of a team. A PostgreSQL 15 server of its own
# (initdb in a temporary folder, run as "nobody" when this runs as root, a Unix socket only).
# 1. WRITERS kestrova-check processes (100 unless given) checking the sandbox engines at once, each
#    writing into the one server: no check lost, the wall time of a check among them against one
#    alone (target <= 1.1x).
# 2. The CSV of 36,500 checks read from the server (A) against psql's \copy of the same rows (B):
#    CPU seconds and peak memory, min/median/max of RUNS (target A <= 1.2x B, <= 30 MiB).
# 3. The history window read and drawn for 36,500 checks from the server (target <= 300 ms CPU,
#    <= 100 MB), and what starting a check and the schedule dialog read of it.
# The sandbox answers after INTERVAL_MS (20 unless given): a check then costs mostly CPU, and the
# writers' figure measures the machine's cores; at the program's own pacing (1000) it measures what
# the shared store adds. With WRITERS_ONLY=1 the bench ends after part 1.
# usage: bench/history_postgres.sh [BUILD_DIR] [RUNS] [WRITERS] [INTERVAL_MS]
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(realpath "${1:-build}")"
runs="${2:-5}"
writers="${3:-100}"
interval="${4:-20}"
checker="$build/kestrova-check"
scale="$build/bench/history_scale"
sandbox_bin="$build/tools/sandbox/ks-sandbox"
pgbin=/usr/lib/postgresql/15/bin
for f in "$checker" "$scale" "$sandbox_bin" "$pgbin/initdb"; do
  [ -x "$f" ] || { echo "missing $f: build kestrova-check, history_scale and ks-sandbox, run scripts/setup" >&2; exit 1; }
done
work="$(mktemp -d)"
chmod 755 "$work"
as_server=()
if [ "$(id -u)" -eq 0 ]; then
  as_server=(runuser -u nobody --)
fi
sandbox_pid=""
cleanup() {
  [ -n "$sandbox_pid" ] && kill "$sandbox_pid" 2>/dev/null && wait "$sandbox_pid" 2>/dev/null || true
  "${as_server[@]}" "$pgbin/pg_ctl" -D "$work/pg/data" -m immediate -w stop >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -m 700 "$work/pg"
[ "$(id -u)" -eq 0 ] && chown nobody "$work/pg"
"${as_server[@]}" "$pgbin/initdb" -D "$work/pg/data" -U admin -E UTF8 --no-locale --auth-local=trust >/dev/null
"${as_server[@]}" "$pgbin/pg_ctl" -D "$work/pg/data" -l "$work/pg/data/log" -w \
  -o "-c listen_addresses='' -k $work/pg -c max_connections=250" start >/dev/null
psql_() { psql -X -q -h "$work/pg" -U admin "$@"; }
psql_ -d postgres -c "CREATE DATABASE writers" -c "CREATE DATABASE years"
export KESTROVA_HISTORY="host=$work/pg dbname=writers user=admin"
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"

spread() {
  sort -g | awk -v fmt="$1" '{ v[NR] = $1 } END {
    printf "min " fmt "  median " fmt "  max " fmt "\n", v[1], v[int((NR + 1) / 2)], v[NR] }'
}
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

echo "== $writers kestrova-check processes writing into one server at once"
"$sandbox_bin" --endpoints-out "$work/endpoints.ini" --interval-ms "$interval" --no-update &
sandbox_pid=$!
for _ in $(seq 1 100); do [ -f "$work/endpoints.ini" ] && break; sleep 0.1; done
export KESTROVA_ENDPOINTS="$work/endpoints.ini"
{
  printf '[CheckBoxYandexRu: TcxPropertiesStoreComponent]\r\n=\r\nChecked="True"\r\n\r\n'
  printf '[CheckBoxGoogleCom: TcxPropertiesStoreComponent]\r\n=\r\nChecked="True"\r\n\r\n'
  printf '[edKeyWord1: TcxPropertiesStoreComponent]\r\n=\r\nText="keyword 1"\r\n\r\n'
  printf '[edWEB: TcxPropertiesStoreComponent]\r\n=\r\nText="http://www.example.ru/"\r\n\r\n'
} >"$work/bench.zlt"
one_check() { /usr/bin/time -f "%e" -o "$1" "$checker" "$work/bench.zlt" >/dev/null 2>>"$work/errors"; }
for i in 1 2 3; do one_check "$work/alone.$i"; done
alone="$(cat "$work"/alone.* | median)"
for i in $(seq 1 "$writers"); do one_check "$work/many.$i" & done
wait $(jobs -p | grep -v "^$sandbox_pid\$") 2>/dev/null || true
recorded="$(psql_ -d writers -At -c "SELECT count(*) FROM kestrova.checks")"
echo "checks recorded: $recorded of $((writers + 3)); errors: $(grep -c 'не записана' "$work/errors" || true)"
echo "one alone, wall s: $alone"
echo "among $writers, wall s: $(cat "$work"/many.* | spread %.2f)"
echo "ratio of the medians: $(awk -v a="$(cat "$work"/many.* | median)" -v b="$alone" 'BEGIN { printf "%.2f", a / b }')"
kill "$sandbox_pid" && wait "$sandbox_pid" 2>/dev/null || true
sandbox_pid=""
[ "${WRITERS_ONLY:-}" = 1 ] && exit 0

echo "== 36,500 checks of 7 keywords on six engines, copied into the server (a few minutes)"
years="host=$work/pg dbname=years user=admin"
"$scale" daily "$work/daily.sqlite" 2>/dev/null
"$checker" --history-copy "$work/daily.sqlite" "$years" 2>/dev/null
"$scale" gaps "$work/gaps.sqlite" 2>/dev/null
KESTROVA_HISTORY_SCHEMA=gaps "$checker" --history-copy "$work/gaps.sqlite" "$years" 2>/dev/null

measure() { # label command...: CPU seconds and peak MiB of RUNS runs after one not counted
  local label="$1"
  shift
  "$@" >/dev/null 2>&1
  : >"$work/last.times"
  for ((i = 0; i < runs; i++)); do
    /usr/bin/time -f "%U %S %M" -o "$work/one.time" "$@" >/dev/null 2>&1
    awk '{ printf "%.3f %d\n", $1 + $2, $3 }' "$work/one.time" >>"$work/last.times"
  done
  printf '%-34s CPU s     %s' "$label" "$(cut -d' ' -f1 "$work/last.times" | spread %.3f)"
  printf '\n%-34s peak MiB  %s\n' "" "$(awk '{ print $2 / 1024 }' "$work/last.times" | spread %.1f)"
}
echo "== CSV of 36,500 checks from the server (A) against psql \\copy of the same rows (B)"
measure "A: kestrova-check --history-csv" \
  env KESTROVA_HISTORY="$years" "$checker" --history-csv "$work/history.csv" --site example.ru
cut -d' ' -f1 "$work/last.times" >"$work/csv.cpu"
query="SELECT c.time_utc, c.site, r.keyword, r.engine, r.position, r.result_page, r.query_count, c.cy, c.pr,"
query+=" r.reason, c.outcome, c.definitions, c.host, c.user_name FROM kestrova.checks c"
query+=" JOIN kestrova.results r ON r.check_id = c.id ORDER BY c.time_utc, c.id, r.id"
measure "B: psql \\copy" psql -X -q -h "$work/pg" -U admin -d years -c "\\copy ($query) to '$work/dump.csv' csv"
printf '%-34s          %.2f\n' "A/B CPU, the medians" \
  "$(awk -v a="$(median <"$work/csv.cpu")" -v b="$(cut -d' ' -f1 "$work/last.times" | median)" 'BEGIN { print a / b }')"
echo "(psql's figure leaves out the server's own work, which A's CPU leaves out as well)"

echo "== open + chart from the server: 36,500 checks, the site not found every 2nd day"
measure "history window, read and drawn" env KESTROVA_HISTORY_SCHEMA=gaps "$scale" open "$years"
echo "== start of a check and the schedule dialog from the server"
"$scale" previous "$years" 2>/dev/null
