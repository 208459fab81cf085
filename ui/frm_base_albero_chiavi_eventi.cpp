// Events of the key and filter tree twF: a left click on a key or one of its values lists the
// key's codes in the grid and sets the filter panel to the node's operator and values; a right
// click clears the key's filter or removes the clicked value; the reference-year node opens the
// display options; filtered keys stay expanded.
#include <string>

#include "common/formatta_valore.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "platform/text/cp1252.h"
#include "platform/ui/vb_events.h"
#include "platform/vb/vb.h"
#include "ui/frm_base.h"
#include "ui/frm_menu_opzioni.h"
#include "ui/stato_finestra.h"
#include "views/elenco.h"
#include "views/griglia.h"

namespace kyx {
namespace {

constexpr const char* kAnno = "A___B_AA_RIF";

std::string Rtrim(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

std::string Testo(const data::Value& v) {
  if (v.is_null()) return "";
  return v.kind() == data::Value::Kind::Text ? v.text() : v.AsText();
}

// Positions 6 to 8 of a key-level node key: the key number.
int16_t Numero_Chiave(const std::string& K) { return static_cast<int16_t>(vb::Val(vb::Mid(K, 6, 3))); }

// The tags of a range's two nodes: the start is the node before the end, the end the node after
// the start. A missing partner gives an empty value.
std::string Tag_Successivo(ui::TreeNode& n) { return n.Next() ? n.Next()->Tag() : std::string(); }
std::string Tag_Precedente(ui::TreeNode& n) { return n.Previous() ? n.Previous()->Tag() : std::string(); }

}  // namespace

void FrmBase::twF_MouseDown(int Button, int /*Shift*/, float /*X*/, float /*Y*/) { Pulsante_twF = Button; }

void FrmBase::twF_Collapse(ui::TreeNode& Node) {
  // Filtered keys, their values and the year node are always shown open; areas may close.
  if (vb::Like(Node.Key(), "A___*")) Node.SetExpanded(true);
}

void FrmBase::twF_NodeClick(ui::TreeNode& Node) {
  const std::string K = Node.Key();
  if (K.size() == 4) return;  // an area
  if (K == kAnno) {
    frmMenuOpzioni->Carica();
    return;
  }
  if (vb::Mid(K, 5, 1) == "B") return;  // a locked key or one of its values
  const std::string k = vb::Mid(K, 14, 1);
  ui::TreeNode* Padre = Node.Parent();
  const std::string Titolo_Padre = Padre ? Padre->Text() : std::string();

  if (Pulsante_twF != ui::vbRightButton) {
    const int16_t Chiave_Prima = Chiave_Elenco;
    Chiave_Elenco = Numero_Chiave(K);
    uint8_t Operatore = Operatore_Filtro;
    std::string Primo, Secondo, Titolo = Titolo_Padre;
    if (k == "I" || k == "N") {
      Operatore = k == "I" ? 1 : 2;
      Primo = Node.Tag();
    } else if (k == "D") {
      Operatore = 3;
      Primo = Node.Tag();
      Secondo = Tag_Successivo(Node);
    } else if (k == "A") {
      Operatore = 3;
      Primo = Tag_Precedente(Node);
      Secondo = Node.Tag();
    } else {
      Titolo = Node.Text();
    }
    Imposta_Filtro_Tipo(Operatore, Primo, Secondo, Titolo);
    if (Chiave_Elenco != Chiave_Prima) {
      Carica_Codici_Chiave(0, Chiave_Elenco);
      Prima_Riga = -1;
      Scorrimento_Colonne = -1;
      Riga_Evidenziata = -1;
      Visualizza_Griglia();
    }
    return;
  }

  // Right button: the key's whole filter, or the clicked value (both ends of a range).
  const int16_t n = Numero_Chiave(K);
  if (k.empty()) {
    Carica_Filtro_Modifica(n, " ", " ", 0, "K-", true);
  } else if (k == "I") {
    Carica_Filtro_Modifica(n, Node.Tag(), " ", 1, "E-", true);
  } else if (k == "N") {
    Carica_Filtro_Modifica(n, Node.Tag(), " ", 2, "E-", true);
  } else if (k == "D") {
    Carica_Filtro_Modifica(n, Node.Tag(), Tag_Successivo(Node), 3, "E-", true);
  } else if (k == "A") {
    Carica_Filtro_Modifica(n, Tag_Precedente(Node), Node.Tag(), 3, "E-", true);
  }
}

void FrmBase::Imposta_Filtro_Tipo(uint8_t& Operatore, std::string& Valore1, std::string& Valore2,
                                  std::string& Titolo) {
  const bool Stato_Prima = Filtro_Stato_2;
  Filtro_Stato_2 = false;
  if (Rs_Chiavi && Rs_Chiavi->IsOpen() &&
      Rs_Chiavi->Seek({data::Value(Sistema_Informativo), data::Value(int64_t{Chiave_Elenco})}).ok() &&
      !Rs_Chiavi->AfterLast()) {
    Filtro_Stato_2 = vb::Trim(Testo(Rs_Chiavi->Field("ATTR"))) == "1" &&
                     !vb::Trim(Testo(Rs_Chiavi->Field("FORMATO"))).empty();
  }
  if (Operatore != Operatore_Filtro || Filtro_Stato_2 != Stato_Prima) {
    Operatore_Filtro = Operatore;
    Toolbar1->Buttons("FiltroTipo").SetImage("FiltroTipo" + vb::Format(int64_t{Operatore_Filtro}, "0"));
    Ridimensiona();
  }
  Filtro_Valori[1] = Rtrim(Valore1);
  Filtro_Valori[0] = Rtrim(Valore2);
  for (int i : {1, 0}) {
    const std::string Mostrato = Formatta_Valore(Chiave_Elenco, Filtro_Valori[static_cast<size_t>(i)], 0, -1, "");
    Flt_txt[static_cast<size_t>(i)]->setText(QString::fromStdString(text::to_utf8(Mostrato)));
  }
  for (auto* l : lbl_twE) l->setText(QString::fromStdString(text::to_utf8(Titolo)));
}

}  // namespace kyx
