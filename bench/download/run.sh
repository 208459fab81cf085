#!/bin/sh
# Builds the download benchmark (Release) and runs it: our client against our data server over
# loopback, beside a plain client replaying the same requests and an insert-only load of the
# same rows. Extra arguments go to the benchmark (-n DESCRIPTIONS, --keep, --skip-login).
#
#   bench/download/run.sh            # a million descriptions
#   BUILD=/tmp/b bench/download/run.sh -n 100000
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD:-$root/build-dl}
rows=1000000
prev=""
for a in "$@"; do
  if [ "$prev" = "-n" ] || [ "$prev" = "--descriptions" ]; then rows=$a; fi
  prev=$a
done

if grep -qs 'add_subdirectory(download)' "$root/bench/CMakeLists.txt"; then
  cmake -S "$root" -B "$build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
else
  # bench/ does not list this folder yet: a wrapper project with just the folders it needs.
  mkdir -p "$build/bench-wrapper"
  cat >"$build/bench-wrapper/CMakeLists.txt" <<WRAP
cmake_minimum_required(VERSION 3.25)
project(KyxDownload LANGUAGES C CXX)
set(PROJECT_SOURCE_DIR "$root")
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
add_compile_options(-Wall -Wextra)
include("$root/cmake/Kyx.cmake")
find_package(Threads REQUIRED)
foreach(folder platform/text platform/vb platform/ini platform/files platform/host platform/net platform/data
               common db server tools/dataserver bench/download)
  add_subdirectory("$root/\${folder}" "\${CMAKE_BINARY_DIR}/\${folder}")
endforeach()
WRAP
  cmake -S "$build/bench-wrapper" -B "$build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build/release" --target bench_download >/dev/null
# The server database is generated once per size and kept beside the build.
exec "$build/release/bench/download/bench_download" --server "$build/server-worst-$rows.db" "$@"
