#pragma once
// A program with a history folder and a favourites folder, the definitions database of the
// engine's small system (tests/engine/ambiente_motore.h) and the main window's services of the
// layout files as recording slots: the filter commands act on the real filter table FILTRO.
#include <string>
#include <vector>

#include "common/stato_db.h"
#include "engine/stato_motore.h"
#include "layouts/agganci_layout.h"
#include "layouts/file_layout.h"
#include "layouts/stato_layout.h"
#include "platform/data/static_recordset.h"
#include "platform/files/files.h"
#include "tests/engine/ambiente_motore.h"

namespace kyx::test {

class AmbienteLayout : public Motore {
 public:
  void SetUp() override {
    Motore::SetUp();
    stato_layout::reset();
    agganci_layout::reset();
    files::make_folder(dir.file("Dati/STORICO"));
    files::make_folder(dir.file("Dati/PREFERITI/Vendite"));
    Cartella_Storico = dir.path() + "/Dati\\STORICO\\";
    Cartella_Preferiti = dir.path() + "/Dati\\PREFERITI\\";
    File_Storico_1 = Cartella_Storico + "KYX_E_######_1.DAT";
    File_Storico_2 = Cartella_Storico + "KYX_E_######_2.DAT";
    Elementi_Storico = 9999;
    agganci_layout::Titolo_Elaborazione = [] { return std::string("Vendite per area  Area"); };
    agganci_layout::Leggi_Chiave_Layout = [this] { return chiave_layout; };
    agganci_layout::Imposta_Chiave_Layout = [this](const std::string& k) { chiave_layout = k; };
    agganci_layout::Segna_Layout = [this](const std::string& k) { return k == nodo_esistente; };
    agganci_layout::Carica_Filtro_Modifica = [this](int16_t chiave, const std::string& v1, const std::string& v2,
                                                    uint8_t op, const std::string& comando, bool) {
      if (comando == "T-") {
        (void)Cn_MDB0->Execute("DELETE FROM FILTRO");
        comandi.push_back("T-");
      } else {
        Filtro_Utente(chiave, op == 1 ? "=" : op == 2 ? "N" : "D", v1);
        comandi.push_back(comando + " " + std::to_string(chiave) + " " + v1 + " " + v2 + " " + std::to_string(op));
      }
    };
  }
  void TearDown() override {
    stato_layout::reset();
    agganci_layout::reset();
    Motore::TearDown();
  }

  // A history or favourites file as Linux path.
  std::string Storico(const std::string& nome) const { return dir.file("Dati/STORICO/" + nome); }
  static std::string Leggi(const std::string& percorso) {
    std::string b;
    files::read_file(percorso, b);
    return b;
  }
  static std::vector<std::string> Righe(const std::string& byte) {
    std::vector<std::string> r;
    size_t i = 0;
    while (i < byte.size()) {
      const size_t f = byte.find("\r\n", i);
      if (f == std::string::npos) {
        r.push_back(byte.substr(i));
        break;
      }
      r.push_back(byte.substr(i, f - i));
      i = f + 2;
    }
    return r;
  }
  // A display recordset of `righe` rows (c000 text, c001 number).
  static std::unique_ptr<data::StaticRecordset> Risultato(int righe) {
    auto rs = std::make_unique<data::StaticRecordset>();
    (void)rs->AppendField(data::TextField("c000", 12));
    (void)rs->AppendField(data::DoubleField("c001"));
    (void)rs->OpenFabricated();
    for (int i = 0; i < righe; ++i) {
      (void)rs->AddNew();
      (void)rs->Set("c000", data::Value("9999992"));
      (void)rs->Set("c001", data::Value(double(i + 1)));
      (void)rs->Update();
    }
    return rs;
  }

  std::string chiave_layout = "A001K002L003";
  std::string nodo_esistente = "A001K002L003";
  std::vector<std::string> comandi;
};

}  // namespace kyx::test
