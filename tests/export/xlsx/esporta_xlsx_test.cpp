// The workbook of a real elaboration result, read back by openpyxl.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "common/utilita.h"
#include "export/esporta_xls.h"
#include "export/esporta_xlsx.h"
#include "platform/data/static_recordset.h"
#include "platform/files/files.h"
#include "tests/export/ambiente_esporta.h"

namespace kyx::test {
namespace {

class Xlsx : public AmbienteEsporta {
 protected:
  void SetUp() override {
    AmbienteEsporta::SetUp();
    setenv("KYX_OPEN_COMMAND", "true", 1);
    // Colours far apart, so that every row kind and level has a fill of its own.
    Precisione_Colore = 0;
    for (size_t i = 0; i < Colori.size(); ++i) Colori[i] = static_cast<int32_t>(0x102030 + 0x0B0905 * i);
    for (size_t i = 0; i < Colori_Livello.size(); ++i) Colori_Livello[i] = static_cast<int32_t>(0x203010 + 0x050B03 * i);
  }
  void TearDown() override {
    unsetenv("KYX_OPEN_COMMAND");
    AmbienteEsporta::TearDown();
  }

  // What openpyxl reads from the workbook (see leggi_foglio.py).
  static std::vector<std::string> Leggi(const std::string& file) { return Righe_Lettore(KYX_LEGGI_FOGLIO, file); }
  // One part of the package as Python's zipfile reads it.
  static std::string Parte(const std::string& file, const std::string& nome) {
    const std::string comando = std::string(KYX_PYTHON) +
                                " -c \"import sys, zipfile; sys.stdout.buffer.write(zipfile.ZipFile(sys.argv[1]).read(sys.argv[2]))\" '" +
                                file + "' '" + nome + "' 2>&1";
    std::string out;
    if (FILE* p = popen(comando.c_str(), "r")) {
      char buf[4096];
      size_t n;
      while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
      EXPECT_EQ(pclose(p), 0) << out;
    }
    return out;
  }
  // The hidden files of the test's folder (temporary files are hidden), joined by blanks.
  std::string Nomi_Nascosti() const {
    std::string nomi;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
      const std::string n = e.path().filename().string();
      if (n[0] == '.') nomi += n + " ";
    }
    return nomi;
  }
  // The cells whose text does not fit their column (see leggi_larghezze.py); empty when all fit.
  static std::vector<std::string> Celle_Tagliate(const std::string& file) {
    std::vector<std::string> righe = Righe_Lettore(KYX_LEGGI_LARGHEZZE, file);
    EXPECT_FALSE(righe.empty());
    if (!righe.empty() && righe.back() == "fatto") righe.pop_back();
    return righe;
  }
};

TEST_F(Xlsx, AnElaborationResultGetsTheFilterBlockMergesWidthsAndNumbers) {
  Elabora();
  Filtro();
  vb::set_locale({',', '.'});  // 1234,5 on screen is still the number 1234.5
  Separatore_Decimale = ",";
  std::string file = dir.file("vendite.xlsx");
  Esporta_XLSX(file);
  EXPECT_EQ(host.panels().back(), "Stato=Salvataggio " + file + " completato");
  std::vector<std::string> p = Leggi(file);
  ASSERT_EQ(p.size(), 22u) << p.back();
  EXPECT_EQ(p[0], "name=Dati");
  EXPECT_EQ(p[1], "dimension=A1:D18");
  // Title, "Filtro" and caption across all columns; "Valore" and the conditions from B on.
  EXPECT_EQ(p[2], "merged=A1:D1,A3:D3,B4:D4,B5:D5,B6:D6,B7:D7,B8:D8,A10:D10");
  // Widths: the longest text of each column, filter key texts included, with capitals counted
  // wider than digits ("Agente di vendita della zona commerciale ", "Agente ", "1.238,50", "Senza").
  EXPECT_EQ(p[3], "widths=A:44,B:9,C:9,D:7");
  EXPECT_TRUE(std::regex_match(p[4], std::regex("A1=Q-KRE  -  Vendite Italia  -  \\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d\\{General\\}.*")))
      << p[4];
  const auto valori = [&](size_t i) {  // the row's values and formats without the fills
    return std::regex_replace(p[i], std::regex("\\[[^\\]]*\\]"), "");
  };
  EXPECT_EQ(valori(7), "A4=Chiave{General} ^ B4=Valore{General} ^ C4=~{General} ^ D4=~{General}");
  EXPECT_EQ(valori(8).substr(0, 44), "A5=Chiave 1 {General} ^ B5== NORD NORD  {Gen");
  EXPECT_EQ(valori(9).substr(0, 76),
            "A6=Agente di vendita della zona commerciale {General} ^ B6=Da A01 A01  {Gene");
  EXPECT_EQ(valori(10).substr(0, 35), "A7= {General} ^ B7=A A09 A09  {Gene");
  EXPECT_EQ(valori(11).substr(0, 36), "A8= {General} ^ B8=<> A05 A05  {Gene");
  EXPECT_EQ(valori(13).substr(0, 38), "A10=Vendite 01/2015: Nord|Sud{General}");
  // Header pieces in their column's format; a missing piece is an empty value.
  EXPECT_EQ(valori(14), "A11=Area{@} ^ B11=Agente {@} ^ C11=Importo{#,##0.00} ^ D11=Senza{0}");
  EXPECT_EQ(valori(15), "A12=~{@} ^ B12= cod{@} ^ C12=euro{#,##0.00} ^ D12=~{0}");
  // Numbers as numbers; a column without totals is empty off the detail rows.
  std::vector<std::string> dati;
  for (size_t i = 16; i < p.size(); ++i) dati.push_back(valori(i));
  EXPECT_EQ(dati, (std::vector<std::string>{
                      "A13=NORD{@} ^ B13=A01{@} ^ C13=1234.5{#,##0.00} ^ D13=1234.5{0}",
                      "A14=NORD{@} ^ B14=A03{@} ^ C14=4{#,##0.00} ^ D14=4{0}",
                      "A15=NORD{@} ^ B15=totale{@} ^ C15=1238.5{#,##0.00} ^ D15=~{0}",
                      "A16=SUD{@} ^ B16=A02{@} ^ C16=10{#,##0.00} ^ D16=10{0}",
                      "A17=SUD{@} ^ B17=totale{@} ^ C17=10{#,##0.00} ^ D17=~{0}",
                      "A18={@} ^ B18={@} ^ C18=1248.5{#,##0.00} ^ D18=~{0}",
                  }));
  // Fills: detail rows alternate, the subtotals share their level's fill, the grand total its own.
  const auto fill = [&](size_t i) { return p[i].substr(p[i].find('['), p[i].find(']') - p[i].find('[') + 1); };
  EXPECT_NE(fill(16), fill(17));
  EXPECT_EQ(fill(18), fill(20));
  EXPECT_NE(fill(18), fill(16));
  EXPECT_NE(fill(18), fill(17));
  EXPECT_NE(fill(21), fill(18));
  EXPECT_NE(fill(21), fill(16));
}

TEST_F(Xlsx, OutsideAnElaborationResultOneColumnIsNotMergedAndRowsAlternate) {
  Elabora();
  Filtro();
  Modo_Griglia = 2;
  Col_Visibile[2] = Col_Visibile[3] = Col_Visibile[4] = 1;
  std::string file = dir.file("elenco.xlsx");
  Esporta_XLSX(file);
  const std::vector<std::string> p = Leggi(file);
  ASSERT_EQ(p.size(), 15u) << p.back();
  EXPECT_EQ(p[1], "dimension=A1:A11");
  EXPECT_EQ(p[2], "merged=");
  EXPECT_EQ(Parte(file, "xl/worksheets/sheet1.xml").find("mergeCells"), std::string::npos);
  // No filter block: the caption in row 3, the two header lines, then the six rows.
  EXPECT_TRUE(p[6].starts_with("A3=Vendite 01/2015: Nord|Sud")) << p[6];
  EXPECT_TRUE(p[7].starts_with("A4=Area{")) << p[7];
  for (size_t i = 9; i < p.size(); ++i) {
    const auto fill = [&](size_t n) { return p[n].substr(p[n].find('[')); };
    if (i + 1 < p.size()) {
      EXPECT_NE(fill(i), fill(i + 1)) << p[i];
    }
    if (i + 2 < p.size()) {
      EXPECT_EQ(fill(i), fill(i + 2)) << p[i];
    }
  }
  // The eight parts, each with its declaration line.
  for (const char* parte : {"[Content_Types].xml", "_rels/.rels", "docProps/app.xml", "docProps/core.xml",
                            "xl/_rels/workbook.xml.rels", "xl/styles.xml", "xl/workbook.xml", "xl/worksheets/sheet1.xml"}) {
    EXPECT_EQ(Parte(file, parte).substr(0, 57), "<?xml version='1.0' encoding='UTF-8' standalone='yes'?>\r\n") << parte;
  }
}

TEST_F(Xlsx, HostileTextComesBackIntactAndThePartsStayAscii) {
  titolo = "<script>x</script> & \"caf\xE8\"";
  Titolo_Programma = "R&D 'Kyx' <\xE9>";
  Descrizione_Sistema = "a]]>b";
  Elabora("<&\"\xC3\xA9");  // the area code <&"é
  Col_Intestazione[1] = "A<b>|\xE0";
  std::string file = dir.file("ostile.xlsx");
  Esporta_XLSX(file);
  const std::vector<std::string> p = Leggi(file);  // fails unless every part is ASCII
  ASSERT_GE(p.size(), 10u) << p.back();
  EXPECT_TRUE(p[4].starts_with("A1=R&D 'Kyx' <\xC3\xA9>  -  a]]>b  -  ")) << p[4];
  EXPECT_TRUE(p[6].starts_with("A3=<script>x</script> & \"caf\xC3\xA8\"{General}")) << p[6];
  EXPECT_TRUE(p[7].starts_with("A4=A<b>{@}")) << p[7];
  EXPECT_TRUE(p[8].starts_with("A5=\xC3\xA0{@}")) << p[8];
  EXPECT_TRUE(p[9].starts_with("A6=<&\"\xC3\xA9{@}")) << p[9];
  EXPECT_NE(Parte(file, "docProps/core.xml").find("<dc:creator>R&#38;D&#32;&#39;Kyx&#39;&#32;&#60;&#233;&#62;<"),
            std::string::npos);
}

TEST_F(Xlsx, ControlCharactersBecomeBlanksAndEveryRowStays) {
  // Every character below the blank and DEL inside a text: XML 1.0 allows only TAB, LF and CR of
  // them, so the others must reach the sheet as blanks, or no reader can open it.
  std::string controlli, attesi;
  for (int c = 0; c < 32; ++c) {
    controlli += static_cast<char>(c);
    attesi += c == '\t' ? "\t" : c == '\n' ? "\\n" : c == '\r' ? "\\r" : " ";
  }
  controlli += '\x7F';
  attesi += '\x7F';
  Risultato_Da_Chiavi({"0000012", "0000012", "9999994"}, "A" + controlli + "B");
  titolo = "Vendite\x0B\x01 2015";
  Col_Intestazione[1] = "Te\x1Fsto";
  std::string file = dir.file("controlli.xlsx");
  Esporta_XLSX(file);
  EXPECT_EQ(host.panels().back(), "Stato=Salvataggio " + file + " completato");
  const std::vector<std::string> p = Leggi(file);  // fails when the reader refuses the file
  ASSERT_EQ(p.size(), 11u) << p.back();
  EXPECT_TRUE(p[6].starts_with("A3=Vendite   2015{General}")) << p[6];
  EXPECT_TRUE(p[7].starts_with("A4=Te sto{@}")) << p[7];
  for (size_t i = 8; i < 11; ++i) EXPECT_TRUE(p[i].starts_with("A" + std::to_string(i - 3) + "=A" + attesi + "B{@}")) << p[i];
}

TEST_F(Xlsx, OneWrittenColumnKeepsTheFilterConditions) {
  Elabora();
  Filtro();
  Col_Visibile[2] = Col_Visibile[3] = Col_Visibile[4] = 1;  // the area alone
  Font_Nome = "Arial";
  Font_Dimensione = 8;
  std::string file = dir.file("una.xlsx");
  Esporta_XLSX(file);
  const std::vector<std::string> p = Leggi(file);
  ASSERT_EQ(p.size(), 22u) << p.back();
  // The filter block keeps its two columns, key and condition; the rest of the sheet is one wide.
  EXPECT_EQ(p[1], "dimension=A1:B18");
  EXPECT_EQ(p[2], "merged=A3:B3");
  const auto valori = [&](size_t i) { return std::regex_replace(p[i], std::regex("\\[[^\\]]*\\]"), ""); };
  EXPECT_EQ(valori(7), "A4=Chiave{General} ^ B4=Valore{General}");
  EXPECT_EQ(valori(8), "A5=Chiave 1 {General} ^ B5== NORD NORD  {General}");
  EXPECT_EQ(valori(9), "A6=Agente di vendita della zona commerciale {General} ^ B6=Da A01 A01  {General}");
  EXPECT_EQ(valori(10), "A7= {General} ^ B7=A A09 A09  {General}");
  EXPECT_EQ(valori(11), "A8= {General} ^ B8=<> A05 A05  {General}");
  EXPECT_TRUE(valori(16).starts_with("A13=NORD{@}")) << p[16];
  EXPECT_EQ(Celle_Tagliate(file), std::vector<std::string>{});
}

TEST_F(Xlsx, EveryTextFitsItsColumnWhateverTheFont) {
  // The texts measured in the font of the cells, proportional or monospaced, against the widths
  // of their columns; the filter block's key texts and conditions included.
  struct Caso {
    const char* font;
    float punti;
  };
  Elabora();
  Filtro();
  for (const Caso& c : {Caso{"Arial", 8}, Caso{"Arial", 11}, Caso{"Courier New", 10}}) {
    Font_Nome = c.font;
    Font_Dimensione = c.punti;
    std::string file = dir.file(std::string("misure") + std::to_string(static_cast<int>(c.punti)) + ".xlsx");
    Esporta_XLSX(file);
    EXPECT_EQ(Celle_Tagliate(file), std::vector<std::string>{}) << c.font << " " << c.punti;
  }
}

TEST_F(Xlsx, FailuresLeaveTheOldWorkbookAndSaySo) {
  Elabora();
  // A target that cannot be written (a folder of that name): the "in use" message, nothing made.
  files::make_folder(dir.file("v.xlsx/dentro"));
  std::string file = dir.file("v.xlsx");
  host.expect(file + "\r\xE8 utilizzato da un'altra applicazione.");
  Esporta_XLSX(file);
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(host.panels().back(), "Stato=Salvataggio non effettuato");
  EXPECT_TRUE(files::folder_exists(dir.file("v.xlsx/dentro")));

  // Writing that fails half-way (the process may not write files past 4 kB): the message,
  // "NON completato", the old workbook as it was and no temporary file left behind.
  files::remove_tree(dir.file("v.xlsx"));
  dir.write("v.xlsx", "vecchio");
  host.expect("esiste gi\xE0", host::vbYes);
  host.expect("Non \xE8 possibile preparare il file\r\n" + file);
  struct rlimit prima {};
  ::getrlimit(RLIMIT_FSIZE, &prima);
  const auto segnale = ::signal(SIGXFSZ, SIG_IGN);
  struct rlimit limite = prima;
  limite.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limite), 0);
  Esporta_XLSX(file);
  ::setrlimit(RLIMIT_FSIZE, &prima);
  ::signal(SIGXFSZ, segnale);
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(host.panels().back(), "Stato=Salvataggio " + file + " NON completato");
  EXPECT_EQ(dir.read("v.xlsx"), "vecchio");
  EXPECT_EQ(Nomi_Nascosti(), "");
}

TEST_F(Xlsx, TheOldWorkbookIsReplacedOnlyByAWholeOneWrittenApart) {
  Elabora();
  dir.write("v.xlsx", "vecchio");
  // Files of the user beside the target are none of the export's business: a folder named like
  // the target with ".zip" does not stop it and stays as it was.
  files::make_folder(dir.file("v.zip/dentro"));
  std::string file = dir.file("v.xlsx");
  host.expect("esiste gi\xE0", host::vbYes);
  Esporta_XLSX(file);
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(host.panels().back(), "Stato=Salvataggio " + file + " completato");
  EXPECT_GE(Leggi(file).size(), 10u);
  EXPECT_TRUE(files::folder_exists(dir.file("v.zip/dentro")));
  // No work folder shared with other copies of the program, and nothing left behind.
  EXPECT_FALSE(files::exists(dir.file("per_xlsx")));
  EXPECT_EQ(Nomi_Nascosti(), "");
}

TEST_F(Xlsx, MoreRowsThanASheetHoldsAreRefusedNotWrittenDamaged) {
  // Title, caption and heading take four rows: 1,048,573 records end on row 1,048,577.
  Risultato_Da_Chiavi(std::vector<std::string>(1048573, "0000012"), "x");
  dir.write("grande.xlsx", "vecchio");
  std::string file = dir.file("grande.xlsx");
  host.expect("esiste gi\xE0", host::vbYes);
  host.expect("Non \xE8 possibile preparare il file\r\n" + file + "\r\nil foglio non contiene pi\xF9 di 1048576 righe");
  Esporta_XLSX(file);
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(host.panels().back(), "Stato=Salvataggio " + file + " NON completato");
  EXPECT_EQ(dir.read("grande.xlsx"), "vecchio");
  EXPECT_EQ(Nomi_Nascosti(), "");
}

TEST_F(Xlsx, RowKeysPickTheStyleAndTheColoursOfTheGrid) {
  // A result fabricated from row keys: one text column, one value column without totals. Each
  // row takes the colour pair the grid gives its kind and level: the back colour of Colori pair
  // `coppia` when `livello` is false, else of level pair `coppia`.
  struct Caso {
    std::string chiave;
    int stile;  // of the first column; the last column's is 50 + 1 more
    bool livello;
    int coppia;
  };
  const std::vector<Caso> casi = {
      {"0000012", 20, false, 0},       // detail, odd data row: alternating style
      {"0000012", 22, false, 1},       // detail, even data row
      {"00000131", 60, true, 35},      // innermost subtotal (level 1 counted from the inside): 26 + 9
      {"000001352003", 36, true, 29},  // subtotal with level 3 in the 12th character: 26 + 3
      {"00000122   2", 30, true, 19},  // detail with a level in the 12th character: 17 + 2
      {"00000122    ", 22, false, 1},  // blank level part: alternating again (sixth row, even)
      {"00000111", 26, true, 18},      // head row of level 1: 17 + 1
      {"000001150004", 38, true, 21},  // head row with level 4 from the 12th character
      {"00000112003", 30, true, 19},   // head row of a row-level layout: level 2, key number 003 after it
      {"00000132003", 56, true, 34},   // its subtotal: 26 + (10 - 2)
      {"9999994", 24, false, 3},       // grand total
  };
  std::vector<std::string> chiavi;
  for (const Caso& c : casi) chiavi.push_back(c.chiave);
  Risultato_Da_Chiavi(chiavi, "x");
  std::string file = dir.file("livelli.xlsx");
  Esporta_XLSX(file);
  const std::vector<std::string> p = Leggi(file);
  ASSERT_EQ(p.size(), 4u + 4 + casi.size());  // openpyxl reads it whole
  const std::string foglio = Parte(file, "xl/worksheets/sheet1.xml");
  for (size_t i = 0; i < casi.size(); ++i) {
    const Caso& c = casi[i];
    const std::string r = std::to_string(5 + i);
    const bool dettaglio = c.chiave[6] == '2';
    EXPECT_NE(foglio.find("<c r='A" + r + "' s='" + std::to_string(c.stile) + "' t='inlineStr'>"), std::string::npos)
        << c.chiave;
    EXPECT_NE(foglio.find("<c r='B" + r + "' s='" + std::to_string(c.stile + 51) + "'>" +
                          (dettaglio ? "<v>2.5</v>" : "<v></v>")),
              std::string::npos)
        << c.chiave;
    const int32_t sfondo = c.livello ? Colori_Livello[static_cast<size_t>(2 * c.coppia + 1)]
                                     : Colori[static_cast<size_t>(2 * c.coppia + 1)];
    EXPECT_NE(p[8 + i].find("A" + r + "=x{@}[00" + Colore_Html(sfondo) + "]"), std::string::npos)
        << c.chiave << ": " << p[8 + i];
  }
  // The header cells take their own column's group.
  EXPECT_NE(foglio.find("<c r='A4' s='12' t='inlineStr'>"), std::string::npos);
  EXPECT_NE(foglio.find("<c r='B4' s='63' t='inlineStr'>"), std::string::npos);
}

TEST(XlsxCella, ColumnLettersAndRowNumbers) {
  const std::vector<std::pair<int, std::string>> casi = {{0, "7"},    {1, "A7"},   {26, "Z7"},  {27, "AA7"},
                                                        {52, "AZ7"}, {53, "BA7"}, {252, "IR7"}, {702, "ZZ7"}};
  for (const auto& [colonna, atteso] : casi) EXPECT_EQ(XLSX_Cella(7, colonna), atteso) << colonna;
}

}  // namespace
}  // namespace kyx::test
