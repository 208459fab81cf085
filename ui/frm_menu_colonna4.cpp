#include "ui/frm_menu_colonna4.h"

#include <algorithm>
#include <string_view>

#include "common/formatta_valore.h"
#include "common/modello.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "common/utilita.h"
#include "engine/stato_motore.h"
#include "platform/host/host.h"
#include "platform/ui/key_error.h"
#include "platform/ui/vb_events.h"
#include "platform/vb/vb.h"
#include "ui/finestre.h"
#include "ui/frm_base.h"
#include "ui/frm_menu_colonna.h"
#include "views/stato_griglia.h"

namespace kyx {
namespace {

constexpr uint32_t kOmbra = 0x80000010;
constexpr uint32_t kVerde = 0x007F00;  // RGB(0, 127, 0)

// A key field of the condition at position p: "k_012" (a key of the current system) or "e_012"
// (a key of the column's own system).
bool Campo_Chiave(const std::string& W, std::size_t p) {
  if (p + 5 > W.size()) return false;
  if (W[p] != 'k' && W[p] != 'e') return false;
  if (W[p + 1] != '_') return false;
  return std::all_of(W.begin() + static_cast<std::ptrdiff_t>(p + 2), W.begin() + static_cast<std::ptrdiff_t>(p + 5),
                     [](char c) { return c >= '0' && c <= '9'; });
}

bool Segue(const std::string& W, std::size_t p, std::string_view Testo) {
  if (p > W.size()) return false;
  return W.compare(p, Testo.size(), Testo) == 0;
}

std::string Testo_Campo(const data::Recordset& rs, std::string_view Nome) {
  data::Value v;
  if (!rs.Read(Nome, &v).ok() || v.is_null()) return "";
  return v.kind() == data::Value::Kind::Text ? v.text() : v.AsText();
}

bool Cerca_Chiave(const std::string& Sistema, int16_t Chiave) {
  if (!Rs_Chiavi || !Rs_Chiavi->IsOpen()) return false;
  return Rs_Chiavi->Seek({data::Value(Sistema), data::Value(int64_t{Chiave})}).ok() && !Rs_Chiavi->AfterLast();
}

}  // namespace

FrmMenuColonna4::FrmMenuColonna4() : ui::KyForm("frmMenuColonna4") {
  setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
  SetKeyPreview(true);
  twF = new ui::KeyedTree(this);
  twF->SetIndentation(12);
  twF->SetLineStyle(1);
  for (int i = 0; i < 4; ++i) {
    L_twF[i] = new ui::LineControl(this);
    L_twF[i]->SetBorderColor(kOmbra);
  }
}

void FrmMenuColonna4::Carica() {
  In_Caricamento = true;
  SetBackColor(static_cast<uint32_t>(Colore_Sfondo));
  L_twF[1]->SetBorderColor(static_cast<uint32_t>(Colore_Bordo));
  L_twF[2]->SetBorderColor(static_cast<uint32_t>(Colore_Bordo));
  Colloca_Sottomenu(*this, 7, 3480, 3900);
  Posiziona_Cornice(2, 2, ScaleWidth() - 5, ScaleHeight() - 4, *L_twF[0], *L_twF[1], *L_twF[2], *L_twF[3]);
  twF->Move(4, 4, ScaleWidth() - 8, ScaleHeight() - 8);
  if (frmBase.Loaded()) twF->SetImageList(&frmBase->ImageList1);
  Mostra_Filtro();
  twF->setVisible(true);
  Show(ui::vbModeless);
  Colloca_Sottomenu(*this, 7, 3480, 3900);
  In_Caricamento = false;
}

void FrmMenuColonna4::Mostra_Filtro() {
  twF->setVisible(false);
  twF->Clear();
  if (!Rs_Chiavi || !Rs_Chiavi->IsOpen() || (Rs_Chiavi->BeforeFirst() && Rs_Chiavi->AfterLast())) return;
  const auto c = static_cast<std::size_t>(std::clamp<int>(Colonna_Corrente, 0, 255));
  W = vb::Trim(Col_Where[c]);
  Chiave_Nodo = "";
  Conta_Valori = 0;
  try {
    std::size_t p = 0;
    while (p + 5 <= W.size()) {
      if (!Campo_Chiave(W, p)) {
        ++p;
        continue;
      }
      Chiave = static_cast<int16_t>(vb::Val(W.substr(p + 2, 3)));
      Sistema = W[p] == 'e' ? vb::Trim(Col_Sistema[c]) : Sistema_Informativo;
      p += 5;
      // A key the keys table does not hold is passed over with its values.
      if (Chiave < 1 || !Cerca_Chiave(Sistema, Chiave)) continue;
      Aggiungi_Chiave();
      Posizione = p;
      bool Letto = false;
      if (Segue(W, p, " = '")) {
        Letto = Aggiungi_Lista("Filtro_Uguale_V");
      } else if (Segue(W, p, " <> '")) {
        Letto = Aggiungi_Lista("Filtro_Diverso_V");
      } else if (Segue(W, p, " between '")) {
        Letto = Aggiungi_Lista("Filtro_Da_V") && Aggiungi_Lista("Filtro_A_V");
      } else if (Segue(W, p, " in('") || Segue(W, p, " not in('")) {
        const char* Immagine = Segue(W, p, " in('") ? "Filtro_Uguale_V" : "Filtro_Diverso_V";
        // The list goes on while a closing quote is followed by "','".
        while ((Letto = Aggiungi_Lista(Immagine)) && Segue(W, Posizione - 1, "','")) {
        }
      }
      // Any other comparison, or a value left open, ends the scan.
      if (!Letto) break;
      p = Posizione;
    }

    // The index key: the indices still included, when the column excludes some of them.
    const int Massimo = std::clamp<int>(Sinf_Idx_Max, 0, 64);
    bool Esclusi = false;
    for (int k = 1; k <= Massimo && !Esclusi; ++k) Esclusi = Col_Where_Flag[c][static_cast<std::size_t>(k - 1)] == 0;
    if (Esclusi && Cerca_Chiave(Sistema_Informativo, Sinf_Idx_Key)) {
      Chiave = Sinf_Idx_Key;
      Sistema = Sistema_Informativo;
      Aggiungi_Chiave();
      for (int k = 1; k <= Massimo; ++k) {
        if (Col_Where_Flag[c][static_cast<std::size_t>(k - 1)] == 0) continue;
        Valore = vb::Format(int64_t{k}, "00");
        Aggiungi_Valore("Filtro_Uguale_V");
      }
    }
  } catch (const ui::KeyError& e) {
    host::host().DebugLog(std::string("frmMenuColonna4: ") + e.what());
  }
  host::DoEvents();
}

void FrmMenuColonna4::Aggiungi_Chiave() {
  const std::string Nodo = vb::Format(int64_t{Chiave}, "\\K000") + Sistema;
  if (Nodo == Chiave_Nodo) return;
  Chiave_Nodo = Nodo;
  Attributo = Testo_Campo(*Rs_Chiavi, "ATTR");
  // A key met again after other keys gathers its values under its first node (a second node
  // with the same key would be refused by the tree).
  if (twF->Exists(Nodo)) return;
  ui::TreeNode& n = twF->Add("", ui::tvwLast, Nodo, Testo_Non_Vuoto(Testo_Campo(*Rs_Chiavi, "TESTO")), "Filtro");
  n.SetExpanded(true);
}

void FrmMenuColonna4::Aggiungi_Valore(const char* Immagine) {
  ++Conta_Valori;
  const std::string Nodo = Chiave_Nodo + vb::Format(int64_t{Conta_Valori}, "\\R0000");
  std::string Testo = Formatta_Valore(Chiave, Valore, 1, -1, "");
  if (vb::Trim(Attributo) == "1") Testo = Valore + " : " + Testo;
  ui::TreeNode& n = twF->Add(Chiave_Nodo, ui::tvwChild, Nodo, Testo, Immagine);
  n.SetForeColor(kVerde);
  twF->Nodes(Chiave_Nodo).SetExpanded(true);
}

bool FrmMenuColonna4::Aggiungi_Lista(const char* Immagine) {
  // The next quoted value: a doubled quote inside it stands for one quote, as the condition
  // writes a value such as O'Brien ('O''Brien').
  const std::size_t Apertura = W.find('\'', Posizione);
  if (Apertura == std::string::npos) return false;
  Valore.clear();
  std::size_t i = Apertura + 1;
  for (; i < W.size(); ++i) {
    if (W[i] != '\'') {
      Valore += W[i];
    } else if (i + 1 < W.size() && W[i + 1] == '\'') {
      Valore += '\'';
      ++i;
    } else {
      break;
    }
  }
  Valore = vb::RTrim(Valore);
  Aggiungi_Valore(Immagine);
  if (i >= W.size()) return false;  // no closing quote
  Posizione = i + 1;
  return true;
}

void FrmMenuColonna4::Form_KeyDown(int& KeyCode, int) {
  if (KeyCode != ui::vbKeyEscape) return;
  KeyCode = 0;
  Unload();
}

}  // namespace kyx
