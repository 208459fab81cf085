#include "common/modello.h"

namespace kyx {

// Empty text, False and zero at start, as BASIC starts its globals.
#define KYX_MODELLO(X) \
  X(Numero_Colonne) X(Col_Tipo) X(Col_Chiave) X(Col_Attributo) \
  X(Col_Formato) X(Col_Kde) X(Col_Calcolo) X(Col_Where) \
  X(Col_Where_Flag) X(Col_Intestazione) X(Col_Larghezza) X(Col_Lavoro_2) \
  X(Numero_Livelli) X(Livello_Contatore_1) X(Liv_Attributo) X(Liv_Formato) \
  X(Liv_Kde) X(Liv_Riga_Chiave) X(Liv_Riga_Testo) X(Layout_Corrente) \
  X(Parametri_Valore) X(Prima_Riga) X(Prima_Colonna) X(Scorrimento_Colonne) \
  X(Twips_Pixel_X) X(Twips_Pixel_Y) X(Form_Aperto) X(Finestra_Aiuto) \

#define KYX_DEFINISCI(v) decltype(v) v{};
KYX_MODELLO(KYX_DEFINISCI)
#undef KYX_DEFINISCI
int16_t Modo_Griglia = 0;
int16_t Chiave_Elenco = -1;  // no key listed
uint8_t Tipo_Data_Chiave = 0;
int16_t Livello_Contatore_2 = 0;

namespace modello {

void reset() {
#define KYX_AZZERA(v) v = {};
  KYX_MODELLO(KYX_AZZERA)
#undef KYX_AZZERA
  Modo_Griglia = 0;
  Chiave_Elenco = -1;
  Tipo_Data_Chiave = 0;
  Livello_Contatore_2 = 0;
}

}  // namespace modello
}  // namespace kyx
