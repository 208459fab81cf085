#pragma once
// The main window over a real definitions database KYX_0.MDB (and, for whole elaborations, the
// data-set, result and history files): the structure tree, the levels dialog and the engine run
// on what the test writes into the tables. Rows go in through prepared statements.
#include <map>
#include <string>
#include <vector>

#include "common/formatta_valore.h"
#include "common/sostituisci_variabili.h"
#include "common/stato_db.h"
#include "db/mdb0.h"
#include "db/mdb3.h"
#include "engine/agganci_motore.h"
#include "engine/stato_motore.h"
#include "layouts/agganci_layout.h"
#include "layouts/stato_layout.h"
#include "platform/data/connection.h"
#include "platform/files/files.h"
#include "tests/engine/ambiente_motore.h"
#include "tests/ui/ambiente_ui.h"

namespace kyx::test {

// The local databases, the engine's and the layouts' state and slots back to their start.
inline void Azzera_Motore_Layout() {
  stato_db::reset();
  mdb3::reset();
  stato_motore::reset();
  stato_layout::reset();
  agganci_motore::reset();
  agganci_layout::reset();
  formatta_valore::reset();
  sostituisci_variabili::reset();
}

class AmbienteStruttura : public AmbienteUi {
 protected:
  AmbienteStruttura() {
    Pulisci();
    files::make_folder(dir.file("Dati"));
    files::make_folder(dir.file("STORICO"));
    Cartella_Dati = dir.path() + "/Dati\\";
    File_MDB0 = Cartella_Dati + "KYX_0.MDB";
    File_MDB1 = Cartella_Dati + "KYX_1.MDB";
    File_MDB2 = Cartella_Dati + "KYX_2.MDB";
    File_MDB3 = Cartella_Dati + "KYX_3.MDB";
    File_Storico_2 = Cartella_Storico + "KYX_E_######_2.DAT";
    Sistema_Informativo = "SI1";
    Liv_Riga_Chiave.fill(-1);
    Liv_Colonna_Chiave.fill(-1);
  }
  ~AmbienteStruttura() override { Pulisci(); }

  static void Pulisci() { Azzera_Motore_Layout(); }

  // Adds one row of a definitions table (values bound, never spliced into the SQL).
  static void Riga(const std::string& tabella, const std::vector<std::string>& colonne,
                   const std::vector<data::Value>& valori) {
    Motore::Riga(tabella, colonne, valori);
  }
  static void Area(int idx, const std::string& area, const std::string& desc, const std::string& ordina) {
    Riga("AREE", {"IDX", "AREA", "DESC", "ORDINA"}, {idx, area, desc, ordina});
  }
  // A key shown in the dialogs (VIS "V") under area `area`.
  static void Chiave(int idx, const std::string& kindb, int lun, const std::string& testo, const std::string& ordina,
                     const std::string& area = "VEN", const std::string& sinf = "SI1") {
    Riga("CHIAVI", {"SINF", "IDX", "KINDB", "LUN", "ATTR", "KEY_D", "TESTO", "ORDINA", "VIS", "AREA_1"},
         {sinf, idx, kindb, lun, "2", 0, testo, ordina, "V", area});
  }
  static void Layout(int idx, const std::string& desc, const std::string& ordina) {
    Riga("LAYOUT", {"IDX", "DESC", "ORDINA"}, {idx, desc, ordina});
  }
  static void Struttura(int area, int key, int lay) { Riga("STRUTTURA", {"AREA", "KEY", "LAY"}, {area, key, lay}); }
  // The layout's element rows in order.
  void Elementi(int lay, const std::vector<std::string>& calc) {
    for (const std::string& c : calc) {
      const bool valore = c.rfind("#+V", 0) == 0;
      Riga("LAY_ELEM", {"LAY", "IDX", "RIG", "COL", "CALC", "INTE", "VIS", "TOT", "SNTOT"},
           {lay, ++elemento_, 1, ++colonna_[lay], c, "", "V", valore ? "T" : "", valore ? "" : "S"});
    }
  }

  int elemento_ = 0;
  std::map<int, int> colonna_;
};

}  // namespace kyx::test
