#!/usr/bin/env bash
# Builds the libFuzzer targets (clang) in build-fuzz and runs each for a
# bounded time: scripts/fuzz.sh [seconds per target, default 60].
# The kept inputs in tests/fuzz/corpus/<target>/ seed each run; what the run
# finds grows a scratch corpus in build-fuzz/corpus/<target>/, and an input
# that breaks an invariant or trips a sanitizer is written to
# build-fuzz/artifacts/ and fails the script. Copy such an input into the kept
# corpus together with its fix, so that every build replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
targets=(variation_query model_parts coefficient_file shc_file map_projection great_circle query_tool csv_batch window_options)

cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDEXLIN_WERROR=ON -DCMAKE_CXX_COMPILER=clang++ \
  -DDEXLIN_FUZZ=ON -DDEXLIN_TESTS=OFF -DDEXLIN_BENCH=OFF -DDEXLIN_GUI=OFF
cmake --build build-fuzz -j2 --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
mkdir -p build-fuzz/artifacts
failed=()
for target in "${targets[@]}"; do
  scratch=build-fuzz/corpus/$target
  log=build-fuzz/fuzz-$target.log
  mkdir -p "$scratch"
  # One process, two corpus folders: new inputs go to the first, the kept
  # ones are only read. -close_fd_mask=3: the tool under test writes nothing
  # to the terminal; libFuzzer's own report still goes to the log.
  # Requests of a few lines at most: the kept 70 KB over-long line would
  # otherwise set the size limit and slow every run to a crawl; the replay
  # still runs it.
  max_len=()
  [ "$target" = query_tool ] || [ "$target" = csv_batch ] && max_len=(-max_len=4096)
  if build-fuzz/tests/fuzz/fuzz_"$target" "$scratch" "tests/fuzz/corpus/$target" "${max_len[@]}" \
       -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="build-fuzz/artifacts/$target-" >"$log" 2>&1; then
    result=ok
  else
    result=FAILED
    failed+=("$target")
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  printf '%-16s %-6s %12s executions in %ss  (log: %s)\n' "$target" "$result" "${runs:-?}" "$seconds" "$log"
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz.sh: findings in: ${failed[*]} (inputs in build-fuzz/artifacts/)" >&2
  for target in "${failed[@]}"; do grep -m3 -E 'ERROR|runtime error|invariant broken' "build-fuzz/fuzz-$target.log" >&2 || true; done
  exit 1
fi
