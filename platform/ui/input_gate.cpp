#include "platform/ui/input_gate.h"

#include <QApplication>
#include <QInputEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "platform/ui/ky_form.h"
#include "platform/ui/vb_events.h"

namespace kyx::ui {

void InputGate::ensure_installed() {
  static InputGate* gate = nullptr;
  if (gate || !QCoreApplication::instance()) return;
  gate = new InputGate();
  gate->setParent(QCoreApplication::instance());
  QCoreApplication::instance()->installEventFilter(gate);
}

KyForm* form_of(QObject* object) {
  if (!object || !object->isWidgetType()) return nullptr;
  return dynamic_cast<KyForm*>(static_cast<QWidget*>(object)->window());
}

bool InputGate::seen_before(QObject* receiver, QEvent* event) {
  // Only the events the hooks act on are remembered: a flood of mouse moves pumped by a handler
  // must not push the event it is handling out of the list.
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::Wheel:
    case QEvent::KeyPress:
      break;
    default:
      return false;
  }
  const uint64_t stamp =
      event->isInputEvent() ? static_cast<const QInputEvent*>(event)->timestamp() : 0;
  if (receiver->isWidgetType()) {
    const auto* r = static_cast<QWidget*>(receiver);
    for (const Seen& s : seen_) {
      if (s.event != event || s.type != event->type() || s.timestamp != stamp || !s.receiver ||
          !s.receiver->isWidgetType()) {
        continue;
      }
      // The same event object going to an ancestor of a previous receiver is propagation.
      for (QWidget* w = static_cast<QWidget*>(s.receiver.data())->parentWidget(); w;
           w = w->parentWidget()) {
        if (w == r) return true;
      }
    }
  }
  Seen& slot = seen_[next_seen_];
  next_seen_ = (next_seen_ + 1) % seen_.size();
  slot.event = event;
  slot.type = event->type();
  slot.timestamp = stamp;
  slot.receiver = receiver;
  return false;
}

bool InputGate::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
    case QEvent::HoverLeave:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
      break;
    default:
      return false;
  }
  KyForm* form = form_of(watched);
  if (!form) return false;
  const bool again = seen_before(watched, event);
  const bool open = form->Enabled();

  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
      if (!again && form->MouseHook) {
        auto* me = static_cast<QMouseEvent*>(event);
        FormMouse m;
        m.press = event->type() == QEvent::MouseButtonPress;
        m.button = vb_button(me->button());
        m.shift = vb_shift(me->modifiers());
        m.screen = me->globalPosition().toPoint();
        // The hook may unload the form or open it again; keep a guard on it.
        QPointer<KyForm> guard(form);
        auto hook = form->MouseHook;
        hook(*form, m);
        if (!guard) return true;
        // The gate's state when the event arrived decides: a release that re-enables the form
        // from the hook does not reach a control that never saw the press.
        return !open;
      }
      break;
    case QEvent::Wheel:
      if (open && !again && form->WheelHook) {
        auto* we = static_cast<QWheelEvent*>(event);
        const QPoint g = we->globalPosition().toPoint();
        auto hook = form->WheelHook;
        if (hook(wheel_keys(we->buttons(), we->modifiers()), wheel_notches(we->angleDelta().y()),
                 g.x(), g.y())) {
          return true;
        }
      }
      break;
    case QEvent::ShortcutOverride:
      if (!open) {
        // Accepting the override keeps menu and window shortcuts from firing while gated.
        event->accept();
        return true;
      }
      break;
    case QEvent::KeyPress:
      if (open && !again) {
        auto* ke = static_cast<QKeyEvent*>(event);
        QPointer<KyForm> guard(form);
        if (form->KeyPreview()) {
          int code = vb_key_code(*ke);
          if (code != 0) {
            form->Form_KeyDown(code, vb_shift(ke->modifiers()));
            if (!guard) return true;
            if (code == 0) return true;
          }
        }
        if (ke->key() == Qt::Key_F1 && !ke->isAutoRepeat() && KyForm::HelpHook()) {
          KyForm* active = KyForm::ActiveForm();
          auto hook = KyForm::HelpHook();
          hook(active ? *active : *guard);
          if (!guard) return true;
        }
      }
      break;
    default:
      break;
  }
  return !open;
}

}  // namespace kyx::ui
