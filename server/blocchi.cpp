// The block download into work files.
#include "server/blocchi.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "platform/files/files.h"
#include "platform/files/record_file.h"
#include "platform/vb/vb.h"
#include "server/campo.h"
#include "server/risposta.h"
#include "server/socket.h"

namespace kyx::blocchi {

void Record_Locale::Numero(std::size_t At, std::size_t Byte, int64_t Valore) {
  const int64_t Massimo = (int64_t{1} << (8 * Byte - (Byte == 1 ? 0 : 1))) - 1;
  if (Valore < 0 || Valore > Massimo) Fuori_Misura_ = true;
  const auto v = static_cast<uint64_t>(Valore);
  for (std::size_t i = 0; i < Byte && At + i < Dati_.size(); ++i) {
    Dati_[At + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  }
}

void Record_Locale::Byte(std::size_t At, int64_t Valore) { Numero(At, 1, Valore); }
void Record_Locale::Intero(std::size_t At, int64_t Valore) { Numero(At, 2, Valore); }
void Record_Locale::Lungo(std::size_t At, int64_t Valore) { Numero(At, 4, Valore); }

void Record_Locale::Testo(std::size_t At, std::size_t Larghezza, std::string_view Valore) {
  if (At >= Dati_.size()) return;
  const std::size_t Spazio = std::min(Larghezza, Dati_.size() - At);
  const std::size_t n = std::min(Spazio, Valore.size());
  if (n > 0) std::memcpy(Dati_.data() + At, Valore.data(), n);
  std::memset(Dati_.data() + At + n, ' ', Spazio - n);
}

void Record_Locale::Azzera() {
  std::fill(Dati_.begin(), Dati_.end(), '\0');
  Fuori_Misura_ = false;
}

std::string Cifre(int64_t n, int Cifre) {
  char Testo[32];
  std::snprintf(Testo, sizeof Testo, "%0*lld", Cifre, static_cast<long long>(n));
  return Testo;
}

std::string Testo_Wire(int32_t Base, int32_t Posizione, int32_t Lunghezza) {
  return Campo("A", Base + Posizione, Lunghezza, Lunghezza, 0);
}

namespace {

// Fields of Buffer_Record through the code table, each at its own position (NUL as "Ø", as Campo
// shows it): a view stays valid while the decoder of a record reads other fields.
std::array<char, 16385> Testo_Tradotto{};

// True when the field lies inside the record buffer (the bounds of Campo).
bool Nel_Record(int64_t Inizio, int32_t Lunghezza) {
  return Inizio >= 1 && Lunghezza >= 1 && Inizio - 1 + Lunghezza <= static_cast<int64_t>(Buffer_Record.size());
}

void Traduci(const uint8_t* Byte, int32_t Lunghezza, char* Testo) {
  for (int32_t k = 0; k < Lunghezza; ++k) {
    const uint8_t b = Byte[k];
    Testo[k] = b != 0 ? static_cast<char>(Tabella_Caratteri[b]) : '\xD8';
  }
}

}  // namespace

bool Traduci_Wire(int32_t Base, int32_t Posizione, int32_t Lunghezza, char* Testo) {
  const int64_t Inizio = int64_t{Base} + Posizione;
  if (!Nel_Record(Inizio, Lunghezza)) return false;
  Traduci(Buffer_Record.data() + (Inizio - 1), Lunghezza, Testo);
  return true;
}

std::string_view Vista_Wire(int32_t Base, int32_t Posizione, int32_t Lunghezza) {
  // A field outside the record buffer is "". Only the fields a decoder asks for are translated:
  // most records carry filler and reserved bytes that no work file keeps.
  const int64_t Inizio = int64_t{Base} + Posizione;
  if (!Nel_Record(Inizio, Lunghezza)) return {};
  const auto Da = static_cast<std::size_t>(Inizio - 1);
  Traduci(Buffer_Record.data() + Da, Lunghezza, Testo_Tradotto.data() + Da);
  return std::string_view(Testo_Tradotto.data() + Da, static_cast<std::size_t>(Lunghezza));
}

int64_t Binario_Wire(int32_t Base, int32_t Posizione, int32_t Lunghezza) {
  // What Val(Campo("B", ...)) gives, read straight from the record buffer: a download decodes
  // thousands of these per block, and the text in between cost more than the download itself.
  const int64_t Inizio = int64_t{Base} + Posizione;
  if (!Nel_Record(Inizio, Lunghezza)) return 0;
  uint64_t Valore = 0;
  for (int32_t k = 0; k < Lunghezza; ++k) Valore = (Valore << 8) | Buffer_Record[static_cast<std::size_t>(Inizio - 1 + k)];
  return static_cast<int64_t>(Valore);
}

namespace {

// The requests and the decoding of a download, its local records gathered in `Contenuto`
// (numbered from 1 without gaps). The result of Scarica, but for the writing.
bool Scarica_Blocchi(const Scarico& S, const Decodifica& D, std::string& Contenuto) {
  int32_t Restanti = S.Record_Totali;
  int32_t Offset = S.Offset;
  // One local record, cleared for each wire record.
  Record_Locale Rec(S.Lunghezza_Locale);
  // Bounded: every pass asks for at least one record of the Record_Totali.
  while (Restanti > 0) {
    const int32_t K = std::min(S.Per_Blocco, Restanti);
    Invia_Richiesta(S.Richiesta + Cifre(Offset, 7) + Cifre(int64_t{K} * S.Lunghezza_Wire, 5) + S.Coda);
    const int32_t Lunghezza = Base_File__Lettura();
    if (Lunghezza < 1) return false;

    // Only the whole records the payload holds: past its end the record buffer still holds an
    // older reply.
    const int32_t Interi = std::min(K, Lunghezza / S.Lunghezza_Wire);
    for (int32_t r = 0; r < Interi; ++r) {
      const int32_t Base = r * S.Lunghezza_Wire;
      if (S.Fine > 0 && Vista_Wire(Base, S.Fine, 1) == "A") return true;
      Rec.Azzera();
      if (D(Base, Rec)) Contenuto += Rec.Dati();
    }
    // The server had no more records than these: the file ends here, as at an end mark.
    if (Interi < K) return true;
    Restanti -= K;
    Offset += K * S.Lunghezza_Wire;
  }
  return true;
}

}  // namespace

bool Scarica(const Scarico& S, const Decodifica& D) {
  // The work file holds exactly the last download.
  const std::string Percorso = files::native_path(S.File);
  if (files::file_exists(Percorso)) files::remove_file(Percorso);
  files::RecordFile File;
  if (!File.open(Percorso, S.Lunghezza_Locale)) return false;
  File.close();

  // The records are written together when the download ends, however it ends: one write per
  // record cost about as much as decoding it. The file then holds the records of every block
  // received, as it would have record by record.
  std::string Contenuto;
  const bool Scaricato = Scarica_Blocchi(S, D, Contenuto);
  if (Contenuto.empty()) return Scaricato;
  // A file whose one record is the whole content: the same bytes as the records one by one.
  files::RecordFile Intero;
  const bool Scritto = Intero.open(Percorso, Contenuto.size()) && Intero.write(1, Contenuto);
  return Scaricato && Scritto;
}

}  // namespace kyx::blocchi
