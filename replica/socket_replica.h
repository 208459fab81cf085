#pragma once
// The replication program's own reading and writing on the shared socket layer (server/socket.h:
// slots, buffers, code tables, connection). A read does not wait with select(): it retries the
// receive of the non-blocking socket with a short sleep and a pump of the window events between
// tries, up to a bounded number of empty tries.
#include <chrono>
#include <cstdint>
#include <string>

namespace kyx {

// The bounds of a read's waiting: after more than Tentativi_Massimi empty receives, Pausa apart,
// the read gives up (60000 tries of 10 ms: ten minutes). Tests shorten them.
struct Attese_Lettura {
  int32_t Tentativi_Massimi = 60000;
  std::chrono::milliseconds Pausa{10};
};
extern Attese_Lettura Attese_Replica;

namespace sock_replica {
// Back to the default waits.
void reset();
}  // namespace sock_replica

// Reads exactly Lunghezza (1..8192) bytes of slot Indice into the start of Buffer_Record; bytes
// that arrived beyond them stay buffered for the next read. False, with nothing received or
// moved, for a length out of range; false when the bytes do not come within the waits, or at
// once when the server has closed the connection (no later try could bring them), leaving the
// bytes received so far buffered.
bool Sock_Leggi(int32_t& Indice, int32_t& Lunghezza);

// Sends Lunghezza bytes made of Testo (cut to that length, filled up with blanks), each through
// the code table. Reports nothing: a request that did not leave shows as a read that fails.
void Sock_Scrivi(int32_t Indice, const std::string& Testo, int32_t Lunghezza);

}  // namespace kyx
