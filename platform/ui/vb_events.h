#pragma once
// Mouse buttons, shift state and key codes at the event boundary, in the numbers the system's
// event handlers test (vbLeftButton, vbShiftMask, vbKeyReturn, ...).
#include <Qt>

class QKeyEvent;

namespace kyx::ui {

// Mouse buttons (Button argument of MouseDown/MouseUp/MouseMove).
inline constexpr int vbLeftButton = 1;
inline constexpr int vbRightButton = 2;
inline constexpr int vbMiddleButton = 4;
// Shift state (Shift argument).
inline constexpr int vbShiftMask = 1;
inline constexpr int vbCtrlMask = 2;
inline constexpr int vbAltMask = 4;

// Key codes (KeyDown/KeyUp KeyCode argument). Letters are 65..90 and digits 48..57 (their
// upper-case character codes); the numeric pad's digits are 96..105.
inline constexpr int vbKeyBack = 8;
inline constexpr int vbKeyTab = 9;
inline constexpr int vbKeyReturn = 13;
inline constexpr int vbKeyShift = 16;
inline constexpr int vbKeyControl = 17;
inline constexpr int vbKeyMenu = 18;
inline constexpr int vbKeyPause = 19;
inline constexpr int vbKeyCapital = 20;
inline constexpr int vbKeyEscape = 27;
inline constexpr int vbKeySpace = 32;
inline constexpr int vbKeyPageUp = 33;
inline constexpr int vbKeyPageDown = 34;
inline constexpr int vbKeyEnd = 35;
inline constexpr int vbKeyHome = 36;
inline constexpr int vbKeyLeft = 37;
inline constexpr int vbKeyUp = 38;
inline constexpr int vbKeyRight = 39;
inline constexpr int vbKeyDown = 40;
inline constexpr int vbKeyInsert = 45;
inline constexpr int vbKeyDelete = 46;
inline constexpr int vbKey0 = 48;
inline constexpr int vbKeyA = 65;
inline constexpr int vbKeyNumpad0 = 96;
inline constexpr int vbKeyMultiply = 106;
inline constexpr int vbKeyAdd = 107;
inline constexpr int vbKeySubtract = 109;
inline constexpr int vbKeyDecimal = 110;
inline constexpr int vbKeyDivide = 111;
inline constexpr int vbKeyF1 = 112;  // F1..F16 are 112..127

// The button code of one Qt button (0 for any other).
int vb_button(Qt::MouseButton button);
// The sum of the codes of the buttons held.
int vb_buttons(Qt::MouseButtons buttons);
// The shift state of Qt's modifiers.
int vb_shift(Qt::KeyboardModifiers modifiers);
// The key code of a key event; 0 for a key that has none.
int vb_key_code(const QKeyEvent& event);
// The key code of a Qt key (numeric-pad digits need vb_key_code with the event's modifiers).
int vb_key_code(int qt_key, bool keypad = false);

// Wheel notifications as the window procedure reads them: the key and button flags (1 left
// button, 2 right button, 4 Shift, 8 Ctrl, 16 middle button) and the notches (+1 per notch away
// from the user, the delta over 120 rounded half to even).
int wheel_keys(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
int wheel_notches(int angle_delta);

}  // namespace kyx::ui
