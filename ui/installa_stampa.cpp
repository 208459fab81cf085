#include "ui/installa_stampa.h"

#include <QPixmap>

#include "common/agganci.h"
#include "platform/host/host.h"
#include "platform/text/cp1252.h"
#include "print/agganci_stampa.h"
#include "print/stampa_documento.h"
#include "print/stampanti.h"
#include "ui/agganci_base.h"
#include "ui/frm_base.h"

namespace kyx {

namespace {

// The enabled state of the main window while the chart is captured (kept across the capture).
bool Abilitata_Prima = true;

}  // namespace

void Installa_Stampa() {
  agganci::Stampanti_Crea_Font = [](const std::string& Nome, int32_t Altezza, int32_t Larghezza, int32_t Peso,
                                    uint8_t Corsivo, int32_t Inclinazione) {
    return Stampanti_Crea_Font(Nome, Altezza, Larghezza, Peso, Corsivo, Inclinazione);
  };
  agganci::Stampanti_Seleziona = [](int32_t hDC, int32_t Oggetto) { return Stampanti_Seleziona(hDC, Oggetto); };
  agganci::Stampanti_Larghezza_Testo = [](int32_t hDC, const std::string& Testo) {
    return Stampanti_Larghezza_Testo(hDC, Testo);
  };
  agganci::Stampanti_Elimina_Oggetto = [](int32_t Oggetto) { return Stampanti_Elimina_Oggetto(Oggetto); };
  // The settings are read while the main window loads (and again from the print dialog); a
  // reading without the window does not create it.
  agganci::Tooltip_Stampa = [](const std::string& Testo) {
    if (FrmBase* f = frmBase.peek()) f->Toolbar1->Buttons("Stampa").SetToolTipText(Testo);
  };
  agganci_base::Stampa_Documento = [] { Stampa_Documento(); };

  agganci_stampa::hWnd_Base = [] { return frmBase->hWnd(); };
  agganci_stampa::Titolo_Griglia = [] { return text::from_utf8(frmBase->lbl_twE[0]->text().toStdString()); };
  agganci_stampa::Prepara_Grafico = [](bool Inizio) {
    FrmBase& f = *frmBase;
    if (Inizio) Abilitata_Prima = f.Enabled();
    f.SetEnabled(true);
    f.pnlDecod->SetVisible(!Inizio);
    if (Inizio) f.twL->setFocus();
    f.SetEnabled(Abilitata_Prima);
    host::DoEvents();
  };
  agganci_stampa::Immagine_Grafico = []() -> QImage {
    FrmBase& f = *frmBase;
    if (!f.Grafico || f.Grafico->width() <= 0 || f.Grafico->height() <= 0) return QImage();
    return f.Grafico->grab().toImage();
  };
}

}  // namespace kyx
