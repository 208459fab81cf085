#include "platform/ui/application.h"

#include <QImage>
#include <QLibraryInfo>
#include <QLocale>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>
#include <QTranslator>
#include <cstdio>

#include "platform/ui/colours.h"

namespace kyx::ui {

QTranslator* install_italian_translations(QCoreApplication& app) {
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  auto* translator = new QTranslator(&app);
  if (!translator->load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"), QStringLiteral("_"),
                        folder)) {
    delete translator;
    std::fprintf(stderr, "Kyx: Qt's Italian translations (qtbase_it.qm) are not installed in %s\n",
                 folder.toLocal8Bit().constData());
    return nullptr;
  }
  app.installTranslator(translator);
  return translator;
}

QImage program_icon_image(int size) {
  // A rounded blue tile with three rising bars and a trend line: business statistics.
  QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.scale(size / 64.0, size / 64.0);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(24, 78, 160));
  p.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);
  p.setBrush(QColor(250, 250, 250));
  p.drawRect(QRectF(12, 38, 10, 16));
  p.drawRect(QRectF(27, 28, 10, 26));
  p.drawRect(QRectF(42, 18, 10, 36));
  p.setPen(QPen(QColor(250, 200, 40), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(QPolygonF({QPointF(10, 30), QPointF(25, 20), QPointF(35, 24), QPointF(54, 9)}));
  return img;
}

QIcon program_icon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(QPixmap::fromImage(program_icon_image(size)));
  return icon;
}

void prepare_application(QApplication& app) {
  install_palette_colours();
  install_italian_translations(app);
  app.setWindowIcon(program_icon());
}

}  // namespace kyx::ui
