#!/usr/bin/env bash
# The demo: Kyx logs in to our data server, applies its profile, opens its main window and
# downloads the structure and the descriptions of a medium sample information system.
#
#   bash demo/run.sh              with a display: the main window stays up until you close it
#   bash demo/run.sh --headless   under Xvfb (also when there is no display): drives Kyx with
#                                 real X input (demo/guida_x.sh) through an elaboration, saves a
#                                 picture of the main window with its result, quits, and checks
#                                 what was downloaded and the result's subtotals and total
#
# Steps: install what is missing (.ci/install), build Kyx, Kyx_R, Kyx_ConvD and the data server,
# generate the sample (kyx-dataserver --generate), start the server on a free loopback port,
# prepare a program folder ($KYX_HOME) with the code table KYX.Tbl and a KYX.INI holding one
# profile for that server (its connection block scrambled by the program's own code, the password
# stored), start Kyx with "/AUTO", and stop the server when Kyx ends.
#
# Environment: BUILD_DIR (default build), DEMO_DIR (default $BUILD_DIR/demo-run), KYX_DEMO_SEED
# (default 42), KYX_DEMO_SCREENSHOT (default $DEMO_DIR/kyx-demo.png).
# The headless run needs xdotool and ImageMagick's import (both in .ci/install).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"

HEADLESS=0
for a in "$@"; do
  case "$a" in
    --headless) HEADLESS=1 ;;
    *) echo "usage: demo/run.sh [--headless]" >&2; exit 2 ;;
  esac
done
if [ -z "${DISPLAY:-}" ]; then HEADLESS=1; fi

BUILD_DIR=$(realpath -m "${BUILD_DIR:-build}")
DEMO_DIR=$(realpath -m "${DEMO_DIR:-$BUILD_DIR/demo-run}")
SEED=${KYX_DEMO_SEED:-42}
SHOT=$(realpath -m "${KYX_DEMO_SCREENSHOT:-$DEMO_DIR/kyx-demo.png}")
HOME_DIR=$DEMO_DIR/home

# 1. Packages and build.
bash .ci/install
if [ ! -f "$BUILD_DIR/build.ninja" ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
# The two side programs too, to be tried on the demo's folder (README, "Running the demo").
cmake --build "$BUILD_DIR" -j "$(nproc)" --target Kyx Kyx_R Kyx_ConvD kyx_dataserver_app kyx_scrivi_profilo
# The help file KYX.CHM, compiled when the help compiler chmcmd is installed.
if grep -q '^build kyx_help:' "$BUILD_DIR/build.ninja"; then
  cmake --build "$BUILD_DIR" --target kyx_help
fi
SERVER_BIN=$BUILD_DIR/tools/dataserver/app/kyx-dataserver
KYX_BIN=$BUILD_DIR/app/Kyx
# The profile writer, built from the Foundation's own settings and scrambling code.
PROFILE_BIN=$BUILD_DIR/demo/kyx_scrivi_profilo
mkdir -p "$DEMO_DIR"

# 2.-4. The program folder, the code table, the sample, the data server on a free loopback port
# (stopped whatever happens next) and the profile.
rm -rf "$HOME_DIR" "$SHOT"
source demo/servizio.sh
trap ferma_servizio EXIT
prepara_servizio "$SERVER_BIN" "$PROFILE_BIN" "$DEMO_DIR" "$HOME_DIR" medium "$SEED" "Vendite (demo)"
# The help beside the program's settings: "Help" and context help open it from the program folder.
if [ -f "$BUILD_DIR/help/KYX.CHM" ]; then cp "$BUILD_DIR/help/KYX.CHM" "$HOME_DIR/"; fi

# 5. Kyx, connecting at once.
export KYX_HOME=$HOME_DIR
status=0
if [ "$HEADLESS" = 1 ]; then
  echo "demo: running Kyx under Xvfb, driven by X input events"
  bash demo/guida_x.sh "$KYX_BIN" "$HOME_DIR" "$SHOT" || status=$?
else
  echo "demo: running Kyx; open a layout of the structure tree, choose the levels and press"
  echo "      Elabora; close its main window (or press Uscita) to end"
  QT_QPA_PLATFORM=xcb "$KYX_BIN" /AUTO || status=$?
fi
ferma_servizio
if [ "$status" -ne 0 ]; then
  echo "demo: Kyx ended with status $status" >&2
  exit "$status"
fi

# 6. What arrived, and the elaboration's result when the demo drove one.
if [ "$HEADLESS" = 1 ]; then
  python3 demo/controlla.py "$HOME_DIR/Dati" "$SHOT" --result
else
  python3 demo/controlla.py "$HOME_DIR/Dati" "$SHOT"
fi
echo "demo: picture of the main window in $SHOT"
