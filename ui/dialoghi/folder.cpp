// The folder browser on the platform's common dialogs. The browser shows the full path of the
// selection by itself, so the status-line callback of the shell browser has no work here.
#include "ui/dialoghi/folder.h"

#include "common/stato.h"
#include "platform/files/files.h"
#include "platform/host/common_dialogs.h"

namespace kyx {

std::string Sfoglia_Cartella(ui::KyForm& Finestra, const std::string& Titolo, const std::string& Inizio) {
  (void)Finestra;  // the Qt dialog is modal to the active window, which is the caller's
  // The path keeps the bytes the file system names the folder with (UTF-8 on Linux): the file
  // layer passes folder texts to the system unchanged, so the folder is found again as chosen.
  return host::dialogs().BrowseFolder(Titolo, files::native_path(Inizio));
}

std::string Cartella_Relativa(const std::string& Cartella) {
  if (!Cartella_Programma.empty() && Cartella.compare(0, Cartella_Programma.size(), Cartella_Programma) == 0) {
    return "\\" + Cartella.substr(Cartella_Programma.size());
  }
  return Cartella;
}

}  // namespace kyx
