#include "common/filtri_sql.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "common/modello.h"
#include "common/sostituisci_variabili.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "common/utilita.h"
#include "platform/data/forward_recordset.h"
#include "platform/vb/vb.h"

namespace kyx {
namespace {

struct Riga {
  int64_t chiave = 0;
  char operatore = '?';
  std::string valore_1, valore_2;
};

using Trasforma_Valore = std::function<bool(const std::string& grezzo, std::string& valore)>;

// Values of FILTRO as the user's filter writes them: without trailing blanks, an empty value
// becoming one blank.
bool Valore_Utente(const std::string& grezzo, std::string& valore) {
  valore = Testo_Non_Vuoto(grezzo);
  return true;
}

std::string Testo_Campo(const data::Value& v) {
  if (v.is_null()) return "";
  return v.kind() == data::Value::Kind::Text ? v.text() : v.AsText();
}

// Runs a query of the definitions database through the shared work recordset and collects its
// rows. The query's columns are KEY, OPER, VALO_1, VALO_2 (con_chiave) or OPER, VALO_1, VALO_2.
// Rows with an operator other than "=", "D" and "N" add nothing to a filter and are left out
// here, so that a key holding only such rows makes no empty group " and ()".
bool Leggi_Righe(const std::string& sql, bool con_chiave, const Trasforma_Valore& trasforma,
                 std::vector<Riga>& righe) {
  righe.clear();
  if (!Cn_MDB0 || !Cn_MDB0->IsOpen()) return false;
  auto rs = std::make_unique<data::ForwardRecordset>();
  data::ForwardRecordset* lettore = rs.get();
  Rs_Lavoro = std::move(rs);
  bool riuscito = lettore->Open(*Cn_MDB0, sql).ok();
  const int base = con_chiave ? 1 : 0;
  while (riuscito && !lettore->AfterLast()) {
    Riga r;
    if (con_chiave) {
      const data::Value& chiave = lettore->Field(0);
      if (chiave.is_null()) {
        riuscito = false;  // a filter row without its key cannot be placed
        break;
      }
      r.chiave = chiave.AsInteger();
    }
    const std::string operatore = Testo_Campo(lettore->Field(base));
    if (operatore == "=" || operatore == "D" || operatore == "N") {
      r.operatore = operatore[0];
      if (!trasforma(Testo_Campo(lettore->Field(base + 1)), r.valore_1) ||
          !trasforma(Testo_Campo(lettore->Field(base + 2)), r.valore_2)) {
        riuscito = false;
        break;
      }
      righe.push_back(std::move(r));
    }
    riuscito = lettore->MoveNext().ok();
  }
  Rs_Lavoro.reset();
  return riuscito;
}

// A value between quotes, its own quotes doubled, so that a value such as O'Brien stays one
// literal ('O''Brien') whatever it holds.
std::string Letterale(const std::string& valore) {
  std::string out = "'";
  for (char c : valore) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out + "'";
}

// The column of a key: the prefix and the key number in three digits. A negative key number
// (possible only in a damaged table) would read as a subtraction, so it is quoted as a name.
std::string Colonna_Chiave(const std::string& prefisso, int64_t chiave) {
  const std::string nome = prefisso + vb::Format(chiave, "000");
  return chiave >= 0 ? nome : "\"" + nome + "\"";
}

// The number of keys the selection flags cover: Sinf_Idx_Max, within the 64 flags.
int Numero_Flag() { return std::clamp<int>(Sinf_Idx_Max, 0, 64); }

// A value of the index key as a key number: a numeric value rounded to a whole number, any other
// value 0.
int64_t Numero_Chiave(const std::string& valore) {
  if (!vb::IsNumeric(valore)) return 0;
  double d;
  try {
    d = vb::RoundHalfEven(vb::CDbl(valore));
  } catch (const vb::VbError&) {
    return 0;
  }
  if (!std::isfinite(d)) return 0;
  return static_cast<int64_t>(std::clamp(d, -1.0e9, 1.0e9));
}

// The key selection over the rows of the index key, ordered by operator and value, starting from
// the flags as given: "=" rows choose keys (the first clears every flag), "D" rows add ranges of
// keys (clearing every flag first unless "=" rows came before), "N" rows remove keys (from all keys
// unless "=" or "D" rows came before). Numbers outside 1..Sinf_Idx_Max are ignored, and a range is
// cut to them, so that a range reaching past the flags can never leave a half-built selection.
void Selezione_Chiavi(const std::vector<Riga>& righe, Chiavi_Filtro& flag) {
  const int massimo = Numero_Flag();
  const auto tutte = [&](int16_t valore) {
    for (int k = 1; k <= massimo; ++k) flag[static_cast<size_t>(k)] = valore;
  };
  char precedente = '?';
  bool uguale = false, intervallo = false;
  for (const Riga& r : righe) {
    if (r.operatore != precedente) {
      if (r.operatore == '=') tutte(0);
      if (r.operatore == 'D' && !uguale) tutte(0);
      if (r.operatore == 'N' && !uguale && !intervallo) tutte(-1);
      precedente = r.operatore;
    }
    const int64_t basso = Numero_Chiave(r.valore_1);
    if (r.operatore == '=') {
      uguale = true;
      if (basso >= 1 && basso <= massimo) flag[static_cast<size_t>(basso)] = -1;
    } else if (r.operatore == 'D') {
      intervallo = true;
      const int64_t alto = std::min<int64_t>(Numero_Chiave(r.valore_2), massimo);
      for (int64_t k = std::max<int64_t>(basso, 1); k <= alto; ++k) flag[static_cast<size_t>(k)] = -1;
    } else {
      if (basso >= 1 && basso <= massimo) flag[static_cast<size_t>(basso)] = 0;
    }
  }
}

// The condition text of rows ordered by key, operator and value 1: one group per key, each
// followed by `separatore`. Within a key the "=" rows come first and make an "in(...)" list, the
// "D" rows join it as "or ... between" ranges, and the "N" rows make a "not in(...)" list that
// the group's other conditions must also meet. Every group begins with " and (", except the first
// one of the complete filter (`completo`), which the data server receives without it.
std::string Condizione(const std::vector<Riga>& righe, const std::string& prefisso, const std::string& separatore,
                       bool completo, std::vector<int64_t>* chiavi_gruppi = nullptr) {
  std::string testo;
  bool uguale = false, intervallo = false, esclusione = false;
  char precedente = '?';
  for (size_t i = 0; i < righe.size(); ++i) {
    const Riga& r = righe[i];
    const std::string colonna = Colonna_Chiave(prefisso, r.chiave);
    if (i == 0 || r.chiave != righe[i - 1].chiave) {
      if (!completo || !testo.empty()) testo += " and (";
      precedente = '?';
      uguale = intervallo = esclusione = false;
    }
    if (r.operatore != precedente) {
      if (r.operatore == '=') testo += "(" + colonna + " in(";
      if (r.operatore == 'D' && !uguale) testo += "(";
      if (r.operatore == 'N') {
        if (uguale || intervallo) testo += ") and ";
        testo += colonna + " not in(";
      }
      precedente = r.operatore;
    }
    if (r.operatore == '=') {
      testo += Letterale(r.valore_1) + ",";
      uguale = true;
    } else if (r.operatore == 'D') {
      if (uguale || intervallo) testo += " or ";
      testo += colonna + " between " + Letterale(r.valore_1) + " and " + Letterale(r.valore_2);
      intervallo = true;
    } else {
      testo += Letterale(r.valore_1) + ",";
      esclusione = true;
    }
    const bool ultima = i + 1 == righe.size();
    const bool altra_chiave = ultima || righe[i + 1].chiave != r.chiave;
    const bool altro_operatore = ultima || righe[i + 1].operatore != r.operatore;
    // A list ends: its trailing comma becomes the closing parenthesis.
    if ((altra_chiave || altro_operatore) && (r.operatore == '=' || r.operatore == 'N')) testo.back() = ')';
    if (altra_chiave) {
      if ((uguale || intervallo) && !esclusione) testo += ")";
      // The group's own parenthesis. In the complete filter the first group was not opened by
      // " and (", so the text carries one closing parenthesis more than it opens: the data server
      // reads the condition after an opening parenthesis of its own and expects exactly this.
      testo += ")" + separatore;
      if (chiavi_gruppi) chiavi_gruppi->push_back(r.chiave);
    }
  }
  return testo;
}

// The position (from 0) of `cosa` in `testo` at or after `da`, outside the quoted literals; npos
// when there is none. Values of a generated condition have their quotes doubled, so counting
// quotes tells literal from SQL.
size_t Cerca_Fuori_Apici(const std::string& testo, const std::string& cosa, size_t da) {
  bool in_apici = false;
  for (size_t i = 0; i < testo.size(); ++i) {
    if (testo[i] == '\'') {
      in_apici = !in_apici;
      continue;
    }
    if (!in_apici && i >= da && testo.compare(i, cosa.size(), cosa) == 0) return i;
  }
  return std::string::npos;
}

// The position just after the parenthesis that closes the one at `apertura`, outside literals;
// the end of the text when it is never closed.
size_t Fine_Gruppo(const std::string& testo, size_t apertura) {
  bool in_apici = false;
  int livello = 0;
  for (size_t i = apertura; i < testo.size(); ++i) {
    const char c = testo[i];
    if (c == '\'') in_apici = !in_apici;
    if (in_apici) continue;
    if (c == '(') ++livello;
    if (c == ')' && --livello == 0) return i + 1;
  }
  return testo.size();
}

// Removes the user's group of key `chiave` from `utente`, since the element's own condition on
// that key replaces it. The group begins with " and (" and is followed by the separator; what
// stands before it is kept with one blank added, as the cut has always been written. A group at
// the very start of the text is cut as well, also when its key holds only "N" rows, whose group
// has a single opening parenthesis right after " and ".
void Togli_Gruppo_Utente(std::string& utente, const std::string& prefisso, int64_t chiave,
                         const std::string& separatore) {
  const size_t p = Cerca_Fuori_Apici(utente, "(" + Colonna_Chiave(prefisso, chiave), 0);
  if (p == std::string::npos || p < 5) return;  // not preceded by " and (": not a group
  // The group's outer parenthesis: the one before for "((k_..." groups, this one for "N" groups.
  const size_t apertura = utente[p - 1] == '(' ? p - 1 : p;
  size_t fine = Fine_Gruppo(utente, apertura);
  if (!separatore.empty() && utente.compare(fine, separatore.size(), separatore) == 0) fine += separatore.size();
  utente = utente.substr(0, p - 5) + " " + utente.substr(fine);
}

// The text without the separators between the groups (those outside the quoted values).
std::string Senza_Separatori(const std::string& testo, const std::string& separatore) {
  if (separatore.empty()) return testo;
  std::string out;
  bool in_apici = false;
  for (size_t i = 0; i < testo.size();) {
    if (!in_apici && testo.compare(i, separatore.size(), separatore) == 0) {
      i += separatore.size();
      continue;
    }
    if (testo[i] == '\'') in_apici = !in_apici;
    out += testo[i++];
  }
  return out;
}

bool Apici_Pari(const std::string& testo) { return std::count(testo.begin(), testo.end(), '\'') % 2 == 0; }

}  // namespace

bool Filtro_Chiave_SQL(std::string& Testo, Chiavi_Filtro& Chiavi, const std::string& Separatore) {
  Testo = "";
  const int massimo = Numero_Flag();
  for (int k = 1; k <= massimo; ++k) Chiavi[static_cast<size_t>(k)] = -1;
  const std::string indice = vb::Format(Sinf_Idx_Key, "#0");

  Chiavi_Filtro flag = Chiavi;
  std::vector<Riga> righe;
  if (!Leggi_Righe("Select OPER,VALO_1,VALO_2 from FILTRO where VALO_1<>'*' and KEY =" + indice +
                       " order by OPER,VALO_1",
                   false, Valore_Utente, righe))
    return false;
  Selezione_Chiavi(righe, flag);

  if (!Leggi_Righe("Select KEY,OPER,VALO_1,VALO_2 from FILTRO where VALO_1<>'*' and KEY <>" + indice +
                       " order by KEY,OPER,VALO_1",
                   true, Valore_Utente, righe))
    return false;
  Testo = Condizione(righe, "k_", Separatore, false);
  Chiavi = flag;
  return true;
}

bool Filtro_Completo_SQL(std::string& Testo) {
  Testo = "";
  std::vector<Riga> righe;
  if (!Leggi_Righe("Select KEY,OPER,VALO_1,VALO_2 from FILTRO where VALO_1<>'*' order by KEY,OPER,VALO_1", true,
                   Valore_Utente, righe))
    return false;
  Testo = Condizione(righe, "k_", "", true);
  return true;
}

bool Filtro_Layout_SQL(const std::string& Testo_Utente, const Chiavi_Filtro& Chiavi_Utente,
                       const std::string& Separatore, int16_t Colonna, const std::string& Sistema_Colonna) {
  if (Colonna < 0 || Colonna > 255) return false;
  const auto c = static_cast<size_t>(Colonna);
  const std::string prefisso = Sistema_Colonna.empty() ? "k_" : "e_";
  const int massimo = Numero_Flag();
  Col_Where[c] = "";
  for (int k = 1; k <= massimo; ++k) Col_Where_Flag[c][static_cast<size_t>(k - 1)] = Chiavi_Utente[static_cast<size_t>(k)];

  // The element on which the layout-element recordset stands.
  if (!Rs_Lay_Elem || !Rs_Lay_Elem->IsOpen() || Rs_Lay_Elem->BeforeFirst() || Rs_Lay_Elem->AfterLast())
    return false;
  const data::Value& idx = Rs_Lay_Elem->Field("IDX");
  if (idx.is_null()) return false;
  const std::string filtro = " where VALO_1<>'*' and LAY =" + vb::Format(Layout_Corrente, "#0") +
                             " and IDX =" + vb::Format(idx.AsInteger(), "#0");
  const std::string indice = vb::Format(Sinf_Idx_Key, "#0");

  // The element's key selection starts from the user's and takes values with their placeholders
  // expanded.
  Chiavi_Filtro flag = Chiavi_Utente;
  std::vector<Riga> righe;
  const Trasforma_Valore numero = [](const std::string& grezzo, std::string& valore) {
    bool riuscito = true;
    valore = Testo_Non_Vuoto(Sostituisci_Variabili(grezzo, &riuscito));
    return riuscito;
  };
  if (!Leggi_Righe("Select OPER,VALO_1,VALO_2 from LAY_FILTRO" + filtro + " and KEY =" + indice +
                       " order by OPER,VALO_1",
                   false, numero, righe))
    return false;
  Selezione_Chiavi(righe, flag);

  // The element's condition: values trimmed on both sides, then their placeholders expanded (an
  // empty value stays empty).
  const Trasforma_Valore testo = [](const std::string& grezzo, std::string& valore) {
    bool riuscito = true;
    valore = Sostituisci_Variabili(vb::Trim(grezzo), &riuscito);
    return riuscito;
  };
  if (!Leggi_Righe("Select KEY,OPER,VALO_1,VALO_2 from LAY_FILTRO" + filtro + " and KEY<>" + indice +
                       " order by KEY,OPER,VALO_1",
                   true, testo, righe))
    return false;
  std::vector<int64_t> chiavi_elemento;
  const std::string elemento = Condizione(righe, prefisso, Separatore, false, &chiavi_elemento);

  // The user's text is cut only where its quotes pair up, so that a cut can never fall inside a
  // value and leave the rest of the text outside its quotes.
  std::string utente = Testo_Utente;
  if (!Apici_Pari(utente)) return false;
  for (int64_t chiave : chiavi_elemento) Togli_Gruppo_Utente(utente, prefisso, chiave, Separatore);

  // Both texts begin with " and ": the first one loses it after "where ".
  std::string where;
  if (!elemento.empty())
    where = "where " + Senza_Separatori((elemento + utente).substr(5), Separatore);
  else if (!utente.empty())
    where = "where " + Senza_Separatori(utente.size() > 5 ? utente.substr(5) : std::string(), Separatore);
  Col_Where[c] = where;
  for (int k = 1; k <= massimo; ++k) Col_Where_Flag[c][static_cast<size_t>(k - 1)] = flag[static_cast<size_t>(k)];
  return true;
}

}  // namespace kyx
