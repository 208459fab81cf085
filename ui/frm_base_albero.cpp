// The structure tree twL of the main window: areas, keys and the layouts allowed for them (table
// STRUTTURA), in one of two orders (Ordinamento_Layout: 0 area, key, layout; 1 layout, area,
// key), and its node click, which opens the levels dialog for a layout node.
#include <memory>
#include <string>

#include "common/stato.h"
#include "common/stato_db.h"
#include "common/utilita.h"
#include "layouts/drill.h"
#include "platform/host/host.h"
#include "platform/ui/key_error.h"
#include "platform/vb/vb.h"
#include "ui/agganci_base.h"
#include "ui/frm_base.h"
#include "ui/righe_sistema.h"
#include "ui/stato_finestra.h"

namespace kyx {
namespace {

// Node images and the window-text colour of the leaves.
constexpr const char* kCartella = "Chiavi";
constexpr const char* kCartella_Aperta = "Chiavi1";
constexpr const char* kFoglia = "Esegui";
constexpr uint32_t kTesto_Finestra = 0x80000008;

// The kind letter of a key node: the reference-year key ("A") and "D" keys show as plain keys.
std::string Lettera_Tipo(const std::string& Kindb) {
  const std::string k = vb::Trim(Kindb);
  return k == "A" || k == "D" ? "K" : k;
}

int64_t Intero(const data::Value& v) { return v.is_null() ? 0 : v.AsInteger(); }

std::string Testo_Campo(const data::Value& v) {
  if (v.is_null()) return "";
  return v.kind() == data::Value::Kind::Text ? v.text() : v.AsText();
}

std::string Numero(int64_t n) { return vb::Format(n, "000"); }

}  // namespace

void FrmBase::Carica_Albero_Struttura() {
  Nodo_Layout.clear();
  twL->SetVisible(false);
  twL->SetIndentation(16);  // the control's least indentation, over the 6 the tree asks for
  twL->SetLineStyle(1);
  twL->Clear();

  // Rows of the same area, key and layout stay together whatever ORDINA holds: the numbers follow
  // each ORDINA, so that a layout used by two areas (or two areas with the same ORDINA) never
  // interleaves. Parents are found by their node key, never by the row before.
  const std::string Ordine = Ordinamento_Layout == 0
                                 ? "order by  A.ORDINA,S.AREA,K.ORDINA,S.KEY,L.ORDINA,S.LAY "
                                 : "order by  L.ORDINA,S.LAY,A.ORDINA,S.AREA,K.ORDINA,S.KEY ";
  const std::string Sql =
      "Select S.AREA as S_AREA,S.KEY as S_KEY,S.LAY as S_LAY, "
      "A.DESC as A_DESC,K.KINDB as K_KINDB,K.TESTO AS K_TESTO,L.DESC as L_DESC, "
      "A.ORDINA,K.ORDINA,L.ORDINA "
      "from (((STRUTTURA S "
      "left join AREE A  on S.AREA=A.IDX) "
      "left join CHIAVI K on S.KEY=K.IDX) "
      "left join LAYOUT L on S.LAY=L.IDX) "
      "where K.SINF=? " + Ordine;

  // Columns by position: S_AREA, S_KEY, S_LAY, A_DESC, K_KINDB, K_TESTO, L_DESC.
  Per_Ogni_Riga_Del_Sistema(Sql, [&](data::Statement& Righe) {
    const std::string Area = "A" + Numero(Intero(Righe.Read(0)));
    const std::string Chiave = Lettera_Tipo(Testo_Campo(Righe.Read(4))) + Numero(Intero(Righe.Read(1)));
    const std::string Layout = "L" + Numero(Intero(Righe.Read(2)));
    const std::string Testo_Area = Testo_Non_Vuoto(Testo_Campo(Righe.Read(3)));
    const std::string Testo_Chiave = Testo_Non_Vuoto(Testo_Campo(Righe.Read(5)));
    const std::string Testo_Layout = Testo_Non_Vuoto(Testo_Campo(Righe.Read(6)));
    struct Livello {
      std::string Chiave, Testo;
    };
    Livello Livelli[3];
    if (Ordinamento_Layout == 0) {
      Livelli[0] = {Area, Testo_Area};
      Livelli[1] = {Area + Chiave, Testo_Chiave};
      Livelli[2] = {Area + Chiave + Layout, Testo_Layout};
    } else {
      Livelli[0] = {Layout, Testo_Layout};
      Livelli[1] = {Layout + Area, Testo_Area};
      Livelli[2] = {Layout + Area + Chiave, Testo_Chiave};
    }
    try {
      std::string Padre;
      for (int l = 0; l < 3; ++l) {
        const Livello& v = Livelli[l];
        if (!twL->Exists(v.Chiave)) {
          ui::TreeNode& n = l < 2 ? twL->Add(Padre, ui::tvwChild, v.Chiave, v.Testo, kCartella)
                                  : twL->Add(Padre, ui::tvwChild, v.Chiave, v.Testo, kFoglia);
          if (l < 2) {
            n.SetExpandedImage(kCartella_Aperta);
          } else {
            n.SetForeColor(kTesto_Finestra);
          }
        }
        Padre = v.Chiave;
      }
    } catch (const ui::KeyError&) {
      // A node that cannot be added is skipped, as every statement here runs with errors ignored.
    }
  });

  // The layout-order button shows the order the tree now has, in the look it has now.
  const int16_t Stato = Stato_PicLayout;
  Stato_PicLayout = -1;
  Pic_Layout_Set(Stato);
  if (Stato_Ridimensiona != 0) twL->SetVisible(true);
  host::DoEvents();
}

void FrmBase::twL_NodeClick(ui::TreeNode& Node) {
  if (!drill::Nodo_Di_Layout(Node.Key())) return;
  if (agganci_base::Carica_da_TW) agganci_base::Carica_da_TW(Node.Key());
}

}  // namespace kyx
