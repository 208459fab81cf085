#include "print/stato_stampa.h"

namespace kyx {

#define KYX_STATO_STAMPA(X)                                                                        \
  X(Stampa_Da_Pagina) X(Stampa_A_Pagina) X(Stampa_DC) X(Stampa_Font_Titolo) X(Stampa_Font_Dati)   \
  X(Stampa_Font_Grassetto) X(Stampa_Penna) X(Stampa_Altezza_Riga) X(Stampa_Altezza_Riga_2)        \
  X(Stampa_Altezza_Riga_3) X(Stampa_Altezza_Testata) X(Stampa_Inizio_Corpo) X(Stampa_Y)           \
  X(Stampa_Pagina) X(Stampa_Pagina_Attiva) X(X_Colonna)

#define KYX_DEFINISCI(v) decltype(v) v{};
KYX_STATO_STAMPA(KYX_DEFINISCI)
#undef KYX_DEFINISCI

namespace stato_stampa {
void reset() {
#define KYX_AZZERA(v) v = {};
  KYX_STATO_STAMPA(KYX_AZZERA)
#undef KYX_AZZERA
}
}  // namespace stato_stampa

}  // namespace kyx
