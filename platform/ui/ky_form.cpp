#include "platform/ui/ky_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QPointer>
#include <map>

#include "platform/text/cp1252.h"
#include "platform/ui/colours.h"
#include "platform/ui/input_gate.h"
#include "platform/ui/pointer.h"
#include "platform/ui/units.h"

namespace kyx::ui {
namespace {

std::map<int32_t, KyForm*>& by_handle() {
  static std::map<int32_t, KyForm*> m;
  return m;
}
std::vector<KyForm*>& loaded_forms() {
  static std::vector<KyForm*> v;
  return v;
}
int32_t next_handle() {
  // Handles look like window handles: even, non-zero, and never reused within a run.
  static int32_t next = 0x00010010;
  const int32_t h = next;
  next += 4;
  return h;
}
int px_x(double twips) { return twips_to_px_x(twips); }
int px_y(double twips) { return twips_to_px_y(twips); }

}  // namespace

KyForm::KyForm(std::string_view name, QWidget* parent)
    : QWidget(parent, Qt::Window), name_(name), hwnd_(next_handle()) {
  InputGate::ensure_installed();
  by_handle()[hwnd_] = this;
  setAttribute(Qt::WA_DeleteOnClose, false);
  setWindowTitle(QString::fromStdString(kyx::text::to_utf8(name_)));
  SetBackColor(back_colour_);
}

KyForm::~KyForm() {
  by_handle().erase(hwnd_);
  auto& v = loaded_forms();
  std::erase(v, this);
  if (modal_loop_) modal_loop_->quit();
  release();
}

void KyForm::release() {
  if (on_released) {
    auto f = std::move(on_released);
    on_released = nullptr;
    f();
  }
}

double KyForm::Left() const { return frameGeometry().x() * Twips_Pixel_X(); }
double KyForm::Top() const { return frameGeometry().y() * Twips_Pixel_Y(); }
double KyForm::Width() const { return frameGeometry().width() * Twips_Pixel_X(); }
double KyForm::Height() const { return frameGeometry().height() * Twips_Pixel_Y(); }

void KyForm::SetLeft(double t) { move(px_x(t), frameGeometry().y()); }
void KyForm::SetTop(double t) { move(frameGeometry().x(), px_y(t)); }
void KyForm::SetWidth(double t) {
  const int frame = frameGeometry().width() - width();
  resize(std::max(0, px_x(t) - frame), height());
}
void KyForm::SetHeight(double t) {
  const int frame = frameGeometry().height() - height();
  resize(width(), std::max(0, px_y(t) - frame));
}
void KyForm::Move(double left, double top, double w, double h) {
  move(px_x(left), px_y(top));
  if (w >= 0) SetWidth(w);
  if (h >= 0) SetHeight(h);
}

std::string KyForm::Caption() const { return kyx::text::from_utf8(windowTitle().toStdString()); }
void KyForm::SetCaption(std::string_view c) {
  setWindowTitle(QString::fromStdString(kyx::text::to_utf8(c)));
}

int KyForm::WindowState() const {
  const Qt::WindowStates s = windowState();
  if (s & Qt::WindowMinimized) return vbMinimized;
  if (s & Qt::WindowMaximized) return vbMaximized;
  return vbNormal;
}
void KyForm::SetWindowState(int state) {
  switch (state) {
    case vbMinimized: setWindowState(Qt::WindowMinimized); break;
    case vbMaximized: setWindowState(Qt::WindowMaximized); break;
    default: setWindowState(Qt::WindowNoState); break;
  }
}

void KyForm::SetBackColor(uint32_t ole) {
  back_colour_ = ole;
  QPalette pal = palette();
  pal.setColor(QPalette::Window, ole_to_qcolor(ole));
  setPalette(pal);
  setAutoFillBackground(true);
}

KyForm* KyForm::FromHwnd(int32_t h) {
  auto it = by_handle().find(h);
  return it == by_handle().end() ? nullptr : it->second;
}

std::function<void(KyForm&)>& KyForm::HelpHook() {
  static std::function<void(KyForm&)> hook;
  return hook;
}

KyForm* KyForm::ActiveForm() { return form_of(QApplication::activeWindow()); }

std::vector<KyForm*> KyForm::Forms() { return loaded_forms(); }

void KyForm::Load() {
  if (loaded_) return;
  loaded_ = true;
  loaded_forms().push_back(this);
  Form_Load();
}

void KyForm::Show(int style) {
  QPointer<KyForm> self(this);
  Load();
  if (!self) return;
  if (style == vbModal) setWindowModality(Qt::ApplicationModal);
  show();
  raise();
  activateWindow();
  if (style != vbModal) return;
  QEventLoop loop;
  modal_loop_ = &loop;
  loop.exec(QEventLoop::DialogExec);
  // The form may have been unloaded and deleted while the loop ran.
  if (!self) return;
  modal_loop_ = nullptr;
  setWindowModality(Qt::NonModal);
}

void KyForm::Hide() { hide(); }

bool KyForm::Unload(int unload_mode) {
  if (unloading_) return false;
  int16_t cancel = 0;
  unloading_ = true;
  QPointer<KyForm> self(this);
  Form_QueryUnload(cancel, unload_mode);
  if (self && cancel == 0) Form_Unload(cancel);
  if (!self) return true;
  unloading_ = false;
  if (cancel != 0) return false;
  hide();
  if (loaded_) {
    loaded_ = false;
    std::erase(loaded_forms(), this);
  }
  // The global instance forgets the form now; the object goes once the running handler is done.
  if (on_released) {
    release();
    deleteLater();
  }
  return true;
}

void KyForm::SetMousePointer(int shape) {
  pointer_ = shape;
  if (shape == 0) {
    unsetCursor();
  } else {
    setCursor(qt_cursor(shape));
  }
}

void KyForm::SetFocus() {
  activateWindow();
  setFocus(Qt::OtherFocusReason);
}

void KyForm::ZOrder(int position) {
  if (position == 0) {
    raise();
  } else {
    lower();
  }
}

void KyForm::SetSizeLimits(double min_w, double min_h, int max_w, int max_h) {
  min_w_twips_ = min_w;
  min_h_twips_ = min_h;
  max_w_px_ = max_w;
  max_h_px_ = max_h;
  apply_size_limits();
}

void KyForm::apply_size_limits() {
  // The limits are for the outer frame; Qt's are for the inside, so the frame is taken off.
  const int fw = frameGeometry().width() - width();
  const int fh = frameGeometry().height() - height();
  const int min_w = min_w_twips_ > 0 ? px_x(min_w_twips_) - fw : 0;
  const int min_h = min_h_twips_ > 0 ? px_y(min_h_twips_) - fh : 0;
  setMinimumSize(std::max(0, min_w), std::max(0, min_h));
  setMaximumSize(max_w_px_ > 0 ? std::max(0, max_w_px_ - fw) : QWIDGETSIZE_MAX,
                 max_h_px_ > 0 ? std::max(0, max_h_px_ - fh) : QWIDGETSIZE_MAX);
}

void KyForm::closeEvent(QCloseEvent* e) {
  // Closing from the window's frame is an unload the form may refuse.
  if (unloading_ || !loaded_) {
    e->accept();
    return;
  }
  if (Unload(vbFormControlMenu)) {
    e->accept();
  } else {
    e->ignore();
  }
}

void KyForm::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  Form_Resize();
}

void KyForm::hideEvent(QHideEvent* e) {
  QWidget::hideEvent(e);
  if (modal_loop_) modal_loop_->quit();
}

void KyForm::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  if (min_w_twips_ > 0 || min_h_twips_ > 0 || max_w_px_ > 0 || max_h_px_ > 0) {
    apply_size_limits();
  }
}

bool KyForm::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) Form_Activate();
  return QWidget::event(e);
}

}  // namespace kyx::ui
