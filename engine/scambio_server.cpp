// The elaboration's exchange with the data server: layout record, query blocks, key translation.
#include "engine/scambio_server.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "common/modello.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "engine/campi.h"
#include "engine/query_elaborazione.h"
#include "engine/stato_motore.h"
#include "platform/data/connection.h"
#include "platform/data/recordset.h"
#include "platform/data/static_recordset.h"
#include "platform/vb/vb.h"
#include "server/campo.h"
#include "server/risposta.h"
#include "server/socket.h"

namespace kyx {

bool Risposta_Server_Fallita = false;

namespace {

using motore::Cerca;
using motore::Cifre;
using motore::Numero;

constexpr int32_t kRecord_Layout = 4462;
// The layout request goes out 4474 characters long: after its head and record, six blanks that
// the length does not count (the server reads them with the request).
constexpr int32_t kInvio_Layout = 4474;
constexpr size_t kFiltro_Layout = 4096;
// The query length travels in five digits.
constexpr size_t kMassima_Query = 99999;

// The messages of one kind of query: head not read, server error, payload not read.
struct Messaggi {
  const char* testa;
  const char* errore;
  const char* blocco;
};
constexpr Messaggi kValori{"Errore 023 - Richiesta_ESEGUI", "Errore 024 - Richiesta_ESEGUI",
                           "Errore 025 - Richiesta_ESEGUI"};
constexpr Messaggi kRisultato{"Errore 026 - Richiesta_ESEGUI", "Errore 027 - Richiesta_ESEGUI",
                              "Errore 028 - Richiesta_ESEGUI"};

void Scrivi(std::string& Record, size_t Posizione, std::string_view Testo) {
  const size_t n = std::min(Testo.size(), Record.size() - (Posizione - 1));
  Record.replace(Posizione - 1, n, Testo.substr(0, n));
}

// One record of the record buffer, starting at its 0-based Base, as a new row.
void Riga_Da_Record(const Tracciato_Record& T, int32_t Base, data::Recordset& Rs) {
  if (!Rs.AddNew().ok()) return;
  for (int j = 0; j < T.Voci; ++j) {
    const size_t x = static_cast<size_t>(j);
    const int32_t inizio = Base + T.Posizioni[x] + 1;
    const int32_t w = T.Larghezze[x];
    if (w > 0) {
      (void)Rs.Set(j, data::Value(Campo("A", inizio, w, w, 0)));
    } else {
      (void)Rs.Set(j, data::Value(vb::Val(Campo_P17_3(inizio, "."))));
    }
  }
  if (!Rs.Update().ok()) Rs.CancelUpdate();
}

// The packed numbers of one record at its 0-based Base are numbers.
bool Record_Valido(const Tracciato_Record& T, int32_t Base) {
  for (int j = 0; j < T.Voci; ++j) {
    const size_t x = static_cast<size_t>(j);
    if (T.Larghezze[x] <= 0 && !Numero_Valido('P', Base + T.Posizioni[x] + 1, 9)) return false;
  }
  return true;
}

// The status of the last block head read, for the message of a failed query.
std::string Stato_Risposta;

Canale_Risposta Canale_Socket() {
  Canale_Risposta c;
  c.Leggi = [](int32_t n) { return Sock_Read(1, n); };
  c.Continua = [] { Sock_Write(1, "i00000", 6); };
  c.Scarta = [](int32_t n) { return Sock_Scarta(1, n); };
  return c;
}

// Sends one query and reads its reply into Rs, with the messages of its kind.
void Esegui_Query_Server(const std::string& Sql, const Tracciato_Record& T, data::Recordset& Rs, const Messaggi& M) {
  if (Sql.size() > kMassima_Query) {
    // Its length cannot be written in five digits: the server could not frame it.
    Messaggio_Critico(M.errore);
    return;
  }
  const auto n = static_cast<int32_t>(Sql.size());
  Sock_Write(1, "h" + Cifre(n, 5) + Sql, n + 6);
  // A link already lost is not asked anything; the one disconnect path says so, once.
  if (!Collegamento_Attivo()) {
    Risposta_Server_Fallita = true;
    Motivo_Socket = "il collegamento con il server non \xE8 aperto";
    Collegamento_Perso(M.testa);
    return;
  }
  Stato_Risposta.clear();
  const Esito_Risposta Esito = Leggi_Risposta(T, Canale_Socket(), Rs);
  // The server's own "2" ends only this query, the run goes on without its rows; any other
  // failure (a lost link, an unknown status, a number that is none) ends the run.
  const bool Errore_Dichiarato = Esito == Esito_Risposta::Errore_Server && Stato_Risposta == "2" && Collegamento_Attivo();
  if (Esito != Esito_Risposta::Completa && !Errore_Dichiarato) Risposta_Server_Fallita = true;
  switch (Esito) {
    case Esito_Risposta::Completa: return;
    case Esito_Risposta::Testa_Mancante: Collegamento_Perso(M.testa); return;
    case Esito_Risposta::Errore_Server:
      if (!Collegamento_Attivo()) {
        Collegamento_Perso(M.errore);  // the refused payload did not come whole
      } else if (Stato_Risposta == "2") {
        Messaggio_Critico(M.errore);
      } else {
        Risposta_Rifiutata(M.errore, "lo stato \"" + Stato_Risposta + "\" non \xE8 uno di quelli del risultato");
      }
      return;
    case Esito_Risposta::Blocco_Mancante: Collegamento_Perso(M.blocco); return;
    case Esito_Risposta::Numero_Errato:
      Risposta_Rifiutata(M.blocco, "un numero di un record non \xE8 un numero");
      return;
  }
}

// The WHERE and GROUP BY parts of a query (1-based). Without "group by" the WHERE part runs to
// the end; without "where" the select list ends where GROUP BY begins, so that the grouping keys
// are never taken for levels of the select list.
struct Parti {
  long w;
  long g;
};
Parti Parti_Query(const std::string& t) {
  long g = vb::InStr(t, "group by");
  if (g == 0) g = static_cast<long>(t.size()) + 1;
  long w = vb::InStr(t, "where");
  if (w == 0) w = g;
  return {w, g};
}

// Removes the WHERE condition whose token starts at s0 (1-based) together with the "and" that
// joins it; false when its parentheses do not close before GROUP BY.
bool Togli_Condizione(std::string& t, long s0, const Parti& p) {
  long e = 0;
  int profondita = 0;
  bool aperta = false;
  for (long i = s0; i < p.g && i <= static_cast<long>(t.size()); ++i) {
    const char c = t[static_cast<size_t>(i - 1)];
    if (c == '(') {
      ++profondita;
      aperta = true;
    } else if (c == ')') {
      --profondita;
    }
    if (aperta && profondita <= 0) {
      e = i;
      break;
    }
  }
  if (e == 0) return false;
  long a = 0;
  for (long i = vb::InStr(t, "and"); i > 0 && i < s0; i = vb::InStr(i + 1, t, "and")) a = i;
  const long b = vb::InStr(e, t, "and");
  if (a == 0 || s0 - a > 6 || a < p.w) {
    if (b == 0 || b - e > 3) {
      t = vb::Left(t, p.w - 1) + vb::Mid(t, p.g);  // it was the only condition
    } else {
      t = vb::Left(t, s0 - 2) + vb::Mid(t, b + 4);  // the first one: it and the following "and"
    }
  } else {
    t = vb::Left(t, a - 2) + vb::Mid(t, e + 1);  // a later one: the preceding " and" and it
  }
  return true;
}

}  // namespace

std::string Record_Layout() {
  std::string r(kRecord_Layout, ' ');
  Scrivi(r, 1, "L");
  Scrivi(r, 2, Cifre(Layout_Corrente, 5));
  for (size_t i = 0; i < 9; ++i) {
    // Format(-1, "00000") is "-00001": its first five characters make "-0000".
    Scrivi(r, 7 + 5 * i, Cifre(Liv_Riga_Chiave[i], 5).substr(0, 5));
    const int16_t c = Liv_Colonna_Chiave[i];
    Scrivi(r, 52 + 5 * i, Cifre(c > 0 ? c : 0, 5).substr(0, 5));
    Scrivi(r, 97 + 30 * i, vb::RTrim(Parametri_Valore[i]).substr(0, 30));
  }
  Scrivi(r, 367, std::string_view(Filtro_Completo).substr(0, kFiltro_Layout));
  return r;
}

bool Richiesta_Layout_Server() {
  Sock_Write(1, "l04462" + Record_Layout(), kInvio_Layout);
  if (!Sock_Read(1, 6)) {
    Collegamento_Perso("Errore 021 - Richiesta_ESEGUI");
    return false;
  }
  const std::string stato = Campo("A", 1, 1, 1, 0);
  if (!Numero_Valido('S', 2, 5)) {
    Motivo_Socket = "la lunghezza della risposta non \xE8 un numero";
    Collegamento_Perso("Errore 021 - Richiesta_ESEGUI");
    return false;
  }
  const auto n = static_cast<int32_t>(vb::Val(Campo("S", 2, 5, 5, 0)));
  // Nothing of a payload is used, but left unread it would be taken for the next head.
  if (n > 0 && !Sock_Scarta(1, n)) {
    Collegamento_Perso(stato != "0" ? "Errore 022 - Richiesta_ESEGUI" : "Errore 021 - Richiesta_ESEGUI");
    return false;
  }
  if (stato != "0") {
    Risposta_Rifiutata("Errore 022 - Richiesta_ESEGUI", "il server ha risposto con lo stato \"" + stato + "\"");
    return false;
  }
  return true;
}

int32_t Tracciato_Record::Lunghezza() const {
  const auto voci = static_cast<size_t>(std::max<int16_t>(Voci, 0));
  if (voci == 0 || Posizioni.size() <= voci || Larghezze.size() < voci) return 0;
  const int32_t fine = Posizioni[voci];
  if (fine <= 0 || fine > kMassimo_Risposta) return 0;
  for (size_t j = 0; j < voci; ++j) {
    const int32_t w = Larghezze[j] > 0 ? Larghezze[j] : 9;
    if (Posizioni[j] < 0 || Posizioni[j] + w > fine) return 0;
  }
  return fine;
}

Esito_Risposta Leggi_Risposta(const Tracciato_Record& T, const Canale_Risposta& Canale, data::Recordset& Destinazione) {
  const int32_t lunghezza = T.Lunghezza();
  for (;;) {
    if (!Canale.Leggi(6)) return Esito_Risposta::Testa_Mancante;
    const std::string stato = Campo("A", 1, 1, 1, 0);
    Stato_Risposta = stato;
    // A length that is no number leaves the reply without an end.
    if (!Numero_Valido('S', 2, 5)) return Esito_Risposta::Testa_Mancante;
    const auto n = static_cast<int32_t>(vb::Val(Campo("S", 2, 5, 5, 0)));
    // Only "0" (a block, more follow), "1" (the last block) and "2" (the server failed the
    // query) are answers to a query: any other status is the server's error, never an empty
    // result, whatever its length.
    if (stato != "0" && stato != "1") {
      // The failed query's payload, if any, is thrown away so that the next reply starts in its
      // place.
      if (n > 0 && Canale.Scarta && !Canale.Scarta(n)) return Esito_Risposta::Blocco_Mancante;
      return Esito_Risposta::Errore_Server;
    }
    if (n <= 0) return Esito_Risposta::Completa;
    if (!Canale.Leggi(n)) return Esito_Risposta::Blocco_Mancante;
    // Whole records only: bytes after the last whole record are no record. Every number of the
    // block is checked before any record is stored.
    if (lunghezza > 0) {
      for (int32_t base = 0; base + lunghezza <= n; base += lunghezza)
        if (!Record_Valido(T, base)) return Esito_Risposta::Numero_Errato;
      for (int32_t base = 0; base + lunghezza <= n; base += lunghezza) Riga_Da_Record(T, base, Destinazione);
    }
    if (stato == "1") return Esito_Risposta::Completa;
    if (Canale.Continua) Canale.Continua();
  }
}

Esito_Risposta Decodifica_Risposta(std::string_view Byte, const Tracciato_Record& T, data::Recordset& Destinazione) {
  size_t letti = 0;
  Canale_Risposta c;
  c.Leggi = [&](int32_t n) {
    if (n < 1 || n > kMassimo_Risposta || Byte.size() - letti < static_cast<size_t>(n)) return false;
    std::memcpy(Buffer_Record.data(), Byte.data() + letti, static_cast<size_t>(n));
    letti += static_cast<size_t>(n);
    return true;
  };
  c.Scarta = [&](int32_t n) {
    if (Byte.size() - letti < static_cast<size_t>(n)) return false;
    letti += static_cast<size_t>(n);
    return true;
  };
  return Leggi_Risposta(T, c, Destinazione);
}

std::vector<std::string> Valori_Chiave_Server(const std::string& Sql, int32_t Lunghezza) {
  std::vector<std::string> valori;
  const int32_t w = std::clamp<int32_t>(Lunghezza, 1, kMassimo_Risposta);
  auto rs = std::make_unique<data::StaticRecordset>();
  if (!rs->AppendField(data::TextField("x000", w)).ok() || !rs->OpenFabricated().ok()) return valori;
  Tracciato_Record t;
  t.Larghezze = {w};
  t.Posizioni = {0, w};
  t.Voci = 1;
  Esegui_Query_Server(Sql, t, *rs, kValori);
  if (rs->RecordCount() > 0 && rs->MoveFirst().ok()) {
    for (; !rs->AfterLast(); (void)rs->MoveNext()) valori.push_back(rs->Field(0).AsText());
  }
  Rs_Lavoro = std::move(rs);  // the last list stays in the work recordset
  return valori;
}

void Righe_Server(const std::string& Sql, const Tracciato_Record& T, data::Recordset& Dati2) {
  // DATI2 is rebuilt for every query: one transaction for all its rows.
  const bool transazione = Cn_MDB3 && !Cn_MDB3->InTransaction() && Cn_MDB3->BeginTransaction().ok();
  Esegui_Query_Server(Sql, T, Dati2, kRisultato);
  if (transazione) (void)Cn_MDB3->Commit();
  (void)Dati2.MoveFirst();
}

std::string Traduci_Chiavi_Server(const std::string& Sql, const std::string& Sistema, int32_t& Livello) {
  if (Sistema.empty()) return Sql;
  if (motore::Vuota(Rs_Chiavi_Ext.get())) return "";
  const char filler = Tipo_DB_Server == "3" || Tipo_DB_Server == "4" ? ' ' : '\xBF';

  std::string t = Sql;
  std::array<bool, 9> mappato{};  // the levels of the select list: does the system have the key?
  int livelli = 0;
  long da = 1;
  // Every pass moves the search on or shortens the text: bounded by the text's length.
  for (long h = vb::InStr(da, t, "k_"); h > 0; h = vb::InStr(da, t, "k_")) {
    if (!vb::Like(vb::Mid(t, h, 5), "k_###")) {
      da = h + 5;
      continue;
    }
    const Parti p = Parti_Query(t);
    long s0 = 1;  // where the hit's token starts: after the last blank before it
    for (long i = h - 1; i >= 1; --i) {
      if (t[static_cast<size_t>(i - 1)] == ' ') {
        s0 = i + 1;
        break;
      }
    }
    const int chiave = static_cast<int>(vb::Val(vb::Mid(t, h + 2, 3)));
    if (Cerca(Rs_Chiavi_Ext.get(), {Sistema, chiave})) {
      if (h < p.w && livelli < 9) mappato[static_cast<size_t>(livelli++)] = true;
      // Key numbers of a system are bytes: three digits always suffice.
      const auto esterna = std::clamp<int64_t>(Numero(*Rs_Chiavi_Ext, "KEY_E"), 0, 999);
      t.replace(static_cast<size_t>(h - 1), 5, "e_" + Cifre(esterna, 3));
      da = h + 5;
    } else if (p.w < s0 && s0 < p.g) {
      // A condition on a key the system lacks: the condition goes.
      if (!Togli_Condizione(t, s0, p)) return "";
      da = p.w;
    } else if (h >= p.w) {
      // GROUP BY: the key and its comma become blanks.
      const size_t at = h >= 2 && t[static_cast<size_t>(h - 2)] == ',' ? static_cast<size_t>(h - 2)
                                                                        : static_cast<size_t>(h - 1);
      t.replace(at, std::min<size_t>(6, t.size() - at), std::min<size_t>(6, t.size() - at), ' ');
      da = h + 5;
    } else {
      // A level of the select list the system lacks: a literal of fillers as wide as the code.
      if (livelli < 9) mappato[static_cast<size_t>(livelli++)] = false;
      int64_t lun = 1;
      if (Cerca(Rs_Chiavi.get(), {Sistema_Informativo, chiave})) lun = std::clamp<int64_t>(Numero(*Rs_Chiavi, "LUN"), 1, 255);
      const std::string riempi = vb::String(static_cast<long>(lun), filler);
      const std::string letterale =
          Dialetto_Server() ? "CHAR('" + riempi + "', " + std::to_string(lun) + ")" : "'" + riempi + "'";
      t.replace(static_cast<size_t>(h - 1), 5, letterale);
      da = h + static_cast<long>(letterale.size());
    }
  }
  t = vb::Replace(t, "e_", "k_");

  if (Tipo_DB_Server == "4") return t;
  if (Tipo_DB_Server != "2") {
    for (int l = 0; l < livelli; ++l)
      if (!mappato[static_cast<size_t>(l)]) return "";
    return t;
  }
  // Type "2": the levels the system has must be the last ones; Livello is the last one before
  // them that it lacks.
  int stato = 0;
  for (int l = livelli; l >= 1; --l) {
    const bool m = mappato[static_cast<size_t>(l - 1)];
    if (!m && stato == 0) return "";
    if (m && stato == 0) {
      stato = 1;
    } else if (!m && stato == 1) {
      stato = 2;
      Livello = l;
    } else if (m && stato == 2) {
      return "";
    }
  }
  return t;
}

}  // namespace kyx
