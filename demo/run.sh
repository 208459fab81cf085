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
# Steps: install what is missing (.ci/install), build Kyx and the data server, generate the sample
# (kyx-dataserver --generate), start the server on a free loopback port, prepare a program folder
# ($KYX_HOME) with the code table KYX.Tbl and a KYX.INI holding one profile for that server (its
# connection block scrambled by the program's own code, the password stored), start Kyx with
# "/AUTO", and stop the server when Kyx ends.
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
cmake --build "$BUILD_DIR" -j "$(nproc)" --target Kyx kyx_dataserver_app kyx_scrivi_profilo
SERVER_BIN=$BUILD_DIR/tools/dataserver/app/kyx-dataserver
KYX_BIN=$BUILD_DIR/app/Kyx
# The profile writer, built from the Foundation's own settings and scrambling code.
PROFILE_BIN=$BUILD_DIR/demo/kyx_scrivi_profilo
mkdir -p "$DEMO_DIR"

# 2. The program folder, the code table and the sample.
rm -rf "$HOME_DIR" "$SHOT"
mkdir -p "$HOME_DIR/Dati/STORICO" "$HOME_DIR/Dati/EXPORT" "$HOME_DIR/Dati/PREFERITI"
python3 tools/dataserver/make_tbl.py "$HOME_DIR/KYX.Tbl"
echo "demo: generating the medium sample (seed $SEED)"
"$SERVER_BIN" --generate "$DEMO_DIR/sample.db" --seed "$SEED" --size medium

# 3. The data server on a free loopback port, stopped whatever happens next.
"$SERVER_BIN" --db "$DEMO_DIR/sample.db" --tbl "$HOME_DIR/KYX.Tbl" --port 0 >"$DEMO_DIR/server.out" 2>&1 &
SERVER_PID=$!
stop_server() {
  if kill -0 "$SERVER_PID" 2>/dev/null; then
    kill "$SERVER_PID" 2>/dev/null || true
    wait "$SERVER_PID" 2>/dev/null || true
  fi
}
trap stop_server EXIT
PORT=""
for _ in $(seq 1 100); do
  PORT=$(sed -n 's/^port \([0-9][0-9]*\)$/\1/p' "$DEMO_DIR/server.out")
  [ -n "$PORT" ] && break
  kill -0 "$SERVER_PID" 2>/dev/null || { cat "$DEMO_DIR/server.out" >&2; exit 1; }
  sleep 0.1
done
[ -n "$PORT" ] || { echo "demo: the data server did not start" >&2; exit 1; }
echo "demo: data server on 127.0.0.1:$PORT"

# 4. The profile: the sample's first user, with the password stored.
USER_NAME=$(sed -n 's/.*kUser\[\] = "\(.*\)";.*/\1/p' tools/dataserver/generator.h)
PASSWORD=$(sed -n 's/.*kPassword\[\] = "\(.*\)";.*/\1/p' tools/dataserver/generator.h)
SYSTEM=$(sed -n 's/.*kSales\[\] = "\(.*\)";.*/\1/p' tools/dataserver/generator.h)
"$PROFILE_BIN" "$HOME_DIR" 127.0.0.1 "$PORT" "$USER_NAME" "$PASSWORD" "$SYSTEM" \
  "Vendite (demo)"

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
stop_server
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
