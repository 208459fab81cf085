// The command behind "Salva": the save dialog as it is prepared, the checks on the chosen name and
// folder, the profile keys that remember the choice, the writer chosen by the filter, and the
// refusals that leave every file as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/impostazioni.h"
#include "export/esporta.h"
#include "platform/files/files.h"
#include "platform/host/scripted_dialogs.h"
#include "tests/export/ambiente_esporta.h"

namespace kyx::test {
namespace {

class Comando : public AmbienteEsporta {
 protected:
  void SetUp() override {
    AmbienteEsporta::SetUp();
    Elabora();
    Profilo_Corrente = 1;
    Cartella_Esportazione = "\\Dati\\EXPORT\\";
    Esportazione_Estensione = 1;
    ASSERT_TRUE(files::make_folder(Cartella));
  }
  std::string Ini(const std::string& chiave) const { return Leggi_Ini("001", chiave, "<none>"); }
  std::string Stato() const { return host.panels().empty() ? "" : host.panels().back(); }
  std::vector<std::string> File_In_Cartella() const { return files::list_files(Cartella, "*"); }

  const std::string Cartella = dir.path() + "/Dati/EXPORT/";
  host::ScriptedDialogs dialoghi;
};

TEST_F(Comando, TheDialogOpensOnTheStoredFolderAndFormatAndCancelSavesNothing) {
  Esportazione_Estensione = 7;  // unknown: the text filter
  dialoghi.expect_save("", 0);
  Esporta();
  ASSERT_EQ(dialoghi.opened().size(), 1u);
  const host::SaveDialog& d = dialoghi.opened()[0].save;
  EXPECT_EQ(d.DialogTitle, "");
  EXPECT_EQ(d.InitDir, dir.path() + "/Dati\\EXPORT\\");
  EXPECT_EQ(d.FileName, "Vendite 01-2015- Nord-Sud");
  EXPECT_EQ(d.Filter,
            "Documenti di testo (*.txt)|*.txt|Pagine Web (*.htm)|*.htm|Foglio di Microsoft Excel (*.xls)|*.xls|"
            "Foglio di Microsoft Excel 2007 (*.xlsx)|*.xlsx");
  EXPECT_EQ(d.FilterIndex, 1);
  EXPECT_EQ(d.DefaultExt, ".TXT");
  EXPECT_TRUE(d.CancelError);
  EXPECT_EQ(d.Flags, 4);
  EXPECT_EQ(host.panels(), (std::vector<std::string>{"Stato=Scelta file per salvataggio dati",
                                                     "Stato=Salvataggio non effettuato"}));
  EXPECT_TRUE(host.shown().empty());
  EXPECT_FALSE(files::file_exists(File_Ini));
}

TEST_F(Comando, TheFilterChoosesTheFormatAndTheFolderIsRememberedUnderTheProgramFolder) {
  Esportazione_Estensione = 3;
  dialoghi.expect_save(" " + Cartella + "vendite.txt ", 2);  // the web page under a .txt name
  Esporta();
  EXPECT_EQ(dialoghi.opened()[0].save.FilterIndex, 3);
  EXPECT_EQ(dialoghi.opened()[0].save.DefaultExt, ".XLS");
  EXPECT_EQ(dir.read("Dati/EXPORT/vendite.txt").substr(0, 8), "<HTML>\r\n");
  EXPECT_EQ(Ini("Cartella Esportazione"), "\\Dati\\EXPORT\\");
  EXPECT_EQ(Ini("Esportazione Estensione"), "2");
  EXPECT_EQ(Esportazione_Estensione, 2);
  EXPECT_EQ(Stato(), "Stato=Salvataggio " + Cartella + "vendite.txt completato");
  EXPECT_EQ(inizi, 1);

  // The next run starts there, on the web-page filter; a folder elsewhere is stored whole.
  TempDir altrove;
  dialoghi.expect_save(altrove.path() + "/v.htm", 1);
  Esporta();
  EXPECT_EQ(dialoghi.opened()[1].save.InitDir, dir.path() + "/Dati\\EXPORT\\");
  EXPECT_EQ(dialoghi.opened()[1].save.FilterIndex, 2);
  EXPECT_EQ(Ini("Cartella Esportazione"), altrove.path() + "/");
  EXPECT_EQ(Ini("Esportazione Estensione"), "1");
  EXPECT_EQ(altrove.read("v.htm").substr(0, 5), "Q-KRE");
}

TEST_F(Comando, ABadNameOrFolderIsRefusedBeforeAnythingIsWritten) {
  struct Caso {
    std::string file, messaggio, stato;
  };
  const std::vector<Caso> casi = {
      {Cartella + "a?b.txt", "\ri nomi dei file non possono contenere i seguenti caratteri:\r\r\\ | : * ? < > |",
       "Stato=Salvataggio non effettuato"},
      {"vendite.txt", "Il nome della cartella \r\xE9 errato o mancante. ", "Stato=Scelta file per salvataggio dati"},
      {dir.path() + "/manca/v.txt", "La cartella " + dir.path() + "/manca/\rnon ha i permessi di lettura e scrittura. ",
       "Stato=Scelta file per salvataggio dati"},
  };
  for (const Caso& c : casi) {
    dialoghi.expect_save(c.file, 1);
    host.expect(c.messaggio);
    Esporta();
    ASSERT_FALSE(host.shown().empty());
    EXPECT_EQ(host.shown().back().style, 16) << c.file;
    EXPECT_EQ(Stato(), c.stato) << c.file;
  }
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_FALSE(files::file_exists(File_Ini)) << "the profile is not touched";
  EXPECT_TRUE(File_In_Cartella().empty());
  EXPECT_EQ(inizi, 0);
}

TEST_F(Comando, AnExistingFileIsReplacedOnlyWhenTheUserSaysYesAndOnlyWhenComplete) {
  dir.write("Dati/EXPORT/v.txt", "vecchio");
  const std::string file = Cartella + "v.txt";
  dialoghi.expect_save(file, 1);
  host.expect(file + "  esiste gi\xE0. \rSostituirlo?", host::vbNo);
  Esporta();
  EXPECT_EQ(host.shown().back().style, 308);
  EXPECT_EQ(dir.read("Dati/EXPORT/v.txt"), "vecchio");
  EXPECT_EQ(Stato(), "Stato=Salvataggio non effettuato");

  dialoghi.expect_save(file, 1);
  host.expect("Sostituirlo?", host::vbYes);
  Esporta();
  EXPECT_EQ(dir.read("Dati/EXPORT/v.txt").substr(0, 5), "Q-KRE");
  EXPECT_EQ(File_In_Cartella(), (std::vector<std::string>{"v.txt"}));
}

TEST_F(Comando, ATargetThatCannotBeWrittenIsInUseAndNothingIsLeftBehind) {
  ASSERT_TRUE(files::make_folder(Cartella + "cartella.htm"));
  dialoghi.expect_save(Cartella + "cartella.htm", 2);
  host.expect(Cartella + "cartella.htm\r\xE8 utilizzato da un'altra applicazione.");
  Esporta();
  EXPECT_EQ(Stato(), "Stato=Salvataggio non effettuato");
  EXPECT_TRUE(files::folder_exists(Cartella + "cartella.htm"));
  EXPECT_TRUE(File_In_Cartella().empty());
  EXPECT_TRUE(files::list_files(Cartella, ".*").empty()) << "no temporary file stays";
}

TEST_F(Comando, TheExcel97FormatWritesTheWorkbook) {
  dialoghi.expect_save(Cartella + "v.xls", 3);
  Esporta();
  EXPECT_EQ(Stato(), "Stato=Salvataggio " + Cartella + "v.xls completato");
  EXPECT_EQ(File_In_Cartella(), (std::vector<std::string>{"v.xls"}));
}

TEST_F(Comando, TheOpenXmlFormatWritesTheWorkbook) {
  setenv("KYX_OPEN_COMMAND", "true", 1);
  dialoghi.expect_save(Cartella + "v.xlsx", 4);
  Esporta();
  unsetenv("KYX_OPEN_COMMAND");
  EXPECT_EQ(Stato(), "Stato=Salvataggio " + Cartella + "v.xlsx completato");
  EXPECT_TRUE(files::file_exists(Cartella + "v.xlsx"));
}

TEST_F(Comando, NothingToExportEndsSilently) {
  Col_Visibile.fill(1);
  Esporta();  // no dialog expected: opening one fails the test
  Col_Visibile[2] = 2;
  Rs_Griglia.reset();
  Esporta();
  EXPECT_TRUE(host.panels().empty());
  EXPECT_TRUE(dialoghi.opened().empty());
}

}  // namespace
}  // namespace kyx::test
