#include "common/impostazioni.h"

#include <cmath>

#include "common/stato.h"
#include "platform/ini/ini_file.h"
#include "platform/vb/try_val.h"
#include "platform/vb/vb.h"

namespace kyx {

std::string Leggi_Ini(std::string_view Sezione, std::string_view Chiave,
                      std::string_view Predefinito) {
  return ini::IniFile(File_Ini).Read(Sezione, Chiave, Predefinito);
}

bool Scrivi_Ini(std::string_view Sezione, std::string_view Chiave, std::string_view Valore) {
  ini::IniFile file(File_Ini);
  file.set_private(true);
  return file.Write(Sezione, Chiave, Valore);
}

bool Scrivi_Ini_Tutte(const std::vector<ini::IniEntry>& Valori) {
  ini::IniFile file(File_Ini);
  file.set_private(true);
  return file.WriteAll(Valori);
}

std::optional<int32_t> Valore_Intero(std::string_view Testo) {
  if (!vb::IsNumeric(Testo)) return std::nullopt;
  // A number too large for a Double ("1E999") is as unreadable as text.
  const auto letto = vb::TryVal(Testo);
  if (!letto) return std::nullopt;
  const double arrotondato = vb::RoundHalfEven(*letto);
  // A value beyond the 32-bit range would overflow the variable it is meant for.
  if (!std::isfinite(arrotondato) || arrotondato < -2147483648.0 || arrotondato > 2147483647.0)
    return std::nullopt;
  return static_cast<int32_t>(arrotondato);
}

std::optional<double> Valore_Decimale(std::string_view Testo) {
  const std::string punto =
      Separatore_Decimale.empty() ? std::string(Testo)
                                  : vb::Replace(Testo, Separatore_Decimale, ".");
  // Written under one locale, the value may be read under another: it is a number when either
  // form is.
  if (!vb::IsNumeric(Testo) && !vb::IsNumeric(punto)) return std::nullopt;
  const auto valore = vb::TryVal(punto);
  if (!valore || !std::isfinite(*valore)) return std::nullopt;
  return valore;
}

std::string Valore_Cartella(std::string_view Testo) {
  if (!Testo.empty() && Testo[0] == '\\' && (Testo.size() < 2 || Testo[1] != '\\'))
    return Cartella_Programma + std::string(Testo.substr(1));
  return std::string(Testo);
}

void Valore_Colori(std::string_view Testo, int32_t& Primo_Piano, int32_t& Sfondo) {
  Primo_Piano = 0;
  Sfondo = 0xFFFFFF;
  if (Testo.size() != 17) return;
  if (auto v = Valore_Intero(Testo.substr(0, 8))) Primo_Piano = *v;
  if (auto v = Valore_Intero(Testo.substr(9, 8))) Sfondo = *v;
}

std::string Numero_Cifre(int64_t Valore, int Cifre) {
  const uint64_t assoluto = Valore < 0 ? 0 - static_cast<uint64_t>(Valore) : static_cast<uint64_t>(Valore);
  std::string cifre = std::to_string(assoluto);
  if (static_cast<int>(cifre.size()) < Cifre) cifre.insert(0, static_cast<size_t>(Cifre) - cifre.size(), '0');
  return Valore < 0 ? "-" + cifre : cifre;
}

}  // namespace kyx
