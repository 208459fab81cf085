// Salva_Layout and the trimming of the history.
#include <algorithm>
#include <vector>

#include "common/impostazioni.h"
#include "common/modello.h"
#include "common/stato.h"
#include "engine/stato_motore.h"
#include "layouts/agganci_layout.h"
#include "layouts/file_layout.h"
#include "layouts/layout.h"
#include "layouts/stato_layout.h"
#include "platform/data/static_recordset.h"
#include "platform/files/files.h"
#include "platform/ini/ini_file.h"
#include "platform/vb/vb.h"

namespace kyx {
namespace {

// The number of a history file name "KYX_E_nnnnnn_...", or -1.
int64_t Numero_File(const std::string& nome) {
  if (nome.size() < 13 || !vb::Like(nome.substr(0, 13), "KYX_E_######_")) return -1;
  return static_cast<int64_t>(vb::Val(nome.substr(6, 6)));
}

std::string Cartella_Di(const std::string& percorso) {
  const size_t s = percorso.find_last_of("\\/");
  return s == std::string::npos ? std::string() : percorso.substr(0, s + 1);
}

// One key of the layout file, written in place; a file that does not exist is not created (an
// elaboration refused by the server has a number but no files).
void Scrivi_Chiave(const std::string& file, const std::string& chiave, const std::string& valore) {
  if (!files::file_exists(files::native_path(file))) return;
  ini::IniFile(file).Write("Q-KRE", chiave, valore);
}

}  // namespace

void Riduci_Storico() {
  const int64_t ultimo = int64_t{Storico_Ultimo} - Elementi_Storico;
  if (ultimo < Storico_Primo) return;
  // One listing of the folder instead of a lookup per number: a gap of many numbers costs
  // nothing.
  const std::string cartella = files::native_path(Cartella_Storico);
  std::vector<int64_t> numeri;
  for (const std::string& nome : files::list_files(cartella, "KYX_E_*.DAT")) {
    const int64_t n = Numero_File(nome);
    if (n >= Storico_Primo && n <= ultimo) numeri.push_back(n);
  }
  std::sort(numeri.begin(), numeri.end());
  numeri.erase(std::unique(numeri.begin(), numeri.end()), numeri.end());
  for (int64_t n : numeri) files::remove_files(cartella, "KYX_E_" + Numero_Cifre(n, 6) + "*.DAT");
  Storico_Primo = static_cast<int32_t>(ultimo + 1);
}

void Salva_Layout(const std::string& Operazione, int16_t Colonna) {
  // A sort or a freeze chosen while a list is shown (grid modes 1 and 2) belongs to the list, not
  // to the elaboration: stored, it would reopen the layout sorted or frozen on a wrong column.
  if ((Operazione == "ORD" || Operazione == "BLK") && Modo_Griglia != 3) return;
  const bool colonna_buona = Colonna >= 0 && Colonna <= 255;
  const size_t c = colonna_buona ? static_cast<size_t>(Colonna) : 0;
  if (Elaborazione_Corrente >= 1) {
    const std::string file_2 = File_Storico(File_Storico_2, Elaborazione_Corrente);
    if (Operazione == "ADD") {
      const std::string titolo = agganci_layout::Titolo_Elaborazione ? agganci_layout::Titolo_Elaborazione() : "";
      const std::string chiave = agganci_layout::Leggi_Chiave_Layout ? agganci_layout::Leggi_Chiave_Layout() : "";
      files::make_folder(files::native_path(Cartella_Di(file_2)));
      files::write_file_atomic(files::native_path(file_2), Testo_File_Layout(titolo, Data_Salvataggio(), chiave));
      const std::string file_1 = files::native_path(File_Storico(File_Storico_1, Elaborazione_Corrente));
      files::remove_file(file_1);
      if (auto* rs = dynamic_cast<data::StaticRecordset*>(Rs_Griglia.get()); rs && rs->IsOpen()) rs->Save(file_1);
      Riduci_Storico();
    } else if (Operazione == "BLK") {
      Scrivi_Chiave(file_2, "_CFix____", vb::Format(int64_t{Colonne_Bloccate}, "#0"));
    } else if (Operazione == "ORD") {
      Scrivi_Chiave(file_2, "_COrd____", Numero_Cifre(Colonna_Ordinamento, 3));
      Scrivi_Chiave(file_2, "_CVer____", vb::Trim(Verso_Ordinamento));
    } else if (Operazione == "DIM" && colonna_buona) {
      Scrivi_Chiave(file_2, "C_" + Numero_Cifre(Colonna, 3) + "_Dim", vb::Format(int64_t{Col_Larghezza[c]}, "#0"));
    } else if (Operazione == "VIS" && colonna_buona) {
      Scrivi_Chiave(file_2, "C_" + Numero_Cifre(Colonna, 3) + "_Vis", vb::Format(int64_t{Col_Visibile[c]}, "#0"));
    }
  }
  if (Operazione == "ORD") {
    Colonna_Ordinamento_Memoria = Colonna_Ordinamento;
    Verso_Ordinamento_Memoria = Verso_Ordinamento;
  } else if (Operazione == "BLK") {
    Colonne_Bloccate_Memoria = Colonne_Bloccate;
  } else if (Operazione == "DIM" && colonna_buona) {
    Scrivi_Ini(Numero_Cifre(Profilo_Corrente, 3),
               "Dim L" + Numero_Cifre(Layout_Corrente, 3) + " " + Numero_Cifre(Colonna, 3),
               vb::Format(int64_t{Col_Larghezza[c]}, "000000"));
  } else if (Operazione == "VIS" && colonna_buona) {
    Col_Visibile_Memoria[c] = Col_Visibile[c];
  }
}

}  // namespace kyx
