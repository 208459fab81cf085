#include <gtest/gtest.h>

#include "db/mdb0.h"
#include "platform/data/compaction.h"
#include "tests/db/ambiente_db.h"
#include "tests/support/unprivileged.h"

namespace kyx::test {
namespace {

using Mdb0 = AmbienteDb;

std::string Ripeti(const std::string& radice, int da, int a, bool due_cifre, const std::string& tipo) {
  std::string out;
  for (int i = da; i <= a; ++i) {
    std::string n = std::to_string(i);
    if (due_cifre && i < 10) n = "0" + n;
    out += "|" + radice + n + " " + tipo;
  }
  return out;
}

TEST_F(Mdb0, CreatesEveryTableColumnAndIndexOfAnEmptyDataFolder) {
  ASSERT_TRUE(Apri_MDB0(false));
  const std::string f = Mdb(0);
  EXPECT_EQ(Tabelle(f), (std::vector<std::string>{"SINF", "AREE", "CHIAVI", "CHIAVI_EXT", "VALORI", "LAYOUT",
                                                  "LAY_ELEM", "LAY_DRILL", "LAY_FILTRO", "STRUTTURA", "FILTRO"}));
  std::string layout = "IDX SMALLINT|DIM_F SMALLINT|COL_B SMALLINT|DESC TEXT(40)|FONT TEXT(40)|ORDINA TEXT(5)|"
                       "COL_O SMALLINT|COL_OT TEXT(1)|XLSRUN TEXT(60)|XLSSTD TEXT(1)";
  for (int k = 1; k <= 9; ++k) layout += "|PARM_" + std::to_string(k) + " TEXT(40)|PKEY_" + std::to_string(k) + " SMALLINT";
  layout += "|MODEST TEXT(1)";
  const std::map<std::string, std::string> colonne = {
      {"SINF", "SINF TEXT(10)|LIBS1 TEXT(10)|DBSQL TEXT(50)|IDX SMALLINT|IDX_KEY SMALLINT|IDX_MAX SMALLINT"},
      {"AREE", "IDX SMALLINT|AREA TEXT(3)|DESC TEXT(40)|ORDINA TEXT(5)"},
      {"CHIAVI", "SINF TEXT(10)|IDX SMALLINT|LUN SMALLINT|TESTO TEXT(40)" + Ripeti("TOT_", 1, 4, false, "TEXT(1)") +
                     Ripeti("TI_", 1, 12, true, "TEXT(20)") + Ripeti("AREA_", 1, 5, false, "TEXT(3)") +
                     "|ORDINA TEXT(5)|KEY_D SMALLINT|VIS TEXT(1)|KINDB TEXT(1)|ATTR TEXT(1)|FORMATO TEXT(20)"},
      {"CHIAVI_EXT", "SINF TEXT(10)|KEY_I SMALLINT|KEY_E SMALLINT"},
      {"VALORI", "SINF TEXT(10)|IDX SMALLINT|ELEM SMALLINT"},
      {"LAYOUT", layout},
      {"LAY_ELEM", "LAY SMALLINT|IDX SMALLINT|RIG SMALLINT|COL SMALLINT|DIM_S SMALLINT|VIS TEXT(1)|TOT TEXT(1)|"
                   "INTE TEXT(40)|FORMATO TEXT(40)|CALC TEXT(60)|SINF TEXT(10)|SNINT TEXT(1)|SNTOT TEXT(1)|VIS2 TEXT(60)"},
      {"LAY_DRILL", "K_LAY SMALLINT|K_KEY SMALLINT|K_IDX SMALLINT|LAY SMALLINT" + Ripeti("KEYV", 1, 9, false, "SMALLINT") +
                        Ripeti("KEYO", 1, 9, false, "SMALLINT") + "|DESC TEXT(40)" + Ripeti("PRM", 1, 9, false, "TEXT(24)") +
                        "|ANNULL TEXT(1)"},
      // The filter values are wider than the 30 characters of old, so that no piece is refused.
      {"LAY_FILTRO", "LAY SMALLINT|IDX SMALLINT|KEY SMALLINT|OPER TEXT(1)|VALO_1 TEXT(60)|VALO_2 TEXT(60)|"
                     "BLOCCO TEXT(1)|RELAZ TEXT(1)"},
      {"STRUTTURA", "AREA SMALLINT|KEY SMALLINT|LAY SMALLINT"},
      {"FILTRO", "KEY SMALLINT|OPER TEXT(1)|VALO_1 TEXT(1024)|VALO_2 TEXT(1024)|BLOCCO TEXT(1)"},
  };
  const std::map<std::string, std::string> indici = {
      {"SINF", "SINF"},          {"AREE", "IDX"},
      {"CHIAVI", "SINF,IDX"},    {"CHIAVI_EXT", "SINF,KEY_I"},
      {"VALORI", "SINF,IDX"},    {"LAYOUT", "IDX"},
      {"LAY_ELEM", "LAY,IDX"},   {"LAY_DRILL", "K_LAY,K_KEY,K_IDX"},
      {"LAY_FILTRO", "LAY,IDX,KEY,OPER,VALO_1,VALO_2"},
      {"STRUTTURA", "AREA,KEY,LAY"},
      {"FILTRO", "KEY,OPER,VALO_1,VALO_2"},
  };
  for (auto& [tabella, attese] : colonne) {
    EXPECT_EQ(Colonne(f, tabella), attese) << tabella;
    EXPECT_EQ(Indici(f, tabella), (std::map<std::string, std::string>{{tabella + "_01L__" + tabella, indici.at(tabella)}}))
        << tabella;
  }
  for (auto* rs : {&Rs_Sinf, &Rs_Aree, &Rs_Chiavi, &Rs_Chiavi_Ext, &Rs_Valori, &Rs_Layout, &Rs_Lay_Elem,
                   &Rs_Lay_Drill, &Rs_Lay_Filtro, &Rs_Struttura, &Rs_Filtro})
    ASSERT_TRUE(*rs && (*rs)->IsOpen());
  EXPECT_EQ(Rs_Lay_Drill->index(), "LAY_DRILL_01L");
  EXPECT_FALSE(files::file_exists(Dati("KYX_0_NEW.MDB")));
}

// A row written through the recordsets, to see what survives each open.
void Scrivi_Sistema(const char* codice) {
  ASSERT_TRUE(Rs_Sinf->AddNew().ok());
  ASSERT_TRUE(Rs_Sinf->Set("SINF", data::Value(codice)).ok());
  ASSERT_TRUE(Rs_Sinf->Set("IDX", data::Value(3)).ok());
  ASSERT_TRUE(Rs_Sinf->Update().ok());
}

TEST_F(Mdb0, ReopeningCompactsAndKeepsTheRowsWhileRebuildingEmptiesTheFile) {
  ASSERT_TRUE(Apri_MDB0(false));
  Scrivi_Sistema("VENDITE");
  // A copy left by an interrupted compaction is replaced by the next one.
  dir.write("Dati/KYX_0_NEW.MDB", "left over");
  ASSERT_TRUE(Apri_MDB0(false));
  ASSERT_TRUE(Apri_MDB0(false));
  EXPECT_EQ(Sql(Mdb(0), "SELECT SINF, IDX FROM SINF"), (std::vector<std::vector<std::string>>{{"VENDITE", "3"}}));
  EXPECT_FALSE(files::file_exists(Dati("KYX_0_NEW.MDB")));
  ASSERT_TRUE(Rs_Sinf->Seek({data::Value("vendite   ")}).ok());
  EXPECT_FALSE(Rs_Sinf->AfterLast());

  ASSERT_TRUE(Apri_MDB0(true));
  EXPECT_TRUE(Sql(Mdb(0), "SELECT * FROM SINF").empty());
  EXPECT_EQ(Tabelle(Mdb(0)).size(), 11u);
}

TEST_F(Mdb0, CompactionStoppedAtAnyStepNeverLosesTheDatabase) {
  for (auto fermo : {data::CompactionStep::kLeftoverRemoved, data::CompactionStep::kCopied,
                     data::CompactionStep::kReplaced}) {
    stato_db::reset();
    data::DeleteDatabaseFile(Mdb(0));
    ASSERT_TRUE(Apri_MDB0(false));
    Scrivi_Sistema("ACQUISTI");
    mdb::Gancio_Compattazione = [fermo](data::CompactionStep passo) { return passo != fermo; };
    host.expect("Errore 015 ");
    EXPECT_FALSE(Apri_MDB0(false));
    mdb::Gancio_Compattazione = nullptr;
    ASSERT_TRUE(Apri_MDB0(false)) << static_cast<int>(fermo);
    EXPECT_EQ(Sql(Mdb(0), "SELECT SINF FROM SINF"), (std::vector<std::vector<std::string>>{{"ACQUISTI"}}));
  }
  EXPECT_EQ(host.pending(), 0u);
}

TEST_F(Mdb0, MissingFileWithItsCompactionCopyIsRestoredNotRecreatedEmpty) {
  ASSERT_TRUE(Apri_MDB0(false));
  Scrivi_Sistema("MAGAZZINO");
  ASSERT_TRUE(Chiudi_MDB0());
  // What a delete-then-rename compaction left when it stopped between its two steps.
  ASSERT_TRUE(files::rename_file(Mdb(0), Dati("KYX_0_NEW.MDB")));
  ASSERT_TRUE(Apri_MDB0(false));
  EXPECT_EQ(Sql(Mdb(0), "SELECT SINF FROM SINF"), (std::vector<std::vector<std::string>>{{"MAGAZZINO"}}));
}

TEST_F(Mdb0, FileThatIsNotADatabaseIsReportedAndLeftAlone) {
  const std::string testo("Questo non \xE8 un database\r\n\0\xFF\xFE", 30);
  dir.write("Dati/KYX_0.MDB", testo);
  host.expect(Errore("Errore 015 ", data::kNotADatabase));
  EXPECT_FALSE(Apri_MDB0(false));
  ASSERT_EQ(host.shown().size(), 1u);
  EXPECT_EQ(host.shown()[0].style, 16);
  EXPECT_EQ(host.shown()[0].title, "Q-KRE");
  EXPECT_NE(host.shown()[0].text.find("\rnel trattamento di MDB0"), std::string::npos);
  EXPECT_EQ(dir.read("Dati/KYX_0.MDB"), testo);
}

// Brings a new file back to the shape an older version wrote.
struct Vecchio {
  const char* nome;
  const char* sql;
  const char* tabella;
  const char* coda;  // the last columns after the upgrade
};

TEST_F(Mdb0, UpgradeAddsWhatAnOlderFileLacks) {
  const Vecchio casi[] = {
      {"no SNINT/SNTOT", "ALTER TABLE LAY_ELEM DROP COLUMN SNINT; ALTER TABLE LAY_ELEM DROP COLUMN SNTOT;", "LAY_ELEM",
       "VIS2 TEXT(60)|SNINT TEXT(1)|SNTOT TEXT(1)"},
      {"no VIS2", "ALTER TABLE LAY_ELEM DROP COLUMN VIS2;", "LAY_ELEM", "SNINT TEXT(1)|SNTOT TEXT(1)|VIS2 TEXT(60)"},
      {"no RELAZ", "ALTER TABLE LAY_FILTRO DROP COLUMN RELAZ;", "LAY_FILTRO", "BLOCCO TEXT(1)|RELAZ TEXT(1)"},
      {"no LAY_DRILL", "DROP TABLE LAY_DRILL;", "LAY_DRILL", "PRM9 TEXT(24)|ANNULL TEXT(1)"},
  };
  for (const Vecchio& c : casi) {
    SCOPED_TRACE(c.nome);
    stato_db::reset();
    data::DeleteDatabaseFile(Mdb(0));
    ASSERT_TRUE(Apri_MDB0(false));
    ASSERT_TRUE(Chiudi_MDB0());
    ASSERT_TRUE(Sql(Mdb(0), c.sql + std::string("INSERT INTO LAY_ELEM (LAY, IDX) VALUES (1, 2);")).empty());
    ASSERT_TRUE(Apri_MDB0(false));
    const std::string colonne = Colonne(Mdb(0), c.tabella);
    EXPECT_EQ(colonne.substr(colonne.size() - std::string(c.coda).size()), c.coda);
    EXPECT_EQ(Indici(Mdb(0), "LAY_DRILL").size(), 1u);
    EXPECT_EQ(Sql(Mdb(0), "SELECT LAY, IDX, VIS2 FROM LAY_ELEM"),
              (std::vector<std::vector<std::string>>{{"1", "2", "NULL"}}));
  }
}

TEST_F(Mdb0, FileWithSntotButNotSnintFailsItsUpgrade) {
  ASSERT_TRUE(Apri_MDB0(false));
  ASSERT_TRUE(Chiudi_MDB0());
  ASSERT_TRUE(Sql(Mdb(0), "ALTER TABLE LAY_ELEM DROP COLUMN SNINT").empty());
  host.expect("Errore 015 ");
  EXPECT_FALSE(Apri_MDB0(false));
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_TRUE(Cn_MDB0 && Cn_MDB0->IsOpen());  // left for the next open or the shut-down
  EXPECT_FALSE(Rs_Sinf);
  EXPECT_TRUE(Chiudi_MDB0());
  EXPECT_FALSE(Cn_MDB0);
}

TEST_F(Mdb0, MissingTableFailsAtItsRecordsetWithTheConnectionLeftOpen) {
  ASSERT_TRUE(Apri_MDB0(false));
  ASSERT_TRUE(Chiudi_MDB0());
  ASSERT_TRUE(Sql(Mdb(0), "DROP TABLE STRUTTURA").empty());
  host.expect(Errore("Errore 015 ", data::kItemNotFound));
  EXPECT_FALSE(Apri_MDB0(false));
  EXPECT_TRUE(Cn_MDB0 && Cn_MDB0->IsOpen());
  EXPECT_TRUE(Rs_Lay_Filtro && Rs_Lay_Filtro->IsOpen());
  EXPECT_FALSE(Rs_Struttura);
}

TEST_F(Mdb0, ReadOnlyDataFolderGivesTheNumberedMessage) {
  give_to_child(dir.path());
  give_to_child(dir.file("Dati"));
  ASSERT_EQ(::chmod(dir.file("Dati").c_str(), 0555), 0);
  host.expect("Errore 015 ");
  const int esito = run_unprivileged([] { return !Apri_MDB0(false); });
  ::chmod(dir.file("Dati").c_str(), 0755);
  EXPECT_EQ(esito, 0);
  EXPECT_FALSE(files::file_exists(Mdb(0)));
}

TEST(Chiudi_Oggetto_Test, EmptyReferenceAndClosedObjectAreJustReleased) {
  std::unique_ptr<data::Connection> vuoto;
  EXPECT_TRUE(Chiudi_Oggetto(vuoto));
  std::unique_ptr<data::TableRecordset> chiuso = std::make_unique<data::TableRecordset>();
  EXPECT_TRUE(Chiudi_Oggetto(chiuso));
  EXPECT_FALSE(chiuso);
}

}  // namespace
}  // namespace kyx::test
