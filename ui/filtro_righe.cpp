#include "ui/filtro_righe.h"

#include <algorithm>

#include "platform/data/value.h"
#include "platform/vb/vb.h"

namespace kyx {
namespace {

// A text value of the criteria: between single quotes, a quote doubled.
std::string Testo_Quotato(std::string_view Testo) { return "'" + vb::Replace(Testo, "'", "''") + "'"; }

// A number of the criteria: a decimal point and three decimals in any locale (12,5 -> 12.500).
std::string Numero_Criterio(std::string_view Testo) {
  double v = 0;
  Numero_Digitato(Testo, v);
  return vb::Replace(vb::Format(v, "#0.000"), std::string(1, vb::locale().decimal), ".");
}

// Reads the cut-out texts back. Each reader starts at `p` and leaves it after what it read.
bool Prendi(std::string_view F, size_t& p, std::string_view atteso) {
  if (F.substr(p, atteso.size()) != atteso) return false;
  p += atteso.size();
  return true;
}

// A quoted text ('O''Brien' -> O'Brien) or a number up to " AND " or the end (shown in the
// locale's format, as the user types it).
bool Valore(std::string_view F, size_t& p, std::string& out) {
  out.clear();
  if (p < F.size() && F[p] == '\'') {
    for (++p; p < F.size(); ++p) {
      if (F[p] != '\'') {
        out += F[p];
      } else if (p + 1 < F.size() && F[p + 1] == '\'') {
        out += '\'';
        ++p;
      } else {
        ++p;
        return true;
      }
    }
    return false;
  }
  const size_t fine = std::min(F.find(" AND ", p), F.size());
  const std::string numero(F.substr(p, fine - p));
  p = fine;
  if (numero.empty()) return false;
  double v = 0;
  try {
    v = vb::Val(numero);
  } catch (const vb::VbError&) {
    return false;
  }
  out = vb::Format(v, "");
  return true;
}

// The fragment of '*...*' with its bracketed characters and doubled quotes undone.
bool Frammento(std::string_view F, size_t& p, std::string& out) {
  out.clear();
  if (!Prendi(F, p, "'*")) return false;
  while (p < F.size()) {
    if (F[p] == '[' && p + 2 < F.size() && F[p + 2] == ']') {
      out += F[p + 1];
      p += 3;
    } else if (F[p] == '\'' && p + 1 < F.size() && F[p + 1] == '\'') {
      out += '\'';
      p += 2;
    } else if (F.substr(p) == "*'") {
      p = F.size();
      return true;
    } else {
      out += F[p++];
    }
  }
  return false;
}

}  // namespace

bool Numero_Digitato(std::string_view Testo, double& Valore) {
  // The thousands separator is refused: under an Italian locale "12.5" would otherwise be read as
  // 125 without a word, and under an English one "12,5" likewise.
  if (!vb::IsNumeric(Testo) || Testo.find(vb::locale().thousands) != std::string_view::npos) return false;
  try {
    Valore = vb::CDbl(Testo);
  } catch (const vb::VbError&) {
    return false;
  }
  return true;
}

Richiesta_Filtro Tipo_Richiesta(const Caselle_Filtro& Caselle) {
  const bool intervallo = !Caselle[0].empty() || !Caselle[1].empty();
  const bool contenuto = !Caselle[2].empty();
  if (intervallo && contenuto) return Richiesta_Filtro::Intervallo_E_Contenuto;
  if (intervallo) return Richiesta_Filtro::Intervallo;
  return contenuto ? Richiesta_Filtro::Contenuto : Richiesta_Filtro::Nessuna;
}

std::string Criterio_Filtro(std::string_view Nome_Campo, bool Testo, const Caselle_Filtro& Caselle) {
  const std::string N(Nome_Campo);
  const auto valore = [&](int i) { return Testo ? Testo_Quotato(Caselle[i]) : Numero_Criterio(Caselle[i]); };
  const bool da = !Caselle[0].empty(), a = !Caselle[1].empty();
  if (da && a) return N + ">=" + valore(0) + " AND " + N + "<=" + valore(1);
  if (da) return N + ">=" + valore(0);
  if (a) return N + "<=" + valore(1);
  if (!Testo || Caselle[2].empty()) return "";
  std::string pattern;
  for (char ch : Caselle[2]) {
    if (ch == '*' || ch == '%' || ch == '?' || ch == '[') {
      pattern += std::string{'[', ch, ']'};
    } else if (ch == '\'') {
      pattern += "''";
    } else {
      pattern += ch;
    }
  }
  return N + " LIKE '*" + pattern + "*'";
}

Caselle_Filtro Caselle_Da_Filtro(std::string_view F, std::string_view Nome_Campo) {
  Caselle_Filtro c;
  size_t p = 0;
  if (!Prendi(F, p, Nome_Campo)) return {};
  bool ok = false;
  if (Prendi(F, p, " LIKE ")) {
    ok = Frammento(F, p, c[2]);
  } else if (Prendi(F, p, ">=")) {
    ok = Valore(F, p, c[0]);
    if (ok && p < F.size()) {
      ok = Prendi(F, p, " AND ") && Prendi(F, p, Nome_Campo) && Prendi(F, p, "<=") && Valore(F, p, c[1]);
    }
  } else if (Prendi(F, p, "<=")) {
    ok = Valore(F, p, c[1]);
  }
  // Anything else (another column's filter, a filter set elsewhere) leaves the boxes empty.
  if (!ok || p != F.size()) return {};
  return c;
}

Condizione_Ricerca::Condizione_Ricerca(bool Testo, const Caselle_Filtro& Caselle)
    : testo_(Testo),
      caselle_(Caselle),
      ha_da_(!Caselle[0].empty()),
      ha_a_(!Caselle[1].empty()),
      ha_contenuto_(Testo && !Caselle[2].empty()) {
  if (!testo_) {
    if (ha_da_) Numero_Digitato(Caselle[0], da_);
    if (ha_a_) Numero_Digitato(Caselle[1], a_);
  }
}

bool Condizione_Ricerca::Soddisfatta(const data::Value& v) const {
  if (v.is_null()) return false;
  if (testo_) {
    if (v.kind() != data::Value::Kind::Text) return false;
    // Binary comparison, as the search has always compared: case counts.
    const std::string& t = v.text();
    if (ha_contenuto_) return t.find(caselle_[2]) != std::string::npos;
    return (!ha_da_ || t.compare(caselle_[0]) >= 0) && (!ha_a_ || t.compare(caselle_[1]) <= 0);
  }
  if (!v.is_number()) return false;
  const double x = v.AsDouble();
  return (!ha_da_ || x >= da_) && (!ha_a_ || x <= a_);
}

}  // namespace kyx
