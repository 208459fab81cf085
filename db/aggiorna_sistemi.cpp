// Loaders of the systems, their external-key maps, keys and values (SINF, CHIAVI_EXT, CHIAVI,
// VALORI).
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

using aggiorna::Aggiungi_Se_Manca;
using data::Value;
using lavoro::Record;

void Aggiorna_SINF() {
  aggiorna::Svuota("SINF");
  aggiorna::Svuota("CHIAVI_EXT");
  // The current system comes from the login reply and is always the first row; the file's own
  // record of it then adds only its key map.
  Aggiungi_Se_Manca(Rs_Sinf.get(), {Value(Sistema_Informativo)},
                    {{"SINF", Value(Testo_Non_Vuoto(Sistema_Informativo))},
                     {"LIBS1", Value(Testo_Non_Vuoto(Libreria_Sistema))},
                     {"DBSQL", Value(Testo_Non_Vuoto(DataBase_SQL))},
                     {"IDX", Value(static_cast<int>(Indice_Sistema_Server))},
                     {"IDX_KEY", Value(-2)},
                     {"IDX_MAX", Value(0)}});
  aggiorna::Per_Ogni_Record(File_Sistemi, lavoro::kSistemi, [](int64_t, const std::string& Dati) {
    const Record r(Dati);
    // The code as received (ten characters, blank-padded) finds the stored trimmed code: the
    // text comparison of the local databases ignores trailing blanks.
    const std::string Codice = r.Testo(1, 10);
    const std::string Sistema = Testo_Non_Vuoto(Codice);
    Aggiungi_Se_Manca(Rs_Sinf.get(), {Value(Codice)},
                      {{"SINF", Value(Sistema)},
                       {"LIBS1", Value(Testo_Non_Vuoto(r.Testo(11, 10)))},
                       {"DBSQL", Value(Testo_Non_Vuoto(r.Testo(21, 50)))},
                       {"IDX", Value(static_cast<int>(r.Byte(0)))},
                       {"IDX_KEY", Value(-2)},
                       {"IDX_MAX", Value(0)}});
    for (int j = 1; j <= 128; ++j) {
      const uint8_t Esterna = r.Byte(70 + j);
      if (Esterna == 0) continue;  // the key has no counterpart in that system
      Aggiungi_Se_Manca(Rs_Chiavi_Ext.get(), {Value(Codice), Value(j)},
                        {{"SINF", Value(Sistema)}, {"KEY_I", Value(j)}, {"KEY_E", Value(static_cast<int>(Esterna))}});
    }
  });
  host::DoEvents();
}

void Aggiorna_CHIAVI(const std::string& Sistema, int32_t Progressivo) {
  if (Progressivo == 1) {
    aggiorna::Svuota("CHIAVI");
    Sinf_Idx_Key = -2;
    Sinf_Idx_Max = 0;
  }
  const std::string Codice = Testo_Non_Vuoto(Sistema);
  aggiorna::Per_Ogni_Record(File_Chiavi, lavoro::kChiavi, [&](int64_t, const std::string& Dati) {
    const Record r(Dati);
    const int Chiave = r.Byte(0);
    const int Lunghezza = r.Byte(1);
    const std::string Tipo = r.Testo(293, 1);
    aggiorna::Campi Campi;
    Campi.reserve(32);
    Campi.emplace_back("SINF", Value(Codice));
    Campi.emplace_back("IDX", Value(Chiave));
    Campi.emplace_back("LUN", Value(Lunghezza));
    Campi.emplace_back("TESTO", Value(Testo_Non_Vuoto(r.Testo(2, 40))));
    static const char* const kTot[] = {"TOT_1", "TOT_2", "TOT_3", "TOT_4"};
    for (int j = 0; j < 4; ++j) Campi.emplace_back(kTot[j], Value(r.Testo(42 + j, 1)));
    static const char* const kTi[] = {"TI_01", "TI_02", "TI_03", "TI_04", "TI_05", "TI_06",
                                      "TI_07", "TI_08", "TI_09", "TI_10", "TI_11", "TI_12"};
    for (int j = 0; j < 12; ++j) Campi.emplace_back(kTi[j], Value(Testo_Non_Vuoto(r.Testo(46 + 20 * j, 20))));
    Campi.emplace_back("ORDINA", Value(r.Testo(286, 5)));
    Campi.emplace_back("KEY_D", static_cast<int>(r.Byte(291)));
    Campi.emplace_back("VIS", Value(r.Testo(292, 1)));
    Campi.emplace_back("KINDB", Value(Tipo));
    static const char* const kAree[] = {"AREA_1", "AREA_2", "AREA_3", "AREA_4", "AREA_5"};
    for (int j = 0; j < 5; ++j) Campi.emplace_back(kAree[j], Value(r.Testo(294 + 3 * j, 3)));
    Campi.emplace_back("ATTR", Value(r.Testo(309, 1)));
    Campi.emplace_back("FORMATO", Value(Testo_Non_Vuoto(r.Testo(310, 20))));
    if (!Aggiungi_Se_Manca(Rs_Chiavi.get(), {Value(Sistema), Value(Chiave)}, Campi)) return;

    // The key of kind "I" (capital letter only) numbers the data-set slots of its system: the
    // last one in the file wins.
    if (Tipo != "I") return;
    if (Rs_Sinf && Rs_Sinf->Seek({Value(Sistema)}).ok() && !Rs_Sinf->AfterLast()) {
      if (Rs_Sinf->Set("IDX_KEY", Value(Chiave)).ok() && Rs_Sinf->Set("IDX_MAX", Value(Lunghezza)).ok())
        Rs_Sinf->Update();
      else
        Rs_Sinf->CancelUpdate();
    }
    if (Codice == Testo_Non_Vuoto(Sistema_Informativo)) {
      Sinf_Idx_Key = static_cast<int16_t>(Chiave);
      Sinf_Idx_Max = static_cast<int16_t>(Lunghezza);
    }
  });
  host::DoEvents();
}

void Aggiorna_VALORI(const std::string& Sistema, int32_t Progressivo) {
  if (Progressivo == 1) aggiorna::Svuota("VALORI");
  const std::string Codice = Testo_Non_Vuoto(Sistema);
  aggiorna::Per_Ogni_Record(File_Valori, lavoro::kValori, [&](int64_t, const std::string& Dati) {
    const Record r(Dati);
    const int Valore = r.Intero(0);
    Aggiungi_Se_Manca(Rs_Valori.get(), {Value(Sistema), Value(Valore)},
                      {{"SINF", Value(Codice)}, {"IDX", Value(Valore)}, {"ELEM", Value(static_cast<int>(r.Byte(2)))}});
  });
  host::DoEvents();
}

}  // namespace kyx
