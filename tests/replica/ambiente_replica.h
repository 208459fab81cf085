#pragma once
// The replication program against real peers: our data server on 127.0.0.1 serving the small
// sample, a throw-away PostgreSQL cluster reached through psqlODBC as SQL Server would be, the
// program folder ($KYX_HOME) with Kyx_R.Tbl, and the window on the offscreen platform.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/host/scripted_host.h"
#include "replica/frm_base.h"
#include "replica/master.h"
#include "replica/socket_replica.h"
#include "replica/stato_replica.h"
#include "replica/voci.h"
#include "server/socket.h"
#include "tests/server/server_dati.h"
#include "tests/server/tabella.h"
#include "tests/support/pg_cluster.h"
#include "tests/support/temp_dir.h"
#include "tools/dataserver/generator.h"

namespace kyx::test {

inline constexpr char kUtente_Pg[] = "kyxrep";
inline constexpr char kPassword_Pg[] = "segreta";

class AmbienteReplica : public ::testing::Test {
 protected:
  AmbienteReplica() : pg_(kUtente_Pg, kPassword_Pg) {}

  void SetUp() override {
    setenv("KYX_HOME", dir.path().c_str(), 1);
    sock::reset();
    master::reset();
    stato_replica::reset();
    Attese_Replica.Tentativi_Massimi = 100;  // a silent server is given up after a second
    ASSERT_FALSE(Genera_Tabella(dir).empty()) << "the table generator did not run";
    dir.write("Kyx_R.Tbl", dir.read("KYX.Tbl"));
    server_ = Avvia_Server_Dati(dir);
    std::string errore;
    ASSERT_TRUE(pg_.Start(&errore)) << errore;
    ASSERT_TRUE(pg_.CreateDatabase("KYXREPLICA", &errore)) << errore;
  }
  void TearDown() override {
    if (replica::frmBase.Loaded()) replica::frmBase->Unload();
    QCoreApplication::processEvents();
    sock::reset();
    sock_replica::reset();
    master::reset();
    server_->Stop();
    unsetenv("KYX_HOME");
  }

  // An entry that copies the sample's sales system into KYXREPLICA.
  Campi_Voce Voce() const {
    Campi_Voce c;
    c.txtASConn = "127.0.0.1";
    c.txtASPorta = std::to_string(server_->port());
    c.txtASUtente = dataserver::sample::kUser;
    c.txtASPassword = dataserver::sample::kPassword;
    c.txtSQLServer = "127.0.0.1";
    c.txtSQLDataBase = "KYXREPLICA";
    c.txtSQLUtente = kUtente_Pg;
    c.txtSQLPassword = kPassword_Pg;
    c.txtSistemaInf = dataserver::sample::kSales;
    c.txtIdxSi = "1";
    c.Check1 = 1;
    return c;
  }

  // Writes the entries and runs the replication from a freshly loaded window, as the button does.
  void Replica(const std::vector<Campi_Voce>& voci) {
    if (replica::frmBase.Loaded()) replica::frmBase->Unload();
    QCoreApplication::processEvents();
    for (size_t i = 0; i < voci.size(); ++i) {
      ASSERT_TRUE(Scrivi_Voce(static_cast<int16_t>(i + 1), static_cast<int16_t>(voci.size()), voci[i]));
    }
    replica::frmBase->cmdReplica_Click();
  }

  // The rows of the table as "key=md5 of the data" in key order (psql: an independent reader).
  std::string Righe(const std::string& database = "KYXREPLICA") const {
    return pg_.Query(database, "SELECT chiave || '=' || coalesce(md5(dati), 'NULL') FROM kyx_master ORDER BY chiave");
  }

  TempDir dir;
  host::ScriptedHost host;
  std::unique_ptr<dataserver::DataServer> server_;
  PgCluster pg_;
};

}  // namespace kyx::test
