#include "export/xlsx_zip.h"

#include "common/stato.h"
#include "platform/files/files.h"
#include "platform/host/host.h"
#include "platform/zip/shell.h"

namespace kyx {

namespace {

void Non_Preparato(const std::string& File) {
  host::MsgBox("Non \xE8 possibile preparare il file\r\n" + File, host::vbCritical, Titolo_Programma);
}

}  // namespace

bool Zip_Cartella(const std::string& Cartella, const std::string& File) {
  if (!files::folder_exists(Cartella)) return false;
  const size_t Punto = File.rfind('.');
  // Position of the last "." counted from 1, as InStrRev gives it (0 when there is none).
  const size_t p = Punto == std::string::npos ? 0 : Punto + 1;
  if (p < 5) return false;
  const std::string Archivio = File.substr(0, p - 1) + ".zip";
  if (files::file_exists(Archivio) && !files::remove_file(Archivio)) return Non_Preparato(File), false;
  if (files::file_exists(File) && !files::remove_file(File)) return Non_Preparato(File), false;

  // The shell copied in the background and was polled until the archive held as many items as
  // the folder; the archive is written here at once, and the same count checks that it is whole.
  std::string Errore;
  const bool Scritto = zip::PackFolder(Cartella, Archivio, &Errore);
  const int Attesi = zip::FolderItemCount(Cartella);
  if (!Scritto || Attesi < 0 || zip::ArchiveItemCount(Archivio) != Attesi) {
    Non_Preparato(File);
    host::DoEvents();
    return false;
  }
  bool Esito = files::rename_file(Archivio, File) && zip::OpenDocument(File, &Errore);
  if (!Esito) Non_Preparato(File);
  host::DoEvents();
  // The shell's zip handling left "Temporary Directory*" folders in the user's temporary folder;
  // packing here leaves none, so there is nothing to remove.
  return Esito;
}

}  // namespace kyx
