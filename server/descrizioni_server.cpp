// Description update from the data server ("k00000" for the server's time, "d00015" for the
// changed rows).
#include "server/descrizioni_server.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/impostazioni.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "db/mdb1.h"
#include "platform/host/host.h"
#include "platform/text/cp1252.h"
#include "platform/vb/vb.h"
#include "server/campo.h"
#include "server/risposta.h"
#include "server/socket.h"

namespace kyx {

namespace {

constexpr const char* kMai = "00000000000000";
// Widths of S_DS_CODI and of each S_DS_D_nn.
constexpr std::size_t kLarghezza_Codice = 30;
constexpr std::size_t kLarghezza_Descrizione = 40;
// A row record: status, key, progressive, code length, description length (9 bytes), then the
// code and the description.
constexpr int32_t kTesta_Riga = 9;

// Rows stored between two commits. A commit waits for the disk: once per row, a full update of
// a million rows would spend its time waiting; the rows stored before a failure are committed all
// the same (see Conferma), as they were row by row.
constexpr int64_t kRighe_Per_Transazione = 100000;
// Blocks one update reads at most (2^24 blocks of 8192 bytes: 128 GiB of descriptions).
constexpr int64_t kMassimo_Blocchi = int64_t{1} << 24;

// The name of description column n (1..16), built once: a new code sets all sixteen.
const std::string& Colonna_Descrizione(int64_t n) {
  static const std::array<std::string, 16> Nomi = [] {
    std::array<std::string, 16> a;
    for (int64_t j = 1; j <= 16; ++j) a[static_cast<std::size_t>(j - 1)] = "S_DS_D_" + Numero_Cifre(j, 2);
    return a;
  }();
  return Nomi[static_cast<std::size_t>(n - 1)];
}

// Opens the transaction the next rows are stored in, unless one is open.
void Inizia() {
  if (Cn_MDB1 && !Cn_MDB1->InTransaction()) Cn_MDB1->BeginTransaction();
}

// Commits the rows stored since Inizia. False when the commit failed (the rows are then lost).
bool Conferma() {
  if (!Cn_MDB1 || !Cn_MDB1->InTransaction()) return true;
  return Cn_MDB1->Commit().ok();
}

void Mostra_Conteggio(const std::string& Pannello, int64_t Righe) {
  host::host().SetPanel(Pannello, vb::Format(Righe, "\\ ###,###\\ "));
}

struct Riga {
  std::string Stato;
  int64_t Chiave = 0;
  int64_t Progressivo = 0;
  std::string Codice;
  std::string Descrizione;
};

// The ordinals of the columns a row sets, looked up once per recordset rather than by name for
// every row.
struct Colonne {
  const data::TableRecordset* Di = nullptr;
  int Stato = -1, Chiave = -1, Codice = -1;
  std::array<int, 16> Descrizioni{};

  void Per(const data::TableRecordset& Rs) {
    if (Di == &Rs) return;
    Di = &Rs;
    Stato = Rs.FieldIndex("S_DS_STAT");
    Chiave = Rs.FieldIndex("S_DS_KEY");
    Codice = Rs.FieldIndex("S_DS_CODI");
    for (int64_t j = 1; j <= 16; ++j) Descrizioni[static_cast<std::size_t>(j - 1)] = Rs.FieldIndex(Colonna_Descrizione(j));
  }
};

// Looked up again at the start of each update and whenever the database is opened again.
Colonne Colonne_Rs;

// The codes this update added to a table that was empty when it started, as 64-bit hashes of
// (key, code) in the form the index compares them: the code without its trailing blanks and in
// upper case. A row whose hash is not here cannot be in the table yet, so it is added without
// looking it up; a hash that is here (the same code again, or another code with the same hash)
// is looked up as always. Nothing else writes the table while the update runs.
class Codici_Aggiunti {
 public:
  // Off, and emptied: every row is looked up.
  void Spegni() {
    Attivo_ = false;
    Celle_.clear();
    Usate_ = 0;
  }
  void Accendi() {
    Spegni();
    Attivo_ = true;
    Celle_.assign(std::size_t{1} << 16, 0);
  }
  bool Attivo() const { return Attivo_; }

  static uint64_t Impronta(int64_t Chiave, std::string_view Codice) {
    static const std::array<uint8_t, 256> Maiuscola = [] {
      std::array<uint8_t, 256> m{};
      for (int b = 0; b < 256; ++b) m[static_cast<std::size_t>(b)] = static_cast<uint8_t>(text::to_upper(static_cast<char>(b)));
      return m;
    }();
    std::size_t n = Codice.size();
    while (n > 0 && Codice[n - 1] == ' ') --n;
    uint64_t h = 0xCBF29CE484222325ull ^ (static_cast<uint64_t>(Chiave) * 0x9E3779B97F4A7C15ull);
    for (std::size_t i = 0; i < n; ++i) {
      h ^= Maiuscola[static_cast<uint8_t>(Codice[i])];
      h *= 0x100000001B3ull;
    }
    // Mixed once more, so that the low bits that pick the cell depend on every byte.
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    // 0 marks an empty cell.
    return h != 0 ? h : 1;
  }

  // True when `h` was not there (and now is): the row it stands for is certainly new.
  bool Aggiungi(uint64_t h) {
    if ((Usate_ + 1) * 2 > Celle_.size()) Raddoppia();
    const std::size_t Maschera = Celle_.size() - 1;
    // Bounded: the table is never more than half full, so an empty cell comes within its size.
    for (std::size_t i = h & Maschera, k = 0; k < Celle_.size(); i = (i + 1) & Maschera, ++k) {
      if (Celle_[i] == h) return false;
      if (Celle_[i] == 0) {
        Celle_[i] = h;
        ++Usate_;
        return true;
      }
    }
    return false;
  }

 private:
  void Raddoppia() {
    std::vector<uint64_t> Vecchie(Celle_.size() * 2, 0);
    Vecchie.swap(Celle_);
    Usate_ = 0;
    for (const uint64_t h : Vecchie) {
      if (h != 0) Aggiungi(h);
    }
  }

  bool Attivo_ = false;
  std::vector<uint64_t> Celle_;
  std::size_t Usate_ = 0;
};

Codici_Aggiunti Aggiunti;

// The insert of a row that is certainly new (see Codici_Aggiunti): one statement prepared once
// per update, which stores the row as AddNew / Update on Rs_Descrizioni would, without filling
// and copying the recordset's row. Rs_Descrizioni sees the row at its next Seek, which always
// reads the table. Dropped before the connection is opened again and at the end of the update.
class Inserimento_Diretto {
 public:
  void Rilascia() {
    St_.reset();
    Su_ = nullptr;
  }

  // Stores the new row (key, code, with description `Progressivo` and the status when it is the
  // first). False when the database refused it.
  bool Inserisci(const Riga& r, const data::Value& Chiave, std::string_view Codice, std::string_view Descrizione) {
    if (!Cn_MDB1) return false;
    if (Su_ != Cn_MDB1.get()) {
      Rilascia();
      std::string Sql = "INSERT OR FAIL INTO KYX_DS_20F (" + Cn_MDB1->QuoteName("S_DS_STAT") + ", " +
                        Cn_MDB1->QuoteName("S_DS_KEY") + ", " + Cn_MDB1->QuoteName("S_DS_CODI");
      std::string Parametri = "?1, ?2, ?3";
      for (int64_t j = 1; j <= 16; ++j) {
        Sql += ", " + Cn_MDB1->QuoteName(Colonna_Descrizione(j));
        Parametri += ", ?" + std::to_string(j + 3);
      }
      Sql += ") VALUES (" + Parametri + ")";
      if (!Cn_MDB1->Prepare(Sql, &St_).ok() || !St_) {
        St_.reset();
        return false;
      }
      Su_ = Cn_MDB1.get();
    }
    // As the recordset does: a status wider than its column is not set (the row keeps " "), a
    // key outside the column's range leaves it Null, a description too wide refuses the row.
    if (Descrizione.size() > kLarghezza_Descrizione) return false;
    Stato_.AssignText(r.Progressivo == 1 && r.Stato.size() <= 1 ? std::string_view(r.Stato) : std::string_view(" "));
    if (Chiave.kind() == data::Value::Kind::Integer && Chiave.integer() >= -32768 && Chiave.integer() <= 32767)
      Chiave_.AssignInteger(Chiave.integer());
    else
      Chiave_.SetNull();
    Codice_.AssignText(Codice);
    for (data::Value& d : Descrizioni_) d.AssignText("");
    Descrizioni_[static_cast<std::size_t>(r.Progressivo - 1)].AssignText(Descrizione);
    data::Statement& St = *St_;
    // The values live in this object until the run is over: read in place.
    if (!St.BindForRun(1, Stato_).ok() || !St.BindForRun(2, Chiave_).ok() || !St.BindForRun(3, Codice_).ok()) {
      St.Reset();
      return false;
    }
    for (int j = 0; j < 16; ++j) {
      if (!St.BindForRun(j + 4, Descrizioni_[static_cast<std::size_t>(j)]).ok()) {
        St.Reset();
        return false;
      }
    }
    return St.Run().ok();
  }

 private:
  std::unique_ptr<data::Statement> St_;
  const data::Connection* Su_ = nullptr;
  data::Value Stato_, Chiave_, Codice_;
  std::array<data::Value, 16> Descrizioni_;
};

Inserimento_Diretto Diretto;

// Rows left out since the count was last reported because their code does not fit the code column.
int64_t Codici_Troppo_Lunghi = 0;

// Applies one row to KYX_DS_20F. False when the database refused it.
bool Applica(const Riga& r) {
  // A code longer than the code column (trailing blanks aside) is left out and counted: cut to
  // the column, two codes that share their first characters would overwrite each other's
  // descriptions. Refusing it would stop the whole update, and every later login with it.
  const size_t Fine = r.Codice.find_last_not_of(' ');
  if (Fine != std::string::npos && Fine >= kLarghezza_Codice) {
    ++Codici_Troppo_Lunghi;
    return true;
  }
  const std::string_view Codice = std::string_view(r.Codice).substr(0, kLarghezza_Codice);
  data::TableRecordset& Rs = *Rs_Descrizioni;
  Colonne& C = Colonne_Rs;
  C.Per(Rs);
  // A longer description from the server is cut to its column.
  std::string_view Descrizione = std::string_view(r.Descrizione).substr(0, kLarghezza_Descrizione);
  // A deleted row ("A") clears the single description it names; progressive 1 carries the
  // deletion of the whole code through its status.
  if (r.Stato == "A" && r.Progressivo >= 2) Descrizione = " ";

  // The key values live from row to row, so that neither they nor the row's texts are built
  // anew for every description: a full reload stores a million of them.
  static data::Value Chiave[2];
  Chiave[0].AssignInteger(r.Chiave);
  Chiave[1].AssignText(Codice);
  // A code this update has not added yet, in a table that started empty, is not there.
  const bool Nuovo = Aggiunti.Attivo() && Aggiunti.Aggiungi(Codici_Aggiunti::Impronta(r.Chiave, Codice));
  if (Nuovo) return Diretto.Inserisci(r, Chiave[0], Codice, Descrizione);
  if (!Rs.Seek(Chiave, 2)) return false;
  if (Rs.AfterLast()) {
    if (!Rs.AddNew()) return false;
    Rs.SetText(C.Stato, " ");
    Rs.Set(C.Chiave, Chiave[0]);
    Rs.Set(C.Codice, Chiave[1]);
    for (const int d : C.Descrizioni) Rs.SetText(d, "");
  }
  if (r.Progressivo == 1) {
    // A code that comes back after its deletion starts clean (a row just added is clean).
    if (r.Stato == " " && Rs.Field(C.Stato).text() == "A") {
      for (const int d : C.Descrizioni) Rs.SetText(d, "");
    }
    Rs.SetText(C.Stato, r.Stato);
  }
  if (!Rs.SetText(C.Descrizioni[static_cast<std::size_t>(r.Progressivo - 1)], Descrizione)) {
    Rs.CancelUpdate();
    return false;
  }
  if (!Rs.Update()) {
    Rs.CancelUpdate();
    return false;
  }
  return true;
}

// Text field of the reply as Campo("A", ...) gives it (NUL as "Ø"), into `Testo`, reusing its
// room: a block carries a hundred rows or more.
void Testo_Campo(int32_t Inizio, int32_t Lunghezza, std::string& Testo) {
  Testo.resize(static_cast<std::size_t>(Lunghezza));
  const uint8_t* b = Buffer_Record.data() + (Inizio - 1);
  char* t = Testo.data();
  for (int32_t k = 0; k < Lunghezza; ++k) t[k] = b[k] != 0 ? static_cast<char>(Tabella_Caratteri[b[k]]) : '\xD8';
}

// Unsigned binary of two bytes at `Inizio`, as Val(Campo("B", ...)).
int32_t Binario_2(int32_t Inizio) {
  return Buffer_Record[static_cast<std::size_t>(Inizio - 1)] * 256 + Buffer_Record[static_cast<std::size_t>(Inizio)];
}

enum class Esito { kBlocco, kFine, kErrore_Risposta, kErrore_Database };

// The rows of the last reply, taken out of the record buffer before any is stored: the next
// request can then leave while they are stored. The slots and their texts are reused from block
// to block (a block of 8192 bytes holds at most 910 rows).
std::vector<Riga> Righe_Blocco;

// Walks the rows of one reply payload of `Lunghezza` bytes, never past its end, into
// Righe_Blocco[0..Numero). kErrore_Risposta keeps the rows before the bad one.
Esito Leggi_Blocco(int32_t Lunghezza, std::size_t& Numero) {
  // The payload lies inside the record buffer (at most 8192 bytes): every field read below is
  // checked against Lunghezza first.
  Numero = 0;
  int32_t p = 1;
  // Bounded: every row moves p forward by at least its 9-byte head.
  while (p <= Lunghezza) {
    if (Numero == Righe_Blocco.size()) Righe_Blocco.emplace_back();
    Riga& r = Righe_Blocco[Numero];
    Testo_Campo(p, 1, r.Stato);
    if (r.Stato == "X") return Esito::kFine;
    if (r.Stato == "C") return Esito::kBlocco;
    if (p + kTesta_Riga - 1 > Lunghezza) return Esito::kErrore_Risposta;
    r.Chiave = Binario_2(p + 1);
    r.Progressivo = Binario_2(p + 3);
    const int32_t c = Binario_2(p + 5);
    const int32_t d = Binario_2(p + 7);
    // A row whose texts run past the payload would be read from an older reply.
    if (static_cast<int64_t>(p) + kTesta_Riga + c + d - 1 > Lunghezza) return Esito::kErrore_Risposta;
    Testo_Campo(p + kTesta_Riga, c, r.Codice);
    Testo_Campo(p + kTesta_Riga + c, d, r.Descrizione);
    p += kTesta_Riga + c + d;
    ++Numero;
  }
  // The payload ended without its closing row: the block is over all the same.
  return Esito::kBlocco;
}

// Stores Righe_Blocco[0..Numero). False when a row could not be stored (the rows after it are
// not counted).
bool Memorizza(std::size_t Numero, int64_t& Righe, int64_t& Da_Compattare) {
  for (std::size_t i = 0; i < Numero; ++i) {
    const Riga& r = Righe_Blocco[i];
    if (Compattare) {
      // Every Compatta_Descrizioni rows the database is compacted and opened again.
      if (Da_Compattare >= Compatta_Descrizioni) {
        Conferma();
        Diretto.Rilascia();
        Apri_MDB1(false, true);
        Colonne_Rs = Colonne{};
        Inizia();
        Da_Compattare = 0;
      }
      ++Da_Compattare;
    }
    ++Righe;
    if (r.Progressivo < 1 || r.Progressivo > 16) continue;  // no such description column
    if (!Rs_Descrizioni || !Applica(r)) return false;
  }
  return true;
}

// The reply to a request that left before a row of the previous block failed: read and thrown
// away, so that nothing of it is left on the link. A reply that does not come whole gives the
// link up, as a failed read does.
void Scarta_Risposta() {
  if (!Sock_Read(1, 6)) {
    Collegamento_Perso("Errore 012 - Base_File__Lettura");
    return;
  }
  const int32_t Lunghezza = static_cast<int32_t>(vb::Val(Campo("S", 2, 5, 5, 0)));
  if (!Numero_Valido('S', 2, 5) || (Lunghezza > 0 && !Sock_Scarta(1, Lunghezza))) {
    Collegamento_Perso("Errore 014 - Base_File__Lettura");
  }
}

// The server's time: 14 digits that make a real date and time ("yyyymmddhhnnss").
bool Data_Ora_Valida(const std::string& t) {
  if (t.size() != 14) return false;
  for (const char c : t)
    if (c < '0' || c > '9') return false;
  const auto N = [&](std::size_t i, std::size_t n) { return std::stoi(t.substr(i, n)); };
  const int Anno = N(0, 4), Mese = N(4, 2), Giorno = N(6, 2), Ora = N(8, 2), Minuti = N(10, 2), Secondi = N(12, 2);
  if (Anno < 1 || Mese < 1 || Mese > 12 || Giorno < 1 || Ora > 23 || Minuti > 59 || Secondi > 59) return false;
  static constexpr int kGiorni[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool Bisestile = (Anno % 4 == 0 && Anno % 100 != 0) || Anno % 400 == 0;
  return Giorno <= kGiorni[Mese - 1] + (Mese == 2 && Bisestile ? 1 : 0);
}

std::string Richiesta_Descrizioni(const std::string& Ultima_Data, bool Primo) {
  return std::string("d00015") + Ultima_Data + (Primo ? "0" : "1");
}

}  // namespace

void Azzera_Codici_Troppo_Lunghi() { Codici_Troppo_Lunghi = 0; }

void Avvisa_Codici_Troppo_Lunghi() {
  if (Codici_Troppo_Lunghi == 0) return;
  host::MsgBox("Descrizioni non memorizzate: " + std::to_string(Codici_Troppo_Lunghi) + "\r" +
                   "(codice pi\xF9 lungo di " + std::to_string(kLarghezza_Codice) + " caratteri)",
               host::vbOKOnly | host::vbExclamation, Titolo_Programma);
  Codici_Troppo_Lunghi = 0;
}

bool Aggiorna_Descrizioni_Server(const std::string& Pannello) {
  host::host().SetPanel(Pannello, "");
  // Whatever ends the update, the rows left out for their code are told once.
  Azzera_Codici_Troppo_Lunghi();
  struct Avvisa_Al_Termine {
    ~Avvisa_Al_Termine() { Avvisa_Codici_Troppo_Lunghi(); }
  } Avvisa_Al_Termine;
  if (!Rs_Descrizioni) Apri_MDB1(false, false);
  if (!Rs_Descrizioni) return false;

  // The time of this update: the server's when it tells it, else the workstation's. A time that
  // is not one would go into "Data" and make every later update ask from a wrong point.
  std::string Nuova_Data = vb::FormatDate(vb::Now(), "yyyymmddhhnnss");
  Invia_Richiesta("k00000");
  const int32_t Lunghezza_Ora = Base_File__Lettura();
  // A time refused (its message shown) leaves the update for the next time, as any refused reply.
  if (Lunghezza_Ora < 0 || !Collegamento_Attivo()) return false;
  if (Lunghezza_Ora > 0) {
    const std::string Ora = Lunghezza_Ora >= 14 ? Campo("A", 1, 14, 14, 0) : Campo("A", 1, Lunghezza_Ora, Lunghezza_Ora, 0);
    if (!Data_Ora_Valida(Ora)) {
      Risposta_Rifiutata("", "\"" + Ora + "\" non \xE8 una data e un'ora (14 cifre, aaaammgghhmmss)");
      return false;
    }
    Nuova_Data = Ora;
  }

  // The rows go into a copy of the descriptions database, put in place only when the update
  // ends well: one that stops half-way leaves the stored descriptions as they were.
  if (!Inizia_MDB1_Copia()) return false;
  struct Scarta_Copia {
    bool Confermata = false;
    ~Scarta_Copia() {
      if (!Confermata) Annulla_MDB1_Copia();
    }
  } Copia;

  const std::string Sezione = Numero_Cifre(Profilo_Corrente, 3);
  std::string Ultima_Data = Leggi_Ini(Sezione, "Data", kMai);
  if (Ultima_Data.size() < 14) Ultima_Data = kMai;
  Ultima_Data.resize(14);

  int64_t Righe = 0;
  int64_t Confermate = 0;
  int64_t Da_Compattare = 0;
  // Whatever ends the update, the rows stored so far are committed.
  struct Al_Termine {
    ~Al_Termine() { Conferma(); }
  } Al_Termine;
  Colonne_Rs = Colonne{};
  // A table empty at the start (its first row in index order is past the end) holds only what
  // this update adds.
  if (Rs_Descrizioni->MoveFirst().ok() && Rs_Descrizioni->AfterLast()) Aggiunti.Accendi();
  else Aggiunti.Spegni();
  struct Spegni_Al_Termine {
    ~Spegni_Al_Termine() {
      Aggiunti.Spegni();
      Diretto.Rilascia();
    }
  } Spegni_Al_Termine;
  // The request of the block about to be read has already left (with the previous block).
  bool Inviata = false;
  // Bounded: far more blocks than any stream of descriptions can fill; a server that never
  // closes its stream ends the update as a bad reply.
  for (int64_t Blocco = 0;; ++Blocco) {
    if (Blocco >= kMassimo_Blocchi) {
      Messaggio_Critico("Errore 014 - Base_File__Lettura");
      return false;
    }
    if (!Inviata) Invia_Richiesta(Richiesta_Descrizioni(Ultima_Data, Blocco == 0));
    const int32_t Lunghezza = Base_File__Lettura();
    if (Lunghezza < 1) return false;
    std::size_t Numero = 0;
    Esito e = Leggi_Blocco(Lunghezza, Numero);
    // The next request does not depend on what this block stores: it leaves now, and the server
    // answers it while the rows are stored. Its reply is read whole afterwards, or thrown away
    // when the update stops here.
    Inviata = e == Esito::kBlocco && Blocco + 1 < kMassimo_Blocchi;
    if (Inviata) Invia_Richiesta(Richiesta_Descrizioni(Ultima_Data, false));
    Inizia();
    if (!Memorizza(Numero, Righe, Da_Compattare)) e = Esito::kErrore_Database;
    if (Righe - Confermate >= kRighe_Per_Transazione) {
      if (!Conferma()) {
        if (Inviata) Scarta_Risposta();
        return false;
      }
      Confermate = Righe;
    }
    Mostra_Conteggio(Pannello, Righe);
    if (e == Esito::kFine) break;
    if (e == Esito::kErrore_Risposta) {
      Risposta_Rifiutata("Errore 014 - Base_File__Lettura", "una riga delle descrizioni va oltre la fine del blocco");
      return false;
    }
    if (e == Esito::kErrore_Database) {
      if (Inviata) Scarta_Risposta();
      return false;
    }
  }
  // "Data" moves on only once every row is on disk, in the file put in place.
  if (!Conferma()) return false;
  Aggiunti.Spegni();
  Diretto.Rilascia();
  Copia.Confermata = true;
  if (!Conferma_MDB1_Copia()) return false;

  Data_Descrizioni = Nuova_Data;
  Scrivi_Ini(Sezione, "Data", Nuova_Data);
  Mostra_Conteggio(Pannello, Righe);
  return true;
}

}  // namespace kyx

namespace kyx {

bool Applica_Descrizione(const std::string& Stato, int64_t Chiave, int64_t Progressivo, const std::string& Codice,
                         const std::string& Descrizione) {
  if (Progressivo < 1 || Progressivo > 16) return true;  // no such description column
  if (!Rs_Descrizioni) return false;
  Colonne_Rs = Colonne{};
  return Applica(Riga{Stato, Chiave, Progressivo, Codice, Descrizione});
}

}  // namespace kyx
