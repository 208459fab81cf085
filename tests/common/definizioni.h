#pragma once
// A program with small real local databases: a definitions database KYX_0.MDB holding the tables
// that key formatting, caption placeholders and filter translation read (CHIAVI, LAYOUT,
// LAY_ELEM, FILTRO, LAY_FILTRO) and a descriptions database KYX_1.MDB with KYX_DS_20F, both
// SQLite files in the test's folder, opened as the program holds them (Cn_MDB0, Cn_MDB1 and
// table-direct recordsets on the named indexes).
#include <memory>
#include <string>
#include <vector>

#include "common/formatta_valore.h"
#include "common/sostituisci_variabili.h"
#include "common/stato_db.h"
#include "platform/data/catalog.h"
#include "platform/data/sqlite_connection.h"
#include "platform/data/table_recordset.h"
#include "tests/common/ambiente.h"

namespace kyx::test {

class Definizioni : public Ambiente {
 protected:
  void SetUp() override {
    stato_db::reset();
    formatta_valore::reset();
    sostituisci_variabili::reset();
    Sistema_Informativo = "SI1";
    ApriDefinizioni();
    ApriDescrizioni();
  }
  void TearDown() override {
    stato_db::reset();
    formatta_valore::reset();
    sostituisci_variabili::reset();
  }

  void ApriDefinizioni() {
    auto cn = std::make_unique<data::SqliteConnection>();
    ASSERT_TRUE(cn->Open(dir.file("KYX_0.MDB"), data::OpenMode::kCreate).ok());
    data::Catalog cat(*cn);
    using data::Int16Field;
    using data::TextField;
    Tabella(cat, "CHIAVI",
            {TextField("SINF", 10), Int16Field("IDX"), Int16Field("LUN"), TextField("TESTO", 40),
             Int16Field("KEY_D"), TextField("KINDB", 1), TextField("ATTR", 1), TextField("FORMATO", 20)},
            {"SINF", "IDX"});
    std::vector<data::FieldInfo> layout = {Int16Field("IDX"), TextField("DESC", 40)};
    for (int n = 1; n <= 9; ++n) {
      layout.push_back(TextField("PARM_" + std::to_string(n), 40));
      layout.push_back(Int16Field("PKEY_" + std::to_string(n)));
    }
    Tabella(cat, "LAYOUT", layout, {"IDX"});
    Tabella(cat, "LAY_ELEM", {Int16Field("LAY"), Int16Field("IDX"), TextField("CALC", 60)}, {"LAY", "IDX"});
    Tabella(cat, "LAY_FILTRO",
            {Int16Field("LAY"), Int16Field("IDX"), Int16Field("KEY"), TextField("OPER", 1), TextField("VALO_1", 30),
             TextField("VALO_2", 30), TextField("BLOCCO", 1), TextField("RELAZ", 1)},
            {"LAY", "IDX", "KEY", "OPER", "VALO_1", "VALO_2"});
    Tabella(cat, "FILTRO",
            {Int16Field("KEY"), TextField("OPER", 1), TextField("VALO_1", 30), TextField("VALO_2", 30),
             TextField("BLOCCO", 1)},
            {"KEY", "OPER", "VALO_1", "VALO_2"});
    Cn_MDB0 = std::move(cn);
    Rs_Chiavi = Apri(*Cn_MDB0, "CHIAVI");
    Rs_Layout = Apri(*Cn_MDB0, "LAYOUT");
    Rs_Lay_Elem = Apri(*Cn_MDB0, "LAY_ELEM");
  }

  void ApriDescrizioni() {
    auto cn = std::make_unique<data::SqliteConnection>();
    ASSERT_TRUE(cn->Open(dir.file("KYX_1.MDB"), data::OpenMode::kCreate).ok());
    data::Catalog cat(*cn);
    std::vector<data::FieldInfo> colonne = {data::TextField("S_DS_STAT", 1), data::Int16Field("S_DS_KEY"),
                                            data::TextField("S_DS_CODI", 30)};
    for (int n = 1; n <= 16; ++n)
      colonne.push_back(data::TextField((n < 10 ? "S_DS_D_0" : "S_DS_D_") + std::to_string(n), 40));
    ASSERT_TRUE(cat.CreateTable("KYX_DS_20F", colonne).ok());
    ASSERT_TRUE(cat.CreateIndex("KYX_DS_20F", "KYX_DS_21L", {"S_DS_KEY", "S_DS_CODI"}).ok());
    Cn_MDB1 = std::move(cn);
    Rs_Descrizioni = std::make_unique<data::TableRecordset>();
    ASSERT_TRUE(Rs_Descrizioni->Open(*Cn_MDB1, "KYX_DS_20F", "KYX_DS_21L").ok());
  }

  static void Tabella(data::Catalog& cat, const std::string& nome, const std::vector<data::FieldInfo>& colonne,
                      const std::vector<std::string>& indice) {
    ASSERT_TRUE(cat.CreateTable(nome, colonne).ok()) << nome;
    ASSERT_TRUE(cat.CreateIndex(nome, nome + "_01L", indice).ok()) << nome;
  }

  static std::unique_ptr<data::TableRecordset> Apri(data::Connection& cn, const std::string& tabella) {
    auto rs = std::make_unique<data::TableRecordset>();
    EXPECT_TRUE(rs->Open(cn, tabella, tabella + "_01L").ok()) << tabella;
    return rs;
  }

  // Adds one row through a prepared statement (values bound, never spliced into the SQL).
  static void Inserisci(data::Connection& cn, const std::string& tabella, const std::vector<std::string>& colonne,
                        const std::vector<data::Value>& valori) {
    std::string sql = "INSERT INTO " + tabella + " (", segnaposti;
    for (size_t i = 0; i < colonne.size(); ++i) {
      sql += (i ? "," : "") + cn.QuoteName(colonne[i]);
      segnaposti += i ? ",?" : "?";
    }
    sql += ") VALUES (" + segnaposti + ")";
    std::unique_ptr<data::Statement> st;
    ASSERT_TRUE(cn.Prepare(sql, &st).ok()) << sql;
    for (size_t i = 0; i < valori.size(); ++i) ASSERT_TRUE(st->Bind(static_cast<int>(i + 1), valori[i]).ok());
    const data::Status s = st->Run();
    ASSERT_TRUE(s.ok()) << s.ToString();
  }

  void Chiave(const std::string& sinf, int idx, const std::string& attr, const std::string& formato,
              data::Value key_d, const std::string& testo = "") {
    Inserisci(*Cn_MDB0, "CHIAVI", {"SINF", "IDX", "ATTR", "FORMATO", "KEY_D", "TESTO"},
              {sinf, idx, attr, formato, key_d, testo});
  }
  void Descrizione(int key, const std::string& codice, const std::string& stato, const std::string& d1,
                   const std::string& d2 = " ") {
    Inserisci(*Cn_MDB1, "KYX_DS_20F", {"S_DS_STAT", "S_DS_KEY", "S_DS_CODI", "S_DS_D_01", "S_DS_D_02"},
              {stato, key, codice, d1, d2});
  }
  void Filtro(int key, const std::string& oper, const std::string& v1, const std::string& v2 = "") {
    Inserisci(*Cn_MDB0, "FILTRO", {"KEY", "OPER", "VALO_1", "VALO_2", "BLOCCO"}, {key, oper, v1, v2, " "});
  }
  void Filtro_Elemento(int lay, int idx, int key, const std::string& oper, const std::string& v1,
                       const std::string& v2 = "") {
    Inserisci(*Cn_MDB0, "LAY_FILTRO", {"LAY", "IDX", "KEY", "OPER", "VALO_1", "VALO_2", "BLOCCO", "RELAZ"},
              {lay, idx, key, oper, v1, v2, " ", " "});
  }
};

}  // namespace kyx::test
