#include "db/aggiorna_comune.h"

#include "common/stato.h"
#include "common/stato_db.h"
#include "common/utilita.h"
#include "platform/files/files.h"
#include "platform/files/record_file.h"
#include "platform/host/host.h"

namespace kyx::aggiorna {

namespace {
// Records per transaction: loads commit per block, never per row. Every commit writes out (and
// journals) each page the block touched and waits for the disk; with keys arriving in scattered
// order a block touches most pages of each index, so small blocks would write the indexes out
// again and again. A block is therefore large: a million systems take five commits.
constexpr int64_t kBlocco = 200000;
// Records read from the work file at once.
constexpr int64_t kLettura = 256;
}  // namespace

void Svuota(const char* Tabella) {
  if (Cn_MDB0) Cn_MDB0->Execute(std::string("DELETE FROM ") + Tabella);
}

void Per_Ogni_Record(const std::string& File, std::size_t Lunghezza,
                     const std::function<void(int64_t Numero, const std::string& Dati)>& Riga) {
  const std::string Percorso = files::native_path(File);
  files::RecordFile f;
  if (!f.open(Percorso, Lunghezza)) return;
  const int64_t Numero_Record = f.record_count();
  // The records are read kLettura at a time, as the records of the same file taken kLettura
  // times longer; the last few, after the last whole group, one by one.
  files::RecordFile Gruppi;
  const bool Per_Gruppi = Lunghezza > 0 && Numero_Record >= kLettura &&
                          Gruppi.open(Percorso, Lunghezza * static_cast<std::size_t>(kLettura), true);
  const int64_t Letti_Per_Gruppi = Per_Gruppi ? Numero_Record / kLettura * kLettura : 0;
  const bool Transazioni = Cn_MDB0 && !Cn_MDB0->InTransaction();
  // KYX_0.MDB is made anew at every login and filled again from the server: a load that a crash
  // cuts short (even in the middle of a commit) costs nothing that the next login does not rebuild.
  // Its blocks are therefore committed without the undo file on disk and without waiting for the
  // disk; rolling back still works.
  if (Transazioni) Cn_MDB0->SetDurability(data::Durability::kRebuilt);
  std::string Gruppo, Dati;
  bool Gruppo_Letto = false;
  for (int64_t i = 1; i <= Numero_Record; ++i) {
    if (Transazioni && (i - 1) % kBlocco == 0) Cn_MDB0->BeginTransaction();
    bool Letto;
    if (i <= Letti_Per_Gruppi) {
      const int64_t k = (i - 1) % kLettura;
      if (k == 0) Gruppo_Letto = Gruppi.read((i - 1) / kLettura + 1, Gruppo);
      Letto = Gruppo_Letto;
      if (Letto) Dati.assign(Gruppo, static_cast<std::size_t>(k) * Lunghezza, Lunghezza);
    } else {
      Letto = f.read(i, Dati);
    }
    if (Letto) Riga(i, Dati);
    if (Transazioni && (i % kBlocco == 0 || i == Numero_Record)) Cn_MDB0->Commit();
  }
  if (Transazioni) Cn_MDB0->SetDurability(data::Durability::kFull);
  Gruppi.close();
  f.close();
}

bool Aggiungi_Se_Manca(data::TableRecordset* Rs, const data::Value* Chiave, std::size_t Colonne_Chiave,
                       const Campo* Valori, std::size_t Numero_Valori) {
  if (!Rs || !Rs->IsOpen()) return false;
  if (!Rs->Seek(Chiave, Colonne_Chiave).ok() || !Rs->AfterLast()) return false;
  if (!Rs->AddNew().ok()) return false;
  for (std::size_t i = 0; i < Numero_Valori; ++i) {
    if (!Rs->Set(Valori[i].first, Valori[i].second).ok()) {
      Rs->CancelUpdate();
      return false;
    }
  }
  if (!Rs->Update().ok()) {
    Rs->CancelUpdate();
    return false;
  }
  return true;
}

std::string Separatore() { return Separatore_Valori.empty() ? std::string(",") : Separatore_Valori; }

std::vector<std::string> Pezzi_Lista(std::string_view Valore) {
  const std::string Sep = Separatore();
  std::vector<std::string> Pezzi;
  std::size_t p = 0;
  while (p < Valore.size()) {
    std::size_t q = Valore.find(Sep, p);
    if (q == std::string_view::npos) q = Valore.size();
    Pezzi.push_back(Testo_Non_Vuoto(Valore.substr(p, q - p)));
    p = q + Sep.size();
  }
  return Pezzi;
}

bool Pezzi_Intervallo(std::string_view Valore, std::string* Da, std::string* A) {
  const std::string Sep = Separatore();
  const std::size_t q = Valore.find(Sep);
  if (q == std::string_view::npos) return false;
  *Da = Testo_Non_Vuoto(Valore.substr(0, q));
  *A = Testo_Non_Vuoto(Valore.substr(q + Sep.size()));
  return true;
}

}  // namespace kyx::aggiorna
