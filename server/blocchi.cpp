// The block download into work files.
#include "server/blocchi.h"

#include <algorithm>
#include <cstdio>

#include "platform/files/files.h"
#include "platform/files/record_file.h"
#include "platform/vb/vb.h"
#include "server/campo.h"
#include "server/risposta.h"
#include "server/socket.h"

namespace kyx::blocchi {

void Record_Locale::Numero(std::size_t At, std::size_t Byte, int64_t Valore) {
  const auto v = static_cast<uint64_t>(Valore);
  for (std::size_t i = 0; i < Byte && At + i < Dati_.size(); ++i) {
    Dati_[At + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  }
}

void Record_Locale::Byte(std::size_t At, int64_t Valore) { Numero(At, 1, Valore); }
void Record_Locale::Intero(std::size_t At, int64_t Valore) { Numero(At, 2, Valore); }
void Record_Locale::Lungo(std::size_t At, int64_t Valore) { Numero(At, 4, Valore); }

void Record_Locale::Testo(std::size_t At, std::size_t Larghezza, std::string_view Valore) {
  for (std::size_t i = 0; i < Larghezza && At + i < Dati_.size(); ++i) {
    Dati_[At + i] = i < Valore.size() ? Valore[i] : ' ';
  }
}

std::string Cifre(int64_t n, int Cifre) {
  char Testo[32];
  std::snprintf(Testo, sizeof Testo, "%0*lld", Cifre, static_cast<long long>(n));
  return Testo;
}

std::string Testo_Wire(int32_t Base, int32_t Posizione, int32_t Lunghezza) {
  return Campo("A", Base + Posizione, Lunghezza, Lunghezza, 0);
}

int64_t Binario_Wire(int32_t Base, int32_t Posizione, int32_t Lunghezza) {
  // What Val(Campo("B", ...)) gives, read straight from the record buffer: a download decodes
  // thousands of these per block, and the text in between cost more than the download itself.
  const int64_t Inizio = int64_t{Base} + Posizione;
  if (Inizio < 1 || Lunghezza < 1 || Inizio - 1 + Lunghezza > static_cast<int64_t>(Buffer_Record.size())) return 0;
  uint64_t Valore = 0;
  for (int32_t k = 0; k < Lunghezza; ++k) Valore = (Valore << 8) | Buffer_Record[static_cast<std::size_t>(Inizio - 1 + k)];
  return static_cast<int64_t>(Valore);
}

bool Scarica(const Scarico& S, const Decodifica& D) {
  // The work file holds exactly the last download.
  const std::string Percorso = files::native_path(S.File);
  if (files::file_exists(Percorso)) files::remove_file(Percorso);
  files::RecordFile File;
  if (!File.open(Percorso, S.Lunghezza_Locale)) return false;

  int32_t Restanti = S.Record_Totali;
  int32_t Offset = S.Offset;
  int64_t Scritti = 0;
  while (Restanti > 0) {
    const int32_t K = std::min(S.Per_Blocco, Restanti);
    Invia_Richiesta(S.Richiesta + Cifre(Offset, 7) + Cifre(int64_t{K} * S.Lunghezza_Wire, 5) + S.Coda);
    const int32_t Lunghezza = Base_File__Lettura();
    if (Lunghezza < 1) return false;

    // Only the whole records the payload holds: past its end the record buffer still holds an
    // older reply.
    const int32_t Interi = std::min(K, Lunghezza / S.Lunghezza_Wire);
    bool Scrittura_Ok = true;
    for (int32_t r = 0; r < Interi; ++r) {
      const int32_t Base = r * S.Lunghezza_Wire;
      if (S.Fine > 0 && Testo_Wire(Base, S.Fine, 1) == "A") return true;
      Record_Locale Rec(S.Lunghezza_Locale);
      if (D(Base, Rec) && !File.write(++Scritti, Rec.Dati())) Scrittura_Ok = false;
    }
    if (!Scrittura_Ok) return false;
    // The server had no more records than these: the file ends here, as at an end mark.
    if (Interi < K) return true;
    Restanti -= K;
    Offset += K * S.Lunghezza_Wire;
  }
  return true;
}

}  // namespace kyx::blocchi
