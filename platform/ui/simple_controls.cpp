#include "platform/ui/simple_controls.h"

#include <QMouseEvent>
#include <QPalette>
#include <QSignalBlocker>

#include "platform/text/cp1252.h"
#include "platform/ui/colours.h"
#include "platform/ui/vb_events.h"

namespace kyx::ui {

QString Q(std::string_view cp1252) { return QString::fromStdString(text::to_utf8(cp1252)); }
std::string Cp(const QString& testo) { return text::from_utf8(testo.toStdString()); }

// ---- TextBox ---------------------------------------------------------------------------------

TextBox::TextBox(QWidget* parent) : ui::VbControl<QLineEdit>(parent) {
  setFrame(true);
  Applica_Colori();
}

std::string TextBox::Text() const { return Cp(text()); }

void TextBox::SetText(std::string_view cp1252) { setText(Q(cp1252)); }

void TextBox::SetMaxLength(int n) { setMaxLength(n > 0 ? n : 32767); }

void TextBox::SetPassword(bool on) { setEchoMode(on ? QLineEdit::Password : QLineEdit::Normal); }

void TextBox::SetBackColor(uint32_t ole) {
  sfondo_ = ole;
  Applica_Colori();
}

void TextBox::SetForeColor(uint32_t ole) {
  testo_ = ole;
  Applica_Colori();
}

void TextBox::Applica_Colori() {
  QPalette pal = palette();
  pal.setColor(QPalette::Base, ui::ole_to_qcolor(sfondo_));
  pal.setColor(QPalette::Text, ui::ole_to_qcolor(testo_));
  setPalette(pal);
  update();
}

// ---- Label ------------------------------------------------------------------------------------

Label::Label(QWidget* parent, std::string_view caption) : ui::VbControl<QLabel>(parent) {
  setText(Q(caption));
  Applica_Colori();
}

std::string Label::Caption() const { return Cp(text()); }

void Label::SetCaption(std::string_view cp1252) { setText(Q(cp1252)); }

void Label::SetBackColor(uint32_t ole) {
  sfondo_ = ole;
  opaca_ = true;
  Applica_Colori();
}

void Label::SetForeColor(uint32_t ole) {
  testo_ = ole;
  Applica_Colori();
}

void Label::Applica_Colori() {
  QPalette pal = palette();
  pal.setColor(QPalette::WindowText, ui::ole_to_qcolor(testo_));
  if (opaca_) pal.setColor(QPalette::Window, ui::ole_to_qcolor(sfondo_));
  setPalette(pal);
  setAutoFillBackground(opaca_);
  update();
}

void Label::mouseMoveEvent(QMouseEvent* event) {
  if (MouseMove) MouseMove(ui::vb_buttons(event->buttons()), ui::vb_shift(event->modifiers()));
  QLabel::mouseMoveEvent(event);
}

void Label::mouseReleaseEvent(QMouseEvent* event) {
  const int button = ui::vb_button(event->button());
  const int shift = ui::vb_shift(event->modifiers());
  if (MouseUp) MouseUp(button, shift);
  if (button == ui::vbLeftButton && rect().contains(event->position().toPoint()) && Click) Click();
}

// ---- CheckBox -----------------------------------------------------------------------------

CheckBox::CheckBox(QWidget* parent, std::string_view caption)
    : ui::VbControl<QCheckBox>(parent) {
  setText(Q(caption));
}

void CheckBox::SetBackColor(uint32_t ole) {
  QPalette pal = palette();
  pal.setColor(QPalette::Window, ui::ole_to_qcolor(ole));
  setPalette(pal);
  setAutoFillBackground(true);
}

// ---- ComboBox ----------------------------------------------------------------------------------------

ComboBox::ComboBox(QWidget* parent, bool solo_elenco) : ui::VbControl<QComboBox>(parent) {
  setEditable(!solo_elenco);
  // A pick by the user; picks made by code call Click themselves (SetListIndex).
  QObject::connect(this, &QComboBox::activated, this, [this](int) {
    if (Click) Click();
  });
}

void ComboBox::Clear() {
  const QSignalBlocker blocca(this);
  clear();
  if (isEditable()) clearEditText();
}

void ComboBox::AddItem(std::string_view cp1252) {
  // The system's list keeps no item chosen until one is chosen; Qt's picks the first one added.
  const int prima = currentIndex();
  const QSignalBlocker blocca(this);
  addItem(Q(cp1252), QVariant(int32_t{0}));
  if (prima < 0) setCurrentIndex(-1);
}

void ComboBox::SetListIndex(int i) {
  {
    const QSignalBlocker blocca(this);
    setCurrentIndex(i >= 0 && i < count() ? i : -1);
  }
  if (Click) Click();
}

int32_t ComboBox::ItemData(int i) const { return itemData(i).toInt(); }

void ComboBox::SetItemData(int i, int32_t v) { setItemData(i, QVariant(v)); }

std::string ComboBox::Text() const { return Cp(currentText()); }

void ComboBox::SetText(std::string_view cp1252) {
  const int i = findText(Q(cp1252), Qt::MatchExactly);
  if (i >= 0) {
    SetListIndex(i);
  } else if (isEditable()) {
    setEditText(Q(cp1252));
  }
}

// ---- CommandButton, UpDown ------------------------------------------------------------------------

CommandButton::CommandButton(QWidget* parent, std::string_view caption) : ui::VbControl<QPushButton>(parent) {
  setText(Q(caption));
  setAutoDefault(false);
  QObject::connect(this, &QPushButton::clicked, this, [this] {
    if (Click) Click();
  });
}

UpDown::UpDown(QWidget* parent) : QWidget(parent) {
  Su = new QPushButton(QString::fromUtf8("\u25B2"), this);
  Giu = new QPushButton(QString::fromUtf8("\u25BC"), this);
  for (QPushButton* b : {Su, Giu}) {
    b->setAutoDefault(false);
    QFont f = b->font();
    f.setPointSizeF(6);
    b->setFont(f);
  }
  QObject::connect(Su, &QPushButton::clicked, this, [this] {
    if (UpClick) UpClick();
  });
  QObject::connect(Giu, &QPushButton::clicked, this, [this] {
    if (DownClick) DownClick();
  });
}

void UpDown::SetToolTipText(std::string_view cp1252) {
  setToolTip(Q(cp1252));
  Su->setToolTip(Q(cp1252));
  Giu->setToolTip(Q(cp1252));
}

void UpDown::resizeEvent(QResizeEvent*) {
  const int h = height() / 2;
  Su->setGeometry(0, 0, width(), h);
  Giu->setGeometry(0, h, width(), height() - h);
}

}  // namespace kyx::ui
