// The main window's result grid over a real elaboration: the engine runs a layout of two levels on a
// small local data set, the grid shows it, the scroll bar pages it, the header strip sorts it and
// stores a dragged width that the next run reads back, and a press on a cell drills down.
#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QTest>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/impostazioni.h"
#include "db/mdb1.h"
#include "db/mdb2.h"
#include "engine/elaborazione.h"
#include "platform/data/static_recordset.h"
#include "platform/ui/colours.h"
#include "platform/ui/pointer.h"
#include "platform/ui/vb_events.h"
#include "tests/engine/ambiente_motore.h"
#include "ui/agganci_base.h"
#include "ui/frm_base.h"
#include "ui/installa_viste.h"
#include "ui/stato_finestra.h"
#include "views/agganci_viste.h"
#include "views/griglia.h"
#include "views/stato_griglia.h"

namespace kyx::test {
namespace {

// The window and the views' wiring around an engine fixture.
class Finestra : public Motore {
 protected:
  void SetUp() override {
    Motore::SetUp();
    stato_griglia::reset();
    stato_finestra::reset();
    agganci_base::reset();
    agganci_viste::reset();
    ui::set_twips_per_pixel(15, 15);
    Twips_Pixel_X = Twips_Pixel_Y = 15;
    Font_Nome = "DejaVu Sans";
    Font_Dimensione = 8;
    Spazi_Misura = "  ";
    for (size_t i = 0; i < Colori.size(); ++i) Colori[i] = static_cast<int32_t>(0x100 + i);
    for (size_t i = 0; i < Colori_Livello.size(); ++i) Colori_Livello[i] = static_cast<int32_t>(0x1000 + i);
    Installa_Viste();
    agganci_base::Carica_da_Drill = [this](int16_t k, const std::string& e) {
      traccia.push_back("Drill " + std::to_string(k) + " " + e);
    };
    agganci_base::Carica_Filtro_Modifica = [this](int16_t k, const std::string& v1, const std::string&, uint8_t,
                                                  const std::string& c, bool) {
      traccia.push_back("Filtro " + std::to_string(k) + " " + v1 + " " + c);
    };
    agganci_base::frmMenuRiga_Carica = [this](int16_t k, const std::string& e) {
      traccia.push_back("Scheda " + std::to_string(k) + " " + e);
    };
    agganci_base::frmMenuDati_Carica = [this](const std::string& a) { traccia.push_back("Dati " + a); };
    FrmBase& f = *frmBase;
    f.resize(900, 600);
    f.show();
    f.Grid1->setGeometry(10, 40, 600, 160);
    f.Grid1->SetVisible(true);
    f.KyHead_Initialize();
    Modo_Precedente = 3;  // the window is laid out by hand: the display leaves it alone
  }
  void TearDown() override {
    delete frmBase.peek();
    agganci_base::reset();
    agganci_viste::reset();
    stato_griglia::reset();
    ui::set_twips_per_pixel(0, 0);
    Motore::TearDown();
  }

  // A press on grid cell (r, c) with the real mouse event.
  static void Premi(int r, int c, Qt::MouseButton b = Qt::LeftButton) {
    ui::FlexGrid& g = *frmBase->Grid1;
    const QPoint p(g.ColPos(c) / 15 + 3, g.RowPos(r) / 15 + 3);
    QTest::mousePress(&g, b, {}, p);
    QTest::mouseRelease(&g, b, {}, p);
  }

  std::vector<std::string> traccia;
};

TEST_F(Finestra, EverySlotOfTheViewsIsFilled) {
  agganci_viste::reset();
  agganci_base::reset();
  agganci_motore::reset();
  Installa_Viste();
  namespace av = agganci_viste;
  const std::vector<std::pair<const char*, bool>> slot = {
      {"Griglia", bool(av::Griglia)},
      {"Ridimensiona", bool(av::Ridimensiona)},
      {"KyHead_Aggiorna", bool(av::KyHead_Aggiorna)},
      {"Abilita_Base", bool(av::Abilita_Base)},
      {"Imposta_Puntatore", bool(av::Imposta_Puntatore)},
      {"Visualizza_Grafico", bool(av::Visualizza_Grafico)},
      {"agganci_base::Visualizza_Griglia", bool(agganci_base::Visualizza_Griglia)},
      {"agganci_base::KyHead_Initialize", bool(agganci_base::KyHead_Initialize)},
      {"agganci_base::KyHead_Aggiorna", bool(agganci_base::KyHead_Aggiorna)},
      {"agganci_motore::Visualizza_Larghezza_Colonne", bool(agganci_motore::Visualizza_Larghezza_Colonne)},
  };
  for (const auto& [nome, pieno] : slot) EXPECT_TRUE(pieno) << nome;
  EXPECT_EQ(av::Controlli_Griglia().Grid1, frmBase->Grid1);
  EXPECT_EQ(av::Controlli_Griglia().Scroll_O, frmBase->Scroll_O);
}

// Areas with many agents: area (L1, with subtotals) and agent (L2) with one amount.
class Risultato : public Finestra {
 protected:
  void SetUp() override {
    Finestra::SetUp();
    Chiave(1, "K", 4);
    Chiave(2, "K", 3);
    Riga("VALORI", {"SINF", "IDX", "ELEM"}, {"SI1", 1, 3});
    Layout(3, "Vendite");
    Liv_Riga_Chiave[0] = 1;
    Liv_Riga_Chiave[1] = 2;
    ASSERT_TRUE(Apri_MDB2(false, false));
    Elementi({{.col = 1, .calc = "#L1(001)", .sntot = "S"},
              {.col = 2, .calc = "#L2(002)"},
              {.col = 3, .calc = "#+V001#", .tot = "T"}});
    std::string sql = "INSERT INTO KYX_D0_00F_SI1 (IDX, K_001, K_002, V_001_01, V_001_02, V_001_03) VALUES ";
    for (int i = 1; i <= 30; ++i) {
      const std::string area = i <= 10 ? "SUD" : "NORD";
      sql += (i > 1 ? "," : "") + std::string("(") + std::to_string(i) + ",'" + area + "','A" +
             Numero_Cifre(i, 2) + "'," + std::to_string(i) + ",0,0)";
    }
    ASSERT_TRUE(Sql(Mdb(2), sql).empty());
    Ini("[001]\n");
    Profilo_Corrente = 1;
    Layout_Corrente = 3;
  }
};

TEST_F(Risultato, AnElaborationIsShownPagedSortedAndItsWidthsKept) {
  ASSERT_TRUE(Esegui_Elaborazione());
  ASSERT_EQ(Modo_Griglia, 3);
  ASSERT_EQ(Numero_Record, 33);  // 30 agents, 2 subtotals, the grand total
  FrmBase& f = *frmBase;
  Prima_Riga = Riga_Evidenziata = Scorrimento_Colonne = -1;
  Visualizza_Griglia();
  ASSERT_GT(Righe_Visibili, 2);
  ASSERT_LT(Righe_Visibili, 12);
  EXPECT_EQ(f.Grid1->Rows(), 1 + Righe_Visibili + Riga_Parziale);
  EXPECT_EQ(f.Grid1->TextMatrix(1, 1), "NORD");
  EXPECT_EQ(f.Grid1->TextMatrix(1, 2), "A11");
  EXPECT_TRUE(f.KyHead->Visible()) << "the header strip lies over row 0";

  // Colours by row kind: the details alternate, the subtotal of level 1 takes level pair 35, the
  // grand total pair 3.
  const auto colore = [&](int r, int c) {
    f.Grid1->SetRow(r);
    f.Grid1->SetCol(c);
    return f.Grid1->CellBackColor();
  };
  EXPECT_EQ(colore(1, 1), 0x100u + 1);
  EXPECT_EQ(colore(2, 1), 0x100u + 3);

  // The scroll bar pages: its change shows the page at its value; Shift+Page Down the last page.
  f.Scroll_V->SetValue(5);
  EXPECT_EQ(Prima_Riga, 5);
  EXPECT_EQ(f.Grid1->TextMatrix(1, 2), "A15");
  int pagina_giu = 34;
  f.Grid1_KeyUp(pagina_giu, ui::vbShiftMask);
  EXPECT_EQ(Prima_Riga, 33 - Righe_Visibili + 1);
  const int ultima = 33 - Prima_Riga + 1;
  EXPECT_EQ(f.Grid1->TextMatrix(ultima, 0), "9999994");
  EXPECT_EQ(colore(ultima, 1), 0x100u + 7) << "grand total: pair 3";
  EXPECT_EQ(f.Grid1->TextMatrix(ultima - 1, 2), "  totale");
  EXPECT_EQ(colore(ultima - 1, 1), 0x1000u + 71) << "subtotal of level 1: pair 35";
  int pagina_su = 33;
  f.Grid1_KeyUp(pagina_su, 0);
  EXPECT_EQ(Prima_Riga, 33 - 2 * Righe_Visibili + 1);
  f.Grid1_KeyUp(pagina_su, ui::vbCtrlMask);
  EXPECT_EQ(Prima_Riga, 33 - 2 * Righe_Visibili);

  // A left press inside the amount's heading sorts by it: descending on the second press, the
  // details staying inside their area's group.
  const int x3 = f.Grid1->ColPos(3) / 15 + 20;
  for (int volta = 0; volta < 2; ++volta) {
    f.KyHead_MouseMove(0, 0, static_cast<float>(x3), 5);
    f.KyHead_MouseDown(ui::vbLeftButton, 0, static_cast<float>(x3), 5);
  }
  EXPECT_EQ(Colonna_Ordinamento, 3);
  EXPECT_EQ(Verso_Ordinamento, " DESC");
  EXPECT_EQ(Prima_Riga, 1);
  EXPECT_EQ(f.Grid1->TextMatrix(1, 1), "NORD");
  EXPECT_EQ(f.Grid1->TextMatrix(1, 2), "A30") << "the largest agent of the first area first";
  EXPECT_EQ(f.Grid1->TextMatrix(2, 2), "A29");
  EXPECT_EQ(KyHead_Stato.Colonna_Simbolo, 3);
  EXPECT_EQ(KyHead_Stato.Verso_Simbolo, 2);

  // A drag of column 2's right border 40 pixels to the right stores the width for the layout;
  // the next run of the layout reads it back.
  const int larghezza = f.Grid1->ColWidth(2);
  const int bordo = (f.Grid1->ColPos(2) + larghezza) / 15;
  f.KyHead_MouseMove(0, 0, static_cast<float>(bordo - 1), 5);
  ASSERT_EQ(f.KyHead->MousePointer(), ui::vbSizeWE);
  ui::SetCursorPos(500, 300);
  f.KyHead_MouseDown(ui::vbLeftButton, 0, static_cast<float>(bordo - 1), 5);
  ui::SetCursorPos(540, 300);
  f.KyHead_MouseMove(ui::vbLeftButton, 0, static_cast<float>(bordo + 39), 5);
  f.KyHead_MouseUp(ui::vbLeftButton, 0, static_cast<float>(bordo + 39), 5);
  EXPECT_EQ(Col_Larghezza[2], larghezza + 600);
  EXPECT_EQ(f.Grid1->ColWidth(2), larghezza + 600);
  EXPECT_EQ(Leggi_Ini("001", "Dim L003 002", ""), Numero_Cifre(larghezza + 600, 6));
  Col_Larghezza[2] = 1500;
  ASSERT_TRUE(Esegui_Elaborazione());
  EXPECT_EQ(Col_Larghezza[2], larghezza + 600);

  // A drill click on an agent: mode 3 hands the element to the filter, then drills with the agent
  // column's key and the agent's code.
  Prima_Riga = Riga_Evidenziata = Scorrimento_Colonne = -1;
  Visualizza_Griglia();
  Funzione_Mouse = 3;
  Operatore_Filtro = 1;
  const std::string agente = f.Grid1->TextMatrix(2, 2);
  ASSERT_EQ(agente.substr(0, 1), "A");
  Premi(2, 2);
  EXPECT_EQ(traccia, (std::vector<std::string>{"Filtro 2 " + agente + " E*", "Drill 2 " + agente}));
  EXPECT_EQ(Riga_Evidenziata, 2);
}

// An outline (R) layout of areas and agents with their descriptions in KYX_1.MDB: the outline
// column shows each row's code in its level's format, the description column describes it, and
// a press on an outline cell gives the row's level key and the code.
TEST_F(Finestra, AnOutlineShowsItsCodesAndTheirDescriptions) {
  Chiave(1, "K", 4);
  Chiave(2, "K", 3, "#MID(2,2)#");
  ASSERT_TRUE(Sql(Mdb(0), "UPDATE CHIAVI SET ATTR = '1', KEY_D = IDX").empty());
  Riga("VALORI", {"SINF", "IDX", "ELEM"}, {"SI1", 1, 3});
  Layout(3, "Vendite");
  Liv_Riga_Chiave[0] = 1;
  Liv_Riga_Chiave[1] = 2;
  ASSERT_TRUE(Apri_MDB1(false, false));
  ASSERT_TRUE(Apri_MDB2(false, false));
  ASSERT_TRUE(Sql(Mdb(1), "INSERT INTO KYX_DS_20F (S_DS_STAT, S_DS_KEY, S_DS_CODI, S_DS_D_01, S_DS_D_14) VALUES "
                          "(' ', 1, 'NORD', 'Italia del nord', '   '), (' ', 1, 'SUD', 'Italia del sud', '   '),"
                          "(' ', 2, 'A01', 'Rossi', '   '), (' ', 2, 'A02', 'Bianchi', '   '),"
                          "(' ', 2, 'A03', 'Verdi', '   ')")
                  .empty());
  Elementi({{.col = 1, .calc = "#R1(001)", .snint = "S", .sntot = "S"},
            {.col = 2, .calc = "#R2(002)"},
            {.col = 3, .calc = "#R1<01>"},
            {.col = 4, .calc = "#+V001#", .tot = "T"}});
  ASSERT_TRUE(Sql(Mdb(2), "INSERT INTO KYX_D0_00F_SI1 (IDX, K_001, K_002, V_001_01, V_001_02, V_001_03) VALUES "
                          "(1, 'NORD', 'A01', 1, 0, 0), (2, 'NORD', 'A02', 2, 0, 0), (3, 'SUD', 'A03', 3, 0, 0)")
                  .empty());
  Ini("[001]\n");
  Profilo_Corrente = 1;
  Layout_Corrente = 3;
  ASSERT_TRUE(Esegui_Elaborazione());
  ASSERT_EQ(Numero_Record, 8);
  Prima_Riga = Riga_Evidenziata = Scorrimento_Colonne = -1;
  Visualizza_Griglia();
  FrmBase& f = *frmBase;
  std::vector<std::string> celle;
  for (int r = 1; r <= 8; ++r) celle.push_back(f.Grid1->TextMatrix(r, 1) + "|" + f.Grid1->TextMatrix(r, 3));
  EXPECT_EQ(celle, (std::vector<std::string>{"NORD|Italia del nord", "01|Rossi", "02|Bianchi",
                                             "NORD|Totale Italia del nord", "SUD|Italia del sud", "03|Verdi",
                                             "SUD|Totale Italia del sud", " |Totale generale"}));
  Funzione_Mouse = 2;
  Operatore_Filtro = 1;
  Premi(3, 1);
  EXPECT_EQ(traccia, (std::vector<std::string>{"Filtro 2 A02 E*"}));
}

// Presses on a hand-made result: which key and element each column gives, and what each button
// and mouse mode does with them.
class Pressione : public Finestra {
 protected:
  void SetUp() override {
    Finestra::SetUp();
    Modo_Griglia = 3;
    Numero_Colonne = 4;
    for (int c = 0; c <= 4; ++c) {
      Col_Visibile[c] = 2;
      Col_Larghezza[c] = 1200;
      Col_Tipo[c] = 10;
      Col_Chiave[c] = -1;
      Col_Descrizione[c] = -1;
    }
    Col_Chiave[1] = -2;       // outline column
    Col_Chiave[2] = 7;        // code of key 7
    Col_Descrizione[3] = 2;   // description of column 2
    Col_Tipo[4] = 0;          // value
    auto rs = std::make_unique<data::StaticRecordset>();
    for (int c = 0; c <= 4; ++c) rs->AppendField(data::TextField("c00" + std::to_string(c), 20));
    ASSERT_TRUE(rs->OpenFabricated().ok());
    const std::vector<std::vector<std::string>> righe = {
        {"000001220023", "A01", "K1", "Kappa uno", "5"},
        {"00000231", "  totale", "  totale", " ", "5"},
        {"9999994", " ", " ", " ", "5"},
    };
    for (const auto& r : righe) {
      rs->AddNew();
      for (int c = 0; c <= 4; ++c) rs->SetText(c, r[static_cast<size_t>(c)]);
      ASSERT_TRUE(rs->Update().ok());
    }
    Numero_Record = 3;
    Rs_Griglia = std::move(rs);
    Prima_Riga = Riga_Evidenziata = Scorrimento_Colonne = -1;
    Visualizza_Griglia();
  }
};

TEST_F(Pressione, EachColumnGivesItsKeyAndElement) {
  struct Caso {
    int riga, colonna;
    Qt::MouseButton tasto;
    uint8_t modo_mouse;
    int16_t modo_griglia;
    std::vector<std::string> attese;
  };
  const std::vector<Caso> casi = {
      // The outline column's key is characters 9 to 11 of the row key, not what follows them.
      {1, 1, Qt::LeftButton, 4, 3, {"Filtro 2 A01 E*", "Drill 2 A01"}},
      {1, 2, Qt::LeftButton, 3, 3, {"Filtro 7 K1 E*", "Drill 7 K1"}},
      {1, 3, Qt::LeftButton, 3, 3, {"Filtro 7 K1 E*", "Drill 7 K1"}},  // description: its code
      {1, 4, Qt::LeftButton, 3, 3, {"Filtro 0  E*", "Drill 0 "}},     // a value: no element
      {1, 2, Qt::LeftButton, 2, 3, {"Filtro 7 K1 E*"}},
      {1, 2, Qt::LeftButton, 1, 3, {}},
      {1, 2, Qt::RightButton, 1, 3, {"Scheda 7 K1"}},
      {1, 2, Qt::LeftButton, 3, 1, {"Filtro 7 K1 E*"}},  // a list never drills
      {1, 2, Qt::RightButton, 3, 2, {"Dati 000001220023"}},
      {2, 1, Qt::LeftButton, 3, 3, {}},  // "  totale": highlighted, nothing else
      {3, 2, Qt::RightButton, 3, 3, {}},  // grand total: nothing at all
  };
  for (const Caso& c : casi) {
    traccia.clear();
    Funzione_Mouse = c.modo_mouse;
    Modo_Griglia = c.modo_griglia;
    Premi(c.riga, c.colonna, c.tasto);
    EXPECT_EQ(traccia, c.attese) << c.riga << "," << c.colonna << " mouse " << int{c.modo_mouse};
    EXPECT_EQ(Colonna_Corrente, c.colonna);
    EXPECT_EQ(Riga_Corrente, c.riga);
    EXPECT_EQ(Riga_Evidenziata, c.riga == 3 && c.modo_griglia == 3 ? -1 : c.riga);
  }
}

}  // namespace
}  // namespace kyx::test

namespace kyx::test {
namespace {

// The header strip over the same hand-made result: 80-pixel columns from x = 0 of the strip.
class Testata : public Pressione {
 protected:
  void SetUp() override {
    Pressione::SetUp();
    Ini("[001]\n");
    Profilo_Corrente = 1;
  }
  static void Sopra(float x) { frmBase->KyHead_MouseMove(0, 0, x, 5); }
  // One pixel left of column c's right border, in strip pixels.
  static float Bordo(int c) {
    const ui::FlexGrid& g = *frmBase->Grid1;
    return static_cast<float>((g.ColPos(c) + g.ColWidth(c)) / 15 - 1);
  }
};

TEST_F(Testata, TheSizingZoneRunsFromFourPixelsLeftToOnePixelRightOfABorder) {
  struct Caso {
    float x;
    int colonna;
  };
  for (const Caso& c : std::vector<Caso>{{75, -1}, {76, 0}, {80, 0}, {81, 0}, {82, -1}, {156, 1}}) {
    Sopra(c.x);
    EXPECT_EQ(KyHead_Stato.Colonna_Bordo, c.colonna) << c.x;
    EXPECT_EQ(frmBase->KyHead->MousePointer(), c.colonna < 0 ? ui::vbDefault : ui::vbSizeWE) << c.x;
  }
  // A zero-width column puts two borders at one place: the lower column wins.
  Col_Visibile[2] = 1;
  Visualizza_Griglia();
  Sopra(160);
  EXPECT_EQ(KyHead_Stato.Colonna_Bordo, 1);
}

TEST_F(Testata, ADragStopsRightOfTheColumnsLeftEdgeAndStoresWidthsOfSixteenBits) {
  FrmBase& f = *frmBase;
  Sopra(158);
  ASSERT_EQ(KyHead_Stato.Colonna_Bordo, 1);
  const int bordo = KyHead_Stato.Bordo_X;
  EXPECT_EQ(bordo, f.KyHead->Left() + 80 + 80 - 1);
  ui::SetCursorPos(500, 300);
  f.KyHead_MouseDown(ui::vbLeftButton, 0, 158, 5);
  ASSERT_TRUE(KyHead_Stato.Trascinamento);
  EXPECT_TRUE(f.KyHead_Asta->Visible());
  // Far to the left the bar stops just right of the column's left edge.
  ui::SetCursorPos(100, 300);
  f.KyHead_MouseMove(ui::vbLeftButton, 0, 0, 5);
  EXPECT_EQ(f.KyHead_Asta->Left(), bordo);
  ui::SetCursorPos(500 - (bordo - KyHead_Stato.Limite_Sinistro) + 1, 300);
  f.KyHead_MouseMove(ui::vbLeftButton, 0, 0, 5);
  EXPECT_EQ(f.KyHead_Asta->Left(), KyHead_Stato.Limite_Sinistro + 1);
  f.KyHead_MouseUp(ui::vbLeftButton, 0, 0, 5);
  const int attesa = 1200 + (KyHead_Stato.Limite_Sinistro + 1 - bordo) * 15;
  EXPECT_EQ(Col_Larghezza[1], attesa);
  EXPECT_EQ(f.Grid1->ColWidth(1), attesa);
  EXPECT_EQ(Leggi_Ini("001", "Dim L003 001", ""), Numero_Cifre(attesa, 6));
  EXPECT_FALSE(f.KyHead_Asta->Visible());

  // Dragged far to the right the width stops at the largest that 16 bits hold.
  Sopra(Bordo(2));
  ASSERT_EQ(KyHead_Stato.Colonna_Bordo, 2);
  ui::SetCursorPos(500, 300);
  f.KyHead_MouseDown(ui::vbLeftButton, 0, Bordo(2), 5);
  ui::SetCursorPos(3500, 300);
  f.KyHead_MouseMove(ui::vbLeftButton, 0, 0, 5);
  f.KyHead_MouseUp(ui::vbLeftButton, 0, 0, 5);
  EXPECT_EQ(Col_Larghezza[2], 32767);
  EXPECT_EQ(Leggi_Ini("001", "Dim L003 002", ""), "032767");

  // A release without movement stores nothing.
  Sopra(78);
  f.KyHead_MouseDown(ui::vbLeftButton, 0, 78, 5);
  f.KyHead_MouseUp(ui::vbLeftButton, 0, 78, 5);
  EXPECT_EQ(Leggi_Ini("001", "Dim L003 000", "-"), "-");
}

TEST_F(Testata, ARightPressOnABorderFitsTheColumnWithItsHeadingUnlessShiftAlone) {
  FrmBase& f = *frmBase;
  Col_Intestazione[2] = "A heading far wider than the codes";
  Visualizza_Griglia();
  int16_t larghezza[2] = {};
  int i = 0;
  for (int shift : {ui::vbShiftMask, ui::vbShiftMask | ui::vbCtrlMask}) {
    Sopra(Bordo(1));
    f.KyHead_MouseDown(ui::vbRightButton, shift, Bordo(1), 5);
    EXPECT_EQ(Colonna_Corrente, 1);
    EXPECT_EQ(Riga_Corrente, 0);
    Sopra(Bordo(2));
    f.KyHead_MouseDown(ui::vbRightButton, shift, Bordo(2), 5);
    larghezza[i++] = Col_Larghezza[2];
    EXPECT_EQ(f.Grid1->ColWidth(2), Col_Larghezza[2]);
  }
  EXPECT_LT(larghezza[0], larghezza[1]) << "Shift alone leaves the heading out";
  EXPECT_EQ(Col_Larghezza[1], f.Grid1->ColWidth(1));
}

TEST_F(Testata, HeadingsArePaintedInTheirLinesWithTheSortGlyph) {
  FrmBase& f = *frmBase;
  Colori[4] = 0;         // black text
  Colori[5] = 0xFFFFFF;  // on white
  Col_Intestazione[3] = "Uno|Due|Tre";
  Righe_Intestazione = 3;
  Colonna_Ordinamento = 1;
  Verso_Ordinamento = " ASC";
  Visualizza_Griglia();
  ui::PictureCanvas& s = *f.KyHead;
  ASSERT_TRUE(s.Visible());
  const int riga = static_cast<int>(s.TextHeight("X"));
  // Text pixels in each of the three line bands of column 3's cell (x 240 + 3 onwards).
  for (int linea = 0; linea < 3; ++linea) {
    int scuri = 0;
    for (int y = 4 + linea * riga; y < 4 + (linea + 1) * riga; ++y) {
      for (int x = 243; x < 300; ++x) scuri += s.Point(static_cast<float>(x), static_cast<float>(y)) != 0xFFFFFF ? 1 : 0;
    }
    EXPECT_GT(scuri, 3) << "line " << linea;
  }
  // The glyph of column 1 (x 83 to 91, y 4 to 11) stands out from the header whatever its
  // colours: a solid triangle whose widest row is the bottom one ascending, the top one
  // descending, and no glyph without a sort column.
  const auto netti = [&](int y) {
    const int fondo = qGray(ui::ole_to_qcolor(static_cast<uint32_t>(Colori[5])).rgb());
    int n = 0;
    for (int x = 83; x <= 91; ++x) {
      const QColor c = ui::ole_to_qcolor(static_cast<uint32_t>(s.Point(static_cast<float>(x), static_cast<float>(y))));
      n += std::abs(qGray(c.rgb()) - fondo) > 96 ? 1 : 0;
    }
    return n;
  };
  struct Colori_Testata {
    const char* nome;
    int32_t testo, sfondo;
  };
  const int32_t testo_sistema = static_cast<int32_t>(ui::qcolor_to_ole(ui::ole_to_qcolor(0x80000012)));
  const int32_t faccia_sistema = static_cast<int32_t>(ui::qcolor_to_ole(ui::ole_to_qcolor(0x8000000F)));
  for (const Colori_Testata& c : {Colori_Testata{"black on white", 0, 0xFFFFFF},
                                  Colori_Testata{"button text on button face", testo_sistema, faccia_sistema}}) {
    SCOPED_TRACE(c.nome);
    Colori[4] = c.testo;
    Colori[5] = c.sfondo;
    Colonna_Ordinamento = 1;
    Verso_Ordinamento = " ASC";
    Visualizza_Griglia();
    EXPECT_LE(netti(4), 1) << "ascending: the apex on top";
    EXPECT_GE(netti(11), 8) << "ascending: the base below";
    for (int y = 5; y < 11; ++y) EXPECT_GE(netti(y), 1) << y;
    Verso_Ordinamento = " DESC";
    Visualizza_Griglia();
    EXPECT_GE(netti(4), 8) << "descending: the base on top";
    EXPECT_LE(netti(11), 1) << "descending: the apex below";
  }
  Colonna_Ordinamento = -1;
  Visualizza_Griglia();
  for (int y = 4; y <= 11; ++y) EXPECT_EQ(netti(y), 0) << y;
}

TEST_F(Testata, TheStripLiesExactlyOverTheGridsHeaderRow) {
  FrmBase& f = *frmBase;
  Colori[4] = 0;         // black text
  Colori[5] = 0x0000FF;  // on red
  Visualizza_Griglia();
  ASSERT_TRUE(f.KyHead->Visible());
  ASSERT_GE(f.Grid1->Rows(), 2);
  QApplication::processEvents();
  const QImage quadro = f.grab().toImage();
  const QPoint griglia = f.Grid1->mapTo(&f, QPoint(0, 0));
  const int alto = f.Grid1->RowPixelHeight(0);
  const QColor rosso(255, 0, 0);
  // Inside column 2 of the header, left of its caption: the strip's red from its frame line down,
  // no sliver of the grid's own header above it. The strip spans the grid's whole width.
  const int x = griglia.x() + f.Grid1->ColPos(2) / 15 + 1;
  for (int y = 1; y <= 3; ++y) EXPECT_EQ(quadro.pixelColor(x, griglia.y() + y), rosso) << "header row, y " << y;
  EXPECT_EQ(f.KyHead->Left(), griglia.x());
  EXPECT_EQ(f.KyHead->Width(), f.Grid1->width());
  // The first data row is whole: its top pixels are the cell's own background, as its middle is.
  const QColor cella = quadro.pixelColor(x, griglia.y() + alto + f.Grid1->RowPixelHeight(1) / 2);
  EXPECT_NE(cella, rosso);
  for (int y = 0; y <= 3; ++y) {
    EXPECT_EQ(quadro.pixelColor(x, griglia.y() + alto + y), cella) << "first data row, y " << y;
  }
}

TEST_F(Testata, PointerMovesOnTheWindowReachTheirSlotOnlyWhileTheLayoutPictureIsLit) {
  FrmBase& f = *frmBase;
  std::vector<std::string> mosse;
  agganci_base::xMouseMove = [&](int32_t x, int32_t y) { mosse.push_back(std::to_string(x) + "," + std::to_string(y)); };
  f.Hook_Imposta();
  const QPoint dove(f.width() - 5, f.height() - 5);
  const QPoint schermo = f.mapToGlobal(dove);
  for (int16_t stato : {0, 1}) {
    Stato_PicLayout = stato;
    QTest::mouseMove(&f, dove);
    QMouseEvent mossa(QEvent::MouseMove, QPointF(dove), QPointF(schermo), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&f, &mossa);
  }
  ASSERT_FALSE(mosse.empty());
  EXPECT_EQ(mosse.back(), std::to_string(schermo.x()) + "," + std::to_string(schermo.y()));
  const size_t accese = mosse.size();
  Stato_PicLayout = 0;
  QMouseEvent mossa(QEvent::MouseMove, QPointF(dove), QPointF(schermo), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&f, &mossa);
  EXPECT_EQ(mosse.size(), accese);
  f.Hook_Rimuovi();
}

TEST_F(Testata, KeysAndBarsDoNothingWhileTheGridIsBeingRebuilt) {
  FrmBase& f = *frmBase;
  Griglia_In_Aggiornamento = true;
  Prima_Riga = 2;
  int pagina = 34;
  f.Grid1_KeyUp(pagina, 0);
  f.Scroll_V_Change();
  EXPECT_EQ(Prima_Riga, 2);
  Griglia_In_Aggiornamento = false;
}

}  // namespace
}  // namespace kyx::test
