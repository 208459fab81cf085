#include "engine/modi_esecuzione.h"

#include <algorithm>
#include <string>
#include <vector>

#include "common/modello.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "engine/agganci_motore.h"
#include "engine/campi.h"
#include "engine/esecuzione_query.h"
#include "engine/log_query.h"
#include "engine/query_elaborazione.h"
#include "engine/scambio_server.h"
#include "engine/stato_motore.h"
#include "platform/data/columnar_query.h"
#include "platform/data/connection.h"
#include "platform/data/static_recordset.h"
#include "platform/host/host.h"
#include "server/master_sql.h"

namespace kyx {
namespace {

using motore::Cifre;

constexpr int kUltima_Colonna = 252;  // the last column a result can have
constexpr char kTabella[] = "KYX_D0_00F";

size_t C(int n) { return static_cast<size_t>(n); }

// The codes of a column key in ascending order, from the mode's source. A list that cannot be
// read is empty: no column is generated for it.
std::vector<std::string> Valori_Chiave(const std::string& Sql, int32_t Lunghezza) {
  const std::string modo = Modo_Esecuzione();
  std::vector<std::string> valori;
  if (modo == "AS400") {
    std::string testo = Sql;
    testo = Scegli_Tabella(testo, "");
    Scrivi_Log(modo, 999, testo);
    if (!testo.empty()) valori = Valori_Chiave_Server(testo, Lunghezza);
    return valori;
  }
  const std::string testo = Tabella_Sistema(Sql, "");
  Scrivi_Log(modo, 999, testo);
  data::Connection* cn = Connessione_Modo(modo);
  if (!cn) {
    // The SQL database that cannot be opened says so; the local one is opened at start-up.
    if (modo == "SQL") Errore_Query(999, testo);
    return valori;
  }
  auto rs = std::make_unique<data::StaticRecordset>();
  std::vector<std::vector<data::Value>> righe;
  if (data::AnswerFromColumnarCache(*cn, testo, &righe)) {
    // The list from the columnar copy of the data set, kept in a work recordset as the database's.
    (void)rs->AppendField(data::TextField("x000", std::max<int32_t>(Lunghezza, 1)));
    (void)rs->OpenFabricated();
    for (const auto& riga : righe) {
      if (riga.empty()) continue;
      valori.push_back(riga[0].AsText());
      if (rs->AddNew().ok() && rs->Set(0, riga[0]).ok()) (void)rs->Update();
    }
    Rs_Lavoro = std::move(rs);
    return valori;
  }
  if (!rs->Open(*cn, testo).ok() || rs->FieldCount() < 1) {
    Errore_Query(999, testo);
    return valori;
  }
  if (rs->RecordCount() > 0 && rs->MoveFirst().ok()) {
    while (!rs->AfterLast()) {
      valori.push_back(rs->Field(0).AsText());
      if (!rs->MoveNext().ok()) break;
    }
  }
  Rs_Lavoro = std::move(rs);  // the last list stays in the work recordset
  return valori;
}

// Every per-column attribute of the column model, from column `da` to column `a`.
void Copia_Colonna(size_t da, size_t a) {
  Col_Visibile[a] = Col_Visibile[da];
  Col_Ordine[a] = Col_Ordine[da];
  Col_Larghezza_Stampa[a] = Col_Larghezza_Stampa[da];
  Col_Allineamento[a] = Col_Allineamento[da];
  Col_Descrizione[a] = Col_Descrizione[da];
  Col_Totale[a] = Col_Totale[da];
  Col_VCK[a] = Col_VCK[da];
  Col_VCC[a] = Col_VCC[da];
  Col_Valore[a] = Col_Valore[da];
  for (size_t l = 0; l < 10; ++l) {
    Col_Livello_Totale[l][a] = Col_Livello_Totale[l][da];
    Totali[l][a] = Totali[l][da];
  }
  Col_Lavoro_1[a] = Col_Lavoro_1[da];
  Col_Lavoro_3[a] = Col_Lavoro_3[da];
  Col_Precedenza[a] = Col_Precedenza[da];
  Lunghezza_VCK[a] = Lunghezza_VCK[da];
  Col_Tipo[a] = Col_Tipo[da];
  Col_Chiave[a] = Col_Chiave[da];
  Col_Attributo[a] = Col_Attributo[da];
  Col_Formato[a] = Col_Formato[da];
  Col_Kde[a] = Col_Kde[da];
  Col_Calcolo[a] = Col_Calcolo[da];
  Col_Intestazione[a] = Col_Intestazione[da];
  Col_Larghezza[a] = Col_Larghezza[da];
}

template <typename T>
void Sposta(T& posizione, int c, int d) {
  if (posizione > c) posizione = static_cast<T>(posizione + d);
}

// Room for d more columns after column c: every stored column position beyond c moves right by d,
// and so do the columns themselves; a column pushed beyond the last is dropped.
void Fai_Posto(int c, int d) {
  if (d <= 0) return;
  for (size_t n = 1; n < Colonna_Livello.size(); ++n) Sposta(Colonna_Livello[n], c, d);
  for (int m = 0; m < Livello_Contatore_1 && m < 256; ++m) Sposta(Col_Lavoro_2[C(m)], c, d);
  for (size_t e = 1; e < 256; ++e) Sposta(Elem_Colonna[e], c, d);
  for (size_t x = 0; x < 256; ++x) Sposta(Col_Descrizione[x], c, d);
  for (size_t x = 0; x < 256; ++x) Sposta(Query_Colonna[x], c, d);
  Sposta(Livelli_Visibili, c, d);
  Sposta(Grafico_Chiave, c, d);
  Sposta(Grafico_Chiave_Descrizione, c, d);
  Sposta(Colonna_Ordinamento, c, d);
  Sposta(Colonna_Ordinamento_Elaborazione, c, d);
  for (int x = Numero_Colonne; x > c; --x)
    if (x + d <= kUltima_Colonna) Copia_Colonna(C(x), C(x + d));
  Numero_Colonne = static_cast<uint8_t>(std::min(Numero_Colonne + d, kUltima_Colonna));
}

// The first free entry of the item map after the queries already in the list.
int Prima_Voce_Libera() {
  if (Numero_Query <= 0) return 0;
  const size_t q = C(Numero_Query - 1);
  return Query_Inizio[q] + Query_Ultimo[q] + 1;
}

void Elemento_Incrociato(int i) {
  const size_t x = C(i);
  const int c = Elem_Colonna[x];
  if (c < 1 || c > kUltima_Colonna) return;
  const int k = Col_VCK[C(c)];
  std::vector<std::string> valori;
  std::string ck;
  int conta = 0;
  if (k == Sinf_Idx_Key) {
    conta = Sinf_Idx_Max;  // the data-set slots: nothing to ask
  } else {
    ck = "k_" + Cifre(k, 3);
    valori = Valori_Chiave("select " + ck + " FROM KYX_D0_00F " + Col_Where[x] + " group by " + ck + " order by " + ck,
                           Lunghezza_VCK[C(c)]);
    conta = static_cast<int>(valori.size());
  }
  if (c + conta - 1 > kUltima_Colonna) {
    conta = kUltima_Colonna + 1 - c;
    Troppe_Colonne = true;
  }
  if (conta < 1) return;
  Fai_Posto(c, conta - 1);

  // The element's cross-tab query: one item per generated column. The item map has 256 entries
  // and the list 256 queries; a query that would not fit is left out rather than written past
  // their ends.
  const int inizio = Prima_Voce_Libera();
  const bool in_lista = !Col_Somma[x].empty() && Numero_Query < kMassimo_Query && inizio + conta <= 256;
  if (!Col_Somma[x].empty() && !in_lista) Voci_Esaurite = true;
  for (int r = 1; r <= conta; ++r) {
    const size_t col = C(c + r - 1);
    if (r > 1) Copia_Colonna(C(c), col);
    Col_VCC[col] = ck.empty() ? Cifre(r, 2) : valori[C(r - 1)];
    if (in_lista) {
      Query_Colonna[C(inizio + r - 1)] = static_cast<int16_t>(col);
      Query_Riga[C(inizio + r - 1)] = Elem_Riga[x];
    }
  }
  if (!in_lista) return;
  std::string testo = "sELECT " + Select_Chiavi;
  if (!ck.empty()) {
    testo += ck + "," + Col_Somma[x] + " FROM KYX_D0_00F " + Col_Where[x] +
             (Group_By.empty() ? " group by " + ck : Group_By + "," + ck);
  } else {
    testo += Col_Somma[x] + " FROM KYX_D0_00F " + Col_Where[x] + Group_By;
  }
  const size_t q = C(Numero_Query);
  Query_Testo[q] = testo;
  Query_Sistema[q] = Col_Sistema[x];
  Query_Inizio[q] = static_cast<int16_t>(inizio);
  Query_Ultimo[q] = static_cast<int16_t>(conta - 1);
  ++Numero_Query;
}

}  // namespace

std::string Modo_Esecuzione() {
  if (!Connesso) return "LOCALE";
  return DataBase_SQL.empty() ? "AS400" : "SQL";
}

std::string Tabella_Sistema(const std::string& Sql, const std::string& Sistema) {
  const std::string nome = std::string(kTabella) + "_" + (Sistema.empty() ? Sistema_Informativo : Sistema);
  std::string testo;
  size_t da = 0;
  for (size_t p = Sql.find(kTabella); p != std::string::npos; p = Sql.find(kTabella, da)) {
    testo += Sql.substr(da, p - da) + nome;
    da = p + sizeof(kTabella) - 1;
  }
  return testo + Sql.substr(da);
}

bool Apri_Database_Modo() {
  if (Modo_Esecuzione() != "SQL" || (Cn_SQL && Cn_SQL->IsOpen())) return true;
  if (Apri_DB_SQL(DataBase_SQL)) return true;
  host::MsgBox(std::string("Errore 027 - Richiesta_ESEGUI") + '\r' + "database " + DataBase_SQL + '\r' + Errore_DB_SQL,
               host::vbCritical | host::vbOKOnly, Titolo_Programma);
  return false;
}

data::Connection* Connessione_Modo(const std::string& Modo) {
  data::Connection* cn = Modo == "SQL" ? Cn_SQL.get() : Modo == "LOCALE" ? Cn_MDB2.get() : nullptr;
  return cn && cn->IsOpen() ? cn : nullptr;
}

void Query_Colonne() {
  // The elements are taken in layout order; each one's generated columns push the later ones
  // right, and Elem_Colonna follows them.
  for (int i = 1; i <= Numero_Elementi && i < 256; ++i) {
    const size_t x = C(i);
    if (Elem_Riga[x] >= 2 || Elem_Colonna[x] < 0 || Elem_Colonna[x] > 255) continue;
    if (Col_VCK[C(Elem_Colonna[x])] == 0) continue;
    Elemento_Incrociato(i);
  }
}

void Avvisi_Limiti() {
  if (Troppe_Colonne) {
    host::MsgBox(std::string("L'elaborazione ha prodotto troppe colonne,") + '\r' +
                     "le colonne eccedenti sono state eliminate.",
                 host::vbExclamation, Titolo_Programma);
  }
  if (Voci_Esaurite) {
    host::MsgBox(std::string("L'elaborazione richiede troppi valori per colonna,") + '\r' +
                     "le colonne eccedenti sono rimaste a zero.",
                 host::vbExclamation, Titolo_Programma);
  }
  if (Formule_Oltre_Limiti) {
    host::MsgBox(std::string("Una formula supera i 4096 caratteri o i 500 livelli di parentesi,") + '\r' +
                     "le sue colonne sono rimaste a zero.",
                 host::vbExclamation, Titolo_Programma);
  }
}

}  // namespace kyx
