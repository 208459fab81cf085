#pragma once
// The cells both sides of the export benchmark write: per row two texts (a code and a name) and
// eighteen amounts, the same for every program and every run; and how the memory of a side is read.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
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

// A figure of /proc/self/status in kB (-1 when missing).
inline long Stato_Kb(const char* voce) {
  std::ifstream f("/proc/self/status");
  std::string riga;
  while (std::getline(f, riga)) {
    if (riga.rfind(voce, 0) == 0) return std::atol(riga.c_str() + std::string(voce).size());
  }
  return -1;
}
inline long Picco_Kb() { return Stato_Kb("VmHWM:"); }
// The resident memory now, after which the peak starts again from it (clear_refs 5), so that the
// peak read at the end is the export's own.
inline long Inizio_Misura_Kb() {
  std::ofstream("/proc/self/clear_refs") << "5";
  return Stato_Kb("VmRSS:");
}

}  // namespace kyx::bench
