#pragma once
// Module Socket: the program's only link to the data server. It keeps up to three sockets (the
// program uses slot 1), reads replies as fixed-length records into the shared record buffer,
// sends fixed-length requests, and translates every character between Windows-1252 and the
// server's byte code through the code table file KYX.Tbl. Everything above speaks in whole
// records of known length: read exactly n bytes, send exactly n characters.
//
// All waiting is polling in short steps with a pump of the window events (DoEvents) between them,
// so that the windows stay alive, bounded by one deadline of silence per reply. When the debug
// option is on, every step writes a line into the debug log.
#include <array>
#include <chrono>
#include <cstdint>
#include <string>

namespace kyx {

// ---- Module state (Sock_Start, Sock_Connect, Sock_Read) ----------------------------------------
extern bool Winsock_Attivo;                 // sockets usable and the code table loaded
// Socket handles by slot; -1 when the slot holds no open socket.
extern std::array<int32_t, 3> Socket_Aperti;
extern std::array<uint8_t, 256> Tabella_Caratteri;  // wire byte -> Windows-1252 code
extern std::array<uint8_t, 256> Tabella_Inversa;    // Windows-1252 code -> wire byte
// Text of a packed-decimal byte (two digits, or a digit and the blank of a sign half-byte), by
// the byte's value; bytes from 160 (a high half-byte above 9) are not valid packed digits.
extern std::array<std::string, 160> Tabella_Packed;
// Bytes received and not yet handed out, always packed at the front.
extern std::array<uint8_t, 16385> Buffer_Ricezione;
extern int32_t Byte_In_Buffer;
// The last record handed out by Sock_Read; position 1 of the record is index 0.
extern std::array<uint8_t, 16385> Buffer_Record;

// The waits of the module. A reply may fall silent for at most Attesa_Risposta (30 seconds, or
// the milliseconds of the environment variable KYX_ATTESA_RISPOSTA when it is set, which tests
// use to shorten it): the silence starts again with every byte that arrives, so a long reply that
// keeps coming is never cut, and a reply that stops ends after one deadline. While a read or a
// write waits, the window events run every Passo. The long wait of Sock_Check (20 seconds) also
// bounds a connect.
struct Attese_Socket {
  std::chrono::milliseconds Attesa_Lunga{20000};
  std::chrono::milliseconds Attesa_Breve{1000};
  std::chrono::milliseconds Attesa_Risposta = Attesa_Risposta_Predefinita();
  std::chrono::milliseconds Passo{50};
  // After this much silence the status bar says what is awaited.
  std::chrono::milliseconds Avviso{700};

  // 30 seconds, or KYX_ATTESA_RISPOSTA (milliseconds, 1 .. 30000) when set.
  static std::chrono::milliseconds Attesa_Risposta_Predefinita();
};
extern Attese_Socket Attese;

namespace sock {
// Closes every open socket and brings the module back to its state at program start (no table,
// sockets not started, empty buffers, default waits), so tests start clean.
void reset();
}  // namespace sock

// ---- Operations -----------------------------------------------------------------------------

// Starts the module: loads the code table from `Percorso` (6-byte header, then 256 bytes) and
// builds Tabella_Inversa and Tabella_Packed. Returns Winsock_Attivo. A second call while started
// returns true and keeps the tables. A missing or short table file makes the call fail (and is
// never created): with an empty table every byte would travel as 0.
bool Sock_Start(std::string& Descrizione, const std::string& Percorso);
// Closes every socket still open and marks the module stopped.
void Sock_Stop();

// Connects slot `Indice` to Host:Porta (low 16 bits of Porta). Esito receives "address:port".
// hWnd and Asincrono are accepted as the callers pass them; no window is notified, since all
// reading and writing is driven by Sock_Check polling. Returns -1 when connected, 0 on failure.
int16_t Sock_Connect(int32_t Indice, const std::string& Host, int32_t Porta, std::string& Esito,
                     int32_t hWnd, bool Asincrono);
// Closes the socket of slot `Indice`; an empty slot is left alone.
void Sock_Close(int32_t Indice);

// Reads exactly Lunghezza (1..8192) bytes into Buffer_Record; false when they do not come (a
// silence of Attese.Attesa_Risposta, a dropped connection, no socket), leaving Buffer_Record as
// it was, the bytes received so far in Buffer_Ricezione, and the reason in Motivo_Socket.
bool Sock_Read(int32_t Indice, int32_t Lunghezza);
// Sends exactly Lunghezza bytes: Testo translated, cut to Lunghezza or padded with blanks. There
// is no result: a write that gives up shows as a failed read of the reply.
void Sock_Write(int32_t Indice, const std::string& Testo, int32_t Lunghezza);
// True when the socket of slot `Indice` is ready for Modo "R" (read) or "W" (write) within the
// long wait (Secondi <> 0) or the short one (Secondi = 0).
bool Sock_Check(int32_t Indice, const std::string& Modo, int16_t Secondi);

// Why the last read, discard or write of the module failed, in words for the user ("nessun dato
// dal server per 30 secondi", "il server ha chiuso il collegamento", ...); "" after a success.
extern std::string Motivo_Socket;
// The head of the last request sent (its first six characters: letter and body length), so that
// the wait and the failure of its reply can name it; "" after a connect, when the server's
// greeting is awaited.
extern std::string Richiesta_Corrente;

// Resynchronising after a failed exchange (a time-out, an oversized length, a dropped
// connection), for the reply framing: Sock_Svuota drops every byte buffered and every byte the
// connection already holds, without waiting; Sock_Scarta reads and throws away exactly
// Lunghezza bytes (any number) with the waits of Sock_Read, leaving Buffer_Record untouched.
void Sock_Svuota(int32_t Indice);
bool Sock_Scarta(int32_t Indice, int32_t Lunghezza);

// The workstation's host name; "" on failure.
std::string Nome_Host();
// Dotted local address of slot `Indice`'s socket; "" on failure.
std::string Indirizzo_Locale(int32_t Indice);
// Local port of slot `Indice`'s socket as the decimal text of a signed 16-bit number (a port
// above 32767 shows as the port minus 65536, which the login request relies on); "" on failure.
std::string Porta_Locale(int32_t Indice);
// IPv4 address of a dotted text or a host name, in network byte order; -1 when it cannot be
// resolved (so "255.255.255.255" cannot be a server address).
int32_t Risolvi_Host(const std::string& Host);
// Dotted text of an address in network byte order, at most 32 characters.
std::string Indirizzo_Testo(int32_t Indirizzo);
// SO_LINGER on a socket handle: 0 when set and read back, -1 on failure.
int32_t Imposta_Linger(int32_t Socket, int16_t Attivo, int16_t Secondi);

}  // namespace kyx
