// The layout file pair: saved and loaded back, the checked reader, the single keys, the history
// trimmed and stepped through.
#include <gtest/gtest.h>

#include "common/impostazioni.h"
#include "common/modello.h"
#include "common/stato.h"
#include "engine/stato_motore.h"
#include "layouts/file_layout.h"
#include "layouts/layout.h"
#include "layouts/stato_layout.h"
#include "platform/ini/ini_file.h"
#include "tests/layouts/ambiente_layout.h"

namespace kyx::test {
namespace {

class Layout : public AmbienteLayout {
 protected:
  // Three result columns of every kind of field, two filter rows, no level keys.
  void Modello() {
    Numero_Colonne = 3;
    Colonne_Bloccate = 2;
    Colonna_Ordinamento = 3;
    Verso_Ordinamento = " DESC";
    Numero_Livelli = 1;
    Livelli_Visibili = 0;
    Precedenza_P = 4;
    Anno_Riferimento = 2015;
    Ordinamento_Layout = 0;
    const char* calc[] = {"", "#L1(001)", "#+V001#", "c2*2"};
    for (int c = 1; c <= 3; ++c) {
      Col_Intestazione[c] = "Riga " + std::to_string(c) + "|due";
      Col_Allineamento[c] = c == 1 ? 1 : 7;
      Col_Larghezza[c] = static_cast<int16_t>(1000 + c);
      Col_Larghezza_Stampa[c] = static_cast<int16_t>(2000 + c);
      Col_Visibile[c] = c == 2 ? 1 : 2;
      Col_Ordine[c] = 0;
      Col_Chiave[c] = c == 1 ? 1 : -1;
      Col_Descrizione[c] = -1;
      Col_Calcolo[c] = calc[c];
      Col_Tipo[c] = c == 1 ? 8 : 0;
      Col_VCK[c] = 0;
      Col_VCC[c] = c == 3 ? "A01" : "";
      Col_Formato[c] = "###,##0";
      Col_Attributo[c] = "2";
      Col_Kde[c] = 3;
      Col_Totale[c] = 2;
      Col_Sistema[c] = "";
      Col_Where[c] = c == 2 ? " ((k_001 in('NORD' )))" : "";
      Col_Where_Flag[c].fill(0);
      Col_Where_Flag[c][c] = -1;
      Col_Precedenza[c] = c - 1;
    }
    Liv_Riga_Testo.fill("");
    Parametri_Valore[0] = "2015";
    Parametri_Descrizione[0] = "Anno";
    Filtro_Utente(1, "=", "NORD");
    Filtro_Utente(2, "D", "A01");
    Rs_Griglia = Risultato(4);
  }
};

TEST_F(Layout, ASavedElaborationLoadsBackAsItWasSaved) {
  Modello();
  Elaborazione_Corrente = Storico_Ultimo = 5;
  Storico_Primo = 1;
  Salva_Layout("ADD", 0);

  const std::vector<std::string> r = Righe(Leggi(Storico("KYX_E_000005_2.DAT")));
  ASSERT_EQ(r.size(), 1u + 14 + 60 + 8 + 54);
  EXPECT_EQ(r[0], "[Q-KRE]");
  EXPECT_EQ(r[1], "_Elab____=Vendite per area  Area");
  EXPECT_EQ(r[2], "_Link____=[Link]");
  EXPECT_EQ(r[5], "_NKey____=A001K002L003");
  EXPECT_EQ(r[8], "_CMax____=003");
  EXPECT_EQ(r[15], "C_001_Hea=Riga 1|due");
  EXPECT_EQ(r[75], "UF_0001_K=1");
  EXPECT_EQ(r[83], "LV_1____K=-001");
  EXPECT_EQ(r.back(), "PA_9____V=");
  EXPECT_TRUE(files::file_exists(Storico("KYX_E_000005_1.DAT")));

  // Another state, then the file back as saved.
  const auto salvato_hea = Col_Intestazione;
  const auto salvato_where = Col_Where;
  const auto salvato_flag = Col_Where_Flag;
  for (int c = 0; c < 256; ++c) Col_Intestazione[c] = "x";
  Numero_Colonne = 9;
  Rs_Griglia.reset();
  Liv_Riga_Chiave[0] = 4;
  Elaborazione_Corrente = 2;
  chiave_layout.clear();

  Carica_Layout(0, File_Storico(File_Storico_2, 5), false);
  EXPECT_EQ(Numero_Colonne, 3);
  EXPECT_EQ(Col_Intestazione, salvato_hea);
  EXPECT_EQ(Col_Where, salvato_where);
  for (int c = 1; c <= 3; ++c) EXPECT_EQ(Col_Where_Flag[c], salvato_flag[c]) << c;
  EXPECT_EQ(Col_Larghezza[2], 1002);
  EXPECT_EQ(Col_Visibile_Memoria[2], 1);
  EXPECT_EQ(Col_Testo[3], "A01");
  EXPECT_EQ(Col_Tipo[4], 7);  // beyond the saved columns: the loader's defaults
  EXPECT_EQ(Colonne_Bloccate_Memoria, 2);
  EXPECT_EQ(Verso_Ordinamento, " DESC");
  EXPECT_EQ(Liv_Riga_Chiave[0], -1);
  EXPECT_EQ(Parametri_Descrizione[0], "Anno");
  EXPECT_EQ(Elaborazione_Corrente, 2);
  EXPECT_EQ(chiave_layout, "A001K002L003");
  EXPECT_EQ(Layout_Corrente, 3);
  EXPECT_EQ(Area_Corrente, 1);
  ASSERT_NE(Rs_Griglia, nullptr);
  EXPECT_EQ(Numero_Record, 4);
  EXPECT_EQ(comandi, (std::vector<std::string>{"T-", "E+ 1 NORD  1", "E+ 2 A01  3"}));
}

// A result saved while it still carried pending changes (changed, deleted and inserted rows) is
// shown as the recordset stood: it does not make the entry unloadable.
TEST_F(Layout, AnEntrySavedWithPendingChangesLoads) {
  Modello();
  Elaborazione_Corrente = Storico_Ultimo = 5;
  Storico_Primo = 1;
  Salva_Layout("ADD", 0);
  ASSERT_TRUE(files::write_file_atomic(Storico("KYX_E_000005_1.DAT"), Leggi(KYX_TABLEGRAM_PENDING)));
  Rs_Griglia.reset();
  Carica_Layout(0, File_Storico(File_Storico_2, 5), false);
  ASSERT_NE(Rs_Griglia, nullptr);
  ASSERT_EQ(Numero_Record, 4);
  std::vector<std::string> righe;
  ASSERT_TRUE(Rs_Griglia->MoveFirst().ok());
  for (; !Rs_Griglia->AfterLast(); (void)Rs_Griglia->MoveNext())
    righe.push_back(Rs_Griglia->Field("c000").AsText() + " " + Rs_Griglia->Field("c001").AsText());
  EXPECT_EQ(righe, (std::vector<std::string>{"9999991 1", "9999992 20.5", "9999994 4", "9999995 "}));
}

TEST_F(Layout, TheReaderTakesWhatTheKeysSayAndRefusesDamagedFiles) {
  const std::string coda = "PA_9____V=\r\n";
  struct Caso {
    std::string testo;
    bool buono;
    std::function<void(const Contenuto_Layout&)> verifica;
  };
  const Caso casi[] = {
      {"[Q-KRE]\r\n_CMax____=005\r\nC_007_Hea=no\r\nC_005_VTo=0\r\nC_005_Dim=\r\n" + coda, true,
       [](const Contenuto_Layout& l) {
         EXPECT_EQ(l.Colonne[7].Intestazione, "");
         EXPECT_EQ(l.Colonne[5].Totale, 2);
         EXPECT_EQ(l.Colonne[5].Larghezza, 1500);
       }},
      {"[Q-KRE]\r\n_CMax____=1\r\nUF_0001_K=3\r\nUF_0001_O=D\r\nUF_0001_V=100,200\r\n"
       "UF_0002_K=4\r\nUF_0002_O==\r\nUF_0002_V=A,B,C\r\nUF_0003_K=5\r\nUF_0003_O=D\r\nUF_0003_V=1,2,3\r\n"
       "UF_0004_K=6\r\nUF_0004_V=senza operatore\r\n" + coda,
       true,
       [](const Contenuto_Layout& l) {
         EXPECT_EQ(l.Filtri, (std::vector<Filtro_Salvato>{
                                 {3, "100", "200", 3}, {4, "A", "", 1}, {4, "B", "", 1}, {4, "C", "", 1}}));
       }},
      // Counts and indexes from the file never reach past the arrays.
      {"[Q-KRE]\r\n_CMax____=99999\r\nC_255_Hea=ultima\r\nC_999_Hea=x\r\nLV_0____K=5\r\n" + coda, true,
       [](const Contenuto_Layout& l) {
         EXPECT_EQ(l.Numero_Colonne, 255);
         EXPECT_EQ(l.Colonne[255].Intestazione, "ultima");
       }},
      {"", false, nullptr},
      {std::string("[Q-KRE]\r\n_CMax\0___=1\r\n", 22) + coda, false, nullptr},
      {"Titolo\r\nLink\r\n", false, nullptr},  // the old positional form
      // A keyed file is taken with the keys it holds; the others keep their defaults.
      {"[Q-KRE]\r\n_Elab____=x\r\n" + coda, true,
       [](const Contenuto_Layout& l) {
         EXPECT_EQ(l.Titolo, "x");
         EXPECT_EQ(l.Numero_Colonne, 0);
       }},
      {"[Q-KRE]\r\n_CMax____=002\r\nC_002_Hea=due\r\nC_002_Dim=900\r\nPA_1____D=Anno\r\nPA_1____V=2015\r\n", true,
       [](const Contenuto_Layout& l) {
         EXPECT_EQ(l.Numero_Colonne, 2);
         EXPECT_EQ(l.Colonne[2].Intestazione, "due");
         EXPECT_EQ(l.Colonne[2].Larghezza, 900);
         EXPECT_EQ(l.Colonne[1].Larghezza, 1500);
         EXPECT_EQ(l.Parametri_Valore[0].value_or("-"), "2015");
         EXPECT_FALSE(l.Parametri_Valore[8].has_value());  // kept as the program holds it
       }},
      {"[Q-KRE]\r\n_CMax____=001\r\nC_001_Hea=tronc", true,
       [](const Contenuto_Layout& l) { EXPECT_EQ(l.Colonne[1].Intestazione, "tronc"); }},
      // A number that does not read as one of its type: overflow, garbage, out of range.
      {"[Q-KRE]\r\n_Anno____=1E999\r\n_CMax____=001\r\n" + coda, false, nullptr},
      {"[Q-KRE]\r\n_CMax____=1E999\r\n" + coda, false, nullptr},
      {"[Q-KRE]\r\n_CMax____=005\r\nC_005_Dim=abc\r\n" + coda, false, nullptr},
      {"[Q-KRE]\r\n_CMax____=005\r\nC_005_Vis=300\r\n" + coda, false, nullptr},
      {"[Q-KRE]\r\n_CMax____=001\r\nUF_0001_K=-1D400\r\nUF_0001_O==\r\nUF_0001_V=A\r\n" + coda, false, nullptr},
      {"[Q-KRE]\r\n_CMax____=001\r\nLV_1____K=&HFFFFFFFFF\r\n" + coda, false, nullptr},
      {"[Q-KRE]\r\n_NKey____=A9E9K002L003\r\n_CMax____=001\r\n" + coda, false, nullptr},
  };
  for (const Caso& c : casi) {
    Contenuto_Layout l;
    std::string motivo;
    EXPECT_EQ(Leggi_Contenuto_Layout(c.testo, l, motivo), c.buono) << c.testo;
    if (c.buono && c.verifica) c.verifica(l);
    if (!c.buono) {
      EXPECT_FALSE(motivo.empty());
    }
  }
}

TEST_F(Layout, AMissingOrDamagedFileIsReportedAndChangesNothing) {
  Modello();
  dir.write("Dati/PREFERITI/KYX_E_000001_2.DAT", "Vendite per area\r\n[Link]\r\n002\r\n");
  // A year too large even for a Double: the favourite is damaged, not a crash.
  dir.write("Dati/PREFERITI/KYX_E_000002_2.DAT", "[Q-KRE]\r\n_Anno____=1E999\r\n_CMax____=001\r\nPA_9____V=\r\n");
  for (const char* nome : {"KYX_E_000009_2.DAT", "KYX_E_000001_2.DAT", "KYX_E_000002_2.DAT"}) {
    host.expect("Impossibile caricare l'elaborazione");
    Carica_Layout(0, Cartella_Preferiti + nome, false);
    EXPECT_EQ(Numero_Colonne, 3);
    EXPECT_EQ(Col_Intestazione[1], "Riga 1|due");
    EXPECT_TRUE(comandi.empty());  // the user's filters are kept
    EXPECT_EQ(Numero_Record, 0);
  }
  // A layout file whose saved result is missing cannot be shown either.
  Elaborazione_Corrente = 3;
  Salva_Layout("ADD", 0);
  files::remove_file(Storico("KYX_E_000003_1.DAT"));
  host.expect("KYX_E_000003_1.DAT");
  Carica_Layout(0, File_Storico(File_Storico_2, 3), false);
  EXPECT_TRUE(comandi.empty());
}

TEST_F(Layout, SingleKeysChangeOnlyAnExistingLayoutFile) {
  Modello();
  Elaborazione_Corrente = 4;
  Salva_Layout("ADD", 0);
  const std::string file = File_Storico(File_Storico_2, 4);
  Colonne_Bloccate = 5;
  Colonna_Ordinamento = 2;
  Verso_Ordinamento = " ASC";
  Col_Larghezza[2] = 2200;
  Col_Visibile[3] = 1;
  Layout_Corrente = 12;
  // A sort or freeze of a list (grid modes 1 and 2) is not the layout's: nothing is written.
  const std::string fix_prima = ini::IniFile(file).Read("Q-KRE", "_CFix____", "-");
  const std::string ord_prima = ini::IniFile(file).Read("Q-KRE", "_COrd____", "-");
  for (int16_t modo : {1, 2}) {
    Modo_Griglia = modo;
    for (const char* op : {"BLK", "ORD"}) Salva_Layout(op, 0);
    EXPECT_EQ(ini::IniFile(file).Read("Q-KRE", "_CFix____", "-"), fix_prima) << modo;
    EXPECT_EQ(ini::IniFile(file).Read("Q-KRE", "_COrd____", "-"), ord_prima) << modo;
    EXPECT_NE(Colonne_Bloccate_Memoria, 5);
    EXPECT_NE(Colonna_Ordinamento_Memoria, 2);
  }
  Modo_Griglia = 3;
  for (const char* op : {"BLK", "ORD"}) Salva_Layout(op, 0);
  Salva_Layout("DIM", 2);
  Salva_Layout("VIS", 3);
  ini::IniFile f(file);
  EXPECT_EQ(f.Read("Q-KRE", "_CFix____", ""), "5");
  EXPECT_EQ(f.Read("Q-KRE", "_COrd____", ""), "002");
  EXPECT_EQ(f.Read("Q-KRE", "_CVer____", ""), "ASC");
  EXPECT_EQ(f.Read("Q-KRE", "C_002_Dim", ""), "2200");
  EXPECT_EQ(f.Read("Q-KRE", "C_003_Vis", ""), "1");
  EXPECT_EQ(Leggi_Ini("001", "Dim L012 002", ""), "002200");
  EXPECT_EQ(Colonne_Bloccate_Memoria, 5);
  EXPECT_EQ(Col_Visibile_Memoria[3], 1);

  // A number the server refused has no files: nothing is created for it; the width memory of
  // the settings file is still written, also without any current elaboration.
  for (int32_t numero : {7, 0}) {
    Elaborazione_Corrente = numero;
    Col_Larghezza[5] = static_cast<int16_t>(3000 + numero);
    for (const char* op : {"BLK", "ORD", "DIM", "VIS"}) Salva_Layout(op, 5);
    EXPECT_FALSE(files::file_exists(Storico("KYX_E_000007_2.DAT")));
    EXPECT_EQ(Leggi_Ini("001", "Dim L012 005", ""), numero == 7 ? "003007" : "003000");
  }
}

TEST_F(Layout, SavingTrimsTheHistoryToItsSize) {
  Modello();
  for (int n = 1; n <= 10; ++n) {
    dir.write("Dati/STORICO/KYX_E_" + Numero_Cifre(n, 6) + "_1.DAT", "x");
    dir.write("Dati/STORICO/KYX_E_" + Numero_Cifre(n, 6) + "_2.DAT", "x");
  }
  Storico_Primo = 1;
  Storico_Ultimo = Elaborazione_Corrente = 11;
  Elementi_Storico = 3;
  Salva_Layout("ADD", 0);
  EXPECT_EQ(files::list_files(dir.file("Dati/STORICO"), "*"),
            (std::vector<std::string>{"KYX_E_000009_1.DAT", "KYX_E_000009_2.DAT", "KYX_E_000010_1.DAT",
                                      "KYX_E_000010_2.DAT", "KYX_E_000011_1.DAT", "KYX_E_000011_2.DAT"}));
  EXPECT_EQ(Storico_Primo, 9);
}

TEST_F(Layout, SteppingPassesOverNumbersWithoutFiles) {
  Modello();
  for (int32_t n : {2, 3, 5}) {
    Elaborazione_Corrente = n;
    Col_Intestazione[1] = "elaborazione " + std::to_string(n);
    Salva_Layout("ADD", 0);
  }
  Storico_Primo = 2;
  Storico_Ultimo = 6;  // 6: refused by the server, no files
  int barre = 0;
  agganci_motore::Imposta_Bar = [&] { ++barre; };
  struct Passo {
    int32_t da;
    int16_t passo;
    int32_t arrivo;
    std::string titolo;
  };
  for (const Passo& p : {Passo{6, -1, 5, "elaborazione 5"}, Passo{5, -1, 3, "elaborazione 3"},
                         Passo{3, 1, 5, "elaborazione 5"}, Passo{2, -1, 2, "elaborazione 5"}}) {
    Elaborazione_Corrente = p.da;
    Carica_Layout(p.passo, "", false);
    EXPECT_EQ(Elaborazione_Corrente, p.arrivo) << p.da << " " << p.passo;
    EXPECT_EQ(Col_Intestazione[1], p.titolo) << p.da << " " << p.passo;
  }
  EXPECT_GT(barre, 0);
}

}  // namespace
}  // namespace kyx::test
