// The print run over a real elaboration: the engine runs a layout of areas (with subtotals) and
// agents on a local data set, and the result is printed on a PDF printer and read back with
// poppler: pages and breaks with the header repeated, the page range, the break at each area,
// the filter table, columns fitted to the page, colours by row kind, and the failures.
#include "print/stampa_documento.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "common/impostazioni.h"
#include "db/mdb2.h"
#include "engine/elaborazione.h"
#include "platform/data/static_recordset.h"
#include "platform/gdi/gdi.h"
#include "print/agganci_stampa.h"
#include "print/stampa_interno.h"
#include "print/stampanti.h"
#include "print/stato_stampa.h"
#include "tests/engine/ambiente_motore.h"
#include "tests/print/pdf.h"

namespace kyx::test {
namespace {

class Stampa : public Motore {
 protected:
  void SetUp() override {
    Motore::SetUp();
    stato_stampa::reset();
    stampanti::reset();
    agganci_stampa::reset();
    gdi::RemovePdfPrinters();
    gdi::ResetJournal();
    gdi::AddPdfPrinter("PDF prova", pdf);
    agganci_stampa::Titolo_Griglia = [] { return std::string("Vendite per area"); };
    Descrizione_Sistema = "Statistiche vendite   ";
    for (size_t i = 0; i < Colori.size(); ++i) Colori[i] = 0xFFFFFF;
    for (size_t i = 0; i < Colori_Livello.size(); ++i) Colori_Livello[i] = 0xFFFFFF;
    for (int i = 0; i < 12; ++i) Colori[static_cast<size_t>(2 * i)] = 0;  // black texts
    Colori[19] = 0x00FF00;                                                 // grand total: green
    Colori_Livello[35] = 0xFF0000;                                         // subtotal of level 1: blue
    Stampa_Stampante = "PDF prova";
    Stampa_Verticale = true;
    Stampa_Margini = {170, 170, 170, 170};
    Stampa_Margine_Cella = 30;
    Stampa_Copie = 1;
    Stampa_Adatta = Stampa_Adatta_Colonne = Stampa_Allinea_X = true;
    Stampa_Adatta_Font = false;
    Stampa_Font_Max = 15;
    Stampa_Filtro = false;

    Chiave(1, "K", 4);
    Chiave(2, "K", 3);
    Riga("VALORI", {"SINF", "IDX", "ELEM"}, {"SI1", 1, 3});
    Riga("LAYOUT", {"IDX", "DESC", "FONT", "DIM_F"}, {3, "Vendite", "Arial   ", 10});
    Liv_Riga_Chiave[0] = 1;
    Liv_Riga_Chiave[1] = 2;
    ASSERT_TRUE(Apri_MDB2(false, false));
    Elementi({{.col = 1, .calc = "#L1(001)", .inte = "Area", .sntot = "S"},
              {.col = 2, .calc = "#L2(002)", .inte = "Agente"},
              {.col = 3, .calc = "#+V001#", .inte = "Venduto|in euro", .tot = "T"}});
    Ini("[001]\n");
    Profilo_Corrente = 1;
  }
  void TearDown() override {
    gdi::RemovePdfPrinters();
    agganci_stampa::reset();
    stato_stampa::reset();
    Motore::TearDown();
  }

  // Agents 1 .. n: the first `sud` in area "SUD", the others in "NORD"; agent i sold i.
  void Dati(int n, int sud) {
    std::string sql = "INSERT INTO KYX_D0_00F_SI1 (IDX, K_001, K_002, V_001_01, V_001_02, V_001_03) VALUES ";
    for (int i = 1; i <= n; ++i) {
      sql += (i > 1 ? "," : "") + std::string("(") + std::to_string(i) + ",'" + (i <= sud ? "SUD" : "NORD") +
             "','" + Numero_Cifre(i, 3) + "'," + std::to_string(i) + ",0,0)";
    }
    ASSERT_TRUE(Sql(Mdb(2), sql).empty());
    ASSERT_TRUE(Esegui_Elaborazione());
    ASSERT_EQ(Modo_Griglia, 3);
  }

  const std::string pdf = dir.file("stampa.pdf");
};

// The text of page n with every run of blanks made one (the reader lays words out by place).
std::string Parole_Di(const std::string& pdf, int n) {
  std::string out;
  for (char c : Testo(pdf, n)) {
    if (c == ' ' && !out.empty() && out.back() == ' ') continue;
    out += c;
  }
  return out;
}

TEST_F(Stampa, ALongResultBreaksPagesWithItsHeaderOnEachAndPrintsEveryRowOnce) {
  Dati(150, 50);
  ASSERT_EQ(Numero_Record, 153);
  ASSERT_TRUE(Stampa_Documento());
  const int n = Pagine(pdf);
  ASSERT_GE(n, 2);
  EXPECT_EQ(gdi::LastJournal().Documents_Started, 1);
  EXPECT_EQ(gdi::LastJournal().Documents_Ended, 1);
  EXPECT_EQ(gdi::LastJournal().Document_Name, "Q-KRE");
  std::vector<std::string> agenti;
  for (int p = 1; p <= n; ++p) {
    SCOPED_TRACE(p);
    const std::string t = Parole_Di(pdf, p);
    EXPECT_NE(t.find("Q-KRE - Statistiche vendite - Vendite per area"), std::string::npos) << t;
    EXPECT_NE(t.find("Pag. " + std::to_string(p)), std::string::npos);
    EXPECT_NE(t.find("Agente"), std::string::npos) << "the column header on every page";
    EXPECT_NE(t.find("in euro"), std::string::npos) << "the heading's second line";
    EXPECT_EQ(t.find("...") != std::string::npos, p < n) << "the mark at the foot of a continued page";
  }
  for (const Parola& w : Parole(pdf)) {
    if (w.testo.size() == 3 && std::all_of(w.testo.begin(), w.testo.end(), ::isdigit) && w.x1 < 300) {
      agenti.push_back(w.testo);
    }
  }
  // Every agent once, in the order of the result (NORD first, then SUD).
  ASSERT_EQ(agenti.size(), 150u);
  EXPECT_EQ(agenti.front(), "051");
  EXPECT_EQ(agenti[99], "150");
  EXPECT_EQ(agenti[100], "001");
  const std::string ultima = Testo(pdf, n);
  EXPECT_NE(ultima.find("11,325.000"), std::string::npos) << "the grand total (1 + ... + 150)";
}

TEST_F(Stampa, ThePageRangeDrawsOnlyItsPagesWithTheirOwnNumbers) {
  Dati(150, 50);
  Stampa_Da_Pagina = 2;
  Stampa_A_Pagina = 2;
  ASSERT_TRUE(Stampa_Documento());
  ASSERT_EQ(Pagine(pdf), 1);
  const std::string t = Testo(pdf, 1);
  EXPECT_NE(t.find("Pag. 2"), std::string::npos);
  EXPECT_NE(t.find("..."), std::string::npos);
  EXPECT_EQ(t.find("051"), std::string::npos) << "the first page's rows are not drawn";

  // A range past the end, and a range whose last page is 0, draw nothing: the document is
  // started and ended all the same, and no file is left.
  for (auto [da, a] : {std::pair{5, 6}, std::pair{1, 0}, std::pair{3, 2}}) {
    gdi::ResetJournal();
    std::remove(pdf.c_str());
    Stampa_Da_Pagina = da;
    Stampa_A_Pagina = a;
    EXPECT_TRUE(Stampa_Documento());
    EXPECT_EQ(gdi::LastJournal().Documents_Started, 1);
    EXPECT_EQ(gdi::LastJournal().Documents_Ended, 1);
    EXPECT_EQ(gdi::LastJournal().Pages, 0);
    EXPECT_EQ(Pagine(pdf), -1) << da << ".." << a;
  }
}

TEST_F(Stampa, EachFirstLevelGroupBeginsAPageWithTheFirstLevelBreak) {
  Dati(4, 2);
  // The result of a layout whose levels are rows (head rows of kind "1"), laid over the same
  // column model: two groups of level 1 and the grand total.
  auto rs = std::make_unique<data::StaticRecordset>();
  for (int c = 0; c <= 2; ++c) rs->AppendField(data::TextField("c00" + std::to_string(c), 20));
  rs->AppendField(data::DoubleField("c003"));
  ASSERT_TRUE(rs->OpenFabricated().ok());
  int n = 0;
  const auto riga = [&](const std::string& tipo, const std::string& area, const std::string& agente, double v) {
    rs->AddNew();
    rs->SetText(0, Numero_Cifre(++n, 6) + tipo);
    rs->SetText(1, area);
    rs->SetText(2, agente);
    rs->Set(3, data::Value(v));
    ASSERT_TRUE(rs->Update().ok());
  };
  riga("11", "EST", "", 0);
  riga("22", "EST", "101", 1);
  riga("22", "EST", "102", 2);
  riga("39", "EST", "totale", 3);
  riga("11", "OVEST", "", 0);
  riga("22", "OVEST", "201", 4);
  riga("39", "OVEST", "totale", 4);
  riga("4", "", "totale", 7);
  Rs_Griglia = std::move(rs);
  Stampa_Livello_1 = true;
  Livelli_Visibili = 1;
  ASSERT_TRUE(Stampa_Documento());
  ASSERT_EQ(Pagine(pdf), 3);
  EXPECT_EQ(Testo(pdf, 1).find("OVEST"), std::string::npos);
  EXPECT_NE(Testo(pdf, 1).find("102"), std::string::npos);
  EXPECT_NE(Testo(pdf, 2).find("201"), std::string::npos);
  EXPECT_NE(Testo(pdf, 3).find("7.000"), std::string::npos);
  EXPECT_NE(Testo(pdf, 1).find("..."), std::string::npos);
  // Without visible levels the same rows break only at the foot of a page.
  Livelli_Visibili = 0;
  ASSERT_TRUE(Stampa_Documento());
  EXPECT_EQ(Pagine(pdf), 1);
}

TEST_F(Stampa, TheFilterTableOpensTheResult) {
  Dati(20, 10);
  Riga("FILTRO", {"KEY", "OPER", "VALO_1", "VALO_2", "BLOCCO"}, {1, "=", "NORD", "", " "});
  Riga("FILTRO", {"KEY", "OPER", "VALO_1", "VALO_2", "BLOCCO"}, {2, "D", "011", "015", " "});
  Riga("FILTRO", {"KEY", "OPER", "VALO_1", "VALO_2", "BLOCCO"}, {2, "N", "013", "", " "});
  Riga("FILTRO", {"KEY", "OPER", "VALO_1", "VALO_2", "BLOCCO"}, {2, "Z", "099", "", " "});
  Riga("FILTRO", {"KEY", "OPER", "VALO_1", "VALO_2", "BLOCCO"}, {2, "=", "*", "", " "});
  Riga("FILTRO", {"KEY", "OPER", "VALO_1", "VALO_2", "BLOCCO"}, {2, "=", "020", "", "X"});
  ASSERT_TRUE(Sql(Mdb(0), "UPDATE CHIAVI SET VIS='V', ORDINA=IDX").empty());
  Stampa_Filtro = true;
  ASSERT_TRUE(Stampa_Documento());
  const std::string t = Parole_Di(pdf, 1);
  const auto dove = [&](const std::string& s) { return t.find(s); };
  ASSERT_NE(dove("Chiave"), std::string::npos) << t;
  EXPECT_NE(dove("Descrizione"), std::string::npos);
  EXPECT_NE(dove("= NORD"), std::string::npos);
  EXPECT_NE(dove("Da 011"), std::string::npos);
  EXPECT_NE(dove("A 015"), std::string::npos);
  EXPECT_NE(dove("<> 013"), std::string::npos);
  EXPECT_EQ(dove("099"), std::string::npos) << "an unknown operator prints nothing";
  EXPECT_EQ(dove("= 020"), std::string::npos) << "a condition that does not apply";
  EXPECT_LT(dove("= NORD"), dove("Da 011"));
  EXPECT_LT(dove("A 015"), dove("Agente")) << "the table comes before the grid";
  // The key's text on the first line of a new key; a range repeats it on its second line.
  size_t volte = 0;
  for (size_t p = t.find("Chiave 2"); p != std::string::npos; p = t.find("Chiave 2", p + 1)) ++volte;
  EXPECT_EQ(volte, 2u);
}

TEST_F(Stampa, ColumnsFillThePrintableWidthAndRowsTakeTheirColours) {
  Dati(20, 10);
  ASSERT_TRUE(Stampa_Documento());
  // The amounts are right-aligned in the last column, whose right edge is the right margin.
  double destra = 0;
  double y_totale = -1, y_subtotale = -1, x_importo = 0;
  for (const Parola& w : Parole(pdf)) {
    if (w.testo == "210.000") {
      destra = std::max(destra, w.x2);
      y_totale = (w.y1 + w.y2) / 2;
    }
    if (w.testo == "155.000") {  // NORD: 11 + ... + 20
      y_subtotale = (w.y1 + w.y2) / 2;
      x_importo = w.x1;
    }
  }
  const double margine_destro = (Stampanti_Larghezza - 170 - 30) / 20.0;
  EXPECT_NEAR(destra, margine_destro, 1.5);
  ASSERT_GT(y_totale, 0);
  ASSERT_GT(y_subtotale, 0);
  // At 72 dpi a pixel is a point: in the amount's cell, left of its right-aligned text.
  const Immagine img = Rendi(pdf, 1, 72, dir.file("pagina"));
  const int x = static_cast<int>(x_importo) - 10;
  EXPECT_EQ(img(x, static_cast<int>(y_totale)), (std::array<int, 3>{0, 255, 0})) << "grand total: pair 9";
  EXPECT_EQ(img(x, static_cast<int>(y_subtotale)), (std::array<int, 3>{0, 0, 255})) << "subtotal of level 1";
}

TEST_F(Stampa, EveryHeadingLinePrintsOnItsOwnLineInsideTheHeader) {
  Dati(3, 1);
  // Columns as wide as their data: the amount's is narrower than its heading's first line, which
  // would wrap at its blanks. The agent's column is left out, so nothing stands right of it.
  Stampa_Adatta = false;
  Col_Visibile[2] = 1;
  Col_Intestazione[3] = "% sul totale|anno";
  ASSERT_TRUE(Stampa_Documento());
  std::map<std::string, Parola> p;
  for (const Parola& w : Parole(pdf))
    if (w.pagina == 1 && !p.count(w.testo)) p[w.testo] = w;
  for (const char* parola : {"Area", "%", "sul", "anno", "NORD"}) ASSERT_TRUE(p.count(parola)) << parola;
  // Line 1 at the header's top, cut at the column's edge rather than wrapped; line 2 one text
  // line below it, inside the header, above the first row.
  const double riga = Stampa_Altezza_Riga / 20.0;
  EXPECT_NEAR(p["%"].y1, p["Area"].y1, 1.0);
  EXPECT_NEAR(p["sul"].y1, p["Area"].y1, 1.0);
  EXPECT_GT(p["anno"].y1, p["Area"].y2 - 1.0);
  EXPECT_LT(p["anno"].y1 - p["Area"].y1, riga);
  EXPECT_LT(p["anno"].y2, p["NORD"].y1);
}

TEST_F(Stampa, TheFontShrinksToTheColumnsButNotTheHeader) {
  Dati(20, 10);
  ASSERT_TRUE(Stampa_Documento());
  const int32_t riga = Stampa_Altezza_Riga;
  const int32_t testata = Stampa_Altezza_Testata;
  // The layout's size 10 fits the columns with room to spare: the fitted size would be larger,
  // and "Font Max" holds it.
  Stampa_Adatta_Font = true;
  for (const auto& [massimo, confronto] : {std::pair{6, -1}, std::pair{10, 0}, std::pair{15, 1}}) {
    SCOPED_TRACE(massimo);
    Stampa_Font_Max = massimo;
    ASSERT_TRUE(Stampa_Documento());
    EXPECT_EQ(Stampa_Altezza_Testata, testata) << "the page header keeps the first fonts";
    EXPECT_EQ((Stampa_Altezza_Riga > riga) - (Stampa_Altezza_Riga < riga), confronto) << Stampa_Altezza_Riga;
  }
}

TEST_F(Stampa, TheChartFollowsScaledToTheWidthOrOnTheNextPage) {
  Dati(20, 10);
  Grafico_Visibile = true;
  QImage grafico(400, 200, QImage::Format_RGB32);
  grafico.fill(QColor(255, 0, 0));
  std::vector<bool> preparato;
  agganci_stampa::Prepara_Grafico = [&](bool inizio) { preparato.push_back(inizio); };
  agganci_stampa::Immagine_Grafico = [&] { return grafico; };
  // Only the chart: it opens page 1 under the header and spans the width between the margins.
  Stampa_Dati = false;
  ASSERT_TRUE(Stampa_Documento());
  EXPECT_EQ(preparato, (std::vector<bool>{true, false}));
  ASSERT_EQ(Pagine(pdf), 1);
  EXPECT_EQ(Parole_Di(pdf, 1).find("NORD"), std::string::npos);
  Immagine img = Rendi(pdf, 1, 72, dir.file("grafico"));
  // The picture may reach the page through a lossy compression: red within a few steps.
  const auto rosso = [](std::array<int, 3> c) { return c[0] > 240 && c[1] < 15 && c[2] < 15; };
  const int alto = (170 + Stampa_Inizio_Corpo) / 20;
  const int larghezza = (Stampanti_Larghezza - 340) / 20;
  EXPECT_TRUE(rosso(img(170 / 20 + 2, alto + 3)));
  EXPECT_TRUE(rosso(img(170 / 20 + larghezza - 2, alto + larghezza / 2 - 3)));
  EXPECT_EQ(img(170 / 20 + 2, alto + larghezza / 2 + 3), (std::array<int, 3>{255, 255, 255})) << "proportions kept";
  // With the data: the grid fills most of page 1, so the chart goes to the top of page 2.
  Stampa_Dati = true;
  Dati(40, 20);
  Grafico_Visibile = true;
  ASSERT_TRUE(Stampa_Documento());
  ASSERT_EQ(Pagine(pdf), 2);
  EXPECT_NE(Parole_Di(pdf, 1).find("..."), std::string::npos);
  img = Rendi(pdf, 2, 72, dir.file("grafico2"));
  EXPECT_TRUE(rosso(img(170 / 20 + 2, alto + 3)));
}

TEST_F(Stampa, AListPrintsInArialWithoutFilterOrRowKinds) {
  Dati(5, 2);
  ASSERT_TRUE(Sql(Mdb(0), "UPDATE LAYOUT SET FONT='DejaVu Sans'").empty());
  Riga("FILTRO", {"KEY", "OPER", "VALO_1", "VALO_2", "BLOCCO"}, {1, "=", "NORD", "", " "});
  ASSERT_TRUE(Sql(Mdb(0), "UPDATE CHIAVI SET VIS='V'").empty());
  Stampa_Filtro = true;
  ASSERT_TRUE(Stampa_Documento());
  EXPECT_NE(Esegui("pdffonts '" + pdf + "'").find("DejaVuSans"), std::string::npos) << "the layout's face";
  EXPECT_NE(Parole_Di(pdf, 1).find("= NORD"), std::string::npos);
  // The same rows as the list of a key: the layout's face and the filter table do not apply.
  Modo_Griglia = 1;
  Layout_Corrente = 77;
  ASSERT_TRUE(Stampa_Documento());
  const std::string font = Esegui("pdffonts '" + pdf + "'");
  EXPECT_EQ(font.find("DejaVu"), std::string::npos) << font;
  EXPECT_NE(font.find("Liberation"), std::string::npos) << font;
  const std::string t = Parole_Di(pdf, 1);
  EXPECT_EQ(t.find("= NORD"), std::string::npos);
  EXPECT_NE(t.find("003"), std::string::npos);
}

TEST_F(Stampa, FailuresAreReportedAndNothingIsLeftBehind) {
  Dati(5, 2);
  // A printer that is not installed.
  Stampa_Stampante = "Sparita";
  host.expect("Errore 020 1801\r\nStampante non trovata: Sparita");
  EXPECT_FALSE(Stampa_Documento());
  // A target that cannot be written.
  gdi::AddPdfPrinter("Chiusa", dir.file("manca/stampa.pdf"));
  Stampa_Stampante = "Chiusa";
  host.expect("Errore 020 5");
  EXPECT_FALSE(Stampa_Documento());
  EXPECT_EQ(host.pending(), 0u);
  // No printer at all.
  gdi::RemovePdfPrinters();
  if (gdi::Printers().empty()) {
    Stampa_Stampante = "";
    host.expect("Nessuna stampante installata.");
    EXPECT_FALSE(Stampa_Documento());
  }
  // A layout missing from its table ends silently; an empty grid prints nothing.
  gdi::AddPdfPrinter("PDF prova", pdf);
  Stampa_Stampante = "PDF prova";
  Layout_Corrente = 77;
  EXPECT_FALSE(Stampa_Documento());
  Layout_Corrente = 3;
  auto vuoto = std::make_unique<data::StaticRecordset>();
  vuoto->AppendField(data::TextField("c000", 12));
  ASSERT_TRUE(vuoto->OpenFabricated().ok());
  Rs_Griglia = std::move(vuoto);
  gdi::ResetJournal();
  EXPECT_TRUE(Stampa_Documento());
  EXPECT_EQ(gdi::LastJournal().Documents_Started, 0);
  EXPECT_EQ(host.pending(), 0u);
}

TEST(Colonne, EdgesFromWidthsFittedAndCentred) {
  // 4 columns on a printable width of 10000 twips with margins of 500: column 2 is not printed.
  stato_stampa::reset();
  Stampanti_Larghezza = 10000;
  Stampa_Margini = {500, 500, 0, 0};
  Numero_Colonne = 3;
  Col_Visibile = {};
  Col_Visibile[0] = Col_Visibile[1] = Col_Visibile[3] = 2;
  Col_Larghezza_Stampa[0] = 2000;
  Col_Larghezza_Stampa[1] = 4000;
  Col_Larghezza_Stampa[2] = 3000;
  Col_Larghezza_Stampa[3] = 12000;
  std::array<int32_t, 257> misurata{};
  misurata[0] = 1060;
  misurata[1] = 2000;
  misurata[3] = 1000;
  struct Caso {
    bool colonne, adatta, allinea;
    std::vector<int32_t> bordi;
  };
  const Caso casi[] = {
      // The print widths as stored.
      {false, false, false, {500, 2500, 6500, 6500, 18500}},
      // Twice the printable width: every edge halfway towards the left margin, the last on the right margin.
      {false, true, true, {500, 1500, 3500, 3500, 9500}},
      // The measured widths, centred in the slack of 9000 - 4060.
      {true, false, true, {2970, 4030, 6030, 6030, 7030}},
      {true, false, false, {500, 1560, 3560, 3560, 4560}},
  };
  for (const Caso& c : casi) {
    Stampa_Adatta_Colonne = c.colonne;
    Stampa_Adatta = c.adatta;
    Stampa_Allinea_X = c.allinea;
    stampa::Calcola_Bordi(misurata);
    EXPECT_EQ(std::vector<int32_t>(X_Colonna.begin(), X_Colonna.begin() + 5), c.bordi)
        << c.colonne << c.adatta << c.allinea;
  }
  stato_stampa::reset();
  stampanti::reset();
}

}  // namespace
}  // namespace kyx::test
