#include "ui/frm_menu_opzioni.h"

#include <QDate>
#include <algorithm>
#include <string>

#include "common/modello.h"
#include "common/stato.h"
#include "engine/stato_motore.h"
#include "platform/host/host.h"
#include "platform/ui/pointer.h"
#include "platform/vb/vb.h"
#include "ui/agganci_base.h"
#include "ui/finestre.h"
#include "ui/frm_base.h"
#include "ui/stato_finestra.h"
#include "views/grafico.h"

namespace kyx {
namespace {

// The chart kinds of the list, in the list's order, by their type codes.
constexpr const char* kTipi[] = {"a barre 3D",   "a barre 2D",   "a nastri 3D",
                                 "a linee  2D",  "ad aree 3D",   "ad aree 2D",
                                 "a scalini 3D", "a scalini 2D", "a torte 2D"};

// The settings of the eight check boxes, in the order of Caselle.
std::array<bool*, 8> Impostazioni() {
  return {&Grafico_Percentuale, &Grafico_Serie,       &Grafico_In_Righe,   &Grafico_Etichette_Y,
          &Grafico_Etichette_Y2, &Grafico_Divisioni_Y, &Grafico_Etichette_X, &Grafico_Divisioni_X};
}

// The list item of a chart type code: codes 0 to 7 are their own index, any other is the pie.
int Indice_Tipo(int16_t Codice) { return Codice < 8 && Codice >= 0 ? Codice : 8; }

void Chiama(const std::function<void()>& f) {
  if (f) f();
}

void Ridisegna() {
  if (Grafico_Visibile) Chiama(agganci_base::Visualizza_Grafico);
}

}  // namespace

FrmMenuOpzioni::FrmMenuOpzioni() : ui::KyForm("frmMenuOpzioni") {
  setWindowFlag(Qt::Tool);
  SetCaption(" Imposta visualizzazione");
  resize(290, 330);
  Label1 = new ui::Label(this, "Grafico");
  Label1->Move(10, 8, 270, 16);
  Grafico_Tipo = new ui::ComboBox(this, true);
  Grafico_Tipo->SetToolTipText("Tipo del grafico");
  Grafico_Tipo->Move(10, 26, 270, 22);
  Grafico_Tipo->Click = [this] { Grafico_Tipo_Click(); };

  struct Casella {
    ui::CheckBox** Controllo;
    const char* Testo;
    const char* Suggerimento;
  };
  const Casella Elenco[] = {
      {&Grafico_Perc, "Grafico a percentuale", "nel grafico i valori delle serie sono espressi in percentuale"},
      {&Grafico_Serie, "Serie ordinate inversamente", "nel grafico inverte l'ordine delle serie"},
      {&Grafico_InRighe, "Serie in righe", "nel grafico inverte le righe con le colonne "},
      {&Grafico_Y_Etichette, "Etichette a sinistra su asse verticale", ""},
      {&Grafico_Y_Etichette_dx, "Etichette a destra su asse verticale", ""},
      {&Grafico_Y_Divisioni, "Divisioni su asse verticale", ""},
      {&Grafico_X_Etichette, "Etichette su asse orizzontale", ""},
      {&Grafico_X_Divisioni, "Divisioni su asse orizzontale", ""},
  };
  for (int i = 0; i < 8; ++i) {
    ui::CheckBox* c = new ui::CheckBox(this, Elenco[i].Testo);
    c->SetToolTipText(Elenco[i].Suggerimento);
    c->Move(10, 54 + 22 * i, 270, 20);
    QObject::connect(c, &QCheckBox::toggled, c, [this, i](bool) { Casella_Click(i); });
    *Elenco[i].Controllo = c;
    Caselle[i] = c;
  }
  lbl16 = new ui::Label(this, "Elementi nel grafico");
  lbl16->Move(10, 234, 180, 20);
  txtElemGrafico = new ui::TextBox(this);
  txtElemGrafico->SetToolTipText("Numero massimo elementi da presentare nel grafico");
  txtElemGrafico->Move(200, 232, 80, 22);
  QObject::connect(txtElemGrafico, &QLineEdit::textChanged, txtElemGrafico,
                   [this](const QString&) { txtElemGrafico_Change(); });
  lbl_Anno_Corrente = new ui::Label(this, "Anno di riferimento");
  lbl_Anno_Corrente->Move(10, 266, 180, 20);
  Anno_Corrente = new ui::ComboBox(this, true);
  Anno_Corrente->SetToolTipText("Anno di riferimento per la presentazione dei layouts");
  Anno_Corrente->Move(200, 264, 80, 22);
  Anno_Corrente->Click = [this] { Anno_Corrente_Click(); };
  for (auto& l : Linee) l = new ui::LineControl(this);
  Posiziona_Cornice(0, 0, ScaleWidth() - 1, ScaleHeight(), *Linee[0], *Linee[1], *Linee[2], *Linee[3]);
}

void FrmMenuOpzioni::Carica() {
  // 1. Loading: no handler acts while the controls are filled.
  Caricamento = true;
  frmBase->SetEnabled(false);
  Imposta_Puntatore(0);
  host::DoEvents();

  // 2. Background.
  SetBackColor(static_cast<uint32_t>(Colore_Sfondo));
  for (auto* c : Caselle) c->SetBackColor(static_cast<uint32_t>(Colore_Sfondo));

  // 3. At the pointer, 14 pixels up and left, and never lower than 450 twips above the main
  // window's bottom edge.
  int x = 0, y = 0;
  ui::GetCursorPos(x, y);
  SetLeft((x - 14) * Twips_Pixel_X);
  SetTop((y - 14) * Twips_Pixel_Y);
  const double Limite = frmBase->Top() + frmBase->Height() - Height() - 450;
  if (Limite < Top()) SetTop(Limite);

  // 4. Chart kinds.
  Grafico_Tipo->Clear();
  for (const char* t : kTipi) Grafico_Tipo->AddItem(t);
  Grafico_Tipo->SetListIndex(Indice_Tipo(::kyx::Grafico_Tipo));

  // 5. Check boxes.
  const auto Valori = Impostazioni();
  for (int i = 0; i < 8; ++i) Caselle[i]->SetValue(*Valori[i] ? 1 : 0);

  // 6. Elements per page.
  txtElemGrafico->SetText(std::to_string(Elementi_Grafico));

  // 7. Years: from the current year + 3 down eleven years.
  Anno_Iniziale = QDate::currentDate().year() + 3;
  Anno_Corrente->Clear();
  for (int i = 0; i <= 10; ++i) Anno_Corrente->AddItem(vb::Format(int64_t{Anno_Iniziale - i}, "0000"));

  // 8-9. The reference year, when the information system has one.
  if (Anno_In_Uso) {
    const int32_t Indice = std::clamp<int32_t>(Anno_Iniziale - Anno_Riferimento, 0, 10);
    Anno_Corrente->SetListIndex(Indice);
  }
  Anno_Corrente->SetEnabled(Anno_In_Uso);
  lbl_Anno_Corrente->SetEnabled(Anno_In_Uso);

  // 10. Shown owned by the main window.
  Show();
  Form_Aperto[kFormAperto_MenuOpzioni] = true;
  Caricamento = false;
}

void FrmMenuOpzioni::Grafico_Tipo_Click() {
  if (Caricamento) return;
  const int i = Grafico_Tipo->ListIndex();
  if (i < 0) return;
  ::kyx::Grafico_Tipo = static_cast<int16_t>(i < 8 ? i : 14);
  Ridisegna();
}

void FrmMenuOpzioni::Casella_Click(int Indice) {
  if (Caricamento || Indice < 0 || Indice >= 8) return;
  *Impostazioni()[Indice] = Caselle[Indice]->Value() == 1;
  Ridisegna();
}

void FrmMenuOpzioni::txtElemGrafico_Change() {
  if (Caricamento) return;
  const std::string Testo = txtElemGrafico->Text();
  const std::string Pulito = vb::Trim(Testo);
  if (Pulito != Testo) {
    // Setting the text runs this handler again on the trimmed text.
    txtElemGrafico->SetText(Pulito);
    return;
  }
  const bool Valido = vb::IsNumeric(Pulito) && vb::CDbl(Pulito) <= 9999 && vb::CDbl(Pulito) >= 1;
  if (!Valido) {
    txtElemGrafico->SetBackColor(ui::kOleHighlight);
    txtElemGrafico->SetForeColor(ui::kOleHighlightText);
    if (txtElemGrafico->Visible()) txtElemGrafico->SetFocus();
    return;
  }
  txtElemGrafico->SetForeColor(ui::kOleWindowText);
  txtElemGrafico->SetBackColor(ui::kOleWindowBackground);
  Elementi_Grafico = vb::CInt(vb::CDbl(Pulito));
  Ridisegna();
}

void FrmMenuOpzioni::Anno_Corrente_Click() {
  if (Caricamento || Anno_Bloccato) return;
  const int Indice = Anno_Corrente->ListIndex();
  if (Indice < 0) return;
  Anno_Bloccato = true;
  Anno_Riferimento = Anno_Iniziale - Indice;
  FrmBase& f = *frmBase;
  if (f.twF->Count() >= 1) f.twF->Nodes(1).SetText("Anno riferimento: " + std::to_string(Anno_Riferimento));
  if (Elaborazione_Corrente > 0) {
    Imposta_Puntatore(host::vbHourglass);
    SetEnabled(false);
    host::DoEvents();
    Tempo_Inizio = static_cast<float>(agganci_base::Orologio ? agganci_base::Orologio() : 0);
    for (const char* Pannello : {"Stato", "Progress", "Numero"}) host::host().SetPanel(Pannello, "");
    Chiama(agganci_base::Esegui_Elaborazione);
    Prima_Riga = -1;
    Prima_Colonna = -1;
    Scorrimento_Colonne = -1;
    Chiama(agganci_base::Visualizza_Griglia);
    Ridisegna();
    f.SetEnabled(false);
    Tempo_Fine = static_cast<float>(agganci_base::Orologio ? agganci_base::Orologio() : 0);
    host::host().SetPanel("Progress", vb::Format(double{Tempo_Fine} - double{Tempo_Inizio},
                                                 "\\ ###,###,##0.000\\ "));
    if (Rs_Griglia && Elaborazione_Corrente >= 1) {
      host::host().SetPanel("Numero", vb::Format(Rs_Griglia->RecordCount(), "\\ ###,###,###,##0\\ "));
    }
    SetEnabled(true);
    Imposta_Puntatore(0);
    ZOrder(0);
  }
  Anno_Bloccato = false;
}

void FrmMenuOpzioni::Form_QueryUnload(int16_t& Cancel, int UnloadMode) {
  (void)Cancel;
  if (UnloadMode == ui::vbFormControlMenu) {
    Imposta_Puntatore(0);
    frmBase->SetEnabled(true);
  }
}

void FrmMenuOpzioni::Form_Unload(int16_t& Cancel) {
  (void)Cancel;
  Form_Aperto[kFormAperto_MenuOpzioni] = false;
  if (frmBase.Loaded()) frmBase->ZOrder(0);
}

}  // namespace kyx
