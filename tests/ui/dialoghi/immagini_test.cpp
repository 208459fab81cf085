// Pictures of the two dialogs (frmPassword.png and frmOpzioni.png in the test's build folder) for
// people to look at, and the dialog's controls lying inside the help areas that describe them.
#include <QPixmap>

#include "tests/ui/dialoghi/ambiente_dialoghi.h"

namespace kyx::test {
namespace {

using Immagini = AmbienteDialoghi;

TEST_F(Immagini, TheTwoDialogsAreDrawnAndSaved) {
  Scrivi_Profilo(1, Profilo{});
  Profilo p2;
  p2.descrizione = "Ordini clienti";
  Scrivi_Profilo(2, p2);
  int32_t m = 1;
  frmPassword->Carica(m);
  ASSERT_TRUE(frmPassword->isVisible());
  frmPassword->cmbNomeSi->SetListIndex(0);
  const QPixmap login = frmPassword->grab();
  EXPECT_TRUE(login.save(KYX_UI_SHOT_DIR "/frmPassword.png"));

  frmPassword->cmdOK_Click();
  ASSERT_TRUE(frmBase.Loaded());
  FrmBase& b = *frmBase;
  b.Esegui_Pulsante(b.Toolbar1->Buttons("Opzioni"), ui::vbLeftButton);
  ASSERT_TRUE(frmOpzioni->isVisible());
  frmOpzioni->txtElemStorico->SetText("0");
  frmOpzioni->cmdAggiorna_Click();  // marks the box, as a user would see it
  const QPixmap opzioni = frmOpzioni->grab();
  EXPECT_EQ(opzioni.width(), 545);
  EXPECT_EQ(opzioni.height(), 445);
  EXPECT_TRUE(opzioni.save(KYX_UI_SHOT_DIR "/frmOpzioni.png"));
}

TEST_F(Immagini, EveryFieldLiesInsideItsHelpArea) {
  FrmOpzioni& d = *frmOpzioni;
  // Outer-frame coordinates of a control: the map counts from the window's outer corner.
  auto area = [](const QWidget* w) {
    return w->geometry().translated(3, 23);
  };
  struct Caso {
    const QWidget* controllo;
    int riga;
  };
  const Caso casi[] = {
      {d.Release, 1},          {d.lblNumSi, 2},       {d.cmdAggiunta, 3},
      {d.cmdElimina, 4},       {d.txtPorta, 5},       {d.txtCartellaSi, 6},
      {d.txtUtente, 7},        {d.txtPassword, 9},    {d.txtNomeSi, 13},
      {d.cmbAdatta, 16},       {d.txtOraDesc, 17},    {d.lblFontDati, 18},
      {d.chk01, 20},           {d.chk02, 21},         {d.chk10, 30},
      {d.txtLiv[9], 33},       {d.lblColoreLiv[36], 33}, {d.cmdAnnoRiferimento, 34},
      {d.cmdPreferiti, 38},    {d.cmdAggiorna, 39},   {d.cmdEsci, 40},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.riga);
    EXPECT_TRUE(FrmOpzioni::Area_Aiuto(c.riga).contains(area(c.controllo)));
  }
}

}  // namespace
}  // namespace kyx::test
