#pragma once
// The favourites folder tree on disk, without widgets: the scan that the favourites window turns
// into its tree, the number a new favourite takes, the checks on typed names, and the moves of a
// favourite's file pair and of a folder that never replace what they land on.
//
// Paths are in the system's form: the favourites folder is Cartella_Preferiti without its final
// "\", a sub-folder is its parent's path & "\" & its name, a favourite is its layout file's path
// (folder & "\KYX_E_######_2.DAT"); platform/files turns them into Linux paths.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kyx {

// The highest favourite number found by the last scan of the tree (0 when there is none).
extern int32_t Ultimo_Preferito;

// One entry of the scanned tree, in the order the tree shows it: a folder's sub-folders (each
// followed by its own entries, depth first) before its favourites.
struct Voce_Preferito {
  char Tag = 'C';          // 'C' a folder, 'F' a favourite
  std::string Chiave;      // the folder's path, or the favourite's layout file
  std::string Padre;       // key of the containing folder
  std::string Testo;       // folder name, or "_Elab____" of the favourite
  std::string Link;        // "_Link____" (favourites only)
  std::string Anno;        // "_Anno____" (favourites only)
};

// Whether a file of a folder is a favourite: the twelve characters after the first "KYX_E_" of
// the full path match "######_2.DAT". Numero gets the six digits' value.
bool Preferito_Valido(const std::string& Percorso, int32_t& Numero);

// The sub-folders and favourites below Cartella (the root's key), depth first; sets
// Ultimo_Preferito to the highest favourite number met.
std::vector<Voce_Preferito> Elenco_Preferiti(const std::string& Cartella);

// A value of section "Q-KRE" of a layout file, trimmed ("" when missing).
std::string Valore_Preferito(const std::string& File_Layout, const std::string& Chiave);

// The number a new favourite in Cartella takes: the first above Ultimo_Preferito for which the
// folder holds no "KYX_E_######*.DAT", so that no file already there is replaced.
int32_t Numero_Libero(const std::string& Cartella);

// A folder name as typed: false, with Messaggio, for an empty name, "." or "..", a name holding a
// path separator or a control character, or one longer than a file name may be.
bool Nome_Cartella_Valido(const std::string& Nome, std::string& Messaggio);
// A favourite's title or link text as typed: false, with Messaggio, when it holds a control
// character (a line break would split the layout file's line in two).
bool Testo_Preferito_Valido(const std::string& Testo, std::string& Messaggio);

// Moves a favourite (its layout file and its saved result file) into the folder Destinazione:
// both files or neither. Both new names are checked first; a name already taken refuses the
// move. When the second file cannot be moved, the first is moved back. Nuovo gets the new
// layout file's path; false with Messaggio (and both files where they were) on refusal.
// Tra_Gli_Spostamenti, when given, runs between the two moves: a test plays there another
// program writing into the target folder.
bool Sposta_Preferito(const std::string& File_Layout, const std::string& Destinazione, std::string& Nuovo,
                      std::string& Messaggio, const std::function<void()>& Tra_Gli_Spostamenti = {});

// Renames the folder Vecchio into Nuovo, never over an existing file or folder.
bool Rinomina_Cartella(const std::string& Vecchio, const std::string& Nuovo);

// Copies the history pair of elaboration Numero into Cartella as favourite Numero_Nuovo: the
// saved result file, then the layout file. Nuovo gets the new layout file. False (and no file
// left behind) when either copy fails.
bool Copia_Preferito(int32_t Numero, const std::string& Cartella, int32_t Numero_Nuovo, std::string& Nuovo);

// Deletes a favourite's files (layout file name without its last five characters & "*.DAT").
// True when none is left.
bool Elimina_Preferito(const std::string& File_Layout);

// "Aggiorna tutti": runs every favourite of the list again, one after another (Carica_Layout with
// refresh, then Dopo_Ognuno, the grid's redisplay). A favourite whose refresh does not go through
// keeps its saved result and date and the run goes on with the next; the failed ones come back.
std::vector<std::string> Aggiorna_Preferiti(const std::vector<std::string>& File_Layout,
                                            const std::function<void()>& Dopo_Ognuno);

namespace preferiti {
// Puts this header's state back to its start.
void reset();
}  // namespace preferiti

}  // namespace kyx
