#!/usr/bin/env bash
# The position history at the scale of years. Every figure is min/median/max over RUNS whole
# processes, measured by GNU time (/usr/bin/time): CPU seconds (user + system) and peak resident
# memory. What is measured: opening the history window and drawing it, what starting a check and
# the schedule dialog read of the history, and the CSV export against the sqlite3 shell's dump of
# the same rows.
# usage: bench/history_scale.sh [BUILD_DIR] [RUNS]
# targets: open + chart of 36,500 checks with a gap every 2 days <= 300 ms CPU and <= 100 MB; ten
# years with a keyword changing daily <= 100 MB; ten years of 7 keywords on six engines <= 300 ms
# CPU and <= 100 MB; the start of a check <= 150 ms; the CSV of 36,500
# checks <= 30 MiB peak memory and <= 1.2x the dump's time.
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(realpath "${1:-build}")"
runs="${2:-5}"
scale="$build/bench/history_scale"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# min, median and max of the numbers on standard input, with the given printf format.
spread() {
  sort -g | awk -v fmt="$1" '{ v[NR] = $1 } END {
    printf "min " fmt "  median " fmt "  max " fmt "\n", v[1], v[int((NR + 1) / 2)], v[NR] }'
}

# runs LABEL COMMAND...: the command RUNS times (after one run not counted); its CPU seconds and
# peak memory. The times of every run stay in $work/last.times as "cpu-seconds peak-kib".
runs() {
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

echo "writing the histories (a minute or two)"
"$scale" gaps "$work/gaps.sqlite" 2>/dev/null
"$scale" keywords "$work/keywords.sqlite" 2>/dev/null
"$scale" years "$work/years.sqlite" 2>/dev/null
data="$work/data/Tellvik/Kestrova Sertrix"
mkdir -p "$data"
"$scale" daily "$data/history.sqlite" 2>/dev/null

echo "== open + chart: 36,500 checks of one keyword on six engines, the site not found every 2nd day"
runs "history window, read and drawn" "$scale" open "$work/gaps.sqlite"
echo "== open + chart: 3,650 checks of 7 keywords on six engines, one keyword new every day"
runs "history window, read and drawn" "$scale" open "$work/keywords.sqlite"
echo "== open + chart: ten years, 3,650 checks of 7 keywords on six engines (42 series)"
runs "history window, read and drawn" "$scale" open "$work/years.sqlite"
echo "== start of a check and the schedule dialog: what they read of 36,500 checks of 7 keywords"
"$scale" previous "$data/history.sqlite" 2>/dev/null

echo "== CSV of 36,500 checks of 7 keywords on six engines (A) against the sqlite3 dump (B)"
dump="SELECT c.time_utc, c.site, r.keyword, r.engine, r.position, r.result_page, r.query_count,"
dump+=" c.cy, c.pr, r.reason, c.outcome, c.definitions, c.region FROM checks c JOIN results r ON r.check_id = c.id"
dump+=" ORDER BY c.time_utc, c.id, r.rowid"
runs "A: kestrova-check --history-csv" \
  env XDG_DATA_HOME="$work/data" "$build/kestrova-check" --history-csv "$work/history.csv" --site example.ru
cp "$work/last.times" "$work/csv.times"
runs "B: sqlite3 -csv" sqlite3 -csv -separator , -cmd ".output $work/dump.csv" "$data/history.sqlite" "$dump"
median() { cut -d' ' -f1 | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
printf '%-34s          %.2f\n' "A/B CPU, the medians" \
  "$(awk -v a="$(median <"$work/csv.times")" -v b="$(median <"$work/last.times")" 'BEGIN { print a / b }')"
printf '%-34s          A %s bytes, B %s bytes\n' "file sizes" \
  "$(stat -c %s "$work/history.csv")" "$(stat -c %s "$work/dump.csv")"
