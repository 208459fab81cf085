#include "ui/dialoghi/frm_stampante.h"

#include <cmath>

#include "common/impostazioni.h"
#include "common/modello.h"
#include "common/opzioni.h"
#include "common/stato.h"
#include "platform/gdi/gdi.h"
#include "platform/host/host.h"
#include "platform/ui/vb_events.h"
#include "platform/vb/try_val.h"
#include "platform/vb/vb.h"
#include "print/stampa_documento.h"
#include "print/stato_stampa.h"
#include "ui/finestre.h"
#include "ui/frm_base.h"
#include "ui/stato_finestra.h"

namespace kyx {

namespace {

constexpr int kAltezza = 21;

OptionButton* Opzione(QWidget* padre, const char* testo, int x, int y, int w) {
  auto* o = new OptionButton(padre);
  o->setText(ui::Q(testo));
  o->setGeometry(x, y, w, kAltezza);
  return o;
}

ui::TextBox* Casella(QWidget* padre, int x, int y, int w) {
  auto* t = new ui::TextBox(padre);
  t->Move(x, y, w, kAltezza);
  return t;
}

ui::Label* Etichetta(QWidget* padre, const char* testo, int x, int y, int w) {
  auto* l = new ui::Label(padre, testo);
  l->Move(x, y, w, kAltezza);
  return l;
}

QGroupBox* Cornice(QWidget* padre, const char* titolo, int x, int y, int w, int h) {
  auto* g = new QGroupBox(ui::Q(titolo), padre);
  g->setGeometry(x, y, w, h);
  return g;
}

// The leading number of a typed text (0 when it has none), rounded to a whole number.
int32_t Numero_Iniziale(const std::string& testo) {
  const double v = vb::RoundHalfEven(vb::TryVal(testo).value_or(0));
  return std::isfinite(v) && std::fabs(v) < 2e9 ? static_cast<int32_t>(v) : 0;
}

}  // namespace

FrmStampante::FrmStampante() : ui::KyForm("frmStampante") {
  QFont f("Arial");
  f.setPointSizeF(8);
  setFont(f);
  resize(452, 420);
  SetCaption(" Imposta stampante");

  pnl_printer_1 = Cornice(this, " Stampante ", 8, 4, 436, 52);
  lblStampanti = Etichetta(pnl_printer_1, "Nome", 10, 20, 40);
  Stampanti = new ui::ComboBox(pnl_printer_1, true);
  Stampanti->Move(54, 20, 372, kAltezza);
  Stampanti->SetToolTipText("Elenco delle stampanti");

  pnl_printer_2 = Cornice(this, " Orientamento ", 8, 60, 140, 76);
  opt_Orienta[0] = Opzione(pnl_printer_2, "Orizzontale", 10, 20, 120);
  opt_Orienta[0]->SetToolTipText("stampa in orizzontale");
  opt_Orienta[1] = Opzione(pnl_printer_2, "Verticale", 10, 44, 120);
  opt_Orienta[1]->SetToolTipText("stampa in verticale");

  pnl_printer_3 = Cornice(this, " Margini (millimetri) ", 156, 60, 288, 76);
  lblMar_Sx = Etichetta(pnl_printer_3, "sinistro", 10, 20, 60);
  txtMar_Sx = Casella(pnl_printer_3, 74, 20, 50);
  txtMar_Sx->SetToolTipText("margine sinistro");
  lblMar_Dx = Etichetta(pnl_printer_3, "destro", 148, 20, 60);
  txtMar_Dx = Casella(pnl_printer_3, 220, 20, 50);
  txtMar_Dx->SetToolTipText("margine destro");
  lblMar_Top = Etichetta(pnl_printer_3, "superiore", 10, 46, 60);
  txtMar_Top = Casella(pnl_printer_3, 74, 46, 50);
  txtMar_Top->SetToolTipText("margine superiore");
  lblMar_Bot = Etichetta(pnl_printer_3, "inferiore", 148, 46, 60);
  txtMar_Bot = Casella(pnl_printer_3, 220, 46, 50);
  txtMar_Bot->SetToolTipText("margine inferiore");

  pnl_printer_4 = Cornice(this, " Copie da stampare ", 8, 140, 140, 52);
  lblStampaCopie = Etichetta(pnl_printer_4, "Copie", 10, 20, 50);
  txtStampaCopie = Casella(pnl_printer_4, 64, 20, 50);

  pnl_printer_6 = Cornice(this, " Pagine da stampare ", 156, 140, 288, 52);
  opt_Pagine[0] = Opzione(pnl_printer_6, "Tutte", 10, 20, 60);
  opt_Pagine[1] = Opzione(pnl_printer_6, "Da ", 80, 20, 44);
  txtPagine_da = Casella(pnl_printer_6, 126, 20, 50);
  lblPagine_a = Etichetta(pnl_printer_6, "a", 184, 20, 14);
  txtPagine_a = Casella(pnl_printer_6, 202, 20, 50);

  pnl_printer_5 = Cornice(this, " Opzioni di stampa ", 8, 196, 436, 180);
  const auto casella = [this](const char* testo, const char* suggerimento, int y) {
    auto* c = new ui::CheckBox(pnl_printer_5, testo);
    c->setGeometry(10, y, 416, kAltezza);
    c->SetToolTipText(suggerimento);
    return c;
  };
  chkFiltro = casella("Stampa il filtro", "nella stampa dei dati/grafico stampa anche il filtro", 18);
  chkDati = casella("Stampa anche i dati numerici", "nella stampa del grafico stampa anche i dati numerici", 40);
  chkAdatta = casella("Adatta in larghezza", "adatta la stampa alla larghezza del foglio", 62);
  chkColonne = casella("Adatta colonne", "adatta la dimensione delle colonne al loro contenuto", 84);
  chkFont = casella("Adatta dimensione del Font ( max              )", "adatta il font alla dimensione delle colonne", 106);
  txtFontMax = Casella(pnl_printer_5, 230, 106, 36);
  txtFontMax->SetToolTipText("dimensione massima del font");
  chkAllineaX = casella("Allineamento orizzontale", "allinea la stampa orizzontalmente", 128);
  chkLivello1 = casella("Salto pagina al cambio del livello 1", "", 150);

  cmdStampa = new ui::CommandButton(this, "Stampa");
  cmdStampa->Move(172, 386, 84, 26);
  cmdStampa->SetToolTipText("Stampa il documento");
  cmdConferma = new ui::CommandButton(this, "Conferma");
  cmdConferma->Move(264, 386, 84, 26);
  cmdConferma->SetToolTipText("Conferma i dati impostati");
  cmdEsci = new ui::CommandButton(this, "Annulla");
  cmdEsci->Move(356, 386, 84, 26);
  cmdEsci->SetToolTipText("Esci senza aggiornare");

  for (OptionButton* o : opt_Pagine) QObject::connect(o, &QRadioButton::toggled, this, [this] { opt_Pagine_Click(); });
  cmdStampa->Click = [this] { cmdStampa_Click(); };
  cmdConferma->Click = [this] { cmdConferma_Click(); };
  cmdEsci->Click = [this] { cmdEsci_Click(); };
}

void FrmStampante::Carica() {
  // 1. - 2.
  frmBase->SetEnabled(false);
  host::host().SetPointer(host::vbDefault);
  Imposta_Sfondo_Finestra(*this, Colore_Sfondo);
  for (ui::CheckBox* c : {chkFiltro, chkDati, chkAdatta, chkColonne, chkFont, chkAllineaX, chkLivello1}) {
    c->SetBackColor(static_cast<uint32_t>(Colore_Sfondo));
  }

  // 3. - 4.
  opt_Orienta[Stampa_Verticale ? 1 : 0]->setChecked(true);
  chkAdatta->SetValue(Stampa_Adatta ? 1 : 0);
  chkColonne->SetValue(Stampa_Adatta_Colonne ? 1 : 0);
  chkFont->SetValue(Stampa_Adatta_Font ? 1 : 0);
  chkAllineaX->SetValue(Stampa_Allinea_X ? 1 : 0);
  chkLivello1->SetValue(Stampa_Livello_1 ? 1 : 0);
  chkFiltro->SetValue(Stampa_Filtro ? 1 : 0);
  chkDati->SetValue(Stampa_Dati ? 1 : 0);
  txtMar_Sx->SetText(vb::Format(int64_t{Stampa_Margini_mm[0]}, "##0"));
  txtMar_Dx->SetText(vb::Format(int64_t{Stampa_Margini_mm[1]}, "##0"));
  txtMar_Top->SetText(vb::Format(int64_t{Stampa_Margini_mm[2]}, "##0"));
  txtMar_Bot->SetText(vb::Format(int64_t{Stampa_Margini_mm[3]}, "##0"));
  txtStampaCopie->SetText(vb::Format(int64_t{Stampa_Copie}, "##0"));
  txtFontMax->SetText(vb::Format(int64_t{Stampa_Font_Max}, "##0"));

  // 5. The installed printers; the stored one chosen, or the default one when none is stored. A
  // stored printer that is gone leaves the text empty.
  Stampanti->Clear();
  for (const std::string& n : gdi::Printers()) Stampanti->AddItem(n);
  const std::string Scelta = Stampa_Stampante.empty() ? gdi::DefaultPrinter() : Stampa_Stampante;
  Stampanti->SetListIndex(Stampanti->findText(ui::Q(Scelta), Qt::MatchFixedString));

  // 6. - 7.
  txtPagine_da->SetText("1");
  txtPagine_a->SetText("1");
  opt_Pagine[0]->setChecked(true);
  opt_Pagine_Click();
  cmdStampa->SetEnabled(Modo_Griglia == 1 || Elaborazione_Corrente > 0);

  // 8.
  FrmBase& b = *frmBase;
  SetLeft(b.Left() + (b.Width() - Width()) / 2);
  SetTop(b.Top() + (b.Height() - Height()) / 2);
  Show(ui::vbModeless);
  Imposta_Finestra_Dialogo(hWnd());
}

void FrmStampante::opt_Pagine_Click() {
  const bool Da = opt_Pagine[1]->isChecked();
  txtPagine_da->SetEnabled(Da);
  txtPagine_a->SetEnabled(Da);
}

void FrmStampante::Salva_Impostazioni() {
  Scrivi_Ini("Stampante", "Nome", Stampanti->Text());
  Scrivi_Ini("Stampante", "Verticale", opt_Orienta[0]->isChecked() ? "N" : "S");
  Scrivi_Ini("Stampante", "Adatta", vb::Format(int64_t{chkAdatta->Value()}, "0"));
  Scrivi_Ini("Stampante", "Adatta Colonne", vb::Format(int64_t{chkColonne->Value()}, "0"));
  Scrivi_Ini("Stampante", "Adatta Font", vb::Format(int64_t{chkFont->Value()}, "0"));
  Scrivi_Ini("Stampante", "Allinea X", vb::Format(int64_t{chkAllineaX->Value()}, "0"));
  Scrivi_Ini("Stampante", "Margine Sx", txtMar_Sx->Text());
  Scrivi_Ini("Stampante", "Margine Dx", txtMar_Dx->Text());
  Scrivi_Ini("Stampante", "Margine Top", txtMar_Top->Text());
  Scrivi_Ini("Stampante", "Margine Bot", txtMar_Bot->Text());
  Scrivi_Ini("Stampante", "Filtro", vb::Format(int64_t{chkFiltro->Value()}, "0"));
  Scrivi_Ini("Stampante", "Dati", vb::Format(int64_t{chkDati->Value()}, "0"));
  Scrivi_Ini("Stampante", "Copie", txtStampaCopie->Text());
  Scrivi_Ini("Stampante", "Font Max", txtFontMax->Text());
  Scrivi_Ini("Stampante", "Livello 1", vb::Format(int64_t{chkLivello1->Value()}, "0"));
}

void FrmStampante::cmdConferma_Click() {
  Salva_Impostazioni();
  Carica_Impostazioni_Stampa();
  Unload();
}

void FrmStampante::cmdStampa_Click() {
  Stampa_Da_Pagina = 0;
  Stampa_A_Pagina = 0;
  if (opt_Pagine[1]->isChecked()) {
    Stampa_Da_Pagina = Numero_Iniziale(txtPagine_da->Text());
    Stampa_A_Pagina = Numero_Iniziale(txtPagine_a->Text());
  }
  Salva_Impostazioni();
  Carica_Impostazioni_Stampa();
  Hide();
  frmBase->Show();
  host::DoEvents();
  Stampa_Documento();
  Unload();
}

void FrmStampante::cmdEsci_Click() { Unload(); }

void FrmStampante::Form_Unload(int16_t&) {
  host::host().SetPointer(host::vbDefault);
  frmBase->SetEnabled(true);
  frmBase->Show();
}

}  // namespace kyx
