#include "export/xlsx_zip.h"

#include "common/stato.h"
#include "platform/files/files.h"
#include "platform/host/host.h"
#include "platform/zip/shell.h"

namespace kyx {

bool Apri_Cartella_Lavoro(bool Scritto, const std::string& File, const std::string& Motivo) {
  std::string Errore;
  const bool Esito = Scritto && zip::OpenDocument(File, &Errore);
  if (!Esito) {
    host::MsgBox("Non \xE8 possibile preparare il file\r\n" + File + (Motivo.empty() ? "" : "\r\n" + Motivo),
                 host::vbCritical, Titolo_Programma);
  }
  host::DoEvents();
  return Esito;
}

bool Zip_Cartella(const std::string& Cartella, const std::string& File) {
  if (!files::folder_exists(Cartella)) return false;
  // Position of the last "." counted from 1, as InStrRev gives it (0 when there is none).
  const size_t Punto = File.rfind('.');
  const size_t p = Punto == std::string::npos ? 0 : Punto + 1;
  if (p < 5) return false;
  // The shell copied into an archive beside the target in the background and was polled until it
  // held every item; the archive is written here at once, whole or not at all, into a temporary
  // file of its own that replaces the target only when complete. Neither the old target nor a
  // file that happens to carry the archive's old name is deleted beforehand.
  std::string Errore;
  return Apri_Cartella_Lavoro(zip::PackFolder(Cartella, File, &Errore), File);
}

}  // namespace kyx
