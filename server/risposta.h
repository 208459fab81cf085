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
//   "Errore 014 - Base_File__Lettura": the payload did not come, its length is no number, or it is
//   longer than one read.
// A refused reply still carries its payload: it is read and thrown away, so that the next reply
// starts where it should, and the link stays. When the link can no longer be trusted (a silence,
// a dropped connection, a length the buffer cannot take) the link is given up through
// Collegamento_Perso, whose message carries the numbered text.
int32_t Base_File__Lettura();

// Reply errors reported (Base_File__Lettura, Collegamento_Perso, Risposta_Rifiutata) since the
// program started; the login compares it
// before and after its downloads.
extern int32_t Errori_Risposta;

// Socket 1 is still open: no reply failure has closed the link since it was connected.
bool Collegamento_Attivo();

// The critical message box of the server link, titled Titolo_Programma.
void Messaggio_Critico(const std::string& Testo);

// The one way a lost link ends, whatever remote action found it (login, description update,
// data-set download, elaboration, drill, favourite refresh): every byte still buffered or in
// transit is dropped, socket 1 closed, Connesso cleared and the toolbar told; and the user is
// told once: `Errore` (the step's own numbered message; may be ""), which reply did not come and
// why (Richiesta_Corrente, Motivo_Socket), and that the link is closed. In_Finestra false puts
// one line into the status bar's "Stato" panel instead of a message box, for the login steps
// that show no message. When the link was already closed and the program is not connected,
// nothing more is said. Counts a reply error.
void Collegamento_Perso(const std::string& Errore, bool In_Finestra = true);

// A reply that came whole but cannot be used (a refusal, a field that is not a number, a time
// that is no time): `Errore` and a line naming the reply and `Motivo`, and that nothing of it was
// stored. The link stays open: the reply was read to its end. Counts a reply error.
void Risposta_Rifiutata(const std::string& Errore, const std::string& Motivo);

// The text of the last Collegamento_Perso that went to the status bar, for the caller that
// redraws the bar afterwards; "" when none since the last Sock_Connect of the login.
extern std::string Esito_Collegamento;


}  // namespace kyx
