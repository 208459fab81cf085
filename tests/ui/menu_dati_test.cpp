// The local data-sets menu over the main window, on real local databases: its items by the state
// of the connection and of the register, choosing and cancelling, the deletion it runs, and its
// wiring to the toolbar button "DatiLocali" and to the press that closes pop-ups.
#include <string>
#include <vector>

#include "common/stato_db.h"
#include "db/mdb0.h"
#include "db/mdb2.h"
#include "engine/stato_motore.h"
#include "platform/files/files.h"
#include "platform/ui/vb_events.h"
#include "server/socket.h"
#include "tests/db/ambiente_db.h"
#include "tests/ui/ambiente_ui.h"
#include "ui/frm_menu_dati.h"
#include "ui/installa_dati_locali.h"
#include "views/elenco.h"

namespace kyx::test {
namespace {

class MenuDati : public AmbienteUi {
 protected:
  MenuDati() : f(Carica()) {
    stato_db::reset();
    Installa_Dati_Locali();
    files::make_folder(dir.file("Dati"));
    File_MDB0 = Cartella_Dati + "KYX_0.MDB";
    File_MDB2 = Cartella_Dati + "KYX_2.MDB";
    Sistema_Informativo = "VEN";
    EXPECT_TRUE(Apri_MDB0(true));
    EXPECT_TRUE(Cn_MDB0->Execute(
                         "INSERT INTO SINF (SINF, LIBS1, DBSQL, IDX) VALUES ('VEN', 'LIBVEN', '', 1);"
                         "INSERT INTO CHIAVI (SINF, IDX, LUN, TESTO, KINDB) VALUES ('VEN', 1, 4, 'Prodotto', 'K');"
                         "INSERT INTO VALORI (SINF, IDX, ELEM) VALUES ('VEN', 1, 1)")
                    .ok());
    EXPECT_TRUE(Apri_MDB0(false));
    EXPECT_TRUE(Apri_MDB2(true, false));
  }
  ~MenuDati() override {
    delete frmMenuDati.peek();
    stato_db::reset();
  }
  // Set n of system VEN with `righe` records and the stored filter.
  void Insieme(int n, int righe, const std::string& filtro = "") {
    ASSERT_TRUE(Cn_MDB2->Execute("INSERT INTO KYX_CARICATI (IDX, SINF, DATAORA, NUM_REC, STATO, FILTRO, FILTRO_SQL) "
                                 "VALUES (" + std::to_string(n) + ", 'VEN', '', " + std::to_string(righe) + ", ' ', '', '" +
                                 filtro + "')")
                    .ok());
    for (int r = 0; r < righe; ++r)
      ASSERT_TRUE(Cn_MDB2->Execute("INSERT INTO KYX_D0_00F_VEN VALUES (" + std::to_string(n) + ", 'P" +
                                   std::to_string(r) + "', 1.5)")
                      .ok());
  }
  std::vector<std::string> Voci() {
    std::vector<std::string> out;
    for (auto* l : frmMenuDati->Item) out.push_back(l->Caption() + (l->Enabled() ? " +" : " -"));
    return out;
  }
  std::string Conta(const std::string& sql) { return Sql(Cartella_Dati + "KYX_2.MDB", sql)[0][0]; }

  FrmBase& f;
};

TEST_F(MenuDati, ItemsFollowTheConnectionTheSelectedSetAndTheStoredFilters) {
  Insieme(1, 2);  // no user filter: the empty filter is the one of set 1
  struct Caso {
    bool connesso;
    const char* tipo;
    std::vector<std::string> voci;
  };
  const std::vector<Caso> casi = {
      {false, "1",
       {"  Aggiorna  ( elemento 1 )  Non connesso -", "  Elimina  ( elemento 1 ) +",
        "  Nuovo  ( gi\xE0 presente elemento 1 ) -"}},
      {true, "1", {"  Aggiorna  ( elemento 1 ) +", "  Elimina  ( elemento 1 ) +", "  Nuovo  ( gi\xE0 presente elemento 1 ) -"}},
      // A number not registered, and "P" over an empty grid: nothing selected.
      {true, "7", {"  Aggiorna -", "  Elimina -", "  Nuovo  ( gi\xE0 presente elemento 1 ) -"}},
      {true, "P", {"  Aggiorna -", "  Elimina -", "  Nuovo  ( gi\xE0 presente elemento 1 ) -"}},
  };
  for (const auto& c : casi) {
    Connesso = c.connesso;
    frmMenuDati->Carica(c.tipo);
    EXPECT_EQ(Voci(), c.voci) << c.tipo;
    EXPECT_TRUE(Form_Aperto[2]);
    EXPECT_FALSE(f.Enabled());
    frmMenuDati->cmdAnnulla_Click();
    EXPECT_FALSE(frmMenuDati.Loaded());
    EXPECT_FALSE(Form_Aperto[2]);
    EXPECT_TRUE(f.Enabled());
  }

  // Another filter stored: "Nuovo" is offered, marked when not connected; the new number follows
  // the highest of the system.
  ASSERT_TRUE(Cn_MDB2->Execute("UPDATE KYX_CARICATI SET FILTRO_SQL='where (k_001 in(''A'')) ', IDX=4").ok());
  Connesso = false;
  frmMenuDati->Carica("4");
  EXPECT_EQ(Voci()[2], "  Nuovo  ( da Filtro )  Non connesso -");
  EXPECT_EQ(frmMenuDati->Menu.Elemento_Nuovo, 5);
  frmMenuDati->Unload(ui::vbFormControlMenu);
  EXPECT_FALSE(Form_Aperto[2]);
  EXPECT_TRUE(f.Enabled());
}

TEST_F(MenuDati, DeletingASetRemovesItsRecordsAndShowsTheListAgain) {
  Insieme(1, 3);
  Insieme(2, 2, "where ((k_001 in(''P0''))) ");
  frmMenuDati->Carica("1");
  frmMenuDati->Item_Click(1);
  EXPECT_EQ(frmMenuDati->lbl_exe[0]->Caption(), "  Richiesta eliminazione dati locali");
  EXPECT_EQ(frmMenuDati->lbl_exe[1]->Caption(), "  ( elemento 1 )");
  EXPECT_TRUE(frmMenuDati->cmdEsegui->Visible());
  EXPECT_FALSE(frmMenuDati->Item[0]->Visible());
  traccia.clear();
  frmMenuDati->cmdEsegui_Click();
  EXPECT_EQ(Conta("SELECT COUNT(*) FROM KYX_D0_00F_VEN WHERE IDX=1"), "0");
  EXPECT_EQ(Conta("SELECT COUNT(*) FROM KYX_CARICATI WHERE IDX=1"), "0");
  EXPECT_EQ(Conta("SELECT COUNT(*) FROM KYX_D0_00F_VEN WHERE IDX=2"), "2");
  // Compacted, listed and redrawn; the menu gone and the window given back.
  EXPECT_TRUE(Prima("Apri_MDB2 C", "Visualizza_Griglia"));
  EXPECT_EQ(Modo_Griglia, 2);
  EXPECT_EQ(Numero_Record, 1);
  EXPECT_EQ(Conta("SELECT FILTRO FROM KYX_CARICATI"), "(Prodotto in('P0'))");
  EXPECT_FALSE(frmMenuDati.Loaded());
  EXPECT_TRUE(f.Enabled());

  // A compaction that fails is reported; the menu still closes.
  db_ok[2] = false;
  frmMenuDati->Carica("2");
  frmMenuDati->Item_Click(1);
  host.expect("Errore 004 - DB 2");
  frmMenuDati->cmdEsegui_Click();
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_FALSE(frmMenuDati.Loaded());
}

TEST_F(MenuDati, ARefreshThatFindsTheLinkGoneKeepsTheSetAndDisconnects) {
  Insieme(1, 3);
  Attese.Attesa_Lunga = std::chrono::milliseconds(50);
  Attese.Attesa_Breve = std::chrono::milliseconds(10);
  Attese.Attesa_Risposta = std::chrono::milliseconds(100);
  Connesso = true;
  f.Imposta_Bar();
  frmMenuDati->Carica("1");
  frmMenuDati->Item_Click(0);
  EXPECT_EQ(frmMenuDati->lbl_exe[0]->Caption(), "  Richiesta aggiornamento dati locali");
  host.expect("Errore 005 - Carica_Dati_AS");
  frmMenuDati->cmdEsegui_Click();
  sock::reset();
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(Conta("SELECT COUNT(*) FROM KYX_D0_00F_VEN WHERE IDX=1"), "3");
  EXPECT_EQ(Conta("SELECT NUM_REC || STATO FROM KYX_CARICATI WHERE IDX=1"), "3 ");
  // The program no longer claims a connection it lost.
  EXPECT_FALSE(Connesso);
  EXPECT_EQ(f.Toolbar1->Buttons("Server").ImageKey(), "Start");
  EXPECT_FALSE(frmMenuDati.Loaded());
}

TEST_F(MenuDati, WhileRunningOnlyTheCancelFlagIsSet) {
  frmMenuDati->Carica("P");
  frmMenuDati->Stato = 4;
  frmMenuDati->cmdAnnulla_Click();
  EXPECT_TRUE(frmMenuDati->Menu.Annulla);
  EXPECT_TRUE(frmMenuDati.Loaded());
  frmMenuDati->Menu.Annulla = false;
  frmMenuDati->Unload(ui::vbFormControlMenu);
  EXPECT_TRUE(frmMenuDati.Loaded());
  EXPECT_TRUE(frmMenuDati->Menu.Annulla);
  frmMenuDati->Stato = 0;
  frmMenuDati->Unload(ui::vbFormCode);
  EXPECT_FALSE(frmMenuDati.Loaded());
}

TEST_F(MenuDati, TheToolbarButtonListsTheSetsAndOpensTheMenuAPressOnTheWindowClosesIt) {
  Insieme(3, 1);
  f.Esegui_Pulsante(f.Toolbar1->Buttons("DatiLocali"), ui::vbLeftButton);
  EXPECT_EQ(Modo_Griglia, 2);
  EXPECT_EQ(Numero_Record, 1);
  ASSERT_TRUE(frmMenuDati.Loaded());
  EXPECT_TRUE(frmMenuDati->Visible());
  EXPECT_TRUE(Form_Aperto[2]);
  EXPECT_FALSE(f.Enabled());
  f.Hook_Mouse(ui::FormMouse{true, ui::vbLeftButton, 0, QPoint(5, 5)});
  f.Hook_Mouse(ui::FormMouse{false, ui::vbLeftButton, 0, QPoint(5, 5)});
  EXPECT_FALSE(frmMenuDati.Loaded());
  EXPECT_FALSE(Form_Aperto[2]);
  EXPECT_TRUE(f.Enabled());
}

}  // namespace
}  // namespace kyx::test
