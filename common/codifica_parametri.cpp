#include "common/codifica_parametri.h"

#include <cstdint>
#include <string_view>

#include "platform/text/cp1252.h"

namespace kyx {
namespace {

bool Codificabile(int c) { return c >= 32 && c <= 123; }

int Codice(char c) { return static_cast<unsigned char>(c); }

// The fields are cut or padded to their width, the password with "^" standing for its blanks.
std::string Campo_Password(std::string_view password) {
  std::string p(password);
  for (char& c : p) {
    if (c == ' ') c = '^';
  }
  return text::fixed(p, 10, '^');
}

std::string Testo_Check(int64_t somma) { return std::to_string(7 * somma); }

}  // namespace

std::string Blocco_Parametri(const std::string& Server, const std::string& Porta,
                             const std::string& Utente, const std::string& Password) {
  return text::fixed(Server, 50) + text::fixed(Porta, 5) + text::fixed(Utente, 10) +
         Campo_Password(Password);
}

bool Codifica_Parametri(const std::string& Testo, std::string& Codificato, std::string& Check) {
  Codificato.clear();
  Check.clear();
  for (char c : Testo) {
    if (!Codificabile(Codice(c))) return false;
  }
  Codifica_Testo(Testo, Codificato, Check);
  return true;
}

void Codifica_Testo(const std::string& Testo, std::string& Codificato, std::string& Check) {
  const int64_t L = static_cast<int64_t>(Testo.size());
  std::string uscita;
  uscita.reserve(Testo.size());
  int64_t somma = 0;
  for (int64_t i = 1; i <= L; ++i) {
    // The even positions first, then the odd ones from the end: for 75 characters 2, 4, .., 74,
    // then 75, 73, .., 1. The test is L / 2 >= i taken as a real number, i.e. 2i <= L.
    const int64_t p = (2 * i <= L) ? 2 * i : 2 * L + 1 - 2 * i;
    const int c = Codice(Testo[static_cast<size_t>(p - 1)]);
    somma += (i % 2 == 1) ? 3 * c : 5 * c;
    if (!Codificabile(c)) {
      uscita += text::kFiller;
      continue;
    }
    // 32 .. 77 go onto the odd codes 33 .. 123, 78 .. 123 onto the even codes 122 .. 32.
    const int k = c - 31;
    const int m = (k <= 46) ? 2 * k : 185 - 2 * k;
    uscita += static_cast<char>(m + 31);
  }
  Codificato = std::move(uscita);
  Check = Testo_Check(somma);
}

std::string Valore_Ini_Protetto(const std::string& Codificato) {
  auto delicato = [](char c) { return c == ' ' || c == '"' || c == '\''; };
  if (!Codificato.empty() && (delicato(Codificato.front()) || delicato(Codificato.back())))
    return "\"" + Codificato + "\"";
  return Codificato;
}

void Decodifica_Parametri(std::string& Testo, const std::string& Codificato, std::string& Check) {
  Testo.clear();
  const int64_t L = static_cast<int64_t>(Codificato.size());
  int64_t somma = 0;
  for (int64_t i = 1; i <= L; ++i) {
    const int64_t p = (i % 2 == 1) ? L - (i - 1) / 2 : i / 2;
    const int c = Codice(Codificato[static_cast<size_t>(p - 1)]);
    if (Codificabile(c)) {
      const int k = (c % 2 == 1) ? c - 31 : 216 - c;
      const int d = k / 2 + 31;
      Testo += static_cast<char>(d);
      somma += (p % 2 == 1) ? 3 * d : 5 * d;
    } else {
      Testo += text::kFiller;
    }
  }
  Check = Testo_Check(somma);
}

}  // namespace kyx
