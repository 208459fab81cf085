// The replication run end to end: our data server on loopback, KYX_MASTER in PostgreSQL through
// ODBC, the window offscreen. What it writes is read back by psql and by the main program's own
// reading of KYX_MASTER, and compared byte for byte with the main program's own download of the
// same system.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "common/codifica_parametri.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "platform/files/files.h"
#include "platform/ini/ini_file.h"
#include "platform/text/cp1252.h"
#include "platform/vb/vb.h"
#include "server/master_sql.h"
#include "tests/replica/ambiente_replica.h"
#include "tools/dataserver/faults.h"

namespace kyx {
namespace {

using dataserver::Fault;
using dataserver::FaultType;
using dataserver::RequestKind;
namespace sample = dataserver::sample;

class ReplicaSql : public test::AmbienteReplica {
 protected:
  // One row of a master database, read as the main program reads it in its SQL mode.
  static std::string Immagine(const std::string& database, const std::string& tipo, const std::string& nome = "") {
    Server_Nome = "127.0.0.1";
    Nome_Utente = test::kUtente_Pg;
    Password_Utente = text::fixed(test::kPassword_Pg, 10, '^');
    EXPECT_TRUE(Apri_DB_SQL(database)) << Errore_DB_SQL;
    EXPECT_TRUE(Apri_Master());
    std::string dati;
    const bool trovata = Estrai_Da_MDB(tipo == "++" ? "++++++++++" : sample::kSales, tipo,
                                       tipo == "++" ? "++++++++++" : nome, dati, " ") != 0;
    Chiudi_DB_SQL();
    return trovata ? dati : "<missing>";
  }

  // The main program's own download of the sales system, through its socket client, into the
  // database KYXMASTER (our tool kyx-sqlmaster).
  void Scarica_Programma() {
    std::string errore;
    ASSERT_TRUE(pg_.CreateDatabase("KYXMASTER", &errore)) << errore;
    const std::string comando = std::string(KYX_SQLMASTER) + " --odbc '" + pg_.ConnectionString("KYXMASTER") +
                                "' --database KYXMASTER --store " + dir.file("server.db") + " --port " +
                                std::to_string(server_->port()) + " --user " + sample::kUser + " --password " +
                                sample::kPassword + " --system " + sample::kSales + " --table " +
                                dir.file("KYX.Tbl") + " --scratch " + dir.file("sqlmaster");
    ASSERT_EQ(std::system(comando.c_str()), 0) << comando;
  }
};

TEST_F(ReplicaSql, FillsTheMasterTableAsTheMainProgramReadsIt) {
  Replica({Voce()});
  EXPECT_TRUE(host.shown().empty());
  ASSERT_NO_FATAL_FAILURE(Scarica_Programma());

  // The rows: security row, systems list, one per kind, the elements and drill rows of every
  // layout, and per user of the list (both sample users have definitions in the system) the
  // filter and the structure.
  const std::string chiavi = pg_.Query("KYXREPLICA", "SELECT chiave FROM kyx_master ORDER BY chiave");
  const size_t n_layout = Immagine("KYXREPLICA", "L ").size() / 520;
  ASSERT_GE(n_layout, 2u);
  std::string attese = "++++++++++++++++++++++;VENDITE   A           ;";
  for (size_t i = 1; i <= n_layout; ++i) attese += "VENDITE   D_" + text::fixed(vb::Format(static_cast<int64_t>(i), "000"), 10) + ";";
  attese += "VENDITE   E           ;VENDITE   K           ;VENDITE   L           ;";
  for (size_t i = 1; i <= n_layout; ++i) attese += "VENDITE   L_" + text::fixed(vb::Format(static_cast<int64_t>(i), "000"), 10) + ";";
  attese += "VENDITE   UABIANCHI   ;VENDITE   UAROSSI     ;VENDITE   UFBIANCHI   ;VENDITE   UFROSSI     ;";
  attese += "VENDITE   V           ";
  EXPECT_EQ(chiavi, attese);

  // Every image is the main program's own download of it, byte for byte (drill images of layouts
  // without drill rows are empty in both).
  std::vector<std::pair<std::string, std::string>> righe{{"E ", ""}, {"A ", ""}, {"K ", ""}, {"V ", ""}, {"L ", ""},
                                                         {"UF", sample::kUser}, {"UA", sample::kUser}};
  for (size_t i = 1; i <= n_layout; ++i) {
    righe.emplace_back("L_", vb::Format(static_cast<int64_t>(i), "000"));
    righe.emplace_back("D_", vb::Format(static_cast<int64_t>(i), "000"));
  }
  for (const auto& [tipo, nome] : righe) {
    const std::string proprio = Immagine("KYXMASTER", tipo, nome);
    if (tipo != "D_") {
      EXPECT_GT(proprio.size(), 0u) << tipo << nome;
    }
    EXPECT_EQ(Immagine("KYXREPLICA", tipo, nome), proprio) << tipo << nome;
  }
  EXPECT_EQ(Immagine("KYXREPLICA", "E ").size(), 2u * 199);
  EXPECT_GT(Immagine("KYXREPLICA", "D_", "001").size(), 0u);
  EXPECT_GT(Immagine("KYXREPLICA", "UA", sample::kSecondUser).size(), 0u);

  // The security row: the whole login reply, scrambled; unscrambled it says "S" and names the
  // system at 71, as the main program checks it.
  const std::string sicurezza = Immagine("KYXREPLICA", "++");
  ASSERT_EQ(sicurezza.size(), 100u);
  std::string testo, check;
  Decodifica_Parametri(testo, sicurezza, check);
  EXPECT_EQ(testo.substr(0, 1), "S");
  EXPECT_EQ(testo.substr(70, 10), "VENDITE   ");
  EXPECT_EQ(Immagine("KYXMASTER", "++").size(), 1u);  // the tool keeps only the "S"

  // The status panel went through every step and ended with the run's message.
  const auto& p = host.panels();
  ASSERT_FALSE(p.empty());
  EXPECT_EQ(p.front(), "Stato=Inizializzazioni ...");
  EXPECT_EQ(p.back(), "Stato=Replica effettuata");
  const std::string passi[] = {"Stato=Connessione (1) ...",
                               "Stato=VENDITE: Aggiornamento Chiavi esterne",
                               "Stato=VENDITE: Aggiornamento Layout elemento 001/" + vb::Format(static_cast<int64_t>(n_layout), "000"),
                               "Stato=VENDITE: Aggiornamento Drill 001/" + vb::Format(static_cast<int64_t>(n_layout), "000"),
                               "Stato=VENDITE - BIANCHI: Aggiornamento Struttura utente", "Stato=VENDITE: Aggiornamento completato"};
  for (const std::string& t : passi) {
    EXPECT_NE(std::find(p.begin(), p.end(), t), p.end()) << t;
  }
  // The logins as the server received them: the entry's user and password, then each user of
  // the list with a blank password, on the same connection.
  std::vector<std::string> login;
  for (const auto& r : server_->Requests()) {
    if (r.kind == RequestKind::kReplicaLogin || r.kind == RequestKind::kUserLogin) login.push_back(r.text);
  }
  ASSERT_EQ(login.size(), 3u);
  EXPECT_EQ(login[0].substr(0, 56), "r00085ROSSI     ALFA      KYX-Replica    127.0.0.1      ");
  EXPECT_EQ(login[0].find_first_not_of("0123456789", 56), 61u);  // the local port in five digits
  EXPECT_EQ(login[0].substr(81), "0000000001");
  EXPECT_EQ(login[2].substr(0, 41), "s00085BIANCHI             KYX-Replica    ");
  // The window is back, on the entry it showed.
  EXPECT_TRUE(replica::frmBase->Enabled());
  EXPECT_EQ(host.pointer(), host::vbDefault);
}

// Every way an entry can fail after the table was reached leaves the rows of the last complete
// run as they were, with the failure's message.
TEST_F(ReplicaSql, AFailedEntryLeavesTheLastCompleteCopyWhole) {
  Replica({Voce()});
  ASSERT_TRUE(host.shown().empty());
  const std::string prima = Righe();
  ASSERT_NE(prima.find("VENDITE   UAROSSI"), std::string::npos);

  struct Caso {
    const char* nome;
    RequestKind kind;
    Fault fault;
    std::string password;
    std::vector<std::string> messaggi;
    const char* stato;  // the panel's last text
  };
  const Caso casi[] = {
      {"wrong password", RequestKind::kOther, {}, "BETA", {"L'utente ROSSI\r e/o la password sono errati"}, "Errore"},
      {"refused system", RequestKind::kReplicaLogin, Fault{.type = FaultType::kRefuseLogin, .refusal = dataserver::Refusal::kSystem},
       "", {"Il sistema informativo : VENDITE   \r\xE8 errato"}, "Errore"},
      {"silent greeting", RequestKind::kGreeting, Fault{.type = FaultType::kSilence}, "",
       {"NON risponde"}, "Errore"},
      {"greeting not 0", RequestKind::kGreeting, Fault{.type = FaultType::kStatus, .status = '9'}, "",
       {"NON ha risposto correttamente"}, "Errore"},
      {"login dropped", RequestKind::kReplicaLogin, Fault{.type = FaultType::kDropBefore}, "",
       {"Autenticazione\rin errore"}, "Errore"},
      {"user login refused", RequestKind::kUserLogin, Fault{.type = FaultType::kStatus, .status = '2', .on = 2}, "",
       {"Autenticazione\rin errore", "non completata"}, "Stato=VENDITE: Aggiornamento non completato"},
      {"block with another status", RequestKind::kLibrary, Fault{.type = FaultType::kStatus, .status = '8', .on = 3}, "",
       {"errore nella lettura dei dati", "non completata"}, "Stato=VENDITE: Aggiornamento non completato"},
      // The first user's filter cut short: its structure cannot be asked for, nor can the next
      // user be logged.
      {"connection dropped mid-transfer", RequestKind::kUserFile, Fault{.type = FaultType::kDropMidReply}, "",
       {"errore nella lettura dei dati", "errore di comunicazione", "Autenticazione\rin errore", "non completata"},
       "Stato=VENDITE: Aggiornamento non completato"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    server_->ClearFaults();
    if (c.kind != RequestKind::kOther) server_->Arm(c.kind, c.fault);
    Campi_Voce v = Voce();
    if (!c.password.empty()) v.txtASPassword = c.password;
    for (const auto& m : c.messaggi) host.expect(m);
    const size_t gia = host.shown().size();
    Replica({v});
    EXPECT_EQ(host.pending(), 0u);
    for (size_t i = gia; i < host.shown().size(); ++i) {
      if (host.shown()[i].title == "Q-KRE Replica      ERRORE") {
        EXPECT_EQ(host.shown()[i].style, host::vbCritical);
      }
    }
    EXPECT_EQ(Righe(), prima);
    const std::string atteso = std::string(c.stato).rfind("Stato=", 0) == 0 ? c.stato : std::string("Stato=") + c.stato;
    // After the entry the run ends ("Errore" stays) or goes on to "Replica effettuata".
    const auto& p = host.panels();
    EXPECT_NE(std::find(p.begin(), p.end(), atteso), p.end());
    EXPECT_EQ(p.back(), atteso == "Stato=Errore" ? atteso : "Stato=Replica effettuata");
    EXPECT_TRUE(replica::frmBase->Enabled());
  }
}

TEST_F(ReplicaSql, AnUnreachableDatabaseIsReportedAndTheNextEntryStillRuns) {
  Campi_Voce rotta = Voce();
  rotta.txtSQLDataBase = "NESSUNO";
  Campi_Voce saltata = Voce();
  saltata.Check1 = 0;
  saltata.txtSQLDataBase = "NESSUNO";
  host.expect("Errore Numero  : ");
  Replica({rotta, saltata, Voce()});
  ASSERT_EQ(host.shown().size(), 1u);
  EXPECT_NE(host.shown()[0].text.find("Totale errori  : 1"), std::string::npos);
  EXPECT_NE(host.shown()[0].text.find("Stato SQL    : "), std::string::npos);
  EXPECT_EQ(host.shown()[0].title, "Q-KRE Replica      ERRORE");
  // Only the third entry reached the data server, and its table is whole.
  EXPECT_EQ(server_->connections(), 1);
  EXPECT_NE(Righe().find("VENDITE   UAROSSI"), std::string::npos);
  EXPECT_EQ(host.panels().back(), "Stato=Replica effettuata");
}

TEST_F(ReplicaSql, ADamagedEntryIsPassedOverNotCopiedAsTheOneBefore) {
  Campi_Voce altra = Voce();
  altra.txtSQLDataBase = "ALTRO";
  ASSERT_TRUE(Scrivi_Voce(2, 2, altra));
  ini::IniFile(dir.file("Kyx_R.INI")).Write("Generale", "Check-002", "1");
  ASSERT_TRUE(Scrivi_Voce(1, 2, Voce()));
  host.expect("Errore di integrit\xE0");
  replica::frmBase->cmdReplica_Click();
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(server_->connections(), 1);
  EXPECT_NE(Righe().find("VENDITE   UAROSSI"), std::string::npos);
  EXPECT_EQ(host.panels().back(), "Stato=Replica effettuata");
}

TEST_F(ReplicaSql, TwoEntriesOnOneDatabaseLeaveTheLaterAndAViewIsNoTable) {
  Campi_Voce ordini = Voce();
  ordini.txtSistemaInf = sample::kOrders;
  ordini.txtIdxSi = "2";
  Replica({Voce(), ordini});
  EXPECT_TRUE(host.shown().empty());
  const std::string righe = Righe();
  EXPECT_EQ(righe.find("VENDITE"), std::string::npos);
  EXPECT_NE(righe.find("ORDINI    UAROSSI"), std::string::npos);

  // A view of that name does not count as the table: making the table fails, and says why.
  std::string errore;
  ASSERT_TRUE(pg_.CreateDatabase("VISTA", &errore)) << errore;
  ASSERT_EQ(pg_.Query("VISTA", "CREATE VIEW kyx_master AS SELECT 1 AS x"), "");
  Campi_Voce vista = Voce();
  vista.txtSQLDataBase = "VISTA";
  host.expect("Totale errori  : 1");
  const int prima = server_->connections();
  Replica({vista});
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(server_->connections(), prima);
}

TEST_F(ReplicaSql, NoFlaggedEntryTouchesNothingAndAMissingTableStopsTheRun) {
  Campi_Voce v = Voce();
  v.Check1 = 0;
  Replica({v, v});
  EXPECT_TRUE(host.shown().empty());
  EXPECT_EQ(server_->connections(), 0);
  EXPECT_EQ(host.panels().back(), "Stato=Replica effettuata");
  EXPECT_EQ(Voce_Corrente, 1);  // the window is back on the entry it showed
  EXPECT_EQ(pg_.Query("KYXREPLICA", "SELECT count(*) FROM pg_tables WHERE tablename = 'kyx_master'"), "0");

  // Without the character table nothing is contacted.
  ASSERT_TRUE(files::remove_file(dir.file("Kyx_R.Tbl")));
  host.expect("Kyx_R.Tbl");
  Replica({Voce()});
  EXPECT_EQ(server_->connections(), 0);
  EXPECT_EQ(host.panels().back(), "Stato=Errore");
}

}  // namespace
}  // namespace kyx
