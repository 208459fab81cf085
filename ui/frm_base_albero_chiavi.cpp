// The key and filter tree twF of the main window: the reference year, every filtered key of the
// current information system with its values, then the areas with the keys that carry no filter.
#include <memory>
#include <string>

#include "common/formatta_valore.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "common/utilita.h"
#include "platform/host/host.h"
#include "platform/ui/key_error.h"
#include "platform/vb/vb.h"
#include "ui/frm_base.h"
#include "ui/righe_sistema.h"
#include "ui/stato_finestra.h"

namespace kyx {
namespace {

constexpr uint32_t kBlu = 0xFF0000;
constexpr uint32_t kRosso = 0x0000FF;
constexpr uint32_t kVerde = 0x007F00;

std::string Testo(const data::Value& v) {
  if (v.is_null()) return "";
  return v.kind() == data::Value::Kind::Text ? v.text() : v.AsText();
}
int64_t Intero(const data::Value& v) { return v.is_null() ? 0 : v.AsInteger(); }
std::string Tre(int64_t n) { return vb::Format(n, "000"); }

}  // namespace

void FrmBase::Carica_Albero_Chiavi() {
  ui::KeyedTree& t = *twF;
  t.SetVisible(false);
  t.SetIndentation(16);  // the control's least indentation, over the 6 the tree asks for
  t.SetLineStyle(1);
  t.Clear();
  Elaborazione_Corrente = 0;
  Anno_In_Uso = false;

  // Reference year.
  if (Rs_Chiavi && Rs_Chiavi->IsOpen() && Rs_Chiavi->Seek({data::Value(Sistema_Informativo)}).ok()) {
    while (!Rs_Chiavi->AfterLast() && vb::RTrim(Testo(Rs_Chiavi->Field("SINF"))) == vb::RTrim(Sistema_Informativo)) {
      if (vb::Trim(Testo(Rs_Chiavi->Field("KINDB"))) == "A") {
        Anno_In_Uso = true;
        try {
          t.Add("", ui::tvwChild, "A___B_AA_RIF", "Anno riferimento: " + std::to_string(Anno_Riferimento),
                "AnnoRiferimento")
              .SetForeColor(kBlu);
        } catch (const ui::KeyError&) {
        }
        break;
      }
      if (!Rs_Chiavi->MoveNext().ok()) break;
    }
  }

  // Filtered keys and their values.
  int64_t Precedente = -1;
  int32_t Numero = 0;
  std::string Nodo_Chiave;
  Per_Ogni_Riga_Del_Sistema(
      "Select F.KEY as F_KEY,F.OPER as F_OPER,F.VALO_1 as F_VALO_1,F.VALO_2 as F_VALO_2,F.BLOCCO as F_BLOCCO, "
      "K.TESTO as K_TESTO,K.ATTR as K_ATTR,K.FORMATO as K_FORMATO,K.KEY_D as K_KEY_D,K.ORDINA "
      "from (FILTRO F left join CHIAVI K on F.KEY=K.IDX) "
      "where (F.VALO_1<>'*') and (K.VIS='V') and (K.SINF=?) and (F.BLOCCO=' ' or F.BLOCCO='B' or F.BLOCCO='D') "
      "order by K.ORDINA,F.KEY,F.OPER,F.VALO_1,F.VALO_2  ",
      [&](data::Statement& r) {
        const int64_t Chiave = Intero(r.Read(0));
        const auto k = static_cast<int16_t>(Chiave);
        const std::string Oper = Testo(r.Read(1));
        const std::string V1 = Testo_Non_Vuoto(Testo(r.Read(2)));
        const std::string V2 = Testo_Non_Vuoto(Testo(r.Read(3)));
        const std::string Blocco = Testo(r.Read(4));
        const std::string Attr = Testo_Non_Vuoto(Testo(r.Read(6)));
        auto Testo_Valore = [&](const std::string& v) {
          std::string s = Formatta_Valore(k, v, 0, -1, "");
          if (Attr == "1") s += " : " + Formatta_Valore(k, v, 1, -1, "");
          return s;
        };
        try {
          if (Chiave != Precedente) {
            const bool Bloccato = Blocco == "B";
            Nodo_Chiave = "A___" + std::string(Bloccato ? "B" : "K") + Tre(Chiave);
            t.Add("", ui::tvwChild, Nodo_Chiave, Testo_Non_Vuoto(Testo(r.Read(5))), Bloccato ? "Locked" : "Filtro")
                .SetExpanded(true);
          }
          Precedente = Chiave;
          auto Valore = [&](const std::string& v, char Tipo, const char* Immagine) {
            ++Numero;
            ui::TreeNode& n = t.Add(Nodo_Chiave, ui::tvwChild, Nodo_Chiave + "R" + vb::Format(Numero, "0000") + Tipo,
                                    Testo_Valore(v), Immagine);
            n.SetTag(v);
            if (Blocco == " " || Blocco.empty()) n.SetForeColor(kBlu);
            else if (Blocco == "B") n.SetForeColor(kRosso);
            else if (Blocco == "D") n.SetForeColor(kVerde);
          };
          if (Oper == "=") {
            Valore(V1, 'I', "Filtro_Uguale");
          } else if (Oper == "N") {
            Valore(V1, 'N', "Filtro_Diverso");
          } else if (Oper == "D") {
            Valore(V1, 'D', "Filtro_Da");
            Valore(V2, 'A', "Filtro_A");
          }
        } catch (const ui::KeyError&) {
          // A node that cannot be added is skipped, as every statement here runs with errors ignored.
        }
      });

  // Areas and the keys without a filter. Areas come in the order of ORDINA and then of their
  // number, so two areas sharing an ORDINA never interleave; each key goes under its own area's
  // node, found by its key.
  Per_Ogni_Riga_Del_Sistema(
      "select A.IDX as A_IDX,A.DESC as A_DESC,K.IDX as K_IDX,K.TESTO as K_TESTO,F.BLOCCO as F_BLOCCO,A.ORDINA,K.ORDINA "
      "from (AREE A left join CHIAVI K on A.AREA=K.AREA_1 or A.AREA=K.AREA_2 or A.AREA=K.AREA_3 or A.AREA=K.AREA_4 "
      "or A.AREA=K.AREA_5) "
      "left join FILTRO F ON K.IDX=F.KEY "
      "where (F.VALO_1='*') and (K.VIS='V') and (K.SINF=?) and (F.BLOCCO=' ' or F.BLOCCO='B' or F.BLOCCO='D') "
      "order by A.ORDINA,A.IDX,K.ORDINA,K.IDX ",
      [&](data::Statement& r) {
        const std::string Area = "A" + Tre(Intero(r.Read(0)));
        try {
          if (!t.Exists(Area)) {
            t.Add("", ui::tvwChild, Area, Testo_Non_Vuoto(Testo(r.Read(1))), "Chiavi").SetExpandedImage("Chiavi1");
          }
          const std::string Blocco = Testo(r.Read(4));
          t.Add(Area, ui::tvwChild, Area + (Blocco == "B" ? "B" : "K") + Tre(Intero(r.Read(2))),
                Testo_Non_Vuoto(Testo(r.Read(3))), "Filtro_No");
        } catch (const ui::KeyError&) {
        }
      });

  Imposta_Bar();
  if (Stato_Ridimensiona != 0) t.SetVisible(true);
  host::DoEvents();
}

}  // namespace kyx
