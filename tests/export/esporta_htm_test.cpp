// The web page of a real elaboration result, read back by Python's HTML parser.
#include <gtest/gtest.h>

#include <cctype>
#include <regex>
#include <string>
#include <vector>

#include "export/esporta_htm.h"
#include "platform/data/static_recordset.h"
#include "platform/files/files.h"
#include "tests/export/ambiente_esporta.h"

namespace kyx::test {
namespace {

class Htm : public AmbienteEsporta {
 protected:
  void SetUp() override {
    AmbienteEsporta::SetUp();
    Font_Nome = " Lucida Console ";
    Font_Dimensione = 8.25f;
    Twips_Pixel_X = 15;
  }
};

TEST_F(Htm, AnElaborationResultGetsTheFilterTableAndClassesByRowKind) {
  Elabora();
  Filtro();
  Col_Larghezza[1] = 1234;  // 82.266... pixels
  std::string file = dir.file("vendite.htm");
  Esporta_HTM(file);
  std::vector<std::string> p = Leggi_Pagina(file);
  ASSERT_GE(p.size(), 5u);
  EXPECT_TRUE(std::regex_match(p[4], std::regex("s00\\|4\\|Q-KRE~~-~~Vendite Italia~~-~~\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d")))
      << p[4];
  p.erase(p.begin() + 4);
  // Rows of the filter alternate across both lines of a range; the header's lines are the top
  // and bottom pieces, "r" for the right-aligned value columns; detail rows alternate, the
  // subtotal takes its level's colour class and the grand total its own; the first column is
  // marked "s"; a value column without totals is blank off the detail rows.
  EXPECT_EQ(p, (std::vector<std::string>{
                   "col left 82.2666666666667", "col left 100", "col right 100", "col right 100",
                   "s00||~",
                   "s00|4|Filtro",
                   "s04||Chiave ^ s04|3|Valore",
                   "s00s||Chiave 1~ ^ s00|3|= NORD NORD",
                   "s01s||Agente di vendita della zona commerciale~ ^ s01|3|Da A01 A01",
                   "s00s||~ ^ s00|3|A A09 A09",
                   "s01s||~ ^ s01|3|<> A05 A05",
                   "s00||~",
                   "s00|4|Vendite 01/2015: Nord|Sud",
                   "s04a||Area ^ s04a||Agente  ^ s04ar||Importo ^ s04ar||Senza",
                   "s04c||~ ^ s04c|| cod ^ s04cr||euro ^ s04cr||~",
                   "s00s||NORD ^ s00||A01 ^ s00r||1,234.50 ^ s00r||1235",
                   "s01s||NORD ^ s01||A03 ^ s01r||4.00 ^ s01r||4",
                   "tl1s||NORD ^ tl1||totale ^ tl1r||1,238.50 ^ tl1r||~",
                   "s01s||SUD ^ s01||A02 ^ s01r||10.00 ^ s01r||10",
                   "tl1s||SUD ^ tl1||totale ^ tl1r||10.00 ^ tl1r||~",
                   "s03s||~ ^ s03||~ ^ s03r||1,248.50 ^ s03r||~",
               }));
  const std::string pagina = dir.read("vendite.htm");
  // The style sheet: grid lines in the grid's colour (red is the low byte), the profile's font.
  EXPECT_NE(pagina.find("\r\n {padding-right:2px; padding-left:3px; white-space:nowrap; border:.5pt solid #80FF00; "
                        "border-top:none;\r\n font:8.3pt 'Lucida Console', monospace}\r\n"),
            std::string::npos);
  EXPECT_NE(pagina.find("\r\n.il1, .il1s, .tl9, .tl9s, .il1r, .il1sr, .tl9r, .tl9sr,\r\n"), std::string::npos);
  EXPECT_NE(pagina.find("\r\n.il9, .il9s, .tl1, .tl1s, .il9r, .il9sr, .tl1r, .tl1sr\r\n {padding"), std::string::npos);
  EXPECT_EQ(pagina.substr(0, 17), "<HTML>\r\n<STYLE>\r\n");
  EXPECT_EQ(pagina.substr(pagina.size() - 28), "</TABLE>\r\n</BODY>\r\n</HTML>\r\n");
  EXPECT_EQ(host.panels().back(), "Stato=Salvataggio " + file + " completato");
}

TEST_F(Htm, OutsideAnElaborationResultRowsOnlyAlternateAndASingleColumnGetsAPartner) {
  Elabora();
  Filtro();
  Modo_Griglia = 2;
  Col_Visibile[2] = Col_Visibile[3] = Col_Visibile[4] = 1;
  // An Italian locale: the style's sizes keep ".", a fractional width takes ",".
  vb::set_locale({',', '.'});
  Separatore_Decimale = ",";
  Col_Larghezza[1] = 1234;
  std::string file = dir.file("elenco.htm");
  Esporta_HTM(file);
  const std::vector<std::string> p = Leggi_Pagina(file);
  ASSERT_EQ(p.size(), 13u);
  EXPECT_EQ(p[0], "col left 82,2666666666667");
  EXPECT_EQ(p[1], "col left 300");
  EXPECT_EQ(p[4], "s00|2|Vendite 01/2015: Nord|Sud");
  // The hidden "Importo|euro" still makes two header lines.
  EXPECT_EQ(p[5], "s04a||Area");
  EXPECT_EQ(p[6], "s04c||~");
  EXPECT_EQ(std::vector<std::string>(p.begin() + 7, p.end()),
            (std::vector<std::string>{"s00s||NORD", "s01s||NORD", "s00s||NORD", "s01s||SUD", "s00s||SUD", "s01s||~"}));
  const std::string pagina = dir.read("elenco.htm");
  EXPECT_NE(pagina.find(" font:8.3pt 'Lucida Console', monospace}"), std::string::npos);
  EXPECT_NE(pagina.find("font-size:12.4pt'>"), std::string::npos);
}

TEST_F(Htm, HostileTextIsEscapedAndAccentedLettersSurvive) {
  titolo = "<script>x</script> & \"caf\xE8\"";
  Descrizione_Sistema = "R&D <1>";
  Col_Intestazione[1] = "";
  Elabora("<&\"\xC3\xA9");  // the area code <&"é
  Col_Intestazione[1] = "A<b>|\xE0";
  Righe_Intestazione = 2;
  std::string file = dir.file("ostile.htm");
  Esporta_HTM(file);
  const std::vector<std::string> p = Leggi_Pagina(file);  // fails unless the page is ASCII
  ASSERT_GE(p.size(), 9u);
  EXPECT_NE(p[4].find("|Q-KRE~~-~~R&D <1>~~-~~"), std::string::npos) << p[4];
  EXPECT_EQ(p[6], "s00|4|<script>x</script> & \"caf\xC3\xA8\"");
  EXPECT_EQ(p[7].substr(0, 16), "s04a||A<b> ^ s04");
  EXPECT_EQ(p[8].substr(0, 11), "s04c||\xC3\xA0 ^ ");
  EXPECT_EQ(p[9].substr(0, 17), "s00s||<&\"\xC3\xA9 ^ s00");
  EXPECT_EQ(dir.read("ostile.htm").find("<script"), std::string::npos);
}

TEST_F(Htm, ControlCharactersBecomeBlanksAndEveryMarkupCharacterIsAnEntity) {
  Elabora("N\r\n\x01");  // an area code of control characters only
  Filtro();                 // holds the condition "<> A05"
  titolo = "A\tB\x7F" "C";
  std::string file = dir.file("controlli.htm");
  Esporta_HTM(file);
  const std::string pagina = dir.read("controlli.htm");
  // Lines end in CR LF and no other control character is left; every "<" opens a tag.
  for (size_t i = 0; i < pagina.size(); ++i) {
    const auto b = static_cast<unsigned char>(pagina[i]);
    if (b == '\r') EXPECT_EQ(pagina.substr(i, 2), "\r\n") << i;
    else if (b != '\n') EXPECT_TRUE(b >= 0x20 && b < 0x7F) << "byte " << int{b} << " at " << i;
    if (b == '<') EXPECT_TRUE(std::isalpha(static_cast<unsigned char>(pagina[i + 1])) || pagina[i + 1] == '/') << pagina.substr(i, 12);
  }
  const std::vector<std::string> p = Leggi_Pagina(file);
  std::string tutto;
  for (const std::string& r : p) tutto += r + "\n";
  EXPECT_NE(tutto.find("s01s||~ ^ s01|3|<> A05 A05\n"), std::string::npos) << tutto;
  EXPECT_NE(tutto.find("|A B C\n"), std::string::npos) << tutto;
  EXPECT_NE(tutto.find("\ns00s||N~~~ ^ s00||A01 ^ "), std::string::npos) << tutto;
}

TEST_F(Htm, TheFontFallsBackOnAGenericFamilyOfItsKind) {
  Elabora();
  const std::pair<const char*, const char*> casi[] = {
      {"Arial", "'Arial', sans-serif"},
      {"Courier New", "'Courier New', monospace"},
      {"Times New Roman", "'Times New Roman', serif"},
      {"MS Sans Serif", "'MS Sans Serif', sans-serif"},
  };
  for (const auto& [font, atteso] : casi) {
    Font_Nome = font;
    std::string file = dir.file("font.htm");
    files::remove_file(file);
    Esporta_HTM(file);
    const std::string pagina = dir.read("font.htm");
    EXPECT_NE(pagina.find(" font:8.3pt " + std::string(atteso) + "}\r\n"), std::string::npos) << font;
  }
}

TEST_F(Htm, LongRowKeysTakeTheirLevelFromTheTwelfthCharacter) {
  // A result of row-level layouts, fabricated: row key, one text column, one value column.
  struct Caso {
    std::string chiave, classe;
  };
  const std::vector<Caso> casi = {
      {"0000012", "s00s"},        // detail of a 7-character key: alternate colour
      {"00000131", "tl1s"},       // subtotal of an 8-character key: its 8th character
      {"000001352003", "tl7s"},   // subtotal counted from the 12th character: 10 - 3
      {"00000122   2", "il2s"},   // detail with a level in the 12th character
      {"00000122    ", "s00s"},   // blank 12th character: the alternate colour again
      {"00000111", "il1s"},       // head row
      {"000001150004", "il4s"},   // head row with its level in the 12th character
      {"9999994", "s03s"},        // grand total
  };
  std::vector<std::string> chiavi;
  for (const Caso& c : casi) chiavi.push_back(c.chiave);
  Risultato_Da_Chiavi(chiavi, "x  y");
  Col_Allineamento[1] = 1;
  Col_Allineamento[2] = 7;
  std::string file = dir.file("livelli.htm");
  Esporta_HTM(file);
  const std::vector<std::string> p = Leggi_Pagina(file);
  ASSERT_EQ(p.size(), 6 + casi.size());
  for (size_t i = 0; i < casi.size(); ++i) {
    const std::string classe = casi[i].classe.substr(0, casi[i].classe.size() - 1);
    const bool dettaglio = casi[i].chiave.size() >= 7 && casi[i].chiave[6] == '2';
    EXPECT_EQ(p[6 + i], casi[i].classe + "||x~~y ^ " + classe + "r||" + (dettaglio ? "2.5" : "~")) << casi[i].chiave;
  }
}

}  // namespace
}  // namespace kyx::test
