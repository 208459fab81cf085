// Loaders of the areas, the user's filter and the user's structure (AREE, FILTRO, STRUTTURA).
#include "common/stato.h"
#include "common/stato_db.h"
#include "common/utilita.h"
#include "db/aggiorna.h"
#include "db/aggiorna_comune.h"
#include "db/record_lavoro.h"
#include "platform/host/host.h"

namespace kyx {

using aggiorna::Aggiungi_Se_Manca;
using data::Value;
using lavoro::Record;

void Aggiorna_AREE() {
  aggiorna::Svuota("AREE");
  // AREE is indexed on the record number: every record of the file gives its row.
  aggiorna::Per_Ogni_Record(File_Aree, lavoro::kAree, [](int64_t i, const std::string& Dati) {
    const Record r(Dati);
    Aggiungi_Se_Manca(Rs_Aree.get(), {Value(i)},
                      {{"IDX", Value(i)},
                       {"AREA", Value(r.Testo(0, 3))},
                       {"DESC", Value(Testo_Non_Vuoto(r.Testo(3, 40)))},
                       {"ORDINA", Value(r.Testo(43, 5))}});
  });
  host::DoEvents();
}

void Aggiorna_FILTRO() {
  aggiorna::Svuota("FILTRO");
  aggiorna::Per_Ogni_Record(File_Filtro_Utente, lavoro::kFiltro_Utente, [](int64_t, const std::string& Dati) {
    const Record r(Dati);
    const Value Chiave(static_cast<int>(r.Byte(0)));
    const std::string Operatore = r.Testo(1, 1);
    const std::string Valore = r.Testo(2, lavoro::kValore_Filtro_Utente);
    const Value Blocco(r.Testo(1026, 1));
    auto Riga = [&](const std::string& Oper, const std::string& Da, const std::string& A) {
      Aggiungi_Se_Manca(Rs_Filtro.get(), {Chiave, Value(Oper), Value(Da), Value(A)},
                        {{"KEY", Chiave}, {"OPER", Value(Oper)}, {"VALO_1", Value(Da)}, {"VALO_2", Value(A)},
                         {"BLOCCO", Blocco}});
    };
    if (Operatore == "=" || Operatore == "N") {
      for (const std::string& Pezzo : aggiorna::Pezzi_Lista(Valore)) Riga(Operatore, Pezzo, " ");
    } else if (Operatore == "R") {
      std::string Da, A;
      if (aggiorna::Pezzi_Intervallo(Valore, &Da, &A)) Riga("D", Da, A);
    }
  });
  host::DoEvents();
}

void Aggiorna_STRUTTURA() {
  aggiorna::Svuota("STRUTTURA");
  aggiorna::Per_Ogni_Record(File_Struttura_Utente, lavoro::kStruttura_Utente, [](int64_t, const std::string& Dati) {
    const Record r(Dati);
    const Value Area(static_cast<int>(r.Byte(0)));
    const Value Chiave(static_cast<int>(r.Byte(1)));
    // All 32 flag bytes: layouts 1 to 256 (bit k of byte j is layout 8(j - 1) + k + 1).
    for (int j = 1; j <= 32; ++j) {
      const uint8_t Flag = r.Byte(1 + j);
      for (int k = 0; k < 8; ++k) {
        if (!(Flag & (1u << k))) continue;
        const Value Layout((j - 1) * 8 + k + 1);
        Aggiungi_Se_Manca(Rs_Struttura.get(), {Area, Chiave, Layout}, {{"AREA", Area}, {"KEY", Chiave}, {"LAY", Layout}});
      }
    }
  });
  host::DoEvents();
}

}  // namespace kyx
