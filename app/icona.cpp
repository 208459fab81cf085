// kyx_icona OUTPUT_FOLDER: writes the program icon as the hicolor theme wants it, one PNG per size
// (OUTPUT_FOLDER/<n>x<n>/apps/kyx.png), for the installation.
#include <QDir>
#include <QImage>
#include <cstdio>

#include "platform/ui/application.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: kyx_icona OUTPUT_FOLDER\n");
    return 2;
  }
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    const QString folder = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/%1x%1/apps").arg(size);
    if (!QDir().mkpath(folder) || !kyx::ui::program_icon_image(size).save(folder + QStringLiteral("/kyx.png"))) {
      std::fprintf(stderr, "kyx_icona: cannot write %s/kyx.png\n", folder.toLocal8Bit().constData());
      return 1;
    }
  }
  return 0;
}
