#pragma once
// The worksheet part of the XLSX workbook, streamed into its archive entry as the rows are
// written: only a window of text and the list of merged ranges are kept, so memory does not grow
// with the number of rows.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/zip/zip_writer.h"

namespace kyx {

class Foglio_Xlsx {
 public:
  // The entry must have been started on `Zip`; `Colonne` is the widest row's number of cells.
  Foglio_Xlsx(zip::ZipWriter& Zip, int Colonne);

  // "<row r='r' spans='1:Celle'>" and "</row>".
  void Apri_Riga(int32_t Riga, int Celle);
  void Chiudi_Riga() { Testo_("</row>"); }

  // One cell "<c r='ref' s='Stile'" followed by its content:
  void Testo(int32_t Riga, int Colonna, int32_t Stile, std::string_view Testo, bool Blank_Finale = false);
  void Numero(int32_t Riga, int Colonna, int32_t Stile, std::string_view Numero);  // "><v>n</v></c>"
  void Valore_Vuoto(int32_t Riga, int Colonna, int32_t Stile);                       // "><v></v></c>"
  void Vuota(int32_t Riga, int Colonna, int32_t Stile);                              // "/>"

  // Adds the range of row Riga from column Da to column A to the merged ranges (when A > Da).
  void Unisci(int32_t Riga, int Da, int A);
  // Text written as it stands.
  void Scrivi(std::string_view Testo) { Testo_(Testo); }

  // "</sheetData>", the merged ranges, "</worksheet>"; false when any write to the entry failed.
  bool Chiudi();

 private:
  void Testo_(std::string_view t) {
    buf_ += t;
    if (buf_.size() >= kFinestra) Svuota();
  }
  void Intero(int64_t n);
  void Inizio_Cella(int32_t Riga, int Colonna, int32_t Stile);
  void Svuota();

  static constexpr size_t kFinestra = 1 << 18;
  zip::ZipWriter& zip_;
  bool ok_ = true;
  std::string buf_;
  std::vector<std::string> lettere_;  // column letters by position, 1-based
  std::vector<std::string> unioni_;
};

}  // namespace kyx
