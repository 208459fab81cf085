// frmMenuDati: the local data-sets menu and its confirmation.
#include "ui/frm_menu_dati.h"

#include <QCursor>
#include <QMouseEvent>
#include <algorithm>

#include "common/modello.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "db/mdb2.h"
#include "engine/scambio_server.h"
#include "platform/host/host.h"
#include "platform/text/cp1252.h"
#include "platform/ui/pointer.h"
#include "platform/vb/vb.h"
#include "server/collegamento.h"
#include "server/risposta.h"
#include "ui/agganci_base.h"
#include "ui/finestre.h"
#include "ui/frm_base.h"
#include "ui/stato_finestra.h"
#include "views/elenco.h"

namespace kyx {

namespace {

constexpr std::size_t kAperto = 2;  // this pop-up's entry of Form_Aperto

constexpr uint32_t kTesto_Normale = 0x80000012;
constexpr uint32_t kSfondo_Evidenziato = 0x8000000D;
constexpr uint32_t kTesto_Evidenziato = 0x8000000E;

std::string Rtrim(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return std::string(s);
}

// "#0\ \)": the number, a blank and a closing parenthesis.
std::string Numero_Elemento(int64_t n) { return vb::Format(n, "#0\\ \\)"); }

void Principale_Abilitata(bool Si) {
  if (frmBase.Loaded()) frmBase->SetEnabled(Si);
}

}  // namespace

FrmMenuDati::FrmMenuDati() : ui::KyForm("frmMenuDati") {
  SetCaption(" Dati locali");
  setMouseTracking(true);
  const char* kVoci[] = {"  Aggiorna", "  Elimina", "  Nuovo  ( da Filtro )"};
  for (int i = 0; i < 3; ++i) {
    Item[static_cast<std::size_t>(i)] = new ui::Label(this, kVoci[i]);
    ui::Label* l = Item[static_cast<std::size_t>(i)];
    l->setMouseTracking(true);
    l->Click = [this, i] { Item_Click(i); };
    l->MouseMove = [this, i](int, int) { Item_MouseMove(i); };
  }
  for (int i = 0; i < 2; ++i) {
    lbl_exe[static_cast<std::size_t>(i)] = new ui::Label(this, "  Richiesta caricamento dati ");
    lbl_exe[static_cast<std::size_t>(i)]->SetVisible(false);
  }
  cmdEsegui = new ui::CommandButton(this, "Esegui");
  cmdEsegui->SetToolTipText("Aggiorna ");
  cmdEsegui->Click = [this] { cmdEsegui_Click(); };
  cmdAnnulla = new ui::CommandButton(this, "Annulla");
  cmdAnnulla->SetToolTipText("Esci senza aggiornare");
  cmdAnnulla->Click = [this] { cmdAnnulla_Click(); };
  cmdEsegui->SetVisible(false);
  cmdAnnulla->SetVisible(false);

  // Design sizes in twips, placed in pixels.
  const double tx = Twips_Pixel_X > 0 ? Twips_Pixel_X : 15.0, ty = Twips_Pixel_Y > 0 ? Twips_Pixel_Y : 15.0;
  for (int i = 0; i < 3; ++i) Item[static_cast<std::size_t>(i)]->Move(60 / tx, (60 + 300 * i) / ty, 3600 / tx, 270 / ty);
  for (int i = 0; i < 2; ++i) lbl_exe[static_cast<std::size_t>(i)]->Move(60 / tx, (60 + 300 * i) / ty, 3600 / tx, 270 / ty);
  cmdEsegui->Move(2175 / tx, 660 / ty, 1200 / tx, 345 / ty);
  cmdAnnulla->Move(990 / tx, 660 / ty, 1200 / tx, 345 / ty);
  SetWidth(3840);
  SetHeight(1500);
}

void FrmMenuDati::Carica(const std::string& Tipo_Chiamata) {
  std::string Tipo = Tipo_Chiamata;
  Principale_Abilitata(false);
  Imposta_Puntatore(ui::vbDefault);
  host::DoEvents();
  SetBackColor(static_cast<uint32_t>(Colore_Sfondo));
  for (auto* l : Item) l->SetBackColor(static_cast<uint32_t>(Colore_Sfondo));
  for (auto* l : lbl_exe) l->SetBackColor(static_cast<uint32_t>(Colore_Sfondo));

  // Placement: at the cursor for a row of the list, centred over the grid for the toolbar.
  if (frmBase.Loaded()) {
    FrmBase& b = *frmBase;
    const double tx = Twips_Pixel_X > 0 ? Twips_Pixel_X : 15.0, ty = Twips_Pixel_Y > 0 ? Twips_Pixel_Y : 15.0;
    int x = 0, y = 0;
    if (Tipo.empty() || Tipo == "P") {
      const QPoint g = b.Grid1->mapToGlobal(QPoint(0, 0));
      x = g.x() + (b.Grid1->width() - frameGeometry().width()) / 2;
      y = g.y() + (b.Grid1->height() - frameGeometry().height()) / 2 + static_cast<int>(345 / ty);
    } else {
      x = QCursor::pos().x() - 14;
      y = QCursor::pos().y() - 14;
    }
    const QRect f = b.frameGeometry();
    x = std::max(f.left(), std::min(x, f.right() - frameGeometry().width()));
    y = std::max(f.top(), std::min(y, f.bottom() - frameGeometry().height()));
    SetLeft(x * tx);
    SetTop(y * ty);
    if ((Tipo.empty() || Tipo == "P") && b.Grid1->Rows() > 1) Tipo = b.Grid1->TextMatrix(1, 0);
  }

  Menu = Menu_Dati{};
  Menu.Elemento = vb::IsNumeric(Tipo) ? static_cast<int32_t>(vb::Val(Tipo)) : 0;
  Elemento_Esistente = 0;
  Record_Correnti = Record_Tutti = 0;
  Stato = 0;
  Evidenziato = -1;
  host::host().SetPanel("Progress", "");
  host::host().SetPanel("Numero", "");

  std::string Filtro;
  Chiavi.fill(0);
  Filtro_Chiave_SQL(Filtro, Chiavi, "");
  Menu.Filtro = Filtro.empty() ? "" : "where " + vb::Mid(Filtro, 6) + " ";

  bool Presente = false;
  if (Rs_Caricati && Rs_Caricati->IsOpen() && Rs_Caricati->MoveFirst().ok()) {
    for (; !Rs_Caricati->AfterLast(); Rs_Caricati->MoveNext()) {
      const auto Idx = static_cast<int32_t>(Rs_Caricati->Field("IDX").AsInteger());
      if (Idx == Menu.Elemento) Presente = true;
      if (Rtrim(Rs_Caricati->Field("SINF").AsText()) != Rtrim(Sistema_Informativo)) continue;
      Menu.Elemento_Nuovo = std::max(Menu.Elemento_Nuovo, Idx);
      if (Rtrim(Rs_Caricati->Field("FILTRO_SQL").AsText()) == Rtrim(Menu.Filtro)) Elemento_Esistente = Idx;
    }
  }
  Menu.Elemento_Nuovo += 1;
  if (Menu.Elemento > 0 && !Presente) Menu.Elemento = 0;

  const std::string Non_Connesso = Connesso ? "" : "  Non connesso";
  if (Menu.Elemento < 1) {
    Item[0]->SetCaption("  Aggiorna");
    Item[1]->SetCaption("  Elimina");
  } else {
    Item[0]->SetCaption("  Aggiorna  ( elemento " + Numero_Elemento(Menu.Elemento) + Non_Connesso);
    Item[1]->SetCaption("  Elimina  ( elemento " + Numero_Elemento(Menu.Elemento));
  }
  if (Elemento_Esistente < 1) {
    Item[2]->SetCaption("  Nuovo  ( da Filtro )" + Non_Connesso);
  } else {
    Item[2]->SetCaption("  Nuovo  ( gi\xE0 presente elemento " + Numero_Elemento(Elemento_Esistente));
  }
  Item[0]->SetEnabled(Menu.Elemento > 0 && Connesso);
  Item[1]->SetEnabled(Menu.Elemento > 0);
  Item[2]->SetEnabled(Elemento_Esistente < 1 && Connesso);

  Show(ui::vbModeless);
  Imposta_Finestra_Dialogo(hWnd());
  Form_Aperto[kAperto] = true;
}

void FrmMenuDati::Item_Click(int Index) {
  if (!Item[static_cast<std::size_t>(Index)]->Enabled()) return;
  Stato = static_cast<int16_t>(Index + 1);
  if (Index == 0) {
    lbl_exe[0]->SetCaption("  Richiesta aggiornamento dati locali");
    lbl_exe[1]->SetCaption("  ( elemento " + Numero_Elemento(Menu.Elemento));
  } else if (Index == 1) {
    lbl_exe[0]->SetCaption("  Richiesta eliminazione dati locali");
    lbl_exe[1]->SetCaption("  ( elemento " + Numero_Elemento(Menu.Elemento));
  } else {
    lbl_exe[0]->SetCaption("  Richiesta caricamento dati locali");
    lbl_exe[1]->SetCaption("  ( da Filtro )");
  }
  for (auto* l : lbl_exe) l->SetVisible(true);
  cmdEsegui->SetVisible(true);
  cmdAnnulla->SetVisible(true);
  for (auto* l : Item) l->SetVisible(false);
  host::DoEvents();
}

void FrmMenuDati::Item_MouseMove(int Index) {
  if (Index == Evidenziato) return;
  if (Evidenziato >= 0) {
    Item[static_cast<std::size_t>(Evidenziato)]->SetBackColor(static_cast<uint32_t>(Colore_Sfondo));
    Item[static_cast<std::size_t>(Evidenziato)]->SetForeColor(kTesto_Normale);
  }
  Item[static_cast<std::size_t>(Index)]->SetBackColor(kSfondo_Evidenziato);
  Item[static_cast<std::size_t>(Index)]->SetForeColor(kTesto_Evidenziato);
  Evidenziato = Index;
}

void FrmMenuDati::Form_MouseMove() {
  if (Evidenziato < 0) return;
  Item[static_cast<std::size_t>(Evidenziato)]->SetBackColor(static_cast<uint32_t>(Colore_Sfondo));
  Item[static_cast<std::size_t>(Evidenziato)]->SetForeColor(kTesto_Normale);
  Evidenziato = -1;
}

void FrmMenuDati::mouseMoveEvent(QMouseEvent* event) {
  Form_MouseMove();
  ui::KyForm::mouseMoveEvent(event);
}

void FrmMenuDati::cmdEsegui_Click() {
  if (Stato < 1 || Stato > 3) return;
  Imposta_Puntatore(ui::vbHourglass);
  host::DoEvents();
  // A press on the main window must not close the menu while it works.
  Form_Aperto[kAperto] = false;
  Elaborazione_Corrente = 0;
  Tempo_Inizio = static_cast<float>(agganci_base::Orologio ? agganci_base::Orologio() : 0.0);
  Menu.Record_Totali = 0;
  Menu.Annulla = false;

  bool Carica_Dati = false;
  if (Stato == 2) {
    Stato = 5;
    Elimina_Dati_Locali(Menu.Elemento);
  } else if (Stato == 3) {
    Stato = 6;
    lbl_exe[0]->SetCaption("  Caricamento dati locali in corso");
    lbl_exe[1]->SetCaption("  ( da Filtro )");
    cmdEsegui->SetVisible(false);
    cmdAnnulla->SetLeft(990 / (Twips_Pixel_X > 0 ? Twips_Pixel_X : 15.0));
    Menu.Elemento_Carica = Menu.Elemento_Nuovo;
    // Each system's filter is translated from the menu's own text.
    Carica_Dati = Registra_Dati_Locali(Menu, [](const std::string& Filtro, const std::string& Sistema) {
      int32_t Livello = 0;
      return Traduci_Chiavi_Server(Filtro, Sistema, Livello);
    });
  } else {
    Stato = 4;
    lbl_exe[0]->SetCaption("  Aggiornamento dati locali in corso");
    lbl_exe[1]->SetCaption("  ( elemento " + Numero_Elemento(Menu.Elemento));
    cmdEsegui->SetVisible(false);
    cmdAnnulla->SetLeft(990 / (Twips_Pixel_X > 0 ? Twips_Pixel_X : 15.0));
    Menu.Elemento_Carica = Menu.Elemento;
    Carica_Dati = true;
  }
  host::DoEvents();
  const bool Era_Connesso = Connesso;
  if (Carica_Dati) Carica_Dati_Locali(Menu);
  // A download that lost the link has left the program disconnected through the server link's
  // one disconnect path, which said so; the toolbar shows it.
  if (Era_Connesso && !Connesso && frmBase.Loaded()) frmBase->Imposta_Bar();

  Tempo_Fine = static_cast<float>(agganci_base::Orologio ? agganci_base::Orologio() : 0.0);
  if (!agganci_base::Apri_MDB2 || !agganci_base::Apri_MDB2(false, true)) {
    host::MsgBox("Errore 004 - DB 2", host::vbOKOnly | host::vbCritical, Titolo_Programma);
  }
  Carica_Elenco_Caricati();
  Prima_Riga = -1;
  Scorrimento_Colonne = -1;
  Prima_Colonna = -1;
  if (agganci_base::Visualizza_Griglia) agganci_base::Visualizza_Griglia();
  double Trascorso = double{Tempo_Fine} - double{Tempo_Inizio};
  if (Trascorso < 0) Trascorso += 86400.0;
  host::host().SetPanel("Progress", vb::Format(Trascorso, "\\ ###,###,##0.000\\ "));
  host::host().SetPanel("Numero", vb::Format(Menu.Record_Totali, "\\ ###,###,###,###\\ "));
  Imposta_Puntatore(ui::vbDefault);
  Principale_Abilitata(true);
  Unload(ui::vbFormCode);
}

void FrmMenuDati::cmdAnnulla_Click() {
  if (Stato < 4) {
    Imposta_Puntatore(ui::vbDefault);
    Principale_Abilitata(true);
    Unload(ui::vbFormCode);
  } else {
    Menu.Annulla = true;  // the download stops at its next request
  }
}

void FrmMenuDati::Form_QueryUnload(int16_t& Cancel, int UnloadMode) {
  if (UnloadMode != ui::vbFormCode && Stato >= 4) {
    Cancel = 1;
    Menu.Annulla = true;
    return;
  }
  Form_Aperto[kAperto] = false;
  if (UnloadMode == ui::vbFormControlMenu) {
    Imposta_Puntatore(ui::vbDefault);
    Principale_Abilitata(true);
  }
  if (frmBase.Loaded()) frmBase->Show();
}

}  // namespace kyx
