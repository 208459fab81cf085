#include "engine/ricalcolo_subtotali.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "common/modello.h"
#include "common/stato_db.h"
#include "engine/campi.h"
#include "engine/stato_motore.h"
#include "platform/data/connection.h"
#include "platform/vb/vb.h"

namespace kyx {
namespace {

using motore::Cifre;

size_t C(int n) { return static_cast<size_t>(n); }

// Characters 7 and 8 of a row key: the row kind and its level digit (0 when there is none).
int Cifra_Livello(const std::string& c000) { return static_cast<int>(vb::Val(vb::Mid(c000, 8, 1))); }

// The level index of a row, counted from the grand total (0) inwards, for both kinds of layout: a
// head or detail row adds into the accumulator of the index before its own, a subtotal row reads
// its own index and adds into the one before. The 11-character keys of outline layouts carry the
// level itself (10 minus the digit on subtotals); on the 8-character subtotal keys of "L" layouts
// the digit counts from the details outwards, and their 7-character detail keys carry no digit:
// they lie at the innermost level. -1 when the key names no level the accumulators hold.
int Indice_Livello(const std::string& c000) {
  const std::string tipo = vb::Mid(c000, 7, 1);
  const int d = Cifra_Livello(c000);
  const bool schema = c000.size() >= 11;
  const bool livelli_r = Livelli_Visibili > 0;
  const int dettaglio = std::clamp(Numero_Livelli - 1 + (livelli_r && Livello_Contatore_2 >= 1 ? 1 : 0), 0, 9) + 1;
  int e = -1;
  if (tipo == "1") e = schema ? d : -1;
  else if (tipo == "2") e = d >= 1 ? d : dettaglio;
  else if (tipo == "3" && d >= 1) e = schema ? 10 - d : Numero_Livelli - d;
  return e >= 1 && e <= 10 && !(tipo == "3" && e > 9) ? e : -1;
}

}  // namespace

void Ricalcola_Subtotali() {
  std::vector<int> colonne;
  for (int c = 0; c <= 255; ++c) {
    for (size_t l = 0; l < Col_Livello_Totale.size(); ++l)
      if (Col_Livello_Totale[l][C(c)] == 0) {
        colonne.push_back(c);
        break;
      }
  }
  if (colonne.empty() || !Cn_MDB3) return;

  // Read in key order in one go, then written back row by row.
  std::string sql = "SELECT rowid, c000";
  std::string aggiorna = "UPDATE DATI SET ";
  for (size_t i = 0; i < colonne.size(); ++i) {
    sql += ", c" + Cifre(colonne[i], 3);
    aggiorna += (i ? ", c" : "c") + Cifre(colonne[i], 3) + " = ?";
  }
  sql += " FROM DATI ORDER BY c000";
  for (int k = 1; k <= Numero_Chiavi_DATI; ++k) sql += ", k" + Cifre(k, 3);
  aggiorna += " WHERE rowid = ?";
  struct Riga {
    int64_t rowid;
    std::string c000;
    std::vector<data::Value> celle;
  };
  std::vector<Riga> righe;
  {
    std::unique_ptr<data::Statement> st;
    if (!Cn_MDB3->Prepare(sql, &st).ok()) return;
    bool riga = false;
    while (st->Step(&riga).ok() && riga) {
      Riga r{st->Read(0).AsInteger(), st->Read(1).AsText(), {}};
      for (size_t i = 0; i < colonne.size(); ++i) r.celle.push_back(st->Read(static_cast<int>(2 + i)));
      righe.push_back(std::move(r));
    }
  }
  std::unique_ptr<data::Statement> scrivi;
  if (!Cn_MDB3->Prepare(aggiorna, &scrivi).ok()) return;
  const bool transazione = !Cn_MDB3->InTransaction() && Cn_MDB3->BeginTransaction().ok();

  std::array<std::vector<double>, 10> accumulatori;
  for (auto& a : accumulatori) a.assign(colonne.size(), 0.0);
  const auto valore = [](const data::Value& v) { return v.is_null() ? 0.0 : v.AsDouble(); };
  for (Riga& r : righe) {
    const std::string tipo = vb::Mid(r.c000, 7, 1);
    const int e = Indice_Livello(r.c000);
    bool cambiata = false;
    if (tipo == "1" && e >= 0 && e <= 9) {
      std::fill(accumulatori[C(e)].begin(), accumulatori[C(e)].end(), 0.0);
    } else if (tipo == "2" && e >= 1) {
      for (size_t i = 0; i < colonne.size(); ++i) accumulatori[C(e - 1)][i] += valore(r.celle[i]);
    } else if (tipo == "3" && e >= 1) {
      // The merge marks the subtotal cells it filled under 10 minus the key's digit.
      const int marca = std::clamp(10 - Cifra_Livello(r.c000), 0, 9);
      for (size_t i = 0; i < colonne.size(); ++i) {
        if (Col_Livello_Totale[C(marca)][C(colonne[i])] != 0) {
          r.celle[i] = data::Value(accumulatori[C(e)][i]);
          cambiata = true;
        }
        accumulatori[C(e - 1)][i] += valore(r.celle[i]);
      }
      // The group is closed: the next group of this level starts from nothing, also where no head
      // row starts it.
      std::fill(accumulatori[C(e)].begin(), accumulatori[C(e)].end(), 0.0);
    } else if (tipo == "4") {
      for (size_t i = 0; i < colonne.size(); ++i) r.celle[i] = data::Value(accumulatori[0][i]);
      cambiata = true;
    }
    if (!cambiata) continue;
    scrivi->Reset();
    for (size_t i = 0; i < colonne.size(); ++i) (void)scrivi->Bind(static_cast<int>(i + 1), r.celle[i]);
    (void)scrivi->Bind(static_cast<int>(colonne.size() + 1), data::Value(r.rowid));
    (void)scrivi->Run();
  }
  if (transazione) (void)Cn_MDB3->Commit();
}

void Elimina_Livelli_Nascosti(int32_t Colonna_Chiave) {
  data::Recordset* rs = Rs_Griglia.get();
  if (!rs || !rs->IsOpen() || (rs->BeforeFirst() && rs->AfterLast())) return;
  const auto chiave = [&] {
    return Colonna_Chiave >= 0 && Colonna_Chiave < rs->FieldCount() ? rs->Field(Colonna_Chiave).AsText() : std::string();
  };
  std::array<std::string, 9> ricordati{};
  for ((void)rs->MoveFirst(); !rs->AfterLast(); (void)rs->MoveNext()) {
    const std::string c000 = rs->Field(0).AsText();
    const std::string tipo = vb::Mid(c000, 7, 1);
    const int d = Cifra_Livello(c000);
    if (tipo == "1") {
      if (d < 1 || d > 9) break;
      if (Liv_Intestazione[C(d - 1)] == "N") (void)rs->Delete();
    } else if (tipo == "2") {
      if (d >= 1) ricordati[C(d - 1)] = chiave();
    } else if (tipo == "3" && d >= 1) {
      const std::string v = chiave();
      const int e = 10 - d;
      const std::string& opzione = Liv_Subtotale[C(e - 1)];
      // "1": a group that holds a single value of the key below shows no subtotal. The innermost
      // possible level has nothing below it to compare, so its subtotals stay.
      if (opzione == "N" || (opzione == "1" && e < 9 && ricordati[C(e)] == v)) (void)rs->Delete();
      ricordati[C(e - 1)] = v;
    }
  }
}

}  // namespace kyx
