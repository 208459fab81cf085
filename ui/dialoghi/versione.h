#pragma once
// The program's version information, as the dialogs show it in their "Release" label: major,
// minor and revision joined by ".", three blanks, and the comment of the version information.
#include <string>

namespace kyx {

inline constexpr int kVersione_Maggiore = 1;
inline constexpr int kVersione_Minore = 0;
inline constexpr int kVersione_Revisione = 0;
inline constexpr char kVersione_Commento[] = "Linux";

inline std::string Testo_Versione() {
  return std::to_string(kVersione_Maggiore) + "." + std::to_string(kVersione_Minore) + "." +
         std::to_string(kVersione_Revisione) + "   " + kVersione_Commento;
}

}  // namespace kyx
