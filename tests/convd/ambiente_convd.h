#pragma once
// A data folder holding a descriptions database in the older layout, built by the test through
// SQL (so that any value, Null or out of range, can be put in), and readers of the result that go
// straight to the SQLite file.
#include <string>
#include <vector>

#include "convd/conversione.h"
#include "tests/db/ambiente_db.h"

namespace kyx::test {

// A row of KYX_DS_10F (KYX_DS_00F rows have no number). Texts are SQL literals, so that a test
// can write NULL.
struct Riga_10F {
  std::string stato;
  std::string chiave;
  std::string codice;
  std::string numero;
  std::string descrizione;
};

class AmbienteConvd : public AmbienteDb {
 protected:
  // The folder the program converts (the data folder of the main program's fixture).
  std::string Cartella() const { return dir.file("Dati"); }

  // Creates KYX_1.MDB with the old tables and their indexes. The key columns are 32-bit and the
  // descriptions 60 wide, wider than the new table, so that values that do not fit can be stored.
  void Crea_Vecchio(bool con_00F = true, bool con_10F = true, bool con_indici = true) {
    std::string sql;
    if (con_00F) {
      sql += "CREATE TABLE KYX_DS_00F (S_DS_STAT TEXT(1) COLLATE JET, S_DS_KEY INTEGER, "
             "S_DS_CODI TEXT(30) COLLATE JET, S_DS_DESC TEXT(60) COLLATE JET);";
      if (con_indici) sql += "CREATE INDEX KYX_DS_01L__KYX_DS_00F ON KYX_DS_00F (S_DS_KEY, S_DS_CODI);";
    }
    if (con_10F) {
      sql += "CREATE TABLE KYX_DS_10F (S_DS_STAT TEXT(1) COLLATE JET, S_DS_KEY INTEGER, "
             "S_DS_CODI TEXT(30) COLLATE JET, S_DS_NUME SMALLINT, S_DS_DESC TEXT(60) COLLATE JET);";
      if (con_indici) sql += "CREATE INDEX KYX_DS_11L__KYX_DS_10F ON KYX_DS_10F (S_DS_KEY, S_DS_CODI, S_DS_NUME);";
    }
    ASSERT_TRUE(Sql(Mdb(1), sql).empty());
  }
  // Rows of KYX_DS_00F: status, key, code, description (SQL literals).
  void Righe_00F(const std::vector<std::vector<std::string>>& righe) {
    for (const auto& r : righe)
      ASSERT_TRUE(Sql(Mdb(1), "INSERT INTO KYX_DS_00F VALUES (" + r[0] + "," + r[1] + "," + r[2] + "," + r[3] + ")").empty());
  }
  void Righe_10F(const std::vector<Riga_10F>& righe) {
    for (const auto& r : righe)
      ASSERT_TRUE(Sql(Mdb(1), "INSERT INTO KYX_DS_10F VALUES (" + r.stato + "," + r.chiave + "," + r.codice + "," +
                                  r.numero + "," + r.descrizione + ")")
                      .empty());
  }

  // Runs the conversion, keeping every caption shown.
  convd::Risultato Converti() {
    return convd::Converti_Descrizioni(Cartella(), [this](std::string_view c) { captions.emplace_back(c); });
  }

  // The rows of KYX_DS_20F in key and code order, each as "status|key|code" followed by
  // "|nn=text" for every description that is not the blank " " (a Null shows as "nn=NULL").
  std::vector<std::string> Righe_Nuove() const {
    std::string sql = "SELECT S_DS_STAT, S_DS_KEY, S_DS_CODI";
    for (int n = 1; n <= 16; ++n) sql += std::string(", S_DS_D_") + (n < 10 ? "0" : "") + std::to_string(n);
    std::vector<std::string> out;
    for (const auto& r : Sql(Mdb(1), sql + " FROM KYX_DS_20F ORDER BY S_DS_KEY, S_DS_CODI")) {
      if (r.size() < 19) return {r[0]};
      std::string s = r[0] + "|" + r[1] + "|" + r[2];
      for (int n = 1; n <= 16; ++n)
        if (r[n + 2] != " ") s += std::string("|") + (n < 10 ? "0" : "") + std::to_string(n) + "=" + r[n + 2];
      out.push_back(s);
    }
    return out;
  }

  std::vector<std::string> captions;
};

}  // namespace kyx::test
