// Names of the data server's replies, by the letter of the request they answer.
#include "server/richieste.h"

namespace kyx {

std::string Nome_Risposta(const std::string& Testa) {
  if (Testa.empty()) return "il saluto iniziale";
  std::string Nome;
  switch (Testa[0]) {
    case 'u': Nome = "la risposta al login"; break;
    case 'a': Nome = "un blocco delle definizioni"; break;
    case 'c': Nome = "un blocco del filtro e della struttura dell'utente"; break;
    case 'b': Nome = "un blocco degli elementi di un layout"; break;
    case 'm': Nome = "un blocco delle righe di drill"; break;
    case 'k': Nome = "l'ora del server"; break;
    case 'd': Nome = "un blocco delle descrizioni"; break;
    case 'l': Nome = "la conferma della richiesta"; break;
    case 'h': Nome = "il risultato di una query"; break;
    case 'i': Nome = "il blocco seguente del risultato"; break;
    case 'e': Nome = "il primo blocco dei dati locali"; break;
    case 'f': Nome = "un blocco dei dati locali"; break;
    case 'g': Nome = "la chiusura dello scarico dei dati locali"; break;
    default: Nome = "la risposta alla richiesta"; break;
  }
  return Nome + " (richiesta \"" + Testa.substr(0, 1) + "\")";
}

}  // namespace kyx
