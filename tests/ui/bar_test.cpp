// frmBase.Imposta_Bar: pictures, tooltips, enabled states, panels and caption by program state.
#include "tests/ui/ambiente_ui.h"

namespace kyx::test {
namespace {

using Barra = AmbienteUi;

TEST_F(Barra, ConnectionStateDrivesTheServerButtonAndTheEnvironmentPanel) {
  FrmBase& f = Carica();
  auto& server = f.Toolbar1->Buttons("Server");
  Nome_Utente = "  ROSSI ";
  Server_Nome = "srv01";
  Password_Utente = "pw^^^^^^^^";
  Connesso = true;
  f.Imposta_Bar();
  EXPECT_EQ(server.ImageKey(), "Stop");
  EXPECT_EQ(server.ToolTipText(), " Scollegamento dal server ");
  EXPECT_TRUE(server.Enabled());
  EXPECT_EQ(f.StatusBar1->Panels("Ambiente").Text(), " srv01 ");
  EXPECT_EQ(f.StatusBar1->Panels("Utente").Text(), " ROSSI ");
  // Disconnected without a stored password ("^" is a blank): the button is disabled.
  Password_Utente = "^^^^^^^^^^";
  Connesso = false;
  f.Imposta_Bar();
  EXPECT_EQ(server.ImageKey(), "Start");
  EXPECT_EQ(server.ToolTipText(), " Collegamento con il server ");
  EXPECT_FALSE(server.Enabled());
  EXPECT_EQ(f.StatusBar1->Panels("Ambiente").Text(), " Locale ");
  // Still disconnected, a password that comes later (a profile applied) enables the button.
  Password_Utente = "pw^^^^^^^^";
  f.Imposta_Bar();
  EXPECT_EQ(server.ImageKey(), "Start");
  EXPECT_TRUE(server.Enabled());
  Password_Utente = "^^^^^^^^^^";
  f.Imposta_Bar();
  EXPECT_FALSE(server.Enabled());
}

TEST_F(Barra, FixedPicturesAndTheStateButtons) {
  Ini("[Generale]\nFunzione Mouse=3\n");
  FrmBase& f = Carica();
  for (const char* k : {"Uscita", "SInf", "DatiLocali", "Precedente", "Elabora", "Help_1"}) {
    EXPECT_EQ(f.Toolbar1->Buttons(k).ImageKey(), k);
  }
  EXPECT_EQ(f.Flt_Toolbar->Buttons("FiltroBoxAggiorna").ImageKey(), "FiltroBoxAggiorna");
  EXPECT_EQ(f.Toolbar1->Buttons("MouseTipo").ImageKey(), "MouseTipo3");
  EXPECT_EQ(f.Toolbar1->Buttons("FiltroTipo").ImageKey(), "FiltroTipo1");
  EXPECT_EQ(f.Toolbar1->Buttons("Grafico").ImageKey(), "Grafico");
  Grafico_Visibile = true;
  Operatore_Filtro = 2;
  f.Imposta_Bar();
  EXPECT_EQ(f.Toolbar1->Buttons("Grafico").ImageKey(), "Dati");
  EXPECT_EQ(f.Toolbar1->Buttons("Grafico").ToolTipText(), " Dati in forma numerica ");
  EXPECT_EQ(f.Toolbar1->Buttons("FiltroTipo").ImageKey(), "FiltroTipo2");
}

TEST_F(Barra, EnabledStatesFollowGridHistoryAndLayout) {
  FrmBase& f = Carica();
  struct Caso {
    int16_t modo, livelli;
    int32_t primo, ultimo, corrente;
    const char* layout;
    bool precedente, successivo, grafico, stampa, elabora;
  };
  const Caso casi[] = {
      {0, 0, 1, 0, 0, "", false, false, false, false, false},        // empty history
      {3, 1, 6, 10, 10, "L1", true, false, true, true, true},       // newest
      {3, 2, 6, 10, 6, "  ", false, true, false, true, false},      // oldest, two levels
      {1, 0, 6, 10, 8, " L ", true, true, false, true, true},       // codes listed
      {2, 1, 0, 10, 0, "", false, false, false, false, false},      // data sets, none current
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(testing::Message() << c.modo << " " << c.corrente);
    Modo_Griglia = c.modo;
    Numero_Livelli = c.livelli;
    Storico_Primo = c.primo;
    Storico_Ultimo = c.ultimo;
    Elaborazione_Corrente = c.corrente;
    Chiave_Layout = c.layout;
    f.Imposta_Bar();
    EXPECT_EQ(f.Toolbar1->Buttons("Precedente").Enabled(), c.precedente);
    EXPECT_EQ(f.Toolbar1->Buttons("Successivo").Enabled(), c.successivo);
    EXPECT_EQ(f.Toolbar1->Buttons("Grafico").Enabled(), c.grafico);
    EXPECT_EQ(f.Toolbar1->Buttons("Stampa").Enabled(), c.stampa);
    EXPECT_EQ(f.Toolbar1->Buttons("Salva").Enabled(), c.stampa);
    EXPECT_EQ(f.Toolbar1->Buttons("Elabora").Enabled(), c.elabora);
    for (const char* k : {"Uscita", "Opzioni", "Help_1", "MouseTipo"}) {
      EXPECT_TRUE(f.Toolbar1->Buttons(k).Enabled());
    }
  }
}

TEST_F(Barra, WithoutHelpMessagesTooltipsStayEmpty) {
  Messaggi_Aiuto = false;
  FrmBase& f = Carica();
  Connesso = true;
  Grafico_Visibile = true;
  f.Imposta_Bar();
  EXPECT_EQ(f.Toolbar1->Buttons("Server").ToolTipText(), "");
  EXPECT_EQ(f.Toolbar1->Buttons("Grafico").ToolTipText(), "");
  EXPECT_EQ(f.StatusBar1->Panels("Ora").ToolTipText(), "");
  EXPECT_EQ(f.twF->ToolTipText(), "");
}

TEST_F(Barra, SecondCallOnlyEmptiesTheWorkPanelsAndCaptionShowsTheSystem) {
  Descrizione_Sistema = " Vendite   ";
  FrmBase& f = Carica();
  f.StatusBar1->Panels("Stato").SetText("x");
  f.StatusBar1->Panels("Progress").SetText("y");
  f.StatusBar1->Panels("Numero").SetText("z");
  f.Toolbar1->Buttons("Grafico").SetToolTipText("mio");
  f.Imposta_Bar();
  EXPECT_EQ(f.StatusBar1->Panels("Stato").Text(), "");
  EXPECT_EQ(f.StatusBar1->Panels("Progress").Text(), "");
  EXPECT_EQ(f.StatusBar1->Panels("Numero").Text(), "");
  EXPECT_EQ(f.Toolbar1->Buttons("Grafico").ToolTipText(), "mio");
  EXPECT_EQ(f.Caption(), " Q-KRE  -  Vendite");
}

}  // namespace
}  // namespace kyx::test
