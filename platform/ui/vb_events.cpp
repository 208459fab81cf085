#include "platform/ui/vb_events.h"

#include <QKeyEvent>

#include "platform/ui/units.h"

namespace kyx::ui {

int vb_button(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton: return vbLeftButton;
    case Qt::RightButton: return vbRightButton;
    case Qt::MiddleButton: return vbMiddleButton;
    default: return 0;
  }
}

int vb_buttons(Qt::MouseButtons buttons) {
  int b = 0;
  if (buttons & Qt::LeftButton) b |= vbLeftButton;
  if (buttons & Qt::RightButton) b |= vbRightButton;
  if (buttons & Qt::MiddleButton) b |= vbMiddleButton;
  return b;
}

int vb_shift(Qt::KeyboardModifiers m) {
  int s = 0;
  if (m & Qt::ShiftModifier) s |= vbShiftMask;
  if (m & Qt::ControlModifier) s |= vbCtrlMask;
  if (m & Qt::AltModifier) s |= vbAltMask;
  return s;
}

int vb_key_code(int key, bool keypad) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return vbKeyA + (key - Qt::Key_A);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) {
    return (keypad ? vbKeyNumpad0 : vbKey0) + (key - Qt::Key_0);
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F16) return vbKeyF1 + (key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Backspace: return vbKeyBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return vbKeyTab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return vbKeyReturn;
    case Qt::Key_Shift: return vbKeyShift;
    case Qt::Key_Control: return vbKeyControl;
    case Qt::Key_Alt: return vbKeyMenu;
    case Qt::Key_Pause: return vbKeyPause;
    case Qt::Key_CapsLock: return vbKeyCapital;
    case Qt::Key_Escape: return vbKeyEscape;
    case Qt::Key_Space: return vbKeySpace;
    case Qt::Key_PageUp: return vbKeyPageUp;
    case Qt::Key_PageDown: return vbKeyPageDown;
    case Qt::Key_End: return vbKeyEnd;
    case Qt::Key_Home: return vbKeyHome;
    case Qt::Key_Left: return vbKeyLeft;
    case Qt::Key_Up: return vbKeyUp;
    case Qt::Key_Right: return vbKeyRight;
    case Qt::Key_Down: return vbKeyDown;
    case Qt::Key_Insert: return vbKeyInsert;
    case Qt::Key_Delete: return vbKeyDelete;
    case Qt::Key_Asterisk: return keypad ? vbKeyMultiply : 0;
    case Qt::Key_Plus: return keypad ? vbKeyAdd : 187;
    case Qt::Key_Minus: return keypad ? vbKeySubtract : 189;
    case Qt::Key_Period: return keypad ? vbKeyDecimal : 190;
    case Qt::Key_Slash: return keypad ? vbKeyDivide : 0;
    case Qt::Key_Comma: return 188;
    default: return 0;
  }
}

int vb_key_code(const QKeyEvent& e) {
  return vb_key_code(e.key(), (e.modifiers() & Qt::KeypadModifier) != 0);
}

int wheel_keys(Qt::MouseButtons buttons, Qt::KeyboardModifiers m) {
  int k = 0;
  if (buttons & Qt::LeftButton) k |= 1;
  if (buttons & Qt::RightButton) k |= 2;
  if (m & Qt::ShiftModifier) k |= 4;
  if (m & Qt::ControlModifier) k |= 8;
  if (buttons & Qt::MiddleButton) k |= 16;
  return k;
}

int wheel_notches(int delta) { return static_cast<int>(round_even(delta / 120.0)); }

}  // namespace kyx::ui
