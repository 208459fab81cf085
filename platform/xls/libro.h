#pragma once
// Our own spreadsheet: one workbook of one sheet, filled from a delimited text file, formatted by
// ranges (font, colours from a 56-entry palette, alignment, number format, fill, borders, merges)
// and saved as an Excel 97 (BIFF8) workbook. Texts are system text (Windows-1252).
#include <array>
#include <cstdint>
#include <map>
#include <string>
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

struct Cella {
  bool Numero = false;
  double Valore = 0;
  std::string Testo;
  Formato F;
};

// A rectangle of the sheet, rows and columns from 1.
struct Zona {
  int R1, C1, R2, C2;
};

class Libro {
 public:
  Libro();

  // Reads a text file of lines ended by CR LF, fields separated by Separatore, a field that starts
  // with a double quote running to the next one. Field k goes to column k + 1; Tipi[k] = 2 keeps
  // it as text, else a field that reads as a number (Decimale as decimal separator) is a number.
  // False with Errore when the file cannot be read or does not fit a sheet.
  bool Apri_Testo(const std::string& File, char Separatore, char Decimale, const std::vector<int>& Tipi,
                  std::string& Errore);

  // Cell.Value: a text that starts with an apostrophe is kept as typed (without it); "" empties.
  void Valore(int Riga, int Colonna, const std::string& Testo);
  std::string Testo(int Riga, int Colonna) const;
  const Cella* Trova(int Riga, int Colonna) const;

  // Every cell of the zone (also empty ones) gets what Cambia sets.
  template <class F>
  void Formatta(const Zona& z, F Cambia) {
    for (int r = z.R1; r <= z.R2; ++r)
      for (int c = z.C1; c <= z.C2; ++c) Cambia(celle_[{r, c}].F);
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

  // The workbook file's bytes; false with Errore when the sheet does not fit the format.
  bool Componi(std::string& Dati, std::string& Errore) const;
  // Writes the workbook; the file appears only when complete. False with Errore otherwise.
  bool Salva(const std::string& File, std::string& Errore) const;

  const std::vector<Zona>& Unioni() const { return unioni_; }
  const std::map<int, int>& Larghezze() const { return larghezze_; }
  const std::map<std::pair<int, int>, Cella>& Celle() const { return celle_; }

 private:
  std::map<std::pair<int, int>, Cella> celle_;
  std::vector<Zona> unioni_;
  std::map<int, int> larghezze_;  // column -> width in 1/256 of a character
  std::array<int32_t, 56> tavolozza_;
};

}  // namespace kyx::xls
