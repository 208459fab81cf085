// The favourites window, its menu and its edit dialog on a real folder tree: the tree built from
// the files, a favourite opened as saved, drag and drop with its refusals, and the folder and
// favourite edits mirrored on disk and in the tree.
#include <QTreeWidget>

#include "engine/stato_motore.h"
#include "layouts/preferiti.h"
#include "platform/data/static_recordset.h"
#include "platform/ini/ini_file.h"
#include "platform/ui/keyed_tree.h"
#include "platform/ui/simple_controls.h"
#include "tests/ui/dialoghi/ambiente_dialoghi.h"
#include "ui/dialoghi/frm_menu_preferiti.h"
#include "ui/dialoghi/frm_menu_preferiti_menu.h"
#include "ui/dialoghi/frm_menu_preferiti_modifica.h"

namespace kyx::test {
namespace {

class Preferiti : public AmbienteDialoghi {
 protected:
  ~Preferiti() override {
    delete frmMenuPreferitiModifica.peek();
    delete frmMenuPreferitiMenu.peek();
    delete frmMenuPreferiti.peek();
    preferiti::reset();
  }

  // Logs in with profile 1 and writes the favourites tree of the fixture:
  //   Vendite/KYX_E_000003 (keyed, saved result of 3 rows), Vendite/Nord/KYX_E_000017 (keyed),
  //   Vecchi/KYX_E_000005 (old positional layout file), Vecchi/KYX_E_00012_2.DAT (not a favourite).
  void SetUp() override {
    Scrivi_Profilo(1, Profilo{});
    int32_t m = 1;
    frmPassword->Carica(m);
    ASSERT_TRUE(frmBase.Loaded());
    radice = Cartella_Preferiti.substr(0, Cartella_Preferiti.size() - 1);
    Coppia("Vendite", "000003", "Vendite per area", 3);
    Coppia("Vendite/Nord", "000017", "Nord", 1);
    files::make_folder(Disco("Vecchi"));
    ASSERT_TRUE(files::write_file_atomic(Disco("Vecchi/KYX_E_000005_2.DAT"), "Vecchia\r\n[Link]\r\nVecchia \r\n"));
    ASSERT_TRUE(files::write_file_atomic(Disco("Vecchi/KYX_E_00012_2.DAT"), "[Q-KRE]\r\n_Elab____=No\r\n"));
  }

  std::string Disco(const std::string& rel) const { return files::native_path(radice + "\\" + rel); }
  std::string Chiave(const std::string& rel) const { return radice + "\\" + rel; }

  void Coppia(const std::string& cartella, const std::string& n, const std::string& titolo, int righe) {
    files::make_folder(Disco(cartella));
    const std::string base = Disco(cartella + "/KYX_E_" + n);
    ASSERT_TRUE(files::write_file_atomic(base + "_2.DAT", "[Q-KRE]\r\n_Elab____=" + titolo +
                                                           "\r\n_Link____=[Link]\r\n_Anno____=2024\r\n_CMax____=001\r\n"
                                                           "PA_9____V=\r\n"));
    data::StaticRecordset rs;
    ASSERT_TRUE(rs.AppendField(data::TextField("c000", 12)).ok());
    ASSERT_TRUE(rs.AppendField(data::DoubleField("c001")).ok());
    ASSERT_TRUE(rs.OpenFabricated().ok());
    for (int i = 0; i < righe; ++i) {
      (void)rs.AddNew();
      (void)rs.Set("c000", data::Value("9999992"));
      (void)rs.Set("c001", data::Value(double(i)));
      (void)rs.Update();
    }
    ASSERT_TRUE(rs.Save(base + "_1.DAT").ok());
  }

  FrmMenuPreferiti& Apri() {
    FrmBase& b = *frmBase;
    b.Esegui_Pulsante(b.Toolbar1->Buttons("Preferiti"), ui::vbLeftButton);
    EXPECT_TRUE(frmMenuPreferiti.Loaded());
    return *frmMenuPreferiti;
  }

  // The middle of a node's label, in twips of the tree (the node made visible first).
  static std::pair<float, float> Punto(FrmMenuPreferiti& f, const std::string& chiave) {
    ui::TreeNode& n = f.twP->Nodes(chiave);
    n.EnsureVisible();
    QApplication::processEvents();
    const QPoint c = f.twP->NodeRect(n).center();
    EXPECT_FALSE(f.twP->NodeRect(n).isEmpty()) << chiave;
    return {static_cast<float>(c.x() * 15.0), static_cast<float>(c.y() * 15.0)};
  }
  static void Premi(FrmMenuPreferiti& f, const std::string& chiave, int tasto) {
    const auto [x, y] = Punto(f, chiave);
    f.twP_MouseDown(tasto, 0, x, y);
    f.twP_MouseUp(tasto, 0, x, y);
  }
  // Presses a favourite, drags it over `su` and drops it there.
  static void Trascina(FrmMenuPreferiti& f, const std::string& chiave, const std::string& su) {
    const auto [x, y] = Punto(f, chiave);
    f.twP_MouseDown(ui::vbLeftButton, 0, x, y);
    f.twP_MouseMove(ui::vbLeftButton, 0, x + 31, y);
    EXPECT_TRUE(f.twP->Dragging());
    const auto [x2, y2] = Punto(f, su);
    f.twP_DragOver(x2, y2);
    f.twP_DragDrop(x2, y2);
  }

  std::string radice;
};

TEST_F(Preferiti, TheTreeShowsFoldersAndFavouritesAndOpensOneAsSaved) {
  Anno_In_Uso = true;
  FrmMenuPreferiti& f = Apri();
  EXPECT_FALSE(frmBase->Enabled());
  EXPECT_TRUE(Form_Aperto[5]);
  EXPECT_EQ(Ultimo_Preferito, 17);
  ui::KeyedTree& t = *f.twP;
  std::vector<std::string> nodi;
  for (int i = 1; i <= t.Count(); ++i) nodi.push_back(t.Nodes(i).Tag() + " " + t.Nodes(i).Text());
  const std::vector<std::string> atteso = {"R Preferiti", "C Vecchi", "F ", "L ", "A ", "C Vendite", "C Nord", "F Nord",
                                          "L [Link]", "A 2024", "F Vendite per area", "L [Link]", "A 2024"};
  EXPECT_EQ(nodi, atteso);
  EXPECT_EQ(t.Nodes(Chiave("Vendite\\KYX_E_000003_2.DAT")).Parent()->Key(), Chiave("Vendite"));

  // A release over the link node opens nothing; over the favourite, its saved result.
  Premi(f, Chiave("Vendite\\KYX_E_000003_2.DAT"), ui::vbLeftButton);
  Premi(f, Chiave("Vendite\\KYX_E_000003_2.DATLNK"), ui::vbLeftButton);
  EXPECT_FALSE(Rs_Griglia) << "the link node opened something";
  Preferiti_Aggiorna = false;
  Premi(f, Chiave("Vendite\\KYX_E_000003_2.DAT"), ui::vbLeftButton);
  ASSERT_TRUE(Rs_Griglia);
  EXPECT_EQ(Rs_Griglia->RecordCount(), 3);
  EXPECT_TRUE(f.Enabled());
  EXPECT_FALSE(frmBase->Enabled());

  // The old positional file is refused with a message, and nothing of the shown result goes.
  host.expect("Impossibile caricare l'elaborazione");
  Premi(f, Chiave("Vecchi\\KYX_E_000005_2.DAT"), ui::vbLeftButton);
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(Rs_Griglia->RecordCount(), 3);

  // The close box gives the main window back.
  f.Unload(ui::vbFormControlMenu);
  EXPECT_FALSE(Form_Aperto[5]);
  EXPECT_TRUE(frmBase->Enabled());
}

TEST_F(Preferiti, ADropMovesBothFilesOrRefusesWithoutReplacingAnything) {
  FrmMenuPreferiti& f = Apri();
  ASSERT_EQ(f.twP->Nodes(Chiave("Vendite\\KYX_E_000003_2.DAT")).Children(), 1);
  // A folder holding a file of the favourite's result name: refused, both files stay.
  ASSERT_TRUE(files::write_file_atomic(Disco("Vecchi/KYX_E_000003_1.DAT"), "altro"));
  host.expect("stesso nome");
  Trascina(f, Chiave("Vendite\\KYX_E_000003_2.DAT"), Chiave("Vecchi"));
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_TRUE(files::file_exists(Disco("Vendite/KYX_E_000003_2.DAT")));
  EXPECT_TRUE(files::file_exists(Disco("Vendite/KYX_E_000003_1.DAT")));
  EXPECT_EQ(AmbienteDialoghi::dir.read(Disco("Vecchi/KYX_E_000003_1.DAT").substr(dir.path().size() + 1)), "altro");
  EXPECT_TRUE(f.twP->Exists(Chiave("Vendite\\KYX_E_000003_2.DAT")));
  EXPECT_EQ(f.twP->DropHighlight(), nullptr);

  // Onto the sub-folder Nord: both files and the node with its children move.
  Trascina(f, Chiave("Vendite\\KYX_E_000003_2.DAT"), Chiave("Vendite\\Nord"));
  const std::string nuovo = Chiave("Vendite\\Nord\\KYX_E_000003_2.DAT");
  EXPECT_TRUE(files::file_exists(Disco("Vendite/Nord/KYX_E_000003_2.DAT")));
  EXPECT_TRUE(files::file_exists(Disco("Vendite/Nord/KYX_E_000003_1.DAT")));
  EXPECT_FALSE(files::exists(Disco("Vendite/KYX_E_000003_2.DAT")));
  ASSERT_TRUE(f.twP->Exists(nuovo));
  EXPECT_EQ(f.twP->Nodes(nuovo).Parent()->Key(), Chiave("Vendite\\Nord"));
  EXPECT_TRUE(f.twP->Exists(nuovo + "LNK"));
  EXPECT_EQ(Nodo_Preferito, nuovo);

  // Onto its own folder, or onto another favourite: nothing moves.
  Trascina(f, nuovo, Chiave("Vendite\\Nord"));
  Trascina(f, nuovo, Chiave("Vendite\\Nord\\KYX_E_000017_2.DAT"));
  EXPECT_TRUE(files::file_exists(Disco("Vendite/Nord/KYX_E_000003_2.DAT")));
}

TEST_F(Preferiti, TheMenuOffersWhatTheNodeAllows) {
  FrmMenuPreferiti& f = Apri();
  struct Caso {
    std::string chiave;
    std::string abilitati;
    std::string voce0;
  };
  Elaborazione_Corrente = 0;
  const Caso casi[] = {
      {radice, "0010001", "Modifica cartella"},
      {Chiave("Vendite"), "1010001", "Modifica cartella"},
      {Chiave("Vecchi"), "1010001", "Modifica cartella"},
      {Chiave("Vendite\\Nord\\KYX_E_000017_2.DATLNK"), "1100111", "Modifica elaborazione"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.chiave);
    ui::SetCursorPos(20, 20);
    Premi(f, c.chiave, ui::vbRightButton);
    ASSERT_TRUE(frmMenuPreferitiMenu.Loaded());
    FrmMenuPreferitiMenu& m = *frmMenuPreferitiMenu;
    std::string visti;
    for (int i = 0; i < 7; ++i) visti += m.Item[i]->isEnabled() ? "1" : "0";
    EXPECT_EQ(visti, c.abilitati);
    EXPECT_EQ(m.ItemX[0]->Caption(), c.voce0);
    EXPECT_FALSE(f.Enabled());
    // Up from nothing reaches item 6, Down from 6 item 0; Enter on a disabled item does nothing.
    int k = ui::vbKeyUp;
    m.Form_KeyDown(k, 0);
    k = ui::vbKeyDown;
    m.Form_KeyDown(k, 0);
    if (c.abilitati[0] == '0') {
      k = ui::vbKeyReturn;
      m.Form_KeyDown(k, 0);
      EXPECT_FALSE(frmMenuPreferitiModifica.Loaded());
    }
    // The item under the pointer is lit, both labels alike; the background puts it out.
    m.Item_MouseMove(6);
    EXPECT_EQ(m.Item[6]->BackColor(), 0x8000000Du);
    EXPECT_EQ(m.ItemX[6]->ForeColor(), 0x8000000Eu);
    m.Form_MouseMove();
    EXPECT_EQ(m.ItemX[6]->BackColor(), static_cast<uint32_t>(Colore_Sfondo));
    // Twelve ticks with the pointer far away close it.
    ui::SetCursorPos(700, 550);
    for (int i = 0; i < 12 && frmMenuPreferitiMenu.Loaded(); ++i) m.Timer1_Timer();
    EXPECT_FALSE(frmMenuPreferitiMenu.Loaded());
    EXPECT_TRUE(f.Enabled());
    QApplication::processEvents();
  }
}

TEST_F(Preferiti, RefreshingAllTellsWhichFavouritesKeptTheirSavedResult) {
  FrmMenuPreferiti& f = Apri();
  std::string prima;
  ASSERT_TRUE(files::read_file(Disco("Vendite/KYX_E_000003_1.DAT"), prima));
  Premi(f, radice, ui::vbRightButton);
  ASSERT_TRUE(frmMenuPreferitiMenu.Loaded());
  // The old positional file cannot be loaded; the other two name no layout of the structure tree,
  // so nothing runs for them: all three keep what they had, and the user is told so.
  host.expect("Impossibile caricare l'elaborazione");
  host.expect("Elaborazioni non aggiornate");
  frmMenuPreferitiMenu->Item_Click(6);
  EXPECT_EQ(host.pending(), 0u);
  ASSERT_EQ(host.shown().size(), 2u);
  EXPECT_NE(host.shown()[1].text.find("Vendite per area"), std::string::npos);
  EXPECT_NE(host.shown()[1].text.find("Nord"), std::string::npos);
  std::string dopo;
  ASSERT_TRUE(files::read_file(Disco("Vendite/KYX_E_000003_1.DAT"), dopo));
  EXPECT_EQ(dopo, prima);
  EXPECT_FALSE(frmMenuPreferitiMenu.Loaded());
  EXPECT_TRUE(f.Enabled());
}

TEST_F(Preferiti, FolderEditsRefuseTakenAndBadNamesAndReKeyTheTree) {
  FrmMenuPreferiti& f = Apri();
  const auto dialogo = [&](const std::string& chiave, int voce) -> FrmMenuPreferitiModifica& {
    Nodo_Preferito = chiave;
    frmMenuPreferitiModifica->Carica(voce);
    return *frmMenuPreferitiModifica;
  };
  // New folder: a bad name and a taken one (in other letter case) are refused, the dialog stays.
  for (const char* nome : {"a\\b", "..", "vendite"}) {
    SCOPED_TRACE(nome);
    FrmMenuPreferitiModifica& d = dialogo(radice, 2);
    d.txt1->SetText(nome);
    host.expect(std::string(nome) == "vendite" ? "una cartella con questo nome" : "Nome di cartella non valido");
    d.cmdAggiorna_Click();
    EXPECT_EQ(host.pending(), 0u);
    EXPECT_TRUE(frmMenuPreferitiModifica.Loaded());
    d.cmdEsci_Click();
  }
  FrmMenuPreferitiModifica& d = dialogo(radice, 2);
  d.txt1->SetText("Acquisti");
  d.cmdAggiorna_Click();
  EXPECT_TRUE(files::folder_exists(Disco("Acquisti")));
  EXPECT_EQ(f.twP->Nodes(Chiave("Acquisti")).Tag(), "C");

  // Rename Vendite to Estero: the folder, its sub-folder and favourites with their children.
  FrmMenuPreferitiModifica& r = dialogo(Chiave("Vendite"), 0);
  EXPECT_EQ(r.Caption(), "  Modifica cartella");
  r.txt1->SetText("Estero");
  r.cmdAggiorna_Click();
  EXPECT_TRUE(files::file_exists(Disco("Estero/Nord/KYX_E_000017_2.DAT")));
  for (const char* k : {"Estero", "Estero\\Nord", "Estero\\Nord\\KYX_E_000017_2.DAT",
                        "Estero\\KYX_E_000003_2.DATLNK"}) {
    EXPECT_TRUE(f.twP->Exists(Chiave(k))) << k;
  }
  EXPECT_FALSE(f.twP->Exists(Chiave("Vendite")));
  // Onto an existing folder: refused, nothing replaced.
  FrmMenuPreferitiModifica& r2 = dialogo(Chiave("Estero"), 0);
  r2.txt1->SetText("Vecchi");
  host.expect("una cartella con questo nome");
  r2.cmdAggiorna_Click();
  EXPECT_TRUE(files::file_exists(Disco("Vecchi/KYX_E_000005_2.DAT")));
  EXPECT_TRUE(files::folder_exists(Disco("Estero")));
  r2.cmdEsci_Click();

  // Delete the empty folder.
  dialogo(Chiave("Acquisti"), 1).cmdAggiorna_Click();
  EXPECT_FALSE(files::exists(Disco("Acquisti")));
  EXPECT_FALSE(f.twP->Exists(Chiave("Acquisti")));
}

// A favourite of a year older than the eleven the box lists keeps its year when its title is
// edited; one of a listed year keeps it too.
TEST_F(Preferiti, EditingAFavouriteKeepsItsStoredYear) {
  Anno_In_Uso = true;
  FrmMenuPreferiti& f = Apri();
  const std::string vecchio = Chiave("Vendite\\KYX_E_000003_2.DAT");
  ASSERT_TRUE(ini::IniFile(files::native_path(vecchio)).Write("Q-KRE", "_Anno____", "1999"));
  const std::string listato = Chiave("Vendite\\Nord\\KYX_E_000017_2.DAT");
  for (const auto& [file, anno] : {std::pair{vecchio, "1999"}, std::pair{listato, "2024"}}) {
    SCOPED_TRACE(file);
    Nodo_Preferito = file + "LNK";
    frmMenuPreferitiModifica->Carica(0);
    FrmMenuPreferitiModifica& d = *frmMenuPreferitiModifica;
    EXPECT_EQ(d.Anno_Corrente->Text(), anno);
    d.txt1->SetText("Nuovo titolo");
    d.cmdAggiorna_Click();
    EXPECT_EQ(Valore_Preferito(file, "_Elab____"), "Nuovo titolo");
    EXPECT_EQ(Valore_Preferito(file, "_Anno____"), anno);
    EXPECT_EQ(f.twP->Nodes(file + "ANN").Text(), anno);
  }
}

TEST_F(Preferiti, AddingTheCurrentElaborationTakesAFreeNumberAndDeletingTakesBothFiles) {
  Anno_In_Uso = true;
  Anno_Riferimento = QDate::currentDate().year();
  FrmMenuPreferiti& f = Apri();
  // History pair 1, and a stray result of number 18 in the target folder.
  const std::string storico = files::native_path(Cartella_Storico);
  ASSERT_TRUE(files::write_file_atomic(storico + "KYX_E_000001_2.DAT", "[Q-KRE]\r\n_Elab____=Storico\r\n"));
  ASSERT_TRUE(files::write_file_atomic(storico + "KYX_E_000001_1.DAT", "risultato"));
  ASSERT_TRUE(files::write_file_atomic(Disco("Vecchi/KYX_E_000018_1.DAT"), "da non perdere"));
  Elaborazione_Corrente = 1;
  Nodo_Preferito = Chiave("Vecchi");
  frmMenuPreferitiModifica->Carica(3);
  FrmMenuPreferitiModifica& d = *frmMenuPreferitiModifica;
  d.txt1->SetText("Mio preferito");
  d.cmdAggiorna_Click();
  const std::string nuovo = Chiave("Vecchi\\KYX_E_000019_2.DAT");
  EXPECT_EQ(Valore_Preferito(nuovo, "_Elab____"), "Mio preferito");
  EXPECT_EQ(Valore_Preferito(nuovo, "_Anno____"), std::to_string(Anno_Riferimento));
  EXPECT_EQ(AmbienteDialoghi::dir.read(Disco("Vecchi/KYX_E_000018_1.DAT").substr(dir.path().size() + 1)), "da non perdere");
  EXPECT_EQ(Valore_Preferito(storico + "KYX_E_000001_2.DAT", "_Elab____"), "Storico");
  ASSERT_TRUE(f.twP->Exists(nuovo + "ANN"));
  EXPECT_EQ(Ultimo_Preferito, 19);

  // A title with a line break would split the layout file: refused.
  Nodo_Preferito = nuovo + "LNK";
  frmMenuPreferitiModifica->Carica(0);
  frmMenuPreferitiModifica->txt1->SetText("Riga\r_NKey____=X");
  host.expect("caratteri di controllo");
  frmMenuPreferitiModifica->cmdAggiorna_Click();
  EXPECT_EQ(Valore_Preferito(nuovo, "_Elab____"), "Mio preferito");
  frmMenuPreferitiModifica->cmdEsci_Click();

  // Deleting from the year node takes both files and the favourite's nodes.
  Nodo_Preferito = nuovo + "ANN";
  frmMenuPreferitiModifica->Carica(1);
  EXPECT_EQ(frmMenuPreferitiModifica->Caption(), "  Elimina elaborazione");
  frmMenuPreferitiModifica->cmdAggiorna_Click();
  EXPECT_TRUE(files::list_files(Disco("Vecchi"), "KYX_E_000019*").empty());
  EXPECT_FALSE(f.twP->Exists(nuovo));
  EXPECT_FALSE(f.twP->Exists(nuovo + "LNK"));
}

}  // namespace
}  // namespace kyx::test
