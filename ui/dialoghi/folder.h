#pragma once
// The folder browser (module Folder) and the program-relative form of a folder.
#include <string>

#include "platform/ui/ky_form.h"

namespace kyx {

// Shows the folder browser owned by `Finestra` with the title `Titolo`, opened on `Inizio`
// (system text; a missing folder leaves the browser on its default place). The chosen folder's
// path without a final separator ("/" for the root), in the bytes the file system names it with,
// or "" when the user cancelled. The path is not upper-cased: folder names on Linux differ by case.
std::string Sfoglia_Cartella(ui::KyForm& Finestra, const std::string& Titolo, const std::string& Inizio);

// `Cartella` with a leading Cartella_Programma (exact case) replaced by "\"; any other text,
// and the program folder met later in the path, unchanged.
std::string Cartella_Relativa(const std::string& Cartella);

}  // namespace kyx
