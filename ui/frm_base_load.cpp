// frmBase: load, resize, keys, logo, banner and unload of the main window.
#include <QApplication>
#include <QKeyEvent>
#include <QPalette>
#include <cmath>

#include "common/modello.h"
#include "common/stato.h"
#include "platform/files/files.h"
#include "platform/host/host.h"
#include "platform/ui/colours.h"
#include "platform/ui/qt_host.h"
#include "platform/ui/units.h"
#include "platform/ui/vb_events.h"
#include "platform/vb/vb.h"
#include "ui/agganci_base.h"
#include "ui/finestre.h"
#include "ui/frm_base.h"
#include "ui/frm_debug.h"
#include "ui/impostazioni_generali.h"
#include "ui/stato_finestra.h"

namespace kyx {

namespace {

// Esc ends the context-help mode. The mode keeps the main window gated, and the gate swallows
// its keys, so Esc is watched ahead of the gate: this filter is installed on the application
// after it and therefore sees the keys first. Only Esc, only on the main window, only in the mode.
class EscAiuto : public QObject {
 public:
  explicit EscAiuto(FrmBase* f) : QObject(f), f_(f) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress || Puntatore_Schermo != ui::vbCustom) return false;
    if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape) return false;
    if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != f_) return false;
    int KeyAscii = 27;
    f_->Form_KeyPress(KeyAscii);
    return true;
  }

 private:
  FrmBase* f_;
};

void Colore_Sfondo_Controllo(QWidget& w, int32_t Colore) {
  // The common controls' set-background-colour message takes a plain RGB value.
  QPalette pal = w.palette();
  pal.setColor(QPalette::Window, ui::ole_to_qcolor(static_cast<uint32_t>(Traduci_Colore(Colore))));
  w.setPalette(pal);
  w.setAutoFillBackground(true);
  w.update();
}

}  // namespace

void FrmBase::Form_Load() {
  // 1. The debug window, which then receives the trace of the lower layers.
  if (Debug_Attivo) {
    frmDebug->Show(ui::vbModeless);
    if (auto* qt = dynamic_cast<ui::QtHost*>(&host::host())) Installa_Debug(*qt);
  }
  if (auto* qt = dynamic_cast<ui::QtHost*>(&host::host())) qt->SetStatusBar(StatusBar1);

  // 2. Screen resolution. The system reports whole twips per pixel; a resolution whose twips per
  // pixel is not whole (175 %, for one) is drawn with rounding errors, and the user is told.
  Twips_Pixel_X = ui::Twips_Pixel_X();
  Twips_Pixel_Y = ui::Twips_Pixel_Y();
  const auto Intero_Segnalato = [](double t) {
    return static_cast<float>(std::floor(t + 1e-9));
  };
  if (static_cast<float>(Twips_Pixel_X) != Intero_Segnalato(Twips_Pixel_X) ||
      static_cast<float>(Twips_Pixel_Y) != Intero_Segnalato(Twips_Pixel_Y)) {
    host::MsgBox("Il video \xE8 impostato con un DPI (punti per pollice)\rnon supportato.\r"
                 "La visualizzazione postrebbe non essere corretta !",
                 host::vbInformation, Titolo_Programma);
  }
  // 3.
  Pixel_255_X = ui::round_even(255.0 / Twips_Pixel_X);
  Pixel_255_Y = ui::round_even(255.0 / Twips_Pixel_Y);

  // 4. Logo: the flat one in the flat look, a KYX.GIF of the program folder over either.
  if (Aspetto == 2) Image1->setPixmap(Image2);
  const std::string Gif = Cartella_Programma + "KYX.GIF";
  if (files::file_exists(files::native_path(Gif))) {
    QPixmap logo(QString::fromStdString(files::native_path(Gif)));
    if (!logo.isNull()) {
      Image1->setPixmap(logo);
      Image1->resize(logo.size());
    }
  }

  // 5. Colours.
  const auto Sfondo = static_cast<uint32_t>(Colore_Sfondo);
  SetBackColor(Sfondo);
  lblNS->SetBackColor(Sfondo);
  lblWE->SetBackColor(Sfondo);
  for (auto* p : Flt_Pic) p->SetBackColor(Sfondo);
  Imposta_Sfondo_Finestra(*Toolbar1, Colore_Sfondo);
  Imposta_Sfondo_Finestra(*Flt_Toolbar, Colore_Sfondo);
  Colore_Sfondo_Controllo(*StatusBar1, Colore_Sfondo);
  Colore_Sfondo_Controllo(*ProgressBar1, Colore_Sfondo);
  PicLayout->SetBackColor(Sfondo);
  for (auto* blocco : {&L_twL, &L_twF, &L_twE}) {
    (*blocco)[1]->SetBorderColor(static_cast<uint32_t>(Colore_Bordo));
    (*blocco)[2]->SetBorderColor(static_cast<uint32_t>(Colore_Bordo));
  }
  L_Flt[1]->SetBorderColor(static_cast<uint32_t>(Colore_Bordo));
  L_Flt[2]->SetBorderColor(static_cast<uint32_t>(Colore_Bordo));

  // 6., 7. Settings and the toolbar state.
  Leggi_Impostazioni_Generali();
  Imposta_Form_Base();
  if (agganci_base::Carica_Impostazioni_Stampa) agganci_base::Carica_Impostazioni_Stampa();
  Imposta_Bar();

  // 8. Local databases: the program cannot work without any of the three.
  struct Base {
    std::function<bool()> Apri;
    const char* Messaggio;
  };
  const Base Basi[] = {
      {[] { return agganci_base::Apri_MDB0(false); }, "Errore 001 - DB 0"},
      {[] { return agganci_base::Apri_MDB1(false, false); }, "Errore 002 - DB 1"},
      {[] { return agganci_base::Apri_MDB2(false, false); }, "Errore 003 - DB 2"},
  };
  for (const Base& b : Basi) {
    if (!b.Apri()) {
      host::MsgBox(b.Messaggio, host::vbCritical, Titolo_Programma);
      agganci_base::Termina_Programma(1);
      return;
    }
  }

  // 9., 10. Trees, grid and header strip.
  Stato_PicLayout = 0;
  if (agganci_base::Carica_Albero_Struttura) agganci_base::Carica_Albero_Struttura();
  if (agganci_base::Carica_Albero_Chiavi) agganci_base::Carica_Albero_Chiavi();
  Grid1->Clear();
  Grid1->SetRows(0);
  Grid1->SetCols(1);
  if (agganci_base::KyHead_Initialize) agganci_base::KyHead_Initialize();
  if (agganci_base::KyHead_Aggiorna) agganci_base::KyHead_Aggiorna();
  Chiave_Elenco = -1;

  // 11. The window procedure.
  if (vb::InStr(Riga_Comando, "/NOHOOK") == 0) Hook_Imposta();
  qApp->installEventFilter(new EscAiuto(this));

  // 12. The main window takes over the login dialog's slot in the instance registry.
  {
    int16_t Modo = 0;
    int32_t hWnd1 = hWnd();
    int32_t hWnd2 = agganci_base::hWnd_Login ? agganci_base::hWnd_Login() : 0;
    std::string Cartella = Cartella_Dati;
    agganci_base::Registro_Istanze(Modo, hWnd1, hWnd2, Cartella);
  }

  // 13. "/AUTO": connect at once.
  if (vb::InStr(Riga_Comando, "/AUTO") != 0) {
    Show();
    Esegui_Pulsante(Toolbar1->Buttons("Server"), ui::vbLeftButton);
  }

  // 14. The banner with the start-up message, for three seconds.
  lblBeta->setText(QString::fromStdString(text::to_utf8(vb::Replace(Messaggio_Avvio, "\r\n", "\n"))));
  TimerBeta.SetInterval(3000);
  if (Messaggio_Presente) {
    TimerBeta.SetEnabled(true);
    Beta->SetVisible(true);
    Beta->raise();
  } else {
    TimerBeta.SetEnabled(false);
    Beta->SetVisible(false);
  }
}

void FrmBase::Form_Resize() {
  if (WindowState() == ui::vbMinimized || In_Caricamento || !Loaded()) return;
  if (Width() < 9450) SetWidth(9450);
  if (Height() < 6000) SetHeight(6000);
  Ridimensiona();
  if (Grid1->Rows() >= 1 && !Grafico_Visibile && agganci_base::Visualizza_Griglia) {
    agganci_base::Visualizza_Griglia();
  }
}

void FrmBase::Form_KeyDown(int& KeyCode, int Shift) {
  // The window works on characters: Ctrl and a letter is the control character of the letter.
  int KeyAscii = 0;
  if ((Shift & ui::vbCtrlMask) != 0 && (Shift & ui::vbAltMask) == 0 && KeyCode >= 65 &&
      KeyCode <= 90) {
    KeyAscii = KeyCode - 64;
  } else if (KeyCode == ui::vbKeyEscape) {
    KeyAscii = 27;
  }
  if (KeyAscii != 0) Form_KeyPress(KeyAscii);
}

void FrmBase::Form_KeyPress(int& KeyAscii) {
  auto Operatore = [this](uint8_t op) {
    Operatore_Filtro = op;
    Imposta_Bar();
    Ridimensiona();
  };
  switch (KeyAscii) {
    case 1:   // Ctrl+A
    case 4:   // Ctrl+D: both choose the range
      Operatore(3);
      break;
    case 14:  // Ctrl+N
      Operatore(2);
      break;
    case 19:  // Ctrl+S
      Operatore(1);
      break;
    case 16:  // Ctrl+P: the favourites
      Esegui_Pulsante(Toolbar1->Buttons("Preferiti"), ui::vbLeftButton);
      break;
    case 27:  // Esc ends the context-help mode
      if (Puntatore_Schermo == ui::vbCustom) {
        Imposta_Puntatore(0);
        SetEnabled(true);
      }
      break;
    default:
      break;
  }
}

void FrmBase::Form_Unload(int16_t& Cancel) {
  (void)Cancel;
  Fine_Programma();
}

void FrmBase::Image1_Click() {
  host::MsgBox("Per informazioni" + Testo_Contatti, host::vbInformation, Titolo_Programma);
}

void FrmBase::TimerBeta_Timer() {
  TimerBeta.SetEnabled(false);
  Beta->SetVisible(false);
}

}  // namespace kyx
