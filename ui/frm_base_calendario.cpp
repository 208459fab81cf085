// The filter panel's date buttons and the month calendar MonthView1: a press on the button beside
// a value box opens the calendar just under that box, on the date typed there (or today, kept
// inside the calendar's range); a date clicked, or Enter, writes that date into the box in the
// listed key's format and gives the box the focus; the calendar hides as soon as it loses focus.
#include <QApplication>
#include <QDate>
#include <QKeyEvent>

#include "platform/host/host.h"
#include "platform/text/cp1252.h"
#include "platform/ui/vb_events.h"
#include "platform/vb/vb.h"
#include "ui/frm_base.h"
#include "views/elenco.h"

namespace kyx {
namespace {

QDate A_QDate(const vb::DateTime& d) { return QDate(d.year, d.month, d.day); }

vb::DateTime Da_QDate(const QDate& d) {
  vb::DateTime out;
  out.year = d.year();
  out.month = d.month();
  out.day = d.day();
  return out;
}

bool Dentro(const QWidget* Contenitore, const QWidget* w) {
  return w && (w == Contenitore || Contenitore->isAncestorOf(w));
}

}  // namespace

void FrmBase::Collega_Calendario() {
  for (size_t i = 0; i < Flt_Data_pic.size(); ++i) {
    const int Indice = static_cast<int>(i);
    Flt_Data_pic[i]->MouseDown = [this, Indice](int b, int s, float x, float y) {
      Flt_Data_pic_MouseDown(Indice, b, s, x, y);
    };
    Flt_Data_pic[i]->MouseUp = [this, Indice](int b, int s, float x, float y) {
      Flt_Data_pic_MouseUp(Indice, b, s, x, y);
    };
  }
  QObject::connect(MonthView1, &QCalendarWidget::clicked, this,
                   [this](const QDate& d) { MonthView1_DateClick(Da_QDate(d)); });
  // Enter reaches the calendar's inner view, not the calendar itself: every part of it is watched.
  MonthView1->installEventFilter(this);
  for (QWidget* w : MonthView1->findChildren<QWidget*>()) w->installEventFilter(this);
  QObject::disconnect(Calendario_Fuoco);
  Calendario_Fuoco = QObject::connect(qApp, &QApplication::focusChanged, this, [this](QWidget* Prima, QWidget* Ora) {
    if (MonthView1->Visible() && Dentro(MonthView1, Prima) && !Dentro(MonthView1, Ora)) MonthView1_LostFocus();
  });
}

bool FrmBase::Calendario_Tasto(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  auto* w = qobject_cast<QWidget*>(watched);
  if (!Dentro(MonthView1, w)) return false;
  auto* e = static_cast<QKeyEvent*>(event);
  if (e->key() != Qt::Key_Return && e->key() != Qt::Key_Enter) return false;
  int KeyCode = 13;
  MonthView1_KeyDown(KeyCode, ui::vb_shift(e->modifiers()));
  return true;
}

void FrmBase::Flt_Data_pic_MouseDown(int Index, int /*Button*/, int /*Shift*/, float /*X*/, float /*Y*/) {
  if (Index < 0 || Index > 1) return;
  if (MonthView1->Visible()) {
    // A second press closes the calendar and nothing else; the button is not drawn pressed.
    Calendario_Indice = -1;
    MonthView1->SetVisible(false);
    return;
  }
  const size_t i = static_cast<size_t>(Index);
  if (picRicerca[1]) Flt_Data_pic[i]->SetPicture(picRicerca[1]->Picture());
  Calendario_Indice = static_cast<int16_t>(Index);
  vb::DateTime d;
  if (!vb::ParseDate(text::from_utf8(Flt_txt[i]->text().toStdString()), d)) d = vb::Now();
  QDate Giorno = A_QDate(d);
  if (Giorno < MonthView1->minimumDate()) Giorno = MonthView1->minimumDate();
  if (Giorno > MonthView1->maximumDate()) Giorno = MonthView1->maximumDate();
  MonthView1->setSelectedDate(Giorno);
  // Over the box's bottom edge by one pixel, its size unchanged.
  MonthView1->Move(Flt_txt[i]->Left(), Flt_txt[i]->Top() + Flt_txt[i]->Height() - 1);
  MonthView1->SetVisible(true);
  MonthView1->raise();
  if (MonthView1->Visible()) MonthView1->setFocus();
}

void FrmBase::Flt_Data_pic_MouseUp(int Index, int /*Button*/, int /*Shift*/, float /*X*/, float /*Y*/) {
  if (Index < 0 || Index > 1) return;
  if (picRicerca[0]) Flt_Data_pic[static_cast<size_t>(Index)]->SetPicture(picRicerca[0]->Picture());
}

void FrmBase::MonthView1_KeyDown(int& KeyCode, int /*Shift*/) {
  if (KeyCode != 13) return;
  // Written only for the box the calendar was opened for; a closed calendar writes nothing.
  if (Calendario_Indice < 0 || Calendario_Indice > 1) return;
  const size_t i = static_cast<size_t>(Calendario_Indice);
  const std::string Data = vb::FormatDate(Da_QDate(MonthView1->selectedDate()), Formato_Data);
  Flt_txt[i]->setText(QString::fromStdString(text::to_utf8(Data)));
  Flt_txt[i]->setFocus();
  // Where the window holds no focus to move (not active), the box cannot take it from the
  // calendar: close it here as its loss of focus would.
  if (MonthView1->Visible()) MonthView1_LostFocus();
}

void FrmBase::MonthView1_DateClick(const vb::DateTime& Giorno) {
  MonthView1->setSelectedDate(A_QDate(Giorno));
  int KeyCode = 13;
  MonthView1_KeyDown(KeyCode, 0);
}

void FrmBase::MonthView1_LostFocus() {
  Calendario_Indice = -1;
  MonthView1->SetVisible(false);
  host::DoEvents();
}

}  // namespace kyx
