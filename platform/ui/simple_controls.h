#pragma once
// The simple controls of the dialogs, as their code uses them: text boxes with their colours and
// length limit, labels, check boxes, combo and list boxes with item data, command buttons and the
// up/down arrows. Thin wrappers over the Qt widgets; every text is Windows-1252.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/ui/control.h"

namespace kyx::ui {

// Colours of a text box that the checks mark: normal (window background, window text) and
// invalid (highlight, highlight text), as OLE system colours.
inline constexpr uint32_t kOleWindowBackground = 0x80000005;
inline constexpr uint32_t kOleWindowText = 0x80000008;
inline constexpr uint32_t kOleHighlight = 0x8000000D;
inline constexpr uint32_t kOleHighlightText = 0x8000000E;

// A text box (TextBox): Text, MaxLength, PasswordChar, Locked, BackColor and ForeColor.
class TextBox : public ui::VbControl<QLineEdit> {
 public:
  explicit TextBox(QWidget* parent);

  std::string Text() const;
  void SetText(std::string_view cp1252);
  // 0 = no limit. Text set from code is cut to the limit, as typed text is.
  void SetMaxLength(int n);
  // Shows "*" for every character when set.
  void SetPassword(bool on);
  void SetLocked(bool on) { setReadOnly(on); }

  uint32_t BackColor() const { return sfondo_; }
  uint32_t ForeColor() const { return testo_; }
  void SetBackColor(uint32_t ole);
  void SetForeColor(uint32_t ole);

 private:
  void Applica_Colori();
  uint32_t sfondo_ = kOleWindowBackground;
  uint32_t testo_ = kOleWindowText;
};

// A label (Label): Caption, BackColor and ForeColor (a back colour makes it opaque), and the
// mouse release it reports with the BASIC button and shift codes.
class Label : public ui::VbControl<QLabel> {
 public:
  explicit Label(QWidget* parent, std::string_view caption = "");

  std::string Caption() const;
  void SetCaption(std::string_view cp1252);
  uint32_t BackColor() const { return sfondo_; }
  uint32_t ForeColor() const { return testo_; }
  void SetBackColor(uint32_t ole);
  void SetForeColor(uint32_t ole);

  // MouseUp(Button, Shift); Click follows a left-button release. MouseMove(Button, Shift) comes
  // with every move over the label (with or without a button down once it is set).
  std::function<void(int Button, int Shift)> MouseUp;
  std::function<void()> Click;
  std::function<void(int Button, int Shift)> MouseMove;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void Applica_Colori();
  uint32_t sfondo_ = 0;
  uint32_t testo_ = kOleWindowText;
  bool opaca_ = false;
};

// A check box (CheckBox): Value 0 (not ticked) or 1 (ticked), Caption, BackColor.
class CheckBox : public ui::VbControl<QCheckBox> {
 public:
  CheckBox(QWidget* parent, std::string_view caption);

  int Value() const { return isChecked() ? 1 : 0; }
  void SetValue(int v) { setChecked(v != 0); }
  void SetBackColor(uint32_t ole);
};

// A combo box or a drop-down list (ComboBox): items with their ItemData, ListIndex (-1 = none),
// ListCount and the Text shown. Click runs when the user picks an item, and when code sets
// ListIndex, as the system's combo box does.
class ComboBox : public ui::VbControl<QComboBox> {
 public:
  ComboBox(QWidget* parent, bool solo_elenco);

  void Clear();
  void AddItem(std::string_view cp1252);
  int ListCount() const { return count(); }
  int ListIndex() const { return currentIndex(); }
  void SetListIndex(int i);
  int32_t ItemData(int i) const;
  void SetItemData(int i, int32_t v);
  // The text shown; setting it selects the item of that text.
  std::string Text() const;
  void SetText(std::string_view cp1252);
  int NewIndex() const { return count() - 1; }

  std::function<void()> Click;
};

// A command button (CommandButton) with its Click.
class CommandButton : public ui::VbControl<QPushButton> {
 public:
  CommandButton(QWidget* parent, std::string_view caption);
  std::function<void()> Click;
};

// The up/down arrows (UpDown): UpClick and DownClick.
class UpDown : public QWidget {
 public:
  explicit UpDown(QWidget* parent);
  void SetToolTipText(std::string_view cp1252);
  std::function<void()> UpClick;
  std::function<void()> DownClick;
  QPushButton* Su;
  QPushButton* Giu;

 protected:
  void resizeEvent(QResizeEvent* event) override;
};

// QString of a Windows-1252 text and back.
QString Q(std::string_view cp1252);
std::string Cp(const QString& testo);

}  // namespace kyx::ui
