// Esporta: the save dialog, the checks on the chosen name and folder, the two profile keys that
// remember the choice, and the dispatch to one writer.
#include "export/esporta.h"

#include <algorithm>
#include <string>

#include "common/impostazioni.h"
#include "common/modello.h"
#include "common/stato.h"
#include "common/utilita.h"
#include "engine/stato_motore.h"
#include "export/agganci_esporta.h"
#include "export/esporta_comune.h"
#include "export/esporta_htm.h"
#include "export/esporta_txt.h"
#include "export/esporta_xls.h"
#include "platform/host/common_dialogs.h"
#include "platform/host/host.h"
#include "platform/vb/vb.h"

namespace kyx {
namespace {

// Something to export: a table with rows and at least one shown column.
bool Da_Esportare() {
  if (!Rs_Griglia || !Rs_Griglia->IsOpen() || (Rs_Griglia->BeforeFirst() && Rs_Griglia->AfterLast())) return false;
  for (int c = 0; c <= Numero_Colonne; ++c) {
    if (Col_Visibile[static_cast<size_t>(c)] == 2) return true;
  }
  return false;
}

// The title offered as the file name, without the characters a Windows file name cannot hold.
std::string Nome_Proposto() {
  std::string nome = agganci_esporta::Titolo_Griglia ? agganci_esporta::Titolo_Griglia() : std::string();
  for (char& c : nome) {
    if (std::string_view("\\/:*?<>|").find(c) != std::string_view::npos) c = '-';
  }
  return nome;
}

}  // namespace

void Esporta() {
  if (!Da_Esportare()) return;
  Stato_Esportazione("Scelta file per salvataggio dati");

  host::SaveDialog CommonDialog1;
  CommonDialog1.DialogTitle = "";
  // A single leading "\" (not a network path "\\") names a folder under the program folder.
  CommonDialog1.InitDir = Valore_Cartella(Cartella_Esportazione);
  CommonDialog1.FileName = Nome_Proposto();
  CommonDialog1.Filter =
      "Documenti di testo (*.txt)|*.txt|Pagine Web (*.htm)|*.htm|Foglio di Microsoft Excel (*.xls)|*.xls|"
      "Foglio di Microsoft Excel 2007 (*.xlsx)|*.xlsx";
  static constexpr const char* kEstensioni[] = {".TXT", ".HTM", ".XLS", ".XLSX"};
  const int indice = (Esportazione_Estensione >= 1 && Esportazione_Estensione <= 4) ? Esportazione_Estensione : 1;
  CommonDialog1.FilterIndex = indice;
  CommonDialog1.DefaultExt = kEstensioni[indice - 1];
  CommonDialog1.CancelError = true;
  CommonDialog1.Flags = host::cdlOFNHideReadOnly;
  const bool scelto = host::dialogs().ShowSave(CommonDialog1);

  std::string File = scelto ? vb::Trim(CommonDialog1.FileName) : std::string();
  // The folder is the name up to its last separator ("/" on Linux, "\" in a system text).
  const size_t separatore = File.find_last_of("/\\");
  const std::string Cartella = separatore == std::string::npos ? std::string() : File.substr(0, separatore + 1);

  if (File.empty()) {
    Stato_Esportazione("Salvataggio non effettuato");
    return;
  }
  if (File.find_first_of("*?<>|") != std::string::npos) {
    host::MsgBox(File + "\ri nomi dei file non possono contenere i seguenti caratteri:\r\r\\ | : * ? < > |",
                 host::vbCritical, Titolo_Programma);
    Stato_Esportazione("Salvataggio non effettuato");
    return;
  }
  if (Cartella.empty()) {
    host::MsgBox("Il nome della cartella " + Cartella + "\r\xE9 errato o mancante. ", host::vbCritical, Titolo_Programma);
    return;
  }
  if (!Verifica_Permessi_Cartella(Cartella)) {
    host::MsgBox("La cartella " + Cartella + "\rnon ha i permessi di lettura e scrittura. ", host::vbCritical,
                 Titolo_Programma);
    return;
  }

  // The choice is the next export's start. A folder under the program folder is stored in the
  // program-relative form, with the system's separators ("\Dati\EXPORT\").
  Cartella_Esportazione = Cartella;
  if (!Cartella_Programma.empty() && Cartella.compare(0, Cartella_Programma.size(), Cartella_Programma) == 0) {
    Cartella_Esportazione = "\\" + Cartella.substr(Cartella_Programma.size());
    std::replace(Cartella_Esportazione.begin(), Cartella_Esportazione.end(), '/', '\\');
  }
  const std::string sezione = Numero_Cifre(Profilo_Corrente, 3);
  Scrivi_Ini(sezione, "Cartella Esportazione", Cartella_Esportazione);
  // The format follows the filter chosen, whatever extension the name has.
  Esportazione_Estensione = static_cast<uint8_t>(CommonDialog1.FilterIndex);
  Scrivi_Ini(sezione, "Esportazione Estensione", vb::Format(int64_t{Esportazione_Estensione}, "0"));
  host::DoEvents();

  switch (Esportazione_Estensione) {
    case 1: Esporta_TXT(File); break;
    case 2: Esporta_HTM(File); break;
    case 3: Esporta_XLS(File); break;
    case 4: Esporta_XLSX(File); break;
    default: break;
  }
}

}  // namespace kyx
