// The options dialog's own commands: the slots of KYX.INI, the folder pictures, the colour and
// font labels, and the maintenance buttons; with the fault fixes of the check (a character the
// scrambling cannot store) and of the folder texts (only a leading program folder is relative).
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTest>
#include <map>

#include "common/stato_db.h"
#include "engine/stato_motore.h"
#include "layouts/installa/installa_layout.h"
#include "platform/data/static_recordset.h"
#include "ui/installa_viste.h"
#include "views/agganci_viste.h"
#include "views/griglia.h"
#include "views/stato_griglia.h"
#include "platform/data/sqlite_connection.h"
#include "platform/data/table_recordset.h"
#include "platform/host/scripted_dialogs.h"
#include "tests/ui/dialoghi/ambiente_dialoghi.h"
#include "platform/help/help_viewer.h"
#include "platform/ui/pointer.h"
#include "tests/support/guida_prova.h"
#include "ui/dialoghi/folder.h"
#include "ui/mappa_aiuto.h"

namespace kyx::test {
namespace {

using Sezioni = std::map<std::string, std::vector<std::string>>;

// One value read back by the sqlite3 program.
std::string Sqlite3(const std::string& file, const std::string& sql) {
  const std::string cmd = "sqlite3 '" + file + "' \"" + sql + "\"";
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[256];
    while (fgets(buf, sizeof buf, p)) out += buf;
    pclose(p);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

class Comandi : public AmbienteDialoghi {
 protected:
  // Profiles 1 .. n (`uso` listed and the main one, the others not), login with profile `uso`,
  // then "Opzioni".
  FrmOpzioni& Apri(int n, int uso = 1) {
    for (int i = 1; i <= n; ++i) {
      Profilo p;
      p.utente = "UTENTE" + std::to_string(i);
      p.nome = "SI" + std::to_string(i);
      p.descrizione = "Sistema " + std::to_string(i);
      p.elenco = i == uso ? "S" : "N";
      p.altre = "Colore 0=00000255-00065280\nCartella Storico=\\Dati\\STORICO\\";
      Scrivi_Profilo(static_cast<int16_t>(i), p);
    }
    Scrivi_Ini("Generale", "Principale", Numero_Cifre(uso, 3));
    int32_t m = 1;
    frmPassword->Carica(m);
    EXPECT_TRUE(frmBase.Loaded());
    FrmBase& b = *frmBase;
    b.Esegui_Pulsante(b.Toolbar1->Buttons("Opzioni"), ui::vbLeftButton);
    EXPECT_TRUE(frmOpzioni.Loaded());
    traccia.clear();
    return *frmOpzioni;
  }
  static Sezioni Leggi() {
    Sezioni s;
    ini::IniFile f(File_Ini);
    for (const std::string& n : f.SectionNames()) s[n] = f.ReadSection(n);
    return s;
  }
  static mode_t Modo_File() {
    struct stat st {};
    stat(File_Ini.c_str(), &st);
    return st.st_mode & 0777;
  }
  host::ScriptedDialogs dialoghi;
};

// ---- Slots ----

class Eliminazione : public Comandi {
 protected:
  // The slot in use is never the one deleted: it is refused (below).
  void Verifica(int elimina, int mostrato) {
    FrmOpzioni& d = Apri(4, elimina == 1 ? 2 : 1);
    while (Profilo_Corrente > elimina) d.UpDown_DownClick();
    while (Profilo_Corrente < elimina) d.UpDown_UpClick();
    ASSERT_EQ(Profilo_Corrente, elimina);
    const Sezioni prima = Leggi();
    Elaborazione_Corrente = 4;
    d.cmdElimina_Click();
    const Sezioni dopo = Leggi();
    EXPECT_EQ(Numero_Profili, 3);
    EXPECT_EQ(Profilo_Corrente, mostrato);
    EXPECT_EQ(d.lblNumSi->Caption(), std::to_string(mostrato) + "/3");
    for (int n = 1; n <= 3; ++n) {
      const int origine = n < elimina ? n : n + 1;
      EXPECT_EQ(dopo.at(Numero_Cifre(n, 3)), prima.at(Numero_Cifre(origine, 3))) << n;
    }
    EXPECT_TRUE(dopo.at("004").empty());
    EXPECT_EQ(dopo.at("Generale"), prima.at("Generale"));
    EXPECT_EQ(dopo.size(), prima.size());
    EXPECT_EQ(Modo_File(), 0600u);
    EXPECT_EQ(d.txtUtente->Text(), "UTENTE" + std::to_string(mostrato < elimina ? mostrato : mostrato + 1));
    EXPECT_EQ(Elaborazione_Corrente, 0);
  }
};

TEST_F(Eliminazione, SlotTwoOfFourMovesTheFollowingSectionsDown) { Verifica(2, 2); }
TEST_F(Eliminazione, TheLastSlotShowsTheNewLast) { Verifica(4, 3); }
TEST_F(Eliminazione, TheFirstSlotShowsTheOneMovedIntoItsPlace) { Verifica(1, 1); }

// Over a running program the slot in use stays where its windows and databases are: deleting it is
// refused, and deleting a slot before it moves it down, where "Annulla" finds it again.
TEST_F(Eliminazione, TheSlotInUseStaysAndAnnullaGoesOnWithIt) {
  FrmOpzioni& d = Apri(4, 3);
  ASSERT_EQ(Profilo_Corrente, 3);
  const Sezioni prima = Leggi();
  host.expect("Il sistema informativo in uso\rnon pu\xF2 essere eliminato.");
  d.cmdElimina_Click();
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(Leggi(), prima);
  EXPECT_EQ(Numero_Profili, 4);

  d.UpDown_DownClick();
  d.UpDown_DownClick();
  ASSERT_EQ(Profilo_Corrente, 1);
  d.cmdElimina_Click();
  EXPECT_EQ(Numero_Profili, 3);
  d.cmdEsci_Click();
  EXPECT_FALSE(frmOpzioni.Loaded());
  EXPECT_EQ(Profilo_Corrente, 2);
  EXPECT_EQ(vb::Trim(Nome_Utente), "UTENTE3");
  EXPECT_EQ(vb::Trim(Sistema_Informativo), "SI3");
}

TEST_F(Comandi, ASectionLongerThanTheTransferBufferMovesCut) {
  // Slot 2 in use and slot 1 deleted: slot 2's section moves down into "001".
  FrmOpzioni& d = Apri(2, 2);
  // 400 keys of 99 characters: far beyond the 32768 characters one transfer holds.
  ini::IniFile f(File_Ini);
  for (int i = 0; i < 400; ++i) f.Write("002", "Extra" + Numero_Cifre(i, 3), std::string(90, 'v'));
  const size_t righe_prima = f.ReadSection("002").size();
  d.UpDown_DownClick();
  ASSERT_EQ(Profilo_Corrente, 1);
  d.cmdElimina_Click();
  const std::vector<std::string> mosse = f.ReadSection("001");
  size_t caratteri = 0;
  for (const std::string& r : mosse) caratteri += r.size() + 1;
  EXPECT_LT(mosse.size(), righe_prima);
  EXPECT_LE(caratteri, 32766u);
  EXPECT_GT(caratteri, 32000u);
}

TEST_F(Comandi, TheArrowsSaveTheSlotLeftAndStopAtBothEnds) {
  FrmOpzioni& d = Apri(3);
  d.txtDescrizioneSi->SetText("Cambiata");
  d.UpDown_DownClick();  // slot 1: nothing
  EXPECT_EQ(Profilo_Corrente, 1);
  EXPECT_EQ(Leggi_Ini("001", "Descrizione", ""), "Sistema 1");
  d.UpDown_UpClick();
  EXPECT_EQ(Profilo_Corrente, 2);
  EXPECT_EQ(Leggi_Ini("001", "Descrizione", ""), "Cambiata");
  EXPECT_EQ(d.txtDescrizioneSi->Text(), "Sistema 2");
  EXPECT_EQ(d.lblNumSi->Caption(), "2/3");
  d.UpDown_UpClick();
  d.UpDown_UpClick();  // slot 3 of 3: nothing
  EXPECT_EQ(Profilo_Corrente, 3);
  EXPECT_TRUE(d.Enabled());
  EXPECT_EQ(host.pointer(), host::vbDefault);

  // An invalid slot is not left: its box is marked and nothing is saved.
  const std::string ini = dir.read("KYX.INI");
  d.txtUtente->SetText("");
  d.UpDown_DownClick();
  EXPECT_EQ(Profilo_Corrente, 3);
  EXPECT_TRUE(FrmOpzioni::Marcata(*d.txtUtente));
  d.cmdAggiunta_Click();
  EXPECT_EQ(Numero_Profili, 3);
  EXPECT_EQ(dir.read("KYX.INI"), ini);
}

TEST_F(Comandi, AddingCopiesTheSlotShownWithADescriptionDateThatReloadsEverything) {
  FrmOpzioni& d = Apri(3);
  d.UpDown_UpClick();
  d.chk01->SetValue(1);  // "Principale"
  Elaborazione_Corrente = 5;
  d.cmdAggiunta_Click();
  EXPECT_EQ(Numero_Profili, 4);
  EXPECT_EQ(Profilo_Corrente, 4);
  EXPECT_EQ(d.lblNumSi->Caption(), "4/4");
  EXPECT_EQ(d.txtUtente->Text(), "UTENTE2");
  EXPECT_EQ(d.txtDirStorico->Text(), "\\Dati\\STORICO\\");
  EXPECT_EQ(d.txtDataDesc->Text(), "01/01/2000");
  EXPECT_EQ(d.txtOraDesc->Text(), "01:01:01");
  EXPECT_EQ(Leggi_Ini("004", "Data", ""), "20000101010101");
  EXPECT_EQ(Leggi_Ini("004", "Colore 0", ""), "00000255-00065280");
  EXPECT_EQ(Leggi_Ini("002", "Data", ""), "20240305140709");
  EXPECT_EQ(Blocco(4), Blocco(2));
  EXPECT_EQ(Leggi_Ini("Generale", "Principale", ""), "004");
  EXPECT_EQ(Elaborazione_Corrente, 0);
  EXPECT_EQ(Modo_File(), 0600u);
}

// ---- The check refuses what the scrambling cannot store ----

TEST_F(Comandi, ACharacterTheScramblingCannotStoreKeepsTheDialogOpenOnItsBox) {
  using Box = ui::TextBox* FrmOpzioni::*;
  struct Caso {
    Box casella;
    const char* testo;
  };
  FrmOpzioni& d = Apri(1);
  const std::string ini = dir.read("KYX.INI");
  for (const Caso& c : {Caso{&FrmOpzioni::txtConnessione, "SERVER|1"}, Caso{&FrmOpzioni::txtUtente, "ROSSI~"},
                        Caso{&FrmOpzioni::txtPassword, "p\xE4sso"}, Caso{&FrmOpzioni::txtPorta, "41}0"}}) {
    SCOPED_TRACE(c.testo);
    d.Visualizza_Opzioni();
    d.txtDescrizioneSi->SetText("Modificata");
    (d.*c.casella)->SetText(c.testo);
    QTest::keyClick(d.txtNomeSi, Qt::Key_Return);
    ASSERT_TRUE(frmOpzioni.Loaded());
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(FrmOpzioni::Marcata(*(d.*c.casella)));
    // The edits are still there to be corrected, and nothing was stored or applied.
    EXPECT_EQ(d.txtDescrizioneSi->Text(), "Modificata");
    EXPECT_EQ(dir.read("KYX.INI"), ini);
    EXPECT_FALSE(Contiene("Apri_MDB0"));
  }
  EXPECT_TRUE(host.shown().empty());
}

// ---- Folder choice ----

TEST_F(Comandi, TheFolderPicturesOpenTheBrowserOnTheBoxAndWriteTheChoiceBack) {
  FrmOpzioni& d = Apri(1);
  const std::string P = Cartella_Programma;
  files::make_folder(P + "Dati/STORICO/Anno 2024");
  files::make_folder(P + "Dati/Citt\xC3\xA0 \xC3\xA9");  // "Città é", as Linux names it (UTF-8)
  TempDir altro;
  // The same program folder text deeper inside another path is not the program folder.
  const std::string copia = altro.path() + P;
  files::make_folder(copia + "Dati");
  struct Caso {
    void (FrmOpzioni::*picture)();
    ui::TextBox* FrmOpzioni::*casella;
    std::string testo, titolo, inizio, scelta, risultato;
  };
  const Caso casi[] = {
      {&FrmOpzioni::imgDirStorico_MouseDown, &FrmOpzioni::txtDirStorico, "\\Dati\\", "Cartella storico", P + "Dati/",
       P + "Dati/STORICO/Anno 2024", "\\Dati\\STORICO\\Anno 2024\\"},
      {&FrmOpzioni::imgCartellaSi_MouseDown, &FrmOpzioni::txtCartellaSi, "\\Dati\\", "Cartella dati", P + "Dati/",
       P + "Dati/Citt\xC3\xA0 \xC3\xA9", "\\Dati\\Citt\xC3\xA0 \xC3\xA9\\"},
      {&FrmOpzioni::imgDirPref_MouseDown, &FrmOpzioni::txtDirPref, "\\Dati\\", "Cartella preferiti", P + "Dati/",
       copia + "Dati", copia + "Dati\\"},
      {&FrmOpzioni::imgDirSalva_MouseDown, &FrmOpzioni::txtDirSalva, altro.path() + "/", "Cartella salvataggi",
       altro.path() + "/", P.substr(0, P.size() - 1), P.substr(0, P.size() - 1) + "\\"},
      {&FrmOpzioni::imgDirSalva_MouseDown, &FrmOpzioni::txtDirSalva, "\\\\SERVER\\SHARE\\", "Cartella salvataggi",
       "/SERVER/SHARE/", "/", "/\\"},
      // Cancel leaves the box as it was.
      {&FrmOpzioni::imgDirStorico_MouseDown, &FrmOpzioni::txtDirStorico, "\\Dati\\X\\", "Cartella storico",
       P + "Dati/X/", "", "\\Dati\\X\\"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.risultato);
    (d.*c.casella)->SetText(c.testo);
    dialoghi.expect_folder(c.scelta);
    (d.*c.picture)();
    ASSERT_EQ(dialoghi.pending(), 0u);
    EXPECT_EQ(dialoghi.opened().back().title, c.titolo);
    EXPECT_EQ(dialoghi.opened().back().start, c.inizio);
    EXPECT_EQ((d.*c.casella)->Text(), c.risultato);
  }
  // The chosen folders pass the check as they are: none is offered for creation.
  d.txtDirStorico->SetText("\\Dati\\STORICO\\Anno 2024\\");
  d.txtDirSalva->SetText(copia + "Dati\\");
  bool Esito = false;
  d.Controlla_Opzioni(false, Esito);
  EXPECT_TRUE(Esito);
  EXPECT_TRUE(host.shown().empty());
}

TEST_F(Comandi, AFolderDeepInAnotherPathIsShownWhole) {
  FrmOpzioni& d = Apri(1);
  // The profile's folders as the dialog shows them: a copy of the program's tree on another disk
  // is not the program folder, and the check finds it as it is, offering to create nothing.
  TempDir altro;
  const std::string copia = altro.path() + Cartella_Programma + "Dati/";
  files::make_folder(copia);
  Cartella_Storico = copia;
  Cartella_Preferiti = Cartella_Programma + "Dati/";
  d.Visualizza_Opzioni();
  EXPECT_EQ(d.txtDirStorico->Text(), copia);
  EXPECT_EQ(d.txtDirPref->Text(), "\\Dati/");
  bool Esito = false;
  d.Controlla_Opzioni(false, Esito);
  EXPECT_TRUE(Esito);
  EXPECT_TRUE(host.shown().empty());

  Cartella_Programma = "/opt/kyx/";
  EXPECT_EQ(Cartella_Relativa("/mnt/b/opt/kyx/Dati/"), "/mnt/b/opt/kyx/Dati/");
  EXPECT_EQ(Cartella_Relativa("/opt/kyx/Dati/"), "\\Dati/");
  EXPECT_EQ(Cartella_Relativa("/opt/kyxDati/"), "/opt/kyxDati/");
  EXPECT_EQ(Cartella_Relativa("/OPT/KYX/Dati/"), "/OPT/KYX/Dati/");
}

TEST_F(Comandi, APicturePressOpensTheBrowser) {
  FrmOpzioni& d = Apri(1);
  dialoghi.expect_folder("");
  QTest::mousePress(d.imgDirPref, Qt::LeftButton);
  EXPECT_EQ(dialoghi.pending(), 0u);
  QTest::mouseRelease(d.imgDirPref, Qt::LeftButton);
}

// ---- Colours and font ----

TEST_F(Comandi, ColourLabelsChooseTextOrBackgroundAndTheSaveStoresThem) {
  FrmOpzioni& d = Apri(1);
  ui::Label& righe = *d.lblColoreRiga[0];
  ui::Label& livello = *d.lblColoreLiv[19];
  righe.SetForeColor(0x000000);
  righe.SetBackColor(0xFFFFFF);
  livello.SetForeColor(0x000080);
  livello.SetBackColor(0xC0C0C0);
  struct Caso {
    ui::Label* etichetta;
    int indice, tasto, shift;
    bool livello;
    std::optional<uint32_t> scelta;
    uint32_t testo, sfondo;
  };
  const Caso casi[] = {
      {&righe, 0, ui::vbLeftButton, 0, false, 0x0000FF, 0x0000FF, 0xFFFFFF},
      {&righe, 0, ui::vbRightButton, 0, false, 0x00FF00, 0x0000FF, 0x00FF00},
      {&righe, 0, ui::vbLeftButton, 0, false, std::nullopt, 0x0000FF, 0x00FF00},
      // Ctrl with Shift on a level label is not Ctrl alone: the colour dialog opens.
      {&livello, 19, ui::vbLeftButton, ui::vbCtrlMask | ui::vbShiftMask, true, 0x123456, 0x123456,
       livello.BackColor()},
  };
  for (const Caso& c : casi) {
    const uint32_t prima = c.tasto == ui::vbLeftButton ? c.etichetta->ForeColor() : c.etichetta->BackColor();
    dialoghi.expect_colour(c.scelta);
    if (c.livello) {
      d.lblColoreLiv_MouseUp(c.indice, c.tasto, c.shift);
    } else {
      d.lblColoreRiga_MouseUp(c.indice, c.tasto, c.shift);
    }
    ASSERT_EQ(dialoghi.pending(), 0u);
    EXPECT_EQ(dialoghi.opened().back().flags, 3);
    EXPECT_EQ(dialoghi.opened().back().colour, prima);
    EXPECT_EQ(c.etichetta->ForeColor(), c.testo);
    EXPECT_EQ(c.etichetta->BackColor(), c.sfondo);
  }
  // Ctrl and the right button on a level label: nothing opens.
  d.lblColoreLiv_MouseUp(19, ui::vbRightButton, ui::vbCtrlMask);
  // Ctrl and the left button: the label's own font, not stored.
  dialoghi.expect_font(host::FontChoice{"Courier New", true, false, 12});
  d.lblColoreLiv_MouseUp(19, ui::vbLeftButton, ui::vbCtrlMask);
  EXPECT_EQ(dialoghi.opened().back().flags, 1025);
  EXPECT_EQ(livello.font().family(), "Courier New");
  EXPECT_EQ(dialoghi.pending(), 0u);

  // The data font, chosen and then stored with the profile; a cancel changes nothing.
  dialoghi.expect_font(host::FontChoice{"Liberation Serif", false, true, 8.25});
  d.lblFontDati_Click();
  EXPECT_EQ(dialoghi.opened().back().title, "Scelta del font");
  EXPECT_EQ(dialoghi.opened().back().flags, 1025);
  dialoghi.expect_font(std::nullopt);
  d.lblFontDati_Click();
  EXPECT_EQ(dialoghi.pending(), 0u);
  d.Salva_Opzioni(1);
  EXPECT_EQ(Leggi_Ini("001", "Colore 0", ""), "00000255-00065280");
  EXPECT_EQ(Leggi_Ini("001", "ColoreLiv 18", ""), "01193046-12632256");
  EXPECT_EQ(Leggi_Ini("001", "Font Nome", ""), "Liberation Serif");
  EXPECT_EQ(Leggi_Ini("001", "Font Bold", ""), "N");
  EXPECT_EQ(Leggi_Ini("001", "Font Italic", ""), "S");
  EXPECT_EQ(Leggi_Ini("001", "Font Size", ""), "0008.25");

  // Read back by the loader into the settings the grid paints with.
  int16_t uno = 1;
  int32_t hDC = 0;
  Carica_Opzioni(uno, hDC);
  EXPECT_EQ(Colori[0], 0x0000FF);
  EXPECT_EQ(Colori[1], 0x00FF00);
  EXPECT_EQ(Colori_Livello[36], 0x123456);
  EXPECT_EQ(Font_Nome, "Liberation Serif");
  EXPECT_FALSE(Font_Grassetto);
  EXPECT_TRUE(Font_Corsivo);
  EXPECT_DOUBLE_EQ(Font_Dimensione, 8.25);
}

TEST_F(Comandi, ColoursAndFontChosenAreWhatTheGridPaintsWithOnceApplied) {
  FrmOpzioni& d = Apri(1);
  Installa_Viste();
  d.lblColoreRiga[0]->SetBackColor(0xFFFFFF);
  dialoghi.expect_colour(0x0000C0);  // odd rows on screen: dark red text
  d.lblColoreRiga_MouseUp(0, ui::vbLeftButton, 0);
  dialoghi.expect_colour(0xE0FFE0);  // and a pale green background
  d.lblColoreRiga_MouseUp(0, ui::vbRightButton, 0);
  dialoghi.expect_font(host::FontChoice{"Liberation Mono", false, false, 10});
  d.lblFontDati_Click();
  d.cmdAggiorna_Click();
  ASSERT_FALSE(frmOpzioni.Loaded());

  // A result of two detail rows in the main window's grid.
  stato_motore::reset();
  stato_griglia::reset();
  Modo_Griglia = 3;
  Numero_Colonne = 1;
  Righe_Intestazione = 1;
  for (int c = 0; c <= 1; ++c) {
    Col_Visibile[c] = 2;
    Col_Larghezza[c] = 1500;
    Col_Chiave[c] = -1;
    Col_Descrizione[c] = -1;
    Col_Tipo[c] = 10;
    Col_Intestazione[c] = "Col " + std::to_string(c);
  }
  Col_Chiave[1] = 1;
  auto rs = std::make_unique<data::StaticRecordset>();
  rs->AppendField(data::TextField("c000", 20));
  rs->AppendField(data::TextField("c001", 50));
  ASSERT_TRUE(rs->OpenFabricated().ok());
  for (const char* codice : {"A", "B"}) {
    rs->AddNew();
    rs->SetText(0, "0000012");
    rs->SetText(1, codice);
    ASSERT_TRUE(rs->Update().ok());
  }
  Numero_Record = 2;
  Rs_Griglia = std::move(rs);
  Prima_Riga = -1;
  Riga_Evidenziata = -1;
  Scorrimento_Colonne = -1;
  Visualizza_Griglia();
  ui::FlexGrid& g = *frmBase->Grid1;
  ASSERT_GE(g.Rows(), 2);
  g.SetRow(1);
  g.SetCol(1);
  EXPECT_EQ(g.TextMatrix(1, 1), "A");
  EXPECT_EQ(g.CellForeColor(), 0x0000C0u);
  EXPECT_EQ(g.CellBackColor(), 0xE0FFE0u);
  EXPECT_EQ(g.FontName(), "Liberation Mono");
  Rs_Griglia.reset();
  stato_griglia::reset();
  stato_motore::reset();
  agganci_viste::reset();
}

// ---- Maintenance ----

class Pulizia : public Comandi {
 protected:
  void Scrivi_File(const std::string& cartella, const std::string& nome) {
    files::make_folder(cartella);
    files::write_file_atomic(cartella + nome, "x");
  }
};

TEST_F(Pulizia, NoToAnyQuestionChangesNothing) {
  FrmOpzioni& d = Apri(1);
  const std::string storico = Cartella_Programma + "Dati/STORICO/";
  Scrivi_File(storico, "KYX_E_1_1.DAT");
  Elaborazione_Corrente = 7;
  Storico_Ultimo = 9;
  const std::string ini = dir.read("KYX.INI");
  struct Caso {
    void (FrmOpzioni::*comando)();
    const char* domanda;
  };
  for (const Caso& c : {Caso{&FrmOpzioni::cmdDescrizioni_Click, "L'archivio delle descrizioni\rsar\xE0 eliminato\r\r"},
                        Caso{&FrmOpzioni::cmdStorico_Click, "Tutti i dati storici saranno\reliminati\r\r"},
                        Caso{&FrmOpzioni::cmdDettaglio_Click, "Tutti i dati di dettaglio saranno\reliminati\r\r"}}) {
    host.expect(std::string(c.domanda) + "S\xEC = elimina\rNo = nessuna operazione", host::vbNo);
    (d.*c.comando)();
    ASSERT_EQ(host.pending(), 0u);
    EXPECT_EQ(host.shown().back().style, host::vbYesNo | host::vbExclamation | host::vbDefaultButton2);
    EXPECT_EQ(host.shown().back().title, "Q-KRE");
  }
  EXPECT_EQ(Elaborazione_Corrente, 7);
  EXPECT_EQ(Storico_Ultimo, 9);
  EXPECT_TRUE(files::file_exists(storico + "KYX_E_1_1.DAT"));
  EXPECT_EQ(dir.read("KYX.INI"), ini);
  EXPECT_TRUE(traccia.empty());

  // An invalid profile asks nothing.
  d.txtUtente->SetText("");
  d.cmdStorico_Click();
  EXPECT_TRUE(FrmOpzioni::Marcata(*d.txtUtente));
  EXPECT_TRUE(files::file_exists(storico + "KYX_E_1_1.DAT"));
}

TEST_F(Pulizia, HistoryDeletesOnlyTheSavedElaborationsOfTheFolderShown) {
  FrmOpzioni& d = Apri(1);
  const std::string storico = Cartella_Programma + "Dati/STORICO/";
  for (const char* f : {"KYX_E_1_1.DAT", "KYX_E_1_2.DAT", "KYX_E_27_1.DAT", "KYX_E.TXT", "ALTRO.DAT"})
    Scrivi_File(storico, f);
  Scrivi_File(storico + "SOTTO/", "KYX_E_3_1.DAT");
  Storico_Primo = 5;
  Storico_Ultimo = 27;
  Elaborazione_Corrente = 27;
  d.txtDirStorico->SetText(" \\Dati\\STORICO\\ ");
  host.expect("Tutti i dati storici saranno", host::vbYes);
  d.cmdStorico_Click();
  EXPECT_EQ(files::list_files(storico, "*.*"), (std::vector<std::string>{"ALTRO.DAT", "KYX_E.TXT"}));
  EXPECT_TRUE(files::file_exists(storico + "SOTTO/KYX_E_3_1.DAT"));
  EXPECT_EQ(Storico_Primo, 1);
  EXPECT_EQ(Storico_Ultimo, 0);
  EXPECT_EQ(Elaborazione_Corrente, 0);
  // Again with nothing to delete: the numbers are still reset.
  Storico_Ultimo = 3;
  host.expect("Tutti i dati storici saranno", host::vbYes);
  d.cmdStorico_Click();
  EXPECT_EQ(Storico_Ultimo, 0);
  EXPECT_EQ(host.pending(), 0u);
}

TEST_F(Pulizia, AHistoryFileThatCannotBeDeletedIsReportedAndTheNumbersStay) {
  if (geteuid() == 0) GTEST_SKIP() << "root deletes from a read-only folder";
  FrmOpzioni& d = Apri(1);
  const std::string storico = Cartella_Programma + "Dati/STORICO/";
  Scrivi_File(storico, "KYX_E_1_1.DAT");
  chmod(storico.c_str(), 0555);
  Storico_Ultimo = 4;
  host.expect("Tutti i dati storici saranno", host::vbYes);
  host.expect("KYX_E_1_1.DAT\rnon pu\xF2 essere eliminato");
  d.cmdStorico_Click();
  chmod(storico.c_str(), 0755);
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(Storico_Ultimo, 4);
  EXPECT_TRUE(files::file_exists(storico + "KYX_E_1_1.DAT"));
}

// The favourites' two buttons, served by the layout files: a tree of saved elaborations with a
// sub-folder, and a file that is not one of them.
class PuliziaPreferiti : public Pulizia {
 protected:
  void SetUp() override {
    Installa_Layout();
    for (const std::string& c : {radice, sotto}) {
      for (const char* f : {"KYX_E_1_1.DAT", "KYX_E_1_2.DAT"})
        ASSERT_TRUE(files::make_folder(c) && files::write_file_atomic(c + f, "[Q-KRE]\r\n_Anno____=2014\r\n"));
    }
    Scrivi_File(radice, "ALTRO.DAT");
  }
  static std::string Anno(const std::string& file) { return ini::IniFile(file).Read("Q-KRE", "_Anno____", ""); }
  const std::string radice = Cartella_Programma + "Dati/PREFERITI/";
  const std::string sotto = radice + "Vendite/";
};

// Makes a file unchangeable while it lives, for root too: the file system's immutable attribute
// (a file no one may delete or replace); failing that, without root, a read-only folder.
class Bloccato {
 public:
  explicit Bloccato(const std::string& file) : file_(file), cartella_(file.substr(0, file.rfind('/'))) {
    const int fd = ::open(file_.c_str(), O_RDONLY);
    int flag = 0;
    if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flag) == 0) {
      flag |= FS_IMMUTABLE_FL;
      immutabile_ = ::ioctl(fd, FS_IOC_SETFLAGS, &flag) == 0;
    }
    if (fd >= 0) ::close(fd);
    if (!immutabile_ && geteuid() != 0) sola_lettura_ = ::chmod(cartella_.c_str(), 0555) == 0;
  }
  ~Bloccato() {
    if (immutabile_) {
      const int fd = ::open(file_.c_str(), O_RDONLY);
      int flag = 0;
      if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flag) == 0) {
        flag &= ~FS_IMMUTABLE_FL;
        ::ioctl(fd, FS_IOC_SETFLAGS, &flag);
      }
      if (fd >= 0) ::close(fd);
    }
    if (sola_lettura_) ::chmod(cartella_.c_str(), 0755);
  }
  bool ok() const { return immutabile_ || sola_lettura_; }

 private:
  std::string file_, cartella_;
  bool immutabile_ = false, sola_lettura_ = false;
};

TEST_F(PuliziaPreferiti, NoToEitherQuestionChangesNothing) {
  FrmOpzioni& d = Apri(1);
  Elaborazione_Corrente = 7;
  Anno_Riferimento = 2024;
  host.expect("Tutti i preferiti saranno\reliminati\r\rS\xEC = elimina\rNo = nessuna operazione", host::vbNo);
  d.cmdPreferiti->Click();
  host.expect("L'anno di riferimento\rsar\xE0 impostato con 2024\rsu tutti i preferiti\r\rS\xEC = aggiorna", host::vbNo);
  d.cmdAnnoRiferimento->Click();
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(host.shown().back().style, host::vbYesNo | host::vbExclamation | host::vbDefaultButton2);
  EXPECT_EQ(Elaborazione_Corrente, 7);
  EXPECT_EQ(files::list_files(sotto, "*"), (std::vector<std::string>{"KYX_E_1_1.DAT", "KYX_E_1_2.DAT"}));
  EXPECT_EQ(Anno(sotto + "KYX_E_1_2.DAT"), "2014");
}

TEST_F(PuliziaPreferiti, YesSetsTheYearAndDeletesTheFavouritesOfEverySubFolder) {
  FrmOpzioni& d = Apri(1);
  Elaborazione_Corrente = 7;
  Anno_Riferimento = 2024;
  host.expect("L'anno di riferimento", host::vbYes);
  d.cmdAnnoRiferimento->Click();
  EXPECT_EQ(Anno(radice + "KYX_E_1_2.DAT"), "2024");
  EXPECT_EQ(Anno(sotto + "KYX_E_1_2.DAT"), "2024");
  EXPECT_EQ(Anno(sotto + "KYX_E_1_1.DAT"), "2014") << "only the layout files";
  EXPECT_EQ(Elaborazione_Corrente, 7);

  host.expect("Tutti i preferiti saranno", host::vbYes);
  d.cmdPreferiti->Click();
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(files::list_files(radice, "*"), std::vector<std::string>{"ALTRO.DAT"});
  EXPECT_TRUE(files::folder_exists(sotto));
  EXPECT_TRUE(files::list_files(sotto, "*").empty());
  EXPECT_EQ(Elaborazione_Corrente, 0);
}

TEST_F(PuliziaPreferiti, AFavouriteThatCannotBeChangedIsNamedAndKept) {
  FrmOpzioni& d = Apri(1);
  Anno_Riferimento = 2024;
  const std::string bloccato = sotto + "KYX_E_1_2.DAT";
  {
    Bloccato b(bloccato);
    if (!b.ok()) GTEST_SKIP() << "this file system cannot make a file unchangeable";
    host.expect("L'anno di riferimento", host::vbYes);
    host.expect("KYX_E_1_2.DAT\rnon pu\xF2 essere aggiornato");
    d.cmdAnnoRiferimento->Click();
    EXPECT_EQ(host.pending(), 0u);
    EXPECT_EQ(host.shown().back().style, host::vbCritical);
    EXPECT_NE(host.shown().back().text.find("Il file "), std::string::npos);

    host.expect("Tutti i preferiti saranno", host::vbYes);
    host.expect("KYX_E_1_2.DAT\rnon pu\xF2 essere eliminato");
    d.cmdPreferiti->Click();
    EXPECT_EQ(host.pending(), 0u);
    EXPECT_EQ(host.shown().back().style, host::vbCritical);
  }
  EXPECT_EQ(Anno(bloccato), "2014");
  EXPECT_TRUE(files::list_files(sotto, "*.TMP").empty());
}

TEST_F(Pulizia, DetailDataRebuildTheDatabaseAndAFailureIsReported) {
  FrmOpzioni& d = Apri(1);
  for (bool riesce : {true, false}) {
    db_ok[2] = riesce;
    traccia.clear();
    Elaborazione_Corrente = 3;
    host.expect("Tutti i dati di dettaglio saranno", host::vbYes);
    if (!riesce) host.expect("Errore 011 - DB 2");
    d.cmdDettaglio_Click();
    EXPECT_EQ(host.pending(), 0u);
    EXPECT_EQ(traccia, std::vector<std::string>{"Apri_MDB2 R"});
    EXPECT_EQ(Elaborazione_Corrente, 0);
  }
}

TEST_F(Pulizia, DescriptionsAreMarkedForDownloadAndTheDateReset) {
  FrmOpzioni& d = Apri(1);
  // A real descriptions table: three rows, then none.
  std::unique_ptr<data::Connection> cn;
  auto sq = std::make_unique<data::SqliteConnection>();
  ASSERT_TRUE(sq->Open(dir.file("descr.db"), data::OpenMode::kCreate).ok());
  ASSERT_TRUE(sq->Execute("CREATE TABLE D (Stato TEXT, Chiave TEXT PRIMARY KEY)").ok());
  ASSERT_TRUE(sq->Execute("CREATE INDEX D_L__D ON D (Chiave)").ok());
  ASSERT_TRUE(sq->Execute("INSERT INTO D VALUES ('N','a'),('M','b'),('N','c')").ok());
  cn = std::move(sq);
  Rs_Descrizioni = std::make_unique<data::TableRecordset>();
  ASSERT_TRUE(Rs_Descrizioni->Open(*cn, "D", "D_L").ok());
  for (int giro = 0; giro < 2; ++giro) {
    Scrivi_Ini("001", "Data", "20240305140709");
    d.Visualizza_Opzioni();
    Elaborazione_Corrente = 2;
    host.expect("L'archivio delle descrizioni", host::vbYes);
    d.cmdDescrizioni_Click();
    EXPECT_EQ(host.pending(), 0u);
    EXPECT_EQ(Leggi_Ini("001", "Data", ""), "20000101010101");
    EXPECT_EQ(d.txtDataDesc->Text(), "01/01/2000");
    EXPECT_EQ(d.txtOraDesc->Text(), "01:01:01");
    EXPECT_EQ(Elaborazione_Corrente, 0);
    EXPECT_TRUE(d.Enabled());
    EXPECT_TRUE(Contiene("Apri_MDB1"));
    if (giro == 0) {
      ASSERT_TRUE(cn->Execute("DELETE FROM D WHERE Chiave = 'b'").ok());
    }
  }
  Rs_Descrizioni.reset();
  cn->Close();
  // Read back by sqlite3: every remaining row is "A".
  EXPECT_EQ(Sqlite3(dir.file("descr.db"), "SELECT group_concat(Stato || Chiave, ' ') FROM D"), "Aa Ac");

  // A row the database refuses to update: reported, and the date left as it was, since the
  // descriptions were not all marked.
  auto rifiuta = std::make_unique<data::SqliteConnection>();
  ASSERT_TRUE(rifiuta->Open(dir.file("rifiuta.db"), data::OpenMode::kCreate).ok());
  ASSERT_TRUE(rifiuta->Execute("CREATE TABLE D (Stato TEXT CHECK (Stato <> 'A'), Chiave TEXT PRIMARY KEY)").ok());
  ASSERT_TRUE(rifiuta->Execute("CREATE INDEX D_L__D ON D (Chiave)").ok());
  ASSERT_TRUE(rifiuta->Execute("INSERT INTO D VALUES ('N','a')").ok());
  Rs_Descrizioni = std::make_unique<data::TableRecordset>();
  ASSERT_TRUE(Rs_Descrizioni->Open(*rifiuta, "D", "D_L").ok());
  Scrivi_Ini("001", "Data", "20240305140709");
  host.expect("L'archivio delle descrizioni", host::vbYes);
  host.expect("Errore 010 - DB 1\r");
  d.cmdDescrizioni_Click();
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(Leggi_Ini("001", "Data", ""), "20240305140709");
  EXPECT_TRUE(d.Enabled());
  Rs_Descrizioni.reset();
  rifiuta->Close();

  // The descriptions database cannot be opened: reported, nothing reset but the elaboration.
  db_ok[1] = false;
  Scrivi_Ini("001", "Data", "20240305140709");
  host.expect("L'archivio delle descrizioni", host::vbYes);
  host.expect("Errore 010 - DB 1");
  d.cmdDescrizioni_Click();
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(Leggi_Ini("001", "Data", ""), "20240305140709");
}

// ---- Context help ----

TEST_F(Comandi, F1OverEachAreaOfTheDialogOpensItsTopic) {
  FrmOpzioni& d = Apri(1);
  ASSERT_TRUE(Crea_Guida(dir.path()));
  struct Caso {
    QWidget* dove;
    const char* argomento;
  };
  const Caso casi[] = {
      {d.Release, "/11701.htm"},        {d.UpDown, "/11702.htm"},           {d.cmdAggiunta, "/11703.htm"},
      {d.cmdElimina, "/11704.htm"},     {d.txtConnessione, "/11705.htm"},   {d.imgCartellaSi, "/11706.htm"},
      {d.txtUtente, "/11707.htm"},      {d.txtDirStorico, "/11708.htm"},    {d.txtPassword, "/11709.htm"},
      {d.imgDirPref, "/11710.htm"},     {d.txtDataBaseSQL, "/11711.htm"},   {d.txtDirSalva, "/11712.htm"},
      {d.txtNomeSi, "/11713.htm"},      {d.cmbExtSalva, "/11714.htm"},      {d.txtDescrizioneSi, "/11715.htm"},
      {d.cmbAdatta, "/11716.htm"},      {d.txtOraDesc, "/11717.htm"},       {d.lblFontDati, "/11718.htm"},
      {d.txtElemStorico, "/11719.htm"}, {d.chk01, "/11720.htm"},            {d.chk02, "/11721.htm"},
      {d.txtPrecisioneColore, "/11722.htm"}, {d.chk03, "/11723.htm"},       {d.chk04, "/11724.htm"},
      {d.chk05, "/11725.htm"},          {d.chk06, "/11726.htm"},            {d.chk07, "/11727.htm"},
      {d.chk09, "/11737.htm"},          {d.chk10, "/11738.htm"},            {d.chk08, "/11728.htm"},
      {d.lblColoreRiga[3], "/11730.htm"}, {d.txtLiv[5], "/11730.htm"},      {d.cmdAnnoRiferimento, "/11740.htm"},
      {d.cmdDescrizioni, "/11731.htm"}, {d.cmdStorico, "/11732.htm"},       {d.cmdDettaglio, "/11733.htm"},
      {d.cmdPreferiti, "/11734.htm"},   {d.cmdAggiorna, "/11735.htm"},      {d.cmdEsci, "/11736.htm"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.argomento);
    const QPoint g = c.dove->mapToGlobal(c.dove->rect().center());
    ui::SetCursorPos(g.x(), g.y());
    FrmBase::Hook_Aiuto(d);
    ASSERT_NE(help::OpenViewer(), nullptr);
    EXPECT_EQ(help::OpenViewer()->Topic(), c.argomento);
    EXPECT_NE(help::OpenViewer()->PageText().find("Argomento " + std::string(c.argomento).substr(1, 5)),
              std::string::npos);
    EXPECT_EQ(Finestra_Aiuto, help::OpenViewer()->hWnd());
  }
  // Inside the dialog but on no control: the dialog's own topic, the one of "Opzioni".
  const QPoint g = d.mapToGlobal(QPoint(2, d.height() - 3));
  ui::SetCursorPos(g.x(), g.y());
  FrmBase::Hook_Aiuto(d);
  EXPECT_EQ(help::OpenViewer()->Topic(), "/10017.htm");
  // Above the dialog (its title bar on the map): nothing opens.
  delete help::OpenViewer();
  QApplication::processEvents();
  const QPoint sopra = d.mapToGlobal(QPoint(100, -10));
  ui::SetCursorPos(sopra.x(), sopra.y());
  FrmBase::Hook_Aiuto(d);
  EXPECT_EQ(help::OpenViewer(), nullptr);
}

}  // namespace
}  // namespace kyx::test
