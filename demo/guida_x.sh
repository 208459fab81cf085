#!/usr/bin/env bash
# Drives Kyx under Xvfb with real X input events, as a user would, through one elaboration:
# log in with "/AUTO", open the area "Rete commerciale" and its key "Agente" in the structure
# tree, click the layout "Vendite per zona e agente", type the reference year in the levels
# dialog, press its "Elabora" button, save a picture of the main window with the result grid,
# and leave through the toolbar's exit button. Nothing inside the program helps: the steps wait
# on what any user sees (windows appearing) or what the program writes (its databases, the
# history file of the run).
#
#   demo/guida_x.sh KYX_BINARY PROGRAM_FOLDER PICTURE
#
# KYX_GUIDA_PASSI may name a file of further steps, run on the result before the picture, and
# KYX_GUIDA_DOPO one run after the picture, before leaving.
#
# Positions are in pixels from the top-left corner of the window they fall in; they follow the
# window's layout on Xvfb with the fonts of .ci/install (DejaVu).
set -euo pipefail
KYX_BIN=$1
HOME_DIR=$2
SHOT=$3
DATI=$HOME_DIR/Dati
YEAR=2024
LAYOUT_TITLE="Vendite per zona e agente"

fail() {
  echo "guida_x: $*" >&2
  exit 1
}

# A free display: Xvfb picks it and tells us through a descriptor.
DISPLAY_FILE=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x960x24 -nolisten tcp 3>"$DISPLAY_FILE" >/dev/null 2>&1 &
XVFB_PID=$!
KYX_PID=""
finish() {
  if [ -n "$KYX_PID" ] && kill -0 "$KYX_PID" 2>/dev/null; then kill "$KYX_PID" 2>/dev/null || true; fi
  kill "$XVFB_PID" 2>/dev/null || true
  wait "$XVFB_PID" 2>/dev/null || true
  rm -f "$DISPLAY_FILE"
}
trap finish EXIT
for _ in $(seq 1 100); do
  [ -s "$DISPLAY_FILE" ] && break
  sleep 0.1
done
[ -s "$DISPLAY_FILE" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$DISPLAY_FILE")"

QT_QPA_PLATFORM=xcb "$KYX_BIN" /AUTO &
KYX_PID=$!

# Waits up to $1 seconds for a visible window whose title holds $2; prints its id.
window() {
  local limit=$1 title=$2 w=""
  for _ in $(seq 1 $((limit * 10))); do
    w=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -n1 || true)
    if [ -n "$w" ]; then
      echo "$w"
      return 0
    fi
    kill -0 "$KYX_PID" 2>/dev/null || fail "Kyx ended while waiting for the window \"$title\""
    sleep 0.1
  done
  fail "no window \"$title\" after $limit s"
}

# Waits up to $1 seconds for the python expression $2 (over the data folder) to hold.
until_data() {
  local limit=$1 check=$2
  for _ in $(seq 1 $((limit * 5))); do
    if python3 demo/controlla.py --check "$DATI" "$check" 2>/dev/null; then return 0; fi
    kill -0 "$KYX_PID" 2>/dev/null || fail "Kyx ended while waiting for: $check"
    sleep 0.2
  done
  fail "not reached after $limit s: $check"
}

click() {
  xdotool mousemove --window "$1" "$2" "$3" click 1
  sleep 0.7
}

MAIN=$(window 60 "Q-KRE")
echo "guida_x: main window up; waiting for the download"
until_data 240 downloaded
sleep 1

echo "guida_x: opening the layout in the structure tree"
click "$MAIN" 13 101   # expand the area "Rete commerciale"
click "$MAIN" 29 119   # expand its key "Agente"
click "$MAIN" 110 137  # the layout "Vendite per zona e agente"
DIALOG=$(window 30 "$LAYOUT_TITLE")

echo "guida_x: levels dialog open; typing the year and pressing Elabora"
click "$DIALOG" 250 64 # the parameter box "Anno di riferimento"
xdotool type --delay 60 "$YEAR"
sleep 0.3
click "$DIALOG" 36 14  # the dialog's "Elabora" button
until_data 240 elaborated
sleep 2

# Further steps on the result, when a caller names a file of them (sourced here: it uses MAIN,
# click, window and fail).
if [ -n "${KYX_GUIDA_PASSI:-}" ]; then
  # shellcheck source=/dev/null
  source "$KYX_GUIDA_PASSI"
fi

import -window "$MAIN" "$SHOT"
echo "guida_x: picture saved"
if [ -n "${KYX_GUIDA_DOPO:-}" ]; then
  # shellcheck source=/dev/null
  source "$KYX_GUIDA_DOPO"
fi
echo "guida_x: leaving through the toolbar's exit button"
click "$MAIN" 15 17
for _ in $(seq 1 100); do
  kill -0 "$KYX_PID" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$KYX_PID" 2>/dev/null; then fail "Kyx did not end after its exit button"; fi
wait "$KYX_PID" || fail "Kyx ended with status $?"
KYX_PID=""
