// Registration, download and deletion of the local data sets (module of frmMenuDati).
#include "server/dati_locali.h"

#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <algorithm>
#include <utility>

#include "common/stato.h"
#include "common/stato_db.h"
#include "db/mdb2.h"
#include "platform/host/host.h"
#include "platform/text/cp1252.h"
#include "platform/vb/vb.h"
#include "server/master_sql.h"
#include "server/blocchi.h"
#include "server/campo.h"
#include "server/risposta.h"
#include "server/socket.h"

namespace kyx {

namespace {

std::string Rtrim(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return std::string(s);
}

std::string Adesso() { return vb::FormatDate(vb::Now(), "dd\\/mm\\/yyyy\\ \\ hh\\:nn\\:ss"); }

void Pannello(const char* Nome, const std::string& Testo) { host::host().SetPanel(Nome, Testo); }

void Errore_Database(const std::string& Azione, const data::Status& s) {
  Messaggio_Critico("Dati locali: " + Azione + "\r" + s.ToString());
}

// The register rows of set Numero, in index order: (system, FILTRO_SQL).
std::vector<std::pair<std::string, std::string>> Righe_Registro(int32_t Numero) {
  std::vector<std::pair<std::string, std::string>> Righe;
  if (!Rs_Caricati || !Rs_Caricati->IsOpen()) return Righe;
  if (!Rs_Caricati->Seek({data::Value(int64_t{Numero})}).ok()) return Righe;
  while (!Rs_Caricati->AfterLast() && Rs_Caricati->Field("IDX").AsInteger() == Numero) {
    Righe.emplace_back(Rtrim(Rs_Caricati->Field("SINF").AsText()), Rs_Caricati->Field("FILTRO_SQL").AsText());
    if (!Rs_Caricati->MoveNext().ok()) break;
  }
  return Righe;
}

// A filter the data-server request cannot carry whole: a cut one would download other records
// than the set's, so it is refused before anything is written or asked.
bool Filtro_Accettabile(const std::string& Filtro, const std::string& Sistema) {
  const std::string f = Rtrim(Filtro);
  if (f.size() <= kMassimo_Filtro) return true;
  Messaggio_Critico("Filtro troppo lungo per il sistema informativo " + Sistema + ": " + std::to_string(f.size()) +
                    " caratteri, al massimo " + std::to_string(kMassimo_Filtro) +
                    ".\rI dati locali non sono stati caricati.");
  return false;
}

data::Status Esegui(const std::string& Sql) {
  return Cn_MDB2 ? Cn_MDB2->Execute(Sql) : data::Status::Error(1, "KYX_2.MDB is not open");
}

}  // namespace

// ---- Scrittura_Dati ---------------------------------------------------------------------------

namespace {

// Records a group statement adds at most, and SQLite's default limit on the parameters of one
// statement.
constexpr int kMassimo_Gruppo = 32;
constexpr int kMassimi_Parametri = 32766;

}  // namespace

Scrittura_Dati::~Scrittura_Dati() {
  if (Cn_ && Cn_->InTransaction()) Cn_->Rollback();
}

data::Status Scrittura_Dati::Apri(data::Connection& Cn, const std::string& Sistema, int32_t Numero) {
  Cn_ = &Cn;
  Sistema_ = Sistema;
  Tabella_ = mdb2::Tabella_Valori(Sistema);
  Numero_ = Numero;
  Righe_ = Ultima_Precedente_ = 0;
  std::vector<data::FieldInfo> Colonne;
  data::Status s = Cn.ListColumns(Tabella_, &Colonne);
  if (!s) return s;
  if (Colonne.empty()) return data::Status::Error(1, "no table " + Tabella_);
  Campi_ = static_cast<int>(Colonne.size()) - 1;
  std::string Nomi, Segni;
  for (std::size_t i = 0; i < Colonne.size(); ++i) {
    Nomi += (i ? "," : "") + Cn.QuoteName(Colonne[i].name);
    Segni += i ? ",?" : "?";
  }
  const std::string Inserisci = "INSERT INTO " + Cn.QuoteName(Tabella_) + " (" + Nomi + ") VALUES (" + Segni + ")";
  s = Cn.Prepare(Inserisci, &Inserimento_);
  if (s) s = Inserimento_->Bind(1, data::Value(int64_t{Numero}));
  // The group statement: as many records as SQLite's limit on parameters allows, up to
  // kMassimo_Gruppo. Without it (a backend that refuses it) records go one by one.
  Gruppo_ = 1;
  Inserimento_Gruppo_.reset();
  const int Gruppo = std::min<int>(kMassimo_Gruppo, kMassimi_Parametri / static_cast<int>(Colonne.size()));
  if (s && Gruppo > 1) {
    std::string Sql = Inserisci;
    for (int j = 1; j < Gruppo; ++j) Sql += ",(" + Segni + ")";
    bool ok = Cn.Prepare(Sql, &Inserimento_Gruppo_).ok();
    for (int j = 0; ok && j < Gruppo; ++j)
      ok = Inserimento_Gruppo_->Bind(j * static_cast<int>(Colonne.size()) + 1, data::Value(int64_t{Numero})).ok();
    if (ok) Gruppo_ = Gruppo; else Inserimento_Gruppo_.reset();
  }
  if (s) s = Cn.BeginTransaction();
  // New rows get row ids above every stored one: the highest tells the stored records apart.
  std::unique_ptr<data::Statement> st;
  bool riga = false;
  if (s) s = Cn.Prepare("SELECT MAX(" + Cn.RowIdName() + ") FROM " + Cn.QuoteName(Tabella_), &st);
  if (s) s = st->Step(&riga);
  if (s && riga) Ultima_Precedente_ = st->Read(0).AsInteger();
  return s;
}

data::Status Scrittura_Dati::Campo(int i, const data::Value& Valore) { return Inserimento_->Bind(i + 1, Valore); }

data::Status Scrittura_Dati::Campo_Tenuto(int i, const data::Value& Valore) {
  return Inserimento_->BindForRun(i + 1, Valore);
}

data::Status Scrittura_Dati::Aggiungi() {
  data::Status s = Inserimento_->Run();
  if (s) ++Righe_;
  return s;
}

data::Status Scrittura_Dati::Campo_Gruppo(int j, int i, const data::Value& Valore) {
  return Inserimento_Gruppo_->Bind(j * (Campi_ + 1) + i + 1, Valore);
}

data::Status Scrittura_Dati::Campo_Gruppo_Tenuto(int j, int i, const data::Value& Valore) {
  return Inserimento_Gruppo_->BindForRun(j * (Campi_ + 1) + i + 1, Valore);
}

data::Status Scrittura_Dati::Aggiungi_Gruppo() {
  data::Status s = Inserimento_Gruppo_->Run();
  if (s) Righe_ += Gruppo_;
  return s;
}

int64_t Scrittura_Dati::Righe_Precedenti() {
  std::unique_ptr<data::Statement> st;
  bool riga = false;
  if (!Cn_->Prepare("SELECT COUNT(*) FROM " + Cn_->QuoteName(Tabella_) + " WHERE IDX=" + std::to_string(Numero_) +
                        " AND " + Cn_->RowIdName() + "<=" + std::to_string(Ultima_Precedente_),
                    &st) ||
      !st->Step(&riga) || !riga) {
    return 0;
  }
  return st->Read(0).AsInteger();
}

data::Status Scrittura_Dati::Concludi(bool Tieni, const std::string& Stato) {
  Inserimento_.reset();
  Inserimento_Gruppo_.reset();
  if (!Tieni) return Cn_->InTransaction() ? Cn_->Rollback() : data::Status::Ok();
  data::Status s = Cn_->InTransaction() ? data::Status::Ok() : Cn_->BeginTransaction();
  if (s) {
    s = Cn_->Execute("DELETE FROM " + Cn_->QuoteName(Tabella_) + " WHERE IDX=" + std::to_string(Numero_) + " AND " +
                     Cn_->RowIdName() + "<=" + std::to_string(Ultima_Precedente_));
  }
  if (s && !Stato.empty()) {
    std::unique_ptr<data::Statement> st;
    s = Cn_->Prepare("UPDATE KYX_CARICATI SET DATAORA=?, NUM_REC=?, STATO=? WHERE IDX=? AND SINF=?", &st);
    if (s) s = st->Bind(1, data::Value(Adesso()));
    if (s) s = st->Bind(2, data::Value(Righe_));
    if (s) s = st->Bind(3, data::Value(Stato));
    if (s) s = st->Bind(4, data::Value(int64_t{Numero_}));
    if (s) s = st->Bind(5, data::Value(Sistema_));
    if (s) s = st->Run();
  }
  if (s) return Cn_->Commit();
  Cn_->Rollback();
  return s;
}

// ---- Actions ------------------------------------------------------------------------------------

bool Elimina_Dati_Locali(int32_t Numero) {
  const std::string N = std::to_string(Numero);
  data::Status s = Cn_MDB2 ? Cn_MDB2->BeginTransaction() : data::Status::Error(1, "KYX_2.MDB is not open");
  for (const auto& [Sistema, Filtro] : Righe_Registro(Numero)) {
    (void)Filtro;
    // Quoted as where the table was created: a system code need not be a plain SQL name ("VEN-1").
    if (s) s = Esegui("DELETE FROM " + Cn_MDB2->QuoteName(mdb2::Tabella_Valori(Sistema)) + " WHERE IDX=" + N);
  }
  if (s) s = Esegui("DELETE FROM KYX_CARICATI WHERE IDX=" + N);
  if (s) s = Cn_MDB2->Commit();
  if (!s) {
    if (Cn_MDB2 && Cn_MDB2->InTransaction()) Cn_MDB2->Rollback();
    Errore_Database("eliminazione dell'elemento " + N + " non riuscita", s);
    return false;
  }
  return true;
}

bool Registra_Dati_Locali(Menu_Dati& M,
                          const std::function<std::string(const std::string&, const std::string&)>& Traduci) {
  // Every system's filter is made from the menu's own text: a translation for one system never
  // feeds the next.
  std::vector<std::pair<std::string, std::string>> Righe;
  if (!Rs_Sinf || !Rs_Sinf->IsOpen() || !Rs_Sinf->MoveFirst().ok()) return false;
  for (; !Rs_Sinf->AfterLast(); Rs_Sinf->MoveNext()) {
    const std::string Sistema = Rtrim(Rs_Sinf->Field("SINF").AsText());
    const std::string Filtro = Sistema == Rtrim(Sistema_Informativo) ? M.Filtro : Traduci(M.Filtro, Sistema);
    if (!Filtro_Accettabile(Filtro, Sistema)) return false;
    Righe.emplace_back(Sistema, Filtro);
  }
  std::unique_ptr<data::Statement> st;
  data::Status s = Cn_MDB2 ? Cn_MDB2->Prepare(
                                 "INSERT INTO KYX_CARICATI (IDX, SINF, DATAORA, NUM_REC, STATO, FILTRO, FILTRO_SQL) "
                                 "VALUES (?,?,?,0,'*',?,?)",
                                 &st)
                           : data::Status::Error(1, "KYX_2.MDB is not open");
  if (s) s = Cn_MDB2->BeginTransaction();
  for (const auto& [Sistema, Filtro] : Righe) {
    if (s) s = st->Bind(1, data::Value(int64_t{M.Elemento_Nuovo}));
    if (s) s = st->Bind(2, data::Value(Sistema));
    if (s) s = st->Bind(3, data::Value(Adesso()));
    if (s) s = st->Bind(4, data::Value(Filtro));
    if (s) s = st->Bind(5, data::Value(Filtro));
    if (s) s = st->Run();
  }
  if (s) s = Cn_MDB2->Commit();
  if (!s) {
    if (Cn_MDB2 && Cn_MDB2->InTransaction()) Cn_MDB2->Rollback();
    Errore_Database("registrazione dell'elemento " + std::to_string(M.Elemento_Nuovo) + " non riuscita", s);
    return false;
  }
  return true;
}

void Carica_Dati_Locali(Menu_Dati& M) {
  host::DoEvents();
  const auto Righe = Righe_Registro(M.Elemento_Carica);
  for (const auto& [Sistema, Filtro] : Righe)
    if (!Filtro_Accettabile(Filtro, Sistema)) return;

  for (const auto& [Sistema, Filtro] : Righe) {
    M.Sistema = Sistema;
    if (!Rs_Sinf || !Rs_Sinf->Seek({data::Value(Sistema)}).ok() || Rs_Sinf->AfterLast()) continue;
    M.Libreria = Rs_Sinf->Field("LIBS1").AsText();
    M.Database_SQL = Rs_Sinf->Field("DBSQL").AsText();
    M.Filtro_Sistema = Filtro;
    Pannello("Stato", " da Sistema Informativo " + Sistema);

    Scrittura_Dati W;
    if (data::Status s = W.Apri(*Cn_MDB2, Sistema, M.Elemento_Carica); !s) {
      Errore_Database("tabella dei dati del sistema informativo " + Sistema + " non disponibile", s);
      W.Concludi(false, "");
      continue;
    }
    const bool Sql = !text::trim_blanks(M.Database_SQL).empty();
    const Esito_Scarico Esito = Sql ? Carica_Dati_SQL(M, W) : Carica_Dati_AS(M, W);
    // A failed download keeps the records stored before it; with none stored, what came so far
    // is kept, and never shown as complete.
    const bool Tieni = Esito != Esito_Scarico::Fallito || W.Righe_Precedenti() == 0;
    if (data::Status s = W.Concludi(Tieni, Tieni ? (Esito == Esito_Scarico::Completo ? " " : "*") : ""); !s) {
      Errore_Database("dati del sistema informativo " + Sistema + " non registrati", s);
    }
    if (M.Annulla) break;
    // With the link gone every later system would fail the same way.
    if (Esito == Esito_Scarico::Fallito && !Sql && !Collegamento_Attivo()) break;
  }
}

namespace {

// The first record (1-based) of a block of n records of R bytes whose packed values are not all
// numbers; 0 when every one is. The values follow the keys, nine bytes each.
int32_t Record_Non_Numerico(int32_t n, int32_t R, const std::vector<int32_t>& Lunghezze, int32_t Valori) {
  int32_t Chiavi = 0;
  for (const int32_t l : Lunghezze) Chiavi += l;
  for (int32_t i = 0; i < n; ++i) {
    const int32_t Inizio = 1 + i * R + Chiavi;
    for (int32_t v = 0; v < Valori; ++v)
      if (!Numero_Valido('P', Inizio + 9 * v, 9)) return i + 1;
  }
  return 0;
}

// The records of one block as the receiving thread decoded them: the texts of every key of every
// record one after the other (the keys' own lengths), then the values, record by record.
struct Blocco_Dati {
  int32_t Record = 0;
  std::string Chiavi;
  std::vector<double> Numeri;
};

// Stores the blocks of a download into W on a thread of its own, in the order they are handed
// over, so that the records of one block go into the database while the next block travels and
// is decoded. While it lives, only its thread uses W (and so the connection W writes through);
// the socket and the window stay with the caller. At most kCoda blocks wait: a receiver that
// runs ahead waits until half of them are stored, so that the two threads wake each other once
// every few blocks rather than after every block. The first record the database refuses stops
// the storing; the blocks handed over after it are dropped, and the rows of the blocks before
// it (and of the refused block before the refused record) stay in W's transaction, as when the
// caller stored them itself.
class Registrazione_Blocchi {
 public:
  Registrazione_Blocchi(Scrittura_Dati& W, const std::vector<int32_t>& Lunghezze, int32_t Valori)
      : W_(W),
        Lunghezze_(Lunghezze),
        Valori_(Valori),
        Testi_(Lunghezze.size() * static_cast<std::size_t>(std::max(W.Gruppo(), 1))) {
    try {
      Filo_ = std::thread([this] { Lavora(); });
    } catch (const std::system_error&) {
      // No thread to be had: the blocks are stored as they are handed over.
    }
  }
  ~Registrazione_Blocchi() {
    {
      std::lock_guard<std::mutex> l(M_);
      Chiusa_ = true;
    }
    Lavoro_.notify_one();
    if (Filo_.joinable()) Filo_.join();
  }
  Registrazione_Blocchi(const Registrazione_Blocchi&) = delete;
  Registrazione_Blocchi& operator=(const Registrazione_Blocchi&) = delete;

  // An empty block whose buffers an earlier block used: a download allocates a few, not one per
  // block.
  Blocco_Dati Blocco_Libero() {
    std::lock_guard<std::mutex> l(M_);
    if (Liberi_.empty()) return {};
    Blocco_Dati b = std::move(Liberi_.back());
    Liberi_.pop_back();
    return b;
  }
  // Hands a block over. False once a record has been refused (the block is dropped).
  bool Consegna(Blocco_Dati Blocco) {
    std::unique_lock<std::mutex> l(M_);
    if (!Filo_.joinable()) {
      if (!Fallita_) Concludi_Blocco(Blocco, Registra(Blocco));
      Liberi_.push_back(std::move(Blocco));
      return !Fallita_;
    }
    if (Coda_.size() >= kCoda) Aspetta(l, [this] { return Fallita_ || Coda_.size() <= kCoda / 2; });
    if (Fallita_) return false;
    Coda_.push_back(std::move(Blocco));
    const bool Sveglia = Dorme_;
    l.unlock();
    if (Sveglia) Lavoro_.notify_one();
    return true;
  }
  // Waits until every block handed over is stored or dropped. False when a record was refused.
  bool Attendi() {
    std::unique_lock<std::mutex> l(M_);
    Aspetta(l, [this] { return Coda_.empty() && !Occupata_; });
    return !Fallita_;
  }
  bool Fallita() {
    std::lock_guard<std::mutex> l(M_);
    return Fallita_;
  }
  // What the database said of the refused record.
  data::Status Errore() {
    std::lock_guard<std::mutex> l(M_);
    return Errore_;
  }
  // The records of the blocks stored whole so far.
  int64_t Registrati() {
    std::lock_guard<std::mutex> l(M_);
    return Registrati_;
  }

 private:
  static constexpr std::size_t kCoda = 8;

  // The caller waits on Spazio_; the storing thread signals it only while the caller is waiting.
  template <typename Condizione>
  void Aspetta(std::unique_lock<std::mutex>& l, Condizione Pronto) {
    In_Attesa_ = true;
    Spazio_.wait(l, Pronto);
    In_Attesa_ = false;
  }

  void Lavora() {
    std::unique_lock<std::mutex> l(M_);
    for (;;) {
      if (Coda_.empty()) {
        if (Chiusa_) return;
        Dorme_ = true;
        Lavoro_.wait(l, [this] { return Chiusa_ || !Coda_.empty(); });
        Dorme_ = false;
        continue;
      }
      Blocco_Dati b = std::move(Coda_.front());
      Coda_.pop_front();
      if (!Fallita_) {
        Occupata_ = true;
        l.unlock();
        data::Status s = Registra(b);
        l.lock();
        Occupata_ = false;
        Concludi_Blocco(b, std::move(s));
      }
      Liberi_.push_back(std::move(b));
      if (In_Attesa_ && (Fallita_ || Coda_.size() <= kCoda / 2)) Spazio_.notify_one();
    }
  }

  // The records of one block into W, up to the first one refused: whole groups by one statement
  // each, a refused group and the rest one record at a time.
  data::Status Registra(const Blocco_Dati& b) {
    const int32_t G = W_.Gruppo();
    const char* Chiave = b.Chiavi.data();
    const double* Numero = b.Numeri.data();
    int32_t i = 0;
    for (; G > 1 && i + G <= b.Record; i += G) {
      const char* Chiave_Gruppo = Chiave;
      const double* Numero_Gruppo = Numero;
      for (int32_t j = 0; j < G; ++j) {
        Lega(Chiave, Numero, static_cast<std::size_t>(j),
             [&](int c, const data::Value& t) { W_.Campo_Gruppo_Tenuto(j, c, t); },
             [&](int c, const data::Value& v) { W_.Campo_Gruppo(j, c, v); });
      }
      data::Status s = W_.Aggiungi_Gruppo();
      if (s) continue;
      // Refused: nothing of the group is stored. One by one the records before the refused one
      // are, as when every record went alone; with the transaction gone there is nothing to add to.
      if (!W_.In_Transazione()) return s;
      Chiave = Chiave_Gruppo;
      Numero = Numero_Gruppo;
      for (int32_t j = 0; j < G; ++j)
        if (data::Status u = Registra_Uno(Chiave, Numero); !u) return u;
    }
    for (; i < b.Record; ++i)
      if (data::Status u = Registra_Uno(Chiave, Numero); !u) return u;
    return data::Status::Ok();
  }

  // One record by itself; Chiave and Numero move past it.
  data::Status Registra_Uno(const char*& Chiave, const double*& Numero) {
    Lega(Chiave, Numero, 0, [&](int c, const data::Value& t) { W_.Campo_Tenuto(c, t); },
         [&](int c, const data::Value& v) { W_.Campo(c, v); });
    return W_.Aggiungi();
  }

  // Binds the fields of the record at Chiave and Numero, as record j of a group, through Testo
  // and Numero_; both move past it. The keys are copied into texts of their own, which keep their
  // place from group to group, so the insert reads them there without a new binding.
  template <typename Lega_Testo, typename Lega_Numero>
  void Lega(const char*& Chiave, const double*& Numero, std::size_t j, Lega_Testo Testo, Lega_Numero Numero_) {
    int c = 1;
    for (std::size_t k = 0; k < Lunghezze_.size(); ++k) {
      const auto L = static_cast<std::size_t>(Lunghezze_[k]);
      data::Value& t = Testi_[j * Lunghezze_.size() + k];
      std::memcpy(t.ResizeText(L), Chiave, L);
      Testo(c++, t);
      Chiave += L;
    }
    for (int32_t v = 0; v < Valori_; ++v) {
      Valore_.AssignDouble(*Numero++);
      Numero_(c++, Valore_);
    }
  }

  // Counts a block stored whole, or keeps what the database said and stops the storing. Under M_.
  void Concludi_Blocco(const Blocco_Dati& b, data::Status s) {
    if (s) {
      Registrati_ += b.Record;
      return;
    }
    Fallita_ = true;
    Errore_ = std::move(s);
  }

  Scrittura_Dati& W_;
  const std::vector<int32_t> Lunghezze_;
  const int32_t Valori_;
  // One text per key field of each record of a group (the first record's serve a record stored
  // alone) and one number, used by the storing thread only.
  std::vector<data::Value> Testi_;
  data::Value Valore_;

  std::mutex M_;
  std::condition_variable Lavoro_;  // the storing thread waits here for a block
  std::condition_variable Spazio_;  // the caller waits here for room, or for the end
  std::deque<Blocco_Dati> Coda_;
  std::vector<Blocco_Dati> Liberi_;
  bool Dorme_ = false;      // the storing thread waits for a block
  bool In_Attesa_ = false;  // the caller waits
  bool Occupata_ = false;   // a block is being stored
  bool Chiusa_ = false;
  bool Fallita_ = false;
  data::Status Errore_;
  int64_t Registrati_ = 0;
  std::thread Filo_;
};

}  // namespace

std::string Record_Dati() {
  std::string r = "D" + blocchi::Cifre(0, 5);
  for (int i = 0; i < 18; ++i) r += blocchi::Cifre(0, 5);
  r.resize(4462, ' ');
  return r;
}

Esito_Scarico Carica_Dati_AS(Menu_Dati& M, Scrittura_Dati& W) {
  M.Record_Sistema = 0;
  // The six blanks after the record are sent as the request has always been sent.
  Sock_Write(1, "l04462" + Record_Dati(), 4474);
  if (!Sock_Read(1, 6)) {
    // The answer may still come: the link can no longer be trusted.
    Collegamento_Perso("Errore 005 - Carica_Dati_AS");
    return Esito_Scarico::Fallito;
  }
  const std::string Stato_Testa = Campo("A", 1, 1, 1, 0);
  // A payload, if any, is read and dropped, so that the next reply starts in its place; a length
  // that is no number leaves the link without a place to start from.
  if (!Numero_Valido('S', 2, 5)) {
    Motivo_Socket = "la lunghezza della risposta non \xE8 un numero";
    Collegamento_Perso("Errore 005 - Carica_Dati_AS");
    return Esito_Scarico::Fallito;
  }
  if (const auto n = static_cast<int32_t>(vb::Val(Campo("S", 2, 5, 5, 0))); n > 0 && !Sock_Scarta(1, n)) {
    Collegamento_Perso("Errore 005 - Carica_Dati_AS");
    return Esito_Scarico::Fallito;
  }
  if (Stato_Testa != "0") {
    Risposta_Rifiutata("Errore 006 - Carica_Dati_AS", "il server ha risposto con lo stato \"" + Stato_Testa + "\"");
    return Esito_Scarico::Fallito;
  }

  // The record layout: the keys of kind K, A and D, then the slots of every value.
  std::vector<int32_t> Lunghezze;
  int32_t Valori = 0, R = 0;
  if (Rs_Chiavi && Rs_Chiavi->Seek({data::Value(M.Sistema)}).ok()) {
    for (; !Rs_Chiavi->AfterLast() && Rtrim(Rs_Chiavi->Field("SINF").AsText()) == M.Sistema; Rs_Chiavi->MoveNext()) {
      const std::string Tipo = Rs_Chiavi->Field("KINDB").AsText();
      if (Tipo != "K" && Tipo != "A" && Tipo != "D") continue;
      if (Lunghezze.size() >= 127) break;
      Lunghezze.push_back(static_cast<int32_t>(Rs_Chiavi->Field("LUN").AsInteger()));
      R += Lunghezze.back();
    }
  }
  if (Rs_Valori && Rs_Valori->Seek({data::Value(M.Sistema)}).ok()) {
    for (; !Rs_Valori->AfterLast() && Rtrim(Rs_Valori->Field("SINF").AsText()) == M.Sistema; Rs_Valori->MoveNext()) {
      const auto e = static_cast<int32_t>(Rs_Valori->Field("ELEM").AsInteger());
      Valori += e;
      R += 9 * e;
    }
  }
  if (R <= 0) return Esito_Scarico::Fallito;  // neither keys nor values: nothing to ask for
  if (R > kMassimo_Blocco) {
    // Not one record fits a block: the server could only answer empty blocks for ever.
    Messaggio_Critico("Record di " + std::to_string(R) + " byte per il sistema informativo " + M.Sistema +
                      ": al massimo " + std::to_string(kMassimo_Blocco) +
                      ".\rI dati locali non sono stati caricati.");
    return Esito_Scarico::Fallito;
  }
  if (W.Campi() != static_cast<int>(Lunghezze.size()) + Valori) {
    Messaggio_Critico("La tabella dei dati del sistema informativo " + M.Sistema +
                      " non corrisponde alla sua struttura.\rI dati locali non sono stati caricati.");
    return Esito_Scarico::Fallito;
  }

  const int32_t B = kMassimo_Blocco / R;
  const std::string Seguente = "f00005" + blocchi::Cifre(B, 5);
  // After a full block the next one is asked for at once, so that the server prepares it while
  // this one is decoded and stored; a reply asked for is always read before anything else is
  // sent.
  bool Primo = true, Chiesto = false;
  // The blocks are stored on a thread of their own while this one reads and decodes the next:
  // from here to the end of the download only that thread uses W and its connection.
  Registrazione_Blocchi Registro(W, Lunghezze, Valori);
  // The counters and the panel count a block once it is handed over: every way out but a refused
  // record waits for it to be stored, as when each block was stored before the next was read.
  const auto Mostra = [&M] { Pannello("Numero", vb::Format(M.Record_Totali, "\\ ###,###,##0\\ ")); };
  // A record the database refused ends the download: the counters go back to the blocks stored
  // whole, and the block asked for is read and dropped, so that the next request gets its own
  // reply.
  const auto Registrazione_Fallita = [&] {
    if (const int64_t Tolti = M.Record_Sistema - Registro.Registrati(); Tolti > 0) {
      M.Record_Sistema -= Tolti;
      M.Record_Totali -= Tolti;
      Mostra();
    }
    Errore_Database("dati del sistema informativo " + M.Sistema + " non registrati", Registro.Errore());
    if (Chiesto) Base_File__Lettura();
    return Esito_Scarico::Fallito;
  };
  const auto Fine = [&](Esito_Scarico Esito) { return Registro.Attendi() ? Esito : Registrazione_Fallita(); };
  for (;;) {
    if (Registro.Fallita()) return Registrazione_Fallita();
    if (M.Annulla) {
      if (!Registro.Attendi()) return Registrazione_Fallita();
      if (Chiesto && Base_File__Lettura() < 0) return Esito_Scarico::Fallito;
      Invia_Richiesta("g00000");
      return Base_File__Lettura() < 0 ? Esito_Scarico::Fallito : Esito_Scarico::Interrotto;
    }
    if (Primo) {
      std::string Filtro = M.Filtro_Sistema;
      Filtro.resize(kMassimo_Filtro, ' ');
      Invia_Richiesta("e00532" + blocchi::Cifre(B, 5) + blocchi::Cifre(R, 5) + text::fixed(M.Libreria, 10) + Filtro);
    } else if (!Chiesto) {
      Invia_Richiesta(Seguente);
    }
    Chiesto = false;
    const int32_t Lunghezza = Base_File__Lettura();
    if (Lunghezza < 0) return Fine(Esito_Scarico::Fallito);
    if (Lunghezza == 0) break;
    const int32_t n = Lunghezza / R;
    // A full block has a successor: it is asked for at once, so that the server prepares it
    // while this one is checked and decoded.
    const std::string Richiesta_Blocco = Richiesta_Corrente;
    if (n == B) {
      Invia_Richiesta(Seguente);
      Chiesto = true;
    }
    // Every number of the block is checked before any record of it is stored: a block with one
    // that is not a number is refused whole, and the reply already asked for is read and dropped.
    if (const int32_t Errato = Record_Non_Numerico(n, R, Lunghezze, Valori); Errato > 0) {
      if (!Registro.Attendi()) return Registrazione_Fallita();
      Richiesta_Corrente = Richiesta_Blocco;  // the refusal names the request of this block
      Risposta_Rifiutata("", "il record " + std::to_string(Errato) + " del blocco ha un valore che non \xE8 un numero");
      if (Chiesto) Base_File__Lettura();
      return Esito_Scarico::Fallito;
    }
    // Decoded here, where the record buffer is: the storing thread gets the texts and numbers.
    Blocco_Dati Blocco = Registro.Blocco_Libero();
    Blocco.Record = n;
    Blocco.Chiavi.resize(static_cast<std::size_t>(n) * static_cast<std::size_t>(R - 9 * Valori));
    Blocco.Numeri.resize(static_cast<std::size_t>(n) * static_cast<std::size_t>(Valori));
    char* Chiave = Blocco.Chiavi.data();
    double* Numero = Blocco.Numeri.data();
    int32_t p = 1;
    for (int32_t i = 0; i < n; ++i) {
      for (const int32_t L : Lunghezze) {
        blocchi::Traduci_Wire(p - 1, 1, L, Chiave);
        Chiave += L;
        p += L;
      }
      for (int32_t v = 0; v < Valori; ++v) {
        *Numero++ = Valore_P17_3(p);
        p += 9;
      }
    }
    if (!Registro.Consegna(std::move(Blocco))) return Registrazione_Fallita();
    M.Record_Sistema += n;
    M.Record_Totali += n;
    Mostra();
    host::DoEvents();
    Primo = false;
    if (n != B) break;
  }
  return Fine(Esito_Scarico::Completo);
}

Esito_Scarico Carica_Dati_SQL(Menu_Dati& M, Scrittura_Dati& W) {
  M.Record_Sistema = 0;
  Chiudi_DB_SQL();
  if (!Apri_DB_SQL(Rtrim(M.Database_SQL)) || !Cn_SQL) {
    Chiudi_DB_SQL();
    Messaggio_Critico("Database SQL " + Rtrim(M.Database_SQL) + " non disponibile.\rI dati locali del sistema informativo " +
                      M.Sistema + " non sono stati caricati.");
    return Esito_Scarico::Fallito;
  }
  auto Fine = [](Esito_Scarico e) {
    Chiudi_DB_SQL();
    return e;
  };
  std::unique_ptr<data::Statement> st;
  bool Riga = false;
  data::Status s = Cn_SQL->Prepare("Select * from KYX_D0_00F " + M.Filtro_Sistema, &st);
  if (s) s = st->Step(&Riga);
  if (s && Riga && st->ColumnCount() < W.Campi() + 3) {
    s = data::Status::Error(1, "KYX_D0_00F has " + std::to_string(st->ColumnCount()) + " columns, " +
                                   std::to_string(W.Campi() + 3) + " expected");
  }
  if (!s) {
    Errore_Database("lettura di KYX_D0_00F dal database " + Rtrim(M.Database_SQL) + " non riuscita", s);
    return Fine(Esito_Scarico::Fallito);
  }
  int64_t Mostrati = 0;
  data::Value v;
  while (Riga) {
    if (M.Annulla) return Fine(Esito_Scarico::Interrotto);
    // The source table has three leading fields of its own that the local table has not.
    for (int i = 1; i <= W.Campi(); ++i) {
      st->Read(i + 2, &v);
      W.Campo(i, v);
    }
    if (!(s = W.Aggiungi())) break;
    ++M.Record_Sistema;
    ++M.Record_Totali;
    if (M.Record_Sistema >= Mostrati + 100) {
      Mostrati = M.Record_Sistema;
      Pannello("Numero", vb::Format(M.Record_Sistema, "\\ ###,###,##0\\ "));
      host::DoEvents();
    }
    if (!(s = st->Step(&Riga))) break;
  }
  if (!s) {
    Errore_Database("dati del sistema informativo " + M.Sistema + " non registrati", s);
    return Fine(Esito_Scarico::Fallito);
  }
  return Fine(Esito_Scarico::Completo);
}

}  // namespace kyx
