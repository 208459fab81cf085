// The login against our real data server (tools/dataserver) on 127.0.0.1, serving the generated
// small sample from its SQLite file: the whole sequence, a second login, and its injected faults.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "common/impostazioni.h"
#include "platform/text/cp1252.h"
#include "server/collegamento.h"
#include "server/risposta.h"
#include "tests/server/ambiente_collegamento.h"
#include "tests/server/server_dati.h"
#include "tools/dataserver/generator.h"
#include "tools/dataserver/server.h"

namespace kyx {
namespace {

namespace ds = dataserver;
using Clock = std::chrono::steady_clock;

class DataServerTest : public test::AmbienteCollegamento {
 protected:
  DataServerTest() {
    server_ = test::Avvia_Server_Dati(dir);
    Ini("[001]\nNome=VENDITE\n");
  }
  ~DataServerTest() override {
    sock::reset();
    server_->Stop();
  }
  bool Accedi() {
    int32_t hWnd = 0;
    return Collegamento_Server(hWnd);
  }
  int64_t Righe(int db, const std::string& tabella) {
    return std::stoll(test::Sql(Mdb(db), "SELECT COUNT(*) FROM " + tabella)[0][0]);
  }
  std::unique_ptr<ds::DataServer> server_;
};

TEST_F(DataServerTest, LoginLoadsTheSampleAndASecondLoginAsksOnlyForChanges) {
  ASSERT_TRUE(Accedi());
  EXPECT_TRUE(host.shown().empty());
  EXPECT_EQ(Stati().front(), "Aggiornamento Chiavi esterne");
  EXPECT_EQ(Stati().back(), "Ricarica");
  EXPECT_EQ(Libreria_Sistema, ds::sample::kSalesLibrary);
  EXPECT_EQ(Db0("SELECT SINF FROM SINF ORDER BY SINF"), "ORDINI;VENDITE");
  for (const char* t : {"CHIAVI", "VALORI", "AREE", "LAYOUT", "LAY_ELEM", "CHIAVI_EXT"}) {
    EXPECT_GT(Righe(0, t), 0) << t;
  }
  const int64_t descrizioni = Righe(1, "KYX_DS_20F");
  EXPECT_GT(descrizioni, 0);
  EXPECT_EQ(Leggi_Ini("001", "Data", ""), "20240701120000");
  EXPECT_TRUE(files::file_exists(Mdb(2)));
  EXPECT_TRUE(Nel_Dati("KYX_*.DAT").empty());
  const auto prima = server_->Requests();
  ASSERT_FALSE(prima.empty());
  EXPECT_EQ(prima.front().text.size(), 91u);
  EXPECT_EQ(prima.front().text.substr(0, 31), "u00085ROSSI     ALFA      -KYX-");
  Disconnetti();

  server_->ClearRequests();
  ASSERT_TRUE(Accedi());
  EXPECT_EQ(Righe(1, "KYX_DS_20F"), descrizioni);
  std::vector<std::string> d;
  for (const auto& r : server_->Requests())
    if (r.kind == ds::RequestKind::kDescriptions) d.push_back(r.text);
  ASSERT_FALSE(d.empty());
  EXPECT_EQ(d.front(), "d0001520240701120000" "0");
  Disconnetti();
}

TEST_F(DataServerTest, InjectedFaultsEndTheLoginWithTheirMessageBeforeTheStructureCheck) {
  ASSERT_TRUE(Accedi());
  Disconnetti();
  const std::string dati = dir.read("Dati/KYX_2.MDB");
  struct Caso {
    const char* nome;
    ds::RequestKind kind;
    ds::FaultType tipo;
    const char* messaggio;
  };
  const std::vector<Caso> casi = {
      {"silence on a library block", ds::RequestKind::kLibrary, ds::FaultType::kSilence, "Errore 012"},
      {"drop before the user file", ds::RequestKind::kUserFile, ds::FaultType::kDropBefore, "Errore 012"},
      {"refused elements with payload", ds::RequestKind::kElements, ds::FaultType::kStatusPayload, "Errore 013"},
      {"oversized drill", ds::RequestKind::kDrill, ds::FaultType::kOversized, "Errore 014"},
      {"short library block", ds::RequestKind::kLibrary, ds::FaultType::kShortPayload, "Errore 014"},
      {"drop in a description block", ds::RequestKind::kDescriptions, ds::FaultType::kDropMidReply, "Errore 014"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    ds::Fault f;
    f.type = c.tipo;
    f.on = c.kind == ds::RequestKind::kDescriptions ? 1 : 2;  // the sample sends one description block
    server_->ClearFaults();
    server_->Arm(c.kind, f);
    host.expect(c.messaggio);
    const auto inizio = Clock::now();
    EXPECT_FALSE(Accedi());
    EXPECT_LT(Clock::now() - inizio, std::chrono::seconds(5));
    EXPECT_EQ(host.pending(), 0u);
    EXPECT_FALSE(Collegamento_Attivo());
    EXPECT_EQ(dir.read("Dati/KYX_2.MDB"), dati);
  }
  server_->ClearFaults();
  ds::Fault rifiuto;
  rifiuto.type = ds::FaultType::kRefuseLogin;
  rifiuto.refusal = ds::Refusal::kUser;
  server_->Arm(ds::RequestKind::kLogin, rifiuto);
  host.expect("Utente non inserito nelle tabelle");
  EXPECT_FALSE(Accedi());
  EXPECT_EQ(host.pending(), 0u);
}

// A server that cannot be reached ends the login at once with no message box, as the login shows
// none there, but the status bar names the server and says why; the program stays disconnected.
TEST_F(DataServerTest, AServerThatCannotBeReachedIsNamedInTheStatusBar) {
  struct Caso {
    const char* nome;
    std::string server, porta, motivo;
  };
  const std::string libera = std::to_string(server_->port());
  server_->Stop();  // nobody listens on that port any more
  const std::vector<Caso> casi = {
      {"wrong port", "127.0.0.1", libera, "refused"},
      {"no server name", "", libera, "non corrisponde a nessun indirizzo"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    Server_Nome = c.server;
    Server_Porta = c.porta;
    const auto inizio = Clock::now();
    EXPECT_FALSE(Accedi());
    EXPECT_LT(Clock::now() - inizio, std::chrono::seconds(5));
    EXPECT_TRUE(host.shown().empty());
    ASSERT_FALSE(Stati().empty());
    const std::string stato = Stati().back();
    EXPECT_EQ(stato, Esito_Collegamento);
    EXPECT_EQ(stato.rfind("Collegamento con il server " + c.server + " porta " + c.porta + " non riuscito: ", 0), 0u)
        << stato;
    EXPECT_NE(stato.find(c.motivo), std::string::npos) << stato;
    EXPECT_FALSE(Collegamento_Attivo());
  }
}

}  // namespace
}  // namespace kyx
