#pragma once
// Our own spreadsheet: one workbook of one sheet, filled from a delimited text file, formatted by
// ranges (font, colours from a 56-entry palette, alignment, number format, fill, borders, merges)
// and saved as an Excel 97 (BIFF8) workbook. Texts are system text (Windows-1252).
//
// A sheet may hold the format's 65,536 rows of 256 columns, so its cells are not held in memory:
// the values stay in the text file the sheet was read from, read again line by line when they
// are needed, and only the cells given a value one by one are kept. Formats are kept by row: each
// row names one of the distinct rows of format numbers (rows formatted alike share one), and a
// format number points into the table of distinct formats. A format change goes through that
// table once per distinct format of the range, and once per distinct row of the range.
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/xls/testo_delimitato.h"

namespace kyx::xls {

// Horizontal alignments and border positions, as the spreadsheet numbers them.
inline constexpr int xlLeft = -4131, xlCenter = -4108, xlRight = -4152;
inline constexpr int xlEdgeLeft = 7, xlEdgeTop = 8, xlEdgeBottom = 9, xlEdgeRight = 10, xlInsideVertical = 11,
                     xlInsideHorizontal = 12;

struct Formato {
  int Colore_Font = 0;   // palette index 1..56, 0 automatic
  bool Grassetto = false;
  int Allineamento = 0;  // 0 general, else xlLeft/xlCenter/xlRight
  std::string Formato_Numero = "General";
  int Colore_Sfondo = 0;  // palette index, with Pieno
  bool Pieno = false;
  std::array<int, 4> Bordo{};  // left, top, bottom, right: palette index of a thin line, 0 none
  bool operator<(const Formato& o) const;
};

// A rectangle of the sheet, rows and columns from 1.
struct Zona {
  int R1, C1, R2, C2;
};

class Libro {
 public:
  static constexpr int kRighe = 65536, kColonne = 256;

  Libro();
  Libro(const Libro&) = delete;
  Libro& operator=(const Libro&) = delete;

  // Reads a text file of lines ended by CR LF, fields separated by Separatore, a field that starts
  // with a double quote running to the next one. Field k goes to column k + 1; Tipi[k] = 2 keeps
  // it as text, else a field that reads as a number (Decimale as decimal separator) is a number.
  // False with Errore when the file cannot be read or does not fit a sheet.
  bool Apri_Testo(const std::string& File, char Separatore, char Decimale, const std::vector<int>& Tipi,
                  std::string& Errore);

  // Cell.Value: a text that starts with an apostrophe is kept as typed (without it); "" empties.
  void Valore(int Riga, int Colonna, const std::string& Testo);
  // The cell's shown text: its text, or its number as the general format writes it; "" when empty.
  std::string Testo(int Riga, int Colonna) const;
  // Whether the cell holds a number, and its format (the default one for a cell never touched).
  bool Numero(int Riga, int Colonna) const;
  const Formato& Formato_Di(int Riga, int Colonna) const;

  // Every cell of the zone (also empty ones) gets what Cambia sets. Cambia sees only the format,
  // and equal formats get the same change: it runs once per distinct format of the zone.
  template <class F>
  void Formatta(const Zona& z, F Cambia) {
    std::vector<uint32_t> nuovo(formati_.size(), kNessuno);
    Cambia_Formati(z, [&](uint32_t Vecchio) {
      uint32_t& n = nuovo[Vecchio];
      if (n == kNessuno) {
        Formato f = formati_[Vecchio];
        Cambia(f);
        n = Interna(f);
      }
      return n;
    });
  }
  void Unisci(const Zona& z) { unioni_.push_back(z); }
  // Thin borders of the given positions (xlEdgeLeft .. xlInsideHorizontal) in palette colour.
  void Bordo(const Zona& z, int Posizione, int Colore);

  void Elimina_Riga_1();
  void Elimina_Colonna_A();
  // Each used column as wide as its longest shown text.
  void Adatta_Colonne();

  int32_t Colore(int i) const { return tavolozza_[static_cast<size_t>(i - 1)]; }  // RGB, red low
  void Imposta_Colore(int i, int32_t Rgb) { tavolozza_[static_cast<size_t>(i - 1)] = Rgb; }

  std::string Font_Nome = "Arial";
  double Font_Dimensione = 10;

  // Hands the workbook file's bytes to Scrivi piece by piece, never holding the whole file.
  // False with Errore when the sheet does not fit the format (then nothing is handed over);
  // false with Errore left empty when Scrivi returns false.
  bool Componi(const std::function<bool(std::string_view)>& Scrivi, std::string& Errore) const;
  // The same bytes in one string.
  bool Componi(std::string& Dati, std::string& Errore) const;
  // Writes the workbook; the file appears only when complete. False with Errore otherwise.
  bool Salva(const std::string& File, std::string& Errore) const;

  const std::vector<Zona>& Unioni() const { return unioni_; }
  const std::map<int, int>& Larghezze() const { return larghezze_; }

 private:
  static constexpr uint32_t kNessuno = 0xFFFFFFFF;
  enum Tipo : uint8_t { kAssente, kVuota, kNumero, kTesto };
  // A cell as the sheet has it: its kind, its format and its text (for a number, the number as
  // the text file writes it, read when it is needed).
  struct Casella {
    Tipo Genere = kAssente;
    uint32_t Formato = 0;
    std::string_view Dato;
  };
  friend class Scrittura;

  // The sheet's own rows and columns (from 0) behind the visible row and column (from 1): rows
  // and columns deleted at the start move the visible ones along.
  size_t Riga_Interna(int Riga) const { return static_cast<size_t>(Riga - 1) + riga0_; }
  size_t Colonna_Interna(int Colonna) const { return static_cast<size_t>(Colonna - 1) + colonna0_; }
  static bool Nel_Foglio(int Riga, int Colonna) {
    return Riga >= 1 && Riga <= kRighe && Colonna >= 1 && Colonna <= kColonne;
  }
  // How many rows the sheet may have cells in (its own numbering).
  size_t Righe_Interne() const;
  // The cells of row i (its own numbering) by visible column (Celle[0] is column 1), up to the
  // row's last present cell; the texts stay valid until the next read of the file.
  void Celle(size_t i, std::vector<Casella>& Celle) const;
  const Casella Cella(int Riga, int Colonna) const;
  double Numero_Di(const Casella& k) const;
  void Cambia_Formati(const Zona& z, const std::function<uint32_t(uint32_t)>& Nuovo);
  uint32_t Interna(const Formato& f);
  uint32_t Interna_Stile(const std::vector<uint32_t>& v);

  Testo_Delimitato testo_;  // the file's cells
  char decimale_ = '.';
  char separatore_ = '\t';
  std::vector<int> tipi_;
  std::map<std::pair<size_t, size_t>, std::string> valori_;  // (row, column) -> text given one by one
  std::vector<uint32_t> stile_riga_;            // row -> its row of format numbers (0: none)
  std::vector<std::vector<uint32_t>> stili_;    // distinct rows of format numbers; kNessuno: no cell
  std::map<std::vector<uint32_t>, uint32_t> indice_stili_;
  size_t riga0_ = 0, colonna0_ = 0;             // rows and columns deleted at the start
  std::vector<Formato> formati_;                // formati_[0] is the default format
  std::map<Formato, uint32_t> indici_;
  std::vector<Zona> unioni_;
  std::map<int, int> larghezze_;  // column -> width in 1/256 of a character
  std::array<int32_t, 56> tavolozza_;
};

}  // namespace kyx::xls
