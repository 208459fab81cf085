// Loader of the layouts with their elements, element filters and drill rows (LAYOUT, LAY_ELEM,
// LAY_FILTRO, LAY_DRILL).
#include "common/stato.h"
#include "common/stato_db.h"
#include "common/utilita.h"
#include "db/aggiorna.h"
#include "db/aggiorna_comune.h"
#include "db/mdb_comune.h"
#include "db/record_lavoro.h"
#include "platform/host/host.h"
#include "platform/vb/vb.h"

namespace kyx {

namespace {

using aggiorna::Aggiungi_Se_Manca;
using data::Value;
using lavoro::Record;


// The file of layout i: "###" of the template replaced by the number with three digits.
std::string File_Del_Layout(const std::string& Modello, int64_t i) {
  return vb::Replace(Modello, "###", mdb::Cifre(i, 3));
}

// The conditions of one element's 25 filter sub-records.
void Filtri_Elemento(const Record& r, const Value& Layout, const Value& Elemento) {
  for (int f = 0; f < lavoro::kFiltri_Elemento; ++f) {
    const std::size_t s = lavoro::kInizio_Filtri_Elemento + lavoro::kFiltro_Elemento * f;
    const Value Chiave(static_cast<int>(r.Byte(s)));
    const Value Blocco(r.Testo(s + 1, 1));
    const std::string Operatore = r.Testo(s + 2, 1);
    const std::string Valore = r.Testo(s + 3, lavoro::kValore_Filtro_Elemento);
    const Value Relazione(r.Testo(s + 63, 1));
    auto Riga = [&](const std::string& Oper, const std::string& Da, const std::string& A) {
      Aggiungi_Se_Manca(Rs_Lay_Filtro.get(), {Layout, Elemento, Chiave, Value(Oper), Value(Da), Value(A)},
                        {{"LAY", Layout}, {"IDX", Elemento}, {"KEY", Chiave}, {"OPER", Value(Oper)},
                         {"VALO_1", Value(Da)}, {"VALO_2", Value(A)}, {"BLOCCO", Blocco}, {"RELAZ", Relazione}});
    };
    if (Operatore == "=" || Operatore == "N") {
      for (const std::string& Pezzo : aggiorna::Pezzi_Lista(Valore)) Riga(Operatore, Pezzo, " ");
    } else if (Operatore == "R") {
      std::string Da, A;
      if (aggiorna::Pezzi_Intervallo(Valore, &Da, &A)) Riga("D", Da, A);
    }
  }
}

void Elementi(int64_t i) {
  const Value Layout(i);
  aggiorna::Per_Ogni_Record(File_Del_Layout(File_Layout_Elementi, i), lavoro::kLayout_Elemento,
                            [&](int64_t e, const std::string& Dati) {
                              const Record r(Dati);
                              const Value Elemento(e);
                              auto T = [&](std::size_t At, std::size_t n) { return Value(Testo_Non_Vuoto(r.Testo(At, n))); };
                              const bool Aggiunto = Aggiungi_Se_Manca(
                                  Rs_Lay_Elem.get(), {Layout, Elemento},
                                  {{"LAY", Layout}, {"IDX", Elemento}, {"RIG", Value(static_cast<int>(r.Byte(0)))},
                                   {"COL", Value(static_cast<int>(r.Byte(1)))}, {"DIM_S", Value(static_cast<int>(r.Intero(2)))},
                                   {"VIS", Value(r.Testo(4, 1))}, {"TOT", Value(r.Testo(5, 1))}, {"INTE", T(6, 40)},
                                   {"FORMATO", T(46, 40)}, {"CALC", T(86, 60)}, {"SINF", T(146, 10)},
                                   {"SNINT", T(156, 1)}, {"SNTOT", T(157, 1)}, {"VIS2", T(158, 60)}});
                              // An element already loaded brings none of its filters either.
                              if (Aggiunto) Filtri_Elemento(r, Layout, Elemento);
                            });
}

void Drill(int64_t i) {
  const Value Layout(i);
  aggiorna::Per_Ogni_Record(File_Del_Layout(File_Drill, i), lavoro::kDrill, [&](int64_t, const std::string& Dati) {
    const Record r(Dati);
    const Value Chiave(static_cast<int>(r.Byte(0)));
    const Value Indice(static_cast<int64_t>(r.Lungo(1)));
    aggiorna::Campi Campi;
    Campi.reserve(40);
    Campi.emplace_back("K_LAY", Layout);
    Campi.emplace_back("K_KEY", Chiave);
    Campi.emplace_back("K_IDX", Indice);
    Campi.emplace_back("LAY", static_cast<int>(r.Byte(5)));
    static const char* const kKeyv[] = {"KEYV1", "KEYV2", "KEYV3", "KEYV4", "KEYV5", "KEYV6", "KEYV7", "KEYV8", "KEYV9"};
    static const char* const kKeyo[] = {"KEYO1", "KEYO2", "KEYO3", "KEYO4", "KEYO5", "KEYO6", "KEYO7", "KEYO8", "KEYO9"};
    static const char* const kPrm[] = {"PRM1", "PRM2", "PRM3", "PRM4", "PRM5", "PRM6", "PRM7", "PRM8", "PRM9"};
    for (int k = 0; k < 9; ++k) Campi.emplace_back(kKeyv[k], static_cast<int>(r.Byte(6 + k)));
    for (int k = 0; k < 9; ++k) Campi.emplace_back(kKeyo[k], static_cast<int>(r.Byte(15 + k)));
    Campi.emplace_back("DESC", Value(Testo_Non_Vuoto(r.Testo(24, 40))));
    for (int k = 0; k < 9; ++k) Campi.emplace_back(kPrm[k], Value(Testo_Non_Vuoto(r.Testo(64 + 24 * k, 24))));
    Campi.emplace_back("ANNULL", Value(Testo_Non_Vuoto(r.Testo(280, 1))));
    std::vector<Value> Chiave_Drill;
    Chiave_Drill.reserve(3);
    Chiave_Drill.push_back(Layout);
    Chiave_Drill.push_back(Chiave);
    Chiave_Drill.push_back(Indice);
    Aggiungi_Se_Manca(Rs_Lay_Drill.get(), Chiave_Drill, Campi);
  });
}

}  // namespace

void Aggiorna_LAYOUT() {
  aggiorna::Svuota("LAYOUT");
  aggiorna::Svuota("LAY_ELEM");
  aggiorna::Svuota("LAY_DRILL");
  aggiorna::Svuota("LAY_FILTRO");
  // The layout number is the record number in File_Layout: it ties the four tables and names the
  // two per-layout files.
  aggiorna::Per_Ogni_Record(File_Layout, lavoro::kLayout, [](int64_t i, const std::string& Dati) {
    const Record r(Dati);
    auto T = [&](std::size_t At, std::size_t n) { return Value(Testo_Non_Vuoto(r.Testo(At, n))); };
    aggiorna::Campi Campi;
    Campi.reserve(32);
    Campi.emplace_back("IDX", Value(i));
    Campi.emplace_back("DIM_F", static_cast<int>(r.Byte(0)));
    Campi.emplace_back("COL_B", static_cast<int>(r.Byte(1)));
    Campi.emplace_back("DESC", T(2, 40));
    Campi.emplace_back("FONT", T(42, 40));
    Campi.emplace_back("ORDINA", Value(r.Testo(82, 5)));
    Campi.emplace_back("COL_O", static_cast<int>(r.Byte(87)));
    Campi.emplace_back("COL_OT", Value(r.Testo(88, 1)));
    Campi.emplace_back("XLSRUN", T(89, 60));
    Campi.emplace_back("XLSSTD", Value(r.Testo(149, 1)));
    static const char* const kParm[] = {"PARM_1", "PARM_2", "PARM_3", "PARM_4", "PARM_5", "PARM_6", "PARM_7", "PARM_8", "PARM_9"};
    static const char* const kPkey[] = {"PKEY_1", "PKEY_2", "PKEY_3", "PKEY_4", "PKEY_5", "PKEY_6", "PKEY_7", "PKEY_8", "PKEY_9"};
    for (int k = 0; k < 9; ++k) {
      Campi.emplace_back(kParm[k], T(150 + 40 * k, 40));
      Campi.emplace_back(kPkey[k], static_cast<int>(r.Byte(510 + k)));
    }
    Campi.emplace_back("MODEST", Value(r.Testo(519, 1)));
    // A layout already present (a failed emptying) brings neither elements nor drill rows.
    if (!Aggiungi_Se_Manca(Rs_Layout.get(), {Value(i)}, Campi)) return;
    Elementi(i);
    Drill(i);
  });
  host::DoEvents();
}

}  // namespace kyx
