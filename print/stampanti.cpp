#include "print/stampanti.h"

#include <cmath>
#include <limits>

#include "platform/vb/vb.h"

namespace kyx {

int16_t Stampanti_Punti_Pollice_X = 0;
int16_t Stampanti_Punti_Pollice_Y = 0;
int16_t Stampanti_Punti_X = 0;
int16_t Stampanti_Punti_Y = 0;
float Stampanti_Twip_Punto_X = 0;
float Stampanti_Twip_Punto_Y = 0;
int16_t Stampanti_Larghezza = 0;
int16_t Stampanti_Altezza = 0;
gdi::TextMetric Stampanti_Metriche_Testo;

namespace stampanti {
void reset() {
  Stampanti_Punti_Pollice_X = Stampanti_Punti_Pollice_Y = 0;
  Stampanti_Punti_X = Stampanti_Punti_Y = 0;
  Stampanti_Twip_Punto_X = Stampanti_Twip_Punto_Y = 0;
  Stampanti_Larghezza = Stampanti_Altezza = 0;
  Stampanti_Metriche_Testo = {};
}
}  // namespace stampanti

namespace {

int16_t A_16_Bit(double v) {
  // The printable sizes are 16-bit: a side beyond 32767 twips (about 578 mm) is held at the
  // largest value rather than wrapping round to a negative size.
  if (!std::isfinite(v)) return 0;
  if (v > 32767) return 32767;
  if (v < -32768) return -32768;
  return static_cast<int16_t>(v);
}

int32_t Punto(int32_t twips, float twip_punto) {
  if (!(twip_punto > 0)) return twips;
  const double v = vb::RoundHalfEven(static_cast<double>(twips) / static_cast<double>(twip_punto));
  if (v > std::numeric_limits<int32_t>::max() || v < std::numeric_limits<int32_t>::min()) return 0;
  return static_cast<int32_t>(v);
}

uint32_t Rgb(int32_t colore) { return static_cast<uint32_t>(colore) & 0xFFFFFF; }

}  // namespace

int32_t Stampanti_Punto_X(int32_t Twips) { return Punto(Twips, Stampanti_Twip_Punto_X); }
int32_t Stampanti_Punto_Y(int32_t Twips) { return Punto(Twips, Stampanti_Twip_Punto_Y); }

int32_t Stampanti_Imposta(int32_t /*hWnd*/, int32_t& hDC, const std::string& Stampante, int16_t Verticale,
                          int32_t Copie) {
  const gdi::Handle stampante = gdi::OpenPrinter(Stampante);
  if (stampante == 0) {
    const uint32_t e = gdi::GetLastError();
    return e == 0 ? -1 : static_cast<int32_t>(e);
  }
  int32_t risultato = 0;
  gdi::DeviceMode modo;
  if (!gdi::GetDeviceMode(stampante, &modo)) {
    risultato = static_cast<int32_t>(gdi::GetLastError());
  } else {
    modo.Copies = static_cast<int16_t>(Copie);
    modo.Orientation = Verticale != 0 ? gdi::DMORIENT_PORTRAIT : gdi::DMORIENT_LANDSCAPE;
    modo.Fields |= gdi::DM_ORIENTATION | gdi::DM_COPIES;
    if (!gdi::ValidateDeviceMode(stampante, &modo)) {
      risultato = static_cast<int32_t>(gdi::GetLastError());
    } else if (!gdi::ResetDC(hDC, modo)) {
      risultato = static_cast<int32_t>(gdi::GetLastError());
      if (risultato == 0) risultato = -1;
    }
  }
  gdi::ClosePrinter(stampante);
  return risultato;
}

void Stampanti_Caratteristiche(int32_t& hDC) {
  Stampanti_Punti_Pollice_X = static_cast<int16_t>(gdi::GetDeviceCaps(hDC, gdi::LOGPIXELSX));
  Stampanti_Punti_Pollice_Y = static_cast<int16_t>(gdi::GetDeviceCaps(hDC, gdi::LOGPIXELSY));
  Stampanti_Punti_X = A_16_Bit(gdi::GetDeviceCaps(hDC, gdi::HORZRES));
  Stampanti_Punti_Y = A_16_Bit(gdi::GetDeviceCaps(hDC, gdi::VERTRES));
  // A context without resolution (a failed one) leaves the conversion at one twip per dot
  // instead of dividing by zero.
  Stampanti_Twip_Punto_X = Stampanti_Punti_Pollice_X > 0 ? 1440.0f / Stampanti_Punti_Pollice_X : 1.0f;
  Stampanti_Twip_Punto_Y = Stampanti_Punti_Pollice_Y > 0 ? 1440.0f / Stampanti_Punti_Pollice_Y : 1.0f;
  Stampanti_Larghezza = A_16_Bit(vb::RoundHalfEven(Stampanti_Punti_X * static_cast<double>(Stampanti_Twip_Punto_X)));
  Stampanti_Altezza = A_16_Bit(vb::RoundHalfEven(Stampanti_Punti_Y * static_cast<double>(Stampanti_Twip_Punto_Y)));
}

int32_t Stampanti_Metriche(int32_t& hDC) { return gdi::GetTextMetrics(hDC, &Stampanti_Metriche_Testo) ? 1 : 0; }

int32_t Stampanti_Crea_Font(const std::string& Nome, int32_t Altezza, int32_t Larghezza, int32_t Peso,
                            uint8_t Corsivo, int32_t Inclinazione) {
  gdi::LogFont f;
  f.Height = Altezza;
  f.Width = Larghezza;
  f.Escapement = Inclinazione;
  f.Orientation = Inclinazione;
  f.Weight = Peso;
  f.Italic = Corsivo;
  f.CharSet = 1;
  f.FaceName = Nome;
  return gdi::CreateFontIndirect(f);
}

int32_t Stampanti_Crea_Penna(int32_t Stile, int32_t Larghezza, int32_t Colore) {
  return gdi::CreatePen(Stile, Larghezza, Rgb(Colore));
}

int32_t Stampanti_Seleziona(int32_t& hDC, int32_t Oggetto) { return gdi::SelectObject(hDC, Oggetto); }
int32_t Stampanti_Elimina_Oggetto(int32_t Oggetto) { return gdi::DeleteObject(Oggetto); }
int32_t Stampanti_Crea_DC(const std::string& Stampante) { return gdi::CreateDC("0", Stampante); }
int32_t Stampanti_Elimina_DC(int32_t& hDC) { return gdi::DeleteDC(hDC); }
int32_t Stampanti_Inizio_Doc(int32_t& hDC, const std::string& Documento) { return gdi::StartDoc(hDC, Documento); }
int32_t Stampanti_Fine_Doc(int32_t& hDC) { return gdi::EndDoc(hDC); }
int32_t Stampanti_Inizio_Pagina(int32_t& hDC) { return gdi::StartPage(hDC); }
int32_t Stampanti_Fine_Pagina(int32_t& hDC) { return gdi::EndPage(hDC); }

void Stampanti_Testo(int32_t& hDC, const std::string& Testo, int32_t& X, int32_t& Y, int32_t dX, int32_t dY,
                     int32_t Colore_Testo, int32_t Colore_Sfondo) {
  gdi::SetTextColor(hDC, Rgb(Colore_Testo));
  gdi::SetBkColor(hDC, Rgb(Colore_Sfondo));
  X += dX;
  Y += dY;
  gdi::TextOut(hDC, Stampanti_Punto_X(X), Stampanti_Punto_Y(Y), Testo);
}

void Stampanti_Cella(int32_t& hDC, const std::string& Testo, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2,
                     int32_t Formato, int32_t Margine, bool Bordo_Alto, bool Bordo_Destro, bool Bordo_Basso,
                     bool Bordo_Sinistro, int32_t Colore_Testo, int32_t Colore_Sfondo, bool Riempi) {
  const gdi::Point p[5] = {{Stampanti_Punto_X(X1), Stampanti_Punto_Y(Y1)},
                           {Stampanti_Punto_X(X2), Stampanti_Punto_Y(Y1)},
                           {Stampanti_Punto_X(X2), Stampanti_Punto_Y(Y2)},
                           {Stampanti_Punto_X(X1), Stampanti_Punto_Y(Y2)},
                           {Stampanti_Punto_X(X1), Stampanti_Punto_Y(Y1)}};
  if (Riempi) {
    const gdi::Handle pennello = gdi::CreateSolidBrush(Rgb(Colore_Sfondo));
    gdi::FillRect(hDC, gdi::Rect{p[0].x, p[0].y, p[2].x, p[2].y}, pennello);
    gdi::DeleteObject(pennello);
  }
  if (Bordo_Alto) gdi::Polyline(hDC, &p[0], 2);
  if (Bordo_Destro) gdi::Polyline(hDC, &p[1], 2);
  if (Bordo_Basso) gdi::Polyline(hDC, &p[2], 2);
  if (Bordo_Sinistro) gdi::Polyline(hDC, &p[3], 2);
  gdi::SetTextColor(hDC, Rgb(Colore_Testo));
  gdi::SetBkColor(hDC, Rgb(Colore_Sfondo));
  const gdi::Rect r{Stampanti_Punto_X(X1 + Margine), Stampanti_Punto_Y(Y1 + Margine), Stampanti_Punto_X(X2 - Margine),
                    Stampanti_Punto_Y(Y2 - Margine)};
  gdi::DrawText(hDC, Testo, r, static_cast<uint32_t>(Formato));
}

void Stampanti_Freccia(int32_t& hDC, int32_t X, int32_t Y, const std::string& Verso) {
  gdi::Point p[4];
  if (vb::Trim(Verso) == "ASC") {
    p[0] = {Stampanti_Punto_X(X + 70), Stampanti_Punto_Y(Y - 120)};
    p[1] = {Stampanti_Punto_X(X + 120), Stampanti_Punto_Y(Y - 20)};
    p[2] = {Stampanti_Punto_X(X + 20), Stampanti_Punto_Y(Y - 20)};
  } else {
    p[0] = {Stampanti_Punto_X(X + 20), Stampanti_Punto_Y(Y - 120)};
    p[1] = {Stampanti_Punto_X(X + 120), Stampanti_Punto_Y(Y - 120)};
    p[2] = {Stampanti_Punto_X(X + 70), Stampanti_Punto_Y(Y - 20)};
  }
  p[3] = p[0];
  gdi::Polyline(hDC, p, 4);
}

int32_t Stampanti_Larghezza_Testo(int32_t& hDC, const std::string& Testo) {
  gdi::Size s;
  if (!gdi::GetTextExtentPoint32(hDC, Testo, &s)) return -1;
  return s.cx;
}

}  // namespace kyx
