// Column auto-width with the widths it remembers, and the sort by a pressed column.
#include <string>
#include <vector>

#include "common/impostazioni.h"
#include "platform/files/files.h"
#include "tests/views/ambiente_griglia.h"

namespace kyx::test {
namespace {

class Larghezze : public AmbienteGriglia {
 protected:
  Larghezze() {
    Ini("[001]\n");
    Profilo_Corrente = 1;
    Layout_Corrente = 12;
    Spazi_Misura = "   ";
  }
  static std::string Dim(int c) { return Leggi_Ini("001", "Dim L012 " + Numero_Cifre(c, 3), "-"); }
};

TEST_F(Larghezze, AnEmptyResultChangesNoWidth) {
  Risultato({});
  Visualizza_Larghezza_Colonne(65535, -1, -1);
  EXPECT_EQ(Col_Larghezza[1], 1500);
  EXPECT_EQ(Dim(1), "-");
}

TEST_F(Larghezze, AllColumnsFitTheirCellsOrTheirHeadingsAndAreStored) {
  Col_Intestazione[1] = "A much longer heading than any code|x";
  Risultato({"0000012", "0000012"});
  Visualizza_Griglia();
  Visualizza_Larghezza_Colonne(65535, 0, -1);
  const int16_t celle = Col_Larghezza[1];
  EXPECT_GT(celle, 180);
  EXPECT_LT(celle, 1500) << "without headings a long heading is cut";
  EXPECT_EQ(Col_Larghezza[3], 180) << "a hidden column measures as a blank";
  EXPECT_EQ(grid->ColWidth(1), celle) << "applied to the grid at once";
  EXPECT_EQ(grid->ColWidth(3), 0) << "a hidden column keeps no width in the grid";
  for (int c : {0, 1, 2, 3}) EXPECT_EQ(Dim(c), Numero_Cifre(Col_Larghezza[c], 6)) << c;

  Visualizza_Larghezza_Colonne(1, -1, 0);
  EXPECT_GT(Col_Larghezza[1], celle) << "with headings the heading sets the width";
  EXPECT_EQ(grid->ColWidth(1), celle) << "not applied: the grid keeps its width";
  EXPECT_EQ(Dim(1), Numero_Cifre(Col_Larghezza[1], 6));

  // A width equal to the stored one writes nothing.
  Scrivi_Ini("001", "Dim L012 001", "untouched");
  Visualizza_Larghezza_Colonne(1, -1, 0);
  EXPECT_EQ(Dim(1), "untouched");
}

TEST_F(Larghezze, AWidthBeyondSixteenBitsIsStoredAsTheWidestThatFits) {
  Risultato({"0000012"});
  auto* rs = static_cast<data::StaticRecordset*>(Rs_Griglia.get());
  rs->MoveFirst();
  rs->SetText(1, std::string(4000, 'W'));
  ASSERT_TRUE(rs->Update().ok());
  Visualizza_Griglia();
  Visualizza_Larghezza_Colonne(1, 0, -1);
  EXPECT_EQ(Col_Larghezza[1], 32767);
  EXPECT_EQ(Dim(1), "032767");
}

TEST_F(Larghezze, ListsKeepTheirWidthsInTheirOwnTables) {
  Risultato({"0000012"});
  for (int16_t modo : {1, 2}) {
    Modo_Griglia = modo;
    Larghezze_Codici.fill(1);
    Larghezze_Caricati.fill(1);
    Visualizza_Larghezza_Colonne(65535, 0, 0);
    const int16_t codici = Larghezze_Codici[1], caricati = Larghezze_Caricati[1];
    EXPECT_GT(modo == 1 ? codici : caricati, 180) << modo;
    EXPECT_EQ(modo == 1 ? caricati : codici, 1) << modo;
    EXPECT_EQ(Col_Larghezza[1], 1500) << "a list leaves the result's widths alone";
    EXPECT_EQ(Dim(1), "-") << "and writes no settings";
  }
}

class Ordina : public AmbienteGriglia {
 protected:
  Ordina() {
    Modo_Griglia = 1;  // a list: the engine only applies the order
    agganci_viste::Imposta_Puntatore = [this](int16_t f) { puntatori.push_back(f); };
    agganci_viste::Abilita_Base = [this](bool a) { puntatori.push_back(a ? 100 : -100); };
  }
  std::vector<int> puntatori;
};

TEST_F(Ordina, PressesToggleTheDirectionAndAnotherColumnStartsAscending) {
  Risultato({"0000012", "0000012", "0000012", "0000012"});
  Visualizza_Griglia();
  puntatori.clear();
  struct Passo {
    int16_t colonna;
    std::string verso, prima;
  };
  const std::vector<Passo> passi = {
      {2, " ASC", "C1"}, {2, " DESC", "C4"}, {2, " ASC", "C1"}, {2, " DESC", "C4"}, {3, " ASC", "C4"},
  };
  for (const Passo& p : passi) {
    Colonna_Corrente = p.colonna;
    Riga_Evidenziata = 2;
    Prima_Riga = 2;
    Visualizza_Ordina();
    EXPECT_EQ(Colonna_Ordinamento, p.colonna);
    EXPECT_EQ(Verso_Ordinamento, p.verso);
    EXPECT_EQ(grid->TextMatrix(1, 1), p.prima) << p.colonna << p.verso;
    EXPECT_EQ(Prima_Riga, 1) << "the page starts at the top";
    EXPECT_EQ(Riga_Evidenziata, -1) << "and no row is highlighted";
    EXPECT_EQ(KyHead_Stato.Colonna_Simbolo, p.colonna);
    EXPECT_EQ(KyHead_Stato.Verso_Simbolo, p.verso == " ASC" ? 1 : 2);
  }
  EXPECT_EQ(puntatori.front(), 11);
  EXPECT_EQ(puntatori.back(), 0);

  // A column that may not be sorted: nothing happens, not even the pointer.
  puntatori.clear();
  Col_Ordine[1] = 1;
  Colonna_Corrente = 1;
  Visualizza_Ordina();
  EXPECT_EQ(Colonna_Ordinamento, 3);
  EXPECT_TRUE(puntatori.empty());
}

}  // namespace
}  // namespace kyx::test
