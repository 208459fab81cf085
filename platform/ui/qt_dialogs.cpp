#include "platform/ui/qt_dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFont>
#include <QFileInfo>
#include <QFontDialog>
#include <QStringList>

#include "platform/files/files.h"
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

namespace {

// "Description|pattern|Description|pattern" as Qt's name filters "Description (pattern)", with
// the first extension of each pattern (".txt" of "*.txt"; "" for "*.*" or none).
void Filtri_Qt(const std::string& filter, QStringList& names, QStringList& extensions) {
  const QStringList parts = Q(filter).split('|');
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString pattern = parts[i + 1];
    names << (parts[i].contains('(') ? parts[i] : parts[i] + " (" + pattern + ")");
    QString ext = pattern.section(';', 0, 0).trimmed();
    ext = ext.startsWith("*.") && ext != "*.*" ? ext.mid(1) : QString();
    extensions << ext;
  }
}

}  // namespace

bool QtDialogs::ShowSave(kyx::host::SaveDialog& dialog) {
  QFileDialog d(QApplication::activeWindow());
  d.setAcceptMode(QFileDialog::AcceptSave);
  d.setFileMode(QFileDialog::AnyFile);
  // The caller asks itself before replacing a file; the read-only box does not exist here.
  d.setOption(QFileDialog::DontConfirmOverwrite, true);
  d.setWindowTitle(dialog.DialogTitle.empty() ? QStringLiteral("Salva con nome") : Q(dialog.DialogTitle));
  QStringList names, extensions;
  Filtri_Qt(dialog.Filter, names, extensions);
  if (!names.isEmpty()) d.setNameFilters(names);
  const qsizetype start = dialog.FilterIndex - 1;
  if (start >= 0 && start < names.size()) d.selectNameFilter(names[start]);
  const std::string folder = kyx::files::native_path(dialog.InitDir);
  if (!folder.empty()) d.setDirectory(QFile::decodeName(QByteArray(folder.data(), static_cast<qsizetype>(folder.size()))));
  // A name that carries its folder opens on that folder (the file system's bytes); a bare name
  // is the system's text offered in the start folder.
  if (dialog.FileName.find('/') != std::string::npos) {
    const QFileInfo offerto(QFile::decodeName(QByteArray::fromStdString(dialog.FileName)));
    d.setDirectory(offerto.absolutePath());
    d.selectFile(offerto.fileName());
  } else {
    d.selectFile(Q(dialog.FileName));
  }
  if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return false;

  const qsizetype chosen = names.indexOf(d.selectedNameFilter());
  QString file = d.selectedFiles().first();
  // A name typed without an extension takes the chosen filter's (the format follows the filter).
  if (QFileInfo(file).suffix().isEmpty() && chosen >= 0 && !extensions[chosen].isEmpty()) {
    file += extensions[chosen];
  }
  dialog.FileName = QFile::encodeName(file).toStdString();
  if (chosen >= 0) dialog.FilterIndex = static_cast<int>(chosen + 1);
  return true;
}

}  // namespace kyx::ui
