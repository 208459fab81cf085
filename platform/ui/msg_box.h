#pragma once
// Message boxes with the BASIC style bits: the button set (style & 7), the icon (style & 0x70)
// and the default button (style & 0x300), and the answers vbOK .. vbNo. The layout is worked out
// here, apart from showing the box, so that it can be checked without a modal window.
#include <QMessageBox>
#include <memory>
#include <string_view>
#include <vector>

namespace kyx::ui {

struct MsgBoxLayout {
  std::vector<int> answers;  // the buttons from left to right, as the answers they give
  int default_answer = 0;    // the button that Enter presses
  int escape_answer = 0;     // the answer when the box is closed with Esc; 0 = Esc does nothing
  QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// The layout for a style. An unknown button set is shown as OK alone; a default button beyond
// the buttons there are falls back to the first.
MsgBoxLayout msgbox_layout(int style);
// The Qt button for an answer, and the answer for a Qt button (0 for anything else).
QMessageBox::StandardButton standard_button(int answer);
int answer_of(QMessageBox::StandardButton button);
// A message box ready to run (text and title in Windows-1252); exec() returns a standard button
// that answer_of maps back.
std::unique_ptr<QMessageBox> build_message_box(std::string_view text, int style,
                                               std::string_view title, QWidget* parent = nullptr);

}  // namespace kyx::ui
