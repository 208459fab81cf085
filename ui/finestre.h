#pragma once
// Window helpers shared by the main window, the dialogs and the pop-ups: the dialog frame style,
// the four-line frames, the class background and the OLE colour translation.
#include <QBrush>
#include <QWidget>
#include <cstdint>

namespace kyx::ui {
class LineControl;
}

namespace kyx {

// Initialises the common controls. Qt's widgets need no set-up, so this only answers true (no
// error); the start-up ignores the result in any case.
bool XPStyle_Inizializza();

// Turns a window into a dialog-like window: no minimise and maximise boxes, a context-help box,
// the frame redrawn in place (the window keeps its place, size, order and visibility). A handle
// that names no form is ignored.
void Imposta_Finestra_Dialogo(int32_t hWnd);

// A rectangle of four lines in the container's scale: Linea1 the top edge (Left, Top)-(R, Top),
// Linea2 the right edge (R, Top)-(R, B), Linea4 the left edge (Left, Top)-(Left, B - 1), Linea3
// the bottom edge (Left, B - 1)-(R, B - 1), with R = Left + Width and B = Top + Height. The
// bottom and left edges stop one unit above B, as the system draws them.
void Posiziona_Cornice(double Left, double Top, double Width, double Height, ui::LineControl& Linea1,
                       ui::LineControl& Linea2, ui::LineControl& Linea3, ui::LineControl& Linea4);

// The plain RGB value of an OLE colour (system colours resolved) with palette `Palette` (0 =
// none). A value the translation refuses (a palette index without a palette, a system colour
// index beyond the table, an unknown high byte) gives 65535 (&H0000FFFF), not -1.
int32_t Traduci_Colore(int32_t Colore, int16_t Palette = 0);

// A solid brush of the colour Traduci_Colore gives for `Colore` with palette 0.
QBrush Crea_Pennello(int32_t Colore);

// Gives a window (and the widgets of its kind drawn on it) a new background of `Colore` and
// repaints it. The window handle form is for forms; controls are passed as widgets.
void Imposta_Sfondo_Finestra(int32_t hWnd, int32_t Colore);
void Imposta_Sfondo_Finestra(QWidget& Finestra, int32_t Colore);

}  // namespace kyx
