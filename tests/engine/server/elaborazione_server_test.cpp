// Elaborations against our real data server on 127.0.0.1: the program logs in to the generated
// sample, sends the layout record and its queries, and reads their results block by block; the
// same rows in the local data-set database give the same result table.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "common/stato.h"
#include "common/stato_db.h"
#include "db/mdb2.h"
#include "engine/agganci_motore.h"
#include "engine/elaborazione.h"
#include "engine/query_elaborazione.h"
#include "engine/scambio_server.h"
#include "engine/stato_motore.h"
#include "platform/data/static_recordset.h"
#include "server/collegamento.h"
#include "server/risposta.h"
#include "tests/server/ambiente_collegamento.h"
#include "tests/server/server_dati.h"
#include "tools/dataserver/data_sets.h"
#include "tools/dataserver/generator.h"
#include "tools/dataserver/server.h"

namespace kyx {
namespace {

namespace ds = dataserver;
using Righe = std::vector<std::vector<std::string>>;

// Every key of the sample's sales rows but the day: a row each, 38 bytes, 215 to a block.
const char kTreBlocchi[] =
    "SELECT k_009,k_010,k_003,k_008,k_007,decimal(V_002_01, 17, 3) FROM LIBVEN/KYX_D0_00F ";

class ServerElaborazione : public test::AmbienteCollegamento {
 protected:
  ServerElaborazione() {
    stato_motore::reset();
    agganci_motore::reset();
    server_ = test::Avvia_Server_Dati(dir);
    Ini("[001]\nNome=VENDITE\n");
    Connetti();
  }
  ~ServerElaborazione() override {
    sock::reset();
    server_->Stop();
    stato_motore::reset();
    agganci_motore::reset();
  }

  void Connetti() {
    int32_t hWnd = 0;
    Connesso = Collegamento_Server(hWnd);
    ASSERT_TRUE(Connesso);
    server_->ClearRequests();
  }

  // The same rows as the server's data sets of `sistemi` in the local data-set database.
  void Dati_Locali(const std::vector<const char*>& sistemi) {
    ASSERT_TRUE(Apri_MDB2(false, false));
    ds::Store store;
    ASSERT_TRUE(store.Open(dir.file("server.db")).ok());
    const auto opzioni = ds::SizeOptions(ds::SampleSize::kSmall, 1);
    for (const std::string sistema : sistemi) {
      ds::DataSetShape forma;
      ASSERT_TRUE(ds::LoadDataSetShape(store, sistema, &forma).ok());
      // As the sample draws them: the sales from its seed, the orders from the next, a quarter.
      const bool vendite = sistema == ds::sample::kSales;
      ds::DataSetRows righe(forma, opzioni, opzioni.seed + (vendite ? 0 : 1),
                            vendite ? opzioni.data_set_rows : opzioni.data_set_rows / 4);
      ASSERT_TRUE(ds::WriteDataSet(*Cn_MDB2, mdb2::Tabella_Valori(sistema), true, false, righe).ok());
    }
  }

  // Layout 1 of the sample: zones and agents on two row levels, values with totals, a formula.
  static void Layout_Zone_Agenti() {
    Layout_Corrente = 1;
    Liv_Riga_Chiave.fill(-1);
    Liv_Colonna_Chiave.fill(-1);
    Liv_Riga_Chiave[0] = 7;
    Liv_Riga_Chiave[1] = 8;
    Parametri_Valore[0] = "2024";
  }

  std::vector<ds::RecordedRequest> Richieste(ds::RequestKind kind) const {
    std::vector<ds::RecordedRequest> out;
    for (const auto& r : server_->Requests())
      if (r.kind == kind) out.push_back(r);
    return out;
  }

  // The result table, numbers to hundredths (the server hands out thousandths, the local sums
  // carry the binary noise of doubles).
  Righe Risultato() const {
    Righe righe = test::Sql(Mdb(3), "SELECT * FROM DATI ORDER BY c000, k001");
    for (auto& r : righe)
      for (auto& c : r) {
        char* fine = nullptr;
        const double v = std::strtod(c.c_str(), &fine);
        if (!c.empty() && fine && *fine == '\0' && c.find('.') != std::string::npos) c = std::to_string(std::round(v * 100) / 100);
      }
    return righe;
  }

  // A query's layout as the engine measures it.
  static Tracciato_Record Tracciato(const std::string& sql) {
    Tracciato_Record t;
    Analizza_Select(sql, t.Larghezze, t.Posizioni, t.Voci);
    return t;
  }

  // A recordset for the rows of `t`: texts of their width, numbers as doubles.
  static std::unique_ptr<data::StaticRecordset> Ricevente(const Tracciato_Record& t) {
    auto rs = std::make_unique<data::StaticRecordset>();
    for (int j = 0; j < t.Voci; ++j) {
      const std::string nome = "x" + std::string(j < 10 ? "00" : "0") + std::to_string(j);
      const int32_t w = t.Larghezze[static_cast<size_t>(j)];
      EXPECT_TRUE(rs->AppendField(w > 0 ? data::TextField(nome, w) : data::DoubleField(nome)).ok());
    }
    EXPECT_TRUE(rs->OpenFabricated().ok());
    return rs;
  }

  std::unique_ptr<ds::DataServer> server_;
};

TEST_F(ServerElaborazione, TheServerResultEqualsTheLocalResultOfTheSameRows) {
  Layout_Zone_Agenti();
  ASSERT_TRUE(Esegui_Elaborazione());
  EXPECT_TRUE(host.shown().empty());
  const Righe server = Risultato();
  ASSERT_GT(server.size(), 3u);

  // The layout record went first, byte for byte, then the queries as the engine wrote them.
  const auto layout = Richieste(ds::RequestKind::kLayout);
  ASSERT_EQ(layout.size(), 1u);
  EXPECT_EQ(layout[0].text, "l04462" + Record_Layout() + std::string(6, ' '));
  const auto query = Richieste(ds::RequestKind::kQuery);
  ASSERT_EQ(query.size(), static_cast<size_t>(Numero_Query));
  std::string prima = Query_Testo[0];
  prima = Scegli_Tabella(prima, "");
  EXPECT_EQ(query[0].text, "h" + std::string(5 - std::to_string(prima.size()).size(), '0') +
                               std::to_string(prima.size()) + prima);
  EXPECT_NE(prima.find("FROM LIBVEN/KYX_D2_00F"), std::string::npos) << prima;

  // The same rows in the local data-set database, read without the server.
  Disconnetti();
  Connesso = false;
  Dati_Locali({ds::sample::kSales});
  stato_motore::reset();
  Layout_Zone_Agenti();
  ASSERT_TRUE(Esegui_Elaborazione());
  EXPECT_EQ(Risultato(), server);
}

// Other shapes of the same comparison: the data-set slot as a row level, a column key whose
// codes come from the server as a value list.
struct Forma {
  const char* nome;
  int16_t layout;
  std::vector<int16_t> righe, colonne;
};

const Forma kForme[] = {
    {"the slot key as the first row level", 1, {13, 7}, {}},
    {"months as generated columns", 2, {7}, {2}},
};

class Forme : public ServerElaborazione, public ::testing::WithParamInterface<Forma> {};

TEST_P(Forme, GiveTheSameResultOnTheServerAndLocally) {
  const Forma& f = GetParam();
  const auto esegui = [&f] {
    stato_motore::reset();
    Layout_Corrente = f.layout;
    Liv_Riga_Chiave.fill(-1);
    Liv_Colonna_Chiave.fill(-1);
    for (size_t i = 0; i < f.righe.size(); ++i) Liv_Riga_Chiave[i] = f.righe[i];
    for (size_t i = 0; i < f.colonne.size(); ++i) Liv_Colonna_Chiave[i] = f.colonne[i];
    ASSERT_TRUE(Esegui_Elaborazione());
  };
  esegui();
  EXPECT_TRUE(host.shown().empty());
  const Righe server = Risultato();
  ASSERT_GE(server.size(), 3u);
  Disconnetti();
  Connesso = false;
  Dati_Locali({ds::sample::kSales});
  esegui();
  EXPECT_EQ(Risultato(), server);
}

INSTANTIATE_TEST_SUITE_P(Casi, Forme, ::testing::ValuesIn(kForme), [](const auto& info) {
  return "Case" + std::to_string(info.index);
});

TEST_F(ServerElaborazione, AColumnOfAnotherSystemReadsItsKeysOnTheServerAndLocally) {
  // The orders by customer, with the invoiced amount of the sales system (its key 9 is the
  // orders' key 3); the user's filter on the order state, a key the sales do not have, goes.
  Disconnetti();
  Sistema_Informativo = ds::sample::kOrders;
  Ini("[001]\nNome=ORDINI\n");
  Connetti();
  const auto esegui = [] {
    stato_motore::reset();
    Layout_Corrente = 1;
    Liv_Riga_Chiave.fill(-1);
    Liv_Colonna_Chiave.fill(-1);
    Liv_Riga_Chiave[0] = 3;
    ASSERT_TRUE(Esegui_Elaborazione());
  };
  esegui();
  EXPECT_TRUE(host.shown().empty());
  const auto query = Richieste(ds::RequestKind::kQuery);
  ASSERT_EQ(query.size(), 2u);
  EXPECT_NE(query[1].text.find("SELECT k_009,decimal(sum(V_002_01+V_002_02+V_002_03), 17, 3) FROM LIBVEN/KYX_D2_00F"),
            std::string::npos)
      << query[1].text;
  EXPECT_EQ(query[1].text.find("k_008"), std::string::npos) << query[1].text;
  const Righe server = Risultato();
  ASSERT_GT(server.size(), 10u);
  EXPECT_GT(std::stoi(test::Sql(Mdb(3), "SELECT count(*) FROM DATI WHERE c005 > 0 AND c000 <> '9999994'")[0][0]), 5)
      << "customers with invoiced amounts";

  Disconnetti();
  Connesso = false;
  Dati_Locali({ds::sample::kOrders, ds::sample::kSales});
  esegui();
  EXPECT_EQ(Risultato(), server);
}

TEST_F(ServerElaborazione, AResultOfThreeBlocksAsksTwiceForMoreAndAnEmptyOneNever) {
  const std::string sql = kTreBlocchi;
  const Tracciato_Record t = Tracciato(sql);
  ASSERT_EQ(t.Lunghezza(), 38);
  auto rs = Ricevente(t);
  Righe_Server(sql, t, *rs);
  EXPECT_TRUE(host.shown().empty());
  EXPECT_EQ(Richieste(ds::RequestKind::kNextBlock).size(), 2u);
  for (const auto& r : Richieste(ds::RequestKind::kNextBlock)) EXPECT_EQ(r.text, "i00000");
  // Every row arrived, as sqlite3 reads them from the server's own table.
  const Righe atteso = test::Sql(dir.file("server.db"),
                                 "SELECT count(*), sum(V_002_01), max(K_009 || K_010) FROM \"LIBVEN/KYX_D0_00F\"");
  ASSERT_EQ(rs->RecordCount(), std::stoll(atteso[0][0]));
  double somma = 0;
  std::string massimo;
  for (rs->MoveFirst(); !rs->AfterLast(); rs->MoveNext()) {
    somma += rs->Field(5).AsDouble();
    massimo = std::max(massimo, rs->Field(0).AsText() + rs->Field(1).AsText());
  }
  EXPECT_NEAR(somma, std::stod(atteso[0][1]), 0.01);
  EXPECT_EQ(massimo, atteso[0][2]);

  server_->ClearRequests();
  auto vuoto = Ricevente(t);
  Righe_Server(sql + "where (k_007 in('XXX'))", t, *vuoto);
  EXPECT_EQ(vuoto->RecordCount(), 0);
  EXPECT_EQ(Richieste(ds::RequestKind::kQuery).size(), 1u);
  EXPECT_TRUE(Richieste(ds::RequestKind::kNextBlock).empty());
  EXPECT_TRUE(Collegamento_Attivo());
}

struct Guasto {
  const char* nome;
  ds::RequestKind kind;
  ds::FaultType tipo;
  char stato;
  bool valori;            // the column-key value list (else a result query)
  const char* messaggio;
  int righe;              // rows kept; -1 for "as many as one block holds"
  bool collegato;         // socket 1 still open afterwards
};

const Guasto kGuasti[] = {
    {"silence before the list", ds::RequestKind::kQuery, ds::FaultType::kSilence, '0', true, "Errore 023", 0, false},
    {"the list failed", ds::RequestKind::kQuery, ds::FaultType::kStatus, '2', true, "Errore 024", 0, true},
    {"the list cut short", ds::RequestKind::kQuery, ds::FaultType::kShortPayload, '0', true, "Errore 025", 0, false},
    {"silence before the rows", ds::RequestKind::kQuery, ds::FaultType::kSilence, '0', false, "Errore 026", 0, false},
    {"the rows failed", ds::RequestKind::kQuery, ds::FaultType::kStatus, '2', false, "Errore 027", 0, true},
    {"the link dropped in the second block", ds::RequestKind::kNextBlock, ds::FaultType::kDropMidReply, '0', false,
     "Errore 028", -1, false},
    {"silence before the second block", ds::RequestKind::kNextBlock, ds::FaultType::kSilence, '0', false, "Errore 026",
     -1, false},
};

class GuastiQuery : public ServerElaborazione, public ::testing::WithParamInterface<Guasto> {};

TEST_P(GuastiQuery, ShowTheirMessageAndKeepTheRowsRead) {
  const Guasto& g = GetParam();
  ds::Fault f;
  f.type = g.tipo;
  f.status = g.stato;
  f.missing = 3;
  server_->Arm(g.kind, f);
  host.expect(std::string(g.messaggio) + " - Richiesta_ESEGUI");
  int64_t righe = 0;
  if (g.valori) {
    righe = static_cast<int64_t>(
        Valori_Chiave_Server("select k_007 FROM LIBVEN/KYX_D2_00F  group by k_007 order by k_007", 3).size());
  } else {
    const Tracciato_Record t = Tracciato(kTreBlocchi);
    auto rs = Ricevente(t);
    Righe_Server(kTreBlocchi, t, *rs);
    righe = rs->RecordCount();
  }
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(righe, g.righe < 0 ? 8192 / 38 : g.righe);
  EXPECT_EQ(Collegamento_Attivo(), g.collegato);
}

INSTANTIATE_TEST_SUITE_P(Casi, GuastiQuery, ::testing::ValuesIn(kGuasti), [](const auto& info) {
  return "Case" + std::to_string(info.index);
});

TEST_F(ServerElaborazione, ARefusedOrUnansweredLayoutRecordEndsTheRunAndAFailedQueryDoesNot) {
  Layout_Zone_Agenti();
  const int16_t prima = Storico_Ultimo;
  ds::Fault rifiuto;
  rifiuto.type = ds::FaultType::kStatus;
  rifiuto.status = '9';
  server_->Arm(ds::RequestKind::kLayout, rifiuto);
  host.expect("Errore 022 - Richiesta_ESEGUI");
  EXPECT_FALSE(Esegui_Elaborazione());
  EXPECT_EQ(Storico_Ultimo, prima + 1);
  EXPECT_EQ(Elaborazione_Corrente, prima + 1);
  EXPECT_TRUE(Richieste(ds::RequestKind::kQuery).empty());
  EXPECT_TRUE(Collegamento_Attivo()) << "a refusal leaves the link in step";
  ASSERT_EQ(host.shown().size(), 1u);
  EXPECT_EQ(host.shown()[0].style, 16) << "critical icon";
  EXPECT_EQ(host.shown()[0].title, Titolo_Programma);

  ds::Fault errore;
  errore.type = ds::FaultType::kStatus;
  errore.status = '2';
  server_->Arm(ds::RequestKind::kQuery, errore);
  host.expect("Errore 027 - Richiesta_ESEGUI");
  EXPECT_TRUE(Esegui_Elaborazione()) << "the run goes on without that query's rows";
  EXPECT_EQ(host.pending(), 0u);

  ds::Fault silenzio;
  silenzio.type = ds::FaultType::kSilence;
  server_->Arm(ds::RequestKind::kLayout, silenzio);
  host.expect("Errore 021 - Richiesta_ESEGUI");
  EXPECT_FALSE(Esegui_Elaborazione());
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_FALSE(Collegamento_Attivo());
}

}  // namespace
}  // namespace kyx
