// However the data server's replies are cut into segments (a head split from its payload or run
// into it, a block arriving byte by byte or in uneven pieces with pauses between them), a login
// against our real data server (tools/dataserver) stores exactly what it stores from whole
// replies: the same definitions and the same descriptions, table by table.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "platform/text/cp1252.h"
#include "server/collegamento.h"
#include "tests/server/ambiente_collegamento.h"
#include "tests/server/server_dati.h"
#include "tools/dataserver/generator.h"
#include "tools/dataserver/server.h"

namespace kyx {
namespace {

namespace ds = dataserver;

class SegmentiTest : public test::AmbienteCollegamento {
 protected:
  SegmentiTest() {
    // Long enough for a reply paused a few times, short enough that a lost byte fails soon.
    Attese.Attesa_Lunga = std::chrono::milliseconds(2000);
    server_ = test::Avvia_Server_Dati(dir);
  }
  ~SegmentiTest() override {
    sock::reset();
    server_->Stop();
  }

  // A first login from scratch: no databases, no work files, no date of a last update.
  bool Accesso_Da_Capo() {
    Disconnetti();
    stato_db::reset();
    for (int n = 0; n <= 3; ++n) files::remove_file(Mdb(n));
    Ini("[001]\nNome=VENDITE\n");
    Apri_MDB1(false, false);
    int32_t hWnd = 0;
    return Collegamento_Server(hWnd);
  }

  // Every table of a database with its rows in a fixed order, as text.
  std::map<std::string, std::string> Contenuto(int db) const {
    std::map<std::string, std::string> out;
    for (const std::string& t : test::Tabelle(Mdb(db))) {
      // Every column in the order: no row depends on the order the rows were stored in.
      const std::size_t colonne = test::Sql(Mdb(db), "PRAGMA table_info(\"" + t + "\")").size();
      std::string ordine;
      for (std::size_t c = 1; c <= colonne; ++c) ordine += (c > 1 ? "," : "") + std::to_string(c);
      out[t] = Unisci(test::Sql(Mdb(db), "SELECT * FROM \"" + t + "\" ORDER BY " + ordine));
    }
    return out;
  }

  std::unique_ptr<ds::DataServer> server_;
};

TEST_F(SegmentiTest, RepliesCutAnywhereLoadTheSameDefinitionsAndDescriptionsAsWholeReplies) {
  ASSERT_TRUE(Accesso_Da_Capo());
  const auto definizioni = Contenuto(0);
  const auto descrizioni = Contenuto(1);
  // The sample reaches every table the comparison relies on.
  for (const char* t : {"SINF", "CHIAVI", "VALORI", "AREE", "LAYOUT", "LAY_ELEM", "LAY_FILTRO", "LAY_DRILL", "FILTRO",
                        "STRUTTURA", "CHIAVI_EXT"}) {
    ASSERT_TRUE(definizioni.count(t)) << t;
    EXPECT_FALSE(definizioni.at(t).empty()) << t;
  }
  ASSERT_TRUE(descrizioni.count("KYX_DS_20F"));
  EXPECT_FALSE(descrizioni.at("KYX_DS_20F").empty());
  const std::size_t scambi = server_->Requests().size();

  for (uint64_t seme : {1u, 2u, 3u}) {
    SCOPED_TRACE("seed " + std::to_string(seme));
    server_->ClearRequests();
    // Pieces of 1 to 1,500 bytes with pauses of up to 2 ms, on every exchange of
    // every kind, the greeting included.
    for (int k = 0; k < static_cast<int>(ds::RequestKind::kCount); ++k) {
      server_->Arm(static_cast<ds::RequestKind>(k),
                   ds::Fault{.type = ds::FaultType::kChunked, .pause_ms = 2, .seed = seme, .max_chunk = 1500, .on = 0});
    }
    ASSERT_TRUE(Accesso_Da_Capo());
    server_->ClearFaults();
    EXPECT_TRUE(host.shown().empty());
    EXPECT_EQ(server_->Requests().size(), scambi);
    const auto d0 = Contenuto(0);
    const auto d1 = Contenuto(1);
    ASSERT_EQ(d0.size(), definizioni.size());
    for (const auto& [tabella, righe] : definizioni) EXPECT_EQ(d0.at(tabella), righe) << tabella;
    ASSERT_EQ(d1.size(), descrizioni.size());
    for (const auto& [tabella, righe] : descrizioni) EXPECT_EQ(d1.at(tabella), righe) << tabella;
  }
}

}  // namespace
}  // namespace kyx
