#!/usr/bin/env bash
# One session of Kyx under Xvfb driven by real X input: our data server with the small sample,
# a program folder with one profile, Kyx started with "/AUTO"; demo/guida_x.sh logs in, runs the
# elaboration "Vendite per zona e agente" and, through the steps of menu_colonna.sh, opens the
# column header menu of the result, hides a column, closes a menu by pressing on the main
# window and filters the rows of another column; then it keeps the main window's picture and
# leaves. Afterwards the result's totals, the stored visibility of the hidden column and the
# pictures are checked. After the picture, aiuto_contesto.sh opens the help viewer on a topic by a
# context-help click, from the help file HELP_FILE copied into the program folder; then
# zone_agenti.sh runs the outline layout "Zone e agenti" and checks its descriptions, and
# filtro_formattato.sh picks a filter by a click on a formatted product code and checks the stored
# code and the rows of the elaboration run on it (dopo.sh chains these steps).
#
#   sessione_x.sh KYX DATASERVER PROFILE_WRITER WORK_FOLDER HELP_FILE   (run from the source folder)
#
# HELP_FILE is empty when the build had no help compiler: the help step is then left out, and
# the script says so.
#
# Exit status 77 (a skipped test for ctest) when Xvfb, xdotool or ImageMagick is missing.
set -euo pipefail
KYX_BIN=$1
SERVER_BIN=$2
PROFILE_BIN=$3
WORK=$4
HELP_FILE=${5:-}

for tool in Xvfb xdotool import identify; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "sessione_x: skipped: $tool is not installed (packages xvfb, xdotool, imagemagick)"
    exit 77
  fi
done

fail() {
  echo "sessione_x: $*" >&2
  exit 1
}

HOME_DIR=$WORK/home
SHOT=$WORK/sessione.png
rm -rf "$WORK"
mkdir -p "$WORK"
source demo/servizio.sh
trap ferma_servizio EXIT
prepara_servizio "$SERVER_BIN" "$PROFILE_BIN" "$WORK" "$HOME_DIR" small 42 "Vendite (test)"

AIUTO=""
if [ -n "$HELP_FILE" ]; then
  [ -f "$HELP_FILE" ] || fail "the help file $HELP_FILE is missing"
  cp "$HELP_FILE" "$HOME_DIR/"
  AIUTO=$(pwd)/tests/sessione_x/aiuto_contesto.sh
else
  echo "sessione_x: the context-help step is left out: the build made no help file (chmcmd missing)"
fi

export KYX_HOME=$HOME_DIR
# The first result's totals and picture are checked inside the session (dopo.sh), before the
# later elaborations replace that result.
KYX_GUIDA_PASSI=$(pwd)/tests/sessione_x/menu_colonna.sh KYX_GUIDA_DOPO=$(pwd)/tests/sessione_x/dopo.sh \
  SESSIONE_AIUTO=$AIUTO bash demo/guida_x.sh "$KYX_BIN" "$HOME_DIR" "$SHOT"
ferma_servizio
# The picture: the whole main window, with more than a blank surface on it.
read -r WIDTH HEIGHT COLOURS < <(identify -format '%w %h %k\n' "$SHOT")
[ "$WIDTH" -ge 630 ] && [ "$HEIGHT" -ge 400 ] || fail "the picture is $WIDTH x $HEIGHT"
[ "$COLOURS" -ge 8 ] || fail "the picture has only $COLOURS colours"
# Against the result before the column was hidden, and before the row filter: the tree panel is
# the same, the result area (the grid right of the vertical splitter) is not.
differenza() {
  compare -metric AE -crop "$2" "${SHOT%.png}-$1.png" "$SHOT" null: 2>&1 || true
}
ALBERO=$(differenza prima 150x150+5+40)
RISULTATO=$(differenza prima 440x170+170+60)
[ "$ALBERO" = 0 ] || fail "the tree panel changed in $ALBERO pixels"
[ "$RISULTATO" -ge 500 ] 2>/dev/null || fail "the grid changed in only $RISULTATO pixels"
FILTRO=$(differenza nascosta 440x170+170+60)
[ "$FILTRO" -ge 500 ] 2>/dev/null || fail "the row filter changed the grid in only $FILTRO pixels"
echo "sessione_x: picture of the main window in $SHOT"
