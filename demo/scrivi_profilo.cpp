// scrivi_profilo: writes connection profile 1 of a program folder's KYX.INI for the demo, with the
// connection block scrambled by the program's own code, as the options dialog saves it.
//
//   scrivi_profilo FOLDER SERVER PORT USER PASSWORD SYSTEM DESCRIPTION
//
// The profile is listed and is the main one, its data folder is "\Dati\" under FOLDER, and its
// password is stored, so that the login confirms by itself. Arguments are UTF-8.
#include <cstdio>
#include <string>

#include "common/impostazioni.h"
#include "common/opzioni.h"
#include "common/stato.h"
#include "platform/text/cp1252.h"

int main(int argc, char** argv) {
  if (argc != 8) {
    std::fprintf(stderr,
                 "usage: scrivi_profilo FOLDER SERVER PORT USER PASSWORD SYSTEM DESCRIPTION\n");
    return 2;
  }
  auto arg = [argv](int i) { return kyx::text::from_utf8(argv[i]); };
  kyx::Cartella_Programma = std::string(argv[1]) + "/";
  kyx::File_Ini = kyx::Cartella_Programma + "KYX.INI";
  if (!kyx::Scrivi_Parametri_Profilo(1, arg(2), arg(3), arg(4), arg(5))) {
    std::fprintf(stderr, "scrivi_profilo: the connection block cannot be stored\n");
    return 1;
  }
  bool ok = true;
  ok &= kyx::Scrivi_Ini("001", "Nome", arg(6));
  ok &= kyx::Scrivi_Ini("001", "Descrizione", arg(7));
  ok &= kyx::Scrivi_Ini("001", "Elenco", "S");
  ok &= kyx::Scrivi_Ini("001", "Cartella Dati", "\\Dati\\");
  ok &= kyx::Scrivi_Ini("001", "Cartella Storico", "\\Dati\\STORICO\\");
  ok &= kyx::Scrivi_Ini("001", "Cartella Esportazione", "\\Dati\\EXPORT\\");
  ok &= kyx::Scrivi_Ini("001", "Cartella Preferiti", "\\Dati\\PREFERITI\\");
  ok &= kyx::Scrivi_Ini("Generale", "Principale", "001");
  if (!ok) {
    std::fprintf(stderr, "scrivi_profilo: %s cannot be written\n", kyx::File_Ini.c_str());
    return 1;
  }
  return 0;
}
