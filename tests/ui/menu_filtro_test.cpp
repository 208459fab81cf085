// The row filter and row search sub-menu over a shown result grid: where it opens beside the
// column menu, what the pointer and the keys do with it, and how a typed filter or search changes
// the recordset, the sort and the page the grid shows; a large result under both locales.
#include <QMouseEvent>
#include <QTest>
#include <string>
#include <vector>

#include "engine/agganci_motore.h"
#include "engine/stato_motore.h"
#include "platform/data/static_recordset.h"
#include "platform/ui/flex_grid.h"
#include "platform/ui/pointer.h"
#include "platform/ui/vb_events.h"
#include "platform/ui/vb_scroll_bar.h"
#include "tests/ui/ambiente_ui.h"
#include "ui/filtro_righe.h"
#include "ui/frm_menu_colonna.h"
#include "ui/frm_menu_filtro.h"
#include "ui/installa_viste.h"
#include "views/agganci_viste.h"
#include "views/stato_griglia.h"

namespace kyx::test {
namespace {

struct Riga {
  std::string nome;
  double valore;
};

class MenuFiltro : public AmbienteUi {
 protected:
  MenuFiltro() : f(Carica()) {
    stato_motore::reset();
    stato_griglia::reset();
    agganci_viste::reset();
    Installa_Popup();
    Installa_Viste();
    agganci_motore::Salva_Layout = [this](const std::string& op, int16_t c) {
      salvati.push_back(op + " " + std::to_string(c));
    };
    Font_Nome = "DejaVu Sans";
    Font_Dimensione = 8;
    for (size_t i = 0; i < Colori.size(); ++i) Colori[i] = static_cast<int32_t>(0x100 + i);
    for (size_t i = 0; i < Colori_Livello.size(); ++i) Colori_Livello[i] = static_cast<int32_t>(0x1000 + i);
    f.Show();
    f.resize(1000, 700);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&f));
    f.Grid1->setGeometry(250, 40, 600, 300);
    f.Grid1->SetVisible(true);
    Modo_Precedente = 3;  // the window is laid out by hand: the display leaves it alone
    Modo_Griglia = 3;
    Numero_Colonne = 2;
    Righe_Intestazione = 1;
    for (int c = 0; c <= 2; ++c) {
      Col_Visibile[c] = 2;
      Col_Ordine[c] = 0;
      Col_Larghezza[c] = 1500;
      Col_Chiave[c] = -1;
      Col_Descrizione[c] = -1;
      Col_Intestazione[c] = "Colonna|" + std::to_string(c);
    }
    Col_Tipo[0] = Col_Tipo[1] = 10;
    Col_Formato[2] = "0.0";
    Colonna_Ordinamento = 0;
    Verso_Ordinamento = " ASC";
  }
  ~MenuFiltro() override {
    delete frmMenuColonna2.peek();
    delete frmMenuColonna.peek();
    stato_motore::reset();
    stato_griglia::reset();
    agganci_viste::reset();
    agganci_motore::reset();
    vb::set_locale({'.', ','});
  }

  // A result of detail rows (one row key for all: they sort by the column asked for) with a text
  // column c001 and a numeric column c002, shown from its first record.
  void Risultato(const std::vector<Riga>& righe) {
    auto rs = std::make_unique<data::StaticRecordset>();
    rs->AppendField(data::TextField("c000", 20));
    rs->AppendField(data::TextField("c001", 40));
    rs->AppendField(data::DoubleField("c002"));
    ASSERT_TRUE(rs->OpenFabricated().ok());
    for (const Riga& r : righe) {
      rs->AddNew();
      rs->SetText(0, "0000012");
      rs->SetText(1, r.nome);
      rs->Set(2, data::Value(r.valore));
      ASSERT_TRUE(rs->Update().ok());
    }
    Numero_Record = static_cast<int32_t>(rs->RecordCount());
    Filtro_Griglia = "";
    statico = rs.get();
    Rs_Griglia = std::move(rs);
    Prima_Riga = -1;
    Riga_Evidenziata = -1;
    Scorrimento_Colonne = -1;
    agganci_base::Visualizza_Griglia();
  }
  // Rows "N01".."N<n>" valued 1.5, 3, 4.5, ...
  void Numerate(int n) {
    std::vector<Riga> righe;
    for (int i = 1; i <= n; ++i) righe.push_back({"N" + std::string(i < 10 ? "0" : "") + std::to_string(i), i * 1.5});
    Risultato(righe);
  }

  FrmMenuColonna& Apri(int16_t c, QPoint schermo) {
    Colonna_Corrente = c;
    ui::SetCursorPos(schermo.x(), schermo.y());
    agganci_base::frmMenuColonna_Carica();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(frmMenuColonna.peek()));
    return *frmMenuColonna;
  }
  FrmMenuColonna& Apri(int16_t c) { return Apri(c, {f.x() + 300, f.y() + 100}); }
  // A pointer move over item i's caption, delivered to the caption's widget.
  static void Sopra(MenuVoci& m, int i) {
    const QPoint p(5, 5);
    const QPoint g = m.ItemX[i]->mapToGlobal(p);
    ui::SetCursorPos(g.x(), g.y());
    QMouseEvent e(QEvent::MouseMove, p, g, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(m.ItemX[i], &e);
    QApplication::processEvents();
  }
  // Opens item `voce` (4 filter, 5 search) of column c with the pointer.
  FrmMenuColonna2& Sottomenu(int16_t c, int voce) {
    Sopra(Apri(c), voce);
    EXPECT_TRUE(frmMenuColonna2.Loaded() && frmMenuColonna2->isVisible());
    return *frmMenuColonna2;
  }
  // The same, then each shown box emptied and typed as a user does.
  FrmMenuColonna2& Sottomenu(int16_t c, int voce, const Caselle_Filtro& caselle) {
    FrmMenuColonna2& s = Sottomenu(c, voce);
    for (int i = 0; i < 3; ++i) {
      if (!s.txtFiltro[i]->isVisible()) continue;
      s.txtFiltro[i]->selectAll();
      QTest::keyClick(s.txtFiltro[i], Qt::Key_Backspace);
      QTest::keyClicks(s.txtFiltro[i], QString::fromStdString(caselle[i]));
    }
    return s;
  }
  // Types the boxes of item `voce` of column c and presses Enter.
  void Applica(int16_t c, int voce, const Caselle_Filtro& caselle) {
    FrmMenuColonna2& s = Sottomenu(c, voce, caselle);
    QTest::keyClick(s.txtFiltro[0], Qt::Key_Return);
  }
  bool Chiusi() const { return !frmMenuColonna.Loaded() && !frmMenuColonna2.Loaded() && f.Enabled(); }
  // Column `c` of the grid's rows that show a record (an empty grid keeps one blank row).
  std::vector<std::string> Colonna(int c) const {
    std::vector<std::string> out;
    for (int r = 1; r < f.Grid1->Rows() && r <= Numero_Record; ++r) out.push_back(f.Grid1->TextMatrix(r, c));
    return out;
  }
  // Whether grid row r is drawn in the selection colours.
  bool Evidenziata(int r) const {
    f.Grid1->SetRow(r);
    f.Grid1->SetCol(1);
    return f.Grid1->CellBackColor() == 0x8000000Du;
  }

  FrmBase& f;
  data::StaticRecordset* statico = nullptr;
  std::vector<std::string> salvati;  // layout keys stored
};

TEST_F(MenuFiltro, OpensBesideItsItemWithTheBoxesOfTheColumnsKind) {
  Numerate(12);
  // Text column, filter: three boxes over the column menu's right border, at item 4's height.
  FrmMenuColonna& m = Apri(1);
  EXPECT_TRUE(m.Item[4]->isEnabled());
  EXPECT_TRUE(m.Item[5]->isEnabled());
  Sopra(m, 4);
  ASSERT_TRUE(frmMenuColonna2.Loaded());
  FrmMenuColonna2& s = *frmMenuColonna2;
  EXPECT_EQ(s.Modo_Filtro, 4);
  EXPECT_DOUBLE_EQ(s.Left(), m.Left() + m.Width() - 60);
  EXPECT_DOUBLE_EQ(s.Top(), m.Top() + m.Cornice_Alto() + m.Item[4]->y() * 15.0 - 90);
  EXPECT_DOUBLE_EQ(s.Height(), 1155);
  EXPECT_TRUE(s.txtFiltro[2]->isVisible());
  EXPECT_EQ(s.ItemX[2]->Caption(), "Contenuto");
  // Every label shows its whole caption, left of its box.
  for (int i = 0; i < 3; ++i) {
    const QLabel& l = *s.ItemX[i];
    EXPECT_GE(l.contentsRect().width(), l.fontMetrics().horizontalAdvance(l.text())) << l.text().toStdString();
    EXPECT_LT(l.geometry().right(), s.txtFiltro[i]->geometry().left()) << l.text().toStdString();
  }
  EXPECT_EQ(s.Toolbar1->Buttons("Aggiorna").ImageKey(), "Aggiorna");
  EXPECT_FALSE(In_Caricamento);
  // The pointer onto item 5 closes it and opens it again for the search.
  Sopra(m, 5);
  ASSERT_TRUE(frmMenuColonna2.Loaded());
  EXPECT_NE(frmMenuColonna2.peek(), &s);
  EXPECT_EQ(frmMenuColonna2->Modo_Filtro, 5);
  // The margin of the column menu closes it; Escape in it closes it alone.
  m.Form_MouseMove();
  EXPECT_FALSE(frmMenuColonna2.Loaded());
  Sopra(m, 4);
  QTest::keyClick(frmMenuColonna2->txtFiltro[0], Qt::Key_Escape);
  EXPECT_FALSE(frmMenuColonna2.Loaded());
  EXPECT_TRUE(frmMenuColonna.Loaded());
  // Down in the column menu moves the pointer onto item 5: the search opens there.
  QTest::keyClick(&m, Qt::Key_Down);
  EXPECT_EQ(m.Voce_Tastiera, 5);
  ASSERT_TRUE(frmMenuColonna2.Loaded());
  EXPECT_EQ(frmMenuColonna2->Modo_Filtro, 5);
  m.Unload(ui::vbFormControlMenu);
  EXPECT_FALSE(frmMenuColonna2.Loaded());
  // Numeric column near the main window's right edge: two boxes, on the column menu's left.
  FrmMenuColonna& r = Apri(2, {f.x() + f.width() - 5, f.y() + 100});
  Sopra(r, 4);
  ASSERT_TRUE(frmMenuColonna2.Loaded());
  EXPECT_DOUBLE_EQ(frmMenuColonna2->Height(), 855);
  EXPECT_FALSE(frmMenuColonna2->txtFiltro[2]->isVisible());
  EXPECT_FALSE(frmMenuColonna2->ItemX[2]->isVisible());
  EXPECT_DOUBLE_EQ(frmMenuColonna2->Left(), r.Left() - 3480 + 60);
  // A press on the main window closes the column menu and its sub-menu.
  QTest::mousePress(f.Grid1, Qt::LeftButton, {}, QPoint(30, 30));
  QTest::mouseRelease(f.Grid1, Qt::LeftButton, {}, QPoint(30, 30));
  EXPECT_FALSE(frmMenuColonna.Loaded());
  EXPECT_FALSE(frmMenuColonna2.Loaded());
  // An empty grid: the filter still opens (to take the filter away), the search does not.
  ASSERT_TRUE(statico->SetFilter("c002>100").ok());
  FrmMenuColonna& v = Apri(1);
  EXPECT_FALSE(v.Item[5]->isEnabled());
  Sopra(v, 4);
  EXPECT_TRUE(frmMenuColonna2.Loaded());
  v.Form_MouseMove();
  frmMenuColonna2->Carica(5);
  EXPECT_FALSE(frmMenuColonna2.Loaded());
  EXPECT_FALSE(In_Caricamento);
}

TEST_F(MenuFiltro, ATypedFilterRestrictsSortsAndShowsTheRows) {
  Risultato({{"Verdi", 5}, {"O'Brien", 20}, {"Bianchi", 12.5}, {"5*3 cm", 1}, {"5x3 cm", 2}, {"Rossi", 30},
             {"Ferri", 12}});
  Prima_Riga = 3;
  struct Caso {
    const char* nome;
    int16_t colonna;
    Caselle_Filtro caselle;
    std::string filtro;
    std::vector<std::string> righe;  // column 1 of the shown rows, in order
  } casi[] = {
      {"text range", 1, {"B", "P", ""}, "c001>='B' AND c001<='P'", {"Bianchi", "Ferri", "O'Brien"}},
      {"a quote is a character", 1, {"O'Brien", "", ""}, "c001>='O''Brien'", {"O'Brien", "Rossi", "Verdi"}},
      {"quote in the fragment", 1, {"", "", "'b"}, "c001 LIKE '*''b*'", {"O'Brien"}},
      {"a star is a character", 1, {"", "", "5*3"}, "c001 LIKE '*5[*]3*'", {"5*3 cm"}},
      {"numeric range", 2, {"10", "20", ""}, "c002>=10.000 AND c002<=20.000", {"Ferri", "Bianchi", "O'Brien"}},
      {"no row left", 1, {"zz", "", ""}, "c001>='zz'", {}},
      {"all empty: every row, sorted", 2, {}, "", {"5*3 cm", "5x3 cm", "Verdi", "Ferri", "Bianchi", "O'Brien", "Rossi"}},
  };
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.nome);
    Applica(k.colonna, 4, k.caselle);
    EXPECT_TRUE(Chiusi());
    EXPECT_EQ(statico->Filter(), k.filtro);
    EXPECT_EQ(Filtro_Griglia, k.filtro);
    EXPECT_EQ(Numero_Record, static_cast<int32_t>(k.righe.size()));
    EXPECT_EQ(Colonna(1), k.righe);
    EXPECT_EQ(Colonna_Ordinamento, k.colonna);
    EXPECT_EQ(Colonna_Ordinamento_Memoria, k.colonna);
    EXPECT_EQ(Verso_Ordinamento_Memoria, " ASC");
    EXPECT_EQ(Prima_Riga, 1);
  }
  EXPECT_TRUE(salvati.empty()) << "neither the filter nor its sort goes into the layout";
  // Reopening the filter of the same column shows the values typed; another column shows none.
  Applica(1, 4, {"B", "P", ""});
  FrmMenuColonna2& s = Sottomenu(1, 4);
  EXPECT_EQ(s.txtFiltro[0]->Text(), "B");
  EXPECT_EQ(s.txtFiltro[1]->Text(), "P");
  frmMenuColonna->Unload(ui::vbFormControlMenu);
  EXPECT_EQ(Sottomenu(2, 4).txtFiltro[0]->Text(), "");
  frmMenuColonna->Unload(ui::vbFormControlMenu);
  // The search mode never shows the filter's values.
  EXPECT_EQ(Sottomenu(1, 5).txtFiltro[0]->Text(), "");
  frmMenuColonna->Unload(ui::vbFormControlMenu);
}

TEST_F(MenuFiltro, InputThatCannotBeUsedIsSaidAndChangesNothing) {
  Numerate(12);
  vb::set_locale({',', '.'});
  ASSERT_TRUE(statico->SetFilter("c002>=3.000").ok());
  Filtro_Griglia = statico->Filter();
  struct Caso {
    const char* nome;
    int16_t colonna;
    int voce;
    Caselle_Filtro caselle;
    const char* messaggio;
  } casi[] = {
      {"range and fragment", 1, 4, {"A", "", "x"}, "non entrambi"},
      {"not a number", 2, 4, {"abc", "", ""}, "\"abc\" non \xE8 un numero"},
      {"an English decimal point under the Italian locale", 2, 5, {"", "4.5", ""}, "\"4.5\" non \xE8 un numero"},
  };
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.nome);
    FrmMenuColonna2& s = Sottomenu(k.colonna, k.voce, k.caselle);
    host.expect(k.messaggio);
    QTest::keyClick(s.txtFiltro[0], Qt::Key_Return);
    EXPECT_EQ(host.pending(), 0u);
    EXPECT_TRUE(frmMenuColonna2.Loaded() && frmMenuColonna2->isVisible()) << "the user corrects the boxes";
    EXPECT_FALSE(f.Enabled());
    EXPECT_EQ(statico->Filter(), "c002>=3.000");
    frmMenuColonna->Unload(ui::vbFormControlMenu);
  }
}

TEST_F(MenuFiltro, TheSearchShowsTheFirstMatchAsTheSixthRowOrSaysNothingWasFound) {
  std::vector<Riga> righe;
  for (int i = 1; i <= 40; ++i) righe.push_back({i == 25 ? "xaby" : i == 12 ? "XABY" : "riga " + std::to_string(i), i * 1.0});
  Risultato(righe);
  // A text fragment, case counting, applied with the toolbar button.
  FrmMenuColonna2& s = Sottomenu(1, 5, {"", "", "ab"});
  ui::ToolbarButton& b = s.Toolbar1->Buttons("Aggiorna");
  QTest::mouseClick(s.Toolbar1, Qt::LeftButton, {}, QPoint(b.Left() + b.Width() / 2, b.Top() + b.Height() / 2));
  EXPECT_TRUE(Chiusi());
  EXPECT_EQ(Riga_Evidenziata, 25);
  EXPECT_EQ(Prima_Riga, 20);
  EXPECT_EQ(f.Grid1->TextMatrix(6, 1), "xaby");
  EXPECT_TRUE(Evidenziata(6));
  EXPECT_EQ(statico->Filter(), "") << "the search leaves the filter and the sort alone";
  // A numeric range near the start: the first page.
  Applica(2, 5, {"3", "4", ""});
  EXPECT_EQ(Riga_Evidenziata, 3);
  EXPECT_EQ(Prima_Riga, 1);
  EXPECT_TRUE(Evidenziata(3));
  // No match: the page and the highlight stay, the user is told, the boxes stay open.
  FrmMenuColonna2& n = Sottomenu(1, 5, {"", "", "zz"});
  host.expect("Nessuna riga trovata");
  QTest::keyClick(n.txtFiltro[2], Qt::Key_Return);
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(Riga_Evidenziata, 3);
  EXPECT_EQ(Prima_Riga, 1);
  EXPECT_TRUE(Evidenziata(3));
  EXPECT_FALSE(Evidenziata(f.Grid1->Rows() - 1));
  EXPECT_TRUE(frmMenuColonna2.Loaded());
  frmMenuColonna->Unload(ui::vbFormControlMenu);
  // Near the end the page stops at the scroll bar's last position.
  Applica(2, 5, {"39", "", ""});
  EXPECT_EQ(Riga_Evidenziata, 39);
  EXPECT_LT(f.Scroll_V->Max(), 34);
  EXPECT_EQ(Prima_Riga, f.Scroll_V->Max());
  EXPECT_TRUE(Evidenziata(39 - Prima_Riga + 1));
}

TEST_F(MenuFiltro, ALargeResultUnderBothLocales) {
  constexpr int kRighe = 100000;
  std::vector<Riga> righe;
  righe.reserve(kRighe);
  for (int i = 0; i < kRighe; ++i) righe.push_back({"Cliente " + std::to_string(i % 997), (i % 2000) / 2.0});
  Risultato(righe);
  struct Caso {
    vb::Locale locale;
    const char* da;
    const char* a;
    std::string filtro;
  } casi[] = {
      {{',', '.'}, "12,5", "13", "c002>=12.500 AND c002<=13.000"},
      {{'.', ','}, "12.5", "13", "c002>=12.500 AND c002<=13.000"},
  };
  for (const Caso& k : casi) {
    vb::set_locale(k.locale);
    ASSERT_TRUE(statico->SetFilter("").ok());
    ASSERT_TRUE(statico->SetSort("").ok());
    Numero_Record = kRighe;
    // The search finds the first 12.5 (record 26) under either separator.
    Applica(2, 5, {k.da, "", ""});
    EXPECT_EQ(Riga_Evidenziata, 26);
    // The filter keeps the values 12.5, 13 (50 of each 2,000 rows), sorted ascending.
    Applica(2, 4, {k.da, k.a, ""});
    EXPECT_EQ(statico->Filter(), k.filtro);
    EXPECT_EQ(Numero_Record, 100);
    EXPECT_EQ(f.Grid1->TextMatrix(1, 2), k.locale.decimal == ',' ? "12,5" : "12.5");
    EXPECT_EQ(f.Grid1->TextMatrix(1, 1), "Cliente 25");
  }
  // A fragment of the text column over every row.
  Applica(1, 4, {"", "", "te 99"});
  EXPECT_EQ(statico->Filter(), "c001 LIKE '*te 99*'");
  EXPECT_EQ(Numero_Record, 101 + 7 * 100) << "Cliente 99 and 990..996";
}

}  // namespace
}  // namespace kyx::test
