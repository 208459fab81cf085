# Steps after the main window's picture, sourced by demo/guida_x.sh (MAIN, click, window and fail
# are its own): context help. The toolbar's context-help button turns the pointer into the help
# pointer; the next click, on the toolbar's chart button, opens the help viewer on that button's
# topic, whose window takes the topic's title. The viewer is then taken off the screen, so that
# the main window's exit button is free again.
#
# Positions are in pixels of the main window, for its first placement on Xvfb (630 x 400 at the
# top left) with the fonts of .ci/install.
Y_BARRA=17
X_AIUTO_CONTESTO=508   # the last button, "Help_1"
X_GRAFICO=200          # "Grafico"
TITOLO_ARGOMENTO="Grafico"

echo "guida_x: context help on the chart button"
click "$MAIN" "$X_AIUTO_CONTESTO" "$Y_BARRA"
click "$MAIN" "$X_GRAFICO" "$Y_BARRA"
GUIDA=$(window 15 "^$TITOLO_ARGOMENTO\$")
[ "$GUIDA" != "$MAIN" ] || fail "the help topic did not open a window of its own"
echo "guida_x: the help viewer shows the topic \"$(xdotool getwindowname "$GUIDA")\""
xdotool windowunmap --sync "$GUIDA"
sleep 0.5
