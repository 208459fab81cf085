#pragma once
// A status bar of panels addressed by key ("Utente", "Ambiente", "Progress", "Numero", "Stato",
// "Data", "Ora") or 1-based index, painted here. Date and time panels show the current date and
// time by themselves. Docked to the bottom edge of its container by default (Align 2), it follows
// the container's size; with Align 0 the form places it.
#include <QTimer>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/control.h"

namespace kyx::ui {

class KeyedStatusBar;

// Panel styles.
inline constexpr int sbrText = 0;
inline constexpr int sbrTime = 5;
inline constexpr int sbrDate = 6;
// Panel alignments.
inline constexpr int sbrLeft = 0;
inline constexpr int sbrCenter = 1;
inline constexpr int sbrRight = 2;
// Panel sizing: fixed width, share of the space left over, or as wide as its text.
inline constexpr int sbrNoAutoSize = 0;
inline constexpr int sbrSpring = 1;
inline constexpr int sbrContents = 2;
// Align values.
inline constexpr int vbAlignNone = 0;
inline constexpr int vbAlignBottom = 2;

class StatusPanel {
 public:
  const std::string& Key() const { return key_; }
  int Index() const { return index_; }
  // Text in Windows-1252. Date and time panels show the clock whatever their text.
  const std::string& Text() const { return text_; }
  void SetText(std::string_view cp1252);
  // Width in pixels (the least width for spring and contents panels).
  int Width() const { return width_; }
  void SetWidth(int px);
  int Alignment() const { return alignment_; }
  void SetAlignment(int a);
  int AutoSize() const { return autosize_; }
  void SetAutoSize(int a);
  int Style() const { return style_; }
  void SetStyle(int s);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  const std::string& ToolTipText() const { return tooltip_; }
  void SetToolTipText(std::string_view cp1252) { tooltip_ = std::string(cp1252); }
  // Left edge and width as laid out, in the bar's pixels.
  int Left() const { return left_; }
  int ShownWidth() const { return shown_width_; }
  // What the panel shows now (the clock for date and time panels), Windows-1252.
  std::string ShownText() const;

 private:
  friend class KeyedStatusBar;
  KeyedStatusBar* bar_ = nullptr;
  std::string key_, text_, tooltip_;
  int index_ = 0, width_ = 96, alignment_ = sbrLeft, autosize_ = sbrNoAutoSize, style_ = sbrText;
  bool visible_ = true;
  int left_ = 0, shown_width_ = 0;
};

class KeyedStatusBar : public VbControl<QWidget> {
 public:
  explicit KeyedStatusBar(QWidget* parent = nullptr);

  // Panels.Add; a duplicate key is refused with KeyError.
  StatusPanel& Add(std::string_view key, std::string_view text = {}, int style = sbrText);
  // Panels(key) / Panels(index); KeyError when there is no such panel.
  StatusPanel& Panels(std::string_view key);
  StatusPanel& Panels(int index);
  bool Exists(std::string_view key) const;
  int Count() const { return static_cast<int>(panels_.size()); }

  int Align() const { return align_; }
  void SetAlign(int align);

  // The panel under a point in pixels, or nullptr.
  StatusPanel* PanelAt(QPoint p);

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  bool event(QEvent*) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class StatusPanel;
  void relayout();
  void dock();

  std::vector<std::unique_ptr<StatusPanel>> panels_;
  int align_ = vbAlignBottom;
  QTimer clock_;
};

}  // namespace kyx::ui
