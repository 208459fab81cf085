// The workbook formats are not part of this version: choosing one says so and writes nothing.
// The writers replace this file when they are built.
#include "common/stato.h"
#include "export/esporta_comune.h"
#include "export/esporta_xls.h"
#include "platform/host/host.h"

namespace kyx {
namespace {

void Non_Disponibile() {
  host::MsgBox("Funzione non ancora disponibile in questa versione.", host::vbInformation, Titolo_Programma);
  Stato_Esportazione("Salvataggio non effettuato");
}

}  // namespace

void Esporta_XLS(std::string&) { Non_Disponibile(); }

}  // namespace kyx
