// A favourite run again on current data: a small local elaboration (the engine's test system),
// its result saved into the history and over the favourite's saved result only when the run
// went through to its end.
#include <gtest/gtest.h>

#include "common/stato_db.h"
#include "db/mdb2.h"
#include "engine/agganci_motore.h"
#include "engine/elaborazione.h"
#include "layouts/layout.h"
#include "platform/ini/ini_file.h"
#include "tests/layouts/ambiente_layout.h"

namespace kyx::test {
namespace {

class Aggiorna : public AmbienteLayout {
 protected:
  void SetUp() override {
    AmbienteLayout::SetUp();
    Chiave(1, "K", 4);
    Riga("VALORI", {"SINF", "IDX", "ELEM"}, {"SI1", 1, 3});
    Layout(3, "Vendite");
    Elementi({{.col = 1, .calc = "#L1(001)"}, {.col = 2, .calc = "#+V001#", .tot = "T"}});
    Liv_Riga_Chiave[0] = 1;
    ASSERT_TRUE(Apri_MDB2(false, false));
    // The history save, as the program wires it.
    agganci_motore::Salva_Layout = [](const std::string& o, int16_t c) { Salva_Layout(o, c); };
  }
  void Dato(const std::string& area, double valore) {
    ASSERT_TRUE(Cn_MDB0 != nullptr);
    const std::string sql = "INSERT INTO KYX_D0_00F_SI1 (IDX, K_001, V_001_01, V_001_02, V_001_03) VALUES (" +
                            std::to_string(++righe_) + ",'" + area + "'," + std::to_string(valore) + ",0,0)";
    ASSERT_TRUE(Sql(Mdb(2), sql).empty()) << sql;
  }
  // A favourite copied from history pair 1, its date set back.
  void Preferito(const std::string& chiave) {
    const std::string p = dir.file("Dati/PREFERITI/Vendite/KYX_E_000001_");
    ASSERT_TRUE(files::write_file_atomic(p + "2.DAT", Leggi(Storico("KYX_E_000001_2.DAT"))));
    ASSERT_TRUE(files::write_file_atomic(p + "1.DAT", Leggi(Storico("KYX_E_000001_1.DAT"))));
    ini::IniFile f(p + "2.DAT");
    f.Write("Q-KRE", "_Data____", "01/01/2000 00:00:00");
    f.Write("Q-KRE", "_NKey____", chiave);
  }
  int64_t Righe_Salvate(const std::string& file) {
    data::StaticRecordset rs;
    return rs.Load(file).ok() ? rs.RecordCount() : -1;
  }
  static std::string Fav() { return Cartella_Preferiti + "Vendite\\KYX_E_000001_2.DAT"; }
  int righe_ = 0;
};

TEST_F(Aggiorna, ACompletedRunReplacesTheFavouritesResult) {
  Dato("NORD", 1);
  ASSERT_TRUE(Esegui_Elaborazione());
  Preferito("A001K002L003");
  const std::string fav_1 = dir.file("Dati/PREFERITI/Vendite/KYX_E_000001_1.DAT");
  EXPECT_EQ(Righe_Salvate(fav_1), 2);  // NORD and the grand total
  Dato("SUD", 5);
  Dato("EST", 7);
  Liv_Riga_Chiave[0] = 4;  // the favourite's own levels come back

  Carica_Layout(0, Fav(), true);
  EXPECT_EQ(Liv_Riga_Chiave[0], 1);
  EXPECT_EQ(Elaborazione_Corrente, 2);
  EXPECT_TRUE(files::file_exists(Storico("KYX_E_000002_2.DAT")));
  EXPECT_EQ(Righe_Salvate(fav_1), 4);
  EXPECT_NE(ini::IniFile(Fav()).Read("Q-KRE", "_Data____", ""), "01/01/2000 00:00:00");
  EXPECT_TRUE(files::list_files(dir.file("Dati/PREFERITI/Vendite"), "*.TMP").empty());
}

TEST_F(Aggiorna, ARunThatEndsEarlyKeepsTheFavouritesResult) {
  Dato("NORD", 1);
  ASSERT_TRUE(Esegui_Elaborazione());
  // The favourite's layout 9 is in the tree but no longer in the structure tables.
  Preferito("A001K002L009");
  nodo_esistente = "A001K002L009";
  const std::string fav_1 = dir.file("Dati/PREFERITI/Vendite/KYX_E_000001_1.DAT");
  const std::string prima = Leggi(fav_1);
  Dato("SUD", 5);

  Carica_Layout(0, Fav(), true);
  EXPECT_EQ(Layout_Corrente, 9);
  EXPECT_EQ(Leggi(fav_1), prima);
  EXPECT_EQ(ini::IniFile(Fav()).Read("Q-KRE", "_Data____", ""), "01/01/2000 00:00:00");

  // A layout the tree no longer has: the key is forgotten and nothing runs.
  nodo_esistente = "";
  Carica_Layout(0, Fav(), true);
  EXPECT_EQ(chiave_layout, "");
  EXPECT_EQ(Elaborazione_Corrente, 1);
}

}  // namespace
}  // namespace kyx::test
