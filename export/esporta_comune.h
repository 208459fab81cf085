#pragma once
// What the export writers share: the columns written, the title line, the filter block of an
// elaboration result, the heading pieces, the row kinds and levels, the cell texts and the output
// file with its checks (an existing file, a file that cannot be written) and its status texts.
#include <string>
#include <vector>

#include "platform/data/recordset.h"
#include "platform/files/atomic_file.h"

namespace kyx {

// The shown columns (Col_Visibile = 2) among 0 .. Numero_Colonne, ascending.
std::vector<int> Colonne_Scritte();

// The three title items, Titolo_Programma, the trimmed Descrizione_Sistema and the date and time
// "dd/mm/yyyy hh:nn", joined by Separatore.
std::string Testo_Titolo(const std::string& Separatore);

// The caption of the title label, trimmed: the grid title of the exports.
std::string Titolo_Griglia();

// One condition of the user's filter, as the filter block shows it.
struct Riga_Filtro {
  bool Prima_Della_Chiave = false;  // first row of a run of rows of the same key
  std::string Testo_Chiave;          // the key's text (CHIAVI.TESTO), trailing blanks removed
  char Operatore = '=';              // '=', 'N' or 'D' (range)
  std::string Valore_1, Valore_2;    // shown code, one blank, description
};
// The filter block: the conditions of the user's filter on the visible keys of the current
// system, in the keys' display order; empty outside grid mode 3 or when there are none. With
// Non_Vuoto the key texts and the values are taken so that an empty one becomes one blank.
std::vector<Riga_Filtro> Leggi_Filtro(bool Non_Vuoto);

// Line Riga (from 1) of column c's heading: its piece Riga - 1 after splitting the heading at
// "|" (trailing blanks of the heading removed), not trimmed; "" when the heading has fewer pieces.
std::string Pezzo_Intestazione(int c, int Riga);

// Character n (from 1) of a row key; "" past its end.
std::string Carattere_Chiave(const std::string& Chiave, size_t n);
// The row kind, character 7: "1" head row, "2" detail, "3" subtotal, "4" grand total.
inline std::string Tipo_Riga(const std::string& Chiave) { return Carattere_Chiave(Chiave, 7); }
// Whether character 12 of a row key holds a level digit (present and not blank).
bool Livello_Esteso(const std::string& Chiave);
// The row's level digit: character 12 when it holds one, else character 8.
std::string Livello_Riga(const std::string& Chiave);

// In grid mode 3 a value column's cell is written empty on a head row, and on every row but a
// detail row when the column has no totals.
bool Cella_Vuota(int c, const std::string& Chiave);

// The text of cell c of the current row (with its row key), trimmed: a value column's value by
// the column's format pattern, a text column's value as it is or, when the column has an
// attribute, in the display form of its key code. A cell without a value gives "".
std::string Testo_Cella(const data::Recordset& Rs, int c, const std::string& Chiave);

// The checks on a writer's target: asks before replacing an existing file and starts `File` in
// Prova, showing "è utilizzato da un'altra applicazione." when it cannot be written. False (after
// "Salvataggio non effettuato") when the user keeps the existing file or it cannot be written.
bool Verifica_Destinazione(const std::string& File, files::AtomicFile& Prova);

// A writer's output file. Apri asks before replacing an existing file and shows the system's
// messages when the file cannot be written; the lines go to a temporary file that Chiudi puts in
// place of the target, so a failed export never leaves a half-written file or loses the old one.
class File_Esportazione {
 public:
  // Checks the target, starts the file and shows "Salvataggio <File> in corso ...". False (after
  // the message and "Salvataggio non effettuato") when the user keeps the existing file or the
  // file cannot be written.
  bool Apri(const std::string& File);
  // Writes one line and its CR LF.
  void Riga(const std::string& Testo);
  // Writes bytes as they are (a binary file); false once writing has failed.
  bool Scrivi(std::string_view Dati) { return file_.write(Dati); }
  // Completes the file: "Salvataggio <File> completato", or the error message and "Salvataggio
  // non effettuato" when writing failed (the old file then stays).
  bool Chiudi();

 private:
  files::AtomicFile file_;
  std::string nome_;
};

// Status panel "Stato".
void Stato_Esportazione(const std::string& Testo);

}  // namespace kyx
