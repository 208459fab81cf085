#pragma once
// Framing of the exchanges with the data server: a request is a letter, the body length in five
// digits and the body; a reply is a 6-byte head (status "0" = accepted, payload length in five
// zoned digits) followed by the payload. All on socket 1.
#include <cstdint>
#include <string>

namespace kyx {

// The largest payload one read can take (the record buffer of the Socket module).
inline constexpr int32_t kMassimo_Risposta = 8192;

// Sends a whole request (letter, five digits, body) with its own length: nothing is padded.
void Invia_Richiesta(const std::string& Richiesta);

// Reads the reply head and its payload into Buffer_Record (position 1 = the payload's first
// byte). Returns the payload length; -1 after a reported error; the server's own length when it
// is below 1 (nothing more read, no message).
//   "Errore 012 - Base_File__Lettura": the head did not come;
//   "Errore 013 - Base_File__Lettura": status not "0";
//   "Errore 014 - Base_File__Lettura": the payload did not come, or is longer than one read.
// A refused reply still carries its payload: it is read and thrown away, so that the next reply
// starts where it should. When the link can no longer be trusted (a time-out, a dropped
// connection, a length the buffer cannot take, a refused payload that did not come) socket 1 is
// closed and every buffered byte dropped: what arrives later could only be misread.
int32_t Base_File__Lettura();

// Reply errors reported by Base_File__Lettura since the program started; the login compares it
// before and after its downloads.
extern int32_t Errori_Risposta;

// Socket 1 is still open: no reply failure has closed the link since it was connected.
bool Collegamento_Attivo();

// The critical message box of the server link, titled Titolo_Programma.
void Messaggio_Critico(const std::string& Testo);

}  // namespace kyx
