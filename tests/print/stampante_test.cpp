// The print dialog: the printer list and its choice, the settings shown and stored in section
// "Stampante" as typed, the page range handed to the print run, and the dialog's buttons.
#include "ui/dialoghi/frm_stampante.h"

#include <string>

#include "common/impostazioni.h"
#include "common/opzioni.h"
#include "platform/gdi/gdi.h"
#include "print/stato_stampa.h"
#include "tests/ui/ambiente_ui.h"

namespace kyx::test {
namespace {

class Stampante : public AmbienteUi {
 protected:
  Stampante() {
    gdi::RemovePdfPrinters();
    gdi::AddPdfPrinter("PDF uno", dir.file("uno.pdf"));
    gdi::AddPdfPrinter("PDF due", dir.file("due.pdf"));
    stato_stampa::reset();
    FrmBase& f = *frmBase;
    f.resize(900, 600);
    f.show();
  }
  ~Stampante() override {
    delete frmStampante.peek();
    gdi::RemovePdfPrinters();
    stato_stampa::reset();
  }
  // Opens the dialog over the settings of `ini` (section "Stampante").
  FrmStampante& Apri(const std::string& ini) {
    Ini(ini);
    Carica_Impostazioni_Stampa();
    frmStampante->Carica();
    return *frmStampante;
  }
};

TEST_F(Stampante, ShowsTheSettingsAndStoresThemAsTyped) {
  FrmStampante& d = Apri("[Stampante]\nNome=PDF due\nVerticale=N\nAdatta=0\nMargine Sx=7\nCopie=2\nFont Max=x\n");
  EXPECT_FALSE(frmBase->Enabled()) << "the main window waits for the dialog";
  EXPECT_EQ(d.Stampanti->Text(), "PDF due");
  EXPECT_EQ(d.Stampanti->ListCount(), static_cast<int>(gdi::Printers().size()));
  EXPECT_TRUE(d.opt_Orienta[0]->isChecked());
  EXPECT_EQ(d.chkAdatta->Value(), 0);
  EXPECT_EQ(d.chkColonne->Value(), 1);
  EXPECT_EQ(d.txtMar_Sx->Text(), "7");
  EXPECT_EQ(d.txtMar_Dx->Text(), "3");
  EXPECT_EQ(d.txtStampaCopie->Text(), "2");
  EXPECT_EQ(d.txtFontMax->Text(), "20") << "a maximum that is not a number loads as 20";
  EXPECT_FALSE(d.txtPagine_da->isEnabled());

  d.opt_Orienta[1]->setChecked(true);
  d.txtMar_Top->SetText("12mm");
  d.chkLivello1->SetValue(1);
  d.cmdConferma->click();
  EXPECT_FALSE(frmStampante.Loaded());
  EXPECT_TRUE(frmBase->Enabled());
  EXPECT_EQ(Leggi_Ini("Stampante", "Nome", "?"), "PDF due");
  EXPECT_EQ(Leggi_Ini("Stampante", "Verticale", "?"), "S");
  EXPECT_EQ(Leggi_Ini("Stampante", "Margine Top", "?"), "12mm");
  EXPECT_EQ(Leggi_Ini("Stampante", "Livello 1", "?"), "1");
  EXPECT_EQ(Leggi_Ini("Stampante", "Adatta", "?"), "0");
  EXPECT_EQ(Stampa_Margini_mm[2], 12) << "read back as its leading number";
  EXPECT_TRUE(Stampa_Verticale);
  EXPECT_TRUE(Stampa_Livello_1);
}

TEST_F(Stampante, ThePrinterChoice) {
  // None stored: the default printer is chosen, and confirming stores it.
  Apri("[Stampante]\n").cmdConferma->click();
  EXPECT_EQ(Leggi_Ini("Stampante", "Nome", "?"), gdi::DefaultPrinter());
  // A stored printer that is gone: nothing chosen, and an empty name stored.
  FrmStampante& d = Apri("[Stampante]\nNome=Sparita\n");
  EXPECT_EQ(d.Stampanti->Text(), "");
  d.cmdConferma->click();
  EXPECT_EQ(Leggi_Ini("Stampante", "Nome", "?"), "");
  // Cancelling changes nothing.
  FrmStampante& e = Apri("[Stampante]\nNome=PDF uno\n");
  e.Stampanti->SetText("PDF due");
  e.cmdEsci->click();
  EXPECT_EQ(Leggi_Ini("Stampante", "Nome", "?"), "PDF uno");
  EXPECT_EQ(Stampa_Stampante, "PDF uno");
  EXPECT_TRUE(frmBase->Enabled());
}

TEST_F(Stampante, ThePrintButtonHandsItsPageRangeToTheRun) {
  Modo_Griglia = 2;
  Elaborazione_Corrente = 0;
  EXPECT_FALSE(Apri("[Stampante]\n").cmdStampa->isEnabled()) << "only the list of loaded sets";
  frmStampante->cmdEsci->click();
  Elaborazione_Corrente = 4;
  struct Caso {
    bool da;
    std::string primo, ultimo;
    int32_t attesi_da, attesi_a;
  };
  const Caso casi[] = {{true, "3", "2", 3, 2}, {true, "2.6", "", 3, 0}, {true, "1x", "4 pagine", 1, 4},
                       {false, "5", "9", 0, 0}};
  for (const Caso& c : casi) {
    FrmStampante& d = Apri("[Stampante]\nNome=PDF uno\n");
    ASSERT_TRUE(d.cmdStampa->isEnabled());
    d.opt_Pagine[c.da ? 1 : 0]->setChecked(true);
    EXPECT_EQ(d.txtPagine_da->isEnabled(), c.da);
    d.txtPagine_da->SetText(c.primo);
    d.txtPagine_a->SetText(c.ultimo);
    // The grid is empty: the run prints nothing, and the dialog closes.
    d.cmdStampa->click();
    EXPECT_EQ(Stampa_Da_Pagina, c.attesi_da) << c.primo;
    EXPECT_EQ(Stampa_A_Pagina, c.attesi_a) << c.ultimo;
    EXPECT_FALSE(frmStampante.Loaded());
    EXPECT_TRUE(frmBase->Enabled());
  }
}

}  // namespace
}  // namespace kyx::test
