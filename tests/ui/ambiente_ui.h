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
#include "tests/ui/ambiente_comune.h"
#include "ui/agganci_base.h"
#include "ui/frm_base.h"
#include "ui/frm_debug.h"
#include "ui/stato_finestra.h"

namespace kyx::test {

class AmbienteUi : public AmbienteComune {
 protected:
  AmbienteUi() {
    Azzera();
    Prepara();
    Aspetto = 1;
    Messaggi_Aiuto = true;
    Cartella_Dati = dir.path() + "/Dati/";
    Cartella_Storico = dir.path() + "/STORICO/";
    File_Storico_1 = Cartella_Storico + "KYX_E_######_1.DAT";
    Elementi_Storico = 5;

    namespace ab = agganci_base;
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
    ab::Orologio = [this] { return ora; };
    ab::hWnd_Login = [] { return 4242; };
    Registra(ab::KyHead_Initialize, "KyHead_Initialize");
    Registra(ab::Visualizza_Griglia, "Visualizza_Griglia");
    Registra(ab::Visualizza_Grafico, "Visualizza_Grafico");
  }

  ~AmbienteUi() override {
    delete frmBase.peek();
    delete frmDebug.peek();
    ui::KyForm::HelpHook() = nullptr;
    Congeda();
    Azzera();
  }

  static void Azzera() {
    stato::reset();
    modello::reset();
    agganci::reset();
    stato_finestra::reset();
    agganci_base::reset();
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

  double ora = 1000.0;
  int32_t registro_hwnd = 0;
};

}  // namespace kyx::test
