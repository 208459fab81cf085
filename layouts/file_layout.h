#pragma once
// The layout file KYX_E_######_2.DAT: a one-section profile file ("[Q-KRE]"), one "key=value"
// per line, CR LF, cp1252. Every key is ten characters, its last one "="; the value is the rest
// of the line. Header keys, then twenty keys per result column ("C_ccc_Fiel="), four per row of
// the filter table ("UF_nnnn_K=", "O=", "U=", "V="), and two per row level, column level and
// parameter ("LV_i____K=", "LV_i____V=", "VC_i...", "PA_i____D=", "PA_i____V=") close the file.
//
// Reading is done in two steps: the bytes are parsed into a checked Contenuto_Layout, and only
// a good one is applied to the shared state. A file that is not a keyed layout file, or that
// ends before its closing keys, is refused with a message; no value read from a file can index
// past the 0..255 column arrays or the nine levels.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kyx {

// One column as the loader sets it: the loader's defaults until a key gives a value.
struct Colonna_Layout {
  std::string Intestazione;
  uint8_t Allineamento = 1;
  int16_t Larghezza = 1500;
  int16_t Larghezza_Stampa = 1500;
  uint8_t Visibile = 0;
  uint8_t Ordine = 1;
  int16_t Chiave = -1;
  int16_t Descrizione = -1;
  std::string Calcolo;
  uint8_t Tipo = 7;
  uint8_t VCK = 0;
  std::string VCC;
  std::string Formato;
  std::optional<std::string> Attributo;  // not reset by the loader: only a key changes it
  std::optional<uint8_t> Kde;
  uint8_t Totale = 1;
  std::string Sistema;
  std::string Where;
  std::array<bool, 64> Where_Flag;
  int32_t Precedenza = 0;
  Colonna_Layout() { Where_Flag.fill(true); }
};

// One filter value to give back to the filter table (operator 1 "=", 2 "N", 3 range).
struct Filtro_Salvato {
  int16_t Chiave = 0;
  std::string Valore_1;
  std::string Valore_2;
  uint8_t Operatore = 0;
  bool operator==(const Filtro_Salvato&) const = default;
};

// What a layout file says. Header values that the file does not hold stay empty: the shared
// state keeps what it had.
struct Contenuto_Layout {
  std::string Titolo;  // "_Elab____" and "  " & "_Data____"
  std::optional<std::string> Chiave_Layout;
  int16_t Ordinamento_Layout = 0;  // a file without "_TLay____" means 0
  std::optional<int32_t> Anno_Riferimento;
  uint8_t Numero_Colonne = 0;
  std::optional<int16_t> Colonne_Bloccate;
  std::optional<int16_t> Colonna_Ordinamento;
  std::optional<std::string> Verso_Ordinamento;  // " ASC" or " DESC"
  std::optional<int16_t> Numero_Livelli;
  std::optional<int16_t> Livelli_Visibili;
  std::optional<int16_t> Precedenza_P;
  std::array<Colonna_Layout, 256> Colonne;
  std::vector<Filtro_Salvato> Filtri;
  std::array<std::optional<int16_t>, 9> Liv_Riga_Chiave, Liv_Colonna_Chiave;
  std::array<std::optional<std::string>, 9> Liv_Riga_Testo, Liv_Colonna_Testo;
  std::array<std::optional<std::string>, 9> Parametri_Descrizione, Parametri_Valore;
};

// Parses the bytes of a layout file. False, with Messaggio saying why, for a file that is not a
// keyed layout file (empty, binary, the old positional form), that has no column count, that
// ends before its closing parameter key, or whose numeric key holds a value that does not read as
// a number of its type (garbage, an overflow); an empty value leaves the default.
bool Leggi_Contenuto_Layout(std::string_view Byte, Contenuto_Layout& Contenuto, std::string& Messaggio);

// The whole layout file of the current elaboration from the shared state (column model, filter
// table, levels and parameters), with the title and the date and time of the save.
std::string Testo_File_Layout(const std::string& Titolo, const std::string& Data, const std::string& Chiave_Layout);

// History file names: the template File_Storico_1 / File_Storico_2 with the number put in
// ("000000"); the saved result file that goes with a layout file ("..._2.DAT" -> "..._1.DAT").
std::string File_Storico(const std::string& Modello, int64_t Numero);
std::string File_Risultato(const std::string& File_Layout);

// Date and time of a save as the layout files carry them: "dd/mm/yyyy hh:nn:ss".
std::string Data_Salvataggio();

}  // namespace kyx
