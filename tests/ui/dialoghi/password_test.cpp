// The login dialog: listing the profiles, confirming by itself, waiting for the user, the blank
// password, the password kept in memory only, mode 2 from "SInf" and the instance registry.
#include <QTest>

#include "common/registro_istanze.h"

#include "tests/ui/dialoghi/ambiente_dialoghi.h"
#include "tests/ui/dialoghi/copia_registrata.h"

namespace kyx::test {
namespace {

using Password = AmbienteDialoghi;

TEST_F(Password, OneListedProfileWithAStoredPasswordConfirmsByItself) {
  Scrivi_Profilo(1, Profilo{});
  int32_t m = 1;
  frmPassword->Carica(m);
  // The login and the options dialog came and went without ever showing; the main window is up.
  EXPECT_FALSE(frmPassword.Loaded());
  EXPECT_FALSE(frmOpzioni.Loaded());
  ASSERT_TRUE(frmBase.Loaded());
  EXPECT_TRUE(frmBase->isVisible());
  EXPECT_EQ(Password_Utente, "ALFA^^^^^^");
  EXPECT_EQ(Profilo_Corrente, 1);
  EXPECT_EQ(Numero_Profili, 1);
  EXPECT_EQ(Leggi_Ini("Generale", "Principale", ""), "001");
  EXPECT_EQ(traccia.front(), "Registro_Istanze -1 " + Cartella_Dati);
  EXPECT_TRUE(host.shown().empty());
}

TEST_F(Password, TheDialogWaitsWhenTheUserHasAChoiceOrNoPassword) {
  struct Caso {
    const char* nome;
    int profili;
    const char* password;
  };
  for (const Caso c : {Caso{"two listed profiles", 2, "ALFA"}, Caso{"blank password", 1, ""}}) {
    SCOPED_TRACE(c.nome);
    dir.write("KYX.INI", "");
    for (int16_t n = 1; n <= c.profili; ++n) {
      Profilo p;
      p.password = c.password;
      p.descrizione = "Sistema " + std::to_string(n);
      Scrivi_Profilo(n, p);
    }
    int32_t m = 1;
    frmPassword->Carica(m);
    ASSERT_TRUE(frmPassword.Loaded());
    EXPECT_TRUE(frmPassword->isVisible());
    EXPECT_FALSE(frmOpzioni.Loaded());
    EXPECT_FALSE(frmBase.Loaded());
    EXPECT_EQ(frmPassword->cmbNomeSi->ListCount(), c.profili);
    EXPECT_EQ(frmPassword->txtPassword->Text(), std::string(c.password));
    EXPECT_EQ(frmPassword->txtPassword->echoMode(), QLineEdit::Password);
    Chiudi_Finestre();
  }
}

TEST_F(Password, ListsOnlyMarkedProfilesAndCountsEveryDescribedSection) {
  Profilo a, b, c;
  a.descrizione = "Primo";
  b.descrizione = "Secondo";
  b.elenco = "";  // no key "Elenco": not listed
  c.descrizione = "Terzo";
  Scrivi_Profilo(1, a);
  Scrivi_Profilo(2, b);
  Scrivi_Profilo(3, c);
  Scrivi_Ini("Generale", "Principale", "5");
  int32_t m = 1;
  frmPassword->Carica(m);
  EXPECT_EQ(Numero_Profili, 3);
  ASSERT_EQ(frmPassword->cmbNomeSi->ListCount(), 2);
  EXPECT_EQ(frmPassword->cmbNomeSi->ItemData(1), 3);
  // A main profile beyond the last one: profile 1 is loaded and no item is chosen.
  EXPECT_EQ(Profilo_Corrente, 1);
  EXPECT_EQ(frmPassword->cmbNomeSi->ListIndex(), -1);
  EXPECT_EQ(frmPassword->txtUtente->Text(), "ROSSI     ");
}

// The apply of a profile makes it the main one, listed or not. At the next start a main profile
// that is not listed is never entered unasked, even with one listed profile and a stored password:
// the dialog waits, and the choice of the listed profile enters that one.
TEST_F(Password, AMainProfileThatIsNotListedIsNotEnteredByItself) {
  Profilo listato, nascosto;
  listato.descrizione = "Listato";
  nascosto.descrizione = "Nascosto";
  nascosto.elenco = "N";
  nascosto.utente = "VERDI";
  Scrivi_Profilo(1, listato);
  Scrivi_Profilo(2, nascosto);
  Scrivi_Ini("Generale", "Principale", "002");
  int32_t m = 1;
  frmPassword->Carica(m);
  ASSERT_TRUE(frmPassword.Loaded());
  EXPECT_TRUE(frmPassword->isVisible());
  EXPECT_FALSE(frmBase.Loaded());
  ASSERT_EQ(frmPassword->cmbNomeSi->ListCount(), 1);

  frmPassword->cmbNomeSi->SetListIndex(0);
  frmPassword->cmdOK_Click();
  ASSERT_TRUE(frmBase.Loaded());
  EXPECT_EQ(Profilo_Corrente, 1);
  EXPECT_EQ(vb::Trim(Nome_Utente), "ROSSI");
}

TEST_F(Password, NoProfileOffersANewOne) {
  int32_t m = 1;
  frmPassword->Carica(m);
  ASSERT_EQ(frmPassword->cmbNomeSi->ListCount(), 1);
  EXPECT_EQ(frmPassword->cmbNomeSi->Text(), "Nuovo");
  EXPECT_EQ(Numero_Profili, 1);
  EXPECT_TRUE(frmPassword->isVisible());
}

TEST_F(Password, ABlankPasswordIsRefusedWithItsHighlight) {
  Scrivi_Profilo(1, Profilo{});
  Profilo p2;
  p2.descrizione = "Ordini";
  Scrivi_Profilo(2, p2);
  int32_t m = 1;
  frmPassword->Carica(m);
  frmPassword->txtPassword->SetText("   ");
  QTest::keyClick(frmPassword->txtPassword, Qt::Key_Return);
  ASSERT_TRUE(frmPassword.Loaded());
  EXPECT_FALSE(frmOpzioni.Loaded());
  EXPECT_EQ(frmPassword->txtPassword->BackColor(), 0x8000000Du);
  EXPECT_EQ(frmPassword->txtPassword->ForeColor(), 0x8000000Eu);
  EXPECT_TRUE(host.shown().empty());
}

TEST_F(Password, ATypedPasswordIsKeptInMemoryOnly) {
  Scrivi_Profilo(1, Profilo{});
  Profilo p2;
  p2.descrizione = "Ordini";
  p2.server = "192.168.1.7";
  Scrivi_Profilo(2, p2);
  int32_t m = 1;
  frmPassword->Carica(m);
  // The user picks the second profile and types a password of his own.
  frmPassword->cmbNomeSi->SetListIndex(1);
  EXPECT_EQ(frmPassword->txtConnessione->Text(), "192.168.1.7");
  frmPassword->txtPassword->SetText("ab c");
  QTest::keyClick(frmPassword->txtPassword, Qt::Key_Return);
  EXPECT_FALSE(frmPassword.Loaded());
  EXPECT_EQ(Profilo_Corrente, 2);
  EXPECT_EQ(Password_Utente, "ab^c^^^^^^");
  EXPECT_EQ(Blocco(2).substr(65), "ALFA^^^^^^");
  // One apply only, in mode 1.
  EXPECT_EQ(std::count(traccia.begin(), traccia.end(), "Carica_Impostazioni_Stampa"), 2);
  EXPECT_EQ(dir.read("KYX.INI").find("ab c"), std::string::npos);
  EXPECT_EQ(Leggi_Ini("Generale", "Principale", ""), "002");
}

TEST_F(Password, Mode2FromSInfRestoresTheProfileWhenClosed) {
  Scrivi_Profilo(1, Profilo{});
  Profilo p2;
  p2.descrizione = "Ordini";
  p2.utente = "BIANCHI";
  Scrivi_Profilo(2, p2);
  int32_t m = 1;
  frmPassword->Carica(m);
  frmPassword->cmbNomeSi->SetListIndex(0);
  frmPassword->cmdOK_Click();
  ASSERT_TRUE(frmBase.Loaded());
  Password_Utente = "SEGRETO^^^";

  FrmBase& base = *frmBase;
  base.Esegui_Pulsante(base.Toolbar1->Buttons("SInf"), ui::vbLeftButton);
  ASSERT_TRUE(frmPassword.Loaded());
  EXPECT_TRUE(frmPassword->isVisible());
  EXPECT_FALSE(base.Enabled());
  EXPECT_EQ(frmPassword->Modo(), 2);
  // The combo shows the profile in use.
  EXPECT_EQ(frmPassword->cmbNomeSi->Text(), "Vendite");
  frmPassword->cmbNomeSi->SetListIndex(1);
  EXPECT_EQ(Profilo_Corrente, 2);
  EXPECT_EQ(Nome_Utente, "BIANCHI   ");

  QTest::keyClick(frmPassword->txtPassword, Qt::Key_Escape);
  EXPECT_FALSE(frmPassword.Loaded());
  EXPECT_FALSE(frmOpzioni.Loaded());
  EXPECT_EQ(Profilo_Corrente, 1);
  EXPECT_EQ(Nome_Utente, "ROSSI     ");
  EXPECT_EQ(Password_Utente, "SEGRETO^^^");
  EXPECT_TRUE(base.Enabled());
}

TEST_F(Password, Mode2ConfirmedAppliesTheNewProfileToTheRunningWindow) {
  Scrivi_Profilo(1, Profilo{});
  Profilo p2;
  p2.descrizione = "Ordini";
  p2.cartella = "\\Dati2\\";
  Scrivi_Profilo(2, p2);
  Scrivi_Ini("Generale", "Principale", "001");
  int32_t m = 1;
  frmPassword->Carica(m);
  frmPassword->cmbNomeSi->SetListIndex(0);
  frmPassword->cmdOK_Click();
  ASSERT_TRUE(frmBase.Loaded());
  Connesso = true;
  traccia.clear();

  FrmBase& base = *frmBase;
  base.Esegui_Pulsante(base.Toolbar1->Buttons("SInf"), ui::vbLeftButton);
  frmPassword->cmbNomeSi->SetListIndex(1);
  frmPassword->txtPassword->SetText("BETA");
  frmPassword->cmdOK_Click();
  EXPECT_FALSE(frmPassword.Loaded());
  EXPECT_FALSE(frmOpzioni.Loaded());
  EXPECT_EQ(Profilo_Corrente, 2);
  EXPECT_EQ(Cartella_Dati, Cartella_Programma + "Dati2\\");
  // The link was open: it is closed before the databases and opened again after them with the
  // password typed.
  EXPECT_TRUE(Prima("Disconnetti", "Apri_MDB0"));
  EXPECT_TRUE(Prima("Apri_MDB2", "Collegamento_Server BETA^^^^^^"));
  EXPECT_TRUE(Connesso);
  EXPECT_TRUE(base.Enabled());
  EXPECT_EQ(Leggi_Ini("Generale", "Principale", ""), "002");
}

// The real registry: a copy of the program already works in the data folder of the profile.
class RegistroReale : public AmbienteDialoghi {
 protected:
  RegistroReale() {
    agganci_base::Registro_Istanze = [](int16_t& m, int32_t& h1, int32_t& h2, std::string& c) {
      return kyx::Registro_Istanze(m, h1, h2, c);
    };
  }
};

TEST_F(RegistroReale, ASecondCopyOnTheSameDataFolderCannotConfirm) {
  Scrivi_Profilo(1, Profilo{});
  struct Caso {
    const char* cartella_altra_copia;
    bool confermato;
  };
  for (const Caso c : {Caso{"Dati\\", false}, Caso{"Altri\\", true}}) {
    SCOPED_TRACE(c.cartella_altra_copia);
    dir.write("KYX.DAT", "");
    CopiaRegistrata altra(File_Istanze, Cartella_Programma + c.cartella_altra_copia);
    ASSERT_TRUE(altra.registrata());
    int32_t m = 1;
    frmPassword->Carica(m);
    if (c.confermato) {
      EXPECT_FALSE(frmPassword.Loaded());
      EXPECT_TRUE(frmBase.Loaded());
    } else {
      ASSERT_TRUE(frmPassword.Loaded());
      EXPECT_TRUE(frmPassword->isVisible());
      EXPECT_FALSE(frmPassword->cmdOK->isEnabled());
      // Enter does nothing while OK is disabled.
      QTest::keyClick(frmPassword->txtPassword, Qt::Key_Return);
      EXPECT_TRUE(frmPassword.Loaded());
      EXPECT_FALSE(frmOpzioni.Loaded());
    }
    Chiudi_Finestre();
  }
}

}  // namespace
}  // namespace kyx::test
