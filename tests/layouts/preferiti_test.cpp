// The favourites tree on disk: the scan, the number a new favourite takes, typed names, and the
// moves of a file pair and of a folder that never replace what they land on.
#include <gtest/gtest.h>

#include "common/stato.h"
#include "layouts/preferiti.h"
#include "tests/support/temp_dir.h"
#include "platform/files/files.h"

namespace kyx::test {
namespace {

class Preferiti : public ::testing::Test {
 protected:
  Preferiti() {
    preferiti::reset();
    radice = dir.path() + "/Dati\\PREFERITI";
    files::make_folder(dir.file("Dati/PREFERITI"));
  }
  ~Preferiti() override { preferiti::reset(); }

  // A favourite's pair in a folder below the root ("" = the root itself).
  void Coppia(const std::string& cartella, const std::string& numero, const std::string& titolo,
              const std::string& risultato = "R") {
    const std::string f = dir.file("Dati/PREFERITI/" + (cartella.empty() ? "" : cartella + "/") + "KYX_E_" + numero);
    files::make_folder(f.substr(0, f.rfind('/')));
    ASSERT_TRUE(files::write_file_atomic(f + "_2.DAT", "[Q-KRE]\r\n_Elab____=" + titolo +
                                                        "\r\n_Link____=[Link]\r\n_Anno____=2024\r\n"));
    if (!risultato.empty()) {
      ASSERT_TRUE(files::write_file_atomic(f + "_1.DAT", risultato));
    }
  }
  std::string Sotto(const std::string& rel) const { return dir.file("Dati/PREFERITI/" + rel); }
  std::string Chiave(const std::string& rel) const { return radice + "\\" + rel; }

  TempDir dir;
  std::string radice;
};

TEST_F(Preferiti, TheScanListsSubFoldersFirstThenFavouritesAndFindsTheHighestNumber) {
  Coppia("Vendite", "000003", "Tre");
  Coppia("Vendite/Nord", "000017", "Diciassette");
  Coppia("", "000005", "Cinque");
  Coppia("", "00012", "Cinque cifre");
  Coppia("", "000012", "Solo risultato");
  files::remove_file(Sotto("KYX_E_000012_2.DAT"));
  ASSERT_TRUE(files::make_folder(Sotto("Acquisti")));

  const auto voci = Elenco_Preferiti(radice);
  std::vector<std::string> visto;
  for (const auto& v : voci) visto.push_back(std::string(1, v.Tag) + " " + v.Chiave + " < " + v.Padre + " : " + v.Testo);
  const std::vector<std::string> atteso = {
      "C " + Chiave("Acquisti") + " < " + radice + " : Acquisti",
      "C " + Chiave("Vendite") + " < " + radice + " : Vendite",
      "C " + Chiave("Vendite\\Nord") + " < " + Chiave("Vendite") + " : Nord",
      "F " + Chiave("Vendite\\Nord\\KYX_E_000017_2.DAT") + " < " + Chiave("Vendite\\Nord") + " : Diciassette",
      "F " + Chiave("Vendite\\KYX_E_000003_2.DAT") + " < " + Chiave("Vendite") + " : Tre",
      "F " + Chiave("KYX_E_000005_2.DAT") + " < " + radice + " : Cinque",
  };
  EXPECT_EQ(visto, atteso);
  EXPECT_EQ(Ultimo_Preferito, 17);
  EXPECT_EQ(voci.back().Link, "[Link]");
  EXPECT_EQ(voci.back().Anno, "2024");

  files::remove_files(Sotto("Vendite/Nord"), "*.DAT");
  files::remove_files(Sotto("Vendite"), "*.DAT");
  files::remove_files(Sotto(""), "*.DAT");
  Elenco_Preferiti(radice);
  EXPECT_EQ(Ultimo_Preferito, 0);
}

TEST_F(Preferiti, ANewFavouriteTakesTheNextNumberTheFolderDoesNotHold) {
  Coppia("Vendite", "000003", "Tre");
  Coppia("Acquisti", "000004", "Altro");
  Coppia("Acquisti", "000005", "Altro", "");
  Elenco_Preferiti(radice);
  ASSERT_EQ(Ultimo_Preferito, 5);
  // Files of numbers above the last favourite (a result without its layout file, say) stay.
  ASSERT_TRUE(files::write_file_atomic(Sotto("Vendite/KYX_E_000006_1.DAT"), "orfano"));
  ASSERT_TRUE(files::write_file_atomic(Sotto("Vendite/KYX_E_000007_2.DAT"), "[Q-KRE]\r\n"));
  EXPECT_EQ(Numero_Libero(Chiave("Vendite")), 8);
  EXPECT_EQ(Numero_Libero(Chiave("Acquisti")), 6);
}

TEST_F(Preferiti, TypedNamesThatWouldNotStayOneNameAreRefused) {
  struct Caso {
    std::string nome;
    bool valido;
  };
  const Caso casi[] = {
      {"Vendite 2024", true}, {"Cr\xE9" "dito", true}, {std::string(255, 'a'), true},
      {"", false}, {".", false}, {"..", false}, {"a/b", false}, {"..\\..\\x", false}, {"riga\nnuova", false},
      {std::string("a\0b", 3), false}, {std::string(256, 'a'), false}, {std::string(128, '\xE8'), false},
  };
  for (const Caso& c : casi) {
    std::string m;
    EXPECT_EQ(Nome_Cartella_Valido(c.nome, m), c.valido) << c.nome;
    EXPECT_EQ(m.empty(), c.valido) << c.nome;
  }
  std::string m;
  EXPECT_TRUE(Testo_Preferito_Valido("Vendite | Nord", m));
  EXPECT_FALSE(Testo_Preferito_Valido("Vendite\r\n_NKey____=X", m));
  EXPECT_FALSE(m.empty());
}

TEST_F(Preferiti, AMoveTakesBothFilesOrRefusesAndLeavesBoth) {
  Coppia("Vendite", "000003", "Tre", "risultato 3");
  ASSERT_TRUE(files::make_folder(Sotto("Acquisti")));
  std::string nuovo, m;
  ASSERT_TRUE(Sposta_Preferito(Chiave("Vendite\\KYX_E_000003_2.DAT"), Chiave("Acquisti"), nuovo, m)) << m;
  EXPECT_EQ(nuovo, Chiave("Acquisti\\KYX_E_000003_2.DAT"));
  EXPECT_TRUE(files::file_exists(Sotto("Acquisti/KYX_E_000003_2.DAT")));
  EXPECT_TRUE(files::file_exists(Sotto("Acquisti/KYX_E_000003_1.DAT")));
  EXPECT_TRUE(files::list_files(Sotto("Vendite"), "*").empty());

  // A target folder holding a file of either name: nothing moves, nothing is replaced.
  for (const char* occupato : {"KYX_E_000003_2.DAT", "KYX_E_000003_1.DAT"}) {
    SCOPED_TRACE(occupato);
    ASSERT_TRUE(files::write_file_atomic(Sotto(std::string("Vendite/") + occupato), "altro"));
    m.clear();
    EXPECT_FALSE(Sposta_Preferito(Chiave("Acquisti\\KYX_E_000003_2.DAT"), Chiave("Vendite"), nuovo, m));
    EXPECT_NE(m.find("stesso nome"), std::string::npos) << m;
    EXPECT_EQ(dir.read("Dati/PREFERITI/Vendite/" + std::string(occupato)), "altro");
    EXPECT_EQ(dir.read("Dati/PREFERITI/Acquisti/KYX_E_000003_1.DAT"), "risultato 3");
    EXPECT_TRUE(files::file_exists(Sotto("Acquisti/KYX_E_000003_2.DAT")));
    files::remove_file(Sotto(std::string("Vendite/") + occupato));
  }
}

TEST_F(Preferiti, ASecondMoveThatFailsPutsTheFirstFileBack) {
  Coppia("Vendite", "000003", "Tre", "risultato 3");
  ASSERT_TRUE(files::make_folder(Sotto("Acquisti")));
  // Another program writes the result's name into the target between the two moves.
  const auto altro_programma = [this] {
    ASSERT_TRUE(files::write_file_atomic(Sotto("Acquisti/KYX_E_000003_1.DAT"), "arrivato prima"));
  };
  std::string nuovo = "invariato", m;
  EXPECT_FALSE(
      Sposta_Preferito(Chiave("Vendite\\KYX_E_000003_2.DAT"), Chiave("Acquisti"), nuovo, m, altro_programma));
  EXPECT_FALSE(m.empty());
  EXPECT_EQ(nuovo, "invariato");
  EXPECT_EQ(dir.read("Dati/PREFERITI/Vendite/KYX_E_000003_1.DAT"), "risultato 3");
  EXPECT_NE(dir.read("Dati/PREFERITI/Vendite/KYX_E_000003_2.DAT").find("_Elab____=Tre"), std::string::npos);
  EXPECT_EQ(dir.read("Dati/PREFERITI/Acquisti/KYX_E_000003_1.DAT"), "arrivato prima");
  EXPECT_FALSE(files::exists(Sotto("Acquisti/KYX_E_000003_2.DAT")));
}

TEST_F(Preferiti, AFolderRenameNeverReplacesAFileOrFolder) {
  Coppia("Vendite", "000003", "Tre");
  Coppia("Acquisti", "000004", "Quattro");
  ASSERT_TRUE(files::write_file_atomic(Sotto("Nota"), "testo"));
  EXPECT_FALSE(Rinomina_Cartella(Chiave("Vendite"), Chiave("Acquisti")));
  EXPECT_FALSE(Rinomina_Cartella(Chiave("Vendite"), Chiave("Nota")));
  EXPECT_EQ(dir.read("Dati/PREFERITI/Nota"), "testo");
  EXPECT_TRUE(files::file_exists(Sotto("Acquisti/KYX_E_000004_2.DAT")));
  EXPECT_FALSE(files::file_exists(Sotto("Acquisti/KYX_E_000003_2.DAT")));
  EXPECT_TRUE(Rinomina_Cartella(Chiave("Vendite"), Chiave("Estero")));
  EXPECT_TRUE(files::file_exists(Sotto("Estero/KYX_E_000003_2.DAT")));
}

}  // namespace
}  // namespace kyx::test
