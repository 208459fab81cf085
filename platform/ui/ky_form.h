#pragma once
// The base of every form of the program. A form is a top-level window built in code with its
// controls as members; its placement is in twips of the outer frame, its inside (ScaleWidth,
// ScaleHeight) in pixels.
//
// Enabled is an input gate, not QWidget::setEnabled: a form whose Enabled is false keeps its look
// (nothing is dimmed) but every mouse, wheel and key input aimed at it or at its controls is
// swallowed. Presses and releases still reach the form's MouseHook, which is how the main window
// closes its pop-ups when the user presses on it while a pop-up has it disabled.
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QEventLoop;

namespace kyx::ui {

// Show styles.
inline constexpr int vbModeless = 0;
inline constexpr int vbModal = 1;
// Window states.
inline constexpr int vbNormal = 0;
inline constexpr int vbMinimized = 1;
inline constexpr int vbMaximized = 2;
// Unload modes (UnloadMode argument of Form_QueryUnload).
inline constexpr int vbFormControlMenu = 0;  // the user closed the window
inline constexpr int vbFormCode = 1;         // Unload from code
inline constexpr int vbAppWindows = 2;       // the session ends
inline constexpr int vbAppTaskManager = 3;

// A press or release seen on a form, gated or not (the main window's window-procedure hook).
struct FormMouse {
  bool press = true;    // false for a release
  int button = 0;       // vbLeftButton, vbRightButton, vbMiddleButton
  int shift = 0;        // vbShiftMask | vbCtrlMask | vbAltMask
  QPoint screen;        // pointer position in screen pixels
};

class KyForm : public QWidget {
 public:
  // `name` is the form's name as the system's code spells it ("frmBase"), Windows-1252.
  explicit KyForm(std::string_view name, QWidget* parent = nullptr);
  ~KyForm() override;
  KyForm(const KyForm&) = delete;
  KyForm& operator=(const KyForm&) = delete;

  const std::string& Name() const { return name_; }

  // Placement of the outer frame, in twips.
  double Left() const;
  double Top() const;
  double Width() const;
  double Height() const;
  void SetLeft(double twips);
  void SetTop(double twips);
  void SetWidth(double twips);
  void SetHeight(double twips);
  void Move(double left, double top, double width = -1, double height = -1);
  // The inside in pixels.
  int ScaleWidth() const { return width(); }
  int ScaleHeight() const { return height(); }

  std::string Caption() const;
  void SetCaption(std::string_view cp1252);
  int WindowState() const;
  void SetWindowState(int state);
  // Back colour as an OLE colour (system colours allowed).
  uint32_t BackColor() const { return back_colour_; }
  void SetBackColor(uint32_t ole);

  // A 32-bit handle that names the window for the system's code (stable for the form's life).
  int32_t hWnd() const { return hwnd_; }
  // The form with that handle, or nullptr.
  static KyForm* FromHwnd(int32_t hwnd);

  // The input gate (see above). Never dims the window.
  bool Enabled() const { return gate_open_; }
  void SetEnabled(bool enabled) { gate_open_ = enabled; }

  bool Visible() const { return isVisible(); }
  void SetVisible(bool v) { v ? Show() : Hide(); }
  // Loads the form when needed and shows it; vbModal runs a local message loop until the form
  // is hidden or unloaded, with the other windows blocked.
  void Show(int style = vbModeless);
  void Hide();
  // Runs Form_Load once (the form's global instance calls it right after construction).
  void Load();
  bool Loaded() const { return loaded_; }
  // Asks Form_QueryUnload and Form_Unload, either of which may cancel; then hides the form and
  // releases its global instance (the object is deleted later, outside the running handler).
  // Returns false when cancelled.
  bool Unload(int unload_mode = vbFormCode);

  int MousePointer() const { return pointer_; }
  void SetMousePointer(int shape);
  void SetFocus();
  void ZOrder(int position = 0);
  void Refresh() { repaint(); }

  // When set, Form_KeyDown sees every key of the form before its controls; setting KeyCode to 0
  // there keeps the key from the control.
  bool KeyPreview() const { return key_preview_; }
  void SetKeyPreview(bool v) { key_preview_ = v; }

  // Outer size limits: at least min_twips (turned into pixels, rounded half to even), at most
  // max_px pixels; 0 leaves a bound free.
  void SetSizeLimits(double min_width_twips, double min_height_twips, int max_width_px,
                     int max_height_px);

  // Called on every mouse press and release on the form or its controls, whether or not the gate
  // is open, before the control sees it. A double click is not a press here.
  std::function<void(KyForm& form, const FormMouse& mouse)> MouseHook;
  // Called on a wheel turn over the open form with the wheel's key flags, notches and screen
  // position; returning true keeps the turn from the control under the pointer.
  std::function<bool(int keys, int notches, int x, int y)> WheelHook;
  // Program-wide: called with the active form when F1 is pressed in any open form (context help).
  static std::function<void(KyForm& active)>& HelpHook();

  // The active form (the one with the keyboard focus), or nullptr.
  static KyForm* ActiveForm();
  // The loaded forms, in the order they were loaded (the Forms collection).
  static std::vector<KyForm*> Forms();

  // Events of the form, overridden by each form.
  virtual void Form_Load() {}
  virtual void Form_Activate() {}
  virtual void Form_Resize() {}
  virtual void Form_QueryUnload(int16_t& Cancel, int UnloadMode) {
    (void)Cancel;
    (void)UnloadMode;
  }
  virtual void Form_Unload(int16_t& Cancel) { (void)Cancel; }
  virtual void Form_KeyDown(int& KeyCode, int Shift) {
    (void)KeyCode;
    (void)Shift;
  }

  // Set by the global instance: called once when the form is unloaded or destroyed.
  std::function<void()> on_released;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool event(QEvent* event) override;

 private:
  friend class InputGate;
  void apply_size_limits();
  void release();

  std::string name_;
  int32_t hwnd_;
  bool gate_open_ = true;
  bool loaded_ = false;
  bool unloading_ = false;
  bool key_preview_ = false;
  int pointer_ = 0;
  uint32_t back_colour_ = 0x8000000F;
  double min_w_twips_ = 0, min_h_twips_ = 0;
  int max_w_px_ = 0, max_h_px_ = 0;
  QEventLoop* modal_loop_ = nullptr;
};

}  // namespace kyx::ui
