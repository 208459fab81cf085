// Module Socket: transport of fixed-length records to and from the data server, and the code
// table that translates every character. Built on the TCP client of platform/net.
#include "server/socket.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "common/stato.h"
#include "platform/files/files.h"
#include "platform/host/host.h"
#include "platform/net/net.h"
#include "platform/vb/vb.h"
#include "server/richieste.h"

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
std::string Motivo_Socket;
std::string Richiesta_Corrente;

std::chrono::milliseconds Attese_Socket::Attesa_Risposta_Predefinita() {
  constexpr int64_t kMassimo = 30000;
  const char* Testo = std::getenv("KYX_ATTESA_RISPOSTA");
  if (Testo == nullptr || *Testo == '\0') return std::chrono::milliseconds(kMassimo);
  char* Fine = nullptr;
  const long long ms = std::strtoll(Testo, &Fine, 10);
  if (Fine == Testo || *Fine != '\0' || ms < 1) return std::chrono::milliseconds(kMassimo);
  return std::chrono::milliseconds(std::min<long long>(ms, kMassimo));
}

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

using Orologio = std::chrono::steady_clock;

std::chrono::milliseconds Millisecondi(Orologio::duration d) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(d);
}

// Says in the status bar's "Stato" panel what a wait is waiting for, once the silence has lasted
// Attese.Avviso, with the seconds waited so far; the text the panel showed before comes back when
// the wait ends, however it ends.
class Avviso_Attesa {
 public:
  ~Avviso_Attesa() {
    if (Mostrato_) host::host().SetPanel("Stato", Prima_);
  }
  void Silenzio(Orologio::duration Durata) {
    if (Durata < Attese.Avviso) return;
    const auto Secondi = std::chrono::duration_cast<std::chrono::seconds>(Durata).count();
    if (Mostrato_ && Secondi == Secondi_) return;
    if (!Mostrato_) Prima_ = host::host().Panel("Stato");
    Mostrato_ = true;
    Secondi_ = Secondi;
    const auto Limite = std::chrono::duration_cast<std::chrono::seconds>(Attese.Attesa_Risposta).count();
    host::host().SetPanel("Stato", "In attesa del server: " + Nome_Risposta(Richiesta_Corrente) + " (" +
                                       std::to_string(Secondi) + " s di " + std::to_string(std::max<int64_t>(Limite, 1)) +
                                       ")");
  }

 private:
  bool Mostrato_ = false;
  int64_t Secondi_ = -1;
  std::string Prima_;
};

// The reason of a deadline that passed, for Motivo_Socket.
std::string Motivo_Silenzio() {
  const auto ms = Attese.Attesa_Risposta.count();
  if (ms % 1000 == 0) return "nessun dato dal server per " + std::to_string(ms / 1000) + " secondi";
  return "nessun dato dal server per " + vb::Format(static_cast<double>(ms) / 1000.0, "0.0##") + " secondi";
}

// Receives until at least `Richiesti` bytes (at most kMassimo_Record) stand in
// Buffer_Ricezione. Gives up when nothing has arrived for Attese.Attesa_Risposta (every byte
// that arrives starts the silence again) or at once when the connection is gone, since no later
// try could bring a byte. Between short waits the window events run, and after a while the
// status bar says what is awaited. `Chi` and `L` name the caller in the debug lines.
//
// Bytes that have already arrived are taken without a wait: a reply usually comes whole, and
// asking the system whether the socket is readable before each receive doubled the calls per
// block. Only a receive that finds nothing waits and receives again.
bool Riempi_Buffer(int32_t Indice, int32_t Richiesti, const char* Chi, int32_t L) {
  int32_t Errori = 0;
  const net::Socket s = Socket_Di(Indice);
  Motivo_Socket.clear();
  if (s == net::kNoSocket) {
    if (Debug_Attivo) Riga_Debug("Sock_Check - Socket Error");
    Motivo_Socket = "il collegamento con il server non \xE8 aperto";
    return false;
  }
  auto Ultimo_Dato = Orologio::now();
  Avviso_Attesa Avviso;
  while (Byte_In_Buffer < Richiesti) {
    const net::Transfer letti = net::receive(s, Buffer_Ricezione.data() + Byte_In_Buffer,
                                             static_cast<std::size_t>(kCapienza_Ricezione - Byte_In_Buffer));
    if (letti.bytes >= 1) {
      Byte_In_Buffer += static_cast<int32_t>(letti.bytes);
      Ultimo_Dato = Orologio::now();
      if (Debug_Attivo) {
        Riga_Debug(Chi + Cifre(L, 5) + " - letti   " + Cifre(static_cast<int64_t>(letti.bytes), 5));
      }
      continue;
    }
    if (letti.closed) {
      ++Errori;
      if (Debug_Attivo) Riga_Debug(Chi + Cifre(L, 5) + " - nessun dato letto - " + std::to_string(Errori));
      Motivo_Socket = "il server ha chiuso il collegamento";
      return false;
    }
    const auto Silenzio = Orologio::now() - Ultimo_Dato;
    if (Silenzio >= Attese.Attesa_Risposta) {
      Motivo_Socket = Motivo_Silenzio();
      return false;
    }
    Avviso.Silenzio(Silenzio);
    const auto Resto = Millisecondi(Attese.Attesa_Risposta - Silenzio) + std::chrono::milliseconds(1);
    switch (net::wait_ready(s, net::Direction::kRead, std::min(Attese.Passo, Resto))) {
      case net::Readiness::kReady:
        break;
      case net::Readiness::kTimedOut:
        ++Errori;
        if (Debug_Attivo) {
          Riga_Debug("Sock_Check - Time out");
          Riga_Debug(Chi + Cifre(L, 5) + " - non si pu\xF2 leggere - " + std::to_string(Errori));
        }
        break;
      case net::Readiness::kException:
      case net::Readiness::kFailed:
        if (Debug_Attivo) Riga_Debug("Sock_Check - Socket Error");
        Motivo_Socket = "errore del collegamento con il server";
        return false;
    }
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
  Motivo_Socket.clear();
  Richiesta_Corrente.clear();
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
  Richiesta_Corrente.clear();  // what comes first is the server's greeting
  Motivo_Socket.clear();
  if (!Slot_Valido(Indice) || !Winsock_Attivo) {
    Motivo_Socket = "i collegamenti di rete non sono disponibili";
    return 0;
  }
  const int32_t Indirizzo = Risolvi_Host(Host);
  if (Indirizzo == -1) {
    Motivo_Socket = "il nome del server \"" + Host + "\" non corrisponde a nessun indirizzo";
    return 0;
  }
  Esito = Indirizzo_Testo(Indirizzo) + ":" + std::to_string(Porta);

  // A socket still open in the slot would be lost: close it first.
  Sock_Close(Indice);
  net::Socket s = net::kNoSocket;
  if (net::Status st = net::open_socket(s); !st) {
    Motivo_Socket = st.message();
    return 0;
  }
  Socket_Aperti[static_cast<std::size_t>(Indice)] = s;
  // Linger on with 0 seconds: closing resets the connection at once.
  if (Imposta_Linger(s, 1, 0) == -1) {
    Sock_Close(Indice);
    Motivo_Socket = "impostazione del collegamento non riuscita";
    return 0;
  }
  // Bounded like every other wait of the module (instead of the system's minutes-long retries),
  // with the window events running meanwhile.
  bool In_Corso = false;
  net::Status st = net::connect_start(s, static_cast<uint32_t>(Indirizzo), static_cast<uint16_t>(Porta & 0xFFFF),
                                      &In_Corso);
  const auto Limite = std::min(Attese.Attesa_Lunga, Attese.Attesa_Risposta);
  const auto Inizio = Orologio::now();
  while (st && In_Corso) {
    const auto Trascorso = Orologio::now() - Inizio;
    if (Trascorso >= Limite) {
      st = net::Status::Error("nessuna risposta da " + Esito + " entro " +
                              std::to_string(std::max<int64_t>(Limite.count() / 1000, 1)) + " secondi");
      break;
    }
    const auto Resto = Millisecondi(Limite - Trascorso) + std::chrono::milliseconds(1);
    if (net::wait_ready(s, net::Direction::kWrite, std::min(Attese.Passo, Resto)) == net::Readiness::kReady) {
      st = net::connect_finish(s);
      break;
    }
    host::DoEvents();
  }
  if (!st) {
    Sock_Close(Indice);
    Motivo_Socket = st.message();
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
  // The reply that follows answers this request: its wait and its failure name it.
  Richiesta_Corrente = Testo.substr(0, std::min<std::size_t>(6, static_cast<std::size_t>(Lunghezza)));
  Motivo_Socket.clear();
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
  auto Ultimo_Invio = Orologio::now();
  while (Inviati < Dati.size()) {
    // Sent at once while the socket has room, as for reads: only a send that moves nothing (and
    // not because the link is gone) waits for the socket to be writable and tries again.
    const net::Transfer t = s != net::kNoSocket ? net::send_some(s, Dati.data() + Inviati, Dati.size() - Inviati)
                                                : net::Transfer{0, true, ""};
    if (t.bytes >= 1) {
      // Only the part not sent yet, never the whole buffer again.
      Inviati += t.bytes;
      Ultimo_Invio = Orologio::now();
      if (Debug_Attivo) Riga_Debug(Chi() + " - inviati " + Cifre(static_cast<int64_t>(t.bytes), 5));
      continue;
    }
    if (t.closed) {
      // The connection is gone: nothing more can be sent.
      ++Errori;
      if (Debug_Attivo) Riga_Debug(Chi() + " - nessun dato inviato - " + std::to_string(Errori));
      Motivo_Socket = s == net::kNoSocket ? "il collegamento con il server non \xE8 aperto"
                                          : "il server ha chiuso il collegamento";
      return;
    }
    const auto Fermo = Orologio::now() - Ultimo_Invio;
    if (Fermo >= Attese.Attesa_Risposta) {
      Motivo_Socket = "il server non accetta dati da " + std::to_string(Attese.Attesa_Risposta.count() / 1000) +
                      " secondi";
      return;
    }
    const auto Resto = Millisecondi(Attese.Attesa_Risposta - Fermo) + std::chrono::milliseconds(1);
    if (net::wait_ready(s, net::Direction::kWrite, std::min(Attese.Passo, Resto)) != net::Readiness::kReady) {
      ++Errori;
      if (Debug_Attivo) Riga_Debug(Chi() + " - non si pu\xF2 inviare");
    }
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
