// The master table as the replication program Kyx_R fills it, read by the main program: Kyx_R
// copies the sample's two systems from our data server into their PostgreSQL databases, each
// into its own KYX_MASTER; a login through that table must then give the local databases of a
// login to the data server, and an elaboration in "SQL" mode the result of the same elaboration
// in "AS400" mode.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "common/stato.h"
#include "engine/modi_esecuzione.h"
#include "replica/esecuzione.h"
#include "replica/master.h"
#include "replica/socket_replica.h"
#include "replica/stato_replica.h"
#include "tests/server/sql/ambiente_sql.h"

namespace kyx {
namespace {

namespace sample = dataserver::sample;

// The run's window reduced to its entries: the run shows each entry in turn and reads its fields.
class Voci_In_Memoria : public Finestra_Replica {
 public:
  explicit Voci_In_Memoria(std::vector<Campi_Voce> voci) : voci_(std::move(voci)) {
    Numero_Voci = static_cast<int16_t>(voci_.size());
    Voce_Corrente = 1;
  }
  void Salva_Parametri() override {}
  bool Carica_Parametri() override { return Voce_Corrente >= 1 && Voce_Corrente <= Numero_Voci; }
  Campi_Voce Campi() const override { return voci_[static_cast<std::size_t>(Voce_Corrente - 1)]; }
  void Abilita(bool) override {}

 private:
  std::vector<Campi_Voce> voci_;
};

class ReplicaLetta : public test::AmbienteSql {
 protected:
  void SetUp() override {
    AmbienteSql::SetUp();
    if (HasFatalFailure()) return;
    dir.write("Kyx_R.Tbl", dir.read("KYX.Tbl"));
    stato_replica::reset();
    master::reset();
    Attese_Replica.Tentativi_Massimi = 100;
  }
  void TearDown() override {
    master::reset();
    sock_replica::reset();
    stato_replica::reset();
  }

  // An entry that copies system number `indice` into `database`.
  Campi_Voce Voce(const std::string& sistema, const std::string& indice, const std::string& database) const {
    Campi_Voce c;
    c.txtASConn = "127.0.0.1";
    c.txtASPorta = std::to_string(server_->port());
    c.txtASUtente = sample::kUser;
    c.txtASPassword = sample::kPassword;
    c.txtSQLServer = "127.0.0.1";
    c.txtSQLDataBase = database;
    c.txtSQLUtente = sample::kUser;
    c.txtSQLPassword = sample::kPassword;
    c.txtSistemaInf = sistema;
    c.txtIdxSi = indice;
    c.Check1 = 1;
    return c;
  }
};

TEST_F(ReplicaLetta, TheLoginThroughTheCopiedTableLoadsWhatTheDataServerGives) {
  // The reference: a login to the data server and an elaboration in "AS400" mode.
  Connesso = Accedi();
  ASSERT_TRUE(Connesso);
  const std::string definizioni = Contenuto(0), descrizioni = Contenuto(1), dati = Contenuto(2);
  ASSERT_EQ(Modo_Esecuzione(), "AS400");
  ASSERT_NO_FATAL_FAILURE(Elabora(1, {7, 8}, {}));  // zones and agents
  const auto atteso = Risultato();
  ASSERT_GE(atteso.size(), 3u);
  Connesso = Disconnetti();

  // Only Kyx_R's rows: the tables the tool wrote are dropped, so the run makes them anew (the
  // descriptions and the data tables stay, Kyx_R copies none).
  for (const char* database : {"KYXMASTER", "KYXORD"}) ASSERT_EQ(pg_.Query(database, "DROP TABLE kyx_master"), "");
  Voci_In_Memoria voci({Voce(sample::kSales, "1", "KYXMASTER"), Voce(sample::kOrders, "2", "KYXORD")});
  Esegui_Replica(voci);
  ASSERT_TRUE(host.shown().empty()) << host.shown().front().text;
  ASSERT_EQ(host.panels().back(), "Stato=Replica effettuata");

  // A fresh data folder, then the same system through the table Kyx_R filled.
  ASSERT_NO_FATAL_FAILURE(Nuova_Cartella_Sql());
  server_->ClearRequests();
  Connesso = Accedi();
  ASSERT_TRUE(Connesso);
  EXPECT_TRUE(host.shown().empty());
  EXPECT_EQ(Contenuto(0), definizioni);
  EXPECT_EQ(Contenuto(1), descrizioni);
  EXPECT_EQ(Contenuto(2), dati);
  ASSERT_EQ(Modo_Esecuzione(), "SQL");
  ASSERT_NO_FATAL_FAILURE(Elabora(1, {7, 8}, {}));
  EXPECT_EQ(Risultato(), atteso);
  EXPECT_TRUE(server_->Requests().empty()) << "nothing is asked of the data server";
  Connesso = Disconnetti();
}

}  // namespace
}  // namespace kyx
