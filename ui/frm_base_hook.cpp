// frmBase: the window procedure. It keeps the window between its minimum and maximum size,
// closes the open pop-ups when the user presses on the main window (gated or not), ends the
// context-help mode on the release that picks a place, routes the wheel and answers F1 in the
// program's dialogs and pop-ups. Qt gives these as the form's hooks instead of a subclass.
#include <cmath>
#include <string>

#include "common/modello.h"
#include "common/stato.h"
#include "platform/ui/units.h"
#include "platform/ui/vb_events.h"
#include "platform/vb/vb.h"
#include "ui/agganci_base.h"
#include "ui/frm_base.h"
#include "ui/mappa_aiuto.h"
#include "ui/stato_finestra.h"

namespace kyx {

namespace {

constexpr double kLarghezza_Minima = 9450;  // twips
constexpr double kAltezza_Minima = 6000;    // twips
constexpr int32_t kMassimo = 10000;         // pixels

// The two dialogs (rows 1 .. 51) are laid out on their map as if framed by a 3-pixel border and a
// 23-pixel title bar. The window manager's real frame differs from one desktop to another (and
// there is none offscreen), so for them the map's corner is taken from the inside, where their
// controls are. The main window's rows are measured from its real frame when help mode starts.
constexpr int kBordo_Dialogo = 3;
constexpr int kTitolo_Dialogo = 23;

void Apri_Mappa(ui::KyForm& f, int16_t Primo, int16_t Ultimo) {
  if (!agganci_base::Help_Mappa_Apri) return;
  double Top = f.Top(), Left = f.Left();
  if (Ultimo <= 51) {
    const QPoint Dentro = f.mapToGlobal(QPoint(0, 0));
    Top = (Dentro.y() - kTitolo_Dialogo) * Twips_Pixel_Y;
    Left = (Dentro.x() - kBordo_Dialogo) * Twips_Pixel_X;
  }
  agganci_base::Help_Mappa_Apri(static_cast<int32_t>(std::lround(Top)), static_cast<int32_t>(std::lround(Left)),
                                f.hWnd(), Primo, Ultimo);
}

}  // namespace

void FrmBase::Limita_Dimensioni(int32_t& cx, int32_t& cy) {
  if (kLarghezza_Minima / Twips_Pixel_X > cx) {
    cx = static_cast<int32_t>(ui::round_even(kLarghezza_Minima / Twips_Pixel_X));
  }
  if (cx > kMassimo) cx = kMassimo;
  if (kAltezza_Minima / Twips_Pixel_Y > cy) {
    cy = static_cast<int32_t>(ui::round_even(kAltezza_Minima / Twips_Pixel_Y));
  }
  if (cy > kMassimo) cy = kMassimo;
}

void FrmBase::Hook_Imposta() {
  Form_Aperto.fill(false);
  SetSizeLimits(kLarghezza_Minima, kAltezza_Minima, kMassimo, kMassimo);
  MouseHook = [this](ui::KyForm&, const ui::FormMouse& m) { Hook_Mouse(m); };
  WheelHook = [this](int keys, int notches, int x, int y) {
    if (!agganci_base::xMouseWheel) return false;
    // A turn meant for one of the window's own scroll bars is the program's alone: the control
    // under the pointer (that bar itself, say) must not scroll as well. Elsewhere the control
    // under the pointer gets it, as after the default handling: the trees scroll themselves.
    // Decided before the turn, whose redisplay may hide and show the views.
    const bool Propria = Barra_Rotella(keys, x, y) != nullptr;
    agganci_base::xMouseWheel(keys, notches, x, y);
    return Propria;
  };
  ui::KyForm::HelpHook() = [](ui::KyForm& attiva) { Hook_Aiuto(attiva); };
  // The dialogs' and pop-ups' rows of the context-help map.
  Imposta_Mappa_Fissa();
  Hook_Installato = true;
}

void FrmBase::Hook_Rimuovi() {
  if (!Hook_Installato) return;
  SetSizeLimits(0, 0, 0, 0);
  MouseHook = nullptr;
  WheelHook = nullptr;
  ui::KyForm::HelpHook() = nullptr;
  Hook_Installato = false;
}

void FrmBase::Hook_Mouse(const ui::FormMouse& Mouse) {
  if (Mouse.button != ui::vbLeftButton && Mouse.button != ui::vbRightButton) return;
  if (Mouse.press) {
    // Every flagged pop-up closes, in the order of the flags; the options and favourites pop-ups
    // only while they are enabled (a dialog of theirs may be open over them). Their own unload
    // clears the flag; an unload from code leaves the pointer and this window's gate alone.
    for (std::size_t i = 0; i < Form_Aperto.size(); ++i) {
      if (!Form_Aperto[i]) continue;
      ui::KyForm* popup = agganci_base::Popup[i] ? agganci_base::Popup[i]() : nullptr;
      if ((i == 4 || i == 5) && popup && !popup->Enabled()) continue;
      if (popup) {
        popup->Unload(ui::vbFormCode);
      } else {
        // A flag whose form is gone would keep the window gated for ever.
        Form_Aperto[i] = false;
      }
      Popup_Chiuso = true;
    }
    return;
  }
  if (Puntatore_Schermo == ui::vbCustom) {
    // The click that ends the context-help mode: the topic of the place clicked.
    Apri_Mappa(*this, 71, 96);
    Popup_Chiuso = true;
  }
  if (Popup_Chiuso) {
    Imposta_Puntatore(0);
    SetEnabled(true);
    Popup_Chiuso = false;
  }
}

void FrmBase::Hook_Aiuto(ui::KyForm& Attiva) {
  struct Righe {
    const char* Form;
    const char* Titolo;  // nullptr: any caption
    int16_t Primo, Ultimo;
  };
  static const Righe kMappa[] = {
      {"frmOpzioni", nullptr, 1, 41},
      {"frmStampante", nullptr, 42, 51},
      {"frmMenuColonne", nullptr, 52, 52},
      {"frmMenuOpzioni", nullptr, 53, 53},
      {"frmMenuLivelli", nullptr, 54, 56},
      {"frmMenuDati", nullptr, 57, 57},
      {"frmMenuColonna", nullptr, 58, 58},
      {"frmMenuRiga", nullptr, 59, 59},
      {"frmMenuPreferiti", nullptr, 60, 60},
      {"frmMenuPreferitiModifica", "Modifica elaborazione", 61, 61},
      {"frmMenuPreferitiModifica", "Aggiunta elaborazione", 62, 62},
      {"frmMenuPreferitiModifica", "Elimina elaborazione", 63, 63},
      {"frmMenuPreferitiModifica", "Modifica cartella", 64, 64},
      {"frmMenuPreferitiModifica", "Aggiunta cartella", 65, 65},
      {"frmMenuPreferitiModifica", "Elimina cartella", 66, 66},
  };
  const std::string Nome = vb::Trim(Attiva.Name());
  const std::string Titolo = vb::Trim(Attiva.Caption());
  for (const Righe& r : kMappa) {
    if (Nome != r.Form) continue;
    if (r.Titolo && Titolo != r.Titolo) continue;
    Apri_Mappa(Attiva, r.Primo, r.Ultimo);
    return;
  }
}

}  // namespace kyx
