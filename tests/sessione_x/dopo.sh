# Steps sourced by demo/guida_x.sh after the main window's picture: the first result's checks,
# taken while it is still the one in the work database, then context help (when the session
# has a help file: SESSIONE_AIUTO names its step file), then two more elaborations.
python3 demo/controlla.py "$DATI" "$SHOT" --result || fail "the first elaboration's result is wrong"
if [ -n "${SESSIONE_AIUTO:-}" ]; then
  # shellcheck source=/dev/null
  source "$SESSIONE_AIUTO"
fi
# shellcheck source=/dev/null
source tests/sessione_x/zone_agenti.sh
# shellcheck source=/dev/null
source tests/sessione_x/filtro_formattato.sh
