// The chart options pop-up: filling from the settings, each choice stored at once and the chart
// redrawn when shown, the element count's checks, and the reference year that runs the
// elaboration again.
#include <QDate>

#include "tests/ui/ambiente_ui.h"
#include "ui/frm_menu_opzioni.h"
#include "ui/impostazioni_generali.h"
#include "views/grafico.h"

namespace kyx::test {
namespace {

class MenuOpzioni : public AmbienteUi {
 protected:
  MenuOpzioni() {
    grafico::reset();
    Elementi_Grafico = 12;
    Registra(agganci_base::Esegui_Elaborazione, "Esegui_Elaborazione");
    f = &Carica();
    traccia.clear();
  }
  ~MenuOpzioni() override {
    delete frmMenuOpzioni.peek();
    grafico::reset();
  }
  FrmMenuOpzioni& Apri() {
    frmMenuOpzioni->Carica();
    return *frmMenuOpzioni;
  }
  FrmBase* f = nullptr;
  const int anno = QDate::currentDate().year();
};

TEST_F(MenuOpzioni, OpeningFillsTheControlsAndActsOnNothing) {
  Grafico_Tipo = 14;
  Grafico_Percentuale = true;
  Grafico_Divisioni_X = false;
  Grafico_Visibile = true;
  Anno_In_Uso = true;
  Anno_Riferimento = anno + 4;
  Elaborazione_Corrente = 3;
  FrmMenuOpzioni& m = Apri();
  EXPECT_EQ(m.Caption(), " Imposta visualizzazione");
  EXPECT_EQ(m.Grafico_Tipo->ListCount(), 9);
  EXPECT_EQ(m.Grafico_Tipo->ListIndex(), 8);
  EXPECT_EQ(m.Grafico_Tipo->Text(), "a torte 2D");
  EXPECT_EQ(m.Grafico_Perc->Value(), 1);
  EXPECT_EQ(m.Grafico_X_Divisioni->Value(), 0);
  EXPECT_EQ(m.Grafico_Y_Divisioni->Value(), 1);
  EXPECT_EQ(m.txtElemGrafico->Text(), "12");
  ASSERT_EQ(m.Anno_Corrente->ListCount(), 11);
  EXPECT_EQ(m.Anno_Corrente->ListIndex(), 0);  // a year beyond the list takes its first
  EXPECT_EQ(m.Anno_Corrente->Text(), std::to_string(anno + 3));
  EXPECT_EQ(ui::Cp(m.Anno_Corrente->itemText(10)), std::to_string(anno - 7));
  EXPECT_TRUE(Form_Aperto[kFormAperto_MenuOpzioni]);
  EXPECT_FALSE(f->Enabled());
  // Filling ran no handler: no redraw, no elaboration, the settings as they were.
  EXPECT_TRUE(traccia.empty()) << traccia.front();
  EXPECT_EQ(Grafico_Tipo, 14);
}

TEST_F(MenuOpzioni, ReferenceYearSelectsWithinTheList) {
  Anno_In_Uso = true;
  struct Caso {
    int riferimento, indice;
  } casi[] = {{anno + 4, 0}, {anno + 3, 0}, {anno, 3}, {anno - 7, 10}, {anno - 16, 10}};
  for (const Caso& c : casi) {
    Anno_Riferimento = c.riferimento;
    EXPECT_EQ(Apri().Anno_Corrente->ListIndex(), c.indice) << c.riferimento;
    frmMenuOpzioni->Unload();
  }
  // Without the reference-year key the list and its label are disabled but shown.
  Anno_In_Uso = false;
  FrmMenuOpzioni& m = Apri();
  EXPECT_FALSE(m.Anno_Corrente->isEnabled());
  EXPECT_FALSE(m.lbl_Anno_Corrente->isEnabled());
  EXPECT_FALSE(m.Anno_Corrente->isHidden());
}

TEST_F(MenuOpzioni, ChoicesAreStoredRedrawnWhenShownAndWrittenAtShutDown) {
  FrmMenuOpzioni& m = Apri();
  // The grid is shown: stored, nothing drawn.
  m.Grafico_Tipo->SetListIndex(3);
  m.Grafico_Serie->SetValue(1);
  EXPECT_EQ(Grafico_Tipo, 3);
  EXPECT_TRUE(Grafico_Serie);
  EXPECT_TRUE(traccia.empty());
  // The chart is shown: every choice redraws it.
  Grafico_Visibile = true;
  m.Grafico_Tipo->SetListIndex(8);
  m.Grafico_InRighe->SetValue(1);
  m.Grafico_Y_Etichette_dx->SetValue(0);
  m.txtElemGrafico->SetText(" 25 ");
  EXPECT_EQ(Grafico_Tipo, 14);
  EXPECT_TRUE(Grafico_In_Righe);
  EXPECT_FALSE(Grafico_Etichette_Y2);
  EXPECT_EQ(Elementi_Grafico, 25);
  EXPECT_EQ(m.txtElemGrafico->Text(), "25");
  EXPECT_EQ(traccia, std::vector<std::string>(4, "Visualizza_Grafico"));

  Fine_Programma();
  const std::string ini = dir.read("KYX.INI");
  for (const char* riga : {"Grafico tipo=14\r\n", "Grafico in righe=S\r\n", "Grafico Etichette Y2=N\r\n",
                           "Elementi Grafico=0025\r\n", "Grafico serie=S\r\n"}) {
    EXPECT_NE(ini.find(riga), std::string::npos) << riga;
  }
}

TEST_F(MenuOpzioni, ElementCountOutsideOneTo9999IsMarkedAndIgnored) {
  FrmMenuOpzioni& m = Apri();
  struct Caso {
    const char* testo;
    int16_t atteso;
    bool valido;
  } casi[] = {{"0", 12, false},   {"10000", 12, false}, {"molti", 12, false}, {"", 12, false},
              {"9999", 9999, true}, {"1", 1, true},     {"7.6", 8, true}};
  for (const Caso& c : casi) {
    Elementi_Grafico = 12;
    m.txtElemGrafico->SetText(c.testo);
    EXPECT_EQ(Elementi_Grafico, c.atteso) << c.testo;
    EXPECT_EQ(m.txtElemGrafico->BackColor(), c.valido ? ui::kOleWindowBackground : ui::kOleHighlight) << c.testo;
  }
}

TEST_F(MenuOpzioni, NewReferenceYearRunsTheElaborationAgain) {
  Anno_In_Uso = true;
  Anno_Riferimento = anno;
  f->twF->Add("", 0, "ANNO", "Anno riferimento: " + std::to_string(anno));
  FrmMenuOpzioni& m = Apri();
  // Without an elaboration: the year is stored and the node renamed, nothing runs.
  m.Anno_Corrente->SetListIndex(1);
  EXPECT_EQ(Anno_Riferimento, anno + 2);
  EXPECT_EQ(f->twF->Nodes(1).Text(), "Anno riferimento: " + std::to_string(anno + 2));
  EXPECT_TRUE(traccia.empty());

  Elaborazione_Corrente = 4;
  Grafico_Visibile = true;
  Prima_Riga = 40;
  ora = 1000.0;
  agganci_base::Esegui_Elaborazione = [this] {
    traccia.push_back("Esegui_Elaborazione " + std::to_string(Anno_Riferimento));
    ora = 1002.5;
  };
  m.Anno_Corrente->SetListIndex(5);
  EXPECT_EQ(traccia, (std::vector<std::string>{"Esegui_Elaborazione " + std::to_string(anno - 2),
                                               "Visualizza_Griglia", "Visualizza_Grafico"}));
  EXPECT_EQ(Prima_Riga, -1);
  EXPECT_TRUE(m.Enabled());
  EXPECT_FALSE(f->Enabled());
  EXPECT_NE(std::find(host.panels().begin(), host.panels().end(), "Progress= 2.500 "), host.panels().end());
}

}  // namespace
}  // namespace kyx::test
