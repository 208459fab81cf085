// Request and reply framing on socket 1, and the one way a lost link ends.
#include "server/risposta.h"

#include "common/stato.h"
#include "platform/host/host.h"
#include "platform/vb/vb.h"
#include "server/agganci_server.h"
#include "server/campo.h"
#include "server/richieste.h"
#include "server/socket.h"

namespace kyx {

int32_t Errori_Risposta = 0;
std::string Esito_Collegamento;

void Messaggio_Critico(const std::string& Testo) {
  host::MsgBox(Testo, host::vbOKOnly | host::vbCritical, Titolo_Programma);
}

void Collegamento_Perso(const std::string& Errore, bool In_Finestra) {
  ++Errori_Risposta;
  const bool Era_Aperto = Collegamento_Attivo();
  const bool Era_Connesso = Connesso;
  // Whatever arrives later could only be misread: it is dropped with the link.
  Sock_Svuota(1);
  Sock_Close(1);
  Connesso = false;
  if (Era_Connesso && agganci_server::Collegamento_Chiuso) agganci_server::Collegamento_Chiuso();
  if (!Era_Aperto && !Era_Connesso) return;  // said already, when the link was lost

  const std::string Motivo = Motivo_Socket.empty() ? "collegamento interrotto" : Motivo_Socket;
  const std::string Mancante = "il server non ha inviato " + Nome_Risposta(Richiesta_Corrente) + ": " + Motivo;
  if (!In_Finestra) {
    Esito_Collegamento = (Errore.empty() ? std::string() : Errore + " - ") + "Collegamento chiuso, " + Mancante;
    host::host().SetPanel("Stato", Esito_Collegamento);
    return;
  }
  std::string Testo = Errore.empty() ? std::string() : Errore + "\r\r";
  Testo += "Collegamento con il server chiuso:\r" + Mancante + ".";
  Messaggio_Critico(Testo);
}

void Risposta_Rifiutata(const std::string& Errore, const std::string& Motivo) {
  ++Errori_Risposta;
  std::string Testo = Errore.empty() ? std::string() : Errore + "\r\r";
  Testo += "Risposta del server non valida: " + Nome_Risposta(Richiesta_Corrente) + ",\r" + Motivo +
           ".\rNiente di questa risposta \xE8 stato registrato.";
  Messaggio_Critico(Testo);
}

void Invia_Richiesta(const std::string& Richiesta) {
  Sock_Write(1, Richiesta, static_cast<int32_t>(Richiesta.size()));
}

bool Collegamento_Attivo() { return Socket_Aperti[1] >= 0; }

int32_t Base_File__Lettura() {
  if (!Sock_Read(1, 6)) {
    Collegamento_Perso("Errore 012 - Base_File__Lettura");
    return -1;
  }
  const std::string Stato = Campo("A", 1, 1, 1, 0);
  // A length that is no number leaves the reply without an end: nothing after it can be framed.
  if (!Numero_Valido('S', 2, 5)) {
    Motivo_Socket = "la lunghezza della risposta non \xE8 un numero";
    Collegamento_Perso("Errore 014 - Base_File__Lettura");
    return -1;
  }
  const int32_t Lunghezza = static_cast<int32_t>(vb::Val(Campo("S", 2, 5, 5, 0)));
  if (Stato != "0") {
    // The refusal comes with the payload it announces; left unread, its bytes would be taken
    // for the head of the next reply.
    if (Lunghezza > 0 && !Sock_Scarta(1, Lunghezza)) {
      Collegamento_Perso("Errore 013 - Base_File__Lettura");
      return -1;
    }
    Risposta_Rifiutata("Errore 013 - Base_File__Lettura", "il server ha risposto con lo stato \"" + Stato + "\"");
    return -1;
  }
  if (Lunghezza < 1) return Lunghezza;
  if (Lunghezza > kMassimo_Risposta) {
    Motivo_Socket = "la risposta annuncia " + std::to_string(Lunghezza) + " byte, al massimo " +
                    std::to_string(kMassimo_Risposta);
    Collegamento_Perso("Errore 014 - Base_File__Lettura");
    return -1;
  }
  if (!Sock_Read(1, Lunghezza)) {
    Collegamento_Perso("Errore 014 - Base_File__Lettura");
    return -1;
  }
  return Lunghezza;
}

}  // namespace kyx
