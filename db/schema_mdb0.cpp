// Tables of the definitions database KYX_0.MDB, columns in their order and the one index of each.
#include "db/mdb0.h"

namespace kyx::mdb0 {

namespace {

using data::Int16Field;
using data::TextField;

std::string N(const char* Radice, int i, int Cifre) { return Radice + mdb::Cifre(i, Cifre); }

std::vector<mdb::Tabella> Costruisci() {
  std::vector<mdb::Tabella> T;

  T.push_back({"SINF",
               {TextField("SINF", 10), TextField("LIBS1", 10), TextField("DBSQL", 50), Int16Field("IDX"),
                Int16Field("IDX_KEY"), Int16Field("IDX_MAX")},
               "SINF_01L",
               {"SINF"}});

  T.push_back({"AREE",
               {Int16Field("IDX"), TextField("AREA", 3), TextField("DESC", 40), TextField("ORDINA", 5)},
               "AREE_01L",
               {"IDX"}});

  mdb::Tabella Chiavi{"CHIAVI",
                      {TextField("SINF", 10), Int16Field("IDX"), Int16Field("LUN"), TextField("TESTO", 40)},
                      "CHIAVI_01L",
                      {"SINF", "IDX"}};
  for (int j = 1; j <= 4; ++j) Chiavi.Colonne.push_back(TextField(N("TOT_", j, 1), 1));
  for (int j = 1; j <= 12; ++j) Chiavi.Colonne.push_back(TextField(N("TI_", j, 2), 20));
  for (int j = 1; j <= 5; ++j) Chiavi.Colonne.push_back(TextField(N("AREA_", j, 1), 3));
  for (auto& c : {TextField("ORDINA", 5), Int16Field("KEY_D"), TextField("VIS", 1), TextField("KINDB", 1),
                  TextField("ATTR", 1), TextField("FORMATO", 20)})
    Chiavi.Colonne.push_back(c);
  T.push_back(std::move(Chiavi));

  T.push_back({"CHIAVI_EXT",
               {TextField("SINF", 10), Int16Field("KEY_I"), Int16Field("KEY_E")},
               "CHIAVI_EXT_01L",
               {"SINF", "KEY_I"}});

  T.push_back({"VALORI",
               {TextField("SINF", 10), Int16Field("IDX"), Int16Field("ELEM")},
               "VALORI_01L",
               {"SINF", "IDX"}});

  mdb::Tabella Layout{"LAYOUT",
                      {Int16Field("IDX"), Int16Field("DIM_F"), Int16Field("COL_B"), TextField("DESC", 40),
                       TextField("FONT", 40), TextField("ORDINA", 5), Int16Field("COL_O"), TextField("COL_OT", 1),
                       TextField("XLSRUN", 60), TextField("XLSSTD", 1)},
                      "LAYOUT_01L",
                      {"IDX"}};
  for (int k = 1; k <= 9; ++k) {
    Layout.Colonne.push_back(TextField(N("PARM_", k, 1), 40));
    Layout.Colonne.push_back(Int16Field(N("PKEY_", k, 1)));
  }
  Layout.Colonne.push_back(TextField("MODEST", 1));
  T.push_back(std::move(Layout));

  T.push_back({"LAY_ELEM",
               {Int16Field("LAY"), Int16Field("IDX"), Int16Field("RIG"), Int16Field("COL"), Int16Field("DIM_S"),
                TextField("VIS", 1), TextField("TOT", 1), TextField("INTE", 40), TextField("FORMATO", 40),
                TextField("CALC", 60), TextField("SINF", 10), TextField("SNINT", 1), TextField("SNTOT", 1),
                TextField("VIS2", 60)},
               "LAY_ELEM_01L",
               {"LAY", "IDX"}});

  mdb::Tabella Drill{"LAY_DRILL",
                     {Int16Field("K_LAY"), Int16Field("K_KEY"), Int16Field("K_IDX"), Int16Field("LAY")},
                     "LAY_DRILL_01L",
                     {"K_LAY", "K_KEY", "K_IDX"}};
  for (int k = 1; k <= 9; ++k) Drill.Colonne.push_back(Int16Field(N("KEYV", k, 1)));
  for (int k = 1; k <= 9; ++k) Drill.Colonne.push_back(Int16Field(N("KEYO", k, 1)));
  Drill.Colonne.push_back(TextField("DESC", 40));
  for (int k = 1; k <= 9; ++k) Drill.Colonne.push_back(TextField(N("PRM", k, 1), 24));
  Drill.Colonne.push_back(TextField("ANNULL", 1));
  T.push_back(std::move(Drill));

  // The filter values were 30 characters wide, and a longer piece was refused with its whole
  // row. The columns take the longest piece the work files can carry (the 60-character element
  // value, the 1024-character user value), so that no condition is lost.
  T.push_back({"LAY_FILTRO",
               {Int16Field("LAY"), Int16Field("IDX"), Int16Field("KEY"), TextField("OPER", 1),
                TextField("VALO_1", kLarghezza_Valore_Lay_Filtro), TextField("VALO_2", kLarghezza_Valore_Lay_Filtro),
                TextField("BLOCCO", 1), TextField("RELAZ", 1)},
               "LAY_FILTRO_01L",
               {"LAY", "IDX", "KEY", "OPER", "VALO_1", "VALO_2"}});

  T.push_back({"STRUTTURA",
               {Int16Field("AREA"), Int16Field("KEY"), Int16Field("LAY")},
               "STRUTTURA_01L",
               {"AREA", "KEY", "LAY"}});

  T.push_back({"FILTRO",
               {Int16Field("KEY"), TextField("OPER", 1), TextField("VALO_1", kLarghezza_Valore_Filtro),
                TextField("VALO_2", kLarghezza_Valore_Filtro), TextField("BLOCCO", 1)},
               "FILTRO_01L",
               {"KEY", "OPER", "VALO_1", "VALO_2"}});
  return T;
}

}  // namespace

const std::vector<mdb::Tabella>& Tabelle() {
  static const std::vector<mdb::Tabella> T = Costruisci();
  return T;
}

}  // namespace kyx::mdb0
