#include "common/opzioni.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <vector>

#include "common/codifica_parametri.h"
#include "common/utilita.h"
#include "platform/ini/ini_file.h"
#include "tests/common/ambiente.h"

namespace kyx {
namespace {

class Opzioni : public test::Ambiente {
 protected:
  bool Carica(int16_t indice) {
    int32_t hdc = 0;
    return Carica_Opzioni(indice, hdc);
  }
};

TEST_F(Opzioni, FreshFileGivesEveryDefault) {
  ASSERT_TRUE(Carica(1));
  EXPECT_EQ(host.shown().size(), 0u);
  const std::string p = Cartella_Programma;
  EXPECT_EQ(Profilo_Principale, 1);
  EXPECT_EQ(Server_Nome, "nome connessione");
  EXPECT_EQ(Server_Porta, "4100");
  EXPECT_EQ(Nome_Utente, "Utente");
  EXPECT_EQ(Password_Utente, "^^^^^^^^^^");
  EXPECT_EQ(DataBase_SQL, "");
  EXPECT_EQ(Sistema_Informativo, "Q-KRE");
  EXPECT_EQ(Descrizione_Sistema, "Q-KRE");
  EXPECT_EQ(Cartella_Dati, p + "Dati\\");
  EXPECT_EQ(Cartella_Storico, p + "Dati\\STORICO\\");
  EXPECT_EQ(Cartella_Esportazione, p + "Dati\\EXPORT\\");
  EXPECT_EQ(Cartella_Preferiti, p + "Dati\\PREFERITI\\");
  EXPECT_EQ(Esportazione_Estensione, 4);
  EXPECT_EQ(Adatta_Dopo_Elaborazione, 2);
  EXPECT_EQ(Data_Descrizioni, "20000101010101");
  EXPECT_EQ(Font_Nome, "Lucida Console");
  EXPECT_FLOAT_EQ(Font_Dimensione, 8.25f);
  EXPECT_FALSE(Font_Grassetto);
  EXPECT_FALSE(Font_Corsivo);
  EXPECT_EQ(Elementi_Storico, 9999);
  EXPECT_EQ(Precisione_Colore, 16);
  EXPECT_TRUE(Profilo_In_Elenco);
  EXPECT_FALSE(Righe_Zero);
  EXPECT_FALSE(Messaggi_Aiuto);
  EXPECT_TRUE(Preferiti_Aggiorna && Memorizza_Colonne && Storico_Pulizia_Login && Precisione_15 &&
              Visualizza_Excel && Descrizioni_Aggiuntive);
  const std::array<std::string, 9> livelli = {"",           "|  ",           "|  |  ",
                                              "|  |  |  ",  "|  |  |  |  ",  "|  |  |  |  |  ",
                                              "|  |  |  |  |  |  ", "|  |  |  |  |  |  |  ",
                                              "|  |  |  |  |  |  |  |  "};
  EXPECT_EQ(Nomi_Livello, livelli);

  const std::array<int32_t, 20> colori = {
      12059413, 16777215, 0, 12704993, Colore_Reale(Colore_OLE(0x80000012)),
      Colore_Reale(Colore_OLE(0x8000000F)), 16777215, 2039583, 986895, 12704993,
      0, 15463413, 12059413, 16777215, 0, 12704993, Colore_Reale(Colore_OLE(0x80000012)),
      Colore_Reale(Colore_OLE(0x8000000F)), 16777215, 2039583};
  for (size_t i = 0; i < colori.size(); ++i) EXPECT_EQ(Colori[i], colori[i]) << i;
  EXPECT_EQ(Colori[20], 0);  // room for 24, 20 loaded
  struct Gruppo {
    size_t da;
    int32_t primo, sfondo;
  } gruppi[] = {{0, 16777215, 6250335}, {9, 0, 14145495}, {18, 0, 7143423}, {27, 986895, 13619151}};
  for (const auto& g : gruppi) {
    for (size_t n = g.da; n < g.da + 9; ++n) {
      EXPECT_EQ(Colori_Livello[2 * n], g.primo) << n;
      EXPECT_EQ(Colori_Livello[2 * n + 1], g.sfondo) << n;
    }
  }

  const std::string d = p + "Dati\\";
  EXPECT_EQ(File_Chiavi, d + "KYX_K.DAT");
  EXPECT_EQ(File_Sistemi, d + "KYX_E.DAT");
  EXPECT_EQ(File_Valori, d + "KYX_V.DAT");
  EXPECT_EQ(File_Aree, d + "KYX_A.DAT");
  EXPECT_EQ(File_Layout, d + "KYX_L.DAT");
  EXPECT_EQ(File_Layout_Elementi, d + "KYX_L_###.DAT");
  EXPECT_EQ(File_Drill, d + "KYX_D_###.DAT");
  EXPECT_EQ(File_Filtro_Utente, d + "KYX_UF.DAT");
  EXPECT_EQ(File_Struttura_Utente, d + "KYX_UA.DAT");
  EXPECT_EQ(File_MDB0, d + "KYX_0.MDB");
  EXPECT_EQ(File_MDB3, d + "KYX_3.MDB");
  EXPECT_EQ(File_Storico_1, d + "STORICO\\KYX_E_######_1.DAT");
  EXPECT_EQ(File_Storico_2, d + "STORICO\\KYX_E_######_2.DAT");
  EXPECT_EQ(Spazi_Misura, " ");  // nothing to measure with
}

TEST_F(Opzioni, StoredValuesAndTheirRules) {
  Numero_Profili = 3;
  Ini("[Generale]\nPrincipale=002\n"
      "[002]\nDataBase SQL=KYXDB\nNome=VEN\nDescrizione=Vendite Italia\n"
      "Cartella Dati=\\\\server\\kyx\\\nCartella Storico=\\Arch\\\nCartella Esportazione=/srv/exp/\n"
      "Cartella Preferiti=D:\\Pref\\\n"
      "Esportazione Estensione=3\nAdatta dopo Elaborazione=0\nData=20240102030405XYZ\n"
      "Colore 0=00000255-00065280\nColore 3=0000000-16777215\nColore 5=abcdefgh-00000255\n"
      "Colore 6=00000255-zzzzzzzz\nColoreLiv 35=00000001-00000002\n"
      "Font Nome=  Courier New  \nFont Bold=S\nFont Italic=s\nFont Size=0012.50\n"
      "Elementi Storico=0250\nPrecisione Colore=008\nElenco=N\nRighe zero=S\n"
      "Livello 1=#x#\nLivello 2=##\nLivello 3=#\nLivello 4=#  a  #\n");
  ASSERT_TRUE(Carica(2));
  EXPECT_EQ(Profilo_Principale, 2);
  EXPECT_EQ(DataBase_SQL, "KYXDB");
  EXPECT_EQ(Sistema_Informativo, "VEN");
  EXPECT_EQ(Descrizione_Sistema, "Vendite Italia");
  EXPECT_EQ(Cartella_Dati, "\\\\server\\kyx\\");  // a network share stays as stored
  EXPECT_EQ(Cartella_Storico, Cartella_Programma + "Arch\\");
  EXPECT_EQ(Cartella_Esportazione, "/srv/exp/");
  EXPECT_EQ(Cartella_Preferiti, "D:\\Pref\\");
  EXPECT_EQ(File_MDB0, "\\\\server\\kyx\\KYX_0.MDB");
  EXPECT_EQ(File_Storico_1, Cartella_Programma + "Arch\\KYX_E_######_1.DAT");
  EXPECT_EQ(Esportazione_Estensione, 3);
  EXPECT_EQ(Adatta_Dopo_Elaborazione, 0);
  EXPECT_EQ(Data_Descrizioni, "20240102030405");
  EXPECT_EQ(Colori[0], 255);
  EXPECT_EQ(Colori[1], 65280);
  EXPECT_EQ(Colori[6], 0);  // 16 characters: black on white
  EXPECT_EQ(Colori[7], 0xFFFFFF);
  EXPECT_EQ(Colori[10], 0);  // a part that is no number
  EXPECT_EQ(Colori[11], 255);
  EXPECT_EQ(Colori[12], 255);
  EXPECT_EQ(Colori[13], 0xFFFFFF);
  EXPECT_EQ(Colori_Livello[70], 1);
  EXPECT_EQ(Colori_Livello[71], 2);
  EXPECT_EQ(Font_Nome, "Courier New");  // the settings read trims the value
  EXPECT_TRUE(Font_Grassetto);
  EXPECT_FALSE(Font_Corsivo);
  EXPECT_FLOAT_EQ(Font_Dimensione, 12.5f);
  EXPECT_EQ(Elementi_Storico, 250);
  EXPECT_EQ(Precisione_Colore, 8);
  EXPECT_FALSE(Profilo_In_Elenco);
  EXPECT_TRUE(Righe_Zero);
  EXPECT_EQ(Nomi_Livello[0], "x");
  EXPECT_EQ(Nomi_Livello[1], "");
  EXPECT_EQ(Nomi_Livello[2], "");
  EXPECT_EQ(Nomi_Livello[3], "  a  ");
  EXPECT_EQ(Nomi_Livello[4], "|  |  |  |  ");  // still the default
}

TEST_F(Opzioni, NumbersOutsideTheirRangeTakeTheDefault) {
  struct Caso {
    std::string principale, estensione, adatta, dimensione, elementi;
    int16_t atteso_principale;
    uint8_t atteso_estensione, atteso_adatta;
    float attesa_dimensione;
    int32_t attesi_elementi;
  } casi[] = {
      {"005", "7", "abc", "abc", "x", 1, 4, 2, 10.0f, 9999},
      {"0", "0", "300", "", "", 1, 4, 2, 10.0f, 9999},
      {"-3", "-1", "-1", "9,5", "99999999999", 1, 4, 2, 9.0f, 9999},
      {"abc", "2", "255", std::string(300, '1'), "0012", 1, 2, 255, 10.0f, 12},
      {"003", "4.4", "1.5", "0007.75", "-5", 3, 4, 2, 7.75f, -5},
  };
  Numero_Profili = 3;
  for (const auto& c : casi) {
    SCOPED_TRACE(c.principale + " " + c.estensione + " " + c.adatta);
    Ini("[Generale]\nPrincipale=" + c.principale + "\n[001]\nEsportazione Estensione=" +
        c.estensione + "\nAdatta dopo Elaborazione=" + c.adatta + "\nFont Size=" + c.dimensione +
        "\nElementi Storico=" + c.elementi + "\n");
    ASSERT_TRUE(Carica(1));
    EXPECT_EQ(Profilo_Principale, c.atteso_principale);
    EXPECT_EQ(Esportazione_Estensione, c.atteso_estensione);
    EXPECT_EQ(Adatta_Dopo_Elaborazione, c.atteso_adatta);
    EXPECT_FLOAT_EQ(Font_Dimensione, c.attesa_dimensione);
    EXPECT_EQ(Elementi_Storico, c.attesi_elementi);
  }
}

TEST_F(Opzioni, FontSizeWithTheLocaleDecimalSeparator) {
  vb::set_locale({',', '.'});
  Separatore_Decimale = ",";
  Ini("[001]\nFont Size=0012,50\n");
  ASSERT_TRUE(Carica(1));
  EXPECT_FLOAT_EQ(Font_Dimensione, 12.5f);
  // A file written under an English locale reads the same.
  Ini("[001]\nFont Size=0012.50\n");
  ASSERT_TRUE(Carica(1));
  EXPECT_FLOAT_EQ(Font_Dimensione, 12.5f);
  Ini("");
  ASSERT_TRUE(Carica(1));
  EXPECT_FLOAT_EQ(Font_Dimensione, 8.25f);  // default "8,25"
}

TEST_F(Opzioni, GarbageFileAndOverlongValues) {
  std::string garbage;
  for (int i = 0; i < 4000; ++i) garbage += static_cast<char>((i * 7919 + 13) % 256);
  dir.write("KYX.INI", garbage);
  ASSERT_TRUE(Carica(1));
  EXPECT_EQ(Server_Nome, "nome connessione");
  EXPECT_EQ(Cartella_Dati, Cartella_Programma + "Dati\\");
  Carica_Impostazioni_Stampa();
  EXPECT_EQ(Stampa_Copie, 1);

  // Values of 300 characters come back cut to 254.
  const std::string lungo(300, '7');
  Ini("[001]\nNome=" + lungo + "\nData=" + lungo + "\nElementi Storico=" + lungo +
      "\nLivello 1=" + lungo + "\nColore 0=" + lungo + "\n[Stampante]\nCopie=" + lungo +
      "\nMargine Sx=" + lungo + "\n");
  ASSERT_TRUE(Carica(1));
  EXPECT_EQ(Sistema_Informativo, std::string(254, '7'));
  EXPECT_EQ(Data_Descrizioni, std::string(14, '7'));
  EXPECT_EQ(Elementi_Storico, 9999);
  EXPECT_EQ(Nomi_Livello[0], std::string(252, '7'));
  EXPECT_EQ(Colori[0], 0);
  EXPECT_EQ(Colori[1], 0xFFFFFF);
  Carica_Impostazioni_Stampa();
  EXPECT_EQ(Stampa_Copie, 1);
  EXPECT_EQ(Stampa_Margini_mm[0], 3);

  // A block of 254 characters fails its check: the message, not a crash.
  Ini("[001]\nParametri=" + lungo + "\nCheck=1\n");
  host.expect("Errore di integrit\xE0");
  EXPECT_FALSE(Carica(1));
}

TEST_F(Opzioni, ConnectionBlockWrittenByOurWriterLoadsBack) {
  ASSERT_TRUE(Scrivi_Parametri_Profilo(1, "  kyx.example.com", "4200", "mario", "pa ss"));
  struct stat st {};
  ASSERT_EQ(stat(dir.file("KYX.INI").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);  // the file holds the connection block

  ASSERT_TRUE(Carica(1));
  EXPECT_EQ(Server_Nome, "kyx.example.com");
  EXPECT_EQ(Server_Porta, "4200 ");  // port and user are not trimmed
  EXPECT_EQ(Nome_Utente, "mario     ");
  EXPECT_EQ(Password_Utente, "pa^ss^^^^^");  // blanks stay "^"
}

TEST_F(Opzioni, ScrambledValueWithBlankOrQuoteAtAnEndSurvivesTheFile) {
  // The scrambled text starts with the image of the second character and ends with the image of
  // the first: "{" scrambles to a blank, "z" to a double quote, "#" to a single quote.
  const std::string server[] = {"{{x", "zz", "##", "{z", "z#q", "a{"};
  for (const auto& s : server) {
    SCOPED_TRACE(s);
    ASSERT_TRUE(Scrivi_Parametri_Profilo(1, s, "4100", "u", "p"));
    ASSERT_TRUE(Carica(1));
    EXPECT_EQ(Server_Nome, s);
    EXPECT_EQ(Password_Utente, "p^^^^^^^^^");
  }
  EXPECT_EQ(host.shown().size(), 0u);
}

TEST_F(Opzioni, UnstorableCharacterIsNotWritten) {
  Ini("[001]\nNome=VEN\n");
  const std::string prima = dir.read("KYX.INI");
  EXPECT_FALSE(Scrivi_Parametri_Profilo(1, "server", "4100", "Jos\xE9", "p"));
  EXPECT_FALSE(Scrivi_Parametri_Profilo(1, "server", "4100", "u", "pass|word"));
  EXPECT_EQ(dir.read("KYX.INI"), prima);
}

TEST_F(Opzioni, TamperedBlockFailsAndKeepsThePreviousProfile) {
  Numero_Profili = 2;
  ASSERT_TRUE(Scrivi_Parametri_Profilo(1, "uno", "4100", "u1", "p1"));
  ASSERT_TRUE(Scrivi_Parametri_Profilo(2, "due", "4100", "u2", "p2"));
  ini::IniFile ini(File_Ini);
  ini.Write("001", "Cartella Dati", "\\Uno\\");
  ini.Write("002", "Cartella Dati", "\\Due\\");
  ini.Write("Generale", "Principale", "002");
  ASSERT_TRUE(Carica(1));
  ASSERT_EQ(Cartella_Dati, Cartella_Programma + "Uno\\");

  std::string parametri = ini.Read("002", "Parametri", "");
  parametri[10] = parametri[10] == 'A' ? 'B' : 'A';
  ini.Write("002", "Parametri", "\"" + parametri + "\"");
  host.expect("Errore di integrit\xE0");
  EXPECT_FALSE(Carica(2));
  ASSERT_EQ(host.shown().size(), 1u);
  EXPECT_EQ(host.shown()[0].text, "Errore di integrit\xE0");
  EXPECT_EQ(host.shown()[0].style, 16);
  EXPECT_EQ(host.shown()[0].title, "Q-KRE");
  EXPECT_EQ(Server_Nome, "uno");
  EXPECT_EQ(Cartella_Dati, Cartella_Programma + "Uno\\");
  EXPECT_EQ(Profilo_Principale, 2);  // read before the check

  // An empty block is a new profile: it passes whatever "Check" holds.
  ini.Write("002", "Parametri", "");
  ASSERT_TRUE(Carica(2));
  EXPECT_EQ(Server_Nome, "nome connessione");
  EXPECT_EQ(Cartella_Dati, Cartella_Programma + "Due\\");

  // A block holding a character no scrambling writes gives the message too.
  ini.Write("002", "Parametri", "abc\xE9");
  ini.Write("002", "Check", "0");
  host.expect("Errore di integrit\xE0");
  EXPECT_FALSE(Carica(2));
}

TEST_F(Opzioni, GridFontIsMeasuredWithoutDividingByAFailedWidth) {
  struct Chiamate {
    std::vector<std::string> elenco;
  } c;
  int32_t larghezza = 0;
  agganci::Stampanti_Crea_Font = [&](const std::string& nome, int32_t altezza, int32_t l,
                                     int32_t peso, uint8_t corsivo, int32_t inclinazione) {
    c.elenco.push_back("font " + nome + " " + std::to_string(altezza) + " " + std::to_string(l) +
                       " " + std::to_string(peso) + " " + std::to_string(corsivo) + " " +
                       std::to_string(inclinazione));
    return 77;
  };
  agganci::Stampanti_Seleziona = [&](int32_t hdc, int32_t oggetto) {
    c.elenco.push_back("select " + std::to_string(hdc) + " " + std::to_string(oggetto));
    return oggetto == 77 ? 5 : 77;
  };
  agganci::Stampanti_Larghezza_Testo = [&](int32_t, const std::string& testo) {
    EXPECT_EQ(testo, std::string(10, ' '));
    return larghezza;
  };
  agganci::Stampanti_Elimina_Oggetto = [&](int32_t oggetto) {
    c.elenco.push_back("delete " + std::to_string(oggetto));
    return 1;
  };
  Twips_Pixel_Y = 15;
  Ini("[001]\nFont Nome=Courier New \nFont Bold=S\nFont Italic=S\n");
  struct Caso {
    int32_t larghezza;
    size_t spazi;
  } casi[] = {{50, 3}, {40, 4}, {200, 2}, {1, 101}, {0, 1}, {-1, 1}};
  for (const auto& k : casi) {
    larghezza = k.larghezza;
    c.elenco.clear();
    int16_t indice = 1;
    int32_t hdc = 9;
    ASSERT_TRUE(Carica_Opzioni(indice, hdc));
    EXPECT_EQ(Spazi_Misura, std::string(k.spazi, ' ')) << k.larghezza;
  }
  // 8.25 points at 15 twips per pixel: 11 pixels high; the context gets its own font back
  // before the measured one is deleted.
  EXPECT_EQ(c.elenco, (std::vector<std::string>{"font Courier New -11 0 700 1 0", "select 9 77",
                                                "select 9 5", "delete 77"}));
}

TEST_F(Opzioni, PrinterSettings) {
  Carica_Impostazioni_Stampa();
  EXPECT_EQ(Stampa_Stampante, "");
  EXPECT_TRUE(Stampa_Verticale && Stampa_Adatta && Stampa_Adatta_Colonne && Stampa_Adatta_Font &&
              Stampa_Allinea_X && Stampa_Filtro);
  EXPECT_FALSE(Stampa_Dati || Stampa_Livello_1);
  EXPECT_EQ(Stampa_Margini_mm, (std::array<int16_t, 4>{3, 3, 3, 3}));
  EXPECT_EQ(Stampa_Margini, (std::array<int32_t, 4>{170, 170, 170, 170}));
  EXPECT_EQ(Stampa_Margine_Cella, 30);
  EXPECT_EQ(Stampa_Copie, 1);
  EXPECT_EQ(Stampa_Font_Max, 15);

  std::vector<std::string> tooltip;
  agganci::Tooltip_Stampa = [&](const std::string& t) { tooltip.push_back(t); };
  Ini("[Stampante]\nNome= HP LaserJet \nVerticale=s\nAdatta=0\nAdatta Colonne=S\n"
      "Adatta Font=1\nAllinea X=2\nMargine Sx=10mm\nMargine Dx=0\nMargine Top=abc\n"
      "Margine Bot=99999\nFiltro=0\nDati=1\nCopie=0\nFont Max=1\nLivello 1=1\n");
  Carica_Impostazioni_Stampa();
  EXPECT_TRUE(tooltip.empty());  // only with the help messages on
  EXPECT_EQ(Stampa_Stampante, "HP LaserJet");
  EXPECT_FALSE(Stampa_Verticale || Stampa_Adatta || Stampa_Adatta_Colonne || Stampa_Allinea_X ||
               Stampa_Filtro);
  EXPECT_TRUE(Stampa_Adatta_Font && Stampa_Dati && Stampa_Livello_1);
  EXPECT_EQ(Stampa_Margini_mm, (std::array<int16_t, 4>{10, 0, 3, 3}));
  EXPECT_EQ(Stampa_Margini, (std::array<int32_t, 4>{567, 0, 170, 170}));
  EXPECT_EQ(Stampa_Copie, 1);
  EXPECT_EQ(Stampa_Font_Max, 2);

  Messaggi_Aiuto = true;
  Ini("[Stampante]\nCopie=3\nFont Max=abc\nMargine Sx=25\n");
  Carica_Impostazioni_Stampa();
  EXPECT_EQ(tooltip, (std::vector<std::string>{" Stampa () "}));
  EXPECT_EQ(Stampa_Copie, 3);
  EXPECT_EQ(Stampa_Font_Max, 20);
  EXPECT_EQ(Stampa_Margini[0], 1417);  // 25 x 56.6868 = 1417.17
  Ini("[Stampante]\nFont Max=40\n");
  Carica_Impostazioni_Stampa();
  EXPECT_EQ(Stampa_Font_Max, 40);  // no upper bound
}

}  // namespace
}  // namespace kyx
