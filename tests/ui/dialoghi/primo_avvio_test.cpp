// The first start on an empty program folder: the login offers "Nuovo", the options dialog takes
// the new profile, and the main window that opens can reach the server at once.
#include <QTest>

#include "tests/ui/dialoghi/ambiente_dialoghi.h"

namespace kyx::test {
namespace {

using PrimoAvvio = AmbienteDialoghi;

TEST_F(PrimoAvvio, ANewProfileLeavesTheServerButtonReadyAndItConnects) {
  int32_t m = 1;
  frmPassword->Carica(m);
  ASSERT_TRUE(frmPassword->isVisible());
  ASSERT_EQ(frmPassword->cmbNomeSi->Text(), "Nuovo");
  frmPassword->txtPassword->SetText("ALFA");
  // The new profile's data folder does not exist yet: it is named before the dialog shows.
  host.expect("La cartella \\Dati\\\rnon \xE8 presente nel sistema. ");
  frmPassword->cmdOK_Click();
  ASSERT_FALSE(frmPassword.Loaded());
  ASSERT_TRUE(frmOpzioni.Loaded());
  FrmOpzioni& d = *frmOpzioni;
  ASSERT_TRUE(d.isVisible());

  // The user describes the new profile and applies it.
  d.txtConnessione->SetText("127.0.0.1");
  d.txtPorta->SetText("4100");
  d.txtUtente->SetText("ROSSI");
  d.txtNomeSi->SetText("VENDITE");
  d.txtDescrizioneSi->SetText("Vendite");
  d.txtCartellaSi->SetText("\\Dati\\");
  for (const char* cartella : {"Dati/STORICO", "Dati/EXPORT", "Dati/PREFERITI"}) files::make_folder(dir.file(cartella));
  d.cmdAggiorna_Click();
  ASSERT_FALSE(frmOpzioni.Loaded()) << "the profile was not applied";
  ASSERT_TRUE(frmBase.Loaded());
  FrmBase& b = *frmBase;
  EXPECT_TRUE(b.isVisible());
  EXPECT_EQ(Password_Utente, "ALFA^^^^^^");

  ui::ToolbarButton& server = b.Toolbar1->Buttons("Server");
  EXPECT_EQ(server.ImageKey(), "Start");
  EXPECT_TRUE(server.Enabled());
  traccia.clear();
  b.Esegui_Pulsante(server, ui::vbLeftButton);
  EXPECT_TRUE(Contiene("Collegamento_Server ALFA^^^^^^"));
  EXPECT_TRUE(Connesso);
  EXPECT_EQ(server.ImageKey(), "Stop");
}

}  // namespace
}  // namespace kyx::test
