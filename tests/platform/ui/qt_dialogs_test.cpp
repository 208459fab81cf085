// The Qt common dialogs answered as a user would: the value they start on, and the value they
// hand back in the system's units (colours as &HBBGGRR, font names in Windows-1252, folders in
// the file system's bytes); Cancel changes nothing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QLineEdit>
#include <QTimer>
#include <functional>

#include "platform/files/files.h"
#include "platform/ui/qt_dialogs.h"
#include "tests/support/temp_dir.h"

namespace kyx::ui {
namespace {

// Runs `answer` on the modal dialog of type T as soon as it is open.
template <typename T>
void Answer(std::function<void(T&)> answer) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, answer] {
    if (auto* d = qobject_cast<T*>(QApplication::activeModalWidget())) {
      timer->stop();
      timer->deleteLater();
      answer(*d);
    }
  });
  timer->start();
}

class QtDialogsTest : public ::testing::Test {
 protected:
  QtDialogsTest() { dialogs.install(); }
  QtDialogs dialogs;
};

TEST_F(QtDialogsTest, ColourStartsOnTheGivenOneAndComesBackAsBgr) {
  QColor shown;
  Answer<QColorDialog>([&](QColorDialog& d) {
    shown = d.currentColor();
    d.setCurrentColor(QColor(0x12, 0x34, 0x56));
    d.accept();
  });
  uint32_t c = 0x0000FF;  // red
  ASSERT_TRUE(host::dialogs().ShowColor(c, host::cdlCCRGBInit | host::cdlCCFullOpen));
  EXPECT_EQ(shown, QColor(Qt::red));
  EXPECT_EQ(c, 0x563412u);
  Answer<QColorDialog>([](QColorDialog& d) { d.reject(); });
  EXPECT_FALSE(host::dialogs().ShowColor(c, 3));
  EXPECT_EQ(c, 0x563412u);
}

TEST_F(QtDialogsTest, FontStartsOnTheGivenOneAndComesBackWhole) {
  QFont shown;
  Answer<QFontDialog>([&](QFontDialog& d) {
    shown = d.currentFont();
    QFont f("Liberation Serif");
    f.setPointSizeF(12);
    f.setItalic(true);
    d.setCurrentFont(f);
    d.accept();
  });
  host::FontChoice f{"Liberation Sans", true, false, 9};
  ASSERT_TRUE(host::dialogs().ShowFont(f, 1025, "Scelta del font"));
  EXPECT_EQ(shown.family(), "Liberation Sans");
  EXPECT_TRUE(shown.bold());
  EXPECT_EQ(f.name, "Liberation Serif");
  EXPECT_TRUE(f.italic);
  EXPECT_DOUBLE_EQ(f.size, 12);
  Answer<QFontDialog>([](QFontDialog& d) { d.reject(); });
  EXPECT_FALSE(host::dialogs().ShowFont(f, 1025, ""));
  EXPECT_EQ(f.name, "Liberation Serif");
}

TEST_F(QtDialogsTest, FolderComesBackInTheFileSystemsBytes) {
  kyx::test::TempDir dir;
  const std::string scelta = dir.path() + "/Citt\xC3\xA0 nuova";
  files::make_folder(scelta);
  Answer<QFileDialog>([&](QFileDialog& d) {
    d.setDirectory(QFile::decodeName(QByteArray::fromStdString(scelta)));
    static_cast<QDialog&>(d).accept();
  });
  EXPECT_EQ(host::dialogs().BrowseFolder("Cartella dati", dir.path()), scelta);
  Answer<QFileDialog>([](QFileDialog& d) { d.reject(); });
  EXPECT_EQ(host::dialogs().BrowseFolder("Cartella dati", dir.path()), "");
}

TEST_F(QtDialogsTest, SaveStartsOnTheGivenFolderNameAndFilterAndTheFilterGivesTheExtension) {
  kyx::test::TempDir dir;
  files::make_folder(dir.path() + "/Dati/EXPORT");
  host::SaveDialog s;
  s.InitDir = dir.path() + "/Dati\\EXPORT\\";  // a system folder text
  s.FileName = "Vendite citt\xE0";
  s.Filter = "Documenti di testo (*.txt)|*.txt|Pagine Web (*.htm)|*.htm";
  s.FilterIndex = 2;
  QString cartella, filtro, nome;
  Answer<QFileDialog>([&](QFileDialog& d) {
    cartella = d.directory().absolutePath();
    filtro = d.selectedNameFilter();
    nome = d.selectedFiles().value(0);
    d.selectNameFilter("Documenti di testo (*.txt)");
    d.selectFile("nuovo");
    static_cast<QDialog&>(d).accept();
  });
  ASSERT_TRUE(host::dialogs().ShowSave(s));
  EXPECT_EQ(cartella, QString::fromStdString(dir.path() + "/Dati/EXPORT"));
  EXPECT_EQ(filtro, "Pagine Web (*.htm)");
  EXPECT_TRUE(nome.endsWith(QString::fromUtf8("Vendite citt\xC3\xA0"))) << nome.toStdString();
  EXPECT_EQ(s.FileName, dir.path() + "/Dati/EXPORT/nuovo.txt");
  EXPECT_EQ(s.FilterIndex, 1);

  // A name typed with an extension keeps it, whatever the filter; Cancel changes nothing. A
  // name offered with its folder opens there.
  files::make_folder(dir.path() + "/altra");
  s.FileName = dir.path() + "/altra/altro.txt";
  Answer<QFileDialog>([&](QFileDialog& d) {
    cartella = d.directory().absolutePath();
    d.selectNameFilter("Pagine Web (*.htm)");
    // typed by the user into the name box
    if (auto* nome_file = d.findChild<QLineEdit*>("fileNameEdit")) nome_file->setText("pagina.txt");
    static_cast<QDialog&>(d).accept();
  });
  ASSERT_TRUE(host::dialogs().ShowSave(s));
  EXPECT_EQ(cartella, QString::fromStdString(dir.path() + "/altra"));
  EXPECT_EQ(s.FileName, dir.path() + "/altra/pagina.txt");
  EXPECT_EQ(s.FilterIndex, 2);
  Answer<QFileDialog>([](QFileDialog& d) { d.reject(); });
  EXPECT_FALSE(host::dialogs().ShowSave(s));
  EXPECT_EQ(s.FileName, dir.path() + "/altra/pagina.txt");
}

}  // namespace
}  // namespace kyx::ui
