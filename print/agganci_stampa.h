#pragma once
// What the print run reads of the main window, which lies above it. The main window fills these
// slots when the program starts (ui/installa_stampa.h); tests fill them with their own values.
#include <cstdint>
#include <functional>
#include <string>

#include <QImage>

namespace kyx::agganci_stampa {

// The main window's handle (owner of the printer set-up).
extern std::function<int32_t()> hWnd_Base;
// Caption of the main window's title label lbl_twE(0): the grid's title in the page header.
extern std::function<std::string()> Titolo_Griglia;
// Before (true) and after (false) the chart is captured: the main window hides or shows its
// decoding panel, moves the focus away from the chart, and lets its messages run once, keeping
// its enabled state.
extern std::function<void(bool Inizio)> Prepara_Grafico;
// The chart window's picture, its client area in pixels (a null image when there is no chart).
extern std::function<QImage()> Immagine_Grafico;

// Empties every slot.
void reset();

}  // namespace kyx::agganci_stampa
