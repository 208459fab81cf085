// Fuzz target: the reply of an elaboration query as it comes off the socket (block heads,
// payloads, fixed-width records of texts and packed numbers) decoded into a recordset.
//
// Input: byte 0 gives the number of items of a record (1..6), the next bytes one width each
// (0 = a packed number of nine bytes, else a text of 1..11 characters); the rest is the reply.
// The reply must be read without crashing, looping or writing outside the record buffer, and
// every row must have come from whole records.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/scambio_server.h"
#include "platform/data/static_recordset.h"
#include "server/socket.h"

namespace {

// The wire table as Sock_Start builds it from a one-to-one code table (here the identity).
bool Tabelle() {
  for (int i = 0; i < 256; ++i) {
    kyx::Tabella_Caratteri[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
    kyx::Tabella_Inversa[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
  }
  for (int h = 0; h <= 9; ++h)
    for (int l = 0; l <= 15; ++l) {
      std::string& t = kyx::Tabella_Packed[static_cast<size_t>(16 * h + l)];
      t.assign(1, static_cast<char>('0' + h));
      t += l <= 9 ? static_cast<char>('0' + l) : ' ';
    }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool pronte = Tabelle();
  (void)pronte;
  if (size < 1) return 0;
  const int voci = 1 + data[0] % 6;
  if (size < static_cast<size_t>(1 + voci)) return 0;
  kyx::Tracciato_Record t;
  t.Posizioni.push_back(0);
  kyx::data::StaticRecordset rs;
  for (int j = 0; j < voci; ++j) {
    const int32_t w = data[1 + j] % 12;
    t.Larghezze.push_back(w);
    t.Posizioni.push_back(t.Posizioni.back() + (w > 0 ? w : 9));
    const std::string nome = "x00" + std::to_string(j);
    (void)rs.AppendField(w > 0 ? kyx::data::TextField(nome, w) : kyx::data::DoubleField(nome));
  }
  t.Voci = static_cast<int16_t>(voci);
  if (!rs.OpenFabricated().ok()) return 0;
  const std::string_view risposta(reinterpret_cast<const char*>(data) + 1 + voci, size - 1 - static_cast<size_t>(voci));
  (void)kyx::Decodifica_Risposta(risposta, t, rs);
  // Rows come from whole records only: never more than the reply's bytes can hold.
  if (rs.RecordCount() > static_cast<int64_t>(risposta.size() / static_cast<size_t>(t.Lunghezza()))) std::abort();
  return 0;
}
