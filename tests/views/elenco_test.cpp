// The loaded data-sets list and the key codes list on real local databases: the column model,
// the rows of Rs_Griglia, the filters in words written back to KYX_CARICATI.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/modello.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "db/mdb0.h"
#include "db/mdb1.h"
#include "db/mdb2.h"
#include "engine/stato_motore.h"
#include "tests/db/ambiente_db.h"
#include "views/elenco.h"

namespace kyx {
namespace {

class ElencoTest : public test::AmbienteDb {
 protected:
  ElencoTest() {
    modello::reset();
    stato_motore::reset();
    elenco::reset();
    agganci_elenco::reset();
    Sistema_Informativo = "VEN";
    EXPECT_TRUE(Apri_MDB0(true));
    Esegui(*Cn_MDB0,
           "INSERT INTO SINF (SINF, LIBS1, DBSQL, IDX) VALUES ('VEN', 'LIBVEN', '', 1), ('ACQ', 'LIBACQ', '', 2);"
           "INSERT INTO CHIAVI (SINF, IDX, LUN, TESTO, KEY_D, KINDB, ATTR, FORMATO, TI_01) VALUES "
           "('VEN', 1, 10, 'Prodotto', 5, 'K', 'X', '@@', 'Gruppo'), ('VEN', 2, 8, 'Cliente', 6, 'K', '1', '', ''),"
           "('ACQ', 1, 6, 'Fornitore', 7, 'K', '1', '', '');"
           "INSERT INTO VALORI (SINF, IDX, ELEM) VALUES ('VEN', 1, 1), ('ACQ', 1, 1)");
    EXPECT_TRUE(Apri_MDB0(false));
    EXPECT_TRUE(Apri_MDB1(true, false));
    EXPECT_TRUE(Apri_MDB2(true, false));
  }
  static void Esegui(data::Connection& cn, const std::string& sql) { ASSERT_TRUE(cn.Execute(sql).ok()) << sql; }
  // Every row of Rs_Griglia as its first n fields (all when n < 0) joined by "|".
  static std::vector<std::string> Righe(int n = -1) {
    std::vector<std::string> out;
    if (!Rs_Griglia) return out;
    const int campi = n < 0 ? Rs_Griglia->FieldCount() : n;
    for (Rs_Griglia->MoveFirst(); !Rs_Griglia->AfterLast(); Rs_Griglia->MoveNext()) {
      std::string r;
      for (int i = 0; i < campi; ++i) r += (i ? "|" : "") + Rs_Griglia->Field(i).AsText();
      out.push_back(r);
    }
    return out;
  }
};

TEST_F(ElencoTest, FiltersReadInWordsWithTheKeyTitlesOfTheirSystem) {
  struct Caso {
    const char* sql;
    const char* sistema;
    const char* parole;
  };
  const std::vector<Caso> casi = {
      {"where ((k_001 in('A','B') or k_001 between 'C' and 'F') and k_002 not in('D')) ", "VEN",
       "(Prodotto in('A','B') o Prodotto da 'C' a 'F') e Cliente non in('D')"},
      {"where ((k_001 in('A'))) ", "ACQ", "(Fornitore in('A'))"},
      // A key the system lacks has no title; a token that is not a key stays as it is.
      {"where ((k_009 in('X')) and (k_01x in('Y'))) ", "VEN", "( in('X') e (k_01x in('Y'))"},
      {"", "VEN", ""},
  };
  for (const auto& c : casi) EXPECT_EQ(Filtro_In_Parole(c.sql, c.sistema), c.parole) << c.sql;
}

TEST_F(ElencoTest, LoadedSetsListSortedOnTheNumberWithFiltersWrittenBack) {
  Esegui(*Cn_MDB2,
         "INSERT INTO KYX_CARICATI (IDX, SINF, DATAORA, NUM_REC, STATO, FILTRO, FILTRO_SQL) VALUES "
         "(2, 'VEN', '01/07/2024  12:00:00', 40, ' ', '', 'where ((k_002 in(''C1''))) '),"
         "(1, 'VEN', '30/06/2024  08:15:00', 7, '*', '', ''),"
         "(2, 'ACQ', '01/07/2024  12:00:01', 3, ' ', '', 'where ((k_001 in(''F''))) ')");
  Larghezze_Caricati = {500, 900, 1800, 1000, 300, 4000, 10};
  Grafico_Visibile = true;
  int ridisegni = 0;
  agganci_elenco::Ridimensiona = [&] { ++ridisegni; };
  Carica_Elenco_Caricati();

  EXPECT_EQ(Modo_Griglia, 2);
  EXPECT_EQ(Numero_Colonne, 6);
  EXPECT_FALSE(Grafico_Visibile);
  EXPECT_EQ(ridisegni, 1);
  EXPECT_EQ(Chiave_Elenco, -1);
  EXPECT_EQ(Col_Intestazione[1], "Sistema|Informativo");
  EXPECT_EQ(Righe_Intestazione, 2);
  EXPECT_EQ(Col_Visibile[6], 0);
  EXPECT_EQ(Col_Allineamento[3], 7);
  EXPECT_EQ(Col_Tipo[5], 255);
  EXPECT_EQ(Col_Larghezza[5], 4000);
  EXPECT_EQ(Col_Larghezza_Stampa[2], 1800);
  EXPECT_EQ(Numero_Record, 3);
  const auto righe = Righe();
  ASSERT_EQ(righe.size(), 3u);
  EXPECT_EQ(righe[0].substr(0, 6), "1|VEN|");
  EXPECT_EQ(righe[1], "2|VEN|01/07/2024  12:00:00|40| |(Cliente in('C1'))|where ((k_002 in('C1'))) ");
  EXPECT_EQ(righe[2].substr(0, 6), "2|ACQ|");
  EXPECT_EQ(test::Sql(Mdb(2), "SELECT FILTRO FROM KYX_CARICATI WHERE SINF='ACQ'"),
            (std::vector<std::vector<std::string>>{{"(Fornitore in('F'))"}}));

  // With "Adatta dopo Elaborazione" the columns are fitted to their texts first, and the list
  // takes the widths found: the wide filter column shrinks to its text, the narrow one grows.
  Adatta_Dopo_Elaborazione = 1;
  Carica_Elenco_Caricati();
  EXPECT_LT(Larghezze_Caricati[5], 4000);
  EXPECT_GT(Larghezze_Caricati[6], 10);
  EXPECT_EQ(Col_Larghezza[5], Larghezze_Caricati[5]);
  Adatta_Dopo_Elaborazione = 0;

  // An empty register gives an empty list.
  Esegui(*Cn_MDB2, "DELETE FROM KYX_CARICATI");
  Carica_Elenco_Caricati();
  EXPECT_EQ(Numero_Record, 0);
  EXPECT_TRUE(Righe().empty());
}

TEST_F(ElencoTest, KeyCodesListWithItsDescriptionsAndTheKeyType) {
  Esegui(*Cn_MDB1,
         "INSERT INTO KYX_DS_20F (S_DS_STAT, S_DS_KEY, S_DS_CODI, S_DS_D_01, S_DS_D_02, S_DS_D_03) VALUES "
         "(' ', 5, 'P02', 'Vite', 'Minuteria', 'x'), (' ', 5, 'P01', 'Bullone', 'Minuteria', 'x'),"
         "('A', 5, 'P03', 'Cancellato', '', ''), (' ', 6, 'C01', 'Rossi', '', '')");
  Descrizioni_Aggiuntive = true;
  Carica_Codici_Chiave(0, 1);
  EXPECT_EQ(Modo_Griglia, 1);
  EXPECT_EQ(Chiave_Elenco, 1);
  EXPECT_EQ(Numero_Colonne, 13);
  EXPECT_EQ(Col_Chiave[0], 1);
  EXPECT_EQ(Col_Attributo[0], "X");
  EXPECT_EQ(Col_Formato[0], "@@");
  EXPECT_EQ(Attributo_Filtro, "X");
  EXPECT_EQ(Col_Intestazione[2], "Gruppo");
  EXPECT_EQ(Col_Visibile[2], 2);
  EXPECT_EQ(Col_Visibile[3], 0);
  EXPECT_EQ(Tipo_Data_Chiave, 2);
  EXPECT_EQ(Numero_Record, 2);
  // Hidden additional columns stay empty.
  EXPECT_EQ(Righe(5), (std::vector<std::string>{"P01|Bullone|Minuteria||", "P02|Vite|Minuteria||"}));

  // The key type for the filter panel, from ATTR; a key missing from CHIAVI lists nothing.
  Descrizioni_Aggiuntive = false;
  struct Caso {
    const char* attr;
    int tipo;
  };
  for (const Caso& c : {Caso{"1", 0}, Caso{"A", 1}, Caso{"B", 1}, Caso{"M", 2}}) {
    Esegui(*Cn_MDB0, std::string("UPDATE CHIAVI SET ATTR='") + c.attr + "' WHERE SINF='VEN' AND IDX=2");
    Carica_Codici_Chiave(0, 2);
    EXPECT_EQ(Tipo_Data_Chiave, c.tipo) << c.attr;
    EXPECT_EQ(Numero_Colonne, 1);
    EXPECT_EQ(Righe(2), std::vector<std::string>{"C01|Rossi"});
  }
  Carica_Codici_Chiave(0, 9);
  EXPECT_EQ(Numero_Record, 0);
  EXPECT_EQ(Attributo_Filtro, "");
}

}  // namespace
}  // namespace kyx
