#include "common/avvio.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include "tests/common/ambiente.h"

namespace kyx {
namespace {

using Avvio = test::Ambiente;

const std::string kQuattroRighe = "\r\n\r\n\r\n\r\n";

TEST_F(Avvio, WithoutSettingsFileTakesDefaultsAndOpensTheLoginDialog) {
  std::vector<std::string> chiamate;
  agganci::XPStyle_Inizializza = [&] {
    chiamate.push_back("XPStyle");
    return false;  // ignored
  };
  agganci::frmPassword_Carica = [&](int32_t& modo) {
    // The settings are read before the login dialog opens.
    EXPECT_EQ(Titolo_Programma, "Q-KRE");
    chiamate.push_back("frmPassword " + std::to_string(modo));
  };
  stato::reset();
  vb::set_locale({',', '.'});
  Main("  /NOHOOK x/AUTOy  ");

  EXPECT_EQ(chiamate, (std::vector<std::string>{"XPStyle", "frmPassword 1"}));
  const std::string cartella = dir.path() + "/";
  EXPECT_EQ(Cartella_Programma, cartella);
  EXPECT_EQ(File_Ini, cartella + "KYX.INI");
  EXPECT_EQ(File_Istanze, cartella + "KYX.DAT");
  EXPECT_EQ(File_Aiuto, cartella + "KYX.CHM");
  EXPECT_EQ(Separatore_Decimale, ",");
  EXPECT_EQ(Riga_Comando, "/NOHOOK x/AUTOy");

  EXPECT_EQ(Compatta_Descrizioni, 4000);
  EXPECT_EQ(Compatta_Dati, 5000);
  EXPECT_TRUE(Compattare);  // the reported major version is 6
  EXPECT_FALSE(Debug_Attivo);
  EXPECT_EQ(Aspetto, 1);
  EXPECT_EQ(Aspetto_Piatto, 0);
  EXPECT_EQ(Colore_Sfondo, Colore_OLE(0x8000000F));
  EXPECT_EQ(Colore_Bordo, Colore_OLE(0x80000014));
  EXPECT_EQ(Messaggio_Avvio, kQuattroRighe);
  EXPECT_FALSE(Messaggio_Presente);

  EXPECT_EQ(Titolo_Programma, "Q-KRE");
  const std::string inizio = "\r\n\r\ncontattare:\r\n";
  ASSERT_EQ(Testo_Contatti.substr(0, inizio.size()), inizio);
  const std::string righe = Testo_Contatti.substr(inizio.size());
  EXPECT_NE(righe.find("\r\nTelefono: "), std::string::npos);
  EXPECT_NE(righe.find("\r\nE-Mail: "), std::string::npos);
  size_t n = 0;
  for (size_t p = righe.find("\r\n"); p != std::string::npos; p = righe.find("\r\n", p + 2)) ++n;
  EXPECT_EQ(n, 5u);
}

TEST_F(Avvio, OptionsOfSectionOpz) {
  struct Caso {
    std::string opz;
    int32_t descrizioni, dati;
    bool compattare, debug;
    int32_t aspetto, piatto;
  } casi[] = {
      {"", 4000, 5000, true, false, 1, 0},
      {"Compatta Descrizioni=1234.5\nCompatta Dati=7000\nCompattare=N\nDebug=S\nAspetto=2",
       1234, 7000, false, true, 2, 1},
      // Halves round to even; "s" and "Si" are not "S"; a look other than 2 is the classic one.
      {"Compatta Descrizioni=1235.5\nCompattare=s\nDebug=Si\nAspetto=3", 1236, 5000, true, false,
       3, 0},
      {"Compattare=S\nDebug=s\nAspetto=2.4", 4000, 5000, true, false, 2, 1},
      // Not numbers, counts below 1 and numbers beyond 32 bits take the defaults.
      {"Compatta Descrizioni=abc\nCompatta Dati=0\nAspetto=x\nCompattare=", 4000, 5000, true,
       false, 1, 0},
      {"Compatta Descrizioni=-5\nCompatta Dati=99999999999\nAspetto=99999999999", 4000, 5000,
       true, false, 1, 0},
      {"Compatta Dati=" + std::string(300, '9'), 4000, 5000, true, false, 1, 0},
      // Numbers too large even for a Double are as unreadable as text.
      {"Compatta Descrizioni=1E999\nCompatta Dati=-1E400\nAspetto=1E999", 4000, 5000, true, false, 1, 0},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.opz);
    Ini("[OPZ]\n" + c.opz + "\n");
    Main("");
    EXPECT_EQ(Compatta_Descrizioni, c.descrizioni);
    EXPECT_EQ(Compatta_Dati, c.dati);
    EXPECT_EQ(Compattare, c.compattare);
    EXPECT_EQ(Debug_Attivo, c.debug);
    EXPECT_EQ(Aspetto, c.aspetto);
    EXPECT_EQ(Aspetto_Piatto, c.piatto);
    EXPECT_EQ(Colore_Sfondo, Colore_OLE(c.piatto ? 0x80000005 : 0x8000000F));
    EXPECT_EQ(Colore_Bordo, Colore_OLE(c.piatto ? 0x80000010 : 0x80000014));
  }
}

// A settings file that is there but cannot be read stops the start with a message, at once: a
// FIFO is never waited on, and no login dialog opens over defaults that the first save would
// write over the user's settings.
TEST_F(Avvio, UnreadableSettingsFileIsRefusedWithAMessage) {
  struct Caso {
    const char* nome;
    std::function<bool(const std::string&)> crea;
  } casi[] = {
      {"FIFO", [](const std::string& p) { return ::mkfifo(p.c_str(), 0600) == 0; }},
      {"folder", [](const std::string& p) { return ::mkdir(p.c_str(), 0700) == 0; }},
      {"no permission",
       [](const std::string& p) {
         std::ofstream(p) << "[OPZ]\r\n";
         return ::chmod(p.c_str(), 0) == 0 && ::geteuid() != 0;  // root reads it all the same
       }},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    const std::string ini = dir.path() + "/KYX.INI";
    std::filesystem::remove_all(ini);
    if (!c.crea(ini)) continue;
    bool aperto = false;
    agganci::frmPassword_Carica = [&](int32_t&) { aperto = true; };
    host.expect("KYX.INI");
    Main("");
    EXPECT_FALSE(aperto);
    EXPECT_EQ(host.pending(), 0u);
  }
}

TEST_F(Avvio, StartMessageKeepsItsFiveLines) {
  Ini("[OPZ]\nMsg 3=Chiusura venerd\xEC alle 18\n");
  Main("");
  EXPECT_EQ(Messaggio_Avvio, "\r\n\r\nChiusura venerd\xEC alle 18\r\n\r\n");
  EXPECT_TRUE(Messaggio_Presente);

  Ini("[OPZ]\nMsg 1=a\nMsg 5=e\nMsg 6=ignored\n");
  Main("");
  EXPECT_EQ(Messaggio_Avvio, "a\r\n\r\n\r\n\r\ne");
  EXPECT_TRUE(Messaggio_Presente);
}

TEST_F(Avvio, TitleAndContactsFromKyxKyx) {
  dir.write("KYX.KYX", Crlf("[Nome]\n1=Statistiche Vendite\n[Contatto]\n1=Ufficio IT\n3=int. 42\n"));
  Main("");
  EXPECT_EQ(Titolo_Programma, "Statistiche Vendite");
  // Missing lines still add their line break.
  EXPECT_EQ(Testo_Contatti, "\r\n\r\ncontattare:\r\n\r\nUfficio IT\r\n\r\nint. 42\r\n\r\n");

  // Without [Nome] the title is empty; a file without sections gives empty contact lines.
  dir.write("KYX.KYX", Crlf("[Contatto]\n1=x\n"));
  Main("");
  EXPECT_EQ(Titolo_Programma, "");
  dir.write("KYX.KYX", "garbage without sections\x01\xFF");
  Main("");
  EXPECT_EQ(Titolo_Programma, "");
  EXPECT_EQ(Testo_Contatti, "\r\n\r\ncontattare:\r\n\r\n\r\n\r\n\r\n\r\n");
}

}  // namespace
}  // namespace kyx
