// The compiled help file read back through libchm and shown by our viewer: the topic asked for,
// the default topic, a topic the file lacks, and a file that is missing or is not a help file.
#include <gtest/gtest.h>

#include <QApplication>

#include "platform/help/chm_file.h"
#include "platform/help/help_viewer.h"
#include "tests/support/guida_prova.h"
#include "tests/support/temp_dir.h"

namespace kyx::test {
namespace {

class Guida : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Crea_Guida(dir.path())); }
  void TearDown() override {
    delete help::OpenViewer();
    QApplication::processEvents();
  }
  TempDir dir;
};

TEST_F(Guida, TheFileGivesItsPagesAndItsDefaultTopic) {
  std::string errore;
  auto f = help::ChmFile::Open(dir.file("KYX.CHM"), errore);
  ASSERT_TRUE(f) << errore;
  EXPECT_EQ(f->DefaultTopic(), "/index.htm");
  std::string pagina;
  ASSERT_TRUE(f->Read("/10002.htm", pagina));
  EXPECT_NE(pagina.find("Argomento 10002"), std::string::npos);
  // Links name pages in any letter case; a page that is not there is not made up.
  EXPECT_TRUE(f->Read("11705.HTM", pagina));
  EXPECT_NE(pagina.find("Argomento 11705"), std::string::npos);
  EXPECT_FALSE(f->Read("/99999.htm", pagina));
  EXPECT_TRUE(pagina.empty());
}

TEST_F(Guida, TheCheckedInFileHoldsEveryTopicOfTheMap) {
  // The file used where the compiler is missing must serve the same tests.
  std::string errore;
  auto f = help::ChmFile::Open(File_Guida_Fissa(), errore);
  ASSERT_TRUE(f) << errore;
  EXPECT_EQ(f->DefaultTopic(), "/index.htm");
  std::string pagina;
  for (const std::string& a : Argomenti_Guida()) {
    ASSERT_TRUE(f->Read("/" + a + ".htm", pagina)) << a;
    EXPECT_NE(pagina.find("Argomento " + a), std::string::npos) << a;
  }
}

TEST_F(Guida, TheViewerOpensOnTheTopicAndOneWindowServesEveryRequest) {
  std::string errore;
  const int32_t h = help::HtmlHelp(0, dir.file("KYX.CHM") + "::/10002.htm", help::HH_DISPLAY_TOPIC, errore);
  ASSERT_NE(h, 0) << errore;
  help::HelpViewer* v = help::OpenViewer();
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->hWnd(), h);
  EXPECT_TRUE(v->isVisible());
  EXPECT_TRUE(v->TopicFound());
  EXPECT_NE(v->PageText().find("Argomento 10002"), std::string::npos);

  // The same window shows the next topic, and the default topic when none is named; the
  // folder text may carry Windows separators.
  EXPECT_EQ(help::HtmlHelp(0, dir.path() + "\\KYX.CHM::/11736.htm", help::HH_DISPLAY_TOPIC, errore), h);
  EXPECT_NE(v->PageText().find("Argomento 11736"), std::string::npos);
  EXPECT_EQ(help::HtmlHelp(0, dir.file("KYX.CHM"), help::HH_DISPLAY_TOPIC, errore), h);
  EXPECT_EQ(v->Topic(), "/index.htm");
  EXPECT_NE(v->PageText().find("Indice della guida"), std::string::npos);

  // A topic the file lacks is reported by the viewer itself.
  EXPECT_EQ(help::HtmlHelp(0, dir.file("KYX.CHM") + "::/99999.htm", help::HH_DISPLAY_TOPIC, errore), h);
  EXPECT_FALSE(v->TopicFound());
  EXPECT_NE(v->PageText().find("Argomento non trovato"), std::string::npos);
  EXPECT_NE(v->PageText().find("/99999.htm"), std::string::npos);
}

TEST_F(Guida, AMissingOrDamagedFileOpensNoWindow) {
  dir.write("FINTO.CHM", std::string("ITSF") + std::string(200, '\0'));
  dir.write("VUOTO.CHM", "");
  for (const char* nome : {"MANCA.CHM", "FINTO.CHM", "VUOTO.CHM"}) {
    SCOPED_TRACE(nome);
    std::string errore;
    EXPECT_EQ(help::HtmlHelp(0, dir.file(nome) + "::/10002.htm", help::HH_DISPLAY_TOPIC, errore), 0);
    EXPECT_FALSE(errore.empty());
    EXPECT_EQ(help::OpenViewer(), nullptr);
  }
}

}  // namespace
}  // namespace kyx::test
