#include "platform/ui/qt_dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFont>
#include <QFontDialog>

#include "platform/ui/simple_controls.h"

namespace kyx::ui {

QtDialogs::~QtDialogs() {
  if (installed_) kyx::host::set_dialogs(previous_);
}

void QtDialogs::install() {
  if (installed_) return;
  previous_ = kyx::host::set_dialogs(this);
  installed_ = true;
}

bool QtDialogs::ShowColor(uint32_t& colour, int flags) {
  // &HBBGGRR, as the colour dialog takes and gives it.
  const QColor start(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                     static_cast<int>((colour >> 16) & 0xFF));
  // Qt's dialog always shows its custom colours; the start colour is the given one when asked.
  const QColor chosen = QColorDialog::getColor((flags & kyx::host::cdlCCRGBInit) ? start : QColor(Qt::black),
                                               QApplication::activeWindow());
  if (!chosen.isValid()) return false;
  colour = static_cast<uint32_t>(chosen.red()) | (static_cast<uint32_t>(chosen.green()) << 8) |
           (static_cast<uint32_t>(chosen.blue()) << 16);
  return true;
}

bool QtDialogs::ShowFont(kyx::host::FontChoice& font, int flags, std::string_view title) {
  (void)flags;  // every font Qt offers is a screen font with a Latin character set
  QFont start(Q(font.name));
  start.setBold(font.bold);
  start.setItalic(font.italic);
  if (font.size > 0) start.setPointSizeF(font.size);
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, start, QApplication::activeWindow(), Q(title));
  if (!ok) return false;
  font.name = Cp(chosen.family());
  font.bold = chosen.bold();
  font.italic = chosen.italic();
  font.size = chosen.pointSizeF();
  return true;
}

std::string QtDialogs::BrowseFolder(std::string_view title, std::string_view start) {
  const QString dir = QFileDialog::getExistingDirectory(
      QApplication::activeWindow(), Q(title), QFile::decodeName(QByteArray(start.data(), static_cast<qsizetype>(start.size()))),
      QFileDialog::ShowDirsOnly);
  if (dir.isEmpty()) return {};
  return QFile::encodeName(QDir::cleanPath(dir)).toStdString();
}

}  // namespace kyx::ui
