#include "ui/mappa_aiuto.h"

#include <cmath>

#include "common/impostazioni.h"
#include "common/modello.h"
#include "common/stato.h"
#include "platform/help/help_viewer.h"
#include "platform/host/host.h"
#include "platform/ui/pointer.h"
#include "platform/ui/units.h"
#include "platform/vb/vb.h"
#include "ui/frm_debug.h"

namespace kyx {

std::array<std::string, 97> Mappa_Aiuto;

namespace {

struct Riga {
  int l, t, r, b;
  const char* argomento;
};

// Rows 1 .. 66: the options dialog (1 .. 41, its last row the catch-all below the title bar), the
// print dialog (42 .. 51), then one whole-window row per pop-up and per caption of the
// favourites' editing pop-up.
constexpr Riga kFisse[66] = {
    {469, 23, 547, 40, "11701"},  {12, 28, 211, 54, "11702"},   {220, 28, 307, 54, "11703"},
    {316, 28, 402, 54, "11704"},  {10, 65, 274, 89, "11705"},   {275, 65, 539, 89, "11706"},
    {10, 89, 274, 113, "11707"},  {275, 89, 539, 113, "11708"}, {10, 113, 274, 137, "11709"},
    {275, 113, 539, 137, "11710"}, {10, 137, 274, 161, "11711"}, {275, 137, 539, 161, "11712"},
    {10, 161, 274, 185, "11713"}, {275, 161, 539, 185, "11714"}, {10, 185, 274, 209, "11715"},
    {275, 185, 539, 209, "11716"}, {10, 209, 274, 233, "11717"}, {275, 209, 539, 233, "11718"},
    {10, 233, 274, 257, "11719"}, {275, 233, 393, 257, "11720"}, {394, 233, 539, 257, "11721"},
    {10, 257, 274, 281, "11722"}, {275, 257, 393, 281, "11723"}, {394, 257, 539, 281, "11724"},
    {10, 281, 163, 305, "11725"}, {164, 281, 274, 305, "11739"}, {275, 281, 393, 305, "11726"},
    {394, 281, 539, 305, "11727"}, {10, 305, 163, 329, "11737"}, {164, 305, 274, 329, "11738"},
    {275, 305, 393, 329, "11728"}, {394, 305, 539, 329, "11729"}, {10, 329, 539, 401, "11730"},
    {12, 404, 111, 430, "11740"}, {120, 404, 219, 430, "11731"}, {228, 404, 327, 430, "11732"},
    {336, 404, 435, 430, "11733"}, {441, 404, 540, 430, "11734"}, {340, 440, 439, 466, "11735"},
    {448, 440, 547, 466, "11736"}, {3, 23, 547, 467, "10017"},
    {5, 25, 469, 97, "11401"},    {5, 101, 209, 157, "11402"},  {5, 161, 209, 239, "11403"},
    {5, 243, 209, 297, "11408"},  {213, 101, 469, 239, "11404"}, {213, 243, 469, 297, "11409"},
    {173, 299, 270, 324, "11405"}, {273, 299, 370, 324, "11406"}, {373, 299, 470, 324, "11407"},
    {3, 23, 471, 325, "10014"},
    {1, 1, 9999, 9999, "10010"},  {1, 1, 9999, 9999, "10009"},  {1, 1, 9999, 9999, "21000"},
    {1, 1, 9999, 9999, "22000"},  {1, 1, 9999, 9999, "23000"},  {1, 1, 9999, 9999, "10401"},
    {1, 1, 9999, 9999, "41100"},  {1, 1, 9999, 9999, "41200"},  {1, 1, 9999, 9999, "10007"},
    {1, 1, 9999, 9999, "10710"},  {1, 1, 9999, 9999, "10711"},  {1, 1, 9999, 9999, "10712"},
    {1, 1, 9999, 9999, "10713"},  {1, 1, 9999, 9999, "10714"},  {1, 1, 9999, 9999, "10715"},
};

// A number right-aligned in four characters, padded with blanks (the fixed rows).
std::string Campo(int n) {
  std::string s = std::to_string(n);
  return std::string(s.size() < 4 ? 4 - s.size() : 0, ' ') + s;
}

// The numeric value of a field of a row (Val: leading blanks skipped, a non-number is 0).
int Valore(const std::string& Riga, size_t Inizio) {
  return static_cast<int>(vb::Val(vb::Mid(Riga, static_cast<int64_t>(Inizio), 4)));
}

}  // namespace

void Imposta_Mappa_Fissa() {
  for (size_t i = 0; i < 66; ++i) {
    const Riga& r = kFisse[i];
    Mappa_Aiuto[i + 1] = Campo(r.l) + "," + Campo(r.t) + "," + Campo(r.r) + "," + Campo(r.b) + "," + r.argomento;
  }
}

int Riga_Mappa(int x, int y, int Primo, int Ultimo) {
  for (int n = Primo; n <= Ultimo; ++n) {
    // A row beyond the map is the program's own bounds error; the fixed ranges never give one.
    if (n < 1 || n > 96) return 0;
    const std::string& r = Mappa_Aiuto[static_cast<size_t>(n)];
    if (r.size() < 25) continue;
    if (Valore(r, 1) <= x && x <= Valore(r, 11) && Valore(r, 6) <= y && y <= Valore(r, 16)) return n;
  }
  return 0;
}

int32_t Apri_Argomento(int32_t hWnd, const std::string& Argomento) {
  const std::string File = Cartella_Programma + "KYX.CHM";
  std::string Errore;
  const int32_t Viewer = help::HtmlHelp(hWnd, Argomento.empty() ? File : File + "::/" + Argomento,
                                        help::HH_DISPLAY_TOPIC, Errore);
  if (Viewer == 0) {
    // Without its help file the program goes on; the user is told why no help appears.
    host::MsgBox("Impossibile aprire il file della guida\r" + File, host::vbExclamation, Titolo_Programma);
  }
  return Viewer;
}

void Help_Mappa_Apri(int32_t& Top, int32_t& Left, int32_t& hWnd, int32_t& Primo, int32_t& Ultimo) {
  int cx = 0, cy = 0;
  ui::GetCursorPos(cx, cy);
  const int x = static_cast<int>(std::lround((cx * ui::Twips_Pixel_X() - Left) / 15.0));
  const int y = static_cast<int>(std::lround((cy * ui::Twips_Pixel_Y() - Top) / 15.0));
  const int n = Riga_Mappa(x, y, Primo, Ultimo);
  if (n == 0) return;
  const std::string& Riga = Mappa_Aiuto[static_cast<size_t>(n)];
  if (Debug_Attivo) frmDebug->Scrivi_Riga(Numero_Cifre(n, 3) + " " + Riga);
  Finestra_Aiuto = Apri_Argomento(hWnd, Riga.substr(20, 5) + ".htm");
}

void reset_mappa_aiuto() { Mappa_Aiuto.fill(std::string()); }

}  // namespace kyx
