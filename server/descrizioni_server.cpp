// Description update from the data server ("k00000" for the server's time, "d00015" for the
// changed rows).
#include "server/descrizioni_server.h"

#include <array>
#include <cstdint>

#include "common/impostazioni.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "db/mdb1.h"
#include "platform/host/host.h"
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

// Applies one row to KYX_DS_20F. False when the database refused it.
bool Applica(const Riga& r) {
  data::TableRecordset& Rs = *Rs_Descrizioni;
  Colonne& C = Colonne_Rs;
  C.Per(Rs);
  // The columns are only so wide: a longer code or description from the server is cut rather
  // than refused (a refused row would stop the whole update, and every later login with it).
  const std::string_view Codice = std::string_view(r.Codice).substr(0, kLarghezza_Codice);
  std::string_view Descrizione = std::string_view(r.Descrizione).substr(0, kLarghezza_Descrizione);
  // A deleted row ("A") clears the single description it names; progressive 1 carries the
  // deletion of the whole code through its status.
  if (r.Stato == "A" && r.Progressivo >= 2) Descrizione = " ";

  // The key values live from row to row, so that neither they nor the row's texts are built
  // anew for every description: a full reload stores a million of them.
  static data::Value Chiave[2];
  Chiave[0].AssignInteger(r.Chiave);
  Chiave[1].AssignText(Codice);
  if (!Rs.Seek(Chiave, 2)) return false;
  if (Rs.AfterLast()) {
    if (!Rs.AddNew()) return false;
    Rs.SetText(C.Stato, " ");
    Rs.Set(C.Chiave, Chiave[0]);
    Rs.Set(C.Codice, Chiave[1]);
    for (const int d : C.Descrizioni) Rs.SetText(d, "");
  }
  if (r.Progressivo == 1) {
    // A code that comes back after its deletion starts clean.
    if (Rs.Field(C.Stato).text() == "A" && r.Stato == " ") {
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
  Testo.clear();
  for (int32_t k = 0; k < Lunghezza; ++k) {
    const uint8_t b = Buffer_Record[static_cast<std::size_t>(Inizio - 1 + k)];
    Testo += b != 0 ? static_cast<char>(Tabella_Caratteri[b]) : '\xD8';
  }
}

// Unsigned binary of two bytes at `Inizio`, as Val(Campo("B", ...)).
int32_t Binario_2(int32_t Inizio) {
  return Buffer_Record[static_cast<std::size_t>(Inizio - 1)] * 256 + Buffer_Record[static_cast<std::size_t>(Inizio)];
}

enum class Esito { kBlocco, kFine, kErrore_Risposta, kErrore_Database };

// Walks the rows of one reply payload of `Lunghezza` bytes, never past its end.
Esito Leggi_Blocco(int32_t Lunghezza, int64_t& Righe, int64_t& Da_Compattare) {
  // The payload lies inside the record buffer (at most 8192 bytes): every field read below is
  // checked against Lunghezza first. One row, its texts reused from row to row.
  static Riga r;
  int32_t p = 1;
  // Bounded: every row moves p forward by at least its 9-byte head.
  while (p <= Lunghezza) {
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

    if (Compattare) {
      // Every Compatta_Descrizioni rows the database is compacted and opened again.
      if (Da_Compattare >= Compatta_Descrizioni) {
        Conferma();
        Apri_MDB1(false, true);
        Colonne_Rs = Colonne{};
        Inizia();
        Da_Compattare = 0;
      }
      ++Da_Compattare;
    }
    ++Righe;
    if (r.Progressivo < 1 || r.Progressivo > 16) continue;  // no such description column
    if (!Rs_Descrizioni || !Applica(r)) return Esito::kErrore_Database;
  }
  // The payload ended without its closing row: the block is over all the same.
  return Esito::kBlocco;
}

}  // namespace

bool Aggiorna_Descrizioni_Server(const std::string& Pannello) {
  host::host().SetPanel(Pannello, "");
  if (!Rs_Descrizioni) Apri_MDB1(false, false);
  if (!Rs_Descrizioni) return false;

  // The time of this update: the server's when it tells it, else the workstation's.
  std::string Nuova_Data = vb::FormatDate(vb::Now(), "yyyymmddhhnnss");
  Invia_Richiesta("k00000");
  if (Base_File__Lettura() >= 14) Nuova_Data = Campo("A", 1, 14, 14, 0);
  if (!Collegamento_Attivo()) return false;

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
  // Bounded: far more blocks than any stream of descriptions can fill; a server that never
  // closes its stream ends the update as a bad reply.
  for (int64_t Blocco = 0;; ++Blocco) {
    if (Blocco >= kMassimo_Blocchi) {
      Messaggio_Critico("Errore 014 - Base_File__Lettura");
      return false;
    }
    const bool Primo = Blocco == 0;
    Invia_Richiesta(std::string("d00015") + Ultima_Data + (Primo ? "0" : "1"));
    const int32_t Lunghezza = Base_File__Lettura();
    if (Lunghezza < 1) return false;
    Inizia();
    const Esito e = Leggi_Blocco(Lunghezza, Righe, Da_Compattare);
    if (Righe - Confermate >= kRighe_Per_Transazione) {
      if (!Conferma()) return false;
      Confermate = Righe;
    }
    Mostra_Conteggio(Pannello, Righe);
    if (e == Esito::kFine) break;
    if (e == Esito::kErrore_Risposta) {
      Messaggio_Critico("Errore 014 - Base_File__Lettura");
      return false;
    }
    if (e == Esito::kErrore_Database) return false;
  }
  // "Data" moves on only once every row is on disk.
  if (!Conferma()) return false;

  Data_Descrizioni = Nuova_Data;
  Scrivi_Ini(Sezione, "Data", Nuova_Data);
  Mostra_Conteggio(Pannello, Righe);
  return true;
}

}  // namespace kyx
