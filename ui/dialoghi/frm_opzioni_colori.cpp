// frmOpzioni: the colour labels and the data font. Each colour label shows the pair of one kind
// of row (its text colour and background); the left button changes the text colour, any other
// button the background. The choice stays in the label until the profile is saved, which reads
// the labels back.
#include <QFont>

#include "platform/host/common_dialogs.h"
#include "platform/ui/colours.h"
#include "platform/ui/vb_events.h"
#include "ui/dialoghi/frm_opzioni.h"

namespace kyx {

namespace {

// An OLE colour as the colour dialog takes it: a system colour (&H800000nn) as the palette
// shows it now, a plain colour as it is.
uint32_t Rgb(uint32_t Ole) {
  if ((Ole & 0x80000000u) == 0) return Ole & 0xFFFFFFu;
  const QColor c = ui::ole_to_qcolor(Ole);
  return static_cast<uint32_t>(c.red()) | (static_cast<uint32_t>(c.green()) << 8) |
         (static_cast<uint32_t>(c.blue()) << 16);
}

// The colour dialog on one colour of the label; Cancel leaves the label as it was.
void Scegli_Colore(ui::Label& Etichetta, int Button) {
  const bool Testo = Button == ui::vbLeftButton;
  uint32_t Colore = Rgb(Testo ? Etichetta.ForeColor() : Etichetta.BackColor());
  if (!host::dialogs().ShowColor(Colore, host::cdlCCRGBInit | host::cdlCCFullOpen)) return;
  if (Testo) {
    Etichetta.SetForeColor(Colore);
  } else {
    Etichetta.SetBackColor(Colore);
  }
}

// The font dialog on the label's font; Cancel leaves the label as it was.
void Scegli_Font(ui::Label& Etichetta, const char* Titolo) {
  QFont f = Etichetta.font();
  host::FontChoice Font{ui::Cp(f.family()), f.bold(), f.italic(), f.pointSizeF()};
  if (!host::dialogs().ShowFont(Font, host::cdlCFScreenFonts | host::cdlCFANSIOnly, Titolo)) return;
  f.setFamily(ui::Q(Font.name));
  f.setBold(Font.bold);
  f.setItalic(Font.italic);
  if (Font.size > 0) f.setPointSizeF(Font.size);
  Etichetta.setFont(f);
}

}  // namespace

void FrmOpzioni::lblColoreRiga_MouseUp(int Index, int Button, int Shift) {
  (void)Shift;
  if (Index < 0 || Index > 9) return;
  Scegli_Colore(*lblColoreRiga[static_cast<size_t>(Index)], Button);
}

void FrmOpzioni::lblColoreLiv_MouseUp(int Index, int Button, int Shift) {
  if (Index < 1 || Index > 36) return;
  ui::Label& Etichetta = *lblColoreLiv[static_cast<size_t>(Index)];
  if (Shift != ui::vbCtrlMask) {
    Scegli_Colore(Etichetta, Button);
    return;
  }
  // Ctrl alone with the left button: the label's own font, which is not part of the profile.
  if (Button == ui::vbLeftButton) Scegli_Font(Etichetta, "");
}

void FrmOpzioni::lblFontDati_Click() { Scegli_Font(*lblFontDati, "Scelta del font"); }

}  // namespace kyx
