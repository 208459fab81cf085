#!/usr/bin/env bash
# On demand (not part of CI): builds every libFuzzer harness in fuzz/ with clang and runs each
# for the given number of seconds (default 60) on a scratch copy of its seed corpus, so the
# corpora in the repository stay small. Crashes are left in $BUILD_DIR/findings/<name>/; a crash
# that shows a bug belongs, once fixed, in fuzz/corpus/<name>/ as a regression seed.
#   bash fuzz/run.sh [seconds] [harness names...]
set -euo pipefail
cd "$(dirname "$0")/.."

SECONDS_EACH=${1:-60}
shift || true
BUILD_DIR=$(realpath -m "${BUILD_DIR:-build-fuzz}")
JOBS=${JOBS:-$(nproc)}

# libFuzzer comes with clang and its run-time library package.
if ! command -v clang++ >/dev/null || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-*.a >/dev/null 2>&1; then
  SUDO=; [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q clang libclang-rt-14-dev
fi

CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKYX_FUZZ=ON
cmake --build "$BUILD_DIR" -j "$JOBS" --target kyx_fuzz

export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export ASAN_OPTIONS=detect_leaks=1
status=0
for program in "$BUILD_DIR"/fuzz/*_fuzz; do
  [ -x "$program" ] || continue
  name=$(basename "$program" _fuzz)
  if [ $# -gt 0 ] && [[ " $* " != *" $name "* ]]; then
    continue
  fi
  work="$BUILD_DIR/fuzz-work/$name"
  findings="$BUILD_DIR/findings/$name"
  log="$BUILD_DIR/fuzz-$name.log"
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/cwd" "$findings"
  if [ -d "fuzz/corpus/$name" ]; then
    cp -R "fuzz/corpus/$name/." "$work/corpus/"
  fi
  echo "== $name: ${SECONDS_EACH}s"
  # Run from a scratch folder: whatever a harness writes stays out of the repository.
  if ! (cd "$work/cwd" && "$program" -max_total_time="$SECONDS_EACH" -timeout=10 \
          -rss_limit_mb=4096 -artifact_prefix="$findings/" -print_final_stats=1 \
          "$work/corpus" > "$log" 2>&1); then
    echo "!! $name found a problem: see $log and $findings/"
    tail -n 40 "$log"
    status=1
  else
    grep -E '^stat::(number_of_executed_units|new_units_added)' "$log" || true
  fi
done
exit $status
