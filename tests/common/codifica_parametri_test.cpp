#include "common/codifica_parametri.h"

#include <gtest/gtest.h>

namespace kyx {
namespace {

TEST(CodificaParametri, KnownTextsAndCharacterMap) {
  struct Caso {
    std::string chiaro, codificato, check;
  } casi[] = {
      {"abc", "RPT", "7560"},  // reads b, c, a: 7 x (3 x 98 + 5 x 99 + 3 x 97)
      {"", "", "0"},
      {" ", "!", "672"},  // the substitution alone on single characters
      {"M", "{", "1617"},
      {"N", "z", "1638"},
      {"{", " ", "2583"},
  };
  for (const auto& c : casi) {
    std::string codificato = "old", check = "old";
    ASSERT_TRUE(Codifica_Parametri(c.chiaro, codificato, check)) << c.chiaro;
    EXPECT_EQ(codificato, c.codificato) << c.chiaro;
    EXPECT_EQ(check, c.check) << c.chiaro;
    std::string chiaro = "old", check2;
    Decodifica_Parametri(chiaro, c.codificato, check2);
    EXPECT_EQ(chiaro, c.chiaro);
    EXPECT_EQ(check2, c.check);
  }
}

TEST(CodificaParametri, EveryStorableCharacterRoundTripsAtEveryLength) {
  std::string tutti;
  for (int c = 32; c <= 123; ++c) tutti += static_cast<char>(c);
  // Lengths 1 .. 92 cover odd and even lengths of the position permutation.
  for (size_t n = 1; n <= tutti.size(); ++n) {
    const std::string chiaro = tutti.substr(tutti.size() - n);
    std::string codificato, check, indietro, check2;
    ASSERT_TRUE(Codifica_Parametri(chiaro, codificato, check));
    ASSERT_EQ(codificato.size(), n);
    for (char c : codificato) {
      EXPECT_GE(static_cast<unsigned char>(c), 32);
      EXPECT_LE(static_cast<unsigned char>(c), 123);
    }
    Decodifica_Parametri(indietro, codificato, check2);
    EXPECT_EQ(indietro, chiaro);
    EXPECT_EQ(check2, check);
  }
}

TEST(CodificaParametri, BlockOfSeventyFiveCharacters) {
  const std::string blocco = Blocco_Parametri("server.example", "4100", "mario", "pa ss");
  ASSERT_EQ(blocco.size(), 75u);
  EXPECT_EQ(blocco.substr(50, 5), "4100 ");
  EXPECT_EQ(blocco.substr(55, 10), "mario     ");
  EXPECT_EQ(blocco.substr(65), "pa^ss^^^^^");  // blanks of the password become "^"
  // Over-long fields are cut to their width.
  EXPECT_EQ(Blocco_Parametri(std::string(60, 's'), "123456", std::string(12, 'u'),
                             std::string(12, 'p')),
            std::string(50, 's') + "12345" + std::string(10, 'u') + std::string(10, 'p'));

  std::string codificato, check, indietro, check2;
  ASSERT_TRUE(Codifica_Parametri(blocco, codificato, check));
  EXPECT_EQ(codificato.size(), 75u);
  Decodifica_Parametri(indietro, codificato, check2);
  EXPECT_EQ(indietro, blocco);
  EXPECT_EQ(check2, check);
}

TEST(CodificaParametri, UnstorableCharacterIsRefused) {
  const std::string casi[] = {"caf\xE9", "a|b", "~", std::string("x\0y", 3), "tab\t"};
  for (const std::string& chiaro : casi) {
    std::string codificato = "old", check = "old";
    EXPECT_FALSE(Codifica_Parametri(chiaro, codificato, check));
    EXPECT_EQ(codificato, "");
    EXPECT_EQ(check, "");
  }
}

TEST(CodificaParametri, DamagedScrambledTextGivesFillerAndAnotherCheck) {
  std::string codificato, check;
  ASSERT_TRUE(Codifica_Parametri("abc", codificato, check));
  codificato[1] = '\xE9';  // "c" lost
  std::string chiaro, check2;
  Decodifica_Parametri(chiaro, codificato, check2);
  EXPECT_EQ(chiaro, "ab\xBF");
  EXPECT_NE(check2, check);
}

}  // namespace
}  // namespace kyx
