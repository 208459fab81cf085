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

// Applies one row to KYX_DS_20F. False when the database refused it.
bool Applica(const Riga& r) {
  data::TableRecordset& Rs = *Rs_Descrizioni;
  // The columns are only so wide: a longer code or description from the server is cut rather
  // than refused (a refused row would stop the whole update, and every later login with it).
  const std::string Codice = r.Codice.substr(0, kLarghezza_Codice);
  std::string Descrizione = r.Descrizione.substr(0, kLarghezza_Descrizione);
  // A deleted row ("A") clears the single description it names; progressive 1 carries the
  // deletion of the whole code through its status.
  if (r.Stato == "A" && r.Progressivo >= 2) Descrizione = " ";

  if (!Rs.Seek({data::Value(r.Chiave), data::Value(Codice)})) return false;
  if (Rs.AfterLast()) {
    if (!Rs.AddNew()) return false;
    Rs.Set("S_DS_STAT", data::Value(" "));
    Rs.Set("S_DS_KEY", data::Value(r.Chiave));
    Rs.Set("S_DS_CODI", data::Value(Codice));
    for (int64_t j = 1; j <= 16; ++j) Rs.Set(Colonna_Descrizione(j), data::Value(""));
  }
  if (r.Progressivo == 1) {
    // A code that comes back after its deletion starts clean.
    if (Rs.Field("S_DS_STAT").AsText() == "A" && r.Stato == " ") {
      for (int64_t j = 1; j <= 16; ++j) Rs.Set(Colonna_Descrizione(j), data::Value(""));
    }
    Rs.Set("S_DS_STAT", data::Value(r.Stato));
  }
  if (!Rs.Set(Colonna_Descrizione(r.Progressivo), data::Value(Descrizione))) {
    Rs.CancelUpdate();
    return false;
  }
  if (!Rs.Update()) {
    Rs.CancelUpdate();
    return false;
  }
  return true;
}

enum class Esito { kBlocco, kFine, kErrore_Risposta, kErrore_Database };

// Walks the rows of one reply payload of `Lunghezza` bytes, never past its end.
Esito Leggi_Blocco(int32_t Lunghezza, int64_t& Righe, int64_t& Da_Compattare) {
  int32_t p = 1;
  while (p <= Lunghezza) {
    const std::string Stato = Campo("A", p, 1, 1, 0);
    if (Stato == "X") return Esito::kFine;
    if (Stato == "C") return Esito::kBlocco;
    if (p + kTesta_Riga - 1 > Lunghezza) return Esito::kErrore_Risposta;
    Riga r;
    r.Stato = Stato;
    r.Chiave = static_cast<int64_t>(vb::Val(Campo("B", p + 1, 2, 4, 0)));
    r.Progressivo = static_cast<int64_t>(vb::Val(Campo("B", p + 3, 2, 4, 0)));
    const auto c = static_cast<int32_t>(vb::Val(Campo("B", p + 5, 2, 4, 0)));
    const auto d = static_cast<int32_t>(vb::Val(Campo("B", p + 7, 2, 4, 0)));
    // A row whose texts run past the payload would be read from an older reply.
    if (static_cast<int64_t>(p) + kTesta_Riga + c + d - 1 > Lunghezza) return Esito::kErrore_Risposta;
    r.Codice = Campo("A", p + kTesta_Riga, c, c, 0);
    r.Descrizione = Campo("A", p + kTesta_Riga + c, d, d, 0);
    p += kTesta_Riga + c + d;

    if (Compattare) {
      // Every Compatta_Descrizioni rows the database is compacted and opened again.
      if (Da_Compattare >= Compatta_Descrizioni) {
        Conferma();
        Apri_MDB1(false, true);
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
  for (bool Primo = true;; Primo = false) {
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
