// The filter panel's date buttons and calendar, driven by real presses, clicks and keys: where
// the calendar opens and on which day, what a picked date writes into the box, and that a date
// picked in the calendar and the same date typed by hand give the same stored row and the same
// condition for the elaboration; a typed date that does not exist is refused and changes nothing.
#include <QCalendarWidget>
#include <QDate>
#include <QTableView>
#include <QTest>
#include <memory>

#include "common/stato_db.h"
#include "engine/query_elaborazione.h"
#include "engine/stato_motore.h"
#include "tests/ui/ambiente_filtri.h"
#include "tests/ui/ambiente_struttura.h"
#include "ui/installa_dati_locali.h"
#include "ui/installa_filtri.h"
#include "ui/installa_viste.h"
#include "views/agganci_viste.h"
#include "views/elenco.h"

namespace kyx::test {
namespace {

class Calendario : public AmbienteStruttura {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Apri_MDB0(false));
    Area(5, "VEN", "Vendite", "01");
    Riga("CHIAVI", {"SINF", "IDX", "KINDB", "LUN", "ATTR", "KEY_D", "TESTO", "ORDINA", "VIS", "AREA_1", "FORMATO"},
         {"SI1", 20, "G", 8, "A", 0, "Data", "01", "V", "VEN", "dd.mm.yyyy"});
    Riga("FILTRO", {"KEY", "OPER", "VALO_1", "VALO_2", "BLOCCO"}, {20, "=", "*", " ", " "});
    Installa_Filtri();
    Installa_Viste();
    Installa_Dati_Locali();
    FrmBase& f = Carica();
    f.resize(900, 700);
    f.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.Ridimensiona();
    f.Carica_Albero_Chiavi();
    // The date key's codes listed from the tree: the panel with its date buttons.
    Clic_Nodo(*f.twF, "A005K020");
    ASSERT_EQ(Chiave_Elenco, 20);
    ASSERT_EQ(Formato_Data, "dd.mm.yyyy");
    ASSERT_TRUE(f.Flt_Data_pic[1]->isVisible());
    ASSERT_NE(f.picRicerca[0]->Picture(), f.picRicerca[1]->Picture()) << "the button's two looks";
  }

  void TearDown() override {
    agganci_elenco::reset();
    agganci_viste::reset();
  }

  void Premi(int i) {
    QTest::mousePress(frmBase->Flt_Data_pic[static_cast<size_t>(i)], Qt::LeftButton, {}, QPoint(4, 4));
  }
  void Rilascia(int i) {
    QTest::mouseRelease(frmBase->Flt_Data_pic[static_cast<size_t>(i)], Qt::LeftButton, {}, QPoint(4, 4));
  }
  // A real click on day `giorno` of the month shown (its first cell bearing that number; the
  // first row holds the day names and the first column the week numbers).
  static void Clic_Giorno(int giorno) {
    auto* v = frmBase->MonthView1->findChild<QTableView*>();
    ASSERT_NE(v, nullptr);
    QAbstractItemModel* m = v->model();
    const int prima = frmBase->MonthView1->verticalHeaderFormat() == QCalendarWidget::NoVerticalHeader ? 0 : 1;
    for (int r = 1; r < m->rowCount(); ++r)
      for (int c = prima; c < m->columnCount(); ++c) {
        const QModelIndex i = m->index(r, c);
        if (m->data(i).toInt() != giorno) continue;
        // Spaced from the presses before it, so that it is not taken for a double click.
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, v->visualRect(i).center(), 500);
        return;
      }
    FAIL() << "day " << giorno << " not shown";
  }
  static QTableView* Vista() { return frmBase->MonthView1->findChild<QTableView*>(); }

  static std::string Testo(int i) { return frmBase->Flt_txt[static_cast<size_t>(i)]->text().toStdString(); }
  static void Scrivi(int i, const char* t) { frmBase->Flt_txt[static_cast<size_t>(i)]->setText(t); }

  static std::vector<std::string> Tabella() { return Tabella_Filtro(); }
};

TEST_F(Calendario, TheDateButtonShowsTheDropDownGlyphBeforeAndAfterItsFirstPress) {
  FrmBase& f = *frmBase;
  for (int i = 0; i < 2; ++i) {
    ui::PictureCanvas& b = *f.Flt_Data_pic[static_cast<size_t>(i)];
    EXPECT_EQ(b.Picture(), f.picRicerca[0]->Picture()) << "box " << i << " before any press";
  }
  Premi(1);
  Rilascia(1);
  Premi(1);  // closes the calendar
  Rilascia(1);
  EXPECT_EQ(f.Flt_Data_pic[1]->Picture(), f.picRicerca[0]->Picture());
}

TEST_F(Calendario, OpensUnderTheBoxOnTheTypedDayOrTodayWithinItsRange) {
  FrmBase& f = *frmBase;
  QCalendarWidget& m = *f.MonthView1;
  m.setDateRange(QDate(2000, 1, 1), QDate(2030, 12, 31));
  const QDate oggi = QDate::currentDate();
  struct Caso {
    int box;
    const char* testo;
    QDate giorno;
  };
  const std::vector<Caso> casi = {
      {1, "05/03/2025", QDate(2025, 3, 5)}, {0, "7-11-2024", QDate(2024, 11, 7)}, {1, "", oggi},
      {1, "non data", oggi},                {1, "30/02/2025", oggi},              {1, "01/01/1990", QDate(2000, 1, 1)},
      {1, "01/01/2050", QDate(2030, 12, 31)},
  };
  for (const Caso& c : casi) {
    Operatore_Filtro = 3;  // both boxes shown
    f.Ridimensiona();
    Scrivi(c.box, c.testo);
    Premi(c.box);
    EXPECT_TRUE(m.isVisible()) << c.testo;
    EXPECT_EQ(f.Calendario_Indice, c.box) << c.testo;
    EXPECT_EQ(m.selectedDate(), c.giorno) << c.testo;
    const QLineEdit& b = *f.Flt_txt[static_cast<size_t>(c.box)];
    EXPECT_EQ(m.pos(), QPoint(b.x(), b.y() + b.height() - 1)) << c.testo;
    EXPECT_EQ(f.Flt_Data_pic[static_cast<size_t>(c.box)]->Picture(), f.picRicerca[1]->Picture());
    Rilascia(c.box);
    EXPECT_EQ(f.Flt_Data_pic[static_cast<size_t>(c.box)]->Picture(), f.picRicerca[0]->Picture());
    // A second press only closes it.
    Premi(c.box);
    EXPECT_FALSE(m.isVisible()) << c.testo;
    EXPECT_EQ(f.Calendario_Indice, -1);
    Rilascia(c.box);
    EXPECT_EQ(Testo(c.box), c.testo) << "closing writes nothing";
  }
}

TEST_F(Calendario, PickedDateIsWrittenInTheKeysFormatAndOtherWaysOutWriteNothing) {
  FrmBase& f = *frmBase;
  QCalendarWidget& m = *f.MonthView1;
  Scrivi(1, "20/03/2025");
  Premi(1);
  Rilascia(1);
  Clic_Giorno(5);
  EXPECT_EQ(Testo(1), "05.03.2025");
  EXPECT_FALSE(m.isVisible());
  EXPECT_EQ(f.Calendario_Indice, -1);
  EXPECT_TRUE(f.Flt_txt[1]->hasFocus());

  // Keys: arrows move the day and write nothing; Enter writes the day reached.
  Premi(1);
  Rilascia(1);
  ASSERT_TRUE(m.isVisible());
  QTest::keyClick(Vista(), Qt::Key_Right);
  EXPECT_EQ(Testo(1), "05.03.2025");
  EXPECT_TRUE(m.isVisible());
  QTest::keyClick(Vista(), Qt::Key_Return);
  EXPECT_EQ(Testo(1), "06.03.2025");
  EXPECT_FALSE(m.isVisible());

  // The focus moving elsewhere closes it without writing.
  Premi(1);
  Rilascia(1);
  ASSERT_TRUE(m.isVisible());
  QTest::keyClick(Vista(), Qt::Key_Right);
  f.twF->view()->setFocus();
  EXPECT_FALSE(m.isVisible());
  EXPECT_EQ(f.Calendario_Indice, -1);
  EXPECT_EQ(Testo(1), "06.03.2025");

  // Without a key format the general date is written.
  Formato_Data.clear();
  Premi(1);
  Rilascia(1);
  Clic_Giorno(9);
  EXPECT_EQ(Testo(1), "09/03/2025");
}

TEST_F(Calendario, PickedAndTypedDatesGiveTheSameConditionAndBadDatesChangeNothing) {
  FrmBase& f = *frmBase;
  // Picked, then applied with Enter in the box.
  Scrivi(1, "20/03/2025");
  Premi(1);
  Rilascia(1);
  Clic_Giorno(5);
  QTest::keyClick(f.Flt_txt[1], Qt::Key_Return);
  const std::vector<std::string> scelta = Tabella();
  EXPECT_EQ(scelta, std::vector<std::string>{"20 = 20250305| | "});
  Filtri_Elaborazione();
  const std::string condizione = Filtro_Completo;
  EXPECT_NE(condizione.find("20250305"), std::string::npos) << condizione;

  // Cleared, then typed by hand in another spelling of the same day.
  f.Carica_Filtro_Modifica(20, " ", " ", 0, "K-", true);
  ASSERT_EQ(Tabella(), std::vector<std::string>{"20 = *| | "});
  Scrivi(1, "5/3/25");
  QTest::keyClick(f.Flt_txt[1], Qt::Key_Return);
  EXPECT_EQ(Tabella(), scelta);
  EXPECT_EQ(Testo(1), "05.03.2025") << "the box shows the key's format";
  Filtri_Elaborazione();
  EXPECT_EQ(Filtro_Completo, condizione);

  // Dates that do not exist, in either box of a range: the message, and nothing written.
  struct Caso {
    uint8_t operatore;
    const char* primo;
    const char* secondo;
    const char* messaggio;
  };
  const std::vector<Caso> casi = {
      {1, "31/02/2025", "", "Il contenuto del campo non \xE8 corretto"},
      {1, "5/13/2025", "", "Il contenuto del campo non \xE8 corretto"},
      {3, "01/01/2025", "32/01/2025", "Il contenuto del secondo campo non \xE8 corretto"},
      {3, "abc", "01/01/2025", "Il contenuto del campo non \xE8 corretto"},
  };
  for (const Caso& c : casi) {
    Operatore_Filtro = c.operatore;
    f.Ridimensiona();
    Scrivi(1, c.primo);
    Scrivi(0, c.secondo);
    host.expect(c.messaggio);
    f.Carica_Filtro_Modifica(20, c.primo, c.secondo, c.operatore, "P+", true);
    EXPECT_EQ(host.pending(), 0u) << c.primo;
    EXPECT_EQ(Tabella(), scelta) << c.primo;
  }
}

// The calendar watches the whole application's focus. Closing the window while the calendar is
// open moves the focus as the window's parts are deleted: nothing of the calendar may answer it
// then (its handler would run on a window half gone, and pump messages from inside the delete).
TEST_F(Calendario, ClosingTheWindowWithTheCalendarOpenRunsNothingOfIt) {
  FrmBase& f = *frmBase;
  Premi(1);
  Rilascia(1);
  ASSERT_TRUE(f.MonthView1->isVisible());
  ASSERT_TRUE(f.MonthView1->isAncestorOf(QApplication::focusWidget()) || f.MonthView1->hasFocus());
  int pompe = 0;
  host.on_pump = [&] { ++pompe; };
  delete frmBase.peek();
  host.on_pump = nullptr;
  EXPECT_FALSE(frmBase.Loaded());
  EXPECT_EQ(pompe, 0);
}

}  // namespace
}  // namespace kyx::test
