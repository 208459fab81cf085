#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/impostazioni.h"
#include "db/mdb1.h"
#include "platform/data/catalog.h"
#include "platform/data/sqlite_connection.h"
#include "tests/convd/ambiente_convd.h"
#include "tests/support/unprivileged.h"

namespace kyx::test {
namespace {

using convd::Esito;
using Captions = std::vector<std::string>;

class Conversione : public AmbienteConvd {};

TEST_F(Conversione, OldRowsMergeIntoOneRowPerKeyAndCodeThatTheMainProgramReads) {
  Ini("[001]\nData=20240101120000\n");
  Crea_Vecchio();
  Righe_00F({{"' '", "1", "'A1'", "'Uno'"},
             {"'A'", "1", "'B1'", "'Annullato'"},
             {"' '", "2", "'C1'", "'Da sostituire'"}});
  Righe_10F({// numbers 1 and 3 of one code: both descriptions, the status of number 1
             {"'X'", "1", "'A1'", "3", "'Tre'"},
             {"'S'", "1", "'A1'", "1", "'Uno bis'"},
             // a cancelled row blanks a description after the first, keeps the first
             {"'A'", "2", "'C1'", "2", "'Due'"},
             {"'A'", "2", "'C1'", "1", "'Primo'"},
             // only numbers above 1: the row keeps the blank status it was added with
             {"'Z'", "3", "'D1'", "16", "'Sedici'"},
             {"'A'", "3", "'D1'", "5", "'Cinque'"},
             // the seek compares codes as the engine did: case and trailing blanks ignored
             {"' '", "1", "'b1  '", "2", "'Due di B1'"}});
  // A copy left by an earlier compaction goes first.
  dir.write("Dati/KYX_1_NEW.MDB", "resto");

  const convd::Risultato r = Converti();
  EXPECT_EQ(r.esito, Esito::kConvertito) << r.errore.ToString();
  EXPECT_EQ(Righe_Nuove(), (std::vector<std::string>{
                               "S|1|A1|01=Uno bis|03=Tre",
                               "A|1|B1|01=Annullato|02=Due di B1",
                               "A|2|C1|01=Primo",
                               " |3|D1|16=Sedici",
                           }));
  EXPECT_EQ(captions, (Captions{" Costruzione nuova tabella ", " Caricamento 1 ", " Caricamento 2 ",
                                " Elimina vecchie tabelle ", " Compattamento DB ", " Conversione completata "}));
  EXPECT_EQ(host.pumps(), static_cast<int>(captions.size()));
  EXPECT_EQ(Tabelle(Mdb(1)), (std::vector<std::string>{"KYX_DS_20F"}));
  EXPECT_EQ(Indici(Mdb(1), "KYX_DS_20F"),
            (std::map<std::string, std::string>{{"KYX_DS_21L__KYX_DS_20F", "S_DS_KEY,S_DS_CODI"}}));
  EXPECT_FALSE(files::file_exists(Dati("KYX_1_NEW.MDB")));
  // Compacted: the pages of the dropped tables are gone.
  EXPECT_EQ(Sql(Mdb(1), "PRAGMA freelist_count"), (std::vector<std::vector<std::string>>{{"0"}}));

  // The main program takes the table as its own: same columns, no rebuild (the key "Data" that a
  // rebuilt table resets stays), its rows in index order ("A" rows go at its opening).
  {
    data::SqliteConnection cn;
    ASSERT_TRUE(cn.Open(Mdb(1)).ok());
    std::vector<data::FieldInfo> colonne;
    ASSERT_TRUE(data::Catalog(cn).ColumnsInCreationOrder("KYX_DS_20F", &colonne).ok());
    EXPECT_EQ(colonne, mdb1::Tabella_Descrizioni().Colonne);
  }
  ASSERT_TRUE(Apri_MDB1(false, false));
  EXPECT_EQ(Leggi_Ini("001", "Data", "?"), "20240101120000");
  std::vector<std::string> lette;
  for (; !Rs_Descrizioni->AfterLast(); Rs_Descrizioni->MoveNext())
    lette.push_back(Rs_Descrizioni->Field("S_DS_CODI").text() + "=" + Rs_Descrizioni->Field("S_DS_D_01").text());
  EXPECT_EQ(lette, (std::vector<std::string>{"A1=Uno bis", "D1= "}));
}

TEST_F(Conversione, EmptyFirstTableSkipsItsPassAndProgressShowsEveryHundredRows) {
  Crea_Vecchio();
  std::string sql = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 250) "
                    "INSERT INTO KYX_DS_10F SELECT ' ', 7, 'C' || i, 1, 'D' || i FROM n";
  ASSERT_TRUE(Sql(Mdb(1), sql).empty());

  EXPECT_EQ(Converti().esito, Esito::kConvertito);
  EXPECT_EQ(captions, (Captions{" Costruzione nuova tabella ", " Caricamento 1 ", " Caricamento 2 ",
                                " Caricamento 2 - 100", " Caricamento 2 - 200", " Elimina vecchie tabelle ",
                                " Compattamento DB ", " Conversione completata "}));
  EXPECT_EQ(Sql(Mdb(1), "SELECT COUNT(*), MIN(S_DS_D_01) FROM KYX_DS_20F WHERE S_DS_KEY = 7"),
            (std::vector<std::vector<std::string>>{{"250", "D1"}}));
  EXPECT_EQ(Tabelle(Mdb(1)), (std::vector<std::string>{"KYX_DS_20F"}));
}

TEST_F(Conversione, DatabaseAlreadyConvertedIsLeftUntouched) {
  Crea_Vecchio();
  Righe_00F({{"' '", "1", "'A1'", "'Uno'"}});
  ASSERT_TRUE(Sql(Mdb(1), "CREATE TABLE KYX_DS_20F (S_DS_STAT TEXT(1))").empty());
  dir.write("Dati/KYX_1_NEW.MDB", "resto");
  const std::string prima = dir.read("Dati/KYX_1.MDB");

  EXPECT_EQ(Converti().esito, Esito::kGia_Convertito);
  EXPECT_EQ(captions, (Captions{" Conversione gi\xE0 effettuata "}));
  EXPECT_EQ(dir.read("Dati/KYX_1.MDB"), prima);
  EXPECT_EQ(dir.read("Dati/KYX_1_NEW.MDB"), "resto");
}

TEST_F(Conversione, DescriptionNumbersOutsideTheSixteenColumnsAreLeftOutAndCounted) {
  Crea_Vecchio();
  // 0 and -1 would land on the code and the key, 17 past the last description.
  Righe_10F({{"'S'", "1", "'A1'", "0", "'Zero'"},
             {"'S'", "1", "'A1'", "-1", "'Meno uno'"},
             {"'S'", "1", "'A1'", "17", "'Diciassette'"},
             {"'S'", "1", "'A1'", "2", "'Due'"}});
  host.expect("fuori da 1 a 16): 3");

  const convd::Risultato r = Converti();
  EXPECT_EQ(r.esito, Esito::kConvertito);
  EXPECT_EQ(r.Righe_Fuori_Campo, 3);
  EXPECT_EQ(host.shown().at(0).style, host::vbExclamation);
  EXPECT_EQ(Righe_Nuove(), (std::vector<std::string>{" |1|A1|02=Due"}));
}

// Every failure leaves the database exactly as it was, says so, and keeps the caption of the
// step under way; once the cause is gone, the next run converts (it does not find a half-filled
// new table and take it for done).
TEST_F(Conversione, FailureLeavesTheOldDatabaseAsItWasAndALaterRunConverts) {
  struct Caso {
    const char* nome;
    bool con_10F, con_indici;
    std::vector<Riga_10F> righe;
    const char* caption;  // the last caption shown
    const char* riparazione;
  };
  const std::string lunga = "'" + std::string(41, 'x') + "'";
  const std::vector<Caso> casi = {
      {"missing table", false, true, {}, " Costruzione nuova tabella ",
       "CREATE TABLE KYX_DS_10F (a TEXT, b INTEGER, c TEXT, d INTEGER, e TEXT);"
       "CREATE INDEX KYX_DS_11L__KYX_DS_10F ON KYX_DS_10F (b, c, d)"},
      {"missing index", true, false, {}, " Costruzione nuova tabella ",
       "CREATE INDEX KYX_DS_01L__KYX_DS_00F ON KYX_DS_00F (S_DS_KEY, S_DS_CODI);"
       "CREATE INDEX KYX_DS_11L__KYX_DS_10F ON KYX_DS_10F (S_DS_KEY, S_DS_CODI, S_DS_NUME)"},
      {"description too wide", true, true, {{"' '", "1", "'A1'", "2", lunga}}, " Caricamento 2 ",
       "UPDATE KYX_DS_10F SET S_DS_DESC = 'ok'"},
      {"key out of range", true, true, {{"' '", "40000", "'A1'", "1", "'d'"}}, " Caricamento 2 ",
       "UPDATE KYX_DS_10F SET S_DS_KEY = 4"},
      {"null code", true, true, {{"' '", "1", "NULL", "1", "'d'"}}, " Caricamento 2 ",
       "UPDATE KYX_DS_10F SET S_DS_CODI = 'A1', S_DS_NUME = 2"},
      {"key not a number", true, true, {{"' '", "'tre'", "'A1'", "1", "'d'"}}, " Caricamento 2 ",
       "UPDATE KYX_DS_10F SET S_DS_KEY = 3"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    files::remove_file(Mdb(1));
    captions.clear();
    Crea_Vecchio(true, c.con_10F, c.con_indici);
    Righe_00F({{"' '", "1", "'A1'", "'Uno'"}});
    if (c.con_10F) Righe_10F(c.righe);
    const std::string prima = dir.read("Dati/KYX_1.MDB");

    host.expect("Il database non \xE8 stato modificato.");
    const convd::Risultato r = Converti();
    EXPECT_EQ(r.esito, Esito::kFallito);
    EXPECT_EQ(host.pending(), 0u);
    EXPECT_EQ(captions.back(), c.caption);
    EXPECT_EQ(dir.read("Dati/KYX_1.MDB"), prima);
    EXPECT_FALSE(files::file_exists(Dati("KYX_1_NEW.MDB")));

    ASSERT_TRUE(Sql(Mdb(1), c.riparazione).empty());
    captions.clear();
    EXPECT_EQ(Converti().esito, Esito::kConvertito);
    EXPECT_EQ(Tabelle(Mdb(1)), (std::vector<std::string>{"KYX_DS_20F"}));
    EXPECT_EQ(Righe_Nuove().at(0).rfind(" |1|A1|01=Uno", 0), 0u);
  }
}

TEST_F(Conversione, MissingDatabaseIsReportedAndNotCreated) {
  host.expect("Conversione non riuscita");
  const convd::Risultato r = Converti();
  EXPECT_EQ(r.esito, Esito::kFallito);
  EXPECT_EQ(r.errore.number(), data::kFileNotFound);
  EXPECT_TRUE(captions.empty());
  EXPECT_FALSE(files::file_exists(Mdb(1)));
}

TEST_F(Conversione, ReadOnlyDatabaseIsReportedAndLeftAsItWas) {
  Crea_Vecchio();
  Righe_00F({{"' '", "1", "'A1'", "'Uno'"}});
  const std::string prima = dir.read("Dati/KYX_1.MDB");
  ASSERT_EQ(::chmod(Mdb(1).c_str(), 0444), 0);
  give_to_child(dir.path());
  give_to_child(Cartella());
  give_to_child(Mdb(1));
  const std::string cartella = Cartella();
  const int verdetto = run_unprivileged([&] {
    host.on_failure = [](const std::string&) { std::_Exit(5); };
    host.expect("Conversione non riuscita");
    const convd::Risultato r = convd::Converti_Descrizioni(cartella, nullptr);
    return r.esito == Esito::kFallito && host.pending() == 0;
  });
  EXPECT_EQ(verdetto, 0);
  EXPECT_EQ(dir.read("Dati/KYX_1.MDB"), prima);
}

TEST_F(Conversione, FailedCompactionKeepsTheConvertedDatabaseInPlace) {
  Crea_Vecchio();
  Righe_00F({{"' '", "1", "'A1'", "'Uno'"}});
  // A folder where the compaction copy goes cannot be deleted as a leftover copy.
  ASSERT_TRUE(files::make_folder(Dati("KYX_1_NEW.MDB")));
  files::make_folder(Dati("KYX_1_NEW.MDB/dentro"));
  host.expect("Le descrizioni sono state convertite");

  const convd::Risultato r = Converti();
  EXPECT_EQ(r.esito, Esito::kNon_Compattato);
  EXPECT_EQ(captions.back(), " Compattamento DB ");
  EXPECT_EQ(Tabelle(Mdb(1)), (std::vector<std::string>{"KYX_DS_20F"}));
  EXPECT_EQ(Righe_Nuove(), (std::vector<std::string>{" |1|A1|01=Uno"}));
}

}  // namespace
}  // namespace kyx::test
