#include "common/utilita.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "common/modello.h"
#include "common/stato.h"
#include "platform/host/system_colours.h"
#include "platform/vb/vb.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unprivileged.h"

namespace kyx {
namespace {

TEST(Utilita, TestoNonVuoto) {
  EXPECT_EQ(Testo_Non_Vuoto("abc   "), "abc");
  EXPECT_EQ(Testo_Non_Vuoto("  abc"), "  abc");  // only trailing blanks go
  EXPECT_EQ(Testo_Non_Vuoto(""), " ");
  EXPECT_EQ(Testo_Non_Vuoto("    "), " ");
  EXPECT_EQ(Testo_Non_Vuoto(nullptr), " ");  // a Null field
  EXPECT_EQ(Testo_Non_Vuoto(12), "12");
  EXPECT_EQ(Testo_Non_Vuoto(int64_t{-7}), "-7");
}

TEST(Utilita, TestoNonVuotoOfADecimalFollowsTheLocale) {
  vb::set_locale({',', '.'});
  EXPECT_EQ(Testo_Non_Vuoto(1.5), "1,5");
  vb::set_locale({'.', ','});
  EXPECT_EQ(Testo_Non_Vuoto(1.5), "1.5");
}

TEST(Utilita, Minimo) {
  EXPECT_EQ(Minimo(3, 3), 3);
  EXPECT_EQ(Minimo(-1, 2), -1);
  EXPECT_EQ(Minimo(5, -32768), -32768);
}

TEST(Utilita, Colori) {
  EXPECT_EQ(Distanza_Colore(0x102030, 0x201010), 32);
  EXPECT_EQ(Distanza_Colore(0xFFFFFF, 0), 255);
  EXPECT_EQ(Distanza_Colore(0x123456, 0x123456), 0);

  EXPECT_EQ(Colore_Reale(0xFF), 0xFF);
  EXPECT_EQ(Colore_Reale(Colore_OLE(0x8000000F)),
            static_cast<int32_t>(host::system_colour(15)));
  // Only the low five bits name the system colour.
  EXPECT_EQ(Colore_Reale(Colore_OLE(0x80000025)), static_cast<int32_t>(host::system_colour(5)));

  EXPECT_EQ(Colore_Html(0xFF), "FF0000");
  EXPECT_EQ(Colore_Html(0x10203), "030201");
  EXPECT_EQ(Colore_Html(0), "000000");
  EXPECT_EQ(Colore_Html(0xABCDEF), "EFCDAB");
  // Bits above the blue byte do not make a longer text.
  EXPECT_EQ(Colore_Html(0x7F0000FF), "FF0000");
  host::set_system_colour_source([](int indice) { return indice == 5 ? 0x0A0B0Cu : 0u; });
  EXPECT_EQ(Colore_Html(Colore_OLE(0x80000005)), "0C0B0A");
  host::set_system_colour_source(nullptr);
}

TEST(Utilita, ContaRigheIntestazione) {
  modello::reset();
  Numero_Colonne = 2;
  Col_Intestazione[0] = "Codice";
  Col_Intestazione[1] = "Vendite|2024|Euro";
  Col_Intestazione[2] = "Qta|";
  Col_Intestazione[3] = "a|b|c|d|e";  // beyond Numero_Colonne: not counted
  Conta_Righe_Intestazione();
  EXPECT_EQ(Righe_Intestazione, 3);

  Col_Intestazione = {};
  Col_Intestazione[0] = "x|y";  // column 0 counts as well
  Conta_Righe_Intestazione();
  EXPECT_EQ(Righe_Intestazione, 2);

  modello::reset();
  Conta_Righe_Intestazione();
  EXPECT_EQ(Righe_Intestazione, 1);
  stato::reset();
}

TEST(Utilita, VerificaPermessiCartella) {
  test::TempDir dir;
  // The folder text in the system's form, with blanks around and a backslash at the end.
  EXPECT_TRUE(Verifica_Permessi_Cartella("  " + dir.path() + "\\  "));
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));  // no probe file left behind

  EXPECT_FALSE(Verifica_Permessi_Cartella(dir.path() + "/manca/"));
  dir.write("file", "x");
  EXPECT_FALSE(Verifica_Permessi_Cartella(dir.file("file") + "/"));

  // A folder without write rights, checked by a process that rights apply to (root writes
  // anywhere), beside a folder that this process may write.
  const std::string sola_lettura = dir.file("sola_lettura");
  const std::string scrivibile = dir.file("scrivibile");
  std::filesystem::create_directory(sola_lettura);
  std::filesystem::create_directory(scrivibile);
  chmod(dir.path().c_str(), 0755);
  chmod(sola_lettura.c_str(), 0555);
  test::give_to_child(scrivibile);
  EXPECT_EQ(test::run_unprivileged([&] {
              return !Verifica_Permessi_Cartella(sola_lettura + "/") &&
                     Verifica_Permessi_Cartella(scrivibile + "/");
            }),
            0);
}

}  // namespace
}  // namespace kyx
