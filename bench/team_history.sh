#!/usr/bin/env bash
# A team's history, end to end on one machine: two users, each with a home of their own (as two
# machines would have), run kestrova-check against the sandbox engines into one PostgreSQL server
# named by KESTROVA_HISTORY; the CSV read back from the server shows every check with its host and
# user. Needs root (it adds two users and removes them at the end) and a build of kestrova-check
# and ks-sandbox.
# usage: bench/team_history.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(realpath "${1:-build}")"
checker="$build/kestrova-check"
sandbox_bin="$build/tools/sandbox/ks-sandbox"
pgbin=/usr/lib/postgresql/15/bin
[ "$(id -u)" -eq 0 ] || { echo "run as root: it adds two users for the run" >&2; exit 1; }
for f in "$checker" "$sandbox_bin" "$pgbin/initdb"; do
  [ -x "$f" ] || { echo "missing $f: build kestrova-check and ks-sandbox, run scripts/setup" >&2; exit 1; }
done
work="$(mktemp -d)"
chmod 755 "$work"
users=(ks-team-anna ks-team-boris)
sandbox_pid=""
cleanup() {
  [ -n "$sandbox_pid" ] && kill "$sandbox_pid" 2>/dev/null && wait "$sandbox_pid" 2>/dev/null || true
  runuser -u nobody -- "$pgbin/pg_ctl" -D "$work/pg/data" -m immediate -w stop >/dev/null 2>&1 || true
  for user in "${users[@]}"; do userdel "$user" >/dev/null 2>&1 || true; done
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -m 700 "$work/pg" && chown nobody "$work/pg"
runuser -u nobody -- "$pgbin/initdb" -D "$work/pg/data" -U admin -E UTF8 --no-locale --auth-local=trust >/dev/null
runuser -u nobody -- "$pgbin/pg_ctl" -D "$work/pg/data" -l "$work/pg/data/log" -w \
  -o "-c listen_addresses='' -k $work/pg" start >/dev/null
chmod 755 "$work/pg"
psql -X -q -h "$work/pg" -U admin -d postgres -c "CREATE DATABASE team"
history="host=$work/pg dbname=team user=admin"

"$sandbox_bin" --endpoints-out "$work/endpoints.ini" --interval-ms 20 --no-update &
sandbox_pid=$!
for _ in $(seq 1 100); do [ -f "$work/endpoints.ini" ] && break; sleep 0.1; done

for user in "${users[@]}"; do
  useradd --create-home --home-dir "$work/home-$user" --shell /bin/sh "$user"
  project="$work/home-$user/site.zlt"
  {
    printf '[CheckBoxYandexRu: TcxPropertiesStoreComponent]\r\n=\r\nChecked="True"\r\n\r\n'
    printf '[CheckBoxGoogleCom: TcxPropertiesStoreComponent]\r\n=\r\nChecked="True"\r\n\r\n'
    printf '[edKeyWord1: TcxPropertiesStoreComponent]\r\n=\r\nText="keyword 1"\r\n\r\n'
    printf '[edWEB: TcxPropertiesStoreComponent]\r\n=\r\nText="http://www.example.ru/"\r\n\r\n'
  } >"$project"
  # The endpoints file is read only when it is the user's own.
  cp "$work/endpoints.ini" "$work/home-$user/endpoints.ini"
  chown "$user" "$project" "$work/home-$user/endpoints.ini"
  chmod 600 "$project" "$work/home-$user/endpoints.ini"
  echo "== $user checks into the shared history"
  runuser -u "$user" -- env -i HOME="$work/home-$user" PATH=/usr/bin:/bin \
    KESTROVA_ENDPOINTS="$work/home-$user/endpoints.ini" KESTROVA_HISTORY="$history" "$checker" "$project" | head -n 3
done

echo "== the shared history, read back from the server (time, engine, host, user)"
"$checker" --history "$history" --history-csv "$work/team.csv"
cut -d, -f1,4,14,15 "$work/team.csv" | sed 's/^\xEF\xBB\xBF//'
echo "checks by user: $(psql -X -At -h "$work/pg" -U admin -d team \
  -c "SELECT string_agg(user_name || ' ' || n, ', ') FROM (SELECT user_name, count(*) n FROM kestrova.checks GROUP BY 1 ORDER BY 1) s")"
