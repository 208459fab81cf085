#pragma once
// A program whose profile can reach both sources of the same sample system: our data server on
// 127.0.0.1 (the socket path) and a throw-away PostgreSQL database "KYXMASTER" reached through
// psqlODBC (the SQL database path), filled from that server by our tool kyx-sqlmaster.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "common/stato.h"
#include "common/stato_db.h"
#include "db/mdb1.h"
#include "engine/agganci_motore.h"
#include "engine/elaborazione.h"
#include "engine/stato_motore.h"
#include "server/collegamento.h"
#include "tests/server/ambiente_collegamento.h"
#include "tests/server/server_dati.h"
#include "tests/support/pg_cluster.h"
#include "tools/dataserver/generator.h"

namespace kyx::test {

class AmbienteSql : public AmbienteCollegamento {
 protected:
  AmbienteSql() : pg_(dataserver::sample::kUser, dataserver::sample::kPassword) {
    stato_motore::reset();
    agganci_motore::reset();
    server_ = Avvia_Server_Dati(dir);
    Ini("[001]\nNome=VENDITE\n");
  }
  ~AmbienteSql() override {
    sock::reset();
    server_->Stop();
    stato_motore::reset();
    agganci_motore::reset();
  }

  void SetUp() override {
    std::string errore;
    ASSERT_TRUE(pg_.Start(&errore)) << errore;
    // The master database, and the orders system's own database that the sample's systems list
    // names ("KYXORD"): each gets what the tool writes, and the program reads each system's keys
    // and values from its own, and the data set a download copies: the sales' in the master
    // database, the orders' in their own.
    for (const char* database : {"KYXMASTER", "KYXORD"}) {
      ASSERT_TRUE(pg_.CreateDatabase(database, &errore)) << errore;
      const std::string comando = std::string(KYX_SQLMASTER) + " --odbc '" + pg_.ConnectionString(database) +
                                  "' --database " + database + " --store " + dir.file("server.db") + " --port " +
                                  std::to_string(server_->port()) + " --user " + dataserver::sample::kUser +
                                  " --password " + dataserver::sample::kPassword + " --system " +
                                  dataserver::sample::kSales + " --table " + dir.file("KYX.Tbl") + " --scratch " +
                                  dir.file(std::string("riempi_") + database) + " --data-set " +
                                  (database == std::string("KYXORD") ? dataserver::sample::kOrders
                                                                     : dataserver::sample::kSales);
      ASSERT_EQ(std::system(comando.c_str()), 0) << comando;
    }
    server_->ClearRequests();
  }

  // Points the profile at the master database.
  static void Profilo_Sql() { DataBase_SQL = "KYXMASTER"; }

  // A fresh data folder and profile pointed at the master database: the next login starts from
  // nothing.
  void Nuova_Cartella_Sql() {
    stato_db::reset();
    for (int n : {0, 1, 2}) ASSERT_TRUE(files::remove_file(Mdb(n)));
    Ini("[001]\nNome=VENDITE\n");
    Data_Descrizioni.clear();
    Apri_MDB1(false, false);
    Profilo_Sql();
  }

  // An elaboration of `layout` with these row and column keys and the year 2024.
  static void Elabora(int16_t layout, const std::vector<int16_t>& righe, const std::vector<int16_t>& colonne) {
    stato_motore::reset();
    Layout_Corrente = layout;
    Liv_Riga_Chiave.fill(-1);
    Liv_Colonna_Chiave.fill(-1);
    for (size_t i = 0; i < righe.size(); ++i) Liv_Riga_Chiave[i] = righe[i];
    for (size_t i = 0; i < colonne.size(); ++i) Liv_Colonna_Chiave[i] = colonne[i];
    Parametri_Valore[0] = "2024";
    ASSERT_TRUE(Esegui_Elaborazione());
  }

  // The result table, numbers to hundredths (the server hands out thousandths).
  std::vector<std::vector<std::string>> Risultato() const {
    auto righe = Sql(Mdb(3), "SELECT * FROM DATI ORDER BY c000, k001");
    for (auto& r : righe)
      for (auto& c : r) {
        char* fine = nullptr;
        const double v = std::strtod(c.c_str(), &fine);
        if (!c.empty() && fine && *fine == '\0' && c.find('.') != std::string::npos)
          c = std::to_string(std::round(v * 100) / 100);
      }
    return righe;
  }

  // A login of the current profile; its result.
  static bool Accedi() {
    int32_t hWnd = 0;
    return Collegamento_Server(hWnd);
  }

  // Every row of every table of a local database, table by table in creation order. Left out: the
  // columns of SINF that only a data server's login reply fills for the current system (its
  // library and index) and the database each system is read from.
  std::string Contenuto(int n) const {
    std::string out;
    for (const std::string& t : Tabelle(Mdb(n))) {
      out += "[" + t + "]";
      std::string colonne;
      for (const auto& c : Sql(Mdb(n), "PRAGMA table_info(\"" + t + "\")")) {
        if (c.size() > 1 && c[1] != "DBSQL" && !(t == "SINF" && (c[1] == "LIBS1" || c[1] == "IDX"))) colonne += (colonne.empty() ? "\"" : ", \"") + c[1] + "\"";
      }
      for (const auto& r : Sql(Mdb(n), "SELECT " + colonne + " FROM \"" + t + "\" ORDER BY rowid")) {
        for (const auto& c : r) out += c + "|";
        out += ";";
      }
    }
    return out;
  }

  std::unique_ptr<dataserver::DataServer> server_;
  PgCluster pg_;
};

}  // namespace kyx::test
