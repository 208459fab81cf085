// The chart at the end of a print run: the chart window's picture, scaled to the printable width
// or height keeping its proportions, below what was printed or at the top of the next page.
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "common/stato.h"
#include "platform/gdi/gdi.h"
#include "platform/vb/vb.h"
#include "print/agganci_stampa.h"
#include "print/stampa_documento.h"
#include "print/stampa_interno.h"
#include "print/stampanti.h"
#include "print/stato_stampa.h"

namespace kyx {

bool Stampa_Grafico() {
  if (agganci_stampa::Prepara_Grafico) agganci_stampa::Prepara_Grafico(true);
  const int32_t Sinistro = Stampa_Margini[0];
  const double W = static_cast<double>(Stampanti_Larghezza) - Sinistro - Stampa_Margini[1];
  const double H = static_cast<double>(Stampanti_Altezza) - Stampa_Margini[2] - Stampa_Margini[3] - Stampa_Altezza_Riga_3;

  QImage Immagine = agganci_stampa::Immagine_Grafico ? agganci_stampa::Immagine_Grafico() : QImage();
  // A chart window without size gives nothing to scale: it is passed over.
  if (!Immagine.isNull() && Immagine.width() > 0 && Immagine.height() > 0 && W > 0 && H > 0) {
    // The picture on a white ground, 24 bits a pixel.
    QImage Copia(Immagine.size(), QImage::Format_RGB888);
    Copia.fill(Qt::white);
    {
      QPainter p(&Copia);
      p.drawImage(0, 0, Immagine);
    }
    const double cw = Copia.width();
    const double ch = Copia.height();
    const double s = std::min(W / cw, H / ch);
    const int32_t w = static_cast<int32_t>(vb::RoundHalfEven(cw * s));
    const int32_t h = static_cast<int32_t>(vb::RoundHalfEven(ch * s));
    if (Stampa_Y + Stampa_Altezza_Riga + h > stampa::Limite_Basso()) Stampa_Nuova_Pagina();
    const int32_t Alto = Stampa_Y;
    if (Stampa_Pagina_Attiva) {
      const gdi::Rect r{Stampanti_Punto_X(Sinistro), Stampanti_Punto_Y(Alto), Stampanti_Punto_X(Sinistro + w),
                        Stampanti_Punto_Y(Alto + h)};
      gdi::StretchImage(Stampa_DC, r, Copia);
    }
    Stampa_Y = Stampa_Y + Stampa_Altezza_Riga + h;
  }
  if (agganci_stampa::Prepara_Grafico) agganci_stampa::Prepara_Grafico(false);
  return true;
}

}  // namespace kyx
