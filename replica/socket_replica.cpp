// Module Socket of the replication program: reading by polling and writing of fixed-length
// requests, on the slots and buffers of the shared socket layer.
#include "replica/socket_replica.h"

#include <cstring>
#include <thread>

#include "platform/host/host.h"
#include "platform/net/net.h"
#include "server/socket.h"

namespace kyx {

Attese_Lettura Attese_Replica{};

namespace sock_replica {
void reset() { Attese_Replica = Attese_Lettura{}; }
}  // namespace sock_replica

namespace {

constexpr int32_t kCapienza_Ricezione = 16384;
constexpr int32_t kMassimo_Record = 8192;

net::Socket Socket_Di(int32_t Indice) {
  return Indice >= 0 && Indice <= 2 ? Socket_Aperti[static_cast<std::size_t>(Indice)] : net::kNoSocket;
}

}  // namespace

bool Sock_Leggi(int32_t& Indice, int32_t& Lunghezza) {
  if (Lunghezza < 1 || Lunghezza > kMassimo_Record) return false;
  const net::Socket s = Socket_Di(Indice);
  int32_t Errori = 0;  // never reset within the call: the wait is bounded as a whole
  while (Byte_In_Buffer < Lunghezza) {
    net::Transfer letti;
    if (s != net::kNoSocket) {
      letti = net::receive(s, Buffer_Ricezione.data() + Byte_In_Buffer,
                           static_cast<std::size_t>(kCapienza_Ricezione - Byte_In_Buffer));
    } else {
      letti.closed = true;
    }
    if (letti.bytes > 0) {
      Byte_In_Buffer += static_cast<int32_t>(letti.bytes);
      continue;
    }
    // A connection the server closed can never bring the bytes: waiting out the ten minutes of
    // empty tries would only freeze the run.
    if (letti.closed) return false;
    if (++Errori > Attese_Replica.Tentativi_Massimi) return false;
    std::this_thread::sleep_for(Attese_Replica.Pausa);
    host::DoEvents();
  }
  std::memcpy(Buffer_Record.data(), Buffer_Ricezione.data(), static_cast<std::size_t>(Lunghezza));
  Byte_In_Buffer -= Lunghezza;
  // What came beyond this reply opens the next read.
  std::memmove(Buffer_Ricezione.data(), Buffer_Ricezione.data() + Lunghezza, static_cast<std::size_t>(Byte_In_Buffer));
  return true;
}

void Sock_Scrivi(int32_t Indice, const std::string& Testo, int32_t Lunghezza) {
  // The translation, cutting and blank filling are the shared layer's; it also sends what a
  // first send left over, where a single send would lose the rest of the request.
  Sock_Write(Indice, Testo, Lunghezza);
}

}  // namespace kyx
