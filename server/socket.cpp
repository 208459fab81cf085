// Module Socket: transport of fixed-length records to and from the data server, and the code
// table that translates every character. Built on the TCP client of platform/net.
#include "server/socket.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <span>
#include <vector>

#include "common/stato.h"
#include "platform/files/files.h"
#include "platform/host/host.h"
#include "platform/net/net.h"

namespace kyx {

bool Winsock_Attivo = false;
std::array<int32_t, 3> Socket_Aperti = {-1, -1, -1};
std::array<uint8_t, 256> Tabella_Caratteri{};
std::array<uint8_t, 256> Tabella_Inversa{};
std::array<std::string, 160> Tabella_Packed{};
std::array<uint8_t, 16385> Buffer_Ricezione{};
int32_t Byte_In_Buffer = 0;
std::array<uint8_t, 16385> Buffer_Record{};
Attese_Socket Attese{};

namespace {

// The receive buffer holds 16384 bytes; one read hands out at most 8192, so while a read waits
// for its record there is always room for at least 8192 more.
constexpr int32_t kCapienza_Ricezione = 16384;
constexpr int32_t kMassimo_Record = 8192;
// Header of the code table file, before the 256 table bytes.
constexpr std::size_t kIntestazione_Tabella = 6;

bool Slot_Valido(int32_t Indice) { return Indice >= 0 && Indice <= 2; }

net::Socket Socket_Di(int32_t Indice) {
  return Slot_Valido(Indice) ? Socket_Aperti[static_cast<std::size_t>(Indice)] : net::kNoSocket;
}

// Format(n, "00000") and friends: n with at least `cifre` digits.
std::string Cifre(int64_t n, int cifre) {
  char testo[32];
  std::snprintf(testo, sizeof testo, "%0*lld", cifre, static_cast<long long>(n));
  return testo;
}

// One line of the debug log, only while the debug option is on (the log window numbers it).
void Riga_Debug(const std::string& Testo) {
  if (Debug_Attivo) host::host().DebugLog(Testo);
}

// Drops the first n buffered bytes and moves the rest to the front.
void Togli_Dal_Buffer(int32_t n) {
  n = std::clamp(n, 0, Byte_In_Buffer);
  std::memmove(Buffer_Ricezione.data(), Buffer_Ricezione.data() + n,
               static_cast<std::size_t>(Byte_In_Buffer - n));
  Byte_In_Buffer -= n;
}

// Receives until at least `Richiesti` bytes (at most kMassimo_Record) stand in
// Buffer_Ricezione. Each unready wait or empty receive is a failure; more than
// Attese.Tentativi_Massimi failures give up, with the window events pumped between tries. A
// connection that is gone gives up at once: no later try could bring a byte. `Chi` and `L` name
// the caller in the debug lines.
//
// Bytes that have already arrived are taken without a wait: a reply usually comes whole, and
// asking the system whether the socket is readable before each receive doubled the calls per
// block. Only a receive that finds nothing waits (Sock_Check) and receives again, so the
// failures and their debug lines are those of a wait before every receive.
bool Riempi_Buffer(int32_t Indice, int32_t Richiesti, const char* Chi, int32_t L) {
  int32_t Errori = 0;
  const net::Socket s = Socket_Di(Indice);
  while (Byte_In_Buffer < Richiesti) {
    const auto Ricevi = [&] {
      return net::receive(s, Buffer_Ricezione.data() + Byte_In_Buffer,
                          static_cast<std::size_t>(kCapienza_Ricezione - Byte_In_Buffer));
    };
    // An empty slot goes through Sock_Check, which reports it, as before.
    net::Transfer letti = s != net::kNoSocket ? Ricevi() : net::Transfer{};
    bool Pronto = letti.bytes >= 1 || letti.closed;
    if (!Pronto && Sock_Check(Indice, "R", 1)) {
      letti = Ricevi();
      Pronto = true;
    }
    if (Pronto) {
      if (letti.bytes >= 1) {
        Byte_In_Buffer += static_cast<int32_t>(letti.bytes);
        if (Debug_Attivo) {
          Riga_Debug(Chi + Cifre(L, 5) + " - letti   " + Cifre(static_cast<int64_t>(letti.bytes), 5));
        }
        continue;
      }
      ++Errori;
      if (Debug_Attivo) Riga_Debug(Chi + Cifre(L, 5) + " - nessun dato letto - " + std::to_string(Errori));
      if (letti.closed) return false;
    } else {
      ++Errori;
      if (Debug_Attivo) Riga_Debug(Chi + Cifre(L, 5) + " - non si pu\xF2 leggere - " + std::to_string(Errori));
    }
    if (Errori > Attese.Tentativi_Massimi) return false;
    host::DoEvents();
  }
  return true;
}

void Costruisci_Tabella_Packed() {
  for (int h = 0; h <= 9; ++h) {
    for (int l = 0; l <= 15; ++l) {
      std::string& t = Tabella_Packed[static_cast<std::size_t>(16 * h + l)];
      t.assign(1, static_cast<char>('0' + h));
      t += l <= 9 ? static_cast<char>('0' + l) : ' ';  // 10..15: a sign half-byte
    }
  }
}

// For i ascending, the character of wire byte i points back to i: where two wire bytes give one
// character the higher wins, and a character no wire byte gives is sent as 0.
void Costruisci_Tabella_Inversa() {
  Tabella_Inversa.fill(0);
  for (int i = 0; i <= 255; ++i) Tabella_Inversa[Tabella_Caratteri[static_cast<std::size_t>(i)]] =
      static_cast<uint8_t>(i);
}

}  // namespace

namespace sock {
void reset() {
  for (int32_t i = 0; i <= 2; ++i) Sock_Close(i);
  Winsock_Attivo = false;
  Tabella_Caratteri.fill(0);
  Tabella_Inversa.fill(0);
  for (auto& t : Tabella_Packed) t.clear();
  Buffer_Ricezione.fill(0);
  Byte_In_Buffer = 0;
  Buffer_Record.fill(0);
  Attese = Attese_Socket{};
}
}  // namespace sock

bool Sock_Start(std::string& Descrizione, const std::string& Percorso) {
  if (Winsock_Attivo) return true;
  Costruisci_Tabella_Packed();
  // Read only: a table file that is missing is reported, never created empty (an empty table
  // would send every character as byte 0 and show every reply as character 0).
  std::string Dati;
  if (!files::read_file(files::native_path(Percorso), Dati) ||
      Dati.size() < kIntestazione_Tabella + Tabella_Caratteri.size()) {
    Descrizione = "Code table missing or shorter than 262 bytes: " + Percorso;
    return false;
  }
  std::memcpy(Tabella_Caratteri.data(), Dati.data() + kIntestazione_Tabella, Tabella_Caratteri.size());
  Costruisci_Tabella_Inversa();
  Descrizione = "TCP/IP (Linux sockets)";
  Winsock_Attivo = true;
  return true;
}

void Sock_Stop() {
  // Stopping the socket layer closed every socket still open.
  for (int32_t i = 0; i <= 2; ++i) Sock_Close(i);
  Winsock_Attivo = false;
}

int16_t Sock_Connect(int32_t Indice, const std::string& Host, int32_t Porta, std::string& Esito,
                     int32_t /*hWnd*/, bool /*Asincrono*/) {
  Byte_In_Buffer = 0;  // input of an earlier connection is dropped
  if (!Slot_Valido(Indice) || !Winsock_Attivo) return 0;
  const int32_t Indirizzo = Risolvi_Host(Host);
  if (Indirizzo == -1) return 0;
  Esito = Indirizzo_Testo(Indirizzo) + ":" + std::to_string(Porta);

  // A socket still open in the slot would be lost: close it first.
  Sock_Close(Indice);
  net::Socket s = net::kNoSocket;
  if (!net::open_socket(s)) return 0;
  Socket_Aperti[static_cast<std::size_t>(Indice)] = s;
  // Linger on with 0 seconds: closing resets the connection at once.
  if (Imposta_Linger(s, 1, 0) == -1) {
    Sock_Close(Indice);
    return 0;
  }
  // Bounded like every other wait of the module, instead of the system's minutes-long retries.
  if (!net::connect(s, static_cast<uint32_t>(Indirizzo), static_cast<uint16_t>(Porta & 0xFFFF),
                    Attese.Attesa_Lunga)) {
    Sock_Close(Indice);
    return 0;
  }
  return -1;
}

void Sock_Close(int32_t Indice) {
  if (!Slot_Valido(Indice)) return;
  // The slot is emptied: on Linux a closed descriptor number is soon reused by another file, and
  // a later read or write on the old number would reach that file.
  net::close(Socket_Aperti[static_cast<std::size_t>(Indice)]);
  Socket_Aperti[static_cast<std::size_t>(Indice)] = -1;
}

bool Sock_Check(int32_t Indice, const std::string& Modo, int16_t Secondi) {
  net::Direction Verso;
  if (Modo == "R") {
    Verso = net::Direction::kRead;
  } else if (Modo == "W") {
    Verso = net::Direction::kWrite;
  } else {
    return false;
  }
  const auto Attesa = Secondi != 0 ? Attese.Attesa_Lunga : Attese.Attesa_Breve;
  switch (net::wait_ready(Socket_Di(Indice), Verso, Attesa)) {
    case net::Readiness::kReady:
      return true;
    case net::Readiness::kTimedOut:
      Riga_Debug("Sock_Check - Time out");
      return false;
    case net::Readiness::kFailed:
      Riga_Debug("Sock_Check - Socket Error");
      if (Debug_Attivo) host::DoEvents();
      return false;
    case net::Readiness::kException:
      Riga_Debug("Sock_Check - Exception");
      if (Debug_Attivo) host::DoEvents();
      return false;
  }
  return false;
}

bool Sock_Read(int32_t Indice, int32_t Lunghezza) {
  if (Lunghezza < 1 || Lunghezza > kMassimo_Record) return false;
  if (Debug_Attivo && Byte_In_Buffer >= Lunghezza) {
    Riga_Debug("Sock_Read  " + Cifre(Lunghezza, 5) + " - -----   " + Cifre(Byte_In_Buffer, 5));
  }
  if (!Riempi_Buffer(Indice, Lunghezza, "Sock_Read  ", Lunghezza)) return false;
  std::memcpy(Buffer_Record.data(), Buffer_Ricezione.data(), static_cast<std::size_t>(Lunghezza));
  Togli_Dal_Buffer(Lunghezza);
  return true;
}

void Sock_Write(int32_t Indice, const std::string& Testo, int32_t Lunghezza) {
  if (Lunghezza < 1) return;
  // Exactly Lunghezza bytes: the text cut to that length, then translated blanks. Requests are
  // short: they are built on the stack (a download sends thousands), longer texts in the heap.
  // Never a buffer shared between calls: the events pumped below may send a request of their own.
  std::array<uint8_t, 512> Breve;
  std::vector<uint8_t> Lungo;
  const auto Totale = static_cast<std::size_t>(Lunghezza);
  if (Totale > Breve.size()) Lungo.resize(Totale);
  const std::span<uint8_t> Dati(Totale > Breve.size() ? Lungo.data() : Breve.data(), Totale);
  std::fill(Dati.begin(), Dati.end(), Tabella_Inversa[static_cast<uint8_t>(' ')]);
  const std::size_t n = std::min(Testo.size(), Dati.size());
  for (std::size_t i = 0; i < n; ++i) Dati[i] = Tabella_Inversa[static_cast<uint8_t>(Testo[i])];

  const auto Chi = [&] { return "Sock_Write " + Cifre(Lunghezza, 5); };
  const net::Socket s = Socket_Di(Indice);
  std::size_t Inviati = 0;
  int32_t Errori = 0;
  while (Inviati < Dati.size()) {
    // Sent at once while the socket has room, as for reads: only a send that moves nothing (and
    // not because the link is gone) waits for the socket to be writable and tries again.
    net::Transfer t = s != net::kNoSocket ? net::send_some(s, Dati.data() + Inviati, Dati.size() - Inviati)
                                          : net::Transfer{};
    bool Pronto = t.bytes >= 1 || t.closed;
    if (!Pronto && Sock_Check(Indice, "W", 1)) {
      t = net::send_some(s, Dati.data() + Inviati, Dati.size() - Inviati);
      Pronto = true;
    }
    if (Pronto) {
      // Only the part not sent yet, never the whole buffer again.
      if (t.bytes >= 1) {
        Inviati += t.bytes;
        if (Debug_Attivo) Riga_Debug(Chi() + " - inviati " + Cifre(static_cast<int64_t>(t.bytes), 5));
      } else {
        ++Errori;
        if (Debug_Attivo) Riga_Debug(Chi() + " - nessun dato inviato - " + std::to_string(Errori));
        if (t.closed) return;  // the connection is gone: nothing more can be sent
      }
    } else {
      ++Errori;
      if (Debug_Attivo) Riga_Debug(Chi() + " - non si pu\xF2 inviare");
    }
    if (Errori > Attese.Tentativi_Massimi) return;
    host::DoEvents();
  }
}

void Sock_Svuota(int32_t Indice) {
  Byte_In_Buffer = 0;
  const net::Socket s = Socket_Di(Indice);
  if (s == net::kNoSocket) return;
  // What has already arrived is dropped too, in a bounded number of receives: a server that
  // keeps sending cannot hold the caller here.
  for (int giro = 0; giro < 64; ++giro) {
    const net::Transfer t = net::receive(s, Buffer_Ricezione.data(), kCapienza_Ricezione);
    if (t.bytes == 0) break;
  }
}

bool Sock_Scarta(int32_t Indice, int32_t Lunghezza) {
  while (Lunghezza > 0) {
    if (Byte_In_Buffer == 0 && !Riempi_Buffer(Indice, 1, "Sock_Scarta ", Lunghezza)) return false;
    const int32_t n = std::min(Lunghezza, Byte_In_Buffer);
    Togli_Dal_Buffer(n);
    Lunghezza -= n;
  }
  return true;
}

std::string Nome_Host() {
  std::string Nome;
  if (!net::host_name(Nome)) return "";
  return Nome;
}

std::string Indirizzo_Locale(int32_t Indice) {
  uint32_t Indirizzo = 0;
  uint16_t Porta = 0;
  if (!net::local_address(Socket_Di(Indice), Indirizzo, Porta)) return "";
  return Indirizzo_Testo(static_cast<int32_t>(Indirizzo));
}

std::string Porta_Locale(int32_t Indice) {
  uint32_t Indirizzo = 0;
  uint16_t Porta = 0;
  if (!net::local_address(Socket_Di(Indice), Indirizzo, Porta)) return "";
  // Held as a 16-bit Integer, as the login request expects it.
  return std::to_string(static_cast<int16_t>(Porta));
}

int32_t Risolvi_Host(const std::string& Host) {
  uint32_t Indirizzo = 0;
  if (!net::resolve(Host, Indirizzo)) return -1;
  return static_cast<int32_t>(Indirizzo);  // 255.255.255.255 is -1 too: never usable
}

std::string Indirizzo_Testo(int32_t Indirizzo) {
  std::string Testo = net::address_text(static_cast<uint32_t>(Indirizzo));
  if (Testo.empty()) return "255.255.255.255";
  if (Testo.size() > 32) Testo.resize(32);
  return Testo;
}

int32_t Imposta_Linger(int32_t Socket, int16_t Attivo, int16_t Secondi) {
  return net::set_linger(Socket, Attivo != 0, Secondi) ? 0 : -1;
}

}  // namespace kyx
