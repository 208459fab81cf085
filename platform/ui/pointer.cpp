#include "platform/ui/pointer.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kyx::ui {

QCursor help_cursor() {
  QPixmap pm(32, 32);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing, false);
  QPainterPath arrow;
  arrow.moveTo(0, 0);
  arrow.lineTo(0, 16);
  arrow.lineTo(4, 12);
  arrow.lineTo(7, 18);
  arrow.lineTo(9, 17);
  arrow.lineTo(6, 11);
  arrow.lineTo(11, 11);
  arrow.closeSubpath();
  p.setPen(Qt::black);
  p.setBrush(Qt::white);
  p.drawPath(arrow);
  QFont f;
  f.setPixelSize(13);
  f.setBold(true);
  p.setFont(f);
  p.setPen(Qt::black);
  p.drawText(QRect(13, 0, 12, 16), Qt::AlignCenter, QStringLiteral("?"));
  p.end();
  return QCursor(pm, 0, 0);
}

QCursor qt_cursor(int shape) {
  switch (shape) {
    case vbCrosshair: return QCursor(Qt::CrossCursor);
    case vbIbeam: return QCursor(Qt::IBeamCursor);
    case vbSizePointer:
    case vbSizeAll: return QCursor(Qt::SizeAllCursor);
    case vbSizeNESW: return QCursor(Qt::SizeBDiagCursor);
    case vbSizeNS: return QCursor(Qt::SizeVerCursor);
    case vbSizeNWSE: return QCursor(Qt::SizeFDiagCursor);
    case vbSizeWE: return QCursor(Qt::SizeHorCursor);
    case vbUpArrow: return QCursor(Qt::UpArrowCursor);
    case vbHourglass: return QCursor(Qt::WaitCursor);
    case vbNoDrop: return QCursor(Qt::ForbiddenCursor);
    case vbArrowHourglass: return QCursor(Qt::BusyCursor);
    case vbArrowQuestion: return QCursor(Qt::WhatsThisCursor);
    case vbCustom: return help_cursor();
    default: return QCursor(Qt::ArrowCursor);
  }
}

void GetCursorPos(int& x, int& y) {
  const QPoint p = QCursor::pos();
  x = p.x();
  y = p.y();
}

void SetCursorPos(int x, int y) { QCursor::setPos(x, y); }

}  // namespace kyx::ui
