#pragma once
// The delimited text a sheet is read from, kept on disk: where each line starts, the fields of a
// line, and a reader that hands out lines by number, reading the file in large blocks. The sheet
// reads the file again whenever it needs its cells, so that a sheet of 65,536 rows costs a few
// bytes a row in memory instead of its cells.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kyx::xls {

// Calls Campo(k, text, quoted) for field k = 0, 1, ... of Linea. A field that starts with a double
// quote runs to the next one, and what follows it up to the separator is dropped. Stops early and
// returns false when Campo returns false.
template <class F>
bool Per_Campi(std::string_view Linea, char Separatore, F Campo) {
  size_t p = 0;
  for (int k = 0; p <= Linea.size(); ++k) {
    std::string_view campo;
    bool citato = false;
    if (p < Linea.size() && Linea[p] == '"') {
      const size_t chiude = Linea.find('"', p + 1);
      campo = Linea.substr(p + 1, chiude == std::string_view::npos ? std::string_view::npos : chiude - p - 1);
      citato = true;
      p = chiude == std::string_view::npos ? Linea.size() : chiude + 1;
    } else {
      const size_t sep = Linea.find(Separatore, p);
      campo = Linea.substr(p, sep == std::string_view::npos ? std::string_view::npos : sep - p);
      p = sep == std::string_view::npos ? Linea.size() : sep;
    }
    const size_t sep = Linea.find(Separatore, p);
    p = sep == std::string_view::npos ? Linea.size() + 1 : sep + 1;
    if (!Campo(k, campo, citato)) return false;
  }
  return true;
}

// A number as the text file writes it: optional sign, digits with optional thousands separators,
// one decimal separator. False (and v untouched) for anything else.
bool Leggi_Numero(std::string_view Testo, char Decimale, double& v);

// A file of lines ended by LF (a CR before it is not part of the line), open for reading by line
// number. The file stays readable while the reader is open, also once its name is removed.
class Testo_Delimitato {
 public:
  Testo_Delimitato() = default;
  ~Testo_Delimitato();
  Testo_Delimitato(const Testo_Delimitato&) = delete;
  Testo_Delimitato& operator=(const Testo_Delimitato&) = delete;

  // Opens File and finds its lines; Linea(i, ...) is asked of each in turn so that the caller can
  // check it (false from Controlla stops with Errore as it set it). False with Errore when the
  // file cannot be read.
  template <class F>
  bool Apri(const std::string& File, std::string& Errore, F Controlla);
  void Chiudi();

  size_t Linee() const { return inizi_.empty() ? 0 : inizi_.size() - 1; }
  // Line i (from 0), valid until the next call; "" past the end or when the file cannot be read.
  std::string_view Linea(size_t i) const;

 private:
  // Opens File and finds where its lines start.
  bool Trova_Linee(const std::string& File);
  // Reads into buf_ the bytes from Inizio on: a block, or Minimo bytes when more; fewer only at
  // the end of the file. False when the file cannot be read.
  bool Carica(uint64_t Inizio, size_t Minimo) const;

  int fd_ = -1;
  std::vector<uint64_t> inizi_;  // where each line starts, and the file's end last
  mutable std::string buf_;      // the bytes of the file from buf_inizio_ on
  mutable uint64_t buf_inizio_ = 0;
};

template <class F>
bool Testo_Delimitato::Apri(const std::string& File, std::string& Errore, F Controlla) {
  if (!Trova_Linee(File)) {
    Chiudi();
    Errore = "impossibile leggere " + File;
    return false;
  }
  for (size_t i = 0; i < Linee(); ++i)
    if (!Controlla(i, Linea(i))) return false;
  return true;
}

}  // namespace kyx::xls
