#include "common/formatta_valore.h"

#include <cmath>
#include <vector>

#include "common/modello.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "common/utilita.h"
#include "platform/vb/vb.h"

namespace kyx {
namespace {

// The attributes of the last key looked up by number, kept between calls so that a grid full of
// codes of one key reads CHIAVI once. A column or level call overwrites them and sets the key
// number to 0, so that the next lookup by number reads CHIAVI again. The information system is
// part of the cache's key: after a change of profile the same key number belongs to another
// system and must be read again.
struct Attributi {
  int16_t chiave = 0;
  std::string sistema;
  std::string attr;
  std::string formato;
  int32_t kde = 0;         // description key
  int32_t chiave_cod = 0;  // key whose CHIAVI row lends its format to "#KEY#"
};
Attributi cache;

// Seeks CHIAVI on (system, key); true when the recordset stands on the row.
bool Cerca_Chiave(const std::string& sistema, int32_t chiave) {
  if (!Rs_Chiavi || !Rs_Chiavi->IsOpen()) return false;
  if (!Rs_Chiavi->Seek({data::Value(sistema), data::Value(int64_t{chiave})}).ok()) return false;
  return !Rs_Chiavi->AfterLast();
}

// A text field of CHIAVI as the program reads it: trailing blanks removed, an empty value (or a
// Null) becoming one blank.
std::string Campo_Testo(const data::Recordset& rs, const char* nome) {
  const data::Value& v = rs.Field(nome);
  if (v.is_null()) return " ";
  return Testo_Non_Vuoto(v.kind() == data::Value::Kind::Text ? v.text() : v.AsText());
}

// The whole number a text stands for, when it is one that fits.
bool Numero_Intero(const std::string& testo, int64_t& valore) {
  if (!vb::IsNumeric(testo)) return false;
  double d;
  try {
    d = vb::RoundHalfEven(vb::CDbl(testo));
  } catch (const vb::VbError&) {
    return false;
  }
  if (!std::isfinite(d) || std::fabs(d) > 9.0e18) return false;
  valore = static_cast<int64_t>(d);
  return true;
}

// The digits of a fixed position of a code as a number; false when they are not all digits.
bool Cifre(const std::string& testo, size_t da, size_t quante, int& valore) {
  if (testo.size() < da + quante) return false;
  valore = 0;
  for (size_t i = da; i < da + quante; ++i) {
    const char c = testo[i];
    if (c < '0' || c > '9') return false;
    valore = valore * 10 + (c - '0');
  }
  return true;
}

std::string Periodo(const std::string& attr, const std::string& formato, const std::string& codice) {
  // A code of zeros only (or an empty one) is "no period".
  if (codice.find_first_not_of('0') == std::string::npos) return "0";
  const char tipo = attr.size() == 1 ? attr[0] : '\0';
  const std::string anno = vb::Mid(codice, 1, 4);
  switch (tipo) {
    case 'A':
    case 'B': {
      int y, m, d = 1;
      if (!Cifre(codice, 0, 4, y) || !Cifre(codice, 4, 2, m)) return "0";
      if (tipo == 'A' && !Cifre(codice, 6, 2, d)) return "0";
      if (!vb::IsValidDate(y, m, d)) return "0";  // a code that is no date shows as no period
      vb::DateTime data;
      data.year = y;
      data.month = m;
      data.day = d;
      const bool vuoto = vb::Trim(formato).empty();
      return vb::FormatDate(data, vuoto ? (tipo == 'A' ? "dd-mm-yyyy" : "mm-yyyy") : formato);
    }
    case 'C':
    case 'D':
    case 'E':
      return anno + "-" + vb::Mid(codice, 5, 2);
    case 'F':
    case 'G':
      return anno + "-" + vb::Mid(codice, 5, 2) + "-" + vb::Mid(codice, 7, 1);
    case 'H':
    case 'I':
    case 'J':
    case 'K':
      return anno + "-" + vb::Mid(codice, 5, 1);
    default:
      return "0";
  }
}

std::string Descrizione(int32_t kde, const std::string& codice, int32_t modo) {
  if (!Rs_Descrizioni || !Rs_Descrizioni->IsOpen()) return codice;
  if (!Rs_Descrizioni->Seek({data::Value(int64_t{kde}), data::Value(codice)}).ok()) return codice;
  if (Rs_Descrizioni->AfterLast()) return modo == 1 ? "*** non codificato ***" : " ";
  // The fields are status, key, code, then descriptions 1 to 16: description n is field n + 2.
  const data::Value& stato = Rs_Descrizioni->Field(0);
  if (stato.kind() == data::Value::Kind::Text && stato.text() == "A") return "*** annullato ***";
  if (modo + 2 >= Rs_Descrizioni->FieldCount()) return codice;
  const data::Value& testo = Rs_Descrizioni->Field(modo + 2);
  if (testo.is_null()) return codice;
  return testo.kind() == data::Value::Kind::Text ? testo.text() : testo.AsText();
}

}  // namespace

std::string Formatta_Valore(int16_t Chiave, const std::string& Codice, int32_t Modo, int16_t Colonna,
                            const std::string& Chiave_Riga) {
  const std::string tipo_riga = vb::Mid(Chiave_Riga, 7, 1);
  if (Colonna >= 0) {
    if (Colonna > 255) return Codice;
    const auto c = static_cast<size_t>(Colonna);
    if (Col_Attributo[c] != "*") {
      // A column with a key of its own. Total rows and the total label are shown as they are.
      if (tipo_riga == "4" || Codice == "  totale") return Codice;
      // A column that shows a level of the "D" tokens ("#DR(nnn)", "#DD(nnn)", "#DE(nnn)")
      // holds codes of another key on every row but the detail rows.
      if (tipo_riga != "2" && vb::Like(vb::Left(Col_Calcolo[c], 8), "[#]D[RDE](###)")) return Codice;
      cache.attr = Col_Attributo[c];
      cache.formato = Col_Formato[c];
      cache.kde = Col_Kde[c];
      cache.chiave_cod = Col_Chiave[c];
    } else {
      // The column shows the level key of the row: level d on rows of kind "2", level 10 - d on
      // the subtotal rows of kind "3", which count their levels from the bottom.
      if (tipo_riga == "4") return Codice;
      const std::string cifra = vb::Mid(Chiave_Riga, 8, 1);
      if (cifra.size() != 1 || cifra[0] < '0' || cifra[0] > '9') return Codice;
      const int d = cifra[0] - '0';
      const int n = tipo_riga == "3" ? 10 - d : d;
      if (n < 1 || n > 9) return Codice;
      const auto l = static_cast<size_t>(n - 1);
      cache.attr = Liv_Attributo[l];
      cache.formato = Liv_Formato[l];
      cache.kde = Liv_Kde[l];
      cache.chiave_cod = Liv_Riga_Chiave[l];
    }
    cache.chiave = 0;
    cache.sistema.clear();
  } else {
    if (Chiave < 1) return Codice;
    if (Chiave != cache.chiave || Sistema_Informativo != cache.sistema) {
      cache.chiave = Chiave;
      cache.sistema = Sistema_Informativo;
      cache.attr = "1";
      cache.formato = "";
      cache.kde = Chiave;
      cache.chiave_cod = Chiave;
      if (Cerca_Chiave(Sistema_Informativo, Chiave)) {
        cache.attr = Campo_Testo(*Rs_Chiavi, "ATTR");
        cache.formato = Campo_Testo(*Rs_Chiavi, "FORMATO");
        const data::Value& kde = Rs_Chiavi->Field("KEY_D");
        if (!kde.is_null()) cache.kde = static_cast<int32_t>(kde.AsInteger());
      }
    }
  }

  // "#KEY#" borrows the format of the code key's own CHIAVI row.
  std::string formato = cache.formato;
  if (vb::Like(formato, "[#][kK][eE][yY][#]") && Cerca_Chiave(Sistema_Informativo, cache.chiave_cod))
    formato = Campo_Testo(*Rs_Chiavi, "FORMATO");

  const std::string& attr = cache.attr;
  if (attr == "1") {
    if (Modo == 0) return Formato_Mid(formato, Codice);
    if (Modo >= 1 && Modo <= 16) return Descrizione(cache.kde, Codice, Modo);
    return Codice;
  }
  if (attr == "2") return Codice;
  if (attr == "3") {
    int64_t valore;
    if (!Numero_Intero(Codice, valore)) return Codice;
    return vb::Format(valore, vb::Trim(formato).empty() ? std::string("#0") : formato);
  }
  return Periodo(attr, formato, Codice);
}

std::string Formato_Mid(const std::string& Formato, const std::string& Valore) {
  if (!vb::Like(Formato, "[#][mM][iI][dD](*,*)[#]")) return Valore;
  const long c = vb::InStr(6, Formato, ",");
  const long p = vb::InStr(6, Formato, ")");
  if (c == 0 || p < c + 2) return Valore;
  const std::string a_testo = vb::Mid(Formato, 6, c - 6);
  const std::string b_testo = vb::Mid(Formato, c + 1, p - c - 1);
  int64_t a, b;
  if (!Numero_Intero(a_testo, a) || !Numero_Intero(b_testo, b)) return Valore;
  const auto lunghezza = static_cast<int64_t>(Valore.size());
  if (a < 1 || a > lunghezza || b < 1 || a + b - 1 > lunghezza) return Valore;
  return Valore.substr(static_cast<size_t>(a - 1), static_cast<size_t>(b));
}

std::string Leggi_Descrizione(const std::string& Sistema, int16_t Chiave) {
  if (!Cerca_Chiave(Sistema, Chiave)) return "";
  const data::Value& testo = Rs_Chiavi->Field("TESTO");
  if (testo.is_null()) return "";
  return vb::RTrim(testo.kind() == data::Value::Kind::Text ? testo.text() : testo.AsText());
}

namespace {

const char kCrLf[] = "\r\n";

std::string Messaggio_Tipo(char tipo) {
  const char* formato = nullptr;
  const char* legenda = nullptr;
  switch (tipo) {
    case 'A': formato = "GG-MM-AAAA"; legenda = "GG=Giorno, MM=Mese, AAAA=Anno"; break;
    case 'B': formato = "MM-AAAA"; legenda = "MM=Mese, AAAA=Anno"; break;
    case 'C': formato = "AAAA-SS"; legenda = "AAAA=Anno, SS=Settimana (01-54)"; break;
    case 'D': formato = "AAAA-QQ"; legenda = "AAAA=Anno, QQ=Quindicina (01-24)"; break;
    case 'E': formato = "AAAA-DD"; legenda = "AAAA=Anno, DD=Decade (01-37)"; break;
    case 'F': formato = "AAAA-MM-Q"; legenda = "AAAA=Anno, M=Mese, Q=Quindicina (1-2)"; break;
    case 'G': formato = "AAAA-MM-D"; legenda = "AAAA=Anno, M=Mese, D=Decade (1-3)"; break;
    case 'H': formato = "AAAA-B"; legenda = "AAAA=Anno, B=Bimestre (1-6)"; break;
    case 'I': formato = "AAAA-T"; legenda = "AAAA=Anno, T=Trimestre (1-4)"; break;
    case 'J': formato = "AAAA-Q"; legenda = "AAAA=Anno, Q=Quadrimestre (1-3)"; break;
    case 'K': formato = "AAAA-S"; legenda = "AAAA=Anno, S=Semestre (1-2)"; break;
    default: return "tipo campo non previsto";
  }
  return std::string("deve essere compilato come ") + formato + kCrLf + "dove " + legenda;
}

// The highest second number of each period type: weeks, fortnights, ten-day periods (two digits)
// and months with their fortnight or ten-day period, two-month periods, quarters, four-month
// periods and half-years (one digit).
int Massimo_Periodo(char tipo) {
  switch (tipo) {
    case 'C': return 54;
    case 'D': return 24;
    case 'E': return 37;
    case 'H': return 6;
    case 'I': return 4;
    case 'J': return 3;
    case 'K': return 2;
    default: return 0;
  }
}

bool Zero(const std::string& testo) {
  if (!vb::IsNumeric(testo)) return false;
  try {
    return vb::CDbl(testo) == 0;
  } catch (const vb::VbError&) {
    return false;
  }
}

}  // namespace

bool Verifica_Periodo(std::string& Testo, const std::string& Attributo, const std::string& Formato,
                      std::string& Codice, std::string& Messaggio) {
  Messaggio = "";
  // Coded, text and number keys are checked by the filter entry itself.
  if (Attributo == "1" || Attributo == "2" || Attributo == "3") {
    Messaggio = "." + Attributo + ".";
    return false;
  }
  const char tipo = Attributo.size() == 1 ? Attributo[0] : '\0';
  const std::string messaggio = Messaggio_Tipo(tipo);
  if (messaggio == "tipo campo non previsto") {
    Messaggio = messaggio;
    return false;
  }

  // A typed zero is "no period": the code of zeros of the type's width.
  if (Zero(Testo)) {
    Testo = "0";
    switch (tipo) {
      case 'A': Codice = "00000000"; break;
      case 'B': case 'C': case 'D': case 'E': Codice = "000000"; break;
      case 'F': case 'G': Codice = "0000000"; break;
      default: Codice = "00000"; break;
    }
    return true;
  }

  const auto fallito = [&] {
    Messaggio = messaggio;
    return false;
  };

  if (tipo == 'A' || tipo == 'B') {
    const std::string testo = vb::Trim(Testo);
    vb::DateTime data;
    bool valida = false;
    if (tipo == 'A') {
      valida = vb::ParseDate(testo, data);
    } else {
      // The first day of the typed month: "01-" before the text. The day-month-year reading
      // wants one separator throughout, so a month typed with "/" or "." gets "01/" or "01.".
      std::string separatore = "-";
      for (char c : testo)
        if (c < '0' || c > '9') {
          separatore = std::string(1, c);
          break;
        }
      valida = vb::ParseDate("01" + separatore + testo, data);
    }
    if (!valida) return fallito();
    const std::string maschera = vb::UCase(Formato);
    if (tipo == 'A') {
      Testo = vb::FormatDate(data, vb::Like(maschera, "DD?MM?YYYY") ? Formato : std::string("dd-mm-yyyy"));
      Codice = vb::FormatDate(data, "yyyymmdd");
    } else {
      Testo = vb::FormatDate(data, vb::Like(maschera, "MM?YYYY") ? Formato : std::string("mm-yyyy"));
      Codice = vb::FormatDate(data, "yyyymm");
    }
    return true;
  }

  int y = 0, n = 0, m = 0;
  if (tipo == 'C' || tipo == 'D' || tipo == 'E') {
    if (!vb::Like(Testo, "####?##")) return fallito();
    Cifre(Testo, 0, 4, y);
    Cifre(Testo, 5, 2, n);
    if (y < 1000 || n < 1 || n > Massimo_Periodo(tipo)) return fallito();
    Testo = vb::Format(y, "0000") + "-" + vb::Format(n, "00");
    Codice = vb::Format(y, "0000") + vb::Format(n, "00");
    return true;
  }
  if (tipo == 'F' || tipo == 'G') {
    if (!vb::Like(Testo, "####?##?#")) return fallito();
    Cifre(Testo, 0, 4, y);
    Cifre(Testo, 5, 2, n);
    Cifre(Testo, 8, 1, m);
    if (y < 1000 || n < 1 || n > 12 || m < 1 || m > (tipo == 'F' ? 2 : 3)) return fallito();
    Testo = vb::Format(y, "0000") + "-" + vb::Format(n, "00") + "-" + vb::Format(m, "0");
    Codice = vb::Format(y, "0000") + vb::Format(n, "00") + vb::Format(m, "0");
    return true;
  }
  // "H" to "K".
  if (!vb::Like(Testo, "####?#")) return fallito();
  Cifre(Testo, 0, 4, y);
  Cifre(Testo, 5, 1, n);
  if (y < 1000 || n < 1 || n > Massimo_Periodo(tipo)) return fallito();
  Testo = vb::Format(y, "0000") + "-" + vb::Format(n, "0");
  Codice = vb::Format(y, "0000") + vb::Format(n, "0");
  return true;
}

namespace {

// The numbers of a typed date or time, each read from a fixed position as BASIC's IsNumeric and
// conversion read them.
bool Parti_Numeriche(const std::string& testo, const std::vector<std::pair<long, long>>& posizioni,
                     std::vector<double>& valori) {
  valori.clear();
  for (const auto& [da, quante] : posizioni) {
    const std::string parte = vb::Mid(testo, da, quante);
    if (!vb::IsNumeric(parte)) return false;
    try {
      valori.push_back(vb::CDbl(parte));
    } catch (const vb::VbError&) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool Data_Valida(const std::string& Testo) {
  // Day, month and year at fixed positions of "dd/mm/yyyy"; the separators are not looked at.
  const std::string t = vb::Trim(Testo) + std::string(10, ' ');
  std::vector<double> v;
  if (!Parti_Numeriche(t, {{1, 2}, {4, 2}, {7, 4}}, v)) return false;
  const double giorno = v[0], mese = v[1], anno = v[2];
  if (anno < 1980 || anno > 2999 || mese < 1 || mese > 12 || giorno < 1) return false;
  if (anno != std::floor(anno) || mese != std::floor(mese) || giorno != std::floor(giorno)) return false;
  int ultimo = 31;
  const int m = static_cast<int>(mese);
  if (m == 4 || m == 6 || m == 9 || m == 11) ultimo = 30;
  // February has 29 days in every year divisible by four, as this check has always counted them;
  // within 1980..2999 that differs from the calendar only in 2100, 2200, 2300 and so on.
  if (m == 2) ultimo = static_cast<int64_t>(anno) % 4 == 0 ? 29 : 28;
  return giorno <= ultimo;
}

bool Ora_Valida(const std::string& Testo) {
  const std::string t = vb::Trim(Testo) + std::string(8, ' ');
  std::vector<double> v;
  if (!Parti_Numeriche(t, {{1, 2}, {4, 2}, {7, 2}}, v)) return false;
  for (double x : v)
    if (x != std::floor(x)) return false;
  return v[0] >= 0 && v[0] <= 23 && v[1] >= 0 && v[1] <= 59 && v[2] >= 0 && v[2] <= 59;
}

namespace formatta_valore {
void reset() { cache = Attributi{}; }
}  // namespace formatta_valore

}  // namespace kyx
