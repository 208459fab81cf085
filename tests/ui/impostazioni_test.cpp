// Section "Generale" and the list widths: written by Fine_Programma, read back with every clamp by
// the next start; the history numbers and their pruning; the tooltips.
#include <filesystem>

#include "platform/files/files.h"
#include "tests/ui/ambiente_ui.h"
#include "ui/impostazioni_generali.h"

namespace kyx::test {
namespace {

using Impostazioni = AmbienteUi;

std::string Riga(const std::string& ini, const std::string& chiave) {
  const auto p = ini.find("\r\n" + chiave + "=");
  if (p == std::string::npos) return "<manca>";
  const auto inizio = p + 2 + chiave.size() + 1;
  return ini.substr(inizio, ini.find("\r\n", inizio) - inizio);
}

TEST_F(Impostazioni, ShutDownWritesWhatTheNextStartReadsBack) {
  vb::set_locale({',', '.'});
  Separatore_Decimale = ",";
  FrmBase& f = Carica();
  f.Move(1500, 1200, 12000, 9000);
  Per_Altezza = 0.5;
  Per_Larghezza = 0.3;
  Anno_Riferimento = 0;
  Grafico_Tipo = 3;
  Grafico_Serie = true;
  Grafico_Etichette_X = false;
  Elementi_Grafico = 12;
  Ordinamento_Layout = 1;
  Funzione_Mouse = 4;
  Larghezze_Codici.fill(1500);
  Larghezze_Codici[13] = 900;
  Larghezze_Caricati.fill(1500);
  Larghezze_Caricati[0] = 2200;
  Profilo_Corrente = 2;
  traccia.clear();
  Fine_Programma();
  EXPECT_EQ(traccia, (std::vector<std::string>{"Chiudi_MDB0", "Chiudi_MDB1", "Chiudi_MDB2",
                                               "Chiudi_MDB3", "Sock_Stop"}));
  EXPECT_FALSE(Hook_Installato);

  const std::string ini = dir.read("KYX.INI");
  EXPECT_EQ(Riga(ini, "WindowState"), "0");
  EXPECT_EQ(Riga(ini, "Left"), "1500");
  EXPECT_EQ(Riga(ini, "Top"), "1200");
  EXPECT_EQ(Riga(ini, "Width"), "12000");
  EXPECT_EQ(Riga(ini, "Height"), "9000");
  EXPECT_EQ(Riga(ini, "per_altezza"), "0,500000000000");
  EXPECT_EQ(Riga(ini, "per_larghezza"), "0,300000000000");
  EXPECT_EQ(Riga(ini, "Anno riferimento"), "0000");
  EXPECT_EQ(Riga(ini, "Grafico tipo"), "03");
  EXPECT_EQ(Riga(ini, "Grafico serie"), "S");
  EXPECT_EQ(Riga(ini, "Grafico Etichette X"), "N");
  EXPECT_EQ(Riga(ini, "Elementi Grafico"), "0012");
  EXPECT_EQ(Riga(ini, "Funzione Mouse"), "4");
  EXPECT_EQ(Riga(ini, "Dim Desc 013"), "000900");
  EXPECT_EQ(Riga(ini, "Dim Dati 000"), "002200");
  EXPECT_NE(ini.find("[002]"), std::string::npos);

  // The next start.
  delete frmBase.peek();
  stato::reset();
  stato_finestra::reset();
  Cartella_Programma = dir.path() + "/";
  File_Ini = Cartella_Programma + "KYX.INI";
  Separatore_Decimale = ",";
  Profilo_Corrente = 2;
  Colore_Sfondo = Colore_OLE(0x8000000F);
  FrmBase& g = Carica();
  EXPECT_NEAR(g.Left(), 1500, 15);
  EXPECT_NEAR(g.Width(), 12000, 15);
  EXPECT_DOUBLE_EQ(Per_Altezza, 0.5);
  EXPECT_DOUBLE_EQ(Per_Larghezza, 0.3);
  EXPECT_EQ(Anno_Riferimento, vb::Now().year);
  EXPECT_EQ(Grafico_Tipo, 3);
  EXPECT_TRUE(Grafico_Serie);
  EXPECT_FALSE(Grafico_Etichette_X);
  EXPECT_TRUE(Grafico_Etichette_Y);
  EXPECT_EQ(Ordinamento_Layout, 1);
  EXPECT_EQ(Funzione_Mouse, 4);
  EXPECT_EQ(Larghezze_Codici[13], 900);
  EXPECT_EQ(Larghezze_Caricati[0], 2200);
  EXPECT_EQ(Larghezze_Caricati[6], 1500);
}

TEST_F(Impostazioni, MaximisedWindowKeepsTheLastNormalPlacement) {
  Ini("[Generale]\nLeft=777\nWindowState=0\n");
  FrmBase& f = Carica();
  f.SetWindowState(ui::vbMaximized);
  Fine_Programma();
  const std::string ini = dir.read("KYX.INI");
  EXPECT_EQ(Riga(ini, "WindowState"), "2");
  EXPECT_EQ(Riga(ini, "Left"), "777");
}

TEST_F(Impostazioni, BadValuesGetDefaultsAndClamps) {
  // Screen 1920 x 1080 pixels = 28800 x 16200 twips.
  Ini("[Generale]\nWindowState=1\nLeft=-60\nTop=99999\nWidth=abc\nHeight=99999999999\n"
      "per_altezza=0,95\nper_larghezza=0.01\nAnno riferimento=x\nGrafico tipo=14abc\n"
      "Elementi Grafico=molti\nOrdinamento Layout=\nFunzione Mouse=9\nGrafico serie=s\n"
      "[001]\nDim Desc 000=-10\nDim Desc 001=0\nDim Desc 002=xyz\nDim Desc 003=99999\n"
      "Dim Desc 004=1234.5\nDim Dati 006=800\n");
  Separatore_Decimale = ",";
  vb::set_locale({',', '.'});
  FrmBase& f = Carica();
  EXPECT_EQ(f.WindowState(), ui::vbNormal);
  EXPECT_NEAR(f.Left(), 0, 15);
  EXPECT_NEAR(f.Top(), 16200 - 600, 15);
  EXPECT_NEAR(f.Width(), 9450, 15);
  EXPECT_NEAR(f.Height(), 6000, 15) << "a number beyond 32 bits is not a number";
  EXPECT_DOUBLE_EQ(Per_Altezza, 0.9);
  EXPECT_DOUBLE_EQ(Per_Larghezza, 77.0 / f.ScaleWidth());
  EXPECT_EQ(Anno_Riferimento, vb::Now().year);
  EXPECT_EQ(Grafico_Tipo, 14);
  EXPECT_EQ(Elementi_Grafico, 12);
  EXPECT_EQ(Ordinamento_Layout, 0);
  EXPECT_EQ(Funzione_Mouse, 2);
  EXPECT_FALSE(Grafico_Serie);
  EXPECT_EQ(Larghezze_Codici[0], 1500);
  EXPECT_EQ(Larghezze_Codici[1], 1500);
  EXPECT_EQ(Larghezze_Codici[2], 1500);
  EXPECT_EQ(Larghezze_Codici[3], 1500);
  EXPECT_EQ(Larghezze_Codici[4], 1234);
  EXPECT_EQ(Larghezze_Caricati[6], 800);
  EXPECT_EQ(f.Toolbar1->Buttons("MouseTipo").ImageKey(), "MouseTipo2");

  // The shares, one by one.
  struct Caso {
    const char* altezza;
    const char* larghezza;
    double a, l;
  };
  for (const Caso c : {Caso{"abc", "0,7", 0.5, 0.5}, Caso{"0", "0", 0.5, 0.25},
                       Caso{"0,05", "0,2", 0.1, 0.2}, Caso{"", "-1", 0.5, -1}}) {
    SCOPED_TRACE(c.altezza);
    Ini(std::string("[Generale]\nper_altezza=") + c.altezza + "\nper_larghezza=" + c.larghezza);
    Leggi_Impostazioni_Generali();
    EXPECT_DOUBLE_EQ(Per_Altezza, c.a);
    EXPECT_DOUBLE_EQ(Per_Larghezza, c.l < 0 ? 77.0 / f.ScaleWidth() : c.l);
  }
}

class Storico : public AmbienteUi {
 protected:
  void Crea(std::initializer_list<int> numeri) {
    std::filesystem::create_directories(dir.path() + "/STORICO");
    for (int n : numeri) {
      const std::string base = "STORICO/KYX_E_" + vb::Format(int64_t{n}, "000000");
      dir.write(base + "_1.DAT", "1");
      dir.write(base + "_2.DAT", "2");
    }
  }
  std::vector<std::string> File() const {
    return files::list_files(dir.path() + "/STORICO", "*");
  }
};

TEST_F(Storico, NumbersComeFromTheFileNamesAndOldOnesArePruned) {
  Crea({3, 4, 5, 6, 7, 8, 9, 10});
  dir.write("STORICO/KYX_E_abc_1.DAT", "estraneo");
  Carica();
  EXPECT_EQ(Storico_Primo, 6);
  EXPECT_EQ(Storico_Ultimo, 10);
  EXPECT_EQ(Elaborazione_Corrente, 10);
  const auto restano = File();
  EXPECT_EQ(restano.size(), 11u);
  EXPECT_EQ(restano.front(), "KYX_E_000006_1.DAT");
  EXPECT_TRUE(std::find(restano.begin(), restano.end(), "KYX_E_abc_1.DAT") != restano.end());
}

TEST_F(Storico, EmptyFolderAndNumbersBeyondSixDigits) {
  Carica();
  EXPECT_EQ(Storico_Primo, 1);
  EXPECT_EQ(Storico_Ultimo, 0);
  EXPECT_EQ(Elaborazione_Corrente, 0);

  Crea({999998, 999999, 1000000});
  Elementi_Storico = 2;
  Imposta_Form_Base();
  EXPECT_EQ(Storico_Ultimo, 1000000);
  EXPECT_EQ(Storico_Primo, 999999);
  EXPECT_EQ(File().size(), 4u);
}

TEST_F(Storico, CleanUpAtLoginRemovesTheWholeHistory) {
  Crea({1, 2});
  dir.write("STORICO/altro.txt", "x");
  Storico_Pulizia_Login = true;
  Carica();
  EXPECT_EQ(File(), std::vector<std::string>{"altro.txt"});
  EXPECT_EQ(Storico_Primo, 1);
  EXPECT_EQ(Storico_Ultimo, 0);
  EXPECT_EQ(Elaborazione_Corrente, 0);
  EXPECT_EQ(Layout_Precedente, -123);
}

TEST_F(Impostazioni, TooltipsWithHelpMessages) {
  FrmBase& f = Carica();
  // At load Imposta_Bar then gives "Server" and "Grafico" the tooltips of their state.
  EXPECT_EQ(f.Toolbar1->Buttons("Grafico").ToolTipText(), " Dati in forma grafica ");
  Imposta_Form_Base();
  EXPECT_EQ(f.Toolbar1->Buttons("Grafico").ToolTipText(),
            " Visualizzazione dei dati in forma grafica ");
  EXPECT_EQ(f.Toolbar1->Buttons("Help_1").ToolTipText(), " ? ");
  EXPECT_EQ(f.Flt_Toolbar->Buttons("FiltroBoxPulizia").ToolTipText(),
            " Elimina la riga del filtro  ");
  EXPECT_EQ(f.StatusBar1->Panels("Progress").ToolTipText(),
            " Progressione / Tempo impiegato in sec. ");
  EXPECT_EQ(f.PicLayout->ToolTipText(), " click per cambiare ordinamento all'elenco dei layout ");
  Messaggi_Aiuto = false;
  Imposta_Form_Base();
  EXPECT_EQ(f.Toolbar1->Buttons("Uscita").ToolTipText(), "");
  EXPECT_EQ(f.StatusBar1->Panels("Data").ToolTipText(), "");
  EXPECT_EQ(f.twL->ToolTipText(), "");
}

}  // namespace
}  // namespace kyx::test
