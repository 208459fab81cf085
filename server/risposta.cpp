// Request and reply framing on socket 1.
#include "server/risposta.h"

#include "common/stato.h"
#include "platform/host/host.h"
#include "platform/vb/vb.h"
#include "server/campo.h"
#include "server/socket.h"

namespace kyx {

int32_t Errori_Risposta = 0;

namespace {

// Gives the link up: every byte already received or still in transit is dropped and socket 1
// closed, so no later read can take part of this reply for the head of the next one.
void Interrompi_Collegamento() {
  Sock_Svuota(1);
  Sock_Close(1);
}

// A reply error: counted, and shown.
void Errore_Risposta(const char* Testo) {
  ++Errori_Risposta;
  Messaggio_Critico(Testo);
}

}  // namespace

void Messaggio_Critico(const std::string& Testo) {
  host::MsgBox(Testo, host::vbOKOnly | host::vbCritical, Titolo_Programma);
}

void Invia_Richiesta(const std::string& Richiesta) {
  Sock_Write(1, Richiesta, static_cast<int32_t>(Richiesta.size()));
}

bool Collegamento_Attivo() { return Socket_Aperti[1] >= 0; }

int32_t Base_File__Lettura() {
  if (!Sock_Read(1, 6)) {
    Interrompi_Collegamento();
    Errore_Risposta("Errore 012 - Base_File__Lettura");
    return -1;
  }
  const std::string Stato = Campo("A", 1, 1, 1, 0);
  const int32_t Lunghezza = static_cast<int32_t>(vb::Val(Campo("S", 2, 5, 5, 0)));
  if (Stato != "0") {
    // The refusal comes with the payload it announces; left unread, its bytes would be taken
    // for the head of the next reply.
    if (Lunghezza > 0 && !Sock_Scarta(1, Lunghezza)) Interrompi_Collegamento();
    Errore_Risposta("Errore 013 - Base_File__Lettura");
    return -1;
  }
  if (Lunghezza < 1) return Lunghezza;
  if (Lunghezza > kMassimo_Risposta || !Sock_Read(1, Lunghezza)) {
    Interrompi_Collegamento();
    Errore_Risposta("Errore 014 - Base_File__Lettura");
    return -1;
  }
  return Lunghezza;
}

}  // namespace kyx
