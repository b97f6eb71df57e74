#!/usr/bin/env bash
# Installs what the build needs, builds everything, runs every test, then
# builds the sanitized tests (AddressSanitizer + UndefinedBehaviorSanitizer)
# and runs them again.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen

cmake --preset default
cmake --build --preset default
ctest --test-dir build --output-on-failure -j2

cmake --preset asan
cmake --build --preset asan --target sanitized
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan -L sanitized --output-on-failure -j2
