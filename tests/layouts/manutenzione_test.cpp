// Upkeep of the saved files: the upgrade of old positional layout files, the old column
// conditions, the reference year and the deletion over a folder tree.
#include <gtest/gtest.h>

#include "common/stato.h"
#include "layouts/file_layout.h"
#include "layouts/manutenzione.h"
#include "platform/ini/ini_file.h"
#include "tests/layouts/ambiente_layout.h"

namespace kyx::test {
namespace {

class Manutenzione : public AmbienteLayout {
 protected:
  // An old positional file of two columns and the given filter blocks (3 lines each).
  static std::string Vecchio(const std::vector<std::string>& filtri, int colonne = 2) {
    std::vector<std::string> r = {"Vendite", "[Link]", "Vendite ", "01/02/2014 10:00:00", "A001K002L003", "2014",
                                  std::to_string(colonne), "1", "2", "ASC", "?", "1", "0"};
    for (int c = 1; c <= 2; ++c) {
      for (int k = 1; k <= 18; ++k) r.push_back(k == 1 ? "Col " + std::to_string(c) : k == 17 ? "k_001 = 'A','B'" : std::to_string(k));
    }
    r.push_back(std::to_string(filtri.size() / 3));
    r.insert(r.end(), filtri.begin(), filtri.end());
    for (int i = 1; i <= 9; ++i) r.insert(r.end(), {i == 1 ? "001" : "-001", i == 1 ? "Area" : "", "-001", ""});
    std::string t;
    for (const std::string& x : r) t += x + "\r\n";
    return t;
  }
};

TEST_F(Manutenzione, OldFilesBecomeKeyedFilesTheLoaderReads) {
  const std::string vecchio = Vecchio({"1", "=", "A,B,C", "2", "R", "10,20", "3", "X", "Q", "4", "=", ""});
  dir.write("Dati/PREFERITI/Vendite/KYX_E_000001_2.DAT", vecchio);
  const std::string chiave = "[Q-KRE]\r\n_CMax____=000\r\nPA_9____V=\r\n";
  dir.write("Dati/PREFERITI/KYX_E_000002_2.DAT", chiave);
  // Announces more columns than it has lines for: left as it is.
  const std::string corto = Vecchio({}, 40);
  dir.write("Dati/PREFERITI/KYX_E_000003_2.DAT", corto);
  // A range with one value only: left as it is.
  const std::string intervallo = Vecchio({"2", "R", "10"});
  dir.write("Dati/PREFERITI/KYX_E_000004_2.DAT", intervallo);

  // A count too large even for a Double, of columns or of filters: left as it is.
  std::string enorme = Vecchio({});
  enorme.replace(enorme.find("2014\r\n2\r\n"), 9, "2014\r\n1E999\r\n");
  dir.write("Dati/PREFERITI/KYX_E_000005_2.DAT", enorme);
  std::string troppi_filtri = Vecchio({});
  troppi_filtri.replace(troppi_filtri.find("18\r\n0\r\n001\r\n"), 12, "18\r\n1E999\r\n001\r\n");
  dir.write("Dati/PREFERITI/KYX_E_000006_2.DAT", troppi_filtri);

  Converti_Preferiti(Cartella_Preferiti);

  EXPECT_EQ(Leggi(dir.file("Dati/PREFERITI/KYX_E_000005_2.DAT")), enorme);
  EXPECT_EQ(Leggi(dir.file("Dati/PREFERITI/KYX_E_000006_2.DAT")), troppi_filtri);

  EXPECT_EQ(Leggi(dir.file("Dati/PREFERITI/KYX_E_000002_2.DAT")), chiave);
  EXPECT_EQ(Leggi(dir.file("Dati/PREFERITI/KYX_E_000003_2.DAT")), corto);
  EXPECT_EQ(Leggi(dir.file("Dati/PREFERITI/KYX_E_000004_2.DAT")), intervallo);
  EXPECT_TRUE(files::list_files(dir.file("Dati/PREFERITI/Vendite"), "*.TMP").empty());

  const std::string nuovo = Leggi(dir.file("Dati/PREFERITI/Vendite/KYX_E_000001_2.DAT"));
  const std::vector<std::string> r = Righe(nuovo);
  ASSERT_EQ(r.size(), 1u + 13 + 2 * 17 + 4 * 4 + 36 + 18);
  EXPECT_EQ(r[0], "[Q-KRE]");
  EXPECT_EQ(r[13], "_PreP____=-1");
  EXPECT_EQ(std::count(r.begin(), r.end(), "C_001_Pre=0") + std::count(r.begin(), r.end(), "C_002_Pre=1"), 2);
  EXPECT_NE(std::find(r.begin(), r.end(), "C_002_Whe= ((k_001 in('A','B')))"), r.end()) << nuovo;
  const std::vector<std::string> filtri(r.begin() + 14 + 34, r.begin() + 14 + 34 + 16);
  EXPECT_EQ(filtri, (std::vector<std::string>{"UF_0001_K=1", "UF_0001_O==", "UF_0001_U=", "UF_0001_V=A",
                                              "UF_0001_K=1", "UF_0001_O==", "UF_0001_U=", "UF_0001_V=B",
                                              "UF_0001_K=1", "UF_0001_O==", "UF_0001_U=", "UF_0001_V=C",
                                              "UF_0002_K=2", "UF_0002_O=D", "UF_0002_U=20", "UF_0002_V=10"}));
  Contenuto_Layout l;
  std::string motivo;
  ASSERT_TRUE(Leggi_Contenuto_Layout(nuovo, l, motivo)) << motivo;
  EXPECT_EQ(l.Numero_Colonne, 2);
  EXPECT_EQ(l.Colonne[2].Intestazione, "Col 2");
  EXPECT_EQ(l.Liv_Riga_Chiave[0], 1);
  EXPECT_EQ(l.Filtri.size(), 4u);

  // A second run finds only keyed files and changes nothing.
  Converti_Preferiti(Cartella_Preferiti);
  EXPECT_EQ(Leggi(dir.file("Dati/PREFERITI/Vendite/KYX_E_000001_2.DAT")), nuovo);
}

TEST_F(Manutenzione, OldConditionsTakeTheNewSyntax) {
  const std::pair<std::string, std::string> casi[] = {
      {"k_001 = 'A','B' and k_002 = 'C' ", " ((k_001 in('A','B' ))) and ((k_002 in('C' )))"},
      {"k_001 in ('A') and k_002 <> 'X'", " ((k_001 in('A') )) and ((k_002 not in('X')))"},
      {"k_003 not in ('A','B')", " (k_003 not in('A','B'))"},
      {"k_001 = 'A'", " ((k_001 in('A')))"},  // the last condition: no character repeated
      {"", " "},
      {"x = 1", " x = 1"},
  };
  for (const auto& [vecchio, nuovo] : casi) {
    std::string r;
    Converti_Filtro(vecchio, r);
    EXPECT_EQ(r, nuovo) << vecchio;
  }
}

TEST_F(Manutenzione, YearAndDeletionReachEverySubFolder) {
  for (const char* f : {"Dati/PREFERITI/KYX_E_000001_2.DAT", "Dati/PREFERITI/Vendite/KYX_E_000002_2.DAT"})
    dir.write(f, "[Q-KRE]\r\n_Anno____=2014\r\n_CMax____=000\r\n");
  dir.write("Dati/PREFERITI/Vendite/KYX_E_000002_1.DAT", "r");
  dir.write("Dati/PREFERITI/Vendite/altro.txt", "r");
  for (int32_t anno : {2015, 0}) {
    Anno_Riferimento = anno;
    std::string nessuno;
    EXPECT_TRUE(Imposta_Anno_Preferiti(Cartella_Preferiti, nessuno));
    EXPECT_EQ(nessuno, "");
    for (const char* f : {"Dati/PREFERITI/KYX_E_000001_2.DAT", "Dati/PREFERITI/Vendite/KYX_E_000002_2.DAT"})
      EXPECT_EQ(ini::IniFile(dir.file(f)).Read("Q-KRE", "_Anno____", ""), anno ? "2015" : "0000");
  }
  std::vector<std::string> sotto;
  int32_t numero = -1;
  Elenco_Sottocartelle(Cartella_Preferiti, sotto, numero);
  EXPECT_EQ(numero, 1);
  EXPECT_EQ(sotto, (std::vector<std::string>{Cartella_Preferiti + "Vendite\\"}));

  std::string nessuno;
  EXPECT_TRUE(Elimina_Preferiti(Cartella_Preferiti, nessuno));
  EXPECT_TRUE(files::list_files(dir.file("Dati/PREFERITI"), "*").empty());
  EXPECT_EQ(files::list_files(dir.file("Dati/PREFERITI/Vendite"), "*"), (std::vector<std::string>{"altro.txt"}));
}

}  // namespace
}  // namespace kyx::test
