#pragma once
// A small result of one row level for the chart's tests: column 1 the area code, 2 its
// description, 3 and 4 two value columns ("Venduto" and "Reso|anno"), 5 a value column hidden in
// the grid. Detail rows first, the grand total last, as an elaboration leaves them.
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "common/modello.h"
#include "common/stato.h"
#include "engine/stato_motore.h"
#include "platform/data/static_recordset.h"

namespace kyx::test {

// Row key of a result row: sequence, kind, level.
inline std::string Chiave_Riga(int n, char tipo) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%06d%c1", n, tipo);
  return buf;
}

// The column model and chart settings of the result.
inline void Modello_Grafico() {
  Numero_Colonne = 5;
  for (int c = 0; c <= 5; ++c) {
    Col_Visibile[c] = 2;
    Col_Tipo[c] = c >= 3 ? 0 : 10;
    Col_Attributo[c] = "2";
    Col_Intestazione[c] = "";
    Col_Chiave[c] = -1;
  }
  Col_Intestazione[3] = "Venduto";
  Col_Intestazione[4] = "Reso|anno";
  Col_Intestazione[5] = "Nascosta";
  Col_Visibile[5] = 1;
  Grafico_Chiave = 1;
  Grafico_Chiave_Descrizione = 2;
  Elementi_Grafico = 12;
  Grafico_Tipo = 1;
  Grafico_Percentuale = Grafico_Serie = Grafico_In_Righe = false;
  Grafico_Divisioni_X = Grafico_Divisioni_Y = true;
  Grafico_Etichette_X = Grafico_Etichette_Y = Grafico_Etichette_Y2 = true;
  Colori[10] = 0x000000;
  Colori[11] = 0xFFFFFF;
  Prima_Riga = -1;
}

// Rs_Griglia with detail row i holding code "A<i>", description "Area <i>   " and valore(i, c)
// in the value columns; then the grand total.
inline void Risultato_Grafico(int dettagli, const std::function<data::Value(int, int)>& valore) {
  auto rs = std::make_unique<data::StaticRecordset>();
  rs->AppendField(data::TextField("c000", 12));
  rs->AppendField(data::TextField("c001", 10));
  rs->AppendField(data::TextField("c002", 30));
  for (int c = 3; c <= 5; ++c) rs->AppendField(data::DoubleField("c00" + std::to_string(c)));
  rs->OpenFabricated();
  for (int i = 1; i <= dettagli; ++i) {
    rs->AddNew();
    rs->Set(0, data::Value(Chiave_Riga(i, '2')));
    rs->Set(1, data::Value("A" + std::to_string(i)));
    rs->Set(2, data::Value("Area " + std::to_string(i) + "   "));
    for (int c = 3; c <= 5; ++c) rs->Set(c, valore(i, c));
    rs->Update();
  }
  rs->AddNew();
  rs->Set(0, data::Value(std::string("9999994")));
  rs->Set(1, data::Value(std::string("  totale")));
  for (int c = 3; c <= 5; ++c) rs->Set(c, data::Value(999999.0));
  rs->Update();
  Numero_Record = static_cast<int32_t>(rs->RecordCount());
  Rs_Griglia = std::move(rs);
}

// Venduto 10 x i, Reso 100 - i.
inline void Risultato_Grafico(int dettagli) {
  Risultato_Grafico(dettagli, [](int i, int c) {
    return data::Value(static_cast<double>(c == 3 ? 10 * i : 100 - i));
  });
}

}  // namespace kyx::test
