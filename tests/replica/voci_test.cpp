// The entries of Kyx_R.INI: the block, its loading and saving, and the window that steps
// through them.
#include "replica/voci.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstdlib>
#include <string>

#include "platform/host/scripted_host.h"
#include "platform/ini/ini_file.h"
#include "replica/frm_base.h"
#include "replica/stato_replica.h"
#include "tests/support/temp_dir.h"

namespace kyx {
namespace {

class Voci : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("KYX_HOME", dir.path().c_str(), 1);
    stato_replica::reset();
  }
  void TearDown() override {
    if (replica::frmBase.Loaded()) replica::frmBase->Unload();
    QCoreApplication::processEvents();
    unsetenv("KYX_HOME");
  }
  std::string Ini(const std::string& chiave) const {
    return ini::IniFile(dir.file("Kyx_R.INI")).Read("Generale", chiave, "<none>");
  }
  static Campi_Voce Esempio() {
    Campi_Voce c;
    c.txtASConn = "  server.lan";
    c.txtASPorta = "4100";
    c.txtASUtente = "rossi";
    c.txtASPassword = "Alfa ";
    c.txtSQLServer = "sql01";
    c.txtSQLDataBase = "KYXMASTER";
    c.txtSQLUtente = "sa";
    c.txtSQLPassword = "pw";
    c.txtSistemaInf = "VENDITE";
    c.txtIdxSi = "1";
    c.Check1 = 1;
    return c;
  }

  test::TempDir dir;
  host::ScriptedHost host;
};

TEST_F(Voci, BlockHasItsWidthsAndLoadsBackAsStored) {
  Campi_Voce c = Esempio();
  c.txtSistemaInf = "UN NOME TROPPO LUNGO";
  const std::string b = Blocco_Voce(c);
  ASSERT_EQ(b.size(), 151u);
  EXPECT_EQ(b.substr(0, 12), "  server.lan");
  EXPECT_EQ(b.substr(55, 20), "ROSSI     ALFA      ");  // only user and password upper-cased
  EXPECT_EQ(b.substr(135, 10), "UN NOME TR");            // cut to its width
  EXPECT_EQ(b.substr(150), "S");

  const Campi_Voce l = Campi_Da_Blocco(b);
  EXPECT_EQ(l.txtASConn, "server.lan");       // the server name alone is trimmed
  EXPECT_EQ(l.txtASUtente, "ROSSI     ");     // the others keep their blanks
  EXPECT_EQ(l.txtSQLPassword, "pw        ");
  EXPECT_EQ(l.Check1, 1);

  // An empty block gives every default.
  const Campi_Voce d = Campi_Da_Blocco("");
  EXPECT_EQ(d.txtASConn, "nome connessione iSeries");
  EXPECT_EQ(d.txtASPorta, "4100");
  EXPECT_EQ(d.txtASUtente, "Utente iSeries");
  EXPECT_EQ(d.txtASPassword, "");
  EXPECT_EQ(d.txtSQLServer, "nome server SQL");
  EXPECT_EQ(d.txtSQLDataBase, "nome Data Base SQL");
  EXPECT_EQ(d.txtSQLUtente, "Utente SQL");
  EXPECT_EQ(d.txtSistemaInf, "Nome Sist.Inf.");
  EXPECT_EQ(d.txtIdxSi, "1");
  EXPECT_EQ(d.Check1, 0);
}

TEST_F(Voci, SavedEntryComesBackAndADamagedOneIsRefused) {
  // A "{" scrambles to a blank: at either end of the stored value it would be trimmed away.
  for (const std::string server : {"{alfa", "alfa{", "x"}) {
    Campi_Voce c = Esempio();
    c.txtASConn = server;
    ASSERT_TRUE(Scrivi_Voce(2, 3, c));
    Campi_Voce l;
    ASSERT_EQ(Leggi_Voce(2, l), Esito_Voce::kCaricata) << server;
    EXPECT_EQ(l, Campi_Da_Blocco(Blocco_Voce(c))) << server;
  }
  EXPECT_EQ(Ini("Numero"), "3");

  ini::IniFile(dir.file("Kyx_R.INI")).Write("Generale", "Check-002", "12345");
  Campi_Voce l;
  l.txtASConn = "invariato";
  EXPECT_EQ(Leggi_Voce(2, l), Esito_Voce::kIntegrita);
  EXPECT_EQ(l.txtASConn, "invariato");

  // A character the scrambling cannot keep: nothing is written.
  Campi_Voce c = Esempio();
  c.txtSQLPassword = "pi\xF9";
  const std::string prima = Ini("Parametri-002");
  EXPECT_FALSE(Scrivi_Voce(2, 3, c));
  EXPECT_EQ(Ini("Parametri-002"), prima);
}

TEST_F(Voci, NumberOfEntriesIsAtLeastOne) {
  const struct {
    const char* testo;
    int16_t voci;
  } casi[] = {{nullptr, 1}, {"0", 1}, {"-4", 1}, {"tre", 1}, {"3", 3}};
  for (const auto& c : casi) {
    if (c.testo) ini::IniFile(dir.file("Kyx_R.INI")).Write("Generale", "Numero", c.testo);
    EXPECT_EQ(Leggi_Numero_Voci(), c.voci) << (c.testo ? c.testo : "no file");
  }
}

TEST_F(Voci, FirstStartShowsTheDefaultsAndSavingCreatesTheFile) {
  auto& f = *replica::frmBase;
  EXPECT_EQ(f.txtNumSi->Text(), "1/1");
  EXPECT_FALSE(f.cmdElimina->isEnabled());
  EXPECT_EQ(f.txtASConn->Text(), "nome connessione iSeries");
  EXPECT_EQ(f.Caption(), " Q-KRE Replica dati non DB su SQL");
  f.txtASUtente->SetText("bianchi");
  f.cmdAggiorna_Click();
  EXPECT_FALSE(replica::frmBase.Loaded());
  EXPECT_EQ(Ini("Numero"), "1");
  Campi_Voce l;
  ASSERT_EQ(Leggi_Voce(1, l), Esito_Voce::kCaricata);
  EXPECT_EQ(l.txtASUtente, "BIANCHI   ");
}

TEST_F(Voci, AddingCopiesTheEntryShownAndRemovingTakesTheLast) {
  for (int16_t n = 1; n <= 3; ++n) {
    Campi_Voce c = Esempio();
    c.txtSistemaInf = "SIS" + std::to_string(n);
    ASSERT_TRUE(Scrivi_Voce(n, 3, c));
  }
  auto& f = *replica::frmBase;
  f.UpDown_UpClick();
  ASSERT_EQ(f.txtNumSi->Text(), "2/3");
  f.cmdAggiunta_Click();
  EXPECT_EQ(f.txtNumSi->Text(), "4/4");
  EXPECT_EQ(f.txtSistemaInf->Text(), "SIS2      ");
  EXPECT_TRUE(f.cmdElimina->isEnabled());
  f.cmdElimina_Click();
  EXPECT_EQ(f.txtNumSi->Text(), "3/3");
  f.cmdElimina_Click();
  EXPECT_EQ(f.txtNumSi->Text(), "2/2");
  EXPECT_EQ(Ini("Parametri-003"), "");
  // Leaving without saving keeps "Numero" as the last save wrote it.
  f.cmdEsci_Click();
  EXPECT_EQ(Ini("Numero"), "4");
  // Stepping past either end does nothing.
  auto& g = *replica::frmBase;
  g.UpDown_DownClick();
  EXPECT_EQ(g.txtNumSi->Text(), "1/4");
}

}  // namespace
}  // namespace kyx
