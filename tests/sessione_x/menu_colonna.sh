# Steps on the elaboration's result, sourced by demo/guida_x.sh (MAIN, DATI, SHOT, click, window,
# fail and KYX_PID are its own): the right button on the title of the agent column in the header strip
# opens the column header menu, captioned with the column's title; its item "Nascondi" hides the
# column, which the program stores in the history's layout description; then the menu opened on
# another column closes when the user presses on the main window; last, the row filter sub-menu.
#
# Positions are in pixels of the window they fall in, for the main window's first placement on
# Xvfb (630 x 400 at the top left) with the fonts of .ci/install.
COLONNA_NASCOSTA=003     # the agent column
TITOLO_NASCOSTA="Agente"
X_NASCOSTA=358
X_ALTRA=185
TITOLO_ALTRA="Zona"
Y_TESTATA=68
NASCONDI_X=60            # item 3 of the menu, "Nascondi"
NASCONDI_Y=77

# Waits up to $1 seconds for the window $2 to be gone.
gone() {
  local limit=$1 w=$2
  for _ in $(seq 1 $((limit * 10))); do
    xdotool getwindowname "$w" >/dev/null 2>&1 || return 0
    xdotool search --onlyvisible --name "." 2>/dev/null | grep -qx "$w" || return 0
    sleep 0.1
  done
  return 1
}

# The result before the column is hidden, for comparison with the final picture.
import -window "$MAIN" "${SHOT%.png}-prima.png"

echo "guida_x: the column header menu of \"$TITOLO_NASCOSTA\""
xdotool mousemove --window "$MAIN" "$X_NASCOSTA" "$Y_TESTATA" click 3
MENU=$(window 10 "^$TITOLO_NASCOSTA\$")
sleep 0.5
click "$MENU" "$NASCONDI_X" "$NASCONDI_Y"
gone 10 "$MENU" || fail "the column menu stayed open after \"Nascondi\""
for _ in $(seq 1 50); do
  grep -qa "C_${COLONNA_NASCOSTA}_Vis=1" "$DATI"/STORICO/KYX_E_*_2.DAT 2>/dev/null && break
  sleep 0.1
done
grep -qa "C_${COLONNA_NASCOSTA}_Vis=1" "$DATI"/STORICO/KYX_E_*_2.DAT ||
  fail "the hidden column was not stored in the layout description"

echo "guida_x: a press on the main window closes the menu of \"$TITOLO_ALTRA\""
xdotool mousemove --window "$MAIN" "$X_ALTRA" "$Y_TESTATA" click 3
MENU=$(window 10 "^$TITOLO_ALTRA\$")
sleep 0.5
click "$MAIN" 60 390
gone 10 "$MENU" || fail "the column menu stayed open after a press on the main window"

# The row filter: item 4 of the menu of "Descrizione zona" opens its sub-menu on hover, beside the
# menu (on its left, the right side being too near the main window's edge); "N" typed in its box
# "Da" and Enter keep the rows from "Nord" on, and every menu closes.
import -window "$MAIN" "${SHOT%.png}-nascosta.png"
echo "guida_x: the row filter of \"Descrizione zona\""
xdotool mousemove --window "$MAIN" 255 "$Y_TESTATA" click 3
MENU=$(window 10 "^Descrizione zona\$")
sleep 0.5
xdotool mousemove --window "$MENU" 60 96   # item 4, "Filtro sulle righe"
sleep 1
eval "$(xdotool getwindowgeometry --shell "$MENU")"
# Sub-menu: 232 pixels wide, its right edge 4 pixels into the menu, its top 81 pixels below the
# menu's; its box "Da" is centred 128, 15 inside it.
xdotool mousemove $((X - 228 + 128)) $((Y + 81 + 15)) click 1
sleep 0.3
xdotool type --delay 60 "N"
xdotool key Return
sleep 0.7
gone 10 "$MENU" || fail "the column menu stayed open after the row filter"
