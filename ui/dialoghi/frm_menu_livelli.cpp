#include "ui/dialoghi/frm_menu_livelli.h"

#include <QFont>
#include <algorithm>
#include <memory>

#include "common/formatta_valore.h"
#include "common/modello.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "engine/stato_motore.h"
#include "layouts/stato_layout.h"
#include "platform/data/forward_recordset.h"
#include "platform/host/host.h"
#include "platform/ui/key_error.h"
#include "platform/ui/pointer.h"
#include "platform/ui/units.h"
#include "platform/ui/vb_events.h"
#include "platform/vb/vb.h"
#include "ui/agganci_base.h"
#include "ui/finestre.h"
#include "ui/frm_base.h"
#include "ui/mappa_aiuto.h"
#include "ui/stato_finestra.h"

namespace kyx {
namespace {

constexpr uint32_t kTesto_Finestra = 0x80000008;
constexpr uint32_t kRosso = 0xFF;
constexpr int kIntestazione = 30;      // the header band with the toolbar and the definitions
constexpr int kAltezza_Pannelli = 210;
constexpr int kLarghezza_Albero = 180;
constexpr int kPopup_Livelli = 3;     // the dialog's open flag in Form_Aperto

std::string Testo_Campo(const data::Value& v) {
  if (v.is_null()) return "";
  return v.kind() == data::Value::Kind::Text ? v.text() : v.AsText();
}

void Pannelli_Vuoti(FrmBase& f) {
  f.StatusBar1->Panels("Stato").SetText("");
  f.StatusBar1->Panels("Progress").SetText("");
  f.StatusBar1->Panels("Numero").SetText("");
}

}  // namespace

FrmMenuLivelli::FrmMenuLivelli() : ui::KyForm("frmMenuLivelli") {
  QFont f("Arial");
  f.setPointSizeF(8);
  setFont(f);
  resize(360, kIntestazione + 4);

  Toolbar1 = new ui::KeyedToolbar(this);
  Toolbar1->Add("Uscita").SetToolTipText(" Esce dalla scelta dei livelli / in colonna ");
  Toolbar1->Add("Elabora").SetToolTipText(" Esecuzione ");
  Toolbar1->Add("Separatore", ui::tbrSeparator);
  Toolbar1->Add("Drill").SetToolTipText(" Scelta dettaglio - imposta predefinito ");
  Toolbar1->MouseUp = [this](int Button, int, float X, float Y) {
    if (Button != ui::vbLeftButton) return;
    const QPoint p(ui::twips_to_px_x(X), ui::twips_to_px_y(Y));
    ui::ToolbarButton* b = Toolbar1->ButtonAt(p);
    if (b && b->Enabled() && b->Visible() && b->Style() != ui::tbrSeparator) Toolbar1_ButtonClick(*b);
  };
  cmbLayout = new ui::ComboBox(this, true);
  cmbLayout->Click = [this] { cmbLayout_Click(); };

  for (auto*& l : L_tw) {
    l = new ui::LineControl(this);
    l->SetBorderColor(0x80000010);  // the 3-D shadow
  }
  static const char* const Titoli[3] = {"Livelli", "In colonna", "Parametri"};
  for (int i = 0; i < 6; ++i) {
    lbl_tw[i] = new ui::Label(this, Titoli[i / 2]);
    lbl_tw[i]->SetForeColor(i % 2 == 0 ? 0x80000014 : 0x80000012);  // highlight under the text
  }
  for (int i = 0; i < 2; ++i) {
    tw[i] = new ui::KeyedTree(this);
    tw[i]->NodeClick = [this, i](ui::TreeNode& Node) { tw_NodeClick(i, Node); };
  }
  pa = new QWidget(this);
  for (int i = 1; i <= 9; ++i) {
    pa_descr[i] = new ui::Label(pa, "");
    pa_descr[i]->Move(4, 4 + (i - 1) * 20, 150, 18);
    pa_Valore[i] = new ui::TextBox(pa);
    pa_Valore[i]->Move(158, 3 + (i - 1) * 20, 170, 19);
  }
}

void FrmMenuLivelli::Posizione_Puntatore() {
  int x = 0, y = 0;
  ui::GetCursorPos(x, y);
  Pos_Left_ = (x - 14) * ui::Twips_Pixel_X();
  Pos_Top_ = (y - 14) * ui::Twips_Pixel_Y();
}

void FrmMenuLivelli::Carica_Livelli(const std::string& Nodo, uint8_t Modo) {
  FrmBase& base = *frmBase;
  base.SetEnabled(false);
  Imposta_Puntatore(0);
  host::DoEvents();
  SetBackColor(static_cast<uint32_t>(Colore_Sfondo));
  for (int i : {1, 2, 9, 10, 17, 18}) L_tw[i]->SetBorderColor(static_cast<uint32_t>(Colore_Bordo));
  Tempo_Inizio = static_cast<float>(agganci_base::Orologio());
  Pannelli_Vuoti(base);

  Eseguito_ = false;
  Indici_Riga_.fill(0);
  Indici_Colonna_.fill(0);
  const livelli::Preparazione P = livelli::Prepara(Modo);
  for (int i = 1; i <= 9; ++i) {
    pa_descr[i]->SetVisible(false);
    pa_Valore[i]->SetVisible(false);
  }
  if (!P.Trovato) {
    // A layout that LAYOUT lacks: nothing to prepare; the main window is given back.
    Imposta_Puntatore(0);
    base.SetEnabled(true);
    Unload();
    return;
  }
  for (int i = 1; i <= 9; ++i) {
    pa_descr[i]->SetCaption(Parametri_Descrizione[i - 1]);
    pa_Valore[i]->SetText(P.Valore[i]);
    pa_descr[i]->SetVisible(P.Mostra_Parametro[i]);
    pa_Valore[i]->SetVisible(P.Mostra_Parametro[i]);
  }

  Nodo_Livelli_ = Nodo;
  if (Modo != 4 && !P.Da_Scegliere_Righe && !P.Da_Scegliere_Colonne && !P.Da_Compilare_Parametri) {
    // Nothing to choose: the elaboration runs at once and the dialog is never shown. A drill
    // that ran is settled like one run through "Elabora": closing must not bring the source
    // layout back over the elaboration just shown.
    Esegui();
    Drill_Chiave_ = -1;
    Unload();
    return;
  }
  Disponi(Modo, P);
  Show(ui::vbModeless);
  if (tw[0]->Visible()) {
    tw[0]->SetFocus();
  } else if (tw[1]->Visible()) {
    tw[1]->SetFocus();
  } else {
    for (int i = 1; i <= 9; ++i) {
      if (pa_Valore[i]->Visible()) {
        pa_Valore[i]->SetFocus();
        break;
      }
    }
  }
  for (int i = 0; i < 2; ++i) {
    if (tw[i]->isVisibleTo(this) && tw[i]->Count() > 0) tw_NodeClick(i, tw[i]->Nodes(1));
  }
  Imposta_Finestra_Dialogo(hWnd());
  Form_Aperto[kPopup_Livelli] = true;
}

void FrmMenuLivelli::Disponi(uint8_t Modo, const livelli::Preparazione& P) {
  SetCaption("  " + (frmBase->twL->Exists(Nodo_Livelli_) ? frmBase->twL->Nodes(Nodo_Livelli_).Text() : std::string()));
  const bool Righe = P.Da_Scegliere_Righe, Colonne = P.Da_Scegliere_Colonne, Parametri = P.Da_Compilare_Parametri;
  const int H = Righe || Colonne || Parametri ? kAltezza_Pannelli : 0;
  Altezza_Pannelli_ = H;
  const int Larghezza_Parametri = ui::twips_to_px_x(5085);
  const int Pannelli = int{Righe} + int{Colonne} + int{Parametri};
  int W = (Righe ? kLarghezza_Albero : 0) + (Colonne ? kLarghezza_Albero : 0) + (Parametri ? Larghezza_Parametri : 0) +
          (Pannelli <= 1 ? 15 : Pannelli == 2 ? 21 : 27);
  if (Modo == 4) W = std::max(W, 360);
  const int Bordo_X = std::max(0, (frameGeometry().width() - width()) / 2);
  resize(W - 2 * Bordo_X, H + kIntestazione + 4);

  // One panel: frame lines (outer rectangle, inner one pixel inside), title twice one pixel
  // apart, and its tree or the parameter fields.
  auto Pannello = [this, H](int n, bool Visibile, int Left, int Larghezza, QWidget* Contenuto) {
    const int Top = kIntestazione;
    ui::LineControl** l = &L_tw[static_cast<size_t>(n * 8)];
    Posiziona_Cornice(Left, Top, Larghezza, H, *l[0], *l[1], *l[2], *l[3]);
    Posiziona_Cornice(Left + 1, Top + 1, Larghezza - 2, H - 2, *l[4], *l[5], *l[6], *l[7]);
    lbl_tw[n * 2]->Move(Left + 1, Top + 4, Larghezza, 16);
    lbl_tw[n * 2 + 1]->Move(Left + 2, Top + 5, Larghezza, 16);
    Contenuto->setGeometry(Left + 2, Top + 22, Larghezza - 3, H - 24);
    for (int i = 0; i < 8; ++i) l[i]->SetVisible(Visibile);
    lbl_tw[n * 2]->SetVisible(Visibile);
    lbl_tw[n * 2 + 1]->SetVisible(Visibile);
    Contenuto->setVisible(Visibile);
  };
  if (Righe) Carica_Chiavi(0, P.Proposta_Riga);
  Pannello(0, Righe, 4, kLarghezza_Albero, tw[0]);
  if (Colonne) Carica_Chiavi(1, P.Proposta_Colonna);
  Pannello(1, Colonne, Righe ? 190 : 4, kLarghezza_Albero, tw[1]);
  Pannello(2, Parametri, Righe && Colonne ? 376 : (Righe || Colonne) ? 190 : 4, Larghezza_Parametri, pa);

  // Context help: no panel has an area until it is shown. The lookup takes the first row that
  // holds the pointer, so the rows panel (reaching to its right edge), then the columns panel,
  // then the parameters panel (the rest of the window) nest.
  Mappa_Aiuto[54] = "9999,9999,9999,9999,21000";
  Mappa_Aiuto[55] = "9999,9999,9999,9999,22000";
  Mappa_Aiuto[56] = "9999,9999,9999,9999,23000";
  auto Bordo_Destro = [Bordo_X](int Left) {
    const auto Destra = static_cast<int64_t>(ui::round_even((Left + kLarghezza_Albero + Bordo_X + 4) * Twips_Pixel_X / 15));
    return vb::Format(Destra, "0000");
  };
  if (Righe) Mappa_Aiuto[54] = "   1,   1," + Bordo_Destro(4) + ",9999,21000";
  if (Colonne) Mappa_Aiuto[55] = "   1,   1," + Bordo_Destro(Righe ? 190 : 4) + ",9999,22000";
  if (Parametri) Mappa_Aiuto[56] = "   1,   1,9999,9999,23000";

  // Header band: the toolbar, and in mode 4 the list of drill definitions beside it.
  Toolbar1->SetImageList(&frmBase->ImageList1);
  for (const char* k : {"Uscita", "Elabora", "Drill"}) Toolbar1->Buttons(k).SetImage(k);
  Toolbar1->Buttons("Elabora").SetEnabled(false);
  Toolbar1->Buttons("Separatore").SetVisible(Modo == 4);
  Toolbar1->Buttons("Drill").SetVisible(Modo == 4);
  int Larghezza_Barra = 0;
  for (int i = 1; i <= Toolbar1->Count(); ++i) {
    const ui::ToolbarButton& b = Toolbar1->Buttons(i);
    if (b.Visible()) Larghezza_Barra += b.Style() == ui::tbrSeparator ? 8 : Toolbar1->ButtonWidth();
  }
  Toolbar1->Move(2, 2, Larghezza_Barra + 2, kIntestazione - 4);
  cmbLayout->Move(Toolbar1->x() + Toolbar1->width(), 4, std::max(0, width() - Toolbar1->x() - Toolbar1->width() - 4), 21);
  cmbLayout->SetVisible(Modo == 4);

  Abilita_Elabora();

  // Placed at the pointer, kept on the screen.
  double Schermo_L = 0, Schermo_A = 0;
  agganci_base::Schermo_Twips(Schermo_L, Schermo_A);
  double Left_ = std::max(0.0, Pos_Left_), Top_ = std::max(0.0, Pos_Top_);
  if (Top_ + Height() > Schermo_A) Top_ = Schermo_A - Height();
  if (Left_ + Width() > Schermo_L) Left_ = Schermo_L - Width();
  Move(Left_, Top_);
}

void FrmMenuLivelli::Carica_Chiavi(int Albero, const std::array<int16_t, 10>& Proposte) {
  ui::KeyedTree& t = *tw[static_cast<size_t>(Albero)];
  auto& Chiavi = Albero == 0 ? Liv_Riga_Chiave : Liv_Colonna_Chiave;
  auto& Testi = Albero == 0 ? Liv_Riga_Testo : Liv_Colonna_Testo;
  auto& Indici = Albero == 0 ? Indici_Riga_ : Indici_Colonna_;
  const std::string Prefisso = Albero == 0 ? "L" : "C";
  t.SetVisible(false);
  t.SetImageList(&frmBase->ImageList1);
  t.Clear();
  for (int i = 1; i <= 9; ++i) {
    const std::string Livello = "L" + std::to_string(i);
    int16_t& Chiave = Chiavi[static_cast<size_t>(i - 1)];
    std::string& Testo = Testi[static_cast<size_t>(i - 1)];
    if (Chiave == -1) continue;
    if (Chiave > 0) {
      Testo = Leggi_Descrizione(Sistema_Informativo, Chiave);
      Indici[static_cast<size_t>(i)] = t.Add("", ui::tvwLast, Livello, Testo, Prefisso + std::to_string(i)).Index();
      continue;
    }
    if (Proposte[static_cast<size_t>(i)] >= 1) {
      Chiave = Proposte[static_cast<size_t>(i)];
      Testo = Leggi_Descrizione(Sistema_Informativo, Chiave);
    } else {
      Testo = "...";
    }
    Indici[static_cast<size_t>(i)] = t.Add("", ui::tvwLast, Livello, Testo, Prefisso + std::to_string(i)).Index();
    t.Add(Livello, ui::tvwChild, Livello + "K999", "<nessuno>", Prefisso + "Key");
    data::ForwardRecordset Rs;
    const std::string Sql = "select K.IDX as K_IDX,K.TESTO as K_TESTO,A.ORDINA,K.ORDINA "
                            "from (AREE A left join CHIAVI K on A.AREA=K.AREA_1) "
                            "where (K.VIS='V') and (K.SINF='" + vb::Replace(Sistema_Informativo, "'", "''") +
                            "') and (K.KINDB<>'G') and (K.KINDB<>'D') "
                            "order by A.ORDINA,K.ORDINA,K.IDX ";
    if (!Cn_MDB0 || !Rs.Open(*Cn_MDB0, Sql).ok()) continue;
    while (!Rs.AfterLast()) {
      const data::Value& Idx = Rs.Field("K_IDX");
      if (!Idx.is_null()) {
        try {
          t.Add(Livello, ui::tvwChild, Livello + vb::Format(Idx.AsInteger(), "\\K000"),
                vb::RTrim(Testo_Campo(Rs.Field("K_TESTO"))), Prefisso + "Key");
        } catch (const ui::KeyError&) {
          // A key listed twice (shared by two areas) is offered once.
        }
      }
      if (!Rs.MoveNext().ok()) break;
    }
  }
  t.SetVisible(true);
}

void FrmMenuLivelli::tw_NodeClick(int Index, ui::TreeNode& Node) {
  Node.SetSelected(false);
  const std::string& k = Node.Key();
  if (!vb::Like(k, "L#K###")) return;
  const int n = static_cast<int>(vb::Val(vb::Mid(k, 2, 1)));
  const int c = static_cast<int>(vb::Val(vb::Mid(k, 4, 3)));
  if (ui::TreeNode* Padre = Node.Parent()) {
    Padre->SetText(c == 999 ? std::string("...") : vb::RTrim(Node.Text()));
    Padre->SetExpanded(false);
    Padre->SetSelected(false);
  }
  auto& Chiavi = Index != 0 ? Liv_Colonna_Chiave : Liv_Riga_Chiave;
  auto& Testi = Index != 0 ? Liv_Colonna_Testo : Liv_Riga_Testo;
  Chiavi[static_cast<size_t>(n - 1)] = static_cast<int16_t>(c == 999 ? 0 : c);
  Testi[static_cast<size_t>(n - 1)] = c == 999 ? std::string() : vb::RTrim(Node.Text());
  Abilita_Elabora();
}

void FrmMenuLivelli::Abilita_Elabora() {
  const livelli::Verifica v = livelli::Verifica_Livelli();
  Toolbar1->Buttons("Elabora").SetEnabled(v.Abilita);
  for (int Albero = 0; Albero < 2; ++Albero) {
    const auto& Indici = Albero == 0 ? Indici_Riga_ : Indici_Colonna_;
    const auto& Rossi = Albero == 0 ? v.Riga_Rossa : v.Colonna_Rossa;
    ui::KeyedTree& t = *tw[static_cast<size_t>(Albero)];
    for (int i = 1; i <= 9; ++i) {
      const int Indice = Indici[static_cast<size_t>(i)];
      if (Indice <= 0 || Indice > t.Count()) continue;
      t.Nodes(Indice).SetForeColor(Rossi[static_cast<size_t>(i - 1)] ? kRosso : kTesto_Finestra);
    }
  }
}

void FrmMenuLivelli::Esegui() {
  FrmBase& base = *frmBase;
  Eseguito_ = true;
  Imposta_Puntatore(ui::vbHourglass);
  host::DoEvents();
  std::array<std::string, 10> Valori;
  for (int i = 1; i <= 9; ++i) Valori[i] = pa_Valore[i]->Text();
  livelli::Salva_Parametri(Valori);

  // A node gone from the tree meanwhile (a layout dropped since) is not marked, and the
  // elaboration runs all the same.
  base.Segna_Nodo_Layout(Nodo_Livelli_);

  if (agganci_base::Esegui_Elaborazione) agganci_base::Esegui_Elaborazione();
  Prima_Riga = -1;
  Scorrimento_Colonne = -1;
  Prima_Colonna = -1;
  if (agganci_base::Visualizza_Griglia) agganci_base::Visualizza_Griglia();
  if (Grafico_Visibile && agganci_base::Visualizza_Grafico) agganci_base::Visualizza_Grafico();

  Tempo_Fine = static_cast<float>(agganci_base::Orologio());
  double Trascorso = double{Tempo_Fine} - double{Tempo_Inizio};
  if (Trascorso < 0) Trascorso += 86400.0;  // across midnight the clock starts again from 0
  base.StatusBar1->Panels("Progress").SetText(vb::Format(Trascorso, "\\ ###,###,##0.000\\ "));
  const int32_t Record = agganci_base::Record_Risultato ? agganci_base::Record_Risultato() : -1;
  if (Elaborazione_Corrente > 0 && Record >= 0) {
    base.StatusBar1->Panels("Numero").SetText(vb::Format(int64_t{Record}, "\\ ###,###,###,##0\\ "));
  }
  Imposta_Puntatore(0);
  base.SetEnabled(true);
}

void FrmMenuLivelli::Toolbar1_ButtonClick(ui::ToolbarButton& Button) {
  const std::string& k = Button.Key();
  if (k == "Uscita") {
    Imposta_Puntatore(0);
    frmBase->SetEnabled(true);
    Unload();
  } else if (k == "Drill") {
    for (int i = 0; i < cmbLayout->ListCount(); ++i) {
      if (cmbLayout->ItemData(i) == 1) {
        cmbLayout->SetListIndex(i);
        break;
      }
    }
  } else if (k == "Elabora") {
    Tempo_Inizio = static_cast<float>(agganci_base::Orologio());
    Esegui();
    Drill_Chiave_ = -1;
    Unload();
  }
}

}  // namespace kyx
