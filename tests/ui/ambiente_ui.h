#pragma once
// A clean main program for one test of the main window: the shared state reset, a program folder
// of its own, 15 twips per pixel (96 DPI), English separators, a scripted host, and the services
// below the window replaced by recorders that write each call into `traccia`.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/agganci.h"
#include "common/modello.h"
#include "common/stato.h"
#include "platform/host/scripted_host.h"
#include "platform/ui/ky_form.h"
#include "platform/ui/units.h"
#include "platform/vb/vb.h"
#include "tests/support/temp_dir.h"
#include "ui/agganci_base.h"
#include "ui/frm_base.h"
#include "ui/frm_debug.h"
#include "ui/stato_finestra.h"

namespace kyx::test {

class AmbienteUi : public ::testing::Test {
 protected:
  AmbienteUi() {
    Azzera();
    setenv("KYX_HOME", dir.path().c_str(), 1);
    vb::set_locale({'.', ','});
    ui::set_twips_per_pixel(15, 15);
    Cartella_Programma = dir.path() + "/";
    File_Ini = Cartella_Programma + "KYX.INI";
    File_Istanze = Cartella_Programma + "KYX.DAT";
    Separatore_Decimale = ".";
    Titolo_Programma = "Q-KRE";
    Aspetto = 1;
    Colore_Sfondo = Colore_OLE(0x8000000F);
    Colore_Bordo = Colore_OLE(0x80000014);
    Password_Utente = "^^^^^^^^^^";
    Profilo_Corrente = 1;
    Messaggi_Aiuto = true;
    Cartella_Dati = dir.path() + "/Dati/";
    Cartella_Storico = dir.path() + "/STORICO/";
    File_Storico_1 = Cartella_Storico + "KYX_E_######_1.DAT";
    Elementi_Storico = 5;

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
    ab::Sock_Start = [this](std::string&, const std::string& p) {
      traccia.push_back("Sock_Start " + p.substr(p.size() - 7));
      return true;
    };
    ab::Sock_Stop = [this] { traccia.push_back("Sock_Stop"); };
    ab::Registro_Istanze = [this](int16_t& m, int32_t& h1, int32_t& h2, std::string& c) {
      traccia.push_back("Registro_Istanze " + std::to_string(m) + " " + std::to_string(h2) + " " +
                        c);
      registro_hwnd = h1;
      return true;
    };
    ab::Carica_Impostazioni_Stampa = [this] { traccia.push_back("Carica_Impostazioni_Stampa"); };
    ab::Orologio = [this] { return ora; };
    ab::Schermo_Twips = [](double& l, double& a) {
      l = 1920 * 15.0;
      a = 1080 * 15.0;
    };
    ab::Termina_Programma = [this](int codice) {
      traccia.push_back("Termina " + std::to_string(codice));
    };
    ab::hWnd_Login = [] { return 4242; };
    Registra(ab::Carica_Albero_Struttura, "Carica_Albero_Struttura");
    Registra(ab::Carica_Albero_Chiavi, "Carica_Albero_Chiavi");
    Registra(ab::KyHead_Initialize, "KyHead_Initialize");
    Registra(ab::KyHead_Aggiorna, "KyHead_Aggiorna");
    Registra(ab::Visualizza_Griglia, "Visualizza_Griglia");
    Registra(ab::Visualizza_Grafico, "Visualizza_Grafico");
  }

  ~AmbienteUi() override {
    delete frmBase.peek();
    delete frmDebug.peek();
    ui::KyForm::HelpHook() = nullptr;
    ui::set_twips_per_pixel(0, 0);
    unsetenv("KYX_HOME");
    Azzera();
  }

  static void Azzera() {
    stato::reset();
    modello::reset();
    agganci::reset();
    stato_finestra::reset();
    agganci_base::reset();
  }

  void Registra(std::function<void()>& slot, const std::string& nome) {
    slot = [this, nome] { traccia.push_back(nome); };
  }

  bool Apri(int n, bool ricrea, bool compatta) {
    traccia.push_back("Apri_MDB" + std::to_string(n) + (ricrea ? " R" : "") + (compatta ? " C" : ""));
    return db_ok[n];
  }

  // Writes KYX.INI from lines joined with CR LF.
  void Ini(const std::string& righe) const {
    std::string out;
    for (char c : righe) {
      if (c == '\n') out += '\r';
      out += c;
    }
    dir.write("KYX.INI", out);
  }

  // Loads the main window (its Form_Load runs) and gives it a client of 900 x 600 pixels.
  FrmBase& Carica() {
    FrmBase& f = *frmBase;
    return f;
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
  double ora = 1000.0;
  int32_t registro_hwnd = 0;
};

}  // namespace kyx::test
