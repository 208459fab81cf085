// The structure tree twL: its node keys, texts, parents and images in both orders, read from the
// real STRUTTURA of the definitions database; a click on a layout node opens the levels dialog.
#include "tests/ui/ambiente_struttura.h"

namespace kyx::test {
namespace {

class AlberoStruttura : public AmbienteStruttura {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Apri_MDB0(false));
    Area(5, "VEN", "Vendite", "02");
    Area(6, "ACQ", "Acquisti", "01");
    Chiave(12, "G", 3, "Gruppo", "01");
    Chiave(13, "A", 4, "Anno", "02");  // the reference year shows as a plain key
    Chiave(15, "K", 3, "Altro sistema", "01", "VEN", "SI2");
    Layout(3, "Per gruppo", "01");
    Layout(4, "Per anno", "02");
    Struttura(5, 12, 3);
    Struttura(6, 12, 3);
    // Layout 4 under two areas whose order differs from their keys' order: sorted by the keys
    // first, area 5 would come twice and its second key would land under area 6.
    Struttura(5, 12, 4);
    Struttura(5, 13, 4);
    Struttura(6, 13, 4);
    Struttura(6, 15, 3);  // a key of another system: not shown
    agganci_base::Carica_Albero_Struttura = [] { frmBase->Carica_Albero_Struttura(); };
  }

  // Every node as "key parent text", in the order of the tree.
  std::vector<std::string> Nodi() const {
    std::vector<std::string> out;
    ui::KeyedTree& t = *frmBase->twL;
    for (int i = 1; i <= t.Count(); ++i) {
      ui::TreeNode& n = t.Nodes(i);
      out.push_back(n.Key() + " " + (n.Parent() ? n.Parent()->Key() : std::string("-")) + " " + n.Text());
    }
    return out;
  }
};

TEST_F(AlberoStruttura, AreasFirst) {
  FrmBase& f = Carica();
  ASSERT_EQ(Ordinamento_Layout, 0);
  const std::vector<std::string> attesi = {
      "A006 - Acquisti",
      "A006G012 A006 Gruppo",
      "A006G012L003 A006G012 Per gruppo",
      "A006K013 A006 Anno",
      "A006K013L004 A006K013 Per anno",
      "A005 - Vendite",
      "A005G012 A005 Gruppo",
      "A005G012L003 A005G012 Per gruppo",
      "A005G012L004 A005G012 Per anno",
      "A005K013 A005 Anno",
      "A005K013L004 A005K013 Per anno",
  };
  EXPECT_EQ(Nodi(), attesi);
  EXPECT_EQ(f.twL->Nodes("A006").Image(), "Chiavi");
  EXPECT_EQ(f.twL->Nodes("A006G012").ExpandedImage(), "Chiavi1");
  EXPECT_EQ(f.twL->Nodes("A005G012L004").Image(), "Esegui");
  EXPECT_EQ(f.twL->Nodes("A005G012L004").ForeColor(), 0x80000008u);
}

TEST_F(AlberoStruttura, ASystemCodeWithAQuoteReadsItsOwnRows) {
  Sistema_Informativo = "S'2";
  Chiave(20, "G", 3, "Marca", "01", "VEN", "S'2");
  Struttura(5, 20, 3);
  FrmBase& f = Carica();
  f.Carica_Albero_Struttura();
  const std::vector<std::string> attesi = {"A005 - Vendite", "A005G020 A005 Marca", "A005G020L003 A005G020 Per gruppo"};
  EXPECT_EQ(Nodi(), attesi);
}

TEST_F(AlberoStruttura, LayoutsFirstAndBackAgain) {
  FrmBase& f = Carica();
  Ordinamento_Layout = 1;
  f.Carica_Albero_Struttura();
  const std::vector<std::string> attesi = {
      "L003 - Per gruppo",
      "L003A006 L003 Acquisti",
      "L003A006G012 L003A006 Gruppo",
      "L003A005 L003 Vendite",
      "L003A005G012 L003A005 Gruppo",
      "L004 - Per anno",
      "L004A006 L004 Acquisti",
      "L004A006K013 L004A006 Anno",
      "L004A005 L004 Vendite",
      "L004A005G012 L004A005 Gruppo",
      "L004A005K013 L004A005 Anno",
  };
  EXPECT_EQ(Nodi(), attesi);
  EXPECT_EQ(f.twL->Nodes("L004A005K013").Image(), "Esegui");

  // A rebuild drops the marked node; switching the order and back gives the same tree.
  Nodo_Layout = "L004A005K013";
  Ordinamento_Layout = 0;
  f.Carica_Albero_Struttura();
  EXPECT_EQ(Nodi().size(), 11u);
  EXPECT_TRUE(Nodo_Layout.empty());
  Ordinamento_Layout = 1;
  f.Carica_Albero_Struttura();
  EXPECT_EQ(Nodi(), attesi);
}

TEST_F(AlberoStruttura, AnEmptyStructureOrAClosedDatabaseLeavesTheTreeEmpty) {
  FrmBase& f = Carica();
  ASSERT_GT(f.twL->Count(), 0);
  Sistema_Informativo = "SI9";
  f.Carica_Albero_Struttura();
  EXPECT_EQ(f.twL->Count(), 0);
  Sistema_Informativo = "SI1";
  stato_db::reset();
  f.Carica_Albero_Struttura();
  EXPECT_EQ(f.twL->Count(), 0);
}

TEST_F(AlberoStruttura, OnlyALayoutNodeOpensTheLevelsDialog) {
  std::vector<std::string> aperti;
  agganci_base::Carica_da_TW = [&](const std::string& k) { aperti.push_back(k); };
  FrmBase& f = Carica();
  for (const char* k : {"A006", "A006G012", "A006G012L003", "A005K013L004"}) f.twL_NodeClick(f.twL->Nodes(k));
  f.twL->Add("A005", ui::tvwChild, " A005G012L009 ", "blanks around");
  f.twL_NodeClick(f.twL->Nodes(" A005G012L009 "));
  EXPECT_EQ(aperti, (std::vector<std::string>{"A006G012L003", "A005K013L004", " A005G012L009 "}));
}

}  // namespace
}  // namespace kyx::test
