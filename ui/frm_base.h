#pragma once
// The main window frmBase: toolbar, status bar, the structure and key trees, the result grid and
// chart, the filter panel and the banner. One class over several files:
//   frm_base.cpp          the controls, built in code
//   frm_base_load.cpp     load, resize, keys, logo, banner, unload
//   frm_base_layout.cpp   Ridimensiona, the arrangement of every control
//   frm_base_toolbar.cpp  Esegui_Pulsante, the toolbar dispatcher and its actions
//   frm_base_bar.cpp      Imposta_Bar, the toolbar, status bar and caption state
//   frm_base_hit.cpp      the toolbars' own hit test and the Enter key of the filter boxes
//   frm_base_hook.cpp     the window procedure: size limits, closing pop-ups, wheel and help
//   frm_base_albero.cpp   the structure tree twL and its node click
//   frm_base_griglia.cpp  the result grid's events: presses, paging keys, scroll bars
//   frm_base_griglia_testata.cpp  the column header strip KyHead over the grid's row 0
//   frm_base_puntatore.cpp  the wheel and pointer routing and the layout-order button PicLayout
//   frm_base_barre.cpp    the splitter bars lblNS and lblWE
#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/ui/chart_control.h"
#include "platform/ui/control.h"
#include "platform/ui/flex_grid.h"
#include "platform/ui/form_instance.h"
#include "platform/ui/image_list.h"
#include "platform/ui/keyed_status_bar.h"
#include "platform/ui/keyed_toolbar.h"
#include "platform/ui/keyed_tree.h"
#include "platform/ui/ky_form.h"
#include "platform/ui/line_control.h"
#include "platform/ui/picture_canvas.h"
#include "platform/ui/progress_bar.h"
#include "platform/ui/vb_scroll_bar.h"
#include "platform/ui/vb_timer.h"
#include "platform/vb/vb.h"

namespace kyx {

// A label that reports a click (the logo).
class EtichettaCliccabile : public ui::VbControl<QLabel> {
 public:
  using ui::VbControl<QLabel>::VbControl;
  std::function<void()> Click;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

class FrmBase : public ui::KyForm {
 public:
  FrmBase();
  ~FrmBase() override;

  // ---- Public methods used across the program ----
  // Brings the toolbars, the status panels and the caption in line with the program state.
  void Imposta_Bar();
  // Places every control from the client size, the splitter ratios and the display state.
  void Ridimensiona();
  // Runs the command of a toolbar button inside the common frame (busy pointer, window gated,
  // panels emptied, elapsed seconds in "Progress"). `Tasto_Mouse` is the button of the release.
  void Esegui_Pulsante(ui::ToolbarButton& Pulsante, int Tasto_Mouse);

  // Marks the layout node Chiave of twL as the one shown (made visible, image "Esegui1", blue text;
  // the node marked before goes back to "Esegui" and window text) and makes it Nodo_Layout. A key
  // the tree lacks marks nothing; false then.
  bool Segna_Nodo_Layout(const std::string& Chiave);
  // Rebuilds the structure tree twL from STRUTTURA in the order Ordinamento_Layout.
  void Carica_Albero_Struttura();

  // ---- User's filter (frm_base_filtri.cpp, frm_base_albero_chiavi.cpp) ----
  // Runs one command on FILTRO ("K-", "T-", "E+", "P+", "P-", "E-", "E*"; any other does
  // nothing); Operatore 1 "=", 2 "N", 3 "D". Rebuilds twF when asked and something changed.
  void Carica_Filtro_Modifica(int16_t Chiave, std::string Valore1, std::string Valore2, uint8_t Operatore,
                              const std::string& Comando, bool Aggiorna_Albero);
  // "+": adds the key's marker row when the key has no row; "-": removes its marker row.
  static void Carica_Filtro_Scrivi(int16_t Chiave, const std::string& Modo);
  // Rebuilds the key and filter tree twF from FILTRO, CHIAVI and AREE.
  void Carica_Albero_Chiavi();
  // Events of twF (frm_base_albero_chiavi_eventi.cpp): the press records its button, which the
  // node click that follows reads; filtered keys cannot be collapsed.
  void twF_MouseDown(int Button, int Shift, float X, float Y);
  void twF_NodeClick(ui::TreeNode& Node);
  void twF_Collapse(ui::TreeNode& Node);
  // Sets the filter panel: operator (button picture and layout when it or the read-only state
  // changes), the two values shown through the listed key's format, and the panel's title.
  void Imposta_Filtro_Tipo(uint8_t& Operatore, std::string& Valore1, std::string& Valore2, std::string& Titolo);
  // Mouse button of the last press on twF.
  int Pulsante_twF = 0;

  // ---- Filter date picker (frm_base_calendario.cpp) ----
  // A press on the date button beside value box Index opens MonthView1 under the box, or closes
  // it when it is shown; the release draws the button up again.
  void Flt_Data_pic_MouseDown(int Index, int Button, int Shift, float X, float Y);
  void Flt_Data_pic_MouseUp(int Index, int Button, int Shift, float X, float Y);
  // Enter (13) writes the selected date into the box in the key's format and focuses the box.
  void MonthView1_KeyDown(int& KeyCode, int Shift);
  // A clicked date: as Enter on it.
  void MonthView1_DateClick(const vb::DateTime& Giorno);
  // Hides the calendar without writing.
  void MonthView1_LostFocus();
  // Value box the calendar was opened for; -1 once it closed.
  int16_t Calendario_Indice = -1;
  // The calendar's watch on the application's focus changes: cut when the window goes, before
  // its parts do (the focus moves while the children are deleted).
  QMetaObject::Connection Calendario_Fuoco;

  // ---- Events ----
  void Form_Load() override;
  // A click on a node of twL: a layout node opens the levels dialog (Carica_da_TW).
  void twL_NodeClick(ui::TreeNode& Node);
  void Form_Resize() override;
  void Form_KeyDown(int& KeyCode, int Shift) override;
  void Form_Unload(int16_t& Cancel) override;
  // Character keys of the main window (Ctrl+A 1, Ctrl+D 4, Ctrl+N 14, Ctrl+P 16, Ctrl+S 19, Esc 27).
  void Form_KeyPress(int& KeyAscii);
  void Image1_Click();
  void TimerBeta_Timer();
  // Toolbar hit test, the same three handlers for both toolbars (X and Y in twips).
  void Toolbar_MouseDown(ui::KeyedToolbar& Barra, int Button, int Shift, float X, float Y);
  void Toolbar_MouseMove(ui::KeyedToolbar& Barra, int Button, int Shift, float X, float Y);
  void Toolbar_MouseUp(ui::KeyedToolbar& Barra, int Button, int Shift, float X, float Y);
  // Enter in a filter box: to the range box, or the command "P+".
  void Flt_txt_KeyPress(int Index, int& KeyAscii);

  // ---- Window procedure (frm_base_hook.cpp) ----
  // Installs the hook: size limits, the press that closes pop-ups, wheel and context help.
  void Hook_Imposta();
  // Removes it; nothing when it is not installed.
  void Hook_Rimuovi();
  // A press or release anywhere on the main window, gated or not.
  void Hook_Mouse(const ui::FormMouse& Mouse);
  // F1 in any form of the program: the help-map rows of the active form.
  static void Hook_Aiuto(ui::KyForm& Attiva);
  // The size limits of a size request in pixels: at least 9450 x 6000 twips, at most 10000 pixels.
  static void Limita_Dimensioni(int32_t& cx, int32_t& cy);

  // ---- Context-help map (frm_base_mappa.cpp) ----
  // Rebuilds the main window's rows 71 .. 96 of Mappa_Aiuto from the window as laid out now.
  void Ridimensiona_Mappa();
  // One toolbar band: left := the running right edge, the running right edge := the right edge
  // of toolbar button `Pulsante`, and row `Riga` written from left, by, right, A and `Argomento`.
  void Ridimensiona_Mappa_(int32_t& bx, int32_t& by, int32_t& Sinistra, int32_t& Destra, int32_t& A,
                           int16_t& Pulsante, int16_t& Riga, std::string& Argomento);

  // ---- Wheel, pointer and the layout-order button (frm_base_puntatore.cpp) ----
  // A wheel turn (key and button flags, notches away from the user, screen pixels): a tree under
  // the pointer gets the focus and scrolls itself; over the result area the grid or the chart gets
  // it and its scroll bar moves by the notches when it stays in range.
  void xMouseWheel(int32_t Tasti, int32_t Scatti, int32_t X, int32_t Y);
  // A pointer move on the window's surface (screen pixels) outside PicLayout ends its highlight.
  void xMouseMove(int32_t X, int32_t Y);
  // The scroll bar a wheel turn at screen point (X, Y) is for: nullptr over the trees (they scroll
  // themselves) and where the turn is for nothing.
  ui::VbScrollBar* Barra_Rotella(int32_t Tasti, int32_t X, int32_t Y) const;
  // Draws PicLayout in look Stato (0 plain, 1 raised, 2 sunken) with the triangle of
  // Ordinamento_Layout; nothing when Stato is the look it has already.
  void Pic_Layout_Set(int16_t Stato);
  void PicLayout_MouseDown(int Button, int Shift, float X, float Y);
  void PicLayout_MouseMove(int Button, int Shift, float X, float Y);
  // The release switches the order of the structure tree and rebuilds it.
  void PicLayout_MouseUp(int Button, int Shift, float X, float Y);

  // ---- Splitter bars (frm_base_barre.cpp) ----
  void lblNS_MouseDown(int Button, int Shift, float X, float Y);
  void lblNS_MouseMove(int Button, int Shift, float X, float Y);
  void lblNS_MouseUp(int Button, int Shift, float X, float Y);
  void lblWE_MouseDown(int Button, int Shift, float X, float Y);
  void lblWE_MouseMove(int Button, int Shift, float X, float Y);
  void lblWE_MouseUp(int Button, int Shift, float X, float Y);

  // ---- Controls ----
  ui::KeyedToolbar* Toolbar1;
  ui::KeyedStatusBar* StatusBar1;
  ui::ProgressBar* ProgressBar1;
  ui::ImageList ImageList1;
  EtichettaCliccabile* Image1;
  QPixmap Image2;  // the logo of the flat look
  ui::KeyedTree* twL;
  ui::KeyedTree* twF;
  std::array<ui::VbControl<QLabel>*, 2> lbl_twL, lbl_twF, lbl_twE;
  std::array<ui::LineControl*, 8> L_twL, L_twF, L_twE;
  ui::PictureCanvas* lblNS;
  ui::PictureCanvas* lblWE;
  ui::PictureCanvas* PicLayout;
  ui::FlexGrid* Grid1;
  ui::VbScrollBar* Scroll_V;
  ui::VbScrollBar* Scroll_O;
  ui::PictureCanvas* Beta;
  ui::VbControl<QLabel>* lblBeta;
  ui::VbTimer TimerBeta;
  ui::Chart* Grafico;
  ui::VbScrollBar* Scroll_G;
  ui::PictureCanvas* pnlDecod;
  ui::VbControl<QLabel>* lblX;
  ui::VbControl<QLabel>* lblXDec;
  ui::VbControl<QLabel>* lblY;
  ui::VbControl<QLabel>* lblZ;
  std::array<ui::LineControl*, 4> L_Grd;
  std::array<ui::LineControl*, 4> L_Flt;
  ui::KeyedToolbar* Flt_Toolbar;
  std::array<ui::PictureCanvas*, 4> Flt_Pic;
  std::array<ui::VbControl<QLineEdit>*, 2> Flt_txt;
  std::array<ui::PictureCanvas*, 2> Flt_Data_pic;
  ui::VbControl<QCalendarWidget>* MonthView1;

  // ---- Chart events (frm_base_grafico.cpp) ----
  // Hands the chart's controls to the chart display and connects their events.
  void Collega_Grafico();
  // Pointer moved: decodes the element under it into the decode panel (X and Y in pixels).
  void Grafico_MouseMove(int Button, int Shift, float X, float Y);
  // Press: the left button sorts by a series or the category, another recolours a series.
  void Grafico_MouseDown(int Button, int Shift, float X, float Y);
  // Click: the decoded element to the filter panel, and the drill in the drilling mouse modes.
  void Grafico_Click();
  void Scroll_G_Change();

  // Pointer position of the last toolbar event, in pixels.
  float Mouse_X = 0;
  float Mouse_Y = 0;

  // ---- Result grid and its header strip (frm_base_griglia*.cpp) ----
  // A press on a grid cell: highlight, then card, filter or drill-down by button and mouse mode.
  void Grid1_MouseDown(int Button, int Shift, float X, float Y);
  // Page Up / Page Down released on the grid: pages through the records.
  void Grid1_KeyUp(int& KeyCode, int Shift);
  // A change or drag of either scroll bar: the page at the bars' values.
  void Scroll_V_Change();
  // The header strip's constants and the drop-down glyphs of the filter date button.
  void KyHead_Initialize();
  // Repaints the header strip from the grid's current columns.
  void KyHead_Aggiorna();
  // The strip's mouse: border hover and drag, auto-fit, sort and column menu (X, Y in pixels).
  void KyHead_MouseDown(int Button, int Shift, float X, float Y);
  void KyHead_MouseMove(int Button, int Shift, float X, float Y);
  void KyHead_MouseUp(int Button, int Shift, float X, float Y);
  ui::PictureCanvas* KyHead = nullptr;
  ui::PictureCanvas* KyHead_Asta = nullptr;
  ui::VbControl<QLabel>* KyHead_Sizer = nullptr;
  std::array<ui::PictureCanvas*, 2> picRicerca{};

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Pointer moves on the window's own surface go to xMouseMove while the layout picture is lit.
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void Crea_Controlli();
  // Connects the date buttons and the calendar's click, Enter and loss of focus.
  void Collega_Calendario();
  // Enter pressed anywhere inside the calendar: its key-down; true when handled.
  bool Calendario_Tasto(QObject* watched, QEvent* event);
  void Crea_Toolbar();
  void Crea_StatusBar();
  void Crea_Griglia();
  // Connects PicLayout and the two splitter bars to their handlers.
  void Collega_Puntatore();
  void Disegna_Logo();
  bool Sul_Pulsante(ui::ToolbarButton& Pulsante) const;
  void Azione(const std::string& Chiave, int Tasto_Mouse);
  void Azione_Server();
  void Azione_Storico(int16_t Passo);
  void Azione_Elabora();
  void Azione_FiltroTipo(int Tasto_Mouse);
  void Chiama_Filtro(const std::string& Comando);

  // Whether Imposta_Bar has given the buttons their fixed pictures.
  bool Immagini_Assegnate = false;
  // The drag of a splitter bar: cursor minus the bar's position at the press, and the cursor
  // coordinates at or beyond which the bar stops following (one drag at a time).
  float Barra_Scarto = 0;
  float Barra_Minimo = 0;
  float Barra_Massimo = 0;
};

inline ui::FormInstance<FrmBase> frmBase;

}  // namespace kyx
