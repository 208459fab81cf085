#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "common/stato.h"
#include "export/xlsx_stili.h"
#include "export/xml_codifica.h"
#include "platform/files/files.h"
#include "platform/zip/shell.h"
#include "tests/common/ambiente.h"

namespace kyx::test {
namespace {

class XlsxStili : public Ambiente {
 protected:
  XlsxStili() {
    // Every profile colour a default palette colour: black on white, greys, navy.
    Colori.fill(0x000000);
    for (int i = 1; i < 24; i += 2) Colori[i] = 0xFFFFFF;
    Colori_Livello.fill(0xC0C0C0);
    Precisione_Colore = 16;
    Font_Nome = " Courier New ";
    Font_Dimensione = 9.5f;
  }
};

TEST(XlsxElementi, ElementsAndStyleNumbers) {
  EXPECT_EQ(XLSX_Xf("", " 0 ", "1", "", "", "", "", "", "", "", "", ""), "<xf numFmtId='0' fontId='1'/>");
  EXPECT_EQ(XLSX_Xf(" right ", "165", "2", "2", "9", "0", "1", "1", "1", "1", "1", "1"),
            "<xf numFmtId='165' fontId='2' fillId='2' borderId='9' xfId='0' quotePrefix='1' applyNumberFormat='1' "
            "applyFont='1' applyFill='1' applyBorder='1' applyAlignment='1'><alignment horizontal='right'/></xf>");
  EXPECT_EQ(XLSX_Border("00AA", "", " ", "00BB", ""),
            "<border><left style='thin'><color rgb='00AA'/></left><right/><top/><bottom style='thin'><color "
            "rgb='00BB'/></bottom><diagonal/></border>");
  EXPECT_EQ(XLSX_RgbColor(" 00FF0000 "), "<rgbColor rgb='00FF0000'/>");

  const std::map<std::string, int32_t> esadecimali = {
      {"00FF8000", 0x0080FF}, {"00ff8000", 0x0080FF}, {"xx102030", 0x302010},
      {"00ZZ0001", 0x010000}, {"0FF8000", 0},         {"", 0},
  };
  for (const auto& [testo, colore] : esadecimali) EXPECT_EQ(Esadecimale_Valore(testo), colore) << testo;

  struct Stile {
    int32_t base, riga, colonna, soglia_riga, soglia_colonna;
    const char* atteso;
  };
  for (const Stile& s : {Stile{4, 1, 1, 3, 2, " s='4'"}, Stile{4, 1, 2, 3, 2, " s='5'"}, Stile{4, 2, 1, 3, 2, " s='6'"},
                         Stile{4, 3, 1, 3, 2, " s='8'"}, Stile{4, 4, 5, 3, 2, " s='11'"}, Stile{70, 2, 2, 999, 2, " s='73'"}})
    EXPECT_EQ(XLSX_Stile(s.base, s.riga, s.colonna, s.soglia_riga, s.soglia_colonna), s.atteso);

  EXPECT_EQ(XML_Codifica("Ab 9-\xE9\x80'<"), "Ab&#32;9&#45;&#233;&#8364;&#39;&#60;");
}

TEST_F(XlsxStili, PaletteKeepsNearColoursAndGivesFarOnesEntriesFromTheTop) {
  const std::array<std::string, 64> iniziale = XLSX_Colori().Tavolozza;
  // Black, white, 3-D white and grey are all default entries: nothing to add.
  EXPECT_EQ(iniziale[0], "00000000");
  EXPECT_EQ(iniziale[63], "001503B8");
  EXPECT_EQ(iniziale[18], "00000080");

  // A colour within the tolerance of a default entry is matched, one at the tolerance is not.
  Colori[0] = 0x0F0F0F;  // 15 from black
  Colori[2] = 0x2F2F2F;  // 16 from the nearest entry, 001F1F1F
  Colori[4] = 0x2F2F2F;  // the same far colour again: it finds the entry the first one took
  Colori_Livello[55 + 2 * 8] = 0x123456;  // back of level-9 subtotals, slot 43
  Colori_Xlsx c = XLSX_Colori();
  EXPECT_EQ(c.Slot[1], "2F2F2F");
  EXPECT_EQ(c.Slot[43], "563412");
  auto atteso = iniziale;
  atteso[63] = "002F2F2F";
  atteso[62] = "00563412";
  EXPECT_EQ(c.Tavolozza, atteso);

  // No tolerance: every slot takes an entry, 63 down to 18, in slot order.
  Precisione_Colore = 0;
  c = XLSX_Colori();
  for (int s = 0; s < 46; ++s) EXPECT_EQ(c.Tavolozza[63 - s], "00" + c.Slot[s]) << s;
  EXPECT_EQ(c.Slot[44], "FFFFFF");
  EXPECT_EQ(c.Slot[45], "808080");
  for (int e = 0; e < 18; ++e) EXPECT_EQ(c.Tavolozza[e], iniziale[e]);
}

// The styles part in a workbook of one text column and one value column, read back by an
// independent spreadsheet reader: each cell shows its column's format and its row's colours, the
// last column the shadow line on the right.
TEST_F(XlsxStili, WorkbookStylesReadBackByASpreadsheetReader) {
  vb::set_locale({',', '.'});
  Separatore_Decimale = ",";
  Colori[1] = 0xCCFFFF;  // back of odd detail rows: yellowish, a default entry
  Colori[3] = 0x99CCFF;  // back of even detail rows
  Colori[0] = 0x800000;  // text of odd rows: navy
  const Colori_Xlsx colori = XLSX_Colori();
  const std::string stili = XLSX_Stili(colori, {{10, "#,##0", 1}, {0, "#,##0.00", 7}});

  const std::string decl = "<?xml version='1.0' encoding='UTF-8' standalone='yes'?>\r\n";
  const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
  const std::string ct = "application/vnd.openxmlformats-officedocument.spreadsheetml.";
  files::make_folder(dir.file("w"));
  files::make_folder(dir.file("w/_rels"));
  files::make_folder(dir.file("w/xl"));
  files::make_folder(dir.file("w/xl/_rels"));
  files::make_folder(dir.file("w/xl/worksheets"));
  dir.write("w/[Content_Types].xml",
            decl + "<Types xmlns='http://schemas.openxmlformats.org/package/2006/content-types'>"
                   "<Default Extension='rels' ContentType='application/vnd.openxmlformats-package.relationships+xml'/>"
                   "<Default Extension='xml' ContentType='application/xml'/>"
                   "<Override PartName='/xl/workbook.xml' ContentType='" + ct + "sheet.main+xml'/>"
                   "<Override PartName='/xl/worksheets/sheet1.xml' ContentType='" + ct + "worksheet+xml'/>"
                   "<Override PartName='/xl/styles.xml' ContentType='" + ct + "styles+xml'/></Types>");
  dir.write("w/_rels/.rels", decl + "<Relationships xmlns='http://schemas.openxmlformats.org/package/2006/relationships'>"
                                    "<Relationship Id='rId1' Type='" + rel + "/officeDocument' Target='xl/workbook.xml'/>"
                                    "</Relationships>");
  dir.write("w/xl/workbook.xml",
            decl + "<workbook xmlns='http://schemas.openxmlformats.org/spreadsheetml/2006/main' xmlns:r='" + rel +
                "'><sheets><sheet name='Dati' sheetId='1' r:id='rId1'/></sheets></workbook>");
  dir.write("w/xl/_rels/workbook.xml.rels",
            decl + "<Relationships xmlns='http://schemas.openxmlformats.org/package/2006/relationships'>"
                   "<Relationship Id='rId1' Type='" + rel + "/worksheet' Target='worksheets/sheet1.xml'/>"
                   "<Relationship Id='rId2' Type='" + rel + "/styles' Target='styles.xml'/></Relationships>");
  // Detail rows: column 1 from style 20 of its group, column 2 (the last) from 70.
  std::string righe;
  for (int r = 1; r <= 2; ++r) {
    const std::string n = std::to_string(r);
    righe += "<row r='" + n + "' spans='1:2'><c r='A" + n + "'" + XLSX_Stile(20, r, 1, 999, 2) +
             " t='inlineStr'><is><r><t>" + XML_Codifica("Nord " + n) + "</t></r></is></c><c r='B" + n + "'" +
             XLSX_Stile(70, r, 2, 999, 2) + "><v>1234.5</v></c></row>";
  }
  dir.write("w/xl/worksheets/sheet1.xml",
            decl + "<worksheet xmlns='http://schemas.openxmlformats.org/spreadsheetml/2006/main'><sheetData>" + righe +
                "</sheetData></worksheet>");
  dir.write("w/xl/styles.xml", decl + stili);
  std::string errore;
  ASSERT_TRUE(zip::PackFolder(dir.file("w"), dir.file("t.xlsx"), &errore)) << errore;

  std::map<std::string, std::string> letto;
  FILE* p = ::popen(("/usr/bin/python3 " KYX_LEGGI_XLSX " " + dir.file("t.xlsx") + " 2>&1").c_str(), "r");
  ASSERT_NE(p, nullptr);
  char riga[8192];
  std::string tutto;
  while (std::fgets(riga, sizeof riga, p)) {
    std::string s(riga);
    tutto += s;
    if (!s.empty() && s.back() == '\n') s.pop_back();
    const auto eq = s.find('=');
    if (eq != std::string::npos) letto[s.substr(0, eq)] = s.substr(eq + 1);
  }
  ASSERT_EQ(::pclose(p), 0) << tutto;

  const std::string L = "00FFFFFF", S = "00808080";
  std::string tavolozza;
  for (const std::string& v : colori.Tavolozza) tavolozza += (tavolozza.empty() ? "" : ",") + v;
  const std::map<std::string, std::string> atteso = {
      {"numFmts", "2/2"}, {"fonts", "24/24"}, {"fills", "24/24"}, {"borders", "11/11"}, {"cellXfs", "112/112"},
      {"indexed", tavolozza},
      {"A1.value", "Nord 1"}, {"A1.format", "@"}, {"A1.quote", "True"}, {"A1.align", "left"},
      {"A1.font", "Courier New|9.5|00000080"}, {"A1.fill", "solid|00FFFFCC"},
      {"A1.border", "thin:" + L + "|None:-|None:-|thin:" + L},
      {"B1.value", "1234.5"}, {"B1.format", "#,##0.00"}, {"B1.quote", "False"}, {"B1.align", "right"},
      {"B1.font", "Courier New|9.5|00000080"}, {"B1.fill", "solid|00FFFFCC"},
      {"B1.border", "thin:" + L + "|thin:" + S + "|None:-|thin:" + L},
      {"A2.value", "Nord 2"}, {"A2.format", "@"}, {"A2.quote", "True"}, {"A2.align", "left"},
      {"A2.font", "Courier New|9.5|00000000"}, {"A2.fill", "solid|00FFCC99"},
      {"A2.border", "thin:" + L + "|None:-|None:-|thin:" + L},
      {"B2.value", "1234.5"}, {"B2.format", "#,##0.00"}, {"B2.quote", "False"}, {"B2.align", "right"},
      {"B2.font", "Courier New|9.5|00000000"}, {"B2.fill", "solid|00FFCC99"},
      {"B2.border", "thin:" + L + "|thin:" + S + "|None:-|thin:" + L},
  };
  EXPECT_EQ(letto, atteso) << tutto;
}

}  // namespace
}  // namespace kyx::test

namespace kyx::test {
namespace {

size_t Conta(const std::string& testo, const std::string& pezzo) {
  size_t n = 0;
  for (size_t p = testo.find(pezzo); p != std::string::npos; p = testo.find(pezzo, p + 1)) ++n;
  return n;
}

// A text column keeps its content as text in every row format; a value column only in its
// headers (8 formats) and level rows (18), beside the 12 fixed formats that always do.
TEST_F(XlsxStili, OneColumnGroupAndTheTextMarkOfItsFormats) {
  const Colori_Xlsx colori = XLSX_Colori();
  for (const auto& [tipo, segnate] : {std::pair<uint8_t, size_t>{0, 12 + 8 + 18}, {20, 12 + 50}}) {
    const std::string x = XLSX_Stili(colori, {{tipo, "0.0", 5}});
    EXPECT_NE(x.find("<cellXfs count='62'>"), std::string::npos);
    EXPECT_EQ(Conta(x, "<xf "), 1u + 62u);
    EXPECT_EQ(Conta(x, "quotePrefix='1'"), segnate) << int(tipo);
    // An alignment other than 1, 4 or 7 gives the group no alignment.
    EXPECT_EQ(Conta(x, "<alignment "), 12u);
    EXPECT_NE(x.find(tipo ? "formatCode='@'" : "formatCode='0&#46;0'"), std::string::npos);
  }
}

}  // namespace
}  // namespace kyx::test
