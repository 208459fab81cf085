// Local data sets against our real data server (and a SQLite file standing in for a system's SQL
// Server database): registration, download, refresh, cancel, deletion, and what every injected
// fault leaves in KYX_2.MDB, read back through the SQLite C API.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "db/mdb0.h"
#include "platform/data/sqlite_connection.h"
#include "server/agganci_server.h"
#include "server/collegamento.h"
#include "server/dati_locali.h"
#include "server/risposta.h"
#include "tests/server/ambiente_collegamento.h"
#include "tests/server/server_dati.h"
#include "tools/dataserver/server.h"

namespace kyx {
namespace {

namespace ds = dataserver;

class DatiLocaliTest : public test::AmbienteCollegamento {
 protected:
  DatiLocaliTest() {
    server_ = test::Avvia_Server_Dati(dir);
    Ini("[001]\nNome=VENDITE\n");
    int32_t hWnd = 0;
    EXPECT_TRUE(Collegamento_Server(hWnd));
    Connesso = true;
    EXPECT_TRUE(Apri_MDB0(false));
    EXPECT_TRUE(Apri_MDB2(false, false));
    // The sample keeps ORDINI on SQL Server: here both systems come from the data server.
    EXPECT_TRUE(Cn_MDB0->Execute("UPDATE SINF SET DBSQL=''").ok());
    server_->ClearRequests();
  }
  ~DatiLocaliTest() override {
    sock::reset();
    server_->Stop();
  }

  // The server database's answer to `sql`.
  std::vector<std::vector<std::string>> Server(const std::string& sql) { return test::Sql(dir.file("server.db"), sql); }
  std::vector<std::vector<std::string>> Locale(const std::string& sql) { return test::Sql(Mdb(2), sql); }
  std::string Uno(const std::vector<std::vector<std::string>>& r) { return r.empty() || r[0].empty() ? "?" : r[0][0]; }
  // Count and total of the first value slot of a system's records in set n (the local table).
  std::string Impronta(const std::string& sistema, int n) {
    return Uno(Locale("SELECT COUNT(*) || '/' || printf('%.3f', TOTAL(V_001_01)) FROM KYX_D0_00F_" + sistema +
                      " WHERE IDX=" + std::to_string(n)));
  }
  std::string Impronta_Server(const std::string& libreria, const std::string& filtro = "") {
    return Uno(Server("SELECT COUNT(*) || '/' || printf('%.3f', TOTAL(ROUND(V_001_01, 3))) FROM \"" + libreria +
                      "/KYX_D0_00F\" " + filtro));
  }
  // NUM_REC and STATO of a register row.
  std::string Registro(int n, const std::string& sistema) {
    return Uno(Locale("SELECT NUM_REC || '|' || STATO FROM KYX_CARICATI WHERE IDX=" + std::to_string(n) +
                      " AND SINF='" + sistema + "'"));
  }
  // A new set n with the menu's filter, registered and downloaded.
  Menu_Dati Nuovo(int n, const std::string& filtro = "") {
    Menu_Dati m;
    m.Elemento_Nuovo = m.Elemento_Carica = n;
    m.Filtro = filtro;
    EXPECT_TRUE(Registra_Dati_Locali(m, [](const std::string& f, const std::string&) { return f; }));
    Carica_Dati_Locali(m);
    return m;
  }
  std::vector<std::string> Richieste(ds::RequestKind kind) {
    std::vector<std::string> out;
    for (const auto& r : server_->Requests())
      if (r.kind == kind) out.push_back(r.text);
    return out;
  }

  std::unique_ptr<ds::DataServer> server_;
};

TEST_F(DatiLocaliTest, NewSetDownloadsEverySystemAsTheServerHoldsIt) {
  // The filter is the menu's for the current system; another system gets its own translation,
  // made from the menu's text each time.
  const std::string filtro = "where (k_001 in('" + Uno(Server("SELECT K_001 FROM \"LIBVEN/KYX_D0_00F\" LIMIT 1")) + "')) ";
  Menu_Dati m;
  m.Elemento_Nuovo = m.Elemento_Carica = 3;
  m.Filtro = filtro;
  std::vector<std::string> tradotti;
  ASSERT_TRUE(Registra_Dati_Locali(m, [&](const std::string& f, const std::string& s) {
    tradotti.push_back(f);
    return s == "ORDINI" ? std::string() : f;
  }));
  EXPECT_EQ(tradotti, std::vector<std::string>{filtro});
  EXPECT_EQ(Locale("SELECT SINF, NUM_REC, STATO, FILTRO = FILTRO_SQL FROM KYX_CARICATI WHERE IDX=3 ORDER BY SINF"),
            (std::vector<std::vector<std::string>>{{"ORDINI", "0", "*", "1"}, {"VENDITE", "0", "*", "1"}}));

  Carica_Dati_Locali(m);
  EXPECT_TRUE(host.shown().empty());
  EXPECT_EQ(Impronta("VENDITE", 3), Impronta_Server("LIBVEN", filtro));
  EXPECT_EQ(Impronta("ORDINI", 3), Impronta_Server("LIBORD"));
  const std::string ven = Uno(Server("SELECT COUNT(*) FROM \"LIBVEN/KYX_D0_00F\" " + filtro));
  const std::string ord = Uno(Server("SELECT COUNT(*) FROM \"LIBORD/KYX_D0_00F\""));
  EXPECT_EQ(Registro(3, "VENDITE"), ven + "| ");
  EXPECT_EQ(Registro(3, "ORDINI"), ord + "| ");
  EXPECT_EQ(m.Record_Totali, std::stoll(ven) + std::stoll(ord));
  // The keys arrive as the server keeps them, blank-padded to the key's length.
  EXPECT_EQ(Locale("SELECT COUNT(*) FROM KYX_D0_00F_VENDITE WHERE IDX=3 AND K_001 NOT IN "
                   "(SELECT K_001 FROM KYX_D0_00F_VENDITE WHERE IDX=3 LIMIT 1)"),
            (std::vector<std::vector<std::string>>{{"0"}}));

  // The requests: the data-set record, then the first block with its shape, library and filter.
  const auto l = Richieste(ds::RequestKind::kLayout);
  ASSERT_EQ(l.size(), 2u);
  EXPECT_EQ(l[0].size(), 4474u);
  EXPECT_EQ(l[0].substr(0, 13), "l04462D000000");
  const auto e = Richieste(ds::RequestKind::kDataSetFirst);
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[0].size(), 538u);
  EXPECT_EQ(e[0].substr(16), "LIBORD" + std::string(4 + 512, ' '));
  EXPECT_EQ(e[1].substr(16, 10 + filtro.size()), "LIBVEN    " + filtro);
  EXPECT_FALSE(Richieste(ds::RequestKind::kDataSetNext).empty());
  // The record count was shown after every block.
  bool numero = false;
  for (const auto& p : host.panels()) numero = numero || p.rfind("Numero", 0) == 0;
  EXPECT_TRUE(numero);
}

TEST_F(DatiLocaliTest, ARefreshReplacesTheSetAndDeletingRemovesItEverywhere) {
  Nuovo(1);
  Nuovo(2);
  const std::string prima = Impronta("VENDITE", 1);
  // Every field of every record, in the order they came, and how many records each IDX holds.
  auto Righe = [&](const std::string& sistema) {
    return Locale("SELECT * FROM KYX_D0_00F_" + sistema + " WHERE IDX=1 ORDER BY rowid");
  };
  auto Per_Idx = [&](const std::string& sistema) {
    return Locale("SELECT IDX, COUNT(*) FROM KYX_D0_00F_" + sistema + " GROUP BY IDX ORDER BY IDX");
  };
  const auto vendite = Righe("VENDITE"), ordini = Righe("ORDINI");
  const auto idx_vendite = Per_Idx("VENDITE"), idx_ordini = Per_Idx("ORDINI");
  ASSERT_EQ(idx_vendite.size(), 2u);
  EXPECT_EQ(idx_vendite[0], (std::vector<std::string>{"1", std::to_string(vendite.size())}));
  EXPECT_EQ(idx_vendite[1], (std::vector<std::string>{"2", std::to_string(vendite.size())}));
  const std::string registro = Registro(1, "VENDITE");
  server_->ClearRequests();
  Menu_Dati m;
  m.Elemento_Carica = 1;
  Carica_Dati_Locali(m);
  EXPECT_EQ(Impronta("VENDITE", 1), prima);
  EXPECT_EQ(Uno(Locale("SELECT COUNT(*) FROM KYX_D0_00F_VENDITE WHERE IDX < 0")), "0");
  EXPECT_EQ(Righe("VENDITE"), vendite);
  EXPECT_EQ(Righe("ORDINI"), ordini);
  EXPECT_EQ(Per_Idx("VENDITE"), idx_vendite);
  EXPECT_EQ(Per_Idx("ORDINI"), idx_ordini);
  EXPECT_EQ(Registro(1, "VENDITE"), registro);

  ASSERT_TRUE(Elimina_Dati_Locali(1));
  EXPECT_EQ(Uno(Locale("SELECT COUNT(*) FROM KYX_CARICATI WHERE IDX=1")), "0");
  EXPECT_EQ(Impronta("VENDITE", 1), "0/0.000");
  EXPECT_EQ(Impronta("ORDINI", 1), "0/0.000");
  EXPECT_EQ(Impronta("VENDITE", 2), prima);
  EXPECT_EQ(Uno(Locale("SELECT COUNT(*) FROM KYX_CARICATI WHERE IDX=2")), "2");
}

// A system whose code is not a plain SQL name has its table quoted where it is made; its rows are
// deleted with the data set just the same.
TEST_F(DatiLocaliTest, DeletingTheSetOfASystemWhoseCodeIsNotAPlainNameDeletesItsRows) {
  ASSERT_TRUE(Cn_MDB2->Execute("CREATE TABLE \"KYX_D0_00F_VEN-1\" (IDX INTEGER)").ok());
  ASSERT_TRUE(Cn_MDB2->Execute("INSERT INTO \"KYX_D0_00F_VEN-1\" VALUES (7), (7), (8)").ok());
  ASSERT_TRUE(Cn_MDB2->Execute("INSERT INTO KYX_CARICATI (IDX, SINF, NUM_REC, STATO) VALUES (7, 'VEN-1', 2, ' ')").ok());
  ASSERT_TRUE(Elimina_Dati_Locali(7));
  EXPECT_EQ(Uno(Locale("SELECT GROUP_CONCAT(IDX) FROM \"KYX_D0_00F_VEN-1\"")), "8");
  EXPECT_EQ(Uno(Locale("SELECT COUNT(*) FROM KYX_CARICATI WHERE IDX=7")), "0");
}

TEST_F(DatiLocaliTest, ACancelHalfWayKeepsTheBlocksSoFarMarkedUnfinished) {
  Menu_Dati m;
  m.Elemento_Nuovo = m.Elemento_Carica = 1;
  ASSERT_TRUE(Registra_Dati_Locali(m, [](const std::string& f, const std::string&) { return f; }));
  host.on_pump = [&] {
    if (m.Record_Totali > 0) m.Annulla = true;
  };
  Carica_Dati_Locali(m);
  host.on_pump = nullptr;
  ASSERT_GT(m.Record_Totali, 0);
  const std::string n = std::to_string(m.Record_Totali);
  EXPECT_EQ(Registro(1, "ORDINI"), n + "|*");
  EXPECT_EQ(Uno(Locale("SELECT COUNT(*) FROM KYX_D0_00F_ORDINI WHERE IDX=1")), n);
  // The server was told, and the next system was not asked for.
  EXPECT_EQ(Richieste(ds::RequestKind::kDataSetCancel).size(), 1u);
  EXPECT_EQ(Richieste(ds::RequestKind::kDataSetFirst).size(), 1u);
  EXPECT_EQ(Registro(1, "VENDITE"), "0|*");
  EXPECT_TRUE(Collegamento_Attivo());

  // The link is still in step: the set loads whole on the next try.
  Menu_Dati r;
  r.Elemento_Carica = 1;
  Carica_Dati_Locali(r);
  EXPECT_TRUE(host.shown().empty());
  EXPECT_EQ(Impronta("ORDINI", 1), Impronta_Server("LIBORD"));
  EXPECT_EQ(Impronta("VENDITE", 1), Impronta_Server("LIBVEN"));
  EXPECT_EQ(Registro(1, "ORDINI"), Uno(Server("SELECT COUNT(*) FROM \"LIBORD/KYX_D0_00F\"")) + "| ");
}

TEST_F(DatiLocaliTest, ARecordTheDatabaseRefusesStopsThatSystemAndTheNextStillLoads) {
  // The local table refuses records after the first 50 of set 1: ORDINI fails half-way, its
  // blocks so far kept under "*"; the link stays usable and VENDITE loads whole.
  ASSERT_TRUE(Cn_MDB2->Execute("CREATE TRIGGER Pieno BEFORE INSERT ON KYX_D0_00F_ORDINI WHEN "
                               "(SELECT COUNT(*) FROM KYX_D0_00F_ORDINI) >= 50 BEGIN SELECT RAISE(ABORT, 'pieno'); END")
                  .ok());
  host.expect("dati del sistema informativo ORDINI non registrati");
  Menu_Dati m = Nuovo(1);
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(Registro(1, "ORDINI"), "50|*");
  EXPECT_EQ(Uno(Locale("SELECT COUNT(*) FROM KYX_D0_00F_ORDINI WHERE IDX=1")), "50");
  EXPECT_TRUE(Collegamento_Attivo());
  EXPECT_EQ(Impronta("VENDITE", 1), Impronta_Server("LIBVEN"));
  EXPECT_EQ(Registro(1, "VENDITE"), Uno(Server("SELECT COUNT(*) FROM \"LIBVEN/KYX_D0_00F\"")) + "| ");
}

// The blocks are stored on a thread of their own while the next ones are asked for: a record
// refused in a later block stops the storing with the blocks before it kept, the counters go back
// to the blocks stored whole, and the blocks asked for meanwhile are read and dropped, so that the
// link stays in step for the next download.
TEST_F(DatiLocaliTest, ARecordRefusedInALaterBlockKeepsTheEarlierBlocksAndTheLinkInStep) {
  Nuovo(1);
  const auto e = Richieste(ds::RequestKind::kDataSetFirst);
  ASSERT_EQ(e.size(), 2u);
  const int64_t b = std::stoll(e[1].substr(6, 5));  // records per block of VENDITE
  const int64_t ord = std::stoll(Uno(Server("SELECT COUNT(*) FROM \"LIBORD/KYX_D0_00F\"")));
  const int64_t ven = std::stoll(Uno(Server("SELECT COUNT(*) FROM \"LIBVEN/KYX_D0_00F\"")));
  ASSERT_GT(ven, 4 * b);
  const std::string intero = Impronta("VENDITE", 1);
  struct Caso {
    const char* nome;
    int64_t rifiutato;  // records stored before the refused one
  };
  const std::vector<Caso> casi = {
      {"first record of the second block", b},
      {"half-way through the fourth block", 3 * b + b / 2},
      {"last record", ven - 1},
  };
  int n = 1;
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    const std::string N = std::to_string(++n);
    ASSERT_TRUE(Cn_MDB2->Execute("CREATE TRIGGER Pieno BEFORE INSERT ON KYX_D0_00F_VENDITE WHEN (SELECT COUNT(*) FROM "
                                 "KYX_D0_00F_VENDITE WHERE IDX=" + N + ") >= " + std::to_string(c.rifiutato) +
                                 " BEGIN SELECT RAISE(ABORT, 'pieno'); END")
                    .ok());
    host.expect("dati del sistema informativo VENDITE non registrati");
    const Menu_Dati m = Nuovo(n);
    ASSERT_TRUE(Cn_MDB2->Execute("DROP TRIGGER Pieno").ok());
    EXPECT_EQ(host.pending(), 0u);
    EXPECT_EQ(Registro(n, "VENDITE"), std::to_string(c.rifiutato) + "|*");
    EXPECT_EQ(Uno(Locale("SELECT COUNT(*) FROM KYX_D0_00F_VENDITE WHERE IDX=" + N)), std::to_string(c.rifiutato));
    EXPECT_EQ(m.Record_Totali, ord + c.rifiutato / b * b);
    EXPECT_EQ(Registro(n, "ORDINI"), std::to_string(ord) + "| ");
    ASSERT_TRUE(Collegamento_Attivo());

    // The next download gets its own replies: set 1 loads whole again.
    const std::size_t mostrati = host.shown().size();
    Menu_Dati r;
    r.Elemento_Carica = 1;
    Carica_Dati_Locali(r);
    EXPECT_EQ(host.shown().size(), mostrati);
    EXPECT_EQ(Impronta("VENDITE", 1), intero);
    EXPECT_EQ(r.Record_Totali, ord + ven);
  }
}

// The next block is asked for before a block is checked: a block refused for a value that is no
// number still has that reply read and dropped, so the link stays in step for what follows.
TEST_F(DatiLocaliTest, ABlockWithAValueThatIsNoNumberIsRefusedWholeAndTheLinkStaysInStep) {
  Nuovo(1);
  const auto e = Richieste(ds::RequestKind::kDataSetFirst);
  ASSERT_EQ(e.size(), 2u);
  const int64_t bo = std::stoll(e[0].substr(6, 5));  // records per block of ORDINI, loaded first
  const int64_t b = std::stoll(e[1].substr(6, 5));   // and of VENDITE
  const int64_t ord = std::stoll(Uno(Server("SELECT COUNT(*) FROM \"LIBORD/KYX_D0_00F\"")));
  const int64_t ven = std::stoll(Uno(Server("SELECT COUNT(*) FROM \"LIBVEN/KYX_D0_00F\"")));
  ASSERT_GT(ven, 3 * b);
  ds::Fault f;
  f.type = ds::FaultType::kGarbledNumber;
  f.on = static_cast<int>(ord / bo) + 2;  // after ORDINI's next blocks, the third block of VENDITE
  f.garble_at = 1;
  f.garble_length = 1 << 20;
  server_->Arm(ds::RequestKind::kDataSetNext, f);
  host.expect("del blocco ha un valore che non");
  const Menu_Dati m = Nuovo(2);
  EXPECT_EQ(host.pending(), 0u);
  ASSERT_FALSE(host.shown().empty());
  // The refusal names the request of the refused block.
  EXPECT_NE(host.shown().back().text.find("(richiesta \"f\")"), std::string::npos) << host.shown().back().text;
  // ORDINI whole; of VENDITE the two blocks before the refused one, marked unfinished.
  EXPECT_EQ(Registro(2, "ORDINI"), std::to_string(ord) + "| ");
  EXPECT_EQ(Registro(2, "VENDITE"), std::to_string(2 * b) + "|*");
  EXPECT_EQ(m.Record_Totali, ord + 2 * b);
  ASSERT_TRUE(Collegamento_Attivo());
  server_->ClearFaults();
  const std::size_t mostrati = host.shown().size();
  Menu_Dati r;
  r.Elemento_Carica = 1;
  Carica_Dati_Locali(r);
  EXPECT_EQ(host.shown().size(), mostrati);
  EXPECT_EQ(r.Record_Totali, ord + ven);
}

TEST_F(DatiLocaliTest, AFailedRefreshLeavesTheStoredSetAsItWas) {
  Nuovo(1);
  const std::string ord = Impronta("ORDINI", 1), ven = Impronta("VENDITE", 1);
  // A system after a failed one may load afresh (same rows, a new time): the time is not compared.
  const std::string reg = Uno(Locale("SELECT group_concat(SINF || NUM_REC || STATO) FROM KYX_CARICATI"));
  struct Caso {
    const char* nome;
    ds::RequestKind kind;
    ds::FaultType tipo;
    int on;
    const char* messaggio;
  };
  const std::vector<Caso> casi = {
      {"silent data-set record", ds::RequestKind::kLayout, ds::FaultType::kSilence, 1, "Errore 005 - Carica_Dati_AS"},
      {"dropped data-set record", ds::RequestKind::kLayout, ds::FaultType::kDropBefore, 1, "Errore 005 - Carica_Dati_AS"},
      {"refused data-set record", ds::RequestKind::kLayout, ds::FaultType::kStatus, 1, "Errore 006 - Carica_Dati_AS"},
      {"refused first block", ds::RequestKind::kDataSetFirst, ds::FaultType::kStatus, 1, "Errore 013"},
      {"silent first block", ds::RequestKind::kDataSetFirst, ds::FaultType::kSilence, 1, "Errore 012"},
      {"block cut short", ds::RequestKind::kDataSetNext, ds::FaultType::kShortPayload, 2, "Errore 014"},
      {"link dropped mid-block", ds::RequestKind::kDataSetNext, ds::FaultType::kDropMidReply, 1, "Errore 014"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    if (!Collegamento_Attivo()) {
      int32_t hWnd = 0;
      ASSERT_TRUE(Collegamento_Server(hWnd));
      ASSERT_TRUE(Apri_MDB0(false));
      ASSERT_TRUE(Apri_MDB2(false, false));
      ASSERT_TRUE(Cn_MDB0->Execute("UPDATE SINF SET DBSQL=''").ok());
    }
    ds::Fault f;
    f.type = c.tipo;
    f.on = c.on;
    f.status = '9';
    server_->ClearFaults();
    server_->Arm(c.kind, f);
    server_->ClearRequests();
    host.expect(c.messaggio);
    Menu_Dati m;
    m.Elemento_Carica = 1;
    Carica_Dati_Locali(m);
    EXPECT_EQ(host.pending(), 0u);
    EXPECT_EQ(Impronta("ORDINI", 1), ord);
    EXPECT_EQ(Impronta("VENDITE", 1), ven);
    EXPECT_EQ(Uno(Locale("SELECT group_concat(SINF || NUM_REC || STATO) FROM KYX_CARICATI")), reg);
    EXPECT_EQ(Uno(Locale("SELECT COUNT(*) FROM KYX_D0_00F_ORDINI WHERE IDX < 0")), "0");
  }
}

TEST_F(DatiLocaliTest, AFailedNewSetKeepsWhatCameMarkedUnfinishedNeverComplete) {
  ds::Fault f;
  f.type = ds::FaultType::kDropMidReply;
  f.on = 1;
  server_->Arm(ds::RequestKind::kDataSetNext, f);
  host.expect("Errore 014");
  Menu_Dati m = Nuovo(1);
  EXPECT_EQ(host.pending(), 0u);
  ASSERT_GT(m.Record_Totali, 0);
  EXPECT_EQ(Registro(1, "ORDINI"), std::to_string(m.Record_Totali) + "|*");
  EXPECT_EQ(Uno(Locale("SELECT COUNT(*) FROM KYX_D0_00F_ORDINI WHERE IDX=1")), std::to_string(m.Record_Totali));
  // The link is gone: the next system is not tried and stays registered as not loaded.
  EXPECT_FALSE(Collegamento_Attivo());
  EXPECT_EQ(Registro(1, "VENDITE"), "0|*");
}

TEST_F(DatiLocaliTest, OverlongFiltersAndRecordsAreRefusedBeforeAnythingIsAsked) {
  // A filter the request cannot carry: nothing registered.
  Menu_Dati m;
  m.Elemento_Nuovo = 1;
  m.Filtro = "where (k_001 in('" + std::string(600, 'A') + "')) ";
  host.expect("Filtro troppo lungo");
  EXPECT_FALSE(Registra_Dati_Locali(m, [](const std::string& f, const std::string&) { return f; }));
  EXPECT_EQ(Uno(Locale("SELECT COUNT(*) FROM KYX_CARICATI")), "0");

  // A stored filter that grew too long: the refresh sends nothing.
  Nuovo(2);
  const std::string ven = Impronta("VENDITE", 2);
  ASSERT_TRUE(Cn_MDB2->Execute("UPDATE KYX_CARICATI SET FILTRO_SQL='where (k_001 in(''" + std::string(600, 'A') +
                               "'')) ' WHERE SINF='VENDITE'")
                  .ok());
  server_->ClearRequests();
  host.expect("Filtro troppo lungo");
  Menu_Dati r;
  r.Elemento_Carica = 2;
  Carica_Dati_Locali(r);
  EXPECT_TRUE(server_->Requests().empty());
  EXPECT_EQ(Impronta("VENDITE", 2), ven);

  // A record longer than a block: refused, nothing stored, marked "*".
  ASSERT_TRUE(Cn_MDB2->Execute("UPDATE KYX_CARICATI SET FILTRO_SQL=''").ok());
  ASSERT_TRUE(Cn_MDB0->Execute("UPDATE CHIAVI SET LUN=9000 WHERE SINF='ORDINI' AND KINDB='K'").ok());
  Menu_Dati n;
  n.Elemento_Nuovo = n.Elemento_Carica = 3;
  ASSERT_TRUE(Registra_Dati_Locali(n, [](const std::string& f, const std::string&) { return f; }));
  host.expect("Record di");
  Carica_Dati_Locali(n);
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(Registro(3, "ORDINI"), "0|*");
  EXPECT_EQ(Uno(Locale("SELECT COUNT(*) FROM KYX_D0_00F_ORDINI WHERE IDX=3")), "0");
  EXPECT_TRUE(Richieste(ds::RequestKind::kDataSetFirst).size() == 1u);  // VENDITE only
  EXPECT_EQ(Registro(3, "VENDITE").back(), ' ');
}

// The SQL Server source, through the Connection interface on a SQLite file: the system's table
// KYX_D0_00F with three leading fields of its own.
TEST_F(DatiLocaliTest, ASystemWithAnSqlDatabaseIsCopiedFromItsTable) {
  // The SQL source is reached through a real ODBC driver: SQLite's, on a file named as the database.
  const std::string db = dir.file("ordini_sql");
  {
    data::SqliteConnection cn;
    ASSERT_TRUE(cn.Open(db, data::OpenMode::kCreate).ok());
    std::vector<data::FieldInfo> col;
    ASSERT_TRUE(Cn_MDB2->ListColumns("KYX_D0_00F_ORDINI", &col).ok());
    std::string crea = "CREATE TABLE KYX_D0_00F (A1 TEXT, A2 TEXT, A3 TEXT";
    for (std::size_t i = 1; i < col.size(); ++i) crea += ", " + col[i].name + (i == 1 ? " TEXT" : " TEXT");
    ASSERT_TRUE(cn.Execute(crea + ")").ok());
    for (int r = 0; r < 250; ++r) {
      std::string riga = "INSERT INTO KYX_D0_00F VALUES ('x','y','z'";
      for (std::size_t i = 1; i < col.size(); ++i) riga += col[i].type == data::FieldType::Text ? ",'" + std::to_string(r % 7) + "'" : "," + std::to_string(r) + ".5";
      ASSERT_TRUE(cn.Execute(riga + ")").ok());
    }
  }
  ASSERT_TRUE(Cn_MDB0->Execute("UPDATE SINF SET DBSQL='ordini_sql' WHERE SINF='ORDINI'").ok());
  const std::string prima = std::filesystem::current_path().string();
  std::filesystem::current_path(dir.file(""));
  setenv("KYX_ODBC_DRIVER", "SQLite3", 1);
  struct Ripristina {
    std::string cartella;
    ~Ripristina() {
      unsetenv("KYX_ODBC_DRIVER");
      std::filesystem::current_path(cartella);
    }
  } ripristina{prima};

  Menu_Dati m = Nuovo(1, "where (K_001 <> '3') ");
  EXPECT_TRUE(host.shown().empty());
  EXPECT_FALSE(Cn_SQL);
  EXPECT_EQ(Registro(1, "ORDINI"), "214| ");
  EXPECT_EQ(Uno(Locale("SELECT printf('%.1f', TOTAL(V_001_01)) FROM KYX_D0_00F_ORDINI WHERE IDX=1")),
            Uno(test::Sql(db, "SELECT printf('%.1f', TOTAL(V_001_01)) FROM KYX_D0_00F WHERE K_001 <> '3'")));
  EXPECT_EQ(Registro(1, "VENDITE").back(), ' ');

  // Without a way to reach SQL Server the download says so and nothing is shown as loaded.
  setenv("KYX_ODBC_DRIVER", "No such driver", 1);
  host.expect("Database SQL ordini_sql non disponibile");
  Menu_Dati r;
  r.Elemento_Nuovo = r.Elemento_Carica = 2;
  ASSERT_TRUE(Registra_Dati_Locali(r, [](const std::string& f, const std::string&) { return f; }));
  Carica_Dati_Locali(r);
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(Registro(2, "ORDINI"), "0|*");
}

}  // namespace
}  // namespace kyx
