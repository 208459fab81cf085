#pragma once
// The names of the data server's requests, for the user: what the status bar says is awaited and
// what a failure message says did not come.
#include <string>

namespace kyx {

// What answers the request whose head (letter and body length, "a00022") is `Testa`: "la
// risposta al login", "un blocco delle definizioni", ... "" names the greeting the server sends
// when the connection opens ("il saluto iniziale"). An unknown letter gives "la risposta alla richiesta" and the letter.
std::string Nome_Risposta(const std::string& Testa);

}  // namespace kyx
