// The formula evaluator: values and computation levels of formula texts, with a small row of
// column values, grand totals and subtotals.
#include "engine/x_evaluate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "common/modello.h"
#include "engine/stato_motore.h"

namespace kyx {
namespace {

class Formula : public ::testing::Test {
 protected:
  void SetUp() override {
    modello::reset();
    stato_motore::reset();
    Numero_Colonne = 6;
    for (size_t c = 0; c <= 6; ++c) {
      Valori_Riga[c] = static_cast<double>(c) * 10;  // c1 = 10, c2 = 20 ...
      Totali[0][c] = static_cast<double>(c) * 100;   // t1 = 100 ...
      Totali[3][c] = static_cast<double>(c) * 1000;  // s1 at level 3 = 1000 ...
    }
    Valori_Riga[7] = 77;  // beyond Numero_Colonne: never read
    Livello_Subtotale = 3;
    Col_Precedenza.fill(-1);
  }
  void TearDown() override {
    modello::reset();
    stato_motore::reset();
  }
};

struct Caso {
  const char* formula;
  double valore;
};

TEST_F(Formula, ValuesFollowRanksAssociativityAndSigns) {
  const Caso casi[] = {
      {"2-3-4", -5},        {"2^3^2", 64},       {"2*-3", -6},          {"-2^2", 4},
      {"1+2*3", 7},         {"(1+2)*3", 9},      {"7%4*2", 7},          {"5\\2", 2},
      {"-7%3", -1},         {"7.5\\2", 4},       {"2.5\\1", 2},         {"1 or 1 and 0", 0},
      {"0 and 1 or 1", 0},  {"1+1=2", 1},        {"2<>2", 0},           {"3>=3", 1},
      {"2<=1", 0},          {"1<2", 1},          {"2>1", 1},            {"10/4", 2.5},
      {"  - ( 3 ) ", -3},   {"+4", 4},           {"--4", 4},            {"1e3", 1000},
      {"1e-3", -2},          {"&h10", 16},        {"&o17", 15},          {"12abc", 12},
      {"abc", 0},           {"1 2", 12},         {"5-", 5},             {"sqr(16)", 4},
      {"sin(0)+cos(0)", 1}, {"tan(0)", 0},       {"SQR(c4*c1)", 20},    {"1 and -1", 0},
  };
  for (const Caso& c : casi) EXPECT_DOUBLE_EQ(Evaluate(c.formula), c.valore) << c.formula;
}

TEST_F(Formula, ZeroRulesAndNonFiniteResultsGiveZero) {
  for (const char* f : {"6/0", "6\\0", "6%0", "0^5", "5^0", "5\\0.4", "5%0.4", "sqr(-1)", "(-8)^0.5",
                        "10^400", "1e200*1e200", "5\\3000000000", "&hzz"})
    EXPECT_EQ(Evaluate(f), 0) << f;
  // Not a negative zero either.
  EXPECT_FALSE(std::signbit(Evaluate("-0")));
}

TEST_F(Formula, TruthIsExactlyOne) {
  const Caso casi[] = {
      {"not 2", 1},          {"not 1", 0},         {"not(0)", 1},       {"if(2,10,20)", 20},
      {"if(1,10,20)", 10},   {"if(c1>5,c1,c2)", 10}, {"2 and 1", 0},    {"2 or 0", 0},
      {"if(c1>0,1,1/0)", 1}, {"IF( c1 = 10 , if(0,1,2) , 3 )", 2},  {"if(1,(1,2),3)", 1},
  };
  for (const Caso& c : casi) EXPECT_DOUBLE_EQ(Evaluate(c.formula), c.valore) << c.formula;
}

TEST_F(Formula, ReferencesReadRowTotalsAndSubtotals) {
  const Caso casi[] = {
      {"c3", 30},  {"C3", 30},   {"  c3  ", 30}, {"c003", 30}, {"t2", 200}, {"s2", 2000},
      {"c0", 0},   {"c6", 60},   {"c7", 0},      {"c999", 0},  {"c1234", 0}, {"(c3-c2)/c2*100", 50},
  };
  for (const Caso& c : casi) EXPECT_DOUBLE_EQ(Evaluate(c.formula), c.valore) << c.formula;
  Livello_Subtotale = 42;  // outside the totals table: reads nothing
  EXPECT_EQ(Evaluate("s2"), 0);
}

TEST_F(Formula, MalformedTextIsZeroWithLevelMinusOne) {
  for (const char* f : {"", "   ", "((c1)", "c1)", ")(", "if(,1,2)", "if(1,,2)", "if(1,2,)", "if((1,2,3)",
                        "(1)(2)"}) {
    EXPECT_EQ(Evaluate(f), 0) << f;
    EXPECT_EQ(Evaluate_Livello(f), -1) << f;
  }
}

TEST_F(Formula, LevelsFollowReferencedColumns) {
  Col_Precedenza[1] = 0;
  Col_Precedenza[2] = 3;
  Col_Precedenza[5] = 7;
  const struct {
    const char* formula;
    int32_t livello;
  } casi[] = {
      {"42", 0},           {"c5+1", 8},          {"s5*2", 8},         {"c5*2", 8},
      {"t1", 1},           {"if(c1,c2,4)", 4},   {"not c2", 4},       {"-(c2)", 4},
      {"sqr(c5)", 8},      {"c1+c3", -1},        {"c0", -1},          {"c999", -1},
      {"#x1*c1", 1},       {"2*#X3", 1},         {"if(1,2)", 0},      {"5-", 0},
      {"c2 and c1", 4},    {"abc", 0},
  };
  for (const auto& c : casi) EXPECT_EQ(Evaluate_Livello(c.formula), c.livello) << c.formula;
}

TEST_F(Formula, DeepOrHugeTextNeverCrashes) {
  const std::string profonda = std::string(100000, '(') + "1" + std::string(100000, ')');
  EXPECT_EQ(Evaluate(profonda), 0);
  EXPECT_EQ(Evaluate_Livello(profonda), -1);
  std::string somma = "1";
  for (int i = 0; i < 3000; ++i) somma += "+1";
  EXPECT_EQ(Evaluate(somma), 0);
  EXPECT_EQ(Evaluate_Livello(somma), -1);
  EXPECT_EQ(Evaluate(std::string(50000, '-') + "1"), 0);
  EXPECT_EQ(Evaluate(std::string(1 << 20, '9')), 0);
  // Nesting well within the bounds is read as written.
  EXPECT_EQ(Evaluate(std::string(100, '(') + "2" + std::string(100, ')') + "*3"), 6);
}

TEST_F(Formula, AChainOfOperatorsIsNoNesting) {
  // Only parentheses, signs and functions nest: a long flat sum is an ordinary formula.
  std::string somma = "c1";
  for (int i = 0; i < 900; ++i) somma += i % 2 ? "+c1" : "-c2+c2";  // 4052 characters
  EXPECT_EQ(Evaluate(somma), 451 * 10.0);
  std::string termini = "1";
  for (int i = 1; i < 501; ++i) termini += "+1";
  EXPECT_EQ(Evaluate(termini), 501);
  Col_Precedenza[1] = 0;
  Col_Precedenza[2] = 4;
  EXPECT_EQ(Evaluate_Livello(somma), 5);
  // The formula is read once; every row gives its own value.
  for (double v : {1.0, 2.0, 3.0}) {
    Valori_Riga[1] = v;
    Valori_Riga[2] = 0;
    EXPECT_EQ(Evaluate(somma), 451 * v);
  }
}

}  // namespace
}  // namespace kyx
