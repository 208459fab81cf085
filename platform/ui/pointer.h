#pragma once
// Mouse pointer shapes by their BASIC numbers (MousePointer), and the cursor position in screen
// pixels (in place of GetCursorPos/SetCursorPos).
#include <QCursor>

namespace kyx::ui {

inline constexpr int vbDefault = 0;
inline constexpr int vbArrow = 1;
inline constexpr int vbCrosshair = 2;
inline constexpr int vbIbeam = 3;
inline constexpr int vbSizePointer = 5;
inline constexpr int vbSizeNESW = 6;
inline constexpr int vbSizeNS = 7;
inline constexpr int vbSizeNWSE = 8;
inline constexpr int vbSizeWE = 9;
inline constexpr int vbUpArrow = 10;
inline constexpr int vbHourglass = 11;
inline constexpr int vbNoDrop = 12;
inline constexpr int vbArrowHourglass = 13;
inline constexpr int vbArrowQuestion = 14;
inline constexpr int vbSizeAll = 15;
// The program's own pointer for context-help mode (an arrow with a question mark).
inline constexpr int vbCustom = 99;

// The cursor for a pointer number; unknown numbers give the arrow.
QCursor qt_cursor(int shape);
// The context-help pointer, drawn here (an arrow with a question mark beside it).
QCursor help_cursor();

// Cursor position in screen pixels.
void GetCursorPos(int& x, int& y);
void SetCursorPos(int x, int y);

}  // namespace kyx::ui
