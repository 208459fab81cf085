#pragma once
// Our own spreadsheet: one workbook of one sheet, filled from a delimited text file, formatted by
// ranges (font, colours from a 56-entry palette, alignment, number format, fill, borders, merges)
// and saved as an Excel 97 (BIFF8) workbook. Texts are system text (Windows-1252).
//
// A sheet may hold the format's 65,536 rows of 256 columns, so a cell is kept small: its value
// (a number, or the place of its text in one shared buffer), the number of its format in a table
// of the distinct formats, and its kind. A format change goes through that table once per
// distinct format of the range, not once per cell.
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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
    for (int r = z.R1; r <= z.R2; ++r) {
      for (int c = z.C1; c <= z.C2; ++c) {
        Casella* k = Prendi(r, c);
        if (!k) continue;
        uint32_t& n = nuovo[k->Formato];
        if (n == kNessuno) {
          Formato f = formati_[k->Formato];
          Cambia(f);
          n = Interna(f);
        }
        k->Formato = n;
      }
    }
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
  // One cell: a number's bits, or its text's start (high half) and length (low half) in testi_.
  struct Casella {
    uint64_t Dato = 0;
    uint32_t Formato = 0;
    Tipo Genere = kAssente;
  };
  friend class Scrittura;

  // The cell at (Riga, Colonna), made present; nullptr outside the sheet.
  Casella* Prendi(int Riga, int Colonna);
  const Casella* Cerca(int Riga, int Colonna) const;
  uint32_t Interna(const Formato& f);
  void Metti_Testo(Casella& k, std::string_view Testo);
  std::string_view Testo_Di(const Casella& k) const;
  double Numero_Di(const Casella& k) const;

  std::vector<std::vector<Casella>> righe_;  // righe_[r - 1][c - 1]
  std::string testi_;                        // the cells' texts, one after another
  std::vector<Formato> formati_;             // formati_[0] is the default format
  std::map<Formato, uint32_t> indici_;
  std::vector<Zona> unioni_;
  std::map<int, int> larghezze_;  // column -> width in 1/256 of a character
  std::array<int32_t, 56> tavolozza_;
};

}  // namespace kyx::xls
