# Steps sourced by demo/guida_x.sh after the main window's picture (MAIN, DATI, SHOT, click,
# fail and until_data are its own): the outline layout "Zone e agenti" opened by clicks in the
# structure tree runs at once; every zone and agent on its result has a description in the
# descriptions database, and the grid's description column shows text on the agent rows.
#
# Positions are in pixels of the main window, for its first placement on Xvfb (630 x 400 at the
# top left) with the fonts of .ci/install, and the layout tree as guida_x.sh leaves it.
echo "guida_x: the outline layout \"Zone e agenti\""
click "$MAIN" 13 101   # close the area "Rete commerciale"
click "$MAIN" 13 83    # open the area "Anagrafiche"
click "$MAIN" 29 101   # its key "Zona"
click "$MAIN" 110 173  # the layout "Zone e agenti", fourth under the key
until_data 120 descritti
sleep 1
import -window "$MAIN" "${SHOT%.png}-zone.png"
# The description column (x 216 to 303) of the first zone's first and third agents, rows of the
# same shading 16 pixels high: text, not a blank cell, and two different names, not one
# placeholder repeated.
crop_descrizione() {
  convert "${SHOT%.png}-zone.png" -crop "84x14+218+$1" +repage "${SHOT%.png}-zone-$1.png"
}
crop_descrizione 90
crop_descrizione 122
INCHIOSTRO=$(identify -format '%k' "${SHOT%.png}-zone-90.png")
[ "$INCHIOSTRO" -ge 4 ] || fail "the outline's description column shows only $INCHIOSTRO colours"
DIVERSI=$(compare -metric AE "${SHOT%.png}-zone-90.png" "${SHOT%.png}-zone-122.png" null: 2>&1 || true)
[ "$DIVERSI" -ge 20 ] 2>/dev/null || fail "two agents' descriptions differ in only $DIVERSI pixels"
click "$MAIN" 13 83    # close "Anagrafiche" again
