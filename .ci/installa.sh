#!/usr/bin/env bash
# Installs the build into a temporary prefix and starts the installed Kyx from there, offscreen,
# with no KYX_HOME and the user's data folder in a temporary folder: the program must keep its
# folder under that data folder (created with the shipped character table) and write nothing into
# the installation, the home folder or the folder it was started in.
# Usage: .ci/installa.sh BUILD_DIR
set -euo pipefail
BUILD_DIR=${1:?build folder}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
cmake --install "$BUILD_DIR" --prefix "$prefix" >/dev/null

for f in bin/Kyx bin/Kyx_R bin/Kyx_ConvD share/kyx/KYX.Tbl share/kyx/Kyx_R.Tbl \
         share/applications/kyx.desktop share/icons/hicolor/48x48/apps/kyx.png; do
  test -s "$prefix/$f" || { echo "installa: $f is missing from the installation" >&2; exit 1; }
done

mkdir -p "$scratch/home" "$scratch/data" "$scratch/start" "$scratch/qt" "$scratch/shot"
mkdir -m 700 "$scratch/runtime"
touch "$scratch/stamp"
sleep 1
# With no profile the login dialog waits for a user; the picture hook saves it after two seconds
# and ends the program with status 3 (no main window): a start that needs no server.
status=0
(cd "$scratch/start" && env -u KYX_HOME HOME="$scratch/home" XDG_DATA_HOME="$scratch/data" \
   XDG_CONFIG_HOME="$scratch/qt" XDG_CACHE_HOME="$scratch/qt" XDG_RUNTIME_DIR="$scratch/runtime" \
   QT_QPA_PLATFORM=offscreen KYX_SCREENSHOT="$scratch/shot/start.png" KYX_SCREENSHOT_TIMEOUT=2 \
   KYX_EXIT_AFTER_SCREENSHOT=1 timeout 60 "$prefix/bin/Kyx") || status=$?
if [ "$status" -ne 3 ]; then
  echo "installa: the installed Kyx ended with status $status (3 expected: login dialog waiting)" >&2
  exit 1
fi
test -s "$scratch/shot/start.png"
test -s "$scratch/data/kyx/KYX.DAT" || { echo "installa: no KYX.DAT in the user's data folder" >&2; exit 1; }
cmp -s "$scratch/data/kyx/KYX.Tbl" "$prefix/share/kyx/KYX.Tbl" || { echo "installa: KYX.Tbl not copied" >&2; exit 1; }
written=$(find "$prefix" "$scratch/home" "$scratch/start" -newer "$scratch/stamp" -mindepth 1)
if [ -n "$written" ]; then
  echo "installa: the installed Kyx wrote outside the user's data folder:" >&2
  echo "$written" >&2
  exit 1
fi
echo "installa: installed, started, and wrote only under the user's data folder"
