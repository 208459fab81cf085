#pragma once
// A clean program for one test of the dialogs: the shared state and every slot reset, a program
// folder of its own ($KYX_HOME) with its data folders, 15 twips per pixel, English separators, a
// scripted host, the dialogs installed, and the services below the windows replaced by recorders
// that write each call into `traccia` (the end-to-end tests put the real ones back).
#include <gtest/gtest.h>

#include <QApplication>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/agganci.h"
#include "common/codifica_parametri.h"
#include "common/impostazioni.h"
#include "common/modello.h"
#include "common/opzioni.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "platform/files/files.h"
#include "platform/host/scripted_host.h"
#include "platform/ini/ini_file.h"
#include "platform/ui/ky_form.h"
#include "platform/ui/units.h"
#include "platform/ui/vb_events.h"
#include "platform/vb/vb.h"
#include "server/agganci_server.h"
#include "server/socket.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/ambiente_comune.h"
#include "ui/agganci_base.h"
#include "ui/dialoghi/agganci_dialoghi.h"
#include "ui/dialoghi/frm_opzioni.h"
#include "ui/dialoghi/frm_password.h"
#include "ui/dialoghi/installa_dialoghi.h"
#include "ui/frm_base.h"
#include "ui/frm_debug.h"
#include "ui/stato_finestra.h"

namespace kyx::test {

// One profile section as a test writes it; the connection block goes through our scrambler.
struct Profilo {
  std::string server = "127.0.0.1";
  std::string porta = "4100";
  std::string utente = "ROSSI";
  std::string password = "ALFA";
  std::string nome = "VENDITE";
  std::string descrizione = "Vendite";
  std::string elenco = "S";
  std::string cartella = "\\Dati\\";
  std::string altre;  // further "key=value" lines
};

class AmbienteDialoghi : public AmbienteComune {
 protected:
  AmbienteDialoghi() {
    Azzera();
    Prepara();

    namespace ab = agganci_base;
    ab::Sock_Start = [](std::string&, const std::string&) { return true; };
    ab::Sock_Stop = [] {};
    ab::Registro_Istanze = [this](int16_t& m, int32_t&, int32_t&, std::string& c) {
      traccia.push_back("Registro_Istanze " + std::to_string(m) + " " + c);
      return registro_libero;
    };
    ab::Collegamento_Server = [this](int32_t) {
      traccia.push_back("Collegamento_Server " + Password_Utente);
      return collegamento_riesce;
    };
    ab::Disconnetti = [this] {
      traccia.push_back("Disconnetti");
      return false;
    };
    agganci_dialoghi::Converti_Preferiti = [this](std::string& c) {
      traccia.push_back("Converti_Preferiti " + c);
    };
    Installa_Dialoghi();
  }

  ~AmbienteDialoghi() override {
    Chiudi_Finestre();
    Congeda();
    Azzera();
  }

  static void Chiudi_Finestre() {
    delete frmPassword.peek();
    delete frmOpzioni.peek();
    delete frmBase.peek();
    delete frmDebug.peek();
    QApplication::processEvents();
  }

  static void Azzera() {
    stato::reset();
    stato_db::reset();
    modello::reset();
    agganci::reset();
    agganci_server::reset();
    stato_finestra::reset();
    agganci_base::reset();
    agganci_dialoghi::reset();
  }

  // Writes profile `n` (section "00n") into KYX.INI and creates its data folder.
  void Scrivi_Profilo(int16_t n, const Profilo& p) const {
    ASSERT_TRUE(Scrivi_Parametri_Profilo(n, p.server, p.porta, p.utente, p.password));
    const std::string s = Numero_Cifre(n, 3);
    ini::IniFile f(File_Ini);
    f.Write(s, "Nome", p.nome);
    f.Write(s, "Descrizione", p.descrizione);
    if (!p.elenco.empty()) f.Write(s, "Elenco", p.elenco);
    f.Write(s, "Cartella Dati", p.cartella);
    f.Write(s, "Data", "20240305140709");
    size_t i = 0;
    while (i < p.altre.size()) {
      size_t fine = p.altre.find('\n', i);
      if (fine == std::string::npos) fine = p.altre.size();
      const std::string riga = p.altre.substr(i, fine - i);
      const size_t uguale = riga.find('=');
      if (uguale != std::string::npos) f.Write(s, riga.substr(0, uguale), riga.substr(uguale + 1));
      i = fine + 1;
    }
    for (const char* sotto : {"", "STORICO/", "EXPORT/", "PREFERITI/"}) {
      files::make_folder(files::native_path(Valore_Cartella(p.cartella)) + sotto);
    }
  }

  // The four fields of the stored connection block of profile `n`, unscrambled.
  static std::string Blocco(int16_t n) {
    std::string testo, check;
    Decodifica_Parametri(testo, Leggi_Ini(Numero_Cifre(n, 3), "Parametri", ""), check);
    return testo;
  }

  bool Contiene(const std::string& a) const {
    return std::find(traccia.begin(), traccia.end(), a) != traccia.end();
  }

  bool registro_libero = true;
  bool collegamento_riesce = true;
};

}  // namespace kyx::test
