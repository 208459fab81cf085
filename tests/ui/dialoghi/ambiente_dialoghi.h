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

class AmbienteDialoghi : public ::testing::Test {
 protected:
  AmbienteDialoghi() {
    Azzera();
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
    ab::Sock_Start = [](std::string&, const std::string&) { return true; };
    ab::Sock_Stop = [] {};
    ab::Registro_Istanze = [this](int16_t& m, int32_t&, int32_t&, std::string& c) {
      traccia.push_back("Registro_Istanze " + std::to_string(m) + " " + c);
      return registro_libero;
    };
    ab::Carica_Impostazioni_Stampa = [this] { traccia.push_back("Carica_Impostazioni_Stampa"); };
    ab::Schermo_Twips = [](double& l, double& a) {
      l = 1920 * 15.0;
      a = 1080 * 15.0;
    };
    ab::Termina_Programma = [this](int codice) {
      traccia.push_back("Termina " + std::to_string(codice));
    };
    ab::Collegamento_Server = [this](int32_t) {
      traccia.push_back("Collegamento_Server " + Password_Utente);
      return collegamento_riesce;
    };
    ab::Disconnetti = [this] {
      traccia.push_back("Disconnetti");
      return false;
    };
    Registra(ab::Carica_Albero_Struttura, "Carica_Albero_Struttura");
    Registra(ab::Carica_Albero_Chiavi, "Carica_Albero_Chiavi");
    Registra(ab::KyHead_Aggiorna, "KyHead_Aggiorna");
    agganci_dialoghi::Converti_Preferiti = [this](std::string& c) {
      traccia.push_back("Converti_Preferiti " + c);
    };
    Installa_Dialoghi();
  }

  ~AmbienteDialoghi() override {
    Chiudi_Finestre();
    ui::set_twips_per_pixel(0, 0);
    unsetenv("KYX_HOME");
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

  void Registra(std::function<void()>& slot, const std::string& nome) {
    slot = [this, nome] { traccia.push_back(nome); };
  }

  bool Apri(int n, bool ricrea, bool compatta) {
    traccia.push_back("Apri_MDB" + std::to_string(n) + (ricrea ? " R" : "") + (compatta ? " C" : ""));
    return db_ok[n];
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

  // Whether the trace holds `a` before `b`.
  bool Prima(const std::string& a, const std::string& b) const {
    auto ia = std::find(traccia.begin(), traccia.end(), a);
    auto ib = std::find(traccia.begin(), traccia.end(), b);
    return ia != traccia.end() && ib != traccia.end() && ia < ib;
  }
  bool Contiene(const std::string& a) const {
    return std::find(traccia.begin(), traccia.end(), a) != traccia.end();
  }

  TempDir dir;
  host::ScriptedHost host;
  std::vector<std::string> traccia;
  bool db_ok[3] = {true, true, true};
  bool registro_libero = true;
  bool collegamento_riesce = true;
};

}  // namespace kyx::test
