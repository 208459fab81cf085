#include "ui/stato_finestra.h"

#include "platform/host/host.h"

namespace kyx {

bool Filtro_Stato_2 = false;
std::array<std::string, 2> Filtro_Valori;
int16_t Intervallo_Passo = 0;
int16_t Intervallo_Chiave = -1;
std::string Chiave_Layout;
std::string Nodo_Layout;
int32_t Pixel_255_X = 17;
int32_t Pixel_255_Y = 17;
int16_t Stato_PicLayout = 0;
int16_t Stato_Ridimensiona = 0;
int16_t Pulsante_Premuto = 0;
float Tempo_Inizio = 0;
float Tempo_Fine = 0;
bool Popup_Chiuso = false;
bool Hook_Installato = false;
int16_t Puntatore_Schermo = 0;

void Imposta_Puntatore(int16_t Forma) {
  Puntatore_Schermo = Forma;
  host::host().SetPointer(Forma);
}

namespace stato_finestra {

void reset() {
  Riga_Evidenziata = -1;
  Filtro_Stato_2 = false;
  Filtro_Valori = {};
  Intervallo_Passo = 0;
  Intervallo_Chiave = -1;
  Chiave_Layout.clear();
  Nodo_Layout.clear();
  Stampa_Da_Pagina = 0;
  Stampa_A_Pagina = 0;
  Pixel_255_X = 17;
  Pixel_255_Y = 17;
  Stato_PicLayout = 0;
  Stato_Ridimensiona = 0;
  Pulsante_Premuto = 0;
  Tempo_Inizio = 0;
  Tempo_Fine = 0;
  Popup_Chiuso = false;
  Hook_Installato = false;
  Puntatore_Schermo = 0;
}

}  // namespace stato_finestra
}  // namespace kyx
