// The column filter viewer: hovering "Filtro della colonna" of the column menu opens it beside the
// item, and it shows the column's own condition and index selection as a tree of keys and values.
#include "platform/ui/vb_events.h"
#include "tests/ui/ambiente_schede.h"
#include "ui/frm_menu_colonna4.h"

namespace kyx::test {
namespace {

class FiltroColonna : public AmbienteSchede {
 protected:
  void SetUp() override {
    AmbienteSchede::SetUp();
    Riga("CHIAVI", {"SINF", "IDX", "LUN", "ATTR", "KEY_D", "TESTO"}, {"SI1", 3, 2, "1", 3, "Prodotto  "});
    Riga("CHIAVI", {"SINF", "IDX", "LUN", "ATTR", "KEY_D", "TESTO"}, {"SI1", 5, 10, "2", 5, "Cliente"});
    Riga("CHIAVI", {"SINF", "IDX", "LUN", "ATTR", "KEY_D", "TESTO"}, {"SI1", 9, 2, "2", 9, "Indice"});
    Riga("CHIAVI", {"SINF", "IDX", "LUN", "ATTR", "KEY_D", "TESTO"}, {"SI2", 4, 2, "2", 4, "Agente SI2"});
    Riga("CHIAVI", {"SINF", "IDX", "LUN", "ATTR", "KEY_D", "TESTO"}, {"SI1", 4, 2, "2", 4, "Agente"});
    Descrizione(3, "01", " ", {"Uno"});
    Sinf_Idx_Key = 9;
    Sinf_Idx_Max = 3;
    Risultato(3);
  }

  // Opens the column menu on column 3 and moves the pointer onto item 7 (real move events).
  FrmMenuColonna& Apri(const std::string& where, std::array<int16_t, 3> flag = {-1, -1, -1},
                       const std::string& sistema = "") {
    Colonna_Corrente = 3;
    Col_Where[3] = where;
    Col_Sistema[3] = sistema;
    for (int k = 0; k < 3; ++k) Col_Where_Flag[3][static_cast<size_t>(k)] = flag[static_cast<size_t>(k)];
    Puntatore(400, 200);
    agganci_base::frmMenuColonna_Carica();
    FrmMenuColonna& m = *frmMenuColonna;
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&m));
    Sopra(m, 7);
    return m;
  }
  static void Sopra(MenuVoci& m, int i) {
    const QPoint p(5, 5);
    const QPoint g = m.ItemX[i]->mapToGlobal(p);
    ui::SetCursorPos(g.x(), g.y());
    QMouseEvent e(QEvent::MouseMove, p, g, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(m.ItemX[i], &e);
    QApplication::processEvents();
  }
  // The tree as "key parent text image" lines, in the order the nodes were added.
  static std::vector<std::string> Nodi() {
    std::vector<std::string> out;
    ui::KeyedTree& t = *frmMenuColonna4->twF;
    for (int i = 1; i <= t.Count(); ++i) {
      ui::TreeNode& n = t.Nodes(i);
      out.push_back(n.Key() + " " + (n.Parent() ? n.Parent()->Key() : std::string("-")) + " " + n.Text() + " " +
                    n.Image());
    }
    return out;
  }
};

TEST_F(FiltroColonna, HoverOpensTheViewerBesideTheItemAndEscapeClosesItAlone) {
  FrmMenuColonna& m = Apri("where (k_003 in('01','05'))");
  EXPECT_TRUE(m.Item[7]->isEnabled());
  ASSERT_TRUE(frmMenuColonna4.Loaded());
  FrmMenuColonna4& v = *frmMenuColonna4;
  EXPECT_TRUE(v.isVisible());
  EXPECT_DOUBLE_EQ(v.Left(), m.Left() + m.Width() - 60);
  EXPECT_DOUBLE_EQ(v.Top(), m.Top() + m.Cornice_Alto() + m.Item[7]->y() * 15.0 - 90);
  EXPECT_DOUBLE_EQ(v.Width(), 3480);
  EXPECT_DOUBLE_EQ(v.Height(), 3900);
  EXPECT_EQ(v.twF->geometry(), QRect(4, 4, v.ScaleWidth() - 8, v.ScaleHeight() - 8));
  EXPECT_TRUE(v.twF->isVisible());
  EXPECT_FALSE(In_Caricamento);
  EXPECT_EQ(v.twF->Nodes("K003SI1R0001").ForeColor(), 0x007F00u);
  EXPECT_TRUE(v.twF->Nodes("K003SI1").Expanded());

  // Moving onto item 6 swaps the viewer for the fit menu; back on 7 it opens again.
  Sopra(m, 6);
  EXPECT_FALSE(frmMenuColonna4.Loaded());
  EXPECT_TRUE(frmMenuColonna3.Loaded());
  Sopra(m, 7);
  ASSERT_TRUE(frmMenuColonna4.Loaded());
  QTest::keyClick(frmMenuColonna4.peek(), Qt::Key_Escape);
  EXPECT_FALSE(frmMenuColonna4.Loaded());
  EXPECT_TRUE(frmMenuColonna.Loaded());

  // The item stays lit after Escape; entering it again reopens the viewer. A press on the main
  // window then takes the menu and its viewer away.
  EXPECT_EQ(m.Voce_Evidenziata, 7);
  Sopra(m, 0);
  Sopra(m, 7);
  ASSERT_TRUE(frmMenuColonna4.Loaded());
  QTest::mousePress(f.Grid1, Qt::LeftButton, {}, QPoint(30, 30));
  EXPECT_FALSE(frmMenuColonna.Loaded());
  EXPECT_FALSE(frmMenuColonna4.Loaded());
  QTest::mouseRelease(f.Grid1, Qt::LeftButton, {}, QPoint(30, 30));
  EXPECT_TRUE(f.Enabled());
}

TEST_F(FiltroColonna, TheConditionShownAsKeysAndValues) {
  struct Caso {
    const char* nome;
    const char* where;
    std::array<int16_t, 3> flag;
    std::vector<std::string> nodi;
    const char* sistema = "";
  };
  const std::string K3 = "K003SI1 - Prodotto Filtro";
  const std::string K5 = "K005SI1 - Cliente Filtro";
  const std::string K9 = "K009SI1 - Indice Filtro";
  const Caso casi[] = {
      {"a list of equal values", "where (k_003 in('01','05'))", {-1, -1, -1},
       {K3, "K003SI1R0001 K003SI1 01 : Uno Filtro_Uguale_V",
        "K003SI1R0002 K003SI1 05 : *** non codificato *** Filtro_Uguale_V"}},
      {"a range", "where (k_005 between 'A1   ' and 'B9')", {-1, -1, -1},
       {K5, "K005SI1R0001 K005SI1 A1 Filtro_Da_V", "K005SI1R0002 K005SI1 B9 Filtro_A_V"}},
      {"one key twice in a row", "where ((k_003 in('01')) and k_003 not in('02','03'))", {-1, -1, -1},
       {K3, "K003SI1R0001 K003SI1 01 : Uno Filtro_Uguale_V",
        "K003SI1R0002 K003SI1 02 : *** non codificato *** Filtro_Diverso_V",
        "K003SI1R0003 K003SI1 03 : *** non codificato *** Filtro_Diverso_V"}},
      {"a key the table lacks is skipped", "where (k_006 in('01')) and (k_005 = 'X') and (k_000 <> 'Y')",
       {-1, -1, -1},
       {K5, "K005SI1R0001 K005SI1 X Filtro_Uguale_V"}},
      {"a key of the column's own system", "where (e_004 <> 'Z')", {-1, -1, -1},
       {"K004SI2 - Agente SI2 Filtro", "K004SI2R0001 K004SI2 Z Filtro_Diverso_V"},
       "SI2  "},
      {"only excluded indices", "", {0, -1, 5},
       {K9, "K009SI1R0001 K009SI1 02 Filtro_Uguale_V", "K009SI1R0002 K009SI1 03 Filtro_Uguale_V"}},
      {"an unknown comparison ends the scan", "where (k_005 like 'A%') and (k_003 = '01')", {-1, 0, -1},
       {K5, K9, "K009SI1R0001 K009SI1 01 Filtro_Uguale_V", "K009SI1R0002 K009SI1 03 Filtro_Uguale_V"}},
      {"a value left open", "where (k_005 = 'abc", {-1, -1, -1}, {K5, "K005SI1R0001 K005SI1 abc Filtro_Uguale_V"}},
      // A quote inside a value is written doubled; the viewer shows it once.
      {"a quote inside a value", "where (k_005 in('O''Brien','D''Amico'))", {-1, -1, -1},
       {K5, "K005SI1R0001 K005SI1 O'Brien Filtro_Uguale_V", "K005SI1R0002 K005SI1 D'Amico Filtro_Uguale_V"}},
      // A key met again after another key gathers its values under its first node.
      {"a key met again later", "where (k_003 = '01') and (k_005 = 'X') and (k_003 = '05')", {-1, -1, -1},
       {K3, "K003SI1R0001 K003SI1 01 : Uno Filtro_Uguale_V", K5, "K005SI1R0002 K005SI1 X Filtro_Uguale_V",
        "K003SI1R0003 K003SI1 05 : *** non codificato *** Filtro_Uguale_V"}},
  };
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.nome);
    FrmMenuColonna& m = Apri(k.where, k.flag, k.sistema);
    ASSERT_TRUE(frmMenuColonna4.Loaded());
    EXPECT_EQ(Nodi(), k.nodi);
    m.Unload(ui::vbFormControlMenu);
    EXPECT_FALSE(frmMenuColonna4.Loaded());
  }
  // Without the keys table the viewer opens empty.
  Rs_Chiavi.reset();
  Apri("where (k_003 in('01'))");
  ASSERT_TRUE(frmMenuColonna4.Loaded());
  EXPECT_TRUE(Nodi().empty());
}

TEST_F(FiltroColonna, AColumnWithoutConditionOrExclusionHasTheItemDisabled) {
  FrmMenuColonna& m = Apri("   ");
  EXPECT_FALSE(m.Item[7]->isEnabled());
  EXPECT_FALSE(frmMenuColonna4.Loaded());
  m.Unload(ui::vbFormControlMenu);
  FrmMenuColonna& n = Apri("", {-1, -1, 0});
  EXPECT_TRUE(n.Item[7]->isEnabled());
  EXPECT_EQ(Nodi(), (std::vector<std::string>{"K009SI1 - Indice Filtro", "K009SI1R0001 K009SI1 01 Filtro_Uguale_V",
                                              "K009SI1R0002 K009SI1 02 Filtro_Uguale_V"}));
}

}  // namespace
}  // namespace kyx::test
