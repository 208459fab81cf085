// The profile's colours matched onto the workbook's 56-entry palette.
#include <gtest/gtest.h>

#include <vector>

#include "common/stato.h"
#include "export/esporta_xls_foglio.h"

namespace kyx::test {
namespace {

constexpr int32_t Rgb(int r, int g, int b) { return r | (g << 8) | (b << 16); }

TEST(Tavolozza, NearColoursShareAnEntryAndMissingOnesReplaceEntriesFrom56Down) {
  const int32_t precisione = Precisione_Colore;
  Precisione_Colore = 16;
  xls::Libro libro;
  libro.Imposta_Colore(5, Rgb(20, 20, 20));
  // (10,20,30) is 30 from black (entry 1) but 10 from entry 5; (36,20,20) is exactly 16 from
  // entry 5 and so matches nothing; a colour wanted twice takes one replaced entry.
  const std::vector<int> m =
      Abbina_Tavolozza(libro, {Rgb(10, 20, 30), Rgb(200, 0, 0), Rgb(200, 0, 0), Rgb(36, 20, 20)});
  EXPECT_EQ(m, (std::vector<int>{5, 56, 56, 55}));
  EXPECT_EQ(libro.Colore(56), Rgb(200, 0, 0));
  EXPECT_EQ(libro.Colore(55), Rgb(36, 20, 20));
  EXPECT_EQ(libro.Colore(54), Rgb(0x99, 0x33, 0x66)) << "entries not needed stay";
  // A tolerance of 0 matches nothing: every slot takes its own entry.
  Precisione_Colore = 0;
  xls::Libro altro;
  EXPECT_EQ(Abbina_Tavolozza(altro, {Rgb(0, 0, 0), Rgb(0, 0, 0)}), (std::vector<int>{56, 55}));
  Precisione_Colore = precisione;
}

}  // namespace
}  // namespace kyx::test
