#pragma once
// The cells both sides of the export benchmark write: per row two texts (a code and a name) and
// eighteen amounts, the same for every program and every run.
#include <cstdint>
#include <cstdio>
#include <string>

namespace kyx::bench {

inline constexpr int kColonne = 20;
inline constexpr int kTesti = 2;
inline constexpr const char* kFormato = "#,##0.00";

inline std::string Codice(int64_t riga) {
  char b[32];
  std::snprintf(b, sizeof b, "C%07lld", static_cast<long long>(riga));
  return b;
}
inline std::string Nome(int64_t riga) { return "Cliente " + std::to_string(riga % 9973) + " S.r.l."; }
// Amount of column c (kTesti .. kColonne - 1) in row `riga`: cents, up to 10 million.
inline double Importo(int64_t riga, int c) {
  return static_cast<double>((riga * 7919 + c * 104729) % 1000000000) / 100.0;
}
inline std::string Intestazione(int c) { return "Colonna " + std::to_string(c + 1); }

}  // namespace kyx::bench
