#include <gtest/gtest.h>

#include "common/modello.h"
#include "db/mdb3.h"
#include "tests/db/ambiente_db.h"

namespace kyx::test {
namespace {

using Mdb3 = AmbienteDb;

// A column model: column 0 the 12-character row code, then one column per entry of `colonne`
// (text length, or 0 for a number), keys where `chiave` is set; `livelli` D-token levels point at
// the columns listed.
struct Modello {
  std::vector<int> colonne;
  std::vector<int> chiavi;      // columns with Col_Chiave > 0
  std::vector<int> livelli_d;   // Col_Lavoro_2 entries
  int16_t livelli = 0;
};

void Imposta(const Modello& m) {
  modello::reset();
  Numero_Colonne = static_cast<uint8_t>(m.colonne.size());
  Col_Tipo[0] = 12;
  for (size_t i = 0; i < m.colonne.size(); ++i) {
    Col_Tipo[i + 1] = static_cast<uint8_t>(m.colonne[i]);
    Col_Chiave[i + 1] = -1;  // 65535: no key
  }
  for (int c : m.chiavi) Col_Chiave[c] = 5;
  Livello_Contatore_1 = static_cast<int16_t>(m.livelli_d.size());
  for (size_t l = 0; l < m.livelli_d.size(); ++l) Col_Lavoro_2[l] = m.livelli_d[l];
  Numero_Livelli = m.livelli;
}

struct Caso {
  const char* nome;
  Modello modello;
  std::string chiavi;               // the k columns as "NAME TYPE|..."
  std::vector<uint8_t> col_chiave;  // the first entries of Col_Chiave_DATI
};

TEST_F(Mdb3, PacksTheKeyPiecesIntoColumnsOfAtMost255Characters) {
  const Caso casi[] = {
      {"no keys", {{0, 0}, {}, {}}, "", {0, 0}},
      {"200, 50, 10", {{200, 50, 10}, {1, 2, 3}, {}}, "k001 TEXT(250)|k002 TEXT(10)", {1, 1, 2, 0}},
      {"ends exactly at 255", {{200, 55}, {1, 2}, {}}, "k001 TEXT(255)", {1, 1, 0}},
      {"one character more", {{200, 56}, {1, 2}, {}}, "k001 TEXT(200)|k002 TEXT(56)", {1, 2, 0}},
      {"zero-length piece", {{10, 0, 5}, {1, 2, 3}, {}}, "k001 TEXT(15)", {1, 1, 1, 0}},
      {"only a zero-length piece", {{0, 3}, {2}, {}}, "k001 TEXT(3)", {1, 0}},
      {"numbers and non-key texts are no pieces; D levels come last",
       {{0, 30, 20, 250}, {2, 4}, {3}}, "k001 TEXT(30)|k002 TEXT(250)|k003 TEXT(20)", {1, 2, 3, 0}},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    Imposta(c.modello);
    ASSERT_TRUE(Apri_MDB3());
    std::string colonne = Colonne(Mdb(3), "DATI");
    std::string risultato = "c000 TEXT(12)";
    for (size_t i = 0; i < c.modello.colonne.size(); ++i) {
      const int t = c.modello.colonne[i];
      risultato += "|c00" + std::to_string(i + 1) + (t ? " TEXT(" + std::to_string(t) + ")" : " NUMERIC_REAL(17,3)");
    }
    EXPECT_EQ(colonne, risultato + (c.chiavi.empty() ? "" : "|" + c.chiavi));
    const int k = static_cast<int>(std::count(c.chiavi.begin(), c.chiavi.end(), '|')) + (c.chiavi.empty() ? 0 : 1);
    EXPECT_EQ(Numero_Chiavi_DATI, k);
    for (size_t p = 0; p < c.col_chiave.size(); ++p) EXPECT_EQ(Col_Chiave_DATI[p], c.col_chiave[p]) << p;
    std::string ks;
    for (int i = 1; i <= k; ++i) ks += (i > 1 ? ",k00" : "k00") + std::to_string(i);
    EXPECT_EQ(Indici(Mdb(3), "DATI"), (std::map<std::string, std::string>{
                                          {"DATI_L__DATI", k ? "c000," + ks : "c000"}, {"DATI_L2__DATI", k ? ks : "c000"}}));
    ASSERT_TRUE(Rs_Dati && Rs_Dati->IsOpen() && Rs_Dati_L2 && Rs_Dati_L2->IsOpen());
    EXPECT_EQ(Rs_Dati_L2->index(), "DATI_L2");
  }
}

TEST_F(Mdb3, LevelColumnsDoublesAndANewFileEveryTime) {
  Imposta({{0, 8}, {2}, {}, 1});
  Precisione_15 = true;
  ASSERT_TRUE(Apri_MDB3());
  ASSERT_TRUE(Rs_Dati->AddNew().ok());
  ASSERT_TRUE(Rs_Dati->Set("k001", data::Value("ABC")).ok());
  ASSERT_TRUE(Rs_Dati->Update().ok());
  EXPECT_EQ(Colonne(Mdb(3), "DATI"), "c000 TEXT(12)|c001 DOUBLE|c002 TEXT(8)|c003 TEXT(72)|c004 TEXT(6)|k001 TEXT(8)");
  // The work database is rebuilt every time: rows are saved without waiting for the disk.
  std::unique_ptr<data::Statement> st;
  bool riga = false;
  ASSERT_TRUE(Cn_MDB3->Prepare("PRAGMA synchronous", &st).ok());
  ASSERT_TRUE(st->Step(&riga).ok() && riga);
  EXPECT_EQ(st->Read(0).AsInteger(), 0);
  Imposta({{0}, {}, {}, 0});
  Precisione_15 = false;
  ASSERT_TRUE(Apri_MDB3());
  EXPECT_EQ(Colonne(Mdb(3), "DATI"), "c000 TEXT(12)|c001 NUMERIC_REAL(17,3)");
  EXPECT_EQ(Sql(Mdb(3), "SELECT count(*) FROM DATI"), (std::vector<std::vector<std::string>>{{"0"}}));
}

TEST_F(Mdb3, MoreThanTenKeyColumnsWarnsAndStillBuildsTheTable) {
  Modello m;
  for (int i = 1; i <= 11; ++i) {
    m.colonne.push_back(200);
    m.chiavi.push_back(i);
  }
  Imposta(m);
  host.expect("La dimensione delle chiavi\rsupera la possibilit\xE0 dell'MDB");
  ASSERT_TRUE(Apri_MDB3());
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(host.shown()[0].style, 16);
  EXPECT_EQ(Numero_Chiavi_DATI, 11);
  EXPECT_EQ(Col_Chiave_DATI[10], 11);
  EXPECT_EQ(Indici(Mdb(3), "DATI").size(), 2u);
}

TEST_F(Mdb3, UnwritableDataFolderGivesItsMessage) {
  Imposta({{0}, {}, {}});
  File_MDB3 = dir.path() + "/manca\\KYX_3.MDB";
  host.expect("Errore 019 ");
  EXPECT_FALSE(Apri_MDB3());
  EXPECT_NE(host.shown()[0].text.find("\rnel trattamento di MDB3"), std::string::npos);
  EXPECT_FALSE(Rs_Dati);
}

}  // namespace
}  // namespace kyx::test
