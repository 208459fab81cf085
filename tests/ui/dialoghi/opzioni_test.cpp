// The options dialog: opening in its modes, validation in its fixed order, the apply in the order
// of its steps, cancel, and the save of a profile.
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTest>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <iostream>
#include <string>

#include "tests/ui/dialoghi/ambiente_dialoghi.h"

namespace kyx::test {
namespace {

class Opzioni : public AmbienteDialoghi {
 protected:
  // Logs in with profile 1 (the login confirms by itself) and presses "Opzioni".
  FrmOpzioni& Apri_Da_Toolbar() {
    if (!frmBase.Loaded()) {
      Scrivi_Profilo(1, Profilo{});
      int32_t m = 1;
      frmPassword->Carica(m);
    }
    traccia.clear();
    FrmBase& b = *frmBase;
    b.Esegui_Pulsante(b.Toolbar1->Buttons("Opzioni"), ui::vbLeftButton);
    EXPECT_TRUE(frmOpzioni.Loaded());
    return *frmOpzioni;
  }
  // Writes profile 1, loads it and opens the options dialog at start-up with the typed password.
  FrmOpzioni& Apri_All_Avvio(const Profilo& p, const std::string& Password) {
    Scrivi_Profilo(1, p);
    Numero_Profili = 1;
    int16_t uno = 1;
    int32_t hDC = 0;
    Carica_Opzioni(uno, hDC);
    int32_t m = 1;
    frmOpzioni->Carica(m, Password);
    return *frmOpzioni;
  }
  // The text boxes that carry the invalid mark.
  static std::vector<ui::TextBox*> Marcate(const FrmOpzioni& d) {
    std::vector<ui::TextBox*> out;
    for (auto* c : d.Caselle_Testo())
      if (FrmOpzioni::Marcata(*c)) out.push_back(c);
    return out;
  }
};

using Box = ui::TextBox* FrmOpzioni::*;

TEST_F(Opzioni, InvalidProfilesShowTheDialogWithTheFirstFailingBoxMarked) {
  struct Caso {
    const char* nome;
    std::function<void(FrmOpzioni&)> modifica;
    Box marcata;
  };
  auto testo = [](Box b, const char* t) {
    return [b, t](FrmOpzioni& d) { (d.*b)->SetText(t); };
  };
  const Caso casi[] = {
      {"blank server", testo(&FrmOpzioni::txtConnessione, "  "), &FrmOpzioni::txtConnessione},
      {"port 0", testo(&FrmOpzioni::txtPorta, "0"), &FrmOpzioni::txtPorta},
      {"port 65536", testo(&FrmOpzioni::txtPorta, "65536"), &FrmOpzioni::txtPorta},
      {"empty port", testo(&FrmOpzioni::txtPorta, ""), &FrmOpzioni::txtPorta},
      {"port not a number", testo(&FrmOpzioni::txtPorta, "41OO"), &FrmOpzioni::txtPorta},
      {"port too large for a Double", testo(&FrmOpzioni::txtPorta, "1E999"), &FrmOpzioni::txtPorta},
      {"blank user", testo(&FrmOpzioni::txtUtente, "   "), &FrmOpzioni::txtUtente},
      {"empty system", testo(&FrmOpzioni::txtNomeSi, ""), &FrmOpzioni::txtNomeSi},
      {"empty description", testo(&FrmOpzioni::txtDescrizioneSi, " "), &FrmOpzioni::txtDescrizioneSi},
      {"30 February", testo(&FrmOpzioni::txtDataDesc, "30/02/2024"), &FrmOpzioni::txtDataDesc},
      {"hour 24", testo(&FrmOpzioni::txtOraDesc, "24:00:00"), &FrmOpzioni::txtOraDesc},
      {"history 0", testo(&FrmOpzioni::txtElemStorico, "0"), &FrmOpzioni::txtElemStorico},
      {"history 10000", testo(&FrmOpzioni::txtElemStorico, "10000"), &FrmOpzioni::txtElemStorico},
      {"precision -1", testo(&FrmOpzioni::txtPrecisioneColore, "-1"), &FrmOpzioni::txtPrecisioneColore},
      {"precision 256", testo(&FrmOpzioni::txtPrecisioneColore, "256"), &FrmOpzioni::txtPrecisioneColore},
      {"empty precision", testo(&FrmOpzioni::txtPrecisioneColore, ""), &FrmOpzioni::txtPrecisioneColore},
      // Two failures: the first in the fixed order is marked, the later box stays as typed.
      {"port before user",
       [](FrmOpzioni& d) {
         d.txtUtente->SetText(" bianchi ");
         d.txtPorta->SetText("0");
       },
       &FrmOpzioni::txtPorta},
      {"user before history",
       [](FrmOpzioni& d) {
         d.txtElemStorico->SetText("0");
         d.txtUtente->SetText("");
       },
       &FrmOpzioni::txtUtente},
  };
  FrmOpzioni& d = Apri_Da_Toolbar();
  const std::string ini = dir.read("KYX.INI");
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    d.Visualizza_Opzioni();
    c.modifica(d);
    QTest::keyClick(d.txtNomeSi, Qt::Key_Return);
    ASSERT_TRUE(frmOpzioni.Loaded());
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(Marcate(d), std::vector<ui::TextBox*>{d.*c.marcata});
    EXPECT_EQ((d.*c.marcata)->ForeColor(), ui::kOleHighlightText);
    EXPECT_EQ(dir.read("KYX.INI"), ini);
  }
  EXPECT_EQ(d.txtUtente->Text(), "");
  d.Visualizza_Opzioni();
  d.txtUtente->SetText(" bianchi ");
  d.txtPorta->SetText("0");
  d.cmdAggiorna_Click();
  EXPECT_EQ(d.txtUtente->Text(), " bianchi ");
  EXPECT_TRUE(host.shown().empty());
}

TEST_F(Opzioni, BoundaryValuesAreAcceptedAndTextsNormalised) {
  struct Caso {
    const char* nome;
    std::function<void(FrmOpzioni&)> modifica;
  };
  const Caso casi[] = {
      {"port 1, history 1, precision 0",
       [](FrmOpzioni& d) {
         d.txtPorta->SetText("1");
         d.txtElemStorico->SetText("1");
         d.txtPrecisioneColore->SetText("0");
       }},
      {"port 80.5, history 9999, precision 255, no password, no SQL database",
       [](FrmOpzioni& d) {
         d.txtPorta->SetText("80.5");
         d.txtElemStorico->SetText("9999");
         d.txtPrecisioneColore->SetText("255");
         d.txtPassword->SetText("");
         d.txtDataBaseSQL->SetText("");
       }},
      {"port 65535, texts to normalise",
       [](FrmOpzioni& d) {
         d.txtPorta->SetText("65535");
         d.txtConnessione->SetText(" server.locale ");
         d.txtUtente->SetText(" rossi");
         d.txtDescrizioneSi->SetText(" Le Vendite ");
         d.txtCartellaSi->SetText(" \\Dati");
       }},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    FrmOpzioni& d = Apri_Da_Toolbar();
    c.modifica(d);
    d.cmdAggiorna_Click();
    EXPECT_FALSE(frmOpzioni.Loaded());
  }
  EXPECT_EQ(Server_Nome, "SERVER.LOCALE");
  EXPECT_EQ(vb::Trim(Nome_Utente), "ROSSI");
  EXPECT_EQ(Descrizione_Sistema, "Le Vendite");
  EXPECT_EQ(Leggi_Ini("001", "Cartella Dati", ""), "\\Dati\\");
  EXPECT_TRUE(host.shown().empty());
}

TEST_F(Opzioni, StartUpWithAnEmptyUserShowsTheDialogCentredWithTheStoredPassword) {
  Profilo p;
  p.utente = "";
  FrmOpzioni& d = Apri_All_Avvio(p, "ALTRA");
  ASSERT_TRUE(d.isVisible());
  EXPECT_EQ(Marcate(d), std::vector<ui::TextBox*>{d.txtUtente});
  EXPECT_EQ(d.txtUtente->BackColor(), ui::kOleHighlight);
  EXPECT_EQ(d.txtPassword->Text(), "ALFA");
  EXPECT_EQ(d.Password_Login, "ALTRA") << "the password typed at login stays the one to use";
  EXPECT_EQ(d.txtPassword->echoMode(), QLineEdit::Password);
  EXPECT_EQ(d.Caption(), " Opzioni");
  // Centred on the 1920 x 1080 screen (the offscreen platform may shift a window by its frame).
  EXPECT_NEAR(d.Left() + d.Width() / 2, 1920 * 15.0 / 2, 45.0);
  EXPECT_NEAR(d.Top() + d.Height() / 2, 1080 * 15.0 / 2, 45.0);
  EXPECT_FALSE(frmBase.Loaded());
  EXPECT_TRUE(traccia.empty());
}

TEST_F(Opzioni, AMissingFolderIsNamedAndMarkedAndCreatedOnlyOnTheUsersWord) {
  Profilo p;
  p.altre = "Cartella Storico=\\Nuova\\";
  // The start says why the dialog opens instead of the main window.
  host.expect("La cartella \\Nuova\\\rnon \xE8 presente nel sistema. ");
  FrmOpzioni& d = Apri_All_Avvio(p, "ALFA");
  EXPECT_EQ(host.shown().back().style, host::vbExclamation);
  ASSERT_TRUE(d.isVisible());
  EXPECT_EQ(Marcate(d), std::vector<ui::TextBox*>{d.txtDirStorico});
  EXPECT_FALSE(files::folder_exists(dir.file("Nuova")));

  const std::string domanda =
      "La cartella \\Nuova\\\rnon \xE8 presente nel sistema. \r\rPremere il pulsante\r"
      "S\xEC = per creare automaticamente la cartella,\rNo = per crearla manualmente.";
  host.expect(domanda, host::vbNo);
  d.cmdAggiorna_Click();
  EXPECT_EQ(host.shown().back().style, 308);
  EXPECT_FALSE(files::folder_exists(dir.file("Nuova")));
  EXPECT_TRUE(FrmOpzioni::Marcata(*d.txtDirStorico));

  host.expect(domanda, host::vbYes);
  d.cmdAggiorna_Click();
  EXPECT_TRUE(files::folder_exists(dir.file("Nuova")));
  EXPECT_FALSE(frmOpzioni.Loaded());
  EXPECT_EQ(Cartella_Storico, Cartella_Programma + "Nuova\\");
  EXPECT_EQ(host.pending(), 0u);
}

// A data folder that takes no files (here one where nobody may create a file) is named before the
// dialog shows itself at start-up, as a missing one is (above); the main window never opens on it.
// A small file system of its own, filled up to the last byte: mounting it needs the right to
// mount (root, as on CI machines); without it, ok() is false.
class Disco_Pieno {
 public:
  Disco_Pieno() {
    char modello[] = "/tmp/kyx_pieno_XXXXXX";
    if (!::mkdtemp(modello)) return;
    cartella_ = modello;
    if (::mount("tmpfs", modello, "tmpfs", 0, "size=64k") != 0) return;
    montato_ = true;
    if (FILE* f = std::fopen((cartella_ + "/riempimento").c_str(), "wb")) {
      const std::string blocco(4096, 'x');
      while (std::fwrite(blocco.data(), 1, blocco.size(), f) == blocco.size() && std::fflush(f) == 0) {
      }
      std::fclose(f);
    }
  }
  ~Disco_Pieno() {
    if (montato_) ::umount2(cartella_.c_str(), MNT_DETACH);
    if (!cartella_.empty()) ::rmdir(cartella_.c_str());
  }
  bool ok() const { return montato_; }
  std::string cartella() const { return cartella_ + "/"; }

 private:
  std::string cartella_;
  bool montato_ = false;
};

TEST_F(Opzioni, AReadOnlyDataFolderIsNamedBeforeTheDialogShows) {
  struct Caso {
    std::string cartella;
    std::string messaggio;
  };
  std::vector<Caso> casi = {
      {"/proc/", "La cartella /proc/\rnon ha i permessi di lettura e scrittura. "},
  };
  Disco_Pieno pieno;
  if (pieno.ok()) {
    casi.push_back({pieno.cartella(), "La cartella " + pieno.cartella() + "\rnon pu\xF2 ricevere file: il disco \xE8 pieno. "});
  } else {
    std::cerr << "No file system could be mounted (not root): the full-disk case is left out\n";
  }
  for (const auto& c : casi) {
    SCOPED_TRACE(c.cartella);
    Profilo p;
    p.cartella = c.cartella;
    host.expect(c.messaggio);
    FrmOpzioni& d = Apri_All_Avvio(p, "ALFA");
    EXPECT_EQ(host.pending(), 0u);
    ASSERT_TRUE(d.isVisible());
    EXPECT_EQ(Marcate(d), std::vector<ui::TextBox*>{d.txtCartellaSi});
    EXPECT_FALSE(frmBase.Loaded());
    d.Unload();
  }
}

TEST_F(Opzioni, AValidProfileAppliesInTheOrderOfTheSteps) {
  FrmOpzioni& d = Apri_Da_Toolbar();
  EXPECT_FALSE(frmBase->Enabled());
  Connesso = true;
  Password_Utente = "ALFA^^^^^^";
  d.chk01->SetValue(0);
  Scrivi_Ini("Generale", "Principale", "009");
  d.cmdAggiorna_Click();
  const std::string dati = Cartella_Programma + "Dati\\";
  const std::vector<std::string> attesa = {
      "Registro_Istanze 0 " + dati,
      "KyHead_Aggiorna",  // the main window laid out again without its titles
      "Converti_Preferiti " + dati + "STORICO\\",
      "Converti_Preferiti " + dati + "PREFERITI\\",
      "Disconnetti",
      "Carica_Impostazioni_Stampa",
      "Apri_MDB0",
      "Apri_MDB1",
      "Apri_MDB2",
      "Collegamento_Server ALFA^^^^^^",
      "Carica_Albero_Struttura",
      "Carica_Albero_Chiavi",
      "KyHead_Aggiorna",
  };
  EXPECT_EQ(traccia, attesa);
  EXPECT_FALSE(frmOpzioni.Loaded());
  EXPECT_TRUE(frmBase->Enabled());
  EXPECT_EQ(Chiave_Elenco, -1);
  EXPECT_EQ(Elaborazione_Corrente, 0);
  // The applied profile is the one preselected next time, ticked as main or not.
  EXPECT_EQ(Leggi_Ini("Generale", "Principale", ""), "001");
}

TEST_F(Opzioni, ALocalDatabaseThatCannotBeReopenedEndsTheProgram) {
  struct Caso {
    int guasto;
    const char* messaggio;
  };
  for (const Caso c : {Caso{0, "Errore 007 - DB 0"}, Caso{1, "Errore 008 - DB 1"},
                       Caso{2, "Errore 009 - DB 2"}}) {
    SCOPED_TRACE(c.messaggio);
    FrmOpzioni& d = Apri_Da_Toolbar();
    Scrivi_Ini("Generale", "Principale", "009");
    d.chk01->SetValue(0);  // the save itself leaves "Principale" alone
    db_ok[0] = db_ok[1] = db_ok[2] = true;
    db_ok[c.guasto] = false;
    host.expect(c.messaggio);
    d.cmdAggiorna_Click();
    ASSERT_EQ(host.pending(), 0u);
    EXPECT_EQ(host.shown().back().text, c.messaggio);
    EXPECT_EQ(host.shown().back().style, host::vbCritical);
    EXPECT_EQ(host.shown().back().title, "Q-KRE");
    ASSERT_GE(traccia.size(), 2u);
    EXPECT_EQ(traccia[traccia.size() - 2], "Apri_MDB" + std::to_string(c.guasto));
    EXPECT_EQ(traccia.back(), "Termina 1");
    // Nothing after the failure: no login, no trees, no "Principale", no closing step.
    EXPECT_FALSE(Contiene("Carica_Albero_Struttura"));
    EXPECT_EQ(Leggi_Ini("Generale", "Principale", ""), "009");
    EXPECT_TRUE(frmOpzioni.Loaded());
    EXPECT_FALSE(frmBase->Enabled());
    Chiudi_Finestre();
    db_ok[c.guasto] = true;
  }
}

TEST_F(Opzioni, ADataFolderInUseByAnotherCopyIsMarkedAndNothingIsSaved) {
  FrmOpzioni& d = Apri_Da_Toolbar();
  const std::string ini = dir.read("KYX.INI");
  registro_libero = false;
  d.txtDescrizioneSi->SetText("Altro");
  d.cmdAggiorna_Click();
  EXPECT_TRUE(frmOpzioni.Loaded());
  EXPECT_EQ(Marcate(d), std::vector<ui::TextBox*>{d.txtCartellaSi});
  EXPECT_EQ(dir.read("KYX.INI"), ini);
  EXPECT_FALSE(Contiene("Apri_MDB0"));

  // In mode 2 the quiet check passes and the apply stops there: the dialog shows itself.
  Chiudi_Finestre();
  frmBase->Show();
  int32_t m = 2;
  frmOpzioni->Carica(m, "ALFA");
  ASSERT_TRUE(frmOpzioni.Loaded());
  EXPECT_TRUE(frmOpzioni->isVisible());
  EXPECT_TRUE(FrmOpzioni::Marcata(*frmOpzioni->txtCartellaSi));
}

TEST_F(Opzioni, CancelInMode3RestoresTheProfileAndThePasswordInUse) {
  Profilo p2;
  p2.descrizione = "Ordini";
  p2.password = "BETA";
  Scrivi_Profilo(1, Profilo{});
  Scrivi_Profilo(2, p2);
  Scrivi_Ini("002", "Elenco", "N");
  int32_t m = 1;
  frmPassword->Carica(m);
  ASSERT_TRUE(frmBase.Loaded());
  Password_Utente = "TIPATA^^^^";
  FrmOpzioni& d = Apri_Da_Toolbar();
  EXPECT_EQ(Profilo_Salvato, 1);
  EXPECT_EQ(d.lblNumSi->Caption(), "1/2");
  EXPECT_TRUE(d.cmdElimina->isEnabled());
  // A move to slot 2 (as the slot arrows do) loads the other profile and its password.
  Profilo_Corrente = 2;
  int32_t hDC = 0;
  Carica_Opzioni(Profilo_Corrente, hDC);
  EXPECT_EQ(Password_Utente, "BETA^^^^^^");
  QTest::keyClick(d.txtPorta, Qt::Key_Escape);
  EXPECT_FALSE(frmOpzioni.Loaded());
  EXPECT_EQ(Profilo_Corrente, 1);
  EXPECT_EQ(Password_Utente, "TIPATA^^^^");
  EXPECT_TRUE(frmBase->Enabled());
  EXPECT_TRUE(frmBase->isVisible());
}

TEST_F(Opzioni, OverAMainWindowHalfOffTheScreenTheDialogStaysOnIt) {
  Scrivi_Profilo(1, Profilo{});
  int32_t m = 1;
  frmPassword->Carica(m);
  FrmBase& b = *frmBase;
  b.Move(1920 * 15.0 - b.Width() / 2, 100 * 15.0);
  FrmOpzioni& d = Apri_Da_Toolbar();
  // Its right edge at the screen's (give or take the frame the offscreen platform adds).
  EXPECT_NEAR(d.Left() + d.Width(), 1920 * 15.0, 75.0);
  EXPECT_LT(d.Left() + d.Width(), b.Left() + b.Width());
  EXPECT_NEAR(d.Top() + d.Height() / 2, b.Top() + b.Height() / 2, 45.0);
}

TEST_F(Opzioni, SavingWritesExactlyTheKeysOfTheProfileInTheirOrder) {
  FrmOpzioni& d = Apri_Da_Toolbar();
  d.txtDataDesc->SetText("05-03-2024");
  d.txtOraDesc->SetText("14:07:09");
  d.txtElemStorico->SetText("25");
  d.txtPrecisioneColore->SetText("16");
  d.cmbExtSalva->SetListIndex(3);
  d.cmbAdatta->SetListIndex(0);
  d.lblColoreRiga[0]->SetForeColor(0xFFFFFF);
  d.lblColoreRiga[0]->SetBackColor(0);
  QFont f = d.lblFontDati->font();
  f.setPointSizeF(8.25);
  d.lblFontDati->setFont(f);
  d.txtLiv[1]->SetText(" a ");
  d.chk01->SetValue(1);
  d.Salva_Opzioni(7);

  std::vector<std::string> attese = {"Parametri", "Check", "DataBase SQL", "Nome", "Descrizione",
                                     "Cartella Dati", "Cartella Storico", "Cartella Esportazione",
                                     "Cartella Preferiti", "Esportazione Estensione",
                                     "Adatta dopo Elaborazione", "Data"};
  for (int i = 0; i <= 9; ++i) attese.push_back("Colore " + std::to_string(i));
  for (int i = 0; i <= 35; ++i) attese.push_back("ColoreLiv " + std::to_string(i));
  for (const char* k : {"Font Nome", "Font Bold", "Font Italic", "Font Size", "Elementi Storico",
                        "Precisione Colore", "Elenco", "Righe zero", "Messaggi aiuto",
                        "Preferiti Aggiorna", "Memorizza Colonne", "Storico pulizia login",
                        "Precisione 15", "Visualizza Excel", "Descrizioni Aggiuntive"}) {
    attese.push_back(k);
  }
  for (int i = 1; i <= 9; ++i) attese.push_back("Livello " + std::to_string(i));
  std::vector<std::string> chiavi;
  for (const std::string& riga : ini::IniFile(File_Ini).ReadSection("007")) {
    chiavi.push_back(riga.substr(0, riga.find('=')));
  }
  EXPECT_EQ(chiavi, attese);
  EXPECT_EQ(Leggi_Ini("007", "Data", ""), "20240305140709");
  EXPECT_EQ(Leggi_Ini("007", "Elementi Storico", ""), "0025");
  EXPECT_EQ(Leggi_Ini("007", "Precisione Colore", ""), "016");
  EXPECT_EQ(Leggi_Ini("007", "Font Size", ""), "0008.25");
  EXPECT_EQ(Leggi_Ini("007", "Colore 0", ""), "16777215-00000000");
  EXPECT_EQ(Leggi_Ini("007", "Esportazione Estensione", ""), "4");
  EXPECT_EQ(Leggi_Ini("007", "Adatta dopo Elaborazione", ""), "0");
  EXPECT_EQ(Leggi_Ini("007", "Livello 1", ""), "# a #");
  EXPECT_EQ(Leggi_Ini("Generale", "Principale", ""), "007");
  EXPECT_EQ(Blocco(7), Blocco(1));
  // The file holds the scrambled connection blocks: it stays private to its owner.
  struct stat st {};
  ASSERT_EQ(stat(File_Ini.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(Opzioni, AProfileThatCannotBeStoredIsRefusedAndNothingIsWritten) {
  struct Caso {
    const char* nome;
    Box casella;
    const char* testo;
  };
  const Caso casi[] = {
      {"server with a bar", &FrmOpzioni::txtConnessione, "SERVER|1"},
      {"user with a tilde", &FrmOpzioni::txtUtente, "ROSSI~"},
      {"password with an accented letter", &FrmOpzioni::txtPassword, "p\xE4sso"},
      {"blank user", &FrmOpzioni::txtUtente, "  "},
      {"the date that means 'never'", &FrmOpzioni::txtDataDesc, "88/88/8888"},
  };
  FrmOpzioni& d = Apri_Da_Toolbar();
  const std::string ini = dir.read("KYX.INI");
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    d.Visualizza_Opzioni();
    (d.*c.casella)->SetText(c.testo);
    host.expect("Le opzioni del sistema informativo3\rnon saranno salvate");
    d.Salva_Opzioni(3);
    ASSERT_EQ(host.pending(), 0u);
    EXPECT_EQ(host.shown().back().style, host::vbExclamation);
    EXPECT_EQ(dir.read("KYX.INI"), ini);
  }
  EXPECT_TRUE(FrmOpzioni::Marcata(*d.txtPassword));
}

}  // namespace
}  // namespace kyx::test
