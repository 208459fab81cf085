#pragma once
// The block download shared by every definition download: a server file of fixed-length wire
// records is fetched block by block at byte offsets, each wire record decoded field by field from
// the record buffer and written as a fixed-length local record into a work file of the data
// folder (layouts in WORK_FILES.md).
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kyx::blocchi {

// A local record being built: NUL bytes where the download writes nothing, little-endian numbers,
// texts blank-padded and cut to their width. Offsets count from 0.
class Record_Locale {
 public:
  explicit Record_Locale(std::size_t Lunghezza) : Dati_(Lunghezza, '\0') {}
  // A Byte field. The wire sends two-byte numbers; a value above 255 (which the server never
  // sends) keeps its low byte instead of stopping the download.
  void Byte(std::size_t At, int64_t Valore);
  // An Integer field (16 bits, signed): a wire value above 32767 keeps its bit pattern.
  void Intero(std::size_t At, int64_t Valore);
  // A Long field (32 bits, signed).
  void Lungo(std::size_t At, int64_t Valore);
  // A text field of `Larghezza` characters.
  void Testo(std::size_t At, std::size_t Larghezza, std::string_view Valore);
  // Back to all NUL bytes, for the next record.
  void Azzera();
  uint8_t Byte_A(std::size_t At) const { return static_cast<uint8_t>(Dati_[At]); }
  const std::string& Dati() const { return Dati_; }
  // True when a number since the last Azzera did not fit its field as a value (a Byte above
  // 255, an Integer above 32767): the download keeps the low bytes all the same; a copy that
  // must not store a changed number can refuse the record.
  bool Fuori_Misura() const { return Fuori_Misura_; }

 private:
  void Numero(std::size_t At, std::size_t Byte, int64_t Valore);
  std::string Dati_;
  bool Fuori_Misura_ = false;
};

// One server file and its work file.
struct Scarico {
  std::string Richiesta;          // request letter and body length, e.g. "a00022"
  std::string Coda;               // the body after offset and byte count (library, layout number)
  int32_t Offset = 0;             // byte offset of the first record on the server
  int32_t Record_Totali = 0;      // records in the server file
  int32_t Per_Blocco = 1;         // records asked for at a time
  int32_t Lunghezza_Wire = 1;     // bytes of one wire record
  int32_t Fine = 0;               // position of the end-mark byte in the wire record; 0 = none
  std::string File;               // work file, in its stored form
  std::size_t Lunghezza_Locale = 1;
};

// Decodes the wire record whose first byte is at record-buffer position Base + 1 into `Rec`;
// true to write it as the next record of the work file.
using Decodifica = std::function<bool(int32_t Base, Record_Locale& Rec)>;

// Runs a download: deletes the work file, then asks for the records block by block and writes
// the decoded ones, numbered from 1 without gaps, all together when the download ends. Ends
// (True) at the end mark, after the last record, or at a block shorter than asked for; only whole
// records of a payload are decoded, so bytes left in the buffer by an earlier reply are never
// taken for a record. False when a reply failed (its message shown by Base_File__Lettura; the
// work file keeps the records of the earlier blocks), when the work file could not be created
// (then nothing is asked of the server) or when its records could not be written.
bool Scarica(const Scarico& S, const Decodifica& D);

// Fields of the wire record at Base (positions from 1 within the record).
std::string Testo_Wire(int32_t Base, int32_t Posizione, int32_t Lunghezza);
// The same text as Testo_Wire, without building a string: a view into a translated copy of the
// record buffer, position for position, made by this call. It stays valid (and other fields'
// views with it) until the next call that reads a reply.
std::string_view Vista_Wire(int32_t Base, int32_t Posizione, int32_t Lunghezza);
// The same characters written at Testo (Lunghezza bytes, no terminator); false, with nothing
// written, when the field does not lie inside the record buffer.
bool Traduci_Wire(int32_t Base, int32_t Posizione, int32_t Lunghezza, char* Testo);
int64_t Binario_Wire(int32_t Base, int32_t Posizione, int32_t Lunghezza = 2);

// Format(n, "0000000"): n with at least `Cifre` digits.
std::string Cifre(int64_t n, int Cifre);

}  // namespace kyx::blocchi
