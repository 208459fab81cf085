# Steps sourced by demo/guida_x.sh after zone_agenti.sh (MAIN, click, fail and until_data are its
# own): a filter picked on a key with a display format. In the filter tree, the key "Prodotto"
# (format #MID(3,6)#) lists its codes in the grid; a click on the first code, shown as "000004",
# stores the raw code "LA000004" of the small sample (seed 42) in the user's filter. The layout
# "Prodotti per linea" then runs on that product alone.
#
# Positions are in pixels of the main window, for its first placement on Xvfb (630 x 400 at the
# top left) with the fonts of .ci/install. The filter tree is scrolled to its end first, where
# the area "Prodotti" is its last line.
CODICE=LA000004
ai_piedi_del_filtro() {
  xdotool mousemove --window "$MAIN" 80 330 click --repeat 15 5
  sleep 0.5
}
echo "guida_x: the filter on the code $CODICE of \"Prodotto\""
ai_piedi_del_filtro
click "$MAIN" 13 347   # open the area "Prodotti", the tree's last line
ai_piedi_del_filtro
click "$MAIN" 88 329   # its key "Prodotto": the codes list
sleep 1
click "$MAIN" 190 131  # the first code of the list
until_data 30 "filtro=10:$CODICE"

echo "guida_x: \"Prodotti per linea\" on the filtered product"
click "$MAIN" 13 119   # open the area "Prodotti" of the layout tree
click "$MAIN" 29 137   # its key "Prodotto"
click "$MAIN" 110 155  # the layout "Prodotti per linea"
until_data 120 "prodotto=$CODICE"
