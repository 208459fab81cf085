#include "export/xlsx_foglio.h"

#include <charconv>

#include "export/esporta_xlsx.h"
#include "export/xml_codifica.h"

namespace kyx {

Foglio_Xlsx::Foglio_Xlsx(zip::ZipWriter& Zip, int Colonne) : zip_(Zip) {
  buf_.reserve(kFinestra + 4096);
  lettere_.resize(static_cast<size_t>(Colonne) + 1);
  for (int c = 1; c <= Colonne; ++c) {
    std::string l = XLSX_Cella(0, c);  // the letters followed by the row number 0
    l.pop_back();
    lettere_[static_cast<size_t>(c)] = std::move(l);
  }
}

void Foglio_Xlsx::Intero(int64_t n) {
  char b[24];
  const auto r = std::to_chars(b, b + sizeof b, n);
  buf_.append(b, r.ptr);
}

void Foglio_Xlsx::Apri_Riga(int32_t Riga, int Celle) {
  buf_ += "<row r='";
  Intero(Riga);
  buf_ += "' spans='1:";
  Intero(Celle);
  Testo_("'>");
}

void Foglio_Xlsx::Inizio_Cella(int32_t Riga, int Colonna, int32_t Stile) {
  buf_ += "<c r='";
  buf_ += lettere_[static_cast<size_t>(Colonna)];
  Intero(Riga);
  buf_ += "' s='";
  Intero(Stile);
  buf_ += '\'';
}

void Foglio_Xlsx::Testo(int32_t Riga, int Colonna, int32_t Stile, std::string_view Testo, bool Blank_Finale) {
  Inizio_Cella(Riga, Colonna, Stile);
  buf_ += " t='inlineStr'><is><r><t>";
  XML_Codifica_In(buf_, Testo);
  Testo_(Blank_Finale ? " </t></r></is></c>" : "</t></r></is></c>");
}

void Foglio_Xlsx::Numero(int32_t Riga, int Colonna, int32_t Stile, std::string_view Numero) {
  Inizio_Cella(Riga, Colonna, Stile);
  buf_ += "><v>";
  buf_ += Numero;
  Testo_("</v></c>");
}

void Foglio_Xlsx::Valore_Vuoto(int32_t Riga, int Colonna, int32_t Stile) {
  Inizio_Cella(Riga, Colonna, Stile);
  Testo_("><v></v></c>");
}

void Foglio_Xlsx::Vuota(int32_t Riga, int Colonna, int32_t Stile) {
  Inizio_Cella(Riga, Colonna, Stile);
  Testo_("/>");
}

void Foglio_Xlsx::Unisci(int32_t Riga, int Da, int A) {
  if (A > Da) unioni_.push_back(XLSX_Cella(Riga, Da) + ":" + XLSX_Cella(Riga, A));
}

void Foglio_Xlsx::Svuota() {
  ok_ = zip_.Write(buf_) && ok_;
  buf_.clear();
}

bool Foglio_Xlsx::Chiudi() {
  Testo_("</sheetData>");
  if (!unioni_.empty()) {
    buf_ += "<mergeCells count='";
    Intero(static_cast<int64_t>(unioni_.size()));
    buf_ += "'>";
    for (const std::string& u : unioni_) Testo_("<mergeCell ref='" + u + "'/>");
    buf_ += "</mergeCells>";
  }
  buf_ += "</worksheet>";
  Svuota();
  return ok_;
}

}  // namespace kyx
