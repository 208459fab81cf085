#include "common/filtri_sql.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "common/modello.h"
#include "common/stato.h"
#include "tests/common/definizioni.h"

namespace kyx {
namespace {

struct RigaFiltro {
  RigaFiltro(int k, const char* o, std::string a, std::string b = "")
      : key(k), oper(o), v1(std::move(a)), v2(std::move(b)) {}
  int key;
  const char* oper;
  std::string v1, v2;
};

class FiltriSql : public test::Definizioni {
 protected:
  void SetUp() override {
    Definizioni::SetUp();
    Sinf_Idx_Key = 9;  // the index key: its values are key numbers 1..5
    Sinf_Idx_Max = 5;
    Layout_Corrente = 1;
    Inserisci(*Cn_MDB0, "LAY_ELEM", {"LAY", "IDX"}, {1, 2});
    ASSERT_TRUE(Rs_Lay_Elem->Seek({data::Value(1), data::Value(2)}).ok());
  }

  void Utente(const std::vector<RigaFiltro>& righe) {
    ASSERT_TRUE(Cn_MDB0->Execute("DELETE FROM FILTRO").ok());
    for (const auto& r : righe) Filtro(r.key, r.oper, r.v1, r.v2);
  }
  void Elemento(const std::vector<RigaFiltro>& righe) {
    ASSERT_TRUE(Cn_MDB0->Execute("DELETE FROM LAY_FILTRO").ok());
    for (const auto& r : righe) Filtro_Elemento(1, 2, r.key, r.oper, r.v1, r.v2);
  }

  // The keys 1..5 chosen by a selection, as a text of their numbers ("135").
  static std::string Scelte(const std::function<int16_t(int)>& flag) {
    std::string s;
    for (int k = 1; k <= 5; ++k) {
      if (flag(k) == -1) s += std::to_string(k);
      else if (flag(k) != 0) s += "?";
    }
    return s;
  }

  // Runs a condition on a small data table whose key columns hold `valori` (one row per value,
  // the same value in every key column) and gives the values of the rows it lets through. A
  // condition that is no valid SQL fails the test.
  std::string Righe_Scelte(const std::string& where, const std::vector<std::string>& valori) {
    EXPECT_TRUE(
        Cn_MDB0->Execute("DROP TABLE IF EXISTS DATI; CREATE TABLE DATI (k_002 TEXT, k_003 TEXT, k_005 TEXT, k_007 TEXT)")
            .ok());
    for (const auto& v : valori) Inserisci(*Cn_MDB0, "DATI", {"k_002", "k_003", "k_005", "k_007"}, {v, v, v, v});
    std::unique_ptr<data::Statement> st;
    const data::Status s = Cn_MDB0->Prepare("SELECT k_003 FROM DATI " + where + " ORDER BY rowid", &st);
    EXPECT_TRUE(s.ok()) << s.ToString() << "\n" << where;
    if (!s.ok()) return "<invalid SQL>";
    std::string scelte;
    bool riga = false;
    while (st->Step(&riga).ok() && riga) scelte += "[" + st->Read(0).text() + "]";
    return scelte;
  }
};

TEST_F(FiltriSql, ConditionTexts) {
  struct Caso {
    const char* nome;
    std::vector<RigaFiltro> righe;
    const char* chiave;    // Filtro_Chiave_SQL with no separator
    const char* completo;  // Filtro_Completo_SQL
  };
  const Caso casi[] = {
      {"every operator, stored out of order",
       {{5, "N", "X"}, {3, "N", "D"}, {3, "D", "C", "F"}, {3, "=", "B"}, {3, "=", "A"}},
       " and ((k_003 in('A','B') or k_003 between 'C' and 'F') and k_003 not in('D')) and (k_005 not in('X'))",
       "(k_003 in('A','B') or k_003 between 'C' and 'F') and k_003 not in('D')) and (k_005 not in('X'))"},
      {"no rows", {}, "", ""},
      {"only all-values rows", {{3, "=", "*"}, {4, "D", "*", "Z"}, {5, "N", "*  "}}, "", ""},
      {"only exclusions", {{5, "N", "X"}}, " and (k_005 not in('X'))", "k_005 not in('X'))"},
      {"list and exclusion", {{3, "=", "A"}, {3, "N", "B"}}, " and ((k_003 in('A')) and k_003 not in('B'))",
       "(k_003 in('A')) and k_003 not in('B'))"},
      {"ranges only", {{4, "D", "A", "B"}, {4, "D", "E", "F"}},
       " and ((k_004 between 'A' and 'B' or k_004 between 'E' and 'F'))",
       "(k_004 between 'A' and 'B' or k_004 between 'E' and 'F'))"},
      {"one value", {{2, "=", "A"}}, " and ((k_002 in('A')))", "(k_002 in('A')))"},
      {"blank value", {{6, "=", ""}, {6, "N", "   "}}, " and ((k_006 in(' ')) and k_006 not in(' '))",
       "(k_006 in(' ')) and k_006 not in(' '))"},
      {"trailing blanks go", {{6, "=", "AB   "}}, " and ((k_006 in('AB')))", "(k_006 in('AB')))"},
      {"quotes doubled", {{7, "=", "O'Brien"}, {7, "D", "'", "''"}},
       " and ((k_007 in('O''Brien') or k_007 between '''' and ''''''))",
       "(k_007 in('O''Brien') or k_007 between '''' and ''''''))"},
      {"unknown operators add nothing", {{8, "X", "A"}, {3, "=", "A"}, {3, "x", "B"}},
       " and ((k_003 in('A')))", "(k_003 in('A')))"},
      {"index key only in the complete text", {{9, "=", "2"}, {3, "=", "A"}},
       " and ((k_003 in('A')))", "(k_003 in('A'))) and ((k_009 in('2')))"},
      {"three digits", {{64, "=", "A"}}, " and ((k_064 in('A')))", "(k_064 in('A')))"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    Utente(c.righe);
    std::string testo = "prima";
    Chiavi_Filtro chiavi{};
    EXPECT_TRUE(Filtro_Chiave_SQL(testo, chiavi, ""));
    EXPECT_EQ(testo, c.chiave);
    EXPECT_TRUE(Filtro_Completo_SQL(testo));
    EXPECT_EQ(testo, c.completo);
  }
}

TEST_F(FiltriSql, GroupsEndWithTheSeparator) {
  Utente({{3, "=", "A"}, {5, "N", "X"}});
  std::string testo;
  Chiavi_Filtro chiavi{};
  ASSERT_TRUE(Filtro_Chiave_SQL(testo, chiavi, "\t"));
  EXPECT_EQ(testo, " and ((k_003 in('A')))\t and (k_005 not in('X'))\t");
}

TEST_F(FiltriSql, KeySelection) {
  struct Caso {
    const char* nome;
    std::vector<RigaFiltro> righe;
    const char* scelte;
  };
  const Caso casi[] = {
      {"no rows: every key", {}, "12345"},
      {"all values", {{9, "=", "*"}}, "12345"},
      {"chosen keys", {{9, "=", "4"}, {9, "=", "2"}}, "24"},
      {"keys outside 1..5 are ignored", {{9, "=", "7"}, {9, "=", "0"}, {9, "=", "-1"}, {9, "=", "1"}}, "1"},
      {"a range", {{9, "D", "2", "3"}}, "23"},
      {"chosen keys and a range", {{9, "=", "1"}, {9, "D", "3", "4"}}, "134"},
      {"an exclusion", {{9, "N", "2"}}, "1345"},
      {"chosen keys less one", {{9, "=", "1"}, {9, "=", "2"}, {9, "N", "2"}}, "1"},
      {"a range past the last flag is cut", {{9, "D", "4", "70"}}, "45"},
      {"a range from below the first", {{9, "D", "-3", "2"}}, "12"},
      {"a backward range", {{9, "D", "4", "2"}}, ""},
      {"values that are no numbers count as 0", {{9, "=", "abc"}, {9, "N", "x'y"}}, ""},
      {"rounded half to even", {{9, "=", "2.5"}, {9, "=", "3.5"}}, "24"},
      {"huge numbers", {{9, "D", "-99999999999999999999", "99999999999999999999"}}, "12345"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    Utente(c.righe);
    Filtro(3, "=", "A");
    std::string testo;
    Chiavi_Filtro chiavi;
    chiavi.fill(7);  // entries beyond Sinf_Idx_Max are the caller's and stay untouched
    ASSERT_TRUE(Filtro_Chiave_SQL(testo, chiavi, ""));
    EXPECT_EQ(Scelte([&](int k) { return chiavi[static_cast<size_t>(k)]; }), c.scelte);
    EXPECT_EQ(chiavi[6], 7);
    EXPECT_EQ(chiavi[64], 7);
    // The index key never makes SQL, and the rest of the filter is always complete.
    EXPECT_EQ(testo, " and ((k_003 in('A')))");
  }
}

TEST_F(FiltriSql, WithoutTheDatabaseNothingIsBuilt) {
  Utente({{3, "=", "A"}, {9, "=", "2"}});
  Cn_MDB0->Close();
  std::string testo = "prima";
  Chiavi_Filtro chiavi{};
  EXPECT_FALSE(Filtro_Chiave_SQL(testo, chiavi, ""));
  EXPECT_EQ(testo, "");
  EXPECT_EQ(Scelte([&](int k) { return chiavi[static_cast<size_t>(k)]; }), "12345");
  testo = "prima";
  EXPECT_FALSE(Filtro_Completo_SQL(testo));
  EXPECT_EQ(testo, "");
  EXPECT_FALSE(Rs_Lavoro);
}

TEST_F(FiltriSql, HostileValuesStayInsideTheirQuotes) {
  const std::vector<std::string> valori = {"O'Brien", "'); DROP TABLE FILTRO; --", "a'' or ''1''=''1",
                                           "x' or 'a'='a", std::string(30, '\''), "k_003 in(", "A"};
  Utente({{3, "=", valori[0]},
          {3, "=", valori[1]},
          {3, "=", valori[2]},
          {3, "=", valori[3]},
          {3, "=", valori[4]},
          {5, "N", valori[5]},
          {5, "N", "A"}});
  std::string testo;
  Chiavi_Filtro chiavi{};
  ASSERT_TRUE(Filtro_Chiave_SQL(testo, chiavi, ""));
  // Every hostile value of key 3 is found as it is, none of the others; key 5 takes out only
  // "k_003 in(" and "A".
  EXPECT_EQ(Righe_Scelte("WHERE 1=1" + testo, valori),
            "[O'Brien][" + valori[1] + "][a'' or ''1''=''1][x' or 'a'='a][" + valori[4] + "]");
  ASSERT_TRUE(Filtro_Completo_SQL(testo));
  // The data server reads the complete text after an opening parenthesis of its own.
  EXPECT_EQ(Righe_Scelte("WHERE (" + testo, valori),
            "[O'Brien][" + valori[1] + "][a'' or ''1''=''1][x' or 'a'='a][" + valori[4] + "]");
  std::vector<std::string> tabelle;
  ASSERT_TRUE(Cn_MDB0->ListTables(&tabelle).ok());
  EXPECT_NE(std::find(tabelle.begin(), tabelle.end(), "FILTRO"), tabelle.end());
}

TEST_F(FiltriSql, LayoutElementConditions) {
  struct Caso {
    const char* nome;
    std::vector<RigaFiltro> utente, elemento;
    const char* sistema;
    const char* where;
  };
  const Caso casi[] = {
      {"no filters", {}, {}, "", ""},
      {"only the user's", {{3, "=", "A"}, {5, "N", "X"}}, {}, "",
       "where ((k_003 in('A'))) and (k_005 not in('X'))"},
      {"only the element's", {}, {{4, "D", "1", "5"}}, "", "where ((k_004 between '1' and '5'))"},
      {"the element's key replaces the user's",
       {{3, "=", "A"}, {5, "N", "X"}}, {{3, "=", "Z"}}, "",
       "where ((k_003 in('Z')))   and (k_005 not in('X'))"},
      {"an exclusion group at the start is replaced too", {{5, "N", "X"}}, {{5, "=", "Y"}}, "",
       "where ((k_005 in('Y'))) "},
      {"an exclusion group after another", {{3, "=", "A"}, {5, "N", "X"}}, {{5, "N", "Y"}}, "",
       "where (k_005 not in('Y')) and ((k_003 in('A'))) "},
      {"another system keeps both", {{3, "=", "A"}}, {{3, "=", "Z"}}, "ALTRO",
       "where ((e_003 in('Z'))) and ((k_003 in('A')))"},
      {"element values are trimmed, a blank one is empty", {}, {{3, "=", "  B  "}, {3, "N", " "}}, "",
       "where ((k_003 in('B')) and k_003 not in(''))"},
      {"the element's index key rows make no SQL", {{9, "=", "1"}}, {{9, "=", "2"}}, "", ""},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    Utente(c.utente);
    Elemento(c.elemento);
    std::string testo;
    Chiavi_Filtro chiavi{};
    ASSERT_TRUE(Filtro_Chiave_SQL(testo, chiavi, "\t"));
    Col_Where[4] = "prima";
    EXPECT_TRUE(Filtro_Layout_SQL(testo, chiavi, "\t", 4, c.sistema));
    EXPECT_EQ(Col_Where[4], c.where);
  }
}

TEST_F(FiltriSql, LayoutKeySelectionStartsFromTheUsers) {
  Parametri_Valore[1] = " 3 ";
  struct Caso {
    const char* nome;
    std::vector<RigaFiltro> utente, elemento;
    const char* scelte;
  };
  const Caso casi[] = {
      {"nothing chosen", {}, {}, "12345"},
      {"the user's choice", {{9, "=", "1"}, {9, "=", "2"}}, {}, "12"},
      // The element's own selection replaces the user's, as its condition on a key does.
      {"the element's exclusion", {{9, "=", "1"}, {9, "=", "2"}}, {{9, "N", "2"}}, "1345"},
      {"the element's range", {{9, "=", "1"}}, {{9, "D", "4", "99"}}, "45"},
      {"the element chooses with a parameter", {}, {{9, "=", "#X2"}}, "3"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    Utente(c.utente);
    Elemento(c.elemento);
    std::string testo;
    Chiavi_Filtro chiavi{};
    ASSERT_TRUE(Filtro_Chiave_SQL(testo, chiavi, "\t"));
    const Chiavi_Filtro prima = chiavi;
    Col_Where_Flag[4].fill(5);
    ASSERT_TRUE(Filtro_Layout_SQL(testo, chiavi, "\t", 4, ""));
    EXPECT_EQ(Scelte([&](int k) { return Col_Where_Flag[4][static_cast<size_t>(k - 1)]; }), c.scelte);
    EXPECT_EQ(Col_Where_Flag[4][5], 5);  // beyond Sinf_Idx_Max
    EXPECT_EQ(chiavi, prima);
    EXPECT_EQ(Col_Where[4], "");
  }
}

TEST_F(FiltriSql, LayoutPlaceholdersInValues) {
  Anno_Riferimento = 2015;
  Parametri_Valore[0] = " O'Neil ";
  Elemento({{3, "=", "#X1"}, {4, "D", "#A-1", "#A??"}});
  ASSERT_TRUE(Filtro_Layout_SQL("", Chiavi_Filtro{}, "\t", 4, ""));
  EXPECT_EQ(Col_Where[4], "where ((k_003 in('O''Neil'))) and ((k_004 between '2014' and '2015'))");
}

TEST_F(FiltriSql, LayoutFailuresLeaveNoCondition) {
  Utente({{3, "=", "A"}, {9, "=", "1"}});
  Elemento({{3, "=", "#X1C"}});  // needs a layout row, and there is none
  std::string testo;
  Chiavi_Filtro chiavi{};
  ASSERT_TRUE(Filtro_Chiave_SQL(testo, chiavi, "\t"));
  Col_Where[4] = "prima";
  EXPECT_FALSE(Filtro_Layout_SQL(testo, chiavi, "\t", 4, ""));
  EXPECT_EQ(Col_Where[4], "");
  EXPECT_EQ(Scelte([&](int k) { return Col_Where_Flag[4][static_cast<size_t>(k - 1)]; }), "1");

  // No current element.
  Elemento({{3, "=", "Z"}});
  ASSERT_TRUE(Rs_Lay_Elem->Seek({data::Value(9)}).ok());
  Col_Where[4] = "prima";
  EXPECT_FALSE(Filtro_Layout_SQL(testo, chiavi, "\t", 4, ""));
  EXPECT_EQ(Col_Where[4], "");
  EXPECT_FALSE(Filtro_Layout_SQL(testo, chiavi, "\t", 256, ""));
  EXPECT_FALSE(Filtro_Layout_SQL(testo, chiavi, "\t", -1, ""));

  // A user's text whose quotes do not pair cannot be cut safely.
  ASSERT_TRUE(Rs_Lay_Elem->Seek({data::Value(1), data::Value(2)}).ok());
  EXPECT_FALSE(Filtro_Layout_SQL(" and ((k_003 in('A)))\t", chiavi, "\t", 4, ""));
  EXPECT_EQ(Col_Where[4], "");
}

TEST_F(FiltriSql, LayoutCutNeverFallsInsideAValue) {
  // Values of key 2, before the real group of key 3, look like a group of key 3 and hold the
  // separator; only the real group goes, and every value stays inside its quotes.
  const std::vector<std::string> valori = {"x (k_003 y", "a\tb", "b') or 1=1 --", "Z", "A"};
  Utente({{2, "=", valori[0]}, {2, "=", valori[1]}, {2, "=", valori[2]}, {2, "=", valori[3]}, {3, "=", "A"},
          {7, "N", "(k_003"}});
  Elemento({{3, "=", "Z"}, {3, "=", "x (k_003 y"}});
  std::string testo;
  Chiavi_Filtro chiavi{};
  ASSERT_TRUE(Filtro_Chiave_SQL(testo, chiavi, "\t"));
  ASSERT_TRUE(Filtro_Layout_SQL(testo, chiavi, "\t", 4, ""));
  EXPECT_EQ(Col_Where[4].find("k_003 in('A')"), std::string::npos) << Col_Where[4];
  EXPECT_NE(Col_Where[4].find("'a\tb'"), std::string::npos) << Col_Where[4];
  // Key 3 keeps only the element's values; keys 2 and 7 keep the user's.
  EXPECT_EQ(Righe_Scelte(Col_Where[4], valori), "[x (k_003 y][Z]");
}

}  // namespace
}  // namespace kyx
