#pragma once
// What the main window's and the dialogs' test programs share: a program folder of their own
// ($KYX_HOME), 15 twips per pixel, English separators, a scripted host, and the recorders of the
// services below the windows that write each call into `traccia`. Each fixture resets its own
// state first, then calls Prepara() and adds its own settings and recorders.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "common/stato.h"
#include "platform/host/scripted_host.h"
#include "platform/ui/units.h"
#include "platform/vb/vb.h"
#include "tests/support/temp_dir.h"
#include "ui/agganci_base.h"

namespace kyx::test {

class AmbienteComune : public ::testing::Test {
 protected:
  // The program folder, separators, colours and profile, and the shared recorders.
  void Prepara() {
    setenv("KYX_HOME", dir.path().c_str(), 1);
    vb::set_locale({'.', ','});
    ui::set_twips_per_pixel(15, 15);
    Cartella_Programma = dir.path() + "/";
    File_Ini = Cartella_Programma + "KYX.INI";
    File_Istanze = Cartella_Programma + "KYX.DAT";
    Separatore_Decimale = ".";
    Titolo_Programma = "Q-KRE";
    Colore_Sfondo = Colore_OLE(0x8000000F);
    Colore_Bordo = Colore_OLE(0x80000014);
    Password_Utente = std::string(10, '^');
    Profilo_Corrente = 1;

    namespace ab = agganci_base;
    ab::Apri_MDB0 = [this](bool r) { return Apri(0, r, false); };
    ab::Apri_MDB1 = [this](bool r, bool c) { return Apri(1, r, c); };
    ab::Apri_MDB2 = [this](bool r, bool c) { return Apri(2, r, c); };
    for (int i = 0; i < 4; ++i) {
      ab::Chiudi_MDB[i] = [this, i] {
        traccia.push_back("Chiudi_MDB" + std::to_string(i));
        return true;
      };
    }
    ab::Carica_Impostazioni_Stampa = [this] { traccia.push_back("Carica_Impostazioni_Stampa"); };
    ab::Schermo_Twips = [](double& l, double& a) {
      l = 1920 * 15.0;
      a = 1080 * 15.0;
    };
    ab::Termina_Programma = [this](int codice) {
      traccia.push_back("Termina " + std::to_string(codice));
    };
    Registra(ab::Carica_Albero_Struttura, "Carica_Albero_Struttura");
    Registra(ab::Carica_Albero_Chiavi, "Carica_Albero_Chiavi");
    Registra(ab::KyHead_Aggiorna, "KyHead_Aggiorna");
  }

  // Undoes what Prepara() put outside the program's state.
  static void Congeda() {
    ui::set_twips_per_pixel(0, 0);
    unsetenv("KYX_HOME");
  }

  void Registra(std::function<void()>& slot, const std::string& nome) {
    slot = [this, nome] { traccia.push_back(nome); };
  }

  bool Apri(int n, bool ricrea, bool compatta) {
    traccia.push_back("Apri_MDB" + std::to_string(n) + (ricrea ? " R" : "") + (compatta ? " C" : ""));
    return db_ok[n];
  }

  // Whether the trace holds `a` before `b`.
  bool Prima(const std::string& a, const std::string& b) const {
    auto ia = std::find(traccia.begin(), traccia.end(), a);
    auto ib = std::find(traccia.begin(), traccia.end(), b);
    return ia != traccia.end() && ib != traccia.end() && ia < ib;
  }

  TempDir dir;
  host::ScriptedHost host;
  std::vector<std::string> traccia;
  bool db_ok[3] = {true, true, true};
};

}  // namespace kyx::test
