#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-asan and runs every test there; the first error of either stops the
# test that hit it, and a leak fails it too.
set -euo pipefail
cd "$(dirname "$0")/.."

# verify_asan_link_order=0: the start-up test runs the program under faketime,
# whose preloaded library comes before the sanitizer's runtime.
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1:verify_asan_link_order=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDEXLIN_WERROR=ON -DDEXLIN_SANITIZE=ON -DDEXLIN_BENCH=OFF
cmake --build build-asan -j2
# The start-up test runs the program under strace, where LeakSanitizer cannot
# work (it needs ptrace itself): that one runs without the leak check, which
# the other tests of the program and scripts/check-leaks.sh cover.
traced='^app_opens_no_file_of_its_own$'
ctest --test-dir build-asan --output-on-failure -j2 -E "$traced"
ASAN_OPTIONS="$ASAN_OPTIONS:detect_leaks=0" ctest --test-dir build-asan --output-on-failure -R "$traced"
