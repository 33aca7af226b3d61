#!/usr/bin/env bash
# The position history at the scale of years, each figure min/median/max of whole processes
# (farm-bench): opening the history window and drawing it, its peak memory, what starting a check
# reads of the history, and the CSV export against the sqlite3 shell's dump of the same rows.
# usage: bench/history_scale.sh [BUILD_DIR] [RUNS]
# targets: open + chart of 36,500 checks with a gap every 2 days <= 300 ms and <= 100 MB; ten
# years with a keyword changing daily <= 100 MB; the start of a check <= 150 ms; the CSV of 36,500
# checks <= 30 MiB and <= 1.2x the dump.
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(realpath "${1:-build}")"
runs="${2:-5}"
scale="$build/bench/history_scale"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

echo "writing the histories (a minute or two)"
"$scale" gaps "$work/gaps.sqlite" 2>/dev/null
"$scale" keywords "$work/keywords.sqlite" 2>/dev/null
data="$work/data/Tellvik/Kestrova Sertrix"
mkdir -p "$data"
"$scale" daily "$data/history.sqlite" 2>/dev/null

echo "== open + chart: 36,500 checks of one keyword on six engines, the site not found every 2nd day"
farm-bench -n "$runs" --timeout 600 -- "$scale" open "$work/gaps.sqlite"
echo "== open + chart: 3,650 checks of 7 keywords on six engines, one keyword new every day"
farm-bench -n "$runs" --timeout 600 -- "$scale" open "$work/keywords.sqlite"
echo "== start of a check: the latest decided result of 42 series in 36,500 checks"
"$scale" previous "$data/history.sqlite" 2>/dev/null
echo "== CSV of 36,500 checks of 7 keywords on six engines (A) against the sqlite3 dump (B)"
farm-bench -n "$runs" --timeout 900 \
  --vs "sqlite3 -csv -separator , -cmd '.output $work/dump.csv' '$data/history.sqlite' 'SELECT c.time_utc, c.site, r.keyword, r.engine, r.position, r.result_page, r.query_count, c.cy, c.pr, r.reason, c.outcome, c.definitions FROM checks c JOIN results r ON r.check_id = c.id ORDER BY c.time_utc, c.id, r.rowid'" \
  -- env XDG_DATA_HOME="$work/data" "$build/kestrova-check" --history-csv "$work/history.csv" --site example.ru
ls -l "$work/history.csv" "$work/dump.csv"
