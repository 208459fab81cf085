#!/usr/bin/env bash
# On demand (not part of CI): builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer in its own build folder and runs the whole test suite under them.
# Any report fails its test: undefined behaviour stops the program at once, and leaks are
# reported when each test program ends.
#   bash tools/sanitize.sh            (build folder: build-sanitize, or $BUILD_DIR)
# Extra arguments go to ctest (for example -R Ini to run some tests only).
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_DIR=${BUILD_DIR:-build-sanitize}
JOBS=${JOBS:-$(nproc)}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKYX_SANITIZE=ON
cmake --build "$BUILD_DIR" -j "$JOBS"

export QT_QPA_PLATFORM=offscreen
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
# Leaks are checked when each test program ends. Stack use after return is caught too. Only
# reports from inside third-party libraries are suppressed, each named and explained: leaks that
# our code cannot free in tools/lsan.supp, correct calls that the string checks misread in
# tools/asan.supp.
export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:suppressions="$PWD/tools/asan.supp"
export LSAN_OPTIONS=suppressions="$PWD/tools/lsan.supp":print_suppressions=0
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$JOBS" "$@"
