#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-asan and runs every test there; the first error of either stops the
# test that hit it, and a leak fails it too.
set -euo pipefail
cd "$(dirname "$0")/.."

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
# Dialog tests draw on Qt's offscreen platform.
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDEXLIN_SANITIZE=ON -DDEXLIN_BENCH=OFF
cmake --build build-asan -j2
ctest --test-dir build-asan --output-on-failure -j2
