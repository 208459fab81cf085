// The texts of the row filter: numbers typed under either locale, the criteria built from the
// boxes (quotes and pattern characters taken literally), the boxes read back from a filter in
// force, and the search condition.
#include "ui/filtro_righe.h"

#include <gtest/gtest.h>

#include "platform/data/value.h"
#include "platform/vb/vb.h"

namespace kyx::test {
namespace {

constexpr vb::Locale kItaliano{',', '.'};
constexpr vb::Locale kInglese{'.', ','};

class FiltroRighe : public ::testing::Test {
 protected:
  ~FiltroRighe() override { vb::set_locale(kInglese); }
};

TEST_F(FiltroRighe, NumbersAreReadWithTheLocalesDecimalSeparatorOnly) {
  struct Caso {
    vb::Locale locale;
    const char* testo;
    bool numero;
    double valore;
  } casi[] = {
      {kItaliano, "12,5", true, 12.5}, {kItaliano, " -3 ", true, -3},   {kItaliano, "12.5", false, 0},
      {kItaliano, "1.500", false, 0},  {kInglese, "12.5", true, 12.5},  {kInglese, "12,5", false, 0},
      {kInglese, "1e3", true, 1000},   {kInglese, "abc", false, 0},     {kInglese, "", false, 0},
      {kInglese, "1e999", false, 0},
  };
  for (const Caso& k : casi) {
    vb::set_locale(k.locale);
    double v = -1;
    EXPECT_EQ(Numero_Digitato(k.testo, v), k.numero) << k.testo;
    if (k.numero) {
      EXPECT_DOUBLE_EQ(v, k.valore) << k.testo;
    }
  }
}

TEST_F(FiltroRighe, CriteriaAreBuiltAndReadBackIntoTheSameBoxes) {
  struct Caso {
    vb::Locale locale;
    bool testo;
    Caselle_Filtro caselle;
    const char* filtro;
    Caselle_Filtro riletto;  // what the boxes show when the filter is reopened
  } casi[] = {
      {kInglese, true, {"B", "", ""}, "c004>='B'", {"B", "", ""}},
      {kInglese, true, {"", "F", ""}, "c004<='F'", {"", "F", ""}},
      {kInglese, true, {"B", "F", ""}, "c004>='B' AND c004<='F'", {"B", "F", ""}},
      {kInglese, true, {"", "", "ROSSI"}, "c004 LIKE '*ROSSI*'", {"", "", "ROSSI"}},
      {kInglese, true, {"", "", ""}, "", {"", "", ""}},
      // A quote is doubled; pattern characters are bracketed and stand for themselves.
      {kInglese, true, {"O'Brien", "", ""}, "c004>='O''Brien'", {"O'Brien", "", ""}},
      {kInglese, true, {"", "", "l'5*3?%[x]"}, "c004 LIKE '*l''5[*]3[?][%][[]x]*'", {"", "", "l'5*3?%[x]"}},
      // Values that look like the criteria's own words stay values.
      {kInglese, true, {"A AND c004<='Z'", "b", ""}, "c004>='A AND c004<=''Z''' AND c004<='b'",
       {"A AND c004<='Z'", "b", ""}},
      {kInglese, false, {"10", "20", ""}, "c004>=10.000 AND c004<=20.000", {"10", "20", ""}},
      {kItaliano, false, {"12,5", "", ""}, "c004>=12.500", {"12,5", "", ""}},
      {kItaliano, false, {"", "-0,25", ""}, "c004<=-0.250", {"", "-0,25", ""}},
      {kInglese, false, {"100", "", ""}, "c004>=100.000", {"100", "", ""}},
  };
  for (const Caso& k : casi) {
    vb::set_locale(k.locale);
    EXPECT_EQ(Criterio_Filtro("c004", k.testo, k.caselle), k.filtro);
    EXPECT_EQ(Caselle_Da_Filtro(k.filtro, "c004"), k.riletto) << k.filtro;
  }
  // Another column's filter, or a filter this menu did not build, gives empty boxes.
  for (const char* altro : {"c006>='B'", "c004 = 'B'", "c004>='B", "c004>='B' OR c004<='C'", "c0041>='B'"}) {
    EXPECT_EQ(Caselle_Da_Filtro(altro, "c004"), Caselle_Filtro{}) << altro;
  }
}

TEST_F(FiltroRighe, TheSearchConditionIsCaseSensitiveAndLiteral) {
  vb::set_locale(kItaliano);
  struct Caso {
    bool testo;
    Caselle_Filtro caselle;
    data::Value valore;
    bool soddisfatta;
  } casi[] = {
      {true, {"", "", "ab"}, data::Value("xaby"), true},
      {true, {"", "", "ab"}, data::Value("XABY"), false},
      {true, {"", "", "a*"}, data::Value("a*b"), true},
      {true, {"", "", "a*"}, data::Value("ab"), false},
      {true, {"", "", "a?"}, data::Value("ab"), false},
      {true, {"B", "D", ""}, data::Value("C"), true},
      {true, {"B", "D", ""}, data::Value("c"), false},  // lower case sorts after upper case
      {true, {"B", "", ""}, data::Value(), false},
      {false, {"12,5", "", ""}, data::Value(12.5), true},
      {false, {"12,5", "", ""}, data::Value(12.4), false},
      {false, {"", "10", ""}, data::Value(int64_t{10}), true},
      {false, {"1", "2", ""}, data::Value(), false},
      {false, {"1", "2", ""}, data::Value("1,5"), false},
  };
  for (const Caso& k : casi) {
    EXPECT_EQ(Condizione_Ricerca(k.testo, k.caselle).Soddisfatta(k.valore), k.soddisfatta)
        << k.caselle[0] << "|" << k.caselle[1] << "|" << k.caselle[2] << " on " << k.valore.AsText();
  }
}

}  // namespace
}  // namespace kyx::test
