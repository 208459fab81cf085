#pragma once
// Stampanti: the program's thin layer over the printer and its drawing context. Its callers speak
// in twips from the origin of the printable area; each drawing call converts them to the
// printer's dots (rounded, halves to even) with the metrics of the last Stampanti_Caratteristiche.
// Crea_Font, Seleziona, Elimina_Oggetto and Larghezza_Testo depend on no printer state: the
// Foundation and the views measure screen text with them too.
#include <array>
#include <cstdint>
#include <string>

#include "platform/gdi/gdi.h"

namespace kyx {

// ---- Device metrics of the printer of the current run -----------------------------------------
extern int16_t Stampanti_Punti_Pollice_X;
extern int16_t Stampanti_Punti_Pollice_Y;
extern int16_t Stampanti_Punti_X;
extern int16_t Stampanti_Punti_Y;
extern float Stampanti_Twip_Punto_X;
extern float Stampanti_Twip_Punto_Y;
extern int16_t Stampanti_Larghezza;
extern int16_t Stampanti_Altezza;
extern gdi::TextMetric Stampanti_Metriche_Testo;

// Applies orientation (portrait when Verticale is nonzero) and copies to the context of the
// named printer: 0, or the system's error code (-1 when it gives none).
int32_t Stampanti_Imposta(int32_t hWnd, int32_t& hDC, const std::string& Stampante, int16_t Verticale,
                          int32_t Copie);
void Stampanti_Caratteristiche(int32_t& hDC);
int32_t Stampanti_Metriche(int32_t& hDC);
int32_t Stampanti_Crea_Font(const std::string& Nome, int32_t Altezza, int32_t Larghezza, int32_t Peso,
                            uint8_t Corsivo, int32_t Inclinazione);
int32_t Stampanti_Crea_Penna(int32_t Stile, int32_t Larghezza, int32_t Colore);
int32_t Stampanti_Seleziona(int32_t& hDC, int32_t Oggetto);
int32_t Stampanti_Elimina_Oggetto(int32_t Oggetto);
int32_t Stampanti_Crea_DC(const std::string& Stampante);
int32_t Stampanti_Elimina_DC(int32_t& hDC);
int32_t Stampanti_Inizio_Doc(int32_t& hDC, const std::string& Documento);
int32_t Stampanti_Fine_Doc(int32_t& hDC);
int32_t Stampanti_Inizio_Pagina(int32_t& hDC);
int32_t Stampanti_Fine_Pagina(int32_t& hDC);
// One line of text at (X + dX, Y + dY); X and Y keep the moved point.
void Stampanti_Testo(int32_t& hDC, const std::string& Testo, int32_t& X, int32_t& Y, int32_t dX, int32_t dY,
                     int32_t Colore_Testo, int32_t Colore_Sfondo);
// A table cell: fill, the chosen borders with the selected pen, the text inside the inner margin.
void Stampanti_Cella(int32_t& hDC, const std::string& Testo, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2,
                     int32_t Formato, int32_t Margine, bool Bordo_Alto, bool Bordo_Destro, bool Bordo_Basso,
                     bool Bordo_Sinistro, int32_t Colore_Testo, int32_t Colore_Sfondo, bool Riempi);
// The sort arrow in the 100 x 100 twips square 20 to 120 twips right of X and above Y: apex up
// for "ASC", down for anything else.
void Stampanti_Freccia(int32_t& hDC, int32_t X, int32_t Y, const std::string& Verso);
// Width of a text in the context's font, in device units; -1 when it cannot be measured.
int32_t Stampanti_Larghezza_Testo(int32_t& hDC, const std::string& Testo);

// Twips to the printer's dots across and down.
int32_t Stampanti_Punto_X(int32_t Twips);
int32_t Stampanti_Punto_Y(int32_t Twips);

namespace stampanti {
// Puts the device metrics back to their state before any run.
void reset();
}  // namespace stampanti

}  // namespace kyx
