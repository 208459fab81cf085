// The login through the master database against PostgreSQL over ODBC: the same local databases
// as the socket login of the same sample, the row extraction, and each way the path can fail.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/codifica_parametri.h"
#include "common/impostazioni.h"
#include "common/stato_db.h"
#include "db/mdb1.h"
#include "server/collegamento.h"
#include "server/master_sql.h"
#include "tests/server/sql/ambiente_sql.h"

namespace kyx {
namespace {

class CollegamentoSql : public test::AmbienteSql {
 protected:
  // The bytes of a text as lower-case hex, as psql's encode() writes them.
  static std::string Esadecimale(const std::string& byte) {
    static const char* k = "0123456789abcdef";
    std::string out;
    for (unsigned char c : byte) {
      out += k[c >> 4];
      out += k[c & 15];
    }
    return out;
  }
};

TEST_F(CollegamentoSql, GivesTheDatabasesOfTheSocketLoginOfTheSameSystem) {
  ASSERT_TRUE(Accedi());
  Disconnetti();
  const std::string definizioni = Contenuto(0), descrizioni = Contenuto(1), dati = Contenuto(2);
  ASSERT_NE(definizioni.find("[LAY_DRILL]"), std::string::npos);
  ASSERT_GT(descrizioni.size(), 1000u);

  // A fresh data folder and profile, then the same system through the master database.
  ASSERT_NO_FATAL_FAILURE(Nuova_Cartella_Sql());
  const size_t gia = Stati().size();
  server_->ClearRequests();
  ASSERT_TRUE(Accedi());
  EXPECT_TRUE(host.shown().empty());
  EXPECT_EQ(Contenuto(0), definizioni);
  EXPECT_EQ(Contenuto(1), descrizioni);
  EXPECT_EQ(Contenuto(2), dati);
  const std::vector<std::string> tutti = Stati();
  const std::vector<std::string> stati(tutti.begin() + static_cast<std::ptrdiff_t>(gia), tutti.end());
  ASSERT_GE(stati.size(), 4u);
  EXPECT_EQ(stati.front(), "Aggiornamento Chiavi esterne");
  EXPECT_EQ(stati[stati.size() - 2], "Aggiornamento Descrizioni");
  EXPECT_NE(std::find(stati.begin(), stati.end(), "Aggiornamento elementi Drill"), stati.end());
  // Nothing of the master database stays open, nothing was asked of the data server, no work
  // file is left, and the descriptions' time moved on.
  EXPECT_FALSE(Cn_SQL);
  EXPECT_TRUE(server_->Requests().empty());
  EXPECT_TRUE(Nel_Dati("KYX_*.DAT").empty());
  EXPECT_EQ(Data_Descrizioni.size(), 14u);
  EXPECT_EQ(Leggi_Ini("001", "Data", ""), Data_Descrizioni);
}

TEST_F(CollegamentoSql, ExtractsARowAsAFileOrAsText) {
  Profilo_Sql();
  ASSERT_TRUE(Apri_DB_SQL(DataBase_SQL)) << Errore_DB_SQL;
  ASSERT_TRUE(Apri_Master());
  const std::string file = Cartella_Dati + "KYX_L.DAT";
  dir.write("Dati/KYX_L.DAT", std::string(5000, 'x'));  // overwritten
  std::string destinazione = file;
  // A name longer than ten characters is cut to its width.
  EXPECT_EQ(Estrai_Da_MDB("VENDITE", "L ", "           oltre", destinazione, "F"), -1);
  EXPECT_EQ(Esadecimale(dir.read("Dati/KYX_L.DAT")),
            pg_.Query("KYXMASTER", "SELECT encode(dati, 'hex') FROM kyx_master WHERE chiave = 'VENDITE   L '"));
  EXPECT_GT(dir.read("Dati/KYX_L.DAT").size(), 520u);

  std::string sicurezza;
  EXPECT_EQ(Estrai_Da_MDB("++++++++++", "++", "++++++++++", sicurezza, " "), -1);
  std::string testo, check;
  Decodifica_Parametri(testo, sicurezza, check);
  EXPECT_EQ(testo.substr(0, 1), "S");

  std::string nessuna = "immutata";
  EXPECT_EQ(Estrai_Da_MDB("VENDITE", "L_", "999", nessuna, "F"), 0);
  EXPECT_EQ(nessuna, "immutata");
  EXPECT_TRUE(Chiudi_DB_SQL());
  EXPECT_FALSE(Cn_SQL);
  EXPECT_FALSE(Rs_Master);
}

// Each failure shows its reason, returns False, closes the master database and leaves the
// definitions of the earlier login as they were, also when it stops half-way through them.
TEST_F(CollegamentoSql, EachFailureSaysWhatFailedAndKeepsTheEarlierDefinitions) {
  Profilo_Sql();
  ASSERT_TRUE(Accedi());
  ASSERT_EQ(pg_.Query("KYXMASTER", "CREATE TABLE copia AS SELECT * FROM kyx_master"), "");
  std::string rifiutata, check;
  Codifica_Parametri("N", rifiutata, check);

  struct Caso {
    const char* nome;
    std::string database, password, guasto, messaggio;
  };
  // Every table of KYX_0.MDB with its rows in order, read through SQLite.
  const auto Definizioni = [&] {
    std::string out;
    for (const std::string& t : test::Tabelle(Mdb(0))) {
      out += "[" + t + "]";
      for (const auto& r : test::Sql(Mdb(0), "SELECT * FROM \"" + t + "\" ORDER BY rowid"))
        for (const auto& v : r) out += v + "|";
    }
    return out;
  };
  const std::vector<Caso> casi = {
      {"missing database", "NESSUNO", "ALFA", "", "Errore nell'aggiornamento\rdel database NESSUNO\r"},
      {"wrong password", "KYXMASTER", "BETA", "", "Errore nell'aggiornamento\rdel database KYXMASTER\r"},
      {"no security row", "KYXMASTER", "ALFA", "DELETE FROM kyx_master WHERE chiave LIKE '++%'",
       "Dati sulla sicurezza\r errati o mancanti"},
      {"refused by the security row", "KYXMASTER", "ALFA",
       "UPDATE kyx_master SET dati = decode('" + Esadecimale(rifiutata) + "', 'hex') WHERE chiave LIKE '++%'",
       "L'utente ROSSI\r e/o la password sono errati"},
      {"no elements of a layout", "KYXMASTER", "ALFA", "DELETE FROM kyx_master WHERE chiave = 'VENDITE   L_001'",
       "Errore nell'aggiornamento\rdel Layout 001"},
      {"no user structure", "KYXMASTER", "ALFA", "DELETE FROM kyx_master WHERE chiave LIKE 'VENDITE   UA%'",
       "Errore nell'aggiornamento\rdella Struttura"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    ASSERT_TRUE(Accedi());
    const std::string prima = Definizioni();
    ASSERT_EQ(prima.find("[LAY_ELEM]["), std::string::npos);  // the earlier login stored elements
    if (!c.guasto.empty()) {
      ASSERT_EQ(pg_.Query("KYXMASTER", c.guasto), "");
    }
    DataBase_SQL = c.database;
    Password_Utente = text::fixed(c.password, 10, '^');
    host.expect(c.messaggio);
    EXPECT_FALSE(Accedi());
    EXPECT_EQ(host.pending(), 0u);
    EXPECT_FALSE(Cn_SQL);
    EXPECT_EQ(Definizioni(), prima);
    ASSERT_EQ(pg_.Query("KYXMASTER", "DELETE FROM kyx_master; INSERT INTO kyx_master SELECT * FROM copia"), "");
    DataBase_SQL = "KYXMASTER";
    Password_Utente = text::fixed("ALFA", 10, '^');
  }
  // The wrong password's message carries the server's reason.
  bool motivo = false;
  for (const auto& m : host.shown()) motivo = motivo || m.text.find("password") != std::string::npos;
  EXPECT_TRUE(motivo);
}

}  // namespace
}  // namespace kyx
