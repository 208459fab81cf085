#pragma once
// A program with a real definitions database KYX_0.MDB (made by Apri_MDB0 in the test's data
// folder) holding one small information system "SI1": keys, values, one layout and its elements
// added row by row. The engine's state and slots start clean.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/formatta_valore.h"
#include "common/modello.h"
#include "common/sostituisci_variabili.h"
#include "db/mdb0.h"
#include "engine/agganci_motore.h"
#include "engine/stato_motore.h"
#include "tests/db/ambiente_db.h"

namespace kyx::test {

// One element row of the layout; the defaults make a shown column of row 1.
struct E {
  int rig = 1;
  int col = 1;
  std::string calc;
  std::string inte = "";
  std::string vis = "V";
  std::string formato = "";
  std::string tot = "";
  std::string sinf = "";
  int dim_s = 0;
  std::string snint = "";
  std::string sntot = "";
};

class Motore : public AmbienteDb {
 public:
  void SetUp() override {
    stato_motore::reset();
    agganci_motore::reset();
    formatta_valore::reset();
    sostituisci_variabili::reset();
    ASSERT_TRUE(Apri_MDB0(false));
    Sistema_Informativo = "SI1";
    Layout_Corrente = 3;
    Liv_Riga_Chiave.fill(-1);
    Liv_Colonna_Chiave.fill(-1);
    Sistema("SI1", 9, 3, "LIB1");
  }
  void TearDown() override {
    stato_motore::reset();
    agganci_motore::reset();
    formatta_valore::reset();
    sostituisci_variabili::reset();
  }

  // Adds one row through a prepared statement (values bound, never spliced into the SQL).
  static void Riga(const std::string& tabella, const std::vector<std::string>& colonne,
                   const std::vector<data::Value>& valori) {
    std::string sql = "INSERT INTO " + tabella + " (", segnaposti;
    for (size_t i = 0; i < colonne.size(); ++i) {
      sql += (i ? "," : "") + Cn_MDB0->QuoteName(colonne[i]);
      segnaposti += i ? ",?" : "?";
    }
    sql += ") VALUES (" + segnaposti + ")";
    std::unique_ptr<data::Statement> st;
    ASSERT_TRUE(Cn_MDB0->Prepare(sql, &st).ok()) << sql;
    for (size_t i = 0; i < valori.size(); ++i) ASSERT_TRUE(st->Bind(static_cast<int>(i + 1), valori[i]).ok());
    const data::Status s = st->Run();
    ASSERT_TRUE(s.ok()) << s.ToString();
  }

  static void Sistema(const std::string& sinf, int idx_key, int idx_max, const std::string& libreria) {
    Riga("SINF", {"SINF", "LIBS1", "IDX_KEY", "IDX_MAX"}, {sinf, libreria, idx_key, idx_max});
  }
  // A key; `tot` lists the total tables ("13" = TOT_1 and TOT_3).
  static void Chiave(int idx, const std::string& kindb, int lun, const std::string& formato = "",
                     const std::string& tot = "", const std::string& sinf = "SI1") {
    std::vector<std::string> c = {"SINF", "IDX", "KINDB", "LUN", "ATTR", "KEY_D", "FORMATO", "TESTO"};
    std::vector<data::Value> v = {sinf, idx, kindb, lun, "2", 0, formato, "Chiave " + std::to_string(idx)};
    for (char t : tot) {
      c.push_back(std::string("TOT_") + t);
      v.push_back("S");
    }
    Riga("CHIAVI", c, v);
  }
  static void Valore(int idx, const std::string& sinf = "SI1") { Riga("VALORI", {"SINF", "IDX"}, {sinf, idx}); }
  static void Layout(int idx, const std::string& desc = "Vendite", int col_b = 0, int col_o = 0,
                     const std::string& col_ot = "", const std::string& modest = "") {
    Riga("LAYOUT", {"IDX", "DESC", "COL_B", "COL_O", "COL_OT", "MODEST"}, {idx, desc, col_b, col_o, col_ot, modest});
  }
  // Adds the layout's element rows, numbered 1, 2, ... after those it already has.
  void Elementi(const std::vector<E>& righe, int layout = 3) {
    for (const E& e : righe) {
      Riga("LAY_ELEM",
           {"LAY", "IDX", "RIG", "COL", "CALC", "INTE", "VIS", "FORMATO", "TOT", "SINF", "DIM_S", "SNINT", "SNTOT"},
           {layout, ++indice_, e.rig, e.col, e.calc, e.inte, e.vis, e.formato, e.tot, e.sinf, e.dim_s, e.snint,
            e.sntot});
    }
  }
  static void Filtro_Utente(int key, const std::string& oper, const std::string& v1) {
    Riga("FILTRO", {"KEY", "OPER", "VALO_1", "VALO_2", "BLOCCO"}, {key, oper, v1, "", " "});
  }
  static void Filtro_Layout(int lay, int idx, int key, const std::string& oper, const std::string& v1) {
    Riga("LAY_FILTRO", {"LAY", "IDX", "KEY", "OPER", "VALO_1", "VALO_2", "BLOCCO", "RELAZ"},
         {lay, idx, key, oper, v1, "", " ", " "});
  }

  int indice_ = 0;
};

}  // namespace kyx::test
