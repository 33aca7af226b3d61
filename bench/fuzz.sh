#!/usr/bin/env bash
# Builds the libFuzzer targets (clang 14, AddressSanitizer and UBSan) in build-fuzz and runs each
# for the given number of seconds, two at a time, on corpora seeded from tests/data:
#   bench/fuzz.sh [SECONDS] [TARGET...]
# Targets: fuzz_project_file fuzz_settings_file fuzz_site_pattern fuzz_page_reading
# fuzz_definitions_file fuzz_api_answers (default: all).
# Corpora stay in build-fuzz/corpus/TARGET, findings in build-fuzz/findings/TARGET-*, the
# libFuzzer output of each run in build-fuzz/logs/TARGET.log.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(fuzz_project_file fuzz_settings_file fuzz_site_pattern fuzz_page_reading fuzz_definitions_file fuzz_api_answers)
fi

if command -v ccache >/dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
fi
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DKS_FUZZ=ON -DKS_BUILD_TESTS=OFF \
  -DKS_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j 2 --target "${targets[@]}"

mkdir -p build-fuzz/logs build-fuzz/findings
seed() {
  local target="$1" corpus="build-fuzz/corpus/$1"
  mkdir -p "$corpus"
  case "$target" in
    fuzz_project_file) cp tests/data/*.zlt "$corpus/" ;;
    fuzz_settings_file) cp tests/data/*.reg "$corpus/" ;;
    fuzz_page_reading) cp tests/data/pages/*.html "$corpus/" ;;
    fuzz_definitions_file) cp src/rank/lookup/engines.ini tools/sandbox/google-layout-2.ini "$corpus/" ;;
    fuzz_api_answers)
      printf '%s' '{"organic_results": [{"position": 1, "link": "https://a.test/"}], "totalCount": "5"}' >"$corpus/seed-serp"
      printf '%s' '{"id": "op1", "done": true, "response": {"rawData": "PHlhbmRleHNlYXJjaC8+"}}' >"$corpus/seed-operation"
      ;;
    fuzz_site_pattern)
      local n=0 address page
      while IFS= read -r address; do
        for page in tests/data/pages/*.html; do
          n=$((n + 1))
          { printf '%s\n' "$address"; cat "$page"; } >"$corpus/seed-$n"
        done
      done <tests/data/site_addresses.txt
      ;;
  esac
}

run() {
  local target="$1"
  seed "$target"
  ASAN_OPTIONS=detect_leaks=0 "build-fuzz/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
    -rss_limit_mb=1024 -timeout=10 -artifact_prefix="build-fuzz/findings/$target-" \
    "build-fuzz/corpus/$target" >"build-fuzz/logs/$target.log" 2>&1 || true
  echo "$target: $(grep -E '^stat::number_of_executed_units' "build-fuzz/logs/$target.log" | awk '{print $2}') runs," \
    "$(grep -oE 'cov: [0-9]+' "build-fuzz/logs/$target.log" | tail -1)," \
    "$(ls build-fuzz/findings | grep -c "^$target-" || true) findings"
}

# The machine is shared: two targets at a time at most.
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  run "${targets[i]}" &
  if [ $((i + 1)) -lt ${#targets[@]} ]; then
    run "${targets[i + 1]}" &
  fi
  wait
done
